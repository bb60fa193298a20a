#include "pg/cpdf_table.hpp"

#include <cmath>
#include <new>
#include <string_view>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/scan.hpp"
#include "stream_reads.hpp"

namespace pg {
namespace {

using detail::Read_Token;

std::optional<std::string> Read_Line(std::FILE* in) { return detail::Read_Line(in, kLineBufferSize); }

// The rest-of-line skip after a run of word or number reads: one line read
// whose content is dropped.
void Skip_Line(std::FILE* in) { (void)Read_Line(in); }

// A count line (classes or features): no line at all, a count above the
// maximum, and a missing or non-positive count are three distinct refusals.
int Read_Count(std::FILE* in, const char* no_line_message, const char* above_max_message, int max_count,
               const char* what) {
  const std::optional<std::string> line = Read_Line(in);
  if (!line) common::Fail(common::kBlankLine, "%s", no_line_message);
  const int count = common::Scan_Int_Saturating(*line).value_or(0);
  if (count > max_count) common::Fail(common::kBlankLine, above_max_message, max_count);
  if (count < 1)
    common::Fail(common::kExitBang, "the number of %s must be a whole number from 1 to %d at the start of its line",
                 what, max_count);
  return count;
}

std::vector<std::string> Read_Names(std::FILE* in, int count, const char* missing_message,
                                    const char* no_memory_message, const char* what) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) {
    std::optional<std::string> token = Read_Token(in);
    if (!token) common::Fail(common::kBlankLine, "%s", missing_message);
    if (token->size() > kMaxNameChars)
      common::Fail(common::kExitBang, "%s name %d is %zu characters long, at most %zu are allowed", what, i + 1,
                   token->size(), kMaxNameChars);
    try {
      names.push_back(std::move(*token));
    } catch (const std::bad_alloc&) {
      common::Fail(common::kBlankLine, "%s", no_memory_message);
    }
  }
  Skip_Line(in);
  return names;
}

std::vector<double> Read_Numbers(std::FILE* in, int count, const char* missing_message) {
  std::vector<double> numbers;
  for (int i = 0; i < count; ++i) {
    const std::optional<double> number = common::Scan_Double(in);
    if (!number) common::Fail(common::kBlankLine, "%s", missing_message);
    numbers.push_back(*number);
  }
  Skip_Line(in);
  return numbers;
}

constexpr const char* kNoBinSizes = "cannot get the bin sizes for each feature";

// Sets num_bins, dim_num and mt_size, refusing a table without usable cells
// or with more than kMaxCells of them.
void Set_Dimensions(cPDF_Table& table) {
  long double cells = table.classes_num;
  table.num_bins.assign(static_cast<std::size_t>(table.feat_num) + 1, 0);
  for (int f = 0; f < table.feat_num; ++f) {
    const char* name = table.feat_names[f].c_str();
    if (!(table.bs[f] > 0))
      common::Fail(common::kExitBang, "the bin size of feature '%s' is %g: it must be above 0", name, table.bs[f]);
    const long double bins = Bin_Count(table.min[f], table.max[f], table.bs[f]);
    if (!(bins >= 1))
      common::Fail(common::kExitBang,
                   "feature '%s' has no bin: the range %g to %g, cut to a whole number, holds no bin of size %g", name,
                   table.min[f], table.max[f], table.bs[f]);
    cells *= bins;
    if (cells > kMaxCells)
      common::Fail(common::kExitBang,
                   "the table header gives more than %d cells (classes times the bins of every feature)", kMaxCells);
    table.num_bins[f] = static_cast<int>(bins);
  }
  table.num_bins[table.feat_num] = table.classes_num;
  table.dim_num = table.feat_num + 1;
  table.mt_size = static_cast<int>(cells);
}

}  // namespace

long double Bin_Count(double min, double max, double bs) {
  const double whole_range = std::trunc(max - min);
  return std::trunc(static_cast<long double>(whole_range) / static_cast<long double>(bs));
}

cPDF_Table Read_cPDF_Table(std::FILE* in, std::FILE* warnings) {
  cPDF_Table table;
  table.classes_num = Read_Count(in, "cannot get the total number of classes",
                                 "Number of classes defined is higher than the MAX number of classes supported: %d",
                                 kMaxClasses, "classes");
  table.class_names = Read_Names(in, table.classes_num, "cannot get the names of the classes",
                                 "cannot allocate memory for class names", "class");
  table.feat_num = Read_Count(in, "cannot get the total number of features",
                              "Number of features defined is higher than the MAX number of features supported: %d",
                              kMaxFeatures, "features");
  table.feat_names = Read_Names(in, table.feat_num, "cannot get the names of the features",
                                "cannot allocate memory for feature names", "feature");
  table.min = Read_Numbers(in, table.feat_num, kNoBinSizes);
  table.max = Read_Numbers(in, table.feat_num, kNoBinSizes);
  table.bs = Read_Numbers(in, table.feat_num, kNoBinSizes);

  const std::optional<std::string> window_line = Read_Line(in);
  const std::optional<int> window = window_line ? common::Scan_Int_Saturating(*window_line) : std::nullopt;
  if (!window) common::Fail(common::kBlankLine, "%s", kNoBinSizes);
  table.smooth_window = *window;
  if (table.smooth_window > 2) {
    table.smooth_window = 2;
    if (warnings) {
      std::fprintf(warnings, "Maximum smooth window value = %d\n", 2);
      std::fprintf(warnings, "program will then use this value instead\n");
    }
  }
  Skip_Line(in);  // a free line before the centers of mass

  for (int c = 0; c < table.classes_num; ++c)
    table.center_of_mass.push_back(Read_Numbers(in, table.feat_num, "cannot get the center of mass for each class"));

  const std::optional<std::string> tag_line = Read_Line(in);
  if (!tag_line || common::First_Word(*tag_line) != "DATA")
    common::Fail(common::kBlankLine, "cannot get DATA tag in input file");

  Set_Dimensions(table);
  try {
    table.cPDF.assign(static_cast<std::size_t>(table.mt_size), 0.0);
  } catch (const std::bad_alloc&) {
    common::Fail(common::kBlankLine, "cannot allocate memory for cPDF matrix");
  }
  for (int row = 0; row < table.mt_size; ++row) {
    const std::optional<std::string> line = Read_Line(in);
    if (!line) common::Fail(common::kBlankLine, "cannot read cPDFs data");
    const std::optional<double> value = common::Scan_Double(*line);
    if (!value) common::Fail(common::kExitBang, "line %d of the cPDFs data (row %d) holds no number", row + 1, row);
    table.cPDF[static_cast<std::size_t>(row)] = *value;
  }
  return table;
}

cPDF_Table Read_cPDF_Table_File(const std::string& path, std::FILE* warnings) {
  const common::File in = common::Open_Input(path);
  if (!in) common::Fail(common::kBlankLine, "cannot open %s for reading", path.c_str());
  return Read_cPDF_Table(in.get(), warnings);
}

cPDF_Table Read_cPDF_Table_Text(std::string_view text, std::FILE* warnings) {
  // Read-only: the stream never writes to the text.
  const common::File in(fmemopen(const_cast<char*>(text.data()), text.size(), "r"));
  if (!in) common::Fail(common::kExitBang, "cannot allocate memory");
  return Read_cPDF_Table(in.get(), warnings);
}

}  // namespace pg
