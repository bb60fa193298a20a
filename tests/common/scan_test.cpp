// The reading rules, one row per edge that can hurt, and Scan_Float against
// strtof, the conversion it must equal.
#include "common/scan.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <string>

namespace common {
namespace {

using Rule = std::function<std::optional<double>(std::string_view)>;

template <typename T>
std::optional<double> As_Double(std::optional<T> value) {
  if (!value) return std::nullopt;
  return static_cast<double>(*value);
}

const std::map<std::string, Rule>& Rules() {
  static const std::map<std::string, Rule> rules = {
      {"%lf", [](std::string_view t) { return Scan_Double(t); }},
      {"%f", [](std::string_view t) { return As_Double(Scan_Float(t)); }},
      {"%d", [](std::string_view t) { return As_Double(Scan_Int(t)); }},
      {"%d saturating", [](std::string_view t) { return As_Double(Scan_Int_Saturating(t)); }},
      {"%d%d%lf", [](std::string_view t) { return Scan_Ints_Then_Double(t, 2); }},
      {"first line %d%d%lf", [](std::string_view t) { return Scan_Line_Ints_Then_Double(t, 2).value; }},
      {"next line at", [](std::string_view t) { return static_cast<double>(Scan_Line_Ints_Then_Double(t, 2).next); }},
      {"whole %lf", [](std::string_view t) { return Scan_Whole_Double(t); }},
      {"unsigned <= 2^32-1", [](std::string_view t) { return As_Double(Strict_Unsigned(t, 0xFFFFFFFFULL)); }},
      {"unsigned <= 5", [](std::string_view t) { return As_Double(Strict_Unsigned(t, 5)); }},
      {"decimal", [](std::string_view t) { return Strict_Decimal(t); }},
  };
  return rules;
}

TEST(Scan, EachRuleOnItsEdges) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
  const std::string huge(400, '9');
  struct Row {
    const char* rule;
    std::string text;
    std::optional<double> expected;
  };
  const Row rows[] = {
      {"%lf", "  12.5xyz", 12.5},
      {"%lf", "", std::nullopt},
      {"%lf", " \t ", std::nullopt},
      {"%lf", "+2.5", 2.5},
      {"%lf", "-0.000", -0.0},
      {"%lf", "1e3", 1000.0},
      {"%lf", "1e", 1.0},
      {"%lf", "0x1p3", 8.0},
      {"%lf", "0.1234567890123456", 0.1234567890123456},
      {"%lf", "1e400", kInf},
      {"%lf", "nan", kNan},
      {"%f", "16777217", 16777216.0},
      {"%d", " -42abc", -42.0},
      {"%d", "4.9", 4.0},
      {"%d", "x1", std::nullopt},
      {"%d", "2147483648", std::nullopt},
      {"%d", "-2147483648", INT_MIN},
      {"%d", "999999999", 999999999.0},
      {"%d", "\t+7", 7.0},
      {"%d", "-x", std::nullopt},
      {"%d saturating", "2147483648", INT_MAX},
      {"%d saturating", "-" + huge, INT_MIN},
      {"%d saturating", "-", std::nullopt},
      {"%d%d%lf", "1 2 0.5", 0.5},
      {"%d%d%lf", "\t-1 +2   -12.25  x\r", -12.25},
      {"%d%d%lf", "1 2.5 3", 0.5},
      {"%d%d%lf", "1 2-0.5", -0.5},
      {"%d%d%lf", "1 2 0.1234567890123456", 0.1234567890123456},
      {"%d%d%lf", "1 2 1234567890123456789", 1234567890123456789.0},
      {"%d%d%lf", "1 x 0.5", std::nullopt},
      {"first line %d%d%lf", "1 2 0.5\n3 4 x", 0.5},
      {"first line %d%d%lf", "1 2 x\n3 4 0.5", std::nullopt},
      {"first line %d%d%lf", "1 2\n0.5\n", std::nullopt},
      {"first line %d%d%lf", "1 2 -7", -7.0},
      {"next line at", "1 2 0.5  junk\n3", 14.0},
      {"next line at", "1 2 1e1\n", 8.0},
      {"next line at", "1 2 0.5", 7.0},
      {"whole %lf", " 5", 5.0},
      {"whole %lf", "5 ", std::nullopt},
      {"whole %lf", "", std::nullopt},
      {"unsigned <= 2^32-1", "4294967295", 4294967295.0},
      {"unsigned <= 2^32-1", "4294967296", std::nullopt},
      {"unsigned <= 2^32-1", huge, std::nullopt},
      {"unsigned <= 2^32-1", "007", 7.0},
      {"unsigned <= 2^32-1", "", std::nullopt},
      {"unsigned <= 2^32-1", "+1", std::nullopt},
      {"unsigned <= 2^32-1", "-0", std::nullopt},
      {"unsigned <= 2^32-1", " 1", std::nullopt},
      {"unsigned <= 5", "7", std::nullopt},
      {"decimal", "37.25", 37.25},
      {"decimal", ".5", 0.5},
      {"decimal", "5.", 5.0},
      {"decimal", ".", std::nullopt},
      {"decimal", "", std::nullopt},
      {"decimal", "-1", std::nullopt},
      {"decimal", "1e3", std::nullopt},
      {"decimal", "0x1A", std::nullopt},
      {"decimal", " 5", std::nullopt},
      {"decimal", "1.2.3", std::nullopt},
      {"decimal", huge, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.rule) + " on '" + row.text + "'");
    const std::optional<double> found = Rules().at(row.rule)(row.text);
    ASSERT_EQ(found.has_value(), row.expected.has_value());
    if (!found) continue;
    if (std::isnan(*row.expected)) {
      EXPECT_TRUE(std::isnan(*found)) << *found;
    } else {
      EXPECT_EQ(std::memcmp(&*found, &*row.expected, sizeof(double)), 0) << *found;
    }
  }
}

TEST(ScanFloat, ShortDecimalsEqualStrtof) {
  // Every width of coordinate and occupancy field, over the whole range of
  // seven digits in steps that visit every last digit.
  char text[32];
  for (int decimals = 1; decimals <= 6; ++decimals)
    for (long n = -9999999; n <= 9999999; n += 9973) {
      std::snprintf(text, sizeof text, "%.*f", decimals, static_cast<double>(n) / std::pow(10.0, decimals));
      const float expected = std::strtof(text, nullptr);
      const std::optional<float> found = Scan_Float(text);
      ASSERT_TRUE(found.has_value()) << text;
      ASSERT_EQ(std::memcmp(&*found, &expected, sizeof expected), 0) << text;
    }
}

TEST(ScanFloat, EqualsStrtof) {
  const char* const texts[] = {
      "  12.345",  "-999.999",   "   0.000",  "-0.000", "1234.5678", "0.1",     "16777217",   "3.4028236e38",
      "1e-40",     "1e-50",      "+7.5",      ".5",     "-.25x",     "0x1p3",   "-0X1.8p1",   "inf",
      "-INF",      "nan",        "1.5e",      "2.5e+",  "  7.25abc", "8.125 9", "4.0000001p", "33554431.0",
      "0.3000001", "-",          "",          "   ",    "x1",        "1,5",     "\t-3.75",    "9999.999",
      "99999.999", "-0.0000001", "0000000.1", "1.5e3",  "2.5\n",     "7.",      "12345.675"};
  for (const char* text : texts) {
    SCOPED_TRACE(std::string("'") + text + "'");
    char* end = nullptr;
    const float expected = std::strtof(text, &end);
    const std::optional<float> found = Scan_Float(text);
    ASSERT_EQ(found.has_value(), end != text);
    if (found) {
      EXPECT_EQ(std::memcmp(&*found, &expected, sizeof expected), 0) << *found << " vs " << expected;
    }
  }
}

}  // namespace
}  // namespace common
