#include "energy/surface_energy.hpp"

#include <algorithm>
#include <cstdint>

#include "common/fatal_error.hpp"
#include "energy/pair_energy.hpp"
#include "structure/cell_grid.hpp"
#include "structure/residues.hpp"

namespace energy::surface {
namespace {

using structure::kNoType;

// Neighbour counts within kNeighbourRadius, each unordered pair once.
std::vector<int> Count_Neighbours(const std::vector<const Atom_Record*>& atoms) {
  std::vector<int> counts(atoms.size(), 0);
  std::vector<structure::Point> points;
  points.reserve(atoms.size());
  for (const Atom_Record* atom : atoms) points.push_back({atom->x, atom->y, atom->z});
  const structure::Cell_Grid grid(points, kNeighbourRadius);
  for (std::uint32_t i = 0; i < atoms.size(); ++i) {
    grid.For_Later_Candidates(i, [&](std::uint32_t j) {
      if (pair::Find_Non_Squared_Distance(*atoms[i], *atoms[j]) <= kNeighbourRadius) {
        ++counts[i];
        ++counts[j];
      }
    });
  }
  return counts;
}

}  // namespace

void Keep_Only_Directly_Required_Atoms(Atom_List& list) {
  structure::Remove_Atoms_Unless(list, [](const Atom_Record& a) { return a.atom_name == "CB"; });
  structure::Renumerate_Protein(list.first);
}

int Set_AA_Type(Atom_Record* first) {
  int untyped = 0;
  for (Atom_Record* atom = first; atom; atom = atom->next) {
    atom->atom_type = structure::Get_AA_Type(*atom);
    if (atom->atom_type == kNoType) ++untyped;
  }
  return untyped;
}

void Define_Atom_Types(Atom_Record* first) { Set_AA_Type(first); }

char Find_Accessible_Surface_Class(float count, int& surface_class, double range, double bin_size, int num_classes) {
  const double x = count;
  if (x > range) {
    surface_class = num_classes - 1;
    return 'Y';
  }
  for (int i = 0; i < num_classes; ++i) {
    const double low = i * bin_size;
    const double high = (i + 1) * bin_size;
    if (x > low && x <= high) {
      surface_class = i;
      return 'Y';
    }
  }
  surface_class = kNoType;
  return 'N';
}

void Energy_Profile_Accessible_Surface(Atom_Record* first, const MFP_Table& table, double& energy) {
  pair::Initialize_Calculated_Values(first);
  energy = 0.0;
  for (Atom_Record* a = first; a; a = a->next) {
    for (Atom_Record* b = a->next; b; b = b->next) {
      if (pair::Find_Non_Squared_Distance(*a, *b) <= kNeighbourRadius) {
        ++a->neighbours;
        ++b->neighbours;
      }
    }
  }
  for (Atom_Record* a = first; a; a = a->next) {
    int surface_class = 0;
    if (Find_Accessible_Surface_Class(static_cast<float>(a->neighbours), surface_class, table.range, table.bin_size,
                                      table.dim_val[1]) != 'Y')
      continue;
    const int tuple[10] = {a->atom_type, surface_class};
    energy += table.values[static_cast<std::size_t>(Get_MFP_Index(2, tuple, table.dim_val))];
  }
}

Surface_Geometry::Surface_Geometry(const Atom_Record* first, const MFP_Table& table) : table_(table) {
  std::vector<const Atom_Record*> atoms;
  for (const Atom_Record* atom = first; atom; atom = atom->next) atoms.push_back(atom);
  for (const int count : Count_Neighbours(atoms)) {
    int surface_class = 0;
    const bool scored = Find_Accessible_Surface_Class(static_cast<float>(count), surface_class, table.range,
                                                      table.bin_size, table.dim_val[1]) == 'Y';
    classes_.push_back(scored ? surface_class : -1);
  }
}

double Surface_Geometry::Energy(std::span<const char> atom_codes) const {
  const int classes = table_.dim_val[1];
  double energy = 0.0;
  for (std::size_t i = 0; i < classes_.size(); ++i) {
    if (classes_[i] < 0) continue;
    const std::size_t type = structure::aa_1_letter.find(atom_codes[i]);
    if (type == std::string_view::npos)
      common::Fail(common::kExitBang, "residue code '%c' has no surface type", atom_codes[i]);
    energy += table_.values[type * static_cast<std::size_t>(classes) + static_cast<std::size_t>(classes_[i])];
  }
  return energy;
}

void Surface_Geometry::Energies(std::span<const char> codes, std::size_t count, std::span<double> energies) const {
  const std::size_t classes = static_cast<std::size_t>(table_.dim_val[1]);
  std::fill(energies.begin(), energies.end(), 0.0);
  double* const sums = energies.data();
  std::vector<std::uint32_t> rows(count);
  for (std::size_t i = 0; i < classes_.size(); ++i) {
    if (classes_[i] < 0) continue;
    for (std::size_t s = 0; s < count; ++s) {
      const char code = codes[i * count + s];
      const std::size_t type = structure::aa_1_letter.find(code);
      if (type == std::string_view::npos)
        common::Fail(common::kExitBang, "residue code '%c' has no surface type", code);
      rows[s] = static_cast<std::uint32_t>(type * classes);
    }
    const double* const column = table_.values.data() + classes_[i];
    for (std::size_t s = 0; s < count; ++s) sums[s] += column[rows[s]];
  }
}

}  // namespace energy::surface
