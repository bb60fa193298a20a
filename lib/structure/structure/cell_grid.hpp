// Neighbour search in cubic cells: points are binned into cells at least half
// as wide as the reach, so every point within reach of a point lies in one of
// the 5 x 5 x 5 cells around its own. Time and memory are linear in the
// number of points, whatever their spread.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace structure {

struct Point {
  float x, y, z;
};

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

  // Calls visit(s, begin, end) for runs of later positions [begin, end)
  // whose points are candidates of the point at position s. Every unordered
  // pair of points within reach of each other comes exactly once, as a point
  // and a candidate of it, and so do some farther pairs. A run is a column of
  // up to five cells, which follow one another in cell order: the rest of the
  // point's own column above it, and the neighbour columns that come later.
  template <typename Visit>
  void For_Candidate_Runs(Visit&& visit) const {
    for (std::size_t cell = 0; cell + 1 < members_start_.size(); ++cell) {
      const std::uint32_t own_end = own_column_end_[cell];
      const std::uint32_t first_run = runs_start_[cell];
      const std::uint32_t last_run = runs_start_[cell + 1];
      for (std::uint32_t s = members_start_[cell]; s < members_start_[cell + 1]; ++s) {
        visit(s, s + 1, own_end);
        for (std::uint32_t r = first_run; r < last_run; ++r) visit(s, runs_[r].begin, runs_[r].end);
      }
    }
  }

 private:
  struct Run {
    std::uint32_t begin, end;
  };
  std::vector<std::uint32_t> order_;           // index of the point at each position
  std::vector<Point> sorted_;                  // its coordinates
  std::vector<std::uint32_t> members_start_;   // cell c holds positions [start[c], start[c + 1])
  std::vector<std::uint32_t> own_column_end_;  // end of the cells at most two above c in its column
  std::vector<Run> runs_;                      // the occupied neighbour columns of each cell
  std::vector<std::uint32_t> runs_start_;      // cell c's are runs_[start[c] .. start[c + 1])
};

}  // namespace structure
