// Every way the suite reads a number from text, one named function per rule.
//
// Files are read with the rules of the C conversions "%lf", "%f" and "%d"
// applied to the start of a text: leading white space is skipped, the longest
// number prefix is converted, anything after it is ignored, and nothing is
// read when no number starts there.
//
// Command-line options and environment values are read strictly: the whole
// text is the number, with no blanks, no sign and no other form.
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace common {

// "%lf": exponents, hexadecimal, "inf" and "nan" read as strtod reads them.
std::optional<double> Scan_Double(std::string_view text);

// "%lf" that must take the whole text (blanks may only lead): a cell of a
// table written by the suite itself.
std::optional<double> Scan_Whole_Double(std::string_view text);

// "%lf" read from an open stream by the C library itself, with exactly the
// characters it consumes and leaves; nothing at a non-number or at the end.
std::optional<double> Scan_Double(std::FILE* in);

// "%f": the float strtof gives.
std::optional<float> Scan_Float(std::string_view text);

// "%d" with an optional sign; a value outside the int range is refused.
std::optional<int> Scan_Int(std::string_view text);

// "%d" with an optional sign; a value outside the int range reads as the
// nearest end of the range, so a huge count still reads as too large.
std::optional<int> Scan_Int_Saturating(std::string_view text);

// One line read as one sscanf call of `integers` "%d" conversions then
// "%lf": the value, or nothing when a conversion fails. The integers are
// only required to be there; their values are not kept.
std::optional<double> Scan_Ints_Then_Double(std::string_view line, int integers);

// The first line of `text` read as Scan_Ints_Then_Double reads a line, and
// where the next line starts (after the '\n'; the text's size at its end).
struct Scanned_Line {
  std::optional<double> value;
  std::size_t next = 0;
};
Scanned_Line Scan_Line_Ints_Then_Double(std::string_view text, int integers);

// A cursor that converts in turn, as the conversions of one sscanf call do:
// each skips white space, then takes the longest number prefix.
class Scan_Cursor {
 public:
  explicit Scan_Cursor(std::string_view text) : pos_(text.data()), end_(text.data() + text.size()) {}

  // "%d" whose value is not kept: an optional sign and one or more digits.
  bool Skip_Int();

  // "%d", as Scan_Int.
  std::optional<int> Int();

  // "%lf", as Scan_Double.
  std::optional<double> Double();

  // What the conversions so far have left.
  std::string_view Rest() const { return {pos_, static_cast<std::size_t>(end_ - pos_)}; }

 private:
  void Skip_Space();
  bool Plain_Decimal(double& value);
  bool Double_Slow(double& value);

  const char* pos_;
  const char* end_;
};

// The whole text is decimal digits (leading zeros allowed) of a value no
// larger than `max`; anything else, the empty text included, is refused.
std::optional<unsigned long long> Strict_Unsigned(std::string_view text, unsigned long long max);

// The whole text is a plain decimal: digits with at most one '.', at least
// one digit ("7", "7.", ".5", "37.25"); no sign, exponent or blank. A value
// too large for a double is refused.
std::optional<double> Strict_Decimal(std::string_view text);

// The fields of a line between tab characters (one field when it holds none).
std::vector<std::string> Split_Tabs(std::string_view line);

// The first run of non-blank characters (as "%s" reads it); empty when the
// text is blank.
std::string_view First_Word(std::string_view text);

}  // namespace common
