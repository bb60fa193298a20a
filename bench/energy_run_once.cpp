// Runs one benchmarked task once, for instruction counts under callgrind
// (bench/callgrind.sh), which repeat exactly on a busy machine:
//   energy_run_once load fast|straightforward
//   energy_run_once vicina|exposa fast|straightforward CHAIN [distinct|one_seed]
// CHAIN is a label of the benchmark chains (1PYL_A, 1BQC_A, 1I1E_A). The setup
// (synthetic potentials, copy of the structure) happens outside the functions
// that callgrind is told to count.
#include <cstdio>
#include <string>

#include "common/fatal_error.hpp"
#include "energy_workload.hpp"
#include "reference/energy_reference.hpp"

namespace energy::bench {
namespace {

constexpr const char* kUsage =
    "usage: energy_run_once load fast|straightforward\n"
    "       energy_run_once vicina|exposa fast|straightforward CHAIN [distinct|one_seed]\n";

int Main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string task = argv[1];
  const std::string side = argv[2];
  if (side != "fast" && side != "straightforward") {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const bool fast = side == "fast";
  Scratch_Dir scratch;
  const Potential_Files potentials = Write_Potential_Files(scratch);

  if (task == "load" && argc == 3) {
    const MFP_Table table = fast ? Load_Potential(Pair_Table_Shape(), potentials.pair)
                                 : reference::Straightforward_Load_Potential(Pair_Table_Shape(), potentials.pair);
    std::printf("%s load: %zu entries\n", side.c_str(), table.values.size());
    return 0;
  }
  if ((task != "vicina" && task != "exposa") || argc < 4 || argc > 5) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string seeds_name = argc == 5 ? argv[4] : "distinct";
  if (seeds_name != "distinct" && seeds_name != "one_seed") {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::optional<std::string> data = Data_Dir();
  if (!data) {
    std::fputs("energy_run_once: no structure directory (set FOLD_BENCH_DATA)\n", stderr);
    return 77;
  }
  const Chain_Source* source = nullptr;
  for (const Chain_Source& chain : Benchmark_Chains())
    if (chain.label == argv[3]) source = &chain;
  if (!source) {
    std::fprintf(stderr, "energy_run_once: unknown chain '%s'\n", argv[3]);
    return 2;
  }

  const Energy_Tool& tool = task == "vicina" ? kPairTool : kSurfaceTool;
  const std::string pdb = scratch.File(source->label + ".pdb");
  Copy_File(*data + "/" + source->file, pdb);
  const Run_Input input{&tool,
                        Potential_For(tool, potentials),
                        pdb,
                        source->chain,
                        scratch.Path(),
                        seeds_name == "distinct" ? Seeds::kDistinct : Seeds::kRepeated};
  Whole_Energy_Run(input, fast);
  std::fputs(Read_Run_Output(input).result_line.c_str(), stdout);
  return 0;
}

}  // namespace
}  // namespace energy::bench

int main(int argc, char** argv) {
  try {
    return energy::bench::Main(argc, argv);
  } catch (const common::Fatal_Error& error) {
    std::fputs(error.what(), stderr);
    return 1;
  }
}
