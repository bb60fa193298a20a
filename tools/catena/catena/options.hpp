// The command line of catena.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace catena {

enum class Output_Format { Tsv, Json };

struct Options {
  std::vector<std::string> models;
  std::string chain = "_";
  std::optional<std::string> alignment;
  std::optional<std::string> identity;  // percent, as typed
  std::string pair_potential;
  std::string surface_potential;
  std::string table;
  bool bundled_tables = false;  // at least one table is a bundled default
  std::optional<unsigned> seed;
  int jobs = 1;
  std::optional<std::string> keep_dir;
  Output_Format format = Output_Format::Tsv;
  std::optional<std::string> output;
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
