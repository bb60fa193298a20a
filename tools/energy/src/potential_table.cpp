#include "energy/potential_table.hpp"

#include <new>
#include <string_view>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/scan.hpp"
#include "energy/pair_energy.hpp"

namespace energy {
namespace {

// Reads `count` entries from the text of the file at `path`, each line
// holding `integers` integers then the value, and stores them in file order.
void Load_Text_Lines(const std::string& path, std::string_view text, std::vector<double>& table, std::size_t count,
                     int integers) {
  std::size_t start = 0;
  for (std::size_t entry = 0; entry < count; ++entry) {
    if (start >= text.size())
      common::Fail(common::kFinishNow, "potential file '%s' ends at line %zu: %zu lines are needed", path.c_str(),
                   entry, count);
    const common::Scanned_Line line = common::Scan_Line_Ints_Then_Double(text.substr(start), integers);
    if (!line.value)
      common::Fail(common::kFinishNow,
                   "cannot read line %zu of potential file '%s': %d integers and a value are expected", entry + 1,
                   path.c_str(), integers);
    table[entry] = *line.value;
    start += line.next;
  }
}

common::Whole_File Open_Table(const std::string& path) {
  auto content = common::Whole_File::Open(path);
  if (!content) common::Fail(common::kFinishNow, "cannot open file '%s' for reading", path.c_str());
  return std::move(*content);
}

// The same, reading the file.
void Load_Lines(const std::string& path, std::vector<double>& table, std::size_t count, int integers) {
  Load_Text_Lines(path, Open_Table(path).Text(), table, count, integers);
}

// The shape's matrix, zero-filled.
MFP_Table Sized(MFP_Table shape) {
  shape.matrix_size = 1;
  for (int d = 0; d < shape.dim; ++d) shape.matrix_size *= shape.dim_val[d];
  try {
    shape.values.assign(static_cast<std::size_t>(shape.matrix_size), 0.0);
  } catch (const std::bad_alloc&) {
    common::Fail(common::kExitBang, "cannot allocate matrix in memory");
  }
  return shape;
}

// A sized table loaded from its file's text with the loader of its shape.
MFP_Table Filled(MFP_Table shape, const std::string& path, std::string_view text) {
  Load_Text_Lines(path, text, shape.values, static_cast<std::size_t>(shape.matrix_size), shape.dim == 4 ? 4 : 2);
  // Once per table, rather than once per structure evaluated with it.
  if (shape.dim == 4) shape.pair_blocks = pair::Group_Blocks(shape);
  return shape;
}

}  // namespace

MFP_Table Pair_Table_Shape() {
  MFP_Table shape;
  shape.dim = 4;
  shape.dim_val = {40, 40, 7, 30};
  shape.range = 15.0;
  shape.bin_size = 0.5;
  return shape;
}

MFP_Table Surface_Table_Shape() {
  MFP_Table shape;
  shape.dim = 2;
  shape.dim_val = {20, 20};
  shape.range = 40.0;
  shape.bin_size = 2.0;
  return shape;
}

void Read_MFP_Pair(const std::string& path, std::vector<double>& table, int s1, int s2, int s3, int s4) {
  Load_Lines(path, table, static_cast<std::size_t>(s1) * s2 * s3 * s4, 4);
}

void Read_MFP_Surf(const std::string& path, std::vector<double>& table, int s1, int s2) {
  Load_Lines(path, table, static_cast<std::size_t>(s1) * s2, 2);
}

MFP_Table Load_Potential(MFP_Table shape, const std::string& path) {
  shape = Sized(std::move(shape));
  return Filled(std::move(shape), path, Open_Table(path).Text());
}

MFP_Table Load_Potential_Text(MFP_Table shape, const std::string& path, std::string_view text) {
  return Filled(Sized(std::move(shape)), path, text);
}

int Get_MFP_Index(int num_dims, const int* indices, const std::array<int, 10>& dim_val) {
  if (num_dims < 2 || num_dims > 5)
    common::Fail(common::kFinishNow, "Array of more than 4 dimensions is undefined (routine 'Get_MFP_Index')");
  int position = indices[0];
  for (int d = 1; d < num_dims; ++d) position = position * dim_val[d] + indices[d];
  return position;
}

}  // namespace energy
