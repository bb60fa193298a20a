// The reads that the table reader and the feature-file reader make on one
// open stdio stream. Numbers go through the C library's own "%lf" so that
// every form it accepts (exponents, "nan", "inf", hex) reads the same way.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace pg::detail {

// A line read: the next line into a buffer of `buffer_size` characters, as
// fgets does; a longer line comes back in pieces. Nothing at end of file.
std::optional<std::string> Read_Line(std::FILE* in, int buffer_size);

// The next whitespace-delimited word, line ends counting as whitespace;
// nothing at end of file. The whitespace after the word is left unread.
std::optional<std::string> Read_Token(std::FILE* in);

// The next number after any whitespace ("%lf"); nothing when the next
// characters do not form a number or the stream has ended.
std::optional<double> Read_Number(std::FILE* in);

// Consumes everything up to and including the next line end.
void Skip_Rest_Of_Line(std::FILE* in);

// "%d" at the start of a text: blanks skipped, optional sign, digits. Values
// beyond the int range saturate, so a huge count still reads as too large.
std::optional<int> Leading_Int(std::string_view text);

}  // namespace pg::detail
