// Scan_Float against strtof, the conversion it must equal, on the number
// forms of coordinate columns and on the forms only strtof reads.
#include "common/scan.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace common {
namespace {

TEST(ScanFloat, EqualsStrtof) {
  const char* const texts[] = {
      "  12.345",  "-999.999", "   0.000", "-0.000", "1234.5678", "0.1",     "16777217",   "3.4028236e38",
      "1e-40",     "1e-50",    "+7.5",     ".5",     "-.25x",     "0x1p3",   "-0X1.8p1",   "inf",
      "-INF",      "nan",      "1.5e",     "2.5e+",  "  7.25abc", "8.125 9", "4.0000001p", "33554431.0",
      "0.3000001", "-",        "",         "   ",    "x1",        "1,5",     "\t-3.75"};
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
