// Running a batch of models: in parallel, each in its own state, with the
// records written in the order of the command line as soon as they are ready.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "catena/pipeline.hpp"
#include "catena/report.hpp"

namespace catena {

struct Batch_Settings {
  int jobs = 1;
  std::string keep_dir;           // empty: keep nothing
  std::FILE* progress = nullptr;  // a terminal to draw a progress bar on, or null
  std::string profile_dir;        // empty: write no profile files
  bool plots = false;             // keep each model's profile plot in its result
};

// Folder names under the keep directory, one per model: the model's file name
// (or the folder base name of a job), with ".2", ".3", ... added when a name
// repeats.
std::vector<std::string> Keep_Folder_Names(const std::vector<std::string>& models);

// Assesses every model and writes its record; returns the number that failed.
int Run_Batch(const Shared_Inputs& shared, const std::vector<Model_Job>& jobs, const Batch_Settings& settings,
              Report_Writer& writer);

}  // namespace catena
