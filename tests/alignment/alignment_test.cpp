#include "descriptors/alignment.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/fatal_error.hpp"

namespace descriptors {
namespace {

TEST(Get_AA_Index, ResidueOrderGapAndRefusals) {
  const std::string letters = "ARNDCEQGHILKMFPSTWYV-";
  for (int i = 0; i < static_cast<int>(letters.size()); ++i) EXPECT_EQ(Get_AA_Index(letters[i]), i) << letters[i];
  for (const char c : {'a', 'v', 'X', 'B', '.', ' ', '\r', '#', '*', '>', '\0'}) {
    try {
      Get_AA_Index(c);
      ADD_FAILURE() << "accepted code " << static_cast<int>(c);
    } catch (const common::Fatal_Error& error) {
      EXPECT_STREQ(error.what(), "No AA index was assigned. Program will exit.\n");
    }
  }
}

TEST(Initialize_Alignment, SetsTheInitialValues) {
  const auto ali = std::make_unique<Alignment>();
  Initialize_Alignment(*ali);
  EXPECT_EQ(ali->residues[0][0], '#');
  EXPECT_EQ(ali->residues[1][kAlignmentPositions - 1], '#');
  EXPECT_EQ(ali->indices[0][0], 99);
  EXPECT_EQ(ali->indices[1][kAlignmentPositions - 1], 99);
  EXPECT_EQ(ali->sequence_count, -999);
  EXPECT_EQ(ali->length, -999);
  EXPECT_EQ(ali->aligned, -999);
  EXPECT_EQ(ali->seq_ide, -999.9);
}

// A record holding two aligned sequences as the reader would store them.
std::unique_ptr<Alignment> Record(const std::string& first, const std::string& second) {
  auto ali = std::make_unique<Alignment>();
  Initialize_Alignment(*ali);
  const std::string sequences[] = {first, second};
  for (int s = 0; s < kAlignmentSequences; ++s)
    for (std::size_t m = 0; m < sequences[s].size(); ++m) {
      ali->residues[s][m] = sequences[s][m];
      ali->indices[s][m] = Get_AA_Index(sequences[s][m]);
    }
  return ali;
}

struct Identity_Case {
  const char* first;
  const char* second;
  int aligned;
  double seq_ide;
};

TEST(Get_Seq_Ide_and_Aligned, IdentityOverTheShorterSequence) {
  const std::vector<Identity_Case> cases = {
      {"ACDEFGHIKL", "ACDEFG--WW", 8, 0.75},  // 6 identical over the 8 residues of the second
      {"--DEFGHIKL", "ACDEFGHIKL", 8, 1.0},   // the first is the shorter
      {"ACDEF", "ACDEF", 5, 1.0},
      {"ACDEF", "RNQGH", 5, 0.0},
      {"A-C-", "-DC-", 1, 0.5},  // gap against residue is neither aligned nor identical
      {"ACD", "---", 0, 0.0},    // no residue in the shorter sequence: 0, not 0/0
      {"---", "---", 0, 0.0},
  };
  for (const Identity_Case& c : cases) {
    const auto ali = Record(c.first, c.second);
    Get_Seq_Ide_and_Aligned(*ali, static_cast<int>(std::string(c.first).size()));
    EXPECT_EQ(ali->aligned, c.aligned) << c.first << " / " << c.second;
    EXPECT_EQ(ali->seq_ide, c.seq_ide) << c.first << " / " << c.second;
  }
  EXPECT_EQ(Identity_File_Line(0.75), "      0.75\n");
}

}  // namespace
}  // namespace descriptors
