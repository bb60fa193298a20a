// How well pG separates and estimates: the AUC of correct against incorrect
// models, and the calibration of pG against the observed fraction correct.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>

namespace trainer {

struct Scored_Model {
  double pG = 0;  // as verdicta prints it (two decimals)
  bool correct = false;
};

// Probability that a correct model scores above an incorrect one, ties
// counting one half; none without models of both classes.
std::optional<double> Auc(std::span<const Scored_Model> models);

// Predicted pG in bins of 0.1: bin k holds 0.1 k <= pG < 0.1 (k + 1), the
// last one also 1. Bins are taken from pG's hundredths so that 0.30 is in
// bin 3 whatever its binary value.
struct Calibration_Bin {
  int count = 0;
  int correct = 0;
  double pG_sum = 0;
  double Mean_pG() const { return count ? pG_sum / count : 0; }
  double Observed() const { return count ? static_cast<double>(correct) / count : 0; }
};
using Calibration = std::array<Calibration_Bin, 10>;
Calibration Calibrate(std::span<const Scored_Model> models);

// The largest |observed - mean pG| over bins holding at least `min_count`
// models (0 when there is none).
double Worst_Calibration_Gap(const Calibration& calibration, int min_count);

// A markdown table: bin, models, correct, mean pG, observed fraction.
std::string Calibration_Markdown(const Calibration& calibration);

// A reliability diagram: observed fraction correct against mean pG per bin,
// the diagonal, and the bins' counts; `null` (if given) drawn as a second
// series. Fixed formats, so the same figures give the same file.
std::string Calibration_Svg(const Calibration& calibration, const Calibration* null, const std::string& title);

}  // namespace trainer
