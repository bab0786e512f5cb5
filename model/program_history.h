// SPDX-License-Identifier: GPL-3.0-or-later
// Program history: every configuration that was programmed into a unit and verified is kept as
// a .ign file named by the local date and time of the programming, so that a mechanic can go
// back to what was in the bike last week. The oldest files go when there are too many.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "model/parameter_image.h"

namespace rq {

inline constexpr int kProgramHistoryLimit = 500;

// $XDG_DATA_HOME/RQ_VTMX4_Kelvora/history, or $HOME/.local/share/RQ_VTMX4_Kelvora/history;
// "" when neither is set. Not created here.
std::string ProgramHistoryFolder();

struct HistoryEntry {
  std::string path;  // full path of the .ign file
  std::string when;  // "YYYY-MM-DD HH:MM:SS" (local time of the programming)
};

// The history files of the folder, newest first. Files that were not written by the history
// (other names) are left out; a missing folder is an empty history.
std::vector<HistoryEntry> ListProgramHistory(const std::string& folder);

// Writes bytes 0..749 of the image as "YYYY-MM-DD_HH-MM-SS.ign" (a second programming within
// the same second adds "_2", "_3", ...) through an atomic write, creating the folder when
// missing, then drops the oldest files beyond `limit`. Returns the path written, or "" with
// the reason in error.
std::string KeepProgrammedConfiguration(const std::string& folder, const ParameterImage& image,
                                        std::time_t when, std::string& error,
                                        int limit = kProgramHistoryLimit);

}  // namespace rq
