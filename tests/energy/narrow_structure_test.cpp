// The surface tool's atoms taken from the pair tool's prepared list against
// preparing the chain as read: the same atoms, fields and numbering, and the
// same refusal when no CB is left.
#include <gtest/gtest.h>

#include <sstream>

#include "common/fatal_error.hpp"
#include "energy/energy_tool.hpp"
#include "energy_fixtures.hpp"
#include "structure/structure_tool.hpp"
#include "structure/virtual_cb.hpp"
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

TEST(CopiedForBetaCarbons, PreparesAsTheWholeChain) {
  using test::Atom_Spec;
  struct Row {
    const char* what;
    std::vector<Atom_Spec> atoms;
  };
  const Atom_Spec ala[] = {{"HA", 'A', 3, 5, 1, 0}, {"N", 'A', 3, 5, 0, 0}, {"CA", 'A', 3, 6, 0, 0},
                           {"C", 'A', 3, 6, 1, 0},  {"O", 'A', 3, 7, 1, 0}, {"CB", 'A', 3, 6, 0, 1}};
  const std::vector<Row> rows = {
      // The glycine's O is missing: its CB is built from the next residue.
      {"anchor in the next residue",
       {{"H", 'G', 1, 0, 1, 0},
        {"N", 'G', 1, 0, 0, 0},
        {"CA", 'G', 1, 1, 0, 0},
        {"C", 'G', 1, 1, 1, 0},
        ala[0],
        ala[1],
        ala[2],
        ala[3],
        ala[4],
        ala[5]}},
      // A residue whose first atom is not a glycine's, but a later one is.
      {"mixed residue names",
       {ala[0],
        {"N", 'G', 3, 5, 0, 0},
        ala[2],
        ala[3],
        ala[4],
        {"H", 'G', 4, 8, 0, 0},
        {"N", 'G', 4, 8, 1, 0},
        {"CA", 'G', 4, 9, 1, 0},
        {"C", 'G', 4, 9, 2, 0},
        {"OXT", 'G', 4, 9, 3, 0}}},
      {"glycine without C",
       {ala[1], ala[2], ala[4], {"N", 'G', 4, 8, 1, 0}, {"CA", 'G', 4, 9, 1, 0}, {"O", 'G', 4, 9, 3, 0}}},
  };
  std::vector<std::pair<std::string, structure::Atom_List>> chains;
  for (const Row& row : rows) chains.emplace_back(row.what, test::Make_Atoms(row.atoms));
  for (const char* file : {"1ubq.pdb", "1I1E_A.pdb"})
    chains.emplace_back(file, structure::Load_Chain({test_support::Test_Data(file), "A"}, structure::Get_AA_Type,
                                                    {stdout, nullptr, ""}));
  for (const auto& [what, chain] : chains) {
    for (const Energy_Tool* tool : {&kPairTool, &kSurfaceTool}) {
      SCOPED_TRACE(what + " " + std::string(tool->name));
      const std::string expected = Outcome([&] { return Prepare_Structure(*tool, chain.Copy(), "m.pdb", 'A'); });
      EXPECT_EQ(
          Outcome([&] { return Prepare_Structure(*tool, structure::Copy_For_Beta_Carbons(chain), "m.pdb", 'A'); }),
          expected);
    }
  }
}

}  // namespace
}  // namespace energy
