#include "stream_reads.hpp"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

namespace pg::detail {

std::optional<std::string> Read_Line(std::FILE* in, int buffer_size) {
  std::vector<char> buffer(static_cast<std::size_t>(buffer_size));
  if (!std::fgets(buffer.data(), buffer_size, in)) return std::nullopt;
  return std::string(buffer.data());
}

std::optional<std::string> Read_Token(std::FILE* in) {
  int c;
  do {
    c = std::fgetc(in);
  } while (c != EOF && std::isspace(c));
  if (c == EOF) return std::nullopt;
  std::string token;
  while (c != EOF && !std::isspace(c)) {
    token += static_cast<char>(c);
    c = std::fgetc(in);
  }
  if (c != EOF) std::ungetc(c, in);
  return token;
}

std::optional<double> Read_Number(std::FILE* in) {
  double value = 0;
  if (std::fscanf(in, "%lf", &value) != 1) return std::nullopt;
  return value;
}

void Skip_Rest_Of_Line(std::FILE* in) {
  int c;
  do {
    c = std::fgetc(in);
  } while (c != EOF && c != '\n');
}

std::optional<int> Leading_Int(std::string_view text) {
  const std::string copy(text);
  const char* start = copy.c_str();
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(start, &end, 10);
  if (end == start) return std::nullopt;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace pg::detail
