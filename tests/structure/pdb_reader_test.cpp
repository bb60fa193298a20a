#include "structure/pdb_reader.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>

#include "common/fatal_error.hpp"
#include "common/scan.hpp"
#include "structure/structure_text.hpp"
#include "support/pdb_lines.hpp"
#include "support/run_tool.hpp"

namespace structure {
namespace {

using test_support::Atom_Line;
using test_support::Pdb_Atom;
using test_support::Residue_Lines;

// A stdio stream whose content can be read back.
class Captured_Stream {
 public:
  Captured_Stream() : file_(std::tmpfile()) {}
  ~Captured_Stream() { std::fclose(file_); }
  std::FILE* get() const { return file_; }
  std::string Text() const {
    std::fflush(file_);
    std::rewind(file_);
    std::string text;
    int c;
    while ((c = std::fgetc(file_)) != EOF) text += static_cast<char>(c);
    return text;
  }

 private:
  std::FILE* file_;
};

int Type_Plus_100(const Atom_Record& atom) { return Get_AA_Type(atom) + 100; }

struct Read_Result {
  char answer = '?';
  Atom_List list;
  Read_Summary summary;
  std::string out;
  std::string log;
  std::optional<std::string> tmp;
};

// Reads `content` as a file in a fresh directory, as a program would.
Read_Result Read(const std::string& content, char chain, bool tmp_writable = true) {
  test_support::Temp_Dir dir;
  dir.Write("model.pdb", content);
  Captured_Stream out;
  Captured_Stream log;
  const std::string tmp_path = tmp_writable ? dir.File("pdbfile.tmp") : dir.File("missing/pdbfile.tmp");
  Read_Result result;
  result.answer = Read_PDB_File_1(dir.File("model.pdb"), chain, result.list, Get_AA_Type,
                                  {out.get(), log.get(), tmp_path}, &result.summary);
  result.out = out.Text();
  result.log = log.Text();
  result.tmp = dir.Read("pdbfile.tmp");
  return result;
}

struct Atom_View {
  std::string name;
  std::string residue;
  int number;
  bool operator==(const Atom_View&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Atom_View& a) { return os << a.residue << a.number << ":" << a.name; }

std::vector<Atom_View> Atoms(const Atom_List& list) {
  std::vector<Atom_View> atoms;
  for (const Atom_Record* a = list.first; a; a = a->next) atoms.push_back({a->atom_name, a->aa_name, a->aa_number});
  return atoms;
}

int Residue_Count(const Atom_List& list) { return Count_AAs(list.first); }

TEST(Prefilter, SelectsTheChainByColumn22) {
  const std::string file = Residue_Lines("ALA", ' ', 1) + Residue_Lines("GLY", 'A', 2) + Residue_Lines("SER", 'B', 3) +
                           Residue_Lines("THR", 'a', 4);
  struct Case {
    char chain;
    const char* residue;
  };
  for (const Case& c : {Case{'_', "ALA"}, Case{' ', "ALA"}, Case{'A', "GLY"}, Case{'B', "SER"}, Case{'a', "THR"}}) {
    Read_Result r = Read(file, c.chain);
    ASSERT_EQ(r.answer, 'Y');
    ASSERT_FALSE(r.list.empty()) << c.chain;
    EXPECT_EQ(r.list.first->aa_name, c.residue) << "chain " << c.chain;
    EXPECT_EQ(Residue_Count(r.list), 1) << "chain " << c.chain;
  }
}

TEST(Prefilter, FirstLineIsExaminedLikeAnyOther) {
  Read_Result r = Read(Residue_Lines("ALA", 'A', 1), 'A');
  ASSERT_EQ(r.answer, 'Y');
  EXPECT_EQ(Atoms(r.list).size(), 5U);
  EXPECT_EQ(r.list.first->atom_name, "N");
}

TEST(Prefilter, CopiesUpToTheChainsFirstTerOrEnd) {
  const std::string file = "HEADER    TEST\nTER\nEND\n" + Residue_Lines("ALA", 'A', 1) +
                           "HETATM  100  O   HOH A 900       1.000   1.000   1.000  1.00 10.00\n" +
                           Residue_Lines("GLY", 'A', 2) + "TER\n" + Residue_Lines("SER", 'A', 3);
  Read_Result r = Read(file, 'A');
  // The TER and END before the chain do not stop it, the HETATM inside it is
  // skipped, and the chain coming back after its TER is not read.
  EXPECT_EQ(Residue_Count(r.list), 2);
  EXPECT_EQ(*r.tmp, Residue_Lines("ALA", 'A', 1) + Residue_Lines("GLY", 'A', 2) + "END\n");
}

TEST(Prefilter, TerEndmdlAndEndCloseTheChain) {
  const std::string model = Residue_Lines("ALA", ' ', 1) + Residue_Lines("GLY", ' ', 2);
  struct Case {
    const char* label;
    std::string file;
  };
  // Whatever closes the first model, only its two residues are read.
  const std::vector<Case> cases = {
      {"TER then ENDMDL", "MODEL        1\n" + model + "TER\nENDMDL\nMODEL        2\n" + model + "TER\nENDMDL\nEND\n"},
      {"ENDMDL without TER", "MODEL        1\n" + model + "ENDMDL\nMODEL        2\n" + model + "ENDMDL\n"},
      {"END", model + "END\n" + model},
  };
  for (const Case& c : cases) EXPECT_EQ(Residue_Count(Read(c.file, '_').list), 2) << c.label;
}

TEST(Models, ChosenByTheirNumber) {
  const std::string file = "MODEL        3\n" + Residue_Lines("ALA", 'A', 1) + "ENDMDL\nMODEL        7\n" +
                           Residue_Lines("GLY", 'B', 1) + Residue_Lines("SER", 'A', 2) + "ENDMDL\nEND\n";
  EXPECT_EQ(Model_Numbers(file), (std::vector<int>{3, 7}));
  EXPECT_EQ(Model_Numbers(Residue_Lines("ALA", 'A', 1)), std::vector<int>{});
  struct Case {
    int model;
    char chain;
    const char* chains;  // of the model
    const char* first;   // residue read; empty: none
  };
  const std::vector<Case> cases = {
      {0, 'A', "A", "ALA"}, {3, 'A', "A", "ALA"}, {7, 'A', "BA", "SER"}, {7, 'B', "BA", "GLY"}, {5, 'A', "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "model " << c.model << " chain " << c.chain);
    EXPECT_EQ(Model_Chains(file, c.model), c.chains);
    Atom_List list;
    Read_PDB_Text("m", file, {c.chain, c.model}, list, Get_AA_Type, {stdout, nullptr, ""});
    EXPECT_EQ(list.empty() ? "" : list.first->aa_name, c.first);
  }
}

TEST(Formats, MmcifIsTheFirstNonBlankLine) {
  EXPECT_TRUE(Is_Mmcif("\n  \r\ndata_1abc\n"));
  EXPECT_TRUE(Is_Mmcif("data_\n"));
  EXPECT_FALSE(Is_Mmcif("HEADER    data_x\n"));
  EXPECT_FALSE(Is_Mmcif("# data_x\ndata_x\n"));
  EXPECT_FALSE(Is_Mmcif(""));
}

TEST(Prefilter, LinesBeginningWithABlankAreAtomLines) {
  std::string line = Atom_Line({.record = "", .name = " CA ", .residue = "ALA", .chain = 'A'});
  Read_Result r = Read(line, 'A');
  EXPECT_EQ(Atoms(r.list), (std::vector<Atom_View>{{"CA", "ALA", 1}}));
}

TEST(Parser, DropsResiduesOutsideTheTwenty) {
  const std::string file = Residue_Lines("ALA", 'A', 1, 1) + Residue_Lines("MSE", 'A', 2, 6) +
                           Residue_Lines("HIE", 'A', 3, 11) + Residue_Lines("CYX", 'A', 4, 16) +
                           Residue_Lines("VAL", 'A', 5, 21) + Residue_Lines("UNK", 'A', 6, 26);
  Read_Result r = Read(file, 'A');
  ASSERT_EQ(Residue_Count(r.list), 2);
  EXPECT_EQ(r.list.first->aa_name, "ALA");
  EXPECT_EQ(Set_Position_AA_Number(r.list.first, 2)->aa_name, "VAL");
  int serial = 0;
  for (const Atom_Record* a = r.list.first; a; a = a->next) EXPECT_EQ(a->atom_number, ++serial);
  EXPECT_EQ(serial, 10);
}

TEST(Parser, OnlyNonStandardResiduesLeavesAnEmptyList) {
  Read_Result r = Read(Residue_Lines("MSE", 'A', 1), 'A');
  EXPECT_EQ(r.answer, 'Y');
  EXPECT_TRUE(r.list.empty());
  try {
    Require_Atoms(r.list, r.summary, "model.pdb", 'A');
    FAIL();
  } catch (const common::Fatal_Error& e) {
    EXPECT_STREQ(e.what(), "no atom of a standard residue of chain 'A' in 'model.pdb'. Program will exit.\n\n");
  }
}

TEST(Parser, AbsentChainNamesTheChainsPresent) {
  Read_Result r = Read(Residue_Lines("ALA", 'A', 1) + Residue_Lines("ALA", 'B', 1), '_');
  EXPECT_TRUE(r.list.empty());
  try {
    Require_Atoms(r.list, r.summary, "model.pdb", '_');
    FAIL();
  } catch (const common::Fatal_Error& e) {
    EXPECT_STREQ(e.what(),
                 "no atom with a blank chain identifier ('_') in 'model.pdb' (chains present: 'A', 'B'). "
                 "Program will exit.\n\n");
  }
  Read_Result empty = Read("", 'A');
  try {
    Require_Atoms(empty.list, empty.summary, "empty.pdb", 'A');
    FAIL();
  } catch (const common::Fatal_Error& e) {
    EXPECT_STREQ(e.what(), "no atom of chain 'A' in 'empty.pdb' (the file has no ATOM record). Program will exit.\n\n");
  }
}

TEST(Parser, ReadsTheColumns) {
  Pdb_Atom a{.serial = 42,
             .name = "HD11",
             .alt_loc = ' ',
             .residue = "LEU",
             .chain = 'A',
             .residue_number = -7,
             .x = -12.345,
             .y = 6.5,
             .z = 1000.125,
             .occupancy = 0.5,
             .temp_factor = 99.99};
  Read_Result r = Read(Atom_Line(a), 'A');
  ASSERT_FALSE(r.list.empty());
  const Atom_Record& atom = *r.list.first;
  EXPECT_EQ(atom.atom_name, "D11");  // column 13 is not part of the name
  EXPECT_EQ(atom.atom_number_read, 42);
  EXPECT_EQ(atom.atom_number, 1);
  EXPECT_EQ(atom.aa_number_read, -7);
  EXPECT_EQ(atom.aa_number, 1);
  EXPECT_EQ(atom.chain, "A");
  EXPECT_EQ(atom.aa_code, 'L');
  EXPECT_EQ(atom.atom_type, 10);
  EXPECT_EQ(atom.x, -12.345F);
  EXPECT_EQ(atom.y, 6.5F);
  EXPECT_EQ(atom.z, 1000.125F);
  EXPECT_EQ(atom.occupancy, 0.5F);
  EXPECT_EQ(atom.temp_factor, 99.99F);
}

// Numeric fields read in place give what the general conversions give: the
// usual forms and each way of leaving them.
TEST(Parser, NumericFieldsReadAsTheGeneralConversions) {
  struct Row {
    std::size_t column;  // first column of the field
    const char* field;
  };
  const std::vector<Row> rows = {
      {31, "  -7.528"}, {31, "-999.999"}, {31, "9999.999"}, {31, "  -0.000"}, {31, "123.4567"},  {31, " 12345.6"},
      {31, "99999.99"}, {31, "  1.5   "}, {31, "  12.34e"}, {31, "    -.50"}, {31, "\t  1.000"}, {31, "  +1.000"},
      {31, "1.2.3.45"}, {31, "    123."}, {31, "  -1.1e1"}, {55, "  1.00"},   {55, "-0.50 "},    {55, "100.00"},
      {55, "123456"},   {61, "  0.5 "},   {61, " 99.99"},   {7, "99999"},     {7, "   -1"},      {7, " +12 "},
      {7, "1 2  "},     {23, " -12"},     {23, "12A "},     {23, "0009"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.field) + " at column " + std::to_string(row.column));
    std::string line = Atom_Line({});
    const std::string_view field(row.field);
    line.replace(row.column - 1, field.size(), field);
    Read_Result r = Read(line, 'A');
    ASSERT_FALSE(r.list.empty());
    const Atom_Record& atom = *r.list.first;
    if (row.column == 7) {
      EXPECT_EQ(atom.atom_number_read, common::Scan_Int(field).value_or(0));
    } else if (row.column == 23) {
      EXPECT_EQ(atom.aa_number_read, common::Scan_Int(field));
    } else {
      const float read = row.column == 31 ? atom.x : row.column == 55 ? atom.occupancy : atom.temp_factor;
      EXPECT_EQ(std::bit_cast<std::uint32_t>(read), std::bit_cast<std::uint32_t>(*common::Scan_Float(field)));
    }
  }
}

TEST(Parser, AppliesTheTypeFunction) {
  test_support::Temp_Dir dir;
  dir.Write("m.pdb", Residue_Lines("VAL", 'A', 1));
  Atom_List list;
  ASSERT_EQ(Read_PDB_File_1(dir.File("m.pdb"), 'A', list, Type_Plus_100, {stdout, nullptr, dir.File("pdbfile.tmp")}),
            'Y');
  EXPECT_EQ(list.first->atom_type, 119);
}

TEST(Parser, InsertionCodesSplitResidues) {
  Pdb_Atom a{.name = " CA ", .residue_number = 52};
  Pdb_Atom b{.name = " CA ", .residue = "GLY", .residue_number = 52, .insertion = 'A', .x = 3.8};
  Pdb_Atom b2{.name = " C  ", .residue = "GLY", .residue_number = 52, .insertion = 'A', .x = 4.8};
  Pdb_Atom c{.name = " CA ", .residue = "SER", .residue_number = 52, .insertion = 'B', .x = 7.6};
  Pdb_Atom d{.name = " CA ", .residue_number = 53, .x = 11.4};
  Read_Result r = Read(Atom_Line(a) + Atom_Line(b) + Atom_Line(b2) + Atom_Line(c) + Atom_Line(d), 'A');
  EXPECT_EQ(Atoms(r.list),
            (std::vector<Atom_View>{
                {"CA", "ALA", 1}, {"CA", "GLY", 2}, {"C", "GLY", 2}, {"CA", "SER", 3}, {"CA", "ALA", 4}}));
  EXPECT_EQ(r.list.first->next->insertion_code, 'A');
}

TEST(Parser, ShortAndLongLines) {
  // Occupancy and temperature factor missing: both read as 0. A line longer
  // than any buffer is still one line.
  const std::string full = Atom_Line({.name = " CA "});
  const std::string short_line = full.substr(0, 54) + "\n";
  const std::string long_line = full.substr(0, full.size() - 1) + std::string(300, 'x') + "\n";
  Read_Result r = Read(short_line + long_line, 'A');
  ASSERT_EQ(Atoms(r.list).size(), 2U);
  EXPECT_EQ(r.list.first->occupancy, 0.0F);
  EXPECT_EQ(r.list.first->temp_factor, 0.0F);
  EXPECT_EQ(r.list.first->next->temp_factor, 20.0F);
}

TEST(Parser, CarriageReturnsAndBlankLines) {
  std::string crlf;
  for (char c : Residue_Lines("ALA", 'A', 1) + "TER\n") crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  Read_Result r = Read("\n   \n" + crlf + Residue_Lines("GLY", 'A', 2), 'A');
  EXPECT_EQ(Residue_Count(r.list), 1);
  EXPECT_EQ(Atoms(r.list).size(), 5U);
}

TEST(Parser, UnreadableCoordinateNamesFileAndLine) {
  std::string bad = Atom_Line({.serial = 2, .name = " CB "});
  bad.replace(38, 8, "   abc  ");  // the y column
  try {
    Read("REMARK\n" + Atom_Line({}) + bad, 'A');
    FAIL() << "no error";
  } catch (const common::Fatal_Error& e) {
    const std::string text = e.what();
    EXPECT_NE(text.find("y coordinate (columns 39-46)"), std::string::npos) << text;
    EXPECT_NE(text.find("line 3 of '"), std::string::npos) << text;
    EXPECT_NE(text.find("model.pdb'"), std::string::npos) << text;
  }
  std::string truncated = Atom_Line({}).substr(0, 40) + "\n";
  EXPECT_THROW(Read(truncated, 'A'), common::Fatal_Error);
}

TEST(Parser, NonFiniteNumbersAreRefusedWithFieldAndLine) {
  struct Case {
    std::size_t column;  // 0-based start of the field
    const char* text;    // written over the field
    const char* field;   // the message's name of the field, empty when accepted
  };
  const std::vector<Case> cases = {
      {30, "     nan", "x coordinate (columns 31-38)"},
      {38, "    -inf", "y coordinate (columns 39-46)"},
      {46, "    1e39", "z coordinate (columns 47-54)"},  // beyond single precision
      {54, "   nan", "occupancy (columns 55-60)"},
      {60, "  1e99", "temperature factor (columns 61-66)"},
      {30, "  1e-40 ", ""},  // subnormal but finite
      {60, "   ---", ""},    // unreadable optional field reads as 0
  };
  for (const Case& c : cases) {
    std::string line = Atom_Line({});
    line.replace(c.column, std::string(c.text).size(), c.text);
    if (*c.field == '\0') {
      EXPECT_EQ(Atoms(Read(line, 'A').list).size(), 1U) << c.text;
      continue;
    }
    try {
      Read("REMARK\n" + line, 'A');
      ADD_FAILURE() << "accepted " << c.text;
    } catch (const common::Fatal_Error& e) {
      const std::string text = e.what();
      EXPECT_NE(text.find(std::string(c.field) + " of the atom on line 2 of '"), std::string::npos) << text;
      EXPECT_NE(text.find("is not a finite number"), std::string::npos) << text;
    }
  }
}

TEST(Parser, MissingFileIsNotedInTheLog) {
  test_support::Temp_Dir dir;
  Captured_Stream out;
  Captured_Stream log;
  Atom_List list;
  const std::string name = dir.File("absent.pdb");
  EXPECT_EQ(Read_PDB_File_1(name, 'A', list, Get_AA_Type, {out.get(), log.get(), dir.File("pdbfile.tmp")}), 'N');
  EXPECT_EQ(out.Text(), "Can not open " + name + "\n");
  EXPECT_EQ(log.Text(), "Can not open " + name + "\n");
  EXPECT_FALSE(dir.Exists("pdbfile.tmp"));
}

TEST(Parser, WithoutTheTemporaryCopyTheWholeFileIsRead) {
  const std::string model = Residue_Lines("ALA", ' ', 1) + Residue_Lines("GLY", ' ', 2);
  Read_Result r = Read(model + "TER\n" + model, '_', /*tmp_writable=*/false);
  EXPECT_EQ(r.answer, 'Y');
  EXPECT_NE(r.out.find("Can not open "), std::string::npos);
  EXPECT_EQ(Residue_Count(r.list), 4);
}

TEST(AlternateLocations, ResolvedByOccupancyThenTemperatureFactorThenOrder) {
  struct Case {
    double occ_a, b_a, occ_b, b_b;
    double expected_x;  // x of the kept atom: 1 for the first, 2 for the second
  };
  const std::vector<Case> cases = {
      {0.60, 30.0, 0.40, 10.0, 1.0}, {0.40, 10.0, 0.60, 30.0, 2.0}, {0.50, 20.0, 0.50, 15.0, 2.0},
      {0.50, 15.0, 0.50, 20.0, 1.0}, {0.50, 20.0, 0.50, 20.0, 1.0},
  };
  for (const Case& c : cases) {
    const std::string file =
        Atom_Line({.serial = 1, .name = " N  ", .x = -1.0}) +
        Atom_Line({.serial = 2, .name = " CA ", .alt_loc = 'A', .x = 1.0, .occupancy = c.occ_a, .temp_factor = c.b_a}) +
        Atom_Line({.serial = 3, .name = " CA ", .alt_loc = 'B', .x = 2.0, .occupancy = c.occ_b, .temp_factor = c.b_b}) +
        Atom_Line({.serial = 4, .name = " C  ", .x = 3.0});
    Read_Result r = Read(file, 'A');
    ASSERT_EQ(Atoms(r.list).size(), 3U);
    const Atom_Record* kept = r.list.first->next;
    EXPECT_EQ(kept->atom_name, "CA");
    EXPECT_EQ(kept->x, static_cast<float>(c.expected_x)) << c.occ_a << " " << c.b_a << " " << c.occ_b << " " << c.b_b;
    EXPECT_EQ(kept->alt_loc, 'Y');
    EXPECT_EQ(kept->atom_number, 2);
    EXPECT_EQ(kept->next->atom_name, "C");
  }
}

TEST(AlternateLocations, EdgesOfTheList) {
  // A losing head is unlinked and the head moves on.
  Read_Result head = Read(Atom_Line({.name = " CA ", .alt_loc = 'A', .x = 1.0, .occupancy = 0.3}) +
                              Atom_Line({.name = " CA ", .alt_loc = 'B', .x = 2.0, .occupancy = 0.7}),
                          'A');
  ASSERT_EQ(Atoms(head.list).size(), 1U);
  EXPECT_EQ(head.list.first->x, 2.0F);
  EXPECT_EQ(head.list.first->prev, nullptr);
  // A flagged atom with nothing after it stays as it is.
  Read_Result last = Read(Atom_Line({.name = " N  "}) + Atom_Line({.name = " CA ", .alt_loc = 'A'}), 'A');
  EXPECT_EQ(Atoms(last.list).size(), 2U);
  // Of three alternates, A and B are compared; C is then compared with the next atom.
  Read_Result three = Read(Atom_Line({.name = " CA ", .alt_loc = 'A', .occupancy = 0.4}) +
                               Atom_Line({.name = " CA ", .alt_loc = 'B', .occupancy = 0.3}) +
                               Atom_Line({.name = " CA ", .alt_loc = 'C', .occupancy = 0.3}) +
                               Atom_Line({.name = " C  ", .occupancy = 1.0}),
                           'A');
  EXPECT_EQ(Atoms(three.list), (std::vector<Atom_View>{{"CA", "ALA", 1}, {"C", "ALA", 1}}));
}

TEST(TemporaryFile, HoldsTheCopiedLinesThenEnd) {
  const std::string header = "HEADER    EXAMPLE\nREMARK   1\n";
  const std::string chain = Residue_Lines("ALA", 'A', 7) + Residue_Lines("GLY", 'A', 8);
  Read_Result r = Read(header + chain + "TER\n" + Residue_Lines("ALA", 'B', 1) + "END\n", 'A');
  EXPECT_EQ(*r.tmp, chain + "END\n");
  EXPECT_EQ(r.list.first->aa_number, 1);
  // Nothing selected: the copy holds "END" alone.
  Read_Result none = Read(header, 'A');
  EXPECT_EQ(*none.tmp, "END\n");
}

}  // namespace
}  // namespace structure
