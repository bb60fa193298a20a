// What catena assesses: model files, directories of them, lists of models
// with their own chain and identity, and standard input, expanded into one
// job per record.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catena/options.hpp"

namespace catena {

// Chain choices: one character ('_' for a blank chain column), kAllChains,
// or kFirstChain (empty): the chain of the file's first ATOM record.
inline const std::string kAllChains = "all";
inline const std::string kFirstChain;

// Checks a --chain value (or a list's chain field) and returns it.
std::string Parse_Chain_Choice(const std::string& text, const std::string& where);

// A sequence identity in percent, as a decimal number 0 to 100 (digits with
// an optional decimal point), written with two decimals as an identity from
// an alignment is: ".5" gives "0.50". Refused otherwise.
std::string Parse_Identity(const std::string& text, const std::string& where);

// One line of a model list.
struct List_Entry {
  std::string model;
  std::string chain;  // empty: the command line's choice
  std::optional<std::string> alignment;
  std::optional<std::string> identity;  // normalised percent
};

// Parses a model list: an optional header line naming the tab-separated
// columns ("model" first, then any of "chain", "alignment", "identity"), then
// one model per line. Blank lines and lines starting with '#' are skipped;
// without a header every line is a model file name.
std::vector<List_Entry> Parse_Model_List(std::string_view text, const std::string& list_name);

// The structure files of a directory (.pdb, .ent, .cif, .mmcif, each also
// with .gz; any case), sorted by name; subdirectories are not entered.
std::vector<std::string> Structure_Files_In(const std::string& directory);

// One record to compute.
struct Model_Job {
  std::string model;     // the file as given; "-" for standard input
  std::string chain;     // one character, or kFirstChain
  int model_number = 0;  // MODEL record to read; 0: the first model
  std::string folder;    // base name of its --keep folder
  std::optional<std::string> alignment;
  std::optional<std::string> identity;  // normalised percent
};

// Expands the command line's models, directories and lists into jobs, in
// order: the models and directories as given, then each list.
// `standard_input` holds what was read from it (null when nothing was).
std::vector<Model_Job> Plan_Jobs(const Options& options, const std::shared_ptr<const std::string>& standard_input);

// The PDB text of a model for planning and assessing: the standard input for
// "-", else the file, read as the structure programs read files.
std::optional<std::string> Model_Text(const std::string& model,
                                      const std::shared_ptr<const std::string>& standard_input);

}  // namespace catena
