#include "trainer/backbone_models.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "structure/residues.hpp"
#include "structure/structure_tool.hpp"
#include "support/run_tool.hpp"

namespace trainer {
namespace {

TEST(BackboneModels, PairsFromAlignmentRows) {
  struct Case {
    const char* query;
    const char* templ;
    Residue_Pairs pairs;
  };
  const std::vector<Case> cases = {
      {"ABC", "XYZ", {{0, 0}, {1, 1}, {2, 2}}},
      {"AB-C", "A-DC", {{0, 0}, {2, 2}}},
      {"--AB", "XYZ-", {{0, 2}}},
  };
  for (const Case& c : cases) EXPECT_EQ(Pairs_From_Rows(c.query, c.templ), c.pairs) << c.query << " " << c.templ;
  EXPECT_THROW(Pairs_From_Rows("AB", "A"), common::Fatal_Error);
}

double Distance(const Point& a, const Point& b) { return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]); }

TEST(BackboneModels, ModelFileReadsBackThroughTheSuitesReader) {
  // Template ALA, GLY, SER; the query G, A, S: a glycine on an alanine loses
  // its CB, an alanine on a glycine gets one at the CA-C distance from CA.
  Backbone templ(3);
  for (int i = 0; i < 3; ++i) {
    const float x = 3.8F * static_cast<float>(i);
    templ[i] = {"AGS" [i],   { x, 0, 0 }, {x + 1.2F, 0.9F, 0}, {x + 2.4F, 0.3F, 0.5F}, {x + 2.6F, -0.8F, 1.0F},
                std::nullopt};
    if (i != 1) templ[i].cb = Point{x + 1.0F, 1.5F, -1.2F};
  }
  const Backbone model = Thread(templ, "GAS", {{0, 0}, {1, 1}, {2, 2}});
  EXPECT_DOUBLE_EQ(Pair_Identity("GAS", "AGS", {{0, 0}, {1, 1}, {2, 2}}), 100.0 / 3);

  const test_support::Temp_Dir dir;
  dir.Write("model.pdb", Model_Pdb_Text(model));
  const std::string path = dir.File("model.pdb");
  const common::File sink(std::fopen("/dev/null", "w"));
  const Backbone back =
      Backbone_Of(structure::Load_Chain({path, "A"}, structure::Get_AA_Type, {sink.get(), nullptr, ""}));

  ASSERT_EQ(Sequence_Of(back), "GAS");
  EXPECT_FALSE(back[0].cb);
  ASSERT_TRUE(back[1].cb);
  EXPECT_NEAR(Distance(*back[1].cb, back[1].ca), Distance(back[1].c, back[1].ca), 2e-3);
  EXPECT_NEAR(Distance(*back[2].cb, *templ[2].cb), 0, 1e-3);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(Distance(back[i].o, templ[i].o), 0, 1e-3);
}

TEST(BackboneModels, TMalignReport) {
  const std::string report =
      "Length of Chain_2:  125 residues\n\n"
      "Aligned length=   41, RMSD=   3.93, Seq_ID=n_identical/n_aligned= 0.098\n"
      "TM-score= 0.41623 (if normalized by length of Chain_1)\n"
      "TM-score= 0.24144 (if normalized by length of Chain_2)\n\n"
      "(\":\" denotes aligned residue pairs of d < 5.0 A, \".\" denotes other aligned residues)\n"
      "--GSPEV\n"
      "  ::  :\n"
      "SWQT-VD\n";
  const Structure_Alignment parsed = Parse_TMalign_Report(report);
  EXPECT_DOUBLE_EQ(parsed.tm_score, 0.24144);
  EXPECT_EQ(parsed.first_row, "--GSPEV");
  EXPECT_EQ(parsed.second_row, "SWQT-VD");
  EXPECT_THROW(Parse_TMalign_Report("TMalign: no such file\n"), common::Fatal_Error);
}

}  // namespace
}  // namespace trainer
