#include "trainer/calibration.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/format.hpp"

namespace trainer {

std::optional<double> Auc(std::span<const Scored_Model> models) {
  // Rank statistic: sort by pG, give each run of ties its mean rank.
  std::vector<Scored_Model> sorted(models.begin(), models.end());
  std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.pG < b.pG; });
  double rank_sum = 0;  // of the correct models, ranks from 1
  double correct = 0;
  for (std::size_t i = 0; i < sorted.size();) {
    std::size_t j = i;
    while (j < sorted.size() && sorted[j].pG == sorted[i].pG) ++j;
    const double mean_rank = (static_cast<double>(i + 1) + static_cast<double>(j)) / 2;
    for (std::size_t k = i; k < j; ++k)
      if (sorted[k].correct) {
        rank_sum += mean_rank;
        correct += 1;
      }
    i = j;
  }
  const double incorrect = static_cast<double>(sorted.size()) - correct;
  if (correct == 0 || incorrect == 0) return std::nullopt;
  return (rank_sum - correct * (correct + 1) / 2) / (correct * incorrect);
}

Calibration Calibrate(std::span<const Scored_Model> models) {
  Calibration bins{};
  for (const Scored_Model& model : models) {
    const long hundredths = std::lround(model.pG * 100);
    const std::size_t k = static_cast<std::size_t>(std::clamp(hundredths / 10, 0L, 9L));
    ++bins[k].count;
    bins[k].correct += model.correct ? 1 : 0;
    bins[k].pG_sum += model.pG;
  }
  return bins;
}

double Worst_Calibration_Gap(const Calibration& calibration, int min_count) {
  double worst = 0;
  for (const Calibration_Bin& bin : calibration)
    if (bin.count >= min_count) worst = std::max(worst, std::fabs(bin.Observed() - bin.Mean_pG()));
  return worst;
}

std::string Calibration_Markdown(const Calibration& calibration) {
  std::string text =
      "| predicted pG | models | correct | mean pG | observed fraction correct |\n"
      "|---|---|---|---|---|\n";
  for (std::size_t k = 0; k < calibration.size(); ++k) {
    const Calibration_Bin& bin = calibration[k];
    const std::string range = common::Format("%.1f to %.1f", k / 10.0, (k + 1) / 10.0);
    if (bin.count == 0) {
      text += "| " + range + " | 0 | 0 | | |\n";
      continue;
    }
    text += common::Format("| %s | %d | %d | %.3f | %.3f |\n", range.c_str(), bin.count, bin.correct, bin.Mean_pG(),
                           bin.Observed());
  }
  return text;
}

namespace {

// Plot area: x and y from 0 to 1 mapped to a 360-pixel square.
constexpr double kLeft = 70, kTop = 40, kSide = 360;
double X(double v) { return kLeft + v * kSide; }
double Y(double v) { return kTop + (1 - v) * kSide; }

std::string Series(const Calibration& calibration, const char* colour, const char* name, double legend_y) {
  std::string points;
  std::string marks;
  for (const Calibration_Bin& bin : calibration) {
    if (bin.count == 0) continue;
    const double x = X(bin.Mean_pG()), y = Y(bin.Observed());
    points += common::Format("%s%.1f,%.1f", points.empty() ? "" : " ", x, y);
    const double radius = 3 + 2 * std::log10(static_cast<double>(bin.count));
    marks += common::Format("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"%.1f\" fill=\"%s\"/>\n", x, y, radius, colour);
    marks += common::Format("<text x=\"%.1f\" y=\"%.1f\" font-size=\"10\" fill=\"%s\">%d</text>\n", x + radius + 2,
                            y - 2, colour, bin.count);
  }
  std::string text = common::Format("<polyline points=\"%s\" fill=\"none\" stroke=\"%s\" stroke-width=\"1.5\"/>\n",
                                    points.c_str(), colour);
  text += marks;
  text += common::Format("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"4\" fill=\"%s\"/>\n", X(0.55), Y(legend_y), colour);
  text +=
      common::Format("<text x=\"%.1f\" y=\"%.1f\" font-size=\"12\">%s</text>\n", X(0.55) + 10, Y(legend_y) + 4, name);
  return text;
}

std::string Xml_Text(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    if (c == '<') {
      escaped += "&lt;";
    } else if (c == '>') {
      escaped += "&gt;";
    } else if (c == '&') {
      escaped += "&amp;";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

}  // namespace

std::string Calibration_Svg(const Calibration& calibration, const Calibration* null, const std::string& title) {
  std::string svg =
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"460\" height=\"460\" viewBox=\"0 0 460 460\" "
      "font-family=\"sans-serif\">\n<rect width=\"460\" height=\"460\" fill=\"white\"/>\n";
  svg += common::Format("<text x=\"230\" y=\"24\" font-size=\"14\" text-anchor=\"middle\">%s</text>\n",
                        Xml_Text(title).c_str());
  for (int i = 0; i <= 10; ++i) {
    const double v = i / 10.0;
    svg += common::Format("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#ddd\"/>\n", X(v), Y(0), X(v),
                          Y(1));
    svg += common::Format("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#ddd\"/>\n", X(0), Y(v), X(1),
                          Y(v));
    if (i % 2 == 0) {
      svg += common::Format("<text x=\"%.1f\" y=\"%.1f\" font-size=\"10\" text-anchor=\"middle\">%.1f</text>\n", X(v),
                            Y(0) + 14, v);
      svg += common::Format("<text x=\"%.1f\" y=\"%.1f\" font-size=\"10\" text-anchor=\"end\">%.1f</text>\n", X(0) - 4,
                            Y(v) + 3, v);
    }
  }
  svg += common::Format("<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"none\" stroke=\"black\"/>\n",
                        X(0), Y(1), kSide, kSide);
  svg += common::Format(
      "<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"gray\" stroke-dasharray=\"4 3\"/>\n", X(0), Y(0),
      X(1), Y(1));
  svg += common::Format(
      "<text x=\"%.1f\" y=\"%.1f\" font-size=\"12\" text-anchor=\"middle\">mean predicted pG "
      "(bins of 0.1)</text>\n",
      X(0.5), Y(0) + 32);
  svg += common::Format(
      "<text x=\"18\" y=\"%.1f\" font-size=\"12\" text-anchor=\"middle\" transform=\"rotate(-90 18 %.1f)\">observed "
      "fraction correct</text>\n",
      Y(0.5), Y(0.5));
  svg += Series(calibration, "#1f5fa8", "trained table", 0.12);
  if (null) svg += Series(*null, "#c0392b", "null: shuffled labels", 0.05);
  svg += "</svg>\n";
  return svg;
}

}  // namespace trainer
