// SPDX-License-Identifier: GPL-3.0-or-later
// One number a feature keeps in the settings file: the file's value as read at start-up until
// the user sets it in this run; setting it writes it at once (every other key kept). Read on
// use, not at construction: the features are built before the window reads its settings.
#pragma once

#include <optional>
#include <string>

#include "model/ini_file.h"
#include "ui/window_face.h"

namespace rq {

class StoredSetting {
 public:
  StoredSetting(const char* section, const char* key, long fallback)
      : section_(section), key_(key), fallback_(fallback) {}

  long value(const WindowFace& window) const {
    return set_ ? *set_ : window.settings().intValue(section_, key_, fallback_);
  }
  bool on(const WindowFace& window) const { return value(window) != 0; }
  // Takes the value for this run and writes it when it differs from what is known.
  void set(WindowFace& window, long value) {
    if (set_ == value) return;
    set_ = value;
    window.writeSettings([&](IniFile& ini) { ini.setInt(section_, key_, value); });
  }
  // Takes the value for this run without writing it (written later with others).
  void keep(long value) { set_ = value; }
  // Writes the value into `ini` when it was set in this run.
  void store(IniFile& ini) const {
    if (set_) ini.setInt(section_, key_, *set_);
  }

 private:
  std::string section_;
  std::string key_;
  long fallback_;
  std::optional<long> set_;
};

}  // namespace rq
