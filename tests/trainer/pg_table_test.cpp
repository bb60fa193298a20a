#include "trainer/pg_table.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "common/fatal_error.hpp"
#include "pg/class_lookup.hpp"
#include "support/run_tool.hpp"

namespace trainer {
namespace {

// Reads a table text back as verdicta does.
pg::cPDF_Table Read_Back(const std::string& text) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(fmemopen(const_cast<char*>(text.data()), text.size(), "r"),
                                                     &std::fclose);
  return pg::Read_cPDF_Table(in.get(), nullptr);
}

double Looked_Up_pG(const pg::cPDF_Table& table, double one_minus_zo341, double length) {
  const double values[2] = {one_minus_zo341, length};
  return pg::Look_Up_Record(table, values).pG;
}

// Models at the centre of cell (b0, b1) of the default grid (bins 0.05 by 50).
std::vector<Labelled_Model> At(int b0, int b1, int correct, int incorrect) {
  std::vector<Labelled_Model> models;
  for (int i = 0; i < correct + incorrect; ++i) models.push_back({0.05 * b0 + 0.025, 50.0 * b1 + 25, i < correct});
  return models;
}

std::vector<Labelled_Model> Join(std::initializer_list<std::vector<Labelled_Model>> parts) {
  std::vector<Labelled_Model> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(PgTable, PosteriorPerCell) {
  struct Case {
    const char* fault;
    std::vector<Labelled_Model> models;
    Table_Settings settings;
    int b0, b1;
    double pG;
  };
  const std::vector<Case> cases = {
      {"counts of the cell itself",
       Join({At(2, 3, 3, 1), At(15, 3, 0, 4)}),
       {.min_count = 1, .prior_weight = 0},
       2,
       3,
       0.75},
      {"classes swapped or blocks misordered",
       Join({At(2, 3, 3, 1), At(15, 3, 0, 4)}),
       {.min_count = 1, .prior_weight = 0},
       15,
       3,
       0.0},
      {"thin cell borrows its neighbours",
       Join({At(5, 5, 2, 0), At(15, 15, 0, 2)}),
       {.min_count = 2, .max_radius = 1, .prior_weight = 0},
       6,
       4,
       1.0},
      {"radius capped: the prior",
       Join({At(5, 5, 2, 0), At(15, 15, 0, 2)}),
       {.min_count = 2, .max_radius = 0, .prior_weight = 0},
       6,
       4,
       0.5},
      {"neighbourhood stops growing once full",
       Join({At(5, 5, 2, 0), At(7, 5, 0, 8)}),
       {.min_count = 2, .max_radius = 2, .prior_weight = 0},
       5,
       5,
       1.0},
      {"pseudo-models pull toward the prior",
       Join({At(1, 1, 1, 0), At(9, 9, 1, 2)}),
       {.min_count = 1, .max_radius = 0, .prior_weight = 1},
       1,
       1,
       0.75},
      {"given prior weighs the class densities",
       Join({At(1, 1, 2, 1), At(9, 9, 2, 0)}),
       {.min_count = 1, .max_radius = 0, .prior_weight = 0, .prior = 0.5},
       1,
       1,
       1.0 / 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    const pg::cPDF_Table table = Read_Back(cPDF_Table_Text(Build_pG_Table(c.models, c.settings)));
    const double pG = Looked_Up_pG(table, 0.05 * c.b0 + 0.025, 50.0 * c.b1 + 25);
    EXPECT_NEAR(pG, c.pG, 5e-5);
    // The second class holds the complement at the same cell.
    int bins[3] = {c.b0, c.b1, 1};
    EXPECT_NEAR(table.cPDF[pg::Get_Matrix_Index(3, bins, table.num_bins)], 1 - c.pG, 5e-5);
  }
}

TEST(PgTable, GridAndCentersAsVerdictaReadsThem) {
  const std::vector<Labelled_Model> models = {{0.1, 100, true}, {0.3, 200, true}, {0.97, 400, false}};
  const pg::cPDF_Table table = Read_Back(cPDF_Table_Text(Build_pG_Table(models, {.min_count = 1})));
  // 1 / 0.05 in extended precision falls below 20: 19 bins, the last up to 1.
  EXPECT_EQ(table.num_bins, (std::vector<int>{19, 20, 2}));
  EXPECT_EQ(table.mt_size, 760);
  EXPECT_EQ(table.class_names, (std::vector<std::string>{"correct", "incorrect"}));
  EXPECT_EQ(table.center_of_mass, (std::vector<std::vector<double>>{{0.2, 150}, {0.97, 400}}));
  EXPECT_DOUBLE_EQ(table.bs[0], 0.05);
  // 0.97 lies past the 19th bin's end yet is counted in the last bin.
  EXPECT_LT(Looked_Up_pG(table, 0.97, 400), 0.5);
}

TEST(PgTable, Refusals) {
  struct Case {
    const char* fault;
    std::vector<Labelled_Model> models;
    Table_Settings settings;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"empty set", {}, {}, "empty"},
      {"one class only", {{0.1, 100, true}}, {}, "both classes"},
      {"more cells than verdicta reads", {{0.1, 100, true}, {0.9, 100, false}}, {.zo_bin = 0.001}, "10000 cells"},
      {"bad prior", {{0.1, 100, true}, {0.9, 100, false}}, {.prior = 1.0}, "prior"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    try {
      Build_pG_Table(c.models, c.settings);
      ADD_FAILURE() << "accepted";
    } catch (const common::Fatal_Error& error) {
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
    }
  }
}

TEST(PgTable, DeterministicTextAndShuffle) {
  std::vector<Labelled_Model> models = Join({At(2, 3, 30, 5), At(12, 6, 4, 40), At(8, 8, 10, 10)});
  const std::string text = cPDF_Table_Text(Build_pG_Table(models, {}));
  EXPECT_EQ(text, cPDF_Table_Text(Build_pG_Table(models, {})));

  std::vector<Labelled_Model> once = models, twice = models, other = models;
  Shuffle_Labels(once, 7);
  Shuffle_Labels(twice, 7);
  Shuffle_Labels(other, 8);
  auto labels = [](const std::vector<Labelled_Model>& set) {
    std::string bits;
    for (const auto& model : set) bits += model.correct ? '1' : '0';
    return bits;
  };
  EXPECT_EQ(labels(once), labels(twice));
  EXPECT_NE(labels(once), labels(other));
  EXPECT_NE(labels(once), labels(models));
  const std::string shuffled = labels(once);
  EXPECT_EQ(std::count(shuffled.begin(), shuffled.end(), '1'), 44);
}

}  // namespace
}  // namespace trainer

namespace trainer {
namespace {

TEST(LabelledTsv, ReadsByColumnNameAndRefusesBadRows) {
  const std::string header = "# made by hand\nmodel\tset\tlength\tclass\tone_minus_zo341\n";
  const test_support::Temp_Dir dir;
  const std::string path = dir.File("labelled.tsv");
  dir.Write("labelled.tsv", header +
                                "a\ttrain\t65\tcorrect\t0.000\n\n"
                                "b\theld-out\t120\tincorrect\t0.998\n"
                                "c\ttrain\t80\tincorrect\t1.000\n");
  const std::vector<Labelled_Model> train = Read_Labelled_Models(path, "train");
  ASSERT_EQ(train.size(), 2U);
  EXPECT_TRUE(train[0].correct);
  EXPECT_EQ(train[1].length, 80);
  EXPECT_EQ(Read_Labelled_Models(path, std::nullopt).size(), 3U);

  struct Case {
    const char* fault;
    std::string text;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"unknown class", header + "a\ttrain\t65\tgood\t0.1\n", "line 3: the class is 'good'"},
      {"not a number", header + "a\ttrain\t65x\tcorrect\t0.1\n", "line 3: column 'length' holds '65x'"},
      {"missing field", header + "a\ttrain\t65\tcorrect\n", "line 3: 4 fields, the header has 5"},
      {"missing column", "model\tclass\tlength\n", "no column 'one_minus_zo341'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    dir.Write("bad.tsv", c.text);
    const std::string bad = dir.File("bad.tsv");
    try {
      Read_Labelled_Models(bad, std::nullopt);
      ADD_FAILURE() << "accepted";
    } catch (const common::Fatal_Error& error) {
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
    }
  }
}

}  // namespace
}  // namespace trainer
