#include "pg/class_lookup.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "common/fatal_error.hpp"
#include "pg/feature_file.hpp"

namespace pg {
namespace {

std::string Failure(const std::function<void()>& action) {
  try {
    action();
  } catch (const common::Fatal_Error& error) {
    return error.what();
  }
  return "(no failure)";
}

TEST(GetHistoClass, BinsValuesAndClampsToTheLastBin) {
  struct Case {
    double value;
    int bin;
  };
  // 0 to 1 by 0.25: 4 whole bins.
  const std::vector<double> min{0, 0}, max{1, 1}, bs{0.25, 0.1};
  const std::vector<int> num_bins{4, 9};
  for (const Case& c : std::vector<Case>{{-3, 0}, {0, 0}, {0.6, 2}, {1, 3}, {7, 3}})
    EXPECT_EQ(Get_Histo_Class(c.value, min, max, bs, num_bins, 0), c.bin) << c.value;
  // 0 to 1 by 0.1: 9 bins, and 0.95 (bin 9 by the quotient) lands in the last one.
  for (const Case& c : std::vector<Case>{{0.15, 1}, {0.85, 8}, {0.95, 8}, {0.9999, 8}})
    EXPECT_EQ(Get_Histo_Class(c.value, min, max, bs, num_bins, 1), c.bin) << c.value;
  EXPECT_EQ(Failure([&] { Get_Histo_Class(std::nan(""), min, max, bs, num_bins, 1); }),
            "feature value 2 is not a number\nprogram will exit !\n");
}

TEST(GetHistoClass, RoundsTheExtendedQuotientToDoubleBeforeTheFloor) {
  // (0.223 - 0) / 0.001 is 222.999999999999999 in extended precision and 223 once rounded to double.
  const std::vector<double> min{0}, max{1}, bs{0.001};
  const std::vector<int> num_bins{999};
  EXPECT_EQ(Get_Histo_Class(0.223, min, max, bs, num_bins, 0), 223);
  EXPECT_EQ(Get_Histo_Class(0.2226, min, max, bs, num_bins, 0), 222);
  // The difference is exact in extended precision: (0.5 - 0.1) / 0.1 gives 3, where double arithmetic gives 4.
  const std::vector<double> min2{0.1}, max2{10.1}, bs2{0.1};
  const std::vector<int> bins2{100};
  EXPECT_EQ(Get_Histo_Class(0.5, min2, max2, bs2, bins2, 0), 3);
  EXPECT_EQ(Get_Histo_Class(1.3, min2, max2, bs2, bins2, 0), 12);
}

TEST(GetMatrixIndex, WeighsEachDimensionByTheSizesBeforeIt) {
  EXPECT_EQ(Get_Matrix_Index(3, std::array{2, 3, 1}, std::array{4, 20, 2}), 94);
  EXPECT_EQ(Get_Matrix_Index(3, std::array{3, 7, 1}, std::array{9, 20, 2}), 246);
  EXPECT_EQ(Get_Matrix_Index(1, std::array{1}, std::array{2}), 1);
}

TEST(CenterOfMass, SquaredDistancesAndTheNearestClass) {
  const std::vector<std::vector<double>> centers{{1, 2}, {4, 6}};
  const std::array values{1.0, 2.0};
  EXPECT_EQ(Get_Distance_from_Center_of_Mass(values, centers, 0, 2), 0);
  EXPECT_EQ(Get_Distance_from_Center_of_Mass(values, centers, 1, 2), 25);
  EXPECT_EQ(Get_Distance_from_Center_of_Mass(values, centers, 1, 1), 9);  // only the first feature

  struct Case {
    std::array<double, 2> distances;
    int winner;
  };
  for (const Case& c : std::vector<Case>{
           {{4, 4}, 0}, {{9, 1}, 1}, {{1e17, 1e17}, 0}, {{2e17, 1e18}, 0}, {{1e17, 5}, 1}, {{std::nan(""), 5}, 1}})
    EXPECT_EQ(Classify_Using_Center_of_Mass(c.distances, 2), c.winner) << c.distances[0] << " " << c.distances[1];
}

TEST(GetClassId, MatchesNamesExactly) {
  const std::vector<std::string> names{"good", "bad"};
  EXPECT_EQ(Get_Class_Id(names, "good", 2), 0);
  EXPECT_EQ(Get_Class_Id(names, "bad", 2), 1);
  EXPECT_EQ(Failure([&] { Get_Class_Id(names, "Good", 2); }), "cannot find class name 'Good'\n\n");
  EXPECT_EQ(Failure([&] { Get_Class_Id(names, "bad", 1); }), "cannot find class name 'bad'\n\n");
}

// One feature of a single bin, two classes: the cell values are the table.
cPDF_Table Two_Cell_Table(double class0, double class1) {
  cPDF_Table t;
  t.classes_num = 2;
  t.class_names = {"good", "bad"};
  t.feat_num = 1;
  t.min = {0};
  t.max = {1};
  t.bs = {1};
  t.center_of_mass = {{0}, {3}};
  t.num_bins = {1, 2};
  t.dim_num = 2;
  t.mt_size = 2;
  t.cPDF = {class0, class1};
  return t;
}

TEST(LookUpCell, LargestPositiveValueWinsElseTheNearestCenter) {
  struct Case {
    double class0, class1;
    std::array<double, 2> distances;
    bool pdf_null;
    int winner;
  };
  for (const Case& c : std::vector<Case>{{0.3, 0.3, {9, 1}, false, 0},
                                         {0, 0.2, {1, 9}, false, 1},
                                         {0, 0, {9, 1}, true, 1},
                                         {0, 0, {4, 4}, true, 0},
                                         {-0.1, 0, {9, 1}, true, 1}}) {
    const cPDF_Table t = Two_Cell_Table(c.class0, c.class1);
    std::array<int, 2> histo_class{0, 0};
    const Cell_Lookup lookup = Look_Up_Cell(t, histo_class, c.distances);
    EXPECT_EQ(lookup.pdf_class, (std::vector<double>{c.class0, c.class1}));
    EXPECT_EQ(lookup.pdf_null, c.pdf_null) << c.class0 << " " << c.class1;
    EXPECT_EQ(lookup.tmp_d, c.winner) << c.class0 << " " << c.class1;
  }
}

TEST(LookUpRecord, GivesTheFirstClassValueAndUsesTheRecordDistances) {
  const cPDF_Table t = Two_Cell_Table(0, 0);
  EXPECT_EQ(Look_Up_Record(t, std::array{0.5}).cell.tmp_d, 0);  // distances 0.25 and 6.25
  EXPECT_EQ(Look_Up_Record(t, std::array{2.0}).cell.tmp_d, 1);  // distances 4 and 1
  EXPECT_EQ(Look_Up_Record(Two_Cell_Table(0.876, 0.1), std::array{0.5}).pG, 0.876);
  EXPECT_EQ(Failure([&] {
              Look_Up_Record(t, std::array{0.5, 0.5});
            }),
            "a record needs 1 feature values, 2 were given\nprogram will exit !\n");
}

Feature_Records Read_Records(const std::string& text, const cPDF_Table& table) {
  std::FILE* in = std::tmpfile();
  std::fputs(text.c_str(), in);
  std::rewind(in);
  struct Closer {
    std::FILE* f;
    ~Closer() { std::fclose(f); }
  } closer{in};
  return Read_Feature_Records(in, table, "m.in");
}

TEST(FeatureRecords, ReadsLabelledAndUnlabelledRecords) {
  cPDF_Table t = Two_Cell_Table(0, 0);
  t.feat_num = 2;
  const Feature_Records read = Read_Records("1 2 bad and more\n3\n4\ngood\n5 6\n", t);
  ASSERT_EQ(read.records.size(), 3u);
  EXPECT_EQ(read.records[0].values, (std::vector<double>{1, 2}));
  EXPECT_EQ(read.records[0].known_class, 1);
  EXPECT_EQ(read.records[1].values, (std::vector<double>{3, 4}));
  EXPECT_EQ(read.records[1].known_class, 0);  // the label may stand on the next line
  EXPECT_EQ(read.records[2].known_class, std::nullopt);
  EXPECT_FALSE(read.unknown_label);
  EXPECT_EQ(Read_Records("1 2 good\n7\n", t).records.size(), 1u);  // the incomplete record is dropped

  const Feature_Records stopped = Read_Records("1 2 good\n3 4 Bad\n5 6 good\n", t);
  EXPECT_EQ(stopped.records.size(), 1u);
  EXPECT_EQ(stopped.unknown_label, "Bad");
}

TEST(FeatureRecords, RefusesNanValuesAndTooManyLabelledRecords) {
  cPDF_Table t = Two_Cell_Table(0, 0);
  EXPECT_EQ(Failure([&] { Read_Records("1 good\nnan good\n", t); }),
            "feature 1 of record 2 in m.in is not a number\nprogram will exit !\n");
  std::string many;
  for (int i = 0; i < 10000; ++i) many += "0.5 good\n";
  EXPECT_EQ(Read_Records(many + "0.5\n", t).records.size(), 10001u);
  EXPECT_EQ(Failure([&] { Read_Records(many + "0.5 bad\n", t); }),
            "m.in holds more than 10000 labelled records\nprogram will exit !\n");
}

}  // namespace
}  // namespace pg
