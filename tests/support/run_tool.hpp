// Support for end-to-end tests: a fresh temporary working directory per test
// and running a built program in it, capturing its output and exit status.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

// A temporary directory, removed with everything in it at the end of scope.
class Temp_Dir {
 public:
  Temp_Dir();
  ~Temp_Dir();
  Temp_Dir(const Temp_Dir&) = delete;
  Temp_Dir& operator=(const Temp_Dir&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, const std::string& content) const;
  void Copy_In(const std::string& source, const std::string& name) const;
  std::optional<std::string> Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  std::vector<std::string> List() const;  // file names, sorted
  static std::vector<std::string> List_Of(const std::string& directory);

 private:
  std::string path_;
};

struct Run_Result {
  int status = -1;  // exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Environment changes for a run: a value sets the variable, nullopt unsets it.
using Environment = std::vector<std::pair<std::string, std::optional<std::string>>>;

// Runs `program` (a name from the build's bin directory, passed as argv[0])
// with `args` in the working directory `cwd`. SHUFFLE_SEED is unset unless
// `environment` sets it, so runs do not depend on the caller's environment.
Run_Result Run_Tool(const std::string& program, const std::vector<std::string>& args, const std::string& cwd,
                    const Environment& environment = {});

// Runs a shell command line (/bin/sh -c) in `cwd`, with the build's bin
// directory first on PATH, so that a test can run a pipeline as a user would.
Run_Result Run_Shell(const std::string& command, const std::string& cwd, const Environment& environment = {});

std::string Tool_Path(const std::string& program);
std::string Test_Data(const std::string& name);
std::string Read_Text(const std::string& path);

// The parts of a text between separators, as std::getline yields them (no
// empty part after a final separator).
std::vector<std::string> Split(const std::string& text, char separator);

}  // namespace test_support
