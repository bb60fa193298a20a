// vicina: the residue-pair energy of a structure, for its native sequence and
// for 200 shuffled sequences threaded onto the same backbone.
//   vicina potential_path_and_name protein_name [protein_chain_id]
#include "common/program.hpp"
#include "energy/energy_tool.hpp"
#include "help/vicina.hpp"

int main(int argc, char** argv) {
  if (const auto status = common::Answer_Help_Or_Version(argc, argv, "vicina", help::kText)) return *status;
  return energy::Run_Energy_Program(energy::kPairTool, argc, argv);
}
