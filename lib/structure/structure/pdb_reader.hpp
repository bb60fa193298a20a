// Reading one chain of a PDB file into the atom list.
//
// Two passes. The pre-filter copies the ATOM lines of the wanted chain, up to
// the chain's first TER, ENDMDL or END, into "pdbfile.tmp" (followed by
// "END"); the parser then reads those lines by fixed columns:
//
//   columns  field
//   1-6      record name: "ATOM", or blank, makes an atom line
//   7-11     atom serial number
//   14-16    atom name (column 13 is not part of it)
//   17       alternate-location indicator
//   18-20    residue name
//   21-22    chain identifier (its first character selects the chain)
//   23-26    residue sequence number
//   27       insertion code
//   31-38, 39-46, 47-54   x, y, z in angstrom
//   55-60    occupancy, 61-66 temperature factor (0 when missing)
//
// Afterwards residues outside the twenty standard ones are dropped, one
// position of every alternate-location atom is kept, and residues and atoms
// are renumbered from 1; a change of residue number or of insertion code
// starts a new residue.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "structure/lk_list.hpp"

namespace structure {

// The per-program atom type rule that the reader stores in every atom.
using Atom_Type_Function = int (*)(const Atom_Record&);

// Where the reader's notes go. Programs use standard output, the open file
// "log" and "pdbfile.tmp" in the working directory; a driver may point them
// elsewhere, or leave tmp_path empty to keep the selected lines in memory only.
// When tmp_path cannot be created the programs note it on `out` and parse
// every line of the input instead of the copy; a driver that asked for the
// copy may prefer to fail (tmp_required).
struct Reader_Io {
  std::FILE* out = stdout;
  std::FILE* log = nullptr;
  std::string tmp_path = "pdbfile.tmp";
  bool tmp_required = false;
};

// What the pre-filter found, for messages about an empty selection.
struct Read_Summary {
  std::size_t atom_lines = 0;  // atom lines of the wanted chain that were parsed
  std::string chains_seen;     // chain characters of all ATOM lines, in first-seen order
};

// One line of the input, with its 1-based number in the file.
struct Pdb_Line {
  std::size_t number = 0;
  std::string_view text;
};

// The wanted chain character: '_' and the blank both mean a blank chain column.
char Wanted_Chain_Column(char chain);

// Which chain, and of which model, to read. Model 0 reads from the start of
// the file, so the first model; N reads the model whose MODEL record has N.
struct Chain_Request {
  char chain = '_';
  int model = 0;
};

// Selects the lines of the wanted chain from `content` as the pre-filter does.
std::vector<Pdb_Line> Select_Chain_Lines(std::string_view content, char chain, Read_Summary* summary = nullptr,
                                         int model = 0);

// The numbers of the MODEL records, in file order; empty without any.
std::vector<int> Model_Numbers(std::string_view content);

// The chains of the ATOM records of a model ('_' for a blank chain column),
// in order of first appearance.
std::string Model_Chains(std::string_view content, int model = 0);

// Reads one chain into `list`. 'Y' when the structure was read (the list may
// be empty: see Require_Atoms), 'N' when no file could be opened ("Can not
// open %s\n" in the log). Compressed and mmCIF files are read as
// Load_Structure_Text gives them; a directory is refused. Throws Fatal_Error for an atom line whose
// coordinates or residue number cannot be read, naming file and line.
char Read_PDB_File_1(const std::string& file_name, char chain, Atom_List& list, Atom_Type_Function type_function,
                     const Reader_Io& io = {}, Read_Summary* summary = nullptr);

// Reads one chain of a structure held in memory as PDB text (see
// structure_text.hpp for the other formats), as Read_PDB_File_1 reads a file;
// `name` is used in messages. A temporary file that cannot be created throws
// "cannot create the file '%s'" when io.tmp_required.
void Read_PDB_Text(const std::string& name, const std::string& content, const Chain_Request& request, Atom_List& list,
                   Atom_Type_Function type_function, const Reader_Io& io = {}, Read_Summary* summary = nullptr);

// "of chain 'A'", or "with a blank chain identifier ('_')" for '_' and blank.
std::string Chain_Label(char chain);

// Refuses an empty list after reading: names the file and the chain, and says
// whether the chain was absent or held no standard residue.
void Require_Atoms(const Atom_List& list, const Read_Summary& summary, const std::string& file_name, char chain);

}  // namespace structure
