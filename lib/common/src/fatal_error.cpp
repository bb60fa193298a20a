#include "common/fatal_error.hpp"

#include <cstdarg>

#include "common/format.hpp"

namespace common {
namespace {

std::string Full_Text(const Ending& ending, const std::string& message) {
  std::string text(ending.lead);
  text += message;
  text += ending.before;
  text += ending.words;
  text += ending.after;
  return text;
}

}  // namespace

Fatal_Error::Fatal_Error(const Ending& ending, std::string message)
    : std::runtime_error(Full_Text(ending, message)), ending_(ending), message_(std::move(message)) {}

Fatal_Error Fatal_Error::Prefixed(std::string_view prefix) const {
  Ending ending = ending_;
  std::string message(prefix);
  message += ending.lead;
  message += message_;
  ending.lead = {};
  return Fatal_Error(ending, std::move(message));
}

void Fail(const Ending& ending, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::string message = Format_List(format, args);
  va_end(args);
  throw Fatal_Error(ending, std::move(message));
}

}  // namespace common
