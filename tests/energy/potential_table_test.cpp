#include "energy/potential_table.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

#include "common/fatal_error.hpp"
#include "support/potentials.hpp"
#include "support/run_tool.hpp"

namespace energy {
namespace {

std::string Fatal_Text(const std::function<void()>& action) {
  try {
    action();
  } catch (const common::Fatal_Error& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(GetMFPIndex, RowMajorPositions) {
  const std::array<int, 10> pair_sizes{40, 40, 7, 30};
  const int a[] = {1, 2, 3, 4};
  const int last[] = {39, 39, 6, 29};
  const int worked[] = {7, 0, 2, 12};
  EXPECT_EQ(Get_MFP_Index(4, a, pair_sizes), 8914);
  EXPECT_EQ(Get_MFP_Index(4, last, pair_sizes), 335999);
  EXPECT_EQ(Get_MFP_Index(4, worked, pair_sizes), 58872);
  const std::array<int, 10> surface_sizes{20, 20};
  const int s[] = {5, 7};
  EXPECT_EQ(Get_MFP_Index(2, s, surface_sizes), 107);
  const std::array<int, 10> five{2, 3, 4, 5, 6};
  const int t[] = {1, 1, 1, 1, 1};
  EXPECT_EQ(Get_MFP_Index(5, t, five), (((1 * 3 + 1) * 4 + 1) * 5 + 1) * 6 + 1);
}

TEST(GetMFPIndex, UnsupportedDimensionCounts) {
  const std::array<int, 10> sizes{40, 40, 7, 30, 2, 2};
  const int tuple[10] = {};
  for (int dims : {0, 1, 6}) {
    EXPECT_EQ(Fatal_Text([&] { Get_MFP_Index(dims, tuple, sizes); }),
              "Array of more than 4 dimensions is undefined (routine 'Get_MFP_Index')\nprogram will finish now.\n\n");
  }
}

TEST(Shapes, PairAndSurface) {
  const MFP_Table pair = Pair_Table_Shape();
  EXPECT_EQ(pair.dim, 4);
  EXPECT_EQ(pair.range, 15.0);
  EXPECT_EQ(pair.bin_size, 0.5);
  const MFP_Table surface = Surface_Table_Shape();
  EXPECT_EQ(surface.dim, 2);
  EXPECT_EQ(surface.range, 40.0);
  EXPECT_EQ(surface.bin_size, 2.0);
}

class LoaderTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& content) {
    dir_.Write("table", content);
    return dir_.File("table");
  }
  test_support::Temp_Dir dir_;
};

TEST_F(LoaderTest, ValuesEqualScanfConversion) {
  // Every form "%lf" accepts must give the very same double.
  const std::vector<std::string> values = {"0.1",
                                           "-0.1",
                                           "+2.5",
                                           "1e-3",
                                           "-1.25E+2",
                                           "3",
                                           ".5",
                                           "-.5",
                                           "5.",
                                           "0.30000000000000004",
                                           "123456789.123456789",
                                           "1e308",
                                           "1e-320",
                                           "1e400",
                                           "-1e400",
                                           "0x1.8p1",
                                           "inf",
                                           "-nan",
                                           "7.0xyz",
                                           "2.5,3"};
  std::string text;
  for (const std::string& v : values) text += "1 2 " + v + "\n";
  std::vector<double> table(values.size());
  Read_MFP_Surf(Path(text), table, 1, static_cast<int>(values.size()));
  for (std::size_t i = 0; i < values.size(); ++i) {
    double expected = 0;
    int a, b;
    ASSERT_EQ(std::sscanf(("1 2 " + values[i]).c_str(), "%d%d%lf", &a, &b, &expected), 3) << values[i];
    if (std::isnan(expected)) {
      EXPECT_TRUE(std::isnan(table[i])) << values[i];
    } else {
      EXPECT_EQ(std::memcmp(&expected, &table[i], sizeof expected), 0) << values[i] << " gave " << table[i];
    }
  }
}

TEST_F(LoaderTest, WholeLinesEqualScanfConversion) {
  // Lines around the one-sweep reading of the usual "integers, then a plain
  // decimal" line; the last one has no line end.
  const std::vector<std::string> lines = {"1 2 -0.00000",
                                          "1 2 0.5\r",
                                          "  1\t 2   -12.25  x",
                                          "1 2 0.123456789012345",
                                          "1 2 0.1234567890123456",
                                          "1 2 999999999999999",
                                          "-1 -2 7.",
                                          "1 2-0.5",
                                          "1 2.5 3",
                                          "1 2 3.25"};
  std::string text;
  for (const std::string& line : lines) text += line + (&line == &lines.back() ? "" : "\n");
  std::vector<double> table(lines.size());
  Read_MFP_Surf(Path(text), table, 1, static_cast<int>(lines.size()));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    double expected = 0;
    int a, b;
    ASSERT_EQ(std::sscanf(lines[i].c_str(), "%d%d%lf", &a, &b, &expected), 3) << lines[i];
    EXPECT_EQ(std::memcmp(&expected, &table[i], sizeof expected), 0) << lines[i] << " gave " << table[i];
  }
}

TEST_F(LoaderTest, OnlyTheLineOrderCounts) {
  // Integer columns that do not match the position, and lines after the
  // last entry, change nothing.
  const std::string path = Path("0 0 1.5\n0 0 2.5\n9 9 3.5\n-4 7 4.5\nextra line\n");
  std::vector<double> table(4);
  Read_MFP_Surf(path, table, 2, 2);
  EXPECT_EQ(table, (std::vector<double>{1.5, 2.5, 3.5, 4.5}));
}

TEST_F(LoaderTest, ScanfStyleSeparation) {
  // "%d" stops at the first non-digit: "4.5" is the integer 4, then ".5".
  std::vector<double> table(1);
  Read_MFP_Pair(Path("1 2 3 4.5 6.0\n"), table, 1, 1, 1, 1);
  EXPECT_EQ(table[0], 0.5);
  Read_MFP_Pair(Path("\t1\t2 3   4    -7.25   trailing words\r\n"), table, 1, 1, 1, 1);
  EXPECT_EQ(table[0], -7.25);
}

TEST_F(LoaderTest, ShortLinesEqualScanfConversion) {
  // Each line is read where at least 40 bytes follow it, as in a real table:
  // by the vector reading when it has the usual shape, otherwise by the
  // character reading. Each row is one way to go wrong.
  const std::vector<std::string> lines = {
      "1 2 3 4 -0.37778",                 // the usual line
      "1 2 3 4 9007199254740992",         // 2^53: still exact
      "1 2 3 4 9007199254740993",         // 2^53 + 1: rounded, not exact
      "1 2 3 4 0.9007199254740993",       // the same digits with decimals
      "1 2 3 4 1234567890123456789",      // 19 digits: the most one integer holds
      "1 2 3 4 12345678901234567890",     // 20 digits: would wrap
      "1 2 3 4 .0000000000000000001",     // 19 decimals
      "1 2 3 4 123.45678901",             // eight decimals in one word
      "1 2 3 4 1.234567891",              // nine decimals: digit by digit
      "1 2 3 4 -0.00000",                 // negative zero
      "1 2 3 4 7.",                       // a point and no decimals
      "1 2 3 4 -.5",                      // a sign before the point
      "1 2 3 4.5 6.0",                    // a point in an integer: "%d" stops there
      "1 2 3-4 5 6",                      // a sign inside a field
      "-1 -2 -3 -4 -5",                   // signs everywhere
      "1 2 3 4 5 6",                      // one field too many
      "\t1 2 3 4 0.25 \t",                // blanks before and after
      "1 2 3 4 0.5\r",                    // carriage return
      "1 2 3 4 1e5",                      // exponent
      "1 2 3 4 0.5\xe9",                  // a byte above 0x7f after the value
      "                   1 2 3 4 0.5",   // 31 characters: the line end in the window
      "                    1 2 3 4 0.5",  // 32 characters: the line end beyond it
  };
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  for (int i = 0; i < 8; ++i) text += "0 0 0 0 0.000000\n";
  std::vector<double> table(lines.size() + 8);
  Read_MFP_Pair(Path(text), table, 1, 1, 1, static_cast<int>(table.size()));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    double expected = 0;
    int a, b, c, d;
    ASSERT_EQ(std::sscanf(lines[i].c_str(), "%d%d%d%d%lf", &a, &b, &c, &d, &expected), 5) << lines[i];
    EXPECT_EQ(std::memcmp(&expected, &table[i], sizeof expected), 0) << lines[i] << " gave " << table[i];
  }
}

TEST_F(LoaderTest, BundledTablesEqualScanfConversion) {
  // Every line of the trained tables, against "%lf".
  for (const auto& [name, integers] : {std::pair{"pair", 4}, std::pair{"surface", 2}}) {
    const std::string path = std::string(FOLD_SOURCE_DIR) + "/data/default/" + name + ".potential";
    const MFP_Table table = Load_Potential(integers == 4 ? Pair_Table_Shape() : Surface_Table_Shape(), path);
    std::FILE* file = std::fopen(path.c_str(), "r");
    ASSERT_NE(file, nullptr) << path;
    int k[4];
    double expected = 0;
    std::size_t mismatches = 0;
    for (const double value : table.values) {
      const int read = integers == 4 ? std::fscanf(file, "%d%d%d%d%lf", &k[0], &k[1], &k[2], &k[3], &expected)
                                     : std::fscanf(file, "%d%d%lf", &k[0], &k[1], &expected);
      ASSERT_EQ(read, integers + 1) << path;
      mismatches += std::memcmp(&expected, &value, sizeof value) != 0 ? 1 : 0;
    }
    std::fclose(file);
    EXPECT_EQ(mismatches, 0U) << path;
  }
}

TEST_F(LoaderTest, GeneratedPairTable) {
  const MFP_Table table = Load_Potential(Pair_Table_Shape(), Path(test_support::Pair_Potential_Text(3)));
  ASSERT_EQ(table.matrix_size, 336000);
  ASSERT_EQ(table.values.size(), 336000U);
  EXPECT_EQ(table.values[58872], test_support::Synthetic_Value(3, 58872));
  EXPECT_EQ(table.values[335999], test_support::Synthetic_Value(3, 335999));
}

TEST_F(LoaderTest, Refusals) {
  std::vector<double> table(4);
  const std::string path = Path("0 0 1.5\n0 1 2.5\n");
  EXPECT_EQ(Fatal_Text([&] { Read_MFP_Surf(path, table, 2, 2); }),
            "potential file '" + path + "' ends at line 2: 4 lines are needed\nprogram will finish now.\n\n");
  const std::string bad = Path("0 0 1.5\n0 1\n1 0 1\n1 1 1\n");
  EXPECT_EQ(Fatal_Text([&] { Read_MFP_Surf(bad, table, 2, 2); }),
            "cannot read line 2 of potential file '" + bad +
                "': 2 integers and a value are expected\nprogram will finish now.\n\n");
  const std::string blank = Path("0 0 1.5\n\n1 0 1\n1 1 1\n");
  EXPECT_NE(Fatal_Text([&] { Read_MFP_Surf(blank, table, 2, 2); }).find("cannot read line 2"), std::string::npos);
  const std::string letters = Path("a b 1.5\n");
  EXPECT_NE(Fatal_Text([&] { Read_MFP_Surf(letters, table, 1, 1); }).find("cannot read line 1"), std::string::npos);
  // A lone sign is no integer, also where the vector reading sees the line.
  const std::string sign = Path("0 - 0.5\n" + std::string(40, ' ') + "\n");
  EXPECT_NE(Fatal_Text([&] { Read_MFP_Surf(sign, table, 1, 1); }).find("cannot read line 1"), std::string::npos);
  const std::string missing = dir_.File("absent");
  EXPECT_EQ(Fatal_Text([&] { Read_MFP_Surf(missing, table, 2, 2); }),
            "cannot open file '" + missing + "' for reading\nprogram will finish now.\n\n");
}

}  // namespace
}  // namespace energy
