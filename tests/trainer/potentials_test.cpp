// Training the potentials: what is counted is what the energy programs
// score, and the estimator on hand-made counts.
#include "trainer/potentials.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "energy/energy_tool.hpp"
#include "energy/potential_table.hpp"
#include "support/run_tool.hpp"
#include "trainer/structure_list.hpp"

namespace {

using namespace trainer;

std::size_t Pair_Cell(int a, int b, int k, int l) { return ((a * 40 + b) * 7 + k) * 30 + l; }

TEST(InverseBoltzmann, HandMadeDistributions) {
  const double s = 0.02;
  struct Case {
    const char* what;
    std::vector<double> observed, reference, expected;
  };
  const Case cases[] = {
      {"no observation: the reference", {0, 0, 0}, {0.25, 0.5, 0.25}, {0, 0, 0}},
      {"seen at one distance only",
       {10, 0, 0},
       {0.25, 0.5, 0.25},
       {std::log1p(0.2) - std::log1p(0.2 * 4), std::log1p(0.2), std::log1p(0.2)}},
      {"as the reference: zero", {25, 50, 25}, {0.25, 0.5, 0.25}, {0, 0, 0}},
      {"a bin no group shows: bounded", {0, 100, 0}, {0, 1, 0}, {std::log1p(2.0), 0, std::log1p(2.0)}},
  };
  for (const Case& c : cases) {
    const std::vector<double> energies = Inverse_Boltzmann(c.observed, c.reference, s);
    for (std::size_t bin = 0; bin < energies.size(); ++bin)
      EXPECT_NEAR(energies[bin], c.expected[bin], 1e-12) << c.what << ", bin " << bin;
  }
}

TEST(InverseBoltzmann, SparseWeightMovesFromReferenceToFullStatistics) {
  const std::vector<double> observed = {30, 10}, reference = {0.5, 0.5};
  const double full = -std::log(0.75 / 0.5);  // s -> infinity: -ln(f_obs / f_ref)
  double previous = 0.0;
  for (double s : {0.0, 0.001, 0.02, 1.0, 1e6}) {
    const double e = Inverse_Boltzmann(observed, reference, s)[0];
    EXPECT_LE(e, previous) << s;  // more weight to the data: deeper
    EXPECT_GE(e, full - 1e-6) << s;
    previous = e;
  }
  EXPECT_EQ(Inverse_Boltzmann(observed, reference, 0.0)[0], 0.0);
  EXPECT_NEAR(previous, full, 1e-4);
}

TEST(PairEnergies, PoolsBothOrdersAndBoundsUnseenCells) {
  std::vector<std::uint64_t> counts(kPairCells, 0);
  counts[Pair_Cell(7, 0, 2, 12)] = 30;  // L.CB before G.CA at one distance only
  counts[Pair_Cell(0, 7, 2, 12)] = 10;  // and the other order
  counts[Pair_Cell(3, 3, 2, 20)] = 40;  // another pair elsewhere, for the reference
  const std::vector<double> e = Pair_Energies(counts, 0.02);
  const double ms = 40 * 0.02;
  EXPECT_NEAR(e[Pair_Cell(7, 0, 2, 12)], std::log1p(ms) - std::log1p(ms * 2), 1e-12);
  EXPECT_EQ(e[Pair_Cell(7, 0, 2, 12)], e[Pair_Cell(0, 7, 2, 12)]);
  EXPECT_NEAR(e[Pair_Cell(7, 0, 2, 20)], std::log1p(ms), 1e-12);  // a cell never seen
  EXPECT_NEAR(e[Pair_Cell(7, 0, 2, 0)], std::log1p(ms), 1e-12);   // a bin no pair shows
  EXPECT_EQ(e[Pair_Cell(7, 0, 3, 12)], 0.0);                      // class without data
  EXPECT_EQ(e[Pair_Cell(5, 9, 2, 12)], 0.0);                      // type pair never seen
  for (double value : e) ASSERT_TRUE(std::isfinite(value));

  // Per kind of atom pair, each of the two is its kind's whole reference.
  const std::vector<double> kinds = Pair_Energies(counts, 0.02, Pair_Reference::kAtomKinds);
  EXPECT_NEAR(kinds[Pair_Cell(7, 0, 2, 12)], 0.0, 1e-12);
  EXPECT_NEAR(kinds[Pair_Cell(3, 3, 2, 20)], 0.0, 1e-12);
  EXPECT_NEAR(kinds[Pair_Cell(3, 3, 2, 12)], std::log1p(ms), 1e-12);
}

// Counting equals scoring: with a table trained on real structures, each
// structure's native energy, as the programs compute it, is the sum over the
// cells of its own counts times the table's values.
TEST(CountingEqualsScoring, NativeEnergyIsCountsTimesValues) {
  const test_support::Temp_Dir dir;
  dir.Write("set.list", test_support::Test_Data("1enh.pdb") + "\n" + test_support::Test_Data("2ACY_A.pdb") + "\n" +
                            test_support::Test_Data("1a0q.pdb") + "\tH\n");
  const std::vector<List_Entry> entries = Read_Structure_List(dir.File("set.list"));
  Potential_Counts all;
  std::vector<Potential_Counts> each(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const char chain = Entry_Chain(entries[i]);
    Count_Chain(Read_Entry_Chain(entries[i], chain), entries[i].path, chain, all);
    Count_Chain(Read_Entry_Chain(entries[i], chain), entries[i].path, chain, each[i]);
  }
  dir.Write("pair.potential", Pair_Table_Text(Pair_Energies(all.pair, 0.02)));
  dir.Write("surface.potential", Surface_Table_Text(Surface_Energies(all.surface, 0.02)));

  struct Tool {
    const energy::Energy_Tool& tool;
    const char* table;
    std::vector<std::uint64_t> Potential_Counts::*counts;
  };
  for (const Tool& t : {Tool{energy::kPairTool, "pair.potential", &Potential_Counts::pair},
                        Tool{energy::kSurfaceTool, "surface.potential", &Potential_Counts::surface}}) {
    const energy::MFP_Table table = energy::Load_Potential(t.tool.table_shape(), dir.File(t.table));
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const char chain = Entry_Chain(entries[i]);
      const structure::Atom_List list =
          energy::Prepare_Structure(t.tool, Read_Entry_Chain(entries[i], chain), entries[i].path, chain);
      const double native = energy::Energy_Profile_Run(t.tool, list, table).Native_Energy();
      double expected = 0.0;
      std::uint64_t observed = 0;
      const std::vector<std::uint64_t>& counts = each[i].*t.counts;
      for (std::size_t cell = 0; cell < counts.size(); ++cell) {
        expected += static_cast<double>(counts[cell]) * table.values[cell];
        observed += counts[cell];
      }
      EXPECT_GT(observed, 50u) << entries[i].path;
      EXPECT_NEAR(native, expected, 1e-9 * (1.0 + std::fabs(native))) << t.table << ", " << entries[i].path;
      EXPECT_LT(native, 0.0) << t.table << ", " << entries[i].path << ": a native scores better than the reference";
    }
  }
}

}  // namespace
