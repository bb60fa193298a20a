// End-to-end runs of resitally and rotunda, each in a fresh directory.
#include <gtest/gtest.h>

#include <sstream>

#include "support/pdb_lines.hpp"
#include "support/tool_case.hpp"

namespace {

using test_support::Atom_Line;
using test_support::Check_Cases;
using test_support::Data_File;
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

// Cases every structure program shares: usage, an empty chain, missing and
// empty input, files that cannot be created. `suffix` is the output suffix.
std::vector<Tool_Case> Common_Cases(const std::string& program, const std::string& suffix) {
  const std::string usage = "Usage:\n\n" + program + kUsageTail;
  return {
      {.label = "no argument", .status = 8, .out = usage, .directory = {{}}},
      {.label = "three arguments",
       .args = {"a.pdb", "A", "x"},
       .inputs = {{"a.pdb", kTwoChains}},
       .status = 8,
       .out = usage,
       .directory = {{"a.pdb"}}},
      {.label = "empty chain argument",
       .args = {"a.pdb", ""},
       .inputs = {{"a.pdb", kTwoChains}},
       .status = 8,
       .out = "the chain identifier is empty: give '_' for a chain without identifier\nprogram will exit !\n",
       .directory = {{"a.pdb"}}},
      {.label = "missing structure",
       .args = {"absent.pdb"},
       .status = 8,
       .out = "Can not open absent.pdb\nfile not found 'absent.pdb'. Program will exit.\n\n",
       .files = {{"log", "Can not open absent.pdb\n"}},
       .directory = {{"log"}}},
      {.label = "absent chain",
       .args = {"a.pdb", "B"},
       .inputs = {{"a.pdb", kTwoChains}},
       .status = 8,
       .out = "no atom of chain 'B' in 'a.pdb' (chains present: '_', 'A'). Program will exit.\n\n",
       .files = {{"log", ""}, {"pdbfile.tmp", "END\n"}, {"a.pdb" + suffix, std::nullopt}}},
      {.label = "only non-standard residues",
       .args = {"m.pdb", "A"},
       .inputs = {{"m.pdb", Residue_Lines("MSE", 'A', 1)}},
       .status = 8,
       .out = "no atom of a standard residue of chain 'A' in 'm.pdb'. Program will exit.\n\n",
       .files = {{"m.pdb" + suffix, std::nullopt}}},
      {.label = "log cannot be created",
       .args = {"a.pdb"},
       .inputs = {{"a.pdb", kTwoChains}},
       .folders = {"log"},
       .status = 8,
       .out = "cannot create output file 'log'\nprogram will exit !\n",
       .files = {{"pdbfile.tmp", std::nullopt}}},
      {.label = "output cannot be created",
       .args = {"a.pdb"},
       .inputs = {{"a.pdb", kTwoChains}},
       .folders = {"a.pdb" + suffix},
       .status = 8,
       .out = "cannot create output file 'a.pdb" + suffix + "'\nprogram will exit !\n"},
  };
}

TEST(Resitally, CommonCases) { Check_Cases("resitally", Common_Cases("resitally", ".length")); }

TEST(Rotunda, CommonCases) { Check_Cases("rotunda", Common_Cases("rotunda", ".compactness")); }

TEST(Resitally, CountsResidues) {
  const std::string mse =
      Residue_Lines("ALA", 'A', 1) + Residue_Lines("MSE", 'A', 2, 6) + Residue_Lines("ALA", 'A', 3, 11);
  const std::string insertion =
      Atom_Line({.name = " CA ", .residue_number = 52}) +
      Atom_Line({.name = " CA ", .residue = "GLY", .residue_number = 52, .insertion = 'A', .x = 3.8});
  Check_Cases("resitally", {
                               {.label = "one argument",
                                .args = {"a.pdb"},
                                .inputs = {{"a.pdb", kTwoChains}},
                                .out = Length_Line("a.pdb", "    3.0000"),
                                .files = {{"a.pdb.length", "    3.0000\n"},
                                          {"log", ""},
                                          {"pdbfile.tmp", Residue_Lines("ALA", ' ', 1) + Residue_Lines("GLY", ' ', 2) +
                                                              Residue_Lines("SER", ' ', 3) + "END\n"}},
                                .directory = {{"a.pdb", "a.pdb.length", "log", "pdbfile.tmp"}}},
                               {.label = "explicit blank chain",
                                .args = {"a.pdb", "_"},
                                .inputs = {{"a.pdb", kTwoChains}},
                                .out = Length_Line("a.pdb", "    3.0000"),
                                .files = {{"a.pdb.length", "    3.0000\n"}}},
                               {.label = "chain A",
                                .args = {"a.pdb", "A"},
                                .inputs = {{"a.pdb", kTwoChains}},
                                .out = Length_Line("a.pdb", "    2.0000"),
                                .files = {{"a.pdb.length", "    2.0000\n"}}},
                               {.label = "water after the chain does not count",
                                .args = {"w.pdb", "A"},
                                .inputs = {{"w.pdb", Water_After(152)}},
                                .out = Length_Line("w.pdb", "  152.0000"),
                                .files = {{"w.pdb.length", "  152.0000\n"}}},
                               {.label = "MSE as ATOM is dropped",
                                .args = {"m.pdb", "A"},
                                .inputs = {{"m.pdb", mse}},
                                .out = Length_Line("m.pdb", "    2.0000")},
                               {.label = "52 and 52A are two residues",
                                .args = {"i.pdb", "A"},
                                .inputs = {{"i.pdb", insertion}},
                                .out = Length_Line("i.pdb", "    2.0000")},
                               {.label = "output replaced",
                                .args = {"a.pdb"},
                                .inputs = {{"a.pdb", kTwoChains}, {"a.pdb.length", "old\nold\n"}},
                                .files = {{"a.pdb.length", "    3.0000\n"}}},
                               {.label = "path in the name",
                                .args = {"sub/a.pdb"},
                                .inputs = {{"sub/a.pdb", kTwoChains}},
                                .out = Length_Line("sub/a.pdb", "    3.0000"),
                                .files = {{"sub/a.pdb.length", "    3.0000\n"}}},
                           });
}

TEST(Rotunda, Compactness) {
  const std::string two_alanines =
      Atom_Line({.name = " CA "}) + Atom_Line({.name = " CA ", .residue_number = 2, .x = 10.0});
  const std::string one_alanine = Atom_Line({.name = " CA "}) + Atom_Line({.name = " CB ", .x = 1.5});
  Check_Cases("rotunda", {
                             {.label = "two alanines 10 apart",
                              .args = {"t.pdb", "A"},
                              .inputs = {{"t.pdb", two_alanines}},
                              .out = "compactness\tt.pdb\t    0.2559\n",
                              .files = {{"t.pdb.compactness", "    0.2559\n"}}},
                             {.label = "one alpha carbon gives -0",
                              .args = {"o.pdb", "A"},
                              .inputs = {{"o.pdb", one_alanine}},
                              .out = "compactness\to.pdb\t   -0.0000\n",
                              .files = {{"o.pdb.compactness", "   -0.0000\n"}}},
                             {.label = "one and two arguments agree",
                              .args = {"a.pdb", "_"},
                              .inputs = {{"a.pdb", kTwoChains}},
                              .out = "compactness\ta.pdb\t    0.8171\n",
                              .files = {{"a.pdb.compactness", "    0.8171\n"}}},
                             {.label = "one argument",
                              .args = {"a.pdb"},
                              .inputs = {{"a.pdb", kTwoChains}},
                              .out = "compactness\ta.pdb\t    0.8171\n"},
                         });
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
    const auto run = [&](const std::string& suffix, const std::string& value) {
      return Tool_Case{.label = name + " " + e.chain,
                       .args = {name, e.chain},
                       .inputs = {Data_File(name)},
                       .out = suffix + "\t" + name + "\t" + value + "\n",
                       .files = {{name + "." + suffix, value + "\n"}}};
    };
    Check_Cases("resitally", {run("length", e.length)});
    Check_Cases("rotunda", {run("compactness", e.compactness)});
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
  const auto run = [&](const std::string& out) {
    return Tool_Case{.label = "ENDMDL", .args = {"m.pdb", "A"}, .inputs = {{"m.pdb", without_ter}}, .out = out};
  };
  Check_Cases("resitally", {run("length\tm.pdb\t   76.0000\n")});
  Check_Cases("rotunda", {run("compactness\tm.pdb\t    0.2997\n")});
}

}  // namespace
