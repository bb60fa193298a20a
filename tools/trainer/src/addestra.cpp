#include "trainer/addestra.hpp"

#include <array>
#include <cstdio>
#include <new>
#include <vector>

#include "common/fatal_error.hpp"
#include "common/program.hpp"
#include "trainer/pg_commands.hpp"

namespace trainer {
namespace {

constexpr std::array kSubcommands = {
    Subcommand{"potentials", "pair and surface potentials from native structures", Potentials_Command},
    Subcommand{"threading", "held-out natives against their sequences threaded onto other backbones",
               Threading_Command},
    Subcommand{"homology", "homologous pairs of a structure set, and its train/held-out split", Homology_Command},
    Subcommand{"models", "labelled models (correct and incorrect folds) and their features, for the pG table",
               Models_Command},
    Subcommand{"table", "the cPDF table of pG from labelled models", Table_Command},
    Subcommand{"calibrate", "AUC and calibration of a cPDF table on labelled models", Calibrate_Command},
};

std::string Program_Usage() {
  std::string text = "usage: addestra SUBCOMMAND [options]   (addestra SUBCOMMAND --help for its options)\n";
  text += "Trains the suite's tables from structures listed one per line (path, optional tab and chain).\n\n";
  for (const Subcommand& sub : kSubcommands) {
    std::string name(sub.name);
    name.resize(12, ' ');
    text += "  " + name + std::string(sub.summary) + "\n";
  }
  return text;
}

}  // namespace

int Run_Addestra(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::fputs(Program_Usage().c_str(), stderr);
    return common::kExitFailure;
  }
  if (args[0] == "-h" || args[0] == "--help") {
    std::fputs(Program_Usage().c_str(), stdout);
    return common::kExitSuccess;
  }
  for (const Subcommand& sub : kSubcommands)
    if (args[0] == sub.name) return sub.run(std::span(args).subspan(1));
  std::fprintf(stderr, "addestra: unknown subcommand '%s'\n\n%s", args[0].c_str(), Program_Usage().c_str());
  return common::kExitFailure;
}

int Run_Subcommand(std::string_view name, std::string_view summary, std::span<const Option_Spec> specs,
                   std::span<const std::string> args, int (*body)(const Option_Values&)) {
  if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help")) {
    std::fputs(Subcommand_Usage(name, summary, specs).c_str(), stdout);
    return common::kExitSuccess;
  }
  const std::string label(name);
  try {
    return body(Parse_Options(name, args, specs));
  } catch (const common::Fatal_Error& error) {
    std::string text = error.what();
    if (text.rfind("addestra ", 0) != 0) text = "addestra " + label + ": " + text;
    std::fputs(text.c_str(), stderr);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "addestra %s: out of memory\n", label.c_str());
  }
  return common::kExitFailure;
}

void Report_Progress(std::string_view what, std::size_t done, std::size_t total, std::size_t every) {
  if (done != total && done % every != 0) return;
  const std::string label(what);
  std::fprintf(stderr, "addestra: %s %zu/%zu\n", label.c_str(), done, total);
}

}  // namespace trainer
