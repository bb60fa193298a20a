// The cPDF table reader, then the feature-file loop over the table read:
// every complete record is looked up as verdicta does. The input holds the
// table, a line "==", then the feature file.
#include <cstdint>

#include "common/fatal_error.hpp"
#include "fuzz_input.hpp"
#include "pg/class_lookup.hpp"
#include "pg/cpdf_table.hpp"
#include "pg/feature_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto [table_text, feature_text] = fuzz::Split_Two(fuzz::As_Text(data, size));
  try {
    const common::File table_stream = fuzz::Memory_Stream(table_text);
    const pg::cPDF_Table table = pg::Read_cPDF_Table(table_stream.get(), fuzz::Null_Output());
    const common::File feature_stream = fuzz::Memory_Stream(feature_text);
    const pg::Feature_Records features = pg::Read_Feature_Records(feature_stream.get(), table, "model.in");
    for (const pg::Feature_Record& record : features.records) pg::Look_Up_Record(table, record.values);
    if (features.unknown_label) pg::Get_Class_Id(table.class_names, *features.unknown_label, table.classes_num);
  } catch (const common::Fatal_Error&) {
  }
  return 0;
}
