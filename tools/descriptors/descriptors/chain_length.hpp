// Chain length: the number of residues the reader kept.
#pragma once

#include <string>

#include "common/step.hpp"
#include "structure/lk_list.hpp"

namespace descriptors {

// Counts the changes of residue number along the list (from 9999); on a
// renumbered list this is the number of residues, 0 for an empty list.
double Chain_Length(const structure::Atom_Record* first);

// The content of NAME.length: "%10.4f\n" with the length in single precision.
std::string Length_File_Line(double length);

// The length step: NAME.length, and the length as the file gives it on.
common::Step_Result<double> Length_Step(const structure::Atom_List& chain);

}  // namespace descriptors
