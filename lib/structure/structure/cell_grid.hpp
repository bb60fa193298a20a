// Neighbour search in cubic cells: points are binned into cells at least as
// wide as the reach, so every point within reach of a point lies in one of
// the 27 cells around its own. Time and memory are linear in the number of
// points, whatever their spread.
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
  // cells are a little wider than it, so that a distance rounded down to
  // `reach` is never missed. A point with a coordinate that is not finite is
  // in no cell: it is nobody's candidate and has none.
  Cell_Grid(std::span<const Point> points, double reach);

  // Calls visit(j) for every point j > i in the cells around point i's cell
  // (all those within reach of i, and others), in no particular order.
  template <typename Visit>
  void For_Later_Candidates(std::uint32_t i, Visit&& visit) const {
    const std::uint32_t cell = cell_of_[i];
    if (cell == kNoCell) return;
    for (std::uint32_t k = around_start_[cell]; k < around_start_[cell + 1]; ++k) {
      const std::uint32_t other = around_[k];
      const auto end = members_.begin() + members_start_[other + 1];
      // Members are ascending within a cell.
      for (auto j = std::upper_bound(members_.begin() + members_start_[other], end, i); j != end; ++j) visit(*j);
    }
  }

 private:
  static constexpr std::uint32_t kNoCell = UINT32_MAX;
  std::vector<std::uint32_t> cell_of_;        // cell of each point
  std::vector<std::uint32_t> members_;        // points by cell, ascending within a cell
  std::vector<std::uint32_t> members_start_;  // cell c holds members_[start[c] .. start[c + 1])
  std::vector<std::uint32_t> around_;         // the occupied cells around each cell, itself included
  std::vector<std::uint32_t> around_start_;   // likewise
};

}  // namespace structure
