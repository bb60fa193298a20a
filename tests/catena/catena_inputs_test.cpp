// catena on real batches: every input form, every format, the default chain,
// one record per chain or model, messages that name the problem, and a run
// that can be repeated from what it prints.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "common/sha256.hpp"
#include "support/tool_case.hpp"

namespace {

using test_support::Input_File;
using test_support::Run_Result;
using test_support::Run_Shell;
using test_support::Temp_Dir;
using test_support::Test_Data;
using test_support::Tool_Case;

using Record = std::map<std::string, std::string>;

using test_support::Split;

// The TSV records, field by header name.
std::vector<Record> Records(const std::string& tsv) {
  const std::vector<std::string> lines = Split(tsv, '\n');
  std::vector<Record> records;
  if (lines.empty()) return records;
  const std::vector<std::string> names = Split(lines[0], '\t');
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> fields = Split(lines[i], '\t');
    Record record;
    for (std::size_t f = 0; f < names.size(); ++f) record[names[f]] = f < fields.size() ? fields[f] : "";
    records.push_back(record);
  }
  return records;
}

// The fields a model's structure decides, to compare runs on one structure.
std::string Scores(const Record& r) {
  return r.at("chain") + " " + r.at("length") + " " + r.at("compactness") + " " + r.at("pair_energy") + " " +
         r.at("surface_energy") + " " + r.at("z_combined") + " " + r.at("zo341") + " " + r.at("error");
}

class CatenaInputs : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* file : {"1ubq.pdb", "1ubq.cif", "1enh.pdb", "2ACY_A.pdb", "1a0q.pdb", "1a0q.cif.gz",
                             "1d3z_models1-2.pdb", "1d3z_models1-2.cif.gz"})
      dir_.Copy_In(Test_Data(file), file);
  }
  // catena through the shell, so that standard input can be given.
  Run_Result Catena(const std::string& arguments) {
    return Run_Shell("catena --seed 5 --identity 30 " + arguments, dir_.Path());
  }
  Temp_Dir dir_;
};

TEST_F(CatenaInputs, EveryFormatAndStandardInputGiveTheSameRecord) {
  ASSERT_EQ(Run_Shell("gzip -c 1ubq.pdb > 1ubq.pdb.gz && gzip -c 1ubq.cif > 1ubq.cif.gz", dir_.Path()).status, 0);
  const Run_Result run = Catena("1ubq.pdb 1ubq.cif 1ubq.pdb.gz 1ubq.cif.gz - < 1ubq.cif.gz");
  EXPECT_EQ(run.status, 0) << run.err;
  const std::vector<Record> records = Records(run.out);
  ASSERT_EQ(records.size(), 5U);
  EXPECT_EQ(records[4].at("model"), "-");
  for (const Record& r : records) EXPECT_EQ(Scores(r), Scores(records[0])) << r.at("model");
  EXPECT_EQ(records[0].at("chain"), "A");  // the first ATOM record's chain
}

TEST_F(CatenaInputs, DefaultChainIsTheFirstAtomRecords) {
  dir_.Write("models/readme.txt", "not a structure\n");
  for (const char* file : {"1ubq.pdb", "1enh.pdb", "2ACY_A.pdb", "1a0q.pdb"})
    dir_.Copy_In(Test_Data(file), std::string("models/") + file);
  const Run_Result run = Catena("models");
  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<std::string> seen;
  for (const Record& r : Records(run.out)) seen.push_back(r.at("model") + " " + r.at("chain") + " " + r.at("length"));
  EXPECT_EQ(seen, (std::vector<std::string>{"models/1a0q.pdb L 211.0000", "models/1enh.pdb _ 54.0000",
                                            "models/1ubq.pdb A 76.0000", "models/2ACY_A.pdb A 98.0000"}));
  // The same records as with the chain given.
  const Run_Result explicit_chain = Catena("--chain A models/1ubq.pdb");
  EXPECT_EQ(Scores(Records(explicit_chain.out)[0]), Scores(Records(run.out)[2]));
}

TEST_F(CatenaInputs, OneRecordPerChainOrModel) {
  struct Case {
    std::string arguments;
    std::vector<std::string> records;  // chain model_number length
    std::vector<std::string> kept;
  };
  const std::vector<Case> cases = {
      {"--chain all 1a0q.cif.gz", {"L  211.0000", "H  205.0000"}, {"1a0q.cif.gz_H", "1a0q.cif.gz_L"}},
      {"--models all 1d3z_models1-2.pdb",
       {"A 1 76.0000", "A 2 76.0000"},
       {"1d3z_models1-2.pdb_model1", "1d3z_models1-2.pdb_model2"}},
      {"1d3z_models1-2.cif.gz", {"A 1 76.0000"}, {"1d3z_models1-2.cif.gz"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    Temp_Dir keep;
    const Run_Result run = Catena("--keep " + keep.Path() + " " + c.arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> seen;
    for (const Record& r : Records(run.out))
      seen.push_back(r.at("chain") + " " + r.at("model_number") + " " + r.at("length"));
    EXPECT_EQ(seen, c.records);
    EXPECT_EQ(keep.List(), c.kept);
  }
  // Model 2 is scored on its own coordinates.
  const std::vector<Record> models = Records(Catena("--models all 1d3z_models1-2.cif.gz").out);
  ASSERT_EQ(models.size(), 2U);
  EXPECT_NE(models[0].at("pair_energy"), models[1].at("pair_energy"));
}

TEST_F(CatenaInputs, ListOfModelsWithTheirChainsAndTemplates) {
  dir_.Copy_In(FOLD_EXAMPLE_DATA_DIR "/1enh.pir", "1enh.pir");
  const std::string list =
      "# models of two templates\n"
      "model\tchain\talignment\tidentity\n"
      "1a0q.cif.gz\tH\t\t.5\n"
      "1enh.pdb\t\t1enh.pir\n"
      "1ubq.pdb\n";
  dir_.Write("batch.tsv", list);
  const Run_Result from_file = Run_Shell("catena --seed 5 --list batch.tsv", dir_.Path());
  const Run_Result from_stdin = Run_Shell("catena --seed 5 --list - < batch.tsv", dir_.Path());
  EXPECT_EQ(from_file.status, 0) << from_file.err;
  EXPECT_EQ(from_stdin.out, from_file.out);
  std::vector<std::string> seen;
  for (const Record& r : Records(from_file.out))
    seen.push_back(r.at("model") + " " + r.at("chain") + " " + r.at("identity") + " " + r.at("seed"));
  EXPECT_EQ(seen, (std::vector<std::string>{"1a0q.cif.gz H 0.50 5", "1enh.pdb _ 48.00 5", "1ubq.pdb A  5"}));
  EXPECT_NE(from_file.err.find("catena: 1 of 3 models have no alignment or identity"), std::string::npos);
}

// A model's problem is the last field of its record; a refused run's, the
// last line of standard error.
TEST(CatenaMessages, NameTheProblem) {
  std::string ca_only;
  for (const std::string& line : Split(test_support::Read_Text(Test_Data("1ubq.pdb")), '\n'))
    if (line.rfind("ATOM", 0) == 0 && line.substr(12, 4) == " CA ") ca_only += line + "\n";
  const auto run = [](const std::string& label, const std::string& arguments, std::vector<Input_File> inputs,
                      const std::string& says) {
    return Tool_Case{
        .label = label, .inputs = std::move(inputs), .shell = "CMD --seed 5 " + arguments, .status = 8, .says = says};
  };
  const Input_File ubq = test_support::Data_File("1ubq.pdb");
  test_support::Check_Cases(
      "catena",
      {
          run("alpha carbons only", "ca_only.pdb", {{"ca_only.pdb", ca_only}},
              "\tglycine GLY 10 of chain 'A' (residue 10) has no N, C or O atom: no virtual CB can be built for it\n"),
          run("a path through a file", "1ubq.pdb/", {ubq}, "\tCan not open 1ubq.pdb/; file not found '1ubq.pdb/'.\n"),
          run("a directory without structures", "empty", {{"empty/notes.txt", ""}},
              "catena: the directory 'empty' holds no structure file (.pdb, .ent, .cif, .mmcif, .gz)\n"),
          run("--chain of two letters", "--chain AB 1ubq.pdb", {ubq},
              "catena: --chain must be one character ('_' for a blank chain) or 'all', not 'AB'\n"),
          run("--identity in hexadecimal", "--identity 0x1A 1ubq.pdb", {ubq},
              "catena: --identity must be a percentage from 0 to 100, not '0x1A'\n"),
          run("absent alignment in a list", "--list - < list.tsv",
              {ubq, {"list.tsv", "model\talignment\n1ubq.pdb\tabsent.pir\n"}},
              "catena: cannot open alignment file 'absent.pir'\n"),
      });
}

// Windows line ends in an alignment: the same identity.
TEST_F(CatenaInputs, AlignmentWithWindowsLineEnds) {
  const std::string alignment = test_support::Read_Text(FOLD_EXAMPLE_DATA_DIR "/1enh.pir");
  std::string crlf;
  for (const char c : alignment) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  dir_.Write("lf.pir", alignment);
  dir_.Write("crlf.pir", crlf);
  const Run_Result lf = Run_Shell("catena --seed 5 --alignment lf.pir 1enh.pdb", dir_.Path());
  const Run_Result with_crlf = Run_Shell("catena --seed 5 --alignment crlf.pir 1enh.pdb", dir_.Path());
  EXPECT_EQ(with_crlf.status, 0) << with_crlf.err;
  EXPECT_EQ(with_crlf.out, lf.out);
}

TEST_F(CatenaInputs, ARunCanBeRepeatedFromWhatItPrints) {
  const Run_Result first = Run_Shell("catena --identity 30 1ubq.pdb", dir_.Path());
  ASSERT_EQ(first.status, 0) << first.err;
  const std::size_t at = first.err.find("catena: version ");
  ASSERT_NE(at, std::string::npos) << first.err;
  const std::string seed = first.err.substr(first.err.find(", seed ", at) + 7);
  EXPECT_EQ(seed.substr(seed.find(' '), 9), " (clock)\n");
  const std::string number = seed.substr(0, seed.find(' '));
  EXPECT_EQ(Records(first.out)[0].at("seed"), number);
  const std::string table = std::string(FOLD_EXAMPLE_DATA_DIR) + "/pg.cpdf";  // the default table
  EXPECT_NE(
      first.err.find("catena: table " + table + " sha256 " + common::Sha256_Hex(test_support::Read_Text(table)) + "\n"),
      std::string::npos)
      << first.err;
  const Run_Result again = Run_Shell("catena --identity 30 --seed " + number + " 1ubq.pdb", dir_.Path());
  EXPECT_EQ(again.out, first.out);
}

}  // namespace
