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

void Add_Pair_Energies(const Atom_List& chain, const MFP_Table& table,
                       const std::unordered_map<int, std::size_t>& residue_of_number,
                       std::vector<Residue_Energy>& residues) {
  const Filtered_Chain filtered = Filter(chain, pair::Keep_Only_Directly_Required_Atoms, residue_of_number);
  std::vector<int> types;
  for (const Atom_Record* atom = filtered.list.first; atom; atom = atom->next)
    types.push_back(pair::Get_AA_CA_CB_Atom_Type(*atom) - 1);
  const int bins = table.dim_val[3];
  const pair::Pair_Geometry geometry(filtered.list.first, table);
  for (const pair::Pair_Geometry::Scored_Pair& p : geometry.Pairs()) {
    const int cell = static_cast<int>(p.cell);
    const int tuple[10] = {types[p.a], types[p.b], cell / bins, cell % bins};
    const double half = table.values[static_cast<std::size_t>(Get_MFP_Index(4, tuple, table.dim_val))] / 2.0;
    residues[filtered.residue_of_atom[p.a]].pair += half;
    residues[filtered.residue_of_atom[p.b]].pair += half;
  }
}

void Add_Surface_Energies(const Atom_List& chain, const MFP_Table& table,
                          const std::unordered_map<int, std::size_t>& residue_of_number,
                          std::vector<Residue_Energy>& residues) {
  const Filtered_Chain filtered = Filter(chain, surface::Keep_Only_Directly_Required_Atoms, residue_of_number);
  const surface::Surface_Geometry geometry(filtered.list.first, table);
  const std::vector<int>& classes = geometry.Classes();
  std::size_t i = 0;
  for (const Atom_Record* atom = filtered.list.first; atom; atom = atom->next, ++i) {
    if (classes[i] < 0) continue;
    const int tuple[10] = {structure::Get_AA_Type(*atom), classes[i]};
    residues[filtered.residue_of_atom[i]].surface +=
        table.values[static_cast<std::size_t>(Get_MFP_Index(2, tuple, table.dim_val))];
  }
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
  Residue_Profile profile;
  std::unordered_map<int, std::size_t> residue_of_number;
  for (const Atom_Record* atom = chain.first; atom; atom = atom->next) {
    if (residue_of_number.contains(atom->aa_number)) continue;
    residue_of_number.emplace(atom->aa_number, profile.residues.size());
    profile.residues.push_back({atom->chain, atom->aa_number_read, atom->insertion_code, atom->aa_name});
  }
  Add_Pair_Energies(chain, pair_table, residue_of_number, profile.residues);
  Add_Surface_Energies(chain, surface_table, residue_of_number, profile.residues);

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

}  // namespace energy
