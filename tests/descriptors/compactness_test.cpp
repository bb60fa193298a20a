#include "descriptors/compactness.hpp"

#include <gtest/gtest.h>

#include <cmath>

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
