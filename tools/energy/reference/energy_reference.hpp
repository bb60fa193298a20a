// The straightforward version of an energy run, routine by routine: the
// table read with one fgets and one sscanf per line; every evaluation retypes
// the atoms and walks all atom pairs, and every shuffle reseeds the C
// library's own rand() and runs the exchange sort. It is slow; the tests and
// benchmarks keep it as the reference that the programs' fast path must equal
// bit for bit.
#pragma once

#include <functional>
#include <string>
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

// The profile of either tool, as Run_Energy calls it.
Profile_Energies Straightforward_Profile(const Energy_Tool& tool, structure::Atom_List& list, const MFP_Table& table,
                                         const Seed_Function& next_seed);

// Line buffer of the straightforward loader: 499 characters, newline, NUL.
inline constexpr int kLineBuffer = 501;

// The loaders as first written: one fgets per line into a 501-byte buffer,
// one sscanf "%d%d%d%d%lf\n" (pair) or "%d%d%lf\n" (surface). A line that is
// missing or does not convert is refused, as the programs' loader does.
void Straightforward_Read_MFP_Pair(const std::string& path, std::vector<double>& table, int s1, int s2, int s3, int s4);
void Straightforward_Read_MFP_Surf(const std::string& path, std::vector<double>& table, int s1, int s2);

// Allocates the zero-filled table of `shape` and fills it with the loader above.
MFP_Table Straightforward_Load_Potential(MFP_Table shape, const std::string& path);

// A whole run the straightforward way (Run_Energy with this method).
inline constexpr Energy_Method kStraightforward{Straightforward_Load_Potential, Straightforward_Profile};

}  // namespace energy::reference
