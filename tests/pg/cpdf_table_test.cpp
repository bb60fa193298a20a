#include "pg/cpdf_table.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/fatal_error.hpp"
#include "table_text.hpp"

namespace pg {
namespace {

using pg_test::Body;
using pg_test::Header;

std::string Contents(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  return text;
}

struct Parsed {
  cPDF_Table table;
  std::string warnings;
};

Parsed Parse(const std::string& text) {
  std::FILE* in = std::tmpfile();
  std::FILE* warnings = std::tmpfile();
  std::fputs(text.c_str(), in);
  std::rewind(in);
  Parsed parsed;
  try {
    parsed.table = Read_cPDF_Table(in, warnings);
  } catch (...) {
    std::fclose(in);
    std::fclose(warnings);
    throw;
  }
  parsed.warnings = Contents(warnings);
  std::fclose(in);
  std::fclose(warnings);
  return parsed;
}

std::string Failure(const std::string& text) {
  try {
    Parse(text);
  } catch (const common::Fatal_Error& error) {
    return error.what();
  }
  return "(accepted)";
}

TEST(BinCount, TruncatesTheWholeRangeOverTheBinSizeInExtendedPrecision) {
  struct Case {
    double min, max, bs;
    long double bins;
  };
  for (const Case& c : std::vector<Case>{{0, 1000, 50, 20},
                                         {0, 1, 0.25, 4},
                                         {0, 1, 0.1, 9},  // the extended quotient lies just below 10
                                         {0, 1, 0.001, 999},
                                         {0, 0.5, 0.1, 0},
                                         {0, 0.5, 1e-6, 0},
                                         {-2, 1.9, 1, 3}})
    EXPECT_EQ(Bin_Count(c.min, c.max, c.bs), c.bins) << c.min << " " << c.max << " " << c.bs;
}

TEST(ReadTable, FillsTheStateAndLaysTheBodyOutInRowOrder) {
  const std::string text = pg_test::kHeader360 + Body(360, [](int row) { return row; });
  const Parsed parsed = Parse(text + "999\nnot a number\n");  // lines after the last cell are not read
  const cPDF_Table& t = parsed.table;
  EXPECT_EQ(t.classes_num, 2);
  EXPECT_EQ(t.class_names, (std::vector<std::string>{"good", "bad"}));
  EXPECT_EQ(t.feat_num, 2);
  EXPECT_EQ(t.feat_names, (std::vector<std::string>{"zo", "len"}));
  EXPECT_EQ(t.bs, (std::vector<double>{0.1, 50}));
  EXPECT_EQ(t.center_of_mass, (std::vector<std::vector<double>>{{0.1, 100}, {0.9, 300}}));
  EXPECT_EQ(t.num_bins, (std::vector<int>{9, 20, 2}));
  EXPECT_EQ(t.dim_num, 3);
  EXPECT_EQ(t.mt_size, 360);
  EXPECT_EQ(t.cPDF[246], 246);  // bins (3, 7) of class 1: 3 + 9*7 + 180*1
  EXPECT_EQ(parsed.warnings, "");
}

// Texts that are accepted, with what they must give.
TEST(ReadTable, AcceptsTheGrammarVariants) {
  const std::string ranges = "0\n1\n0.5\n";
  const std::string centers = "0\n1\n";
  const std::string one_feature = "1\nf\n";
  const std::string body4 = "0.1\n0.2\n0.25 0.75\n0.4\n";
  struct Case {
    std::string name, text;
    int window;
    std::string warnings;
    std::vector<std::string> class_names;
  };
  const std::vector<std::string> good_bad{"good", "bad"};
  const std::vector<Case> cases{
      {"plain", Header(one_feature, ranges, centers) + body4, 1, "", good_bad},
      {"names over two lines", "2\ngood\nbad\n1\nf\n" + ranges + "1\n\n" + centers + "DATA\n" + body4, 1, "", good_bad},
      {"DATA and more words",
       "2\ngood bad\n1 feature\nf g\n" + ranges + "2\n\n" + centers + "DATA of the table\n" + body4, 2, "", good_bad},
      {"window 0", "2\ngood bad\n1\nf\n" + ranges + "0\n\n" + centers + "DATA\n" + body4, 0, "", good_bad},
      {"window -1", "2\ngood bad\n1\nf\n" + ranges + "-1\n\n" + centers + "DATA\n" + body4, -1, "", good_bad},
      {"window 7 clamped", "2\ngood bad\n1\nf\n" + ranges + "7\n\n" + centers + "DATA\n" + body4, 2,
       "Maximum smooth window value = 2\nprogram will then use this value instead\n", good_bad},
      {"one class", "1\nonly\n1\nf\n" + ranges + "1\n\n0\nDATA\n0.1\n0.2\n", 1, "", {"only"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Parsed parsed = Parse(c.text);
    EXPECT_EQ(parsed.table.class_names, c.class_names);
    EXPECT_EQ(parsed.table.smooth_window, c.window);
    EXPECT_EQ(parsed.warnings, c.warnings);
    EXPECT_EQ(parsed.table.cPDF[1], 0.2);
    if (c.class_names.size() == 2) {
      EXPECT_EQ(parsed.table.cPDF[2], 0.25);  // a second number on a line is ignored
    }
  }
}

TEST(ReadTable, RefusesEachFaultWithItsMessage) {
  const std::string names = "2\ngood bad\n";
  const std::string feats = "2\nzo len\n";
  const std::string ranges = "0 0\n1 1000\n0.25 50\n";
  const std::string centers = "0.1 100\n0.9 300\n";
  const std::string after_ranges = "1\n\n" + centers + "DATA\n";
  const std::string body = Body(160, [](int) { return 0.5; });
  const std::string exit_line = "program will exit !\n";
  struct Case {
    std::string name, text, message;
  };
  const std::vector<Case> cases{
      {"empty file", "", "cannot get the total number of classes\n\n"},
      {"3 classes", "3\na b c\n",
       "Number of classes defined is higher than the MAX number of classes supported: 2\n\n"},
      {"class name missing", "2\ngood", "cannot get the names of the classes\n\n"},
      {"no features line", names, "cannot get the total number of features\n\n"},
      {"6 features", names + "6\n",
       "Number of features defined is higher than the MAX number of features supported: 5\n\n"},
      {"feature name missing", names + "2\nzo\n", "cannot get the names of the features\n\n"},
      {"minimum missing", names + feats + "0 x\n", "cannot get the bin sizes for each feature\n\n"},
      {"maximum missing", names + feats + "0 0\n1\n", "cannot get the bin sizes for each feature\n\n"},
      {"bin size missing", names + feats + "0 0\n1 1000\n", "cannot get the bin sizes for each feature\n\n"},
      {"window of letters", names + feats + ranges + "abc\n", "cannot get the bin sizes for each feature\n\n"},
      {"center missing", names + feats + ranges + "1\n\n0.1 100\n0.9\nDATA\n",
       "cannot get the center of mass for each class\n\n"},
      {"data in lower case", names + feats + ranges + "1\n\n" + centers + "data\n" + body,
       "cannot get DATA tag in input file\n\n"},
      {"DATA with a colon", names + feats + ranges + "1\n\n" + centers + "DATA:\n" + body,
       "cannot get DATA tag in input file\n\n"},
      {"blank line before DATA", names + feats + ranges + "1\n\n" + centers + "\nDATA\n" + body,
       "cannot get DATA tag in input file\n\n"},
      {"body one line short", names + feats + ranges + after_ranges + Body(159, [](int) { return 0.5; }),
       "cannot read cPDFs data\n\n"},
      {"body line without number", names + feats + ranges + after_ranges + "0.5\n\n" + body,
       "line 2 of the cPDFs data (row 1) holds no number\n" + exit_line},
      // A line longer than 999 characters is read in pieces, each counting as a line.
      {"overlong body line", names + feats + ranges + after_ranges + "0.5" + std::string(1200, ' ') + "\n" + body,
       "line 2 of the cPDFs data (row 1) holds no number\n" + exit_line},
      {"0 classes", "0\n",
       "the number of classes must be a whole number from 1 to 2 at the start of its line\n" + exit_line},
      {"classes count missing", "two\n",
       "the number of classes must be a whole number from 1 to 2 at the start of its line\n" + exit_line},
      {"-1 features", names + "-1\n",
       "the number of features must be a whole number from 1 to 5 at the start of its line\n" + exit_line},
      {"class name of 50 characters", "1\n" + std::string(50, 'c') + "\n",
       "class name 1 is 50 characters long, at most 49 are allowed\n" + exit_line},
      {"bin size 0", names + feats + "0 0\n1 1000\n0 50\n" + after_ranges + body,
       "the bin size of feature 'zo' is 0: it must be above 0\n" + exit_line},
      {"negative bin size", names + feats + "0 0\n1 1000\n0.25 -50\n" + after_ranges + body,
       "the bin size of feature 'len' is -50: it must be above 0\n" + exit_line},
      {"range below 1", names + feats + "0 0\n0.5 1000\n0.1 50\n" + after_ranges + body,
       "feature 'zo' has no bin: the range 0 to 0.5, cut to a whole number, holds no bin of size 0.1\n" + exit_line},
      {"maximum below minimum", names + feats + "0 1000\n1 0\n0.25 50\n" + after_ranges + body,
       "feature 'len' has no bin: the range 1000 to 0, cut to a whole number, holds no bin of size 50\n" + exit_line},
      {"10000 cells", names + feats + "0 0\n1 5000\n1 1\n" + after_ranges + Body(10000, [](int) { return 0; }),
       "(accepted)"},
      {"10002 cells", names + feats + "0 0\n1 5001\n1 1\n" + after_ranges,
       "the table header gives more than 10000 cells (classes times the bins of every feature)\n" + exit_line},
      {"cell count beyond the int range", names + feats + "0 0\n1e300 1e300\n1e-300 1e-300\n" + after_ranges,
       "the table header gives more than 10000 cells (classes times the bins of every feature)\n" + exit_line},
  };
  for (const Case& c : cases) EXPECT_EQ(Failure(c.text), c.message) << c.name;
}

}  // namespace
}  // namespace pg
