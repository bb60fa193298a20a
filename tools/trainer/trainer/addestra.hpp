// addestra: the training program. Each subcommand is one row of the table in
// addestra.cpp; it gets the arguments after its name.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "trainer/command_line.hpp"

namespace trainer {

struct Subcommand {
  std::string_view name;
  std::string_view summary;  // one line, for the program's --help
  int (*run)(std::span<const std::string> args);
};

int Run_Addestra(int argc, char** argv);

// The frame of a subcommand: "--help" prints its usage; otherwise the options
// are parsed and `body` runs. Failures print "addestra NAME: message" on
// standard error and give exit status 8.
int Run_Subcommand(std::string_view name, std::string_view summary, std::span<const Option_Spec> specs,
                   std::span<const std::string> args, int (*body)(const Option_Values&));

// Progress on standard error, at most one line per step of `every`.
void Report_Progress(std::string_view what, std::size_t done, std::size_t total, std::size_t every);

int Homology_Command(std::span<const std::string> args);
int Potentials_Command(std::span<const std::string> args);
int Threading_Command(std::span<const std::string> args);

}  // namespace trainer
