// What one energy step hands on to the next on the same model: the surface
// step takes on the pair step's shuffles only when it would draw the very same
// ones, and the residue profile built on the steps' own geometry equals the
// profile that prepares and searches the chain itself.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "common/fatal_error.hpp"
#include "energy/energy_tool.hpp"
#include "energy/residue_profile.hpp"
#include "energy_fixtures.hpp"
#include "structure/structure_tool.hpp"
#include "support/run_tool.hpp"

namespace energy {
namespace {

struct Drop {
  const char* atom;
  int residue;
};

struct Row {
  const char* what;
  const char* file;
  char chain;
  std::vector<Drop> drops;
  std::optional<unsigned> pair_seed, surface_seed;  // nothing: the clock
  bool taken_on;
};

const std::vector<Row> kRows = {
    {"same residues, glycines", "1ubq.pdb", 'A', {}, 1, 1, true},
    {"a residue without CB", "1ubq.pdb", 'A', {{"CB", 2}}, 1, 1, false},
    {"a glycine without O: its CB joins the next residue", "1ubq.pdb", 'A', {{"O", 10}}, 1, 1, false},
    {"a residue without CA", "1ubq.pdb", 'A', {{"CA", 5}}, 1, 1, true},
    {"a residue without CA and CB", "1ubq.pdb", 'A', {{"CA", 20}, {"CB", 20}}, 1, 1, true},
    {"another seed", "1ubq.pdb", 'A', {}, 1, 2, false},
    {"the clock", "1ubq.pdb", 'A', {}, std::nullopt, std::nullopt, false},
    {"insertion codes, gaps", "1a0q.pdb", 'H', {}, 3, 3, true},
};

structure::Atom_List Chain(const Row& row) {
  structure::Atom_List chain = structure::Load_Chain({test_support::Test_Data(row.file), std::string(1, row.chain)},
                                                     structure::Get_AA_Type, {stdout, nullptr, ""});
  structure::Remove_Atoms_Unless(chain, [&](const structure::Atom_Record& a) {
    for (const Drop& d : row.drops)
      if (a.atom_name == d.atom && a.aa_number == d.residue) return false;
    return true;
  });
  return chain;
}

std::string Files(const common::Step_Result<Energy_Values>& step) {
  std::string text;
  for (const common::Step_File& file : step.files) text += file.suffix + "\n" + file.text;
  return text;
}

bool Same_Bits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

TEST(HandedOver, SurfaceStepTakesOnThePairShufflesOnlyWhenItWouldDrawThem) {
  const MFP_Table pair_table = test::Synthetic_Table(Pair_Table_Shape(), 41);
  const MFP_Table surface_table = test::Synthetic_Table(Surface_Table_Shape(), 42);
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.what);
    const structure::Atom_List chain = Chain(row);
    const structure::Atom_List pair_atoms = Prepare_Structure(kPairTool, chain.Copy(), row.file, row.chain);
    const structure::Atom_List surface_atoms = Narrow_Prepared_Structure(kSurfaceTool, pair_atoms, row.file, row.chain);
    const Seed_Source surface_seeds{row.surface_seed};
    const auto pair = Prepared_Energy_Step(kPairTool, pair_atoms, pair_table, Seed_Source{row.pair_seed});
    const auto taken =
        Prepared_Energy_Step(kSurfaceTool, surface_atoms, surface_table, surface_seeds, pair.value.drawn);
    EXPECT_EQ(taken.value.drawn == pair.value.drawn, row.taken_on);
    if (!row.surface_seed) continue;  // the clock may move between two draws
    const auto own = Prepared_Energy_Step(kSurfaceTool, surface_atoms, surface_table, surface_seeds);
    EXPECT_TRUE(Same_Bits(taken.value.computed.shuffled, own.value.computed.shuffled));
    EXPECT_EQ(Files(taken), Files(own));
  }
}

TEST(HandedOver, ProfileOnTheStepsGeometryEqualsItsOwnSearch) {
  const MFP_Table pair_table = test::Synthetic_Table(Pair_Table_Shape(), 43);
  const MFP_Table surface_table = test::Synthetic_Table(Surface_Table_Shape(), 44);
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.what);
    const structure::Atom_List chain = Chain(row);
    const Seed_Source seeds{row.pair_seed.value_or(1)};
    const Profiled_Structure profiled = Prepare_Profiled_Structure(chain.Copy(), row.file, row.chain);
    const auto pair = Prepared_Energy_Step(kPairTool, profiled.atoms, pair_table, seeds);
    // The energies on the profiled structure are those on the tool's own.
    const structure::Atom_List own = Prepare_Structure(kPairTool, chain.Copy(), row.file, row.chain);
    EXPECT_EQ(Files(pair), Files(Prepared_Energy_Step(kPairTool, own, pair_table, seeds)));
    const structure::Atom_List surface_atoms =
        Narrow_Prepared_Structure(kSurfaceTool, profiled.atoms, row.file, row.chain);
    const auto surface = Prepared_Energy_Step(kSurfaceTool, surface_atoms, surface_table, seeds);
    const Residue_Profile expected = Compute_Residue_Profile(chain, pair_table, surface_table);
    const Residue_Profile profile = Compute_Residue_Profile(chain, profiled, *pair.value.evaluator,
                                                            *surface.value.evaluator, pair_table, surface_table);
    ASSERT_EQ(profile.residues.size(), expected.residues.size());
    std::vector<double> got, want;
    for (std::size_t i = 0; i < profile.residues.size(); ++i) {
      got.insert(got.end(), {profile.residues[i].pair, profile.residues[i].surface, profile.residues[i].combined});
      want.insert(want.end(), {expected.residues[i].pair, expected.residues[i].surface, expected.residues[i].combined});
    }
    EXPECT_TRUE(Same_Bits(got, want));
  }
}

TEST(HandedOver, ProfiledStructureRefusesAChainWithoutCAOrCBAlike) {
  const structure::Atom_List chain = test::Make_Atoms({{"N", 'A', 1, 0, 0, 0}, {"N", 'A', 2, 3.8F, 0, 0}});
  auto message = [](auto&& prepare) {
    try {
      prepare();
    } catch (const common::Fatal_Error& error) {
      return error.Message();
    }
    return std::string("accepted");
  };
  EXPECT_EQ(message([&] { return Prepare_Profiled_Structure(chain.Copy(), "n.pdb", 'A'); }),
            message([&] { return Prepare_Structure(kPairTool, chain.Copy(), "n.pdb", 'A'); }));
}

}  // namespace
}  // namespace energy
