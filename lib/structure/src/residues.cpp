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

// The smallest table size at which the twenty keys fall in distinct slots, so
// that a name is looked up with one division and one comparison.
constexpr std::uint32_t Find_Slots() {
  for (std::uint32_t slots = kNumResidueTypes;; ++slots) {
    std::array<bool, 1024> taken{};
    bool distinct = true;
    for (const std::uint32_t key : kKeys) {
      distinct = distinct && !taken[key % slots];
      taken[key % slots] = true;
    }
    if (distinct) return slots;
  }
}
constexpr std::uint32_t kSlots = Find_Slots();
static_assert(kSlots <= 1024);

struct Slot {
  std::uint32_t key = 0;  // no name has the key 0
  int index = kNoType;
};

constexpr std::array<Slot, kSlots> Make_Slots() {
  std::array<Slot, kSlots> slots{};
  for (int i = 0; i < kNumResidueTypes; ++i) {
    const std::uint32_t key = kKeys[static_cast<std::size_t>(i)];
    slots[key % kSlots] = {key, i};
  }
  return slots;
}
constexpr std::array<Slot, kSlots> kSlotTable = Make_Slots();

}  // namespace

int Residue_Index(std::string_view three_letter) {
  if (three_letter.size() != 3) return kNoType;
  const std::uint32_t key = Key(three_letter);
  const Slot& slot = kSlotTable[key % kSlots];
  return slot.key == key ? slot.index : kNoType;
}

char Find_AA_Type(const Atom_Record& atom) {
  const int index = Residue_Index(atom.aa_name);
  return index == kNoType ? 'X' : aa_1_letter[index];
}

int Get_AA_Type(const Atom_Record& atom) { return Residue_Index(atom.aa_name); }

}  // namespace structure
