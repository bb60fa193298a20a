// The PIR alignment reader and the identity computed from what it read.
#include <cstdint>

#include "common/fatal_error.hpp"
#include "descriptors/alignment.hpp"
#include "fuzz_input.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Input_File file(fuzz::As_Text(data, size), ".pir");
  try {
    descriptors::Alignment_Identity(file.path(), fuzz::Null_Output());
  } catch (const common::Fatal_Error&) {
  }
  return 0;
}
