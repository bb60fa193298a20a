#include "catena/profile_files.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <unordered_map>

#include "common/format.hpp"
#include "common/scan.hpp"

namespace catena {
namespace {

std::string Chain_Name(char chain) { return chain == '_' || chain == ' ' ? "_" : std::string(1, chain); }

// The values the model file and the plot show: the first window's smoothed
// combined energy, or the raw one when there is no window.
const std::vector<double>& Shown_Values(const energy::Residue_Profile& profile, std::vector<double>& raw) {
  if (!profile.smoothed.empty()) return profile.smoothed.front().combined;
  raw.clear();
  for (const energy::Residue_Energy& r : profile.residues) raw.push_back(r.combined);
  return raw;
}

// A step of 1, 2 or 5 times a power of ten giving about `count` intervals.
double Nice_Step(double span, int count) {
  const double raw = span / count;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double m : {1.0, 2.0, 5.0})
    if (m * power >= raw) return m * power;
  return 10.0 * power;
}

// A coordinate with one decimal (as "%.1f"), without the sign of a negative zero.
void Append_Number(std::string& text, double value) {
  char digits[32];
  const auto end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 1).ptr;
  const std::string_view number(digits, static_cast<std::size_t>(end - digits));
  text += number == "-0.0" ? "0.0" : number;
}

std::string Number(double value) {
  std::string number;
  Append_Number(number, value);
  return number;
}

// Appends `value` as printf's "%<width>.<decimals>f" writes it. std::to_chars
// rounds the exact binary value, ties to even, as printf does, at a fraction
// of the cost; anything unusual goes to printf.
void Append_Fixed(std::string& text, double value, int width, int decimals) {
  if (std::isfinite(value) && std::fabs(value) < 1e15) {
    char digits[32];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
    if (error == std::errc()) {
      const auto length = static_cast<int>(end - digits);
      if (length < width) text.append(static_cast<std::size_t>(width - length), ' ');
      text.append(digits, end);
      return;
    }
  }
  text += common::Format("%*.*f", width, decimals, value);
}

void Append_Energies(std::string& text, double pair, double surface, double combined) {
  for (const double value : {pair, surface, combined}) {
    text += '\t';
    Append_Fixed(text, value, 0, 5);
  }
}

}  // namespace

std::string Xml_Text(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string Profile_Tsv(const energy::Residue_Profile& profile, char chain) {
  std::string text = "chain\tresidue\tname\tpair\tsurface\tcombined";
  text.reserve(profile.residues.size() * (16 + 30 * (1 + profile.smoothed.size())));
  for (const energy::Smoothed_Energies& s : profile.smoothed)
    text += common::Format("\tpair_w%d\tsurface_w%d\tcombined_w%d", s.window, s.window, s.window);
  text += '\n';
  for (std::size_t i = 0; i < profile.residues.size(); ++i) {
    const energy::Residue_Energy& r = profile.residues[i];
    text += Chain_Name(r.chain.empty() ? chain : r.chain.front());
    text += '\t';
    text += energy::Residue_Label(r);
    text += '\t';
    text += r.name;
    Append_Energies(text, r.pair, r.surface, r.combined);
    for (const energy::Smoothed_Energies& s : profile.smoothed)
      Append_Energies(text, s.pair[i], s.surface[i], s.combined[i]);
    text += '\n';
  }
  return text;
}

std::string Profile_Pdb(const std::string& model_text, const energy::Residue_Profile& profile, char chain, int model) {
  std::vector<double> raw;
  const std::vector<double>& shown = Shown_Values(profile, raw);
  // The temperature factor text of each residue, by its label.
  std::unordered_map<std::string, std::string> factor_of;
  for (std::size_t i = 0; i < profile.residues.size(); ++i) {
    std::string factor;
    Append_Fixed(factor, std::clamp(shown[i], -999.99, 9999.99), 6, 2);
    factor_of.emplace(energy::Residue_Label(profile.residues[i]), std::move(factor));
  }
  const std::string no_value = "  0.00";
  const char wanted = chain == '_' ? ' ' : chain;

  std::string text;
  text.reserve(model_text.size() + model_text.size() / 8);
  const std::string_view all(model_text);
  std::string label;
  int current_model = 0;  // of the MODEL record the line is in; 0 outside any
  for (std::size_t start = 0; start < all.size();) {
    std::size_t end = all.find('\n', start);
    if (end == std::string_view::npos) end = all.size();
    std::string_view line = all.substr(start, end - start);
    const bool carriage_return = !line.empty() && line.back() == '\r';
    if (carriage_return) line.remove_suffix(1);
    const std::string_view record = common::First_Word(line.substr(0, 6));
    if (record == "MODEL") current_model = common::Scan_Int(common::First_Word(line.substr(5))).value_or(0);
    if (record == "ENDMDL") current_model = 0;
    if ((record == "ATOM" || record == "HETATM") && line.size() > 21 && line[21] == wanted &&
        (model == 0 || current_model == model)) {
      label = common::First_Word(line.substr(22, 4));
      if (line.size() > 26 && line[26] != ' ') label += line[26];
      const auto found = factor_of.find(label);
      text += line.substr(0, 60);
      if (line.size() < 60) text.append(60 - line.size(), ' ');
      text += found == factor_of.end() ? no_value : found->second;
      if (line.size() > 66) text += line.substr(66);
    } else {
      text += line;
    }
    if (carriage_return) text += '\r';
    if (end < all.size()) text += '\n';
    start = end + 1;
  }
  return text;
}

std::string Profile_Svg(const energy::Residue_Profile& profile, const Plot_Title& title) {
  constexpr double kWidth = 720, kHeight = 270, kLeft = 62, kRight = 14, kTop = 40, kBottom = 42;
  constexpr double kPlotWidth = kWidth - kLeft - kRight, kPlotHeight = kHeight - kTop - kBottom;
  static const char* const kColours[] = {"#1a5fb4", "#c64600", "#26a269", "#813d9c"};

  const std::size_t n = profile.residues.size();
  std::vector<double> raw;
  for (const energy::Residue_Energy& r : profile.residues) raw.push_back(r.combined);
  double low = 0.0, high = 0.0;
  for (const double v : raw) low = std::min(low, v), high = std::max(high, v);
  for (const energy::Smoothed_Energies& s : profile.smoothed)
    for (const double v : s.combined) low = std::min(low, v), high = std::max(high, v);
  if (!(high > low)) high = low + 1.0;
  const double step = Nice_Step(high - low, 5);
  low = std::floor(low / step) * step;
  high = std::ceil(high / step) * step;

  auto x = [&](std::size_t i) {
    return kLeft + (n < 2 ? kPlotWidth / 2 : kPlotWidth * static_cast<double>(i) / static_cast<double>(n - 1));
  };
  auto y = [&](double v) { return kTop + (high - v) / (high - low) * kPlotHeight; };
  auto polyline = [&](const std::vector<double>& values, const char* colour, double width) {
    std::string points;
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (i) points += ' ';
      Append_Number(points, x(i));
      points += ',';
      Append_Number(points, y(values[i]));
    }
    return "<polyline points=\"" + points + "\" fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"" +
           common::Format("%g", width) + "\"/>\n";
  };

  std::string scores = "Z pair " + (title.z_pair.empty() ? "-" : title.z_pair) + ", Z surface " +
                       (title.z_surface.empty() ? "-" : title.z_surface) + ", Z combined " +
                       (title.z_combined.empty() ? "-" : title.z_combined) + ", pG " +
                       (title.pG.empty() ? "-" : title.pG);
  std::string svg = common::Format(
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%g\" height=\"%g\" viewBox=\"0 0 %g %g\" "
      "font-family=\"sans-serif\" font-size=\"11\" role=\"img\">\n",
      kWidth, kHeight, kWidth, kHeight);
  svg += "<title>" + Xml_Text(title.model + ": per-residue energy; " + scores) + "</title>\n";
  svg += common::Format("<rect width=\"%g\" height=\"%g\" fill=\"#ffffff\"/>\n", kWidth, kHeight);
  svg += "<text x=\"" + Number(kLeft) + "\" y=\"16\" font-size=\"13\" font-weight=\"bold\">" + Xml_Text(title.model) +
         "</text>\n";
  svg += "<text x=\"" + Number(kLeft) + "\" y=\"31\">" + Xml_Text(scores) + "</text>\n";

  // Unfavourable stretches: the area between zero and the first window's
  // curve where it lies above zero, with the crossings interpolated.
  std::vector<double> own;
  const std::vector<double>& shown = Shown_Values(profile, own);
  if (n > 0) {
    std::string points = Number(x(0)) + "," + Number(y(0.0));
    for (std::size_t i = 0; i < n; ++i) {
      if (i > 0 && (shown[i - 1] > 0.0) != (shown[i] > 0.0)) {
        const double t = shown[i - 1] / (shown[i - 1] - shown[i]);
        points += ' ';
        Append_Number(points, x(i - 1) + t * (x(i) - x(i - 1)));
        points += ',';
        Append_Number(points, y(0.0));
      }
      points += ' ';
      Append_Number(points, x(i));
      points += ',';
      Append_Number(points, y(std::max(shown[i], 0.0)));
    }
    points += " " + Number(x(n - 1)) + "," + Number(y(0.0));
    svg += "<polygon points=\"" + points + "\" fill=\"#f6c8c4\" stroke=\"none\"/>\n";
  }

  // Axes, the energy grid and its labels.
  svg += "<g stroke=\"#dddddd\">\n";
  for (double v = low; v <= high + step / 2; v += step)
    svg += "<line x1=\"" + Number(kLeft) + "\" x2=\"" + Number(kLeft + kPlotWidth) + "\" y1=\"" + Number(y(v)) +
           "\" y2=\"" + Number(y(v)) + "\"/>\n";
  svg += "</g>\n<g text-anchor=\"end\">\n";
  for (double v = low; v <= high + step / 2; v += step)
    svg += "<text x=\"" + Number(kLeft - 5) + "\" y=\"" + Number(y(v) + 4) + "\">" +
           common::Format("%g", std::abs(v) < step / 1e6 ? 0.0 : v) + "</text>\n";
  svg += "</g>\n";
  svg += "<line x1=\"" + Number(kLeft) + "\" x2=\"" + Number(kLeft + kPlotWidth) + "\" y1=\"" + Number(y(0.0)) +
         "\" y2=\"" + Number(y(0.0)) + "\" stroke=\"#000000\" stroke-dasharray=\"4 3\"/>\n";
  svg += common::Format("<rect x=\"%g\" y=\"%g\" width=\"%g\" height=\"%g\" fill=\"none\" stroke=\"#888888\"/>\n",
                        kLeft, kTop, kPlotWidth, kPlotHeight);

  // Residue numbers as the file has them, at round numbers.
  if (n > 0) {
    const double every = std::max(1.0, Nice_Step(static_cast<double>(n), 12));
    svg += "<g text-anchor=\"middle\">\n";
    for (std::size_t i = 0; i < n; ++i) {
      const energy::Residue_Energy& r = profile.residues[i];
      if (r.insertion_code != ' ' || r.number % static_cast<int>(every) != 0) continue;
      svg += "<line x1=\"" + Number(x(i)) + "\" x2=\"" + Number(x(i)) + "\" y1=\"" + Number(kTop + kPlotHeight) +
             "\" y2=\"" + Number(kTop + kPlotHeight + 4) + "\" stroke=\"#888888\"/>\n";
      svg += "<text x=\"" + Number(x(i)) + "\" y=\"" + Number(kTop + kPlotHeight + 15) + "\">" +
             energy::Residue_Label(r) + "</text>\n";
    }
    svg += "</g>\n";
  }
  svg += "<text x=\"" + Number(kLeft + kPlotWidth / 2) + "\" y=\"" + Number(kHeight - 6) +
         "\" text-anchor=\"middle\">residue</text>\n";
  svg += "<text transform=\"translate(14 " + Number(kTop + kPlotHeight / 2) +
         ") rotate(-90)\" text-anchor=\"middle\">energy (potential table units)</text>\n";

  // The curves, then their legend.
  svg += polyline(raw, "#9a9996", 1);
  for (std::size_t w = 0; w < profile.smoothed.size(); ++w)
    svg += polyline(profile.smoothed[w].combined, kColours[w % 4], 2);
  double lx = kLeft + kPlotWidth - 10;
  std::vector<std::pair<std::string, const char*>> keys = {{"raw", "#9a9996"}};
  for (std::size_t w = 0; w < profile.smoothed.size(); ++w)
    keys.emplace_back(common::Format("window %d", profile.smoothed[w].window), kColours[w % 4]);
  keys.emplace_back("above 0: unfavourable", "#f6c8c4");
  svg += "<g text-anchor=\"end\">\n";
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
    svg += "<text x=\"" + Number(lx) + "\" y=\"16\">" + key->first + "</text>\n";
    lx -= 6.0 * static_cast<double>(key->first.size()) + 4;
    svg += "<rect x=\"" + Number(lx - 12) + "\" y=\"9\" width=\"12\" height=\"8\" fill=\"" + key->second + "\"/>\n";
    lx -= 26;
  }
  svg += "</g>\n</svg>\n";
  return svg;
}

}  // namespace catena
