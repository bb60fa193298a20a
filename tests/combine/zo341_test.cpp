#include "combine/zo341.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "common/fatal_error.hpp"

namespace combine {
namespace {

struct ZO341_Case {
  double zscore;
  double compactness;
  double identity;
  std::string line;
};

TEST(Compute_ZO341, WorkedValues) {
  const std::vector<ZO341_Case> cases = {
      {0.0, 0.5, 50.0, "  0.1224\n"},     // exponent 1: 1 - cos(0.5)
      {9999.0, 0.3, 40.0, "  0.0000\n"},  // unvarying shuffles: exp(z) is infinite, exponent 0
      {-3.0, 0.4, 0.0, "  0.0000\n"},     // identity 0: base cos(0) = 1
      {-50.0, 1.0, 60.0, "  1.0000\n"},   // strongly negative Z-score
      {0.0, 0.5, 100.0, "  0.6028\n"},    // 1 - cos(1)^1.5, the top of the range
  };
  for (const ZO341_Case& c : cases)
    EXPECT_EQ(ZO341_File_Line(Compute_ZO341(c.zscore, c.compactness, c.identity)), c.line)
        << c.zscore << " " << c.compactness << " " << c.identity;
  EXPECT_EQ(Compute_ZO341(9999.0, 0.3, 40.0), 0.0);
  EXPECT_EQ(Compute_ZO341(-3.0, 0.4, 0.0), 0.0);
}

TEST(Compute_ZO341, IdentityOutsideAPercentageIsRefused) {
  for (const double identity : {-0.01, 100.01, 157.0, std::numeric_limits<double>::quiet_NaN()}) {
    try {
      Compute_ZO341(0.0, 0.5, identity);
      ADD_FAILURE() << identity << " accepted";
    } catch (const common::Fatal_Error& error) {
      EXPECT_NE(std::string(error.what()).find("is outside 0 to 100 (it is a percentage)\nprogram will exit !\n"),
                std::string::npos)
          << error.what();
    }
  }
}

}  // namespace
}  // namespace combine
