// rotunda: the compactness of one chain of a PDB file.
//   rotunda protein_name [protein_chain_id]
// Writes NAME.compactness and prints "compactness<TAB>NAME<TAB>value".
#include "common/model_files.hpp"
#include "common/program.hpp"
#include "descriptors/compactness.hpp"
#include "descriptors/descriptor_tool.hpp"
#include "help/rotunda.hpp"

int main(int argc, char** argv) {
  if (const auto status = common::Answer_Help_Or_Version(argc, argv, "rotunda", help::kText)) return *status;
  return descriptors::Run_Descriptor_Program(
      {"compactness", common::model_files::kCompactness, descriptors::Compactness_Step}, argc, argv);
}
