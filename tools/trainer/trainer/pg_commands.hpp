// The subcommands of addestra that train and judge the pG table.
#pragma once

#include <span>
#include <string>

namespace trainer {

int Models_Command(std::span<const std::string> args);     // labelled models and their features
int Table_Command(std::span<const std::string> args);      // the cPDF table from labelled models
int Calibrate_Command(std::span<const std::string> args);  // AUC and calibration of a table

}  // namespace trainer
