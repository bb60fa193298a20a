#include "trainer/labelled_models.hpp"

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>

#include "combine/zo341.hpp"
#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/scan.hpp"
#include "energy/potential_table.hpp"
#include "pg/feature_file.hpp"
#include "structure/residues.hpp"
#include "structure/structure_tool.hpp"
#include "trainer/threading.hpp"
#include "trainer/tsv.hpp"

namespace trainer {
namespace {

namespace fs = std::filesystem;

struct Native {
  std::string path, chain, group, set;
  std::string stem;  // file-name-safe name
  std::string pdb;   // its own-backbone model, the reference of every TM-score
  Backbone backbone;
};

struct Model_Row {
  std::string model, native, templ, kind, label, set;
  double identity = 0, tm_score = 0;
};

std::string Stem(const std::string& path) {
  std::string stem = fs::path(path).replace_extension().string();
  std::replace(stem.begin(), stem.end(), '/', '_');
  return stem;
}

Backbone Read_Backbone(const std::string& file, const std::string& chain) {
  const common::File sink(std::fopen("/dev/null", "w"));
  const structure::Reader_Io io{sink.get(), sink.get(), ""};
  return Backbone_Of(structure::Load_Chain({file, chain}, structure::Get_AA_Type, io));
}

std::vector<Native> Read_Natives(const Models_Settings& settings) {
  const Tsv_File split = Read_Tsv(settings.split);
  const std::size_t path = split.Column("path"), chain = split.Column("chain"), group = split.Column("group"),
                    set = split.Column("set");
  std::vector<Native> natives;
  for (const std::vector<std::string>& row : split.rows) {
    Native native{row[path], row[chain], row[group], row[set], Stem(row[path]), "", {}};
    native.backbone = Read_Backbone((fs::path(settings.natives) / native.path).string(), native.chain);
    if (native.backbone.size() < 10) common::Fail("%s: fewer than 10 residues with a backbone\n", native.path.c_str());
    natives.push_back(std::move(native));
  }
  if (natives.empty()) common::Fail("%s lists no chain\n", settings.split.c_str());
  return natives;
}

void Write_Model(const std::string& path, const Backbone& model) { common::Write_Output(path, Model_Pdb_Text(model)); }

}  // namespace

Model_Features Assess_With_Identity(const catena::Shared_Inputs& shared, const std::string& model_path,
                                    double identity_percent) {
  Model_Features features;
  const catena::Model_Result result = catena::Assess_Model(shared, model_path, "");
  if (!result.error.empty()) {
    features.error = result.error;
    return features;
  }
  // The values pass as catena passes them: each read back from its file's text.
  const std::string identity = common::Format("%.2f\n", identity_percent);
  const double zscore = common::Scan_Double(result.z_combined).value_or(0.0);
  const double compactness = common::Scan_Double(result.compactness).value_or(0.0);
  const std::string zo341 = combine::ZO341_File_Line(
      combine::Compute_ZO341(zscore, compactness, common::Scan_Double(identity).value_or(0.0)));
  const double zo341_value = common::Scan_Double(zo341).value_or(0.0);
  features.z_combined = result.z_combined;
  features.compactness = result.compactness;
  features.zo341 = result.zo341.empty() ? std::string(common::First_Word(zo341)) : result.zo341;
  features.one_minus_zo341 = common::Scan_Double(pg::Feature_Value_Text(1.0 - zo341_value)).value_or(0.0);
  features.length =
      common::Scan_Double(pg::Feature_Length_Text(common::Scan_Double(result.length).value_or(0.0))).value_or(0.0);
  return features;
}

void Build_Labelled_Models(const Models_Settings& settings) {
  // Without an identity, catena's steps stop at the Z-scores; ZO341 follows
  // with each model's own identity.
  catena::Shared_Inputs shared;
  shared.chain = 'A';
  shared.seed = settings.shuffle_seed;
  shared.pair_table = energy::Load_Potential(energy::Pair_Table_Shape(), settings.pair_potential);
  shared.surface_table = energy::Load_Potential(energy::Surface_Table_Shape(), settings.surface_potential);

  std::vector<Native> natives = Read_Natives(settings);
  std::map<std::string, std::size_t> index_of;
  for (std::size_t i = 0; i < natives.size(); ++i) index_of[natives[i].path] = i;

  const fs::path model_dir = fs::path(settings.work) / "models";
  fs::create_directories(model_dir);
  for (Native& native : natives) {
    native.pdb = (model_dir / (native.stem + ".self.pdb")).string();
    Write_Model(native.pdb, native.backbone);
  }

  std::vector<Model_Row> rows;
  for (const Native& native : natives)
    rows.push_back({native.pdb, native.path, native.path, "self", "correct", native.set, 100.0, 1.0});

  // Correct: each sequence on its homologues' backbones.
  const Tsv_File homologs = Read_Tsv(settings.homologs);
  const std::size_t path_a = homologs.Column("path_a"), path_b = homologs.Column("path_b");
  int rejected_homologs = 0;
  for (std::size_t h = 0; h < homologs.rows.size(); ++h) {
    const auto a = index_of.find(homologs.rows[h][path_a]), b = index_of.find(homologs.rows[h][path_b]);
    if (a == index_of.end() || b == index_of.end())
      common::Fail("%s line %zu: a chain that the split does not list\n", settings.homologs.c_str(),
                   homologs.line_numbers[h]);
    const Structure_Alignment alignment = Run_TMalign(settings.tmalign, natives[a->second].pdb, natives[b->second].pdb);
    const Residue_Pairs a_on_b = Pairs_From_Rows(alignment.first_row, alignment.second_row);
    Residue_Pairs b_on_a;
    for (const auto& [i, j] : a_on_b) b_on_a.emplace_back(j, i);
    for (const auto& [query, templ, pairs] :
         {std::tuple{a->second, b->second, a_on_b}, {b->second, a->second, b_on_a}}) {
      const Native& q = natives[query];
      const Native& t = natives[templ];
      const std::string sequence = Sequence_Of(q.backbone);
      const std::string path = (model_dir / (q.stem + ".on." + t.stem + ".pdb")).string();
      Write_Model(path, Thread(t.backbone, sequence, pairs));
      const double tm = Run_TMalign(settings.tmalign, path, q.pdb).tm_score;
      if (tm < settings.tm_cut) {
        ++rejected_homologs;
        continue;
      }
      rows.push_back({path, q.path, t.path, "homolog", "correct", q.set,
                      Pair_Identity(sequence, Sequence_Of(t.backbone), pairs), tm});
    }
    std::fprintf(stderr, "\raddestra models: homologues %zu/%zu", h + 1, homologs.rows.size());
  }
  std::fprintf(stderr, "\n");

  // Incorrect: windows of chains of other groups, at least as long.
  std::mt19937 engine(settings.seed);
  int rejected_windows = 0;
  for (std::size_t n = 0; n < natives.size(); ++n) {
    const Native& q = natives[n];
    const std::string sequence = Sequence_Of(q.backbone);
    std::vector<std::size_t> candidates;
    for (std::size_t c = 0; c < natives.size(); ++c)
      if (natives[c].group != q.group && natives[c].backbone.size() >= q.backbone.size()) candidates.push_back(c);
    for (int w = 0; w < settings.windows && !candidates.empty(); ++w) {
      const std::size_t pick = engine() % candidates.size();
      const Native& t = natives[candidates[pick]];
      candidates.erase(candidates.begin() + static_cast<long>(pick));
      const std::size_t start = engine() % (t.backbone.size() - q.backbone.size() + 1);
      Residue_Pairs pairs;
      for (std::size_t i = 0; i < q.backbone.size(); ++i) pairs.emplace_back(i, start + i);
      const std::string path =
          (model_dir / common::Format("%s.window.%s.%zu.pdb", q.stem.c_str(), t.stem.c_str(), start)).string();
      Write_Model(path, Thread(t.backbone, sequence, pairs));
      const double tm = Run_TMalign(settings.tmalign, path, q.pdb).tm_score;
      if (tm >= settings.tm_cut) {
        ++rejected_windows;
        continue;
      }
      rows.push_back({path, q.path, t.path, "window", "incorrect", q.set,
                      Pair_Identity(sequence, Sequence_Of(t.backbone), pairs), tm});
    }
    std::fprintf(stderr, "\raddestra models: windows %zu/%zu", n + 1, natives.size());
  }
  std::fprintf(stderr, "\n");

  std::string text =
      "model\tnative\ttemplate\tkind\tclass\tset\tidentity\ttm_score\tz_combined\tcompactness\tzo341\tone_minus_"
      "zo341\tlength\n";
  int failed = 0;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const Model_Row& row = rows[r];
    const Model_Features f = Assess_With_Identity(shared, row.model, row.identity);
    if (!f.error.empty()) {
      std::fprintf(stderr, "\naddestra models: %s skipped: %s\n", row.model.c_str(), f.error.c_str());
      ++failed;
      continue;
    }
    text += common::Format("%s\t%s\t%s\t%s\t%s\t%s\t%.2f\t%.4f\t%s\t%s\t%s\t%.3f\t%.0f\n",
                           fs::relative(row.model, settings.work).c_str(), row.native.c_str(), row.templ.c_str(),
                           row.kind.c_str(), row.label.c_str(), row.set.c_str(), row.identity, row.tm_score,
                           f.z_combined.c_str(), f.compactness.c_str(), f.zo341.c_str(), f.one_minus_zo341, f.length);
    if ((r + 1) % 100 == 0 || r + 1 == rows.size())
      std::fprintf(stderr, "\raddestra models: features %zu/%zu", r + 1, rows.size());
  }
  std::fprintf(stderr,
               "\naddestra models: %zu models; rejected %d homologue models (TM-score below %.2f) and %d windows "
               "(TM-score %.2f or more); %d failed\n",
               rows.size() - static_cast<std::size_t>(failed), rejected_homologs, settings.tm_cut, rejected_windows,
               settings.tm_cut, failed);
  common::Write_Output(settings.out, text);
}

}  // namespace trainer
