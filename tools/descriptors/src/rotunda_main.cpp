// rotunda: the compactness of one chain of a PDB file.
//   rotunda protein_name [protein_chain_id]
// Writes NAME.compactness and prints "compactness<TAB>NAME<TAB>value".
#include "common/program.hpp"
#include "descriptors/compactness.hpp"
#include "descriptors/descriptor_tool.hpp"
#include "help/rotunda.hpp"

namespace {

std::string Compactness_Line(const structure::Atom_Record* first) {
  return descriptors::Compactness_File_Line(descriptors::Compactness(first));
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto status = common::Answer_Help_Or_Version(argc, argv, "rotunda", help::kText)) return *status;
  return descriptors::Run_Descriptor_Program({"compactness", ".compactness", Compactness_Line}, argc, argv);
}
