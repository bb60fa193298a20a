#include "reference/energy_reference.hpp"

#include <cstdlib>

#include "energy/pair_energy.hpp"
#include "energy/surface_energy.hpp"

namespace energy::reference {
namespace {

void Assign_With_C_Library(Protein_Sequence& sequence, unsigned seed) {
  std::srand(seed);
  for (Sequence_Record& record : sequence) {
    const float r1 = static_cast<float>(std::rand());
    const float r2 = static_cast<float>(std::rand());
    const float r3 = static_cast<float>(std::rand());
    const float r4 = static_cast<float>(std::rand());
    record.random_value = static_cast<float>(static_cast<double>(r1) * r2 / r3 + (static_cast<double>(r3) + r4));
  }
}

template <typename Define, typename Evaluate>
Energy_Profile Profile(structure::Atom_List& list, const MFP_Table& table, const Seed_Function& next_seed, int shuffles,
                       Define define, Evaluate evaluate) {
  Energy_Profile profile;
  define(list.first);
  evaluate(list.first, table, profile.native);
  Protein_Sequence sequence = Get_Protein_Sequence(list.first);
  for (int i = 0; i < shuffles; ++i) {
    Assign_With_C_Library(sequence, next_seed());
    Exchange_Sort_Protein_Sequence(sequence);
    Thread_Sequence_into_Structure(list.first, sequence);
    define(list.first);
    double energy = 0.0;
    evaluate(list.first, table, energy);
    profile.shuffled.push_back(energy);
  }
  return profile;
}

}  // namespace

Energy_Profile Pair_Profile(structure::Atom_List& list, const MFP_Table& table, const Seed_Function& next_seed,
                            int shuffles) {
  return Profile(list, table, next_seed, shuffles, pair::Define_Atom_Types, pair::Energy_Profile_Distance_Dependent);
}

Energy_Profile Surface_Profile(structure::Atom_List& list, const MFP_Table& table, const Seed_Function& next_seed,
                               int shuffles) {
  return Profile(list, table, next_seed, shuffles, surface::Define_Atom_Types,
                 surface::Energy_Profile_Accessible_Surface);
}

}  // namespace energy::reference
