// The atom list: one chain of a structure as a doubly linked list of
// Atom_Record nodes in file order, and the operations every structure tool
// uses to walk and edit it.
//
// The list owns its nodes (Atom_List); links between nodes are plain pointers,
// so walking code reads `for (Atom_Record* a = list.first; a; a = a->next)`.
// Removing a node frees it; unlinking one (Change_Connection) keeps it alive
// until the list goes, as nothing may read a freed node's links.
//
// Nodes are carved from blocks the list allocates a few at a time (a chain of
// thousands of atoms is a handful of allocations); a block never moves, so a
// node keeps its address for the list's life, and a freed node is reused by
// the next New_Atom.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "structure/residues.hpp"

namespace structure {

struct Atom_Record {
  int atom_number = 0;        // renumbered 1, 2, 3, ... in list order
  int atom_number_read = 0;   // as read from the file
  std::string atom_name;      // blank-free: "N", "CA", "CB", "OXT", ...
  std::string aa_name;        // three-letter residue name
  char aa_code = 'X';         // one-letter code from aa_1_letter
  char alt_loc = 'Y';         // 'N' while an alternate location is unresolved
  std::string chain;          // empty when the chain column is blank
  int aa_number = 0;          // renumbered 1, 2, 3, ... by residue
  int aa_number_read = 0;     // as read from the file
  char insertion_code = ' ';  // column 27, as read; blank when none
  float x = 0.0F, y = 0.0F, z = 0.0F;
  float occupancy = 0.0F;
  float temp_factor = 0.0F;
  int atom_type = kNoType;
  int neighbours = 0;
  Atom_Record* prev = nullptr;
  Atom_Record* next = nullptr;
};

class Atom_List {
 public:
  Atom_List() = default;
  Atom_List(Atom_List&& other) noexcept;
  Atom_List& operator=(Atom_List&& other) noexcept;
  Atom_List(const Atom_List&) = delete;
  Atom_List& operator=(const Atom_List&) = delete;

  Atom_Record* first = nullptr;  // head of the list; null when empty

  // A new node owned by this list, not yet linked, with every field at its default.
  Atom_Record* New_Atom();
  // Frees a node that is no longer linked.
  void Free_Atom(Atom_Record* atom);
  // Room for `count` more nodes in one block, for a caller that knows how
  // many it will ask for.
  void Reserve(std::size_t count);

  bool empty() const { return first == nullptr; }

  // A list of copies of the linked nodes, in the same order.
  Atom_List Copy() const;

  // A list of copies of the linked nodes for which `keep` is true, in the same order.
  template <typename Predicate>
  Atom_List Copy_If(Predicate keep) const;

 private:
  Atom_Record* Take_Node();

  // Nodes are made as they are handed out, never moved: a block never grows
  // past the room it was given.
  std::vector<std::vector<Atom_Record>> blocks_;
  std::size_t allocated_ = 0;          // room in all blocks
  Atom_Record* free_nodes_ = nullptr;  // freed nodes, chained through `next`
};

// Links `atom` at the end of the list whose last node is `tail` (null for an
// empty list) and returns it, the new tail.
Atom_Record* Append_Atom(Atom_List& list, Atom_Record* tail, Atom_Record* atom);

template <typename Predicate>
Atom_List Atom_List::Copy_If(Predicate keep) const {
  std::size_t count = 0;
  for (const Atom_Record* atom = first; atom; atom = atom->next) count += keep(*atom) ? 1 : 0;
  Atom_List copy;
  copy.Reserve(count);
  Atom_Record* tail = nullptr;
  for (const Atom_Record* atom = first; atom; atom = atom->next) {
    if (!keep(*atom)) continue;
    Atom_Record* node = copy.Take_Node();
    *node = *atom;
    tail = Append_Atom(copy, tail, node);
  }
  return copy;
}

// Links `atom` directly after `anchor`.
void Insert_Atom_After(Atom_Record* anchor, Atom_Record* atom);

// Removes and frees `atom` and returns the node at which a walking caller goes
// on. `flag` is 'N' when that node has not been visited yet (examine it next),
// 'Y' when it was already visited (it is the new tail: go on with its
// successor). Updates list.first when the head goes.
Atom_Record* Remove_Atom(Atom_List& list, Atom_Record* atom, char& flag);

// Unlinks `atom` without freeing it: its neighbours are joined, and when it was
// the head, the head moves on to its successor. Its own links stay as they were.
void Change_Connection(Atom_List& list, Atom_Record* atom);

// Renumbers residues 1..n (a residue being a maximal run of consecutive atoms
// sharing one residue number) and atoms 1..count. The two names are the same
// operation.
void Renumerate_Protein(Atom_Record* first);
void Sequentially_Enumerate_Atoms_and_AAs(Atom_Record* first);

// Number of changes of residue number along the list, starting from 9999.
int Count_AAs(const Atom_Record* first);

// First node with this residue number, or null.
Atom_Record* Set_Position_AA_Number(Atom_Record* first, int aa_number);

// First node named `atom_name` at or after the first node of residue
// `aa_number`, searching on past the end of that residue; null when none.
Atom_Record* Set_Position_Atom(Atom_Record* first, int aa_number, std::string_view atom_name);

// Same search as Set_Position_Atom, starting from a known node.
Atom_Record* Find_Atom_From(Atom_Record* start, std::string_view atom_name);

// Removes (and frees) every atom for which `keep` is false, in one walk;
// `keep` may update the atoms it keeps.
template <typename Predicate>
void Remove_Atoms_Unless(Atom_List& list, Predicate keep) {
  Atom_Record* atom = list.first;
  while (atom) {
    if (keep(*atom)) {
      atom = atom->next;
      continue;
    }
    char flag = 'N';
    Atom_Record* resume = Remove_Atom(list, atom, flag);
    atom = (flag == 'Y' && resume) ? resume->next : resume;
  }
}

// Reports a condition the program cannot continue from: throws the text
// "\n__Error: <message>\n(reported from <routine>)\n\n" as a Fatal_Error.
[[noreturn]] void Print_Error(std::string_view message, std::string_view routine);

}  // namespace structure
