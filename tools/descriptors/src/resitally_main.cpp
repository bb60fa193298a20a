// resitally: the number of residues of one chain of a PDB file.
//   resitally protein_name [protein_chain_id]
// Writes NAME.length and prints "length<TAB>NAME<TAB>value".
#include "common/program.hpp"
#include "descriptors/chain_length.hpp"
#include "descriptors/descriptor_tool.hpp"
#include "help/resitally.hpp"

namespace {

std::string Length_Line(const structure::Atom_Record* first) {
  return descriptors::Length_File_Line(descriptors::Chain_Length(first));
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto status = common::Answer_Help_Or_Version(argc, argv, "resitally", help::kText)) return *status;
  return descriptors::Run_Descriptor_Program({"length", ".length", Length_Line}, argc, argv);
}
