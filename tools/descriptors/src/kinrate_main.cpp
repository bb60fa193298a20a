// kinrate: the sequence identity of a two-sequence PIR alignment.
//   kinrate alignment_file
// Writes ALIGNMENT.seq_ide, the identity as a fraction 0 to 1; no result line.
#include <cstdio>
#include <string>

#include "common/model_files.hpp"
#include "common/program.hpp"
#include "descriptors/alignment.hpp"
#include "help/kinrate.hpp"

int main(int argc, char** argv) {
  if (const auto status = common::Answer_Help_Or_Version(argc, argv, "kinrate", help::kText)) return *status;
  return common::Run_Program([&] {
    if (argc < 2) {
      std::printf("Usage: %s alignment_file\n\n", argv[0]);
      std::printf("alignment must be in PIR format\n\n");
      return common::kExitFailure;
    }
    const std::string ali_file = argv[1];  // further arguments are ignored
    // Names are built in 1000 characters, terminator included: room for the suffix.
    common::Check_Argument_Length("alignment file name", ali_file, 999 - common::model_files::kIdentity.size());
    common::Write_Step_Files(ali_file, descriptors::Identity_Step(ali_file, stdout).files);
    return common::kExitSuccess;
  });
}
