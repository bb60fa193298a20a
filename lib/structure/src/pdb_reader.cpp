#include "structure/pdb_reader.hpp"

#include <cmath>
#include <cstdint>
#include <new>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/format.hpp"
#include "common/scan.hpp"
#include "structure/structure_text.hpp"

namespace structure {
namespace {

// Columns first..last (1-based, inclusive) of a line, clipped to its length.
[[gnu::always_inline]] inline std::string_view Columns(std::string_view line, std::size_t first, std::size_t last) {
  if (line.size() < first) return {};
  return line.substr(first - 1, last - first + 1);
}

char Column(std::string_view line, std::size_t column) { return line.size() >= column ? line[column - 1] : ' '; }

std::string_view Without_Carriage_Return(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

bool Is_Space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool Is_Digit(char c) { return c >= '0' && c <= '9'; }

// common::First_Word, here where the compiler folds it into the column tests:
// the reader takes it of several fields of every line.
[[gnu::always_inline]] inline std::string_view Word(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size() && Is_Space(text[begin])) ++begin;
  std::size_t end = begin;
  while (end < text.size() && !Is_Space(text[end])) ++end;
  return text.substr(begin, end - begin);
}

// Word(line), with the usual atom line's answer found at once.
std::string_view Record_Word(std::string_view line) {
  if (line.size() > 4 && line.starts_with("ATOM") && line[4] == ' ') return line.substr(0, 4);
  return Word(line);
}

bool Is_Blank_Line(std::string_view line) { return Record_Word(line).empty(); }

// The lines of a text in turn, numbered from 1, without building a list of them.
class Line_Walk {
 public:
  explicit Line_Walk(std::string_view content) : content_(content) {}
  bool Next(Pdb_Line& line) {
    if (start_ >= content_.size()) return false;
    std::size_t end = content_.find('\n', start_);
    if (end == std::string_view::npos) end = content_.size();
    line = {++number_, content_.substr(start_, end - start_)};
    start_ = end + 1;
    return true;
  }

 private:
  std::string_view content_;
  std::size_t start_ = 0;
  std::size_t number_ = 0;
};

std::vector<Pdb_Line> Split_Lines(std::string_view content) {
  std::vector<Pdb_Line> lines;
  Line_Walk walk(content);
  for (Pdb_Line line; walk.Next(line);) lines.push_back(line);
  return lines;
}

// The number of a MODEL record (columns 11-14, read as "%d" after the word).
std::optional<int> Model_Number(std::string_view line) {
  return common::Scan_Int(line.substr(std::min<std::size_t>(line.size(), 5)));
}

enum class Prefilter_Result { Written, Tmp_Not_Created };

// Copies the selected lines of `content` into the temporary file.
Prefilter_Result Write_Selection(const std::string& content, const Chain_Request& request, const Reader_Io& io,
                                 std::vector<Pdb_Line>& selected, Read_Summary* summary) {
  common::File tmp;
  if (!io.tmp_path.empty()) {
    tmp = common::File(std::fopen(io.tmp_path.c_str(), "w"));
    if (!tmp) {
      std::fprintf(io.out, "Can not open %s\n", io.tmp_path.c_str());
      return Prefilter_Result::Tmp_Not_Created;
    }
  }
  selected = Select_Chain_Lines(content, request.chain, summary, request.model);
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
  const std::string_view record = Record_Word(Columns(line, 1, 6));
  if (record != "ATOM" && !record.empty()) return false;
  const std::string_view chain = Word(Columns(line, 21, 22));
  const char first_char = chain.empty() ? '\0' : chain.front();
  return first_char == wanted_chain_word;
}

[[noreturn]] void Unreadable_Field(const std::string& file_name, std::size_t line_number, const char* field,
                                   const char* columns) {
  common::Fail(common::kExitBang, "cannot read the %s (columns %s) of the atom on line %zu of '%s'", field, columns,
               line_number, file_name.c_str());
}

// "nan", "inf" and values beyond single precision scan as numbers; they would
// flow into every energy and score, so they are refused like unreadable text.
float Finite(float value, const std::string& file_name, std::size_t line_number, const char* field,
             const char* columns) {
  if (!std::isfinite(value))
    common::Fail(common::kExitBang, "the %s (columns %s) of the atom on line %zu of '%s' is not a finite number", field,
                 columns, line_number, file_name.c_str());
  return value;
}

// A field "[blanks][-]digits.digits" of at most seven digits, as coordinates
// are written, is one integer over one power of ten, both exact floats, so one
// division rounds it as strtof does; any other field goes to Scan_Float. The
// usual field, with `Decimals` digits after its point, is read without a loop
// over the digits after it.
template <std::size_t Decimals>
[[gnu::always_inline]] inline std::optional<float> Field_Float(std::string_view field) {
  static constexpr float kPowers[] = {1e0F, 1e1F, 1e2F, 1e3F, 1e4F, 1e5F, 1e6F, 1e7F};
  const char* p = field.data();
  const char* end = p + field.size();
  while (p < end && *p == ' ') ++p;
  const bool negative = p < end && *p == '-';
  if (negative) ++p;
  std::uint32_t number = 0;
  int digits = 0;
  for (; p < end && Is_Digit(*p); ++p, ++digits) number = number * 10 + static_cast<std::uint32_t>(*p - '0');
  int decimals = 0;
  if (p < end && *p == '.') {
    const char* const fraction = ++p;
    bool usual = static_cast<std::size_t>(end - p) == Decimals;
    for (std::size_t i = 0; usual && i < Decimals; ++i) usual = Is_Digit(p[i]);
    if (usual) {
      for (std::size_t i = 0; i < Decimals; ++i) number = number * 10 + static_cast<std::uint32_t>(p[i] - '0');
      p = end;
    }
    for (; p < end && Is_Digit(*p); ++p) number = number * 10 + static_cast<std::uint32_t>(*p - '0');
    decimals = static_cast<int>(p - fraction);
  }
  if (p != end || digits == 0 || decimals == 0 || digits + decimals > 7) return common::Scan_Float(field);
  const float magnitude = static_cast<float>(number) / kPowers[decimals];
  return negative ? -magnitude : magnitude;
}

// "[blanks][-]digits" filling the field, at most nine digits, as Scan_Int
// reads it; any other field goes to Scan_Int.
[[gnu::always_inline]] inline std::optional<int> Field_Int(std::string_view field) {
  const char* p = field.data();
  const char* const end = p + field.size();
  while (p < end && *p == ' ') ++p;
  const bool negative = p < end && *p == '-';
  if (negative) ++p;
  const char* const digits = p;
  int number = 0;
  for (; p < end && Is_Digit(*p) && p - digits < 9; ++p) number = number * 10 + (*p - '0');
  if (p != end || p == digits) return common::Scan_Int(field);
  return negative ? -number : number;
}

template <std::size_t Decimals>
[[gnu::always_inline]] inline float Required_Float(std::string_view line, std::size_t first, std::size_t last,
                                                   const std::string& file_name, std::size_t line_number,
                                                   const char* field, const char* columns) {
  const auto value = Field_Float<Decimals>(Columns(line, first, last));
  if (!value) Unreadable_Field(file_name, line_number, field, columns);
  return Finite(*value, file_name, line_number, field, columns);
}

// A missing occupancy or temperature factor reads as 0, a non-finite one is refused.
template <std::size_t Decimals>
[[gnu::always_inline]] inline float Optional_Float(std::string_view line, std::size_t first, std::size_t last,
                                                   const std::string& file_name, std::size_t line_number,
                                                   const char* field, const char* columns) {
  return Finite(Field_Float<Decimals>(Columns(line, first, last)).value_or(0.0F), file_name, line_number, field,
                columns);
}

void Fill_Atom(Atom_Record& atom, std::string_view line, std::size_t line_number, const std::string& file_name) {
  const int serial = Field_Int(Columns(line, 7, 11)).value_or(0);
  atom.atom_number = atom.atom_number_read = serial;
  atom.atom_name = Word(Columns(line, 14, 16));
  atom.alt_loc = Word(Columns(line, 17, 17)).empty() ? 'Y' : 'N';
  atom.aa_name = Word(Columns(line, 18, 20));
  atom.chain = Word(Columns(line, 21, 22));
  const auto residue = Field_Int(Columns(line, 23, 26));
  if (!residue) Unreadable_Field(file_name, line_number, "residue number", "23-26");
  atom.aa_number = atom.aa_number_read = *residue;
  atom.insertion_code = Column(line, 27);
  atom.x = Required_Float<3>(line, 31, 38, file_name, line_number, "x coordinate", "31-38");
  atom.y = Required_Float<3>(line, 39, 46, file_name, line_number, "y coordinate", "39-46");
  atom.z = Required_Float<3>(line, 47, 54, file_name, line_number, "z coordinate", "47-54");
  atom.occupancy = Optional_Float<2>(line, 55, 60, file_name, line_number, "occupancy", "55-60");
  atom.temp_factor = Optional_Float<2>(line, 61, 66, file_name, line_number, "temperature factor", "61-66");
}

void Build_List(const std::vector<Pdb_Line>& lines, char wanted_chain_word, Atom_List& list,
                const std::string& file_name, Read_Summary* summary, bool selected) {
  Atom_Record* tail = nullptr;
  try {
    // The selected lines are nearly all atoms of the chain; the whole input
    // may be mostly other records, so it is not counted on.
    if (selected) list.Reserve(lines.size());
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
  // The usual type rule is the residue index itself: one look-up gives both.
  const bool index_rule = type_function == Get_AA_Type;
  Remove_Atoms_Unless(list, [type_function, index_rule](Atom_Record& atom) {
    const int index = Residue_Index(atom.aa_name);
    atom.aa_code = index == kNoType ? 'X' : aa_1_letter[static_cast<std::size_t>(index)];
    const int type = index_rule ? index : type_function(atom);
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

// Residue numbers 1..n in list order, where a change of residue number or of
// insertion code starts a new residue (52, 52A and 52B are three residues).
void Number_Residues_By_Insertion_Code(Atom_Record* first) {
  if (!first) return;
  int number = first->aa_number;
  char insertion = first->insertion_code;
  int residue = 1;
  for (Atom_Record* atom = first; atom; atom = atom->next) {
    if (atom->aa_number != number || atom->insertion_code != insertion) {
      ++residue;
      number = atom->aa_number;
      insertion = atom->insertion_code;
    }
    atom->aa_number = residue;
  }
}

// The parser's steps after the pre-filter.
void Parse_Selection(const std::vector<Pdb_Line>& lines, char chain, Atom_List& list, Atom_Type_Function type_function,
                     const std::string& file_name, Read_Summary* summary, bool selected) {
  const char wanted_chain_word = (chain == '_' || chain == ' ') ? '\0' : chain;
  Build_List(lines, wanted_chain_word, list, file_name, summary, selected);
  Check_Residues(list, type_function);
  Resolve_Alternate_Locations(list);
  Number_Residues_By_Insertion_Code(list.first);
  Renumerate_Protein(list.first);
}

}  // namespace

char Wanted_Chain_Column(char chain) { return chain == '_' ? ' ' : chain; }

std::vector<Pdb_Line> Select_Chain_Lines(std::string_view content, char chain, Read_Summary* summary, int model) {
  const char wanted = Wanted_Chain_Column(chain);
  std::vector<Pdb_Line> selected;
  bool in_model = model == 0;
  int last_seen = 256;  // no character yet
  Line_Walk walk(content);
  for (Pdb_Line raw; walk.Next(raw);) {
    const std::string_view line = Without_Carriage_Return(raw.text);
    const std::string_view word = Record_Word(line);
    if (model != 0 && word == "MODEL") in_model = Model_Number(line) == model;
    if (!in_model) continue;
    // ENDMDL closes a model as TER closes a chain: files of several models
    // without TER lines still give the chain of the first model only.
    if ((word == "TER" || word == "END" || word == "ENDMDL") && !selected.empty()) break;
    if (word == "ATOM" && summary) {
      const char seen = Column(line, 22) == ' ' ? '_' : Column(line, 22);
      // Lines of one chain follow one another: only a change needs the search.
      if (seen != last_seen && summary->chains_seen.find(seen) == std::string::npos) summary->chains_seen += seen;
      last_seen = seen;
    }
    if (word.empty()) continue;  // a blank line
    if ((word == "ATOM" || line.front() == ' ') && Column(line, 22) == wanted) selected.push_back(raw);
  }
  return selected;
}

std::vector<int> Model_Numbers(std::string_view content) {
  std::vector<int> numbers;
  Line_Walk walk(content);
  for (Pdb_Line raw; walk.Next(raw);) {
    const std::string_view line = Without_Carriage_Return(raw.text);
    if (Word(line) != "MODEL") continue;
    if (const auto number = Model_Number(line)) numbers.push_back(*number);
  }
  return numbers;
}

std::string Model_Chains(std::string_view content, int model) {
  std::string chains;
  bool in_model = model == 0;
  Line_Walk walk(content);
  for (Pdb_Line raw; walk.Next(raw);) {
    const std::string_view line = Without_Carriage_Return(raw.text);
    const std::string_view word = Word(line);
    if (word == "MODEL") {
      if (model == 0 && !chains.empty()) break;
      in_model = model == 0 || Model_Number(line) == model;
    }
    if (word == "ENDMDL" && in_model && !chains.empty()) break;
    if (!in_model || word != "ATOM") continue;
    const char seen = Column(line, 22) == ' ' ? '_' : Column(line, 22);
    if (chains.find(seen) == std::string::npos) chains += seen;
  }
  return chains;
}

char Read_PDB_File_1(const std::string& file_name, char chain, Atom_List& list, Atom_Type_Function type_function,
                     const Reader_Io& io, Read_Summary* summary) {
  const std::optional<std::string> content = Load_Structure_Text(file_name);
  if (!content) {
    std::fprintf(io.out, "Can not open %s\n", file_name.c_str());
    if (io.log) std::fprintf(io.log, "Can not open %s\n", file_name.c_str());
    return 'N';
  }
  Read_PDB_Text(file_name, *content, {chain}, list, type_function, io, summary);
  return 'Y';
}

void Read_PDB_Text(const std::string& name, const std::string& content, const Chain_Request& request, Atom_List& list,
                   Atom_Type_Function type_function, const Reader_Io& io, Read_Summary* summary) {
  std::vector<Pdb_Line> lines;
  bool selected = true;
  if (Write_Selection(content, request, io, lines, summary) == Prefilter_Result::Tmp_Not_Created) {
    if (io.tmp_required) common::Fail(common::kNoEnding, "cannot create the file '%s'", io.tmp_path.c_str());
    // Without the copy, every atom line of the chain in the whole input is read.
    Select_Chain_Lines(content, request.chain, summary, request.model);
    lines = Split_Lines(content);
    selected = false;
  }
  Parse_Selection(lines, request.chain, list, type_function, name, summary, selected);
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
    common::Fail(common::kExitPeriod, "no atom %s in '%s'%s.", which.c_str(), file_name.c_str(), hint.c_str());
  }
  common::Fail(common::kExitPeriod, "no atom of a standard residue %s in '%s'.", which.c_str(), file_name.c_str());
}

}  // namespace structure
