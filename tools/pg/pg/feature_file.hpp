// The feature file: records of feature values, each optionally followed by
// the label of its known class. Values are read with "%lf" across blanks and
// line ends; the word after a complete record is its label, and the rest of
// the label's line is skipped. Only the last record can go without a label.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "pg/cpdf_table.hpp"

namespace pg {

inline constexpr int kMaxLabelledRecords = 10000;

// The first number of a one-number score file ("%lf" from the start of the
// file). Throws "cannot open %s for reading\n\n" when the file cannot be
// opened, and refuses a file that holds no readable number.
double Read_Score_File(const std::string& path);

// The feature line that verdicta writes for one model: "%8.3lf   " with
// 1 - ZO341, then "%5.0lf\n" with the chain length.
std::string ZO341_Feature_Text(double zo341);
std::string Length_Feature_Text(double length);

struct Feature_Record {
  std::vector<double> values;      // feat_num values, in feature order
  std::optional<int> known_class;  // the label's class index; none for an unlabelled record
};

struct Feature_Records {
  std::vector<Feature_Record> records;  // the complete records, in file order
  // A label that names no class: reading stopped there, after `records`.
  std::optional<std::string> unknown_label;
};

// Reads every complete record of a feature file; an incomplete last record
// is dropped. Refuses (Fatal_Error) a value that is not a number and more than
// kMaxLabelledRecords labelled records; `file_name` names the file in those
// messages.
Feature_Records Read_Feature_Records(std::FILE* in, const cPDF_Table& table, const std::string& file_name);

}  // namespace pg
