// Option values: whole numbers, decimals and seeds are read strictly, so a
// value the option cannot hold is refused rather than cut down.
#include "trainer/command_line.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "common/fatal_error.hpp"

namespace trainer {
namespace {

TEST(OptionValues, StrictNumbers) {
  constexpr Option_Spec kSpecs[] = {{"jobs", "N", ""}, {"tm-cut", "X", ""}, {"seed", "SEED", ""}};
  using Read = std::function<double(const Option_Values&)>;
  const Read jobs = [](const Option_Values& o) { return static_cast<double>(o.Whole("jobs", 1, 1, 256)); };
  const Read seed32 = [](const Option_Values& o) { return static_cast<double>(o.Whole("seed", 0, 0, UINT_MAX)); };
  const Read tm_cut = [](const Option_Values& o) { return o.Number("tm-cut", 0.5, 0, 1); };
  const Read seed64 = [](const Option_Values& o) { return static_cast<double>(o.Seed("seed", 0)); };
  struct Row {
    std::vector<std::string> args;
    Read read;
    std::string expected;  // the value, or the error
  };
  const std::vector<Row> rows = {
      {{"--jobs", "256"}, jobs, "256"},
      {{"--jobs", "2.5"}, jobs, "--jobs: '2.5' is not a whole number from 1 to 256\n"},
      {{"--jobs", "0"}, jobs, "--jobs: '0' is not a whole number from 1 to 256\n"},
      {{"--seed", "4294967296"}, seed32, "--seed: '4294967296' is not a whole number from 0 to 4294967295\n"},
      {{"--tm-cut", ".5"}, tm_cut, "0.5"},
      {{"--tm-cut", "5e-1"}, tm_cut, "--tm-cut: '5e-1' is not a number from 0 to 1\n"},
      {{"--tm-cut", " 0.5"}, tm_cut, "--tm-cut: ' 0.5' is not a number from 0 to 1\n"},
      {{"--seed", "18446744073709551616"}, seed64, "--seed: '18446744073709551616' is not an unsigned integer\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args.back());
    std::string found;
    try {
      char text[32];
      std::snprintf(text, sizeof text, "%.17g", row.read(Parse_Options("test", row.args, kSpecs)));
      found = text;
    } catch (const common::Fatal_Error& error) {
      found = error.what();
    }
    EXPECT_EQ(found, row.expected);
  }
}

}  // namespace
}  // namespace trainer
