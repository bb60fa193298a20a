#include "structure/cell_grid.hpp"

#include <cmath>
#include <iterator>

namespace structure {
namespace {

// Cell coordinates take 21 bits each; a far outlier is clamped to the last
// cell, which keeps cells three or more apart truly more than two cells apart.
constexpr std::int64_t kMaxCell = (1 << 21) - 1;

// In key order, the cells of one column (same x and y) follow one another.
std::uint64_t Key(std::int64_t cx, std::int64_t cy, std::int64_t cz) {
  return (static_cast<std::uint64_t>(cx) << 42) | (static_cast<std::uint64_t>(cy) << 21) |
         static_cast<std::uint64_t>(cz);
}

std::int64_t Cell_Coordinate(float value, double low, double width) {
  const double cell = std::floor((static_cast<double>(value) - low) / width);
  return static_cast<std::int64_t>(std::clamp(cell, 0.0, static_cast<double>(kMaxCell)));
}

bool Finite(const Point& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

struct Keyed {
  std::uint64_t key;
  std::uint32_t index;
};

}  // namespace

Cell_Grid::Cell_Grid(std::span<const Point> points, double reach) {
  // Distances are computed from single-precision coordinates and rounded;
  // the margin covers that rounding many times over. Half-reach cells hold
  // 42 % fewer candidates in their 5 x 5 x 5 block than reach-wide cells in
  // their 3 x 3 x 3.
  const double width = (reach * (1.0 + 1e-4) + 1e-4) / 2.0;
  double low[3] = {0.0, 0.0, 0.0};
  bool any = false;
  for (const Point& p : points) {
    if (!Finite(p)) continue;
    const double c[3] = {p.x, p.y, p.z};
    for (int d = 0; d < 3; ++d) low[d] = any ? std::min(low[d], c[d]) : c[d];
    any = true;
  }

  std::vector<Keyed> keyed;
  keyed.reserve(points.size());
  std::int64_t high[3] = {0, 0, 0};
  for (std::uint32_t i = 0; i < points.size(); ++i) {
    if (!Finite(points[i])) continue;
    const std::int64_t c[3] = {Cell_Coordinate(points[i].x, low[0], width), Cell_Coordinate(points[i].y, low[1], width),
                               Cell_Coordinate(points[i].z, low[2], width)};
    for (int d = 0; d < 3; ++d) high[d] = std::max(high[d], c[d]);
    keyed.push_back({Key(c[0], c[1], c[2]), i});
  }
  // By cell, and by point within a cell. When the box around the points has
  // few cells, as around any folded chain, a counting pass over them does it
  // in linear time; a few far points make it too large, and a sort does it.
  const auto ny = static_cast<std::uint64_t>(high[1] + 1);
  const auto nz = static_cast<std::uint64_t>(high[2] + 1);
  const auto nx = static_cast<std::uint64_t>(high[0] + 1);
  const std::uint64_t box = nx * ny * nz;
  // In the box, position of the first point of each cell (and the end).
  std::vector<std::uint32_t> box_start;
  const auto box_cell = [&](std::uint64_t x, std::uint64_t y, std::uint64_t z) { return (x * ny + y) * nz + z; };
  if (box <= 8 * static_cast<std::uint64_t>(keyed.size()) + 4096) {
    const auto cell_of = [&](std::uint64_t key) { return box_cell(key >> 42, (key >> 21) & kMaxCell, key & kMaxCell); };
    box_start.assign(box + 1, 0);
    for (const Keyed& k : keyed) ++box_start[cell_of(k.key) + 1];
    for (std::size_t c = 0; c < box; ++c) box_start[c + 1] += box_start[c];
    std::vector<std::uint32_t> next(box_start.begin(), box_start.end() - 1);
    std::vector<Keyed> by_cell(keyed.size());
    for (const Keyed& k : keyed) by_cell[next[cell_of(k.key)]++] = k;
    keyed = std::move(by_cell);
  } else {
    std::sort(keyed.begin(), keyed.end(),
              [](const Keyed& a, const Keyed& b) { return a.key != b.key ? a.key < b.key : a.index < b.index; });
  }

  std::vector<std::uint64_t> cell_keys;
  order_.reserve(keyed.size());
  sorted_.reserve(keyed.size());
  for (std::uint32_t k = 0; k < keyed.size(); ++k) {
    if (cell_keys.empty() || keyed[k].key != cell_keys.back()) {
      cell_keys.push_back(keyed[k].key);
      members_start_.push_back(k);
    }
    order_.push_back(keyed[k].index);
    sorted_.push_back(points[keyed[k].index]);
  }
  members_start_.push_back(static_cast<std::uint32_t>(keyed.size()));
  for (const Point& p : sorted_) {
    xs_.push_back(p.x);
    ys_.push_back(p.y);
    zs_.push_back(p.z);
  }
  for (int extra = 0; extra < 3; ++extra) {
    xs_.push_back(0.0F);
    ys_.push_back(0.0F);
    zs_.push_back(0.0F);
  }

  // Later neighbour columns: every other column within two cells is the
  // mirror image of one of these.
  constexpr std::int64_t kLater[][2] = {{0, 1}, {0, 2},  {1, -2}, {1, -1}, {1, 0}, {1, 1},
                                        {1, 2}, {2, -2}, {2, -1}, {2, 0},  {2, 1}, {2, 2}};
  constexpr std::size_t kColumns = std::size(kLater);
  // The first cell of a neighbour column, (x + dx, y + dy, z - 2) or above,
  // and the first past it, above (x + dx, y + dy, z + 2), only move on as the
  // cells are taken in key order: cursors follow them, with no search. A
  // sentinel key above all others stops every cursor at the end.
  const std::size_t cells = cell_keys.size();
  runs_.reserve(cells * kColumns);
  own_column_end_.reserve(cells);
  runs_start_.reserve(cells + 1);
  if (!box_start.empty()) {
    // In a box, a neighbour column's run is read off its first and last
    // cells (clipped to the box), without the cursors' searches.
    runs_start_.push_back(0);
    for (const std::uint64_t key : cell_keys) {
      const auto cx = static_cast<std::int64_t>(key >> 42);
      const auto cy = static_cast<std::int64_t>((key >> 21) & kMaxCell);
      const auto cz = static_cast<std::int64_t>(key & kMaxCell);
      const auto low_z = static_cast<std::uint64_t>(std::max<std::int64_t>(cz - 2, 0));
      const auto high_z = std::min(static_cast<std::uint64_t>(cz + 2), nz - 1);
      own_column_end_.push_back(
          box_start[box_cell(static_cast<std::uint64_t>(cx), static_cast<std::uint64_t>(cy), high_z) + 1]);
      for (std::size_t c = 0; c < kColumns; ++c) {
        const std::int64_t x = cx + kLater[c][0];
        const std::int64_t y = cy + kLater[c][1];
        if (static_cast<std::uint64_t>(x) >= nx || y < 0 || static_cast<std::uint64_t>(y) >= ny) continue;
        const std::uint32_t begin =
            box_start[box_cell(static_cast<std::uint64_t>(x), static_cast<std::uint64_t>(y), low_z)];
        const std::uint32_t end =
            box_start[box_cell(static_cast<std::uint64_t>(x), static_cast<std::uint64_t>(y), high_z) + 1];
        if (begin < end) runs_.push_back({begin, end});
      }
      runs_start_.push_back(static_cast<std::uint32_t>(runs_.size()));
    }
    return;
  }
  cell_keys.push_back(UINT64_MAX);
  std::size_t begin_of[kColumns] = {};
  std::size_t end_of[kColumns] = {};
  std::size_t own_end = 0;
  runs_start_.push_back(0);
  for (std::size_t cell = 0; cell < cells; ++cell) {
    const std::uint64_t key = cell_keys[cell];
    const auto cx = static_cast<std::int64_t>(key >> 42);
    const auto cy = static_cast<std::int64_t>((key >> 21) & kMaxCell);
    const auto cz = static_cast<std::int64_t>(key & kMaxCell);
    const std::int64_t low_z = std::max<std::int64_t>(cz - 2, 0);
    const std::int64_t high_z = std::min(cz + 2, kMaxCell);
    for (const std::uint64_t last = Key(cx, cy, high_z); cell_keys[own_end] <= last;) ++own_end;
    own_column_end_.push_back(members_start_[own_end]);
    for (std::size_t c = 0; c < kColumns; ++c) {
      const std::int64_t x = cx + kLater[c][0];
      const std::int64_t y = cy + kLater[c][1];
      if (x > kMaxCell || y < 0 || y > kMaxCell) continue;
      for (const std::uint64_t first = Key(x, y, low_z); cell_keys[begin_of[c]] < first;) ++begin_of[c];
      for (const std::uint64_t last = Key(x, y, high_z); cell_keys[end_of[c]] <= last;) ++end_of[c];
      if (begin_of[c] < end_of[c]) runs_.push_back({members_start_[begin_of[c]], members_start_[end_of[c]]});
    }
    runs_start_.push_back(static_cast<std::uint32_t>(runs_.size()));
  }
}

}  // namespace structure
