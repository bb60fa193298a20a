// Threading decoys: windows, identity, and the figures of merit.
#include "trainer/threading.hpp"

#include <gtest/gtest.h>

#include "common/fatal_error.hpp"
#include "energy/potential_table.hpp"
#include "structure/structure_tool.hpp"
#include "support/potentials.hpp"
#include "support/run_tool.hpp"

namespace {

using namespace trainer;

TEST(NativeDecoyAUC, OrderAndTies) {
  struct Case {
    std::vector<double> natives, decoys;
    bool lower_is_better;
    double auc;
  };
  const Case cases[] = {
      {{-5, -4}, {-1, 0, 2}, true, 1.0},                             // every native below every decoy
      {{-5, -4}, {-1, 0, 2}, false, 0.0}, {{1}, {1, 1}, true, 0.5},  // ties count half
      {{-2, 3}, {0, 1}, true, 0.5},       {{0.9}, {0.1, 0.9, 0.95, 0.2}, false, 0.625},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(Native_Decoy_AUC(c.natives, c.decoys, c.lower_is_better), c.auc);
}

TEST(ScoreThreaded, WindowsIdentityAndTheNativeOnItsOwnBackbone) {
  const test_support::Temp_Dir dir;
  dir.Write("pair.pot", test_support::Pair_Potential_Text(1));
  dir.Write("surface.pot", test_support::Surface_Potential_Text(2));
  const energy::MFP_Table pair = energy::Load_Potential(energy::Pair_Table_Shape(), dir.File("pair.pot"));
  const energy::MFP_Table surface = energy::Load_Potential(energy::Surface_Table_Shape(), dir.File("surface.pot"));
  const structure::Atom_List chain = structure::Load_Chain({test_support::Test_Data("2ACY_A.pdb"), "A"},
                                                           structure::Get_AA_Type, {stderr, nullptr, ""});
  const std::string sequence = Chain_Sequence(chain);

  const structure::Atom_List window = Residue_Window(chain, 10, 40);
  EXPECT_EQ(Chain_Sequence(window), sequence.substr(10, 40));
  EXPECT_EQ(window.first->aa_number, 1);

  const Threading_Scores own = Score_Threaded(chain, sequence, pair, surface);
  EXPECT_EQ(own.identity, 100.0);
  // Its own sequence on a window of itself, shifted by one: a decoy.
  const Threading_Scores shifted = Score_Threaded(Residue_Window(chain, 1, 40), sequence.substr(0, 40), pair, surface);
  std::size_t same = 0;
  for (std::size_t i = 0; i < 40; ++i) same += sequence[i] == sequence[i + 1];
  EXPECT_DOUBLE_EQ(shifted.identity, 100.0 * same / 40.0);
  EXPECT_NE(shifted.z_pair, own.z_pair);
  EXPECT_THROW(Score_Threaded(window, sequence, pair, surface), common::Fatal_Error);
}

}  // namespace
