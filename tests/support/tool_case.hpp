// Command-line tests as tables of cases: the files present before the run,
// the arguments, and the expected status, standard output and files after it.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/run_tool.hpp"

namespace test_support {

// Content of a file to place in the working directory: literal text, or a
// copy of a file from tests/data.
struct Input_File {
  std::string name;
  std::string content;
  bool from_test_data = false;
};

inline Input_File Data_File(const std::string& data_name, const std::string& as_name = "") {
  return {as_name.empty() ? data_name : as_name, data_name, true};
}

struct Tool_Case {
  std::string label;
  std::vector<std::string> args;
  std::vector<Input_File> inputs;
  int status = 0;
  std::optional<std::string> out;                                         // exact standard output, when given
  std::vector<std::pair<std::string, std::optional<std::string>>> files;  // exact content; nullopt: absent
  std::optional<std::vector<std::string>> directory;                      // every name in the directory after the run
  Environment environment;
};

inline void Place_Inputs(const Temp_Dir& dir, const std::vector<Input_File>& inputs) {
  for (const Input_File& input : inputs) {
    if (input.from_test_data) {
      dir.Copy_In(Test_Data(input.content), input.name);
    } else {
      dir.Write(input.name, input.content);
    }
  }
}

// Runs one case in a fresh directory and checks everything it states.
inline void Check_Case(const std::string& program, const Tool_Case& c) {
  SCOPED_TRACE(program + ": " + c.label);
  Temp_Dir dir;
  Place_Inputs(dir, c.inputs);
  const Run_Result result = Run_Tool(program, c.args, dir.Path(), c.environment);
  EXPECT_EQ(result.status, c.status) << result.out << result.err;
  if (c.out) {
    EXPECT_EQ(result.out, *c.out);
  }
  for (const auto& [name, content] : c.files) {
    if (content) {
      const auto actual = dir.Read(name);
      ASSERT_TRUE(actual.has_value()) << name << " was not written";
      EXPECT_EQ(*actual, *content) << name;
    } else {
      EXPECT_FALSE(dir.Exists(name)) << name << " should not exist";
    }
  }
  if (c.directory) {
    EXPECT_EQ(dir.List(), *c.directory);
  }
}

}  // namespace test_support
