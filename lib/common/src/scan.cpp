#include "common/scan.hpp"

#include <bit>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace common {
namespace {

// The white space of the C locale, as isspace sees it.
bool Is_Space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool Is_Digit(char c) { return c >= '0' && c <= '9'; }

// strtod and friends need a terminated text; fields are short, so a copy of
// the text is cheap and keeps the conversion from reading past the view.
template <typename T, typename Convert>
std::optional<T> Scan_With(std::string_view text, Convert convert) {
  const std::string copy(text);
  const char* start = copy.c_str();
  char* end = nullptr;
  const auto value = convert(start, &end);
  if (end == start) return std::nullopt;
  return static_cast<T>(value);
}

// "%d" through strtoll, which saturates at the long long range.
std::optional<long long> Scan_Long_Long(std::string_view text) {
  return Scan_With<long long>(text, [](const char* s, char** e) { return std::strtoll(s, e, 10); });
}

// At most this many digits are gathered into one 64-bit integer (10^19 - 1
// fits); longer numbers go the general way.
constexpr int kMaxDigits = 19;

// [-]digits[.digits] of at most kMaxDigits digits in all as a double, when
// the digits read as one integer are at most 2^53: that integer is exact in
// a double, so is the power of ten, and their quotient is rounded once,
// correctly, as strtod rounds. Nothing for a larger number or one without
// digits.
std::optional<double> Exact_Decimal(std::uint64_t digits, int count, int decimals, bool negative) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                       1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};
  constexpr std::uint64_t kExactLimit = std::uint64_t{1} << 53;
  if (count == 0 || count > kMaxDigits || digits > kExactLimit) return std::nullopt;
  const double magnitude = static_cast<double>(digits) / kPowers[decimals < 0 ? 0 : decimals];
  return negative ? -magnitude : magnitude;
}

#ifdef __SSE2__
// The usual short line at once: its first 32 bytes compared as two vectors
// give one bit per character for digits, blanks, minus signs and points, and
// the shape of the line is checked on those masks instead of character by
// character. Takes blanks, then `Integers` fields [-]digits and one field
// [-]digits[.digits] separated by blanks, then blanks and the line end, all
// within 32 bytes (anything else is left to the general sweep, which accepts a
// superset). Needs 40 readable bytes at p.
template <int Integers>
const char* Short_Line(const char* p, double& value) {
  const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
  auto mask = [&](auto test) {
    return static_cast<std::uint32_t>(_mm_movemask_epi8(test(low))) |
           static_cast<std::uint32_t>(_mm_movemask_epi8(test(high))) << 16;
  };
  auto equal = [](char c) { return [c](__m128i v) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); }; };
  const std::uint32_t newline = mask(equal('\n'));
  if (newline == 0) return nullptr;
  const int length = std::countr_zero(newline);
  const std::uint32_t line = (std::uint32_t{1} << length) - 1;  // the characters before the line end
  // Bytes from 0x80 are negative to the signed comparisons, so no digit.
  const std::uint32_t digit =
      mask([](__m128i v) {
        return _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8('0' - 1)), _mm_cmplt_epi8(v, _mm_set1_epi8('9' + 1)));
      }) &
      line;
  const std::uint32_t blank = (mask(equal(' ')) | mask(equal('\t'))) & line;
  const std::uint32_t minus = mask(equal('-')) & line;
  const std::uint32_t point = mask(equal('.')) & line;
  if ((digit | blank | minus | point) != line) return nullptr;
  const std::uint32_t word = line & ~blank;
  const std::uint32_t starts = word & ~(word << 1);
  // Exactly integers + 1 fields (counted without a population count, which
  // the base instruction set lacks).
  std::uint32_t later = starts;
  for (int field = 0; field < Integers; ++field) later &= later - 1;
  if (later == 0 || (later & (later - 1)) != 0) return nullptr;
  const int value_start = std::countr_zero(later);
  const std::uint32_t value_field = word & ~(later - 1);
  const int value_length = std::countr_one(value_field >> value_start);
  // A minus sign only first in a field and before a digit; at most one
  // point, in the value; some digit in the value.
  if ((minus & ~starts) != 0 || ((minus << 1) & ~digit) != 0) return nullptr;
  if ((point & ~value_field) != 0 || (point & (point - 1)) != 0 || (digit & value_field) == 0) return nullptr;
  const char* q = p + value_start;
  const char* const stop = q + value_length;
  const bool negative = *q == '-';
  if (value_length - (negative ? 1 : 0) - (point != 0 ? 1 : 0) > kMaxDigits) return nullptr;
  q += negative ? 1 : 0;
  // The digits before the point, then those after it.
  const char* const decimal_point = point != 0 ? p + std::countr_zero(point) : stop;
  std::uint64_t number = 0;
  for (; q < decimal_point; ++q) number = number * 10 + static_cast<std::uint64_t>(*q - '0');
  const int fraction = point != 0 ? static_cast<int>(stop - decimal_point) - 1 : 0;
  if (fraction > 0 && fraction <= 8) {
    // Up to eight fraction digits at once: loaded as one word (the window
    // has room), the digits moved to its top with '0's before them, then
    // combined in three multiplications.
    std::uint64_t word = 0;
    std::memcpy(&word, decimal_point + 1, sizeof word);
    const int unused = 8 * (8 - fraction);
    word = unused == 0 ? word : (word << unused) | (0x3030303030303030ULL >> (64 - unused));
    word -= 0x3030303030303030ULL;
    word = word * 10 + (word >> 8);
    word = (((word & 0x000000FF000000FFULL) * (100 + (1000000ULL << 32))) +
            (((word >> 16) & 0x000000FF000000FFULL) * (1 + (10000ULL << 32)))) >>
           32;
    static constexpr std::uint64_t kScale[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    number = number * kScale[fraction] + word;
  } else {
    for (q = decimal_point + 1; q < stop; ++q) number = number * 10 + static_cast<std::uint64_t>(*q - '0');
  }
  const int decimals = fraction;
  const std::optional<double> exact =
      Exact_Decimal(number, value_length - (negative ? 1 : 0) - (point != 0 ? 1 : 0), decimals, negative);
  if (!exact) return nullptr;
  value = *exact;
  return p + length + 1;
}
#endif

// The usual line of a potential table in one sweep: blanks, `integers`
// integers of digits with an optional '-', each followed by a blank, then a
// plain decimal followed by white space or the end. Returns where the number
// ends, or null for any other line, which the cursor then reads. No loop goes
// on over a line end, so `end` may lie beyond the line; unchecked, the scan
// relies on a character before `end` that no loop goes on over.
template <bool kChecked>
const char* Plain_Ints_Then_Double(const char* p, const char* end, int integers, double& value) {
  auto is = [&p, end](auto test) { return (!kChecked || p < end) && test(*p); };
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  auto minus = [](char c) { return c == '-'; };
  for (int i = 0; i < integers; ++i) {
    while (is(blank)) ++p;
    if (is(minus)) ++p;
    const char* const digits = p;
    while (is(Is_Digit)) ++p;
    if (p == digits || !is(blank)) return nullptr;
  }
  while (is(blank)) ++p;
  const bool negative = is(minus);
  if (negative) ++p;
  std::uint64_t number = 0;
  const char* const first_digit = p;
  while (is(Is_Digit)) number = number * 10 + static_cast<std::uint64_t>(*p++ - '0');
  int count = static_cast<int>(p - first_digit);
  int decimals = -1;
  if (is([](char c) { return c == '.'; })) {
    const char* const fraction = ++p;
    while (is(Is_Digit)) number = number * 10 + static_cast<std::uint64_t>(*p++ - '0');
    decimals = static_cast<int>(p - fraction);
    count += decimals;
  }
  if ((!kChecked || p < end) && !Is_Space(*p)) return nullptr;
  const std::optional<double> exact = Exact_Decimal(number, count, decimals, negative);
  if (!exact) return nullptr;
  value = *exact;
  return p;
}

}  // namespace

std::optional<double> Scan_Double(std::string_view text) { return Scan_Cursor(text).Double(); }

std::optional<double> Scan_Whole_Double(std::string_view text) {
  Scan_Cursor cursor(text);
  const std::optional<double> value = cursor.Double();
  if (!cursor.Rest().empty()) return std::nullopt;
  return value;
}

std::optional<double> Scan_Double(std::FILE* in) {
  double value = 0;
  if (std::fscanf(in, "%lf", &value) != 1) return std::nullopt;
  return value;
}

namespace {

// [-]digits.digits of at most seven digits in all, then the end or a blank
// (a coordinate, an occupancy): the digits as one integer and the power of
// ten are exact floats, and their quotient is rounded once, correctly, as
// strtof rounds. Nothing for anything else.
std::optional<float> Plain_Short_Float(const char* p, const char* end) {
  const bool negative = p < end && *p == '-';
  if (negative) ++p;
  std::uint32_t number = 0;
  const char* const whole = p;
  for (; p < end && Is_Digit(*p) && p - whole < 8; ++p) number = number * 10 + static_cast<std::uint32_t>(*p - '0');
  const auto whole_digits = p - whole;
  if (whole_digits == 0 || p == end || *p != '.') return std::nullopt;
  const char* const fraction = ++p;
  for (; p < end && Is_Digit(*p) && p - fraction < 8; ++p) number = number * 10 + static_cast<std::uint32_t>(*p - '0');
  const auto decimals = p - fraction;
  if (decimals == 0 || whole_digits + decimals > 7 || (p != end && !Is_Space(*p))) return std::nullopt;
  static constexpr float kPowers[] = {1e0F, 1e1F, 1e2F, 1e3F, 1e4F, 1e5F, 1e6F, 1e7F};
  const float magnitude = static_cast<float>(number) / kPowers[decimals];
  return negative ? -magnitude : magnitude;
}

}  // namespace

std::optional<float> Scan_Float(std::string_view text) {
  // Plain decimals (coordinates are read by the million) go through
  // std::from_chars, which rounds correctly as strtof does and so gives the
  // same float. Signs, hexadecimal, infinities, range errors and anything that
  // might read on past where from_chars stops are left to strtof.
  std::size_t begin = 0;
  while (begin < text.size() && Is_Space(text[begin])) ++begin;
  const char* const first = text.data() + begin;
  const char* const last = text.data() + text.size();
  if (const std::optional<float> plain = Plain_Short_Float(first, last)) return plain;
  float value = 0.0F;
  const auto [end, error] = std::from_chars(first, last, value);
  const bool plain = error == std::errc() && std::isfinite(value) && (*first == '-' || Is_Digit(*first)) &&
                     (end == last || Is_Space(*end) || (*end != 'x' && *end != 'X' && *end != 'p' && *end != 'P'));
  if (plain) return value;
  return Scan_With<float>(text, [](const char* s, char** e) { return std::strtof(s, e); });
}

std::optional<int> Scan_Int(std::string_view text) { return Scan_Cursor(text).Int(); }

std::optional<int> Scan_Int_Saturating(std::string_view text) {
  const std::optional<long long> value = Scan_Long_Long(text);
  if (!value) return std::nullopt;
  if (*value > INT_MAX) return INT_MAX;
  if (*value < INT_MIN) return INT_MIN;
  return static_cast<int>(*value);
}

std::optional<double> Scan_Ints_Then_Double(std::string_view line, int integers) {
  double value = 0;
  if (Plain_Ints_Then_Double<true>(line.data(), line.data() + line.size(), integers, value)) return value;
  Scan_Cursor cursor(line);
  for (int i = 0; i < integers; ++i)
    if (!cursor.Skip_Int()) return std::nullopt;
  return cursor.Double();
}

Scanned_Line Scan_Line_Ints_Then_Double(std::string_view text, int integers) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  double value = 0;
#ifdef __SSE2__
  if (text.size() >= 40) {
    const char* const next = integers == 4   ? Short_Line<4>(begin, value)
                             : integers == 2 ? Short_Line<2>(begin, value)
                                             : nullptr;
    if (next) return {value, static_cast<std::size_t>(next - begin)};
  }
#endif
  // A last character that is no part of a number (the usual '\n') stops
  // every loop of the sweep, which then needs no bounds checks.
  const bool stops =
      begin != end && end[-1] != ' ' && end[-1] != '\t' && end[-1] != '-' && end[-1] != '.' && !Is_Digit(end[-1]);
  const char* const p = stops ? Plain_Ints_Then_Double<false>(begin, end, integers, value)
                              : Plain_Ints_Then_Double<true>(begin, end, integers, value);
  if (p) {
    const void* line_end = p < end && *p == '\n' ? p : std::memchr(p, '\n', static_cast<std::size_t>(end - p));
    const std::size_t next =
        line_end ? static_cast<std::size_t>(static_cast<const char*>(line_end) - begin) + 1 : text.size();
    return {value, next};
  }
  const std::size_t stop = text.find('\n');
  const std::size_t next = stop == std::string_view::npos ? text.size() : stop + 1;
  return {Scan_Ints_Then_Double(text.substr(0, stop), integers), next};
}

void Scan_Cursor::Skip_Space() {
  while (pos_ < end_ && Is_Space(*pos_)) ++pos_;
}

bool Scan_Cursor::Skip_Int() {
  Skip_Space();
  const char* p = pos_;
  if (p < end_ && (*p == '+' || *p == '-')) ++p;
  const char* digits = p;
  while (p < end_ && Is_Digit(*p)) ++p;
  if (p == digits) return false;
  pos_ = p;
  return true;
}

std::optional<int> Scan_Cursor::Int() {
  // Up to nine digits after blanks and an optional '-' cannot overflow: read
  // here as strtoll reads them, without the copy.
  const char* p = pos_;
  while (p < end_ && Is_Space(*p)) ++p;
  const bool negative = p < end_ && *p == '-';
  const char* const digits = p + (negative ? 1 : 0);
  int number = 0;
  for (p = digits; p < end_ && Is_Digit(*p) && p - digits < 9; ++p) number = number * 10 + (*p - '0');
  if (p > digits && (p == end_ || !Is_Digit(*p))) {
    pos_ = p;
    return negative ? -number : number;
  }
  const std::string copy(pos_, end_);
  char* stop = nullptr;
  const long long value = std::strtoll(copy.c_str(), &stop, 10);
  if (stop == copy.c_str() || value < INT_MIN || value > INT_MAX) return std::nullopt;
  pos_ += stop - copy.c_str();
  return static_cast<int>(value);
}

std::optional<double> Scan_Cursor::Double() {
  Skip_Space();
  if (pos_ == end_) return std::nullopt;
  double value = 0;
  // Fast path for plain decimals; from_chars rounds correctly, as strtod
  // does, so both give the very same double.
  if (Plain_Decimal(value)) return value;
  const char* start = pos_;
  if (*start == '+') ++start;
  const auto [ptr, ec] = std::from_chars(start, end_, value, std::chars_format::general);
  if (ec == std::errc() && (ptr == end_ || Is_Space(*ptr)) && (start == pos_ || *start != '-')) {
    pos_ = ptr;
    return value;
  }
  if (Double_Slow(value)) return value;
  return std::nullopt;
}

// [-]digits[.digits] with at most kMaxDigits digits in all, then a blank or the end.
bool Scan_Cursor::Plain_Decimal(double& value) {
  const char* p = pos_;
  const bool negative = p < end_ && *p == '-';
  if (negative) ++p;
  std::uint64_t digits = 0;
  int count = 0;
  int decimals = -1;
  for (; p < end_; ++p) {
    if (Is_Digit(*p)) {
      digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
      if (++count > kMaxDigits) return false;
      if (decimals >= 0) ++decimals;
    } else if (*p == '.' && decimals < 0) {
      decimals = 0;
    } else {
      break;
    }
  }
  if (p < end_ && !Is_Space(*p)) return false;
  const std::optional<double> exact = Exact_Decimal(digits, count, decimals, negative);
  if (!exact) return false;
  value = *exact;
  pos_ = p;
  return true;
}

// Everything else "%lf" accepts (hexadecimal, infinities, a number followed
// directly by other text, out-of-range values): strtod on a copy.
bool Scan_Cursor::Double_Slow(double& value) {
  const std::string copy(pos_, end_);
  char* stop = nullptr;
  value = std::strtod(copy.c_str(), &stop);
  if (stop == copy.c_str()) return false;
  pos_ += stop - copy.c_str();
  return true;
}

std::optional<unsigned long long> Strict_Unsigned(std::string_view text, unsigned long long max) {
  if (text.empty()) return std::nullopt;
  unsigned long long value = 0;
  for (const char c : text) {
    if (!Is_Digit(c)) return std::nullopt;
    const auto digit = static_cast<unsigned long long>(c - '0');
    if (digit > max || value > (max - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

std::optional<double> Strict_Decimal(std::string_view text) {
  const std::size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  auto digits = [](std::string_view part) {
    for (const char c : part)
      if (!Is_Digit(c)) return false;
    return true;
  };
  if (!digits(whole) || !digits(fraction) || (whole.empty() && fraction.empty())) return std::nullopt;
  const std::optional<double> value = Scan_Double(text);
  if (!value || !std::isfinite(*value)) return std::nullopt;
  return value;
}

std::string_view First_Word(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size() && Is_Space(text[begin])) ++begin;
  std::size_t end = begin;
  while (end < text.size() && !Is_Space(text[end])) ++end;
  return text.substr(begin, end - begin);
}

std::vector<std::string> Split_Tabs(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t tab = line.find('\t', start);
    fields.emplace_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

}  // namespace common
