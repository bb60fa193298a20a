#include "energy/shuffle.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

#include "common/fatal_error.hpp"
#include "energy_fixtures.hpp"
#include "reference/energy_routines.hpp"

namespace energy {
namespace {

using test::Make_Atoms;

bool Same(const Protein_Sequence& a, const Protein_Sequence& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].aa_code != b[i].aa_code) return false;
    if (std::memcmp(&a[i].random_value, &b[i].random_value, sizeof(float)) != 0) return false;
  }
  return true;
}

TEST(PlatformRandom, SameSequenceAsTheCLibrary) {
  Platform_Random random;
  for (unsigned seed : {0U, 1U, 2U, 12345U, 884920815U, 4294967295U}) {
    std::srand(seed);
    random.Seed(seed);
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(random.Next(), std::rand()) << "seed " << seed << " draw " << i;
  }
}

TEST(AssignRandomValues, KeysFromFourDraws) {
  Protein_Sequence sequence(3);
  Platform_Random random;
  Assign_Random_Values_to_Sequence(sequence, random, 99);
  std::srand(99);
  for (const Sequence_Record& record : sequence) {
    const float r1 = static_cast<float>(std::rand()), r2 = static_cast<float>(std::rand()),
                r3 = static_cast<float>(std::rand()), r4 = static_cast<float>(std::rand());
    EXPECT_EQ(record.random_value,
              static_cast<float>(static_cast<double>(r1) * r2 / r3 + (static_cast<double>(r3) + r4)));
  }
}

// Keys drawn from a small pool so that ties are common, with NaN and
// infinities mixed in now and then.
Protein_Sequence Random_Keys(std::mt19937& engine, std::size_t n, int pool) {
  std::uniform_int_distribution<int> key(0, pool);
  std::uniform_int_distribution<int> code(0, 19);
  std::uniform_int_distribution<int> special(0, 200);
  Protein_Sequence sequence(n);
  for (Sequence_Record& r : sequence) {
    r.aa_code = structure::aa_1_letter[static_cast<std::size_t>(code(engine))];
    r.random_value = static_cast<float>(key(engine)) * 256.0F + 2147483648.0F;
    const int s = special(engine);
    if (s == 0) r.random_value = std::numeric_limits<float>::quiet_NaN();
    if (s == 1) r.random_value = std::numeric_limits<float>::infinity();
  }
  return sequence;
}

TEST(SortProteinSequence, EqualsTheExchangeSortTiesIncluded) {
  std::mt19937 engine(2024);
  std::uniform_int_distribution<std::size_t> length(0, 60);
  int with_ties = 0;
  for (int trial = 0; trial < 20000; ++trial) {
    const std::size_t n = trial < 100 ? static_cast<std::size_t>(trial % 10) : length(engine);
    const int pool = trial % 3 == 0 ? 3 : trial % 3 == 1 ? 40 : 100000;
    Protein_Sequence fast = Random_Keys(engine, n, pool);
    Protein_Sequence literal = fast;
    for (std::size_t i = 1; i < fast.size(); ++i)
      if (fast[i].random_value == fast[i - 1].random_value) ++with_ties;
    Sort_Protein_Sequence(fast);
    Exchange_Sort_Protein_Sequence(literal);
    ASSERT_TRUE(Same(fast, literal)) << "trial " << trial;
  }
  EXPECT_GT(with_ties, 1000);
}

TEST(SortProteinSequence, RealKeysOfLongChains) {
  // Keys as drawn for chains of 2000 residues, where equal keys do occur.
  Platform_Random random;
  for (unsigned seed = 1; seed <= 5; ++seed) {
    Protein_Sequence fast(2000);
    for (std::size_t i = 0; i < fast.size(); ++i) fast[i].aa_code = structure::aa_1_letter[i % 20];
    Assign_Random_Values_to_Sequence(fast, random, seed);
    Protein_Sequence literal = fast;
    Sort_Protein_Sequence(fast);
    Exchange_Sort_Protein_Sequence(literal);
    ASSERT_TRUE(Same(fast, literal)) << "seed " << seed;
  }
}

TEST(Shuffler, RepeatedSeedsReuseThePermutation) {
  Protein_Sequence cached(300), plain(300);
  for (std::size_t i = 0; i < cached.size(); ++i) cached[i].aa_code = plain[i].aa_code = structure::aa_1_letter[i % 20];
  Sequence_Shuffler shuffler;
  Platform_Random random;
  const std::vector<unsigned> seeds = {5, 5, 5, 6, 6, 5, 7, 7};
  for (unsigned seed : seeds) {
    shuffler.Shuffle(cached, seed);
    Randomize_Protein_Sequence(plain, random, seed);
    ASSERT_TRUE(Same(cached, plain)) << "seed " << seed;
  }
}

TEST(Shuffler, CodesOfEveryShuffleInColumnsAndTheSequenceAsShufflesLeaveIt) {
  // Seed patterns: repeated to the end, new after repeats, and a run of
  // repeats started by the previous call.
  const std::vector<std::vector<unsigned>> calls = {{5, 5, 5}, {5, 6, 6, 6, 7}, {7, 7}};
  Protein_Sequence columns(300), plain(300);
  for (std::size_t i = 0; i < plain.size(); ++i) columns[i].aa_code = plain[i].aa_code = structure::aa_1_letter[i % 20];
  Sequence_Shuffler by_columns, one_by_one;
  for (const std::vector<unsigned>& seeds : calls) {
    const std::size_t stride = seeds.size() + 2;  // a spare column
    std::vector<char> codes(columns.size() * stride, '-');
    std::size_t next = 0;
    by_columns.Shuffle_Codes(
        columns, [&] { return seeds[next++]; }, seeds.size(), codes, stride);
    for (std::size_t k = 0; k <= seeds.size(); ++k) {
      if (k > 0) one_by_one.Shuffle(plain, seeds[k - 1]);
      for (std::size_t r = 0; r < plain.size(); ++r)
        ASSERT_EQ(codes[r * stride + k], plain[r].aa_code) << "column " << k << " residue " << r;
    }
    ASSERT_TRUE(Same(columns, plain));
  }
}

TEST(Shuffling, KeepsTheResidueMultiset) {
  Protein_Sequence sequence;
  for (char c : std::string("MKTAYIAKQRQISFVKSHFSRQ")) sequence.push_back({c, 0.0F});
  std::string before;
  for (const auto& r : sequence) before += r.aa_code;
  Platform_Random random;
  bool changed = false;
  for (unsigned shuffle = 0; shuffle < 50; ++shuffle) {
    Randomize_Protein_Sequence(sequence, random, 1000 + shuffle);
    std::string after;
    for (const auto& r : sequence) after += r.aa_code;
    changed = changed || after != before;
    std::string a = after, b = before;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    ASSERT_EQ(a, b);
  }
  EXPECT_TRUE(changed);
}

TEST(Threading, RewritesCodesAndNamesOnly) {
  structure::Atom_List list = Make_Atoms({{"CA", 'G', 1, 1, 2, 3},
                                          {"CB", 'G', 1, 4, 5, 6},
                                          {"CA", 'W', 2, 7, 8, 9},
                                          {"CB", 'W', 2, 1, 1, 1},
                                          {"CB", 'K', 3, 2, 2, 2}});
  for (structure::Atom_Record* a = list.first; a; a = a->next) a->atom_type = 77;
  const Protein_Sequence native = Get_Protein_Sequence(list.first);
  ASSERT_EQ(native.size(), 3U);
  EXPECT_EQ(native[1].aa_code, 'W');
  Thread_Sequence_into_Structure(list.first, {{'K', 0}, {'G', 0}, {'Z', 0}});
  std::vector<std::string> seen;
  for (const structure::Atom_Record* a = list.first; a; a = a->next) {
    seen.push_back(a->atom_name + ":" + a->aa_code + ":" + a->aa_name + ":" + std::to_string(a->aa_number));
    EXPECT_EQ(a->atom_type, 77);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"CA:K:LYS:1", "CB:K:LYS:1", "CA:G:GLY:2", "CB:G:GLY:2", "CB:Z:XXX:3"}));
  EXPECT_EQ(list.first->x, 1.0F);
}

TEST(SeedSource, FromTheEnvironment) {
  struct Case {
    const char* value;
    std::optional<unsigned> seed;
    bool refused;
  };
  const std::vector<Case> cases = {{nullptr, std::nullopt, false},
                                   {"0", 0U, false},
                                   {"42", 42U, false},
                                   {"4294967295", 4294967295U, false},
                                   {"4294967296", std::nullopt, true},
                                   {"", std::nullopt, true},
                                   {"-1", std::nullopt, true},
                                   {"12abc", std::nullopt, true},
                                   {" 7", std::nullopt, true},
                                   {"99999999999999999999", std::nullopt, true}};
  for (const Case& c : cases) {
    if (c.value) {
      setenv("SHUFFLE_SEED", c.value, 1);
    } else {
      unsetenv("SHUFFLE_SEED");
    }
    if (c.refused) {
      EXPECT_THROW(Seed_Source_From_Environment(), common::Fatal_Error) << c.value;
    } else {
      EXPECT_EQ(Seed_Source_From_Environment().fixed, c.seed);
    }
  }
  unsetenv("SHUFFLE_SEED");
  const unsigned now = Seed_Source{}.Next();
  EXPECT_NEAR(static_cast<double>(now), static_cast<double>(static_cast<unsigned>(std::time(nullptr)) / 2U), 2.0);
}

}  // namespace
}  // namespace energy
