// Reading score files: text files holding one number per line, written by one
// tool and read by the next.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace combine {

// Longest line a reader accepts, its end of line not counted.
inline constexpr std::size_t kMaxScoreLineChars = 1000;

// The numbers of the first `count` lines of an open score file; further lines
// are not read. Each number is taken as "%lf" takes it: leading blanks
// skipped, anything after the number ignored. A file that ends before `count`
// lines, a line without a number or a line longer than kMaxScoreLineChars is
// refused (Fatal_Error naming `path` and the line) rather than read as a
// stale or truncated value.
std::vector<double> Read_Score_Lines(std::FILE* file, std::size_t count, const std::string& path);

// Opens `path` and reads it as above; a file that cannot be opened gives
// "cannot open input file '%s'\n" "program will exit !\n".
std::vector<double> Read_Score_File(const std::string& path, std::size_t count);

// Reads the number on the first line of `path`.
double Read_First_Score(const std::string& path);

}  // namespace combine
