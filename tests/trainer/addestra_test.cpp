// addestra as a user runs it: refusals before any output, deterministic
// tables, and the homology split of a small set.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/tool_case.hpp"

namespace {

using test_support::Run_Tool;
using test_support::Temp_Dir;
using test_support::Test_Data;

std::size_t Lines(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(Addestra, RefusesBadInputBeforeWritingAnything) {
  const std::string pdb = Test_Data("1enh.pdb");
  const auto refused = [](const std::string& label, const std::string& list, test_support::Names args,
                          const std::string& message) {
    args.insert(args.end(), {"--natives", "set.list", "--out", "out"});
    return test_support::Tool_Case{.label = label,
                                   .args = args,
                                   .inputs = {{"set.list", list}},
                                   .status = 8,
                                   .says = message,
                                   .directory = {{"set.list"}}};
  };
  test_support::Check_Cases(
      "addestra",
      {
          refused("two tabs", pdb + "\tA\tB\n", {"potentials"}, "set.list:1: the chain after the tab"),
          refused("long chain", "# set\n" + pdb + "\tAB\n", {"potentials"}, "set.list:2:"),
          refused("empty path", "\tA\n", {"homology"}, "set.list:1: the line has no structure path"),
          refused("empty set", "# nothing\n\n", {"potentials"}, "names no structure"),
          refused("unreadable structure", pdb + "\nmissing.pdb\n", {"potentials"}, "line 2 ('missing.pdb')"),
          refused("absent chain", pdb + "\tQ\n", {"homology"}, "line 1"),
          refused("unknown option", pdb + "\n", {"potentials", "--sparse", "1"}, "unknown option '--sparse'"),
          refused("bad number", pdb + "\n", {"potentials", "--pair-sparse", "x"}, "--pair-sparse: 'x'"),
          {.label = "no natives", .args = {"potentials", "--out", "x"}, .status = 8, .directory = {{}}},
          {.label = "unknown step", .args = {"tabulate"}, .status = 8, .directory = {{}}},
      });
}

TEST(Addestra, PotentialsAreByteDeterministic) {
  const Temp_Dir dir;
  dir.Copy_In(Test_Data("1enh.pdb"), "1enh.pdb");
  dir.Write("set.list", "1enh.pdb\n" + Test_Data("1ubq.pdb") + "\tA\n");
  for (const char* out : {"a", "b"})
    ASSERT_EQ(Run_Tool("addestra", {"potentials", "--natives", "set.list", "--out", out}, dir.Path()).status, 0);
  for (const char* file : {"pair.potential", "surface.potential", "counts.tsv"})
    EXPECT_EQ(dir.Read(std::string("a/") + file), dir.Read(std::string("b/") + file)) << file;
  EXPECT_EQ(Lines(*dir.Read("a/pair.potential")), 336000u);
  EXPECT_EQ(Lines(*dir.Read("a/surface.potential")), 400u);
  EXPECT_NE(dir.Read("a/counts.tsv")->find("# addestra potentials: 2 structures"), std::string::npos);
}

TEST(Addestra, HomologyKeepsACopyInTheGroupOfItsOriginal) {
  const Temp_Dir dir;
  dir.Copy_In(Test_Data("1enh.pdb"), "1enh.pdb");
  dir.Copy_In(Test_Data("1enh.pdb"), "copy.pdb");
  dir.Copy_In(Test_Data("1ubq.pdb"), "1ubq.pdb");
  dir.Write("set.list", "1enh.pdb\n1ubq.pdb\ncopy.pdb\t_\n");
  const auto run = Run_Tool("addestra", {"homology", "--natives", "set.list", "--out", "out"}, dir.Path());
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string homologs = *dir.Read("out/homologs.tsv");
  EXPECT_EQ(Lines(homologs), 3u) << homologs;
  EXPECT_NE(homologs.find("1enh.pdb\t_\tcopy.pdb\t_\t100.00\t"), std::string::npos) << homologs;
  const std::string split = *dir.Read("out/split.tsv");
  EXPECT_NE(split.find("1enh.pdb\t_\t1\t"), std::string::npos) << split;
  EXPECT_NE(split.find("1ubq.pdb\tA\t2\t"), std::string::npos) << split;
  EXPECT_NE(split.find("copy.pdb\t_\t1\t"), std::string::npos) << split;
  EXPECT_EQ(Lines(*dir.Read("out/train.list")) + Lines(*dir.Read("out/held-out.list")), 3u);
}

}  // namespace
