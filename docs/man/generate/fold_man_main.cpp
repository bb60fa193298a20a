// Build-time generator of the manual pages:
//   fold_man TEXT OUTPUT NAME SECTION DATE VERSION
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "text_to_man.hpp"

int main(int argc, char** argv) {
  if (argc != 7) {
    std::cerr << "usage: fold_man TEXT OUTPUT NAME SECTION DATE VERSION\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "fold_man: cannot read " << argv[1] << "\n";
    return 1;
  }
  std::ostringstream text;
  text << in.rdbuf();
  try {
    const std::string page = man::Text_To_Man(text.str(), {argv[3], argv[4], argv[5], argv[6]});
    std::ofstream out(argv[2], std::ios::binary);
    out << page;
    out.close();
    if (!out) {
      std::cerr << "fold_man: cannot write " << argv[2] << "\n";
      return 1;
    }
  } catch (const man::Layout_Error& error) {
    std::cerr << argv[1] << ": " << error.what() << "\n";
    return 1;
  }
  return 0;
}
