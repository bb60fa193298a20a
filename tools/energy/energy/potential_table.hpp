// Statistical potential tables: a dense row-major table of doubles (the last
// index varies fastest), its shape, and the loaders of the two file formats.
//
// A potential file holds one entry per line, in row-major order: a pair line
// holds four integers and the value ("%d%d%d%d%lf"), a surface line two
// integers and the value ("%d%d%lf"). The integers are read but not used: a
// line's position alone fixes the entry it fills. Exactly matrix_size lines
// are read; whatever follows them is ignored.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace energy {

struct MFP_Table {
  int dim = 0;                    // number of dimensions
  std::array<int, 10> dim_val{};  // size of each dimension, outermost first
  int matrix_size = 1;            // product of the first dim sizes
  double range = 0.0;             // upper limit of the binned quantity
  double bin_size = 0.0;          // width of one bin of that quantity
  std::vector<double> values;     // matrix_size entries, zero-filled
  // A pair table's values again, as the evaluation of many sequences reads
  // them (pair::Group_Blocks); filled by Load_Potential, built on the fly
  // when empty.
  std::vector<double> pair_blocks;
};

// The pair table: atom type (40) x atom type (40) x separation class (7) x
// distance bin (30); distances up to 15.0 angstrom in bins of 0.5.
MFP_Table Pair_Table_Shape();
// The surface table: residue type (20) x accessibility class (20); neighbour
// counts up to 40 in bins of 2.
MFP_Table Surface_Table_Shape();

// Longest potential path the loader accepts.
inline constexpr std::size_t kMaxPotentialPath = 511;

// Load a file into table.values (S1*S2*S3*S4 or S1*S2 entries). A file that
// cannot be opened gives "cannot open file '%s' for reading\n" "program will
// finish now.\n\n"; a missing line, or one without its integers and value, is
// refused naming the file and line. Both throw Fatal_Error.
void Read_MFP_Pair(const std::string& path, std::vector<double>& table, int s1, int s2, int s3, int s4);
void Read_MFP_Surf(const std::string& path, std::vector<double>& table, int s1, int s2);

// Allocates the zero-filled table of `shape` and loads `path` with the loader
// of its shape ("cannot allocate matrix in memory\n" "program will exit !\n"
// when it cannot be allocated).
MFP_Table Load_Potential(MFP_Table shape, const std::string& path);
// The same from the file's text, already read (messages name `path`).
MFP_Table Load_Potential_Text(MFP_Table shape, const std::string& path, std::string_view text);

// Position of an index tuple in the row-major table. Supports 2 to 5
// dimensions; any other count is fatal. Indices are not checked.
int Get_MFP_Index(int num_dims, const int* indices, const std::array<int, 10>& dim_val);

}  // namespace energy
