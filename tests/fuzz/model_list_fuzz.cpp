// catena's model list (--list FILE): header, columns, chains and identities.
#include <cstdint>

#include "catena/inputs.hpp"
#include "common/fatal_error.hpp"
#include "fuzz_input.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    catena::Parse_Model_List(fuzz::As_Text(data, size), "models.list");
  } catch (const common::Fatal_Error&) {
  }
  return 0;
}
