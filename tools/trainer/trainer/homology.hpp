// Grouping chains by sequence homology, and splitting the groups into a
// training set and a held-out set, so that no held-out chain has a homologue
// among the chains a table is trained on.
//
// Two chains are homologous when their best local alignment (BLOSUM62, affine
// gaps) is both close (identity over the aligned positions above a threshold)
// and significant: the Z-score of its score against the scores of the same
// alignment with one sequence shuffled. Chance alignments of short chains
// reach 30-39% identity, so identity alone would merge unrelated chains.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace trainer {

// BLOSUM62 score of two one-letter codes; -4 (the matrix's floor) when either
// code is not one of the twenty residues.
int Blosum62(char a, char b);

struct Gap_Costs {
  int open = 11;  // a gap of k positions costs open + k * extend
  int extend = 1;
};

struct Local_Alignment {
  int score = 0;
  int aligned = 0;    // positions where a residue faces a residue
  int identical = 0;  // of those, the identical ones
  double Identity() const { return aligned ? 100.0 * identical / aligned : 0.0; }
};

// Smith-Waterman with affine gaps (Gotoh). Of equal best scores, the cell met
// first in row-major order ends the alignment; the traceback prefers a match
// over a gap in `b`, over a gap in `a`.
Local_Alignment Align_Local(std::string_view a, std::string_view b, const Gap_Costs& gaps = {});
// The best score alone, in linear memory.
int Local_Score(std::string_view a, std::string_view b, const Gap_Costs& gaps = {});

// A small, fully specified generator (splitmix64), so that shuffles are the
// same on every platform and standard library.
class Split_Mix {
 public:
  explicit Split_Mix(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  std::uint64_t Below(std::uint64_t bound);  // uniform in [0, bound)

 private:
  std::uint64_t state_;
};

// Fisher-Yates shuffle of the characters.
void Shuffle_Sequence(std::string& sequence, Split_Mix& random);

// (score - mean) / standard deviation of the scores of `a` against `shuffles`
// shuffles of `b`; 0 when the shuffled scores do not vary.
double Alignment_Z_Score(std::string_view a, std::string_view b, int score, int shuffles, std::uint64_t seed,
                         const Gap_Costs& gaps = {});

// Expected number of chance local alignments scoring at least `score`
// between random sequences of these lengths (BLOSUM62, gaps 11 + k:
// lambda 0.267, K 0.041).
double Chance_Expectation(int score, std::size_t length_a, std::size_t length_b);

struct Homology_Options {
  double min_identity = 30.0;  // percent, strictly above
  double min_z = 6.0;          // at least
  // Cheap prefilter before any shuffle: the number of local alignments that
  // score as high by chance, by Karlin-Altschul statistics, at most this.
  // Z >= 6 is rarer by chance (about 3e-4 on a Gumbel law); the filter only
  // spares the shuffles.
  double max_expectation = 0.01;
  int shuffles = 100;
  // Before the full set of shuffles, a pair must reach first_z on the first
  // first_shuffles of them (the same ones, by the same seed).
  int first_shuffles = 20;
  double first_z = 3.0;
  std::uint64_t seed = 20261208;
  double held_out_fraction = 0.25;
  Gap_Costs gaps;
};

struct Homolog_Pair {
  std::size_t a = 0, b = 0;  // chain positions, a < b
  double identity = 0.0;
  double z = 0.0;
  int aligned = 0;
};

// Every homologous pair, in order of (a, b). `progress` is told of each chain
// whose comparisons are done.
std::vector<Homolog_Pair> Find_Homologs(const std::vector<std::string>& sequences, const Homology_Options& options,
                                        const std::function<void(std::size_t done)>& progress = {});

// Connected components of the homology graph: one group number per chain,
// numbered from 1 in the order of each group's first chain.
std::vector<int> Homology_Groups(std::size_t chains, const std::vector<Homolog_Pair>& pairs);

// Which chains are held out: whole groups, taken in a shuffled order (seeded)
// while they fit, so that in every category about `fraction` of the chains
// (rounded) is held out.
std::vector<bool> Held_Out_Chains(const std::vector<int>& groups, const std::vector<std::string>& categories,
                                  double fraction, std::uint64_t seed);

}  // namespace trainer
