// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file reads and safe whole-file writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace rq {

inline constexpr std::size_t kMaxReadSize = 256u * 1024u * 1024u;

// A regular file opened for reading, or why not. The path is looked at first, so a FIFO, a
// device or a socket is never opened (a FIFO without a writer would block the open and the
// read for ever); the open itself does not wait, and the descriptor is looked at again in case
// the path changed in between. The descriptor is left blocking; the caller closes it.
struct RegularFile {
  int fd = -1;
  std::uint64_t size = 0;
  int error = 0;               // errno when the path could not be looked at or opened
  const char* kind = nullptr;  // what the path is instead of a regular file: "a folder",
                               // "a FIFO", "a socket", "a device" or "not a regular file"
};
RegularFile OpenRegularFile(const std::string& path);

// Reads a whole file. On failure returns nothing and puts the reason into error.
std::optional<std::string> ReadWholeFile(const std::string& path, std::string& error,
                                         std::size_t maxSize = kMaxReadSize);

// Writes a temporary file in the target's folder, checks every write, fsync and close, then
// renames it over the target. The target is either the old file or the complete new one.
bool WriteFileAtomic(const std::string& path, const std::string& content, std::string& error);

}  // namespace rq
