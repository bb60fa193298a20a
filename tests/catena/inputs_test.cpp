#include "catena/inputs.hpp"

#include <gtest/gtest.h>

#include "catena/pipeline.hpp"
#include "common/fatal_error.hpp"
#include "support/run_tool.hpp"

namespace catena {
namespace {

template <typename Function>
std::string Refusal_Of(Function function) {
  try {
    function();
  } catch (const common::Fatal_Error& e) {
    return One_Line(e.Message());
  }
  return "(accepted)";
}

TEST(Identity, DecimalPercentWithTwoDecimals) {
  const std::vector<std::pair<std::string, std::string>> accepted = {
      {"40", "40.00"}, {".5", "0.50"}, {"5.", "5.00"}, {"100", "100.00"}, {"0", "0.00"}, {"33.333", "33.33"}};
  for (const auto& [text, written] : accepted) EXPECT_EQ(Parse_Identity(text, "--identity"), written) << text;
  for (const char* text : {"", ".", "0x1A", "1e1", "+5", "-0", " 5", "5 ", "100.01", "nan", "inf", "4o"})
    EXPECT_EQ(Refusal_Of([&] { Parse_Identity(text, "--identity"); }),
              std::string("--identity must be a percentage from 0 to 100, not '") + text + "'");
}

TEST(Chain, OneCharacterOrAll) {
  for (const char* text : {"A", "_", "z", "all"}) EXPECT_EQ(Parse_Chain_Choice(text, "--chain"), text);
  for (const char* text : {"AB", " ", "ALL"})
    EXPECT_EQ(Refusal_Of([&] { Parse_Chain_Choice(text, "--chain"); }),
              std::string("--chain must be one character ('_' for a blank chain) or 'all', not '") + text + "'");
}

TEST(ModelList, Columns) {
  struct Case {
    const char* label;
    std::string text;
    std::vector<std::string> expected;  // model|chain|alignment|identity per entry
  };
  auto row = [](const List_Entry& e) {
    return e.model + "|" + e.chain + "|" + e.alignment.value_or("") + "|" + e.identity.value_or("");
  };
  const std::vector<Case> cases = {
      {"no header: one model per line", "a.pdb\n\n# note\nb c.pdb\n", {"a.pdb|||", "b c.pdb|||"}},
      {"header in any order, empty fields, CRLF",
       "# batch\r\nmodel\tidentity\tchain\talignment\r\nm1.pdb\t40\tA\r\nm2.pdb\t\t_\tt.pir\r\nm3.pdb\r\n",
       {"m1.pdb|A||40.00", "m2.pdb|_|t.pir|", "m3.pdb|||"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> rows;
    for (const List_Entry& e : Parse_Model_List(c.text, "l.tsv")) rows.push_back(row(e));
    EXPECT_EQ(rows, c.expected) << c.label;
  }
}

TEST(ModelList, Refusals) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"model\tscore\n",
       "line 1 of the list 'l.tsv': unknown column 'score' (the columns are model, chain, "
       "alignment, identity)"},
      {"model\tchain\tchain\n", "line 1 of the list 'l.tsv': the column 'chain' is named twice"},
      {"model\tchain\nm.pdb\tA\tB\n", "line 2 of the list 'l.tsv' has 3 columns; the header names 2"},
      {"a.pdb\tA\n",
       "line 1 of the list 'l.tsv' has 2 columns: name them in a header line (model, chain, alignment, identity)"},
      {"model\tidentity\n\nm.pdb\t0x1A\n",
       "the identity on line 3 of the list 'l.tsv' must be a percentage from 0 to 100, not '0x1A'"},
      {"model\tchain\nm.pdb\tAB\n",
       "the chain on line 2 of the list 'l.tsv' must be one character ('_' for a blank chain) or 'all', not 'AB'"},
      {"model\talignment\tidentity\nm.pdb\ta.pir\t40\n",
       "line 2 of the list 'l.tsv' gives an alignment and an identity"},
      {"model\tchain\n\tA\n", "line 2 of the list 'l.tsv' names no model"},
  };
  for (const auto& [text, message] : cases) EXPECT_EQ(Refusal_Of([&] { Parse_Model_List(text, "l.tsv"); }), message);
}

TEST(Directories, StructureFilesSortedByName) {
  test_support::Temp_Dir dir;
  for (const char* name : {"b.pdb", "a.cif.gz", "C.ENT", "d.mmcif", "e.pdb.gz", "notes.txt", "f.pdb~", "pdb"})
    dir.Write(name, "");
  dir.Write("sub.pdb/x.pdb", "");
  const std::string base = dir.Path() + "/";
  EXPECT_EQ(Structure_Files_In(dir.Path()), (std::vector<std::string>{base + "C.ENT", base + "a.cif.gz", base + "b.pdb",
                                                                      base + "d.mmcif", base + "e.pdb.gz"}));
}

}  // namespace
}  // namespace catena
