#include "combine/score_file.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/fatal_error.hpp"
#include "support/run_tool.hpp"

namespace combine {
namespace {

struct Read_Case {
  const char* what;
  std::string content;
  std::size_t count;
  std::vector<double> values;  // expected when `failure` is empty
  std::string failure = {};
};

TEST(Read_Score_File, TakesTheFirstNumberOfEachLineAndRefusesMissingOnes) {
  const std::string blank_1000(999, ' ');
  const std::vector<Read_Case> cases = {
      {"formatted number", "    -12.34567\n", 1, {-12.34567}},
      {"leading blanks and text after the number", " \t1.5e1 kcal 2\n", 1, {15.0}},
      {"carriage return line ends", "2.5\r\n3.5\r\n", 2, {2.5, 3.5}},
      {"last line without its end", "1\n7", 2, {1.0, 7.0}},
      {"only the lines needed are read", "3\n4\nnot a number\n", 2, {3.0, 4.0}},
      {"a line of 1000 characters", "5" + blank_1000 + "\n", 1, {5.0}},
      {"a long line after the needed ones", "5\n" + blank_1000 + "  \n", 1, {5.0}},
      {"empty file", "", 1, {}, "input file '$' is empty\nprogram will exit !\n"},
      {"too few lines", "1\n2\n", 3, {}, "input file '$' has 2 lines, 3 are needed\nprogram will exit !\n"},
      {"blank line", "1\n\n3\n", 3, {}, "no number on line 2 of input file '$'\nprogram will exit !\n"},
      {"text line", "1\n2\nabc 4\n", 3, {}, "no number on line 3 of input file '$'\nprogram will exit !\n"},
      {"line of 1001 characters",
       "1\n5 " + blank_1000 + "\n",
       2,
       {},
       "line 2 of input file '$' is longer than 1000 characters\nprogram will exit !\n"},
  };
  for (const Read_Case& c : cases) {
    test_support::Temp_Dir dir;
    dir.Write("scores", c.content);
    const std::string path = dir.File("scores");
    std::string failure = c.failure;
    if (const auto at = failure.find('$'); at != std::string::npos) failure.replace(at, 1, path);
    try {
      EXPECT_EQ(Read_Score_File(path, c.count), c.values) << c.what;
      EXPECT_EQ(failure, "") << c.what << ": no failure";
    } catch (const common::Fatal_Error& error) {
      EXPECT_EQ(error.what(), failure) << c.what;
    }
  }
}

TEST(Read_Score_File, MissingFileIsNamed) {
  test_support::Temp_Dir dir;
  try {
    Read_First_Score(dir.File("absent.zscore"));
    ADD_FAILURE() << "no failure";
  } catch (const common::Fatal_Error& error) {
    EXPECT_EQ(error.what(), "cannot open input file '" + dir.File("absent.zscore") + "'\nprogram will exit !\n");
  }
}

}  // namespace
}  // namespace combine
