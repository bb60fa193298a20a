// Z-scores of a native energy against the energies of 200 shuffled sequences
// threaded onto the same structure, for the pair potential, the surface
// potential and their combination.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <span>
#include <string>

#include "common/model_files.hpp"
#include "common/step.hpp"

namespace combine {

inline constexpr std::size_t kShuffleCount = common::model_files::kShuffles;

// The Z-score given when the shuffled energies do not vary.
inline constexpr double kNoZScore = 9999.0;

// The energies one potential gives a structure: its native sequence and the
// shuffles, element i belonging to shuffle i.
struct Potential_Energies {
  double native = 0.0;
  std::array<double, kShuffleCount> shuffled{};
};

struct Z_Scores {
  double zscore = 0.0;  // combined
  double zscore_pair = 0.0;
  double zscore_surf = 0.0;
};

// The arithmetic mean, summed in index order. Fewer than 2 values give
// "n must be at least 2 (reported from Obtain_Average)\n\n".
double Obtain_Average(std::span<const double> values);

// The sample standard deviation (divisor n - 1) by the corrected two-pass
// formula: sqrt((q - s*s/n) / (n - 1)) with s and q the sums of the deviations
// from the mean and of their squares. Fewer than 2 values give
// "n must be at least 2 (reported from Obtain_St_Dev)\n\n".
double Obtain_St_Dev(std::span<const double> values);

// (x - mean) / standard deviation; kNoZScore when the deviation is exactly 0.
double Obtain_Z_Score(double x, std::span<const double> values);

// The three Z-scores. The combined energy divides each potential's energy by
// the standard deviation of its own shuffled energies; when either deviation
// is 0 that division has no finite result, and the combined Z-score is
// kNoZScore.
Z_Scores Compute_Z_Scores(const Potential_Energies& pair, const Potential_Energies& surf);

struct Energy_Files {
  Potential_Energies pair;
  Potential_Energies surf;
};

// Reads NAME.vicina.native, NAME.vicina.random, NAME.exposa.native and
// NAME.exposa.random in this order: the first line of each native file and
// the first 200 lines of each random file.
Energy_Files Read_Energy_Files(const std::string& protein_name);

// One line of a Z-score file: "%8.4lf\n".
std::string Z_Score_File_Line(double value);

// The Z-score step, from the energies as the energy files hold them: writes
// NAME.zscore (combined), NAME.pair.zscore and NAME.surf.zscore. Its value is
// the three scores as those files print them (four decimals), which is how
// the ZO341 step sees them.
common::Step_Result<Z_Scores> Z_Score_Step(const Potential_Energies& pair, const Potential_Energies& surf);

// The three result lines, "Z-score comb  ", "Z-score pair  " and
// "Z-score surf  ", each with a tab, the name, a tab and "%10.4lf". A score as
// its file holds it prints the same four decimals as the unrounded score.
void Print_Z_Score_Lines(std::FILE* out, const std::string& protein_name, const Z_Scores& scores);

}  // namespace combine
