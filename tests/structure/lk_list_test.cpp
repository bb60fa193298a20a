#include "structure/lk_list.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "common/fatal_error.hpp"
#include "structure/residues.hpp"

namespace structure {
namespace {

// A list of atoms with the given residue numbers, named A0, A1, ...
Atom_List Make_List(const std::vector<int>& residue_numbers) {
  Atom_List list;
  Atom_Record* tail = nullptr;
  for (std::size_t i = 0; i < residue_numbers.size(); ++i) {
    Atom_Record* atom = list.New_Atom();
    atom->atom_name = "A" + std::to_string(i);
    atom->aa_number = residue_numbers[i];
    tail = Append_Atom(list, tail, atom);
  }
  return list;
}

std::vector<std::string> Names(const Atom_List& list) {
  std::vector<std::string> names;
  const Atom_Record* previous = nullptr;
  for (const Atom_Record* atom = list.first; atom; atom = atom->next) {
    EXPECT_EQ(atom->prev, previous) << "broken back link at " << atom->atom_name;
    names.push_back(atom->atom_name);
    previous = atom;
  }
  return names;
}

std::vector<int> Residue_Numbers(const Atom_List& list) {
  std::vector<int> numbers;
  for (const Atom_Record* atom = list.first; atom; atom = atom->next) numbers.push_back(atom->aa_number);
  return numbers;
}

TEST(ResidueTables, ClassifiesNamesExactly) {
  Atom_Record atom;
  const std::vector<std::tuple<const char*, char, int>> cases = {
      {"ALA", 'A', 0},    {"VAL", 'V', 19},   {"GLY", 'G', 7},    {"HOH", 'X', 9999},
      {"MSE", 'X', 9999}, {"UNK", 'X', 9999}, {"ala", 'X', 9999}, {"ALAX", 'X', 9999},
      {"AL", 'X', 9999},  {"", 'X', 9999},    {"ALB", 'X', 9999}, {"TYS", 'X', 9999}};
  for (const auto& [name, code, index] : cases) {
    atom.aa_name = name;
    EXPECT_EQ(Find_AA_Type(atom), code) << name;
    EXPECT_EQ(Get_AA_Type(atom), index) << name;
  }
  for (int i = 0; i < kNumResidueTypes; ++i) EXPECT_EQ(Residue_Index(aa_3_letter[static_cast<std::size_t>(i)]), i);
}

TEST(RemoveAtom, OnlyNodeEmptiesTheList) {
  Atom_List list = Make_List({1});
  char flag = '?';
  EXPECT_EQ(Remove_Atom(list, list.first, flag), nullptr);
  EXPECT_EQ(flag, 'N');
  EXPECT_TRUE(list.empty());
}

TEST(RemoveAtom, HeadMovesTheCallersHead) {
  Atom_List list = Make_List({1, 2, 3});
  char flag = '?';
  Atom_Record* resume = Remove_Atom(list, list.first, flag);
  EXPECT_EQ(flag, 'N');
  EXPECT_EQ(resume, list.first);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"A1", "A2"}));
}

TEST(RemoveAtom, TailReturnsPredecessorAsVisited) {
  Atom_List list = Make_List({1, 2, 3});
  Atom_Record* tail = list.first->next->next;
  char flag = '?';
  Atom_Record* resume = Remove_Atom(list, tail, flag);
  EXPECT_EQ(flag, 'Y');
  EXPECT_EQ(resume->atom_name, "A1");
  EXPECT_EQ(resume->next, nullptr);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"A0", "A1"}));
}

TEST(RemoveAtom, MiddleReturnsSuccessor) {
  Atom_List list = Make_List({1, 2, 3});
  char flag = '?';
  Atom_Record* resume = Remove_Atom(list, list.first->next, flag);
  EXPECT_EQ(flag, 'N');
  EXPECT_EQ(resume->atom_name, "A2");
  EXPECT_EQ(Names(list), (std::vector<std::string>{"A0", "A2"}));
}

TEST(RemoveAtom, NullIsFatal) {
  Atom_List list;
  char flag;
  try {
    Remove_Atom(list, nullptr, flag);
    FAIL() << "no error";
  } catch (const common::Fatal_Error& error) {
    EXPECT_STREQ(error.what(),
                 "\n__Error: Linked-list is empty !, cannot remove element\n(reported from Remove_Atom (lk_list))\n\n");
  }
}

TEST(ChangeConnection, UnlinksMiddleAndHead) {
  Atom_List list = Make_List({1, 2, 3});
  Change_Connection(list, list.first->next);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"A0", "A2"}));
  Change_Connection(list, list.first);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"A2"}));
}

TEST(Renumbering, RunsOfEqualNumbersAreResidues) {
  struct Case {
    std::vector<int> read;
    std::vector<int> expected;
  };
  const std::vector<Case> cases = {
      {{10, 10, 11, 11, 11, 15}, {1, 1, 2, 2, 2, 3}},
      {{5, 6, 5}, {1, 2, 3}},  // a number that comes back starts a new residue
      {{-3, -3, 0, 9999}, {1, 1, 2, 3}},
      {{7}, {1}},
  };
  for (const Case& c : cases) {
    Atom_List list = Make_List(c.read);
    Renumerate_Protein(list.first);
    EXPECT_EQ(Residue_Numbers(list), c.expected);
    int serial = 0;
    for (const Atom_Record* atom = list.first; atom; atom = atom->next) EXPECT_EQ(atom->atom_number, ++serial);
    EXPECT_EQ(Count_AAs(list.first), c.expected.back());
  }
  Renumerate_Protein(nullptr);  // an empty list is left alone
}

TEST(CountAAs, CountsChangesFrom9999) {
  EXPECT_EQ(Count_AAs(nullptr), 0);
  EXPECT_EQ(Count_AAs(Make_List({4, 4, 5, 4}).first), 3);
  // A first residue numbered 9999 is not seen as a change.
  EXPECT_EQ(Count_AAs(Make_List({9999, 9999, 3}).first), 1);
}

TEST(CopyList, IndependentCopyOfTheLinkedNodes) {
  Atom_List list = Make_List({1, 1, 2, 3});
  Change_Connection(list, list.first->next);  // unlinked nodes are not copied
  Atom_List copy = list.Copy();
  EXPECT_EQ(Names(copy), (std::vector<std::string>{"A0", "A2", "A3"}));
  copy.first->atom_name = "changed";
  char flag;
  Remove_Atom(copy, copy.first->next, flag);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"A0", "A2", "A3"}));
  EXPECT_EQ(Names(copy), (std::vector<std::string>{"changed", "A3"}));
}

TEST(SetPositionAtom, SearchRunsPastTheResidue) {
  Atom_List list = Make_List({1, 1, 2, 2, 3});
  // Residue 1 holds A0, A1; residue 2 holds A2, A3.
  EXPECT_EQ(Set_Position_AA_Number(list.first, 2)->atom_name, "A2");
  EXPECT_EQ(Set_Position_AA_Number(list.first, 4), nullptr);
  EXPECT_EQ(Set_Position_Atom(list.first, 1, "A3")->atom_name, "A3");  // found in residue 2
  EXPECT_EQ(Set_Position_Atom(list.first, 2, "A0"), nullptr);          // never searches backwards
  EXPECT_EQ(Set_Position_Atom(list.first, 9, "A4"), nullptr);
}

TEST(NodeStore, NodesStayPutAndFreedOnesComeBackBlank) {
  Atom_List list = Make_List({1, 2, 3});
  Atom_Record* const head = list.first;
  char flag = '?';
  Remove_Atom(list, head->next, flag);
  Atom_Record* const reused = list.New_Atom();
  EXPECT_EQ(reused->atom_name, "");  // the freed node's fields are gone
  EXPECT_EQ(reused->aa_number, 0);
  for (int i = 0; i < 20000; ++i) list.New_Atom();  // many more blocks
  Atom_List moved = std::move(list);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(moved.first, head);
  EXPECT_EQ(Names(moved), (std::vector<std::string>{"A0", "A2"}));
}

}  // namespace
}  // namespace structure
