#include "energy/pair_energy.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "energy_fixtures.hpp"
#include "reference/energy_routines.hpp"

namespace energy::pair {
namespace {

using test::Atom_Spec;
using test::Index_Table;
using test::Make_Atoms;

std::vector<char> Codes(const Atom_List& list) {
  std::vector<char> codes;
  for (const Atom_Record* a = list.first; a; a = a->next) codes.push_back(a->aa_code);
  return codes;
}

double Literal_Energy(Atom_List& list, const MFP_Table& table) {
  Define_Atom_Types(list.first);
  double energy = -1;
  Energy_Profile_Distance_Dependent(list.first, table, energy);
  return energy;
}

TEST(AtomTypes, CaAndCbByResidueCode) {
  const std::string order = "GAVLIMPFWSTQKYNCEDRH";
  for (std::size_t p = 0; p < order.size(); ++p) {
    Atom_List list = Make_Atoms({{"CA", order[p], 1, 0, 0, 0}, {"CB", order[p], 1, 0, 0, 0}});
    EXPECT_EQ(Get_AA_CA_CB_Atom_Type(*list.first), static_cast<int>(2 * p + 1)) << order[p];
    EXPECT_EQ(Get_AA_CA_CB_Atom_Type(*list.first->next), static_cast<int>(2 * p + 2)) << order[p];
    Define_Atom_Types(list.first);  // lowered: the table indices
    EXPECT_EQ(list.first->atom_type, static_cast<int>(2 * p));
    EXPECT_EQ(list.first->next->atom_type, static_cast<int>(2 * p + 1));
  }
  Atom_List others =
      Make_Atoms({{"N", 'A', 1, 0, 0, 0}, {"ca", 'A', 1, 0, 0, 0}, {"CA", 'X', 1, 0, 0, 0}, {"CBX", 'L', 1, 0, 0, 0}});
  EXPECT_EQ(Set_AA_CA_CB_Atom_Type(others.first), 4);
  Correct_Atom_Types(others.first);
  for (const Atom_Record* a = others.first; a; a = a->next) EXPECT_EQ(a->atom_type, 9998);
}

TEST(KeepOnlyRequiredAtoms, CaAndCbRemainRenumbered) {
  Atom_List list = Make_Atoms({{"N", 'A', 5, 0, 0, 0},
                               {"CA", 'A', 5, 0, 0, 0},
                               {"O", 'A', 5, 0, 0, 0},
                               {"N", 'G', 6, 0, 0, 0},
                               {"N", 'L', 7, 0, 0, 0},
                               {"CB", 'L', 7, 0, 0, 0},
                               {"OXT", 'L', 7, 0, 0, 0}});
  Keep_Only_Directly_Required_Atoms(list);
  std::vector<std::string> kept;
  for (const Atom_Record* a = list.first; a; a = a->next)
    kept.push_back(a->atom_name + std::to_string(a->aa_number) + "/" + std::to_string(a->atom_number));
  EXPECT_EQ(kept, (std::vector<std::string>{"CA1/1", "CB2/2"}));
  Atom_List none = Make_Atoms({{"N", 'A', 1, 0, 0, 0}, {"O", 'A', 1, 0, 0, 0}});
  Keep_Only_Directly_Required_Atoms(none);
  EXPECT_TRUE(none.empty());
}

TEST(Separation, ClassesAndChains) {
  struct Case {
    int a, b;
    const char* chain_b;
    int k, separation_class;
  };
  const std::vector<Case> cases = {{1, 1, "A", 0, -1}, {1, 3, "A", 2, -1},  {1, 4, "A", 3, 0},   {9, 1, "A", 8, 5},
                                   {1, 10, "A", 9, 6}, {1, 61, "A", 60, 6}, {1, 2, "B", 100, 6}, {1, 1, "", 100, 6}};
  for (const Case& c : cases) {
    Atom_List list = Make_Atoms({{"CA", 'A', c.a, 0, 0, 0}, {"CA", 'A', c.b, 0, 0, 0, c.chain_b}});
    EXPECT_EQ(Find_K(*list.first, *list.first->next), c.k) << c.a << "-" << c.b << c.chain_b;
    EXPECT_EQ(Separation_Class(c.k), c.separation_class);
  }
}

TEST(DistanceBins, EdgesBelongToTheLowerBin) {
  struct Case {
    float d;
    char answer;
    int bin;
  };
  const std::vector<Case> cases = {{0.0F, 'N', 9999},    {0.25F, 'Y', 0},       {0.5F, 'Y', 0},
                                   {0.5000001F, 'Y', 1}, {7.5F, 'Y', 14},       {7.4999995F, 'Y', 14},
                                   {15.0F, 'Y', 29},     {15.000001F, 'N', -5}, {-1.0F, 'N', 9999}};
  for (const Case& c : cases) {
    int bin = -5;
    EXPECT_EQ(Find_Distance_Dependent_Class(c.d, bin, 15.0, 0.5, 30), c.answer) << c.d;
    EXPECT_EQ(bin, c.bin) << c.d;
  }
}

TEST(Distance, RoundedToSinglePrecisionTwice) {
  Atom_List list = Make_Atoms({{"CA", 'A', 1, 0.1F, 0.2F, 0.3F}, {"CA", 'A', 4, 7.7F, -3.3F, 2.9F}});
  const Atom_Record& a = *list.first;
  const Atom_Record& b = *list.first->next;
  const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y,
               dz = static_cast<double>(b.z) - a.z;
  const float squared = static_cast<float>(dy * dy + dx * dx + dz * dz);
  EXPECT_EQ(Find_Non_Squared_Distance(a, b), static_cast<float>(std::sqrt(static_cast<double>(squared))));
  // 7.5 exactly: squared distance 56.25.
  Atom_List exact = Make_Atoms({{"CB", 'A', 1, 0, 0, 0}, {"CB", 'A', 4, 4.5F, 6.0F, 0}});
  EXPECT_EQ(Find_Non_Squared_Distance(*exact.first, *exact.first->next), 7.5F);
}

TEST(PairEnergy, WorkedTupleAndOrder) {
  // CB of a leucine, CA of a glycine five residues later at 6.2: (7, 0, 2, 12).
  const MFP_Table table = Index_Table(Pair_Table_Shape());
  Atom_List list = Make_Atoms({{"CB", 'L', 1, 0, 0, 0}, {"CA", 'G', 6, 6.2F, 0, 0}});
  EXPECT_EQ(Literal_Energy(list, table), 58872.0);
  // The earlier atom indexes first: swapping the list order reads the transpose.
  Atom_List swapped = Make_Atoms({{"CA", 'G', 1, 0, 0, 0}, {"CB", 'L', 6, 6.2F, 0, 0}});
  const int transposed[] = {0, 7, 2, 12};
  EXPECT_EQ(Literal_Energy(swapped, table), Get_MFP_Index(4, transposed, table.dim_val));
}

TEST(PairEnergy, WhatIsNotScored) {
  const MFP_Table table = Index_Table(Pair_Table_Shape());
  // Three residues: all within two positions.
  Atom_List short_chain = Make_Atoms({{"CA", 'A', 1, 0, 0, 0},
                                      {"CB", 'A', 1, 1, 0, 0},
                                      {"CA", 'A', 2, 3, 0, 0},
                                      {"CA", 'A', 3, 6, 0, 0},
                                      {"CB", 'A', 3, 7, 0, 0}});
  EXPECT_EQ(Literal_Energy(short_chain, table), 0.0);
  // Same position, or beyond 15: no bin.
  Atom_List far = Make_Atoms({{"CA", 'A', 1, 0, 0, 0}, {"CA", 'A', 4, 0, 0, 0}, {"CA", 'A', 8, 15.0001F, 0, 0}});
  EXPECT_EQ(Literal_Energy(far, table), 0.0);
  Atom_List edge = Make_Atoms({{"CA", 'A', 1, 0, 0, 0}, {"CA", 'A', 4, 15.0F, 0, 0}});
  const int tuple[] = {2, 2, 0, 29};
  EXPECT_EQ(Literal_Energy(edge, table), Get_MFP_Index(4, tuple, table.dim_val));
}

TEST(PairEnergy, GeometryEqualsTheLiteralEvaluation) {
  // A small random cloud of CA/CB atoms over two chains with an asymmetric
  // table: the fast path must give the same double.
  const MFP_Table table = test::Synthetic_Table(Pair_Table_Shape(), 11);
  std::vector<Atom_Spec> specs;
  const std::string codes = "GAVLIMPFWSTQKYNCEDRH";
  std::uint64_t state = 5;
  auto next = [&] {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<float>((state >> 33) % 20000) / 1000.0F;
  };
  for (int r = 1; r <= 60; ++r) {
    const char code = codes[static_cast<std::size_t>(r * 7) % codes.size()];
    const char* chain = r <= 40 ? "A" : "B";
    specs.push_back({"CA", code, r, next(), next(), next(), chain});
    specs.push_back({"CB", code, r, next(), next(), next(), chain});
  }
  Atom_List list = Make_Atoms(specs);
  Pair_Geometry geometry(list.first, table);
  EXPECT_GT(geometry.Scored_Pairs(), 100U);
  const std::vector<char> native = Codes(list);
  const double fast = geometry.Energy(native);
  EXPECT_EQ(fast, Literal_Energy(list, table));
  // Retyped atoms: rotate the codes.
  for (Atom_Record* a = list.first; a; a = a->next) a->aa_code = codes[(codes.find(a->aa_code) + 3) % codes.size()];
  EXPECT_EQ(geometry.Energy(Codes(list)), Literal_Energy(list, table));
}

}  // namespace
}  // namespace energy::pair
