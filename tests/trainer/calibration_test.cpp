#include "trainer/calibration.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace trainer {
namespace {

TEST(Calibration, AucCountsTiesAsHalf) {
  struct Case {
    const char* fault;
    std::vector<Scored_Model> models;
    std::optional<double> auc;
  };
  const std::vector<Case> cases = {
      {"separated", {{0.9, true}, {0.8, true}, {0.1, false}}, 1.0},
      {"reversed", {{0.1, true}, {0.9, false}}, 0.0},
      {"all tied", {{0.5, true}, {0.5, false}, {0.5, false}}, 0.5},
      {"one tie among pairs", {{0.9, true}, {0.4, true}, {0.4, false}, {0.1, false}}, 3.5 / 4},
      {"a single class", {{0.9, true}}, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    EXPECT_EQ(Auc(c.models), c.auc);
  }
}

TEST(Calibration, BinsByHundredthsAndGapIgnoresSmallBins) {
  std::vector<Scored_Model> models = {{0.30, true}, {0.39, false}, {1.00, true}, {0.99, true}, {0.0, true}};
  for (int i = 0; i < 20; ++i) models.push_back({0.72, i < 10});
  const Calibration bins = Calibrate(models);
  EXPECT_EQ(bins[3].count, 2);  // 0.30 is not pushed to bin 2 by its binary value
  EXPECT_EQ(bins[9].count, 2);  // 1.00 belongs to the last bin
  EXPECT_EQ(bins[0].count, 1);
  EXPECT_EQ(bins[7].count, 20);
  EXPECT_NEAR(Worst_Calibration_Gap(bins, 20), 0.22, 1e-12);  // only bin 7 counts
  EXPECT_NEAR(Worst_Calibration_Gap(bins, 1), 1.0, 1e-12);    // bin 0: pG 0, yet correct
}

}  // namespace
}  // namespace trainer
