// The surface (accessibility) energy: each residue is represented by its beta
// carbon; the number of other beta carbons within 10 angstrom, grouped into 20
// accessibility classes, and the residue type select one surface-table value;
// the energy is the sum over the residues.
#pragma once

#include <span>
#include <vector>

#include "energy/potential_table.hpp"
#include "structure/lk_list.hpp"

namespace energy::surface {

using structure::Atom_List;
using structure::Atom_Record;

// Neighbour radius in angstrom.
inline constexpr float kNeighbourRadius = 10.0F;

// Keeps only the atoms named "CB" (so each residue is its beta carbon), then
// renumbers. A residue without a CB drops out.
void Keep_Only_Directly_Required_Atoms(Atom_List& list);

// Class i holds counts c with i*bin_size < c <= (i+1)*bin_size; a count above
// range goes to the last class. 'Y' with the class stored, else 'N' with 9999
// (a count of 0 is not scored).
char Find_Accessible_Surface_Class(float count, int& surface_class, double range, double bin_size, int num_classes);

// The surface energy for many evaluations of one structure: the neighbour counts,
// and so the classes, depend only on the coordinates and are found once; each
// evaluation is one pass adding the values of the current types in list
// order (bit-identical sums).
class Surface_Geometry {
 public:
  Surface_Geometry(const Atom_Record* first, const MFP_Table& table);

  // Energy with the given one-letter code for each atom, in list order.
  double Energy(std::span<const char> atom_codes) const;

  // The energies of `count` sequences in one pass, codes side by side per
  // atom (codes[atom * count + s]); each the same double as Energy gives.
  void Energies(std::span<const char> codes, std::size_t count, std::span<double> energies) const;

  const std::vector<int>& Classes() const { return classes_; }  // -1: not scored

 private:
  const MFP_Table& table_;
  std::vector<int> classes_;
};

}  // namespace energy::surface
