#include "energy/shuffle.hpp"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <numeric>
#include <string>

#include "common/fatal_error.hpp"
#include "common/scan.hpp"
#include "structure/residues.hpp"

namespace energy {

using structure::Atom_Record;

#ifdef __GLIBC__
// glibc's rand() is random() on a 128-byte state of type 3; random_r on a
// state of the same size yields the same sequence for the same seed.
Platform_Random::Platform_Random() { initstate_r(1, state_.data(), state_.size(), &data_); }
void Platform_Random::Seed(unsigned seed) { srandom_r(seed, &data_); }
int Platform_Random::Next() {
  std::int32_t value = 0;
  random_r(&data_, &value);
  return value;
}
#else
Platform_Random::Platform_Random() = default;
void Platform_Random::Seed(unsigned seed) { std::srand(seed); }
int Platform_Random::Next() { return std::rand(); }
#endif

unsigned Seed_Source::Next() const {
  if (fixed) return *fixed;
  return static_cast<unsigned>(std::time(nullptr)) / 2U;
}

std::optional<unsigned> Parse_Seed(const std::string& text) {
  const std::optional<unsigned long long> seed = common::Strict_Unsigned(text, 0xFFFFFFFFULL);
  if (!seed) return std::nullopt;
  return static_cast<unsigned>(*seed);
}

Seed_Source Seed_Source_From_Environment() {
  const char* text = std::getenv("SHUFFLE_SEED");
  if (!text) return {};
  const std::optional<unsigned> seed = Parse_Seed(text);
  if (!seed)
    common::Fail(common::kExitBang, "SHUFFLE_SEED must be an unsigned integer from 0 to 4294967295, not '%s'", text);
  return {seed};
}

Protein_Sequence Get_Protein_Sequence(const Atom_Record* first) {
  // Residues are numbered 1..n in runs after filtering, so the first atom of
  // each run is the first atom with that residue number.
  Protein_Sequence sequence;
  sequence.reserve(static_cast<std::size_t>(structure::Count_AAs(first)));
  for (const Atom_Record* atom = first; atom; atom = atom->next)
    if (!atom->prev || atom->aa_number != atom->prev->aa_number) sequence.push_back({atom->aa_code, 0.0F});
  return sequence;
}

void Assign_Random_Values_to_Sequence(Protein_Sequence& sequence, Platform_Random& random, unsigned seed) {
  random.Seed(seed);
  for (Sequence_Record& record : sequence) {
    const float r1 = static_cast<float>(random.Next());
    const float r2 = static_cast<float>(random.Next());
    const float r3 = static_cast<float>(random.Next());
    const float r4 = static_cast<float>(random.Next());
    const double product = static_cast<double>(r1) * static_cast<double>(r2);
    const double sum = static_cast<double>(r3) + static_cast<double>(r4);
    record.random_value = static_cast<float>(product / static_cast<double>(r3) + sum);
  }
}

void Exchange_Sort_Protein_Sequence(Protein_Sequence& sequence) {
  for (std::size_t p = 0; p + 1 < sequence.size(); ++p)
    for (std::size_t q = p + 1; q < sequence.size(); ++q)
      if (sequence[p].random_value >= sequence[q].random_value) std::swap(sequence[p], sequence[q]);
}

namespace {

// The positions of the records in the order the exchange sort leaves them:
// ascending keys, and records with equal keys in the reverse of their order
// before the sort. Empty when a key is NaN (no ordering to rely on).
std::vector<std::uint32_t> Exchange_Sort_Order(const Protein_Sequence& sequence) {
  for (const Sequence_Record& record : sequence)
    if (std::isnan(record.random_value)) return {};
  std::vector<std::uint32_t> order(sequence.size());
  std::iota(order.begin(), order.end(), 0U);
  std::sort(order.begin(), order.end(), [&](std::uint32_t i, std::uint32_t j) {
    const float a = sequence[i].random_value;
    const float b = sequence[j].random_value;
    return a < b || (a == b && i > j);
  });
  return order;
}

void Apply_Order(Protein_Sequence& sequence, const std::vector<std::uint32_t>& order, Protein_Sequence& scratch) {
  scratch.resize(sequence.size());
  for (std::size_t i = 0; i < order.size(); ++i) scratch[i] = sequence[order[i]];
  sequence.swap(scratch);
}

}  // namespace

void Sort_Protein_Sequence(Protein_Sequence& sequence) {
  const std::vector<std::uint32_t> order = Exchange_Sort_Order(sequence);
  if (order.empty() && !sequence.empty()) {
    Exchange_Sort_Protein_Sequence(sequence);
    return;
  }
  Protein_Sequence scratch;
  Apply_Order(sequence, order, scratch);
}

void Sequence_Shuffler::Shuffle(Protein_Sequence& sequence, unsigned seed) {
  if (last_seed_ == seed && order_.size() == sequence.size()) {
    Apply_Order(sequence, order_, scratch_);
    for (std::size_t i = 0; i < sequence.size(); ++i) sequence[i].random_value = sorted_keys_[i];
    return;
  }
  Assign_Random_Values_to_Sequence(sequence, random_, seed);
  order_ = Exchange_Sort_Order(sequence);
  if (order_.empty()) {
    Exchange_Sort_Protein_Sequence(sequence);
    last_seed_.reset();
    return;
  }
  Apply_Order(sequence, order_, scratch_);
  sorted_keys_.resize(sequence.size());
  for (std::size_t i = 0; i < sequence.size(); ++i) sorted_keys_[i] = sequence[i].random_value;
  last_seed_ = seed;
}

void Sequence_Shuffler::Shuffle_Codes(Protein_Sequence& sequence, const std::function<unsigned()>& next_seed,
                                      std::size_t shuffles, std::span<char> codes, std::size_t stride) {
  const std::size_t residues = sequence.size();
  for (std::size_t r = 0; r < residues; ++r) codes[r * stride] = sequence[r].aa_code;
  // The column the records hold, when the columns after it moved on without them.
  std::optional<std::size_t> records_at;
  auto catch_up = [&](std::size_t column) {
    // What the shuffles kept would have left: the codes of the column, the sorted keys.
    for (std::size_t r = 0; r < residues; ++r) sequence[r] = {codes[r * stride + column], sorted_keys_[r]};
    records_at.reset();
  };
  for (std::size_t k = 1; k <= shuffles; ++k) {
    const unsigned seed = next_seed();
    if (last_seed_ == seed && order_.size() == residues) {
      for (std::size_t r = 0; r < residues; ++r) codes[r * stride + k] = codes[order_[r] * stride + k - 1];
      if (!records_at) records_at = k - 1;
      continue;
    }
    if (records_at) catch_up(k - 1);
    Shuffle(sequence, seed);
    for (std::size_t r = 0; r < residues; ++r) codes[r * stride + k] = sequence[r].aa_code;
  }
  if (records_at) catch_up(shuffles);
}

void Get_AA_Three_Letter_Code(Atom_Record& atom) {
  const std::size_t index = structure::aa_1_letter.find(atom.aa_code);
  atom.aa_name = index == std::string_view::npos ? std::string("XXX") : std::string(structure::aa_3_letter[index]);
}

void Set_AA_Three_Letter_Code(Atom_Record* first) {
  for (Atom_Record* atom = first; atom; atom = atom->next) Get_AA_Three_Letter_Code(*atom);
}

void Thread_Sequence_into_Structure(Atom_Record* first, const Protein_Sequence& sequence) {
  if (!first || sequence.empty()) return;
  std::size_t record = 0;
  int residue = first->aa_number;
  for (Atom_Record* atom = first; atom; atom = atom->next) {
    if (atom->aa_number != residue) {
      if (record + 1 < sequence.size()) ++record;
      residue = atom->aa_number;
    }
    atom->aa_code = sequence[record].aa_code;
  }
  Set_AA_Three_Letter_Code(first);
}

}  // namespace energy
