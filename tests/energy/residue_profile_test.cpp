// Per-residue energies: they add up to the programs' native energies on real
// structures, follow the file's residue labels, and split pairs evenly.
#include "energy/residue_profile.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <tuple>

#include "energy/energy_tool.hpp"
#include "energy_fixtures.hpp"
#include "structure/residues.hpp"
#include "structure/structure_tool.hpp"
#include "support/run_tool.hpp"

namespace energy {
namespace {

struct Labelled_Structure {
  const char* file;
  char chain;
  std::size_t residues;
  const char* first_label;
  std::vector<const char*> labels;  // labels that must follow each other
};

const std::vector<Labelled_Structure> kStructures = {
    {"1ubq.pdb", 'A', 76, "1", {"75", "76"}},
    {"1enh.pdb", '_', 54, "1", {}},
    {"2ACY_A.pdb", 'A', 98, "1", {}},
    {"1d3z_models1-2.pdb", 'A', 76, "1", {}},
    {"1a0q.pdb", 'L', 211, "2", {"94", "96"}},         // starts at 2, gap 95
    {"1a0q.pdb", 'H', 205, "2", {"52", "52A", "53"}},  // insertion codes
    {"1a0q.pdb", 'H', 205, "2", {"82", "82A", "82B", "82C", "83"}},
    {"1a0q.pdb", 'H', 205, "2", {"125", "126", "134"}},  // gap 127-133
};

structure::Atom_List Read(const std::string& path, char chain) {
  return structure::Load_Chain({path, std::string(1, chain)}, structure::Get_AA_Type, {stdout, nullptr, ""});
}

double Native(const Energy_Tool& tool, const structure::Atom_List& chain, const MFP_Table& table) {
  const structure::Atom_List list = Prepare_Structure(tool, chain.Copy(), "model", '_');
  return Energy_Profile_Run(tool, list, table).Native_Energy();
}

double Sum(const std::vector<Residue_Energy>& residues, double Residue_Energy::*field) {
  return std::accumulate(residues.begin(), residues.end(), 0.0,
                         [field](double sum, const Residue_Energy& r) { return sum + r.*field; });
}

TEST(ResidueProfile, SumsToTheNativeEnergiesWithTheFilesLabels) {
  const MFP_Table pair_table = test::Synthetic_Table(Pair_Table_Shape(), 5);
  const MFP_Table surface_table = test::Synthetic_Table(Surface_Table_Shape(), 6);
  for (const Labelled_Structure& s : kStructures) {
    SCOPED_TRACE(std::string(s.file) + " " + s.chain);
    const structure::Atom_List chain = Read(test_support::Test_Data(s.file), s.chain);
    const Residue_Profile profile = Compute_Residue_Profile(chain, pair_table, surface_table);
    const double pair = Native(kPairTool, chain, pair_table);
    const double surface = Native(kSurfaceTool, chain, surface_table);
    EXPECT_NEAR(Sum(profile.residues, &Residue_Energy::pair), pair, 1e-9 * std::abs(pair));
    EXPECT_NEAR(Sum(profile.residues, &Residue_Energy::surface), surface, 1e-9 * std::abs(surface));
    EXPECT_NEAR(Sum(profile.residues, &Residue_Energy::combined), pair + surface, 1e-9 * std::abs(pair + surface));

    ASSERT_EQ(profile.residues.size(), s.residues);
    EXPECT_EQ(Residue_Label(profile.residues.front()), s.first_label);
    std::vector<std::string> labels;
    for (const Residue_Energy& r : profile.residues) labels.push_back(Residue_Label(r));
    const auto at = std::find(labels.begin(), labels.end(), s.labels.empty() ? "" : s.labels.front());
    for (std::size_t i = 0; i < s.labels.size(); ++i) {
      ASSERT_LT(at - labels.begin() + static_cast<long>(i), static_cast<long>(labels.size())) << s.labels[i];
      EXPECT_EQ(*(at + static_cast<long>(i)), s.labels[i]);
    }
    ASSERT_EQ(profile.smoothed.size(), kProfileWindows.size());
    std::vector<double> combined;
    for (const Residue_Energy& r : profile.residues) combined.push_back(r.combined);
    EXPECT_EQ(profile.smoothed.back().combined, Smooth(combined, kProfileWindows.back()));
  }
}

// Residues 1 and 4 (valines, CA and CB) are the only pair at least three
// apart, and each other's only beta carbon neighbour; 2 and 3 stand far off.
TEST(ResidueProfile, PairsSplitEvenlyAndSurfaceStaysWithItsResidue) {
  const structure::Atom_List chain = test::Make_Atoms({{"CA", 'V', 1, 0, 0, 0},
                                                       {"CB", 'V', 1, 0, -1, 0},
                                                       {"CA", 'A', 2, 30, 0, 0},
                                                       {"CA", 'A', 3, 60, 0, 0},
                                                       {"CA", 'V', 4, 0, 5, 0},
                                                       {"CB", 'V', 4, 0, 6, 0}});
  const MFP_Table pair_table = test::Synthetic_Table(Pair_Table_Shape(), 8);
  const MFP_Table surface_table = test::Index_Table(Surface_Table_Shape());
  const Residue_Profile profile = Compute_Residue_Profile(chain, pair_table, surface_table);
  ASSERT_EQ(profile.residues.size(), 4U);
  const std::vector<Residue_Energy>& r = profile.residues;
  EXPECT_NE(r[0].pair, 0.0);
  EXPECT_EQ(r[0].pair, r[3].pair);
  EXPECT_NEAR(r[0].pair + r[3].pair, Native(kPairTool, chain, pair_table), 1e-12);
  const double valine_one_neighbour = 19 * 20 + 0;  // type 19, class 0
  for (const auto& [residue, pair, surface] : std::vector<std::tuple<std::size_t, bool, double>>{
           {0, true, valine_one_neighbour}, {1, false, 0.0}, {2, false, 0.0}, {3, true, valine_one_neighbour}}) {
    SCOPED_TRACE(residue);
    EXPECT_EQ(r[residue].pair != 0.0, pair);
    EXPECT_EQ(r[residue].surface, surface);
    EXPECT_EQ(r[residue].combined, r[residue].pair + r[residue].surface);
  }
}

TEST(ResidueProfile, SmoothingWindowsShrinkAtTheChainEnds) {
  struct Case {
    std::vector<double> values;
    int window;
    std::vector<double> expected;
  };
  const std::vector<Case> cases = {
      {{1, 2, 3, 4, 5}, 3, {1.5, 2, 3, 4, 4.5}},
      {{1, 2, 3, 4, 5}, 5, {2, 2.5, 3, 3.5, 4}},
      {{4, 8}, 9, {6, 6}},
      {{2, -7, 3}, 1, {2, -7, 3}},
      {{}, 9, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.window);
    EXPECT_EQ(Smooth(c.values, c.window), c.expected);
  }
  EXPECT_THROW(Smooth(cases[0].values, 4), std::invalid_argument);
  EXPECT_THROW(Smooth(cases[0].values, 0), std::invalid_argument);
}

}  // namespace
}  // namespace energy
