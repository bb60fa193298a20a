// Neighbour search in cubic cells: points are binned into cells at least half
// as wide as the reach, so every point within reach of a point lies in one of
// the 5 x 5 x 5 cells around its own. Time and memory are linear in the
// number of points, whatever their spread.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace structure {

struct Point {
  float x, y, z;
};

namespace detail {

// For each set of kept lanes of four (bit k: lane k), the kept lanes in
// order, and how many.
struct Kept_Lanes {
  std::int32_t lanes[16][4];
  std::uint8_t count[16];
};

constexpr Kept_Lanes Make_Kept_Lanes() {
  Kept_Lanes table{};
  for (int keep = 0; keep < 16; ++keep) {
    int n = 0;
    for (int k = 0; k < 4; ++k)
      if (keep & (1 << k)) table.lanes[keep][n++] = k;
    table.count[keep] = static_cast<std::uint8_t>(n);
  }
  return table;
}

inline constexpr Kept_Lanes kKeptLanes = Make_Kept_Lanes();

}  // namespace detail

class Cell_Grid {
 public:
  // `reach` (positive and finite) is the largest distance of interest. The
  // cells are a little wider than half of it, so that a distance rounded
  // down to `reach` is never missed. A point with a coordinate that is not
  // finite is in no cell: it is nobody's candidate and has none.
  Cell_Grid(std::span<const Point> points, double reach);

  // The points in cells, in cell order (by cell, then by index): their
  // indices and their coordinates. Positions below are in this order.
  std::span<const std::uint32_t> Order() const { return order_; }
  std::span<const Point> Sorted() const { return sorted_; }

  // Calls visit(s, near, count) for every position s, where near[0 .. count)
  // are later positions whose points are near the point at s: their squared
  // distance from it, taken in single precision as dy^2 + dx^2 + dz^2 (as a
  // scalar test would take it, bit for bit), is not above `limit`. With
  // `limit` at or beyond the square of the reach, every unordered pair of
  // points within reach comes exactly once, as s and one of its near
  // positions.
  template <typename Visit>
  void For_Near_Candidates(float limit, Visit&& visit) const {
    std::vector<std::uint32_t> near(order_.size() + 3);
    for (std::size_t cell = 0; cell + 1 < members_start_.size(); ++cell) {
      const std::uint32_t own_end = own_column_end_[cell];
      const std::uint32_t first_run = runs_start_[cell];
      const std::uint32_t last_run = runs_start_[cell + 1];
      for (std::uint32_t s = members_start_[cell]; s < members_start_[cell + 1]; ++s) {
        std::size_t kept = Near(s, s + 1, own_end, limit, near.data());
        for (std::uint32_t r = first_run; r < last_run; ++r)
          kept += Near(s, runs_[r].begin, runs_[r].end, limit, near.data() + kept);
        visit(s, static_cast<const std::uint32_t*>(near.data()), kept);
      }
    }
  }

  // Calls visit(s, begin, end) for every position s and every run [begin,
  // end) of later positions where points within reach of it may lie: the
  // candidates For_Near_Candidates tests, for a caller with its own test.
  template <typename Visit>
  void For_Candidate_Runs(Visit&& visit) const {
    for (std::size_t cell = 0; cell + 1 < members_start_.size(); ++cell) {
      for (std::uint32_t s = members_start_[cell]; s < members_start_[cell + 1]; ++s) {
        visit(s, s + 1, own_column_end_[cell]);
        for (std::uint32_t r = runs_start_[cell]; r < runs_start_[cell + 1]; ++r)
          visit(s, runs_[r].begin, runs_[r].end);
      }
    }
  }

 private:
  // Writes to `out` the positions t in [begin, end), in order, whose points
  // are near the point at s, and returns how many. `out` has room for end -
  // begin + 3 positions.
  std::size_t Near(std::uint32_t s, std::uint32_t begin, std::uint32_t end, float limit, std::uint32_t* out) const {
    // Four candidates at a time, and no branch on the outcome: whether one is
    // near is unpredictable. The coordinate arrays run on past the last point.
    using Four = float __attribute__((vector_size(16)));
    using Four_Masks = std::int32_t __attribute__((vector_size(16)));
    const Four px = {xs_[s], xs_[s], xs_[s], xs_[s]};
    const Four py = {ys_[s], ys_[s], ys_[s], ys_[s]};
    const Four pz = {zs_[s], zs_[s], zs_[s], zs_[s]};
    const Four bound = {limit, limit, limit, limit};
    std::size_t kept = 0;
    for (std::uint32_t t = begin; t < end; t += 4) {
      Four x, y, z;
      std::memcpy(&x, xs_.data() + t, sizeof x);
      std::memcpy(&y, ys_.data() + t, sizeof y);
      std::memcpy(&z, zs_.data() + t, sizeof z);
      const Four dx = x - px;
      const Four dy = y - py;
      const Four dz = z - pz;
      const Four_Masks far = dy * dy + dx * dx + dz * dz > bound;
#ifdef __SSE2__
      // The kept lanes' positions, packed to the front, in one store.
      const int keep = ~_mm_movemask_ps(reinterpret_cast<__m128>(far)) & 15;
      __m128i lanes;
      std::memcpy(&lanes, detail::kKeptLanes.lanes[keep], sizeof lanes);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + kept),
                       _mm_add_epi32(_mm_set1_epi32(static_cast<int>(t)), lanes));
      kept += detail::kKeptLanes.count[keep];
#else
#pragma GCC unroll 4
      for (int k = 0; k < 4; ++k) {
        out[kept] = t + static_cast<std::uint32_t>(k);
        kept += far[k] ? 0 : 1;
      }
#endif
    }
    while (kept > 0 && out[kept - 1] >= end) --kept;  // past the run
    return kept;
  }

  struct Run {
    std::uint32_t begin, end;
  };
  std::vector<std::uint32_t> order_;           // index of the point at each position
  std::vector<Point> sorted_;                  // its coordinates
  std::vector<float> xs_, ys_, zs_;            // the same, and three more of each
  std::vector<std::uint32_t> members_start_;   // cell c holds positions [start[c], start[c + 1])
  std::vector<std::uint32_t> own_column_end_;  // end of the cells at most two above c in its column
  // A point's candidates lie in runs of later positions: the rest of its
  // own column (its cell and the two above it), and the neighbour columns
  // of five cells that come later in cell order. A column's cells follow
  // one another in cell order.
  std::vector<Run> runs_;                  // the occupied later neighbour columns of each cell
  std::vector<std::uint32_t> runs_start_;  // cell c's are runs_[start[c] .. start[c + 1])
};

}  // namespace structure
