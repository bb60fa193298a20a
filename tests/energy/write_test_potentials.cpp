// Writes the synthetic potential files the end-to-end tests use:
//   write_test_potentials PAIR_FILE SURFACE_FILE
// (pair values from seed 1, surface values from seed 2).
#include <cstdio>

#include "support/potentials.hpp"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: write_test_potentials PAIR_FILE SURFACE_FILE\n", stderr);
    return 2;
  }
  test_support::Write_Text_File(argv[1], test_support::Pair_Potential_Text(1));
  test_support::Write_Text_File(argv[2], test_support::Surface_Potential_Text(2));
  return 0;
}
