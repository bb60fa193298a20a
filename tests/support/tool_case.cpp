#include "support/tool_case.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace test_support {

namespace fs = std::filesystem;

namespace {

void Place_Inputs(const Temp_Dir& dir, const std::vector<Input_File>& inputs) {
  for (const Input_File& input : inputs) {
    if (input.from_test_data) {
      dir.Copy_In(Test_Data(input.content), input.name);
    } else {
      dir.Write(input.name, input.content);
    }
  }
}

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

Run_Result Check_Case(const std::string& program, const Tool_Case& c, const Temp_Dir& dir) {
  SCOPED_TRACE(program + ": " + c.label);
  for (const std::string& folder : c.folders) fs::create_directories(dir.File(folder));
  Place_Inputs(dir, c.inputs);
  for (const auto& [name, target] : c.links) fs::create_symlink(target, dir.File(name));
  Run_Result result;
  if (c.shell.empty()) {
    result = Run_Tool(program, c.args, dir.Path(), c.environment);
  } else {
    std::string command = program;
    for (const std::string& arg : c.args) command += " " + Quoted(arg);
    std::string line = c.shell;
    result = Run_Shell(line.replace(line.find("CMD"), 3, command), dir.Path(), c.environment);
  }
  const std::string said = result.out + result.err;
  EXPECT_EQ(result.status, c.status) << said.substr(0, 2000);
  if (c.out) {
    EXPECT_EQ(result.out, *c.out);
  }
  if (c.err) {
    EXPECT_EQ(result.err, *c.err);
  }
  if (c.says) {
    EXPECT_NE(said.find(*c.says), std::string::npos) << *c.says << "\ngot: " << said.substr(0, 2000);
  }
  for (const auto& [name, content] : c.files) {
    if (content) {
      EXPECT_EQ(dir.Read(name), content) << name;
    } else {
      EXPECT_FALSE(fs::is_regular_file(dir.File(name))) << name << " should not have been written";
    }
  }
  if (c.directory) {
    EXPECT_EQ(dir.List(), *c.directory);
  }
  return result;
}

void Check_Cases(const std::string& program, const std::vector<Tool_Case>& cases, const Names& results) {
  for (const Tool_Case& c : cases) {
    const Temp_Dir dir;
    Check_Case(program, c, dir);
    if (c.status == 0) continue;
    for (const std::string& name : results)
      EXPECT_FALSE(fs::is_regular_file(dir.File(name))) << program << ": " << c.label << ": " << name << " written";
  }
}

}  // namespace test_support
