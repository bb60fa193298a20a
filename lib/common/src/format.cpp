#include "common/format.hpp"

#include <cstdio>
#include <vector>

namespace common {

std::string Format_List(const char* format, std::va_list args) {
  std::va_list copy;
  va_copy(copy, args);
  const int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (size <= 0) return {};
  std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
  std::vsnprintf(buffer.data(), buffer.size(), format, args);
  return std::string(buffer.data(), static_cast<std::size_t>(size));
}

std::string Format(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::string text = Format_List(format, args);
  va_end(args);
  return text;
}

}  // namespace common
