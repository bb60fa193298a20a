// printf-style formatting into a std::string: the suite's outputs are defined
// as printf formats, and g++ 12 has no std::format.
#pragma once

#include <cstdarg>
#include <string>

namespace common {

[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...);

// The same for a caller's own variable arguments.
[[gnu::format(printf, 1, 0)]] std::string Format_List(const char* format, std::va_list args);

}  // namespace common
