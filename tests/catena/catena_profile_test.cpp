// catena --profile and --report end to end, on a chain with insertion codes,
// a numbering gap and a first residue 2.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

#include "support/run_tool.hpp"

namespace {

using test_support::Temp_Dir;

using test_support::Split;

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

TEST(CatenaProfile, FilesFollowTheModelsResiduesAndAddUpToItsEnergies) {
  Temp_Dir dir;
  dir.Copy_In(test_support::Test_Data("1a0q.pdb"), "1a0q.pdb");
  dir.Write("sub/.keep", "");
  dir.Copy_In(test_support::Test_Data("1a0q.pdb"), "sub/1a0q.pdb");
  const auto run = test_support::Run_Tool("catena",
                                          {"--seed", "3", "--identity", "40", "--chain", "H", "--profile", "prof",
                                           "--report", "report.html", "1a0q.pdb", "sub/1a0q.pdb", "missing.pdb"},
                                          dir.Path());
  ASSERT_EQ(run.status, 8) << run.err;
  EXPECT_EQ(Temp_Dir::List_Of(dir.File("prof")),
            (std::vector<std::string>{"1a0q.pdb.2.profile.pdb", "1a0q.pdb.2.profile.svg", "1a0q.pdb.2.profile.tsv",
                                      "1a0q.pdb.profile.pdb", "1a0q.pdb.profile.svg", "1a0q.pdb.profile.tsv"}));

  // The residues add up to the record's energies (each value has 5 decimals).
  const std::vector<std::string> record = Split(Split(run.out, '\n')[1], '\t');
  const std::vector<std::string> rows = Split(*dir.Read("prof/1a0q.pdb.profile.tsv"), '\n');
  ASSERT_EQ(rows.front(),
            "chain\tresidue\tname\tpair\tsurface\tcombined\tpair_w9\tsurface_w9\tcombined_w9\tpair_w21\tsurface_w21\t"
            "combined_w21");
  EXPECT_EQ(std::to_string(rows.size() - 1) + ".0000", record[2]);
  std::map<std::string, std::string> shown;  // residue label -> combined_w9 as the model file holds it
  std::vector<std::string> labels;
  double pair = 0.0, surface = 0.0;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const std::vector<std::string> f = Split(rows[i], '\t');
    ASSERT_EQ(f.size(), 12U) << rows[i];
    labels.push_back(f[1]);
    pair += std::stod(f[3]);
    surface += std::stod(f[4]);
    char text[16];
    std::snprintf(text, sizeof text, "%6.2f", std::stod(f[8]));
    shown[f[1]] = text;
  }
  const double rounding = 0.5e-5 * static_cast<double>(rows.size());
  EXPECT_NEAR(pair, std::stod(record[4]), rounding);
  EXPECT_NEAR(surface, std::stod(record[5]), rounding);

  // The model file: the same lines, chain H's temperature factors replaced by
  // the energy of their residue (number and insertion code as in the file).
  // One row per residue of the file's chain H, labelled as the file does:
  // 52, 52A, 53, ..., 82A, 82B, 82C, ..., 126, 134.
  const std::vector<std::string> model = Split(*dir.Read("1a0q.pdb"), '\n');
  std::vector<std::string> file_labels;
  for (const std::string& line : model) {
    if (line.rfind("ATOM", 0) != 0 || line[21] != 'H') continue;
    const std::string label =
        std::to_string(std::stoi(line.substr(22, 4))) + (line[26] == ' ' ? "" : line.substr(26, 1));
    if (file_labels.empty() || file_labels.back() != label) file_labels.push_back(label);
  }
  EXPECT_EQ(labels, file_labels);

  const std::vector<std::string> profiled = Split(*dir.Read("prof/1a0q.pdb.profile.pdb"), '\n');
  ASSERT_EQ(profiled.size(), model.size());
  std::size_t changed = 0;
  for (std::size_t i = 0; i < model.size(); ++i) {
    const std::string& line = model[i];
    const bool chain_h = (line.rfind("ATOM", 0) == 0 || line.rfind("HETATM", 0) == 0) && line[21] == 'H';
    if (!chain_h) {
      EXPECT_EQ(profiled[i], line);
      continue;
    }
    std::string label = std::to_string(std::stoi(line.substr(22, 4))) + (line[26] == ' ' ? "" : line.substr(26, 1));
    const auto found = shown.find(label);
    EXPECT_EQ(profiled[i], line.substr(0, 60) + (found == shown.end() ? "  0.00" : found->second) + line.substr(66))
        << "line " << i + 1;
    changed += found != shown.end();
  }
  EXPECT_GT(changed, 1500U);

  const std::string page = *dir.Read("report.html");
  EXPECT_EQ(Count(page, "<tr class=\"failed\">"), 1U);
  EXPECT_EQ(Count(page, "<tr"), 4U);  // heading and three models
  EXPECT_EQ(Count(page, "<svg "), 2U);
  EXPECT_EQ(Count(page, ">missing.pdb</a>"), 1U);
}

}  // namespace
