#include "structure/residues.hpp"

#include "structure/lk_list.hpp"

namespace structure {

int Residue_Index(std::string_view three_letter) {
  for (int i = 0; i < kNumResidueTypes; ++i)
    if (aa_3_letter[i] == three_letter) return i;
  return kNoType;
}

char Find_AA_Type(const Atom_Record& atom) {
  const int index = Residue_Index(atom.aa_name);
  return index == kNoType ? 'X' : aa_1_letter[index];
}

int Get_AA_Type(const Atom_Record& atom) { return Residue_Index(atom.aa_name); }

}  // namespace structure
