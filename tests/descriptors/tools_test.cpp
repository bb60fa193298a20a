// End-to-end runs of resitally and rotunda, each in a fresh directory.
#include <gtest/gtest.h>

#include <sstream>

#include "support/pdb_lines.hpp"
#include "support/tool_case.hpp"

namespace {

using test_support::Atom_Line;
using test_support::Check_Case;
using test_support::Data_File;
using test_support::Input_File;
using test_support::Residue_Lines;
using test_support::Tool_Case;

const std::string kUsageTail =
    " protein_name [protein_chain_id]\n\n\n"
    "[protein_chain_id] is optional. If ommited, then no chain id is adopted (unique chain).\n"
    "If chain is unique and want to give it explicitly in the command line, then '_' symbol should be used.\n\n";

// Three residues without chain identifier, then a chain A of two residues.
const std::string kTwoChains = Residue_Lines("ALA", ' ', 1) + Residue_Lines("GLY", ' ', 2) +
                               Residue_Lines("SER", ' ', 3) + "TER\n" + Residue_Lines("VAL", 'A', 1) +
                               Residue_Lines("LEU", 'A', 2) + "END\n";

std::string Water_After(int residues) {
  std::string text;
  for (int i = 1; i <= residues; ++i) text += Residue_Lines(i % 2 ? "LYS" : "GLY", 'A', i, 5 * i);
  text += "HETATM 9000  O   HOH A 900      10.000  10.000  10.000  1.00 10.00\n";
  return text + "TER\n";
}

std::string Length_Line(const char* name, const char* value) {
  return std::string("length\t") + name + "\t" + value + "\n";
}

// Cases every structure program shares: usage, argument limits, missing and
// empty input, files that cannot be created. `suffix` is the output suffix.
std::vector<Tool_Case> Common_Cases(const std::string& program, const std::string& suffix, std::size_t max_name) {
  const std::string usage = "Usage:\n\n" + program + kUsageTail;
  const std::string long_name(max_name + 1, 'p');
  return {
      {"no argument", {}, {}, 8, usage, {}, std::vector<std::string>{}},
      {"three arguments",
       {"a.pdb", "A", "x"},
       {{"a.pdb", kTwoChains}},
       8,
       usage,
       {},
       std::vector<std::string>{"a.pdb"}},
      {"name longer than its buffer",
       {long_name},
       {},
       8,
       "protein name is too long: " + std::to_string(max_name + 1) + " characters, at most " +
           std::to_string(max_name) + " are allowed\nprogram will exit !\n",
       {},
       std::vector<std::string>{}},
      {"empty chain argument",
       {"a.pdb", ""},
       {{"a.pdb", kTwoChains}},
       8,
       "the chain identifier is empty: give '_' for a chain without identifier\nprogram will exit !\n",
       {},
       std::vector<std::string>{"a.pdb"}},
      {"missing structure",
       {"absent.pdb"},
       {},
       8,
       "Can not open absent.pdb\nfile not found 'absent.pdb'. Program will exit.\n\n",
       {{"log", "Can not open absent.pdb\n"}},
       std::vector<std::string>{"log"}},
      {"absent chain",
       {"a.pdb", "B"},
       {{"a.pdb", kTwoChains}},
       8,
       "no atom of chain 'B' in 'a.pdb' (chains present: '_', 'A'). Program will exit.\n\n",
       {{"log", ""}, {"pdbfile.tmp", "END\n"}, {"a.pdb" + suffix, std::nullopt}}},
      {"only non-standard residues",
       {"m.pdb", "A"},
       {{"m.pdb", Residue_Lines("MSE", 'A', 1)}},
       8,
       "no atom of a standard residue of chain 'A' in 'm.pdb'. Program will exit.\n\n",
       {{"m.pdb" + suffix, std::nullopt}}},
      {"log cannot be created",
       {"a.pdb"},
       {{"a.pdb", kTwoChains}, {"log/keep", ""}},
       8,
       "cannot create output file 'log'\nprogram will exit !\n",
       {{"pdbfile.tmp", std::nullopt}}},
      {"output cannot be created",
       {"a.pdb"},
       {{"a.pdb", kTwoChains}, {"a.pdb" + suffix + "/keep", ""}},
       8,
       "cannot create output file 'a.pdb" + suffix + "'\nprogram will exit !\n",
       {}},
  };
}

TEST(Resitally, CommonCases) {
  for (const Tool_Case& c : Common_Cases("resitally", ".length", 92)) Check_Case("resitally", c);
}

TEST(Rotunda, CommonCases) {
  for (const Tool_Case& c : Common_Cases("rotunda", ".compactness", 87)) Check_Case("rotunda", c);
}

TEST(Resitally, CountsResidues) {
  const std::string mse =
      Residue_Lines("ALA", 'A', 1) + Residue_Lines("MSE", 'A', 2, 6) + Residue_Lines("ALA", 'A', 3, 11);
  const std::string insertion =
      Atom_Line({.name = " CA ", .residue_number = 52}) +
      Atom_Line({.name = " CA ", .residue = "GLY", .residue_number = 52, .insertion = 'A', .x = 3.8});
  const std::vector<Tool_Case> cases = {
      {"one argument",
       {"a.pdb"},
       {{"a.pdb", kTwoChains}},
       0,
       Length_Line("a.pdb", "    3.0000"),
       {{"a.pdb.length", "    3.0000\n"},
        {"log", ""},
        {"pdbfile.tmp",
         Residue_Lines("ALA", ' ', 1) + Residue_Lines("GLY", ' ', 2) + Residue_Lines("SER", ' ', 3) + "END\n"}},
       std::vector<std::string>{"a.pdb", "a.pdb.length", "log", "pdbfile.tmp"}},
      {"explicit blank chain",
       {"a.pdb", "_"},
       {{"a.pdb", kTwoChains}},
       0,
       Length_Line("a.pdb", "    3.0000"),
       {{"a.pdb.length", "    3.0000\n"}}},
      {"chain A",
       {"a.pdb", "A"},
       {{"a.pdb", kTwoChains}},
       0,
       Length_Line("a.pdb", "    2.0000"),
       {{"a.pdb.length", "    2.0000\n"}}},
      {"water after the chain does not count",
       {"w.pdb", "A"},
       {{"w.pdb", Water_After(152)}},
       0,
       Length_Line("w.pdb", "  152.0000"),
       {{"w.pdb.length", "  152.0000\n"}}},
      {"MSE as ATOM is dropped", {"m.pdb", "A"}, {{"m.pdb", mse}}, 0, Length_Line("m.pdb", "    2.0000"), {}},
      {"52 and 52A are two residues",
       {"i.pdb", "A"},
       {{"i.pdb", insertion}},
       0,
       Length_Line("i.pdb", "    2.0000"),
       {}},
      {"output replaced",
       {"a.pdb"},
       {{"a.pdb", kTwoChains}, {"a.pdb.length", "old\nold\n"}},
       0,
       std::nullopt,
       {{"a.pdb.length", "    3.0000\n"}}},
      {"path in the name",
       {"sub/a.pdb"},
       {{"sub/a.pdb", kTwoChains}},
       0,
       Length_Line("sub/a.pdb", "    3.0000"),
       {{"sub/a.pdb.length", "    3.0000\n"}}},
  };
  for (const Tool_Case& c : cases) Check_Case("resitally", c);
}

TEST(Rotunda, Compactness) {
  const std::string two_alanines =
      Atom_Line({.name = " CA "}) + Atom_Line({.name = " CA ", .residue_number = 2, .x = 10.0});
  const std::string one_alanine = Atom_Line({.name = " CA "}) + Atom_Line({.name = " CB ", .x = 1.5});
  const std::vector<Tool_Case> cases = {
      {"two alanines 10 apart",
       {"t.pdb", "A"},
       {{"t.pdb", two_alanines}},
       0,
       "compactness\tt.pdb\t    0.2559\n",
       {{"t.pdb.compactness", "    0.2559\n"}}},
      {"one alpha carbon gives -0",
       {"o.pdb", "A"},
       {{"o.pdb", one_alanine}},
       0,
       "compactness\to.pdb\t   -0.0000\n",
       {{"o.pdb.compactness", "   -0.0000\n"}}},
      {"one and two arguments agree",
       {"a.pdb", "_"},
       {{"a.pdb", kTwoChains}},
       0,
       "compactness\ta.pdb\t    0.8171\n",
       {{"a.pdb.compactness", "    0.8171\n"}}},
      {"", {"a.pdb"}, {{"a.pdb", kTwoChains}}, 0, "compactness\ta.pdb\t    0.8171\n", {}},
  };
  for (const Tool_Case& c : cases) Check_Case("rotunda", c);
}

// Real structures; the values were checked against an independent
// calculation from the coordinates as printed in the files.
TEST(RealStructures, LengthAndCompactness) {
  struct Expected {
    const char* file;
    const char* chain;
    const char* length;
    const char* compactness;
  };
  const std::vector<Expected> structures = {
      {"1ubq.pdb", "A", "   76.0000", "    0.3054"},    // waters after the chain
      {"1enh.pdb", "_", "   54.0000", "    0.6393"},    // blank chain, hydrogens
      {"2ACY_A.pdb", "A", "   98.0000", "    0.4137"},  // header lines before the first atom
      {"1a0q.pdb", "H", "  205.0000", "    0.1562"},    // two chains; 52A, 82A-C are residues of their own
      {"1a0q.pdb", "L", "  211.0000", "    0.1115"},
      {"1d3z_models1-2.pdb", "A", "   76.0000", "    0.2997"},  // NMR: the first model only
  };
  for (const Expected& e : structures) {
    const std::string name = e.file;
    Check_Case("resitally", {name + " " + e.chain,
                             {name, e.chain},
                             {Data_File(name)},
                             0,
                             "length\t" + name + "\t" + e.length + "\n",
                             {{name + ".length", std::string(e.length) + "\n"}}});
    Check_Case("rotunda", {name + " " + e.chain,
                           {name, e.chain},
                           {Data_File(name)},
                           0,
                           "compactness\t" + name + "\t" + e.compactness + "\n",
                           {{name + ".compactness", std::string(e.compactness) + "\n"}}});
  }
}

// Models closed by ENDMDL alone, as many modelling and simulation programs
// write them: the first model is read, as when TER closes each one.
TEST(RealStructures, ModelsWithoutTer) {
  std::string without_ter;
  std::istringstream lines(test_support::Read_Text(test_support::Test_Data("1d3z_models1-2.pdb")));
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("TER", 0) != 0) without_ter += line + "\n";
  ASSERT_NE(without_ter.find("ENDMDL"), std::string::npos);
  Check_Case("resitally", {"ENDMDL", {"m.pdb", "A"}, {{"m.pdb", without_ter}}, 0, "length\tm.pdb\t   76.0000\n"});
  Check_Case("rotunda", {"ENDMDL", {"m.pdb", "A"}, {{"m.pdb", without_ter}}, 0, "compactness\tm.pdb\t    0.2997\n"});
}

}  // namespace
