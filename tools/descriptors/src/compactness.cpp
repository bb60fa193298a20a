#include "descriptors/compactness.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "common/format.hpp"
#include "common/model_files.hpp"
#include "structure/geometry.hpp"

namespace descriptors {

double Residue_Volume(char aa_code) {
  switch (aa_code) {
    case 'A':
      return 67;
    case 'R':
      return 148;
    case 'N':
      return 96;
    case 'D':
      return 91;
    case 'C':
      return 86;
    case 'Q':
      return 114;
    case 'E':
      return 109;
    case 'G':
      return 48;
    case 'H':
      return 118;
    case 'I':
      return 124;
    case 'L':
      return 124;
    case 'K':
      return 135;
    case 'M':
      return 124;
    case 'F':
      return 135;
    case 'P':
      return 90;
    case 'S':
      return 73;
    case 'T':
      return 93;
    case 'W':
      return 163;
    case 'Y':
      return 141;
    case 'V':
      return 105;
    default:
      return 0;
  }
}

namespace {

using Point = structure::Double_Point;

double Longest_By_All_Pairs(const std::vector<Point>& points, double maximum) {
  for (std::size_t a = 0; a < points.size(); ++a)
    for (std::size_t b = a + 1; b < points.size(); ++b)
      maximum = std::max(maximum, structure::Double_Precision_Distance(points[a], points[b]));
  return maximum;
}

}  // namespace

double Longest_Distance(std::span<const structure::Atom_Record* const> atoms, double start) {
  std::vector<Point> points;
  points.reserve(atoms.size());
  for (const structure::Atom_Record* atom : atoms) points.push_back({atom->x, atom->y, atom->z});
  const bool finite = std::all_of(points.begin(), points.end(), [](const Point& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
  });
  if (!finite || points.size() < 3) return Longest_By_All_Pairs(points, start);

  // No two points lie farther apart than their distances to a centre added.
  // Taking the points farthest from the centre first, a pair whose bound is
  // below the longest distance found so far, and every later pair of the
  // first point, can be passed over. The bound is widened far beyond the
  // rounding of either side, so the maximum is the one of all pairs, bit for bit.
  double low[3] = {points[0].x, points[0].y, points[0].z};
  double high[3] = {low[0], low[1], low[2]};
  for (const Point& p : points) {
    const double c[3] = {p.x, p.y, p.z};
    for (int d = 0; d < 3; ++d) {
      low[d] = std::min(low[d], c[d]);
      high[d] = std::max(high[d], c[d]);
    }
  }
  const Point centre{(low[0] + high[0]) / 2.0, (low[1] + high[1]) / 2.0, (low[2] + high[2]) / 2.0};
  std::vector<std::pair<double, std::uint32_t>> by_reach(points.size());
  for (std::uint32_t i = 0; i < points.size(); ++i)
    by_reach[i] = {structure::Double_Precision_Distance(centre, points[i]), i};
  std::sort(by_reach.begin(), by_reach.end(), std::greater<>());
  auto bound = [](double reach_a, double reach_b) { return (reach_a + reach_b) * (1.0 + 1e-9) + 1e-9; };

  double maximum = start;
  for (std::size_t a = 0; a < by_reach.size(); ++a) {
    const auto [reach_a, point_a] = by_reach[a];
    if (bound(reach_a, by_reach.front().first) < maximum) break;
    for (std::size_t b = a + 1; b < by_reach.size(); ++b) {
      const auto [reach_b, point_b] = by_reach[b];
      if (bound(reach_a, reach_b) < maximum) break;
      maximum = std::max(maximum, structure::Double_Precision_Distance(points[point_a], points[point_b]));
    }
  }
  return maximum;
}

double Compactness(const structure::Atom_Record* first) {
  double volume_sum = 0.0;
  std::vector<const structure::Atom_Record*> alpha_carbons;
  for (const structure::Atom_Record* a = first; a; a = a->next) {
    if (a->atom_name != "CA") continue;
    volume_sum += Residue_Volume(a->aa_code);
    alpha_carbons.push_back(a);
  }
  const double maximum = Longest_Distance(alpha_carbons, -99999.0);
  const double radius = maximum / 2.0;
  const double w = std::pow(radius, 3.0) * 4.0 / 3.0;
  const double sphere_volume = w * (4.0 * std::atan(1.0));
  return volume_sum / sphere_volume;
}

std::string Compactness_File_Line(double compactness) {
  return common::Format("%10.4f\n", static_cast<double>(static_cast<float>(compactness)));
}

common::Step_Result<double> Compactness_Step(const structure::Atom_List& chain) {
  std::string line = Compactness_File_Line(Compactness(chain.first));
  const double filed = common::Filed_Number(line);
  return {filed, {{std::string(common::model_files::kCompactness), std::move(line)}}};
}

}  // namespace descriptors
