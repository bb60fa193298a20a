// The pG step: a model's ZO341 and chain length become the feature record of
// NAME.in, and the record's cell of the cPDF table gives pG (NAME.pG) and the
// winning class.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "common/model_files.hpp"
#include "common/step.hpp"
#include "pg/cpdf_table.hpp"

namespace pg {

// verdicta's names are built in 100 characters: NAME with its longest suffix,
// ".length", and the table's path.
inline constexpr std::size_t kMaxProteinNameChars = 99 - common::model_files::kLength.size();
inline constexpr std::size_t kMaxTablePathChars = 99;

// The verdict on one record of the feature file.
struct Record_Verdict {
  double pG = 0;  // the table value of the first class at the record's cell
  std::string winning_class;
  std::optional<std::string> known_class;  // the record's label, when it has one
};

struct Verdicts {
  // The complete records of NAME.in: one for a two-feature table. With one
  // feature the length is read as the record's label; with more no record
  // completes.
  std::vector<Record_Verdict> records;
  // A label naming no class: reading stopped there. Refuse_Unknown_Label
  // fails on it once the files are written.
  std::optional<std::string> unknown_label;
  // What verdicta prints, one line per record.
  std::string lines;
};

// pG as verdicta prints it: "%5.2lf".
std::string pG_Text(double pG);

// The step, from ZO341 and the length as their files hold them: writes NAME.in
// (1 - ZO341 and the length, see ZO341_Feature_Text and Length_Feature_Text)
// and NAME.pG. The table's features are the values as NAME.in prints them:
// the record is read back from its text. `model` names NAME.in in a refusal.
common::Step_Result<Verdicts> pG_Step(const cPDF_Table& table, double zo341, double length, const std::string& model);

// Fails with "cannot find class name '%s'" when reading stopped at a label
// that names no class.
void Refuse_Unknown_Label(const cPDF_Table& table, const Verdicts& verdicts);

// verdicta's reading of NAME.zo341 and NAME.length. Each value goes to NAME.in
// as soon as it is read (NAME.in is created first), so a missing length
// leaves the first value there; the step's text of NAME.in is the same.
struct Model_Scores {
  double zo341 = 0;
  double length = 0;
};
Model_Scores Read_Model_Scores(const std::string& model);

// Writes NAME.pG ("cannot open %s for writing" when it cannot be created).
void Write_pG_File(const std::string& model, const common::Step_Result<Verdicts>& step);

}  // namespace pg
