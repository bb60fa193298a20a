// Command-line tests as tables of cases, written with designated initializers:
// what the working directory holds before the run, the command line, and what
// the run must give. Only what a case states is checked.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/run_tool.hpp"

namespace test_support {

// A file placed in the working directory: literal text, or a copy of a file
// from tests/data. Names may have directories in front.
struct Input_File {
  std::string name;
  std::string content;
  bool from_test_data = false;
};

inline Input_File Data_File(const std::string& data_name, const std::string& as_name = "") {
  return {as_name.empty() ? data_name : as_name, data_name, true};
}

using Names = std::vector<std::string>;

struct Tool_Case {
  std::string label = {};
  Names args = {};
  std::vector<Input_File> inputs = {};
  Names folders = {};                                           // made before the inputs
  std::vector<std::pair<std::string, std::string>> links = {};  // name, target
  Environment environment = {};
  std::string shell = {};  // when set, run by sh with CMD standing for the quoted command line
  int status = 0;
  std::optional<std::string> out = {};   // exact standard output
  std::optional<std::string> err = {};   // exact standard error
  std::optional<std::string> says = {};  // held by standard output and error together
  std::vector<std::pair<std::string, std::optional<std::string>>> files = {};  // exact content; nullopt: no file
  std::optional<Names> directory = {};  // every name in the directory after the run
};

// Runs `program` (a name from the build's bin directory) as the case says in
// `dir`, checks what the case states and returns the run for further checks.
Run_Result Check_Case(const std::string& program, const Tool_Case& c, const Temp_Dir& dir);

// Each case in a fresh directory; after a failing one, none of `results` may
// be a file.
void Check_Cases(const std::string& program, const std::vector<Tool_Case>& cases, const Names& results = {});

}  // namespace test_support
