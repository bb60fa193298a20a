#include "common/scan.hpp"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
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
  // Plain decimals (coordinates are read by the million) go through
  // std::from_chars, which rounds correctly as strtof does and so gives the
  // same float. Signs, hexadecimal, infinities, range errors and anything that
  // might read on past where from_chars stops are left to strtof.
  std::size_t begin = 0;
  while (begin < text.size() && Is_Blank(text[begin])) ++begin;
  const char* const first = text.data() + begin;
  const char* const last = text.data() + text.size();
  float value = 0.0F;
  const auto [end, error] = std::from_chars(first, last, value);
  const bool plain = error == std::errc() && std::isfinite(value) &&
                     (*first == '-' || (*first >= '0' && *first <= '9')) &&
                     (end == last || Is_Blank(*end) || (*end != 'x' && *end != 'X' && *end != 'p' && *end != 'P'));
  if (plain) return value;
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

std::vector<std::string> Split_Tabs(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t tab = line.find('\t', start);
    fields.emplace_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

}  // namespace common
