// The score steps pass their values on as their files print them, under the
// files' own suffixes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "combine/z_score.hpp"
#include "combine/zo341.hpp"

namespace combine {
namespace {

// 100 values `low`, then 100 `high`.
Potential_Energies Two_Levels(double native, double low, double high) {
  Potential_Energies energies{native, {}};
  for (std::size_t i = 0; i < kShuffleCount; ++i) energies.shuffled[i] = i < 100 ? low : high;
  return energies;
}

struct Row {
  const char* fault;
  std::vector<common::Step_File> files, expected_files;
  std::vector<double> values, expected_values;  // exact: a value must be its file's number
};

std::vector<Row> Rows() {
  const auto z = Z_Score_Step(Two_Levels(0.0, 1.0, 3.0), Two_Levels(6.0, 4.0, 6.0));
  const auto zo341 = ZO341_Step(0.0, 0.5, 100.0);  // 1 - cos(1)^1.5 = 0.60276...
  return {
      {"Z-scores passed on unrounded, or filed under swapped suffixes",
       z.files,
       {{".zscore", " -0.4987\n"}, {".pair.zscore", " -1.9950\n"}, {".surf.zscore", "  0.9975\n"}},
       {z.value.zscore, z.value.zscore_pair, z.value.zscore_surf},
       {-0.4987, -1.995, 0.9975}},
      {"ZO341 passed on unrounded", zo341.files, {{".zo341", "  0.6028\n"}}, {zo341.value}, {0.6028}},
  };
}

TEST(Score_Steps, PassOnWhatTheirFilesHold) {
  for (const Row& row : Rows()) {
    ASSERT_EQ(row.files.size(), row.expected_files.size()) << row.fault;
    for (std::size_t i = 0; i < row.files.size(); ++i) {
      EXPECT_EQ(row.files[i].suffix, row.expected_files[i].suffix) << row.fault;
      EXPECT_EQ(row.files[i].text, row.expected_files[i].text) << row.fault;
    }
    EXPECT_EQ(row.values, row.expected_values) << row.fault;
  }
}

}  // namespace
}  // namespace combine
