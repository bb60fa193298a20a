// End-to-end runs of sigmara and blendora, each in a fresh directory.
#include <gtest/gtest.h>

#include <map>

#include "common/fatal_error.hpp"
#include "common/format.hpp"
#include "common/program.hpp"
#include "support/tool_case.hpp"

namespace {

using test_support::Check_Cases;
using test_support::Input_File;
using Files = std::map<std::string, std::optional<std::string>>;  // nullopt: the file is absent
using Checks = std::vector<std::pair<std::string, std::optional<std::string>>>;

// The standard inputs with `changes` made to them.
std::vector<Input_File> Inputs(Files files, const Files& changes = {}) {
  for (const auto& [name, content] : changes) files[name] = content;
  std::vector<Input_File> inputs;
  for (const auto& [name, content] : files)
    if (content) inputs.push_back({name, *content});
  return inputs;
}

// The output files with these contents.
Checks Outputs(const std::vector<std::string>& names, const std::vector<std::string>& contents) {
  Checks checks;
  for (std::size_t i = 0; i < names.size(); ++i) checks.emplace_back(names[i], contents[i]);
  return checks;
}

// Energy lines as the energy tools write them.
std::string Energies(int count, double value) {
  std::string text;
  for (int i = 0; i < count; ++i) text += common::Format("%13.5lf\n", value);
  return text;
}

std::string Z_Lines(const char* comb, const char* pair, const char* surf) {
  return std::string("Z-score comb  \tm\t") + comb + "\nZ-score pair  \tm\t" + pair + "\nZ-score surf  \tm\t" + surf +
         "\n";
}

const std::string kExit = "\nprogram will exit !\n";

TEST(Sigmara, Runs) {
  // Natives 0 against 100 ones and 100 threes (pair), 100 tens and 100 thirties (surface).
  const std::string ones_and_threes = Energies(100, 1.0) + Energies(100, 3.0);
  const Files standard = {{"m.vicina.native", Energies(1, 0.0)},
                          {"m.vicina.random", ones_and_threes},
                          {"m.exposa.native", Energies(1, 0.0)},
                          {"m.exposa.random", Energies(100, 10.0) + Energies(100, 30.0)}};
  const std::vector<std::string> names = {"m.zscore", "m.pair.zscore", "m.surf.zscore"};
  const std::string usage = common::Chain_Usage("sigmara", "protein_name");
  const std::string worked = Z_Lines("   -1.9950", "   -1.9950", "   -1.9950");
  const Checks worked_files = Outputs(names, {" -1.9950\n", " -1.9950\n", " -1.9950\n"});
  const auto refused = [&](const std::string& label, const std::vector<std::string>& args, const Files& changes,
                           const std::string& out) {
    return test_support::Tool_Case{
        .label = label, .args = args, .inputs = Inputs(standard, changes), .status = 8, .out = out};
  };
  Check_Cases(
      "sigmara",
      {
          {.label = "worked example", .args = {"m"}, .inputs = Inputs(standard), .out = worked, .files = worked_files},
          {.label = "chain identifier changes nothing",
           .args = {"m", "B"},
           .inputs = Inputs(standard),
           .out = worked,
           .files = worked_files},
          {.label = "old result overwritten",
           .args = {"m"},
           .inputs = Inputs(standard, {{"m.zscore", "old\nold\n"}}),
           .out = worked,
           .files = worked_files},
          {.label = "only the lines needed are read",
           .args = {"m"},
           .inputs =
               Inputs(standard, {{"m.vicina.native", "0.0 native\nx\n"}, {"m.vicina.random", ones_and_threes + "x\n"}}),
           .out = worked,
           .files = worked_files},
          // The combined mean is a sum of rounded quotients, a hair below the native.
          {.label = "natives at the mean",
           .args = {"m"},
           .inputs = Inputs(standard, {{"m.vicina.native", "2\n"}, {"m.exposa.native", "20\n"}}),
           .out = Z_Lines("   -0.0000", "    0.0000", "    0.0000"),
           .files = Outputs(names, {" -0.0000\n", "  0.0000\n", "  0.0000\n"})},
          {.label = "constant pair energies",
           .args = {"m"},
           .inputs = Inputs(standard, {{"m.vicina.random", Energies(200, -4.0)}}),
           .out = Z_Lines(" 9999.0000", " 9999.0000", "   -1.9950"),
           .files = Outputs(names, {"9999.0000\n", "9999.0000\n", " -1.9950\n"})},
          refused("no argument", {}, {}, usage),
          refused("three arguments", {"m", "A", "x"}, {}, usage),
          refused("first missing input named", {"m"},
                  {{"m.vicina.random", std::nullopt}, {"m.exposa.native", std::nullopt}},
                  "cannot open input file 'm.vicina.random'" + kExit),
          refused("empty native", {"m"}, {{"m.exposa.native", ""}}, "input file 'm.exposa.native' is empty" + kExit),
          refused("truncated random", {"m"}, {{"m.vicina.random", Energies(199, 1.0)}},
                  "input file 'm.vicina.random' has 199 lines, 200 are needed" + kExit),
          refused("line without a number", {"m"},
                  {{"m.exposa.random", Energies(56, 1.0) + "  missing\n" + ones_and_threes}},
                  "no number on line 57 of input file 'm.exposa.random'" + kExit),
      },
      names);
  // Apart from the failures above: m.zscore is already written when m.pair.zscore cannot be created.
  Check_Cases("sigmara", {{.label = "output that cannot be created",
                           .args = {"m"},
                           .inputs = Inputs(standard),
                           .folders = {"m.pair.zscore"},
                           .status = 8,
                           .out = "cannot create output file 'm.pair.zscore'" + kExit}});
}

TEST(Blendora, Runs) {
  const Files standard = {{"m.zscore", "  0.0000\n"}, {"m.compactness", "    0.5000\n"}, {"m.seq_ide", "50\n"}};
  const std::string usage = common::Chain_Usage("blendora", "protein_name");
  const std::string worked = "ZO341-score   \tm\t    0.1224\n";
  const std::string zero = "ZO341-score   \tm\t    0.0000\n";
  const auto run = [&](const std::string& label, const std::vector<std::string>& args, const Files& changes,
                       const std::string& out, const std::string& written) {
    return test_support::Tool_Case{
        .label = label, .args = args, .inputs = Inputs(standard, changes), .out = out, .files = {{"m.zo341", written}}};
  };
  const auto refused = [&](const std::string& label, const std::vector<std::string>& args, const Files& changes,
                           const std::string& out) {
    return test_support::Tool_Case{
        .label = label, .args = args, .inputs = Inputs(standard, changes), .status = 8, .out = out};
  };
  Check_Cases(
      "blendora",
      {
          run("worked example", {"m"}, {}, worked, "  0.1224\n"),
          run("chain identifier changes nothing", {"m", "_"}, {{"m.zo341", "old\nold\n"}}, worked, "  0.1224\n"),
          run("only the first number of the first line", {"m"},
              {{"m.zscore", "0 z\n5\n"},
               {"m.compactness", "0.5\t0.9\r\n"},
               {"m.seq_ide", "50" + std::string(998, ' ') + "\n"}},
              worked, "  0.1224\n"),
          run("unvarying shuffles", {"m"}, {{"m.zscore", "9999.0000\n"}}, zero, "  0.0000\n"),
          run("identity 0", {"m"}, {{"m.seq_ide", "0\n"}}, zero, "  0.0000\n"),
          refused("no argument", {}, {}, usage),
          refused("three arguments", {"m", "A", "B"}, {}, usage),
          refused("first missing input named", {"m"}, {{"m.zscore", std::nullopt}, {"m.seq_ide", std::nullopt}},
                  "cannot open input file 'm.zscore'" + kExit),
          refused("missing identity", {"m"}, {{"m.seq_ide", std::nullopt}},
                  "cannot open input file 'm.seq_ide'" + kExit),
          refused("empty compactness", {"m"}, {{"m.compactness", ""}}, "input file 'm.compactness' is empty" + kExit),
          refused("no number", {"m"}, {{"m.zscore", "-\n"}}, "no number on line 1 of input file 'm.zscore'" + kExit),
          refused("overlong line", {"m"}, {{"m.seq_ide", "50" + std::string(999, ' ') + "\n"}},
                  "line 1 of input file 'm.seq_ide' is longer than 1000 characters" + kExit),
          refused("identity above 100", {"m"}, {{"m.seq_ide", "150\n"}},
                  "sequence identity 150 in input file 'm.seq_ide' is outside 0 to 100 (it is a percentage)" + kExit),
          refused("negative identity", {"m"}, {{"m.seq_ide", "-0.5\n"}},
                  "sequence identity -0.5 in input file 'm.seq_ide' is outside 0 to 100 (it is a percentage)" + kExit),
          {.label = "output that cannot be created",
           .args = {"m"},
           .inputs = Inputs(standard),
           .folders = {"m.zo341"},
           .status = 8,
           .out = "cannot create output file 'm.zo341'" + kExit},
      },
      {"m.zo341"});
}

}  // namespace
