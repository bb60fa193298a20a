// The help text to manual page conversion: each row is a layout rule whose
// breaking would garble a page (or --help) without failing the build.
#include "text_to_man.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Layout_Case {
  std::string label;
  std::string text;
  std::vector<std::string> present = {};  // fragments of the page
  std::vector<std::string> absent = {};
  std::string error = {};  // a fragment of the refusal, when refused
};

const man::Page_Info kInfo{"tool", "1", "2026-12-08", "9.8.7"};

TEST(Text_To_Man, Layout_Rules) {
  const std::vector<Layout_Case> cases = {
      {"title line, NAME and synopsis",
       "Usage: tool A B\n       tool --help\n\nCounts things.\n",
       {".TH TOOL 1 2026-12-08 \"fold_assess 9.8.7\" \"Fold assessment suite\"\n.SH NAME\ntool \\- counts things\n"
        ".SH SYNOPSIS\n.nf\ntool A B\ntool \\-\\-help\n.fi\n"}},
      {"an acronym keeps its case", "ZO341 of a model.\n", {"tool \\- ZO341 of a model\n"}},
      {"column-0 paragraphs form the description, one .PP between",
       "Sum.\n\nFirst\nparagraph.\n\nSecond.\n",
       {".SH DESCRIPTION\nFirst\nparagraph.\n.PP\nSecond.\n"},
       {".SH DESCRIPTION\n.PP"}},
      {"a heading needs an indented next line",
       "Sum.\n\nFields follow:\nat column 0.\n\nFiles:\n  NAME.x  written\n",
       {"Fields follow:\nat column 0.\n", ".SH FILES\n.TP\n\\fBNAME.x\\fR\nwritten\n"},
       {".SH FIELDS"}},
      {"two-column item with a continuation",
       "Sum.\n\nOptions:\n  --seed N   the seed,\n             else the clock\n  -j N       jobs\n",
       {".TP\n\\fB\\-\\-seed N\\fR\nthe seed,\nelse the clock\n.TP\n\\fB\\-j N\\fR\njobs\n"}},
      {"term on its own line, description below",
       "Sum.\n\nArguments:\n  protein_name\n      the PDB file\n",
       {".TP\n\\fBprotein_name\\fR\nthe PDB file\n"}},
      {"indented paragraph after items starts with .PP",
       "Sum.\n\nFiles:\n  a.txt    read\n\n  Files are\n  small.\n",
       {"read\n.PP\nFiles are\nsmall.\n"}},
      {"a block indented by 4 stands as it is",
       "Sum.\n\nExample:\n    catena  -j 2 a.pdb\n      .hidden\n",
       {".SH EXAMPLE\n.RS 4\n.nf\ncatena  \\-j 2 a.pdb\n  .hidden\n.fi\n.RE\n"}},
      {"backslash, leading period and apostrophe are escaped",
       "Sum.\n\nNotes:\n  printf '\\t'\n  .5 is read\n  'quoted\n",
       {"printf '\\et'\n\\&.5 is read\n\\&'quoted\n"}},
      {"long filled lines are cut at blanks",
       "Sum.\n\n" + std::string(70, 'a') + " " + std::string(20, 'b') + " .c\n",
       {std::string(70, 'a') + "\n" + std::string(20, 'b') + " .c\n"}},
      {"indentation of 3 is refused", "Sum.\n\nFiles:\n   a  b\n", {}, {}, "line 4: indented text"},
      {"a tab is refused", "Sum.\n\nFiles:\n  a\tb\n", {}, {}, "line 4: a tab"},
      {"no summary line", "Usage: tool\n", {}, {}, "expected the one-line summary"},
      {"a summary of two lines", "Usage: tool\n\nOne\ntwo.\n", {}, {}, "line 3: expected the one-line summary"},
  };
  for (const Layout_Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::string page;
    try {
      page = man::Text_To_Man(c.text, kInfo);
    } catch (const man::Layout_Error& error) {
      EXPECT_NE(c.error, "") << error.what();
      EXPECT_NE(std::string(error.what()).find(c.error), std::string::npos) << error.what();
      continue;
    }
    EXPECT_EQ(c.error, "") << page;
    for (const std::string& fragment : c.present) EXPECT_NE(page.find(fragment), std::string::npos) << page;
    for (const std::string& fragment : c.absent) EXPECT_EQ(page.find(fragment), std::string::npos) << page;
  }
}

}  // namespace
