#include "structure/virtual_cb.hpp"

#include <cmath>
#include <new>
#include <string_view>

namespace structure {
namespace {

[[noreturn]] void Cannot_Create() { Print_Error("cannot create virtual CB for Glycine", "Insert_CB_GLY"); }

// The C atom is turned by this angle; cos and sin are taken in double
// precision on the single-precision angle and rounded back to single.
struct Rotation_Constants {
  float t, c, s;
};

Rotation_Constants Make_Rotation_Constants() {
  const float theta = static_cast<float>(4.0 * std::atan(1.0) * 120.0 / 180.0);
  const double theta_d = theta;
  return {static_cast<float>(1.0 - std::cos(theta_d)), static_cast<float>(std::cos(theta_d)),
          static_cast<float>(std::sin(theta_d))};
}

// First node of the residue that follows the run of `start`'s residue number.
Atom_Record* Next_Residue(Atom_Record* start) {
  Atom_Record* atom = start;
  while (atom && atom->aa_number == start->aa_number) atom = atom->next;
  return atom;
}

}  // namespace

void Get_Coordinates_CB(Atom_Record& cb, const Atom_Record& n, const Atom_Record& ca, const Atom_Record& c) {
  static const Rotation_Constants k = Make_Rotation_Constants();
  const float ux = n.x - ca.x;
  const float uy = n.y - ca.y;
  const float uz = n.z - ca.z;
  const float length = std::sqrt(ux * ux + uy * uy + uz * uz);
  if (!(length > 0.0F)) Cannot_Create();
  const float ax = ux / length;
  const float ay = uy / length;
  const float az = uz / length;

  const float r11 = ax * ax * k.t + k.c;
  const float r12 = ax * ay * k.t - az * k.s;
  const float r13 = ax * az * k.t + ay * k.s;
  const float r21 = ax * ay * k.t + az * k.s;
  const float r22 = ay * ay * k.t + k.c;
  const float r23 = ay * az * k.t - ax * k.s;
  const float r31 = ax * az * k.t - ay * k.s;
  const float r32 = ay * az * k.t + ax * k.s;
  const float r33 = az * az * k.t + k.c;

  const float vx = c.x - ca.x;
  const float vy = c.y - ca.y;
  const float vz = c.z - ca.z;

  const float row_x = r11 * vx + r12 * vy + r13 * vz;
  const float row_y = r21 * vx + r22 * vy + r23 * vz;
  const float row_z = r31 * vx + r32 * vy + r33 * vz;
  cb.x = row_x + ca.x;
  cb.y = row_y + ca.y;
  cb.z = row_z + ca.z;
}

void Insert_CB_GLY(Atom_List& list) {
  // Residues are numbered 1..n in runs after reading, and a new CB carries the
  // number of an existing residue, so walking the runs visits residues 1..n
  // exactly as counting them once and looking each one up would.
  std::size_t glycines = 0;
  for (Atom_Record* residue = list.first; residue; residue = Next_Residue(residue))
    glycines += residue->aa_code == 'G' ? 1 : 0;
  try {
    list.Reserve(glycines);
  } catch (const std::bad_alloc&) {
    Print_Error("cannot allocate memory", "Insert_CB_GLY");
  }
  for (Atom_Record* residue = list.first; residue; residue = Next_Residue(residue)) {
    if (residue->aa_code != 'G') continue;
    Atom_Record* anchor = Find_Atom_From(residue, "O");
    if (!anchor) anchor = Find_Atom_From(residue, "OXT");
    if (!anchor) Cannot_Create();
    // The backbone atoms come from the anchor's residue, which is a later one
    // when the glycine itself has no O.
    Atom_Record* const anchor_residue = Set_Position_AA_Number(residue, anchor->aa_number);
    Atom_Record* const c = Find_Atom_From(anchor_residue, "C");
    Atom_Record* const ca = Find_Atom_From(anchor_residue, "CA");
    Atom_Record* const n = Find_Atom_From(anchor_residue, "N");
    if (!c || !ca || !n) Cannot_Create();

    Atom_Record* cb = nullptr;
    try {
      cb = list.New_Atom();
    } catch (const std::bad_alloc&) {
      Print_Error("cannot allocate memory", "Insert_CB_GLY");
    }
    cb->atom_name = "CB";
    cb->aa_name = "GLY";
    cb->aa_code = 'G';
    cb->atom_type = 0;
    cb->chain = anchor->chain;
    cb->atom_number = anchor->atom_number;
    cb->atom_number_read = anchor->atom_number_read;
    cb->aa_number = anchor->aa_number;
    cb->aa_number_read = anchor->aa_number_read;
    cb->occupancy = anchor->occupancy;
    cb->temp_factor = anchor->temp_factor;
    Get_Coordinates_CB(*cb, *n, *ca, *c);
    Insert_Atom_After(anchor, cb);
  }
}

std::optional<std::string> Glycine_Without_Backbone(const Atom_List& list) {
  for (Atom_Record* residue = list.first; residue; residue = Next_Residue(residue)) {
    if (residue->aa_code != 'G') continue;
    // The same look-ups as Insert_CB_GLY.
    Atom_Record* anchor = Find_Atom_From(residue, "O");
    if (!anchor) anchor = Find_Atom_From(residue, "OXT");
    Atom_Record* const anchor_residue = anchor ? Set_Position_AA_Number(residue, anchor->aa_number) : nullptr;
    Atom_Record* const c = anchor ? Find_Atom_From(anchor_residue, "C") : nullptr;
    Atom_Record* const ca = anchor ? Find_Atom_From(anchor_residue, "CA") : nullptr;
    Atom_Record* const n = anchor ? Find_Atom_From(anchor_residue, "N") : nullptr;
    const bool fails = !anchor || !c || !ca || !n || (n->x == ca->x && n->y == ca->y && n->z == ca->z);
    if (!fails) continue;
    std::string missing;
    int count = 0;
    const char* names[] = {"N", "CA", "C", "O"};
    for (const char* name : names) {
      bool found = false;
      for (const Atom_Record* atom = residue; atom && atom->aa_number == residue->aa_number; atom = atom->next)
        found = found || atom->atom_name == name || (std::string_view(name) == "O" && atom->atom_name == "OXT");
      if (!found) missing += std::string(count++ ? ", " : "") + name;
    }
    if (const std::size_t last = missing.rfind(", "); last != std::string::npos) missing.replace(last, 2, " or ");
    const std::string chain = residue->chain.empty() ? "the blank chain" : "chain '" + residue->chain + "'";
    std::string label = "glycine " + residue->aa_name + " " + std::to_string(residue->aa_number_read);
    if (residue->insertion_code != ' ') label += residue->insertion_code;
    label += " of " + chain + " (residue " + std::to_string(residue->aa_number) + ")";
    if (missing.empty()) return label + " has its N on its CA: no virtual CB can be built for it";
    return label + " has no " + missing + " atom: no virtual CB can be built for it";
  }
  return std::nullopt;
}

Atom_List Copy_For_Beta_Carbons(const Atom_List& chain) {
  // Insert_CB_GLY visits residues by their first atoms and otherwise looks
  // atoms up by name, so it finds the same nodes in this copy.
  return chain.Copy_If([](const Atom_Record& atom) {
    const std::string_view name = atom.atom_name;
    return !atom.prev || atom.prev->aa_number != atom.aa_number || name == "CA" || name == "CB" || name == "N" ||
           name == "C" || name == "O" || name == "OXT";
  });
}

void Build_Virtual_CB_for_Glycines(Atom_List& list) {
  Insert_CB_GLY(list);
  Sequentially_Enumerate_Atoms_and_AAs(list.first);
}

}  // namespace structure
