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

#if defined(__x86_64__) && defined(__GNUC__)
// GCC 12 takes the undefined operand several AVX-512 intrinsics pass on for
// an uninitialized value; the warning points into the header.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#endif

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

// Position of a residue code in kPairTypeOrder, kUnknownType outside it; the
// flag bit lies above every position, so or-ing the types shows any unknown.
constexpr std::uint8_t kUnknownType = 0x80;
constexpr std::array<std::uint8_t, 256> Make_Residue_Type_Table() {
  std::array<std::uint8_t, 256> table{};
  for (std::size_t c = 0; c < table.size(); ++c)
    table[c] = kCAType[c] == kNoType ? kUnknownType : static_cast<std::uint8_t>(kCAType[c] / 2);
  return table;
}
constexpr std::array<std::uint8_t, 256> kResidueType = Make_Residue_Type_Table();

// Table index (type - 1) of a CA or CB of a residue code; -1 outside the table.
int Table_Type(char code, bool is_cb) {
  const int ca = kCAType[static_cast<unsigned char>(code)];
  return ca == kNoType ? -1 : ca - 1 + (is_cb ? 1 : 0);
}

// Adds the values of a few pairs of one first atom for sequences first ..
// first + Group - 1, each in pair order. `blocks` holds each pair's block of
// the grouped table, `index` each pair's row of positions in its block
// (`stride` apart), one per sequence. A value is then one index load and one
// addition from memory. (No vectorizing here: it would pair two sums in one
// vector addition at the cost of two loads and a shuffle.)
template <std::size_t Group>
[[gnu::always_inline, gnu::optimize("no-tree-vectorize")]] inline void Add_Run(const double* const* blocks,
                                                                               const std::uint16_t* index,
                                                                               std::size_t stride, std::size_t pairs,
                                                                               std::size_t first, double* sums) {
  double sum[Group];
#pragma GCC unroll 16
  for (std::size_t k = 0; k < Group; ++k) sum[k] = sums[first + k];
  for (std::size_t p = 0; p < pairs; ++p) {
    const double* const block = blocks[p];
    const std::uint16_t* const at = index + p * stride + first;
#pragma GCC unroll 16
    for (std::size_t k = 0; k < Group; ++k) sum[k] += block[at[k]];
  }
#pragma GCC unroll 16
  for (std::size_t k = 0; k < Group; ++k) sums[first + k] = sum[k];
}

template <std::size_t Group>
[[gnu::always_inline]] inline void Add_Tail(const double* const* blocks, const std::uint16_t* index, std::size_t stride,
                                            std::size_t pairs, std::size_t first, std::size_t count, double* sums) {
  if constexpr (Group > 0) {
    if (count - first >= Group) {
      Add_Run<Group>(blocks, index, stride, pairs, first, sums);
      first += Group;
    }
    Add_Tail<Group / 2>(blocks, index, stride, pairs, first, count, sums);
  }
}

constexpr int Class_Of_Separation(int k) {
  if (k < 3) return -1;
  if (k <= 8) return k - 3;
  return 6;
}

// Separation_Class of 0 .. 8, and of 9 for all above.
constexpr std::array<int, 10> kSeparationClass = [] {
  std::array<int, 10> table{};
  for (int k = 0; k < 10; ++k) table[static_cast<std::size_t>(k)] = Class_Of_Separation(k);
  return table;
}();

// The positions in a block of Span sequences: row + type, in additions of
// the compiler's generic vectors of Lanes 16-bit lanes (eight where only
// SSE2 or NEON are sure, 32 for AVX-512).
template <std::size_t Span, std::size_t Lanes>
inline void Add_Positions(const std::uint16_t* types, const std::uint16_t* rows, std::uint16_t* out) {
  typedef std::uint16_t Vector __attribute__((vector_size(2 * Lanes)));
  static_assert(Span % Lanes == 0);
  for (std::size_t k = 0; k < Span; k += Lanes) {
    Vector type, row;
    std::memcpy(&type, types + k, sizeof type);
    std::memcpy(&row, rows + k, sizeof row);
    const Vector sum = type + row;
    std::memcpy(out + k, &sum, sizeof sum);
  }
}

// What a pass over the pairs reads. `residue` and `row` hold each atom's
// residue types and first-atom rows (type * 20) side by side, `count` per
// atom, followed by `stride` zeros; positions are formed for `stride`
// sequences, a multiple of the span, so that every vector is whole (the
// extra positions are valid and unused), and summed for the `count`.
struct Pass_Input {
  std::span<const Pair_Geometry::Scored_Pair> pairs;
  const std::uint8_t* cb;  // 1 for a CB, per atom
  const double* grouped;
  std::size_t cells;
  const std::uint16_t* residue;
  const std::uint16_t* row;
  std::size_t count, stride;
  double* sums;
};

// The pairs of one first atom follow one another. For up to kChunk of them,
// the positions of all sequences in the pairs' blocks are formed first (a
// few vector additions for a group), then each group of sequences keeps its
// sums in registers along those pairs, whose blocks stay in the first-level
// cache while all groups go through them.
template <std::size_t Group, std::size_t Span, std::size_t Lanes>
[[gnu::always_inline, gnu::optimize("no-tree-vectorize")]] inline void Pass(const Pass_Input& in) {
  constexpr std::size_t kChunk = 8;
  constexpr std::size_t kBlock = kPairTypeOrder.size() * kPairTypeOrder.size();
  std::array<const double*, kChunk> blocks{};
  std::vector<std::uint16_t> index(kChunk * in.stride);
  const std::size_t n = in.pairs.size();
  for (std::size_t run = 0; run < n;) {
    const std::uint32_t a = in.pairs[run].a;
    std::size_t end = run + 1;
    while (end < n && end - run < kChunk && in.pairs[end].a == a) ++end;
    const std::uint16_t* const row_a = in.row + static_cast<std::size_t>(a) * in.count;
    for (std::size_t p = run; p < end; ++p) {
      const Pair_Geometry::Scored_Pair& pair = in.pairs[p];
      const std::size_t kind = 2U * in.cb[a] + in.cb[pair.b];  // 0 CA-CA, 1 CA-CB, 2 CB-CA, 3 CB-CB
      blocks[p - run] = in.grouped + (kind * in.cells + pair.cell) * kBlock;
      const std::uint16_t* const types = in.residue + static_cast<std::size_t>(pair.b) * in.count;
      std::uint16_t* const out = index.data() + (p - run) * in.stride;
      for (std::size_t s = 0; s < in.stride; s += Span) Add_Positions<Span, Lanes>(types + s, row_a + s, out + s);
    }
    const std::size_t pairs = end - run;
    std::size_t s = 0;
    for (; s + Group <= in.count; s += Group) Add_Run<Group>(blocks.data(), index.data(), in.stride, pairs, s, in.sums);
    // The last few sequences in groups of 8, 4, 2 and 1, rather than a
    // whole group padded (7 lanes of 208 for the usual 201 sequences).
    Add_Tail<Group / 2>(blocks.data(), index.data(), in.stride, pairs, s, in.count, in.sums);
    run = end;
  }
}

// Sixteen sums fill the sixteen vector registers every x86-64 processor has
// (the values come from memory, the positions through general registers).
constexpr std::size_t kPortableGroup = 16, kPortableSpan = 16;
[[gnu::optimize("no-tree-vectorize"), gnu::flatten]] void Portable_Pass(const Pass_Input& in) {
  Pass<kPortableGroup, kPortableSpan, 8>(in);
}

#if defined(__x86_64__) && defined(__GNUC__)
// With AVX-512 the positions of 32 sequences are one vector addition.
constexpr std::size_t kWideGroup = 16, kWideSpan = 32;
[[gnu::target("avx512f,avx512bw,avx512vl"), gnu::optimize("no-tree-vectorize"), gnu::flatten]] void Wide_Pass(
    const Pass_Input& in) {
  Pass<kWideGroup, kWideSpan, kWideSpan>(in);
}
bool Wide_Pass_Runs() {
  static const bool runs =
      __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl");
  return runs;
}
#else
constexpr std::size_t kWideSpan = kPortableSpan;
void Wide_Pass(const Pass_Input& in) { Portable_Pass(in); }
bool Wide_Pass_Runs() { return false; }
#endif

// The scored pairs as the search finds them (in no particular order), each
// packed in one word, first atom, second atom, cell from the top, so that
// they sort as numbers and move as one; `count` of them are in use,
// uninitialized past it.
struct Found_Pairs {
  static constexpr int kCellBits = 16, kAtomBits = 24;
  static std::uint64_t Pack(std::uint32_t a, std::uint32_t b, std::uint32_t cell) {
    return std::uint64_t{a} << (kAtomBits + kCellBits) | std::uint64_t{b} << kCellBits | cell;
  }
  static std::uint32_t First(std::uint64_t word) { return static_cast<std::uint32_t>(word >> (kAtomBits + kCellBits)); }
  static std::uint32_t Second(std::uint64_t word) {
    return static_cast<std::uint32_t>(word >> kCellBits) & ((1U << kAtomBits) - 1);
  }
  static std::uint32_t Cell(std::uint64_t word) { return static_cast<std::uint32_t>(word) & ((1U << kCellBits) - 1); }

  std::unique_ptr<std::uint64_t[]> words;
  std::size_t count = 0, room = 0;
  void Push(std::uint32_t a, std::uint32_t b, std::uint32_t cell) {
    if (count == room) Grow(1);
    words[count++] = Pack(a, b, cell);
  }
  // Room for `more` past `count`.
  void Grow(std::size_t more) {
    if (count + more <= room) return;
    room = std::max(2 * room, count + more + 1024);
    auto grown = std::make_unique_for_overwrite<std::uint64_t[]>(room);
    if (words) std::copy_n(words.get(), count, grown.get());
    words = std::move(grown);
  }
};

// What the classification reads, per grid position, with a vector's worth
// of padding after the last.
struct Sorted_Atoms {
  std::vector<float> x, y, z;
  std::vector<std::int32_t> residue;
  std::vector<std::uint32_t> chain, index;
};

#if defined(__x86_64__) && defined(__GNUC__)
#define kWideTarget "avx512f,avx512bw,avx512vl,avx512dq,popcnt"

// The upper eight lanes. (A lane shuffle: the extract intrinsics leave an
// undefined operand that GCC 12 reports as uninitialized.)
[[gnu::target(kWideTarget), gnu::always_inline]] inline __m256 Upper_Half(__m512 v) {
  return _mm512_castps512_ps256(_mm512_shuffle_f32x4(v, v, 0xEE));
}
[[gnu::target(kWideTarget), gnu::always_inline]] inline __m256i Upper_Half(__m512i v) {
  return _mm512_castsi512_si256(_mm512_shuffle_i32x4(v, v, 0xEE));
}

// The scalar test's squared distance for eight lanes: the coordinates in
// double, dy^2 + dx^2 + dz^2, rounded to float.
[[gnu::target(kWideTarget), gnu::always_inline]] inline __m256 Squared_Distances(__m256 x, __m256 y, __m256 z,
                                                                                 __m512d px, __m512d py, __m512d pz) {
  const __m512d dx = _mm512_sub_pd(_mm512_cvtps_pd(x), px);
  const __m512d dy = _mm512_sub_pd(_mm512_cvtps_pd(y), py);
  const __m512d dz = _mm512_sub_pd(_mm512_cvtps_pd(z), pz);
  return _mm512_cvtpd_ps(
      _mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(dy, dy), _mm512_mul_pd(dx, dx)), _mm512_mul_pd(dz, dz)));
}

// Distance_Bins::Bin's first guess for eight distances.
[[gnu::target(kWideTarget), gnu::always_inline]] inline __m256i Bin_Guesses(__m256 d, __m512d inverse, __m512d last) {
  return _mm512_cvttpd_epi32(_mm512_min_pd(_mm512_mul_pd(_mm512_cvtps_pd(d), inverse), last));
}

// Eight pairs packed as Found_Pairs::Pack packs them.
[[gnu::target(kWideTarget), gnu::always_inline]] inline __m512i Packed(__m256i first, __m256i second, __m256i cell) {
  return _mm512_or_si512(
      _mm512_or_si512(_mm512_slli_epi64(_mm512_cvtepu32_epi64(first), Found_Pairs::kAtomBits + Found_Pairs::kCellBits),
                      _mm512_slli_epi64(_mm512_cvtepu32_epi64(second), Found_Pairs::kCellBits)),
      _mm512_cvtepu32_epi64(cell));
}

// The search's classification for sixteen candidates at a time, each step
// the very operation of the scalar one (the plain single-precision test, the
// separation, the distance in double rounded to float, the bin from the
// float bounds), so that it keeps exactly the pairs, with the same cells.
// Needs at most 32 bounds.
[[gnu::target(kWideTarget)]] void Wide_Search(const structure::Cell_Grid& grid, const Sorted_Atoms& atoms,
                                              const Distance_Bins& distance_bins, int bins, float limit,
                                              Found_Pairs& found) {
  std::array<float, 32> bound{};
  std::copy(distance_bins.Bounds().begin(), distance_bins.Bounds().end(), bound.begin());
  const __m512 bound_low = _mm512_loadu_ps(bound.data());
  const __m512 bound_high = _mm512_loadu_ps(bound.data() + 16);
  const __m512 lowest = _mm512_set1_ps(bound[0]);
  const __m512 top = _mm512_set1_ps(distance_bins.Top());
  const __m512 near_limit = _mm512_set1_ps(limit);
  const __m512d inverse = _mm512_set1_pd(distance_bins.Inverse());
  const __m512d last = _mm512_set1_pd(distance_bins.Last());
  const __m512i one = _mm512_set1_epi32(1), three = _mm512_set1_epi32(3), nine = _mm512_set1_epi32(9);
  const __m512i apart = _mm512_set1_epi32(100), bins_wide = _mm512_set1_epi32(bins);
  grid.For_Candidate_Runs([&](std::uint32_t s, std::uint32_t begin,
                              std::uint32_t end) __attribute__((target(kWideTarget))) {
    const __m512 px = _mm512_set1_ps(atoms.x[s]), py = _mm512_set1_ps(atoms.y[s]), pz = _mm512_set1_ps(atoms.z[s]);
    const __m512d pxd = _mm512_set1_pd(atoms.x[s]), pyd = _mm512_set1_pd(atoms.y[s]), pzd = _mm512_set1_pd(atoms.z[s]);
    const __m512i residue = _mm512_set1_epi32(atoms.residue[s]);
    const __m512i chain = _mm512_set1_epi32(static_cast<int>(atoms.chain[s]));
    const __m512i index = _mm512_set1_epi32(static_cast<int>(atoms.index[s]));
    for (std::uint32_t t = begin; t < end; t += 16) {
      const __mmask16 inside = end - t >= 16 ? 0xFFFF : static_cast<__mmask16>((1U << (end - t)) - 1);
      const __m512 x = _mm512_loadu_ps(atoms.x.data() + t);
      const __m512 y = _mm512_loadu_ps(atoms.y.data() + t);
      const __m512 z = _mm512_loadu_ps(atoms.z.data() + t);
      const __m512 fx = _mm512_sub_ps(x, px), fy = _mm512_sub_ps(y, py), fz = _mm512_sub_ps(z, pz);
      const __m512 plain =
          _mm512_add_ps(_mm512_add_ps(_mm512_mul_ps(fy, fy), _mm512_mul_ps(fx, fx)), _mm512_mul_ps(fz, fz));
      __mmask16 keep = _mm512_mask_cmp_ps_mask(inside, plain, near_limit, _CMP_NGT_UQ);
      if (keep == 0) continue;
      const __m512i other_chain = _mm512_loadu_si512(atoms.chain.data() + t);
      const __m512i apart_in_chain = _mm512_sub_epi32(residue, _mm512_loadu_si512(atoms.residue.data() + t));
      __m512i k = _mm512_max_epi32(apart_in_chain, _mm512_sub_epi32(_mm512_setzero_si512(), apart_in_chain));
      k = _mm512_mask_mov_epi32(k, _mm512_cmpneq_epi32_mask(chain, other_chain), apart);
      keep = _mm512_mask_cmpge_epi32_mask(keep, k, three);
      if (keep == 0) continue;
      const __m256 low_squared = Squared_Distances(_mm512_castps512_ps256(x), _mm512_castps512_ps256(y),
                                                   _mm512_castps512_ps256(z), pxd, pyd, pzd);
      const __m256 high_squared = Squared_Distances(Upper_Half(x), Upper_Half(y), Upper_Half(z), pxd, pyd, pzd);
      // The float root is the root in double rounded to float.
      const __m512 d = _mm512_sqrt_ps(_mm512_insertf32x8(_mm512_castps256_ps512(low_squared), high_squared, 1));
      keep = _mm512_mask_cmp_ps_mask(keep, d, lowest, _CMP_GT_OQ);
      keep = _mm512_mask_cmp_ps_mask(keep, d, top, _CMP_LE_OQ);
      if (keep == 0) continue;
      __m512i bin = _mm512_inserti32x8(_mm512_castsi256_si512(Bin_Guesses(_mm512_castps512_ps256(d), inverse, last)),
                                       Bin_Guesses(Upper_Half(d), inverse, last), 1);
      const __m512 upper = _mm512_permutex2var_ps(bound_low, _mm512_add_epi32(bin, one), bound_high);
      bin = _mm512_mask_add_epi32(bin, _mm512_cmp_ps_mask(d, upper, _CMP_GT_OQ), bin, one);
      const __m512 lower = _mm512_permutex2var_ps(bound_low, bin, bound_high);
      bin = _mm512_mask_sub_epi32(bin, _mm512_cmp_ps_mask(d, lower, _CMP_LE_OQ), bin, one);
      const __m512i cell =
          _mm512_add_epi32(_mm512_mullo_epi32(_mm512_sub_epi32(_mm512_min_epi32(k, nine), three), bins_wide), bin);
      const __m512i other = _mm512_loadu_si512(atoms.index.data() + t);
      const __m512i first = _mm512_min_epu32(index, other);
      const __m512i second = _mm512_max_epu32(index, other);
      // The kept pairs, eight lanes at a time, compressed in registers and
      // stored whole: the stores past the kept lanes are overwritten by the
      // next.
      found.Grow(16);
      const auto low_keep = static_cast<__mmask8>(keep & 0xFF);
      const auto high_keep = static_cast<__mmask8>(keep >> 8);
      const __m512i low =
          Packed(_mm512_castsi512_si256(first), _mm512_castsi512_si256(second), _mm512_castsi512_si256(cell));
      const __m512i high = Packed(Upper_Half(first), Upper_Half(second), Upper_Half(cell));
      _mm512_storeu_si512(found.words.get() + found.count, _mm512_maskz_compress_epi64(low_keep, low));
      found.count += static_cast<std::size_t>(__builtin_popcount(low_keep));
      _mm512_storeu_si512(found.words.get() + found.count, _mm512_maskz_compress_epi64(high_keep, high));
      found.count += static_cast<std::size_t>(__builtin_popcount(high_keep));
    }
  });
}
#undef kWideTarget
#endif

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

int Separation_Class(int k) { return Class_Of_Separation(k); }

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

Pair_Geometry::Pair_Geometry(const Atom_Record* first, const MFP_Table& table, [[maybe_unused]] Pass_Path path)
    : table_(table) {
  // What the classification reads, gathered once: coordinates, residue
  // numbers, and chains as small numbers (equal chains, equal numbers).
  std::vector<structure::Point> points;
  std::vector<int> residue;
  std::vector<std::uint32_t> chain;
  std::vector<const std::string*> chains;
  for (const Atom_Record* atom = first; atom; atom = atom->next) {
    cb_.push_back(atom->atom_name == "CB" ? 1 : 0);
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
    std::vector<Scored_Pair> walk;
    for (std::uint32_t i = 0; i < n; ++i)
      for (std::uint32_t j = i + 1; j < n; ++j) {
        if (plainly_out(points[i], points[j])) continue;
        if (const int cell = scored_cell(i, j); cell >= 0) walk.push_back({i, j, static_cast<std::uint32_t>(cell)});
      }
    pair_count_ = walk.size();
    pairs_ = std::make_unique_for_overwrite<Scored_Pair[]>(pair_count_);
    std::copy(walk.begin(), walk.end(), pairs_.get());
  } else {
    // Atoms and cells are packed in 24 and 16 bits (a chain of 16 million
    // alpha and beta carbons would fill a file of some 2 GB).
    if (n >= (1U << Found_Pairs::kAtomBits))
      common::Fail(common::kExitBang, "%u alpha and beta carbons are more than the pair energy takes (%u)", n,
                   (1U << Found_Pairs::kAtomBits) - 1);
    if (static_cast<std::size_t>(table.dim_val[2]) * static_cast<std::size_t>(bins) > (1U << Found_Pairs::kCellBits))
      common::Fail(common::kExitBang, "the pair table has more than %u separation and distance cells",
                   1U << Found_Pairs::kCellBits);
    // Only atoms in nearby cells can be within range. The grid yields each
    // close pair once, in cell order.
    const structure::Cell_Grid grid(points, table.range);
    const std::span<const std::uint32_t> order = grid.Order();
    Found_Pairs found;
    // A folded chain has some fifty scored pairs per atom: room for most of
    // them at once saves copying the lists as they grow.
    found.Grow(static_cast<std::size_t>(n) * 56);
#if defined(__x86_64__) && defined(__GNUC__)
    const bool wide = path == Pass_Path::kBest && Wide_Pass_Runs() && !distance_bins.Bounds().empty() &&
                      distance_bins.Bounds().size() <= 32;
#else
    const bool wide = false;
#endif
    if (wide) {
      Sorted_Atoms atoms;
      const std::size_t padded = order.size() + 16;
      atoms.x.assign(padded, 0.0F);
      atoms.y.assign(padded, 0.0F);
      atoms.z.assign(padded, 0.0F);
      atoms.residue.assign(padded, 0);
      atoms.chain.assign(padded, 0);
      atoms.index.assign(padded, 0);
      const std::span<const structure::Point> sorted = grid.Sorted();
      for (std::size_t t = 0; t < order.size(); ++t) {
        const std::uint32_t i = order[t];
        atoms.x[t] = sorted[t].x;
        atoms.y[t] = sorted[t].y;
        atoms.z[t] = sorted[t].z;
        atoms.residue[t] = residue[i];
        atoms.chain[t] = chain[i];
        atoms.index[t] = i;
      }
#if defined(__x86_64__) && defined(__GNUC__)
      Wide_Search(grid, atoms, distance_bins, bins, beyond_range_float, found);
#endif
    } else {
      grid.For_Near_Candidates(beyond_range_float, [&](std::uint32_t s, const std::uint32_t* near, std::size_t kept) {
        const std::uint32_t i = order[s];
        for (std::size_t k = 0; k < kept; ++k) {
          const std::uint32_t j = order[near[k]];
          const std::uint32_t a = std::min(i, j);
          const std::uint32_t b = std::max(i, j);
          if (const int cell = scored_cell(a, b); cell >= 0) found.Push(a, b, static_cast<std::uint32_t>(cell));
        }
      });
    }
    // Two counting passes, by second atom and then, keeping that order, by
    // first, put the pairs in the order of the walk over all pairs; each
    // reads its words in order and writes them in runs, one run per atom.
    // Pairs found one after the other often share an atom, so each atom's
    // counts are split by the parity of the pair's place: adding to one count
    // would wait for the addition before it. The first pass need not keep
    // the order of the pairs with one second atom (each has its own first
    // atom), so the split stays in its runs.
    constexpr std::size_t kSplit = 2;
    std::vector<std::uint32_t> first_count(kSplit * n + 1, 0), second_count(kSplit * n + 1, 0);
    for (std::size_t k = 0; k < found.count; ++k) {
      ++first_count[kSplit * Found_Pairs::First(found.words[k]) + k % kSplit + 1];
      ++second_count[kSplit * Found_Pairs::Second(found.words[k]) + k % kSplit + 1];
    }
    // The first atom's runs whole: the split counts added up.
    for (std::size_t a = 0; a < n; ++a) first_count[a + 1] = first_count[kSplit * a + 1] + first_count[kSplit * a + 2];
    first_count.resize(n + 1);
    std::partial_sum(first_count.begin(), first_count.end(), first_count.begin());
    std::partial_sum(second_count.begin(), second_count.end(), second_count.begin());
    const auto by_second = std::make_unique_for_overwrite<std::uint64_t[]>(found.count);
    for (std::size_t k = 0; k < found.count; ++k)
      by_second[second_count[kSplit * Found_Pairs::Second(found.words[k]) + k % kSplit]++] = found.words[k];
    pair_count_ = found.count;
    pairs_ = std::make_unique_for_overwrite<Scored_Pair[]>(pair_count_);
    for (std::size_t k = 0; k < pair_count_; ++k) {
      const std::uint64_t word = by_second[k];
      const std::uint32_t a = Found_Pairs::First(word);
      pairs_[first_count[a]++] = {a, Found_Pairs::Second(word), Found_Pairs::Cell(word)};
    }
  }
  row_a_.resize(n);
  row_b_.resize(n);
}

double Pair_Geometry::Energy(std::span<const char> atom_codes) {
  // Index of (type a, type b, separation, bin) = type_a*S + type_b*C + cell,
  // with C = classes*bins and S = types*C; the two type terms per atom are
  // formed once per evaluation.
  const int cells = table_.dim_val[2] * table_.dim_val[3];
  const int stride_a = table_.dim_val[1] * cells;
  for (std::size_t i = 0; i < atom_codes.size(); ++i) {
    const int type = Table_Type(atom_codes[i], cb_[i] != 0);
    if (type < 0) common::Fail(common::kExitBang, "residue code '%c' has no pair atom type", atom_codes[i]);
    row_a_[i] = type * stride_a;
    row_b_[i] = type * cells;
  }
  const double* values = table_.values.data();
  double energy = 0.0;
  for (const Scored_Pair& p : Pairs()) energy += values[row_a_[p.a] + row_b_[p.b] + static_cast<std::int32_t>(p.cell)];
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

void Pair_Geometry::Energies(std::span<const char> codes, std::size_t count, std::span<double> energies,
                             Pass_Path path) const {
  constexpr std::size_t kResidues = kPairTypeOrder.size();
  constexpr std::size_t kBlock = kResidues * kResidues;
  const std::size_t cells = static_cast<std::size_t>(table_.dim_val[2]) * static_cast<std::size_t>(table_.dim_val[3]);
  std::vector<double> own;
  if (table_.pair_blocks.size() != 4 * cells * kBlock) own = Group_Blocks(table_);
  const std::vector<double>& grouped = own.empty() ? table_.pair_blocks : own;
  const bool wide = path == Pass_Path::kBest && Wide_Pass_Runs();
  const std::size_t span = wide ? kWideSpan : kPortableSpan;
  const std::size_t stride = (count + span - 1) / span * span;
  // Residue type (position in kPairTypeOrder) of every atom in every
  // sequence, and its row in a block (type * 20) for the first atom of a pair;
  // zeros after the last atom for the extra positions of its last vector.
  // Every entry is written below but those zeros.
  const std::size_t atoms = cb_.size();
  const auto residue = std::make_unique_for_overwrite<std::uint16_t[]>(atoms * count + stride);
  const auto row = std::make_unique_for_overwrite<std::uint16_t[]>(atoms * count + stride);
  std::fill_n(residue.get() + atoms * count, stride, 0);
  std::fill_n(row.get() + atoms * count, stride, 0);
  std::uint8_t unknown = 0;
  for (std::size_t i = 0; i < atoms; ++i) {
    const std::size_t at = i * count;
    // A residue's CB follows its CA with the same codes: copy their types.
    if (i > 0 && std::equal(codes.begin() + at, codes.begin() + at + count, codes.begin() + (at - count))) {
      std::copy_n(residue.get() + (at - count), count, residue.get() + at);
      std::copy_n(row.get() + (at - count), count, row.get() + at);
      continue;
    }
#pragma GCC unroll 4
    for (std::size_t k = at; k < at + count; ++k) {
      const std::uint8_t type = kResidueType[static_cast<unsigned char>(codes[k])];
      unknown |= type;
      residue[k] = type;
      row[k] = static_cast<std::uint16_t>(type * kResidues);
    }
  }
  if (unknown & kUnknownType) {
    for (std::size_t i = 0; i < atoms * count; ++i)
      if (kResidueType[static_cast<unsigned char>(codes[i])] == kUnknownType)
        common::Fail(common::kExitBang, "residue code '%c' has no pair atom type", codes[i]);
  }
  const Pass_Input in{Pairs(),   cb_.data(), grouped.data(), cells,          residue.get(),
                      row.get(), count,      stride,         energies.data()};
  std::fill_n(energies.begin(), count, 0.0);
  if (wide)
    Wide_Pass(in);
  else
    Portable_Pass(in);
}

}  // namespace energy::pair
