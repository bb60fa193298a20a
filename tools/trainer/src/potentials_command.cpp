// addestra potentials: pair and surface potentials from native structures.
#include <cstdio>
#include <filesystem>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/format.hpp"
#include "common/program.hpp"
#include "trainer/addestra.hpp"
#include "trainer/potentials.hpp"
#include "trainer/structure_list.hpp"

namespace trainer {
namespace {

constexpr std::array<Option_Spec, 7> kSpecs = {{
    {"natives", "LIST", "structures, one path per line (optional tab and chain)", true},
    {"out", "DIR", "writes pair.potential, surface.potential and counts.tsv", true},
    {"base", "DIR", "folder the list's relative paths start from (default: the list's folder)"},
    {"pair-sparse", "S", "sparse-data weight s of the pair potential (default 0.02)"},
    {"surface-sparse", "S", "sparse-data weight s of the surface potential (default 0.02)"},
    {"pair-reference", "class|atoms", "pair reference: the class's pairs pooled, or per kind of atom pair"},
    {"shuffle-seed", "N", "null tables: shuffle each chain's sequence (seed N + list position) first"},
}};
constexpr std::string_view kSummary =
    "Counts every structure's scored pairs and residues exactly as vicina and exposa score them;\n"
    "  E = ln(1 + m s) - ln(1 + m s f_obs/f_ref) in kT per cell (m: observations of the type pair in\n"
    "  the separation class, or of the residue type; f_ref: all types of the class pooled, or with\n"
    "  --pair-reference atoms those of the same kind of atom pair). A structure that cannot be read or\n"
    "  scored stops the run (exit 8): the tables are never trained on part of a list.";

int Run(const Option_Values& options) {
  Estimator_Options estimator;
  estimator.pair_sparse = options.Number("pair-sparse", estimator.pair_sparse, 0.0, 1e6);
  estimator.surface_sparse = options.Number("surface-sparse", estimator.surface_sparse, 0.0, 1e6);
  const std::string reference = options.Get("pair-reference").value_or("class");
  if (reference != "class" && reference != "atoms")
    common::Fail(common::kLineEnd, "--pair-reference: '%s' is neither 'class' nor 'atoms'", reference.c_str());
  estimator.pair_reference = reference == "atoms" ? Pair_Reference::kAtomKinds : Pair_Reference::kClass;
  std::optional<std::uint64_t> shuffle_seed;
  if (options.Get("shuffle-seed")) shuffle_seed = options.Seed("shuffle-seed", 0);
  const std::vector<List_Entry> entries = Read_Structure_List(options.Required("natives"), options.Get("base"));

  Potential_Counts counts;
  for (const List_Entry& entry : entries) {
    const char chain = Entry_Chain(entry);
    try {
      const std::optional<std::uint64_t> shuffle =
          shuffle_seed ? std::optional<std::uint64_t>(*shuffle_seed + counts.structures) : std::nullopt;
      Count_Chain(Read_Entry_Chain(entry, chain), entry.path, chain, counts, shuffle);
    } catch (const common::Fatal_Error& error) {
      throw error.Prefixed(common::Format("line %zu ('%s'): ", entry.line, entry.path.c_str()));
    }
    Report_Progress("structures counted", counts.structures, entries.size(), 50);
  }

  const std::filesystem::path out(options.Required("out"));
  std::error_code error;
  std::filesystem::create_directories(out, error);
  if (error) common::Fail(common::kLineEnd, "cannot create the folder '%s': %s", out.c_str(), error.message().c_str());
  common::Write_Output((out / "pair.potential").string(),
                       Pair_Table_Text(Pair_Energies(counts.pair, estimator.pair_sparse, estimator.pair_reference)));
  common::Write_Output((out / "surface.potential").string(),
                       Surface_Table_Text(Surface_Energies(counts.surface, estimator.surface_sparse)));
  common::Write_Output((out / "counts.tsv").string(), Counts_Text(counts, estimator));
  std::fprintf(stderr, "addestra potentials: %zu structures, %zu residues\n", counts.structures, counts.residues);
  return common::kExitSuccess;
}

}  // namespace

int Potentials_Command(std::span<const std::string> args) {
  return Run_Subcommand("potentials", kSummary, kSpecs, args, Run);
}

}  // namespace trainer
