// The residue-pair energy: the sum of pair-table values over all pairs of
// alpha and beta carbons at least three residues apart in the sequence and at
// most 15 angstrom apart in space, classified by the two atom types, the
// sequence separation and the distance.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "energy/potential_table.hpp"
#include "structure/lk_list.hpp"

namespace energy::pair {

using structure::Atom_List;
using structure::Atom_Record;

inline constexpr int kNumAtomTypes = 40;

// Atom type 1..40 of a CA or CB by one-letter code (CA odd, CB the next even
// number), 9999 for any other atom name or code. The table index is one less.
int Get_AA_CA_CB_Atom_Type(const Atom_Record& atom);

// Keeps only the atoms named "CA" or "CB", then renumbers.
void Keep_Only_Directly_Required_Atoms(Atom_List& list);

// Separation class 0..6 of a separation, or -1 when the pair is not scored (k < 3).
int Separation_Class(int k);

// Bin i holds i*bin_size < d <= (i+1)*bin_size. 'Y' with the bin stored; 'N'
// when d exceeds range (bin untouched) or falls in no bin (bin = 9999).
char Find_Distance_Dependent_Class(float distance, int& bin, double range, double bin_size, int num_bins);

// The bin Find_Distance_Dependent_Class stores when it answers 'Y', else -1;
// found without walking the bins.
int Distance_Bin(float distance, double range, double bin_size, int num_bins);

// The bin of a distance within range (Distance_Bin), or -1 for one that is
// not (beyond it, or NaN), faster when one table's bins are asked many
// times: bounds on the single-precision distance replace the division and
// the rounding.
class Distance_Bins {
 public:
  Distance_Bins(double range, double bin_size, int num_bins);

  // The bounds for vector code: bound i + 1 is bin i's upper bound; empty
  // when Bin takes the slow way.
  std::span<const float> Bounds() const { return bound_; }
  float Top() const { return top_; }
  double Inverse() const { return inverse_; }
  double Last() const { return last_; }

  int Bin(float distance) const {
    if (bound_.empty()) return distance <= range_ ? Distance_Bin(distance, range_, bin_size_, num_bins_) : -1;
    if (!(distance > bound_.front() && distance <= top_)) return -1;
    // The bin next to d / bin_size is at most one off (the bins are more
    // than a few float steps wide), and one step each way, without a
    // branch, puts it right.
    int bin = static_cast<int>(std::min(static_cast<double>(distance) * inverse_, last_));
    bin += distance > bound_[static_cast<std::size_t>(bin) + 1] ? 1 : 0;
    bin -= distance <= bound_[static_cast<std::size_t>(bin)] ? 1 : 0;
    return bin;
  }

 private:
  double range_, bin_size_;
  int num_bins_;
  // bound_[k]: the largest float not above k * bin_size, so that a float d
  // is in bin i exactly when bound_[i] < d <= bound_[i + 1]. Empty when the
  // bins are too odd for it (none, or narrower than four float steps).
  std::vector<float> bound_;
  float top_ = 0.0F;  // the largest float in range and in a bin
  double inverse_ = 0.0, last_ = 0.0;
};

// The pair table regrouped for evaluating many sequences: a pair's atoms are
// each a CA or a CB, so it reads only the 20 x 20 entries of its kind (0
// CA-CA, 1 CA-CB, 2 CB-CA, 3 CB-CB) at its cell (separation class * bins +
// bin). Block (kind, cell) holds them as 400 consecutive values, [residue a
// * 20 + residue b], at (kind * cells + cell) * 400, where the table's own
// layout spreads them over 400 cache lines.
std::vector<double> Group_Blocks(const MFP_Table& table);

// The pair energy, for evaluating one structure many times with different
// residue identities: the scored pairs, their separation classes and distance
// bins depend only on the coordinates, so they are found once; each
// evaluation then adds the table values of the current types in the very same
// pair order, which gives bit-identical sums.
class Pair_Geometry {
 public:
  // kBest takes the widest vector registers the processor has; kPortable
  // runs anywhere. Both give the same pairs and the same sums.
  enum class Pass_Path { kBest, kPortable };

  // `first` is the filtered list (CA and CB atoms only).
  Pair_Geometry(const Atom_Record* first, const MFP_Table& table, Pass_Path path = Pass_Path::kBest);

  // Energy with the given one-letter code for each atom, in list order.
  double Energy(std::span<const char> atom_codes);

  // The energies of `count` sequences in one pass over the pairs. `codes`
  // holds each atom's codes side by side, in list order: codes[atom * count +
  // s] in sequence s. Each energy takes its pairs in the order of Energy, so
  // its bits are the same; the sums do not wait on one another.
  void Energies(std::span<const char> codes, std::size_t count, std::span<double> energies,
                Pass_Path path = Pass_Path::kBest) const;

  struct Scored_Pair {
    std::uint32_t a, b;  // atom positions in list order, a < b
    std::uint32_t cell;  // separation class * bins + distance bin
  };

  std::size_t Scored_Pairs() const { return pair_count_; }
  // The scored pairs in the order the sums take them (every unordered pair,
  // the earlier atom first, in list order): what counting and per-residue
  // splitting walk, so that they see exactly the pairs the energy adds.
  std::span<const Scored_Pair> Pairs() const { return {pairs_.get(), pair_count_}; }
  bool Is_CB(std::size_t atom) const { return cb_[atom] != 0; }

 private:
  const MFP_Table& table_;
  // Filled out of order by the search, so left uninitialized until then.
  std::unique_ptr<Scored_Pair[]> pairs_;
  std::size_t pair_count_ = 0;
  std::vector<std::uint8_t> cb_;             // 1 for a CB, per atom
  std::vector<std::int32_t> row_a_, row_b_;  // per-evaluation scratch
};

}  // namespace energy::pair
