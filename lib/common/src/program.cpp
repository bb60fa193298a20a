#include "common/program.hpp"

#include <cstdio>
#include <new>
#include <string>

#include "common/fatal_error.hpp"

namespace common {

int Run_Program(const std::function<int()>& body) {
  try {
    return body();
  } catch (const Fatal_Error& error) {
    std::fputs(error.what(), stdout);
  } catch (const std::bad_alloc&) {
    std::fputs("cannot allocate memory\nprogram will exit !\n", stdout);
  }
  std::fflush(stdout);
  return kExitFailure;
}

void Check_Argument_Length(std::string_view what, std::string_view value, std::size_t max_chars) {
  if (value.size() <= max_chars) return;
  const std::string name(what);
  Fail("%s is too long: %zu characters, at most %zu are allowed\nprogram will exit !\n", name.c_str(),
       value.size(), max_chars);
}

}  // namespace common

namespace common {

std::string Chain_Usage(std::string_view program, std::string_view arguments) {
  std::string text = "Usage:\n\n";
  text += program;
  text += ' ';
  text += arguments;
  text += " [protein_chain_id]\n\n\n";
  text += "[protein_chain_id] is optional. If ommited, then no chain id is adopted (unique chain).\n";
  text += "If chain is unique and want to give it explicitly in the command line, then '_' symbol should be used.\n\n";
  return text;
}

}  // namespace common
