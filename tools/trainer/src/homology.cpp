#include "trainer/homology.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numeric>

namespace trainer {
namespace {

constexpr std::string_view kOrder = "ARNDCQEGHILKMFPSTWYV";
// BLOSUM62, rows and columns in the order above.
constexpr std::array<std::array<signed char, 20>, 20> kBlosum62 = {{
    {4, -1, -2, -2, 0, -1, -1, 0, -2, -1, -1, -1, -1, -2, -1, 1, 0, -3, -2, 0},
    {-1, 5, 0, -2, -3, 1, 0, -2, 0, -3, -2, 2, -1, -3, -2, -1, -1, -3, -2, -3},
    {-2, 0, 6, 1, -3, 0, 0, 0, 1, -3, -3, 0, -2, -3, -2, 1, 0, -4, -2, -3},
    {-2, -2, 1, 6, -3, 0, 2, -1, -1, -3, -4, -1, -3, -3, -1, 0, -1, -4, -3, -3},
    {0, -3, -3, -3, 9, -3, -4, -3, -3, -1, -1, -3, -1, -2, -3, -1, -1, -2, -2, -1},
    {-1, 1, 0, 0, -3, 5, 2, -2, 0, -3, -2, 1, 0, -3, -1, 0, -1, -2, -1, -2},
    {-1, 0, 0, 2, -4, 2, 5, -2, 0, -3, -3, 1, -2, -3, -1, 0, -1, -3, -2, -2},
    {0, -2, 0, -1, -3, -2, -2, 6, -2, -4, -4, -2, -3, -3, -2, 0, -2, -2, -3, -3},
    {-2, 0, 1, -1, -3, 0, 0, -2, 8, -3, -3, -1, -2, -1, -2, -1, -2, -2, 2, -3},
    {-1, -3, -3, -3, -1, -3, -3, -4, -3, 4, 2, -3, 1, 0, -3, -2, -1, -3, -1, 3},
    {-1, -2, -3, -4, -1, -2, -3, -4, -3, 2, 4, -2, 2, 0, -3, -2, -1, -2, -1, 1},
    {-1, 2, 0, -1, -3, 1, 1, -2, -1, -3, -2, 5, -1, -3, -1, 0, -1, -3, -2, -2},
    {-1, -1, -2, -3, -1, 0, -2, -3, -2, 1, 2, -1, 5, 0, -2, -1, -1, -1, -1, 1},
    {-2, -3, -3, -3, -2, -3, -3, -3, -1, 0, 0, -3, 0, 6, -4, -2, -2, 1, 3, -1},
    {-1, -2, -2, -1, -3, -1, -1, -2, -2, -3, -3, -1, -2, -4, 7, -1, -1, -4, -3, -2},
    {1, -1, 1, 0, -1, 0, 0, 0, -1, -2, -2, 0, -1, -2, -1, 4, 1, -3, -2, -2},
    {0, -1, 0, -1, -1, -1, -1, -2, -2, -1, -1, -1, -1, -2, -1, 1, 5, -2, -2, 0},
    {-3, -3, -4, -4, -2, -2, -3, -2, -2, -3, -2, -3, -1, 1, -4, -3, -2, 11, 2, -3},
    {-2, -2, -2, -3, -2, -1, -2, -3, 2, -1, -1, -2, -1, 3, -3, -2, -2, 2, 7, -1},
    {0, -3, -3, -3, -1, -2, -2, -3, -3, 3, 1, -2, 1, -1, -2, -2, 0, -3, -1, 4},
}};

int Code_Index(char c) {
  const std::size_t at = kOrder.find(c);
  return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

constexpr int kMinusInf = -(1 << 28);

}  // namespace

int Blosum62(char a, char b) {
  const int i = Code_Index(a), j = Code_Index(b);
  return i < 0 || j < 0 ? -4 : kBlosum62[i][j];
}

int Local_Score(std::string_view a, std::string_view b, const Gap_Costs& gaps) {
  // The scores of every residue type against `a`, one row per type, so that
  // the inner loop walks one contiguous row.
  const std::size_t n = a.size();
  std::array<std::vector<int>, 21> profile;
  for (int type = 0; type < 21; ++type) {
    profile[type].resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      const int ia = Code_Index(a[i]);
      profile[type][i] = type == 20 || ia < 0 ? -4 : kBlosum62[ia][type];
    }
  }
  std::vector<int> h(n + 1, 0), f(n + 1, kMinusInf);  // previous column's H; F per row
  const int open = gaps.open + gaps.extend;
  int best = 0;
  for (char cb : b) {
    const int ib = Code_Index(cb);
    const int* row = profile[ib < 0 ? 20 : ib].data();
    int diag = 0;  // H of the previous column and row
    int e = kMinusInf;
    int h_up = 0;  // H of this column, previous row
    for (std::size_t i = 1; i <= n; ++i) {
      e = std::max(h_up - open, e - gaps.extend);
      f[i] = std::max(h[i] - open, f[i] - gaps.extend);
      const int cell = std::max(std::max(0, diag + row[i - 1]), std::max(e, f[i]));
      diag = h[i];
      h[i] = cell;
      h_up = cell;
      best = std::max(best, cell);
    }
  }
  return best;
}

Local_Alignment Align_Local(std::string_view a, std::string_view b, const Gap_Costs& gaps) {
  const std::size_t n = a.size(), m = b.size();
  const std::size_t width = m + 1;
  // Per cell: how H was reached (0 start, 1 match, 2 from E, 3 from F), and
  // whether E and F were opened (0) from H or extended (1).
  std::vector<unsigned char> from_h((n + 1) * width, 0), e_ext((n + 1) * width, 0), f_ext((n + 1) * width, 0);
  std::vector<int> h((n + 1) * width, 0), e((n + 1) * width, kMinusInf), f((n + 1) * width, kMinusInf);
  const int open = gaps.open + gaps.extend;
  int best = 0;
  std::size_t best_at = 0;
  for (std::size_t i = 1; i <= n; ++i) {
    for (std::size_t j = 1; j <= m; ++j) {
      const std::size_t at = i * width + j;
      const int e_open = h[at - 1] - open, e_more = e[at - 1] - gaps.extend;
      e[at] = std::max(e_open, e_more);
      e_ext[at] = e_more > e_open;
      const int f_open = h[at - width] - open, f_more = f[at - width] - gaps.extend;
      f[at] = std::max(f_open, f_more);
      f_ext[at] = f_more > f_open;
      const int match = h[at - width - 1] + Blosum62(a[i - 1], b[j - 1]);
      int cell = 0;
      unsigned char how = 0;
      if (match > cell) cell = match, how = 1;
      if (e[at] > cell) cell = e[at], how = 2;
      if (f[at] > cell) cell = f[at], how = 3;
      h[at] = cell;
      from_h[at] = how;
      if (cell > best) best = cell, best_at = at;
    }
  }
  Local_Alignment result;
  result.score = best;
  std::size_t i = best_at / width, j = best_at % width;
  int state = 0;  // 0 in H, 2 in E, 3 in F
  while (i > 0 && j > 0) {
    const std::size_t at = i * width + j;
    if (state == 0) {
      const unsigned char how = from_h[at];
      if (how == 0) break;
      if (how == 1) {
        ++result.aligned;
        result.identical += a[i - 1] == b[j - 1];
        --i, --j;
      } else {
        state = how;
      }
    } else if (state == 2) {
      if (!e_ext[at]) state = 0;
      --j;
    } else {
      if (!f_ext[at]) state = 0;
      --i;
    }
  }
  return result;
}

std::uint64_t Split_Mix::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

std::uint64_t Split_Mix::Below(std::uint64_t bound) {
  // Rejection keeps every value equally likely.
  const std::uint64_t limit = UINT64_MAX - UINT64_MAX % bound;
  std::uint64_t value = Next();
  while (value >= limit) value = Next();
  return value % bound;
}

void Shuffle_Sequence(std::string& sequence, Split_Mix& random) {
  for (std::size_t i = sequence.size(); i > 1; --i) std::swap(sequence[i - 1], sequence[random.Below(i)]);
}

double Alignment_Z_Score(std::string_view a, std::string_view b, int score, int shuffles, std::uint64_t seed,
                         const Gap_Costs& gaps) {
  Split_Mix random(seed);
  std::string shuffled(b);
  double sum = 0.0, sum_squares = 0.0;
  for (int k = 0; k < shuffles; ++k) {
    Shuffle_Sequence(shuffled, random);
    const double s = Local_Score(a, shuffled, gaps);
    sum += s;
    sum_squares += s * s;
  }
  const double mean = sum / shuffles;
  const double variance = sum_squares / shuffles - mean * mean;
  return variance > 0.0 ? (score - mean) / std::sqrt(variance) : 0.0;
}

double Chance_Expectation(int score, std::size_t length_a, std::size_t length_b) {
  // Karlin-Altschul statistics of BLOSUM62 with gaps 11 + k.
  constexpr double kLambda = 0.267, kK = 0.041;
  return kK * static_cast<double>(length_a) * static_cast<double>(length_b) * std::exp(-kLambda * score);
}

std::vector<Homolog_Pair> Find_Homologs(const std::vector<std::string>& sequences, const Homology_Options& options,
                                        const std::function<void(std::size_t)>& progress) {
  std::vector<Homolog_Pair> pairs;
  for (std::size_t a = 0; a < sequences.size(); ++a) {
    for (std::size_t b = a + 1; b < sequences.size(); ++b) {
      const Local_Alignment alignment = Align_Local(sequences[a], sequences[b], options.gaps);
      if (!(alignment.Identity() > options.min_identity)) continue;
      if (Chance_Expectation(alignment.score, sequences[a].size(), sequences[b].size()) > options.max_expectation)
        continue;
      // One seed per pair, so a pair's Z-score does not depend on the others.
      const std::uint64_t seed = Split_Mix(options.seed ^ (a << 32 | b)).Next();
      // A few shuffles first: most chance alignments are plainly insignificant.
      if (Alignment_Z_Score(sequences[a], sequences[b], alignment.score, options.first_shuffles, seed, options.gaps) <
          options.first_z)
        continue;
      const double z =
          Alignment_Z_Score(sequences[a], sequences[b], alignment.score, options.shuffles, seed, options.gaps);
      if (alignment.Identity() > options.min_identity && z >= options.min_z)
        pairs.push_back({a, b, alignment.Identity(), z, alignment.aligned});
    }
    if (progress) progress(a + 1);
  }
  return pairs;
}

std::vector<int> Homology_Groups(std::size_t chains, const std::vector<Homolog_Pair>& pairs) {
  std::vector<std::size_t> parent(chains);
  std::iota(parent.begin(), parent.end(), 0);
  const auto root = [&](std::size_t x) {
    while (parent[x] != x) x = parent[x] = parent[parent[x]];
    return x;
  };
  for (const Homolog_Pair& pair : pairs) {
    const std::size_t ra = root(pair.a), rb = root(pair.b);
    if (ra != rb) parent[std::max(ra, rb)] = std::min(ra, rb);
  }
  std::vector<int> groups(chains, 0);
  std::map<std::size_t, int> number;
  for (std::size_t c = 0; c < chains; ++c) {
    const auto [it, added] = number.emplace(root(c), static_cast<int>(number.size()) + 1);
    groups[c] = it->second;
  }
  return groups;
}

std::vector<bool> Held_Out_Chains(const std::vector<int>& groups, const std::vector<std::string>& categories,
                                  double fraction, std::uint64_t seed) {
  std::map<std::string, long> size, target, held;
  for (const std::string& category : categories) ++size[category];
  for (const auto& [category, count] : size) target[category] = std::lround(fraction * static_cast<double>(count));

  const int group_count = groups.empty() ? 0 : *std::max_element(groups.begin(), groups.end());
  std::vector<int> order(group_count);
  std::iota(order.begin(), order.end(), 1);
  Split_Mix random(seed);
  for (std::size_t i = order.size(); i > 1; --i) std::swap(order[i - 1], order[random.Below(i)]);

  std::vector<bool> held_out(groups.size(), false);
  for (int group : order) {
    std::map<std::string, long> members;
    for (std::size_t c = 0; c < groups.size(); ++c)
      if (groups[c] == group) ++members[categories[c]];
    const bool fits = std::all_of(members.begin(), members.end(),
                                  [&](const auto& m) { return held[m.first] + m.second <= target[m.first]; });
    if (!fits) continue;
    for (const auto& [category, count] : members) held[category] += count;
    for (std::size_t c = 0; c < groups.size(); ++c)
      if (groups[c] == group) held_out[c] = true;
  }
  return held_out;
}

}  // namespace trainer
