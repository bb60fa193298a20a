// Benchmarks of the energy tools: each task timed for the programs' own path
// ("fast") and for the straightforward version ("straightforward") in the same
// run, with the ratio of the two printed at the end.
//
//   load_pair_table              the 336000-line pair table
//   vicina_profile/<chain>       native + 200 shuffled pair energies of a prepared structure
//   exposa_profile/<chain>       the same with the surface energy
//   vicina_run/<chain>           everything vicina does, files included
//   exposa_run/<chain>           everything exposa does
//   *_one_seed/<chain>           the whole run with one seed for all shuffles
//
// Before a task is timed, its two versions are run once and must agree: the
// two loaders give the same doubles, both runs write identical files, and the
// fast run writes what the built program writes. A disagreement marks the
// benchmark as failed and the exit status as 1.
//
// The structures are read from $FOLD_BENCH_DATA (default: the directory set at
// build time); without it only the table load is timed.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/format.hpp"
#include "energy/energy_tool.hpp"
#include "energy_workload.hpp"
#include "reference/energy_reference.hpp"
#include "structure/structure_tool.hpp"

namespace energy::bench {
namespace {

constexpr int kLargeChain = 1000;  // residues from which the whole-run targets apply
constexpr double kLoadTarget = 5.0;
constexpr double kRunTarget = 10.0;

struct Bench_Chain {
  Chain_Source source;
  std::string pdb_path;
  int pair_residues = 0;     // residues with a CA or CB
  int surface_residues = 0;  // residues with a CB
};

// Everything the benchmarks share for one invocation of the program.
struct Bench_Context {
  Scratch_Dir scratch;
  Potential_Files potentials;
  std::vector<Bench_Chain> chains;
  std::map<std::string, std::string> programs;  // tool name -> built program
  std::map<std::string, std::string> checks;    // check -> "" when passed, else what failed
  std::map<std::string, double> targets;        // benchmark prefix -> required ratio
  std::map<std::string, std::string> notes;     // benchmark prefix -> size of the input
  std::vector<std::string> order;               // benchmark prefixes as registered
  bool failed = false;
};

// Runs a check once per invocation and returns what failed ("" when passed).
const std::string& Check_Once(Bench_Context& context, const std::string& key,
                              const std::function<std::string()>& check) {
  auto found = context.checks.find(key);
  if (found != context.checks.end()) return found->second;
  std::string failure;
  try {
    failure = check();
  } catch (const common::Fatal_Error& error) {
    failure = error.what();
  }
  if (failure.empty()) {
    std::fprintf(stderr, "check passed: %s\n", key.c_str());
  } else {
    std::fprintf(stderr, "CHECK FAILED: %s: %s\n", key.c_str(), failure.c_str());
    context.failed = true;
  }
  return context.checks.emplace(key, failure).first->second;
}

std::string Check_Loaders(const Bench_Context& context) {
  const MFP_Table fast = Load_Potential(Pair_Table_Shape(), context.potentials.pair);
  const MFP_Table straightforward = Straightforward_Load_Potential(Pair_Table_Shape(), context.potentials.pair);
  if (std::string d = Compare_Tables(fast.values, straightforward.values); !d.empty()) return "benchmark table: " + d;

  const std::string varied = context.scratch.File("varied.potential");
  Write_File(varied, Varied_Pair_Potential_Text(3));
  const MFP_Table fast_varied = Load_Potential(Pair_Table_Shape(), varied);
  const MFP_Table straightforward_varied = Straightforward_Load_Potential(Pair_Table_Shape(), varied);
  if (std::string d = Compare_Tables(fast_varied.values, straightforward_varied.values); !d.empty())
    return "table of varied number forms: " + d;
  return {};
}

// Both versions of the whole run, one after the other in one directory, must
// leave the same files and the same result line.
std::string Check_Runs_Agree(const Run_Input& input) {
  Fast_Whole_Run(input);
  const Run_Output fast = Read_Run_Output(input);
  Straightforward_Whole_Run(input);
  return Compare_Outputs(fast, Read_Run_Output(input));
}

// The fast run with one seed must write what the built program writes with
// SHUFFLE_SEED set to that seed.
std::string Check_Program_Agrees(const std::string& program, Run_Input input) {
  input.seeds = Seeds::kRepeated;
  Fast_Whole_Run(input);
  const Run_Output fast = Read_Run_Output(input);
  const int status = Run_Built_Program(program, input);
  if (status != 0) return common::Format("the program ended with status %d", status);
  return Compare_Outputs(fast, Read_Run_Output(input));
}

void Fail_Benchmark(benchmark::State& state, const std::string& why) { state.SkipWithError(why.c_str()); }

// ---------------------------------------------------------------------------

void Load_Pair_Table(benchmark::State& state, Bench_Context& context, bool fast) {
  if (const std::string& failure =
          Check_Once(context, "pair table loaders give the same doubles", [&] { return Check_Loaders(context); });
      !failure.empty())
    return Fail_Benchmark(state, failure);
  for (auto _ : state) {
    const MFP_Table table = fast ? Load_Potential(Pair_Table_Shape(), context.potentials.pair)
                                 : Straightforward_Load_Potential(Pair_Table_Shape(), context.potentials.pair);
    benchmark::DoNotOptimize(table.values.data());
  }
}

// Native + 200 shuffled energies of a structure already read and filtered.
void Energy_Profile(benchmark::State& state, Bench_Context& context, const Energy_Tool& tool, const Bench_Chain& chain,
                    bool fast) {
  const MFP_Table table = Load_Potential(tool.table_shape(), Potential_For(tool, context.potentials));
  structure::Atom_List list = Prepare_Structure(tool, chain.pdb_path, chain.source.chain, {stderr, nullptr, ""});
  if (fast) {
    for (auto _ : state) {
      Energy_Profile_Run run(tool, list, table);
      int shuffle = 0;
      const Profile_Energies energies = run.Profile([&] { return Shuffle_Seed(Seeds::kDistinct, shuffle++); });
      benchmark::DoNotOptimize(energies.shuffled.data());
    }
    return;
  }
  // The reference threads the shuffled sequences onto the list: every
  // iteration starts again from the native residues.
  struct Residue_Identity {
    char code;
    std::string name;
  };
  std::vector<Residue_Identity> native;
  for (const structure::Atom_Record* atom = list.first; atom; atom = atom->next)
    native.push_back({atom->aa_code, atom->aa_name});
  for (auto _ : state) {
    state.PauseTiming();
    std::size_t i = 0;
    for (structure::Atom_Record* atom = list.first; atom; atom = atom->next, ++i) {
      atom->aa_code = native[i].code;
      atom->aa_name = native[i].name;
    }
    state.ResumeTiming();
    int shuffle = 0;
    const reference::Seed_Function next_seed = [&] { return Shuffle_Seed(Seeds::kDistinct, shuffle++); };
    const reference::Energy_Profile profile = &tool == &kPairTool ? reference::Pair_Profile(list, table, next_seed)
                                                                  : reference::Surface_Profile(list, table, next_seed);
    benchmark::DoNotOptimize(profile.shuffled.data());
  }
}

void Whole_Run(benchmark::State& state, Bench_Context& context, const Energy_Tool& tool, const Bench_Chain& chain,
               Seeds seeds, bool fast) {
  Scratch_Dir dir;
  const std::string pdb = dir.File(chain.source.label + ".pdb");
  Copy_File(chain.pdb_path, pdb);
  const Run_Input input{&tool, Potential_For(tool, context.potentials), pdb, chain.source.chain, dir.Path(), seeds};

  const std::string what = std::string(tool.name) + " " + chain.source.label;
  if (const std::string& failure =
          Check_Once(context, what + ", " + Seeds_Name(seeds) + ": fast and straightforward runs write the same files",
                     [&] { return Check_Runs_Agree(input); });
      !failure.empty())
    return Fail_Benchmark(state, failure);
  const std::string& program = context.programs.at(std::string(tool.name));
  if (const std::string& failure = Check_Once(context, what + ": the fast run writes what " + program + " writes",
                                              [&] { return Check_Program_Agrees(program, input); });
      !failure.empty())
    return Fail_Benchmark(state, failure);

  for (auto _ : state) {
    if (fast) {
      Fast_Whole_Run(input);
    } else {
      Straightforward_Whole_Run(input);
    }
  }
}

// Wraps a benchmark so that a failure of the library shows as a failed
// benchmark instead of ending the process.
template <typename Body>
void Register(Bench_Context& context, const std::string& prefix, const std::string& note, double target, Body body) {
  context.order.push_back(prefix);
  context.notes[prefix] = note;
  if (target > 0) context.targets[prefix] = target;
  for (const bool fast : {true, false}) {
    const std::string name = prefix + (fast ? "/fast" : "/straightforward");
    benchmark::RegisterBenchmark(name.c_str(),
                                 [body, fast, note](benchmark::State& state) {
                                   try {
                                     body(state, fast);
                                     state.SetLabel(note);
                                   } catch (const common::Fatal_Error& error) {
                                     Fail_Benchmark(state, error.what());
                                   }
                                 })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
}

void Register_All(Bench_Context& context) {
  Register(context, "load_pair_table", "336000 lines", kLoadTarget,
           [&context](benchmark::State& state, bool fast) { Load_Pair_Table(state, context, fast); });
  for (const Energy_Tool* tool : {&kPairTool, &kSurfaceTool}) {
    const std::string name(tool->name);
    for (const Bench_Chain& chain : context.chains) {
      const int residues = tool == &kPairTool ? chain.pair_residues : chain.surface_residues;
      const std::string note = common::Format("%d residues", residues);
      Register(context, name + "_profile/" + chain.source.label, note, 0.0,
               [&context, tool, &chain](benchmark::State& state, bool fast) {
                 Energy_Profile(state, context, *tool, chain, fast);
               });
    }
    for (const Bench_Chain& chain : context.chains) {
      const int residues = tool == &kPairTool ? chain.pair_residues : chain.surface_residues;
      const std::string note = common::Format("%d residues", residues);
      Register(context, name + "_run/" + chain.source.label, note, residues >= kLargeChain ? kRunTarget : 0.0,
               [&context, tool, &chain](benchmark::State& state, bool fast) {
                 Whole_Run(state, context, *tool, chain, Seeds::kDistinct, fast);
               });
    }
    // One seed for all shuffles, as the clock gives within two seconds: the
    // programs then reuse the permutation; shown for the largest chain.
    if (!context.chains.empty() && context.chains.back().pair_residues >= kLargeChain) {
      const Bench_Chain& chain = context.chains.back();
      const int residues = tool == &kPairTool ? chain.pair_residues : chain.surface_residues;
      Register(context, name + "_run_one_seed/" + chain.source.label, common::Format("%d residues", residues), 0.0,
               [&context, tool, &chain](benchmark::State& state, bool fast) {
                 Whole_Run(state, context, *tool, chain, Seeds::kRepeated, fast);
               });
    }
  }
}

// ---------------------------------------------------------------------------

// The console output, followed by the two versions of each task side by side.
class Ratio_Reporter : public benchmark::ConsoleReporter {
 public:
  Ratio_Reporter(const Bench_Context& context, OutputOptions options)
      : benchmark::ConsoleReporter(options), context_(context) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    benchmark::ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const std::string& name = run.run_name.function_name;
      const std::size_t slash = name.rfind('/');
      if (slash == std::string::npos) continue;
      Task& task = tasks_[name.substr(0, slash)];
      Times& side = name.substr(slash + 1) == "fast" ? task.fast : task.straightforward;
      if (run.run_type == Run::RT_Aggregate) {
        if (run.aggregate_name != "median") continue;
        side.median_real = run.GetAdjustedRealTime();
        side.median_cpu = run.GetAdjustedCPUTime();
        side.repetitions = run.repetitions;
      } else {
        side.real.push_back(run.GetAdjustedRealTime());
        side.cpu.push_back(run.GetAdjustedCPUTime());
      }
    }
  }

  void Finalize() override {
    benchmark::ConsoleReporter::Finalize();
    std::ostream& out = GetOutputStream();
    out << "\nFast path against the straightforward version, measured in this run "
           "(real time in ms; medians where repeated):\n";
    out << common::Format("%-28s %-15s %10s %16s %9s %9s  %s\n", "task", "input", "fast", "straightforward", "ratio",
                          "cpu ratio", "target");
    for (const std::string& prefix : context_.order) {
      const auto found_task = tasks_.find(prefix);
      if (found_task == tasks_.end()) continue;
      const Task& task = found_task->second;
      if (!task.fast.Has() || !task.straightforward.Has()) continue;
      const double ratio = task.straightforward.Real() / task.fast.Real();
      const double cpu_ratio = task.straightforward.Cpu() / task.fast.Cpu();
      std::string target;
      if (auto found = context_.targets.find(prefix); found != context_.targets.end())
        target = common::Format(">= %.0fx: %s", found->second, ratio >= found->second ? "met" : "NOT MET");
      const auto note = context_.notes.find(prefix);
      out << common::Format("%-28s %-15s %10.2f %16.2f %8.2fx %8.2fx  %s\n", prefix.c_str(),
                            note == context_.notes.end() ? "" : note->second.c_str(), task.fast.Real(),
                            task.straightforward.Real(), ratio, cpu_ratio, target.c_str());
    }
    if (context_.failed) out << "\nSome checks FAILED (see the messages above): the figures are not comparable.\n";
  }

 private:
  struct Times {
    std::vector<double> real, cpu;
    double median_real = -1, median_cpu = -1;
    long long repetitions = 0;
    bool Has() const { return median_real >= 0 || !real.empty(); }
    double Real() const { return median_real >= 0 ? median_real : Median(real); }
    double Cpu() const { return median_cpu >= 0 ? median_cpu : Median(cpu); }
  };
  struct Task {
    Times fast, straightforward;
  };

  static double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  }

  const Bench_Context& context_;
  std::map<std::string, Task> tasks_;
};

void Find_Chains(Bench_Context& context) {
  const std::optional<std::string> data = Data_Dir();
  if (!data) {
    std::fprintf(stderr,
                 "energy_bench: no structure directory (set FOLD_BENCH_DATA to the natives directory; the default is "
                 "'%s'): only the table load is timed.\n",
                 FOLD_BENCH_DEFAULT_DATA);
    return;
  }
  for (const Chain_Source& source : Benchmark_Chains()) {
    Bench_Chain chain{source, *data + "/" + source.file};
    if (!common::Read_Whole_File(chain.pdb_path)) {
      std::fprintf(stderr, "energy_bench: '%s' cannot be read: the benchmarks of %s are skipped.\n",
                   chain.pdb_path.c_str(), source.label.c_str());
      continue;
    }
    chain.pair_residues = Residue_Count(kPairTool, chain.pdb_path, source.chain);
    chain.surface_residues = Residue_Count(kSurfaceTool, chain.pdb_path, source.chain);
    context.chains.push_back(chain);
  }
}

int Main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  Bench_Context context;
  context.potentials = Write_Potential_Files(context.scratch);
  context.programs = {{"vicina", FOLD_VICINA_PROGRAM}, {"exposa", FOLD_EXPOSA_PROGRAM}};
  Find_Chains(context);
  Register_All(context);

  const bool colour = isatty(STDOUT_FILENO) != 0;
  Ratio_Reporter reporter(
      context, colour ? benchmark::ConsoleReporter::OO_ColorTabular : benchmark::ConsoleReporter::OO_Tabular);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return context.failed ? 1 : 0;
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
