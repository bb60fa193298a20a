// The reads of lines and words that the table reader and the feature-file
// reader make on one open stdio stream (numbers: common::Scan_Double).
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

// Consumes everything up to and including the next line end.
void Skip_Rest_Of_Line(std::FILE* in);

}  // namespace pg::detail
