#include "stream_reads.hpp"

#include <cctype>
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

void Skip_Rest_Of_Line(std::FILE* in) {
  int c;
  do {
    c = std::fgetc(in);
  } while (c != EOF && c != '\n');
}

}  // namespace pg::detail
