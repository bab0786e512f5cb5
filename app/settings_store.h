// SPDX-License-Identifier: GPL-3.0-or-later
// The window's two files: the settings file and the image state file. Both are read once at
// start-up and written at close through a temporary file. A file that exists but could not be
// read (no permission, too large, not a regular file) is never replaced: it may hold the
// user's [PORTS] mapping or last configuration, which the defaults would wipe out. Plain C++.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/ini_file.h"

namespace rq {

class SettingsStore {
 public:
  static constexpr std::size_t kSettingsLimit = 4u * 1024u * 1024u;
  static constexpr std::size_t kStateLimit = 1024u * 1024u;

  // A file that could not be read at start-up or written at close.
  struct Problem {
    std::string path;
    std::string reason;  // "Permission denied", "larger than 4 MiB", ...
    bool settings = false;  // the settings file; otherwise the state file
  };

  SettingsStore(std::string settingsPath, std::string statePath);

  // Reads both files. A missing file is no problem; one that exists but cannot be read is
  // remembered with its reason and left alone at close.
  void load();
  const IniFile& settings() const { return settings_; }
  // The state file's text; nothing when it is missing or could not be read.
  const std::optional<std::string>& stateText() const { return stateText_; }
  // The files that exist but could not be read, in the order settings, state.
  const std::vector<Problem>& unreadable() const { return unreadable_; }

  // Writes the settings file (the file as it is now, or as it was at start-up when it has gone
  // since, with setKeys applied, so that sections and keys of others survive) and, when
  // stateText is given, the state file. Files that could not be read at start-up are skipped.
  // Returns what could not be written.
  std::vector<Problem> save(const std::function<void(IniFile&)>& setKeys,
                            const std::string* stateText) const;

  const std::string& settingsPath() const { return settingsPath_; }
  const std::string& statePath() const { return statePath_; }

 private:
  std::string settingsPath_;
  std::string statePath_;
  IniFile settings_;
  std::optional<std::string> stateText_;
  bool settingsUnreadable_ = false;
  bool stateUnreadable_ = false;
  std::vector<Problem> unreadable_;
};

// The text of the message that tells the user about files that could not be read, in
// `language` (0 English .. 3 Czech); empty when there are none. The system's reasons stay as
// the system words them.
std::string UnreadableFilesMessage(const std::vector<SettingsStore::Problem>& problems,
                                   int language = 0);
// The text of the message about files that could not be saved at close.
std::string SaveFailureMessage(const std::vector<SettingsStore::Problem>& problems,
                               int language = 0);

}  // namespace rq
