// addestra models, table and calibrate: the pG table from labelled models.
#include "trainer/pg_commands.hpp"

#include <climits>
#include <cstdio>
#include <filesystem>
#include <limits>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/format.hpp"
#include "common/program.hpp"
#include "common/scan.hpp"
#include "pg/class_lookup.hpp"
#include "pg/pg_step.hpp"
#include "trainer/addestra.hpp"
#include "trainer/calibration.hpp"
#include "trainer/labelled_models.hpp"
#include "trainer/pg_table.hpp"
#include "trainer/tsv.hpp"

namespace trainer {
namespace {

constexpr double kHuge = std::numeric_limits<double>::max();

// --- addestra models ---------------------------------------------------------

constexpr std::array<Option_Spec, 13> kModelSpecs = {{
    {"split", "TSV", "chains and their homology groups and sets (path, chain, group, set)", true},
    {"homologs", "TSV", "homologous pairs (path_a, chain_a, path_b, chain_b, ...)", true},
    {"natives", "DIR", "folder the paths of both files start from", true},
    {"pair-potential", "FILE", "pair potential the features are computed with", true},
    {"surface-potential", "FILE", "surface potential the features are computed with", true},
    {"work", "DIR", "scratch folder for the model files (DIR/models/)", true},
    {"out", "TSV", "the labelled models and their features", true},
    {"tmalign", "PROGRAM", "TMalign program (default TMalign)"},
    {"windows", "N", "incorrect models tried per chain (default 3)"},
    {"tm-cut", "SCORE", "TM-score that separates correct from incorrect (default 0.5)"},
    {"seed", "N", "seed of the choice of windows (default 20261208)"},
    {"shuffle-seed", "N", "seed of the energy tools' sequence shuffles (default 1)"},
    {"jobs", "N", "TMalign runs at once (default 1); the output does not depend on it"},
}};
constexpr std::string_view kModelSummary =
    "Correct models: each chain's sequence on its own backbone and, aligned by TMalign, on each\n"
    "  homologue's backbone (kept at TM-score >= 0.5 to the native); incorrect ones: the sequence on\n"
    "  contiguous windows of chains of other groups (kept below 0.5). Features as catena computes them.";

int Run_Models(const Option_Values& options) {
  Models_Settings settings;
  settings.split = options.Required("split");
  settings.homologs = options.Required("homologs");
  settings.natives = options.Required("natives");
  settings.pair_potential = options.Required("pair-potential");
  settings.surface_potential = options.Required("surface-potential");
  settings.work = options.Required("work");
  settings.out = options.Required("out");
  settings.tmalign = options.Get("tmalign").value_or(settings.tmalign);
  settings.windows = static_cast<int>(options.Whole("windows", settings.windows, 0, 1000));
  settings.tm_cut = options.Number("tm-cut", settings.tm_cut, 0, 1);
  settings.seed = static_cast<unsigned>(options.Whole("seed", settings.seed, 0, UINT_MAX));
  settings.shuffle_seed = static_cast<unsigned>(options.Whole("shuffle-seed", settings.shuffle_seed, 0, UINT_MAX));
  settings.jobs = static_cast<int>(options.Whole("jobs", settings.jobs, 1, 256));
  Build_Labelled_Models(settings);
  return common::kExitSuccess;
}

// --- addestra table ----------------------------------------------------------

constexpr std::array<Option_Spec, 11> kTableSpecs = {{
    {"labelled", "TSV", "labelled models (columns class, one_minus_zo341, length; set)", true},
    {"out", "FILE", "the cPDF table", true},
    {"set", "NAME", "use only the rows whose set column is NAME (default: all rows)"},
    {"shuffle-labels", "SEED", "permute the labels first (the null model)"},
    {"zo-bin", "SIZE", "bin size of 1 - ZO341, over 0 to 1 (default 0.05: 19 bins)"},
    {"length-max", "N", "end of the length range (default 1000)"},
    {"length-bin", "N", "bin size of the length (default 50)"},
    {"min-count", "N", "models a cell's neighbourhood must hold (default 50)"},
    {"max-radius", "N", "largest neighbourhood radius, in bins (default 2)"},
    {"prior-weight", "W", "pseudo-models drawing each cell toward the prior (default 1)"},
    {"prior", "P", "prior of correct (default: its share of the labelled models)"},
}};
constexpr std::string_view kTableSummary =
    "Per cell of (1 - ZO341, length), the class densities over a neighbourhood grown until it holds\n"
    "  --min-count models give the posterior of correct (pG), drawn toward the prior by --prior-weight.";

int Run_Table(const Option_Values& options) {
  Table_Settings settings;
  settings.zo_bin = options.Number("zo-bin", settings.zo_bin, 0, 1);
  settings.length_max = options.Number("length-max", settings.length_max, 1, kHuge);
  settings.length_bin = options.Number("length-bin", settings.length_bin, 0, kHuge);
  settings.min_count = static_cast<int>(options.Whole("min-count", settings.min_count, 1, 1000000000));
  settings.max_radius = static_cast<int>(options.Whole("max-radius", settings.max_radius, 0, 10000));
  settings.prior_weight = options.Number("prior-weight", settings.prior_weight, 0, kHuge);
  if (options.Get("prior")) settings.prior = options.Number("prior", 0.5, 0, 1);
  const std::optional<unsigned long long> shuffle =
      options.Get("shuffle-labels") ? std::optional(options.Whole("shuffle-labels", 0, 0, UINT_MAX)) : std::nullopt;
  std::vector<Labelled_Model> models = Read_Labelled_Models(options.Required("labelled"), options.Get("set"));
  if (shuffle) Shuffle_Labels(models, static_cast<unsigned>(*shuffle));
  const std::string text = cPDF_Table_Text(Build_pG_Table(models, settings));
  common::Write_Output(options.Required("out"), text);
  return common::kExitSuccess;
}

// --- addestra calibrate ------------------------------------------------------

constexpr std::array<Option_Spec, 6> kCalibrateSpecs = {{
    {"labelled", "TSV", "labelled models (columns class, one_minus_zo341, length; set)", true},
    {"table", "FILE", "the cPDF table to judge", true},
    {"set", "NAME", "use only the rows whose set column is NAME (default: all rows)"},
    {"null-table", "FILE", "a table trained on shuffled labels, judged the same way"},
    {"svg", "FILE", "write the calibration plot"},
    {"title", "TEXT", "title of the plot"},
}};
constexpr std::string_view kCalibrateSummary =
    "AUC of pG for correct against incorrect models, and pG in bins of 0.1 against the observed\n"
    "  fraction correct (markdown on standard output).";

std::vector<Scored_Model> Score(const pg::cPDF_Table& table, const std::vector<Labelled_Model>& models) {
  std::vector<Scored_Model> scored;
  for (const Labelled_Model& model : models) {
    const double values[2] = {model.one_minus_zo341, model.length};
    // pG as verdicta prints it.
    const std::string printed = pg::pG_Text(pg::Look_Up_Record(table, values).pG);
    scored.push_back({common::Scan_Double(printed).value_or(0.0), model.correct});
  }
  return scored;
}

std::string Report(const char* name, const std::vector<Scored_Model>& scored, const Calibration& calibration) {
  const std::optional<double> auc = Auc(scored);
  int correct = 0;
  for (const Scored_Model& model : scored) correct += model.correct ? 1 : 0;
  std::string text = common::Format("### %s\n\n%zu models (%d correct, %zu incorrect); AUC %s; ", name, scored.size(),
                                    correct, scored.size() - static_cast<std::size_t>(correct),
                                    auc ? common::Format("%.4f", *auc).c_str() : "undefined");
  text += common::Format("largest calibration gap in bins of at least 20 models: %.3f\n\n",
                         Worst_Calibration_Gap(calibration, 20));
  return text + Calibration_Markdown(calibration) + "\n";
}

int Run_Calibrate(const Option_Values& options) {
  const std::optional<std::string> svg = options.Get("svg");
  const std::optional<std::string> null_path = options.Get("null-table");
  const pg::cPDF_Table table = pg::Read_cPDF_Table_File(options.Required("table"), stderr);
  std::optional<pg::cPDF_Table> null_table;
  if (null_path) null_table = pg::Read_cPDF_Table_File(*null_path, stderr);
  for (const pg::cPDF_Table* t : {&table, null_table ? &*null_table : static_cast<const pg::cPDF_Table*>(nullptr)})
    if (t && (t->feat_num != 2 || t->classes_num != 2))
      common::Fail(common::kLineEnd, "a table of 2 classes over 2 features (1 - ZO341, length) is needed");
  const std::vector<Labelled_Model> models = Read_Labelled_Models(options.Required("labelled"), options.Get("set"));
  if (models.empty()) common::Fail(common::kLineEnd, "no labelled model to judge");

  const std::vector<Scored_Model> scored = Score(table, models);
  const Calibration calibration = Calibrate(scored);
  std::string text = Report("trained table", scored, calibration);
  std::optional<Calibration> null_calibration;
  if (null_table) {
    const std::vector<Scored_Model> null_scored = Score(*null_table, models);
    null_calibration = Calibrate(null_scored);
    text += Report("null: table trained on shuffled labels", null_scored, *null_calibration);
  }
  std::fputs(text.c_str(), stdout);
  if (svg)
    common::Write_Output(*svg, Calibration_Svg(calibration, null_calibration ? &*null_calibration : nullptr,
                                               options.Get("title").value_or("Calibration of pG")));
  return common::kExitSuccess;
}

}  // namespace

int Models_Command(std::span<const std::string> args) {
  return Run_Subcommand("models", kModelSummary, kModelSpecs, args, Run_Models);
}

int Table_Command(std::span<const std::string> args) {
  return Run_Subcommand("table", kTableSummary, kTableSpecs, args, Run_Table);
}

int Calibrate_Command(std::span<const std::string> args) {
  return Run_Subcommand("calibrate", kCalibrateSummary, kCalibrateSpecs, args, Run_Calibrate);
}

}  // namespace trainer
