// Every program of the suite answers --help and --version, when it is the
// first argument, without touching its working directory.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/tool_case.hpp"

namespace {

using test_support::Check_Cases;
using test_support::Read_Text;

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
    Check_Cases(program,
                {
                    {.label = "--help", .args = {"--help"}, .out = help, .err = "", .directory = {{}}},
                    {.label = "--version", .args = {"--version"}, .out = version, .err = "", .directory = {{}}},
                    {.label = "--help before anything",
                     .args = {"--help", "--no-such-option", "y", "z"},
                     .out = help,
                     .err = "",
                     .directory = {{}}},
                });
  }
}

// Only the exact word asks for help: anything else is an argument, as designed.
TEST(Help_And_Version, Only_The_Exact_First_Argument) {
  Check_Cases("resitally", {{.label = "--helpx",
                             .args = {"--helpx"},
                             .status = 8,
                             .out = "Can not open --helpx\nfile not found '--helpx'. Program will exit.\n\n"}});
  Check_Cases("blendora", {{.label = "--version second",
                            .args = {"m", "--version"},
                            .status = 8,
                            .out = "cannot open input file 'm.zscore'\nprogram will exit !\n"}});
}

}  // namespace
