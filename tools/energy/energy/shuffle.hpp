// Shuffling the sequence of a structure and threading it back onto the atoms.
//
// A shuffle draws a random key for every residue from the platform's rand()
// generator, reseeded before every shuffle, and sorts the residues by key with
// an exchange sort. The chain is never reset: each shuffle starts from the
// order the previous one left, so shuffles drawn with the same seed apply the
// same permutation again.
#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "structure/lk_list.hpp"

namespace energy {

struct Sequence_Record {
  char aa_code = 'X';
  float random_value = 0.0F;  // the key drawn by the last shuffle
};
using Protein_Sequence = std::vector<Sequence_Record>;

// The platform's rand()/srand() sequence with a state of its own, so that
// shuffles in concurrent threads neither share nor disturb one another.
class Platform_Random {
 public:
  Platform_Random();
  void Seed(unsigned seed);
  int Next();

 private:
#ifdef __GLIBC__
  std::array<char, 128> state_{};
  random_data data_{};
#endif
};

// The value given to the generator before every shuffle: the calendar time in
// seconds halved, or a fixed value (SHUFFLE_SEED) that makes runs reproducible.
struct Seed_Source {
  std::optional<unsigned> fixed;
  unsigned Next() const;
};

// A seed written as an unsigned decimal integer (0 to 4294967295, digits
// only); nothing for any other text.
std::optional<unsigned> Parse_Seed(const std::string& text);

// Reads SHUFFLE_SEED: unset gives the clock; an unsigned integer fixes the
// seed; anything else is refused with a message.
Seed_Source Seed_Source_From_Environment();

// One record per residue of the list (residue numbers 1..n in runs), in order.
Protein_Sequence Get_Protein_Sequence(const structure::Atom_Record* first);

// Reseeds and draws four values per record: key = r1*r2/r3 + (r3+r4) in
// double precision, rounded to single.
void Assign_Random_Values_to_Sequence(Protein_Sequence& sequence, Platform_Random& random, unsigned seed);

// Sorts record contents by ascending key. The result is that of the exchange
// sort below (ties included) without its quadratic cost.
void Sort_Protein_Sequence(Protein_Sequence& sequence);

// The exchange sort itself: for each record p, for each later record q, the
// contents are exchanged when p's key >= q's key.
void Exchange_Sort_Protein_Sequence(Protein_Sequence& sequence);

// Writes the codes onto the atoms residue by residue, then the matching
// three-letter names. Names, numbers, coordinates and types stay as they are.
void Thread_Sequence_into_Structure(structure::Atom_Record* first, const Protein_Sequence& sequence);
void Get_AA_Three_Letter_Code(structure::Atom_Record& atom);  // "XXX" for a code outside the table
void Set_AA_Three_Letter_Code(structure::Atom_Record* first);

// Shuffles one sequence again and again. A shuffle whose seed equals the
// previous one draws the very same keys, so its permutation is reused.
class Sequence_Shuffler {
 public:
  void Shuffle(Protein_Sequence& sequence, unsigned seed);

  // Writes the residue codes of `sequence` to column 0 of `codes`, then
  // shuffles it `shuffles` times, each seeded by one call of next_seed, and
  // writes the codes after shuffle k to column k (codes[residue * stride +
  // k]). The sequence ends as Shuffle would leave it. A repeated seed moves
  // the previous column's codes by the permutation kept, not the records.
  void Shuffle_Codes(Protein_Sequence& sequence, const std::function<unsigned()>& next_seed, std::size_t shuffles,
                     std::span<char> codes, std::size_t stride);

 private:
  Platform_Random random_;
  std::optional<unsigned> last_seed_;
  std::vector<std::uint32_t> order_;
  std::vector<float> sorted_keys_;
  Protein_Sequence scratch_;
};

}  // namespace energy
