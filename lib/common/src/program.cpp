#include "common/program.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "common/fatal_error.hpp"
#include "common/format.hpp"
#include "common/version.hpp"

namespace common {

std::optional<std::string> Flush_Standard_Output() {
  errno = 0;
  const bool flush_failed = std::fflush(stdout) != 0;
  const int error = errno;
  if (!flush_failed && !std::ferror(stdout)) return std::nullopt;
  // An earlier failed write leaves the error flag but not its errno.
  return Format("cannot write to standard output: %s", std::strerror(error != 0 ? error : EIO));
}

int Run_Program(const std::function<int()>& body) {
  int status = kExitFailure;
  std::string failure;
  try {
    status = body();
  } catch (const Fatal_Error& error) {
    failure = error.what();
  } catch (const std::bad_alloc&) {
    failure = Fatal_Error(kExitBang, "cannot allocate memory").what();
  }
  std::fputs(failure.c_str(), stdout);
  if (const auto write_error = Flush_Standard_Output()) {
    // The result line is lost: say so where it can still be read, with the
    // failure that standard output could not carry.
    std::fprintf(stderr, "%s%s\n", failure.c_str(), write_error->c_str());
    return kExitFailure;
  }
  return status;
}

std::string Version_Text(std::string_view program) {
  std::string text(program);
  text += " (fold assessment suite) ";
  text += kVersion;
  return text + "\n";
}

std::optional<int> Answer_Help_Or_Version(int argc, char** argv, std::string_view program, std::string_view help) {
  if (argc < 2) return std::nullopt;
  const std::string_view first = argv[1];
  std::string text;
  if (first == "--help") {
    text = help;
  } else if (first == "--version") {
    text = Version_Text(program);
  } else {
    return std::nullopt;
  }
  // A closed or full standard output is a failure, as for any output file.
  if (std::fputs(text.c_str(), stdout) == EOF || std::fflush(stdout) != 0) return kExitFailure;
  return kExitSuccess;
}

void Check_Argument_Length(std::string_view what, std::string_view value, std::size_t max_chars) {
  if (value.size() <= max_chars) return;
  const std::string name(what);
  Fail(kExitBang, "%s is too long: %zu characters, at most %zu are allowed", name.c_str(), value.size(), max_chars);
}

std::string Chain_Usage(std::string_view program, std::string_view arguments) {
  std::string text = "Usage:\n\n";
  text += program;
  text += ' ';
  text += arguments;
  text += " [protein_chain_id]\n\n\n";
  text += "[protein_chain_id] is optional. If ommited, then no chain id is adopted (unique chain).\n";
  text += "If chain is unique and want to give it explicitly in the command line, then '_' symbol should be used.\n\n";
  return text;
}

std::optional<std::vector<std::string>> Chain_Command_Line(int argc, char** argv, std::string_view arguments) {
  const int leading = 1 + static_cast<int>(std::count(arguments.begin(), arguments.end(), ' '));
  if (argc < leading + 1 || argc > leading + 2) {
    std::fputs(Chain_Usage(argv[0], arguments).c_str(), stdout);
    return std::nullopt;
  }
  std::vector<std::string> args(argv + 1, argv + argc);
  if (argc == leading + 1) args.emplace_back("_");
  return args;
}

}  // namespace common
