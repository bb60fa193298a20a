// End-to-end runs of kinrate, each in a fresh directory.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/tool_case.hpp"

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

using Checks = std::vector<std::pair<std::string, std::optional<std::string>>>;

std::vector<test_support::Input_File> Ali(const std::string& text) { return {{"t.ali", text}}; }
Checks Identity(const std::string& text) { return {{"t.ali.seq_ide", text}}; }

TEST(Kinrate, Runs) {
  const std::string ten = "ACDEFGHIKL";
  const std::string pair = Entry("a", ten) + Entry("b", "ACDEFG--WW");
  const std::string long_1999(1999, 'A');
  const std::string long_2000(2000, 'A');
  const std::string bad_letter = "No AA index was assigned. Program will exit.\n";
  test_support::Check_Cases(
      "kinrate",
      {
          {.label = "six of eight",
           .args = {"t.ali"},
           .inputs = Ali(pair),
           .out = kTwoMessages,
           .files = Identity("      0.75\n")},
          {.label = "text around the entries, a sequence over lines, further arguments ignored",
           .args = {"t.ali", "x"},
           .inputs = Ali("C; comment\n\n" + Entry("a", ten) + "text between\n" + ">P1;b\ndesc\nACDE\nFG--\nWW*"),
           .out = kTwoMessages,
           .files = Identity("      0.75\n")},
          {.label = "a third sequence is not read",
           .args = {"t.ali"},
           .inputs = Ali(pair + Entry("c", "not read at all")),
           .out = kTwoMessages,
           .files = Identity("      0.75\n")},
          {.label = "1999 positions",
           .args = {"t.ali"},
           .inputs = Ali(Entry("a", long_1999) + Entry("b", long_1999)),
           .out = kTwoMessages,
           .files = Identity("      1.00\n")},
          {.label = "2000 positions",
           .args = {"t.ali"},
           .inputs = Ali(Entry("a", long_2000) + Entry("b", long_2000)),
           .status = 8,
           .out = "Maximum number of residues in the alignment = 2000\nprogram will exit\n"},
          {.label = "header line of 999 characters",
           .args = {"t.ali"},
           .inputs = Ali(">" + std::string(999, 'P') + "\n" + "d\nAC*\n>b\n" + std::string(999, 'd') + "\nAC*\n"),
           .out = kTwoMessages,
           .files = Identity("      1.00\n")},
          {.label = "header line of 1000 characters",
           .args = {"t.ali"},
           .inputs = Ali(">P1;a\n" + std::string(1000, 'd') + "\nAC*\n" + Entry("b", "AC")),
           .status = 8,
           .out = "A header line of the alignment is longer than 999 characters\nprogram will exit\n"},
          {.label = "lower-case residue",
           .args = {"t.ali"},
           .inputs = Ali(Entry("a", "ACD") + Entry("b", "AcD")),
           .status = 8,
           .out = bad_letter},
          {.label = "one sequence", .args = {"t.ali"}, .inputs = Ali(Entry("a", ten)), .status = 8, .out = kTooFew},
          {.label = "no complete sequence",
           .args = {"t.ali"},
           .inputs = Ali(Entry("a", ten, false)),
           .status = 8,
           .out = kTooFew},
          {.label = "second sequence cut off",
           .args = {"t.ali"},
           .inputs = Ali(Entry("a", ten) + Entry("b", ten, false)),
           .status = 8,
           .out = kTooFew},
          {.label = "different lengths",
           .args = {"t.ali"},
           .inputs = Ali(Entry("a", ten) + Entry("b", "ACDEFGHI")),
           .status = 8,
           .out = kTwoMessages +
                  "The sequences of the alignment differ in length (10 and 8 positions)\nprogram will exit\n"},
          {.label = "no positions",
           .args = {"t.ali"},
           .inputs = Ali(Entry("a", "") + Entry("b", "")),
           .status = 8,
           .out = kTwoMessages + "The sequences of the alignment have no position\nprogram will exit\n"},
          {.label = "missing file", .args = {"t.ali"}, .status = 8, .out = "cannot open alignment file 't.ali'\n\n"},
          {.label = "Windows line ends",
           .args = {"t.ali"},
           .inputs = Ali(">P1;a\r\nd\r\nACDE\r\nFGHIKL*\r\n" + Entry("b", "ACDEFG--WW")),
           .out = kTwoMessages,
           .files = Identity("      0.75\n")},
          {.label = "a carriage return inside a line",
           .args = {"t.ali"},
           .inputs = Ali(Entry("a", "AC\rD") + Entry("b", "ACD")),
           .status = 8,
           .out = bad_letter},
          {.label = "no argument", .inputs = Ali(pair), .status = 8, .out = kUsage},
          {.label = "output that cannot be created",
           .args = {"t.ali"},
           .inputs = Ali(Entry("a", "ACD") + Entry("b", "ACD")),
           .folders = {"t.ali.seq_ide"},
           .status = 8,
           .out = kTwoMessages + "cannot create output file 't.ali.seq_ide'\nprogram will exit !\n"},
      },
      {"t.ali.seq_ide"});
}

}  // namespace
