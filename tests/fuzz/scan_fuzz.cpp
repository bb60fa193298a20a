// The reading rules against the C conversions that define them (strtod,
// strtof, strtoll, and "%d" as blanks, a sign and digits): any difference,
// in a fast path or at an edge, stops the run.
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "common/scan.hpp"
#include "fuzz_input.hpp"

namespace {

template <typename T>
void Expect_Same(std::optional<T> found, std::optional<T> expected) {
  if (found.has_value() != expected.has_value()) std::abort();
  if (!found) return;
  if (std::isnan(*expected) ? !std::isnan(*found) || std::signbit(*found) != std::signbit(*expected)
                            : std::memcmp(&*found, &*expected, sizeof(T)) != 0)
    std::abort();
}

// What one sscanf call with `integers` "%d" then "%lf" reads from a
// terminated line: the value, or nothing when a conversion fails.
std::optional<double> By_The_C_Library(const char* p, int integers) {
  auto is_space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
  for (int i = 0; i < integers; ++i) {
    while (is_space(*p)) ++p;
    if (*p == '+' || *p == '-') ++p;
    if (!is_digit(*p)) return std::nullopt;
    while (is_digit(*p)) ++p;
  }
  char* end = nullptr;
  const double value = std::strtod(p, &end);
  if (end == p) return std::nullopt;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::As_Text(data, size);
  const std::string copy(text);  // the C conversions stop at its first '\0'
  const char* const start = copy.c_str();
  char* end = nullptr;

  const double as_double = std::strtod(start, &end);
  Expect_Same(common::Scan_Double(text), end == start ? std::nullopt : std::optional(as_double));
  const float as_float = std::strtof(start, &end);
  Expect_Same(common::Scan_Float(text), end == start ? std::nullopt : std::optional(as_float));
  const long long as_int = std::strtoll(start, &end, 10);
  const bool in_range = end != start && as_int >= INT32_MIN && as_int <= INT32_MAX;
  Expect_Same(common::Scan_Int(text), in_range ? std::optional(static_cast<int>(as_int)) : std::nullopt);

  const std::size_t line_end = text.find('\n');
  const std::string line(text.substr(0, line_end));
  const std::size_t next = line_end == std::string_view::npos ? text.size() : line_end + 1;
  for (const int integers : {2, 4}) {
    const common::Scanned_Line scanned = common::Scan_Line_Ints_Then_Double(text, integers);
    Expect_Same(scanned.value, By_The_C_Library(line.c_str(), integers));
    if (scanned.next != next) std::abort();
  }
  return 0;
}
