// The structure programs on the formats structures come in: a structure in
// PDB format, the same structure converted to mmCIF with gemmi, and either
// one gzip-compressed, give byte-identical outputs.
#include <gtest/gtest.h>

#include "support/potentials.hpp"
#include "support/tool_case.hpp"

namespace {

using test_support::Run_Shell;
using test_support::Run_Tool;
using test_support::Temp_Dir;

class Formats : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    potentials_ = new Temp_Dir;
    potentials_->Write("pair.pot", test_support::Pair_Potential_Text(3));
    potentials_->Write("surface.pot", test_support::Surface_Potential_Text(4));
  }
  static void TearDownTestSuite() { delete potentials_; }

  // Runs the four structure programs on `m` in `dir`; returns their output.
  static std::string Run_All(const Temp_Dir& dir, const std::string& chain) {
    const test_support::Environment seed = {{"SHUFFLE_SEED", "11"}};
    std::string out;
    for (const auto& [program, table] : {std::pair<std::string, std::string>{"vicina", "pair.pot"},
                                         {"exposa", "surface.pot"},
                                         {"resitally", ""},
                                         {"rotunda", ""}}) {
      std::vector<std::string> args = {"m", chain};
      if (!table.empty()) args.insert(args.begin(), potentials_->File(table));
      const auto result = Run_Tool(program, args, dir.Path(), seed);
      EXPECT_EQ(result.status, 0) << program << ": " << result.out;
      out += result.out;
    }
    return out;
  }

  static Temp_Dir* potentials_;
};

Temp_Dir* Formats::potentials_ = nullptr;

TEST_F(Formats, SameOutputsFromEveryFormat) {
  struct Case {
    const char* pdb;
    const char* other;  // a file of tests/data, or the PDB file gzipped when empty
    const char* chain;
  };
  const std::vector<Case> cases = {
      {"1ubq.pdb", "1ubq.cif", "A"},                         // waters after the chain
      {"1a0q.pdb", "1a0q.cif.gz", "H"},                      // insertion codes
      {"1d3z_models1-2.pdb", "1d3z_models1-2.cif.gz", "A"},  // the first of two models
      {"1enh.pdb", "", "_"},                                 // blank chain, gzip of PDB text
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pdb);
    Temp_Dir pdb;
    Temp_Dir other;
    pdb.Copy_In(test_support::Test_Data(c.pdb), "m");
    if (*c.other) {
      other.Copy_In(test_support::Test_Data(c.other), "m");
    } else {
      ASSERT_EQ(Run_Shell("gzip -c '" + test_support::Test_Data(c.pdb) + "' > m", other.Path()).status, 0);
    }
    EXPECT_EQ(Run_All(other, c.chain), Run_All(pdb, c.chain));
    ASSERT_EQ(other.List(), pdb.List());
    for (const std::string& name : pdb.List()) {
      if (name != "m") {
        EXPECT_EQ(*other.Read(name), *pdb.Read(name)) << name;
      }
    }
  }
}

// Refused with no file but the log written; `shell` prepares "m".
TEST(FormatsRefused, InputsThatCannotBeRead) {
  const std::string cif = test_support::Test_Data("1ubq.cif");
  const auto refused = [](const std::string& label, const std::string& shell, std::optional<std::string> out,
                          std::optional<std::string> says = std::nullopt) {
    return test_support::Tool_Case{.label = label,
                                   .args = {"m", "A"},
                                   .shell = shell + " && CMD",
                                   .status = 8,
                                   .out = std::move(out),
                                   .says = std::move(says),
                                   .directory = {{"log", "m"}}};
  };
  const std::string kExit = "\nprogram will exit !\n";
  test_support::Check_Cases(
      "resitally",
      {
          refused("a directory", "mkdir m", "'m' is a directory. Program will exit.\n\n"),
          refused("damaged gzip", "printf 'ATOM\\n' | gzip -c | head -c 15 > m",
                  "cannot decompress 'm': the gzip data is damaged or incomplete" + kExit),
          // The rest of the message is the mmCIF parser's.
          refused("mmCIF with an unclosed quote", "printf 'data_x\\nloop_\\n_atom_site.id\\n\"1\\n' > m", std::nullopt,
                  "cannot read the mmCIF file 'm': "),
          refused("mmCIF integer too long for a structure's field",
                  "sed 's/^1 N N . MET /88888888888 N N . MET /' '" + cif + "' > m",
                  "cannot read the mmCIF file 'm': the number '88888888888' has more digits than a structure's field "
                  "holds" +
                      kExit),
          refused("mmCIF coordinate wider than a PDB column",
                  "sed 's/^2 C CA . MET Apoly A 1 ? 26.266 /2 C CA . MET Apoly A 1 ? 12345.678 /' '" + cif + "' > m",
                  "atom CA of residue MET 1 of chain 'A' in the mmCIF file 'm' has a coordinate, occupancy or "
                  "temperature factor that does not fit the columns of a PDB line (12345.7 25.413 2.842, 1, 10.38)" +
                      kExit),
      });
}

}  // namespace
