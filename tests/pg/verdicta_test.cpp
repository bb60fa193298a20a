// End-to-end runs of verdicta, each in a fresh working directory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/tool_case.hpp"
#include "table_text.hpp"

namespace {

using pg_test::Body;
using pg_test::Header;
using File_Check = std::pair<std::string, std::optional<std::string>>;
using test_support::Input_File;
using test_support::Tool_Case;

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

const std::string kZo = "    0.7777\n";
const std::string kLength = "  150.0000\n";
const std::string kFeatureLine = "   0.222     150\n";
const std::string kUsage = "\n\nUsage: verdicta  pdbfilename  cPDF_input_file\n";
const std::string kExit = "program will exit !\n";

std::vector<Tool_Case> Cases() {
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

  const auto model = [&](const std::string& zo341, const std::string& length, const std::string& t) {
    return std::vector<Input_File>{{"m.zo341", zo341}, {"m.length", length}, {"t", t}};
  };
  const auto absent = [](const std::string& name) { return File_Check{name, std::nullopt}; };
  return {
      {.label = "no arguments", .status = 8, .out = kUsage, .files = {absent("m.in")}},
      {.label = "only the name",
       .args = {"m"},
       .inputs = model(kZo, kLength, table),
       .status = 8,
       .out = kUsage,
       .files = {absent("m.in"), absent("m.pG")}},
      {.label = "pG with two decimals and the winner",
       .args = {"m", "t", "ignored"},
       .inputs = model(kZo, kLength, table),
       .out = " 0.88    good\n",
       .files = {{"m.in", kFeatureLine}, {"m.pG", " 0.88\n"}}},
      {.label = "0.95 clamped into the last bin",
       .args = {"m", "t"},
       .inputs = model("0.05", "200", Table360_With(8 + 9 * 4, 0.7)),
       .out = " 0.70    good\n",
       .files = {{"m.in", "   0.950     200\n"}, {"m.pG", " 0.70\n"}}},
      {.label = "empty cell, nearest center good",
       .args = {"m", "t"},
       .inputs = model(kZo, kLength, zeros),
       .out = " 0.00    good\n",
       .files = {{"m.pG", " 0.00\n"}}},
      {.label = "empty cell, nearest center bad",
       .args = {"m", "t"},
       .inputs = model(kZo, "290", zeros),
       .out = " 0.00    bad\n",
       .files = {{"m.pG", " 0.00\n"}}},
      {.label = "smoothing window warning",
       .args = {"m", "t"},
       .inputs = model(kZo, kLength, Table360_With(29, 0.876, "7")),
       .out = "Maximum smooth window value = 2\nprogram will then use this value instead\n 0.88    good\n",
       .files = {{"m.pG", " 0.88\n"}}},
      {.label = "ZO341 binned as rounded",
       .args = {"m", "t"},
       .inputs = model("0.7774", kLength, fine_zo),
       .out = " 0.90    good\n",
       .files = {{"m.in", "   0.223     150\n"}, {"m.pG", " 0.90\n"}}},
      {.label = "length binned as rounded",
       .args = {"m", "t"},
       .inputs = model(kZo, "150.6", fine_length),
       .out = " 0.90    good\n",
       .files = {{"m.in", "   0.222     151\n"}, {"m.pG", " 0.90\n"}}},
      {.label = "one feature: the length is a label",
       .args = {"m", "t"},
       .inputs = model(kZo, kLength, one_feature),
       .status = 8,
       .out = "cannot find class name '150'\n\n",
       .files = {{"m.pG", ""}}},
      {.label = "one feature with a class named 150",
       .args = {"m", "t"},
       .inputs = model(kZo, kLength, labelled_150),
       .out = "150    other\n",
       .files = {{"m.pG", " 0.70    150\n"}}},
      {.label = "3 features",
       .args = {"m", "t"},
       .inputs = model(kZo, kLength, Single_Bin_Table(3)),
       .out = "",
       .files = {{"m.pG", ""}}},
      {.label = "4 features",
       .args = {"m", "t"},
       .inputs = model(kZo, kLength, Single_Bin_Table(4)),
       .out = "",
       .files = {{"m.pG", ""}}},
      {.label = "5 features",
       .args = {"m", "t"},
       .inputs = model(kZo, kLength, Single_Bin_Table(5)),
       .out = "",
       .files = {{"m.pG", ""}}},
      {.label = "missing zo341",
       .args = {"m", "t"},
       .inputs = {{"m.length", kLength}, {"t", table}},
       .status = 8,
       .out = "cannot open m.zo341 for reading\n\n",
       .files = {{"m.in", ""}, absent("m.pG")}},
      {.label = "missing length",
       .args = {"m", "t"},
       .inputs = {{"m.zo341", kZo}, {"t", table}},
       .status = 8,
       .out = "cannot open m.length for reading\n\n",
       .files = {{"m.in", "   0.222   "}, absent("m.pG")}},
      {.label = "zo341 without a number",
       .args = {"m", "t"},
       .inputs = model("ZO341\n", kLength, table),
       .status = 8,
       .out = "m.zo341 does not start with a number\n" + kExit,
       .files = {{"m.in", ""}, absent("m.pG")}},
      {.label = "empty length",
       .args = {"m", "t"},
       .inputs = model(kZo, "", table),
       .status = 8,
       .out = "m.length does not start with a number\n" + kExit,
       .files = {{"m.in", "   0.222   "}, absent("m.pG")}},
      {.label = "missing table",
       .args = {"m", "t2"},
       .inputs = model(kZo, kLength, table),
       .status = 8,
       .out = "cannot open t2 for reading\n\n",
       .files = {{"m.in", kFeatureLine}, absent("m.pG")}},
      {.label = "refused table",
       .args = {"m", "t"},
       .inputs = model(kZo, kLength, missing_tag),
       .status = 8,
       .out = "cannot get DATA tag in input file\n\n",
       .files = {{"m.in", kFeatureLine}, absent("m.pG")}},
      {.label = "ZO341 not a number",
       .args = {"m", "t"},
       .inputs = model("nan\n", kLength, table),
       .status = 8,
       .out = "feature 1 of record 1 in m.in is not a number\n" + kExit,
       .files = {{"m.in", "     nan     150\n"}, absent("m.pG")}},
      {.label = "result file cannot be created",
       .args = {"m", "t"},
       .inputs = model(kZo, kLength, table),
       .folders = {"m.pG"},
       .status = 8,
       .out = "cannot open m.pG for writing\n\n",
       .files = {{"m.in", kFeatureLine}}},
      {.label = "feature file cannot be created",
       .args = {"m", "t"},
       .inputs = model(kZo, kLength, table),
       .folders = {"m.in"},
       .status = 8,
       .out = "cannot open m.in for writing\n\n"},
  };
}

// Nothing goes to standard error.
TEST(Verdicta, RunsAsDocumented) {
  std::vector<Tool_Case> cases = Cases();
  for (Tool_Case& c : cases) c.err = "";
  test_support::Check_Cases("verdicta", cases);
}

}  // namespace
