#include "structure/virtual_cb.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "common/fatal_error.hpp"

namespace structure {
namespace {

struct Spec {
  const char* name;
  const char* residue;
  int number;
  float x, y, z;
};

Atom_List Make(const std::vector<Spec>& specs) {
  Atom_List list;
  Atom_Record* tail = nullptr;
  int serial = 0;
  for (const Spec& s : specs) {
    Atom_Record* a = list.New_Atom();
    a->atom_name = s.name;
    a->aa_name = s.residue;
    a->aa_code = Find_AA_Type(*a);
    a->aa_number = a->aa_number_read = s.number;
    a->atom_number = a->atom_number_read = ++serial;
    a->chain = "A";
    a->x = s.x;
    a->y = s.y;
    a->z = s.z;
    a->occupancy = 0.5F + 0.01F * static_cast<float>(serial);
    a->temp_factor = 10.0F * static_cast<float>(serial);
    tail = Append_Atom(list, tail, a);
  }
  return list;
}

std::vector<std::string> Names(const Atom_List& list) {
  std::vector<std::string> names;
  for (const Atom_Record* a = list.first; a; a = a->next) names.push_back(a->atom_name + std::to_string(a->aa_number));
  return names;
}

TEST(VirtualCB, WorkedExample) {
  Atom_Record n, ca, c, cb;
  n.x = 1.46F;
  c.x = -0.5F;
  c.y = 1.4F;
  Get_Coordinates_CB(cb, n, ca, c);
  EXPECT_NEAR(cb.x, -0.5F, 1e-6);
  EXPECT_NEAR(cb.y, -0.7F, 1e-6);
  EXPECT_NEAR(cb.z, 1.2124355F, 1e-6);
}

TEST(VirtualCB, SinglePrecisionArithmeticIsReproducedBitForBit) {
  // A reference evaluation written out step by step, each intermediate a float.
  Atom_Record n, ca, c, cb;
  n.x = 13.457F, n.y = -2.113F, n.z = 7.002F;
  ca.x = 12.901F, ca.y = -0.789F, ca.z = 7.455F;
  c.x = 11.402F, c.y = -0.915F, c.z = 7.231F;
  Get_Coordinates_CB(cb, n, ca, c);

  const float theta = static_cast<float>(4.0 * std::atan(1.0) * 120.0 / 180.0);
  const float t = static_cast<float>(1.0 - std::cos(static_cast<double>(theta)));
  const float cs = static_cast<float>(std::cos(static_cast<double>(theta)));
  const float s = static_cast<float>(std::sin(static_cast<double>(theta)));
  EXPECT_EQ(t, 1.5F);
  EXPECT_EQ(cs, -0.50000006F);
  EXPECT_EQ(s, 0.8660254F);
  volatile float ux = n.x - ca.x, uy = n.y - ca.y, uz = n.z - ca.z;
  volatile float sq = ux * ux;
  sq = sq + uy * uy;
  sq = sq + uz * uz;
  volatile float len = static_cast<float>(std::sqrt(static_cast<double>(sq)));
  volatile float ax = ux / len, ay = uy / len, az = uz / len;
  volatile float axay = ax * ay, axaz = ax * az;
  volatile float r11 = ax * ax, r12 = axay * t, r13 = axaz * t;
  r11 = r11 * t;
  r11 = r11 + cs;
  volatile float azs = az * s, ays = ay * s;
  r12 = r12 - azs;
  r13 = r13 + ays;
  volatile float vx = c.x - ca.x, vy = c.y - ca.y, vz = c.z - ca.z;
  volatile float row = r11 * vx;
  volatile float term = r12 * vy;
  row = row + term;
  term = r13 * vz;
  row = row + term;
  EXPECT_EQ(cb.x, row + ca.x);
  // The construction keeps the CA-C distance.
  const double dc = std::hypot(c.x - ca.x, c.y - ca.y, c.z - ca.z);
  const double db = std::hypot(cb.x - ca.x, cb.y - ca.y, cb.z - ca.z);
  EXPECT_NEAR(dc, db, 1e-5);
}

TEST(VirtualCB, InsertedAfterTheOxygenWithCopiedFields) {
  Atom_List list = Make({{"N", "ALA", 1, 0, 0, 0},
                         {"CA", "ALA", 1, 1, 0, 0},
                         {"C", "ALA", 1, 2, 0, 0},
                         {"O", "ALA", 1, 2, 1, 0},
                         {"CB", "ALA", 1, 1, -1, 0},
                         {"N", "GLY", 2, 3, 0, 0},
                         {"CA", "GLY", 2, 4, 0.5, 0},
                         {"C", "GLY", 2, 5, 0, 0},
                         {"O", "GLY", 2, 5, 1, 0},
                         {"N", "SER", 3, 6, 0, 0},
                         {"CA", "SER", 3, 7, 0, 0}});
  const Atom_Record* oxygen = Set_Position_Atom(list.first, 2, "O");
  const float occupancy = oxygen->occupancy;
  const float temp_factor = oxygen->temp_factor;
  Build_Virtual_CB_for_Glycines(list);
  EXPECT_EQ(Names(list),
            (std::vector<std::string>{"N1", "CA1", "C1", "O1", "CB1", "N2", "CA2", "C2", "O2", "CB2", "N3", "CA3"}));
  const Atom_Record* cb = oxygen->next;
  EXPECT_EQ(cb->aa_name, "GLY");
  EXPECT_EQ(cb->aa_code, 'G');
  EXPECT_EQ(cb->atom_type, 0);
  EXPECT_EQ(cb->chain, "A");
  EXPECT_EQ(cb->occupancy, occupancy);
  EXPECT_EQ(cb->temp_factor, temp_factor);
  EXPECT_EQ(Count_AAs(list.first), 3);
  int serial = 0;
  for (const Atom_Record* a = list.first; a; a = a->next) EXPECT_EQ(a->atom_number, ++serial);
}

TEST(VirtualCB, TerminalGlycineAnchorsOnOxt) {
  Atom_List list = Make(
      {{"N", "GLY", 1, 0, 0, 0}, {"CA", "GLY", 1, 1, 0.5, 0}, {"C", "GLY", 1, 2, 0, 0}, {"OXT", "GLY", 1, 2, 1, 0}});
  Build_Virtual_CB_for_Glycines(list);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"N1", "CA1", "C1", "OXT1", "CB1"}));
}

TEST(VirtualCB, GlycineWithoutOxygenBorrowsTheNextResidues) {
  Atom_List list = Make({{"N", "GLY", 1, 0, 0, 0},
                         {"CA", "GLY", 1, 1, 0.5, 0},
                         {"C", "GLY", 1, 2, 0, 0},
                         {"N", "ALA", 2, 3, 0, 0},
                         {"CA", "ALA", 2, 4, 0.5, 0},
                         {"C", "ALA", 2, 5, 0, 0},
                         {"O", "ALA", 2, 5, 1, 0}});
  Build_Virtual_CB_for_Glycines(list);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"N1", "CA1", "C1", "N2", "CA2", "C2", "O2", "CB2"}));
  Atom_Record expected;
  Get_Coordinates_CB(expected, *Set_Position_Atom(list.first, 2, "N"), *Set_Position_Atom(list.first, 2, "CA"),
                     *Set_Position_Atom(list.first, 2, "C"));
  EXPECT_EQ(Set_Position_Atom(list.first, 2, "CB")->z, expected.z);
}

TEST(VirtualCB, NoGlycineChangesNothing) {
  Atom_List list = Make({{"N", "ALA", 1, 0, 0, 0}, {"CA", "ALA", 1, 1, 0, 0}});
  Build_Virtual_CB_for_Glycines(list);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"N1", "CA1"}));
}

TEST(VirtualCB, ImpossibleGlycinesAreFatal) {
  const std::string message = "\n__Error: cannot create virtual CB for Glycine\n(reported from Insert_CB_GLY)\n\n";
  const std::vector<std::vector<Spec>> cases = {
      {{"N", "GLY", 1, 0, 0, 0}, {"CA", "GLY", 1, 1, 0, 0}, {"C", "GLY", 1, 2, 0, 0}},  // no O, no OXT
      {{"CA", "GLY", 1, 1, 0, 0}, {"C", "GLY", 1, 2, 0, 0}, {"O", "GLY", 1, 2, 1, 0}},  // no N
      {{"N", "GLY", 1, 1, 0, 0},
       {"CA", "GLY", 1, 1, 0, 0},
       {"C", "GLY", 1, 2, 0, 0},  // N on CA
       {"O", "GLY", 1, 2, 1, 0}},
  };
  for (const auto& specs : cases) {
    Atom_List list = Make(specs);
    try {
      Build_Virtual_CB_for_Glycines(list);
      FAIL() << "no error";
    } catch (const common::Fatal_Error& e) {
      EXPECT_EQ(e.what(), message);
    }
  }
}

// Exactly the glycines Insert_CB_GLY refuses are described, by the residue
// as the file numbers it and the atoms it lacks.
TEST(VirtualCB, GlycinesWithoutBackboneAreNamed) {
  struct Case {
    std::vector<Spec> specs;
    std::optional<std::string> description;
  };
  const std::string cannot = " atom: no virtual CB can be built for it";
  const std::vector<Case> cases = {
      {{{"CA", "ALA", 4, 0, 0, 0}, {"CA", "GLY", 7, 1, 0, 0}},
       "glycine GLY 7 of chain 'A' (residue 7) has no N, C or O" + cannot},
      {{{"N", "GLY", 1, 0, 0, 0}, {"CA", "GLY", 1, 1, 0, 0}, {"O", "GLY", 1, 2, 1, 0}},
       "glycine GLY 1 of chain 'A' (residue 1) has no C" + cannot},
      {{{"N", "GLY", 1, 1, 0, 0}, {"CA", "GLY", 1, 1, 0, 0}, {"C", "GLY", 1, 2, 0, 0}, {"OXT", "GLY", 1, 2, 1, 0}},
       "glycine GLY 1 of chain 'A' (residue 1) has its N on its CA: no virtual CB can be built for it"},
      // Borrowing the next residue's backbone succeeds: nothing to name.
      {{{"N", "GLY", 1, 0, 0, 0},
        {"CA", "GLY", 1, 1, 0.5, 0},
        {"C", "GLY", 1, 2, 0, 0},
        {"N", "ALA", 2, 3, 0, 0},
        {"CA", "ALA", 2, 4, 0.5, 0},
        {"C", "ALA", 2, 5, 0, 0},
        {"O", "ALA", 2, 5, 1, 0}},
       std::nullopt},
  };
  for (const Case& c : cases) {
    Atom_List list = Make(c.specs);
    EXPECT_EQ(Glycine_Without_Backbone(list), c.description);
    Atom_List copy = Make(c.specs);
    EXPECT_EQ(c.description.has_value(), [&] {
      try {
        Build_Virtual_CB_for_Glycines(copy);
      } catch (const common::Fatal_Error&) {
        return true;
      }
      return false;
    }());
  }
}

}  // namespace
}  // namespace structure
