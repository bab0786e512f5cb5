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

bool LoadConfigurationFile(const std::string& path, LoadedConfiguration& out, std::string& error,
                           const ParameterImage* base) {
  std::string readError;
  const auto text = ReadWholeFile(path, readError);
  if (!text) {
    error = readError;
    return false;
  }
  return LoadConfigurationText(*text, IsIgnFileName(path), path, out, error, base);
}

bool LoadConfigurationText(const std::string& text, bool ign, const std::string& path,
                           LoadedConfiguration& out, std::string& error,
                           const ParameterImage* base) {
  out.image = base != nullptr ? *base : NewConfiguration();
  out.flags = AllFlags{};
  out.hasFlags = false;
  out.given.reset();
  if (ign) {
    const IgnReadResult r = ReadIgnText(text, out.image, &out.given);
    if (!r.validKey) {
      error = r.badVersions.empty()
                  ? path + ": no version key, not a configuration file"
                  : "Unmatched version of *.ign file! (" + path + ": version " +
                        std::to_string(r.badVersions.front()) + ")";
      return false;
    }
  } else {
    const int stored = ParseStateText(text, out.image, out.flags);
    if (stored == 0) {
      error = path + ": no configuration values found";
      return false;
    }
    for (int i = 0; i < stored && i < kConfigSize; ++i) out.given.set(std::size_t(i));
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
