// catena: one command from model files to a verdict, for one model or
// thousands. See `catena --help`.
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <future>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "catena/batch.hpp"
#include "catena/html_report.hpp"
#include "catena/inputs.hpp"
#include "catena/options.hpp"
#include "catena/pipeline.hpp"
#include "catena/provenance.hpp"
#include "catena/report.hpp"
#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/format.hpp"
#include "common/program.hpp"
#include "energy/shuffle.hpp"

namespace {

// catena's own messages go to standard error, one line each, so that standard
// output carries only records.
int Refuse(const std::string& message) {
  std::fprintf(stderr, "catena: %s\n", catena::One_Line(message).c_str());
  return common::kExitFailure;
}

std::string Read_Standard_Input() {
  std::string text;
  char buffer[1 << 16];
  std::size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) text.append(buffer, count);
  if (std::ferror(stdin)) common::Fail(common::kNoEnding, "cannot read the standard input");
  return text;
}

int Run(int argc, char** argv) {
  // As in every program of the suite, a first argument --help or --version
  // answers before anything else is read.
  if (const auto status = common::Answer_Help_Or_Version(argc, argv, "catena", catena::Help_Text())) return *status;
  try {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const catena::Options options = catena::Parse_Arguments(args, catena::Bundled_Data_Dir(argv[0]));
    if (options.help) {
      std::fputs(catena::Help_Text().c_str(), stdout);
      return common::kExitSuccess;
    }
    if (options.version) {
      std::fputs(catena::Version_Text().c_str(), stdout);
      return common::kExitSuccess;
    }
    // The run's warnings, on standard error as they arise and atop the report.
    std::vector<std::string> notes;
    auto note = [&notes](std::string text) {
      std::fprintf(stderr, "catena: %s\n", text.c_str());
      notes.push_back(std::move(text));
    };

    std::shared_ptr<const std::string> standard_input;
    if (std::count(options.models.begin(), options.models.end(), "-") ||
        std::count(options.lists.begin(), options.lists.end(), "-"))
      standard_input = std::make_shared<const std::string>(Read_Standard_Input());
    const std::vector<catena::Model_Job> jobs = catena::Plan_Jobs(options, standard_input);
    const auto without_identity = std::count_if(
        jobs.begin(), jobs.end(), [](const catena::Model_Job& job) { return !job.alignment && !job.identity; });
    if (without_identity == static_cast<long>(jobs.size())) {
      note("no --alignment or --identity: zo341, pG and class stay empty (they need the sequence identity)");
    } else if (without_identity) {
      note(common::Format("%ld of %zu models have no alignment or identity: their zo341, pG and class stay empty",
                          static_cast<long>(without_identity), jobs.size()));
    }
    // Without a seed, the clock's seed of the moment is used for every model,
    // and printed, so that the run can be repeated.
    const unsigned seed = options.seed.value_or(energy::Seed_Source{}.Next());
    // With more than one job, tables in regular files are hashed on a second
    // thread while this one reads them (a pipe, such as <(zcat ...), can be
    // read only once at a time). A table that cannot be read is still
    // reported by its reader first: the hashing's outcome is only asked for
    // after.
    const auto collect = [&](const std::map<std::string, std::string>& read) {
      return catena::Collect_Provenance(options, seed, options.seed ? options.seed_origin : "clock", read);
    };
    std::future<catena::Run_Provenance> hashing;
    const auto regular = [](const std::string& path) {
      std::error_code error;
      return std::filesystem::is_regular_file(path, error);
    };
    if (options.jobs > 1 && regular(options.pair_potential) && regular(options.surface_potential) &&
        regular(options.table))
      hashing = std::async(std::launch::async, collect, std::map<std::string, std::string>{});
    catena::Shared_Inputs shared = catena::Load_Shared_Inputs(options, jobs, seed);
    shared.standard_input = standard_input;
    shared.residue_profile = options.profile_dir || options.report;
    const catena::Run_Provenance provenance = hashing.valid() ? hashing.get() : collect(shared.read_digests);
    std::fputs(catena::Provenance_Text(provenance).c_str(), stderr);
    std::optional<common::Replacing_Output> output_file;
    if (options.output) output_file.emplace(*options.output);
    std::FILE* out = output_file ? output_file->get() : stdout;
    const std::unique_ptr<catena::Report_Writer> records = catena::Make_Report_Writer(options.format, out, provenance);
    std::optional<common::Replacing_Output> report_file;
    std::unique_ptr<catena::Report_Writer> report;
    std::unique_ptr<catena::Report_Writer> both;
    if (options.report) {
      report_file.emplace(*options.report);
      report = catena::Make_Html_Report_Writer(report_file->get(), notes, provenance);
      both = std::make_unique<catena::Both_Writers>(*records, *report);
    }
    catena::Report_Writer* const writer = both ? both.get() : records.get();
    catena::Batch_Settings settings;
    settings.profile_dir = options.profile_dir.value_or("");
    settings.plots = options.report.has_value();
    settings.jobs = options.jobs;
    settings.keep_dir = options.keep_dir.value_or("");
    settings.progress = isatty(fileno(stderr)) ? stderr : nullptr;
    const int failed = catena::Run_Batch(shared, jobs, settings, *writer);
    if (const int error = records->Write_Error()) {
      const std::string where =
          options.output ? "output file '" + *options.output + "'" : std::string("to standard output");
      std::clearerr(out);  // reported here, with its reason, not again at exit
      return Refuse("cannot write " + where + ": " + std::strerror(error));
    }
    if (output_file) output_file->Commit();
    if (report_file) report_file->Commit();
    if (failed) std::fprintf(stderr, "catena: %d of %zu models failed (see their error field)\n", failed, jobs.size());
    return failed ? common::kExitFailure : common::kExitSuccess;
  } catch (const common::Fatal_Error& error) {
    return Refuse(error.Message());
  } catch (const std::bad_alloc&) {
    return Refuse("cannot allocate memory");
  }
}

}  // namespace

int main(int argc, char** argv) {
#ifdef __GLIBC__
  // Model after model allocates and frees the same large arrays (the atom
  // nodes, the pair search's lists). Left to itself, malloc maps them anew or
  // gives the top of the heap back each time, and every page of them faults
  // in again for the next model; kept in the heap, they are reused.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
  const int status = Run(argc, argv);
  // Records, help or version text lost on a full disk must not end in success.
  if (const auto write_error = common::Flush_Standard_Output()) return Refuse(*write_error);
  return status;
}
