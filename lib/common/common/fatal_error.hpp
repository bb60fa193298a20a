// Failure reporting shared by every program of the suite.
//
// Library code never ends the process: it throws Fatal_Error. The error keeps
// what went wrong (the message) apart from how the program closes its report
// (the ending), so that a driver running many models in one process can show
// the message alone, while a program prints what() exactly as it always has
// on standard output before it exits with status 8.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace common {

// The words a program ends a failed run with and the line breaks around its
// message: what() is lead + message + before + words + after. The views refer
// to string literals only.
struct Ending {
  std::string_view words = {};   // e.g. "program will exit !"; empty when none
  std::string_view before = {};  // between the message and the words
  std::string_view after = {};   // the line ends closing the text
  std::string_view lead = {};    // before the message
};

inline constexpr Ending kExitBang{.words = "program will exit !", .before = "\n", .after = "\n"};
inline constexpr Ending kExitPeriod{.words = "Program will exit.", .before = " ", .after = "\n\n"};
inline constexpr Ending kFinishNow{.words = "program will finish now.", .before = "\n", .after = "\n\n"};
inline constexpr Ending kExitPlain{.words = "program will exit", .before = "\n", .after = "\n"};
// No closing words: a blank line, a line end, or nothing after the message.
inline constexpr Ending kBlankLine{.after = "\n\n"};
inline constexpr Ending kLineEnd{.after = "\n"};
inline constexpr Ending kNoEnding{};

class Fatal_Error : public std::runtime_error {
 public:
  Fatal_Error(const Ending& ending, std::string message);

  // What went wrong, one or more lines, without the ending.
  const std::string& Message() const { return message_; }
  const Ending& Closing() const { return ending_; }

  // The same error with `prefix` before its whole text (the lead included).
  Fatal_Error Prefixed(std::string_view prefix) const;

 private:
  Ending ending_;
  std::string message_;
};

// Throws Fatal_Error with a message built from a printf format.
[[noreturn, gnu::format(printf, 2, 3)]] void Fail(const Ending& ending, const char* format, ...);

}  // namespace common
