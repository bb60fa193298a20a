#include "combine/zo341.hpp"

#include <cmath>

#include "combine/score_file.hpp"
#include "common/fatal_error.hpp"
#include "common/format.hpp"
#include "common/model_files.hpp"

namespace combine {

bool Is_Identity_Percent(double seq_ide_percent) { return seq_ide_percent >= 0.0 && seq_ide_percent <= 100.0; }

double Compute_ZO341(double zscore, double compactness, double seq_ide_percent) {
  if (!Is_Identity_Percent(seq_ide_percent))
    common::Fail(common::kExitBang, "sequence identity %g is outside 0 to 100 (it is a percentage)", seq_ide_percent);
  // Each intermediate is kept as a double, in this order, so that the result
  // is the same to the last bit on every build.
  const double seq_ide = seq_ide_percent / 100.0;
  double tmp_lf1 = compactness + seq_ide;
  double tmp_lf2 = std::exp(zscore);
  const double tmp_lf3 = tmp_lf1 / tmp_lf2;
  tmp_lf1 = std::cos(seq_ide);
  tmp_lf2 = std::pow(tmp_lf1, tmp_lf3);
  return 1.0 - tmp_lf2;
}

ZO341_Inputs Read_ZO341_Inputs(const std::string& protein_name) {
  ZO341_Inputs inputs;
  namespace files = common::model_files;
  inputs.zscore = Read_First_Score(files::Name(protein_name, files::kZScore));
  inputs.compactness = Read_First_Score(files::Name(protein_name, files::kCompactness));
  const std::string identity_path = files::Name(protein_name, files::kIdentity);
  inputs.seq_ide = Read_First_Score(identity_path);
  if (!Is_Identity_Percent(inputs.seq_ide))
    common::Fail(common::kExitBang, "sequence identity %g in input file '%s' is outside 0 to 100 (it is a percentage)",
                 inputs.seq_ide, identity_path.c_str());
  return inputs;
}

std::string ZO341_File_Line(double zo341) { return common::Format("%8.4lf\n", zo341); }

common::Step_Result<double> ZO341_Step(double zscore, double compactness, double seq_ide_percent) {
  common::Step_Result<double> step;
  step.files = {
      {std::string(common::model_files::kZO341), ZO341_File_Line(Compute_ZO341(zscore, compactness, seq_ide_percent))}};
  // The pG step reads ZO341 back from this file, with its four decimals.
  step.value = common::Filed_Number(step.files[0].text);
  return step;
}

void Print_ZO341_Line(std::FILE* out, const std::string& protein_name, double zo341) {
  std::fprintf(out, "ZO341-score   %c%s%c%10.4lf\n", '\t', protein_name.c_str(), '\t', zo341);
}

}  // namespace combine
