#include "energy/potential_table.hpp"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "energy/pair_energy.hpp"

namespace energy {
namespace {

// The white space of the C locale, as isspace sees it.
bool Is_Space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

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

  // [-]digits[.digits] with at most 15 digits in all, then a blank or the
  // end: the digits as an integer are exact in a double, so is the power of
  // ten, and their quotient is rounded once, correctly, as strtod rounds.
  bool Plain_Decimal(double& value) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* p = pos_;
    const bool negative = p < end_ && *p == '-';
    if (negative) ++p;
    std::uint64_t digits = 0;
    int count = 0;
    int decimals = -1;
    for (; p < end_; ++p) {
      if (*p >= '0' && *p <= '9') {
        digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
        if (++count > 15) return false;
        if (decimals >= 0) ++decimals;
      } else if (*p == '.' && decimals < 0) {
        decimals = 0;
      } else {
        break;
      }
    }
    if (count == 0 || (p < end_ && !Is_Space(*p))) return false;
    const double magnitude = static_cast<double>(digits) / kPowers[decimals < 0 ? 0 : decimals];
    value = negative ? -magnitude : magnitude;
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

// The usual line in one sweep: blanks, `integers` integers of digits with an
// optional '-', each followed by a blank, then a value of at most 15 digits
// ([-]digits[.digits]) followed by white space or the end, converted exactly
// as Line_Scanner does. Returns where the next line starts, or null for any
// other line, which the scanner then reads. `end` must point at a '\0' (as
// common::Whole_File gives): as no loop goes on over a '\0' or a '\n', none needs
// a bounds check.
const char* Plain_Line(const char* p, const char* end, int integers, double& value) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
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
  // Integer digits, then fraction digits, in one integer; more than 15 digits
  // in all goes to the scanner (the wrapped value is then never used).
  std::uint64_t number = 0;
  const char* const first_digit = p;
  while (digit(*p)) number = number * 10 + static_cast<std::uint64_t>(*p++ - '0');
  int count = static_cast<int>(p - first_digit);
  int decimals = -1;
  if (*p == '.') {
    const char* const fraction = ++p;
    while (digit(*p)) number = number * 10 + static_cast<std::uint64_t>(*p++ - '0');
    decimals = static_cast<int>(p - fraction);
    count += decimals;
  }
  if (count == 0 || count > 15 || (p != end && !Is_Space(*p))) return nullptr;
  const double magnitude = static_cast<double>(number) / kPowers[decimals < 0 ? 0 : decimals];
  value = negative ? -magnitude : magnitude;
  if (*p == '\n') return p + 1;
  const void* const line_end = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
  return line_end ? static_cast<const char*>(line_end) + 1 : end;
}

// Reads `count` entries from the file, each line holding `integers` integers
// then the value, and stores them in file order.
void Load_Lines(const std::string& path, std::vector<double>& table, std::size_t count, int integers) {
  const auto content = common::Whole_File::Open(path);
  if (!content) common::Fail(common::kFinishNow, "cannot open file '%s' for reading", path.c_str());
  const std::string_view text = content->Text();
  std::size_t start = 0;
  for (std::size_t entry = 0; entry < count; ++entry) {
    if (start >= text.size())
      common::Fail(common::kFinishNow, "potential file '%s' ends at line %zu: %zu lines are needed", path.c_str(),
                   entry, count);
    if (const char* next = Plain_Line(text.data() + start, text.data() + text.size(), integers, table[entry])) {
      start = static_cast<std::size_t>(next - text.data());
      continue;
    }
    std::size_t stop = text.find('\n', start);
    if (stop == std::string_view::npos) stop = text.size();
    Line_Scanner scanner(text.substr(start, stop - start));
    bool ok = true;
    for (int i = 0; i < integers && ok; ++i) ok = scanner.Int();
    if (!ok || !scanner.Double(table[entry]))
      common::Fail(common::kFinishNow,
                   "cannot read line %zu of potential file '%s': %d integers and a value are expected", entry + 1,
                   path.c_str(), integers);
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
    common::Fail(common::kExitBang, "cannot allocate matrix in memory");
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
    common::Fail(common::kFinishNow, "Array of more than 4 dimensions is undefined (routine 'Get_MFP_Index')");
  int position = indices[0];
  for (int d = 1; d < num_dims; ++d) position = position * dim_val[d] + indices[d];
  return position;
}

}  // namespace energy
