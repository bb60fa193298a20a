// Processor cycles of the pair search (the Pair_Geometry constructor), per
// scored pair, and of the pass over the pairs alone (Pair_Geometry::Energies),
// per addition: the widest pass this processor runs and the portable one, on
// the same chains and sequences, best of REPEATS passes per chain (time-stamp
// counter, at its nominal rate).
//
//   pair_pass_cycles PAIR_POTENTIAL REPEATS MODEL.pdb...
//
// Each model's chain A is prepared as vicina prepares it; sequence 0 is the
// native, 200 shuffles of its residues follow (std::mt19937, seed 1). The
// checksum of all energies must be the same for both passes.
#include <malloc.h>
#include <x86intrin.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "energy/energy_tool.hpp"
#include "energy/pair_energy.hpp"
#include "energy/potential_table.hpp"

namespace {

using energy::pair::Pair_Geometry;

struct Tally {
  double cycles = 0, additions = 0;
  std::uint64_t checksum = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fputs("usage: pair_pass_cycles PAIR_POTENTIAL REPEATS MODEL.pdb...\n", stderr);
    return 2;
  }
  // As catena runs: large arrays stay in the heap between chains.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
  const energy::MFP_Table table = energy::Load_Potential(energy::Pair_Table_Shape(), argv[1]);
  const int repeats = std::max(1, std::atoi(argv[2]));
  constexpr std::size_t kCount = 201;
  const Pair_Geometry::Pass_Path paths[] = {Pair_Geometry::Pass_Path::kBest, Pair_Geometry::Pass_Path::kPortable};
  Tally tally[2];
  double search_cycles = 0, search_pairs = 0;
  for (int f = 3; f < argc; ++f) {
    const structure::Atom_List list = energy::Prepare_Structure(energy::kPairTool, argv[f], 'A', {stderr, nullptr, ""});
    // The pair search too: best of REPEATS constructions, per scored pair.
    std::uint64_t best_search = UINT64_MAX;
    for (int r = 0; r < repeats; ++r) {
      const std::uint64_t start = __rdtsc();
      const Pair_Geometry trial(list.first, table);
      best_search = std::min<std::uint64_t>(best_search, __rdtsc() - start);
    }
    const Pair_Geometry geometry(list.first, table);
    search_cycles += static_cast<double>(best_search);
    search_pairs += static_cast<double>(geometry.Scored_Pairs());
    std::vector<char> sequence;
    std::vector<std::size_t> residue_of_atom;
    for (const structure::Atom_Record* atom = list.first; atom; atom = atom->next) {
      const auto residue = static_cast<std::size_t>(atom->aa_number - 1);
      if (residue >= sequence.size()) sequence.resize(residue + 1);
      sequence[residue] = atom->aa_code;
      residue_of_atom.push_back(residue);
    }
    const std::size_t atoms = residue_of_atom.size();
    std::vector<char> codes(atoms * kCount);
    std::mt19937 random(1);
    for (std::size_t s = 0; s < kCount; ++s) {
      if (s > 0) std::shuffle(sequence.begin(), sequence.end(), random);
      for (std::size_t i = 0; i < atoms; ++i) codes[i * kCount + s] = sequence[residue_of_atom[i]];
    }
    std::vector<double> energies(kCount);
    const double additions = static_cast<double>(geometry.Scored_Pairs()) * kCount;
    std::printf("%s: %zu pairs", argv[f], geometry.Scored_Pairs());
    for (int p = 0; p < 2; ++p) {
      std::uint64_t best = UINT64_MAX;
      for (int r = 0; r < repeats; ++r) {
        const std::uint64_t start = __rdtsc();
        geometry.Energies(codes, kCount, energies, paths[p]);
        best = std::min<std::uint64_t>(best, __rdtsc() - start);
      }
      for (const double e : energies) {
        std::uint64_t bits;
        std::memcpy(&bits, &e, sizeof bits);
        tally[p].checksum = tally[p].checksum * 1000003 + bits;
      }
      tally[p].cycles += static_cast<double>(best);
      tally[p].additions += additions;
      std::printf(", %s %.3f cycles/addition", p == 0 ? "best" : "portable", static_cast<double>(best) / additions);
    }
    std::printf("\n");
  }
  for (int p = 0; p < 2; ++p)
    std::printf("%s pass: %.4f cycles per addition, checksum %016llx\n", p == 0 ? "best" : "portable",
                tally[p].cycles / tally[p].additions, static_cast<unsigned long long>(tally[p].checksum));
  std::printf("pair search: %.2f cycles per scored pair\n", search_cycles / search_pairs);
  return tally[0].checksum == tally[1].checksum ? 0 : 1;
}
