#include "pg/pg_tool.hpp"

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "pg/class_lookup.hpp"
#include "pg/cpdf_table.hpp"
#include "pg/feature_file.hpp"

namespace pg {
namespace {

common::File Create_For_Writing(const std::string& path) {
  common::File file(std::fopen(path.c_str(), "w"));
  if (!file) common::Fail(common::kBlankLine, "cannot open %s for writing", path.c_str());
  return file;
}

// One record of 1 - ZO341 and the chain length, unlabelled. Each value is
// written as soon as it is read, so a missing length leaves the first value.
void Write_Feature_File(const std::string& protein_name, const std::string& fn_test) {
  common::File out = Create_For_Writing(fn_test);
  std::string fn_tmp = protein_name + ".zo341";
  const double zo341 = Read_Score_File(fn_tmp);
  std::fputs(Feature_Value_Text(1.0 - zo341).c_str(), out.get());
  fn_tmp = protein_name + ".length";
  const double length = Read_Score_File(fn_tmp);
  std::fputs(Feature_Length_Text(length).c_str(), out.get());
  common::Close_Output(out, fn_test);
}

}  // namespace

void Run_pG_Tool(const std::string& protein_name, const std::string& fn_in, std::FILE* out) {
  const std::string fn_test = protein_name + ".in";
  const std::string fn_out = protein_name + ".pG";
  Write_Feature_File(protein_name, fn_test);

  const cPDF_Table table = Read_cPDF_Table_File(fn_in, out);

  const common::File test = common::Open_Input(fn_test);
  if (!test) common::Fail(common::kBlankLine, "cannot open %s for reading", fn_test.c_str());
  // All records are read before the result file is created, so that a
  // refused feature file leaves no result behind.
  const Feature_Records features = Read_Feature_Records(test.get(), table, fn_test);

  common::File result = Create_For_Writing(fn_out);
  for (const Feature_Record& record : features.records) {
    const Record_Lookup lookup = Look_Up_Record(table, record.values);
    const std::string& winner = table.class_names[lookup.cell.tmp_d];
    if (record.known_class) {
      const std::string& known = table.class_names[*record.known_class];
      std::fprintf(result.get(), "%5.2lf    %s\n", 1 - lookup.pG, known.c_str());
      std::fprintf(out, "%s    %s\n", known.c_str(), winner.c_str());
    } else {
      std::fprintf(result.get(), "%5.2lf\n", lookup.pG);
      std::fprintf(out, "%5.2lf    %s\n", lookup.pG, winner.c_str());
    }
  }
  common::Close_Output(result, fn_out);
  // A label naming no class ends the run after the records before it.
  if (features.unknown_label) Get_Class_Id(table.class_names, *features.unknown_label, table.classes_num);
}

}  // namespace pg
