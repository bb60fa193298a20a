#include "structure/pdb_reader.hpp"

#include <cmath>
#include <new>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/scan.hpp"

namespace structure {
namespace {

// Columns first..last (1-based, inclusive) of a line, clipped to its length.
std::string_view Columns(std::string_view line, std::size_t first, std::size_t last) {
  if (line.size() < first) return {};
  return line.substr(first - 1, last - first + 1);
}

char Column(std::string_view line, std::size_t column) { return line.size() >= column ? line[column - 1] : ' '; }

std::string_view Without_Carriage_Return(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

bool Is_Blank_Line(std::string_view line) { return common::First_Word(line).empty(); }

std::vector<Pdb_Line> Split_Lines(std::string_view content) {
  std::vector<Pdb_Line> lines;
  std::size_t number = 0;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string_view::npos) end = content.size();
    lines.push_back({++number, content.substr(start, end - start)});
    start = end + 1;
  }
  return lines;
}

enum class Prefilter_Result { Written, Input_Unreadable, Tmp_Not_Created };

Prefilter_Result Prefilter(const std::string& file_name, char chain, const Reader_Io& io, std::string& content,
                           std::vector<Pdb_Line>& selected, Read_Summary* summary) {
  auto data = common::Read_Whole_File(file_name);
  if (!data) {
    std::fprintf(io.out, "Can not open %s\n", file_name.c_str());
    return Prefilter_Result::Input_Unreadable;
  }
  content = std::move(*data);
  common::File tmp;
  if (!io.tmp_path.empty()) {
    tmp = common::File(std::fopen(io.tmp_path.c_str(), "w"));
    if (!tmp) {
      std::fprintf(io.out, "Can not open %s\n", io.tmp_path.c_str());
      return Prefilter_Result::Tmp_Not_Created;
    }
  }
  selected = Select_Chain_Lines(content, chain, summary);
  if (tmp) {
    for (const Pdb_Line& line : selected) {
      std::fwrite(line.text.data(), 1, line.text.size(), tmp.get());
      std::fputc('\n', tmp.get());
    }
    std::fputs("END\n", tmp.get());
  }
  return Prefilter_Result::Written;
}

// The parser's own test: record word "ATOM" or empty, and the first character
// of the chain word equal to the chain (none for the blank chain).
bool Is_Atom_Line(std::string_view line, char wanted_chain_word) {
  if (Is_Blank_Line(line)) return false;
  const std::string_view record = common::First_Word(Columns(line, 1, 6));
  if (record != "ATOM" && !record.empty()) return false;
  const std::string_view chain = common::First_Word(Columns(line, 21, 22));
  const char first_char = chain.empty() ? '\0' : chain.front();
  return first_char == wanted_chain_word;
}

[[noreturn]] void Unreadable_Field(const std::string& file_name, std::size_t line_number, const char* field,
                                   const char* columns) {
  common::Fail("cannot read the %s (columns %s) of the atom on line %zu of '%s'\nprogram will exit !\n", field, columns,
               line_number, file_name.c_str());
}

// "nan", "inf" and values beyond single precision scan as numbers; they would
// flow into every energy and score, so they are refused like unreadable text.
float Finite(float value, const std::string& file_name, std::size_t line_number, const char* field,
             const char* columns) {
  if (!std::isfinite(value))
    common::Fail("the %s (columns %s) of the atom on line %zu of '%s' is not a finite number\nprogram will exit !\n",
                 field, columns, line_number, file_name.c_str());
  return value;
}

float Required_Float(std::string_view line, std::size_t first, std::size_t last, const std::string& file_name,
                     std::size_t line_number, const char* field, const char* columns) {
  const auto value = common::Scan_Float(Columns(line, first, last));
  if (!value) Unreadable_Field(file_name, line_number, field, columns);
  return Finite(*value, file_name, line_number, field, columns);
}

// A missing occupancy or temperature factor reads as 0, a non-finite one is refused.
float Optional_Float(std::string_view line, std::size_t first, std::size_t last, const std::string& file_name,
                     std::size_t line_number, const char* field, const char* columns) {
  return Finite(common::Scan_Float(Columns(line, first, last)).value_or(0.0F), file_name, line_number, field, columns);
}

void Fill_Atom(Atom_Record& atom, std::string_view line, std::size_t line_number, const std::string& file_name) {
  const int serial = common::Scan_Int(Columns(line, 7, 11)).value_or(0);
  atom.atom_number = atom.atom_number_read = serial;
  atom.atom_name = common::First_Word(Columns(line, 14, 16));
  atom.alt_loc = common::First_Word(Columns(line, 17, 17)).empty() ? 'Y' : 'N';
  atom.aa_name = common::First_Word(Columns(line, 18, 20));
  atom.chain = common::First_Word(Columns(line, 21, 22));
  const auto residue = common::Scan_Int(Columns(line, 23, 26));
  if (!residue) Unreadable_Field(file_name, line_number, "residue number", "23-26");
  atom.aa_number = atom.aa_number_read = *residue;
  atom.insertion_code = Column(line, 27);
  atom.x = Required_Float(line, 31, 38, file_name, line_number, "x coordinate", "31-38");
  atom.y = Required_Float(line, 39, 46, file_name, line_number, "y coordinate", "39-46");
  atom.z = Required_Float(line, 47, 54, file_name, line_number, "z coordinate", "47-54");
  atom.occupancy = Optional_Float(line, 55, 60, file_name, line_number, "occupancy", "55-60");
  atom.temp_factor = Optional_Float(line, 61, 66, file_name, line_number, "temperature factor", "61-66");
}

void Build_List(const std::vector<Pdb_Line>& lines, char wanted_chain_word, Atom_List& list,
                const std::string& file_name, Read_Summary* summary) {
  Atom_Record* tail = nullptr;
  try {
    for (const Pdb_Line& raw : lines) {
      const std::string_view line = Without_Carriage_Return(raw.text);
      if (!Is_Atom_Line(line, wanted_chain_word)) continue;
      Atom_Record* atom = list.New_Atom();
      Fill_Atom(*atom, line, raw.number, file_name);
      tail = Append_Atom(list, tail, atom);
      if (summary) ++summary->atom_lines;
    }
  } catch (const std::bad_alloc&) {
    Print_Error("cannot allocate memory", "Read_PDB_File");
  }
}

// Drops every atom of a residue outside the twenty; stores the types of the rest.
void Check_Residues(Atom_List& list, Atom_Type_Function type_function) {
  Remove_Atoms_Unless(list, [type_function](Atom_Record& atom) {
    atom.aa_code = Find_AA_Type(atom);
    const int type = type_function(atom);
    if (atom.aa_code == 'X') return false;
    atom.atom_type = type;
    return true;
  });
}

// Keeps one position of each atom flagged with an alternate location: compared
// with the atom that follows it, the higher occupancy wins, then the lower
// temperature factor, then the first. A flagged last atom stays as it is.
void Resolve_Alternate_Locations(Atom_List& list) {
  Atom_Record* atom = list.first;
  while (atom) {
    if (atom->alt_loc != 'N' || !atom->next) {
      atom = atom->next;
      continue;
    }
    Atom_Record* const second = atom->next;
    bool first_wins;
    if (atom->occupancy > second->occupancy) {
      first_wins = true;
    } else if (second->occupancy > atom->occupancy) {
      first_wins = false;
    } else {
      first_wins = !(second->temp_factor < atom->temp_factor);
    }
    Atom_Record* const winner = first_wins ? atom : second;
    Change_Connection(list, first_wins ? second : atom);
    winner->alt_loc = 'Y';
    atom = winner->next;
  }
}

}  // namespace

char Wanted_Chain_Column(char chain) { return chain == '_' ? ' ' : chain; }

std::vector<Pdb_Line> Select_Chain_Lines(std::string_view content, char chain, Read_Summary* summary) {
  const char wanted = Wanted_Chain_Column(chain);
  std::vector<Pdb_Line> selected;
  for (const Pdb_Line& raw : Split_Lines(content)) {
    const std::string_view line = Without_Carriage_Return(raw.text);
    const std::string_view word = common::First_Word(line);
    if ((word == "TER" || word == "END") && !selected.empty()) break;
    if (word == "ATOM" && summary) {
      const char seen = Column(line, 22) == ' ' ? '_' : Column(line, 22);
      if (summary->chains_seen.find(seen) == std::string::npos) summary->chains_seen += seen;
    }
    if (Is_Blank_Line(line)) continue;
    if ((word == "ATOM" || line.front() == ' ') && Column(line, 22) == wanted) selected.push_back(raw);
  }
  return selected;
}

char Read_PDB_File_Write_Tmp(const std::string& file_name, char chain, const Reader_Io& io, std::string& content,
                             std::vector<Pdb_Line>& selected, Read_Summary* summary) {
  return Prefilter(file_name, chain, io, content, selected, summary) == Prefilter_Result::Written ? 'Y' : 'N';
}

char Read_PDB_File_1(const std::string& file_name, char chain, Atom_List& list, Atom_Type_Function type_function,
                     const Reader_Io& io, Read_Summary* summary) {
  std::string content;
  std::vector<Pdb_Line> lines;
  switch (Prefilter(file_name, chain, io, content, lines, summary)) {
    case Prefilter_Result::Written:
      break;
    case Prefilter_Result::Input_Unreadable:
      if (io.log) std::fprintf(io.log, "Can not open %s\n", file_name.c_str());
      return 'N';
    case Prefilter_Result::Tmp_Not_Created:
      // Without the copy, every atom line of the chain in the whole file is read.
      Select_Chain_Lines(content, chain, summary);
      lines = Split_Lines(content);
      break;
  }
  const char wanted_chain_word = (chain == '_' || chain == ' ') ? '\0' : chain;
  Build_List(lines, wanted_chain_word, list, file_name, summary);
  Check_Residues(list, type_function);
  Resolve_Alternate_Locations(list);
  Renumerate_Protein(list.first);
  return 'Y';
}

std::string Chain_Label(char chain) {
  if (chain == '_' || chain == ' ') return "with a blank chain identifier ('_')";
  return common::Format("of chain '%c'", chain);
}

void Require_Atoms(const Atom_List& list, const Read_Summary& summary, const std::string& file_name, char chain) {
  if (!list.empty()) return;
  const std::string which = Chain_Label(chain);
  if (summary.atom_lines == 0) {
    std::string seen;
    for (char c : summary.chains_seen) seen += common::Format("%s'%c'", seen.empty() ? "" : ", ", c);
    const std::string hint = seen.empty() ? std::string(" (the file has no ATOM record)")
                                          : common::Format(" (chains present: %s)", seen.c_str());
    common::Fail("no atom %s in '%s'%s. Program will exit.\n\n", which.c_str(), file_name.c_str(), hint.c_str());
  }
  common::Fail("no atom of a standard residue %s in '%s'. Program will exit.\n\n", which.c_str(), file_name.c_str());
}

}  // namespace structure
