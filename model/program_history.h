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

// Where a programming came from, kept beside its file ("<name>.info", key=value lines).
struct ProgramRecord {
  std::string from;       // kFromWindow or kFromCommandLine; "" for files kept without one
  std::string fileName;   // the configuration file programmed, "" when none was named
  int programCount = -1;  // the unit's programming count as it last reported it; -1 unknown
  std::string unit;       // the unit's identification as the window shows it; "" unknown
};
inline constexpr const char* kFromWindow = "window";
inline constexpr const char* kFromCommandLine = "command line";

struct HistoryEntry {
  std::string path;  // full path of the .ign file
  std::string when;  // "YYYY-MM-DD HH:MM:SS" (local time of the programming)
  ProgramRecord record;
};

// The history files of a folder, newest first, or why the folder could not be read.
struct ProgramHistoryListing {
  std::vector<HistoryEntry> entries;
  std::string error;  // "cannot read FOLDER: reason"; "" when the folder was read or is missing
  bool ok() const { return error.empty(); }
};

// Files that were not written by the history (other names) are left out; a missing folder is
// an empty history, a folder that cannot be read (not a folder, no permission) an error.
ProgramHistoryListing ReadProgramHistory(const std::string& folder);
// The entries of ReadProgramHistory alone: an unreadable folder lists nothing.
std::vector<HistoryEntry> ListProgramHistory(const std::string& folder);

// Writes bytes 0..749 of the image as "YYYY-MM-DD_HH-MM-SS.ign" (a second programming within
// the same second adds "_2", "_3", ...) through an atomic write, creating the folder when
// missing, then drops the oldest files beyond `limit`. Returns the path written, or "" with
// the reason in error.
// With a record (its `from` set), "<name>.info" beside the file holds it.
std::string KeepProgrammedConfiguration(const std::string& folder, const ParameterImage& image,
                                        std::time_t when, std::string& error,
                                        int limit = kProgramHistoryLimit,
                                        const ProgramRecord& record = {});

// The one way every programming is kept: in ProgramHistoryFolder(), now. Returns the path, or
// "" with the reason in error.
std::string KeepProgram(const ParameterImage& image, const ProgramRecord& record,
                        std::string& error);

// Writes the record beside a kept configuration file ("<name>.info"), replacing the one there
// (the unit's count, known only after it has saved).
bool WriteProgramRecord(const std::string& ignPath, const ProgramRecord& record,
                        std::string& error);

// The record kept beside a configuration file ("<name>.info"); empty when there is none.
ProgramRecord ReadProgramRecord(const std::string& ignPath);

// One line of `rq_vtmx4_cli history`: "<when>  <path>", and for a file kept with its record
// "  from <from>, file <name>, programmings <n>" (a part left out when unknown).
std::string FormatHistoryEntry(const HistoryEntry& entry);

}  // namespace rq
