// End-to-end runs of vicina and exposa, each in a fresh directory, with
// synthetic potential files written once for the whole suite.
#include <gtest/gtest.h>

#include "support/pdb_lines.hpp"
#include "support/potentials.hpp"
#include "support/tool_case.hpp"

namespace {

using test_support::Atom_Line;
using test_support::Check_Cases;
using test_support::Data_File;
using test_support::Residue_Lines;
using test_support::Temp_Dir;

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
    const std::string random = "a.pdb." + program + ".random";
    Check_Cases(
        program,
        {
            {.label = "one argument", .args = {pot}, .status = 8, .out = usage, .directory = {{}}},
            {.label = "four arguments",
             .args = {pot, "a.pdb", "A", "x"},
             .inputs = {{"a.pdb", three}},
             .status = 8,
             .out = usage,
             .directory = {{"a.pdb"}}},
            {.label = "seed that is not a number",
             .args = {pot, "a.pdb", "A"},
             .inputs = {{"a.pdb", three}},
             .environment = {{"SHUFFLE_SEED", "-3"}},
             .status = 8,
             .out = "SHUFFLE_SEED must be an unsigned integer from 0 to 4294967295, not '-3'\nprogram will exit !\n",
             .directory = {{"a.pdb"}}},
            {.label = "missing potential",
             .args = {"absent.pot", "a.pdb", "A"},
             .inputs = {{"a.pdb", three}},
             .status = 8,
             .out = "cannot open file 'absent.pot' for reading\nprogram will finish now.\n\n",
             .files = {{"log", ""}},
             .directory = {{"a.pdb", "log"}}},
            {.label = "missing structure",
             .args = {pot, "a.pdb"},
             .status = 8,
             .out = "Can not open a.pdb\nfile not found 'a.pdb'. Program will exit.\n\n",
             .files = {{"log", "Can not open a.pdb\n"}},
             .directory = {{"log"}}},
            {.label = "absent chain",
             .args = {pot, "a.pdb"},
             .inputs = {{"a.pdb", three}},
             .status = 8,
             .out = "no atom with a blank chain identifier ('_') in 'a.pdb' (chains present: 'A'). Program will "
                    "exit.\n\n",
             .directory = {{"a.pdb", "log", "pdbfile.tmp"}}},
            {.label = "nothing left after the filter",
             .args = {pot, "n.pdb", "A"},
             .inputs = {{"n.pdb", no_backbone}},
             .status = 8,
             .out = "no " + kept + " atom of chain 'A' in 'n.pdb'. Program will exit.\n\n",
             .directory = {{"log", "n.pdb", "pdbfile.tmp"}}},
            {.label = "glycine without O",
             .args = {pot, "g.pdb", "A"},
             .inputs = {{"g.pdb", glycine_without_o}},
             .status = 8,
             .out = "\n__Error: cannot create virtual CB for Glycine\n(reported from Insert_CB_GLY)\n\n",
             .directory = {{"g.pdb", "log", "pdbfile.tmp"}}},
            {.label = "log cannot be created",
             .args = {pot, "a.pdb", "A"},
             .inputs = {{"a.pdb", three}},
             .folders = {"log"},
             .status = 8,
             .out = "cannot create output file 'log'\nprogram will exit !\n"},
            {.label = "native file cannot be created",
             .args = {pot, "a.pdb", "A"},
             .inputs = {{"a.pdb", three}},
             .folders = {"a.pdb." + program + ".native"},
             .status = 8,
             .out = "cannot create output file 'a.pdb." + program + ".native'\nprogram will exit !\n",
             .files = {{random, std::nullopt}}},
            // The native file stays.
            {.label = "random file cannot be created",
             .args = {pot, "a.pdb", "A"},
             .inputs = {{"a.pdb", Chain_Of("ALAGLYSERTHRVAL", 'A')}},
             .folders = {random},
             .status = 8,
             .out = "cannot create output file '" + random + "'\nprogram will exit !\n",
             .directory = {{"a.pdb", "a.pdb." + program + ".native", random, "log", "pdbfile.tmp"}}},
        });
  }
  // A potential file one entry short or more is refused before any score file.
  Check_Cases("vicina", {{.label = "short potential",
                          .args = {Short_Potential(), "a.pdb", "A"},
                          .inputs = {{"a.pdb", Chain_Of("ALAGLYSERTHR", 'A')}},
                          .status = 8,
                          .out = "potential file '" + Short_Potential() +
                                 "' ends at line 168000: 336000 lines are needed\nprogram will finish now.\n\n",
                          .directory = {{"a.pdb", "log"}}}});
}

TEST_F(EnergyTools, SmallStructuresScoreZero) {
  const std::string zeros = Repeat("      0.00000\n", 200);
  // vicina: three residues are all within two positions; exposa: one residue has no neighbour.
  const std::vector<std::pair<std::string, std::string>> runs = {{"vicina", Chain_Of("ALAGLYTRP", 'A')},
                                                                 {"exposa", Chain_Of("TRP", 'A')}};
  for (const auto& [program, structure] : runs) {
    const std::string label = program == "vicina" ? "pair_ene" : "exposa";
    const std::string stem = "s.pdb." + program;
    Check_Cases(program, {{.label = "zeros",
                           .args = {Potential(program), "s.pdb", "A"},
                           .inputs = {{"s.pdb", structure}},
                           .out = label + "\ts.pdb\t    0.0000\n",
                           .files = {{stem + ".native", "      0.00000\n"}, {stem + ".random", zeros}},
                           .directory = {{"log", "pdbfile.tmp", "s.pdb", stem + ".native", stem + ".random"}}}});
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

std::string Golden_Text(const std::string& name) {
  return test_support::Read_Text(test_support::Test_Data("golden/" + name));
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
      Check_Cases(program, {{.label = g.file,
                             .args = {Potential(program), g.file, g.chain},
                             .inputs = {Data_File(g.file)},
                             .environment = {{"SHUFFLE_SEED", g.seed}},
                             .out = Golden_Text(stem + ".out"),
                             .files = {{stem + ".native", Golden_Text(stem + ".native")},
                                       {stem + ".random", Golden_Text(stem + ".random")}}}});
    }
  }
}

}  // namespace
