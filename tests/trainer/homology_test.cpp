// The homology split: alignment, significance, groups and the held-out choice.
#include "trainer/homology.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace trainer;

TEST(Blosum62, IsSymmetricWithItsKnownEntries) {
  const std::string codes = "ARNDCQEGHILKMFPSTWYV";
  for (char a : codes)
    for (char b : codes) EXPECT_EQ(Blosum62(a, b), Blosum62(b, a)) << a << b;
  struct Case {
    char a, b;
    int score;
  };
  for (const Case& c : {Case{'W', 'W', 11}, Case{'C', 'C', 9}, Case{'A', 'A', 4}, Case{'I', 'V', 3}, Case{'W', 'D', -4},
                        Case{'E', 'Q', 2}, Case{'X', 'A', -4}})
    EXPECT_EQ(Blosum62(c.a, c.b), c.score) << c.a << c.b;
}

TEST(AlignLocal, ScoresCountsAndIdentity) {
  struct Case {
    std::string a, b;
    int score, aligned, identical;
  };
  const Case cases[] = {
      {"WCWCW", "WCWCW", 51, 5, 5},               // identity: the diagonal
      {"GGGWCWCWGGG", "PPWCWCWPP", 51, 5, 5},     // the local part only
      {"WWWWWWWWWW", "WWWWWAWWWWW", 98, 10, 10},  // one gap of 1 (cost 12) beats stopping
      {"WIV", "WLV", 17, 3, 2},                   // a conservative substitution stays aligned
      {"", "WCW", 0, 0, 0},
      {"DDDD", "WWWW", 0, 0, 0},  // nothing positive: the empty alignment
  };
  for (const Case& c : cases) {
    const Local_Alignment result = Align_Local(c.a, c.b);
    EXPECT_EQ(result.score, c.score) << c.a << " / " << c.b;
    EXPECT_EQ(result.aligned, c.aligned) << c.a << " / " << c.b;
    EXPECT_EQ(result.identical, c.identical) << c.a << " / " << c.b;
    EXPECT_EQ(Local_Score(c.a, c.b), c.score) << c.a << " / " << c.b;
  }
}

TEST(AlignLocal, LinearScoreEqualsTracedScoreOnShuffles) {
  Split_Mix random(7);
  std::string a =
      "MKTAYIAKQRQISFVKSHFSRQLEERLGLIEVQAPILSRVGDGTQDNLSGAEKAVQVKVKALPDAQFEVVHSLAKWKRQTLGQHDFSAGEGLYTHMKALRPDEDRLSPLHSV"
      "YVDQWDWERVMGDGERQFSTLKSTVEAIWAGIKATEAAVSEEFGLAPFLPDQIHFVHSQELLSRYPDLDAKGRERAIAKDLGAVFLVGIGGKLSDGHRHDVRAPDYDDWSTP"
      "SELGHAGLNGDILVWNPVLEDAFELSSMGIRVDADTLKHQLALTGDEDRLELEWHQALLRGEMPQTIGGGIGQSRLTMLLLQLPHIGQVQAGVWPAACRAGKR";
  std::string b = a.substr(40, 120);
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(Local_Score(a, b), Align_Local(a, b).score);
    Shuffle_Sequence(b, random);
  }
}

TEST(AlignmentZScore, SeparatesRelatedFromShuffled) {
  const std::string a =
      "MKTAYIAKQRQISFVKSHFSRQLEERLGLIEVQAPILSRVGDGTQDNLSGAEKAVQVKVKALPDAQFEVVHSLAKWKRQTLGQHDFSAGEGLYTHMKALRPDEDRLSPLHSV"
      "YVDQWDWERV";
  std::string b = a;
  for (std::size_t i = 0; i < b.size(); i += 3) b[i] = 'A';  // about a third mutated
  std::string unrelated = a;
  Split_Mix random(3);
  Shuffle_Sequence(unrelated, random);
  const double related = Alignment_Z_Score(a, b, Local_Score(a, b), 100, 11);
  const double chance = Alignment_Z_Score(a, unrelated, Local_Score(a, unrelated), 100, 11);
  EXPECT_GE(related, 6.0);
  EXPECT_LT(chance, 6.0);
  EXPECT_EQ(related, Alignment_Z_Score(a, b, Local_Score(a, b), 100, 11));  // fixed seed, same value
  EXPECT_EQ(Alignment_Z_Score("WWWW", "WWWW", 44, 20, 1), 0.0);             // shuffles of one letter do not vary
}

TEST(HomologyGroups, ConnectedComponentsNumberedByFirstChain) {
  const std::vector<Homolog_Pair> pairs = {{3, 5}, {1, 4}, {4, 5}, {0, 6}};
  EXPECT_EQ(Homology_Groups(8, pairs), (std::vector<int>{1, 2, 3, 2, 2, 2, 1, 4}));
  EXPECT_EQ(Homology_Groups(3, {}), (std::vector<int>{1, 2, 3}));
}

TEST(HeldOutChains, WholeGroupsAndAShareOfEveryCategory) {
  // Ten chains of "e" (one group of three), eight of "s".
  std::vector<int> groups;
  std::vector<std::string> categories;
  for (int c = 0; c < 18; ++c) {
    groups.push_back(c < 3 ? 1 : c - 1);
    categories.push_back(c < 10 ? "e" : "s");
  }
  for (std::uint64_t seed : {1u, 2u, 3u, 4u}) {
    const std::vector<bool> held = Held_Out_Chains(groups, categories, 0.25, seed);
    EXPECT_TRUE(held[0] == held[1] && held[1] == held[2]) << "a group is split, seed " << seed;
    int held_e = 0, held_s = 0;
    for (int c = 0; c < 18; ++c) (c < 10 ? held_e : held_s) += held[c];
    EXPECT_EQ(held_e, 3) << seed;  // round(2.5)
    EXPECT_EQ(held_s, 2) << seed;
    EXPECT_EQ(held, Held_Out_Chains(groups, categories, 0.25, seed));
  }
}

}  // namespace
