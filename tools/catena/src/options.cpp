#include "catena/options.hpp"

#include <filesystem>

#include "common/fatal_error.hpp"
#include "common/scan.hpp"
#include "energy/potential_table.hpp"
#include "energy/shuffle.hpp"
#include "structure/structure_tool.hpp"

namespace catena {
namespace {

namespace fs = std::filesystem;

// The tables trained by addestra on open structures (data/default/).
constexpr const char* kPairFile = "pair.potential";
constexpr const char* kSurfaceFile = "surface.potential";
constexpr const char* kTableFile = "pg.cpdf";

bool Has_Bundled_Data(const fs::path& dir) { return fs::exists(dir / kPairFile) && fs::exists(dir / kTableFile); }

unsigned Parse_Seed(const std::string& text) {
  const std::optional<unsigned> seed = energy::Parse_Seed(text);
  if (!seed) common::Fail("--seed must be an unsigned integer from 0 to 4294967295, not '%s'", text.c_str());
  return *seed;
}

int Parse_Jobs(const std::string& text) {
  const auto value = common::Scan_Int(text);
  if (!value || std::to_string(*value) != text || *value < 1 || *value > 256)
    common::Fail("-j must be a whole number from 1 to 256, not '%s'", text.c_str());
  return *value;
}

void Check_Identity(const std::string& text) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(value >= 0.0 && value <= 100.0))
    common::Fail("--identity must be a percentage from 0 to 100, not '%s'", text.c_str());
}

}  // namespace

std::string Bundled_Data_Dir(const std::string& argv0) {
  if (const char* dir = std::getenv("FOLD_DATA_DIR")) return dir;
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  const fs::path installed = (error ? fs::path(argv0) : exe).parent_path() / ".." / "share" / "fold_assess";
  if (Has_Bundled_Data(installed)) return installed.lexically_normal().string();
  return FOLD_BUILD_DATA_DIR;
}

Options Parse_Arguments(const std::vector<std::string>& args, const std::string& data_dir) {
  Options options;
  std::optional<std::string> pair, surface, table;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    std::optional<std::string> attached;
    if (arg.rfind("--", 0) == 0 && arg.find('=') != std::string::npos) {
      attached = arg.substr(arg.find('=') + 1);
      arg = arg.substr(0, arg.find('='));
    } else if (arg.size() > 2 && (arg.rfind("-j", 0) == 0 || arg.rfind("-o", 0) == 0)) {
      attached = arg.substr(2);
      arg = arg.substr(0, 2);
    }
    auto value = [&]() -> std::string {
      if (attached) return *attached;
      if (i + 1 >= args.size()) common::Fail("option '%s' needs a value", arg.c_str());
      return args[++i];
    };
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--chain") {
      options.chain = value();
      structure::Check_Chain_Argument(options.chain);
    } else if (arg == "--alignment") {
      options.alignment = value();
    } else if (arg == "--identity") {
      options.identity = value();
      Check_Identity(*options.identity);
    } else if (arg == "--pair-potential") {
      pair = value();
    } else if (arg == "--surface-potential") {
      surface = value();
    } else if (arg == "--table") {
      table = value();
    } else if (arg == "--seed") {
      options.seed = Parse_Seed(value());
    } else if (arg == "-j" || arg == "--jobs") {
      options.jobs = Parse_Jobs(value());
    } else if (arg == "--keep") {
      options.keep_dir = value();
    } else if (arg == "--format") {
      const std::string format = value();
      if (format == "tsv") {
        options.format = Output_Format::Tsv;
      } else if (format == "json") {
        options.format = Output_Format::Json;
      } else {
        common::Fail("--format must be tsv or json, not '%s'", format.c_str());
      }
    } else if (arg == "-o" || arg == "--output") {
      options.output = value();
    } else if (arg == "--") {
      options.models.insert(options.models.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    } else if (arg.size() > 1 && arg[0] == '-') {
      common::Fail("unknown option '%s'", args[i].c_str());
    } else {
      options.models.push_back(arg);
    }
  }
  if (options.help || options.version) return options;
  if (options.models.empty()) common::Fail("no model file given");
  if (options.alignment && options.identity) common::Fail("give --alignment or --identity, not both");
  if (!options.seed) options.seed = energy::Seed_Source_From_Environment().fixed;
  options.bundled_tables = !pair || !surface || !table;
  options.pair_potential = pair.value_or((fs::path(data_dir) / kPairFile).string());
  options.surface_potential = surface.value_or((fs::path(data_dir) / kSurfaceFile).string());
  options.table = table.value_or((fs::path(data_dir) / kTableFile).string());
  return options;
}

std::string Version_Text() { return std::string("catena (fold assessment suite) ") + FOLD_VERSION + "\n"; }

std::string Help_Text() {
  return R"(Usage: catena [options] MODEL.pdb...

Assesses protein models: for every model it computes what the suite's eight
programs compute one after another (vicina, exposa, resitally, rotunda,
sigmara, kinrate, blendora, verdicta) and prints one record per model.

Options:
  --chain ID               chain to read (column 22); default: a blank chain ('_')
  --alignment FILE.pir     PIR alignment of the model's sequence with its template;
                           its identity (as kinrate computes it) goes to the ZO341 score
  --identity PERCENT       sequence identity 0-100 instead of an alignment
  --pair-potential FILE    pair potential table (default: the bundled trained one)
  --surface-potential FILE surface potential table (default: the bundled trained one)
  --table FILE             cPDF table for pG (default: the bundled trained one)
  --seed N                 seed of the sequence shuffles, as SHUFFLE_SEED (default:
                           $SHUFFLE_SEED, else the clock)
  -j, --jobs N             models assessed in parallel (default 1)
  --keep DIR               keep every model's files, as the programs write them,
                           in DIR/<model file name>/
  --format tsv|json        output format (default tsv, with a header line)
  -o, --output FILE        write the records to FILE instead of standard output
  -h, --help               this text
  --version                the version

Output fields, one record per model: model, chain, length (residues),
compactness, pair_energy, surface_energy (native energies), z_pair, z_surface,
z_combined (Z-scores against 200 shuffled sequences), identity (percent),
zo341, pG, class (winning class of the cPDF table), error. Without
--alignment or --identity, zo341, pG and class stay empty.

The bundled tables were trained by addestra on 347 open native structures;
pG estimates the probability that the model's fold is right (TM-score of at
least 0.5 to the true structure). Pass your own with --pair-potential,
--surface-potential and --table.

Exit status: 0 when every model was assessed, 8 when any failed (its record
carries the error) or the command line or a table was refused.
)";
}

}  // namespace catena
