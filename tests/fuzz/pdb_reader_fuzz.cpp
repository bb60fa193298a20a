// The PDB reader, and everything that consumes the atoms it returns: chain
// length, compactness, virtual beta carbons and both energies (zero tables).
// The first byte picks the chain, the rest is the file.
#include <cstdint>

#include "common/fatal_error.hpp"
#include "descriptors/chain_length.hpp"
#include "descriptors/compactness.hpp"
#include "energy/energy_tool.hpp"
#include "fuzz_input.hpp"
#include "structure/pdb_reader.hpp"
#include "structure/residues.hpp"

namespace {

energy::MFP_Table Zero_Table(energy::MFP_Table shape) {
  shape.matrix_size = 1;
  for (int d = 0; d < shape.dim; ++d) shape.matrix_size *= shape.dim_val[d];
  shape.values.assign(static_cast<std::size_t>(shape.matrix_size), 0.0);
  return shape;
}

void Score(const energy::Energy_Tool& tool, const structure::Atom_List& read, char chain) {
  static const energy::MFP_Table pair = Zero_Table(energy::Pair_Table_Shape());
  static const energy::MFP_Table surface = Zero_Table(energy::Surface_Table_Shape());
  try {
    const structure::Atom_List list = energy::Prepare_Structure(tool, read.Copy(), "model.pdb", chain);
    energy::Energy_Profile_Run run(tool, list, tool.name == energy::kPairTool.name ? pair : surface);
    run.Native_Energy();
    run.Shuffled_Energy(1);
  } catch (const common::Fatal_Error&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const char chain = static_cast<char>(data[0]);
  const fuzz::Input_File file(fuzz::As_Text(data + 1, size - 1));
  structure::Atom_List list;
  structure::Read_Summary summary;
  try {
    if (structure::Read_PDB_File_1(file.path(), chain, list, structure::Get_AA_Type, {fuzz::Null_Output(), nullptr, ""},
                                   &summary) != 'Y')
      return 0;
    structure::Require_Atoms(list, summary, file.path(), chain);
  } catch (const common::Fatal_Error&) {
    return 0;
  }
  descriptors::Chain_Length(list.first);
  descriptors::Compactness(list.first);
  Score(energy::kPairTool, list, chain);
  Score(energy::kSurfaceTool, list, chain);
  return 0;
}
