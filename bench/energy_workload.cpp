#include "energy_workload.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/format.hpp"
#include "common/program.hpp"
#include "reference/energy_reference.hpp"
#include "structure/structure_tool.hpp"
#include "support/potentials.hpp"

extern char** environ;

namespace energy::bench {
namespace {

std::uint64_t Mix(std::uint64_t seed, std::uint64_t entry) {
  std::uint64_t z = seed * 0x9E3779B97F4A7C15ULL + entry + 1;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

// Reads `count` lines with one sscanf each; `integers` is 4 or 2.
void Read_Lines_With_Sscanf(const std::string& path, std::vector<double>& table, std::size_t count, int integers) {
  common::File file = common::Open_Input(path);
  if (!file) common::Fail(common::kFinishNow, "cannot open file '%s' for reading", path.c_str());
  std::array<char, kLineBuffer> line{};
  int i1 = 0, i2 = 0, i3 = 0, i4 = 0;
  double value = 0.0;
  for (std::size_t entry = 0; entry < count; ++entry) {
    if (!std::fgets(line.data(), kLineBuffer, file.get()))
      common::Fail(common::kFinishNow, "potential file '%s' ends at line %zu: %zu lines are needed", path.c_str(),
                   entry, count);
    const int converted = integers == 4 ? std::sscanf(line.data(), "%d%d%d%d%lf\n", &i1, &i2, &i3, &i4, &value)
                                        : std::sscanf(line.data(), "%d%d%lf\n", &i1, &i2, &value);
    if (converted != integers + 1)
      common::Fail(common::kFinishNow,
                   "cannot read line %zu of potential file '%s': %d integers and a value are expected", entry + 1,
                   path.c_str(), integers);
    table[entry] = value;
  }
}

bool Is_Pair_Tool(const Energy_Tool& tool) { return &tool == &kPairTool; }

std::string Stem(const Run_Input& input) { return input.protein_name + "." + std::string(input.tool->name); }

// The files and the result line, written the same way by both versions.
void Write_Results(const Run_Input& input, double native, const std::vector<double>& shuffled, std::FILE* out) {
  const std::string stem = Stem(input);
  common::Write_Output(stem + ".native", Energy_File_Line(native));
  std::string random;
  for (const double energy : shuffled) random += Energy_File_Line(energy);
  common::Write_Output(stem + ".random", random);
  const std::string label(input.tool->result_label);
  std::fprintf(out, "%s\t%s\t%10.4lf\n", label.c_str(), input.protein_name.c_str(), native);
}

void Check_Arguments(const Run_Input& input) {
  common::Check_Argument_Length("potential file name", input.potential, kMaxPotentialPath);
  common::Check_Argument_Length("protein name", input.protein_name, 99);
  structure::Check_Chain_Argument(std::string(1, input.chain));
}

}  // namespace

void Straightforward_Read_MFP_Pair(const std::string& path, std::vector<double>& table, int s1, int s2, int s3,
                                   int s4) {
  Read_Lines_With_Sscanf(path, table, static_cast<std::size_t>(s1) * s2 * s3 * s4, 4);
}

void Straightforward_Read_MFP_Surf(const std::string& path, std::vector<double>& table, int s1, int s2) {
  Read_Lines_With_Sscanf(path, table, static_cast<std::size_t>(s1) * s2, 2);
}

MFP_Table Straightforward_Load_Potential(MFP_Table shape, const std::string& path) {
  shape.matrix_size = 1;
  for (int d = 0; d < shape.dim; ++d) shape.matrix_size *= shape.dim_val[d];
  shape.values.assign(static_cast<std::size_t>(shape.matrix_size), 0.0);
  if (shape.dim == 4) {
    Straightforward_Read_MFP_Pair(path, shape.values, shape.dim_val[0], shape.dim_val[1], shape.dim_val[2],
                                  shape.dim_val[3]);
  } else {
    Straightforward_Read_MFP_Surf(path, shape.values, shape.dim_val[0], shape.dim_val[1]);
  }
  return shape;
}

std::string Varied_Pair_Potential_Text(std::uint64_t seed) {
  // Full precision with any exponent, the usual form, an exponent, an integer,
  // an explicit sign, more digits than a double holds, subnormals among tabs.
  constexpr std::array<const char*, 7> kForms = {"%.17g\n", "%.6f\n",  "%.3e\n",     "%.0f\n",
                                                 "%+.9f\n", "%.25f\n", "\t%.17g  \n"};
  std::string text;
  text.reserve(336000 * 32);
  std::array<char, 96> line{};
  std::uint64_t entry = 0;
  for (int i = 0; i < 40; ++i)
    for (int j = 0; j < 40; ++j)
      for (int k = 0; k < 7; ++k)
        for (int l = 0; l < 30; ++l, ++entry) {
          const std::uint64_t bits = Mix(seed, entry);
          const double plain = static_cast<double>(bits % 6000001ULL) / 1000000.0 - 3.0;
          double any = 0.0;
          std::memcpy(&any, &bits, sizeof any);
          if (!std::isfinite(any)) any = plain;
          const std::size_t form = entry % kForms.size();
          const std::array<double, kForms.size()> values = {
              any, plain, plain, static_cast<double>(bits % 2001) - 1000.0, plain, plain / 7.0, plain * 1e-310};
          const int prefix = std::snprintf(line.data(), line.size(), "%d %d %d %d ", i, j, k, l);
          std::snprintf(line.data() + prefix, line.size() - static_cast<std::size_t>(prefix), kForms[form],
                        values[form]);
          text += line.data();
        }
  return text;
}

std::string Compare_Tables(const std::vector<double>& fast, const std::vector<double>& straightforward) {
  if (fast.size() != straightforward.size())
    return common::Format("%zu entries against %zu", fast.size(), straightforward.size());
  for (std::size_t i = 0; i < fast.size(); ++i)
    if (std::memcmp(&fast[i], &straightforward[i], sizeof(double)) != 0)
      return common::Format("entry %zu: %.17g against %.17g", i, fast[i], straightforward[i]);
  return {};
}

unsigned Shuffle_Seed(Seeds seeds, int shuffle) {
  constexpr unsigned kFirstSeed = 868686U;
  return seeds == Seeds::kDistinct ? kFirstSeed + static_cast<unsigned>(shuffle) : kFirstSeed;
}

const char* Seeds_Name(Seeds seeds) { return seeds == Seeds::kDistinct ? "distinct seeds" : "one seed"; }

void Fast_Whole_Run(const Run_Input& input) {
  const Energy_Tool& tool = *input.tool;
  Check_Arguments(input);
  common::File log = common::Open_Output(input.dir + "/log");
  common::File out = common::Open_Output(input.dir + "/stdout");
  const MFP_Table table = Load_Potential(tool.table_shape(), input.potential);
  const structure::Atom_List list =
      Prepare_Structure(tool, input.protein_name, input.chain, {out.get(), log.get(), input.dir + "/pdbfile.tmp"});

  // As the program: all energies in one pass, then the native file and the
  // random file.
  Energy_Profile_Run run(tool, list, table);
  int shuffle = 0;
  const Profile_Energies energies = run.Profile([&] { return Shuffle_Seed(input.seeds, shuffle++); });
  const double native = energies.native;
  const std::string stem = Stem(input);
  common::Write_Output(stem + ".native", Energy_File_Line(native));
  common::Write_Output(stem + ".random", Shuffled_Energies_Text(energies.shuffled));
  common::Close_Output(log, input.dir + "/log");
  const std::string label(tool.result_label);
  std::fprintf(out.get(), "%s\t%s\t%10.4lf\n", label.c_str(), input.protein_name.c_str(), native);
  common::Close_Output(out, input.dir + "/stdout");
}

void Straightforward_Whole_Run(const Run_Input& input) {
  const Energy_Tool& tool = *input.tool;
  Check_Arguments(input);
  common::File log = common::Open_Output(input.dir + "/log");
  common::File out = common::Open_Output(input.dir + "/stdout");
  const MFP_Table table = Straightforward_Load_Potential(tool.table_shape(), input.potential);
  structure::Atom_List list =
      Prepare_Structure(tool, input.protein_name, input.chain, {out.get(), log.get(), input.dir + "/pdbfile.tmp"});

  int shuffle = 0;
  const reference::Seed_Function next_seed = [&] { return Shuffle_Seed(input.seeds, shuffle++); };
  const reference::Energy_Profile profile = Is_Pair_Tool(tool) ? reference::Pair_Profile(list, table, next_seed)
                                                               : reference::Surface_Profile(list, table, next_seed);
  Write_Results(input, profile.native, profile.shuffled, out.get());
  common::Close_Output(log, input.dir + "/log");
  common::Close_Output(out, input.dir + "/stdout");
}

Run_Output Read_Run_Output(const Run_Input& input) {
  const std::string stem = Stem(input);
  Run_Output output;
  output.native = common::Read_Whole_File(stem + ".native").value_or("(missing)");
  output.random = common::Read_Whole_File(stem + ".random").value_or("(missing)");
  output.result_line = common::Read_Whole_File(input.dir + "/stdout").value_or("(missing)");
  return output;
}

std::string Compare_Outputs(const Run_Output& fast, const Run_Output& straightforward) {
  std::string differences;
  const auto add = [&](const std::string& what) { differences += (differences.empty() ? "" : "; ") + what; };
  if (fast.native != straightforward.native) add("the native files differ");
  if (fast.random != straightforward.random) add("the random files differ");
  if (fast.result_line != straightforward.result_line)
    add("the result lines differ ('" + fast.result_line + "' against '" + straightforward.result_line + "')");
  return differences;
}

int Run_Built_Program(const std::string& program_path, const Run_Input& input) {
  const std::string program_name = std::filesystem::path(program_path).filename().string();
  const std::string chain(1, input.chain);
  std::vector<std::string> arguments = {program_name, input.potential, input.protein_name, chain};
  std::vector<std::string> environment;
  for (char** variable = environ; *variable; ++variable)
    if (std::strncmp(*variable, "SHUFFLE_SEED=", 13) != 0) environment.emplace_back(*variable);
  environment.push_back("SHUFFLE_SEED=" + std::to_string(Shuffle_Seed(Seeds::kRepeated, 0)));

  std::vector<char*> argv, envp;
  for (std::string& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (std::string& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, input.dir.c_str());
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "stdout", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program_path.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0)
    common::Fail(common::kLineEnd, "cannot start '%s': %s", program_path.c_str(), std::strerror(spawned));
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) common::Fail(common::kLineEnd, "cannot wait for '%s'", program_path.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Scratch_Dir::Scratch_Dir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "energy_bench.XXXXXX").string();
  if (!mkdtemp(pattern.data()))
    common::Fail(common::kLineEnd, "cannot create a temporary directory from '%s'", pattern.c_str());
  path_ = pattern;
}

Scratch_Dir::~Scratch_Dir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void Write_File(const std::string& path, const std::string& content) { common::Write_Output(path, content); }

void Copy_File(const std::string& from, const std::string& to) {
  std::error_code error;
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
  if (error)
    common::Fail(common::kLineEnd, "cannot copy '%s' to '%s': %s", from.c_str(), to.c_str(), error.message().c_str());
}

const std::vector<Chain_Source>& Benchmark_Chains() {
  static const std::vector<Chain_Source> chains = {
      {"1PYL_A", "enzymes213_foldx/1PYL_A.pdb", 'A'},
      {"1BQC_A", "enzymes213_foldx/1BQC_A.pdb", 'A'},
      {"1I1E_A", "enzymes213_foldx/1I1E_A.pdb", 'A'},
  };
  return chains;
}

std::optional<std::string> Data_Dir() {
  const char* from_environment = std::getenv("FOLD_BENCH_DATA");
  const std::string dir = from_environment && *from_environment ? from_environment : FOLD_BENCH_DEFAULT_DATA;
  std::error_code error;
  if (!std::filesystem::is_directory(dir, error)) return std::nullopt;
  return dir;
}

int Residue_Count(const Energy_Tool& tool, const std::string& pdb_path, char chain) {
  const structure::Atom_List list = Prepare_Structure(tool, pdb_path, chain, {stderr, nullptr, ""});
  return structure::Count_AAs(list.first);
}

Potential_Files Write_Potential_Files(const Scratch_Dir& dir) {
  Potential_Files files{dir.File("pair.potential"), dir.File("surface.potential")};
  Write_File(files.pair, test_support::Pair_Potential_Text(1));
  Write_File(files.surface, test_support::Surface_Potential_Text(2));
  return files;
}

const std::string& Potential_For(const Energy_Tool& tool, const Potential_Files& files) {
  return Is_Pair_Tool(tool) ? files.pair : files.surface;
}

}  // namespace energy::bench
