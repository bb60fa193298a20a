#include "catena/options.hpp"

#include <algorithm>
#include <filesystem>

#include "catena/inputs.hpp"
#include "common/fatal_error.hpp"
#include "common/program.hpp"
#include "common/scan.hpp"
#include "energy/potential_table.hpp"
#include "energy/shuffle.hpp"
#include "help/catena.hpp"
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
  if (!seed)
    common::Fail(common::kNoEnding, "--seed must be an unsigned integer from 0 to 4294967295, not '%s'", text.c_str());
  return *seed;
}

int Parse_Jobs(const std::string& text) {
  const auto value = common::Scan_Int(text);
  if (!value || std::to_string(*value) != text || *value < 1 || *value > 256)
    common::Fail(common::kNoEnding, "-j must be a whole number from 1 to 256, not '%s'", text.c_str());
  return *value;
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
      if (i + 1 >= args.size()) common::Fail(common::kNoEnding, "option '%s' needs a value", arg.c_str());
      return args[++i];
    };
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--chain") {
      options.chain = value();
      structure::Check_Chain_Argument(options.chain);
      options.chain = Parse_Chain_Choice(options.chain, "--chain");
    } else if (arg == "--alignment") {
      options.alignment = value();
    } else if (arg == "--identity") {
      options.identity = Parse_Identity(value(), "--identity");
    } else if (arg == "--models") {
      const std::string models = value();
      if (models != "first" && models != "all")
        common::Fail(common::kNoEnding, "--models must be first or all, not '%s'", models.c_str());
      options.all_models = models == "all";
    } else if (arg == "--list") {
      options.lists.push_back(value());
    } else if (arg == "--pair-potential") {
      pair = value();
    } else if (arg == "--surface-potential") {
      surface = value();
    } else if (arg == "--table") {
      table = value();
    } else if (arg == "--seed") {
      options.seed = Parse_Seed(value());
      options.seed_origin = "--seed";
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
        common::Fail(common::kNoEnding, "--format must be tsv or json, not '%s'", format.c_str());
      }
    } else if (arg == "-o" || arg == "--output") {
      options.output = value();
    } else if (arg == "--profile") {
      options.profile_dir = value();
    } else if (arg == "--report") {
      options.report = value();
    } else if (arg == "--") {
      options.models.insert(options.models.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    } else if (arg.size() > 1 && arg[0] == '-') {
      common::Fail(common::kNoEnding, "unknown option '%s'", args[i].c_str());
    } else {
      options.models.push_back(arg);
    }
  }
  if (options.help || options.version) return options;
  if (options.models.empty() && options.lists.empty()) common::Fail(common::kNoEnding, "no model file given");
  const auto from_stdin = std::count(options.models.begin(), options.models.end(), "-") +
                          std::count(options.lists.begin(), options.lists.end(), "-");
  if (from_stdin > 1) common::Fail(common::kNoEnding, "standard input ('-') can be read only once");
  if (options.alignment && options.identity)
    common::Fail(common::kNoEnding, "give --alignment or --identity, not both");
  if (options.profile_dir && options.profile_dir->empty())
    common::Fail(common::kNoEnding, "--profile needs a folder name");
  if (options.report && options.report->empty()) common::Fail(common::kNoEnding, "--report needs a file name");
  if (!options.seed) {
    options.seed = energy::Seed_Source_From_Environment().fixed;
    if (options.seed) options.seed_origin = "SHUFFLE_SEED";
  }
  options.bundled_tables = !pair || !surface || !table;
  options.pair_potential = pair.value_or((fs::path(data_dir) / kPairFile).string());
  options.surface_potential = surface.value_or((fs::path(data_dir) / kSurfaceFile).string());
  options.table = table.value_or((fs::path(data_dir) / kTableFile).string());
  return options;
}

std::string Version_Text() { return common::Version_Text("catena"); }

std::string Help_Text() { return std::string(help::kText); }

}  // namespace catena
