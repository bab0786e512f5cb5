// SPDX-License-Identifier: GPL-3.0-or-later
// Where the command-line tool writes its results: a regular file (replaced through a
// temporary file), a new name, or "-" for standard output. Devices, FIFOs, sockets and
// folders are refused, so that a mistyped name never turns /dev/... into a file.
#pragma once

#include <string>

#include "model/config_file.h"

namespace rq {

inline constexpr const char* kStandardOutput = "-";

// Exit status of a command: 1 when it failed, 2 when it was called wrongly.
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// False with a one-line reason when path exists and is not a regular file.
bool CheckOutputPath(const std::string& path, std::string& error);

// Loads a configuration by its name (.ign or image state file); "-" reads .ign text from
// standard input. Only a regular file is read: a FIFO, device or folder is refused.
bool LoadConfigurationInput(const std::string& path, LoadedConfiguration& out, std::string& error);

// Writes a configuration by its name (.ign or image state file); "-" writes the .ign text to
// standard output.
bool WriteConfigurationOutput(const std::string& path, const LoadedConfiguration& config,
                              std::string& error);

}  // namespace rq
