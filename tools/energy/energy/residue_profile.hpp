// Per-residue energies of the native sequence: where along the chain a model
// scores badly. Each scored pair's pair-table value is split equally between
// the residues of its two atoms, each residue adds its own surface-table
// value, and the combined energy is their sum. The values of a chain add up to
// the native energies vicina and exposa report (up to summation order).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "energy/energy_tool.hpp"
#include "energy/potential_table.hpp"
#include "structure/lk_list.hpp"

namespace energy {

struct Residue_Energy {
  std::string chain;          // as read; empty for a blank chain column
  int number = 0;             // residue number as read
  char insertion_code = ' ';  // as read; blank when none
  std::string name;           // three-letter residue name
  double pair = 0.0;          // units of the pair table
  double surface = 0.0;       // units of the surface table
  double combined = 0.0;      // pair + surface
};

// Residue label as the file writes it: "52", "52A".
std::string Residue_Label(const Residue_Energy& residue);

// Each energy averaged over a centred window of `window` residues in chain
// order; the window shrinks at the chain ends (only residues present count).
struct Smoothed_Energies {
  int window = 0;
  std::vector<double> pair, surface, combined;
};

struct Residue_Profile {
  std::vector<Residue_Energy> residues;  // in chain order
  std::vector<Smoothed_Energies> smoothed;
};

// Default windows: a short one that follows a helix turn or a strand, and a
// long one that shows which stretch of the chain is off.
inline constexpr std::array<int, 2> kProfileWindows = {9, 21};

// Centred moving average of `values`; `window` must be odd and positive.
std::vector<double> Smooth(std::span<const double> values, int window);

// The profile of a chain as the reader returns it (before virtual beta carbons
// and atom filters; residues numbered 1..n). Residues are those of the chain;
// one that the energies never see (no CA or CB) has zero energies.
Residue_Profile Compute_Residue_Profile(const structure::Atom_List& chain, const MFP_Table& pair_table,
                                        const MFP_Table& surface_table, std::span<const int> windows = kProfileWindows);

// The pair tool's structure of a chain, the very list Prepare_Structure gives
// for the same copy of the chain, with the chain's residue number of each of
// its atoms (before the filter numbered them anew).
struct Profiled_Structure {
  structure::Atom_List atoms;
  std::vector<int> residue_number;  // in list order
};
Profiled_Structure Prepare_Profiled_Structure(structure::Atom_List chain_copy, const std::string& protein_name,
                                              char chain_id);

// The same profile from what the two energy steps found: the pair structure
// above and its evaluator, and the surface evaluator of the structure narrowed
// from it (its CB atoms). The scored pairs and the neighbour counts are taken
// as they are, not found again.
Residue_Profile Compute_Residue_Profile(const structure::Atom_List& chain, const Profiled_Structure& pair_structure,
                                        const Energy_Evaluator& pair_energy, const Energy_Evaluator& surface_energy,
                                        const MFP_Table& pair_table, const MFP_Table& surface_table,
                                        std::span<const int> windows = kProfileWindows);

}  // namespace energy
