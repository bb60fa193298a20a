// rotunda: the compactness of one chain of a PDB file.
//   rotunda protein_name [protein_chain_id]
// Writes NAME.compactness and prints "compactness<TAB>NAME<TAB>value".
#include "descriptors/compactness.hpp"
#include "descriptors/descriptor_tool.hpp"

namespace {

std::string Compactness_Line(const structure::Atom_Record* first) {
  return descriptors::Compactness_File_Line(descriptors::Compactness(first));
}

}  // namespace

int main(int argc, char** argv) {
  return descriptors::Run_Descriptor_Program({"compactness", ".compactness", Compactness_Line}, argc, argv);
}
