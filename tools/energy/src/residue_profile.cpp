#include "energy/residue_profile.hpp"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

#include "energy/pair_energy.hpp"
#include "energy/surface_energy.hpp"
#include "structure/residues.hpp"
#include "structure/virtual_cb.hpp"

namespace energy {
namespace {

using structure::Atom_List;
using structure::Atom_Record;

// The chain with virtual beta carbons, filtered as `keep_atoms` filters it for
// an energy, and the residue (index into the profile) of each kept atom. The
// filter renumbers residues, so the residue of an atom is noted before it runs;
// filtering keeps the surviving nodes in place.
struct Filtered_Chain {
  Atom_List list;
  std::vector<std::size_t> residue_of_atom;  // in list order
};

Filtered_Chain Filter(const Atom_List& chain, void (*keep_atoms)(Atom_List&),
                      const std::unordered_map<int, std::size_t>& residue_of_number) {
  Filtered_Chain filtered{chain.Copy(), {}};
  structure::Build_Virtual_CB_for_Glycines(filtered.list);
  std::unordered_map<const Atom_Record*, std::size_t> residue_of_node;
  for (const Atom_Record* atom = filtered.list.first; atom; atom = atom->next)
    residue_of_node[atom] = residue_of_number.at(atom->aa_number);
  keep_atoms(filtered.list);
  for (const Atom_Record* atom = filtered.list.first; atom; atom = atom->next)
    filtered.residue_of_atom.push_back(residue_of_node.at(atom));
  return filtered;
}

// Each scored pair's value split equally between the residues of its atoms.
void Split_Pair_Energies(const Atom_Record* first, std::span<const std::size_t> residue_of_atom,
                         const pair::Pair_Geometry& geometry, const MFP_Table& table,
                         std::vector<Residue_Energy>& residues) {
  std::vector<int> types;
  for (const Atom_Record* atom = first; atom; atom = atom->next)
    types.push_back(pair::Get_AA_CA_CB_Atom_Type(*atom) - 1);
  // The table's index of (type a, type b, separation class, bin), row-major,
  // with the cell standing for the last two.
  const int types_b = table.dim_val[1];
  const int cells = table.dim_val[2] * table.dim_val[3];
  for (const pair::Pair_Geometry::Scored_Pair& p : geometry.Pairs()) {
    const int index = (types[p.a] * types_b + types[p.b]) * cells + static_cast<int>(p.cell);
    const double half = table.values[static_cast<std::size_t>(index)] / 2.0;
    residues[residue_of_atom[p.a]].pair += half;
    residues[residue_of_atom[p.b]].pair += half;
  }
}

// Each scored atom's surface value to its residue; `atoms` in list order.
void Split_Surface_Energies(std::span<const Atom_Record* const> atoms, std::span<const std::size_t> residue_of_atom,
                            const surface::Surface_Geometry& geometry, const MFP_Table& table,
                            std::vector<Residue_Energy>& residues) {
  const std::vector<int>& classes = geometry.Classes();
  for (std::size_t i = 0; i < atoms.size(); ++i) {
    if (classes[i] < 0) continue;
    const int tuple[10] = {structure::Get_AA_Type(*atoms[i]), classes[i]};
    residues[residue_of_atom[i]].surface +=
        table.values[static_cast<std::size_t>(Get_MFP_Index(2, tuple, table.dim_val))];
  }
}

std::vector<const Atom_Record*> Atoms_Of(const Atom_List& list) {
  std::vector<const Atom_Record*> atoms;
  for (const Atom_Record* atom = list.first; atom; atom = atom->next) atoms.push_back(atom);
  return atoms;
}

void Add_Pair_Energies(const Atom_List& chain, const MFP_Table& table,
                       const std::unordered_map<int, std::size_t>& residue_of_number,
                       std::vector<Residue_Energy>& residues) {
  const Filtered_Chain filtered = Filter(chain, pair::Keep_Only_Directly_Required_Atoms, residue_of_number);
  const pair::Pair_Geometry geometry(filtered.list.first, table);
  Split_Pair_Energies(filtered.list.first, filtered.residue_of_atom, geometry, table, residues);
}

void Add_Surface_Energies(const Atom_List& chain, const MFP_Table& table,
                          const std::unordered_map<int, std::size_t>& residue_of_number,
                          std::vector<Residue_Energy>& residues) {
  const Filtered_Chain filtered = Filter(chain, surface::Keep_Only_Directly_Required_Atoms, residue_of_number);
  const surface::Surface_Geometry geometry(filtered.list.first, table);
  Split_Surface_Energies(Atoms_Of(filtered.list), filtered.residue_of_atom, geometry, table, residues);
}

// The chain's residues in order, and the index of each residue number (the
// first residue with that number, should one recur).
std::vector<Residue_Energy> Chain_Residues(const Atom_List& chain,
                                           std::unordered_map<int, std::size_t>& residue_of_number) {
  std::vector<Residue_Energy> residues;
  for (const Atom_Record* atom = chain.first; atom; atom = atom->next) {
    if (atom->prev && atom->prev->aa_number == atom->aa_number) continue;
    if (residue_of_number.contains(atom->aa_number)) continue;
    residue_of_number.emplace(atom->aa_number, residues.size());
    residues.push_back({atom->chain, atom->aa_number_read, atom->insertion_code, atom->aa_name});
  }
  return residues;
}

Residue_Profile Smoothed_Profile(std::vector<Residue_Energy> residues, std::span<const int> windows) {
  Residue_Profile profile;
  profile.residues = std::move(residues);
  std::vector<double> pair, surface, combined;
  for (Residue_Energy& residue : profile.residues) {
    residue.combined = residue.pair + residue.surface;
    pair.push_back(residue.pair);
    surface.push_back(residue.surface);
    combined.push_back(residue.combined);
  }
  for (const int window : windows)
    profile.smoothed.push_back({window, Smooth(pair, window), Smooth(surface, window), Smooth(combined, window)});
  return profile;
}

}  // namespace

std::string Residue_Label(const Residue_Energy& residue) {
  std::string label = std::to_string(residue.number);
  if (residue.insertion_code != ' ') label += residue.insertion_code;
  return label;
}

std::vector<double> Smooth(std::span<const double> values, int window) {
  if (window < 1 || window % 2 == 0) throw std::invalid_argument("a smoothing window must be odd and positive");
  const std::size_t half = static_cast<std::size_t>(window / 2);
  std::vector<double> smoothed;
  smoothed.reserve(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::size_t begin = i >= half ? i - half : 0;
    const std::size_t end = std::min(values.size(), i + half + 1);
    double sum = 0.0;
    for (std::size_t j = begin; j < end; ++j) sum += values[j];
    smoothed.push_back(sum / static_cast<double>(end - begin));
  }
  return smoothed;
}

Residue_Profile Compute_Residue_Profile(const Atom_List& chain, const MFP_Table& pair_table,
                                        const MFP_Table& surface_table, std::span<const int> windows) {
  std::unordered_map<int, std::size_t> residue_of_number;
  std::vector<Residue_Energy> residues = Chain_Residues(chain, residue_of_number);
  Add_Pair_Energies(chain, pair_table, residue_of_number, residues);
  Add_Surface_Energies(chain, surface_table, residue_of_number, residues);
  return Smoothed_Profile(std::move(residues), windows);
}

Profiled_Structure Prepare_Profiled_Structure(Atom_List chain_copy, const std::string& protein_name, char chain_id) {
  Profiled_Structure prepared{std::move(chain_copy), {}};
  Atom_List& list = prepared.atoms;
  structure::Build_Virtual_CB_for_Glycines(list);
  // The filter renumbers residues and keeps the surviving nodes as they are:
  // each node carries its place before the filter in `neighbours`, which the
  // filter does not read, and gets its own value back after.
  struct Before {
    int residue_number, neighbours;
  };
  std::vector<Before> before;
  for (Atom_Record* atom = list.first; atom; atom = atom->next) {
    before.push_back({atom->aa_number, atom->neighbours});
    atom->neighbours = static_cast<int>(before.size() - 1);
  }
  kPairTool.keep_atoms(list);
  // Nothing left: refused with the tool's own message.
  if (list.empty()) return {Narrow_Prepared_Structure(kPairTool, list, protein_name, chain_id), {}};
  for (Atom_Record* atom = list.first; atom; atom = atom->next) {
    const Before& b = before[static_cast<std::size_t>(atom->neighbours)];
    prepared.residue_number.push_back(b.residue_number);
    atom->neighbours = b.neighbours;
  }
  return prepared;
}

Residue_Profile Compute_Residue_Profile(const Atom_List& chain, const Profiled_Structure& pair_structure,
                                        const Energy_Evaluator& pair_energy, const Energy_Evaluator& surface_energy,
                                        const MFP_Table& pair_table, const MFP_Table& surface_table,
                                        std::span<const int> windows) {
  const auto* pair = dynamic_cast<const Geometry_Evaluator<pair::Pair_Geometry>*>(&pair_energy);
  const auto* surface = dynamic_cast<const Geometry_Evaluator<surface::Surface_Geometry>*>(&surface_energy);
  std::unordered_map<int, std::size_t> residue_of_number;
  std::vector<Residue_Energy> residues = Chain_Residues(chain, residue_of_number);
  // The surface structure is the pair structure's CB atoms, in order.
  std::vector<std::size_t> pair_residue, surface_residue;
  std::vector<const Atom_Record*> surface_atoms;
  std::size_t i = 0;
  for (const Atom_Record* atom = pair_structure.atoms.first; atom; atom = atom->next, ++i) {
    pair_residue.push_back(residue_of_number.at(pair_structure.residue_number.at(i)));
    if (atom->atom_name != "CB") continue;
    surface_residue.push_back(pair_residue.back());
    surface_atoms.push_back(atom);
  }
  if (!pair || !surface || surface->Found().Classes().size() != surface_atoms.size())
    return Compute_Residue_Profile(chain, pair_table, surface_table, windows);
  Split_Pair_Energies(pair_structure.atoms.first, pair_residue, pair->Found(), pair_table, residues);
  Split_Surface_Energies(surface_atoms, surface_residue, surface->Found(), surface_table, residues);
  return Smoothed_Profile(std::move(residues), windows);
}

}  // namespace energy
