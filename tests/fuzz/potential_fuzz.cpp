// The potential loaders. Real tables need 336000 or 400 lines, more than a
// fuzzing input holds, so both line formats are loaded into small shapes of
// 16 entries; the first byte picks the format.
#include <cstdint>
#include <vector>

#include "common/fatal_error.hpp"
#include "energy/potential_table.hpp"
#include "fuzz_input.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const fuzz::Input_File file(fuzz::As_Text(data + 1, size - 1));
  std::vector<double> table(16, 0.0);
  try {
    if (data[0] & 1)
      energy::Read_MFP_Pair(file.path(), table, 2, 2, 2, 2);
    else
      energy::Read_MFP_Surf(file.path(), table, 4, 4);
  } catch (const common::Fatal_Error&) {
  }
  return 0;
}
