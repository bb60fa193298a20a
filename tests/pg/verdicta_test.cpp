// End-to-end runs of verdicta, each in a fresh working directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/run_tool.hpp"
#include "table_text.hpp"

namespace {

using pg_test::Body;
using pg_test::Header;
using Files = std::map<std::string, std::string>;

struct Case {
  std::string name;
  std::vector<std::string> args;
  Files files;  // present before the run
  int status;
  std::string out;
  Files expected;                        // files and their exact content after the run
  std::vector<std::string> absent = {};  // files that must not exist
  std::vector<std::string> dirs = {};    // directories made before the run
};

// The 360-cell table with `value` at one row of class 0, 0.1 elsewhere in
// class 0 and 0.5 in class 1.
std::string Table360_With(int row, double value, const std::string& window = "1") {
  std::string header = pg_test::kHeader360;
  header.replace(header.find("1\nfree line"), 1, window);
  return header + Body(360, [&](int r) { return r == row ? value : r < 180 ? 0.1 : 0.5; });
}

// Tables of `features` features of one bin each; no record of verdicta completes for 3 or more.
std::string Single_Bin_Table(int features) {
  std::string names, row0, row1, centers;
  for (int f = 0; f < features; ++f) {
    names += " f" + std::to_string(f);
    row0 += "0 ";
    row1 += "1 ";
  }
  return Header(std::to_string(features) + "\n" + names + "\n", row0 + "\n" + row1 + "\n" + row1 + "\n",
                row0 + "\n" + row1 + "\n") +
         "0.3\n0.6\n";
}

Files Model(const std::string& zo341, const std::string& length, const std::string& table) {
  return {{"m.zo341", zo341}, {"m.length", length}, {"t", table}};
}

const std::string kZo = "    0.7777\n";
const std::string kLength = "  150.0000\n";
const std::string kFeatureLine = "   0.222     150\n";
const std::string kUsage = "\n\nUsage: verdicta  pdbfilename  cPDF_input_file\n";
const std::string kExit = "program will exit !\n";

std::vector<Case> Cases() {
  const std::string table = Table360_With(29, 0.876);  // 0.222 is bin 2, 150 bin 3: row 2 + 9*3
  const std::string one_feature = Header("1\nzo\n", "0\n1\n0.25\n", "0\n1\n") + "0.3\n0\n0\n0\n0.6\n0\n0\n0\n";
  std::string labelled_150 = one_feature;
  labelled_150.replace(2, 8, "150 other");
  // 0 to 1 by 0.001 (999 bins) and one length bin; row 223 is 0.223's bin, 222 that of the unrounded 0.2226.
  const std::string fine_zo = Header("2\nzo len\n", "0 0\n1 1000\n0.001 1000\n", "0 0\n1 1\n") +
                              Body(1998, [](int r) { return r == 223 ? 0.9 : 0.1; });
  // One zo bin and 0 to 1000 by 0.5 (2000 bins): 151 is bin 302, the unrounded 150.6 bin 301.
  const std::string fine_length = Header("2\nzo len\n", "0 0\n1 1000\n1 0.5\n", "0 0\n1 1\n") +
                                  Body(4000, [](int r) { return r == 302 ? 0.9 : 0.1; });
  const std::string zeros = pg_test::kHeader360 + Body(360, [](int) { return 0; });
  const std::string no_tag = Header("2\nzo len\n", "0 0\n1 1000\n0.1 50\n", "0 0\n1 1\n");
  std::string missing_tag = no_tag;
  missing_tag.replace(missing_tag.find("DATA"), 4, "Data");

  return {
      {"no arguments", {}, {}, 8, kUsage, {}, {"m.in"}},
      {"only the name", {"m"}, Model(kZo, kLength, table), 8, kUsage, {}, {"m.in", "m.pG"}},
      {"name too long",
       {std::string(93, 'n'), "t"},
       {},
       8,
       "pdbfilename is too long: 93 characters, at most 92 are allowed\n" + kExit,
       {},
       {std::string(93, 'n') + ".in"}},
      {"table path too long",
       {"m", std::string(100, 't')},
       Model(kZo, kLength, table),
       8,
       "cPDF_input_file is too long: 100 characters, at most 99 are allowed\n" + kExit,
       {},
       {"m.in", "m.pG"}},
      {"pG with two decimals and the winner",
       {"m", "t", "ignored"},
       Model(kZo, kLength, table),
       0,
       " 0.88    good\n",
       {{"m.in", kFeatureLine}, {"m.pG", " 0.88\n"}}},
      {"0.95 clamped into the last bin",
       {"m", "t"},
       Model("0.05", "200", Table360_With(8 + 9 * 4, 0.7)),
       0,
       " 0.70    good\n",
       {{"m.in", "   0.950     200\n"}, {"m.pG", " 0.70\n"}}},
      {"empty cell, nearest center good",
       {"m", "t"},
       Model(kZo, kLength, zeros),
       0,
       " 0.00    good\n",
       {{"m.pG", " 0.00\n"}}},
      {"empty cell, nearest center bad",
       {"m", "t"},
       Model(kZo, "290", zeros),
       0,
       " 0.00    bad\n",
       {{"m.pG", " 0.00\n"}}},
      {"smoothing window warning",
       {"m", "t"},
       Model(kZo, kLength, Table360_With(29, 0.876, "7")),
       0,
       "Maximum smooth window value = 2\nprogram will then use this value instead\n 0.88    good\n",
       {{"m.pG", " 0.88\n"}}},
      {"ZO341 binned as rounded",
       {"m", "t"},
       Model("0.7774", kLength, fine_zo),
       0,
       " 0.90    good\n",
       {{"m.in", "   0.223     150\n"}, {"m.pG", " 0.90\n"}}},
      {"length binned as rounded",
       {"m", "t"},
       Model(kZo, "150.6", fine_length),
       0,
       " 0.90    good\n",
       {{"m.in", "   0.222     151\n"}, {"m.pG", " 0.90\n"}}},
      {"one feature: the length is a label",
       {"m", "t"},
       Model(kZo, kLength, one_feature),
       8,
       "cannot find class name '150'\n\n",
       {{"m.pG", ""}}},
      {"one feature with a class named 150",
       {"m", "t"},
       Model(kZo, kLength, labelled_150),
       0,
       "150    other\n",
       {{"m.pG", " 0.70    150\n"}}},
      {"3 features", {"m", "t"}, Model(kZo, kLength, Single_Bin_Table(3)), 0, "", {{"m.pG", ""}}},
      {"4 features", {"m", "t"}, Model(kZo, kLength, Single_Bin_Table(4)), 0, "", {{"m.pG", ""}}},
      {"5 features", {"m", "t"}, Model(kZo, kLength, Single_Bin_Table(5)), 0, "", {{"m.pG", ""}}},
      {"missing zo341",
       {"m", "t"},
       {{"m.length", kLength}, {"t", table}},
       8,
       "cannot open m.zo341 for reading\n\n",
       {{"m.in", ""}},
       {"m.pG"}},
      {"missing length",
       {"m", "t"},
       {{"m.zo341", kZo}, {"t", table}},
       8,
       "cannot open m.length for reading\n\n",
       {{"m.in", "   0.222   "}},
       {"m.pG"}},
      {"zo341 without a number",
       {"m", "t"},
       Model("ZO341\n", kLength, table),
       8,
       "m.zo341 does not start with a number\n" + kExit,
       {{"m.in", ""}},
       {"m.pG"}},
      {"empty length",
       {"m", "t"},
       Model(kZo, "", table),
       8,
       "m.length does not start with a number\n" + kExit,
       {{"m.in", "   0.222   "}},
       {"m.pG"}},
      {"missing table",
       {"m", "t2"},
       Model(kZo, kLength, table),
       8,
       "cannot open t2 for reading\n\n",
       {{"m.in", kFeatureLine}},
       {"m.pG"}},
      {"refused table",
       {"m", "t"},
       Model(kZo, kLength, missing_tag),
       8,
       "cannot get DATA tag in input file\n\n",
       {{"m.in", kFeatureLine}},
       {"m.pG"}},
      {"ZO341 not a number",
       {"m", "t"},
       Model("nan\n", kLength, table),
       8,
       "feature 1 of record 1 in m.in is not a number\n" + kExit,
       {{"m.in", "     nan     150\n"}},
       {"m.pG"}},
      {"result file cannot be created",
       {"m", "t"},
       Model(kZo, kLength, table),
       8,
       "cannot open m.pG for writing\n\n",
       {{"m.in", kFeatureLine}},
       {},
       {"m.pG"}},
      {"feature file cannot be created",
       {"m", "t"},
       Model(kZo, kLength, table),
       8,
       "cannot open m.in for writing\n\n",
       {},
       {},
       {"m.in"}},
  };
}

TEST(Verdicta, RunsAsDocumented) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    test_support::Temp_Dir dir;
    for (const auto& [name, content] : c.files) dir.Write(name, content);
    for (const std::string& name : c.dirs) std::filesystem::create_directory(dir.File(name));
    const test_support::Run_Result result = test_support::Run_Tool("verdicta", c.args, dir.Path());
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, "");
    for (const auto& [name, content] : c.expected) EXPECT_EQ(dir.Read(name), content) << name;
    for (const std::string& name : c.absent) EXPECT_FALSE(dir.Exists(name)) << name;
  }
}

}  // namespace
