#include "common/scan.hpp"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

namespace common {
namespace {

bool Is_Blank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// strtod and friends need a terminated text; fields are short, so a copy of
// the text is cheap and keeps the conversion from reading past the view.
template <typename T, typename Convert>
std::optional<T> Scan_With(std::string_view text, Convert convert) {
  const std::string copy(text);
  const char* start = copy.c_str();
  char* end = nullptr;
  errno = 0;
  const auto value = convert(start, &end);
  if (end == start) return std::nullopt;
  return static_cast<T>(value);
}

}  // namespace

std::optional<double> Scan_Double(std::string_view text) {
  return Scan_With<double>(text, [](const char* s, char** e) { return std::strtod(s, e); });
}

std::optional<float> Scan_Float(std::string_view text) {
  return Scan_With<float>(text, [](const char* s, char** e) { return std::strtof(s, e); });
}

std::optional<int> Scan_Int(std::string_view text) {
  const std::string copy(text);
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(copy.c_str(), &end, 10);
  if (end == copy.c_str() || errno == ERANGE || value < INT_MIN || value > INT_MAX) return std::nullopt;
  return static_cast<int>(value);
}

std::string_view First_Word(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size() && Is_Blank(text[begin])) ++begin;
  std::size_t end = begin;
  while (end < text.size() && !Is_Blank(text[end])) ++end;
  return text.substr(begin, end - begin);
}

}  // namespace common
