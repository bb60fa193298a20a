// The assessment steps against the programs: a step's files are the files its
// program writes, and the value it passes on is what the next program reads
// from them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "combine/score_file.hpp"
#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/model_files.hpp"
#include "descriptors/alignment.hpp"
#include "descriptors/chain_length.hpp"
#include "descriptors/compactness.hpp"
#include "energy/energy_tool.hpp"
#include "structure/structure_text.hpp"
#include "structure/structure_tool.hpp"
#include "support/run_tool.hpp"

namespace {

namespace model_files = common::model_files;
using test_support::Temp_Dir;

const std::string kPairPotential = FOLD_SOURCE_DIR "/data/default/pair.potential";
const std::string kSurfacePotential = FOLD_SOURCE_DIR "/data/default/surface.potential";
constexpr unsigned kSeed = 7;

structure::Atom_List Chain_Of_1enh() {
  return structure::Load_Chain({test_support::Test_Data("1enh.pdb")}, structure::Get_AA_Type, {stdout, nullptr, ""});
}

// What the next program reads from a step's file.
std::vector<double> Read_Back(const std::string& text, std::size_t lines) {
  const common::File file(fmemopen(const_cast<char*>(text.data()), text.size(), "r"));
  return combine::Read_Score_Lines(file.get(), lines, "step file");
}

// The bundled tables, loaded once.
struct Energies_Of {
  energy::MFP_Table pair = energy::Load_Potential(energy::Pair_Table_Shape(), kPairPotential);
  energy::MFP_Table surface = energy::Load_Potential(energy::Surface_Table_Shape(), kSurfacePotential);
  common::Step_Result<energy::Energy_Values> Run(const energy::Energy_Tool& tool) const {
    return energy::Energy_Step(tool, Chain_Of_1enh(), &tool == &energy::kPairTool ? pair : surface,
                               energy::Seed_Source{kSeed}, "1enh.pdb", '_');
  }
};
const Energies_Of& Bundled() {
  static const Energies_Of energies;
  return energies;
}

TEST(Steps, FilesAreTheProgramsFiles) {
  const Energies_Of& energies = Bundled();
  struct Row {
    std::string program;
    std::vector<std::string> args;
    std::string stem;  // the files are named after it
    std::function<std::vector<common::Step_File>()> step;
  };
  const std::vector<Row> rows = {
      {"vicina", {kPairPotential, "1enh.pdb"}, "1enh.pdb", [&] { return energies.Run(energy::kPairTool).files; }},
      {"exposa", {kSurfacePotential, "1enh.pdb"}, "1enh.pdb", [&] { return energies.Run(energy::kSurfaceTool).files; }},
      {"resitally", {"1enh.pdb"}, "1enh.pdb", [] { return descriptors::Length_Step(Chain_Of_1enh()).files; }},
      {"rotunda", {"1enh.pdb"}, "1enh.pdb", [] { return descriptors::Compactness_Step(Chain_Of_1enh()).files; }},
      {"kinrate",
       {"1enh.pir"},
       "1enh.pir",
       [] {
         return descriptors::Identity_Step(FOLD_SOURCE_DIR "/data/example/1enh.pir", common::File(tmpfile()).get())
             .files;
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.program);
    Temp_Dir dir;
    dir.Copy_In(test_support::Test_Data("1enh.pdb"), "1enh.pdb");
    dir.Copy_In(FOLD_SOURCE_DIR "/data/example/1enh.pir", "1enh.pir");
    const auto run =
        test_support::Run_Tool(row.program, row.args, dir.Path(), {{"SHUFFLE_SEED", std::to_string(kSeed)}});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> written;
    for (const common::Step_File& file : row.step()) {
      written.push_back(model_files::Name(row.stem, file.suffix));
      EXPECT_EQ(dir.Read(written.back()), file.text) << written.back();
    }
    // ... and no file of the program is missing from the step.
    for (const std::string& name : dir.List()) {
      if (name == "1enh.pdb" || name == "1enh.pir" || name == "log" || name == "pdbfile.tmp") continue;
      EXPECT_NE(std::find(written.begin(), written.end(), name), written.end()) << name;
    }
  }
}

TEST(Steps, ValuesPassOnAsTheFilesCarryThem) {
  const Energies_Of& energies = Bundled();
  const auto pair = energies.Run(energy::kPairTool);
  const auto surface = energies.Run(energy::kSurfaceTool);
  const auto length = descriptors::Length_Step(Chain_Of_1enh());
  const auto compactness = descriptors::Compactness_Step(Chain_Of_1enh());
  const auto identity =
      descriptors::Identity_Step(FOLD_SOURCE_DIR "/data/example/1enh.pir", common::File(tmpfile()).get());
  struct Row {
    std::string label;
    std::vector<double> passed_on;
    std::string text;
  };
  const std::vector<Row> rows = {
      {"pair native", {pair.value.filed.native}, pair.Text(model_files::kPairNative)},
      {"pair shuffles", pair.value.filed.shuffled, pair.Text(model_files::kPairRandom)},
      {"surface native", {surface.value.filed.native}, surface.Text(model_files::kSurfaceNative)},
      {"surface shuffles", surface.value.filed.shuffled, surface.Text(model_files::kSurfaceRandom)},
      {"length", {length.value}, length.Text(model_files::kLength)},
      {"compactness", {compactness.value}, compactness.Text(model_files::kCompactness)},
      {"identity fraction", {identity.value.fraction}, identity.Text(model_files::kIdentity)},
      {"identity percent", {identity.value.percent}, identity.value.percent_line},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    ASSERT_FALSE(row.passed_on.empty());
    EXPECT_EQ(row.passed_on, Read_Back(row.text, row.passed_on.size()));
  }
  EXPECT_EQ(pair.value.filed.shuffled.size(), static_cast<std::size_t>(energy::kShuffles));
  // The program's line shows the energy as computed, not as filed.
  EXPECT_NE(pair.value.computed.native, pair.value.filed.native);
  EXPECT_EQ(identity.value.percent_line, "48.00\n");
}

TEST(Steps, PercentLineFromTheFiledFraction) {
  for (const auto& [fraction, line] : std::vector<std::pair<double, std::string>>{
           {0.75, "75.00\n"}, {0.33, "33.00\n"}, {1.0, "100.00\n"}, {0.0, "0.00\n"}})
    EXPECT_EQ(descriptors::Identity_Percent_Line(fraction), line);
}

TEST(ReadChain, FailuresThatCatenaReports) {
  Temp_Dir dir;
  const std::string text = *structure::Load_Structure_Text(test_support::Test_Data("1enh.pdb"));
  struct Row {
    std::optional<std::string> text;
    std::string error;
  };
  // Without the text the reader notes it and fails; a driver that requires
  // the temporary file fails rather than parse the whole input.
  const std::vector<Row> rows = {{std::nullopt, "file not found 'm.pdb'"}, {text, "cannot create the file"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.error);
    const common::File notes(tmpfile());
    const structure::Reader_Io io{notes.get(), nullptr, dir.File("no/pdbfile.tmp"), true};
    EXPECT_THAT([&] { structure::Read_Chain("m.pdb", row.text, {'_'}, structure::Get_AA_Type, io); },
                testing::ThrowsMessage<common::Fatal_Error>(testing::HasSubstr(row.error)));
  }
}

}  // namespace
