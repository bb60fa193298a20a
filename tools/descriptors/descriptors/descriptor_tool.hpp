// What resitally and rotunda share: the command line "protein_name
// [protein_chain_id]", the "log" file, reading the chain, and writing one
// value to NAME<suffix> and to the result line.
#pragma once

#include <string>
#include <string_view>

#include "structure/lk_list.hpp"

namespace descriptors {

struct Descriptor_Tool {
  std::string_view label;                                         // first field of the result line
  std::string_view suffix;                                        // of the output file, e.g. ".length"
  std::string (*file_line)(const structure::Atom_Record* first);  // the output file's one line
};

int Run_Descriptor_Program(const Descriptor_Tool& tool, int argc, char** argv);

}  // namespace descriptors
