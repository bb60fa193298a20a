// Failure reporting shared by every program of the suite.
//
// Library code never ends the process: it throws Fatal_Error, whose text is
// exactly what the program prints on standard output before it exits with
// status 8. A driver that runs many models in one process catches it per model.
#pragma once

#include <stdexcept>
#include <string>

namespace common {

class Fatal_Error : public std::runtime_error {
 public:
  explicit Fatal_Error(const std::string& text) : std::runtime_error(text) {}
};

// printf-style formatting into a std::string (the suite's outputs are defined
// as printf formats, and g++ 12 has no std::format).
[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...);

// Throws Fatal_Error built from a printf format.
[[noreturn, gnu::format(printf, 1, 2)]] void Fail(const char* format, ...);

}  // namespace common
