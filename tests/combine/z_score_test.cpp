#include "combine/z_score.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/fatal_error.hpp"

namespace combine {
namespace {

// 100 values `low` followed by 100 values `high`, or alternating when asked.
std::array<double, kShuffleCount> Two_Levels(double low, double high, bool alternate = false) {
  std::array<double, kShuffleCount> values;
  for (std::size_t i = 0; i < kShuffleCount; ++i)
    values[i] = (alternate ? i % 2 == 0 : i < kShuffleCount / 2) ? low : high;
  return values;
}

std::string Failure_Of(double (*routine)(std::span<const double>), const std::vector<double>& values) {
  try {
    routine(values);
  } catch (const common::Fatal_Error& error) {
    return error.what();
  }
  return "(no failure)";
}

TEST(Statistics, CountsBelowTwoAreRefusedWithTheRoutinesName) {
  for (const std::vector<double>& values : {std::vector<double>{}, std::vector<double>{4.0}}) {
    EXPECT_EQ(Failure_Of(Obtain_Average, values), "n must be at least 2 (reported from Obtain_Average)\n\n");
    EXPECT_EQ(Failure_Of(Obtain_St_Dev, values), "n must be at least 2 (reported from Obtain_St_Dev)\n\n");
  }
}

TEST(Statistics, SampleStandardDeviationDividesByNMinusOne) {
  EXPECT_EQ(Obtain_St_Dev(std::vector<double>{1.0, 3.0}), std::sqrt(2.0));
  const auto values = Two_Levels(1.0, 3.0);
  EXPECT_EQ(Obtain_Average(values), 2.0);
  EXPECT_EQ(Obtain_St_Dev(values), std::sqrt(200.0 / 199.0));
}

TEST(Statistics, ZScores) {
  const auto ones_and_threes = Two_Levels(1.0, 3.0);
  EXPECT_EQ(Z_Score_File_Line(Obtain_Z_Score(0.0, ones_and_threes)), " -1.9950\n");
  // The mean itself: 0, written as two blanks and 0.0000.
  EXPECT_EQ(Z_Score_File_Line(Obtain_Z_Score(2.0, ones_and_threes)), "  0.0000\n");
  std::array<double, kShuffleCount> constant;
  constant.fill(-7.25);
  EXPECT_EQ(Obtain_Z_Score(-100.0, constant), kNoZScore);
}

struct Combined_Case {
  const char* what;
  Potential_Energies pair;
  Potential_Energies surf;
  Z_Scores expected;
};

TEST(Compute_Z_Scores, CombinesEnergiesScaledByTheirOwnDeviation) {
  const double z = -2.0 / std::sqrt(200.0 / 199.0);
  const std::vector<Combined_Case> cases = {
      // Surface energies ten times the pair ones: after scaling both are the
      // same, and so is the combined Z-score.
      {"proportional", {0.0, Two_Levels(1.0, 3.0)}, {0.0, Two_Levels(10.0, 30.0)}, {z, z, z}},
      // Pair and surface are matched by line: alternating pair energies
      // against surface energies in two blocks give combined energies
      // {2, 4, 4, 6} / sd in equal parts, hence -4 / sqrt(400/199).
      {"matched by line",
       {0.0, Two_Levels(1.0, 3.0, true)},
       {0.0, Two_Levels(10.0, 30.0)},
       {-4.0 / std::sqrt(400.0 / 199.0), z, z}},
      // A potential whose shuffles do not vary cannot be scaled.
      {"constant pair", {5.0, Two_Levels(4.0, 4.0)}, {0.0, Two_Levels(10.0, 30.0)}, {kNoZScore, kNoZScore, z}},
      {"constant surface", {0.0, Two_Levels(1.0, 3.0)}, {5.0, Two_Levels(4.0, 4.0)}, {kNoZScore, z, kNoZScore}},
  };
  for (const Combined_Case& c : cases) {
    const Z_Scores scores = Compute_Z_Scores(c.pair, c.surf);
    EXPECT_EQ(Z_Score_File_Line(scores.zscore), Z_Score_File_Line(c.expected.zscore)) << c.what;
    EXPECT_EQ(scores.zscore_pair, c.expected.zscore_pair) << c.what;
    EXPECT_EQ(scores.zscore_surf, c.expected.zscore_surf) << c.what;
  }
}

}  // namespace
}  // namespace combine
