// The frame of every program's main: argument limits and the mapping of
// failures to the documented message and exit status.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace common {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 8;

// Runs a program body. A Fatal_Error is printed on standard output and gives
// exit status 8; so does memory exhaustion, with a plain message. Standard
// output is flushed and checked at the end: when any of it could not be
// written, the status is 8 and "cannot write to standard output: REASON" goes
// to standard error.
int Run_Program(const std::function<int()>& body);

// "NAME (fold assessment suite) VERSION" and a line end.
std::string Version_Text(std::string_view program);

// When the first argument is exactly --help or --version, prints `help` or the
// version on standard output and gives exit status 0; otherwise nothing, and
// the program reads its arguments as designed (the usage text included).
std::optional<int> Answer_Help_Or_Version(int argc, char** argv, std::string_view program, std::string_view help);

// Flushes standard output; the message above when it or an earlier write failed.
std::optional<std::string> Flush_Standard_Output();

// Refuses an argument longer than the buffer that the file formats and names
// are sized for (max_chars characters, terminator excluded). `what` names the
// argument in the message, e.g. "protein name".
void Check_Argument_Length(std::string_view what, std::string_view value, std::size_t max_chars);

}  // namespace common

namespace common {

// The usage text of the programs that take "[protein_chain_id]" last;
// `arguments` is what comes before it, e.g. "protein_name".
std::string Chain_Usage(std::string_view program, std::string_view arguments);

// The command line "<arguments> [protein_chain_id]", where `arguments` names
// the leading arguments as the usage text shows them: the arguments after the
// program name, with the chain ("_" when absent) last. A wrong count prints
// the usage text on standard output and gives nothing.
std::optional<std::vector<std::string>> Chain_Command_Line(int argc, char** argv, std::string_view arguments);

}  // namespace common
