// The straightforward evaluation of an energy profile, routine by routine:
// every evaluation retypes the atoms and walks all atom pairs, and every
// shuffle reseeds the C library's own rand() and runs the exchange sort.
// It is slow; the tests and benchmarks keep it as the reference that the
// programs' fast path must equal bit for bit.
#pragma once

#include <functional>
#include <vector>

#include "energy/energy_tool.hpp"

namespace energy::reference {

struct Energy_Profile {
  double native = 0.0;
  std::vector<double> shuffled;
};

// `list` is the prepared structure (Prepare_Structure); it is left threaded
// with the last shuffled sequence.
// `next_seed` gives the value for srand before each shuffle.
using Seed_Function = std::function<unsigned()>;
Energy_Profile Pair_Profile(structure::Atom_List& list, const MFP_Table& table, const Seed_Function& next_seed,
                            int shuffles = kShuffles);
Energy_Profile Surface_Profile(structure::Atom_List& list, const MFP_Table& table, const Seed_Function& next_seed,
                               int shuffles = kShuffles);

}  // namespace energy::reference
