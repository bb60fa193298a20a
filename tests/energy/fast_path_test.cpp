// The programs' fast evaluation against the straightforward one, shuffle by
// shuffle, on real structures: every energy must be the same double.
#include <gtest/gtest.h>

#include <cstring>

#include "energy/energy_tool.hpp"
#include "energy_fixtures.hpp"
#include "reference/energy_reference.hpp"
#include "support/run_tool.hpp"

namespace energy {
namespace {

struct Structure {
  const char* file;
  char chain;
};

const std::vector<Structure> kStructures = {
    {"1ubq.pdb", 'A'}, {"1enh.pdb", '_'}, {"2ACY_A.pdb", 'A'}, {"1a0q.pdb", 'L'}, {"1d3z_models1-2.pdb", 'A'}};

// Seeds first, first + step, first + 2 step, ...; a step of 0 repeats one seed.
void Expect_Same_Profiles(const Energy_Tool& tool, const MFP_Table& table, unsigned first, unsigned step,
                          int shuffles) {
  for (const Structure& s : kStructures) {
    SCOPED_TRACE(std::string(tool.name) + " " + s.file);
    test_support::Temp_Dir dir;
    const structure::Reader_Io io{stdout, nullptr, ""};
    const std::string path = test_support::Test_Data(s.file);
    structure::Atom_List fast_list = Prepare_Structure(tool, path, s.chain, io);
    structure::Atom_List literal_list = Prepare_Structure(tool, path, s.chain, io);

    unsigned seed = first;
    const reference::Seed_Function next_seed = [&] {
      const unsigned value = seed;
      seed += step;
      return value;
    };
    const reference::Energy_Profile expected =
        tool.name == "vicina" ? reference::Pair_Profile(literal_list, table, next_seed, shuffles)
                              : reference::Surface_Profile(literal_list, table, next_seed, shuffles);
    seed = first;
    Energy_Profile_Run run(tool, fast_list, table);
    const double native = run.Native_Energy();
    EXPECT_EQ(std::memcmp(&native, &expected.native, sizeof native), 0) << native << " vs " << expected.native;
    for (int i = 0; i < shuffles; ++i) {
      const double energy = run.Shuffled_Energy(next_seed());
      ASSERT_EQ(std::memcmp(&energy, &expected.shuffled[static_cast<std::size_t>(i)], sizeof energy), 0)
          << "shuffle " << i << ": " << energy << " vs " << expected.shuffled[static_cast<std::size_t>(i)];
    }
  }
}

TEST(FastPath, PairEnergiesEqualTheStraightforwardEvaluation) {
  const MFP_Table table = test::Synthetic_Table(Pair_Table_Shape(), 21);
  Expect_Same_Profiles(kPairTool, table, 7, 0, 30);
  Expect_Same_Profiles(kPairTool, table, 1234567, 3, 30);
}

TEST(FastPath, SurfaceEnergiesEqualTheStraightforwardEvaluation) {
  const MFP_Table table = test::Synthetic_Table(Surface_Table_Shape(), 22);
  Expect_Same_Profiles(kSurfaceTool, table, 7, 0, 200);
  Expect_Same_Profiles(kSurfaceTool, table, 99, 1, 200);
}

}  // namespace
}  // namespace energy
