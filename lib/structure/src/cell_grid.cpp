#include "structure/cell_grid.hpp"

#include <cmath>
#include <numeric>

namespace structure {
namespace {

// Cell coordinates take 21 bits each; a far outlier is clamped to the last
// cell, which keeps cells two or more apart truly more than a cell apart.
constexpr std::int64_t kMaxCell = (1 << 21) - 1;

std::uint64_t Key(std::int64_t cx, std::int64_t cy, std::int64_t cz) {
  return (static_cast<std::uint64_t>(cx) << 42) | (static_cast<std::uint64_t>(cy) << 21) |
         static_cast<std::uint64_t>(cz);
}

std::int64_t Cell_Coordinate(float value, double low, double width) {
  const double cell = std::floor((static_cast<double>(value) - low) / width);
  return static_cast<std::int64_t>(std::clamp(cell, 0.0, static_cast<double>(kMaxCell)));
}

bool Finite(const Point& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

}  // namespace

Cell_Grid::Cell_Grid(std::span<const Point> points, double reach) : cell_of_(points.size(), kNoCell) {
  // Distances are computed from single-precision coordinates and rounded;
  // the margin covers that rounding many times over.
  const double width = reach * (1.0 + 1e-4) + 1e-4;
  double low[3] = {0.0, 0.0, 0.0};
  bool any = false;
  for (const Point& p : points) {
    if (!Finite(p)) continue;
    const double c[3] = {p.x, p.y, p.z};
    for (int d = 0; d < 3; ++d) low[d] = any ? std::min(low[d], c[d]) : c[d];
    any = true;
  }

  std::vector<std::uint64_t> keys(points.size());
  std::vector<std::uint32_t> order;
  order.reserve(points.size());
  for (std::uint32_t i = 0; i < points.size(); ++i) {
    if (!Finite(points[i])) continue;
    keys[i] = Key(Cell_Coordinate(points[i].x, low[0], width), Cell_Coordinate(points[i].y, low[1], width),
                  Cell_Coordinate(points[i].z, low[2], width));
    order.push_back(i);
  }
  // By cell, and by point within a cell.
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });

  std::vector<std::uint64_t> cell_keys;
  members_ = order;
  for (std::uint32_t k = 0; k < order.size(); ++k) {
    if (cell_keys.empty() || keys[order[k]] != cell_keys.back()) {
      cell_keys.push_back(keys[order[k]]);
      members_start_.push_back(k);
    }
    cell_of_[order[k]] = static_cast<std::uint32_t>(cell_keys.size() - 1);
  }
  members_start_.push_back(static_cast<std::uint32_t>(order.size()));

  around_start_.push_back(0);
  for (const std::uint64_t key : cell_keys) {
    const auto cx = static_cast<std::int64_t>(key >> 42);
    const auto cy = static_cast<std::int64_t>((key >> 21) & kMaxCell);
    const auto cz = static_cast<std::int64_t>(key & kMaxCell);
    for (std::int64_t x = std::max<std::int64_t>(cx - 1, 0); x <= std::min(cx + 1, kMaxCell); ++x)
      for (std::int64_t y = std::max<std::int64_t>(cy - 1, 0); y <= std::min(cy + 1, kMaxCell); ++y)
        for (std::int64_t z = std::max<std::int64_t>(cz - 1, 0); z <= std::min(cz + 1, kMaxCell); ++z) {
          const auto found = std::lower_bound(cell_keys.begin(), cell_keys.end(), Key(x, y, z));
          if (found != cell_keys.end() && *found == Key(x, y, z))
            around_.push_back(static_cast<std::uint32_t>(found - cell_keys.begin()));
        }
    around_start_.push_back(static_cast<std::uint32_t>(around_.size()));
  }
}

}  // namespace structure
