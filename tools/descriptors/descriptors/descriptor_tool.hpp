// What resitally and rotunda share: the command line "protein_name
// [protein_chain_id]", the "log" file, reading the chain, and writing the
// step's one file and its line.
#pragma once

#include <string_view>

#include "common/step.hpp"
#include "structure/lk_list.hpp"

namespace descriptors {

struct Descriptor_Tool {
  std::string_view label;   // first field of the result line
  std::string_view suffix;  // of the step's file (common/model_files.hpp), which bounds the name's length
  common::Step_Result<double> (*step)(const structure::Atom_List& chain);  // one file, one line
};

int Run_Descriptor_Program(const Descriptor_Tool& tool, int argc, char** argv);

}  // namespace descriptors
