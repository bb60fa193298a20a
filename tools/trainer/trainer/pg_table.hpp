// The pG table: a two-class cPDF table ("correct", "incorrect") over
// 1 - ZO341 and the chain length, estimated from labelled models.
//
// Estimator. Every model falls into the cell verdicta would look it up in
// (the same binning functions). For each cell, a square neighbourhood of
// Chebyshev radius r = 0, 1, ... bins grows until it holds at least
// `min_count` models or reaches `max_radius`. With n_c the models of class c
// in it and N_c all models of class c, the class densities are
// d_c = n_c / N_c (the neighbourhood's size cancels), and the posterior of
// "correct" under the prior P is
//     p = P d_0 / (P d_0 + (1 - P) d_1),
// then drawn toward the prior by `prior_weight` pseudo-models:
//     pG = (n p + w P) / (n + w),   n = n_0 + n_1.
// A cell with no model within the largest radius gets the prior. The
// "incorrect" value of a cell is 1 - pG. With P the training fraction of
// correct models, p is simply n_0 / n.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "pg/cpdf_table.hpp"

namespace trainer {

struct Labelled_Model {
  double one_minus_zo341 = 0;  // as verdicta reads it from its feature file
  double length = 0;
  bool correct = false;
};

struct Table_Settings {
  // Feature 0, 1 - ZO341, spans 0 to 1 (a range below 1 would give no bin);
  // 0.05 gives 19 bins, the last one holding 0.9 to 1.
  double zo_bin = 0.05;
  double length_max = 1000;
  double length_bin = 50;
  int min_count = 50;
  int max_radius = 2;
  double prior_weight = 1;
  std::optional<double> prior = std::nullopt;  // of "correct"; default: its training fraction
};

// Throws common::Fatal_Error for an empty set, a set lacking one class, a bad
// setting or a grid of more cells than verdicta reads.
pg::cPDF_Table Build_pG_Table(std::span<const Labelled_Model> models, const Table_Settings& settings);

// The table as verdicta reads it, values with 4 decimals.
std::string cPDF_Table_Text(const pg::cPDF_Table& table);

// Labelled models from a TSV with a header line naming at least the columns
// "class" (correct|incorrect), "one_minus_zo341" and "length". With `set`,
// only rows whose "set" column equals it are kept. Bad lines throw
// common::Fatal_Error naming the file and line.
std::vector<Labelled_Model> Read_Labelled_Models(const std::string& path, const std::optional<std::string>& set);

// Permutes the labels among the models (Fisher-Yates on a 32-bit Mersenne
// twister with this seed, the draw reduced by modulo so that the order is the
// same on every platform): the null model of the table.
void Shuffle_Labels(std::vector<Labelled_Model>& models, unsigned seed);

}  // namespace trainer
