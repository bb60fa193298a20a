#include "structure/residues.hpp"

#include <cstdint>

#include "structure/lk_list.hpp"

namespace structure {

namespace {

// A three-letter name as one integer, so that finding it is twenty integer
// comparisons rather than twenty string comparisons (once per atom read).
constexpr std::uint32_t Key(std::string_view name) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(name[0])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(name[1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(name[2])) << 16;
}

constexpr std::array<std::uint32_t, kNumResidueTypes> Make_Keys() {
  std::array<std::uint32_t, kNumResidueTypes> keys{};
  for (int i = 0; i < kNumResidueTypes; ++i)
    keys[static_cast<std::size_t>(i)] = Key(aa_3_letter[static_cast<std::size_t>(i)]);
  return keys;
}
constexpr std::array<std::uint32_t, kNumResidueTypes> kKeys = Make_Keys();

}  // namespace

int Residue_Index(std::string_view three_letter) {
  if (three_letter.size() != 3) return kNoType;
  const std::uint32_t key = Key(three_letter);
  for (int i = 0; i < kNumResidueTypes; ++i)
    if (kKeys[static_cast<std::size_t>(i)] == key) return i;
  return kNoType;
}

char Find_AA_Type(const Atom_Record& atom) {
  const int index = Residue_Index(atom.aa_name);
  return index == kNoType ? 'X' : aa_1_letter[index];
}

int Get_AA_Type(const Atom_Record& atom) { return Residue_Index(atom.aa_name); }

}  // namespace structure
