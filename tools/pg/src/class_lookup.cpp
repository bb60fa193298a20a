#include "pg/class_lookup.hpp"

#include <array>
#include <cmath>

#include "common/fatal_error.hpp"

namespace pg {

int Get_Histo_Class(double value, std::span<const double> min, std::span<const double> max, std::span<const double> bs,
                    std::span<const int> num_bins, int f) {
  if (std::isnan(value)) common::Fail(common::kExitBang, "feature value %d is not a number", f + 1);
  const int last_bin = num_bins[f] - 1;
  if (value <= min[f]) return 0;
  if (value >= max[f]) return last_bin;
  const long double quotient =
      (static_cast<long double>(value) - static_cast<long double>(min[f])) / static_cast<long double>(bs[f]);
  const double bin = std::floor(static_cast<double>(quotient));
  // Compared before the conversion so that no quotient can overflow an int.
  return bin >= last_bin ? last_bin : static_cast<int>(bin);
}

int Get_Matrix_Index(int dim_num, std::span<const int> histo_class, std::span<const int> num_bins) {
  int row = 0;
  int weight = 1;
  for (int d = 0; d < dim_num; ++d) {
    row += histo_class[d] * weight;
    weight *= num_bins[d];
  }
  return row;
}

double Get_Distance_from_Center_of_Mass(std::span<const double> values,
                                        const std::vector<std::vector<double>>& center_of_mass, int c, int feat_num) {
  double distance = 0;
  for (int k = 0; k < feat_num; ++k) {
    const double square = std::pow(values[k] - center_of_mass[c][k], 2.0);
    distance += square;
  }
  return distance;
}

int Classify_Using_Center_of_Mass(std::span<const double> dist_center_mass, int classes_num) {
  double best = 1e17;
  int winner = -1;
  for (int k = 0; k < classes_num; ++k) {
    if (dist_center_mass[k] < best) {
      best = dist_center_mass[k];
      winner = k;
    }
  }
  return winner < 0 ? 0 : winner;
}

std::optional<int> Find_Class_Id(const std::vector<std::string>& class_names, std::string_view label, int classes_num) {
  for (int c = 0; c < classes_num; ++c)
    if (class_names[c] == label) return c;
  return std::nullopt;
}

int Get_Class_Id(const std::vector<std::string>& class_names, std::string_view label, int classes_num) {
  if (const std::optional<int> c = Find_Class_Id(class_names, label, classes_num)) return *c;
  const std::string text(label);
  common::Fail(common::kBlankLine, "cannot find class name '%s'", text.c_str());
}

Cell_Lookup Look_Up_Cell(const cPDF_Table& table, std::span<int> histo_class,
                         std::span<const double> dist_center_mass) {
  Cell_Lookup result;
  result.pdf_class.assign(static_cast<std::size_t>(table.classes_num), 0.0);
  double best = 0;
  for (int c = 0; c < table.classes_num; ++c) {
    histo_class[table.feat_num] = c;
    const int row = Get_Matrix_Index(table.dim_num, histo_class, table.num_bins);
    result.pdf_class[c] = table.cPDF[static_cast<std::size_t>(row)];
    if (result.pdf_class[c] > best) {
      best = result.pdf_class[c];
      result.tmp_d = c;
      result.pdf_null = false;
    }
  }
  if (result.pdf_null) result.tmp_d = Classify_Using_Center_of_Mass(dist_center_mass, table.classes_num);
  return result;
}

Record_Lookup Look_Up_Record(const cPDF_Table& table, std::span<const double> values) {
  if (values.size() != static_cast<std::size_t>(table.feat_num))
    common::Fail(common::kExitBang, "a record needs %d feature values, %zu were given", table.feat_num, values.size());
  std::array<int, kMaxDimensions> histo_class{};
  for (int f = 0; f < table.feat_num; ++f)
    histo_class[f] = Get_Histo_Class(values[f], table.min, table.max, table.bs, table.num_bins, f);
  std::array<double, kMaxClasses> dist_center_mass{};
  for (int c = 0; c < table.classes_num; ++c)
    dist_center_mass[c] = Get_Distance_from_Center_of_Mass(values, table.center_of_mass, c, table.feat_num);
  Record_Lookup result;
  result.cell =
      Look_Up_Cell(table, std::span<int>(histo_class.data(), static_cast<std::size_t>(table.dim_num)),
                   std::span<const double>(dist_center_mass.data(), static_cast<std::size_t>(table.classes_num)));
  result.pG = result.cell.pdf_class[0];
  return result;
}

}  // namespace pg
