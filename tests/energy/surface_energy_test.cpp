#include "energy/surface_energy.hpp"

#include <gtest/gtest.h>

#include "energy_fixtures.hpp"
#include "reference/energy_routines.hpp"

namespace energy::surface {
namespace {

using test::Index_Table;
using test::Make_Atoms;

double Literal_Energy(Atom_List& list, const MFP_Table& table) {
  Define_Atom_Types(list.first);
  double energy = -1;
  Energy_Profile_Accessible_Surface(list.first, table, energy);
  return energy;
}

TEST(SurfaceClasses, CountsToClasses) {
  struct Case {
    float count;
    char answer;
    int surface_class;
  };
  const std::vector<Case> cases = {{0, 'N', 9999}, {1, 'Y', 0},   {2, 'Y', 0},   {3, 'Y', 1},   {7, 'Y', 3},
                                   {39, 'Y', 19},  {40, 'Y', 19}, {41, 'Y', 19}, {75, 'Y', 19}, {-1, 'N', 9999}};
  for (const Case& c : cases) {
    int surface_class = -5;
    EXPECT_EQ(Find_Accessible_Surface_Class(c.count, surface_class, 40.0, 2.0, 20), c.answer) << c.count;
    EXPECT_EQ(surface_class, c.surface_class) << c.count;
  }
}

TEST(SurfaceEnergy, NeighboursWithinTenAngstrom) {
  const MFP_Table table = Index_Table(Surface_Table_Shape());
  // Exactly 10.0 apart: neighbours (class 0 each: ALA 0*20+0, VAL 19*20+0).
  Atom_List at_ten = Make_Atoms({{"CB", 'A', 1, 0, 0, 0}, {"CB", 'V', 2, 6.0F, 8.0F, 0}});
  EXPECT_EQ(Literal_Energy(at_ten, table), 0.0 + 380.0);
  Atom_List beyond = Make_Atoms({{"CB", 'A', 1, 0, 0, 0}, {"CB", 'V', 2, 10.000001F, 0, 0}});
  EXPECT_EQ(Literal_Energy(beyond, table), 0.0);
  // Two beta carbons at one position count each other.
  Atom_List same = Make_Atoms({{"CB", 'R', 1, 1, 1, 1}, {"CB", 'N', 2, 1, 1, 1}});
  EXPECT_EQ(Literal_Energy(same, table), 20.0 + 40.0);
  Atom_List single = Make_Atoms({{"CB", 'W', 1, 0, 0, 0}});
  EXPECT_EQ(Literal_Energy(single, table), 0.0);
}

TEST(SurfaceEnergy, WorkedPositions) {
  const MFP_Table table = Index_Table(Surface_Table_Shape());
  // An alanine with 7 neighbours reads position 3; the neighbours are
  // glycines placed on a ring of radius 5 (each sees all 7 others + alanine).
  std::vector<test::Atom_Spec> specs = {{"CB", 'A', 1, 0, 0, 0}};
  for (int i = 0; i < 7; ++i) specs.push_back({"CB", 'G', 2 + i, static_cast<float>(i), 0.0F, 50.0F});
  Atom_List list = Make_Atoms(specs);
  // Only the alanine is near nothing: move the ring onto it.
  for (Atom_Record* a = list.first->next; a; a = a->next) a->z = 0.0F;
  // Alanine: 7 neighbours, class 3. Each glycine: 7 neighbours, class 3 (7*20+3).
  EXPECT_EQ(Literal_Energy(list, table), 3.0 + 7 * (7 * 20.0 + 3));
  // A valine with 45 neighbours reads the last entry.
  std::vector<test::Atom_Spec> crowd = {{"CB", 'V', 1, 0, 0, 0}};
  for (int i = 0; i < 45; ++i) crowd.push_back({"CB", 'G', 2 + i, 0.1F * static_cast<float>(i), 0, 0});
  Atom_List crowded = Make_Atoms(crowd);
  EXPECT_EQ(Literal_Energy(crowded, table), 399.0 + 45 * (7 * 20.0 + 19));
}

TEST(SurfaceEnergy, KeepsBetaCarbonsOnly) {
  Atom_List list = Make_Atoms({{"CA", 'A', 1, 0, 0, 0},
                               {"CB", 'A', 1, 0, 0, 0},
                               {"CA", 'S', 2, 0, 0, 0},
                               {"CA", 'T', 3, 0, 0, 0},
                               {"CB", 'T', 3, 0, 0, 0}});
  Keep_Only_Directly_Required_Atoms(list);
  std::vector<std::string> kept;
  for (const Atom_Record* a = list.first; a; a = a->next) kept.push_back(a->aa_name + std::to_string(a->aa_number));
  EXPECT_EQ(kept, (std::vector<std::string>{"ALA1", "THR2"}));  // serine had no CB: out of the sequence
}

TEST(SurfaceEnergy, TypesFollowTheThreeLetterName) {
  Atom_List list = Make_Atoms({{"CB", 'A', 1, 0, 0, 0}, {"CB", 'V', 2, 0, 0, 0}});
  list.first->aa_name = "MSE";
  EXPECT_EQ(Set_AA_Type(list.first), 1);
  EXPECT_EQ(list.first->atom_type, 9999);
  EXPECT_EQ(list.first->next->atom_type, 19);
}

TEST(SurfaceEnergy, GeometryEqualsTheLiteralEvaluation) {
  const MFP_Table table = test::Synthetic_Table(Surface_Table_Shape(), 4);
  std::vector<test::Atom_Spec> specs;
  const std::string codes = "ARNDCEQGHILKMFPSTWYV";
  for (int r = 0; r < 120; ++r)
    specs.push_back({"CB", codes[static_cast<std::size_t>(r * 11) % 20], r + 1, static_cast<float>(r % 5) * 3.1F,
                     static_cast<float>((r / 5) % 6) * 2.9F, static_cast<float>(r / 30) * 4.2F});
  Atom_List list = Make_Atoms(specs);
  Surface_Geometry geometry(list.first, table);
  std::vector<char> atom_codes;
  for (const Atom_Record* a = list.first; a; a = a->next) atom_codes.push_back(a->aa_code);
  EXPECT_EQ(geometry.Energy(atom_codes), Literal_Energy(list, table));
}

}  // namespace
}  // namespace energy::surface
