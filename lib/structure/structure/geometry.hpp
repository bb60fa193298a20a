// Distances between atoms, named by the precision of their arithmetic: the
// programs' outputs depend on the exact rounding, so each caller picks the
// one its numbers were defined with. Both sum the squares in the order y, x, z.
#pragma once

#include <cmath>

#include "structure/cell_grid.hpp"
#include "structure/lk_list.hpp"

namespace structure {

// Differences and squares in double; the sum rounded to single, its root taken
// in double and rounded to single again (the energies' distance).
inline float Single_Precision_Distance(const Point& a, const Point& b) {
  const double dx = static_cast<double>(b.x) - static_cast<double>(a.x);
  const double dy = static_cast<double>(b.y) - static_cast<double>(a.y);
  const double dz = static_cast<double>(b.z) - static_cast<double>(a.z);
  const float squared = static_cast<float>(dy * dy + dx * dx + dz * dz);
  return static_cast<float>(std::sqrt(static_cast<double>(squared)));
}

inline float Single_Precision_Distance(const Atom_Record& a, const Atom_Record& b) {
  return Single_Precision_Distance(Point{a.x, a.y, a.z}, Point{b.x, b.y, b.z});
}

// A point held in double, for sums that are never rounded to single.
struct Double_Point {
  double x, y, z;
};

// Everything in double, nothing rounded to single (the compactness' distance).
inline double Double_Precision_Distance(const Double_Point& a, const Double_Point& b) {
  const double dy = b.y - a.y;
  const double dx = b.x - a.x;
  const double dz = b.z - a.z;
  return std::sqrt(dy * dy + dx * dx + dz * dz);
}

inline double Double_Precision_Distance(const Atom_Record& a, const Atom_Record& b) {
  return Double_Precision_Distance(Double_Point{a.x, a.y, a.z}, Double_Point{b.x, b.y, b.z});
}

}  // namespace structure
