// A model's per-residue energy profile as files a person or a viewer reads:
// a table, the model with the smoothed energy in its temperature factors, and
// a plot (SVG, written here: it is plain text).
#pragma once

#include <string>

#include "energy/residue_profile.hpp"

namespace catena {

// What the plot's title says about the model; empty values are shown as such.
struct Plot_Title {
  std::string model;
  std::string z_pair, z_surface, z_combined, pG;
};

// "chain residue name pair surface combined", then pair_wN, surface_wN,
// combined_wN for each window; one row per residue, "%.5f".
std::string Profile_Tsv(const energy::Residue_Profile& profile, char chain);

// The model's text with columns 61-66 of every ATOM and HETATM line of the
// chain replaced by its residue's combined energy smoothed over the first
// window ("%6.2f"; 0.00 for a residue without a value). Every other byte stays.
// With a model number, only the lines of that MODEL change.
std::string Profile_Pdb(const std::string& model_text, const energy::Residue_Profile& profile, char chain,
                        int model = 0);

// The profile plot: raw combined energy, the smoothed ones, the zero line,
// positive (unfavourable) stretches of the first window shaded.
std::string Profile_Svg(const energy::Residue_Profile& profile, const Plot_Title& title);

// Text for XML and HTML: & < > " ' escaped.
std::string Xml_Text(const std::string& text);

}  // namespace catena
