#include "descriptors/compactness.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>

#include "descriptors/chain_length.hpp"

namespace descriptors {
namespace {

using structure::Atom_List;
using structure::Atom_Record;

Atom_List Make(const std::vector<std::tuple<const char*, char, int, float>>& atoms) {
  Atom_List list;
  Atom_Record* tail = nullptr;
  for (const auto& [name, code, residue, x] : atoms) {
    Atom_Record* a = list.New_Atom();
    a->atom_name = name;
    a->aa_code = code;
    a->aa_number = residue;
    a->x = x;
    tail = structure::Append_Atom(list, tail, a);
  }
  return list;
}

TEST(Compactness, VolumeOverSphereOfLargestCaDistance) {
  // 134 / (4/3 pi 5^3)
  EXPECT_DOUBLE_EQ(Compactness(Make({{"CA", 'A', 1, 0.0F}, {"CA", 'A', 2, 10.0F}}).first),
                   134.0 / (std::pow(5.0, 3) * 4.0 / 3.0 * (4.0 * std::atan(1.0))));
  EXPECT_EQ(Compactness_File_Line(134.0 / 523.5988), "    0.2559\n");
}

TEST(Compactness, OnlyAtomsNamedExactlyCaCount) {
  const Atom_List list = Make({{"CA", 'W', 1, 0.0F},
                               {"CA", 'W', 1, 0.0F},
                               {"C", 'G', 2, 40.0F},
                               {"CA ", 'G', 2, 50.0F},
                               {"ca", 'G', 3, 60.0F},
                               {"CA", 'X', 4, 4.0F}});
  // Tryptophan twice (two alpha carbons left), unknown code 0; diameter 4.
  const double sphere = std::pow(2.0, 3) * 4.0 / 3.0 * (4.0 * std::atan(1.0));
  EXPECT_DOUBLE_EQ(Compactness(list.first), 2 * 163.0 / sphere);
}

TEST(Compactness, FewerThanTwoAlphaCarbonsPrintMinusZero) {
  EXPECT_EQ(Compactness_File_Line(Compactness(nullptr)), "   -0.0000\n");
  EXPECT_EQ(Compactness_File_Line(Compactness(Make({{"CA", 'A', 1, 3.0F}}).first)), "   -0.0000\n");
}

TEST(Compactness, DistanceIsNotRoundedToSinglePrecision) {
  Atom_Record a, b;
  b.x = 1.0F;
  b.y = 1.0F;
  EXPECT_EQ(Find_Non_Squared_Distance(a, b), std::sqrt(2.0));
  EXPECT_NE(Find_Non_Squared_Distance(a, b), static_cast<double>(static_cast<float>(std::sqrt(2.0))));
}

TEST(Compactness, VolumeTable) {
  const std::string codes = "ARNDCQEGHILKMFPSTWYV";
  const double volumes[] = {67, 148, 96, 91, 86, 114, 109, 48, 118, 124, 124, 135, 124, 135, 90, 73, 93, 163, 141, 105};
  for (std::size_t i = 0; i < codes.size(); ++i) EXPECT_EQ(Residue_Volume(codes[i]), volumes[i]) << codes[i];
  EXPECT_EQ(Residue_Volume('X'), 0.0);
  EXPECT_EQ(Residue_Volume('a'), 0.0);
}

TEST(ChainLength, FormatsInSinglePrecision) {
  EXPECT_EQ(Length_File_Line(152), "  152.0000\n");
  EXPECT_EQ(Length_File_Line(0), "    0.0000\n");
  EXPECT_EQ(Chain_Length(Make({{"CA", 'A', 1, 0}, {"CB", 'A', 1, 0}, {"CA", 'A', 2, 0}}).first), 2.0);
}

}  // namespace
}  // namespace descriptors

namespace descriptors {
namespace {

// The longest distance found with pruning against the walk over all pairs.
TEST(LongestDistance, EqualsTheMaximumOverAllPairs) {
  struct Case {
    const char* what;
    std::vector<std::array<float, 3>> points;
  };
  std::vector<Case> cases = {{"none", {}},
                             {"one", {{1, 2, 3}}},
                             {"two", {{1, 2, 3}, {-4, 5, 6.5F}}},
                             {"all at one place", {{2, 2, 2}, {2, 2, 2}, {2, 2, 2}, {2, 2, 2}}},
                             {"a coordinate not finite", {{0, 0, 0}, {3, 0, 0}, {NAN, 0, 0}, {1, 1, INFINITY}}}};
  Case sphere{"on a sphere (no pair can be passed over)", {}};
  Case chain{"a folded chain, and its far outlier", {}};
  for (int i = 0; i < 400; ++i) {
    const double theta = std::acos(1.0 - 2.0 * (i + 0.5) / 400.0);
    const double phi = i * 2.399963;
    sphere.points.push_back({static_cast<float>(20 * std::sin(theta) * std::cos(phi)),
                             static_cast<float>(20 * std::sin(theta) * std::sin(phi)),
                             static_cast<float>(20 * std::cos(theta))});
    chain.points.push_back({static_cast<float>(10 * std::sin(i * 0.3)), static_cast<float>(i % 17) * 1.3F,
                            static_cast<float>(10 * std::cos(i * 0.7))});
  }
  cases.push_back(sphere);
  cases.push_back(chain);
  chain.points.push_back({900.125F, -3.5F, 2.25F});
  cases.push_back(chain);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Atom_List list;
    std::vector<const Atom_Record*> atoms;
    for (const auto& [x, y, z] : c.points) {
      Atom_Record* a = list.New_Atom();
      a->x = x;
      a->y = y;
      a->z = z;
      atoms.push_back(a);
    }
    double expected = -99999.0;
    for (std::size_t i = 0; i < atoms.size(); ++i)
      for (std::size_t j = i + 1; j < atoms.size(); ++j)
        if (const double d = Find_Non_Squared_Distance(*atoms[i], *atoms[j]); d > expected) expected = d;
    const double found = Longest_Distance(atoms, -99999.0);
    EXPECT_EQ(std::memcmp(&found, &expected, sizeof found), 0) << found << " vs " << expected;
  }
}

}  // namespace
}  // namespace descriptors
