// resitally: the number of residues of one chain of a PDB file.
//   resitally protein_name [protein_chain_id]
// Writes NAME.length and prints "length<TAB>NAME<TAB>value".
#include "common/model_files.hpp"
#include "common/program.hpp"
#include "descriptors/chain_length.hpp"
#include "descriptors/descriptor_tool.hpp"
#include "help/resitally.hpp"

int main(int argc, char** argv) {
  if (const auto status = common::Answer_Help_Or_Version(argc, argv, "resitally", help::kText)) return *status;
  return descriptors::Run_Descriptor_Program({"length", common::model_files::kLength, descriptors::Length_Step}, argc,
                                             argv);
}
