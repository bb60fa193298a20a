#include "support/run_tool.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace test_support {

namespace fs = std::filesystem;

Temp_Dir::Temp_Dir() {
  std::string pattern = (fs::temp_directory_path() / "fold-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

Temp_Dir::~Temp_Dir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void Temp_Dir::Write(const std::string& name, const std::string& content) const {
  fs::create_directories(fs::path(File(name)).parent_path());
  std::ofstream out(File(name), std::ios::binary);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + File(name));
}

void Temp_Dir::Copy_In(const std::string& source, const std::string& name) const {
  fs::copy_file(source, File(name), fs::copy_options::overwrite_existing);
}

std::optional<std::string> Temp_Dir::Read(const std::string& name) const {
  if (!Exists(name)) return std::nullopt;
  return Read_Text(File(name));
}

bool Temp_Dir::Exists(const std::string& name) const { return fs::exists(File(name)); }

std::vector<std::string> Temp_Dir::List() const { return List_Of(path_); }

std::vector<std::string> Temp_Dir::List_Of(const std::string& directory) {
  std::vector<std::string> names;
  if (!fs::exists(directory)) return names;
  for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Tool_Path(const std::string& program) { return std::string(FOLD_TOOLS_DIR) + "/" + program; }

std::string Test_Data(const std::string& name) { return std::string(FOLD_TEST_DATA_DIR) + "/" + name; }

std::string Read_Text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

namespace {

// Runs `path` with the argument vector `argv_text` in `cwd`.
Run_Result Run_Executable(const std::string& path, std::vector<std::string> argv_text, const std::string& cwd,
                          const Environment& environment) {
  int out_pipe[2];
  int err_pipe[2];
  if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) throw std::runtime_error("pipe failed");

  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    dup2(out_pipe[1], STDOUT_FILENO);
    dup2(err_pipe[1], STDERR_FILENO);
    close(out_pipe[0]);
    close(out_pipe[1]);
    close(err_pipe[0]);
    close(err_pipe[1]);
    if (chdir(cwd.c_str()) != 0) _exit(127);
    unsetenv("SHUFFLE_SEED");
    for (const auto& [name, value] : environment) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
    std::vector<char*> argv;
    for (std::string& text : argv_text) argv.push_back(text.data());
    argv.push_back(nullptr);
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  close(out_pipe[1]);
  close(err_pipe[1]);

  Run_Result result;
  pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open_count = 2;
  while (open_count > 0) {
    if (poll(fds, 2, -1) < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(got));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_count;
      }
    }
  }
  int wait_status = 0;
  waitpid(pid, &wait_status, 0);
  result.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
  return result;
}

}  // namespace

Run_Result Run_Tool(const std::string& program, const std::vector<std::string>& args, const std::string& cwd,
                    const Environment& environment) {
  std::vector<std::string> argv_text{program};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  return Run_Executable(Tool_Path(program), argv_text, cwd, environment);
}

Run_Result Run_Shell(const std::string& command, const std::string& cwd, const Environment& environment) {
  Environment with_path = environment;
  const char* path = std::getenv("PATH");
  with_path.emplace_back("PATH", std::string(FOLD_TOOLS_DIR) + ":" + (path ? path : "/usr/bin:/bin"));
  return Run_Executable("/bin/sh", {"sh", "-c", command}, cwd, with_path);
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  return parts;
}

}  // namespace test_support
