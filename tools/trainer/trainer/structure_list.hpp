// The structure list every training subcommand reads: one structure path per
// line, optionally followed by a tab and a chain identifier. Relative paths
// resolve against the list file's folder (or a base folder given instead).
// Blank lines and lines starting with '#' are skipped.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "structure/lk_list.hpp"

namespace trainer {

struct List_Entry {
  std::string path;           // as written in the list: the name used in every output
  std::string file;           // resolved path, for reading
  std::optional<char> chain;  // nothing: the chain of the first ATOM record
  std::size_t line = 0;       // line number in the list, for messages
};

// Reads and checks a list. A line with more than one tab, an empty path or a
// chain of more than one character, a list that cannot be read and a list
// without any entry all throw Fatal_Error naming the list and line.
// `base`: folder that relative paths resolve against instead of the list's.
std::vector<List_Entry> Read_Structure_List(const std::string& list_path,
                                            const std::optional<std::string>& base = std::nullopt);

// The chain column (22) of the first ATOM record of a PDB text; '_' for a
// blank one or when there is no ATOM record.
char First_Atom_Chain(const std::string& content);

// The entry's chain as the suite names it ('_' for blank), reading the file
// when the list gave none.
char Entry_Chain(const List_Entry& entry);

// The first path component ("enzymes" for "enzymes/1abc.pdb"; empty when the
// path has none): the stratum that the held-out split balances.
std::string Entry_Category(const List_Entry& entry);

// Reads the entry's chain with the suite's reader, keeping nothing on disk.
// An unreadable structure or an empty chain throws Fatal_Error naming the
// list line.
structure::Atom_List Read_Entry_Chain(const List_Entry& entry, char chain);

}  // namespace trainer
