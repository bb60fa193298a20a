// blendora: the ZO341 score of a model.
//   blendora protein_name [protein_chain_id]
// Reads NAME.zscore, NAME.compactness and NAME.seq_ide (a percentage), writes
// NAME.zo341 and prints "ZO341-score   <TAB>NAME<TAB>value".
#include <cstdio>
#include <string>

#include "combine/zo341.hpp"
#include "common/model_files.hpp"
#include "common/program.hpp"
#include "common/step.hpp"
#include "help/blendora.hpp"

int main(int argc, char** argv) {
  if (const auto status = common::Answer_Help_Or_Version(argc, argv, "blendora", help::kText)) return *status;
  return common::Run_Program([&] {
    const auto args = common::Chain_Command_Line(argc, argv, "protein_name");
    if (!args) return common::kExitFailure;
    const std::string& protein_name = (*args)[0];
    const std::string& protein_chain = (*args)[1];  // accepted, changes nothing
    // File names are built in 499 characters; the longest suffix it reads is ".compactness".
    common::Check_Argument_Length("protein name", protein_name, 499 - common::model_files::kCompactness.size());
    common::Check_Argument_Length("chain identifier", protein_chain, 999);

    const combine::ZO341_Inputs inputs = combine::Read_ZO341_Inputs(protein_name);
    const auto step = combine::ZO341_Step(inputs.zscore, inputs.compactness, inputs.seq_ide);
    common::Write_Step_Files(protein_name, step.files);
    combine::Print_ZO341_Line(stdout, protein_name, step.value);
    return common::kExitSuccess;
  });
}
