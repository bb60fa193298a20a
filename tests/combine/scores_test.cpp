// The score routines with values in memory; file handling is covered by the
// end-to-end tests.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "combine/z_score.hpp"
#include "combine/zo341.hpp"
#include "common/fatal_error.hpp"

namespace combine {
namespace {

template <typename Call>
std::string Failure_Of(Call call) {
  try {
    call();
  } catch (const common::Fatal_Error& error) {
    return error.what();
  }
  return "(no failure)";
}

// 100 values `low` then 100 `high`, or alternating.
std::array<double, kShuffleCount> Two_Levels(double low, double high, bool alternate = false) {
  std::array<double, kShuffleCount> values;
  for (std::size_t i = 0; i < kShuffleCount; ++i) values[i] = (alternate ? i % 2 == 0 : i < 100) ? low : high;
  return values;
}

TEST(Statistics, GuardsAndDivisor) {
  for (const std::vector<double>& few : {std::vector<double>{}, std::vector<double>{4.0}}) {
    EXPECT_EQ(Failure_Of([&] { Obtain_Average(few); }), "n must be at least 2 (reported from Obtain_Average)\n\n");
    EXPECT_EQ(Failure_Of([&] { Obtain_St_Dev(few); }), "n must be at least 2 (reported from Obtain_St_Dev)\n\n");
  }
  EXPECT_EQ(Obtain_St_Dev(std::vector<double>{1.0, 3.0}), std::sqrt(2.0));  // divisor n - 1
  EXPECT_EQ(Obtain_St_Dev(Two_Levels(1.0, 3.0)), std::sqrt(200.0 / 199.0));
}

TEST(Compute_Z_Scores, CombinedEnergiesAreMatchedByLine) {
  const double z = -2.0 / std::sqrt(200.0 / 199.0);  // -1.9950
  struct Case {
    const char* what;
    Potential_Energies pair, surf;
    Z_Scores expected;
  };
  const Case cases[] = {
      {"proportional", {0.0, Two_Levels(1.0, 3.0)}, {0.0, Two_Levels(10.0, 30.0)}, {z, z, z}},
      // Alternating pair against surface in blocks: combined {2,4,4,6}/sd.
      {"by line", {0.0, Two_Levels(1.0, 3.0, true)}, {0.0, Two_Levels(10.0, 30.0)}, {-std::sqrt(199.0) / 5, z, z}},
      {"constant pair", {5.0, Two_Levels(4.0, 4.0)}, {0.0, Two_Levels(10.0, 30.0)}, {kNoZScore, kNoZScore, z}},
      {"constant surface", {0.0, Two_Levels(1.0, 3.0)}, {5.0, Two_Levels(4.0, 4.0)}, {kNoZScore, z, kNoZScore}},
  };
  for (const Case& c : cases) {
    const Z_Scores scores = Compute_Z_Scores(c.pair, c.surf);
    EXPECT_EQ(Z_Score_File_Line(scores.zscore), Z_Score_File_Line(c.expected.zscore)) << c.what;
    EXPECT_EQ(Z_Score_File_Line(scores.zscore_pair), Z_Score_File_Line(c.expected.zscore_pair)) << c.what;
    EXPECT_EQ(Z_Score_File_Line(scores.zscore_surf), Z_Score_File_Line(c.expected.zscore_surf)) << c.what;
  }
}

TEST(Compute_ZO341, ValuesAndRefusals) {
  EXPECT_EQ(Compute_ZO341(9999.0, 0.3, 40.0), 0.0);  // exactly 0, not merely rounded
  EXPECT_EQ(Compute_ZO341(-3.0, 0.4, 0.0), 0.0);
  EXPECT_EQ(ZO341_File_Line(Compute_ZO341(-50.0, 1.0, 60.0)), "  1.0000\n");
  EXPECT_EQ(ZO341_File_Line(Compute_ZO341(0.0, 0.5, 100.0)), "  0.6028\n");  // 1 - cos(1)^1.5
  for (const double identity : {-0.01, 100.01, 157.0, std::numeric_limits<double>::quiet_NaN()})
    EXPECT_NE(Failure_Of([&] { Compute_ZO341(0.0, 0.5, identity); }).find("is outside 0 to 100"), std::string::npos)
        << identity;
}

}  // namespace
}  // namespace combine
