// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers, gear lists and the options the log commands (cells, ab) share.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

#include "model/config_file.h"

namespace rq {

// A whole string as a number of 0 or more.
inline bool ParseDouble(const std::string& s, double& out) {
  const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size() && out >= 0;
}

// A whole string as a whole number.
inline bool ParseInt(const std::string& s, int& out) {
  const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// "3" or "2,3,4": bit g for each gear g (firstGear to 6).
inline bool ParseGears(const std::string& s, std::uint8_t& bits, int firstGear = 0) {
  bits = 0;
  std::size_t start = 0;
  while (start <= s.size()) {
    const std::size_t end = std::min(s.find(',', start), s.size());
    int g = -1;
    if (!ParseInt(s.substr(start, end - start), g) || g < firstGear || g > 6) return false;
    bits = static_cast<std::uint8_t>(bits | (1u << g));
    start = end + 1;
  }
  return bits != 0;
}

// The options of the log commands: --json, --map NAME, --config FILE, --min-rows N,
// --gear G[,G...].
struct LogOptions {
  bool json = false;
  std::string map, config;
  int minRows = 1;
  std::uint8_t gears = 0x7F;
  int firstGear = 0;  // the lowest gear --gear takes (ab compares gears 1 to 6 only)
};

// A log whose rows all carry the same time: how fast throttle and engine speed change cannot
// be worked out, so no row can be told steady.
inline constexpr const char* kTimesDoNotAdvance =
    "the time stamps do not advance (every row has the same time): how fast throttle and engine "
    "speed change cannot be worked out";

// Takes args[i] (and its value, moving i on) when it is one of the shared options: 1 when it
// was, 0 when it is none of them, -1 when its value is wrong (`message` says why; `maps` names
// the maps the command takes).
int TakeLogOption(const std::vector<std::string>& args, std::size_t& i, LogOptions& out,
                  const char* maps, std::string& message);

// A wrong call: the message and the command's usage on stderr; returns kExitUsage.
int UsageError(const std::string& message, const char* usage);
// A failure: the message on stderr; returns kExitFailure.
int Failure(const std::string& message);

// The configuration of --config, or a new configuration when none was given.
bool LoadLogConfiguration(const LogOptions& options, LoadedConfiguration& out, std::string& error);

}  // namespace rq
