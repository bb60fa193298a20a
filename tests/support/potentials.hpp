// Deterministic synthetic potential files, written at test time: every entry
// gets its own value (so a wrong index shows), and the tables are asymmetric.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace test_support {

// The value of an entry as read back from the file (written with "%.6f").
inline double Synthetic_Value(std::uint64_t seed, std::uint64_t entry) {
  std::uint64_t z = seed * 0x9E3779B97F4A7C15ULL + entry + 1;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  z ^= z >> 31;
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", static_cast<double>(z % 6000001ULL) / 1000000.0 - 3.0);
  return std::strtod(text, nullptr);  // -3.000000 .. 3.000000
}

// Lines "i j k l value" in row-major order of 40 x 40 x 7 x 30.
inline std::string Pair_Potential_Text(std::uint64_t seed) {
  std::string text;
  text.reserve(336000 * 24);
  char line[64];
  std::uint64_t entry = 0;
  for (int i = 0; i < 40; ++i)
    for (int j = 0; j < 40; ++j)
      for (int k = 0; k < 7; ++k)
        for (int l = 0; l < 30; ++l) {
          std::snprintf(line, sizeof line, "%d %d %d %d %.6f\n", i, j, k, l, Synthetic_Value(seed, entry++));
          text += line;
        }
  return text;
}

// Lines "i j value" in row-major order of 20 x 20.
inline std::string Surface_Potential_Text(std::uint64_t seed) {
  std::string text;
  char line[64];
  std::uint64_t entry = 0;
  for (int i = 0; i < 20; ++i)
    for (int j = 0; j < 20; ++j) {
      std::snprintf(line, sizeof line, "%d %d %.6f\n", i, j, Synthetic_Value(seed, entry++));
      text += line;
    }
  return text;
}

inline void Write_Text_File(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace test_support
