// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/config_file.h"

#include "model/defaults.h"
#include "model/file_io.h"
#include "model/ign_file.h"

namespace rq {

bool IsIgnFileName(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext == ".ign";  // files copied from other systems may say .IGN
}

bool LoadConfigurationFile(const std::string& path, LoadedConfiguration& out, std::string& error) {
  std::string readError;
  const auto text = ReadWholeFile(path, readError);
  if (!text) {
    error = readError;
    return false;
  }
  return LoadConfigurationText(*text, IsIgnFileName(path), path, out, error);
}

bool LoadConfigurationText(const std::string& text, bool ign, const std::string& path,
                           LoadedConfiguration& out, std::string& error) {
  out.image = NewConfiguration();
  out.flags = AllFlags{};
  out.hasFlags = false;
  if (ign) {
    const IgnReadResult r = ReadIgnText(text, out.image);
    if (!r.validKey) {
      error = r.badVersions.empty()
                  ? path + ": no version key, not a configuration file"
                  : "Unmatched version of *.ign file! (" + path + ": version " +
                        std::to_string(r.badVersions.front()) + ")";
      return false;
    }
  } else {
    if (ParseStateText(text, out.image, out.flags) == 0) {
      error = path + ": no configuration values found";
      return false;
    }
    out.hasFlags = true;
  }
  SanitizeImage(out.image);
  return true;
}

bool SaveConfigurationFile(const std::string& path, const LoadedConfiguration& config,
                           std::string& error) {
  const AllFlags none{};
  const std::string text = IsIgnFileName(path)
                               ? WriteIgnText(config.image)
                               : WriteStateText(config.image, config.hasFlags ? config.flags : none);
  return WriteFileAtomic(path, text, error);
}

}  // namespace rq
