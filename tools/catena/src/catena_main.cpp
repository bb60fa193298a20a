// catena: one command from model files to a verdict, for one model or
// thousands. See `catena --help`.
#include <unistd.h>

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "catena/batch.hpp"
#include "catena/options.hpp"
#include "catena/pipeline.hpp"
#include "catena/report.hpp"
#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/program.hpp"

namespace {

// catena's own messages go to standard error, one line each, so that standard
// output carries only records.
int Refuse(const std::string& message) {
  std::fprintf(stderr, "catena: %s\n", catena::One_Line(message).c_str());
  return common::kExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
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
    if (!options.alignment && !options.identity)
      std::fputs(
          "catena: no --alignment or --identity: zo341, pG and class stay empty (they need the sequence "
          "identity)\n",
          stderr);

    const catena::Shared_Inputs shared = catena::Load_Shared_Inputs(options);
    common::File output_file;
    std::FILE* out = stdout;
    if (options.output) {
      output_file = common::Open_Output(*options.output);
      out = output_file.get();
    }
    const std::unique_ptr<catena::Report_Writer> writer = catena::Make_Report_Writer(options.format, out);
    catena::Batch_Settings settings;
    settings.jobs = options.jobs;
    settings.keep_dir = options.keep_dir.value_or("");
    settings.progress = isatty(fileno(stderr)) ? stderr : nullptr;
    const int failed = catena::Run_Batch(shared, options.models, settings, *writer);
    if (options.output) common::Close_Output(output_file, *options.output);
    if (failed)
      std::fprintf(stderr, "catena: %d of %zu models failed (see their error field)\n", failed, options.models.size());
    return failed ? common::kExitFailure : common::kExitSuccess;
  } catch (const common::Fatal_Error& error) {
    return Refuse(error.what());
  } catch (const std::bad_alloc&) {
    return Refuse("cannot allocate memory");
  }
}
