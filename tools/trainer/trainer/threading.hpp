// Threading decoys: a native sequence on a window of another chain's
// backbone, scored as the suite scores a model (the two energies against 200
// shuffles, their Z-scores, and ZO341), with the library's own threading.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "energy/potential_table.hpp"
#include "structure/lk_list.hpp"

namespace trainer {

struct Threading_Scores {
  double z_pair = 0.0, z_surface = 0.0, z_combined = 0.0;
  double identity = 0.0;  // percent, of the sequence to the backbone's own
  double zo341 = 0.0;
};

// One code per residue of a chain as read (residue numbers 1..n).
std::string Chain_Sequence(const structure::Atom_List& chain);

// Copies residues first..first+count-1 (numbered from 0, in list order) of a
// chain as read, renumbered from 1.
structure::Atom_List Residue_Window(const structure::Atom_List& chain, int first, int count);

// Puts `sequence` (one code per residue) on a backbone as read, and scores it
// as the programs score a structure whose native sequence it is: virtual CBs
// for the backbone's own glycines, then the sequence threaded as a shuffle is,
// then each tool's atoms, native energy and shuffles (seeds 1, 2, ..., 200),
// the Z-scores and ZO341 with the identity of the sequence to the backbone's.
Threading_Scores Score_Threaded(const structure::Atom_List& backbone, const std::string& sequence,
                                const energy::MFP_Table& pair_table, const energy::MFP_Table& surface_table);

// Area under the ROC curve of natives against decoys: the chance that a
// native scores better (lower when `lower_is_better`) than a decoy, ties
// counting half.
double Native_Decoy_AUC(const std::vector<double>& natives, const std::vector<double>& decoys, bool lower_is_better);

}  // namespace trainer
