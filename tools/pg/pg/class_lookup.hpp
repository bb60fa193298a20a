// Feature binning and class lookup: one record of feature values becomes a
// cell of the cPDF table, the cell's value is read for every class, and the
// winning class is the one with the largest positive value there, or, when
// no class has a positive value, the class whose center of mass is nearest.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "pg/cpdf_table.hpp"

namespace pg {

// The bin of value v of feature f: 0 at or below the minimum, the last bin at
// or above the maximum, otherwise floor((v - min) / bs) with the difference and
// quotient formed in extended precision and rounded to double before the floor.
// A bin past the last one (a range that is not a whole number of bins) is the
// last bin, so a lookup never leaves the table. A NaN value is refused.
int Get_Histo_Class(double value, std::span<const double> min, std::span<const double> max, std::span<const double> bs,
                    std::span<const int> num_bins, int f);

// Row of a cell: dimension 0 varies fastest, the class (last) slowest.
int Get_Matrix_Index(int dim_num, std::span<const int> histo_class, std::span<const int> num_bins);

// Squared distance from the record to the center of mass of class c (no root).
double Get_Distance_from_Center_of_Mass(std::span<const double> values,
                                        const std::vector<std::vector<double>>& center_of_mass, int c, int feat_num);

// Nearest class by strictly smaller distance below 1e17, ties to the lower
// index; class 0 when none qualifies.
int Classify_Using_Center_of_Mass(std::span<const double> dist_center_mass, int classes_num);

// Index of the class named `label` (exact, case-sensitive), if any.
std::optional<int> Find_Class_Id(const std::vector<std::string>& class_names, std::string_view label, int classes_num);

// As Find_Class_Id, but throws "cannot find class name '%s'\n\n" when there is none.
int Get_Class_Id(const std::vector<std::string>& class_names, std::string_view label, int classes_num);

// The cell lookup of a complete record.
struct Cell_Lookup {
  std::vector<double> pdf_class;  // table value at the record's cell, per class
  bool pdf_null = true;           // no class has a value above 0 at the cell
  int tmp_d = 0;                  // index of the winning class
};

// `histo_class` holds the feature bins (its class slot is overwritten);
// `dist_center_mass` the record's distances to every class.
Cell_Lookup Look_Up_Cell(const cPDF_Table& table, std::span<int> histo_class, std::span<const double> dist_center_mass);

// The whole lookup of one record of `feat_num` values, for callers that hold
// the values in memory.
struct Record_Lookup {
  double pG = 0;  // the table value of the first class at the record's cell
  Cell_Lookup cell;
};

Record_Lookup Look_Up_Record(const cPDF_Table& table, std::span<const double> values);

}  // namespace pg
