// End-to-end runs of kinrate, each in a fresh directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/run_tool.hpp"

namespace {

// One PIR entry: code line, description line, sequence lines, '*'.
std::string Entry(const std::string& name, const std::string& sequence, bool complete = true) {
  std::string text = ">P1;" + name + "\nsequence:" + name + ":::::::0.00: 0.00\n";
  for (std::size_t at = 0; at < sequence.size(); at += 75) text += sequence.substr(at, 75) + "\n";
  if (complete) text += "*\n";
  return text;
}

const std::string kTwoMessages =
    "Maximum number of sequences in the alignment = 2\nNo more sequences will be read from the alignment\n";
const std::string kUsage = "Usage: kinrate alignment_file\n\nalignment must be in PIR format\n\n";
const std::string kTooFew =
    "The alignment holds fewer than 2 complete sequences (each must end with '*')\nprogram will exit\n";

struct Kinrate_Case {
  const char* what;
  std::vector<std::string> args;
  std::optional<std::string> alignment;  // content of "t.ali"
  int status;
  std::string out;
  std::optional<std::string> identity = std::nullopt;  // content of "t.ali.seq_ide"; none: must not exist
};

TEST(Kinrate, Runs) {
  const std::string ten = "ACDEFGHIKL";
  const std::string pair = Entry("a", ten) + Entry("b", "ACDEFG--WW");
  const std::string long_1999(1999, 'A');
  const std::string long_2000(2000, 'A');
  const std::vector<Kinrate_Case> cases = {
      {"six of eight", {"t.ali"}, pair, 0, kTwoMessages, "      0.75\n"},
      {"text around the entries, a sequence over lines, further arguments ignored",
       {"t.ali", "x"},
       "C; comment\n\n" + Entry("a", ten) + "text between\n" + ">P1;b\ndesc\nACDE\nFG--\nWW*",
       0,
       kTwoMessages,
       "      0.75\n"},
      {"a third sequence is not read",
       {"t.ali"},
       pair + Entry("c", "not read at all"),
       0,
       kTwoMessages,
       "      0.75\n"},
      {"1999 positions", {"t.ali"}, Entry("a", long_1999) + Entry("b", long_1999), 0, kTwoMessages, "      1.00\n"},
      {"2000 positions",
       {"t.ali"},
       Entry("a", long_2000) + Entry("b", long_2000),
       8,
       "Maximum number of residues in the alignment = 2000\nprogram will exit\n"},
      {"header line of 999 characters",
       {"t.ali"},
       ">" + std::string(999, 'P') + "\n" + "d\nAC*\n>b\n" + std::string(999, 'd') + "\nAC*\n",
       0,
       kTwoMessages,
       "      1.00\n"},
      {"header line of 1000 characters",
       {"t.ali"},
       ">P1;a\n" + std::string(1000, 'd') + "\nAC*\n" + Entry("b", "AC"),
       8,
       "A header line of the alignment is longer than 999 characters\nprogram will exit\n"},
      {"lower-case residue",
       {"t.ali"},
       Entry("a", "ACD") + Entry("b", "AcD"),
       8,
       "No AA index was assigned. Program will exit.\n"},
      {"one sequence", {"t.ali"}, Entry("a", ten), 8, kTooFew},
      {"no complete sequence", {"t.ali"}, Entry("a", ten, false), 8, kTooFew},
      {"second sequence cut off", {"t.ali"}, Entry("a", ten) + Entry("b", ten, false), 8, kTooFew},
      {"different lengths",
       {"t.ali"},
       Entry("a", ten) + Entry("b", "ACDEFGHI"),
       8,
       kTwoMessages + "The sequences of the alignment differ in length (10 and 8 positions)\nprogram will exit\n"},
      {"no positions",
       {"t.ali"},
       Entry("a", "") + Entry("b", ""),
       8,
       kTwoMessages + "The sequences of the alignment have no position\nprogram will exit\n"},
      {"missing file", {"t.ali"}, std::nullopt, 8, "cannot open alignment file 't.ali'\n\n"},
      {"Windows line ends",
       {"t.ali"},
       ">P1;a\r\nd\r\nACDE\r\nFGHIKL*\r\n" + Entry("b", "ACDEFG--WW"),
       0,
       kTwoMessages,
       "      0.75\n"},
      {"a carriage return inside a line",
       {"t.ali"},
       Entry("a", "AC\rD") + Entry("b", "ACD"),
       8,
       "No AA index was assigned. Program will exit.\n"},
      {"no argument", {}, pair, 8, kUsage},
      {"overlong name",
       {std::string(992, 'n')},
       pair,
       8,
       "alignment file name is too long: 992 characters, at most 991 are allowed\nprogram will exit !\n"},
  };
  for (const Kinrate_Case& c : cases) {
    test_support::Temp_Dir dir;
    if (c.alignment) dir.Write("t.ali", *c.alignment);
    const test_support::Run_Result result = test_support::Run_Tool("kinrate", c.args, dir.Path());
    EXPECT_EQ(result.status, c.status) << c.what;
    EXPECT_EQ(result.out, c.out) << c.what;
    EXPECT_EQ(dir.Read("t.ali.seq_ide"), c.identity) << c.what;
  }
}

TEST(Kinrate, OutputThatCannotBeCreated) {
  test_support::Temp_Dir dir;
  dir.Write("t.ali", Entry("a", "ACD") + Entry("b", "ACD"));
  std::filesystem::create_directory(dir.File("t.ali.seq_ide"));
  const test_support::Run_Result result = test_support::Run_Tool("kinrate", {"t.ali"}, dir.Path());
  EXPECT_EQ(result.status, 8);
  EXPECT_EQ(result.out, kTwoMessages + "cannot create output file 't.ali.seq_ide'\nprogram will exit !\n");
}

}  // namespace
