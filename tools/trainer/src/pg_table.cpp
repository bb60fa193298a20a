#include "trainer/pg_table.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <random>

#include "common/fatal_error.hpp"
#include "common/format.hpp"
#include "pg/class_lookup.hpp"
#include "trainer/tsv.hpp"

namespace trainer {
namespace {

// The shortest of %.15g and %.17g that reads back to the same double, so the
// header's ranges survive the round trip through the file.
std::string Exact_Text(double value) {
  std::string text = common::Format("%.15g", value);
  if (std::strtod(text.c_str(), nullptr) != value) text = common::Format("%.17g", value);
  return text;
}

void Check_Settings(const Table_Settings& s) {
  if (!(s.zo_bin > 0 && s.zo_bin <= 1))
    common::Fail(common::kLineEnd, "the bin size of 1 - ZO341 must be above 0 and at most 1");
  if (!(s.length_bin > 0)) common::Fail(common::kLineEnd, "the bin size of the length must be above 0");
  if (!(s.length_max >= s.length_bin)) common::Fail(common::kLineEnd, "the length range must hold at least one bin");
  if (s.min_count < 1) common::Fail(common::kLineEnd, "the minimum count of a neighbourhood must be at least 1");
  if (s.max_radius < 0) common::Fail(common::kLineEnd, "the largest radius must be 0 or more");
  if (!(s.prior_weight >= 0)) common::Fail(common::kLineEnd, "the prior weight must be 0 or more");
  if (s.prior && !(*s.prior > 0 && *s.prior < 1))
    common::Fail(common::kLineEnd, "the prior of correct must lie between 0 and 1");
}

}  // namespace

pg::cPDF_Table Build_pG_Table(std::span<const Labelled_Model> models, const Table_Settings& settings) {
  Check_Settings(settings);
  pg::cPDF_Table table;
  table.classes_num = 2;
  table.class_names = {"correct", "incorrect"};
  table.feat_num = 2;
  table.feat_names = {"1-ZO341", "length"};
  table.min = {0, 0};
  table.max = {1, settings.length_max};
  table.bs = {settings.zo_bin, settings.length_bin};
  table.smooth_window = 1;
  table.dim_num = 3;
  table.num_bins.assign(3, 2);
  long double cells = 2;
  for (int f = 0; f < 2; ++f) {
    // The reader's own rule, so that the body has exactly the rows it expects.
    const long double bins = pg::Bin_Count(table.min[f], table.max[f], table.bs[f]);
    cells *= bins;
    if (!(bins >= 1) || cells > pg::kMaxCells)
      common::Fail(common::kLineEnd, "the grid has no bin or more than %d cells; choose larger bins", pg::kMaxCells);
    table.num_bins[f] = static_cast<int>(bins);
  }
  table.mt_size = static_cast<int>(cells);
  const int n0 = table.num_bins[0];
  const int n1 = table.num_bins[1];

  if (models.empty()) common::Fail(common::kLineEnd, "the labelled set is empty");
  std::vector<int> counts(static_cast<std::size_t>(table.mt_size), 0);  // in row order
  std::array<double, 2> class_total{0, 0};
  table.center_of_mass.assign(2, std::vector<double>(2, 0.0));
  for (const Labelled_Model& model : models) {
    const double values[2] = {model.one_minus_zo341, model.length};
    const int c = model.correct ? 0 : 1;
    const int b0 = pg::Get_Histo_Class(values[0], table.min, table.max, table.bs, table.num_bins, 0);
    const int b1 = pg::Get_Histo_Class(values[1], table.min, table.max, table.bs, table.num_bins, 1);
    ++counts[static_cast<std::size_t>(b0 + n0 * b1 + n0 * n1 * c)];
    class_total[c] += 1;
    table.center_of_mass[c][0] += values[0];
    table.center_of_mass[c][1] += values[1];
  }
  if (class_total[0] == 0 || class_total[1] == 0)
    common::Fail(common::kLineEnd, "the labelled set needs models of both classes (%.0f correct, %.0f incorrect)",
                 class_total[0], class_total[1]);
  for (int c = 0; c < 2; ++c)
    for (double& coordinate : table.center_of_mass[c]) coordinate /= class_total[c];

  const double prior = settings.prior.value_or(class_total[0] / (class_total[0] + class_total[1]));
  auto count_in_box = [&](int c, int b0, int b1, int r) {
    int n = 0;
    for (int j = std::max(0, b1 - r); j <= std::min(n1 - 1, b1 + r); ++j)
      for (int i = std::max(0, b0 - r); i <= std::min(n0 - 1, b0 + r); ++i)
        n += counts[static_cast<std::size_t>(i + n0 * j + n0 * n1 * c)];
    return n;
  };
  table.cPDF.assign(static_cast<std::size_t>(table.mt_size), 0.0);
  for (int b1 = 0; b1 < n1; ++b1) {
    for (int b0 = 0; b0 < n0; ++b0) {
      int in_class[2] = {0, 0};
      for (int r = 0; r <= settings.max_radius; ++r) {
        in_class[0] = count_in_box(0, b0, b1, r);
        in_class[1] = count_in_box(1, b0, b1, r);
        if (in_class[0] + in_class[1] >= settings.min_count) break;
      }
      const double n = in_class[0] + in_class[1];
      double pG = prior;
      if (n > 0) {
        const double d0 = in_class[0] / class_total[0];
        const double d1 = in_class[1] / class_total[1];
        const double posterior = prior * d0 / (prior * d0 + (1 - prior) * d1);
        pG = (n * posterior + settings.prior_weight * prior) / (n + settings.prior_weight);
      }
      const std::size_t row = static_cast<std::size_t>(b0 + n0 * b1);
      table.cPDF[row] = pG;
      table.cPDF[row + static_cast<std::size_t>(n0 * n1)] = 1 - pG;
    }
  }
  return table;
}

std::string cPDF_Table_Text(const pg::cPDF_Table& table) {
  std::string text = common::Format("%d\n", table.classes_num);
  for (int c = 0; c < table.classes_num; ++c) text += (c ? " " : "") + table.class_names[c];
  text += common::Format("\n%d\n", table.feat_num);
  for (int f = 0; f < table.feat_num; ++f) text += (f ? " " : "") + table.feat_names[f];
  text += "\n";
  for (const std::vector<double>* row : {&table.min, &table.max, &table.bs}) {
    for (int f = 0; f < table.feat_num; ++f) text += (f ? " " : "") + Exact_Text((*row)[f]);
    text += "\n";
  }
  text += common::Format("%d\ncenters of mass follow (correct, then incorrect)\n", table.smooth_window);
  for (const std::vector<double>& center : table.center_of_mass) {
    for (int f = 0; f < table.feat_num; ++f) text += common::Format(f ? " %.4f" : "%.4f", center[f]);
    text += "\n";
  }
  text += "DATA\n";
  for (const double value : table.cPDF) text += common::Format("%.4f\n", value);
  return text;
}

std::vector<Labelled_Model> Read_Labelled_Models(const std::string& path, const std::optional<std::string>& set) {
  const Tsv_File file = Read_Tsv(path);
  const std::size_t label = file.Column("class");
  const std::size_t zo = file.Column("one_minus_zo341");
  const std::size_t length = file.Column("length");
  const std::size_t set_column = set ? file.Column("set") : 0;
  auto number = [&](const std::vector<std::string>& row, std::size_t column, std::size_t line) {
    char* end = nullptr;
    const double value = std::strtod(row[column].c_str(), &end);
    if (row[column].empty() || *end != '\0' || !std::isfinite(value))
      common::Fail(common::kLineEnd, "%s line %zu: column '%s' holds '%s', not a number", path.c_str(), line,
                   file.header[column].c_str(), row[column].c_str());
    return value;
  };
  std::vector<Labelled_Model> models;
  for (std::size_t i = 0; i < file.rows.size(); ++i) {
    const std::vector<std::string>& row = file.rows[i];
    if (set && row[set_column] != *set) continue;
    const std::size_t line = file.line_numbers[i];
    if (row[label] != "correct" && row[label] != "incorrect")
      common::Fail(common::kLineEnd, "%s line %zu: the class is '%s', not correct or incorrect", path.c_str(), line,
                   row[label].c_str());
    models.push_back({number(row, zo, line), number(row, length, line), row[label] == "correct"});
  }
  return models;
}

void Shuffle_Labels(std::vector<Labelled_Model>& models, unsigned seed) {
  std::mt19937 engine(seed);
  for (std::size_t i = models.size(); i > 1; --i) {
    const std::size_t j = engine() % i;
    std::swap(models[i - 1].correct, models[j].correct);
  }
}

}  // namespace trainer
