#include "pg/feature_file.hpp"

#include <cmath>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/format.hpp"
#include "common/scan.hpp"
#include "pg/class_lookup.hpp"
#include "stream_reads.hpp"

namespace pg {

double Read_Score_File(const std::string& path) {
  const common::File in = common::Open_Input(path);
  if (!in) common::Fail(common::kBlankLine, "cannot open %s for reading", path.c_str());
  const std::optional<double> value = common::Scan_Double(in.get());
  if (!value) common::Fail(common::kExitBang, "%s does not start with a number", path.c_str());
  return *value;
}

std::string ZO341_Feature_Text(double zo341) { return common::Format("%8.3lf   ", 1.0 - zo341); }

std::string Length_Feature_Text(double length) { return common::Format("%5.0lf\n", length); }

Feature_Records Read_Feature_Records(std::FILE* in, const cPDF_Table& table, const std::string& file_name) {
  Feature_Records result;
  Feature_Record record;
  int labelled = 0;
  while (const std::optional<double> value = common::Scan_Double(in)) {
    if (std::isnan(*value))
      common::Fail(common::kExitBang, "feature %zu of record %zu in %s is not a number", record.values.size() + 1,
                   result.records.size() + 1, file_name.c_str());
    record.values.push_back(*value);
    if (static_cast<int>(record.values.size()) < table.feat_num) continue;

    if (const std::optional<std::string> label = detail::Read_Token(in)) {
      record.known_class = Find_Class_Id(table.class_names, *label, table.classes_num);
      if (!record.known_class) {
        result.unknown_label = *label;
        return result;
      }
      if (++labelled > kMaxLabelledRecords)
        common::Fail(common::kExitBang, "%s holds more than %d labelled records", file_name.c_str(),
                     kMaxLabelledRecords);
      detail::Skip_Rest_Of_Line(in);
    }
    result.records.push_back(std::move(record));
    record = Feature_Record{};
  }
  return result;
}

}  // namespace pg
