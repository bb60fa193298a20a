// The energies and the shuffle computed routine by routine as they were first
// written: the atoms typed in place, every pair of the list walked, the
// neighbour counts stored on the atoms, the keys sorted by exchanges. Too slow for the programs; kept as the reference
// that their evaluation must equal bit for bit.
#pragma once

#include "energy/pair_energy.hpp"
#include "energy/shuffle.hpp"
#include "energy/surface_energy.hpp"

namespace energy::pair {

int Set_AA_CA_CB_Atom_Type(Atom_Record* first);  // returns the number of atoms typed 9999
void Correct_Atom_Types(Atom_Record* first);     // lowers every type by one
void Define_Atom_Types(Atom_Record* first);      // Set_..., then Correct_...

// Resets the neighbour count of every atom.
void Initialize_Calculated_Values(Atom_Record* first);

// Sequence separation: 100 across chains, else the residue number difference.
int Find_K(const Atom_Record& a, const Atom_Record& b);

// The pair energy's distance (structure::Single_Precision_Distance).
float Find_Non_Squared_Distance(const Atom_Record& a, const Atom_Record& b);

// The pair energy, evaluated pair by pair over the list: every unordered
// pair, the earlier atom first, summed in list order.
void Energy_Profile_Distance_Dependent(Atom_Record* first, const MFP_Table& table, double& energy);

}  // namespace energy::pair

namespace energy::surface {

// Stores the residue index of each atom's three-letter name as its type;
// returns the number of atoms typed 9999. The surface types are not lowered.
int Set_AA_Type(Atom_Record* first);
void Define_Atom_Types(Atom_Record* first);

// The surface energy, evaluated atom by atom.
void Energy_Profile_Accessible_Surface(Atom_Record* first, const MFP_Table& table, double& energy);

}  // namespace energy::surface

namespace energy {

// One shuffle: new keys, then the exchange sort.
void Randomize_Protein_Sequence(Protein_Sequence& sequence, Platform_Random& random, unsigned seed);

}  // namespace energy
