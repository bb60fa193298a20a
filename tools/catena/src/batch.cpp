#include "catena/batch.hpp"

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "catena/profile_files.hpp"
#include "common/fatal_error.hpp"
#include "common/files.hpp"

namespace catena {
namespace {

namespace fs = std::filesystem;

void Draw_Progress(std::FILE* terminal, std::size_t done, std::size_t total, int failed) {
  constexpr int kWidth = 30;
  const int filled = total ? static_cast<int>(kWidth * done / total) : kWidth;
  std::fprintf(terminal, "\rcatena [%s%s] %zu/%zu models", std::string(static_cast<std::size_t>(filled), '#').c_str(),
               std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), done, total);
  if (failed) std::fprintf(terminal, ", %d failed", failed);
  std::fflush(terminal);
}

// Writes the model's files into its folder; a failure to write them is the
// model's failure.
void Keep_Files(const std::string& folder, Model_Result& result) {
  for (const auto& [name, content] : result.files) {
    try {
      common::Write_Output((fs::path(folder) / name).string(), content);
    } catch (const common::Fatal_Error& error) {
      if (result.error.empty()) result.error = "cannot write '" + (fs::path(folder) / name).string() + "'";
    }
  }
}

// Draws the model's profile and writes its profile files as DIR/NAME.profile.*;
// a failure to write them is the model's failure.
void Profile_Outputs(const Batch_Settings& settings, const Shared_Inputs& shared, const Model_Job& job,
                     const std::string& name, Model_Result& result) {
  std::string title = result.model + ", chain " + result.chain;
  if (!result.model_number.empty()) title += ", model " + result.model_number;
  std::string svg =
      Profile_Svg(*result.profile, {title, result.z_pair, result.z_surface, result.z_combined, result.pG});
  if (!settings.profile_dir.empty()) {
    const char chain = result.chain.empty() ? '_' : result.chain.front();
    const std::string stem = (fs::path(settings.profile_dir) / name).string() + ".profile";
    std::vector<std::pair<std::string, std::string>> files = {{stem + ".tsv", Profile_Tsv(*result.profile, chain)},
                                                              {stem + ".svg", svg}};
    // The PDB text the model was read from (for mmCIF, as the suite reads it).
    std::optional<std::string> model;
    try {
      model = Model_Text(job.model, shared.standard_input);
    } catch (const common::Fatal_Error&) {
    }
    const int model_number = result.model_number.empty() ? 0 : std::stoi(result.model_number);
    if (model) files.emplace_back(stem + ".pdb", Profile_Pdb(*model, *result.profile, chain, model_number));
    for (const auto& [path, content] : files) {
      try {
        common::Write_Output(path, content);
      } catch (const common::Fatal_Error&) {
        if (result.error.empty()) result.error = "cannot write '" + path + "'";
      }
    }
  }
  if (settings.plots) result.profile_svg = std::move(svg);
  result.profile.reset();
}

}  // namespace

std::vector<std::string> Keep_Folder_Names(const std::vector<std::string>& models) {
  std::vector<std::string> names;
  std::map<std::string, int> seen;
  for (const std::string& model : models) {
    const std::string base = fs::path(model).filename().string();
    const int count = ++seen[base];
    names.push_back(count == 1 ? base : base + "." + std::to_string(count));
  }
  return names;
}

int Run_Batch(const Shared_Inputs& shared, const std::vector<Model_Job>& jobs, const Batch_Settings& settings,
              Report_Writer& writer) {
  const std::size_t total = jobs.size();
  std::vector<std::string> folders(total);
  std::vector<std::string> bases;
  for (const Model_Job& job : jobs) bases.push_back(job.folder);
  const std::vector<std::string> names = Keep_Folder_Names(bases);
  if (!settings.profile_dir.empty()) {
    std::error_code error;
    fs::create_directories(settings.profile_dir, error);
    if (error)
      common::Fail(common::kNoEnding, "cannot create the folder '%s': %s", settings.profile_dir.c_str(),
                   error.message().c_str());
  }
  if (!settings.keep_dir.empty()) {
    for (std::size_t i = 0; i < total; ++i) {
      folders[i] = (fs::path(settings.keep_dir) / names[i]).string();
      std::error_code error;
      fs::create_directories(folders[i], error);
      if (error)
        common::Fail(common::kNoEnding, "cannot create the folder '%s': %s", folders[i].c_str(),
                     error.message().c_str());
    }
  }

  std::vector<std::optional<Model_Result>> results(total);
  std::mutex mutex;
  std::condition_variable ready;
  std::atomic<std::size_t> next{0};
  std::size_t done = 0;
  auto work = [&] {
    for (std::size_t i = next++; i < total; i = next++) {
      Model_Result result = Assess_Model(shared, jobs[i], folders[i]);
      if (!folders[i].empty()) Keep_Files(folders[i], result);
      if (result.profile) Profile_Outputs(settings, shared, jobs[i], names[i], result);
      result.files.clear();
      const std::lock_guard lock(mutex);
      results[i] = std::move(result);
      ++done;
      ready.notify_one();
    }
  };
  const std::size_t workers = std::min<std::size_t>(static_cast<std::size_t>(settings.jobs), total);
  std::vector<std::jthread> threads;
  for (std::size_t w = 0; w < workers; ++w) threads.emplace_back(work);

  int failed = 0;
  writer.Begin();
  if (settings.progress) Draw_Progress(settings.progress, 0, total, 0);
  for (std::size_t i = 0; i < total; ++i) {
    std::unique_lock lock(mutex);
    std::size_t drawn = done;
    ready.wait(lock, [&] {
      if (settings.progress && done != drawn) {
        drawn = done;
        Draw_Progress(settings.progress, done, total, failed);
      }
      return results[i].has_value();
    });
    Model_Result result = std::move(*results[i]);
    results[i].reset();
    lock.unlock();
    if (!result.error.empty()) ++failed;
    writer.Record(result);
  }
  writer.End();
  if (settings.progress) {
    Draw_Progress(settings.progress, total, total, failed);
    std::fputc('\n', settings.progress);
  }
  return failed;
}

}  // namespace catena
