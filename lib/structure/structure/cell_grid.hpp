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
      const std::uint32_t* const end = members_.data() + members_start_[other + 1];
      for (const std::uint32_t* j = First_Above(members_.data() + members_start_[other], end, i); j != end; ++j)
        visit(*j);
    }
  }

 private:
  // The first of the ascending members [begin, end) above i, or end. Each
  // step picks a half without a branch: which half holds it is unpredictable,
  // and a mispredicted branch costs more than the select.
  static const std::uint32_t* First_Above(const std::uint32_t* begin, const std::uint32_t* end, std::uint32_t i) {
    if (begin == end) return end;
    const std::uint32_t* base = begin;
    for (std::size_t length = static_cast<std::size_t>(end - begin); length > 1;) {
      const std::size_t half = length / 2;
      base = base[half] <= i ? base + half : base;
      length -= half;
    }
    return base + (*base <= i ? 1 : 0);
  }

  static constexpr std::uint32_t kNoCell = UINT32_MAX;
  std::vector<std::uint32_t> cell_of_;        // cell of each point
  std::vector<std::uint32_t> members_;        // points by cell, ascending within a cell
  std::vector<std::uint32_t> members_start_;  // cell c holds members_[start[c] .. start[c + 1])
  std::vector<std::uint32_t> around_;         // the occupied cells around each cell, itself included
  std::vector<std::uint32_t> around_start_;   // likewise
};

}  // namespace structure
