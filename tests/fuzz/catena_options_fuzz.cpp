// catena's option parser: the input is the argument list, NUL-separated.
#include <cstdint>
#include <string>
#include <vector>

#include "catena/options.hpp"
#include "common/fatal_error.hpp"
#include "fuzz_input.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args;
  std::string_view text = fuzz::As_Text(data, size);
  while (!text.empty()) {
    const std::size_t end = text.find('\0');
    args.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  try {
    catena::Parse_Arguments(args, "/nonexistent/fold_assess");
  } catch (const common::Fatal_Error&) {
  }
  return 0;
}
