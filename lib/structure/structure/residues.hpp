// The twenty standard residues. A residue's position in these tables (0 to 19)
// is its residue index.
#pragma once

#include <array>
#include <string_view>

namespace structure {

struct Atom_Record;

inline constexpr int kNumResidueTypes = 20;
inline constexpr int kNoType = 9999;  // "none" in integer results

inline constexpr std::array<std::string_view, kNumResidueTypes> aa_3_letter = {
    "ALA", "ARG", "ASN", "ASP", "CYS", "GLU", "GLN", "GLY", "HIS", "ILE",
    "LEU", "LYS", "MET", "PHE", "PRO", "SER", "THR", "TRP", "TYR", "VAL"};
inline constexpr std::string_view aa_1_letter = "ARNDCEQGHILKMFPSTWYV";

// Residue index of a three-letter name (exact, case-sensitive), or 9999.
int Residue_Index(std::string_view three_letter);

// One-letter code of the atom's residue name, or 'X' outside the table.
char Find_AA_Type(const Atom_Record& atom);

// Residue index of the atom's residue name, or 9999 outside the table.
int Get_AA_Type(const Atom_Record& atom);

}  // namespace structure
