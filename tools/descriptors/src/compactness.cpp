#include "descriptors/compactness.hpp"

#include <cmath>

#include "common/fatal_error.hpp"

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

double Find_Non_Squared_Distance(const structure::Atom_Record& a, const structure::Atom_Record& b) {
  const double dy = static_cast<double>(b.y) - a.y;
  const double dx = static_cast<double>(b.x) - a.x;
  const double dz = static_cast<double>(b.z) - a.z;
  return std::sqrt(dy * dy + dx * dx + dz * dz);
}

double Compactness(const structure::Atom_Record* first) {
  double volume_sum = 0.0;
  double maximum = -99999.0;
  for (const structure::Atom_Record* a = first; a; a = a->next) {
    if (a->atom_name != "CA") continue;
    volume_sum += Residue_Volume(a->aa_code);
    for (const structure::Atom_Record* b = a->next; b; b = b->next) {
      if (b->atom_name != "CA") continue;
      const double distance = Find_Non_Squared_Distance(*a, *b);
      if (distance > maximum) maximum = distance;
    }
  }
  const double radius = maximum / 2.0;
  const double w = std::pow(radius, 3.0) * 4.0 / 3.0;
  const double sphere_volume = w * (4.0 * std::atan(1.0));
  return volume_sum / sphere_volume;
}

std::string Compactness_File_Line(double compactness) {
  return common::Format("%10.4f\n", static_cast<double>(static_cast<float>(compactness)));
}

}  // namespace descriptors
