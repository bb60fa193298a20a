// Every program against the inputs a hostile or unlucky user gives it: empty,
// binary, directory, unreadable, CRLF, huge lines, non-finite coordinates,
// truncated tables, bad alignments, arguments at and past their limits, and
// outputs that cannot be written. Each row states the program's answer: its
// status and a message naming the problem; after a failure no result file of
// the program exists. Run in the sanitizer build too, where any report fails
// the row.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/pdb_lines.hpp"
#include "support/potentials.hpp"
#include "support/tool_case.hpp"

namespace {

namespace fs = std::filesystem;
using test_support::Input_File;
using Args = std::vector<std::string>;
using Files = std::vector<Input_File>;

constexpr const char* kModel = "m.pdb";
const std::string kStdoutFull = "CMD >/dev/full";
const std::string kLongLine(1000000, '7');

// A case whose message is looked for in standard output and error; after a
// failure no result file of the program exists, unless it failed after
// writing them.
struct Row {
  test_support::Tool_Case run;
  bool results_written = false;

  Row& Folder(const std::string& name) { return run.folders.push_back(name), *this; }
  Row& Link(const std::string& name, const std::string& target) { return run.links.push_back({name, target}), *this; }
  Row& Shell(const std::string& line) { return run.shell = line, results_written = true, *this; }
  Row& Written() { return results_written = true, *this; }
};

Row Answer(const std::string& label, Args args, Files inputs, const std::string& message, int status) {
  return {{.label = label,
           .args = std::move(args),
           .inputs = std::move(inputs),
           .environment = {{"SHUFFLE_SEED", "1"}},
           .status = status,
           .says = message}};
}
Row Refused(const std::string& label, Args args, Files inputs, const std::string& message) {
  return Answer(label, std::move(args), std::move(inputs), message, 8);
}
Row Read(const std::string& label, Args args, Files inputs, const std::string& message) {
  return Answer(label, std::move(args), std::move(inputs), message, 0);
}

template <typename T>
std::vector<T> With(std::vector<T> items, const std::vector<T>& more) {
  items.insert(items.end(), more.begin(), more.end());
  return items;
}

// A four-residue chain with a blank chain identifier.
std::string Model() {
  using test_support::Residue_Lines;
  return Residue_Lines("ALA", ' ', 1) + Residue_Lines("GLY", ' ', 2, 6) + Residue_Lines("LEU", ' ', 3, 10) +
         Residue_Lines("VAL", ' ', 4, 15);
}

// The model with `text` written over its second atom line from a 0-based column.
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

std::string Lines(int count, const std::string& text) {
  std::string lines;
  for (int i = 0; i < count; ++i) lines += text;
  return lines;
}

// The inputs that are slow to write, made once.
struct Shared {
  test_support::Temp_Dir dir;
  std::string pair = dir.File("pair.pot"), surface = dir.File("surface.pot"), table = dir.File("table.cpdf");
  Shared() {
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

void Check(const std::string& program, const std::vector<std::string>& results, const Row& row) {
  const test_support::Temp_Dir dir;
  const test_support::Run_Result result = test_support::Check_Case(program, row.run, dir);
  SCOPED_TRACE(program + ": " + row.run.label);
  const std::string said = result.out + result.err;
  EXPECT_EQ(said.find("Sanitizer"), std::string::npos) << said;
  EXPECT_EQ(said.find("runtime error"), std::string::npos) << said;
  if (row.run.status != 0 && !row.results_written) {
    for (const std::string& name : results) EXPECT_FALSE(fs::is_regular_file(dir.File(name))) << name << " written";
  }
  // Inputs are never written, and no temporary file is left behind.
  for (const Input_File& input : row.run.inputs) EXPECT_EQ(dir.Read(input.name), input.content) << input.name;
  for (const std::string& name : dir.List()) EXPECT_NE(name.front(), '.') << name;
}

// An argument at its length limit passes the length check (and fails later,
// or is accepted); one character more is refused, with these exact words,
// before any file is created.
void Add_Limit_Rows(std::vector<Row>& rows, const std::string& what, std::size_t limit, const Args& before,
                    const Args& after, const std::string& at_limit_message, const Files& inputs = {},
                    int at_limit_status = 8) {
  const auto args = [&](std::size_t n) { return With(With(before, {std::string(n, 'a')}), after); };
  rows.push_back(Answer(what + " at its limit", args(limit), inputs, at_limit_message, at_limit_status));
  const std::string refusal = what + " is too long: " + std::to_string(limit + 1) + " characters, at most " +
                              std::to_string(limit) + " are allowed\nprogram will exit !\n";
  Row& past = rows.emplace_back(Refused(what + " one past its limit", args(limit + 1), inputs, refusal));
  past.run.out = refusal;
  past.run.directory.emplace();
  for (const Input_File& input : inputs) past.run.directory->push_back(input.name);
  std::sort(past.run.directory->begin(), past.run.directory->end());
}

// The rows of the four programs that read a structure, whose arguments are
// `before`, the model, then the chain.
std::vector<Row> Structure_Rows(const Args& before, const std::string& last_result, const std::string& result_line) {
  const Args model = With(before, {kModel});
  const std::string no_atom = "no atom with a blank chain identifier ('_') in 'm.pdb'";
  const std::string finite = " of the atom on line 2 of 'm.pdb' is not a finite number";
  const auto refused = [&](const std::string& label, const std::string& content, const std::string& message) {
    return Refused(label, model, {{kModel, content}}, message);
  };
  const auto read = [&](const std::string& label, const std::string& content) {
    return Read(label, model, {{kModel, content}}, result_line);
  };
  std::string long_atom = Model();
  long_atom.insert(long_atom.find('\n', long_atom.find('\n') + 1), kLongLine);
  std::vector<Row> rows = {
      refused("empty file", "", no_atom + " (the file has no ATOM record)"),
      refused("binary garbage", Garbage(), no_atom),
      read("CRLF line ends", Crlf(Model())),
      read("a line of 10^6 characters", "REMARK " + kLongLine + "\n" + Model()),
      read("an atom line of 10^6 characters", long_atom),
      refused("NaN x", Model_With(30, "     nan"), "x coordinate (columns 31-38)" + finite),
      refused("infinite y", Model_With(38, "    -inf"), "y coordinate (columns 39-46)" + finite),
      refused("z beyond single precision", Model_With(46, "   1e39 "), "z coordinate (columns 47-54)" + finite),
      refused("huge occupancy", Model_With(54, " 1e300"), "occupancy (columns 55-60)" + finite),
      refused("NaN temperature factor", Model_With(60, "   NAN"), "temperature factor (columns 61-66)" + finite),
      read("x with trailing text: its number prefix, as %f reads it", Model_With(30, "  1.0x2 ")),
      refused("non-numeric x", Model_With(30, "   x.y  "),
              "cannot read the x coordinate (columns 31-38) of the atom on line 2 of 'm.pdb'"),
      read("one-residue chain", test_support::Residue_Lines("ALA", ' ', 1)),
      Refused("a directory", model, {}, "'m.pdb' is a directory").Folder(kModel),
      Refused("a path through a file", With(before, {"f.pdb/m.pdb"}), {{"f.pdb", Model()}}, "Can not open f.pdb/m.pdb"),
      Refused("absent chain", With(model, {"B"}), {{kModel, Model()}},
              "no atom of chain 'B' in 'm.pdb' (chains present: '_')"),
      Refused("result file a link to /dev/full", model, {{kModel, Model()}},
              "cannot write output file '" + last_result + "'")
          .Link(last_result, "/dev/full")
          .Written(),
      Refused("standard output /dev/full", model, {{kModel, Model()}},
              "cannot write to standard output: No space left on device")
          .Shell(kStdoutFull),
  };
  Add_Limit_Rows(rows, "chain identifier", 99, model, {}, "no atom of chain 'a'", {{kModel, Model()}});
  return rows;
}

std::vector<Row> Energy_Rows(const std::string& program) {
  const bool pair = program == "vicina";
  const std::string potential = pair ? Inputs().pair : Inputs().surface;
  auto rows =
      Structure_Rows({potential}, "m.pdb." + program + ".random", pair ? "pair_ene\tm.pdb\t" : "exposa\tm.pdb\t");
  const std::string needed = std::string(pair ? "336000" : "400") + " lines are needed";
  const std::string line = pair ? "0 0 0 0 0.5\n" : "0 0 0.5\n";
  const auto table = [&](const std::string& label, const std::string& content, const std::string& message) {
    return Refused(label, {"p.pot", kModel}, {{"p.pot", content}, {kModel, Model()}}, message);
  };
  rows.insert(rows.end(), {
                              table("empty potential", "", "potential file 'p.pot' ends at line 0: " + needed),
                              table("potential cut between lines", Lines(300, line), "ends at line 300: " + needed),
                              table("potential cut inside a line", Lines(300, line) + "0 0",
                                    "cannot read line 301 of potential file 'p.pot'"),
                              table("binary potential", Garbage(), "cannot read line 1 of potential file 'p.pot'"),
                              table("potential with a 10^6-character line",
                                    Lines(10, line) + (pair ? "0 0 0 0 " : "0 0 ") + kLongLine + "\n",
                                    "potential file 'p.pot' ends at line 11"),
                              Refused("potential is a directory", {"p.pot", kModel}, {{kModel, Model()}},
                                      "cannot open file 'p.pot' for reading")
                                  .Folder("p.pot"),
                              Refused("potential path through a file", {"f/p.pot", kModel},
                                      {{"f", ""}, {kModel, Model()}}, "cannot open file 'f/p.pot' for reading"),
                          });
  if (!pair)
    rows.push_back(Read("CRLF potential", {"p.pot", kModel},
                        {{"p.pot", Crlf(test_support::Surface_Potential_Text(2))}, {kModel, Model()}},
                        "exposa\tm.pdb\t"));
  Add_Limit_Rows(rows, "potential file name", 511, {}, {kModel}, "for reading");
  Add_Limit_Rows(rows, "protein name", 99, {potential}, {}, "Can not open aaa");
  return rows;
}

std::vector<Row> Descriptor_Rows(const std::string& result, const std::string& label, std::size_t name_limit) {
  auto rows = Structure_Rows({}, result, label + "\tm.pdb\t");
  Add_Limit_Rows(rows, "protein name", name_limit, {}, {}, "Can not open aaa");
  return rows;
}

// sigmara and blendora: each score file in turn is broken, the others valid.
std::vector<Row> Score_Rows(const std::vector<std::pair<std::string, int>>& files, const std::string& result,
                            const std::string& result_line, std::size_t name_limit) {
  Files valid;
  for (const auto& [suffix, lines] : files) {
    std::string text = lines == 1 ? "   0.40\n" : "";
    for (int i = 0; i < lines && lines > 1; ++i) text += std::to_string(-10.0 + i % 7) + "\n";
    valid.push_back({"m" + suffix, text});
  }
  std::vector<Row> rows;
  for (std::size_t f = 0; f < files.size(); ++f) {
    const std::string name = valid[f].name;
    const auto with = [&](const std::string& content) {
      Files inputs = valid;
      inputs[f].content = content;
      return inputs;
    };
    Files without = valid;
    without.erase(without.begin() + static_cast<std::ptrdiff_t>(f));
    rows.insert(rows.end(),
                {
                    Refused(name + " empty", {"m"}, with(""), "input file '" + name + "' is empty"),
                    Refused(name + " binary", {"m"}, with(Garbage()), "no number on line 1 of input file '" + name),
                    Refused(name + " a directory", {"m"}, without, "cannot open input file '" + name).Folder(name),
                    Refused(name + " with a 10^6-character line", {"m"}, with(kLongLine + "\n"),
                            "line 1 of input file '" + name + "' is longer than 1000 characters"),
                    Read(name + " with CRLF line ends", {"m"}, with(Crlf(valid[f].content)), result_line),
                });
    if (files[f].second > 1)
      rows.push_back(Refused(name + " cut", {"m"}, with(Lines(150, "1.5\n")),
                             "input file '" + name + "' has 150 lines, 200 are needed"));
  }
  rows.insert(
      rows.end(),
      {
          Refused("a path through a file", {"f/m"}, {{"f", ""}},
                  "cannot open input file 'f/m" + files.front().first + "'"),
          Refused("result file a link to /dev/full", {"m"}, valid, "cannot write output file '" + result + "'")
              .Link(result, "/dev/full"),
          Refused("standard output /dev/full", {"m"}, valid, "cannot write to standard output: No space left on device")
              .Shell(kStdoutFull),
      });
  Add_Limit_Rows(rows, "protein name", name_limit, {}, {}, "cannot open input file 'aaa");
  Add_Limit_Rows(rows, "chain identifier", 999, {"m"}, {}, result_line, valid, 0);
  return rows;
}

const std::string kPir = ">P1;a\nsequence:a:::::::\nACDEFGHIKL\nMNPQ*\n>P1;b\nstructure:b:::::::\nACDEWGHIKL\nMNP-*\n";

std::vector<Row> Kinrate_Rows() {
  const std::string bad_letter = "No AA index was assigned. Program will exit.";
  const auto refused = [](const std::string& label, const std::string& content, const std::string& message) {
    return Refused(label, {"a.pir"}, {{"a.pir", content}}, message);
  };
  const std::string long_sequences =
      ">P1;a\nx\n" + std::string(1999, 'A') + "*\n>P1;b\nx\n" + std::string(1999, 'A') + "*\n";
  std::vector<Row> rows = {
      refused("empty file", "", "The alignment holds fewer than 2 complete sequences"),
      refused("binary garbage", Garbage(), bad_letter),
      Read("CRLF line ends", {"a.pir"}, {{"a.pir", Crlf(kPir)}}, "Maximum number of sequences"),
      refused("lower-case letters", ">P1;a\nx\nacde*\n>P1;b\nx\nACDE*\n", bad_letter),
      refused("a blank in a sequence", ">P1;a\nx\nAC DE*\n>P1;b\nx\nACDEF*\n", bad_letter),
      refused("an X in a sequence", ">P1;a\nx\nACXDE*\n>P1;b\nx\nACDEF*\n", bad_letter),
      refused("a header line of 10^6 characters", ">P1;" + kLongLine + "\nx\nACDE*\n", "999"),
      refused("a sequence of 10^6 letters", ">P1;a\nx\n" + std::string(1000000, 'A') + "*\n",
              "Maximum number of residues in the alignment = 2000"),
      Read("sequences of 1999 positions", {"a.pir"}, {{"a.pir", long_sequences}}, ""),
      Refused("a directory", {"a.pir"}, {}, "cannot open alignment file").Folder("a.pir"),
      Refused("a path through a file", {"f/a.pir"}, {{"f", ""}}, "cannot open alignment file"),
      refused("result file a link to /dev/full", kPir, "cannot write output file 'a.pir.seq_ide'")
          .Link("a.pir.seq_ide", "/dev/full"),
      refused("standard output /dev/full", kPir, "cannot write to standard output: No space left on device")
          .Shell(kStdoutFull),
  };
  Add_Limit_Rows(rows, "alignment file name", 991, {}, {}, "cannot open alignment file");
  return rows;
}

std::vector<Row> Verdicta_Rows() {
  const Files scores = {{"m.zo341", "    0.9000\n"}, {"m.length", "  150.0000\n"}};
  const auto with = [&](Files extra) { return With(std::move(extra), scores); };
  const auto table = [&](const std::string& label, const std::string& content, const std::string& message) {
    return Refused(label, {"m", "t.cpdf"}, with({{"t.cpdf", content}}), message);
  };
  const std::string text = Table_Text();
  std::vector<Row> rows;
  // The table cut after each line of its sections, then inside its data.
  const std::vector<std::string> section_messages = {
      "total number of classes",       "names of the classes",          "total number of features",
      "names of the features",         "bin sizes for each feature",    "bin sizes for each feature",
      "bin sizes for each feature",    "bin sizes for each feature",    "center of mass for each class",
      "center of mass for each class", "center of mass for each class", "DATA tag in input file"};
  std::size_t end = 0;
  for (std::size_t i = 0; i < section_messages.size(); ++i, end = text.find('\n', end) + 1)
    rows.push_back(table("table cut after line " + std::to_string(i), text.substr(0, end), section_messages[i]));
  rows.push_back(table("table cut after its DATA tag", text.substr(0, end), "cannot read cPDFs data"));
  rows.push_back(table("table cut inside its data", text.substr(0, text.size() / 2), "cannot read cPDFs data"));
  rows.insert(
      rows.end(),
      {
          table("binary table", Garbage(), "the number of classes must be a whole number from 1 to 2"),
          table("table with a 10^6-character name", "2\ncorrect incorrect\n2\n" + kLongLine + " length\n",
                "feature name 1 is 1000000 characters long, at most 49 are allowed"),
          Read("CRLF table", {"m", "t.cpdf"}, with({{"t.cpdf", Crlf(text)}}), "correct"),
          Refused("table is a directory", {"m", "t.cpdf"}, scores, "cannot open t.cpdf for reading").Folder("t.cpdf"),
          Refused("table path through a file", {"m", "f/t.cpdf"}, with({{"f", ""}}),
                  "cannot open f/t.cpdf for reading"),
          Refused("empty m.zo341", {"m", "t.cpdf"}, {{"m.zo341", ""}, {"m.length", "150\n"}, {"t.cpdf", text}},
                  "m.zo341 does not start with a number"),
          Refused("binary m.length", {"m", "t.cpdf"}, {{"m.zo341", "0.9\n"}, {"m.length", Garbage()}, {"t.cpdf", text}},
                  "m.length does not start with a number"),
          Refused("m.zo341 is a directory", {"m", "t.cpdf"}, {{"m.length", "150\n"}, {"t.cpdf", text}},
                  "cannot open m.zo341 for reading")
              .Folder("m.zo341"),
          table("m.in a link to /dev/full", text, "cannot write output file 'm.in'").Link("m.in", "/dev/full"),
          table("m.pG a link to /dev/full", text, "cannot write output file 'm.pG'").Link("m.pG", "/dev/full"),
          table("standard output /dev/full", text, "cannot write to standard output: No space left on device")
              .Shell(kStdoutFull),
      });
  Add_Limit_Rows(rows, "pdbfilename", 92, {}, {"t.cpdf"}, "cannot open aaa");
  Add_Limit_Rows(rows, "cPDF_input_file", 99, {"m"}, {}, "cannot open aaa", scores);
  return rows;
}

std::vector<Row> Catena_Rows() {
  const Args tables = {"--pair-potential",
                       Inputs().pair,
                       "--surface-potential",
                       Inputs().surface,
                       "--table",
                       Inputs().table,
                       "--seed",
                       "1"};
  const Args args = With(tables, {"--identity", "40"});
  const Files model = {{kModel, Model()}};
  const auto refused = [&](const std::string& label, const std::string& content, const std::string& message) {
    return Refused(label, With(args, {kModel}), {{kModel, content}}, message);
  };
  Args twelve = With(args, {"-o", "out.tsv"});
  twelve.insert(twelve.end(), 12, kModel);
  return {
      refused("empty model", "", "(the file has no ATOM record)"),
      refused("binary model", Garbage(), "catena: 1 of 1 models failed"),
      refused("NaN coordinate", Model_With(30, "     nan"),
              "x coordinate (columns 31-38) of the atom on line 2 of 'm.pdb' is not a finite number"),
      Read("CRLF model", With(args, {kModel}), {{kModel, Crlf(Model())}}, "m.pdb\t_\t4.0000"),
      Read("one-residue chain", With(args, {kModel}), {{kModel, test_support::Residue_Lines("ALA", ' ', 1)}},
           "m.pdb\t_\t1.0000"),
      Refused("a directory without structures", With(args, {kModel}), {},
              "the directory 'm.pdb' holds no structure file")
          .Folder(kModel),
      Refused("model path through a file", With(args, {"f/m.pdb"}), {{"f", ""}}, "Can not open f/m.pdb"),
      Refused("truncated potential", {"--surface-potential", "p.pot", "--identity", "40", kModel},
              With({{"p.pot", Lines(300, "0 0 0.5\n")}}, model), "ends at line 300"),
      Refused("truncated table", With(args, {"--table", "t.cpdf", kModel}),
              With({{"t.cpdf", Table_Text().substr(0, 40)}}, model), "cannot get"),
      Refused("alignment with an X", With(tables, {"--alignment", "a.pir", kModel}),
              With({{"a.pir", ">P1;a\nx\nACXDE*\n>P1;b\nx\nACDEF*\n"}}, model), "No AA index was assigned"),
      Refused("-o a link to /dev/full", With(args, {"-o", "out.tsv", kModel}), model,
              "catena: cannot write output file 'out.tsv': No space left on device")
          .Link("out.tsv", "/dev/full"),
      Refused("-o through a file", With(args, {"-o", "f/out.tsv", kModel}), With({{"f", ""}}, model),
              "cannot create output file 'f/out.tsv'"),
      // The records outgrow a one-block file size limit: the old file stays.
      Refused("-o stopped by the file size limit", twelve, With(model, {{"out.tsv", "old records\n"}}),
              "catena: cannot write output file 'out.tsv': File too large")
          .Shell("trap '' XFSZ; ulimit -f 1; CMD"),
      Refused("standard output /dev/full", With(args, {kModel}), model,
              "catena: cannot write to standard output: No space left on device")
          .Shell(kStdoutFull),
      Refused("--help to /dev/full", {"--help"}, {}, "catena: cannot write to standard output").Shell(kStdoutFull),
  };
}

void Check_All(const std::string& program, const std::vector<std::string>& results, const std::vector<Row>& rows) {
  for (const Row& row : rows) Check(program, results, row);
}

TEST(BadInput, Vicina) { Check_All("vicina", {"m.pdb.vicina.native", "m.pdb.vicina.random"}, Energy_Rows("vicina")); }
TEST(BadInput, Exposa) { Check_All("exposa", {"m.pdb.exposa.native", "m.pdb.exposa.random"}, Energy_Rows("exposa")); }
TEST(BadInput, Resitally) { Check_All("resitally", {"m.pdb.length"}, Descriptor_Rows("m.pdb.length", "length", 92)); }
TEST(BadInput, Rotunda) {
  Check_All("rotunda", {"m.pdb.compactness"}, Descriptor_Rows("m.pdb.compactness", "compactness", 87));
}
TEST(BadInput, Kinrate) { Check_All("kinrate", {"a.pir.seq_ide"}, Kinrate_Rows()); }
TEST(BadInput, Sigmara) {
  const std::vector<std::pair<std::string, int>> files = {
      {".vicina.native", 1}, {".vicina.random", 200}, {".exposa.native", 1}, {".exposa.random", 200}};
  Check_All("sigmara", {"m.zscore", "m.pair.zscore", "m.surf.zscore"},
            Score_Rows(files, "m.zscore", "Z-score comb", 485));
}
TEST(BadInput, Blendora) {
  Check_All("blendora", {"m.zo341"},
            Score_Rows({{".zscore", 1}, {".compactness", 1}, {".seq_ide", 1}}, "m.zo341", "ZO341-score", 487));
}
TEST(BadInput, Verdicta) { Check_All("verdicta", {"m.pG"}, Verdicta_Rows()); }
TEST(BadInput, Catena) { Check_All("catena", {}, Catena_Rows()); }

}  // namespace
