#include "reference/energy_routines.hpp"

#include <cstdlib>

#include "structure/geometry.hpp"
#include "structure/residues.hpp"

namespace energy::pair {

using structure::kNoType;

int Set_AA_CA_CB_Atom_Type(Atom_Record* first) {
  int untyped = 0;
  for (Atom_Record* atom = first; atom; atom = atom->next) {
    atom->atom_type = Get_AA_CA_CB_Atom_Type(*atom);
    if (atom->atom_type == kNoType) ++untyped;
  }
  return untyped;
}

void Correct_Atom_Types(Atom_Record* first) {
  for (Atom_Record* atom = first; atom; atom = atom->next) atom->atom_type -= 1;
}

void Define_Atom_Types(Atom_Record* first) {
  Set_AA_CA_CB_Atom_Type(first);
  Correct_Atom_Types(first);
}

void Initialize_Calculated_Values(Atom_Record* first) {
  for (Atom_Record* atom = first; atom; atom = atom->next) atom->neighbours = 0;
}

int Find_K(const Atom_Record& a, const Atom_Record& b) {
  if (a.chain != b.chain) return 100;
  return std::abs(a.aa_number - b.aa_number);
}

float Find_Non_Squared_Distance(const Atom_Record& a, const Atom_Record& b) {
  return structure::Single_Precision_Distance(a, b);
}

void Energy_Profile_Distance_Dependent(Atom_Record* first, const MFP_Table& table, double& energy) {
  Initialize_Calculated_Values(first);
  energy = 0.0;
  for (Atom_Record* a = first; a; a = a->next) {
    for (Atom_Record* b = a->next; b; b = b->next) {
      const int separation = Separation_Class(Find_K(*a, *b));
      if (separation < 0) continue;
      const float d = Find_Non_Squared_Distance(*a, *b);
      if (!(d <= table.range)) continue;
      int bin = 0;
      if (Find_Distance_Dependent_Class(d, bin, table.range, table.bin_size, table.dim_val[3]) != 'Y') continue;
      const int tuple[10] = {a->atom_type, b->atom_type, separation, bin};
      energy += table.values[static_cast<std::size_t>(Get_MFP_Index(4, tuple, table.dim_val))];
    }
  }
}

}  // namespace energy::pair

namespace energy::surface {

using structure::kNoType;

int Set_AA_Type(Atom_Record* first) {
  int untyped = 0;
  for (Atom_Record* atom = first; atom; atom = atom->next) {
    atom->atom_type = structure::Get_AA_Type(*atom);
    if (atom->atom_type == kNoType) ++untyped;
  }
  return untyped;
}

void Define_Atom_Types(Atom_Record* first) { Set_AA_Type(first); }

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

}  // namespace energy::surface

namespace energy {

void Randomize_Protein_Sequence(Protein_Sequence& sequence, Platform_Random& random, unsigned seed) {
  Assign_Random_Values_to_Sequence(sequence, random, seed);
  Exchange_Sort_Protein_Sequence(sequence);
}

}  // namespace energy
