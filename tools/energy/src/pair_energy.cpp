#include "energy/pair_energy.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "common/fatal_error.hpp"
#include "structure/cell_grid.hpp"
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

// Find_Non_Squared_Distance on coordinates.
float Distance(const structure::Point& a, const structure::Point& b) {
  const double dx = static_cast<double>(b.x) - static_cast<double>(a.x);
  const double dy = static_cast<double>(b.y) - static_cast<double>(a.y);
  const double dz = static_cast<double>(b.z) - static_cast<double>(a.z);
  const float squared = static_cast<float>(dy * dy + dx * dx + dz * dz);
  return static_cast<float>(std::sqrt(static_cast<double>(squared)));
}

// Sequences evaluated together along a run of pairs.
constexpr std::size_t kGroup = 8;

// Adds the values of a few pairs of one first atom for sequences
// first .. first + Group - 1, each in pair order.
template <std::size_t Group>
void Add_Run(const double* grouped, const std::uint8_t* residue, const std::uint8_t* residue_a, std::size_t count,
             std::size_t first, std::span<const Pair_Geometry::Scored_Pair> pairs, const std::uint32_t* block_of,
             double* sums) {
  constexpr std::size_t kResidues = kPairTypeOrder.size();
  double sum[Group];
  std::uint32_t row[Group];
#pragma GCC unroll 8
  for (std::size_t k = 0; k < Group; ++k) {
    sum[k] = sums[first + k];
    row[k] = static_cast<std::uint32_t>(residue_a[first + k] * kResidues);
  }
  for (std::size_t p = 0; p < pairs.size(); ++p) {
    const double* const block = grouped + block_of[p];
    const std::uint8_t* const residue_b = residue + pairs[p].b * count + first;
#pragma GCC unroll 8
    for (std::size_t k = 0; k < Group; ++k) sum[k] += block[row[k] + residue_b[k]];
  }
#pragma GCC unroll 8
  for (std::size_t k = 0; k < Group; ++k) sums[first + k] = sum[k];
}

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
    for (int i = std::max(centre - 1, 0); i <= std::min(centre + 1, num_bins - 1); ++i)
      if (d > i * bin_size && d <= (i + 1) * bin_size) return i;
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

int Set_AA_CA_CB_Atom_Type(Atom_Record* first) {
  int untyped = 0;
  for (Atom_Record* atom = first; atom; atom = atom->next) {
    atom->atom_type = Get_AA_CA_CB_Atom_Type(*atom);
    if (atom->atom_type == kNoType) ++untyped;
  }
  return untyped;
}

void Correct_Atom_Types(Atom_Record* first) {
  for (Atom_Record* atom = first; atom; atom = atom->next) atom->atom_type -= 1;
}

void Define_Atom_Types(Atom_Record* first) {
  Set_AA_CA_CB_Atom_Type(first);
  Correct_Atom_Types(first);
}

void Keep_Only_Directly_Required_Atoms(Atom_List& list) {
  structure::Remove_Atoms_Unless(list, [](const Atom_Record& a) { return a.atom_name == "CA" || a.atom_name == "CB"; });
  structure::Renumerate_Protein(list.first);
}

void Initialize_Calculated_Values(Atom_Record* first) {
  for (Atom_Record* atom = first; atom; atom = atom->next) atom->neighbours = 0;
}

int Find_K(const Atom_Record& a, const Atom_Record& b) {
  if (a.chain != b.chain) return 100;
  return std::abs(a.aa_number - b.aa_number);
}

int Separation_Class(int k) {
  if (k < 3) return -1;
  if (k <= 8) return k - 3;
  return 6;
}

float Find_Non_Squared_Distance(const Atom_Record& a, const Atom_Record& b) {
  return Distance({a.x, a.y, a.z}, {b.x, b.y, b.z});
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

void Energy_Profile_Distance_Dependent(Atom_Record* first, const MFP_Table& table, double& energy) {
  Initialize_Calculated_Values(first);
  energy = 0.0;
  for (Atom_Record* a = first; a; a = a->next) {
    for (Atom_Record* b = a->next; b; b = b->next) {
      const int separation = Separation_Class(Find_K(*a, *b));
      if (separation < 0) continue;
      const float d = Find_Non_Squared_Distance(*a, *b);
      if (!(d <= table.range)) continue;
      int bin = 0;
      if (Find_Distance_Dependent_Class(d, bin, table.range, table.bin_size, table.dim_val[3]) != 'Y') continue;
      const int tuple[10] = {a->atom_type, b->atom_type, separation, bin};
      energy += table.values[static_cast<std::size_t>(Get_MFP_Index(4, tuple, table.dim_val))];
    }
  }
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
  // The cell of the pair (i, j) as the all-pairs walk finds it, or -1 when
  // the pair is not scored: Find_K, Separation_Class, Find_Non_Squared_Distance
  // and Find_Distance_Dependent_Class on the gathered values.
  const double beyond_range = (table.range * 1.001 + 0.001) * (table.range * 1.001 + 0.001);
  const auto beyond_range_float = static_cast<float>(beyond_range);
  auto cell_of = [&](std::uint32_t i, std::uint32_t j) __attribute__((always_inline))->int {
    // Most candidates are plainly out of range: reject them first, in single
    // precision, before the separation, the rounding steps and the root. The
    // margin (0.2 %) is far beyond the rounding of a few float operations; a
    // coordinate that is not finite never compares greater and goes on.
    const float fx = points[j].x - points[i].x;
    const float fy = points[j].y - points[i].y;
    const float fz = points[j].z - points[i].z;
    if (fy * fy + fx * fx + fz * fz > beyond_range_float) return -1;
    const int separation = Separation_Class(chain[i] != chain[j] ? 100 : std::abs(residue[i] - residue[j]));
    if (separation < 0) return -1;
    const float d = Distance(points[i], points[j]);
    if (!(d <= table.range)) return -1;
    const int bin = Bin_Of(d, table.range, table.bin_size, bins);
    return bin < 0 ? -1 : separation * bins + bin;
  };
  const auto n = static_cast<std::uint32_t>(points.size());
  if (!(table.range > 0.0 && std::isfinite(table.range))) {
    for (std::uint32_t i = 0; i < n; ++i)
      for (std::uint32_t j = i + 1; j < n; ++j)
        if (const int cell = cell_of(i, j); cell >= 0) pairs_.push_back({i, j, static_cast<std::uint32_t>(cell)});
  } else {
    // Only atoms in neighbouring cells can be within range; each atom's
    // partners are then put in list order, so that the pairs come in the
    // order of the walk over all pairs.
    const structure::Cell_Grid grid(points, table.range);
    std::vector<std::uint64_t> partners;  // partner << 32 | cell
    for (std::uint32_t i = 0; i < n; ++i) {
      partners.clear();
      grid.For_Later_Candidates(i, [&](std::uint32_t j) {
        if (const int cell = cell_of(i, j); cell >= 0)
          partners.push_back(static_cast<std::uint64_t>(j) << 32 | static_cast<std::uint32_t>(cell));
      });
      std::sort(partners.begin(), partners.end());
      for (const std::uint64_t p : partners)
        pairs_.push_back({i, static_cast<std::uint32_t>(p >> 32), static_cast<std::uint32_t>(p)});
    }
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

void Pair_Geometry::Energies(std::span<const char> codes, std::size_t count, std::span<double> energies) const {
  constexpr std::size_t kResidues = kPairTypeOrder.size();
  constexpr std::size_t kBlock = kResidues * kResidues;
  const std::size_t cells = static_cast<std::size_t>(table_.dim_val[2]) * static_cast<std::size_t>(table_.dim_val[3]);
  std::vector<double> own;
  if (table_.pair_blocks.size() != 4 * cells * kBlock) own = Group_Blocks(table_);
  const std::vector<double>& grouped = own.empty() ? table_.pair_blocks : own;
  std::vector<std::uint32_t> block_of(pairs_.size());
  for (std::size_t k = 0; k < pairs_.size(); ++k)
    block_of[k] = static_cast<std::uint32_t>((Kind(pairs_[k]) * cells + pairs_[k].cell) * kBlock);

  // Residue type (position in kPairTypeOrder) of every atom in every sequence.
  const std::size_t atoms = is_cb_.size();
  std::vector<std::uint8_t> residue(atoms * count);
  for (std::size_t i = 0; i < atoms; ++i) {
    for (std::size_t s = 0; s < count; ++s) {
      const char code = codes[i * count + s];
      if (Table_Type(code, is_cb_[i]) < 0)
        common::Fail(common::kExitBang, "residue code '%c' has no pair atom type", code);
      residue[i * count + s] = static_cast<std::uint8_t>(kCAType[static_cast<unsigned char>(code)] / 2);
    }
  }

  // The pairs of one first atom follow one another. Along a few of them, a
  // group of sequences keeps its sums and its first atom's rows in
  // registers; the few pairs' blocks stay in the first-level cache while all
  // groups go through them.
  constexpr std::size_t kChunk = 8;
  std::fill(energies.begin(), energies.end(), 0.0);
  for (std::size_t run = 0; run < pairs_.size();) {
    std::size_t end = run + 1;
    while (end < pairs_.size() && end - run < kChunk && pairs_[end].a == pairs_[run].a) ++end;
    const auto chunk = std::span(pairs_).subspan(run, end - run);
    const std::uint8_t* const residue_a = residue.data() + pairs_[run].a * count;
    std::size_t s = 0;
    for (; s + kGroup <= count; s += kGroup)
      Add_Run<kGroup>(grouped.data(), residue.data(), residue_a, count, s, chunk, block_of.data() + run,
                      energies.data());
    for (; s < count; ++s)
      Add_Run<1>(grouped.data(), residue.data(), residue_a, count, s, chunk, block_of.data() + run, energies.data());
    run = end;
  }
}

}  // namespace energy::pair
