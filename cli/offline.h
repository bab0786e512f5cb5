// Offline commands of rq_vtmx4_cli: new, convert, show, diff.
#pragma once

#include <string>
#include <vector>

#include "model/config_file.h"
#include "model/parameter_image.h"

namespace rq {

// Human-readable listing, one parameter per line; maps as grids.
std::string FormatConfiguration(const ParameterImage& image);
// Lines for the parameters and map cells that differ; empty when equal.
std::string FormatDifferences(const ParameterImage& a, const ParameterImage& b);

int RunOfflineCommand(const std::string& command, const std::vector<std::string>& args);
bool IsOfflineCommand(const std::string& command);

}  // namespace rq
