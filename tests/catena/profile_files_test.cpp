// The profile files: the model with energies in its temperature factors
// (every other byte kept) and the table's columns.
#include "catena/profile_files.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "common/format.hpp"

namespace catena {
namespace {

// Residues A 5 and A 5A; the first window's smoothed combined energy is what
// the model file shows.
energy::Residue_Profile Two_Residues() {
  energy::Residue_Profile profile;
  profile.residues = {{"A", 5, ' ', "ALA", 1.0, 2.0, 3.0}, {"A", 5, 'A', "GLY", -1.0, 0.5, -0.5}};
  profile.smoothed = {{3, {0.1, 0.2}, {0.3, 0.4}, {1.5, -2.25}}, {7, {0, 0}, {0, 0}, {9, 9}}};
  return profile;
}

TEST(ProfileFiles, ModelKeepsEveryByteButTheChainsTemperatureFactors) {
  struct Case {
    const char* label;
    std::string line;  // of the model, as read
    std::string expected;
  };
  const std::string atom = "ATOM      1  CA  ALA A   5      11.104   6.134  -6.504  1.00 10.00           C";
  const std::vector<Case> cases = {
      {"residue 5", atom + "\n", "ATOM      1  CA  ALA A   5      11.104   6.134  -6.504  1.00  1.50           C\n"},
      {"insertion code 5A", "ATOM      2  CA  GLY A   5A     11.104   6.134  -6.504  1.00 10.00\n",
       "ATOM      2  CA  GLY A   5A     11.104   6.134  -6.504  1.00 -2.25\n"},
      {"other chain", "ATOM      3  CA  ALA B   5      11.104   6.134  -6.504  1.00 10.00\n",
       "ATOM      3  CA  ALA B   5      11.104   6.134  -6.504  1.00 10.00\n"},
      {"ligand of the chain", "HETATM    4  O   HOH A 900       1.000   2.000   3.000  1.00 33.00\n",
       "HETATM    4  O   HOH A 900       1.000   2.000   3.000  1.00  0.00\n"},
      {"short line padded", "ATOM      5  CB  ALA A   5      11.104   6.134  -6.504\n",
       "ATOM      5  CB  ALA A   5      11.104   6.134  -6.504        1.50\n"},
      {"CRLF kept", atom + "\r\n",
       "ATOM      1  CA  ALA A   5      11.104   6.134  -6.504  1.00  1.50           C\r\n"},
      {"other records", "REMARK   5 A   5      11.104\nTER\nEND", "REMARK   5 A   5      11.104\nTER\nEND"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(Profile_Pdb(c.line, Two_Residues(), 'A'), c.expected);
  }
  // Of a file of two models, the second was read: only its lines change.
  const std::string model_1 = "MODEL        1\n" + atom + "\nENDMDL\n";
  EXPECT_EQ(Profile_Pdb(model_1 + "MODEL        2\n" + atom + "\nENDMDL\n", Two_Residues(), 'A', 2),
            model_1 + "MODEL        2\n" + cases[0].expected + "ENDMDL\n");
}

TEST(ProfileFiles, TableHasAColumnPerEnergyAndWindow) {
  EXPECT_EQ(Profile_Tsv(Two_Residues(), 'A'),
            "chain\tresidue\tname\tpair\tsurface\tcombined\tpair_w3\tsurface_w3\tcombined_w3\tpair_w7\tsurface_w7\t"
            "combined_w7\n"
            "A\t5\tALA\t1.00000\t2.00000\t3.00000\t0.10000\t0.30000\t1.50000\t0.00000\t0.00000\t9.00000\n"
            "A\t5A\tGLY\t-1.00000\t0.50000\t-0.50000\t0.20000\t0.40000\t-2.25000\t0.00000\t0.00000\t9.00000\n");
}

TEST(ProfileFiles, NumbersAsPrintfWritesThem) {
  // Signed zeros, exact ties (1/64, 3/64, 1/8, 3/8), wide and unusual values.
  const std::vector<double> values = {-0.0, -1e-7, 0.015625, 0.046875, 0.125, 0.375,     -999.995,
                                      1e14, -3e15, 1e300,    INFINITY, -NAN,  123.456789};
  energy::Residue_Profile profile;
  std::string model, tsv = "chain\tresidue\tname\tpair\tsurface\tcombined\n", pdb;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const double v = values[i];
    const int number = static_cast<int>(i) + 1;
    profile.residues.push_back({"A", number, ' ', "ALA", v, -v, v});
    const std::string line =
        common::Format("ATOM  %5d  CA  ALA A%4d      11.104   6.134  -6.504  1.00 10.00\n", number, number);
    model += line;
    pdb += line.substr(0, 60) + common::Format("%6.2f", std::clamp(v, -999.99, 9999.99)) + "\n";
    tsv += common::Format("A\t%d\tALA\t%.5f\t%.5f\t%.5f\n", number, v, -v, v);
  }
  EXPECT_EQ(Profile_Tsv(profile, 'A'), tsv);
  EXPECT_EQ(Profile_Pdb(model, profile, 'A'), pdb);
}

}  // namespace
}  // namespace catena
