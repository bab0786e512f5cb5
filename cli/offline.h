// Offline commands of rq_vtmx4_cli: new, convert, show, diff.
#pragma once

#include <string>
#include <vector>

#include "model/parameter_image.h"
#include "model/state_file.h"

namespace rq {

struct LoadedConfiguration {
  ParameterImage image;
  AllFlags flags{};
  bool hasFlags = false;  // the flags came from a state file
};

// Loads a .ign (by name) or an image state file on top of the new configuration, then runs
// the consistency pass. On failure returns false with a one-line message.
bool LoadConfiguration(const std::string& path, LoadedConfiguration& out, std::string& error);
// Writes a .ign or a state file (by name), atomically.
bool SaveConfiguration(const std::string& path, const LoadedConfiguration& config,
                       std::string& error);

// Human-readable listing, one parameter per line; maps as grids.
std::string FormatConfiguration(const ParameterImage& image);
// Lines for the parameters and map cells that differ; empty when equal.
std::string FormatDifferences(const ParameterImage& a, const ParameterImage& b);

int RunOfflineCommand(const std::string& command, const std::vector<std::string>& args);
bool IsOfflineCommand(const std::string& command);

}  // namespace rq
