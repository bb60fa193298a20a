// The cell-list neighbour search against the walk over all pairs: the same
// scored pairs in the same order (pair energy), the same accessibility
// classes (surface energy), on a large real chain and on degenerate clouds.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "energy/energy_tool.hpp"
#include "energy/pair_energy.hpp"
#include "energy/surface_energy.hpp"
#include "energy_fixtures.hpp"
#include "reference/energy_routines.hpp"
#include "structure/cell_grid.hpp"
#include "support/run_tool.hpp"

namespace energy {
namespace {

using structure::Atom_List;
using structure::Atom_Record;

std::vector<pair::Pair_Geometry::Scored_Pair> All_Pairs_Walk(const Atom_List& list, const MFP_Table& table) {
  std::vector<pair::Pair_Geometry::Scored_Pair> pairs;
  std::uint32_t i = 0;
  for (const Atom_Record* a = list.first; a; a = a->next, ++i) {
    std::uint32_t j = i + 1;
    for (const Atom_Record* b = a->next; b; b = b->next, ++j) {
      const int separation = pair::Separation_Class(pair::Find_K(*a, *b));
      if (separation < 0) continue;
      const float d = pair::Find_Non_Squared_Distance(*a, *b);
      int bin = 0;
      if (!(d <= table.range) ||
          pair::Find_Distance_Dependent_Class(d, bin, table.range, table.bin_size, table.dim_val[3]) != 'Y')
        continue;
      pairs.push_back({i, j, static_cast<std::uint32_t>(separation * table.dim_val[3] + bin)});
    }
  }
  return pairs;
}

std::vector<int> All_Pairs_Classes(const Atom_List& list, const MFP_Table& table) {
  std::vector<int> counts;
  for (const Atom_Record* a = list.first; a; a = a->next) {
    int count = 0;
    for (const Atom_Record* b = list.first; b; b = b->next)
      if (b != a && pair::Find_Non_Squared_Distance(*a, *b) <= surface::kNeighbourRadius) ++count;
    counts.push_back(count);
  }
  std::vector<int> classes;
  for (const int count : counts) {
    int c = 0;
    const char scored = surface::Find_Accessible_Surface_Class(static_cast<float>(count), c, table.range,
                                                               table.bin_size, table.dim_val[1]);
    classes.push_back(scored == 'Y' ? c : -1);
  }
  return classes;
}

// CA/CB atoms on the points, residue i + 1 for point i (both atom names).
Atom_List Cloud(const std::vector<structure::Point>& points) {
  std::vector<test::Atom_Spec> specs;
  for (std::size_t i = 0; i < points.size(); ++i)
    specs.push_back({i % 2 ? "CB" : "CA", "AGLKW"[i % 5], static_cast<int>(i / 2 + 1), points[i].x, points[i].y,
                     points[i].z, i % 7 == 6 ? "B" : "A"});
  return test::Make_Atoms(specs);
}

std::vector<structure::Point> Lattice(float spacing, int side, float jitter) {
  std::vector<structure::Point> points;
  for (int x = 0; x < side; ++x)
    for (int y = 0; y < side; ++y)
      for (int z = 0; z < side; ++z) {
        const float e = jitter * static_cast<float>((x * 7 + y * 3 + z) % 3 - 1);
        points.push_back({x * spacing + e, y * spacing, z * spacing - e});
      }
  return points;
}

struct Case {
  const char* what;
  std::function<Atom_List()> atoms;
};

const std::vector<Case> kCases = {
    {"large real chain, CA and CB",
     [] {
       return Prepare_Structure(kPairTool, test_support::Test_Data("1I1E_A.pdb"), 'A', {stdout, nullptr, ""});
     }},
    {"large real chain, CB only",
     [] {
       return Prepare_Structure(kSurfaceTool, test_support::Test_Data("1I1E_A.pdb"), 'A', {stdout, nullptr, ""});
     }},
    {"all atoms in one cell", [] { return Cloud(Lattice(1.9F, 5, 0.0F)); }},
    {"atoms exactly at the cut-offs (10 and 15 A apart)", [] { return Cloud(Lattice(5.0F, 7, 0.0F)); }},
    {"atoms one rounding either side of the cut-offs",
     [] { return Cloud(Lattice(5.0F, 7, std::nextafter(5.0F, 6.0F) - 5.0F)); }},
    {"one atom far away, one without finite coordinates",
     [] {
       std::vector<structure::Point> points = Lattice(4.0F, 4, 0.0F);
       points.push_back({9000.0F, -900.0F, 9000.0F});
       points.push_back({NAN, 0.0F, 0.0F});
       points.push_back({1.0F, 1.0F, INFINITY});
       return Cloud(points);
     }},
};

TEST(NeighbourSearch, CellListsFindWhatTheWalkOverAllPairsFinds) {
  const MFP_Table pair_table = Pair_Table_Shape();
  const MFP_Table surface_table = Surface_Table_Shape();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    const Atom_List list = c.atoms();
    const auto expected = All_Pairs_Walk(list, pair_table);
    // The vector search where the processor has it, and the portable one.
    for (const auto path : {pair::Pair_Geometry::Pass_Path::kBest, pair::Pair_Geometry::Pass_Path::kPortable}) {
      const pair::Pair_Geometry geometry(list.first, pair_table, path);
      const auto found = geometry.Pairs();
      ASSERT_EQ(found.size(), expected.size());
      for (std::size_t k = 0; k < found.size(); ++k) {
        ASSERT_EQ(found[k].a, expected[k].a) << "pair " << k;
        ASSERT_EQ(found[k].b, expected[k].b) << "pair " << k;
        ASSERT_EQ(found[k].cell, expected[k].cell) << "pair " << k;
      }
    }
    EXPECT_EQ(surface::Surface_Geometry(list.first, surface_table).Classes(), All_Pairs_Classes(list, surface_table));
  }
}

TEST(NeighbourSearch, DistanceBinIsTheBinTheSearchFinds) {
  struct Shape {
    const char* what;
    double range, bin_size;
    int bins;
  };
  const MFP_Table t = Pair_Table_Shape();
  const Shape shapes[] = {
      {"the tables' bins", t.range, t.bin_size, t.dim_val[3]},
      {"bounds that are not floats", 10.0, 1.0 / 3.0, 30},
      {"range inside the last bin", 9.9, 0.7, 15},
      {"bins beyond the range", 5.0, 0.1, 80},
      {"bins far narrower than a float step", 2.0, 1e-9, 4},
      {"no bins", 15.0, 0.5, 0},
      {"bins of no width", 15.0, 0.0, 30},
  };
  for (const Shape& shape : shapes) {
    SCOPED_TRACE(shape.what);
    const pair::Distance_Bins bins(shape.range, shape.bin_size, shape.bins);
    std::vector<float> values = {
        0.0F, 1e-30F, 7.0F, 14.5F, 16.0F, NAN, INFINITY, -1.0F, static_cast<float>(shape.range)};
    for (int k = 0; k <= shape.bins; ++k) values.push_back(static_cast<float>(k * shape.bin_size));
    for (const float d : values) {
      for (const float probe : {std::nextafter(d, -1e9F), d, std::nextafter(d, 1e9F)}) {
        int bin = -1;
        const bool found =
            pair::Find_Distance_Dependent_Class(probe, bin, shape.range, shape.bin_size, shape.bins) == 'Y';
        EXPECT_EQ(pair::Distance_Bin(probe, shape.range, shape.bin_size, shape.bins), found ? bin : -1) << probe;
        EXPECT_EQ(bins.Bin(probe), found ? bin : -1) << probe;
      }
    }
  }
}

}  // namespace
}  // namespace energy
