#include "catena/options.hpp"

#include <gtest/gtest.h>

#include "catena/batch.hpp"
#include "catena/pipeline.hpp"
#include "common/fatal_error.hpp"

namespace catena {
namespace {

std::string Refusal(const std::vector<std::string>& args) {
  try {
    Parse_Arguments(args, "/data");
  } catch (const common::Fatal_Error& e) {
    return One_Line(e.Message());
  }
  return "(accepted)";
}

TEST(Options, DefaultsAndValues) {
  unsetenv("SHUFFLE_SEED");
  const Options plain = Parse_Arguments({"m1.pdb", "m2.pdb"}, "/data");
  EXPECT_EQ(plain.models, (std::vector<std::string>{"m1.pdb", "m2.pdb"}));
  EXPECT_EQ(plain.chain, "");  // each file's first ATOM record's chain
  EXPECT_EQ(plain.pair_potential, "/data/pair.potential");
  EXPECT_EQ(plain.surface_potential, "/data/surface.potential");
  EXPECT_EQ(plain.table, "/data/pg.cpdf");
  EXPECT_TRUE(plain.bundled_tables);
  EXPECT_FALSE(plain.seed.has_value());
  EXPECT_EQ(plain.jobs, 1);
  EXPECT_EQ(plain.format, Output_Format::Tsv);

  const Options full = Parse_Arguments({"--chain",
                                        "B",
                                        "--identity=37.5",
                                        "--pair-potential",
                                        "p",
                                        "--surface-potential",
                                        "s",
                                        "--table",
                                        "t",
                                        "--seed",
                                        "42",
                                        "-j2",
                                        "--keep",
                                        "k",
                                        "--format",
                                        "json",
                                        "-o",
                                        "out.json",
                                        "--",
                                        "-odd-name.pdb"},
                                       "/data");
  EXPECT_EQ(full.chain, "B");
  EXPECT_EQ(full.identity, "37.50");
  EXPECT_EQ(full.pair_potential, "p");
  EXPECT_FALSE(full.bundled_tables);
  EXPECT_EQ(full.seed, 42U);
  EXPECT_EQ(full.jobs, 2);
  EXPECT_EQ(full.keep_dir, "k");
  EXPECT_EQ(full.format, Output_Format::Json);
  EXPECT_EQ(full.output, "out.json");
  EXPECT_EQ(full.models, (std::vector<std::string>{"-odd-name.pdb"}));
}

TEST(Options, SeedFromTheEnvironmentUnlessGiven) {
  setenv("SHUFFLE_SEED", "9", 1);
  EXPECT_EQ(Parse_Arguments({"m.pdb"}, "/d").seed, 9U);
  EXPECT_EQ(Parse_Arguments({"--seed", "3", "m.pdb"}, "/d").seed, 3U);
  unsetenv("SHUFFLE_SEED");
}

TEST(Options, Refusals) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{}, "no model file given"},
      {{"--bogus", "m.pdb"}, "unknown option '--bogus'"},
      {{"m.pdb", "--chain"}, "option '--chain' needs a value"},
      {{"--chain", "", "m.pdb"}, "the chain identifier is empty: give '_' for a chain without identifier"},
      {{"--format", "xml", "m.pdb"}, "--format must be tsv or json, not 'xml'"},
      {{"-j", "0", "m.pdb"}, "-j must be a whole number from 1 to 256, not '0'"},
      {{"-j", "2x", "m.pdb"}, "-j must be a whole number from 1 to 256, not '2x'"},
      {{"--seed", "-1", "m.pdb"}, "--seed must be an unsigned integer from 0 to 4294967295, not '-1'"},
      {{"--identity", "101", "m.pdb"}, "--identity must be a percentage from 0 to 100, not '101'"},
      {{"--identity", "4o", "m.pdb"}, "--identity must be a percentage from 0 to 100, not '4o'"},
      {{"--identity", "40", "--alignment", "a.pir", "m.pdb"}, "give --alignment or --identity, not both"},
      {{"--profile=", "m.pdb"}, "--profile needs a folder name"},
      {{"--report=", "m.pdb"}, "--report needs a file name"},
  };
  for (const auto& [args, message] : cases) EXPECT_EQ(Refusal(args), message);
  EXPECT_TRUE(Parse_Arguments({"--help"}, "/d").help);
  EXPECT_TRUE(Parse_Arguments({"--version"}, "/d").version);
}

TEST(KeepFolders, RepeatedFileNamesAreNumbered) {
  EXPECT_EQ(Keep_Folder_Names({"a/m.pdb", "b/m.pdb", "n.pdb", "c/m.pdb"}),
            (std::vector<std::string>{"m.pdb", "m.pdb.2", "n.pdb", "m.pdb.3"}));
}

}  // namespace
}  // namespace catena
