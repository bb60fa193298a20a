#include "energy/pair_energy.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "common/fatal_error.hpp"
#include "structure/cell_grid.hpp"
#include "structure/residues.hpp"

namespace energy::pair {
namespace {

using structure::kNoType;

// Residue order of the pair atom types; the CA of the residue at position p
// has type 2p+1 and its CB 2p+2.
constexpr std::string_view kPairTypeOrder = "GAVLIMPFWSTQKYNCEDRH";

constexpr std::array<int, 256> Make_CA_Type_Table() {
  std::array<int, 256> table{};
  for (int& t : table) t = kNoType;
  for (std::size_t p = 0; p < kPairTypeOrder.size(); ++p)
    table[static_cast<unsigned char>(kPairTypeOrder[p])] = 2 * static_cast<int>(p) + 1;
  return table;
}
constexpr std::array<int, 256> kCAType = Make_CA_Type_Table();

// Table index (type - 1) of a CA or CB of a residue code; -1 outside the table.
int Table_Type(char code, bool is_cb) {
  const int ca = kCAType[static_cast<unsigned char>(code)];
  return ca == kNoType ? -1 : ca - 1 + (is_cb ? 1 : 0);
}

}  // namespace

int Get_AA_CA_CB_Atom_Type(const Atom_Record& atom) {
  const int ca = kCAType[static_cast<unsigned char>(atom.aa_code)];
  if (ca == kNoType) return kNoType;
  if (atom.atom_name == "CA") return ca;
  if (atom.atom_name == "CB") return ca + 1;
  return kNoType;
}

int Set_AA_CA_CB_Atom_Type(Atom_Record* first) {
  int untyped = 0;
  for (Atom_Record* atom = first; atom; atom = atom->next) {
    atom->atom_type = Get_AA_CA_CB_Atom_Type(*atom);
    if (atom->atom_type == kNoType) ++untyped;
  }
  return untyped;
}

void Correct_Atom_Types(Atom_Record* first) {
  for (Atom_Record* atom = first; atom; atom = atom->next) atom->atom_type -= 1;
}

void Define_Atom_Types(Atom_Record* first) {
  Set_AA_CA_CB_Atom_Type(first);
  Correct_Atom_Types(first);
}

void Keep_Only_Directly_Required_Atoms(Atom_List& list) {
  structure::Remove_Atoms_Unless(list, [](const Atom_Record& a) { return a.atom_name == "CA" || a.atom_name == "CB"; });
  structure::Renumerate_Protein(list.first);
}

void Initialize_Calculated_Values(Atom_Record* first) {
  for (Atom_Record* atom = first; atom; atom = atom->next) atom->neighbours = 0;
}

int Find_K(const Atom_Record& a, const Atom_Record& b) {
  if (a.chain != b.chain) return 100;
  return std::abs(a.aa_number - b.aa_number);
}

int Separation_Class(int k) {
  if (k < 3) return -1;
  if (k <= 8) return k - 3;
  return 6;
}

float Find_Non_Squared_Distance(const Atom_Record& a, const Atom_Record& b) {
  const double dx = static_cast<double>(b.x) - static_cast<double>(a.x);
  const double dy = static_cast<double>(b.y) - static_cast<double>(a.y);
  const double dz = static_cast<double>(b.z) - static_cast<double>(a.z);
  const float squared = static_cast<float>(dy * dy + dx * dx + dz * dz);
  return static_cast<float>(std::sqrt(static_cast<double>(squared)));
}

char Find_Distance_Dependent_Class(float distance, int& bin, double range, double bin_size, int num_bins) {
  const double d = distance;
  if (d > range) return 'N';
  for (int i = 0; i < num_bins; ++i) {
    const double low = i * bin_size;
    const double high = (i + 1) * bin_size;
    if (d > low && d <= high) {
      bin = i;
      return 'Y';
    }
  }
  bin = kNoType;
  return 'N';
}

void Energy_Profile_Distance_Dependent(Atom_Record* first, const MFP_Table& table, double& energy) {
  Initialize_Calculated_Values(first);
  energy = 0.0;
  for (Atom_Record* a = first; a; a = a->next) {
    for (Atom_Record* b = a->next; b; b = b->next) {
      const int separation = Separation_Class(Find_K(*a, *b));
      if (separation < 0) continue;
      const float d = Find_Non_Squared_Distance(*a, *b);
      if (!(d <= table.range)) continue;
      int bin = 0;
      if (Find_Distance_Dependent_Class(d, bin, table.range, table.bin_size, table.dim_val[3]) != 'Y') continue;
      const int tuple[10] = {a->atom_type, b->atom_type, separation, bin};
      energy += table.values[static_cast<std::size_t>(Get_MFP_Index(4, tuple, table.dim_val))];
    }
  }
}

Pair_Geometry::Pair_Geometry(const Atom_Record* first, const MFP_Table& table) : table_(table) {
  std::vector<const Atom_Record*> atoms;
  for (const Atom_Record* atom = first; atom; atom = atom->next) {
    atoms.push_back(atom);
    is_cb_.push_back(atom->atom_name == "CB");
  }
  const int bins = table.dim_val[3];
  // The scored pair (i, j), if it is one.
  auto classify = [&](std::size_t i, std::size_t j) -> std::optional<Scored_Pair> {
    const int separation = Separation_Class(Find_K(*atoms[i], *atoms[j]));
    if (separation < 0) return std::nullopt;
    const float d = Find_Non_Squared_Distance(*atoms[i], *atoms[j]);
    if (!(d <= table.range)) return std::nullopt;
    int bin = 0;
    if (Find_Distance_Dependent_Class(d, bin, table.range, table.bin_size, bins) != 'Y') return std::nullopt;
    return Scored_Pair{static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(j),
                       static_cast<std::uint32_t>(separation * bins + bin)};
  };
  if (!(table.range > 0.0 && std::isfinite(table.range))) {
    for (std::size_t i = 0; i < atoms.size(); ++i)
      for (std::size_t j = i + 1; j < atoms.size(); ++j)
        if (const auto pair = classify(i, j)) pairs_.push_back(*pair);
  } else {
    // Only atoms in neighbouring cells can be within range; each atom's
    // partners are then put in list order, so that the pairs come in the
    // order of the walk over all pairs.
    std::vector<structure::Point> points;
    points.reserve(atoms.size());
    for (const Atom_Record* atom : atoms) points.push_back({atom->x, atom->y, atom->z});
    const structure::Cell_Grid grid(points, table.range);
    std::vector<Scored_Pair> partners;
    for (std::uint32_t i = 0; i < atoms.size(); ++i) {
      partners.clear();
      grid.For_Later_Candidates(i, [&](std::uint32_t j) {
        if (const auto pair = classify(i, j)) partners.push_back(*pair);
      });
      std::sort(partners.begin(), partners.end(), [](const Scored_Pair& x, const Scored_Pair& y) { return x.b < y.b; });
      pairs_.insert(pairs_.end(), partners.begin(), partners.end());
    }
  }
  row_a_.resize(atoms.size());
  row_b_.resize(atoms.size());
}

double Pair_Geometry::Energy(std::span<const char> atom_codes) {
  // Index of (type a, type b, separation, bin) = type_a*S + type_b*C + cell,
  // with C = classes*bins and S = types*C; the two type terms per atom are
  // formed once per evaluation.
  const int cells = table_.dim_val[2] * table_.dim_val[3];
  const int stride_a = table_.dim_val[1] * cells;
  for (std::size_t i = 0; i < atom_codes.size(); ++i) {
    const int type = Table_Type(atom_codes[i], is_cb_[i]);
    if (type < 0) common::Fail("residue code '%c' has no pair atom type\nprogram will exit !\n", atom_codes[i]);
    row_a_[i] = type * stride_a;
    row_b_[i] = type * cells;
  }
  const double* values = table_.values.data();
  double energy = 0.0;
  for (const Scored_Pair& p : pairs_) energy += values[row_a_[p.a] + row_b_[p.b] + static_cast<std::int32_t>(p.cell)];
  return energy;
}

void Pair_Geometry::Energies(std::span<const char> codes, std::size_t count, std::span<double> energies) const {
  const std::size_t atoms = is_cb_.size();
  std::vector<std::uint8_t> types(atoms * count);
  for (std::size_t i = 0; i < atoms; ++i) {
    for (std::size_t s = 0; s < count; ++s) {
      const char code = codes[i * count + s];
      const int type = Table_Type(code, is_cb_[i]);
      if (type < 0) common::Fail("residue code '%c' has no pair atom type\nprogram will exit !\n", code);
      types[i * count + s] = static_cast<std::uint8_t>(type);
    }
  }
  const std::size_t cells = static_cast<std::size_t>(table_.dim_val[2]) * static_cast<std::size_t>(table_.dim_val[3]);
  const std::size_t stride_a = static_cast<std::size_t>(table_.dim_val[1]) * cells;
  std::fill(energies.begin(), energies.end(), 0.0);
  double* const sums = energies.data();
  for (const Scored_Pair& p : pairs_) {
    const double* const cell = table_.values.data() + p.cell;
    const std::uint8_t* const type_a = types.data() + p.a * count;
    const std::uint8_t* const type_b = types.data() + p.b * count;
    for (std::size_t s = 0; s < count; ++s) sums[s] += cell[type_a[s] * stride_a + type_b[s] * cells];
  }
}

}  // namespace energy::pair
