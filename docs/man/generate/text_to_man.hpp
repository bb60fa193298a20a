// Turns a program's help text (docs/man/NAME.SECTION.txt) into a manual page
// in man(7) roff, so that --help and the manual page never drift apart.
//
// The text is laid out as help texts usually are:
//   - optional "Usage: ..." lines (continued by indented lines): the synopsis;
//   - a one-line summary: the NAME line;
//   - paragraphs at column 0: the description;
//   - "Heading:" at column 0 directly followed by indented lines: a section;
//   - in a section, "  term    description" (two or more blanks between) or
//     "  term" followed by deeper lines: a tagged item; other lines indented
//     by 2: a paragraph; a block whose lines are all indented by 4 or more:
//     text shown as it stands (examples, output).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace man {

struct Page_Info {
  std::string name;     // e.g. "catena"
  std::string section;  // e.g. "1"
  std::string date;     // YYYY-MM-DD
  std::string version;  // e.g. "0.1.0"
};

// A text that does not follow the layout above; the message names the line.
class Layout_Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string Text_To_Man(std::string_view text, const Page_Info& info);

// Escapes one line of text for roff: backslashes, hyphens as minus signs (so
// that options can be copied), and a leading period or apostrophe.
std::string Escape(std::string_view line);

}  // namespace man
