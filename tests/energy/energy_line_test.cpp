// The energy files' lines against printf's "%13.5lf\n", and the value read
// back from them against the C library's reading of that text.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>

#include "energy/energy_tool.hpp"

namespace energy {
namespace {

std::string Printf_Line(double value) {
  char line[512];
  std::snprintf(line, sizeof line, "%13.5lf\n", value);
  return line;
}

void Expect_Like_Printf(double value) {
  SCOPED_TRACE(Printf_Line(value));
  EXPECT_EQ(Energy_File_Line(value), Printf_Line(value));
}

TEST(EnergyLine, EdgeValuesAsPrintf) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const double value : {0.0,
                             -0.0,
                             -0.000004,
                             0.000005,  // rounding to a signed zero
                             0.015625,
                             0.046875,
                             -2.5e-6 * 4,  // exact ties go to the even digit
                             0.0000050000000000000001,
                             1.999995,
                             9999999.999995,
                             123456.78901,
                             -123456.78901,
                             1234567.123456,
                             -1234567.123456,  // wider than the field
                             1e15 - 1,
                             1e15,
                             -1e15,
                             1e300,
                             DBL_MIN,
                             DBL_TRUE_MIN,
                             inf,
                             -inf,
                             nan,
                             -nan}) {
    Expect_Like_Printf(value);
  }
}

TEST(EnergyLine, RandomValuesAsPrintfAndReadBackAsStrtod) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> exponent(-8.0, 9.0);
  std::vector<double> values;
  for (int k = 0; k < 20000; ++k) values.push_back((random() & 1 ? -1 : 1) * std::pow(10.0, exponent(random)));
  for (long k = -2000; k <= 2000; ++k) values.push_back(static_cast<double>(k) / 128.0);  // ties
  std::string text;
  std::string expected;
  for (const double value : values) {
    const double filed = Append_Energy_Line(value, text);
    const std::string line = Printf_Line(value);
    expected += line;
    ASSERT_EQ(filed, std::strtod(line.c_str(), nullptr)) << line;
  }
  EXPECT_EQ(text, expected);
  EXPECT_EQ(Shuffled_Energies_Text(values), expected);
}

}  // namespace
}  // namespace energy
