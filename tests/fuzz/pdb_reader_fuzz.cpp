// The PDB reader, and everything that consumes the atoms it returns: chain
// length, compactness, virtual beta carbons (from the whole chain and from the
// copy catena prepares, which must agree) and both energies (zero tables).
// The first byte picks the chain, the rest is the file.
#include <cstdint>

#include "common/fatal_error.hpp"
#include "common/format.hpp"
#include "descriptors/chain_length.hpp"
#include "descriptors/compactness.hpp"
#include "energy/energy_tool.hpp"
#include "fuzz_input.hpp"
#include "structure/pdb_reader.hpp"
#include "structure/residues.hpp"
#include "structure/virtual_cb.hpp"

namespace {

energy::MFP_Table Zero_Table(energy::MFP_Table shape) {
  shape.matrix_size = 1;
  for (int d = 0; d < shape.dim; ++d) shape.matrix_size *= shape.dim_val[d];
  shape.values.assign(static_cast<std::size_t>(shape.matrix_size), 0.0);
  return shape;
}

// Every field of a prepared list, or the refusal.
std::string Prepared(const energy::Energy_Tool& tool, structure::Atom_List copy, char chain) {
  try {
    const structure::Atom_List list = energy::Prepare_Structure(tool, std::move(copy), "model.pdb", chain);
    std::string dump;
    for (const structure::Atom_Record* a = list.first; a; a = a->next)
      dump += common::Format("%d %d %s %s %c%c %s %d %d%c %a %a %a %a %a %d %d\n", a->atom_number, a->atom_number_read,
                             a->atom_name.c_str(), a->aa_name.c_str(), a->aa_code, a->alt_loc, a->chain.c_str(),
                             a->aa_number, a->aa_number_read, a->insertion_code, a->x, a->y, a->z, a->occupancy,
                             a->temp_factor, a->atom_type, a->neighbours);
    return dump;
  } catch (const common::Fatal_Error& error) {
    return error.Message();
  }
}

void Score(const energy::Energy_Tool& tool, const structure::Atom_List& read, char chain) {
  static const energy::MFP_Table pair = Zero_Table(energy::Pair_Table_Shape());
  static const energy::MFP_Table surface = Zero_Table(energy::Surface_Table_Shape());
  // The copy catena prepares must give what the whole chain gives.
  if (Prepared(tool, read.Copy(), chain) != Prepared(tool, structure::Copy_For_Beta_Carbons(read), chain))
    __builtin_trap();
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
