#include "common/fatal_error.hpp"

#include <gtest/gtest.h>

namespace common {
namespace {

// Each way a program closes its failure text, byte for byte; the message alone
// never carries the closing words.
TEST(Fatal_Error, TextIsLeadMessageAndEnding) {
  const struct {
    Ending ending;
    const char* message;
    const char* text;
  } cases[] = {
      {kExitBang, "cannot open 'x'", "cannot open 'x'\nprogram will exit !\n"},
      {kExitPeriod, "file not found 'x'.", "file not found 'x'. Program will exit.\n\n"},
      {kFinishNow, "cannot open file 'p' for reading",
       "cannot open file 'p' for reading\nprogram will finish now.\n\n"},
      {kExitPlain, "no position", "no position\nprogram will exit\n"},
      {kBlankLine, "cannot read cPDFs data", "cannot read cPDFs data\n\n"},
      {kLineEnd, "a.tsv is empty", "a.tsv is empty\n"},
      {kNoEnding, "unknown option '-x'", "unknown option '-x'"},
      {{.after = "\n\n", .lead = "\n"}, "__Error: no CB\n(reported from F)", "\n__Error: no CB\n(reported from F)\n\n"},
  };
  for (const auto& c : cases) {
    const Fatal_Error error(c.ending, c.message);
    EXPECT_STREQ(error.what(), c.text);
    EXPECT_EQ(error.Message(), c.message);
  }
}

TEST(Fatal_Error, PrefixGoesBeforeTheWholeText) {
  const Fatal_Error error = Fatal_Error({.after = "\n\n", .lead = "\n"}, "__Error: no CB").Prefixed("line 3: ");
  EXPECT_STREQ(error.what(), "line 3: \n__Error: no CB\n\n");
  try {
    Fail(kExitBang, "%d of %s", 2, "3");
  } catch (const Fatal_Error& thrown) {
    EXPECT_STREQ(thrown.what(), "2 of 3\nprogram will exit !\n");
  }
}

}  // namespace
}  // namespace common
