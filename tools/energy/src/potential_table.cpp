#include "energy/potential_table.hpp"

#include <bit>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "energy/pair_energy.hpp"

namespace energy {
namespace {

// The white space of the C locale, as isspace sees it.
bool Is_Space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The decimal whose digits, read as one integer, are `digits`, with
// `decimals` of them after the point: both digits and the power of ten are
// exact doubles when digits <= 2^53 and decimals <= 22, so their quotient is
// rounded once, correctly, which is what strtod (and so "%lf") gives. False
// when the quotient is not known to be exact that way.
bool Exact_Decimal(std::uint64_t digits, int decimals, bool negative, double& value) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  constexpr std::uint64_t kExactLimit = std::uint64_t{1} << 53;
  if (digits > kExactLimit || decimals > 22) return false;
  const double magnitude = static_cast<double>(digits) / kPowers[decimals];
  value = negative ? -magnitude : magnitude;
  return true;
}

// At most this many digits are gathered into one 64-bit integer (10^19 - 1
// fits); longer ones go the general way.
constexpr int kMaxDigits = 19;

// A cursor over one line that converts numbers as sscanf's "%d" and "%lf" do:
// each conversion skips white space, then takes the longest number prefix.
class Line_Scanner {
 public:
  explicit Line_Scanner(std::string_view line) : pos_(line.data()), end_(line.data() + line.size()) {}

  bool Int() {
    Skip_Space();
    const char* p = pos_;
    if (p < end_ && (*p == '+' || *p == '-')) ++p;
    const char* digits = p;
    while (p < end_ && *p >= '0' && *p <= '9') ++p;
    if (p == digits) return false;
    pos_ = p;
    return true;
  }

  bool Double(double& value) {
    Skip_Space();
    if (pos_ == end_) return false;
    // Fast path for the plain decimal forms of a potential file; from_chars
    // rounds correctly, as strtod does, so both give the very same double.
    if (Plain_Decimal(value)) return true;
    const char* start = pos_;
    if (*start == '+') ++start;
    const auto [ptr, ec] = std::from_chars(start, end_, value, std::chars_format::general);
    if (ec == std::errc() && (ptr == end_ || Is_Space(*ptr)) && (start == pos_ || *start != '-')) {
      pos_ = ptr;
      return true;
    }
    return Double_Slow(value);
  }

 private:
  void Skip_Space() {
    while (pos_ < end_ && Is_Space(*pos_)) ++pos_;
  }

  // [-]digits[.digits], then a blank or the end, converted exactly when
  // Exact_Decimal can.
  bool Plain_Decimal(double& value) {
    const char* p = pos_;
    const bool negative = p < end_ && *p == '-';
    if (negative) ++p;
    std::uint64_t digits = 0;
    int count = 0;
    int decimals = -1;
    for (; p < end_; ++p) {
      if (*p >= '0' && *p <= '9') {
        digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
        if (++count > kMaxDigits) return false;
        if (decimals >= 0) ++decimals;
      } else if (*p == '.' && decimals < 0) {
        decimals = 0;
      } else {
        break;
      }
    }
    if (count == 0 || (p < end_ && !Is_Space(*p))) return false;
    if (!Exact_Decimal(digits, decimals < 0 ? 0 : decimals, negative, value)) return false;
    pos_ = p;
    return true;
  }

  // Everything else "%lf" accepts (hexadecimal, infinities, a number followed
  // directly by other text, out-of-range values): strtod on a copy.
  bool Double_Slow(double& value) {
    const std::string copy(pos_, end_);
    char* stop = nullptr;
    value = std::strtod(copy.c_str(), &stop);
    if (stop == copy.c_str()) return false;
    pos_ += stop - copy.c_str();
    return true;
  }

  const char* pos_;
  const char* end_;
};

#ifdef __SSE2__
// The usual short line at once: its first 32 bytes compared as two vectors
// give one bit per character for digits, blanks, minus signs and points, and
// the shape of the line is checked on those masks instead of character by
// character. Takes blanks, then `Integers` fields [-]digits and one field
// [-]digits[.digits] separated by blanks, then blanks and the line end, all
// within 32 bytes (anything else is left to Plain_Line, which accepts a
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
  if (!Exact_Decimal(number, decimals, negative, value)) return nullptr;
  return p + length + 1;
}
#endif

// The usual line in one sweep: blanks, `integers` integers of digits with an
// optional '-', each followed by a blank, then a value [-]digits[.digits]
// followed by white space or the end, converted exactly as Line_Scanner does. Returns where the next line starts, or
// null for any other line, which the scanner then reads. `end` must point at a '\0' (as common::Whole_File gives): as
// no loop goes on over a '\0' or a '\n', none needs a bounds check.
const char* Plain_Line(const char* p, const char* end, int integers, double& value) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  auto digit = [](char c) { return static_cast<unsigned>(c - '0') < 10U; };
  for (int i = 0; i < integers; ++i) {
    while (blank(*p)) ++p;
    if (*p == '-') ++p;
    const char* const digits = p;
    while (digit(*p)) ++p;
    if (p == digits || !blank(*p)) return nullptr;
  }
  while (blank(*p)) ++p;
  const bool negative = *p == '-';
  if (negative) ++p;
  // Integer digits, then fraction digits, in one integer; more digits than
  // it holds go to the scanner (the wrapped value is then never used).
  std::uint64_t number = 0;
  const char* const first_digit = p;
  while (digit(*p)) number = number * 10 + static_cast<std::uint64_t>(*p++ - '0');
  int count = static_cast<int>(p - first_digit);
  int decimals = 0;
  if (*p == '.') {
    const char* const fraction = ++p;
    while (digit(*p)) number = number * 10 + static_cast<std::uint64_t>(*p++ - '0');
    decimals = static_cast<int>(p - fraction);
    count += decimals;
  }
  if (count == 0 || count > kMaxDigits || (p != end && !Is_Space(*p))) return nullptr;
  if (!Exact_Decimal(number, decimals, negative, value)) return nullptr;
  if (*p == '\n') return p + 1;
  const void* const line_end = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
  return line_end ? static_cast<const char*>(line_end) + 1 : end;
}

// Reads `count` entries from the file, each line holding `integers` integers
// then the value, and stores them in file order.
void Load_Lines(const std::string& path, std::vector<double>& table, std::size_t count, int integers) {
  const auto content = common::Whole_File::Open(path);
  if (!content) common::Fail("cannot open file '%s' for reading\nprogram will finish now.\n\n", path.c_str());
  const std::string_view text = content->Text();
  std::size_t start = 0;
  for (std::size_t entry = 0; entry < count; ++entry) {
    if (start >= text.size())
      common::Fail("potential file '%s' ends at line %zu: %zu lines are needed\nprogram will finish now.\n\n",
                   path.c_str(), entry, count);
    const char* const line = text.data() + start;
    const char* const end = text.data() + text.size();
#ifdef __SSE2__
    if (end - line >= 40) {
      const char* const next = integers == 4   ? Short_Line<4>(line, table[entry])
                               : integers == 2 ? Short_Line<2>(line, table[entry])
                                               : nullptr;
      if (next) {
        start = static_cast<std::size_t>(next - text.data());
        continue;
      }
    }
#endif
    if (const char* next = Plain_Line(line, end, integers, table[entry])) {
      start = static_cast<std::size_t>(next - text.data());
      continue;
    }
    std::size_t stop = text.find('\n', start);
    if (stop == std::string_view::npos) stop = text.size();
    Line_Scanner scanner(text.substr(start, stop - start));
    bool ok = true;
    for (int i = 0; i < integers && ok; ++i) ok = scanner.Int();
    if (!ok || !scanner.Double(table[entry]))
      common::Fail(
          "cannot read line %zu of potential file '%s': %d integers and a value are expected\n"
          "program will finish now.\n\n",
          entry + 1, path.c_str(), integers);
    start = stop + 1;
  }
}

}  // namespace

MFP_Table Pair_Table_Shape() {
  MFP_Table shape;
  shape.dim = 4;
  shape.dim_val = {40, 40, 7, 30};
  shape.range = 15.0;
  shape.bin_size = 0.5;
  return shape;
}

MFP_Table Surface_Table_Shape() {
  MFP_Table shape;
  shape.dim = 2;
  shape.dim_val = {20, 20};
  shape.range = 40.0;
  shape.bin_size = 2.0;
  return shape;
}

void Read_MFP_Pair(const std::string& path, std::vector<double>& table, int s1, int s2, int s3, int s4) {
  Load_Lines(path, table, static_cast<std::size_t>(s1) * s2 * s3 * s4, 4);
}

void Read_MFP_Surf(const std::string& path, std::vector<double>& table, int s1, int s2) {
  Load_Lines(path, table, static_cast<std::size_t>(s1) * s2, 2);
}

MFP_Table Load_Potential(MFP_Table shape, const std::string& path) {
  shape.matrix_size = 1;
  for (int d = 0; d < shape.dim; ++d) shape.matrix_size *= shape.dim_val[d];
  try {
    shape.values.assign(static_cast<std::size_t>(shape.matrix_size), 0.0);
  } catch (const std::bad_alloc&) {
    common::Fail("cannot allocate matrix in memory\nprogram will exit !\n");
  }
  if (shape.dim == 4) {
    Read_MFP_Pair(path, shape.values, shape.dim_val[0], shape.dim_val[1], shape.dim_val[2], shape.dim_val[3]);
    // Once per table, rather than once per structure evaluated with it.
    shape.pair_blocks = pair::Group_Blocks(shape);
  } else {
    Read_MFP_Surf(path, shape.values, shape.dim_val[0], shape.dim_val[1]);
  }
  return shape;
}

int Get_MFP_Index(int num_dims, const int* indices, const std::array<int, 10>& dim_val) {
  if (num_dims < 2 || num_dims > 5)
    common::Fail(
        "Array of more than 4 dimensions is undefined (routine 'Get_MFP_Index')\nprogram will finish now.\n\n");
  int position = indices[0];
  for (int d = 1; d < num_dims; ++d) position = position * dim_val[d] + indices[d];
  return position;
}

}  // namespace energy
