// addestra's pG steps as a user runs them: labelled models from a tiny split,
// the table built from them, refusals before any output.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/tool_case.hpp"

namespace {

using test_support::Run_Tool;
using test_support::Split;
using test_support::Temp_Dir;
using test_support::Test_Data;

const std::string kLabelled =
    "model\tclass\tset\tone_minus_zo341\tlength\n"
    "a\tcorrect\ttrain\t0.000\t65\n"
    "b\tcorrect\ttrain\t0.120\t130\n"
    "c\tincorrect\ttrain\t0.990\t65\n"
    "d\tincorrect\theld-out\t0.400\t300\n";

TEST(AddestraTable, RefusesBadInputBeforeWritingAndIsDeterministic) {
  const auto refused = [](const std::string& label, const std::string& labelled, const test_support::Names& options,
                          const std::string& message) {
    test_support::Names args = {"table", "--labelled", "labelled.tsv", "--out", "pg.cpdf"};
    args.insert(args.end(), options.begin(), options.end());
    return test_support::Tool_Case{.label = label,
                                   .args = args,
                                   .inputs = {{"labelled.tsv", labelled}},
                                   .status = 8,
                                   .says = message,
                                   .directory = {{"labelled.tsv"}}};
  };
  test_support::Check_Cases(
      "addestra",
      {
          refused("unknown class", kLabelled + "e\tright\ttrain\t0.1\t50\n", {}, "line 6: the class is 'right'"),
          refused("no row of the set", kLabelled, {"--set", "none"}, "the labelled set is empty"),
          refused("one class in the set", kLabelled, {"--set", "held-out"}, "needs models of both classes"),
          refused("too many cells", kLabelled, {"--zo-bin", "0.0001"}, "more than 10000 cells"),
          refused("bad number", kLabelled, {"--min-count", "many"}, "--min-count: 'many'"),
      });
  const Temp_Dir dir;
  dir.Write("labelled.tsv", kLabelled);
  for (const char* out : {"a.cpdf", "b.cpdf"})
    ASSERT_EQ(Run_Tool("addestra", {"table", "--labelled", "labelled.tsv", "--out", out}, dir.Path()).status, 0);
  EXPECT_EQ(dir.Read("a.cpdf"), dir.Read("b.cpdf"));
}

// Two chains, one of them twice (a homologue at 100% identity): the copy's
// sequence on the original's backbone is correct, windows of the other
// chain are incorrect; then the table and its calibration.
TEST(AddestraModels, LabelsAFewModelsEndToEnd) {
  if (std::system("command -v TMalign >/dev/null 2>&1") != 0) GTEST_SKIP() << "TMalign (Debian tm-align) is missing";
  const Temp_Dir dir;
  dir.Copy_In(Test_Data("1enh.pdb"), "1enh.pdb");
  dir.Copy_In(Test_Data("1enh.pdb"), "copy.pdb");
  dir.Copy_In(Test_Data("2ACY_A.pdb"), "2acy.pdb");
  dir.Write(
      "split.tsv",
      "# by hand\npath\tchain\tgroup\tset\n1enh.pdb\t_\t1\ttrain\ncopy.pdb\t_\t1\ttrain\n2acy.pdb\tA\t2\ttrain\n");
  dir.Write("homologs.tsv", "path_a\tchain_a\tpath_b\tchain_b\n1enh.pdb\t_\tcopy.pdb\t_\n");
  const std::string pair = std::string(FOLD_SOURCE_DIR) + "/data/default/pair.potential";
  const std::string surface = std::string(FOLD_SOURCE_DIR) + "/data/default/surface.potential";
  const auto run =
      Run_Tool("addestra",
               {"models", "--split", "split.tsv", "--homologs", "homologs.tsv", "--natives", ".", "--pair-potential",
                pair, "--surface-potential", surface, "--work", "scratch", "--out", "labelled.tsv", "--windows", "1"},
               dir.Path());
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string labelled = *dir.Read("labelled.tsv");
  // Three own backbones, the two copies on each other, one window per chain
  // that fits (1enh's 54 residues fit into 2ACY_A's 98, not the reverse).
  EXPECT_NE(labelled.find("models/copy.on.1enh.pdb\tcopy.pdb\t1enh.pdb\thomolog\tcorrect\ttrain\t100.00\t1.0000\t"),
            std::string::npos)
      << labelled;
  EXPECT_NE(labelled.find("models/1enh.window.2acy."), std::string::npos) << labelled;
  EXPECT_EQ(labelled.find("models/2acy.window."), std::string::npos) << labelled;
  EXPECT_NE(labelled.find("\twindow\tincorrect\ttrain\t"), std::string::npos) << labelled;
  EXPECT_TRUE(dir.Exists("scratch/tmalign.tsv"));

  // The features are catena's: its Z-score and ZO341 for a model at that identity, with
  // the same shuffle seed and potentials, is the labelled one.
  const std::string row = labelled.substr(labelled.find("models/1enh.window."));
  const std::vector<std::string> fields = Split(row.substr(0, row.find('\n')), '\t');
  const auto catena = Run_Tool("catena",
                               {"--chain", "A", "--seed", "1", "--identity", fields[6], "--pair-potential", pair,
                                "--surface-potential", surface, "--format", "json", "scratch/" + fields[0]},
                               dir.Path());
  EXPECT_NE(catena.out.find("\"z_combined\": " + fields[8] + ", "), std::string::npos) << catena.out << row;
  EXPECT_NE(catena.out.find("\"zo341\": " + fields[10] + ", "), std::string::npos) << catena.out << row;

  ASSERT_EQ(
      Run_Tool("addestra", {"table", "--labelled", "labelled.tsv", "--out", "pg.cpdf", "--min-count", "1"}, dir.Path())
          .status,
      0);
  const auto judged = Run_Tool(
      "addestra", {"calibrate", "--labelled", "labelled.tsv", "--table", "pg.cpdf", "--svg", "plot.svg"}, dir.Path());
  ASSERT_EQ(judged.status, 0) << judged.err;
  EXPECT_NE(judged.out.find("AUC 1.0000"), std::string::npos) << judged.out;
  EXPECT_EQ(dir.Read("plot.svg")->rfind("<svg ", 0), 0U);
}

}  // namespace
