// catena end to end: the same files as the eight programs run by hand, and
// batches with failures, parallel jobs and both output formats.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "support/tool_case.hpp"

namespace {

using test_support::Run_Shell;
using test_support::Run_Tool;
using test_support::Temp_Dir;

const std::string kData = FOLD_EXAMPLE_DATA_DIR;
const std::string kPair = kData + "/example.pair.potential";
const std::string kSurface = kData + "/example.surface.potential";
const std::string kTable = kData + "/example.cpdf";
const std::string kAlignment = kData + "/1enh.pir";

using test_support::Split;

struct Model {
  const char* file;
  const char* chain;
  const char* seed;
};

// The eight programs by hand, as the README shows them; `identity` is the
// step that provides NAME.seq_ide.
std::string By_Hand_Script(const Model& m, const std::string& identity) {
  const std::string model = std::string(m.file) + " " + m.chain + " >/dev/null\n";
  const std::string name = m.file;
  return "set -e\nvicina pair.pot " + model + "exposa surface.pot " + model + "resitally " + model + "rotunda " +
         model + "sigmara " + name + " >/dev/null\n" + identity + "blendora " + name + " >/dev/null\nverdicta " + name +
         " table.cpdf\n";
}

void Expect_Same_Files_As_By_Hand(const Model& m, const std::string& identity_step,
                                  const std::vector<std::string>& identity_option) {
  SCOPED_TRACE(m.file);
  Temp_Dir hand;
  for (const auto& [from, to] :
       std::vector<std::pair<std::string, std::string>>{{test_support::Test_Data(m.file), m.file},
                                                        {kPair, "pair.pot"},
                                                        {kSurface, "surface.pot"},
                                                        {kTable, "table.cpdf"},
                                                        {kAlignment, "1enh.pir"}})
    hand.Copy_In(from, to);
  const std::set<std::string> inputs = {m.file, "pair.pot", "surface.pot", "table.cpdf", "1enh.pir"};
  const auto by_hand = Run_Shell(By_Hand_Script(m, identity_step), hand.Path(), {{"SHUFFLE_SEED", m.seed}});
  ASSERT_EQ(by_hand.status, 0) << by_hand.out << by_hand.err;

  Temp_Dir run;
  run.Copy_In(test_support::Test_Data(m.file), m.file);
  run.Copy_In(kAlignment, "1enh.pir");
  std::vector<std::string> args = {
      "--keep", "kept",    "--seed", m.seed, "--chain", m.chain, "--pair-potential", kPair, "--surface-potential",
      kSurface, "--table", kTable};
  args.insert(args.end(), identity_option.begin(), identity_option.end());
  args.push_back(m.file);
  const auto result = Run_Tool("catena", args, run.Path());
  ASSERT_EQ(result.status, 0) << result.out << result.err;

  std::vector<std::string> expected;
  for (const std::string& name : hand.List())
    if (!inputs.count(name)) expected.push_back(name);
  const std::string kept = run.File("kept/" + std::string(m.file));
  std::vector<std::string> actual;
  for (const std::string& name : Temp_Dir::List_Of(kept)) actual.push_back(name);
  EXPECT_EQ(actual, expected);
  for (const std::string& name : expected)
    EXPECT_EQ(test_support::Read_Text(kept + "/" + name), *hand.Read(name)) << name;

  // The record holds the numbers of the files, and the class verdicta printed.
  const std::vector<std::string> lines = Split(result.out, '\n');
  ASSERT_EQ(lines.size(), 2U);
  const std::vector<std::string> fields = Split(lines[1], '\t');
  ASSERT_GE(fields.size(), 13U);
  auto number = [&](const std::string& file) {
    std::string text = *hand.Read(std::string(m.file) + file);
    text.erase(0, text.find_first_not_of(' '));
    return text.substr(0, text.find('\n'));
  };
  EXPECT_EQ(fields[2], number(".length"));
  EXPECT_EQ(fields[3], number(".compactness"));
  EXPECT_EQ(fields[4], number(".vicina.native"));
  EXPECT_EQ(fields[5], number(".exposa.native"));
  EXPECT_EQ(fields[6], number(".pair.zscore"));
  EXPECT_EQ(fields[7], number(".surf.zscore"));
  EXPECT_EQ(fields[8], number(".zscore"));
  EXPECT_EQ(fields[10], number(".zo341"));
  EXPECT_EQ(fields[11], number(".pG"));
  EXPECT_EQ(fields[11] + "    " + fields[12] + "\n", by_hand.out.substr(by_hand.out.find_first_not_of(' ')));
}

TEST(Catena, SameFilesAsTheProgramsByHandWithAnAlignment) {
  const std::string kinrate =
      "kinrate 1enh.pir >/dev/null\n"
      "awk '{ printf \"%.2f\\n\", $1 * 100 }' 1enh.pir.seq_ide > ";
  for (const Model& m : {Model{"1ubq.pdb", "A", "7"}, Model{"1enh.pdb", "_", "123"}, Model{"2ACY_A.pdb", "A", "99"}})
    Expect_Same_Files_As_By_Hand(m, kinrate + m.file + ".seq_ide\n", {"--alignment", "1enh.pir"});
}

TEST(Catena, SameFilesAsTheProgramsByHandWithAnIdentity) {
  const Model m{"1a0q.pdb", "L", "4000000000"};
  Expect_Same_Files_As_By_Hand(m, "echo 37.50 > 1a0q.pdb.seq_ide\n", {"--identity", "37.5"});
}

class CatenaBatch : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* file : {"1ubq.pdb", "1enh.pdb", "2ACY_A.pdb"}) dir_.Copy_In(test_support::Test_Data(file), file);
    dir_.Write("broken.pdb", "ATOM      1  CA  ALA A   1       1.000   abc     1.000  1.00 10.00\n");
  }
  test_support::Run_Result Catena(std::vector<std::string> args) {
    args.insert(args.begin(), {"--seed", "5", "--identity", "30"});
    return Run_Tool("catena", args, dir_.Path());
  }
  Temp_Dir dir_;
};

TEST_F(CatenaBatch, FailuresGetTheirRecordAndTheRestGoesOn) {
  const auto result = Catena({"--chain", "A", "1ubq.pdb", "absent.pdb", "broken.pdb", "1enh.pdb", "2ACY_A.pdb"});
  EXPECT_EQ(result.status, 8);
  const std::vector<std::string> lines = Split(result.out, '\n');
  ASSERT_EQ(lines.size(), 6U);
  EXPECT_EQ(lines[0],
            "model\tchain\tlength\tcompactness\tpair_energy\tsurface_energy\tz_pair\tz_surface\tz_combined\tidentity\t"
            "zo341\tpG\tclass\tmodel_number\tseed\terror");
  const std::vector<std::string> expected_errors = {
      "", "Can not open absent.pdb; file not found 'absent.pdb'.",
      "cannot read the y coordinate (columns 39-46) of the atom on line 1 of 'broken.pdb'",
      "no atom of chain 'A' in '1enh.pdb' (chains present: '_').", ""};
  for (std::size_t i = 0; i < expected_errors.size(); ++i) {
    const std::vector<std::string> fields = Split(lines[i + 1], '\t');
    const std::string error = fields.size() == 16 ? fields[15] : "";
    EXPECT_EQ(error, expected_errors[i]) << lines[i + 1];
    EXPECT_EQ(fields[2].empty(), !error.empty()) << lines[i + 1];
  }
  EXPECT_NE(result.err.find("catena: 3 of 5 models failed"), std::string::npos) << result.err;
}

TEST_F(CatenaBatch, ParallelJobsGiveTheSameRecordsInOrder) {
  const std::vector<std::string> models = {"1ubq.pdb", "2ACY_A.pdb", "1ubq.pdb", "2ACY_A.pdb", "1ubq.pdb"};
  std::vector<std::string> one = {"--chain", "A", "-j", "1"};
  std::vector<std::string> two = {"--chain", "A", "-j", "2", "--keep", "k"};
  one.insert(one.end(), models.begin(), models.end());
  two.insert(two.end(), models.begin(), models.end());
  const auto serial = Catena(one);
  const auto parallel = Catena(two);
  EXPECT_EQ(serial.status, 0) << serial.err;
  EXPECT_EQ(parallel.out, serial.out);
  EXPECT_EQ(Temp_Dir::List_Of(dir_.File("k")),
            (std::vector<std::string>{"1ubq.pdb", "1ubq.pdb.2", "1ubq.pdb.3", "2ACY_A.pdb", "2ACY_A.pdb.2"}));
}

// A table read from a pipe (here standard input, as <(zcat ...) gives one)
// can be read only once: with several jobs it must not be hashed while it is
// loaded.
// Its provenance line gives the digest of the table read, as for a file.
TEST_F(CatenaBatch, TableFromAPipeWithSeveralJobs) {
  const auto digest = [](const std::string& err, const std::string& name) {
    const std::size_t line = err.find("catena: " + name + " ");
    const std::size_t at = line == std::string::npos ? line : err.find(" sha256 ", line);
    return at == std::string::npos ? std::string() : err.substr(at + 8, 64);
  };
  for (const char* jobs : {"1", "2"}) {
    SCOPED_TRACE(std::string("-j ") + jobs);
    const auto from_file = Catena({"-j", jobs, "--chain", "A", "--pair-potential", kPair, "--surface-potential",
                                   kSurface, "--table", kTable, "1ubq.pdb"});
    const auto from_pipe =
        Run_Shell("bash -c 'cat " + kPair + " | catena -j " + jobs +
                      " --seed 5 --identity 30 --chain A --pair-potential /dev/stdin" + " --surface-potential " +
                      kSurface + " --table <(cat " + kTable + ") 1ubq.pdb'",
                  dir_.Path());
    EXPECT_EQ(from_file.status, 0) << from_file.err;
    EXPECT_EQ(from_pipe.status, 0) << from_pipe.err;
    EXPECT_EQ(from_pipe.out, from_file.out);
    for (const char* table : {"pair_potential", "table"}) {
      EXPECT_EQ(digest(from_pipe.err, table).size(), 64U) << from_pipe.err;
      EXPECT_EQ(digest(from_pipe.err, table), digest(from_file.err, table)) << table;
    }
  }
}

TEST_F(CatenaBatch, JsonAndOutputFile) {
  const auto result = Catena({"--chain", "A", "--format", "json", "-o", "out.json", "1ubq.pdb", "absent.pdb"});
  EXPECT_EQ(result.status, 8);
  EXPECT_EQ(result.out, "");
  const std::string json = *dir_.Read("out.json");
  EXPECT_EQ(json.rfind("{\"catena\": {\"version\": ", 0), 0U) << json;
  EXPECT_NE(json.find("\"seed\": 5, \"seed_origin\": \"--seed\", \"pair_potential\": {\"path\": "), std::string::npos)
      << json;
  EXPECT_NE(json.find("},\n\"records\": [\n  {\"model\": \"1ubq.pdb\", \"chain\": \"A\", \"length\": 76.0000, "),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("\"identity\": 30.00, "), std::string::npos) << json;
  EXPECT_NE(json.find("{\"model\": \"absent.pdb\", \"chain\": \"A\", \"length\": null, "), std::string::npos) << json;
  EXPECT_NE(json.find("\"error\": \"Can not open absent.pdb; file not found 'absent.pdb'.\"}\n]}\n"), std::string::npos)
      << json;
}

TEST_F(CatenaBatch, WithoutIdentityTheVerdictStaysEmpty) {
  const auto result = Run_Tool("catena", {"--seed", "5", "--chain", "A", "1ubq.pdb"}, dir_.Path());
  EXPECT_EQ(result.status, 0);
  const std::vector<std::string> fields = Split(Split(result.out, '\n')[1], '\t');
  EXPECT_FALSE(fields[8].empty());                       // z_combined
  EXPECT_TRUE(fields.size() < 10 || fields[9].empty());  // identity and beyond
  EXPECT_NE(result.err.find("no --alignment or --identity"), std::string::npos);
  EXPECT_EQ(result.err.find("synthetic"), std::string::npos);  // the trained tables are the default
}

// Refused before any model is read: nothing on standard output, the reason
// on standard error.
TEST(Catena, RefusedCommandLinesAndTables) {
  const std::string no_identity =
      "catena: no --alignment or --identity: zo341, pG and class stay empty (they need the sequence identity)\n";
  const auto refused = [](const std::string& label, const test_support::Names& args, const std::string& err) {
    return test_support::Tool_Case{.label = label,
                                   .args = args,
                                   .inputs = {test_support::Data_File("1ubq.pdb")},
                                   .status = 8,
                                   .out = "",
                                   .err = err};
  };
  test_support::Check_Cases("catena", {
                                          refused("no model", {}, "catena: no model file given\n"),
                                          refused("absent table", {"--table", "absent.cpdf", "1ubq.pdb"},
                                                  no_identity + "catena: cannot open absent.cpdf for reading\n"),
                                          refused("absent potential", {"--pair-potential", "absent.pot", "1ubq.pdb"},
                                                  no_identity + "catena: cannot open file 'absent.pot' for reading\n"),
                                          refused("absent alignment", {"--alignment", "absent.pir", "1ubq.pdb"},
                                                  "catena: cannot open alignment file 'absent.pir'\n"),
                                      });
}

}  // namespace
