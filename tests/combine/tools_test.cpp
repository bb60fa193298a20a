// End-to-end runs of sigmara and blendora, each in a fresh directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/fatal_error.hpp"
#include "common/format.hpp"
#include "common/program.hpp"
#include "support/run_tool.hpp"

namespace {

using Files = std::map<std::string, std::optional<std::string>>;  // nullopt: the file is absent

struct Tool_Case {
  const char* what;
  std::vector<std::string> args;
  Files changes;  // to the standard input files
  int status;
  std::string out;
  std::string outputs = {};  // the output files' contents, concatenated; on failure none may exist
};

void Run_Cases(const std::string& program, const Files& inputs, const std::vector<std::string>& outputs,
               const std::vector<Tool_Case>& cases) {
  for (const Tool_Case& c : cases) {
    test_support::Temp_Dir dir;
    Files files = inputs;
    for (const auto& [name, content] : c.changes) files[name] = content;
    for (const auto& [name, content] : files)
      if (content) dir.Write(name, *content);
    const test_support::Run_Result result = test_support::Run_Tool(program, c.args, dir.Path());
    EXPECT_EQ(result.status, c.status) << program << ": " << c.what;
    EXPECT_EQ(result.out, c.out) << program << ": " << c.what;
    std::string written;
    for (const std::string& name : outputs) {
      if (c.status == 0) {
        written += dir.Read(name).value_or("(missing)\n");
      } else {
        EXPECT_FALSE(dir.Exists(name)) << program << ": " << c.what << ": " << name;
      }
    }
    EXPECT_EQ(written, c.outputs) << program << ": " << c.what;
  }
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
  const Files inputs = {{"m.vicina.native", Energies(1, 0.0)},
                        {"m.vicina.random", ones_and_threes},
                        {"m.exposa.native", Energies(1, 0.0)},
                        {"m.exposa.random", Energies(100, 10.0) + Energies(100, 30.0)}};
  const std::string usage = common::Chain_Usage("sigmara", "protein_name");
  const std::string worked = Z_Lines("   -1.9950", "   -1.9950", "   -1.9950");
  const std::string worked_files = " -1.9950\n -1.9950\n -1.9950\n";
  Run_Cases("sigmara", inputs, {"m.zscore", "m.pair.zscore", "m.surf.zscore"},
            {
                {"worked example", {"m"}, {}, 0, worked, worked_files},
                {"chain identifier changes nothing", {"m", "B"}, {}, 0, worked, worked_files},
                {"old result overwritten", {"m"}, {{"m.zscore", "old\nold\n"}}, 0, worked, worked_files},
                {"only the lines needed are read",
                 {"m"},
                 {{"m.vicina.native", "0.0 native\nx\n"}, {"m.vicina.random", ones_and_threes + "x\n"}},
                 0,
                 worked,
                 worked_files},
                // The combined mean is a sum of rounded quotients, a hair below the native.
                {"natives at the mean",
                 {"m"},
                 {{"m.vicina.native", "2\n"}, {"m.exposa.native", "20\n"}},
                 0,
                 Z_Lines("   -0.0000", "    0.0000", "    0.0000"),
                 " -0.0000\n  0.0000\n  0.0000\n"},
                {"constant pair energies",
                 {"m"},
                 {{"m.vicina.random", Energies(200, -4.0)}},
                 0,
                 Z_Lines(" 9999.0000", " 9999.0000", "   -1.9950"),
                 "9999.0000\n9999.0000\n -1.9950\n"},
                {"no argument", {}, {}, 8, usage},
                {"three arguments", {"m", "A", "x"}, {}, 8, usage},
                {"first missing input named",
                 {"m"},
                 {{"m.vicina.random", std::nullopt}, {"m.exposa.native", std::nullopt}},
                 8,
                 "cannot open input file 'm.vicina.random'" + kExit},
                {"empty native", {"m"}, {{"m.exposa.native", ""}}, 8, "input file 'm.exposa.native' is empty" + kExit},
                {"truncated random",
                 {"m"},
                 {{"m.vicina.random", Energies(199, 1.0)}},
                 8,
                 "input file 'm.vicina.random' has 199 lines, 200 are needed" + kExit},
                {"line without a number",
                 {"m"},
                 {{"m.exposa.random", Energies(56, 1.0) + "  missing\n" + ones_and_threes}},
                 8,
                 "no number on line 57 of input file 'm.exposa.random'" + kExit},
                {"overlong protein name",
                 {std::string(486, 'p')},
                 {},
                 8,
                 "protein name is too long: 486 characters, at most 485 are allowed" + kExit},
                {"overlong chain",
                 {"m", std::string(1000, 'A')},
                 {},
                 8,
                 "chain identifier is too long: 1000 characters, at most 999 are allowed" + kExit},
            });
}

TEST(Blendora, Runs) {
  const Files inputs = {{"m.zscore", "  0.0000\n"}, {"m.compactness", "    0.5000\n"}, {"m.seq_ide", "50\n"}};
  const std::string usage = common::Chain_Usage("blendora", "protein_name");
  const std::string worked = "ZO341-score   \tm\t    0.1224\n";
  const std::string zero = "ZO341-score   \tm\t    0.0000\n";
  Run_Cases(
      "blendora", inputs, {"m.zo341"},
      {
          {"worked example", {"m"}, {}, 0, worked, "  0.1224\n"},
          {"chain identifier changes nothing", {"m", "_"}, {{"m.zo341", "old\nold\n"}}, 0, worked, "  0.1224\n"},
          {"only the first number of the first line",
           {"m"},
           {{"m.zscore", "0 z\n5\n"},
            {"m.compactness", "0.5\t0.9\r\n"},
            {"m.seq_ide", "50" + std::string(998, ' ') + "\n"}},
           0,
           worked,
           "  0.1224\n"},
          {"unvarying shuffles", {"m"}, {{"m.zscore", "9999.0000\n"}}, 0, zero, "  0.0000\n"},
          {"identity 0", {"m"}, {{"m.seq_ide", "0\n"}}, 0, zero, "  0.0000\n"},
          {"no argument", {}, {}, 8, usage},
          {"three arguments", {"m", "A", "B"}, {}, 8, usage},
          {"first missing input named",
           {"m"},
           {{"m.zscore", std::nullopt}, {"m.seq_ide", std::nullopt}},
           8,
           "cannot open input file 'm.zscore'" + kExit},
          {"missing identity", {"m"}, {{"m.seq_ide", std::nullopt}}, 8, "cannot open input file 'm.seq_ide'" + kExit},
          {"empty compactness", {"m"}, {{"m.compactness", ""}}, 8, "input file 'm.compactness' is empty" + kExit},
          {"no number", {"m"}, {{"m.zscore", "-\n"}}, 8, "no number on line 1 of input file 'm.zscore'" + kExit},
          {"overlong line",
           {"m"},
           {{"m.seq_ide", "50" + std::string(999, ' ') + "\n"}},
           8,
           "line 1 of input file 'm.seq_ide' is longer than 1000 characters" + kExit},
          {"identity above 100",
           {"m"},
           {{"m.seq_ide", "150\n"}},
           8,
           "sequence identity 150 in input file 'm.seq_ide' is outside 0 to 100 (it is a percentage)" + kExit},
          {"negative identity",
           {"m"},
           {{"m.seq_ide", "-0.5\n"}},
           8,
           "sequence identity -0.5 in input file 'm.seq_ide' is outside 0 to 100 (it is a percentage)" + kExit},
          {"overlong protein name",
           {std::string(488, 'p')},
           {},
           8,
           "protein name is too long: 488 characters, at most 487 are allowed" + kExit},
      });
}

TEST(Score_Tools, OutputThatCannotBeCreated) {
  test_support::Temp_Dir dir;
  for (const char* name : {"m.vicina.native", "m.vicina.random", "m.exposa.native", "m.exposa.random"})
    dir.Write(name, Energies(100, 1.0) + Energies(100, 2.0));
  for (const char* name : {"m.compactness", "m.seq_ide"}) dir.Write(name, "1\n");
  for (const char* name : {"m.pair.zscore", "m.zo341"}) std::filesystem::create_directory(dir.File(name));
  EXPECT_EQ(test_support::Run_Tool("sigmara", {"m"}, dir.Path()).out,
            "cannot create output file 'm.pair.zscore'" + kExit);
  const test_support::Run_Result result = test_support::Run_Tool("blendora", {"m"}, dir.Path());
  EXPECT_EQ(result.status, 8);
  EXPECT_EQ(result.out, "cannot create output file 'm.zo341'" + kExit);
}

}  // namespace
