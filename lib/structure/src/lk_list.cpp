#include "structure/lk_list.hpp"

#include "common/fatal_error.hpp"

namespace structure {

Atom_Record* Atom_List::New_Atom() {
  store_.push_back(std::make_unique<Atom_Record>());
  Atom_Record* atom = store_.back().get();
  atom->slot_ = store_.size() - 1;
  return atom;
}

void Atom_List::Free_Atom(Atom_Record* atom) { store_[atom->slot_].reset(); }

Atom_List Atom_List::Copy() const {
  Atom_List copy;
  Atom_Record* tail = nullptr;
  for (const Atom_Record* atom = first; atom; atom = atom->next) {
    Atom_Record* node = copy.New_Atom();
    const std::size_t slot = node->slot_;
    *node = *atom;
    node->slot_ = slot;
    tail = Append_Atom(copy, tail, node);
  }
  return copy;
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
