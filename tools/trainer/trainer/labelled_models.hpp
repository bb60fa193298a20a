// Labelled models for the pG table, and their features as catena computes
// them.
//
//   correct    a chain's sequence on its own backbone (identity 100), and on
//              the backbone of each homologous chain, aligned structurally by
//              TMalign, kept when the model's TM-score to the native is at
//              least the cut-off;
//   incorrect  the sequence threaded without gaps onto a contiguous window of
//              a chain of another homology group, kept when its TM-score to
//              the native is below the cut-off.
// The identity given to ZO341 is the percentage of identical residues over
// the model's aligned pairs.
#pragma once

#include <optional>
#include <string>

#include "catena/pipeline.hpp"

namespace trainer {

struct Models_Settings {
  std::string split;     // TSV: path, chain, group, set
  std::string homologs;  // TSV: path_a, chain_a, path_b, chain_b, ...
  std::string natives;   // folder the paths of both files are relative to
  std::string pair_potential, surface_potential;
  std::string work;  // scratch folder for the model files
  std::string out;   // the labelled TSV
  std::string tmalign = "TMalign";
  int windows = 3;  // incorrect models tried per chain
  int jobs = 1;     // TMalign runs at once
  double tm_cut = 0.5;
  unsigned seed = 20261208;   // choice of the windows
  unsigned shuffle_seed = 1;  // the energy tools' sequence shuffles
};

// Builds every model, computes its features and writes the labelled TSV.
// Progress goes to standard error. Throws common::Fatal_Error for a bad
// input file or a structure that cannot be read.
void Build_Labelled_Models(const Models_Settings& settings);

// The features verdicta reads for a model, computed by catena's steps with
// the given identity (percent).
struct Model_Features {
  std::string z_combined, compactness, zo341;  // as their files hold them
  double one_minus_zo341 = 0;                  // as verdicta reads them back
  double length = 0;
  std::string error;  // empty on success
};
Model_Features Assess_With_Identity(const catena::Shared_Inputs& shared, const std::string& model_path,
                                    double identity_percent);

}  // namespace trainer
