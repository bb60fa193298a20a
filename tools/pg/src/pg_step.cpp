#include "pg/pg_step.hpp"

#include <new>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/format.hpp"
#include "pg/class_lookup.hpp"
#include "pg/feature_file.hpp"

namespace pg {
namespace {

namespace files = common::model_files;

common::File Create_For_Writing(const std::string& path) {
  common::File file(std::fopen(path.c_str(), "w"));
  if (!file) common::Fail(common::kBlankLine, "cannot open %s for writing", path.c_str());
  return file;
}

// A stdio stream reading a text, so that the feature file's own reader applies.
common::File Text_Stream(const std::string& text) {
  common::File file(fmemopen(const_cast<char*>(text.data()), text.size(), "r"));
  if (!file) throw std::bad_alloc();
  return file;
}

}  // namespace

std::string pG_Text(double pG) { return common::Format("%5.2lf", pG); }

common::Step_Result<Verdicts> pG_Step(const cPDF_Table& table, double zo341, double length, const std::string& model) {
  const std::string features = ZO341_Feature_Text(zo341) + Length_Feature_Text(length);
  // The table is looked up with the values as NAME.in prints them (three
  // decimals, a whole length): the records are read back from its text.
  const common::File stream = Text_Stream(features);
  const Feature_Records records = Read_Feature_Records(stream.get(), table, files::Name(model, files::kFeatures));

  common::Step_Result<Verdicts> step;
  std::string result;
  for (const Feature_Record& record : records.records) {
    const Record_Lookup lookup = Look_Up_Record(table, record.values);
    Record_Verdict verdict{lookup.pG, table.class_names[static_cast<std::size_t>(lookup.cell.tmp_d)], std::nullopt};
    if (record.known_class) {
      // A labelled record: NAME.pG holds 1 - pG with the label, the line the label and the winner.
      verdict.known_class = table.class_names[static_cast<std::size_t>(*record.known_class)];
      result += pG_Text(1 - verdict.pG) + "    " + *verdict.known_class + "\n";
      step.value.lines += *verdict.known_class + "    " + verdict.winning_class + "\n";
    } else {
      result += pG_Text(verdict.pG) + "\n";
      step.value.lines += pG_Text(verdict.pG) + "    " + verdict.winning_class + "\n";
    }
    step.value.records.push_back(std::move(verdict));
  }
  step.value.unknown_label = records.unknown_label;
  step.files = {{std::string(files::kFeatures), features}, {std::string(files::kPG), result}};
  return step;
}

void Refuse_Unknown_Label(const cPDF_Table& table, const Verdicts& verdicts) {
  if (verdicts.unknown_label) Get_Class_Id(table.class_names, *verdicts.unknown_label, table.classes_num);
}

Model_Scores Read_Model_Scores(const std::string& model) {
  const std::string path = files::Name(model, files::kFeatures);
  common::File out = Create_For_Writing(path);
  Model_Scores scores;
  scores.zo341 = Read_Score_File(files::Name(model, files::kZO341));
  std::fputs(ZO341_Feature_Text(scores.zo341).c_str(), out.get());
  scores.length = Read_Score_File(files::Name(model, files::kLength));
  std::fputs(Length_Feature_Text(scores.length).c_str(), out.get());
  common::Close_Output(out, path);
  return scores;
}

void Write_pG_File(const std::string& model, const common::Step_Result<Verdicts>& step) {
  const std::string path = files::Name(model, files::kPG);
  common::File out = Create_For_Writing(path);
  std::fputs(step.Text(files::kPG).c_str(), out.get());
  common::Close_Output(out, path);
}

}  // namespace pg
