// End-to-end runs of vicina and exposa, each in a fresh directory, with
// synthetic potential files written once for the whole suite.
#include <gtest/gtest.h>

#include "support/pdb_lines.hpp"
#include "support/potentials.hpp"
#include "support/tool_case.hpp"

namespace {

using test_support::Atom_Line;
using test_support::Check_Case;
using test_support::Data_File;
using test_support::Residue_Lines;
using test_support::Temp_Dir;
using test_support::Tool_Case;

class EnergyTools : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    potentials_ = new Temp_Dir;
    potentials_->Write("pair.pot", test_support::Pair_Potential_Text(1));
    potentials_->Write("surface.pot", test_support::Surface_Potential_Text(2));
    const std::string pair = test_support::Pair_Potential_Text(1);
    std::size_t end = 0;
    for (int line = 0; line < 168000; ++line) end = pair.find('\n', end) + 1;
    potentials_->Write("short.pot", pair.substr(0, end));
  }
  static void TearDownTestSuite() { delete potentials_; }

  static std::string Potential(const std::string& program) {
    return potentials_->File(program == "vicina" ? "pair.pot" : "surface.pot");
  }
  static std::string Short_Potential() { return potentials_->File("short.pot"); }

  static Temp_Dir* potentials_;
};

Temp_Dir* EnergyTools::potentials_ = nullptr;

std::string Repeat(const std::string& line, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += line;
  return text;
}

const std::string kUsageTail =
    " potential_path_and_name protein_name [protein_chain_id]\n\n\n"
    "[protein_chain_id] is optional. If ommited, then no chain id is adopted (unique chain).\n"
    "If chain is unique and want to give it explicitly in the command line, then '_' symbol should be used.\n\n";

std::string Chain_Of(const char* residues, char chain) {
  std::string text;
  int number = 1;
  for (const char* r = residues; *r; r += 3, ++number)
    text += Residue_Lines(std::string(r, 3).c_str(), chain, number, 5 * number);
  return text;
}

TEST_F(EnergyTools, RefusalsAndFailures) {
  for (const std::string program : {"vicina", "exposa"}) {
    const std::string pot = Potential(program);
    const std::string usage = "Usage:\n\n" + program + kUsageTail;
    const std::string three = Chain_Of("ALAGLYSER", 'A');
    const std::string no_backbone = Atom_Line({.name = " N  "}) + Atom_Line({.name = " O  "});
    const std::string glycine_without_o = Atom_Line({.name = " N  ", .residue = "GLY"}) +
                                          Atom_Line({.name = " CA ", .residue = "GLY", .x = 1.5}) +
                                          Atom_Line({.name = " C  ", .residue = "GLY", .x = 2.0, .y = 1.4});
    const std::string kept = program == "vicina" ? "CA or CB" : "CB";
    const std::vector<Tool_Case> cases = {
        {"one argument", {pot}, {}, 8, usage, {}, std::vector<std::string>{}},
        {"four arguments",
         {pot, "a.pdb", "A", "x"},
         {{"a.pdb", three}},
         8,
         usage,
         {},
         std::vector<std::string>{"a.pdb"}},
        {"potential path too long",
         {std::string(512, 'p'), "a.pdb"},
         {{"a.pdb", three}},
         8,
         "potential file name is too long: 512 characters, at most 511 are allowed\nprogram will exit !\n",
         {},
         std::vector<std::string>{"a.pdb"}},
        {"protein name too long",
         {pot, std::string(100, 'n')},
         {},
         8,
         "protein name is too long: 100 characters, at most 99 are allowed\nprogram will exit !\n",
         {},
         std::vector<std::string>{}},
        {"seed that is not a number",
         {pot, "a.pdb", "A"},
         {{"a.pdb", three}},
         8,
         "SHUFFLE_SEED must be an unsigned integer from 0 to 4294967295, not '-3'\nprogram will exit !\n",
         {},
         std::vector<std::string>{"a.pdb"},
         {{"SHUFFLE_SEED", "-3"}}},
        {"missing potential",
         {"absent.pot", "a.pdb", "A"},
         {{"a.pdb", three}},
         8,
         "cannot open file 'absent.pot' for reading\nprogram will finish now.\n\n",
         {{"log", ""}},
         std::vector<std::string>{"a.pdb", "log"}},
        {"missing structure",
         {pot, "a.pdb"},
         {},
         8,
         "Can not open a.pdb\nfile not found 'a.pdb'. Program will exit.\n\n",
         {{"log", "Can not open a.pdb\n"}},
         std::vector<std::string>{"log"}},
        {"absent chain",
         {pot, "a.pdb"},
         {{"a.pdb", three}},
         8,
         "no atom with a blank chain identifier ('_') in 'a.pdb' (chains present: 'A'). Program will exit.\n\n",
         {},
         std::vector<std::string>{"a.pdb", "log", "pdbfile.tmp"}},
        {"nothing left after the filter",
         {pot, "n.pdb", "A"},
         {{"n.pdb", no_backbone}},
         8,
         "no " + kept + " atom of chain 'A' in 'n.pdb'. Program will exit.\n\n",
         {},
         std::vector<std::string>{"log", "n.pdb", "pdbfile.tmp"}},
        {"glycine without O",
         {pot, "g.pdb", "A"},
         {{"g.pdb", glycine_without_o}},
         8,
         "\n__Error: cannot create virtual CB for Glycine\n(reported from Insert_CB_GLY)\n\n",
         {},
         std::vector<std::string>{"g.pdb", "log", "pdbfile.tmp"}},
        {"log cannot be created",
         {pot, "a.pdb", "A"},
         {{"a.pdb", three}, {"log/x", ""}},
         8,
         "cannot create output file 'log'\nprogram will exit !\n",
         {}},
        {"native file cannot be created",
         {pot, "a.pdb", "A"},
         {{"a.pdb", three}, {"a.pdb." + program + ".native/x", ""}},
         8,
         "cannot create output file 'a.pdb." + program + ".native'\nprogram will exit !\n",
         {{"a.pdb." + program + ".random", std::nullopt}}},
        {"random file cannot be created",
         {pot, "a.pdb", "A"},
         {{"a.pdb", three}, {"a.pdb." + program + ".random/x", ""}},
         8,
         "cannot create output file 'a.pdb." + program + ".random'\nprogram will exit !\n"},
    };
    for (const Tool_Case& c : cases) Check_Case(program, c);
  }
  // A potential file one entry short or more is refused before any score file.
  const std::string short_message = "potential file '" + Short_Potential() +
                                    "' ends at line 168000: 336000 lines are needed\nprogram will finish now.\n\n";
  Temp_Dir dir;
  dir.Write("a.pdb", Chain_Of("ALAGLYSERTHR", 'A'));
  const auto result = test_support::Run_Tool("vicina", {Short_Potential(), "a.pdb", "A"}, dir.Path());
  EXPECT_EQ(result.status, 8);
  EXPECT_EQ(result.out, short_message);
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"a.pdb", "log"}));
}

TEST_F(EnergyTools, RandomFileFailureKeepsTheNativeFile) {
  Temp_Dir dir;
  dir.Write("a.pdb", Chain_Of("ALAGLYSERTHRVAL", 'A'));
  dir.Write("a.pdb.vicina.random/x", "");
  const auto result = test_support::Run_Tool("vicina", {Potential("vicina"), "a.pdb", "A"}, dir.Path());
  EXPECT_EQ(result.status, 8);
  EXPECT_TRUE(dir.Exists("a.pdb.vicina.native"));
}

TEST_F(EnergyTools, SmallStructuresScoreZero) {
  const std::string zeros = Repeat("      0.00000\n", 200);
  // vicina: three residues are all within two positions; exposa: one residue has no neighbour.
  const std::vector<std::pair<std::string, std::string>> runs = {{"vicina", Chain_Of("ALAGLYTRP", 'A')},
                                                                 {"exposa", Chain_Of("TRP", 'A')}};
  for (const auto& [program, structure] : runs) {
    const std::string label = program == "vicina" ? "pair_ene" : "exposa";
    Check_Case(program, {"zeros",
                         {Potential(program), "s.pdb", "A"},
                         {{"s.pdb", structure}},
                         0,
                         label + "\ts.pdb\t    0.0000\n",
                         {{"s.pdb." + program + ".native", "      0.00000\n"}, {"s.pdb." + program + ".random", zeros}},
                         std::vector<std::string>{"log", "pdbfile.tmp", "s.pdb", "s.pdb." + program + ".native",
                                                  "s.pdb." + program + ".random"}});
  }
}

TEST_F(EnergyTools, OneResidueTypeGivesTheNativeEnergyEverywhere) {
  // Residues along a helix-like spiral so that pairs and neighbours exist.
  std::string structure;
  for (int i = 1; i <= 12; ++i) structure += Residue_Lines("LEU", 'A', i, 5 * i);
  for (const std::string program : {"vicina", "exposa"}) {
    Temp_Dir dir;
    dir.Write("l.pdb", structure);
    const auto result =
        test_support::Run_Tool(program, {Potential(program), "l.pdb", "A"}, dir.Path(), {{"SHUFFLE_SEED", "5"}});
    ASSERT_EQ(result.status, 0) << result.out;
    const std::string native = *dir.Read("l.pdb." + program + ".native");
    EXPECT_NE(native, "      0.00000\n") << program;
    EXPECT_EQ(*dir.Read("l.pdb." + program + ".random"), Repeat(native, 200)) << program;
  }
}

TEST_F(EnergyTools, ChainSelection) {
  const std::string file = Chain_Of("ALAGLYSERTHRVALLEUILE", ' ') + "TER\n" + Chain_Of("TRPPHETYRLYSARGHISASP", 'A');
  for (const std::string program : {"vicina", "exposa"}) {
    Temp_Dir dir;
    dir.Write("c.pdb", file);
    const test_support::Environment seed = {{"SHUFFLE_SEED", "11"}};
    const auto blank = test_support::Run_Tool(program, {Potential(program), "c.pdb"}, dir.Path(), seed);
    const std::string blank_random = *dir.Read("c.pdb." + program + ".random");
    const auto explicit_blank = test_support::Run_Tool(program, {Potential(program), "c.pdb", "_"}, dir.Path(), seed);
    EXPECT_EQ(*dir.Read("c.pdb." + program + ".random"), blank_random);
    EXPECT_EQ(blank.out, explicit_blank.out);
    const auto chain_a = test_support::Run_Tool(program, {Potential(program), "c.pdb", "A"}, dir.Path(), seed);
    EXPECT_EQ(chain_a.status, 0);
    EXPECT_NE(chain_a.out, blank.out);
    EXPECT_EQ(*dir.Read("pdbfile.tmp"), Chain_Of("TRPPHETYRLYSARGHISASP", 'A') + "END\n");
  }
}

TEST_F(EnergyTools, SeedsMakeRunsReproducible) {
  std::string structure;
  for (int i = 1; i <= 30; ++i) structure += Residue_Lines(i % 3 ? "ALA" : "TRP", 'A', i, 5 * i);
  for (const std::string program : {"vicina", "exposa"}) {
    Temp_Dir dir;
    dir.Write("r.pdb", structure);
    auto random_with = [&](const std::optional<std::string>& seed) {
      const auto result =
          test_support::Run_Tool(program, {Potential(program), "r.pdb", "A"}, dir.Path(), {{"SHUFFLE_SEED", seed}});
      EXPECT_EQ(result.status, 0) << result.out;
      return *dir.Read("r.pdb." + program + ".random");
    };
    const std::string first = random_with("42");
    EXPECT_EQ(random_with("42"), first);
    EXPECT_NE(random_with("43"), first);
    const std::string clock = random_with(std::nullopt);  // the clock: 200 lines all the same
    EXPECT_EQ(std::count(clock.begin(), clock.end(), '\n'), 200);
  }
}

// Real structures against golden files (tests/data/golden/regenerate.sh).
TEST_F(EnergyTools, GoldenFiles) {
  struct Golden {
    const char* file;
    const char* chain;
    const char* seed;
  };
  for (const Golden& g :
       {Golden{"1ubq.pdb", "A", "7"}, Golden{"1enh.pdb", "_", "123"}, Golden{"1a0q.pdb", "L", "4000000000"}}) {
    for (const std::string program : {"vicina", "exposa"}) {
      const std::string stem = std::string(g.file) + "." + program;
      const std::string golden = "golden/" + stem;
      Check_Case(program, {g.file,
                           {Potential(program), g.file, g.chain},
                           {Data_File(g.file)},
                           0,
                           test_support::Read_Text(test_support::Test_Data(golden + ".out")),
                           {{stem + ".native", test_support::Read_Text(test_support::Test_Data(golden + ".native"))},
                            {stem + ".random", test_support::Read_Text(test_support::Test_Data(golden + ".random"))}},
                           std::nullopt,
                           {{"SHUFFLE_SEED", g.seed}}});
    }
  }
}

}  // namespace
