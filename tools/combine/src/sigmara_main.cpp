// sigmara: Z-scores of the pair, surface and combined energies of a model.
//   sigmara protein_name [protein_chain_id]
// Reads NAME.vicina.native/.random and NAME.exposa.native/.random, writes
// NAME.zscore, NAME.pair.zscore and NAME.surf.zscore, prints three
// result lines.
#include <cstdio>
#include <string>

#include "combine/z_score.hpp"
#include "common/model_files.hpp"
#include "common/program.hpp"
#include "common/step.hpp"
#include "help/sigmara.hpp"

int main(int argc, char** argv) {
  if (const auto status = common::Answer_Help_Or_Version(argc, argv, "sigmara", help::kText)) return *status;
  return common::Run_Program([&] {
    const auto args = common::Chain_Command_Line(argc, argv, "protein_name");
    if (!args) return common::kExitFailure;
    const std::string& protein_name = (*args)[0];
    const std::string& protein_chain = (*args)[1];  // accepted, changes nothing
    // File names are built in 499 characters.
    common::Check_Argument_Length("protein name", protein_name, 499 - common::model_files::kLongestSuffix);
    common::Check_Argument_Length("chain identifier", protein_chain, 999);

    const combine::Energy_Files energies = combine::Read_Energy_Files(protein_name);
    const auto step = combine::Z_Score_Step(energies.pair, energies.surf);
    common::Write_Step_Files(protein_name, step.files);
    combine::Print_Z_Score_Lines(stdout, protein_name, step.value);
    return common::kExitSuccess;
  });
}
