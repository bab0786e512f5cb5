// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/output.h"

#include <sys/stat.h>

#include <iostream>

#include "model/file_io.h"
#include "model/ign_file.h"

namespace rq {

bool CheckOutputPath(const std::string& path, std::string& error) {
  if (path == kStandardOutput) return true;
  if (path.empty()) {
    error = "an empty output name";
    return false;
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return true;  // a new name, or the write says why not
  if (S_ISREG(st.st_mode)) return true;
  const char* kind = S_ISDIR(st.st_mode)                           ? "a folder"
                     : S_ISFIFO(st.st_mode)                        ? "a FIFO"
                     : S_ISSOCK(st.st_mode)                        ? "a socket"
                     : S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ? "a device"
                                                                   : "not a regular file";
  error = path + " is " + kind + "; only a regular file, a new name or - (standard output) "
          "can be written";
  return false;
}

bool LoadConfigurationInput(const std::string& path, LoadedConfiguration& out, std::string& error) {
  if (path != kStandardOutput) return LoadConfigurationFile(path, out, error);
  std::string text;
  char buf[65536];
  while (std::cin.read(buf, sizeof buf) || std::cin.gcount() > 0) {
    text.append(buf, static_cast<std::size_t>(std::cin.gcount()));
    if (text.size() > kMaxReadSize) {
      error = "standard input: too large";
      return false;
    }
  }
  return LoadConfigurationText(text, true, "standard input", out, error);
}

bool WriteConfigurationOutput(const std::string& path, const LoadedConfiguration& config,
                              std::string& error) {
  if (path == kStandardOutput) {
    std::cout << WriteIgnText(config.image) << std::flush;
    if (!std::cout) {
      error = "cannot write to standard output";
      return false;
    }
    return true;
  }
  if (!CheckOutputPath(path, error)) return false;
  return SaveConfigurationFile(path, config, error);
}

}  // namespace rq
