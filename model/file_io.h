// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file reads and safe whole-file writes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace rq {

inline constexpr std::size_t kMaxReadSize = 256u * 1024u * 1024u;

// Reads a whole file. On failure returns nothing and puts the reason into error.
std::optional<std::string> ReadWholeFile(const std::string& path, std::string& error,
                                         std::size_t maxSize = kMaxReadSize);

// Writes a temporary file in the target's folder, checks every write, fsync and close, then
// renames it over the target. The target is either the old file or the complete new one.
bool WriteFileAtomic(const std::string& path, const std::string& content, std::string& error);

}  // namespace rq
