// SPDX-License-Identifier: GPL-3.0-or-later
// Loading and saving a configuration by file name: a name ending in ".ign" (any case) is a
// .ign file,
// any other name an image state file.
#pragma once

#include <string>

#include "model/parameter_image.h"
#include "model/state_file.h"

namespace rq {

struct LoadedConfiguration {
  ParameterImage image;
  AllFlags flags{};
  bool hasFlags = false;  // the flags came from a state file
  // The bytes the file gave; the others are those of the configuration it was loaded on. A
  // comparison with a partial file compares these alone (CompareConfigurations).
  ImageByteSet given;
};

bool IsIgnFileName(const std::string& path);

// Starts from `base` (by default the new configuration) and applies the file on top of it (a
// .ign with missing groups leaves those parameters as they were), then runs the consistency
// pass; out.given records what the file gave. On failure returns false with a one-line
// message; a .ign whose only version keys carry another number reports "Unmatched version of
// *.ign file!"; a state file must hold at least one value.
bool LoadConfigurationFile(const std::string& path, LoadedConfiguration& out, std::string& error,
                           const ParameterImage* base = nullptr);
// The same for text already read: `name` names it in messages, `ign` picks the format.
bool LoadConfigurationText(const std::string& text, bool ign, const std::string& name,
                           LoadedConfiguration& out, std::string& error,
                           const ParameterImage* base = nullptr);

// Writes a .ign or a state file (flags 0 unless they came from a state file), atomically.
bool SaveConfigurationFile(const std::string& path, const LoadedConfiguration& config,
                           std::string& error);

}  // namespace rq
