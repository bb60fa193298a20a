// verdicta: pG of a model from its ZO341 score and chain length.
//   verdicta pdbfilename cPDF_input_file
// Reads NAME.zo341 and NAME.length, writes NAME.in, reads the cPDF table,
// writes NAME.pG and prints "pG    winning class".
#include <cstdio>

#include "common/program.hpp"
#include "help/verdicta.hpp"
#include "pg/pg_tool.hpp"

int main(int argc, char** argv) {
  if (const auto status = common::Answer_Help_Or_Version(argc, argv, "verdicta", help::kText)) return *status;
  return common::Run_Program([&] {
    if (argc < 3) {
      std::printf("\n\nUsage: %s  pdbfilename  cPDF_input_file\n", argc > 0 ? argv[0] : "verdicta");
      return common::kExitFailure;
    }
    common::Check_Argument_Length("pdbfilename", argv[1], pg::kMaxProteinNameChars);
    common::Check_Argument_Length("cPDF_input_file", argv[2], pg::kMaxTablePathChars);
    pg::Run_pG_Tool(argv[1], argv[2], stdout);
    return common::kExitSuccess;
  });
}
