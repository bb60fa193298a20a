// Every program against the inputs a hostile or unlucky user gives it: empty,
// binary, directory, unreadable, CRLF, huge lines, non-finite coordinates,
// truncated tables, bad alignments, arguments at and past their limits, and
// outputs that cannot be written. Each row states the program's answer: its
// status, a message naming the problem, and the result files that must not
// exist afterwards. Run under the sanitizer build too, where any report fails
// the row.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/pdb_lines.hpp"
#include "support/potentials.hpp"
#include "support/run_tool.hpp"
#include "support/tool_case.hpp"

namespace {

namespace fs = std::filesystem;
using test_support::Input_File;

constexpr const char* kModel = "m.pdb";

struct Row {
  std::string label;
  std::vector<std::string> args;
  std::vector<Input_File> inputs;
  std::string message;  // expected in standard output or error
  int status = 8;
  std::vector<std::string> absent;                         // no such regular file afterwards
  std::vector<std::string> folders;                        // created before the run
  std::vector<std::pair<std::string, std::string>> links;  // name -> target
  std::string shell;  // when set, the command line run by sh, CMD standing for the program and arguments
};

const std::string kStdoutFull = "CMD >/dev/full";

// A four-residue chain with a blank chain identifier.
std::string Model() {
  using test_support::Residue_Lines;
  return Residue_Lines("ALA", ' ', 1) + Residue_Lines("GLY", ' ', 2, 6) + Residue_Lines("LEU", ' ', 3, 10) +
         Residue_Lines("VAL", ' ', 4, 15);
}

// The model with its second atom line made longer by `tail`.
std::string Model_With_Tail(const std::string& tail) {
  std::string model = Model();
  model.insert(model.find('\n', model.find('\n') + 1), tail);
  return model;
}

// The model with one field of its second atom overwritten (0-based column).
std::string Model_With(std::size_t column, const std::string& text) {
  std::string model = Model();
  model.replace(model.find('\n') + 1 + column, text.size(), text);
  return model;
}

std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

std::string Garbage() {
  std::string bytes;
  for (unsigned i = 0; i < 4096; ++i) bytes += static_cast<char>((i * 2654435761U) >> 13);
  return bytes;
}

const std::string kLongLine(1000000, '7');

std::string Lines(int count, const char* text) {
  std::string lines;
  for (int i = 0; i < count; ++i) lines += text;
  return lines;
}

// The shared, slow-to-write inputs, made once.
struct Shared {
  test_support::Temp_Dir dir;
  std::string pair, surface, table;
  Shared() {
    pair = dir.File("pair.pot");
    surface = dir.File("surface.pot");
    table = dir.File("table.cpdf");
    test_support::Write_Text_File(pair, test_support::Pair_Potential_Text(1));
    test_support::Write_Text_File(surface, test_support::Surface_Potential_Text(2));
    fs::copy_file(std::string(FOLD_SOURCE_DIR) + "/data/example.cpdf", table);
  }
};

const Shared& Inputs() {
  static const Shared shared;
  return shared;
}

std::string Table_Text() { return test_support::Read_Text(Inputs().table); }

void Check(const std::string& program, const Row& row) {
  SCOPED_TRACE(program + ": " + row.label);
  test_support::Temp_Dir dir;
  for (const std::string& folder : row.folders) fs::create_directories(dir.File(folder));
  test_support::Place_Inputs(dir, row.inputs);
  for (const auto& [name, target] : row.links) fs::create_symlink(target, dir.File(name));
  test_support::Run_Result result;
  if (!row.shell.empty()) {
    std::string command = program;
    for (const std::string& arg : row.args) command += " '" + arg + "'";
    std::string line = row.shell;
    line.replace(line.find("CMD"), 3, command);
    result = test_support::Run_Shell(line, dir.Path(), {{"SHUFFLE_SEED", "1"}});
  } else {
    result = test_support::Run_Tool(program, row.args, dir.Path(), {{"SHUFFLE_SEED", "1"}});
  }
  const std::string said = result.out + result.err;
  EXPECT_EQ(result.status, row.status) << said.substr(0, 2000);
  EXPECT_NE(said.find(row.message), std::string::npos)
      << "expected: " << row.message << "\ngot: " << said.substr(0, 2000);
  EXPECT_EQ(said.find("Sanitizer"), std::string::npos) << said;
  EXPECT_EQ(said.find("runtime error"), std::string::npos) << said;
  for (const std::string& name : row.absent)
    EXPECT_FALSE(fs::is_regular_file(dir.File(name))) << name << " was written";
  // Inputs are never written, and no temporary file is left behind.
  for (const Input_File& input : row.inputs) EXPECT_EQ(dir.Read(input.name), input.content) << input.name;
  for (const std::string& name : dir.List()) EXPECT_NE(name.front(), '.') << name;
}

// Rows shared by the four programs that read a structure; `args` builds the
// command line around the model name, `results` are the program's files.
std::vector<Row> Structure_Rows(const std::function<std::vector<std::string>(std::string)>& args,
                                const std::vector<std::string>& results, const std::string& result_label) {
  const std::string no_atom = "no atom with a blank chain identifier ('_') in 'm.pdb'";
  const std::string finite = " of the atom on line 2 of 'm.pdb' is not a finite number";
  struct Model_Case {
    std::string label, content, message;
    int status = 8;
  };
  const std::vector<Model_Case> cases = {
      {"empty file", "", no_atom + " (the file has no ATOM record)"},
      {"binary garbage", Garbage(), no_atom},
      {"CRLF line ends are read", Crlf(Model()), result_label, 0},
      {"a line of 10^6 characters is skipped", "REMARK " + kLongLine + "\n" + Model(), result_label, 0},
      {"an atom line of 10^6 characters is read", Model_With_Tail(kLongLine), result_label, 0},
      {"NaN coordinate", Model_With(30, "     nan"), "x coordinate (columns 31-38)" + finite},
      {"infinite coordinate", Model_With(38, "    -inf"), "y coordinate (columns 39-46)" + finite},
      {"coordinate beyond single precision", Model_With(46, "   1e39 "), "z coordinate (columns 47-54)" + finite},
      {"huge occupancy", Model_With(54, " 1e300"), "occupancy (columns 55-60)" + finite},
      {"NaN temperature factor", Model_With(60, "   NAN"), "temperature factor (columns 61-66)" + finite},
      {"coordinate with trailing text", Model_With(30, "  1.0x2 "), "", 0},  // its number prefix is read, as by %f
      {"non-numeric coordinate", Model_With(30, "   x.y  "),
       "cannot read the x coordinate (columns 31-38) of the atom on line 2 of 'm.pdb'"},
      {"one-residue chain", test_support::Residue_Lines("ALA", ' ', 1), result_label, 0},
  };
  std::vector<Row> rows;
  for (const Model_Case& c : cases)
    rows.push_back({c.label,
                    args(kModel),
                    {{kModel, c.content}},
                    c.message,
                    c.status,
                    c.status ? results : std::vector<std::string>{}});
  rows.push_back({"a directory", args(kModel), {}, "'m.pdb' is a directory", 8, results, {kModel}});
  rows.push_back(
      {"unreadable (a path through a file)", args("f.pdb/m.pdb"), {{"f.pdb", Model()}}, "Can not open f.pdb/m.pdb", 8});
  rows.push_back({"absent chain",
                  [&] {
                    auto a = args(kModel);
                    a.push_back("B");
                    return a;
                  }(),
                  {{kModel, Model()}},
                  "no atom of chain 'B' in 'm.pdb' (chains present: '_')",
                  8,
                  results});
  rows.push_back({"result file is a link to /dev/full",
                  args(kModel),
                  {{kModel, Model()}},
                  "cannot write output file '" + results.back() + "'",
                  8,
                  {},
                  {},
                  {{results.back(), "/dev/full"}}});
  rows.push_back({"standard output is /dev/full",
                  args(kModel),
                  {{kModel, Model()}},
                  "cannot write to standard output: No space left on device",
                  8,
                  {},
                  {},
                  {},
                  kStdoutFull});
  return rows;
}

// An argument at its length limit passes the length check (and fails on the
// missing file, or is accepted); one character more is refused before any file is created.
void Add_Limit_Rows(std::vector<Row>& rows, const std::string& what, std::size_t limit,
                    const std::function<std::vector<std::string>(const std::string&)>& args,
                    const std::string& at_limit_message, const std::vector<Input_File>& inputs = {},
                    int at_limit_status = 8) {
  rows.push_back({what + " at its limit", args(std::string(limit, 'a')), inputs, at_limit_message, at_limit_status});
  Row past{what + " one past its limit", args(std::string(limit + 1, 'a')), inputs,
           what + " is too long: " + std::to_string(limit + 1) + " characters, at most " + std::to_string(limit) +
               " are allowed",
           8};
  rows.push_back(past);
}

std::vector<Row> Energy_Rows(const std::string& program) {
  const bool pair = program == "vicina";
  const std::string potential = pair ? Inputs().pair : Inputs().surface;
  const std::vector<std::string> results = {"m.pdb." + program + ".native", "m.pdb." + program + ".random"};
  auto rows = Structure_Rows(
      [&](std::string name) {
        return std::vector<std::string>{potential, name};
      },
      results, pair ? "pair_ene\tm.pdb\t" : "exposa\tm.pdb\t");
  const std::string needed = pair ? "336000" : "400";
  const char* line = pair ? "0 0 0 0 0.5\n" : "0 0 0.5\n";
  struct Table_Case {
    std::string label, content, message;
  };
  const std::vector<Table_Case> tables = {
      {"empty potential", "", "potential file 'p.pot' ends at line 0: " + needed + " lines are needed"},
      {"potential truncated between lines", Lines(300, line),
       "potential file 'p.pot' ends at line 300: " + needed + " lines are needed"},
      {"potential truncated inside a line", Lines(300, line) + "0 0", "cannot read line 301 of potential file 'p.pot'"},
      {"binary potential", Garbage(), "cannot read line 1 of potential file 'p.pot'"},
      {"potential with a 10^6-character line", Lines(10, line) + "0 0 " + (pair ? "0 0 " : "") + kLongLine + "\n",
       "potential file 'p.pot' ends at line 11"},

  };
  for (const Table_Case& t : tables)
    rows.push_back({t.label, {"p.pot", kModel}, {{"p.pot", t.content}, {kModel, Model()}}, t.message, 8, results});
  rows.push_back({"potential is a directory",
                  {"p.pot", kModel},
                  {{kModel, Model()}},
                  "cannot open file 'p.pot' for reading",
                  8,
                  results,
                  {"p.pot"}});
  rows.push_back({"potential path through a file",
                  {"f/p.pot", kModel},
                  {{"f", ""}, {kModel, Model()}},
                  "cannot open file 'f/p.pot' for reading",
                  8,
                  results});
  if (!pair)
    rows.push_back({"CRLF potential is read",
                    {"p.pot", kModel},
                    {{"p.pot", Crlf(test_support::Surface_Potential_Text(2))}, {kModel, Model()}},
                    "exposa\tm.pdb\t",
                    0});
  Add_Limit_Rows(
      rows, "potential file name", 511,
      [&](const std::string& a) {
        return std::vector<std::string>{a, kModel};
      },
      "for reading");
  Add_Limit_Rows(
      rows, "protein name", 99,
      [&](const std::string& a) {
        return std::vector<std::string>{potential, a};
      },
      "Can not open aaa");
  Add_Limit_Rows(rows, "chain identifier", 99,
                 [&](const std::string& a) {
                   return std::vector<std::string>{potential, kModel, a};
                 },
                 "no atom of chain 'a'", {{kModel, Model()}});
  return rows;
}

std::vector<Row> Descriptor_Rows(const std::string& suffix, const std::string& label, std::size_t name_limit) {
  const std::vector<std::string> results = {std::string("m.pdb") + suffix};
  auto rows =
      Structure_Rows([](std::string name) { return std::vector<std::string>{name}; }, results, label + "\tm.pdb\t");
  Add_Limit_Rows(
      rows, "protein name", name_limit, [](const std::string& a) { return std::vector<std::string>{a}; },
      "Can not open aaa");
  Add_Limit_Rows(rows, "chain identifier", 99,
                 [](const std::string& a) {
                   return std::vector<std::string>{kModel, a};
                 },
                 "no atom of chain 'a'", {{kModel, Model()}});
  return rows;
}

// sigmara and blendora: every score file in turn is broken, the others valid.
std::vector<Row> Score_Rows(const std::vector<std::pair<std::string, int>>& files, const std::string& result,
                            const std::string& label, std::size_t name_limit) {
  std::vector<Input_File> valid;
  for (const auto& [suffix, lines] : files)
    valid.push_back({"m" + suffix, lines == 1 ? "   0.40\n" : [] {
                       std::string text;
                       for (int i = 0; i < 200; ++i) text += std::to_string(-10.0 + i % 7) + "\n";
                       return text;
                     }()});
  std::vector<Row> rows;
  for (std::size_t f = 0; f < files.size(); ++f) {
    const std::string name = "m" + files[f].first;
    const auto with = [&](const std::string& content) {
      auto inputs = valid;
      inputs[f].content = content;
      return inputs;
    };
    auto without = valid;
    without.erase(without.begin() + static_cast<std::ptrdiff_t>(f));
    const std::string lines = files[f].second == 1 ? "" : Lines(150, "1.5\n");
    rows.push_back({name + " empty", {"m"}, with(""), "input file '" + name + "' is empty", 8, {result}});
    rows.push_back(
        {name + " binary", {"m"}, with(Garbage()), "no number on line 1 of input file '" + name + "'", 8, {result}});
    rows.push_back(
        {name + " a directory", {"m"}, without, "cannot open input file '" + name + "'", 8, {result}, {name}});
    rows.push_back({name + " with a 10^6-character line",
                    {"m"},
                    with(kLongLine + "\n"),
                    "line 1 of input file '" + name + "' is longer than 1000 characters",
                    8,
                    {result}});
    if (files[f].second > 1)
      rows.push_back({name + " truncated",
                      {"m"},
                      with(lines),
                      "input file '" + name + "' has 150 lines, 200 are needed",
                      8,
                      {result}});
    auto crlf = valid;
    crlf[f].content = Crlf(crlf[f].content);
    rows.push_back({name + " with CRLF line ends is read", {"m"}, crlf, label, 0});
  }
  rows.push_back({"unreadable (a path through a file)",
                  {"f/m"},
                  {{"f", ""}},
                  "cannot open input file 'f/m" + files.front().first + "'",
                  8});
  rows.push_back({"result file is a link to /dev/full",
                  {"m"},
                  valid,
                  "cannot write output file '" + result + "'",
                  8,
                  {},
                  {},
                  {{result, "/dev/full"}}});
  rows.push_back({"standard output is /dev/full",
                  {"m"},
                  valid,
                  "cannot write to standard output: No space left on device",
                  8,
                  {},
                  {},
                  {},
                  kStdoutFull});
  Add_Limit_Rows(
      rows, "protein name", name_limit, [](const std::string& a) { return std::vector<std::string>{a}; },
      "cannot open input file 'aaa");
  Add_Limit_Rows(
      rows, "chain identifier", 999,
      [](const std::string& a) {
        return std::vector<std::string>{"m", a};
      },
      label, valid, 0);
  return rows;
}

const std::string kPir = ">P1;a\nsequence:a:::::::\nACDEFGHIKL\nMNPQ*\n>P1;b\nstructure:b:::::::\nACDEWGHIKL\nMNP-*\n";

std::vector<Row> Kinrate_Rows() {
  const std::string bad_letter = "No AA index was assigned. Program will exit.";
  const std::string fewer = "The alignment holds fewer than 2 complete sequences";
  struct Case {
    std::string label, content, message;
  };
  const std::vector<Case> cases = {
      {"empty file", "", fewer},
      {"binary garbage", Garbage(), bad_letter},
      {"CRLF line ends are read", Crlf(kPir), ""},
      {"lower-case letters", ">P1;a\nx\nacde*\n>P1;b\nx\nACDE*\n", bad_letter},
      {"a blank in a sequence", ">P1;a\nx\nAC DE*\n>P1;b\nx\nACDEF*\n", bad_letter},
      {"an X in a sequence", ">P1;a\nx\nACXDE*\n>P1;b\nx\nACDEF*\n", bad_letter},
      {"a header line of 10^6 characters", ">P1;" + kLongLine + "\nx\nACDE*\n", "999"},
      {"a sequence of 10^6 letters", ">P1;a\nx\n" + std::string(1000000, 'A') + "*\n",
       "Maximum number of residues in the alignment = 2000"},
      {"a sequence of 1999 positions is read",
       ">P1;a\nx\n" + std::string(1999, 'A') + "*\n>P1;b\nx\n" + std::string(1999, 'A') + "*\n", ""},
  };
  std::vector<Row> rows;
  for (const Case& c : cases) {
    const bool read = c.message.empty();
    rows.push_back({c.label,
                    {"a.pir"},
                    {{"a.pir", c.content}},
                    c.message,
                    read ? 0 : 8,
                    read ? std::vector<std::string>{} : std::vector<std::string>{"a.pir.seq_ide"}});
  }
  rows.push_back({"a directory", {"a.pir"}, {}, "cannot open alignment file", 8, {"a.pir.seq_ide"}, {"a.pir"}});
  rows.push_back({"unreadable (a path through a file)", {"f/a.pir"}, {{"f", ""}}, "cannot open alignment file", 8});
  rows.push_back({"result file is a link to /dev/full",
                  {"a.pir"},
                  {{"a.pir", kPir}},
                  "cannot write output file 'a.pir.seq_ide'",
                  8,
                  {},
                  {},
                  {{"a.pir.seq_ide", "/dev/full"}}});
  rows.push_back({"standard output is /dev/full",
                  {"a.pir"},
                  {{"a.pir", kPir}},
                  "cannot write to standard output: No space left on device",
                  8,
                  {},
                  {},
                  {},
                  kStdoutFull});
  Add_Limit_Rows(
      rows, "alignment file name", 991, [](const std::string& a) { return std::vector<std::string>{a}; },
      "cannot open alignment file");
  return rows;
}

std::vector<Row> Verdicta_Rows() {
  const std::vector<Input_File> scores = {{"m.zo341", "    0.9000\n"}, {"m.length", "  150.0000\n"}};
  const auto with = [&](std::vector<Input_File> extra) {
    extra.insert(extra.end(), scores.begin(), scores.end());
    return extra;
  };
  std::vector<Row> rows;
  // The table cut after each of its sections (the first 15 lines).
  const std::vector<std::string> section_messages = {"cannot get the total number of classes",
                                                     "cannot get the names of the classes",
                                                     "cannot get the total number of features",
                                                     "cannot get the names of the features",
                                                     "cannot get the bin sizes for each feature",
                                                     "cannot get the bin sizes for each feature",
                                                     "cannot get the bin sizes for each feature",
                                                     "cannot get the bin sizes for each feature",
                                                     "cannot get the center of mass for each class",
                                                     "cannot get the center of mass for each class",
                                                     "cannot get the center of mass for each class",
                                                     "cannot get DATA tag in input file",
                                                     "cannot read cPDFs data",
                                                     "cannot read cPDFs data"};
  const std::string table = Table_Text();
  std::size_t end = 0;
  for (std::size_t i = 0; i < section_messages.size(); ++i) {
    rows.push_back({"table cut after line " + std::to_string(i),
                    {"m", "t.cpdf"},
                    with({{"t.cpdf", table.substr(0, end)}}),
                    section_messages[i],
                    8,
                    {"m.pG"}});
    end = table.find('\n', end) + 1;
  }
  rows.push_back({"table cut inside its data",
                  {"m", "t.cpdf"},
                  with({{"t.cpdf", table.substr(0, table.size() / 2)}}),
                  "cannot read cPDFs data",
                  8,
                  {"m.pG"}});
  rows.push_back({"binary table",
                  {"m", "t.cpdf"},
                  with({{"t.cpdf", Garbage()}}),
                  "the number of classes must be a whole number from 1 to 2",
                  8,
                  {"m.pG"}});
  rows.push_back({"CRLF table is read", {"m", "t.cpdf"}, with({{"t.cpdf", Crlf(table)}}), "correct", 0});
  rows.push_back({"table with a 10^6-character name",
                  {"m", "t.cpdf"},
                  with({{"t.cpdf", "2\ncorrect incorrect\n2\n" + kLongLine + " length\n"}}),
                  "feature name 1 is 1000000 characters long, at most 49 are allowed",
                  8,
                  {"m.pG"}});
  rows.push_back(
      {"table is a directory", {"m", "t.cpdf"}, scores, "cannot open t.cpdf for reading", 8, {"m.pG"}, {"t.cpdf"}});
  rows.push_back({"table path through a file",
                  {"m", "f/t.cpdf"},
                  with({{"f", ""}}),
                  "cannot open f/t.cpdf for reading",
                  8,
                  {"m.pG"}});
  rows.push_back({"empty m.zo341",
                  {"m", "t.cpdf"},
                  {{"m.zo341", ""}, {"m.length", "150\n"}, {"t.cpdf", table}},
                  "m.zo341 does not start with a number",
                  8,
                  {"m.pG"}});
  rows.push_back({"binary m.length",
                  {"m", "t.cpdf"},
                  {{"m.zo341", "0.9\n"}, {"m.length", Garbage()}, {"t.cpdf", table}},
                  "m.length does not start with a number",
                  8,
                  {"m.pG"}});
  rows.push_back({"m.zo341 is a directory",
                  {"m", "t.cpdf"},
                  {{"m.length", "150\n"}, {"t.cpdf", table}},
                  "cannot open m.zo341 for reading",
                  8,
                  {"m.pG"},
                  {"m.zo341"}});
  rows.push_back({"m.in is a link to /dev/full",
                  {"m", "t.cpdf"},
                  with({{"t.cpdf", table}}),
                  "cannot write output file 'm.in'",
                  8,
                  {"m.pG"},
                  {},
                  {{"m.in", "/dev/full"}}});
  rows.push_back({"m.pG is a link to /dev/full",
                  {"m", "t.cpdf"},
                  with({{"t.cpdf", table}}),
                  "cannot write output file 'm.pG'",
                  8,
                  {},
                  {},
                  {{"m.pG", "/dev/full"}}});
  rows.push_back({"standard output is /dev/full",
                  {"m", "t.cpdf"},
                  with({{"t.cpdf", table}}),
                  "cannot write to standard output: No space left on device",
                  8,
                  {},
                  {},
                  {},
                  kStdoutFull});
  Add_Limit_Rows(
      rows, "pdbfilename", 92,
      [](const std::string& a) {
        return std::vector<std::string>{a, "t.cpdf"};
      },
      "cannot open aaa");
  Add_Limit_Rows(
      rows, "cPDF_input_file", 99,
      [](const std::string& a) {
        return std::vector<std::string>{"m", a};
      },
      "cannot open aaa", scores);
  return rows;
}

std::vector<Row> Catena_Rows() {
  const auto args = [](std::vector<std::string> extra, bool identity = true) {
    std::vector<std::string> a = {"--pair-potential",
                                  Inputs().pair,
                                  "--surface-potential",
                                  Inputs().surface,
                                  "--table",
                                  Inputs().table,
                                  "--seed",
                                  "1"};
    if (identity) a.insert(a.end(), {"--identity", "40"});
    a.insert(a.end(), extra.begin(), extra.end());
    return a;
  };
  const std::string failed = "catena: 1 of 1 models failed";
  std::vector<Row> rows = {
      {"empty model", args({kModel}), {{kModel, ""}}, "(the file has no ATOM record)", 8},
      {"binary model", args({kModel}), {{kModel, Garbage()}}, failed, 8},
      {"model is a directory without structures",
       args({kModel}),
       {},
       "the directory 'm.pdb' holds no structure file",
       8,
       {},
       {kModel}},
      {"--chain of two characters",
       args({"--chain", "AB", kModel}),
       {{kModel, Model()}},
       "--chain must be one character",
       8},
      {"model path through a file", args({"f/m.pdb"}), {{"f", ""}}, "Can not open f/m.pdb", 8},
      {"CRLF model is read", args({kModel}), {{kModel, Crlf(Model())}}, "m.pdb\t_\t4.0000", 0},
      {"NaN coordinate",
       args({kModel}),
       {{kModel, Model_With(30, "     nan")}},
       "x coordinate (columns 31-38) of the atom on line 2 of 'm.pdb' is not a finite number",
       8},
      {"one-residue chain",
       args({kModel}),
       {{kModel, test_support::Residue_Lines("ALA", ' ', 1)}},
       "m.pdb\t_\t1.0000",
       0},
      {"truncated potential",
       {"--surface-potential", "p.pot", "--identity", "40", kModel},
       {{"p.pot", Lines(300, "0 0 0.5\n")}, {kModel, Model()}},
       "ends at line 300",
       8},
      {"truncated table",
       args({"--table", "t.cpdf", kModel}),
       {{"t.cpdf", Table_Text().substr(0, 40)}, {kModel, Model()}},
       "cannot get",
       8},
      {"alignment with an X",
       args({"--alignment", "a.pir", kModel}, false),
       {{"a.pir", ">P1;a\nx\nACXDE*\n>P1;b\nx\nACDEF*\n"}, {kModel, Model()}},
       "No AA index was assigned",
       8},
      {"-o is a link to /dev/full",
       args({"-o", "out.tsv", kModel}),
       {{kModel, Model()}},
       "catena: cannot write output file 'out.tsv': No space left on device",
       8,
       {},
       {},
       {{"out.tsv", "/dev/full"}}},
      {"-o through a file",
       args({"-o", "f/out.tsv", kModel}),
       {{"f", ""}, {kModel, Model()}},
       "cannot create output file 'f/out.tsv'",
       8},
      {"standard output is /dev/full",
       args({kModel}),
       {{kModel, Model()}},
       "catena: cannot write to standard output: No space left on device",
       8,
       {},
       {},
       {},
       kStdoutFull},
      {"-o stops at the file size limit: the old file stays",
       args({"-o", "out.tsv", kModel, kModel, kModel, kModel, kModel, kModel, kModel, kModel, kModel, kModel, kModel,
             kModel}),
       {{kModel, Model()}, {"out.tsv", "old records\n"}},
       "catena: cannot write output file 'out.tsv': File too large",
       8,
       {},
       {},
       {},
       "trap '' XFSZ; ulimit -f 1; CMD"},
      {"--help to /dev/full", {"--help"}, {}, "catena: cannot write to standard output", 8, {}, {}, {}, kStdoutFull},
  };
  return rows;
}

void Check_All(const std::string& program, const std::vector<Row>& rows) {
  for (const Row& row : rows) Check(program, row);
}

TEST(BadInput, Vicina) { Check_All("vicina", Energy_Rows("vicina")); }
TEST(BadInput, Exposa) { Check_All("exposa", Energy_Rows("exposa")); }
TEST(BadInput, Resitally) { Check_All("resitally", Descriptor_Rows(".length", "length", 92)); }
TEST(BadInput, Rotunda) { Check_All("rotunda", Descriptor_Rows(".compactness", "compactness", 87)); }
TEST(BadInput, Kinrate) { Check_All("kinrate", Kinrate_Rows()); }
TEST(BadInput, Sigmara) {
  Check_All("sigmara",
            Score_Rows({{".vicina.native", 1}, {".vicina.random", 200}, {".exposa.native", 1}, {".exposa.random", 200}},
                       "m.zscore", "Z-score comb", 485));
}
TEST(BadInput, Blendora) {
  Check_All("blendora",
            Score_Rows({{".zscore", 1}, {".compactness", 1}, {".seq_ide", 1}}, "m.zo341", "ZO341-score", 487));
}
TEST(BadInput, Verdicta) { Check_All("verdicta", Verdicta_Rows()); }
TEST(BadInput, Catena) { Check_All("catena", Catena_Rows()); }

}  // namespace
