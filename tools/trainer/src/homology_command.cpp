// addestra homology: homologous pairs of a structure set and its split.
#include <cstdio>
#include <filesystem>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/format.hpp"
#include "common/program.hpp"
#include "energy/energy_tool.hpp"
#include "energy/shuffle.hpp"
#include "trainer/addestra.hpp"
#include "trainer/homology.hpp"
#include "trainer/structure_list.hpp"

namespace trainer {
namespace {

constexpr std::array<Option_Spec, 5> kSpecs = {{
    {"natives", "LIST", "structures, one path per line (optional tab and chain)", true},
    {"out", "DIR", "writes homologs.tsv, split.tsv, train.list and held-out.list", true},
    {"base", "DIR", "folder the list's relative paths start from (default: the list's folder)"},
    {"seed", "N", "seed of the alignment shuffles and of the split (default 20261208)"},
    {"held-out", "FRACTION", "share of each category's chains held out (default 0.25)"},
}};
constexpr std::string_view kSummary =
    "Chains are homologous when their local alignment (BLOSUM62, gaps 11+k) has identity above 30%\n"
    "  and a Z-score of at least 6 against 100 shuffles. Homologous groups go whole into the training\n"
    "  or the held-out set, about the same share of every category (the paths' first folder).";

std::string Sequence_Of(const List_Entry& entry, char chain) {
  const structure::Atom_List list =
      energy::Prepare_Structure(energy::kPairTool, Read_Entry_Chain(entry, chain), entry.path, chain);
  std::string sequence;
  for (const energy::Sequence_Record& record : energy::Get_Protein_Sequence(list.first)) sequence += record.aa_code;
  return sequence;
}

std::string List_Line(const List_Entry& entry, char chain) { return entry.path + "\t" + std::string(1, chain) + "\n"; }

int Run(const Option_Values& options) {
  Homology_Options homology;
  homology.seed = options.Seed("seed", homology.seed);
  homology.held_out_fraction = options.Number("held-out", homology.held_out_fraction, 0.0, 1.0);
  const std::vector<List_Entry> entries = Read_Structure_List(options.Required("natives"), options.Get("base"));

  std::vector<char> chains;
  std::vector<std::string> sequences, categories;
  for (const List_Entry& entry : entries) {
    chains.push_back(Entry_Chain(entry));
    sequences.push_back(Sequence_Of(entry, chains.back()));
    categories.push_back(Entry_Category(entry));
    Report_Progress("chains read", sequences.size(), entries.size(), 50);
  }
  const std::vector<Homolog_Pair> pairs = Find_Homologs(
      sequences, homology, [&](std::size_t done) { Report_Progress("chains compared", done, entries.size(), 25); });
  const std::vector<int> groups = Homology_Groups(entries.size(), pairs);
  const std::vector<bool> held_out = Held_Out_Chains(groups, categories, homology.held_out_fraction, homology.seed);

  const std::string parameters = common::Format(
      "# addestra homology: identity > %g%% and Z >= %g (%d shuffles), gaps %d+%d*k, seed %llu, held-out %g\n",
      homology.min_identity, homology.min_z, homology.shuffles, homology.gaps.open, homology.gaps.extend,
      static_cast<unsigned long long>(homology.seed), homology.held_out_fraction);
  std::string homologs = parameters + "path_a\tchain_a\tpath_b\tchain_b\tidentity\tz\taligned\n";
  for (const Homolog_Pair& pair : pairs)
    homologs += common::Format("%s\t%c\t%s\t%c\t%.2f\t%.2f\t%d\n", entries[pair.a].path.c_str(), chains[pair.a],
                               entries[pair.b].path.c_str(), chains[pair.b], pair.identity, pair.z, pair.aligned);
  std::string split = parameters + "path\tchain\tgroup\tset\n", train, held;
  for (std::size_t c = 0; c < entries.size(); ++c) {
    split += common::Format("%s\t%c\t%d\t%s\n", entries[c].path.c_str(), chains[c], groups[c],
                            held_out[c] ? "held-out" : "train");
    (held_out[c] ? held : train) += List_Line(entries[c], chains[c]);
  }

  const std::filesystem::path out(options.Required("out"));
  std::error_code error;
  std::filesystem::create_directories(out, error);
  if (error) common::Fail(common::kLineEnd, "cannot create the folder '%s': %s", out.c_str(), error.message().c_str());
  common::Write_Output((out / "homologs.tsv").string(), homologs);
  common::Write_Output((out / "split.tsv").string(), split);
  common::Write_Output((out / "train.list").string(), train);
  common::Write_Output((out / "held-out.list").string(), held);
  std::fprintf(stderr, "addestra homology: %zu chains, %zu homologous pairs, %d groups, %zu held out\n", entries.size(),
               pairs.size(), groups.empty() ? 0 : *std::max_element(groups.begin(), groups.end()),
               static_cast<std::size_t>(std::count(held_out.begin(), held_out.end(), true)));
  return common::kExitSuccess;
}

}  // namespace

int Homology_Command(std::span<const std::string> args) {
  return Run_Subcommand("homology", kSummary, kSpecs, args, Run);
}

}  // namespace trainer
