// A virtual beta carbon for every glycine, so that every residue can be
// scored through its CB. The CB is the residue's C atom turned by 120 degrees
// about the CA->N axis, centred on CA, in single precision throughout.
#pragma once

#include <optional>
#include <string>

#include "structure/lk_list.hpp"

namespace structure {

// Inserts one CB per glycine (Insert_CB_GLY), then renumbers the atoms.
void Build_Virtual_CB_for_Glycines(Atom_List& list);

// Inserts, for every glycine, a CB node directly after the glycine's O atom
// (its OXT when it has no O). The CB copies chain, serial number, residue
// number, occupancy and temperature factor from that anchor atom. A glycine
// without anchor, C, CA or N, or whose N lies on its CA, is a fatal error.
void Insert_CB_GLY(Atom_List& list);

// When Insert_CB_GLY would fail on this list, a one-line description of the
// glycine it stops at, naming the residue as the file numbers it and the
// backbone atoms it lacks, e.g. "glycine GLY 52A of chain 'A' (residue 12)
// has no N, C or O atom: no virtual CB can be built for it"; nothing when it
// would succeed.
std::optional<std::string> Glycine_Without_Backbone(const Atom_List& list);

// A copy of `chain` with only the atoms Insert_CB_GLY reads (the first atom of
// each residue and every N, CA, C, O and OXT atom) and the CB atoms. Given
// virtual beta carbons and then filtered down to CA and CB atoms, or a subset
// of them, it gives the same list as a copy of the whole chain would.
Atom_List Copy_For_Beta_Carbons(const Atom_List& chain);

// Sets cb's coordinates from the residue's N, CA and C atoms.
void Get_Coordinates_CB(Atom_Record& cb, const Atom_Record& n, const Atom_Record& ca, const Atom_Record& c);

}  // namespace structure
