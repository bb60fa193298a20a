#include "trainer/labelled_models.hpp"

#include <algorithm>
#include <atomic>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <thread>

#include "combine/zo341.hpp"
#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/format.hpp"
#include "common/model_files.hpp"
#include "common/scan.hpp"
#include "common/step.hpp"
#include "energy/potential_table.hpp"
#include "pg/feature_file.hpp"
#include "structure/residues.hpp"
#include "structure/structure_tool.hpp"
#include "trainer/backbone_models.hpp"
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
    if (native.backbone.size() < 10)
      common::Fail(common::kLineEnd, "%s: fewer than 10 residues with a backbone", native.path.c_str());
    natives.push_back(std::move(native));
  }
  if (natives.empty()) common::Fail(common::kLineEnd, "%s lists no chain", settings.split.c_str());
  return natives;
}

void Write_Model(const std::string& path, const Backbone& model) { common::Write_Output(path, Model_Pdb_Text(model)); }

// Progress on standard error, one line per `every` steps and at the end.
void Report_Progress(const char* what, std::size_t done, std::size_t total, std::size_t every) {
  if (done == total || done % every == 0) std::fprintf(stderr, "addestra models: %s %zu/%zu\n", what, done, total);
}

// TMalign's answers, kept in a file of the scratch folder and keyed by the
// contents of the two structures, so that a rerun (other potentials, other
// settings) does not align again. Safe to use from several threads.
class TMalign_Cache {
 public:
  TMalign_Cache(std::string program, std::string path) : program_(std::move(program)), path_(std::move(path)) {
    const std::optional<std::string> text = common::Read_Whole_File(path_);
    if (!text) return;
    std::size_t start = 0;
    while (start < text->size()) {
      std::size_t end = text->find('\n', start);
      if (end == std::string::npos) end = text->size();
      const std::vector<std::string> fields = Split_Tabs(std::string_view(*text).substr(start, end - start));
      start = end + 1;
      // A line cut short by an interrupted run is dropped.
      if (fields.size() == 4 && !fields[2].empty() && fields[2].size() == fields[3].size())
        entries_[fields[0]] = {common::Scan_Double(fields[1]).value_or(0.0), fields[2], fields[3]};
    }
  }

  Structure_Alignment Align(const std::string& first, const std::string& second) {
    const std::string key = common::Format("%016llx-%016llx", Content_Hash(first), Content_Hash(second));
    {
      const std::lock_guard lock(mutex_);
      const auto found = entries_.find(key);
      if (found != entries_.end()) return found->second;
    }
    const Structure_Alignment alignment = Run_TMalign(program_, first, second);
    const std::lock_guard lock(mutex_);
    entries_[key] = alignment;
    // Appended at once, so that an interrupted run keeps what it has done.
    if (!file_) file_ = common::File(std::fopen(path_.c_str(), "a"));
    if (file_) {
      std::fprintf(file_.get(), "%s\t%.17g\t%s\t%s\n", key.c_str(), alignment.tm_score, alignment.first_row.c_str(),
                   alignment.second_row.c_str());
      std::fflush(file_.get());
    }
    return alignment;
  }

 private:
  // FNV-1a over the file's bytes.
  static unsigned long long Content_Hash(const std::string& path) {
    const std::optional<std::string> text = common::Read_Whole_File(path);
    if (!text) common::Fail(common::kLineEnd, "cannot read %s", path.c_str());
    unsigned long long hash = 14695981039346656037ULL;
    for (const char c : *text) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    return hash;
  }

  std::string program_, path_;
  common::File file_;
  std::mutex mutex_;
  std::map<std::string, Structure_Alignment> entries_;
};

// A model to be written and judged by its TM-score to the native.
struct Candidate {
  std::size_t query = 0, templ = 0;  // natives: whose sequence, whose backbone
  std::string kind;                  // "homolog" or "window"
  Residue_Pairs pairs;
  std::size_t start = 0;  // of a window
  std::string path;
  double tm_score = 0;
};

// Runs body(0..count-1) on `jobs` threads (TMalign runs dominate the time).
// The first failure is rethrown once every thread has stopped.
void Parallel_For(std::size_t count, int jobs, const std::function<void(std::size_t)>& body, const char* what) {
  std::atomic<std::size_t> next{0}, done{0};
  std::mutex mutex;
  std::exception_ptr failure;
  auto work = [&] {
    for (std::size_t i; (i = next++) < count;) {
      try {
        body(i);
      } catch (...) {
        const std::lock_guard lock(mutex);
        if (!failure) failure = std::current_exception();
        next = count;
      }
      const std::size_t finished = ++done;
      const std::lock_guard lock(mutex);
      Report_Progress(what, finished, count, 100);
    }
  };
  std::vector<std::thread> threads;
  for (int j = 1; j < jobs; ++j) threads.emplace_back(work);
  work();
  for (std::thread& thread : threads) thread.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace

Model_Features Assess_With_Identity(const catena::Shared_Inputs& shared, const std::string& model_path,
                                    double identity_percent) {
  Model_Features features;
  catena::Model_Job job;
  job.model = model_path;
  job.chain.assign(1, 'A');  // the chain the model files are written with
  const catena::Model_Result result = catena::Assess_Model(shared, job, "");
  if (!result.error.empty()) {
    features.error = result.error;
    return features;
  }
  // The values pass as catena passes them: each read back from its file's text.
  const std::string identity = common::Format("%.2f\n", identity_percent);
  const double zscore = common::Filed_Number(result.z_combined);
  const double compactness = common::Filed_Number(result.compactness);
  const auto zo341 = combine::ZO341_Step(zscore, compactness, common::Filed_Number(identity));
  features.z_combined = result.z_combined;
  features.compactness = result.compactness;
  features.zo341 =
      result.zo341.empty() ? std::string(common::First_Word(zo341.Text(common::model_files::kZO341))) : result.zo341;
  features.one_minus_zo341 = common::Filed_Number(pg::ZO341_Feature_Text(zo341.value));
  features.length = common::Filed_Number(pg::Length_Feature_Text(common::Filed_Number(result.length)));
  return features;
}

void Build_Labelled_Models(const Models_Settings& settings) {
  // Without an identity, catena's steps stop at the Z-scores; ZO341 follows
  // with each model's own identity.
  catena::Shared_Inputs shared;
  shared.seed = settings.shuffle_seed;
  shared.pair_table = energy::Load_Potential(energy::Pair_Table_Shape(), settings.pair_potential);
  shared.surface_table = energy::Load_Potential(energy::Surface_Table_Shape(), settings.surface_potential);
  const Tsv_File homologs = Read_Tsv(settings.homologs);
  const std::size_t path_a = homologs.Column("path_a"), path_b = homologs.Column("path_b");

  std::vector<Native> natives = Read_Natives(settings);
  std::map<std::string, std::size_t> index_of;
  for (std::size_t i = 0; i < natives.size(); ++i) index_of[natives[i].path] = i;
  std::vector<std::pair<std::size_t, std::size_t>> homolog_pairs;
  for (std::size_t h = 0; h < homologs.rows.size(); ++h) {
    const auto a = index_of.find(homologs.rows[h][path_a]), b = index_of.find(homologs.rows[h][path_b]);
    if (a == index_of.end() || b == index_of.end())
      common::Fail(common::kLineEnd, "%s line %zu: a chain that the split does not list", settings.homologs.c_str(),
                   homologs.line_numbers[h]);
    homolog_pairs.emplace_back(a->second, b->second);
  }

  const fs::path model_dir = fs::path(settings.work) / "models";
  fs::create_directories(model_dir);
  for (Native& native : natives) {
    native.pdb = (model_dir / (native.stem + ".self.pdb")).string();
    Write_Model(native.pdb, native.backbone);
  }

  TMalign_Cache tmalign(settings.tmalign, (fs::path(settings.work) / "tmalign.tsv").string());

  // Correct candidates: each sequence on its homologues' backbones, paired
  // by the structural alignment of the two chains.
  std::vector<Structure_Alignment> alignments(homolog_pairs.size());
  Parallel_For(
      homolog_pairs.size(), settings.jobs,
      [&](std::size_t h) {
        alignments[h] = tmalign.Align(natives[homolog_pairs[h].first].pdb, natives[homolog_pairs[h].second].pdb);
      },
      "homologue alignments");
  std::vector<Candidate> candidates;
  for (std::size_t h = 0; h < homolog_pairs.size(); ++h) {
    const auto [a, b] = homolog_pairs[h];
    const Residue_Pairs a_on_b = Pairs_From_Rows(alignments[h].first_row, alignments[h].second_row);
    Residue_Pairs b_on_a;
    for (const auto& [i, j] : a_on_b) b_on_a.emplace_back(j, i);
    candidates.push_back(
        {.query = a, .templ = b, .kind = "homolog", .pairs = a_on_b, .start = 0, .path = {}, .tm_score = 0});
    candidates.push_back(
        {.query = b, .templ = a, .kind = "homolog", .pairs = b_on_a, .start = 0, .path = {}, .tm_score = 0});
  }

  // Incorrect candidates: windows of chains of other groups, at least as
  // long. Each chain draws from its own generator, the templates in a shuffled
  // order of all chains, so that a change elsewhere in the split leaves its
  // windows as they were.
  for (std::size_t n = 0; n < natives.size(); ++n) {
    const Native& q = natives[n];
    std::mt19937 engine(settings.seed + static_cast<unsigned>(n));
    std::vector<std::size_t> order(natives.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    for (std::size_t i = order.size(); i > 1; --i) std::swap(order[i - 1], order[engine() % i]);
    int taken = 0;
    for (const std::size_t t : order) {
      if (taken == settings.windows) break;
      if (natives[t].group == q.group || natives[t].backbone.size() < q.backbone.size()) continue;
      const std::size_t start = engine() % (natives[t].backbone.size() - q.backbone.size() + 1);
      Residue_Pairs pairs;
      for (std::size_t i = 0; i < q.backbone.size(); ++i) pairs.emplace_back(i, start + i);
      candidates.push_back(
          {.query = n, .templ = t, .kind = "window", .pairs = pairs, .start = start, .path = {}, .tm_score = 0});
      ++taken;
    }
  }

  // Every candidate is written and scored against its native.
  Parallel_For(
      candidates.size(), settings.jobs,
      [&](std::size_t i) {
        Candidate& c = candidates[i];
        const Native& q = natives[c.query];
        const Native& t = natives[c.templ];
        c.path = (model_dir / (c.kind == "window"
                                   ? common::Format("%s.window.%s.%zu.pdb", q.stem.c_str(), t.stem.c_str(), c.start)
                                   : q.stem + ".on." + t.stem + ".pdb"))
                     .string();
        Write_Model(c.path, Thread(t.backbone, Sequence_Of(q.backbone), c.pairs));
        c.tm_score = tmalign.Align(c.path, q.pdb).tm_score;
      },
      "models scored by TMalign");

  std::vector<Model_Row> rows;
  for (const Native& native : natives)
    rows.push_back({native.pdb, native.path, native.path, "self", "correct", native.set, 100.0, 1.0});
  int rejected_homologs = 0, rejected_windows = 0;
  for (const Candidate& c : candidates) {
    const bool correct = c.kind == "homolog";
    if (correct != (c.tm_score >= settings.tm_cut)) {
      ++(correct ? rejected_homologs : rejected_windows);
      continue;
    }
    const Native& q = natives[c.query];
    const Native& t = natives[c.templ];
    rows.push_back({c.path, q.path, t.path, c.kind, correct ? "correct" : "incorrect", q.set,
                    Pair_Identity(Sequence_Of(q.backbone), Sequence_Of(t.backbone), c.pairs), c.tm_score});
  }

  std::string text =
      "model\tnative\ttemplate\tkind\tclass\tset\tidentity\ttm_score\tz_combined\tcompactness\tzo341\tone_minus_"
      "zo341\tlength\n";
  int failed = 0;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const Model_Row& row = rows[r];
    const Model_Features f = Assess_With_Identity(shared, row.model, row.identity);
    if (!f.error.empty()) {
      std::fprintf(stderr, "addestra models: %s skipped: %s\n", row.model.c_str(), f.error.c_str());
      ++failed;
      continue;
    }
    text += common::Format("%s\t%s\t%s\t%s\t%s\t%s\t%.2f\t%.4f\t%s\t%s\t%s\t%.3f\t%.0f\n",
                           fs::relative(row.model, settings.work).c_str(), row.native.c_str(), row.templ.c_str(),
                           row.kind.c_str(), row.label.c_str(), row.set.c_str(), row.identity, row.tm_score,
                           f.z_combined.c_str(), f.compactness.c_str(), f.zo341.c_str(), f.one_minus_zo341, f.length);
    Report_Progress("models assessed", r + 1, rows.size(), 200);
  }
  std::fprintf(stderr,
               "addestra models: %zu models; rejected %d homologue models (TM-score below %.2f) and %d windows "
               "(TM-score %.2f or more); %d failed\n",
               rows.size() - static_cast<std::size_t>(failed), rejected_homologs, settings.tm_cut, rejected_windows,
               settings.tm_cut, failed);
  common::Write_Output(settings.out, text);
}

}  // namespace trainer
