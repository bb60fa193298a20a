// The surface tool's atoms taken from the pair tool's prepared list against
// preparing the chain as read: the same atoms, fields and numbering, and the
// same refusal when no CB is left.
#include <gtest/gtest.h>

#include <sstream>

#include "common/fatal_error.hpp"
#include "energy/energy_tool.hpp"
#include "energy_fixtures.hpp"
#include "structure/structure_tool.hpp"
#include "support/run_tool.hpp"

namespace energy {
namespace {

std::string Dump(const structure::Atom_List& list) {
  std::ostringstream out;
  for (const structure::Atom_Record* a = list.first; a; a = a->next)
    out << a->atom_number << ' ' << a->atom_number_read << ' ' << a->atom_name << ' ' << a->aa_name << ' ' << a->aa_code
        << a->alt_loc << " '" << a->chain << "' " << a->aa_number << ' ' << a->aa_number_read << a->insertion_code
        << ' ' << a->x << ' ' << a->y << ' ' << a->z << ' ' << a->occupancy << ' ' << a->temp_factor << ' '
        << a->atom_type << ' ' << a->neighbours << '\n';
  return out.str();
}

// Either the list or the refusal's message.
template <typename Prepare>
std::string Outcome(Prepare&& prepare) {
  try {
    return Dump(prepare());
  } catch (const common::Fatal_Error& error) {
    return "refused: " + error.Message();
  }
}

TEST(NarrowedStructure, EqualsPreparingTheChainAsRead) {
  struct Row {
    const char* file;
    char chain;
  };
  // Glycines (virtual CB), a blank chain, a second chain, two models.
  for (const Row& row : std::vector<Row>{
           {"1ubq.pdb", 'A'}, {"1enh.pdb", '_'}, {"1a0q.pdb", 'L'}, {"1d3z_models1-2.pdb", 'A'}, {"1I1E_A.pdb", 'A'}}) {
    SCOPED_TRACE(row.file);
    const structure::Atom_List chain = structure::Load_Chain(
        {test_support::Test_Data(row.file), std::string(1, row.chain)}, structure::Get_AA_Type, {stdout, nullptr, ""});
    const structure::Atom_List pair = Prepare_Structure(kPairTool, chain.Copy(), row.file, row.chain);
    const std::string expected = Dump(Prepare_Structure(kSurfaceTool, chain.Copy(), row.file, row.chain));
    EXPECT_EQ(Dump(Narrow_Prepared_Structure(kSurfaceTool, pair, row.file, row.chain)), expected);
  }
}

TEST(NarrowedStructure, RefusesAChainWithoutCBAlike) {
  // Alanines with their CA only: the pair tool keeps them, the surface tool
  // has nothing left.
  const structure::Atom_List pair = test::Make_Atoms({{"CA", 'A', 1, 0, 0, 0}, {"CA", 'A', 2, 3.8F, 0, 0}});
  const std::string expected = Outcome([&] { return Prepare_Structure(kSurfaceTool, pair.Copy(), "ca.pdb", 'A'); });
  EXPECT_NE(expected.find("refused"), std::string::npos);
  EXPECT_EQ(Outcome([&] { return Narrow_Prepared_Structure(kSurfaceTool, pair, "ca.pdb", 'A'); }), expected);
}

}  // namespace
}  // namespace energy
