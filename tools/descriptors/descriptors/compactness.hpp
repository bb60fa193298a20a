// Compactness: the summed volume of the residues divided by the volume of the
// sphere whose diameter is the largest distance between two alpha carbons.
// Dimensionless; an extended chain scores lower.
#pragma once

#include <span>
#include <string>

#include "common/step.hpp"
#include "structure/geometry.hpp"
#include "structure/lk_list.hpp"

namespace descriptors {

// Residue volume in cubic angstrom by one-letter code; 0 for any other code.
double Residue_Volume(char aa_code);

// Distance of two atoms in double precision (not rounded to single).
inline double Find_Non_Squared_Distance(const structure::Atom_Record& a, const structure::Atom_Record& b) {
  return structure::Double_Precision_Distance(a, b);
}

// The longest distance between two of the atoms (as Find_Non_Squared_Distance
// gives it), or `start` when it is longer or there are fewer than two atoms.
// Exact, and far from quadratic unless the atoms lie on a sphere.
double Longest_Distance(std::span<const structure::Atom_Record* const> atoms, double start);

// Compactness of the list. Fewer than two alpha carbons leave the largest
// distance at -99999, which gives -0 or a negative value of tiny magnitude.
double Compactness(const structure::Atom_Record* first);

// The content of NAME.compactness: "%10.4f\n" with the value in single precision.
std::string Compactness_File_Line(double compactness);

// The compactness step: NAME.compactness, and the value as the file gives it on.
common::Step_Result<double> Compactness_Step(const structure::Atom_List& chain);

}  // namespace descriptors
