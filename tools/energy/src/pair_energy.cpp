#include "energy/pair_energy.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <numeric>
#include <optional>

#include "common/fatal_error.hpp"
#include "structure/cell_grid.hpp"
#include "structure/geometry.hpp"
#include "structure/residues.hpp"

namespace energy::pair {
namespace {

using structure::kNoType;

// Residue order of the pair atom types; the CA of the residue at position p
// has type 2p+1 and its CB 2p+2.
constexpr std::string_view kPairTypeOrder = "GAVLIMPFWSTQKYNCEDRH";

constexpr std::array<int, 256> Make_CA_Type_Table() {
  std::array<int, 256> table{};
  for (int& t : table) t = kNoType;
  for (std::size_t p = 0; p < kPairTypeOrder.size(); ++p)
    table[static_cast<unsigned char>(kPairTypeOrder[p])] = 2 * static_cast<int>(p) + 1;
  return table;
}
constexpr std::array<int, 256> kCAType = Make_CA_Type_Table();

// Table index (type - 1) of a CA or CB of a residue code; -1 outside the table.
int Table_Type(char code, bool is_cb) {
  const int ca = kCAType[static_cast<unsigned char>(code)];
  return ca == kNoType ? -1 : ca - 1 + (is_cb ? 1 : 0);
}

// Sequences evaluated together along a run of pairs.
constexpr std::size_t kGroup = 8;

// Adds the values of a few pairs of one first atom for sequences first ..
// first + Group - 1, each in pair order. `blocks` holds each pair's block of
// the grouped table, `partners` where each second atom's types of these
// sequences start (moved on past them), `row` the first atom's row (type *
// 20) in every sequence.
// A value is then one byte load, one integer addition and one addition from
// memory.
template <std::size_t Group>
[[gnu::always_inline, gnu::optimize("no-tree-slp-vectorize")]] inline void Add_Run(const double* const* blocks,
                                                                                   const std::uint8_t** partners,
                                                                                   std::size_t pairs,
                                                                                   const std::uint16_t* row,
                                                                                   std::size_t first, double* sums) {
  double sum[Group];
  std::uint32_t row_of[Group];
#pragma GCC unroll 8
  for (std::size_t k = 0; k < Group; ++k) {
    sum[k] = sums[first + k];
    row_of[k] = row[first + k];
  }
  for (std::size_t p = 0; p < pairs; ++p) {
    const double* const block = blocks[p];
    const std::uint8_t* const residue_b = partners[p];
    partners[p] = residue_b + Group;  // where the next group's bytes start
#pragma GCC unroll 8
    for (std::size_t k = 0; k < Group; ++k) sum[k] += block[row_of[k] + residue_b[k]];
  }
#pragma GCC unroll 8
  for (std::size_t k = 0; k < Group; ++k) sums[first + k] = sum[k];
}

// Separation_Class of 0 .. 8, and of 9 for all above.
constexpr std::array<int, 10> kSeparationClass = {-1, -1, -1, 0, 1, 2, 3, 4, 5, 6};

// Distance_Bin, inline for the pair search.
inline int Bin_Of(float distance, double range, double bin_size, int num_bins) {
  const double d = distance;
  if (d > range) return -1;
  // The bins do not overlap (bin i's upper bound is bin i + 1's lower bound,
  // computed alike), so the bin the search would find is the one bin whose
  // test passes; it is next to d / bin_size unless rounding is pathological.
  const double guess = std::ceil(d / bin_size) - 1.0;
  if (guess >= 0.0 && guess < num_bins) {
    const int centre = static_cast<int>(guess);
    if (d > centre * bin_size && d <= (centre + 1) * bin_size) return centre;
    for (const int i : {centre - 1, centre + 1})
      if (i >= 0 && i < num_bins && d > i * bin_size && d <= (i + 1) * bin_size) return i;
  }
  int bin = 0;
  return Find_Distance_Dependent_Class(distance, bin, range, bin_size, num_bins) == 'Y' ? bin : -1;
}

}  // namespace

int Get_AA_CA_CB_Atom_Type(const Atom_Record& atom) {
  const int ca = kCAType[static_cast<unsigned char>(atom.aa_code)];
  if (ca == kNoType) return kNoType;
  if (atom.atom_name == "CA") return ca;
  if (atom.atom_name == "CB") return ca + 1;
  return kNoType;
}

void Keep_Only_Directly_Required_Atoms(Atom_List& list) {
  structure::Remove_Atoms_Unless(list, [](const Atom_Record& a) { return a.atom_name == "CA" || a.atom_name == "CB"; });
  structure::Renumerate_Protein(list.first);
}

int Separation_Class(int k) {
  if (k < 3) return -1;
  if (k <= 8) return k - 3;
  return 6;
}

char Find_Distance_Dependent_Class(float distance, int& bin, double range, double bin_size, int num_bins) {
  const double d = distance;
  if (d > range) return 'N';
  for (int i = 0; i < num_bins; ++i) {
    const double low = i * bin_size;
    const double high = (i + 1) * bin_size;
    if (d > low && d <= high) {
      bin = i;
      return 'Y';
    }
  }
  bin = kNoType;
  return 'N';
}

int Distance_Bin(float distance, double range, double bin_size, int num_bins) {
  return Bin_Of(distance, range, bin_size, num_bins);
}

Distance_Bins::Distance_Bins(double range, double bin_size, int num_bins)
    : range_(range), bin_size_(bin_size), num_bins_(num_bins) {
  if (num_bins < 1 || !(bin_size > 0.0) || !std::isfinite(1.0 / bin_size) || std::isnan(range)) return;
  const auto at_most = [](double x) {
    float f = static_cast<float>(x);
    if (static_cast<double>(f) > x) f = std::nextafter(f, -INFINITY);
    return f;
  };
  for (int k = 0; k <= num_bins; ++k) bound_.push_back(at_most(k * bin_size));
  top_ = std::min(at_most(range), bound_.back());
  // A distance up to top_ is then less than a quarter of a bin from where
  // d / bin_size puts it.
  if (!(bin_size >= 4.0 * (std::nextafter(top_, INFINITY) - top_))) {
    bound_.clear();
    return;
  }
  inverse_ = 1.0 / bin_size;
  last_ = num_bins - 1;
}

Pair_Geometry::Pair_Geometry(const Atom_Record* first, const MFP_Table& table) : table_(table) {
  // What the classification reads, gathered once: coordinates, residue
  // numbers, and chains as small numbers (equal chains, equal numbers).
  std::vector<structure::Point> points;
  std::vector<int> residue;
  std::vector<std::uint32_t> chain;
  std::vector<const std::string*> chains;
  for (const Atom_Record* atom = first; atom; atom = atom->next) {
    is_cb_.push_back(atom->atom_name == "CB");
    points.push_back({atom->x, atom->y, atom->z});
    residue.push_back(atom->aa_number);
    if (chain.empty() || *chains[chain.back()] != atom->chain) {
      auto known = std::find_if(chains.begin(), chains.end(), [&](const std::string* c) { return *c == atom->chain; });
      if (known == chains.end()) known = chains.insert(chains.end(), &atom->chain);
      chain.push_back(static_cast<std::uint32_t>(known - chains.begin()));
    } else {
      chain.push_back(chain.back());
    }
  }
  const int bins = table.dim_val[3];
  const Distance_Bins distance_bins(table.range, table.bin_size, bins);
  // Most candidates are plainly out of range: they are rejected first, in
  // single precision, before the separation, the rounding steps and the
  // root. The margin (0.2 %) is far beyond the rounding of a few float
  // operations; a coordinate that is not finite never compares greater and
  // goes on. The test is symmetric in the two points, bit for bit, and the
  // grid's For_Near_Candidates takes the same.
  const double beyond_range = (table.range * 1.001 + 0.001) * (table.range * 1.001 + 0.001);
  const auto beyond_range_float = static_cast<float>(beyond_range);
  auto plainly_out = [&](const structure::Point& p, const structure::Point& q) __attribute__((always_inline)) {
    const float fx = q.x - p.x;
    const float fy = q.y - p.y;
    const float fz = q.z - p.z;
    return fy * fy + fx * fx + fz * fz > beyond_range_float;
  };
  // The cell of the pair (i, j) as the all-pairs walk finds it, or -1 when
  // the pair is not scored: Find_K, Separation_Class, Find_Non_Squared_Distance
  // and Find_Distance_Dependent_Class on the gathered values.
  auto scored_cell = [&](std::uint32_t i, std::uint32_t j) __attribute__((always_inline))->int {
    // Separation_Class without a branch on the separation.
    const int k = chain[i] != chain[j] ? 100 : std::abs(residue[i] - residue[j]);
    const int separation = kSeparationClass[static_cast<std::size_t>(std::min(k, 9))];
    if (separation < 0) return -1;
    const int bin = distance_bins.Bin(structure::Single_Precision_Distance(points[i], points[j]));
    return bin < 0 ? -1 : separation * bins + bin;
  };
  const auto n = static_cast<std::uint32_t>(points.size());
  if (!(table.range > 0.0 && std::isfinite(table.range))) {
    for (std::uint32_t i = 0; i < n; ++i)
      for (std::uint32_t j = i + 1; j < n; ++j) {
        if (plainly_out(points[i], points[j])) continue;
        if (const int cell = scored_cell(i, j); cell >= 0) pairs_.push_back({i, j, static_cast<std::uint32_t>(cell)});
      }
  } else {
    // Only atoms in nearby cells can be within range. The grid yields each
    // close pair once, in cell order; two stable counting passes, by second
    // atom and then by first, put them in the order of the walk over all
    // pairs.
    const structure::Cell_Grid grid(points, table.range);
    const std::span<const std::uint32_t> order = grid.Order();
    std::vector<Scored_Pair> found;
    // A folded chain has some fifty scored pairs per atom: room for most of
    // them at once saves copying the list as it grows.
    found.reserve(static_cast<std::size_t>(n) * 32);
    std::vector<std::size_t> first_count(n + 1, 0), second_count(n + 1, 0);
    grid.For_Near_Candidates(beyond_range_float, [&](std::uint32_t s, const std::uint32_t* near, std::size_t kept) {
      const std::uint32_t i = order[s];
      for (std::size_t k = 0; k < kept; ++k) {
        const std::uint32_t j = order[near[k]];
        const std::uint32_t a = std::min(i, j);
        const std::uint32_t b = std::max(i, j);
        if (const int cell = scored_cell(a, b); cell >= 0) {
          found.push_back({a, b, static_cast<std::uint32_t>(cell)});
          ++first_count[a + 1];
          ++second_count[b + 1];
        }
      }
    });
    std::partial_sum(first_count.begin(), first_count.end(), first_count.begin());
    std::partial_sum(second_count.begin(), second_count.end(), second_count.begin());
    const auto by_second = std::make_unique_for_overwrite<Scored_Pair[]>(found.size());
    for (const Scored_Pair& p : found) by_second[second_count[p.b]++] = p;
    pairs_ = std::move(found);
    for (std::size_t k = 0; k < pairs_.size(); ++k) pairs_[first_count[by_second[k].a]++] = by_second[k];
  }
  row_a_.resize(n);
  row_b_.resize(n);
  cb_.assign(is_cb_.begin(), is_cb_.end());
}

double Pair_Geometry::Energy(std::span<const char> atom_codes) {
  // Index of (type a, type b, separation, bin) = type_a*S + type_b*C + cell,
  // with C = classes*bins and S = types*C; the two type terms per atom are
  // formed once per evaluation.
  const int cells = table_.dim_val[2] * table_.dim_val[3];
  const int stride_a = table_.dim_val[1] * cells;
  for (std::size_t i = 0; i < atom_codes.size(); ++i) {
    const int type = Table_Type(atom_codes[i], is_cb_[i]);
    if (type < 0) common::Fail(common::kExitBang, "residue code '%c' has no pair atom type", atom_codes[i]);
    row_a_[i] = type * stride_a;
    row_b_[i] = type * cells;
  }
  const double* values = table_.values.data();
  double energy = 0.0;
  for (const Scored_Pair& p : pairs_) energy += values[row_a_[p.a] + row_b_[p.b] + static_cast<std::int32_t>(p.cell)];
  return energy;
}

std::vector<double> Group_Blocks(const MFP_Table& table) {
  constexpr std::size_t kResidues = kPairTypeOrder.size();
  constexpr std::size_t kBlock = kResidues * kResidues;
  const std::size_t cells = static_cast<std::size_t>(table.dim_val[2]) * static_cast<std::size_t>(table.dim_val[3]);
  const std::size_t stride_a = static_cast<std::size_t>(table.dim_val[1]) * cells;
  std::vector<double> grouped(4 * cells * kBlock);
  for (std::size_t a = 0; a < 2 * kResidues; ++a) {
    for (std::size_t b = 0; b < 2 * kResidues; ++b) {
      // Types a and b in table order: CA of residue a / 2 when even.
      const std::size_t kind = 2 * (a % 2) + b % 2;
      const double* const in = table.values.data() + a * stride_a + b * cells;
      double* const out = grouped.data() + kind * cells * kBlock + (a / 2) * kResidues + b / 2;
      for (std::size_t cell = 0; cell < cells; ++cell) out[cell * kBlock] = in[cell];
    }
  }
  return grouped;
}

// Without the pairing of two sums into one vector addition, which costs two
// loads and an addition for two values where plain additions from memory
// take one instruction each.
[[gnu::optimize("no-tree-slp-vectorize")]] void Pair_Geometry::Energies(std::span<const char> codes, std::size_t count,
                                                                        std::span<double> energies) const {
  constexpr std::size_t kResidues = kPairTypeOrder.size();
  constexpr std::size_t kBlock = kResidues * kResidues;
  const std::size_t cells = static_cast<std::size_t>(table_.dim_val[2]) * static_cast<std::size_t>(table_.dim_val[3]);
  std::vector<double> own;
  if (table_.pair_blocks.size() != 4 * cells * kBlock) own = Group_Blocks(table_);
  const std::vector<double>& grouped = own.empty() ? table_.pair_blocks : own;
  // Residue type (position in kPairTypeOrder) of every atom in every
  // sequence, and its row in a block (type * 20) for the first atom of a pair.
  const std::size_t atoms = is_cb_.size();
  std::vector<std::uint8_t> residue(atoms * count);
  std::vector<std::uint16_t> row(atoms * count);
  for (std::size_t i = 0; i < atoms; ++i) {
    for (std::size_t s = 0; s < count; ++s) {
      const char code = codes[i * count + s];
      const int ca = kCAType[static_cast<unsigned char>(code)];
      if (ca == kNoType) common::Fail(common::kExitBang, "residue code '%c' has no pair atom type", code);
      const auto type = static_cast<std::uint8_t>(ca / 2);
      residue[i * count + s] = type;
      row[i * count + s] = static_cast<std::uint16_t>(type * kResidues);
    }
  }

  // The pairs of one first atom follow one another. Along a few of them, a
  // group of sequences keeps its sums and its first atom's rows in
  // registers; the few pairs' blocks stay in the first-level cache while all
  // groups go through them.
  constexpr std::size_t kChunk = 8;
  std::fill(energies.begin(), energies.end(), 0.0);
  std::array<const double*, kChunk> blocks{};
  std::array<const std::uint8_t*, kChunk> partners{};
  for (std::size_t run = 0; run < pairs_.size();) {
    std::size_t end = run + 1;
    while (end < pairs_.size() && end - run < kChunk && pairs_[end].a == pairs_[run].a) ++end;
    for (std::size_t p = run; p < end; ++p) {
      blocks[p - run] = grouped.data() + (Kind(pairs_[p]) * cells + pairs_[p].cell) * kBlock;
      partners[p - run] = residue.data() + static_cast<std::size_t>(pairs_[p].b) * count;
    }
    const std::uint16_t* const row_a = row.data() + static_cast<std::size_t>(pairs_[run].a) * count;
    std::size_t s = 0;
    // Each group moves the partners' pointers on to the next group's bytes.
    for (; s + kGroup <= count; s += kGroup)
      Add_Run<kGroup>(blocks.data(), partners.data(), end - run, row_a, s, energies.data());
    for (; s < count; ++s) Add_Run<1>(blocks.data(), partners.data(), end - run, row_a, s, energies.data());
    run = end;
  }
}

}  // namespace energy::pair
