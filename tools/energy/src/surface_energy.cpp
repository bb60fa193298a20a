#include "energy/surface_energy.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

#include "common/fatal_error.hpp"
#include "structure/cell_grid.hpp"
#include "structure/geometry.hpp"
#include "structure/residues.hpp"

namespace energy::surface {
namespace {

using structure::kNoType;

// Neighbour counts within kNeighbourRadius, each unordered pair once.
std::vector<int> Count_Neighbours(const std::vector<const Atom_Record*>& atoms) {
  std::vector<int> counts(atoms.size(), 0);
  std::vector<structure::Point> points;
  points.reserve(atoms.size());
  for (const Atom_Record* atom : atoms) points.push_back({atom->x, atom->y, atom->z});
  const structure::Cell_Grid grid(points, kNeighbourRadius);
  const std::span<const std::uint32_t> order = grid.Order();
  const std::span<const structure::Point> sorted = grid.Sorted();
  // Candidates plainly out of reach (0.2 % beyond it, in single precision)
  // are dropped four at a time first; the rest are counted without a branch,
  // by position in the grid, then handed to their atoms.
  const auto beyond = static_cast<float>((kNeighbourRadius * 1.001 + 0.001) * (kNeighbourRadius * 1.001 + 0.001));
  std::vector<int> by_position(order.size(), 0);
  grid.For_Near_Candidates(beyond, [&](std::uint32_t s, const std::uint32_t* near, std::size_t kept) {
    const structure::Point p = sorted[s];
    int close = 0;
    for (std::size_t k = 0; k < kept; ++k) {
      const std::uint32_t t = near[k];
      const int is_close = structure::Single_Precision_Distance(p, sorted[t]) <= kNeighbourRadius ? 1 : 0;
      close += is_close;
      by_position[t] += is_close;
    }
    by_position[s] += close;
  });
  for (std::size_t k = 0; k < order.size(); ++k) counts[order[k]] = by_position[k];
  return counts;
}

}  // namespace

void Keep_Only_Directly_Required_Atoms(Atom_List& list) {
  structure::Remove_Atoms_Unless(list, [](const Atom_Record& a) { return a.atom_name == "CB"; });
  structure::Renumerate_Protein(list.first);
}

char Find_Accessible_Surface_Class(float count, int& surface_class, double range, double bin_size, int num_classes) {
  const double x = count;
  if (x > range) {
    surface_class = num_classes - 1;
    return 'Y';
  }
  for (int i = 0; i < num_classes; ++i) {
    const double low = i * bin_size;
    const double high = (i + 1) * bin_size;
    if (x > low && x <= high) {
      surface_class = i;
      return 'Y';
    }
  }
  surface_class = kNoType;
  return 'N';
}

Surface_Geometry::Surface_Geometry(const Atom_Record* first, const MFP_Table& table) : table_(table) {
  std::vector<const Atom_Record*> atoms;
  for (const Atom_Record* atom = first; atom; atom = atom->next) atoms.push_back(atom);
  for (const int count : Count_Neighbours(atoms)) {
    int surface_class = 0;
    const bool scored = Find_Accessible_Surface_Class(static_cast<float>(count), surface_class, table.range,
                                                      table.bin_size, table.dim_val[1]) == 'Y';
    classes_.push_back(scored ? surface_class : -1);
  }
}

double Surface_Geometry::Energy(std::span<const char> atom_codes) const {
  const int classes = table_.dim_val[1];
  double energy = 0.0;
  for (std::size_t i = 0; i < classes_.size(); ++i) {
    if (classes_[i] < 0) continue;
    const std::size_t type = structure::aa_1_letter.find(atom_codes[i]);
    if (type == std::string_view::npos)
      common::Fail(common::kExitBang, "residue code '%c' has no surface type", atom_codes[i]);
    energy += table_.values[type * static_cast<std::size_t>(classes) + static_cast<std::size_t>(classes_[i])];
  }
  return energy;
}

namespace {

// A code's row is its type * classes; kUnknownRow, a bit above every row,
// marks a code outside the table, so or-ing the rows shows any.
constexpr std::uint32_t kUnknownRow = 0x80000000U;

// Adds every scored atom's value, in atom order, to the sums of sequences
// first .. first + Group - 1, kept in registers; `seen` collects the rows.
template <std::size_t Group>
[[gnu::always_inline]] inline void Add_Atoms(std::span<const std::uint32_t> scored, const int* classes,
                                             const char* codes, std::size_t count, const double* values,
                                             const std::array<std::uint32_t, 256>& row_of, std::size_t first,
                                             double* sums, std::uint32_t& seen) {
  double sum[Group];
#pragma GCC unroll 8
  for (std::size_t k = 0; k < Group; ++k) sum[k] = sums[first + k];
  std::uint32_t rows = 0;
  for (const std::uint32_t i : scored) {
    const double* const column = values + classes[i];
    const char* const code = codes + static_cast<std::size_t>(i) * count + first;
#pragma GCC unroll 8
    for (std::size_t k = 0; k < Group; ++k) {
      const std::uint32_t row = row_of[static_cast<unsigned char>(code[k])];
      rows |= row;
      sum[k] += column[row & ~kUnknownRow];
    }
  }
#pragma GCC unroll 8
  for (std::size_t k = 0; k < Group; ++k) sums[first + k] = sum[k];
  seen |= rows;
}

}  // namespace

// Each sum keeps its values in atom order; a few sequences go along the
// atoms at a time with their sums in registers.
[[gnu::optimize("no-tree-vectorize")]] void Surface_Geometry::Energies(std::span<const char> codes, std::size_t count,
                                                                       std::span<double> energies) const {
  const std::size_t classes = static_cast<std::size_t>(table_.dim_val[1]);
  std::fill(energies.begin(), energies.end(), 0.0);
  double* const sums = energies.data();
  std::array<std::uint32_t, 256> row_of{};
  row_of.fill(kUnknownRow);
  for (std::size_t type = 0; type < structure::aa_1_letter.size(); ++type)
    row_of[static_cast<unsigned char>(structure::aa_1_letter[type])] = static_cast<std::uint32_t>(type * classes);
  std::vector<std::uint32_t> scored;
  for (std::size_t i = 0; i < classes_.size(); ++i)
    if (classes_[i] >= 0) scored.push_back(static_cast<std::uint32_t>(i));
  constexpr std::size_t kGroup = 8;
  std::uint32_t seen = 0;
  const double* const values = table_.values.data();
  std::size_t s = 0;
  for (; s + kGroup <= count; s += kGroup)
    Add_Atoms<kGroup>(scored, classes_.data(), codes.data(), count, values, row_of, s, sums, seen);
  for (; s < count; ++s) Add_Atoms<1>(scored, classes_.data(), codes.data(), count, values, row_of, s, sums, seen);
  if (seen & kUnknownRow) {
    for (const std::uint32_t i : scored)
      for (std::size_t t = 0; t < count; ++t)
        if (const char code = codes[i * count + t]; row_of[static_cast<unsigned char>(code)] == kUnknownRow)
          common::Fail(common::kExitBang, "residue code '%c' has no surface type", code);
  }
}

}  // namespace energy::surface
