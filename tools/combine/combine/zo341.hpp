// ZO341: one score from the combined Z-score, the compactness of the chain and
// the sequence identity (in percent) of an alignment.
#pragma once

#include <cstdio>
#include <string>

#include "common/step.hpp"

namespace combine {

// The identity is a percentage; the formula is only defined (and meaningful)
// from 0 to 100. False for NaN.
bool Is_Identity_Percent(double seq_ide_percent);

// ZO341 = 1 - cos(s) ^ ((compactness + s) / exp(zscore)), s = identity / 100,
// evaluated step by step in double precision. An identity outside 0 to 100 is
// refused with Fatal_Error.
double Compute_ZO341(double zscore, double compactness, double seq_ide_percent);

struct ZO341_Inputs {
  double zscore = 0.0;
  double compactness = 0.0;
  double seq_ide = 0.0;  // percent
};

// Reads the first line of NAME.zscore, NAME.compactness and NAME.seq_ide, in
// this order, and refuses an identity outside 0 to 100.
ZO341_Inputs Read_ZO341_Inputs(const std::string& protein_name);

// The content of NAME.zo341: "%8.4lf\n".
std::string ZO341_File_Line(double zo341);

// The ZO341 step, from the combined Z-score, the compactness and the identity
// (percent) as their files print them: writes NAME.zo341. Its value is ZO341
// as that file prints it (four decimals), which is how the pG step sees it.
// An identity outside 0 to 100 is refused as Compute_ZO341 refuses it.
common::Step_Result<double> ZO341_Step(double zscore, double compactness, double seq_ide_percent);

// The result line "ZO341-score   <TAB>NAME<TAB>%10.4lf" (the same four
// decimals for ZO341 as its file holds it as for the unrounded score).
void Print_ZO341_Line(std::FILE* out, const std::string& protein_name, double zo341);

}  // namespace combine
