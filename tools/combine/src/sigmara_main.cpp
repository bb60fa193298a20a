// sigmara: Z-scores of the pair, surface and combined energies of a model.
//   sigmara protein_name [protein_chain_id]
// Reads NAME.vicina.native/.random and NAME.exposa.native/.random, writes
// NAME.zscore, NAME.pair.zscore and NAME.surf.zscore, prints three
// result lines.
#include <cstdio>
#include <string>

#include "combine/z_score.hpp"
#include "common/program.hpp"

int main(int argc, char** argv) {
  return common::Run_Program([&] {
    if (argc < 2 || argc > 3) {
      std::fputs(common::Chain_Usage(argv[0], "protein_name").c_str(), stdout);
      return common::kExitFailure;
    }
    const std::string protein_name = argv[1];
    const std::string protein_chain = argc == 3 ? argv[2] : "_";  // accepted, changes nothing
    // File names are built in 499 characters; the longest suffix is ".vicina.native".
    common::Check_Argument_Length("protein name", protein_name, 499 - 14);
    common::Check_Argument_Length("chain identifier", protein_chain, 999);

    const combine::Energy_Files energies = combine::Read_Energy_Files(protein_name);
    const combine::Z_Scores scores = combine::Compute_Z_Scores(energies.pair, energies.surf);
    combine::Write_Z_Score_Files(protein_name, scores);
    combine::Print_Z_Score_Lines(stdout, protein_name, scores);
    return common::kExitSuccess;
  });
}
