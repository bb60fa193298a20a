// The score-file readers: the line reader of sigmara and blendora (one line,
// and the 200 of a shuffled-energy file, then the Z-scores and ZO341 of what
// was read) and verdicta's first-number reader.
#include <array>
#include <cstdint>

#include "combine/score_file.hpp"
#include "combine/z_score.hpp"
#include "combine/zo341.hpp"
#include "common/fatal_error.hpp"
#include "fuzz_input.hpp"
#include "pg/feature_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::As_Text(data, size);
  try {
    const common::File stream = fuzz::Memory_Stream(text);
    const double first = combine::Read_Score_Lines(stream.get(), 1, "model.zscore").front();
    combine::Compute_ZO341(first, first, first);
  } catch (const common::Fatal_Error&) {
  }
  try {
    const common::File stream = fuzz::Memory_Stream(text);
    const std::vector<double> values = combine::Read_Score_Lines(stream.get(), combine::kShuffleCount, "model.random");
    combine::Potential_Energies energies;
    energies.native = values.front();
    std::copy(values.begin(), values.end(), energies.shuffled.begin());
    combine::Compute_Z_Scores(energies, energies);
  } catch (const common::Fatal_Error&) {
  }
  try {
    const fuzz::Input_File file(text);
    pg::Read_Score_File(file.path());
  } catch (const common::Fatal_Error&) {
  }
  return 0;
}
