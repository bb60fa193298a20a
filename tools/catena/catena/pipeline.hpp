// The assessment of one model, as the eight programs compute it, in memory.
//
// The steps are the ones the programs call, chained in memory. Each passes
// its value on as its file carries it, so the numbers are those of a run of
// the programs by hand: the Z-scores come from the energies with five
// decimals, ZO341 from the Z-score with four, pG from the feature values
// rounded by the feature file's formats.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "catena/inputs.hpp"
#include "catena/options.hpp"
#include "common/step.hpp"
#include "descriptors/alignment.hpp"
#include "energy/potential_table.hpp"
#include "energy/residue_profile.hpp"
#include "pg/cpdf_table.hpp"

namespace catena {

// What every model shares, read once per run.
struct Shared_Inputs {
  energy::MFP_Table pair_table;
  energy::MFP_Table surface_table;
  pg::cPDF_Table cpdf;
  unsigned seed = 0;
  std::map<std::string, common::Step_Result<descriptors::Identity>> alignments;  // by the alignment's path
  std::shared_ptr<const std::string> standard_input;                             // the text of "-"; null when not read
  bool residue_profile = false;  // compute each model's per-residue energies
  // By path, the SHA-256 of the text read of each table that is not a regular
  // file (a pipe is read once: its digest comes from that reading).
  std::map<std::string, std::string> read_digests;
};

// Loads the tables and computes the identity of every alignment the jobs
// use. Failures throw common::Fatal_Error with the programs' messages.
Shared_Inputs Load_Shared_Inputs(const Options& options, const std::vector<Model_Job>& jobs, unsigned seed);

struct Model_Result {
  std::string model;
  std::string chain;
  std::string model_number;  // of the MODEL record read; empty when the file has none
  std::string seed;
  // Each value as its file holds it, without padding; empty when not computed.
  std::string length, compactness, pair_energy, surface_energy;
  std::string z_pair, z_surface, z_combined;
  std::string identity, zo341, pG, winning_class;
  std::string error;  // empty on success
  // The files the programs would have written, in order: name and content.
  std::vector<std::pair<std::string, std::string>> files;
  // The per-residue energies, when asked for and the model was assessed, and
  // the plot of them once drawn.
  std::optional<energy::Residue_Profile> profile;
  std::string profile_svg;
};

// A message as one line: its non-blank lines, trimmed, joined by "; ".
std::string One_Line(const std::string& text);

// Assesses one model. `keep_folder` (may be empty) receives "pdbfile.tmp" as
// the reader writes it; the other files are returned in the result.
Model_Result Assess_Model(const Shared_Inputs& shared, const Model_Job& job, const std::string& keep_folder);

}  // namespace catena
