#include "combine/z_score.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "combine/score_file.hpp"
#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/format.hpp"
#include "common/model_files.hpp"

namespace combine {
namespace {

double Sum(std::span<const double> values) {
  double sum = 0.0;
  for (const double value : values) sum += value;
  return sum;
}

Potential_Energies Read_Potential(const std::string& protein_name, std::string_view native, std::string_view random) {
  Potential_Energies energies;
  energies.native = Read_First_Score(common::model_files::Name(protein_name, native));
  const std::vector<double> shuffled = Read_Score_File(common::model_files::Name(protein_name, random), kShuffleCount);
  std::copy(shuffled.begin(), shuffled.end(), energies.shuffled.begin());
  return energies;
}

}  // namespace

double Obtain_Average(std::span<const double> values) {
  if (values.size() < 2) common::Fail(common::kBlankLine, "n must be at least 2 (reported from Obtain_Average)");
  return Sum(values) / static_cast<double>(values.size());
}

double Obtain_St_Dev(std::span<const double> values) {
  if (values.size() < 2) common::Fail(common::kBlankLine, "n must be at least 2 (reported from Obtain_St_Dev)");
  const double n = static_cast<double>(values.size());
  const double mean = Sum(values) / n;
  double s = 0.0;
  double q = 0.0;
  for (const double value : values) {
    const double d = value - mean;
    s += d;
    q += d * d;
  }
  // s is zero but for rounding; s*s/n takes that rounding back out of q.
  return std::sqrt((q - s * s / n) / static_cast<double>(values.size() - 1));
}

double Obtain_Z_Score(double x, std::span<const double> values) {
  const double mean = Obtain_Average(values);
  const double sd = Obtain_St_Dev(values);
  if (sd == 0.0) return kNoZScore;
  return (x - mean) / sd;
}

Z_Scores Compute_Z_Scores(const Potential_Energies& pair, const Potential_Energies& surf) {
  Z_Scores scores;
  const double std_dev_pair = Obtain_St_Dev(pair.shuffled);
  const double std_dev_surf = Obtain_St_Dev(surf.shuffled);
  if (std_dev_pair == 0.0 || std_dev_surf == 0.0) {
    scores.zscore = kNoZScore;
  } else {
    const double combined_native = pair.native / std_dev_pair + surf.native / std_dev_surf;
    std::array<double, kShuffleCount> combined_shuffled;
    for (std::size_t i = 0; i < kShuffleCount; ++i)
      combined_shuffled[i] = pair.shuffled[i] / std_dev_pair + surf.shuffled[i] / std_dev_surf;
    scores.zscore = Obtain_Z_Score(combined_native, combined_shuffled);
  }
  scores.zscore_surf = Obtain_Z_Score(surf.native, surf.shuffled);
  scores.zscore_pair = Obtain_Z_Score(pair.native, pair.shuffled);
  return scores;
}

Energy_Files Read_Energy_Files(const std::string& protein_name) {
  Energy_Files files;
  namespace names = common::model_files;
  files.pair = Read_Potential(protein_name, names::kPairNative, names::kPairRandom);
  files.surf = Read_Potential(protein_name, names::kSurfaceNative, names::kSurfaceRandom);
  return files;
}

std::string Z_Score_File_Line(double value) { return common::Format("%8.4lf\n", value); }

common::Step_Result<Z_Scores> Z_Score_Step(const Potential_Energies& pair, const Potential_Energies& surf) {
  namespace files = common::model_files;
  const Z_Scores scores = Compute_Z_Scores(pair, surf);
  common::Step_Result<Z_Scores> step;
  step.files = {{std::string(files::kZScore), Z_Score_File_Line(scores.zscore)},
                {std::string(files::kPairZScore), Z_Score_File_Line(scores.zscore_pair)},
                {std::string(files::kSurfaceZScore), Z_Score_File_Line(scores.zscore_surf)}};
  // The next step reads the scores back from these files, with their four decimals.
  step.value = {common::Filed_Number(step.files[0].text), common::Filed_Number(step.files[1].text),
                common::Filed_Number(step.files[2].text)};
  return step;
}

void Print_Z_Score_Lines(std::FILE* out, const std::string& protein_name, const Z_Scores& scores) {
  const char* name = protein_name.c_str();
  std::fprintf(out, "Z-score comb  %c%s%c%10.4lf\n", '\t', name, '\t', scores.zscore);
  std::fprintf(out, "Z-score pair  %c%s%c%10.4lf\n", '\t', name, '\t', scores.zscore_pair);
  std::fprintf(out, "Z-score surf  %c%s%c%10.4lf\n", '\t', name, '\t', scores.zscore_surf);
}

}  // namespace combine
