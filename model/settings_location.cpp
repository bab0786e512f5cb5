// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/settings_location.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "model/file_io.h"

namespace rq {

std::string SettingsFolderPath() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/')
    base = xdg;
  else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0')
    base = std::string(home) + "/.config";
  else
    return {};
  return base + "/RQ_VTMX4_Kelvora";
}

std::map<std::string, std::string> PortsSection(const IniFile& settings) {
  std::map<std::string, std::string> ports;
  for (const std::string& key : settings.keys(kPortsSection)) {
    // "com1 " and "COM1" name the same port; an empty path means the default device.
    std::string name;
    for (char c : key)
      if (c != ' ' && c != '\t') name += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    const std::string path = settings.stringValue(kPortsSection, key, "");
    if (!path.empty()) ports[name] = path;
  }
  return ports;
}

std::map<std::string, std::string> ReadSettingsPorts() {
  IniFile ini;
  std::string error;
  if (!ReadSettingsFile(ini, error)) return {};
  return PortsSection(ini);
}

bool ReadSettingsFile(IniFile& out, std::string& error) {
  out = IniFile();
  const std::string folder = SettingsFolderPath();
  if (folder.empty()) return true;
  const std::string path = folder + "/" + kSettingsFileName;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) return true;
  const auto text = ReadWholeFile(path, error, 4u << 20);
  if (!text) return false;
  out.parse(*text);
  return true;
}

std::string DataFolderPath() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/')
    base = xdg;
  else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0')
    base = std::string(home) + "/.local/share";
  else
    return {};
  return base + "/RQ_VTMX4_Kelvora";
}

}  // namespace rq
