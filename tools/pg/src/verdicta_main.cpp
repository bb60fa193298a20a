// verdicta: pG of a model from its ZO341 score and chain length.
//   verdicta pdbfilename cPDF_input_file
// Reads NAME.zo341 and NAME.length, writes NAME.in, reads the cPDF table,
// writes NAME.pG and prints "pG    winning class".
#include <cstdio>
#include <string>

#include "common/program.hpp"
#include "help/verdicta.hpp"
#include "pg/cpdf_table.hpp"
#include "pg/pg_step.hpp"

int main(int argc, char** argv) {
  if (const auto status = common::Answer_Help_Or_Version(argc, argv, "verdicta", help::kText)) return *status;
  return common::Run_Program([&] {
    if (argc < 3) {
      std::printf("\n\nUsage: %s  pdbfilename  cPDF_input_file\n", argc > 0 ? argv[0] : "verdicta");
      return common::kExitFailure;
    }
    common::Check_Argument_Length("pdbfilename", argv[1], pg::kMaxProteinNameChars);
    common::Check_Argument_Length("cPDF_input_file", argv[2], pg::kMaxTablePathChars);
    const std::string model = argv[1];

    const pg::Model_Scores scores = pg::Read_Model_Scores(model);  // writes NAME.in as it reads
    const pg::cPDF_Table table = pg::Read_cPDF_Table_File(argv[2], stdout);
    const auto step = pg::pG_Step(table, scores.zo341, scores.length, model);
    pg::Write_pG_File(model, step);
    std::fputs(step.value.lines.c_str(), stdout);
    pg::Refuse_Unknown_Label(table, step.value);
    return common::kExitSuccess;
  });
}
