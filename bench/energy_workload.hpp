// The work that the energy benchmarks time, each task in two versions: the
// programs' own path, and the straightforward one of the reference build
// (fgets + sscanf loader; every evaluation retypes the atoms and walks all
// atom pairs; every shuffle reseeds the C library's rand() and runs the
// quadratic exchange sort). Both versions must write the very same files; the
// checks here prove it before anything is timed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "energy/energy_tool.hpp"
#include "energy/potential_table.hpp"

namespace energy::bench {

// ---------------------------------------------------------------------------
// Potential tables.

// A pair file whose values take many textual forms ("%.17g" of arbitrary
// doubles, exponents, signs, integers), for checking that the two loaders
// convert every form to the same double.
std::string Varied_Pair_Potential_Text(std::uint64_t seed);

// Empty when the two tables hold the same bits; otherwise the first difference.
std::string Compare_Tables(const std::vector<double>& fast, const std::vector<double>& straightforward);

// ---------------------------------------------------------------------------
// Whole runs.

// Seeds given to the generator before shuffle i: a different one every time
// (no shuffle can reuse the permutation of the previous one), or one value for
// all 200 (what the clock gives within two seconds, or SHUFFLE_SEED).
enum class Seeds { kDistinct, kRepeated };
unsigned Shuffle_Seed(Seeds seeds, int shuffle);
const char* Seeds_Name(Seeds seeds);

struct Run_Input {
  const Energy_Tool* tool = nullptr;
  std::string potential;     // potential file path
  std::string protein_name;  // PDB path, and prefix of the output files
  char chain = '_';
  std::string dir;  // working directory: "log", "pdbfile.tmp" and "stdout" go there
  Seeds seeds = Seeds::kDistinct;
};

// Everything the program does for one structure (Run_Energy, after the
// argument checks), its notes and result line in dir/stdout instead of the
// terminal; with fast false, the straightforward loader and evaluation of the
// reference build instead of the programs' own.
void Whole_Energy_Run(const Run_Input& input, bool fast);

// The files a run leaves, by name: NAME.<tool>.native, NAME.<tool>.random
// and the result line.
struct Run_Output {
  std::string native, random, result_line;
};
Run_Output Read_Run_Output(const Run_Input& input);

// Empty when both outputs are identical; otherwise what differs.
std::string Compare_Outputs(const Run_Output& fast, const Run_Output& straightforward);

// Runs the built program (vicina or exposa) in `dir` on the same input with
// SHUFFLE_SEED set to the repeated seed, and returns its exit status; its
// standard output goes to dir/stdout. The protein name is passed as given.
int Run_Built_Program(const std::string& program_path, const Run_Input& input);

// ---------------------------------------------------------------------------
// Structures and scratch space.

// A temporary directory, removed with its content at the end of scope.
class Scratch_Dir {
 public:
  Scratch_Dir();
  ~Scratch_Dir();
  Scratch_Dir(const Scratch_Dir&) = delete;
  Scratch_Dir& operator=(const Scratch_Dir&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void Write_File(const std::string& path, const std::string& content);
void Copy_File(const std::string& from, const std::string& to);

struct Chain_Source {
  std::string label;  // e.g. "1I1E_A"
  std::string file;   // relative to the data directory
  char chain;
};

// Real chains of about 100, about 300 and more than 1000 residues.
const std::vector<Chain_Source>& Benchmark_Chains();

// The native structures: $FOLD_BENCH_DATA, else the directory set at build
// time. Empty when it does not exist.
std::optional<std::string> Data_Dir();

// Residues of the chain as the tool sees it after filtering.
int Residue_Count(const Energy_Tool& tool, const std::string& pdb_path, char chain);

// The synthetic potentials all benchmarks use (pair values from seed 1,
// surface values from seed 2, as the end-to-end tests).
struct Potential_Files {
  std::string pair, surface;
};
Potential_Files Write_Potential_Files(const Scratch_Dir& dir);

const std::string& Potential_For(const Energy_Tool& tool, const Potential_Files& files);

}  // namespace energy::bench
