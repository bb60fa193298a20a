// addestra threading: how well trained tables tell held-out natives from
// their sequences threaded onto other, unrelated backbones.
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/format.hpp"
#include "common/program.hpp"
#include "energy/potential_table.hpp"
#include "trainer/addestra.hpp"
#include "trainer/homology.hpp"
#include "trainer/structure_list.hpp"
#include "trainer/threading.hpp"

namespace trainer {
namespace {

constexpr std::array<Option_Spec, 7> kSpecs = {{
    {"split", "SPLIT.tsv", "the split of 'addestra homology': held-out natives, their groups", true},
    {"pair-potential", "FILE", "pair table to judge", true},
    {"surface-potential", "FILE", "surface table to judge", true},
    {"out", "DIR", "writes threading.tsv (every native and decoy) and summary.tsv", true},
    {"base", "DIR", "folder the split's relative paths start from (default: the split's folder)"},
    {"decoys", "N", "decoys per native (default 30)"},
    {"seed", "N", "seed of the choice of backbones and windows (default 20261208)"},
}};
constexpr std::string_view kSummary =
    "Each held-out native's sequence is threaded onto a window of its own length of N backbones from\n"
    "  other homology groups (chosen with the seed), and scored as catena scores a model: pair,\n"
    "  surface and combined Z-scores (200 shuffles, seeds 1..200) and ZO341 (identity of the\n"
    "  sequence to the window's own; 100 for the native). summary.tsv: per score, the share of natives\n"
    "  better than every one of their decoys, the AUC native against decoy, the means, and the mean\n"
    "  margin of each native over its best decoy (positive: the native is better).";

struct Split_Row {
  List_Entry entry;
  int group = 0;
  bool held_out = false;
};

std::vector<Split_Row> Read_Split(const std::string& path, const std::optional<std::string>& base) {
  const std::optional<std::string> text = common::Read_Whole_File(path);
  if (!text) common::Fail(common::kLineEnd, "cannot read the split '%s'", path.c_str());
  const std::filesystem::path folder = base ? std::filesystem::path(*base) : std::filesystem::path(path).parent_path();
  std::vector<Split_Row> rows;
  std::istringstream lines(*text);
  std::string line;
  for (std::size_t number = 1; std::getline(lines, line); ++number) {
    if (line.empty() || line.front() == '#' || line.rfind("path\t", 0) == 0) continue;
    std::istringstream fields(line);
    Split_Row row;
    std::string chain, set;
    if (!std::getline(fields, row.entry.path, '\t') || !std::getline(fields, chain, '\t') || !(fields >> row.group) ||
        !(fields >> set) || chain.size() != 1 || (set != "train" && set != "held-out"))
      common::Fail(common::kLineEnd, "%s:%zu: expected 'path TAB chain TAB group TAB train|held-out'", path.c_str(),
                   number);
    row.entry.chain = chain.front();
    row.entry.line = number;
    row.entry.file = (folder / row.entry.path).string();
    row.held_out = set == "held-out";
    rows.push_back(std::move(row));
  }
  if (rows.empty()) common::Fail(common::kLineEnd, "the split '%s' names no chain", path.c_str());
  return rows;
}

struct Figures {
  std::vector<double> natives, decoys;
  std::size_t best = 0;  // natives better than every one of their decoys
  double margin = 0.0;   // summed over natives: how much better than their best decoy
};

double Mean(const std::vector<double>& values) {
  double sum = 0.0;
  for (double v : values) sum += v;
  return values.empty() ? 0.0 : sum / static_cast<double>(values.size());
}

int Run(const Option_Values& options) {
  const int decoys_per_native = static_cast<int>(options.Number("decoys", 30, 1, 10000));
  const std::uint64_t seed = options.Seed("seed", 20261208);
  const std::vector<Split_Row> rows = Read_Split(options.Required("split"), options.Get("base"));
  const energy::MFP_Table pair_table =
      energy::Load_Potential(energy::Pair_Table_Shape(), options.Required("pair-potential"));
  const energy::MFP_Table surface_table =
      energy::Load_Potential(energy::Surface_Table_Shape(), options.Required("surface-potential"));

  std::vector<structure::Atom_List> chains;
  std::vector<std::string> sequences;
  for (const Split_Row& row : rows) {
    chains.push_back(Read_Entry_Chain(row.entry, *row.entry.chain));
    sequences.push_back(Chain_Sequence(chains.back()));
    Report_Progress("chains read", chains.size(), rows.size(), 100);
  }

  const std::filesystem::path out(options.Required("out"));
  std::error_code error;
  std::filesystem::create_directories(out, error);
  if (error) common::Fail(common::kLineEnd, "cannot create the folder '%s': %s", out.c_str(), error.message().c_str());

  constexpr std::array<const char*, 4> kScores = {"pair", "surface", "combined", "zo341"};
  std::array<Figures, 4> figures;
  std::string table = "native\tchain\ttemplate\twindow_start\tidentity\tz_pair\tz_surface\tz_combined\tzo341\n";
  const auto values = [](const Threading_Scores& s) {
    return std::array<double, 4>{s.z_pair, s.z_surface, s.z_combined, s.zo341};
  };
  std::size_t natives = 0, held = 0;
  for (const Split_Row& row : rows) held += row.held_out;
  for (std::size_t n = 0; n < rows.size(); ++n) {
    if (!rows[n].held_out) continue;
    const std::string& name = rows[n].entry.path;
    const char chain = *rows[n].entry.chain;
    const int length = static_cast<int>(sequences[n].size());
    const Threading_Scores native = Score_Threaded(chains[n], sequences[n], pair_table, surface_table);
    table += common::Format("%s\t%c\t-\t0\t%.2f\t%.4f\t%.4f\t%.4f\t%.4f\n", name.c_str(), chain, native.identity,
                            native.z_pair, native.z_surface, native.z_combined, native.zo341);

    std::vector<std::size_t> templates;
    for (std::size_t t = 0; t < rows.size(); ++t)
      if (rows[t].group != rows[n].group && static_cast<int>(sequences[t].size()) >= length) templates.push_back(t);
    Split_Mix random(seed ^ (static_cast<std::uint64_t>(n) << 20));
    for (std::size_t i = templates.size(); i > 1; --i) std::swap(templates[i - 1], templates[random.Below(i)]);
    if (templates.size() > static_cast<std::size_t>(decoys_per_native)) templates.resize(decoys_per_native);

    std::array<bool, 4> best{true, true, true, true};
    std::array<double, 4> best_decoy{};
    bool first_decoy = true;
    const std::array<double, 4> native_values = values(native);
    for (std::size_t s = 0; s < 4; ++s) figures[s].natives.push_back(native_values[s]);
    for (std::size_t t : templates) {
      const int start = static_cast<int>(random.Below(sequences[t].size() - length + 1));
      const Threading_Scores decoy =
          Score_Threaded(Residue_Window(chains[t], start, length), sequences[n], pair_table, surface_table);
      table += common::Format("%s\t%c\t%s\t%d\t%.2f\t%.4f\t%.4f\t%.4f\t%.4f\n", name.c_str(), chain,
                              rows[t].entry.path.c_str(), start, decoy.identity, decoy.z_pair, decoy.z_surface,
                              decoy.z_combined, decoy.zo341);
      const std::array<double, 4> decoy_values = values(decoy);
      for (std::size_t s = 0; s < 4; ++s) {
        figures[s].decoys.push_back(decoy_values[s]);
        // Z-scores: lower is better; ZO341: higher is better.
        const bool native_better = s < 3 ? native_values[s] < decoy_values[s] : native_values[s] > decoy_values[s];
        best[s] = best[s] && native_better;
        const double better = s < 3 ? -decoy_values[s] : decoy_values[s];  // larger: a better decoy
        best_decoy[s] = first_decoy ? better : std::max(best_decoy[s], better);
      }
      first_decoy = false;
    }
    for (std::size_t s = 0; s < 4; ++s) {
      figures[s].best += best[s];
      if (!first_decoy) figures[s].margin += (s < 3 ? -native_values[s] : native_values[s]) - best_decoy[s];
    }
    Report_Progress("natives threaded", ++natives, held, 5);
  }

  std::string summary =
      common::Format("# addestra threading: %zu held-out natives, %zu decoys, %d per native, seed %llu\n", natives,
                     figures[0].decoys.size(), decoys_per_native, static_cast<unsigned long long>(seed));
  summary += "score\tnatives_better_than_every_decoy\tauc_native_vs_decoy\tmean_native\tmean_decoy\tmean_margin\n";
  for (std::size_t s = 0; s < 4; ++s)
    summary +=
        common::Format("%s\t%.4f\t%.4f\t%.4f\t%.4f\t%.4f\n", kScores[s],
                       natives ? static_cast<double>(figures[s].best) / static_cast<double>(natives) : 0.0,
                       Native_Decoy_AUC(figures[s].natives, figures[s].decoys, s < 3), Mean(figures[s].natives),
                       Mean(figures[s].decoys), natives ? figures[s].margin / static_cast<double>(natives) : 0.0);
  common::Write_Output((out / "threading.tsv").string(), table);
  common::Write_Output((out / "summary.tsv").string(), summary);
  std::fputs(summary.c_str(), stdout);
  return common::kExitSuccess;
}

}  // namespace

int Threading_Command(std::span<const std::string> args) {
  return Run_Subcommand("threading", kSummary, kSpecs, args, Run);
}

}  // namespace trainer
