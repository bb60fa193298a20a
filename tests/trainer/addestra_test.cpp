// addestra as a user runs it: refusals before any output, deterministic
// tables, and the homology split of a small set.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/run_tool.hpp"

namespace {

using test_support::Run_Tool;
using test_support::Temp_Dir;
using test_support::Test_Data;

std::size_t Lines(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(Addestra, RefusesBadInputBeforeWritingAnything) {
  struct Case {
    const char* what;
    std::string list;  // empty: no list file
    std::vector<std::string> args;
    const char* message;
  };
  const std::string pdb = Test_Data("1enh.pdb");
  const Case cases[] = {
      {"two tabs", pdb + "\tA\tB\n", {"potentials"}, "set.list:1: the chain after the tab"},
      {"long chain", "# set\n" + pdb + "\tAB\n", {"potentials"}, "set.list:2:"},
      {"empty path", "\tA\n", {"homology"}, "set.list:1: the line has no structure path"},
      {"empty set", "# nothing\n\n", {"potentials"}, "names no structure"},
      {"unreadable structure", pdb + "\nmissing.pdb\n", {"potentials"}, "line 2 ('missing.pdb')"},
      {"absent chain", pdb + "\tQ\n", {"homology"}, "line 1"},
      {"unknown option", pdb + "\n", {"potentials", "--sparse", "1"}, "unknown option '--sparse'"},
      {"bad number", pdb + "\n", {"potentials", "--pair-sparse", "x"}, "--pair-sparse: 'x'"},
  };
  for (const Case& c : cases) {
    const Temp_Dir dir;
    dir.Write("set.list", c.list);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--natives", "set.list", "--out", "out"});
    const auto run = Run_Tool("addestra", args, dir.Path());
    EXPECT_EQ(run.status, 8) << c.what;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << ": " << run.err;
    EXPECT_FALSE(dir.Exists("out")) << c.what;
  }
  const Temp_Dir dir;
  EXPECT_EQ(Run_Tool("addestra", {"potentials", "--out", "x"}, dir.Path()).status, 8);
  EXPECT_EQ(Run_Tool("addestra", {"tabulate"}, dir.Path()).status, 8);
  const auto help = Run_Tool("addestra", {"--help"}, dir.Path());
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("homology"), std::string::npos);
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
