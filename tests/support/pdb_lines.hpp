// Building PDB atom lines column by column for hand-made fixtures.
#pragma once

#include <cstdio>
#include <string>

namespace test_support {

struct Pdb_Atom {
  const char* record = "ATOM";
  int serial = 1;
  const char* name = " CA ";  // columns 13-16 as they stand in the file
  char alt_loc = ' ';
  const char* residue = "ALA";
  char chain = 'A';
  int residue_number = 1;
  char insertion = ' ';
  double x = 0, y = 0, z = 0;
  double occupancy = 1.0;
  double temp_factor = 20.0;
};

inline std::string Atom_Line(const Pdb_Atom& a) {
  char line[100];
  std::snprintf(line, sizeof line, "%-6s%5d %-4s%c%3s %c%4d%c   %8.3f%8.3f%8.3f%6.2f%6.2f\n", a.record, a.serial,
                a.name, a.alt_loc, a.residue, a.chain, a.residue_number, a.insertion, a.x, a.y, a.z, a.occupancy,
                a.temp_factor);
  return line;
}

// The four backbone atoms and CB of one residue (no CB for glycine), placed
// along x so that residues do not overlap.
inline std::string Residue_Lines(const char* residue, char chain, int number, int first_serial = 1) {
  const double base = number * 3.8;
  std::string lines;
  const char* names[] = {" N  ", " CA ", " C  ", " O  ", " CB "};
  const double dx[] = {-1.2, 0.0, 1.3, 1.6, 0.2};
  const double dy[] = {0.5, 0.0, 0.6, 1.8, -1.4};
  const bool glycine = std::string(residue) == "GLY";
  for (int i = 0; i < (glycine ? 4 : 5); ++i) {
    Pdb_Atom atom;
    atom.serial = first_serial + i;
    atom.name = names[i];
    atom.residue = residue;
    atom.chain = chain;
    atom.residue_number = number;
    atom.x = base + dx[i];
    atom.y = dy[i];
    atom.z = 0.1 * number;
    lines += Atom_Line(atom);
  }
  return lines;
}

}  // namespace test_support
