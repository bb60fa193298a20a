// End-to-end runs of sigmara and blendora, each in a fresh directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/fatal_error.hpp"
#include "support/run_tool.hpp"

namespace {

using Files = std::map<std::string, std::string>;

struct Tool_Case {
  const char* what;
  std::vector<std::string> args;
  Files present;
  int status;
  std::string out;
  Files expected = {};                   // files with their exact content after the run
  std::vector<std::string> absent = {};  // files that must not exist after the run
};

void Run_Cases(const std::string& program, const std::vector<Tool_Case>& cases) {
  for (const Tool_Case& c : cases) {
    test_support::Temp_Dir dir;
    for (const auto& [name, content] : c.present) dir.Write(name, content);
    const test_support::Run_Result result = test_support::Run_Tool(program, c.args, dir.Path());
    EXPECT_EQ(result.status, c.status) << program << ": " << c.what;
    EXPECT_EQ(result.out, c.out) << program << ": " << c.what;
    EXPECT_EQ(result.err, "") << program << ": " << c.what;
    for (const auto& [name, content] : c.expected) EXPECT_EQ(dir.Read(name), content) << c.what << ": " << name;
    for (const std::string& name : c.absent) EXPECT_FALSE(dir.Exists(name)) << c.what << ": " << name;
  }
}

// A random-energy file as the energy tools write it: "%13.5lf" per line.
std::string Energy_Lines(const std::vector<std::pair<int, double>>& runs) {
  std::string text;
  for (const auto& [count, value] : runs)
    for (int i = 0; i < count; ++i) text += common::Format("%13.5lf\n", value);
  return text;
}

const std::string kOnesAndThrees = Energy_Lines({{100, 1.0}, {100, 3.0}});

// The four energy files of model "m": natives 0 against 100 ones and 100
// threes (pair) and 100 tens and 100 thirties (surface).
Files Energy_Files() {
  return {{"m.vicina.native", Energy_Lines({{1, 0.0}})},
          {"m.vicina.random", kOnesAndThrees},
          {"m.exposa.native", Energy_Lines({{1, 0.0}})},
          {"m.exposa.random", Energy_Lines({{100, 10.0}, {100, 30.0}})}};
}

Files With(Files files, const std::string& name, const std::string& content) {
  files[name] = content;
  return files;
}

Files Without(Files files, const std::string& name) {
  files.erase(name);
  return files;
}

const std::string kChainUsage_sigmara =
    "Usage:\n\nsigmara protein_name [protein_chain_id]\n\n\n"
    "[protein_chain_id] is optional. If ommited, then no chain id is adopted (unique chain).\n"
    "If chain is unique and want to give it explicitly in the command line, then '_' symbol should be used.\n\n";

const std::vector<std::string> kZScoreFiles = {"m.zscore", "m.pair.zscore", "m.surf.zscore"};

std::string Z_Lines(const char* comb, const char* pair, const char* surf) {
  return std::string("Z-score comb  \tm\t") + comb + "\nZ-score pair  \tm\t" + pair + "\nZ-score surf  \tm\t" + surf +
         "\n";
}

TEST(Sigmara, Runs) {
  const std::string worked = Z_Lines("   -1.9950", "   -1.9950", "   -1.9950");
  const Files worked_files = {
      {"m.zscore", " -1.9950\n"}, {"m.pair.zscore", " -1.9950\n"}, {"m.surf.zscore", " -1.9950\n"}};
  const std::string refused = "\nprogram will exit !\n";
  std::string constant_pair = Energy_Lines({{200, -4.0}});
  Run_Cases("sigmara",
            {
                {"worked example", {"m"}, Energy_Files(), 0, worked, worked_files},
                {"chain identifier changes nothing", {"m", "B"}, Energy_Files(), 0, worked, worked_files},
                {"old results are overwritten",
                 {"m"},
                 With(Energy_Files(), "m.zscore", "old\nold\n"),
                 0,
                 worked,
                 worked_files},
                {"only the first line of a native file and 200 random lines are read",
                 {"m"},
                 With(With(Energy_Files(), "m.vicina.native", "0.0 native\n99\n"), "m.exposa.random",
                      Energy_Lines({{100, 10.0}, {100, 30.0}}) + "garbage\n"),
                 0,
                 worked,
                 worked_files},
                {"native at the mean",
                 {"m"},
                 With(With(Energy_Files(), "m.vicina.native", "2\n"), "m.exposa.native", "20\n"),
                 0,
                 // The combined mean is a sum of rounded quotients: 0 in exact arithmetic,
                 // a tiny negative number here.
                 Z_Lines("   -0.0000", "    0.0000", "    0.0000"),
                 {{"m.zscore", " -0.0000\n"}, {"m.pair.zscore", "  0.0000\n"}, {"m.surf.zscore", "  0.0000\n"}}},
                {"constant pair energies",
                 {"m"},
                 With(Energy_Files(), "m.vicina.random", constant_pair),
                 0,
                 Z_Lines(" 9999.0000", " 9999.0000", "   -1.9950"),
                 {{"m.zscore", "9999.0000\n"}, {"m.pair.zscore", "9999.0000\n"}, {"m.surf.zscore", " -1.9950\n"}}},
                {"no argument", {}, Energy_Files(), 8, kChainUsage_sigmara, {}, kZScoreFiles},
                {"three arguments", {"m", "A", "x"}, Energy_Files(), 8, kChainUsage_sigmara, {}, kZScoreFiles},
                {"first missing input is named",
                 {"m"},
                 Without(Without(Energy_Files(), "m.vicina.random"), "m.exposa.native"),
                 8,
                 "cannot open input file 'm.vicina.random'" + refused,
                 {},
                 kZScoreFiles},
                {"missing last input",
                 {"m"},
                 Without(Energy_Files(), "m.exposa.random"),
                 8,
                 "cannot open input file 'm.exposa.random'" + refused,
                 {},
                 kZScoreFiles},
                {"empty native file",
                 {"m"},
                 With(Energy_Files(), "m.exposa.native", ""),
                 8,
                 "input file 'm.exposa.native' is empty" + refused,
                 {},
                 kZScoreFiles},
                {"truncated random file",
                 {"m"},
                 With(Energy_Files(), "m.vicina.random", Energy_Lines({{199, 1.0}})),
                 8,
                 "input file 'm.vicina.random' has 199 lines, 200 are needed" + refused,
                 {},
                 kZScoreFiles},
                {"line without a number",
                 {"m"},
                 With(Energy_Files(), "m.exposa.random", Energy_Lines({{56, 1.0}}) + "  missing\n" + kOnesAndThrees),
                 8,
                 "no number on line 57 of input file 'm.exposa.random'" + refused,
                 {},
                 kZScoreFiles},
                {"overlong protein name",
                 {std::string(486, 'p')},
                 {},
                 8,
                 "protein name is too long: 486 characters, at most 485 are allowed" + refused},
                {"overlong chain identifier",
                 {"m", std::string(1000, 'A')},
                 Energy_Files(),
                 8,
                 "chain identifier is too long: 1000 characters, at most 999 are allowed" + refused,
                 {},
                 kZScoreFiles},
            });
}

TEST(Sigmara, OutputThatCannotBeCreated) {
  test_support::Temp_Dir dir;
  for (const auto& [name, content] : Energy_Files()) dir.Write(name, content);
  std::filesystem::create_directory(dir.File("m.pair.zscore"));
  const test_support::Run_Result result = test_support::Run_Tool("sigmara", {"m"}, dir.Path());
  EXPECT_EQ(result.status, 8);
  EXPECT_EQ(result.out, "cannot create output file 'm.pair.zscore'\nprogram will exit !\n");
}

const std::string kChainUsage_blendora =
    "Usage:\n\nblendora protein_name [protein_chain_id]\n\n\n"
    "[protein_chain_id] is optional. If ommited, then no chain id is adopted (unique chain).\n"
    "If chain is unique and want to give it explicitly in the command line, then '_' symbol should be used.\n\n";

Files Descriptor_Files(const std::string& zscore, const std::string& compactness, const std::string& identity) {
  return {{"m.zscore", zscore}, {"m.compactness", compactness}, {"m.seq_ide", identity}};
}

TEST(Blendora, Runs) {
  const Files worked = Descriptor_Files("  0.0000\n", "    0.5000\n", "50\n");
  const std::string refused = "\nprogram will exit !\n";
  const std::vector<std::string> no_output = {"m.zo341"};
  Run_Cases("blendora",
            {
                {"worked example", {"m"}, worked, 0, "ZO341-score   \tm\t    0.1224\n", {{"m.zo341", "  0.1224\n"}}},
                {"chain identifier changes nothing",
                 {"m", "_"},
                 With(worked, "m.zo341", "old\nold\n"),
                 0,
                 "ZO341-score   \tm\t    0.1224\n",
                 {{"m.zo341", "  0.1224\n"}}},
                {"only the first number of the first line",
                 {"m"},
                 Descriptor_Files("0 z-score\n5\n", "0.5\t0.9\n", " 50.0 percent\n7\n"),
                 0,
                 "ZO341-score   \tm\t    0.1224\n",
                 {{"m.zo341", "  0.1224\n"}}},
                {"unvarying shuffles",
                 {"m"},
                 With(worked, "m.zscore", "9999.0000\n"),
                 0,
                 "ZO341-score   \tm\t    0.0000\n",
                 {{"m.zo341", "  0.0000\n"}}},
                {"identity 0",
                 {"m"},
                 With(worked, "m.seq_ide", "0\n"),
                 0,
                 "ZO341-score   \tm\t    0.0000\n",
                 {{"m.zo341", "  0.0000\n"}}},
                {"no argument", {}, worked, 8, kChainUsage_blendora, {}, no_output},
                {"three arguments", {"m", "A", "B"}, worked, 8, kChainUsage_blendora, {}, no_output},
                {"first missing input is named",
                 {"m"},
                 Without(Without(worked, "m.zscore"), "m.seq_ide"),
                 8,
                 "cannot open input file 'm.zscore'" + refused,
                 {},
                 no_output},
                {"missing identity",
                 {"m"},
                 Without(worked, "m.seq_ide"),
                 8,
                 "cannot open input file 'm.seq_ide'" + refused,
                 {},
                 no_output},
                {"empty compactness",
                 {"m"},
                 With(worked, "m.compactness", ""),
                 8,
                 "input file 'm.compactness' is empty" + refused,
                 {},
                 no_output},
                {"Z-score without a number",
                 {"m"},
                 With(worked, "m.zscore", "-\n"),
                 8,
                 "no number on line 1 of input file 'm.zscore'" + refused,
                 {},
                 no_output},
                {"overlong line",
                 {"m"},
                 With(worked, "m.seq_ide", "50" + std::string(999, ' ') + "\n"),
                 8,
                 "line 1 of input file 'm.seq_ide' is longer than 1000 characters" + refused,
                 {},
                 no_output},
                {"identity above 100",
                 {"m"},
                 With(worked, "m.seq_ide", "150\n"),
                 8,
                 "sequence identity 150 in input file 'm.seq_ide' is outside 0 to 100 (it is a percentage)" + refused,
                 {},
                 no_output},
                {"negative identity",
                 {"m"},
                 With(worked, "m.seq_ide", "-0.5\n"),
                 8,
                 "sequence identity -0.5 in input file 'm.seq_ide' is outside 0 to 100 (it is a percentage)" + refused,
                 {},
                 no_output},
                {"overlong protein name",
                 {std::string(488, 'p')},
                 {},
                 8,
                 "protein name is too long: 488 characters, at most 487 are allowed" + refused},
            });
}

TEST(Blendora, OutputThatCannotBeCreated) {
  test_support::Temp_Dir dir;
  for (const auto& [name, content] : Descriptor_Files("0\n", "0.5\n", "50\n")) dir.Write(name, content);
  std::filesystem::create_directory(dir.File("m.zo341"));
  const test_support::Run_Result result = test_support::Run_Tool("blendora", {"m"}, dir.Path());
  EXPECT_EQ(result.status, 8);
  EXPECT_EQ(result.out, "cannot create output file 'm.zo341'\nprogram will exit !\n");
}

}  // namespace
