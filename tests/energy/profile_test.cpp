// All sequences in one pass against one evaluation per sequence: every
// energy the same double, for both tools, with shuffle counts that leave
// partial groups of sequences.
#include <gtest/gtest.h>

#include <cstring>

#include "common/fatal_error.hpp"
#include "energy/energy_tool.hpp"
#include "energy/pair_energy.hpp"
#include "energy/surface_energy.hpp"
#include "energy_fixtures.hpp"
#include "support/run_tool.hpp"

namespace energy {
namespace {

struct Case {
  const Energy_Tool* tool;
  const char* file;
  char chain;
  int shuffles;
  unsigned step;  // seeds 11, 11 + step, ...; 0 repeats one seed
};

const std::vector<Case> kCases = {
    {&kPairTool, "1ubq.pdb", 'A', 200, 1},  {&kPairTool, "1a0q.pdb", 'L', 13, 0},
    {&kPairTool, "2ACY_A.pdb", 'A', 0, 1},  {&kSurfaceTool, "1ubq.pdb", 'A', 200, 1},
    {&kSurfaceTool, "1enh.pdb", '_', 7, 0},
};

TEST(OnePass, ProfileEqualsOneEvaluationPerSequence) {
  const MFP_Table pair_table = test::Synthetic_Table(Pair_Table_Shape(), 31);
  const MFP_Table surface_table = test::Synthetic_Table(Surface_Table_Shape(), 32);
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.tool->name) + " " + c.file + " shuffles " + std::to_string(c.shuffles));
    const MFP_Table& table = c.tool == &kPairTool ? pair_table : surface_table;
    const structure::Atom_List list =
        Prepare_Structure(*c.tool, test_support::Test_Data(c.file), c.chain, {stdout, nullptr, ""});
    Energy_Profile_Run one_by_one(*c.tool, list, table);
    Energy_Profile_Run together(*c.tool, list, table);
    unsigned seed = 11;
    const Profile_Energies profile = together.Profile([&] { return std::exchange(seed, seed + c.step); }, c.shuffles);
    ASSERT_EQ(profile.shuffled.size(), static_cast<std::size_t>(c.shuffles));
    const double native = one_by_one.Native_Energy();
    EXPECT_EQ(std::memcmp(&profile.native, &native, sizeof native), 0);
    seed = 11;
    for (int s = 0; s < c.shuffles; ++s) {
      const double expected = one_by_one.Shuffled_Energy(std::exchange(seed, seed + c.step));
      ASSERT_EQ(std::memcmp(&profile.shuffled[static_cast<std::size_t>(s)], &expected, sizeof expected), 0)
          << "shuffle " << s;
    }
  }
}

}  // namespace
}  // namespace energy

namespace energy::pair {
namespace {

using Path = Pair_Geometry::Pass_Path;

// Both passes over the pairs, each against one evaluation per sequence, with
// counts around whole groups (the extra lanes of the last group are dropped).
struct Pass_Case {
  const char* file;
  char chain;
  std::size_t count;
  Path path;
};

const std::vector<Pass_Case> kPassCases = {
    {"1ubq.pdb", 'A', 201, Path::kPortable}, {"1a0q.pdb", 'L', 9, Path::kPortable},
    {"2ACY_A.pdb", 'A', 1, Path::kPortable}, {"1ubq.pdb", 'A', 17, Path::kBest},
    {"1enh.pdb", '_', 32, Path::kBest},
};

TEST(OnePass, BothPassesEqualOneEvaluationPerSequence) {
  const MFP_Table table = test::Synthetic_Table(Pair_Table_Shape(), 33);
  constexpr std::string_view kCodes = "ACDEFGHIKLMNPQRSTVWY";
  for (const Pass_Case& c : kPassCases) {
    SCOPED_TRACE(std::string(c.file) + " count " + std::to_string(c.count));
    const structure::Atom_List list =
        Prepare_Structure(kPairTool, test_support::Test_Data(c.file), c.chain, {stdout, nullptr, ""});
    Pair_Geometry geometry(list.first, table);
    std::vector<std::vector<char>> sequences(c.count);
    std::vector<char> codes;
    std::size_t atom = 0;
    for (const structure::Atom_Record* a = list.first; a; a = a->next, ++atom)
      for (std::size_t s = 0; s < c.count; ++s) sequences[s].push_back(kCodes[(atom * 7 + s * 13 + atom * s) % 20]);
    for (std::size_t i = 0; i < atom; ++i)
      for (std::size_t s = 0; s < c.count; ++s) codes.push_back(sequences[s][i]);
    std::vector<double> energies(c.count);
    geometry.Energies(codes, c.count, energies, c.path);
    for (std::size_t s = 0; s < c.count; ++s) {
      const double expected = geometry.Energy(sequences[s]);
      ASSERT_EQ(std::memcmp(&energies[s], &expected, sizeof expected), 0) << "sequence " << s;
    }
    codes.back() = 'X';  // outside the table, in the last sequence only
    EXPECT_THROW(geometry.Energies(codes, c.count, energies, c.path), common::Fatal_Error);
  }
}

}  // namespace
}  // namespace energy::pair

namespace energy::surface {
namespace {

// A code outside the table fails the surface pass too, wherever it stands.
TEST(OnePass, SurfaceCodeOutsideTheTableFails) {
  const MFP_Table table = test::Synthetic_Table(Surface_Table_Shape(), 34);
  const structure::Atom_List list =
      Prepare_Structure(kSurfaceTool, test_support::Test_Data("1ubq.pdb"), 'A', {stdout, nullptr, ""});
  const Surface_Geometry geometry(list.first, table);
  const std::size_t atoms = geometry.Classes().size();
  for (const std::size_t count : {std::size_t{1}, std::size_t{9}}) {
    std::vector<char> codes(atoms * count, 'A');
    std::vector<double> energies(count);
    geometry.Energies(codes, count, energies);
    codes.back() = 'X';
    EXPECT_THROW(geometry.Energies(codes, count, energies), common::Fatal_Error) << "count " << count;
  }
}

}  // namespace
}  // namespace energy::surface
