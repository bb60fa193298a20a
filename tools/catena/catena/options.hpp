// The command line of catena.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace catena {

enum class Output_Format { Tsv, Json };

struct Options {
  std::vector<std::string> models;  // files, directories, "-" for standard input
  std::vector<std::string> lists;   // --list files, "-" for standard input
  std::string chain;                // one character, "all", or empty: each file's first ATOM record's chain
  bool all_models = false;          // --models all
  std::optional<std::string> alignment;
  std::optional<std::string> identity;  // percent, with two decimals
  std::string pair_potential;
  std::string surface_potential;
  std::string table;
  bool bundled_tables = false;  // at least one table is a bundled default
  std::optional<unsigned> seed;
  std::string seed_origin;  // "--seed" or "SHUFFLE_SEED" when a seed was given
  int jobs = 1;
  std::optional<std::string> keep_dir;
  Output_Format format = Output_Format::Tsv;
  std::optional<std::string> output;
  std::optional<std::string> profile_dir;  // per-residue profiles of every model
  std::optional<std::string> report;       // the batch as one HTML page
  bool help = false;
  bool version = false;
};

// Where the bundled example data lives: $FOLD_DATA_DIR, else the installed
// share/fold_assess next to the executable, else the build's data directory.
std::string Bundled_Data_Dir(const std::string& argv0);

// Parses the arguments (without the program name). Errors throw
// common::Fatal_Error with a one-line message.
Options Parse_Arguments(const std::vector<std::string>& args, const std::string& data_dir);

std::string Help_Text();
std::string Version_Text();

}  // namespace catena
