// Every program of the suite answers --help and --version, when it is the
// first argument, without touching its working directory.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/run_tool.hpp"

namespace {

using test_support::Read_Text;
using test_support::Run_Tool;
using test_support::Temp_Dir;

std::vector<std::string> Programs() {
  std::vector<std::string> names;
  std::istringstream list(FOLD_PROGRAM_NAMES);
  for (std::string name; std::getline(list, name, ',');) names.push_back(name);
  return names;
}

TEST(Help_And_Version, Every_Program) {
  const std::vector<std::string> programs = Programs();
  ASSERT_GE(programs.size(), 9U);
  for (const std::string& program : programs) {
    const std::string help = Read_Text(std::string(FOLD_SOURCE_DIR) + "/docs/man/" + program + ".1.txt");
    const std::string version = program + " (fold assessment suite) " + FOLD_PROJECT_VERSION + "\n";
    const struct {
      std::vector<std::string> args;
      const std::string& out;
    } rows[] = {{{"--help"}, help}, {{"--version"}, version}, {{"--help", "--no-such-option", "y", "z"}, help}};
    for (const auto& row : rows) {
      SCOPED_TRACE(program + " " + row.args.front() + " (" + std::to_string(row.args.size()) + " arguments)");
      Temp_Dir dir;
      const auto result = Run_Tool(program, row.args, dir.Path());
      EXPECT_EQ(result.status, 0) << result.out << result.err;
      EXPECT_EQ(result.out, row.out);
      EXPECT_EQ(result.err, "");
      EXPECT_TRUE(dir.List().empty());
    }
  }
}

// Only the exact word asks for help: anything else is an argument, as designed.
TEST(Help_And_Version, Only_The_Exact_First_Argument) {
  Temp_Dir dir;
  EXPECT_EQ(Run_Tool("resitally", {"--helpx"}, dir.Path()).out,
            "Can not open --helpx\nfile not found '--helpx'. Program will exit.\n\n");
  EXPECT_EQ(Run_Tool("blendora", {"m", "--version"}, dir.Path()).out,
            "cannot open input file 'm.zscore'\nprogram will exit !\n");
}

}  // namespace
