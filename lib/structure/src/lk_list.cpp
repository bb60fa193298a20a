#include "structure/lk_list.hpp"

#include <algorithm>
#include <utility>

#include "common/fatal_error.hpp"

namespace structure {

namespace {

// Blocks grow with the list, up to a size whose allocation costs nothing per
// node and whose unused tail is small beside a large chain.
constexpr std::size_t kFirstBlock = 64;
constexpr std::size_t kLargestGrowth = 4096;

}  // namespace

Atom_List::Atom_List(Atom_List&& other) noexcept
    : first(std::exchange(other.first, nullptr)),
      blocks_(std::move(other.blocks_)),
      allocated_(std::exchange(other.allocated_, 0)),
      free_nodes_(std::exchange(other.free_nodes_, nullptr)) {
  other.blocks_.clear();
}

Atom_List& Atom_List::operator=(Atom_List&& other) noexcept {
  if (this != &other) {
    Atom_List moved(std::move(other));
    std::swap(first, moved.first);
    std::swap(blocks_, moved.blocks_);
    std::swap(allocated_, moved.allocated_);
    std::swap(free_nodes_, moved.free_nodes_);
  }
  return *this;
}

void Atom_List::Reserve(std::size_t count) {
  if (!blocks_.empty() && blocks_.back().capacity() - blocks_.back().size() >= count) return;
  if (count == 0) return;
  blocks_.emplace_back().reserve(count);
  allocated_ += count;
}

// A node from the blocks, in whatever state it was left.
Atom_Record* Atom_List::Take_Node() {
  if (free_nodes_) return std::exchange(free_nodes_, free_nodes_->next);
  if (blocks_.empty() || blocks_.back().size() == blocks_.back().capacity())
    Reserve(std::clamp(allocated_, kFirstBlock, kLargestGrowth));
  return &blocks_.back().emplace_back();
}

Atom_Record* Atom_List::New_Atom() {
  const bool reused = free_nodes_ != nullptr;
  Atom_Record* atom = Take_Node();
  if (reused) *atom = Atom_Record{};
  return atom;
}

void Atom_List::Free_Atom(Atom_Record* atom) {
  atom->next = free_nodes_;
  free_nodes_ = atom;
}

Atom_List Atom_List::Copy() const {
  return Copy_If([](const Atom_Record&) { return true; });
}

Atom_Record* Append_Atom(Atom_List& list, Atom_Record* tail, Atom_Record* atom) {
  atom->prev = tail;
  atom->next = nullptr;
  if (tail) {
    tail->next = atom;
  } else {
    list.first = atom;
  }
  return atom;
}

void Insert_Atom_After(Atom_Record* anchor, Atom_Record* atom) {
  atom->prev = anchor;
  atom->next = anchor->next;
  if (anchor->next) anchor->next->prev = atom;
  anchor->next = atom;
}

Atom_Record* Remove_Atom(Atom_List& list, Atom_Record* atom, char& flag) {
  if (!atom) Print_Error("Linked-list is empty !, cannot remove element", "Remove_Atom (lk_list)");
  Atom_Record* const before = atom->prev;
  Atom_Record* const after = atom->next;
  Atom_Record* resume = nullptr;
  flag = 'N';
  if (!before && !after) {
    list.first = nullptr;
  } else if (before && after) {
    before->next = after;
    after->prev = before;
    resume = after;
  } else if (before) {
    before->next = nullptr;
    resume = before;
    flag = 'Y';
  } else {
    after->prev = nullptr;
    list.first = after;
    resume = after;
  }
  list.Free_Atom(atom);
  return resume;
}

void Change_Connection(Atom_List& list, Atom_Record* atom) {
  if (atom->prev) {
    atom->prev->next = atom->next;
  } else {
    list.first = atom->next;
  }
  if (atom->next) atom->next->prev = atom->prev;
}

void Renumerate_Protein(Atom_Record* first) {
  if (!first) return;
  int previous = first->aa_number;
  int residue = 1;
  int atom_count = 0;
  for (Atom_Record* atom = first; atom; atom = atom->next) {
    if (atom->aa_number != previous) {
      ++residue;
      previous = atom->aa_number;
    }
    atom->aa_number = residue;
    atom->atom_number = ++atom_count;
  }
}

void Sequentially_Enumerate_Atoms_and_AAs(Atom_Record* first) { Renumerate_Protein(first); }

int Count_AAs(const Atom_Record* first) {
  int previous = kNoType;
  int count = 0;
  for (const Atom_Record* atom = first; atom; atom = atom->next) {
    if (atom->aa_number != previous) ++count;
    previous = atom->aa_number;
  }
  return count;
}

Atom_Record* Set_Position_AA_Number(Atom_Record* first, int aa_number) {
  for (Atom_Record* atom = first; atom; atom = atom->next)
    if (atom->aa_number == aa_number) return atom;
  return nullptr;
}

Atom_Record* Find_Atom_From(Atom_Record* start, std::string_view atom_name) {
  for (Atom_Record* atom = start; atom; atom = atom->next)
    if (atom->atom_name == atom_name) return atom;
  return nullptr;
}

Atom_Record* Set_Position_Atom(Atom_Record* first, int aa_number, std::string_view atom_name) {
  return Find_Atom_From(Set_Position_AA_Number(first, aa_number), atom_name);
}

void Print_Error(std::string_view message, std::string_view routine) {
  const std::string text(message);
  const std::string from(routine);
  // The report stands apart from what the program printed before it.
  constexpr common::Ending kReport{.after = "\n\n", .lead = "\n"};
  common::Fail(kReport, "__Error: %s\n(reported from %s)", text.c_str(), from.c_str());
}

}  // namespace structure
