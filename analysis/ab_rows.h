// SPDX-License-Identifier: GPL-3.0-or-later
// The rows of a ride log that an A/B comparison of the two advance maps counts, and the
// columns it reads from the log.
//
// A row counts when the engine runs (not stopped, not cranking on base advance), no limiter,
// start limiter, clutch master, retard or kill switch acts, the unit knows the gear (1 to 6,
// and one of the gears asked for), the throttle is open at least `minThrottlePct` and steady
// (changing no faster than `maxThrottlePctPerS` against the row before, by the steady rule of
// the cell counts), and the acceleration is known.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logs/cell_count.h"
#include "logs/log_table.h"

namespace rq::analysis {

// The columns of one log that the comparison reads.
struct AbLog {
  logs::CellInputs cells;            // time, rpm, throttle, the map in use, gear
  std::vector<float> acceleration;   // rpm/s; NaN where it is not known
  std::vector<std::uint8_t> blocked; // 1 while something besides the map changes the advance or the pull
  // The advance the unit fired (cylinder 1), degrees; empty when the log has no such column.
  // With it each row says which advance its map gave, so rides made with other maps count.
  std::vector<float> advance;
  // The log has no acceleration column: the acceleration is the rise of engine speed from the
  // row before (over at most kSteadyGapS; a fall counts as 0, as the unit reports it). The
  // comparison takes such a rise only between two rows of the same cell.
  bool accelerationDerived = false;
  // What the log was read from, for the list of rides: the first time stamp (ms since the
  // epoch, when the log has dates), its length in seconds, and a digest of its rows that is the
  // same for the same ride under another file name.
  std::optional<std::int64_t> startMs;
  double seconds = 0;
  std::uint64_t digest = 0;
};

// The unit's acceleration; without it the comparison derives one from rpm.
inline constexpr const char* kAccelerationChannel = "acceleration_rpm_s";
// The largest acceleration the unit's 16-bit channel carries; a log with more is refused.
inline constexpr double kMaxAcceleration = 65535;
// The advance fired on cylinder 1 (the map in use with the unit's corrections).
inline constexpr const char* kAdvanceChannel = "advance1_deg";

// The flag channels that make a row not count while they are on: limiters, start limiter,
// clutch master, retard, the kill switch, cranking on base advance. A log without one of
// these columns is taken as never having had that flag on.
inline constexpr std::array<const char*, 9> kBlockingChannels = {
    "soft_limiter",  "limiter",     "start_limiter_activated", "start_soft_limiter", "start_limiter",
    "clutch_master", "retard",      "motor_off",               "base_advance"};

// Reads the columns a comparison needs. A log without rpm, gear or second_map cannot be
// compared (nullopt, with the reason in `error`), nor one with an acceleration beyond the unit's
// channel.
std::optional<AbLog> ExtractAbLog(const logs::LogTable& log, std::string& error);

// True for a column ExtractAbLog reads: a reader of a log meant only for the comparison can
// leave the others out (LoadOptions::keepColumn).
bool ReadForComparison(std::string_view column);

// The options of a reader of a ride log for the comparison: only its columns, and an
// acceleration beyond the unit's channel refused with its line and column.
logs::LoadOptions AbLoadOptions();

// Reads a ride log from a file for the comparison (AbLoadOptions, then ExtractAbLog); nullopt
// with the reason, file name first, in `error`. `progress` as LoadOptions::progress.
std::optional<AbLog> LoadAbLog(const std::string& path, std::string& error,
                               std::function<bool(std::uint64_t, std::uint64_t)> progress = {},
                               bool* cancelled = nullptr);

// Why a row does not count: the first of these that applies, in this order.
enum class RowReason : std::uint8_t {
  Counted,
  EngineStopped,      // rpm 0
  Blocked,            // a flag of kBlockingChannels is on
  NoGear,             // gear 0: neutral, or the unit does not know it
  GearLeftOut,        // a gear not asked for
  ThrottleLow,        // below the minimum opening
  ThrottleMoving,     // throttle not steady
  AccelerationUnknown,
  NoCell,             // outside the page's cells (not in this page's layout)
};
inline constexpr int kRowReasons = 9;
// The reason's key in the command line's JSON ("throttle_moving") and its words in the text.
const char* RowReasonKey(RowReason reason);
const char* RowReasonText(RowReason reason);

struct AbSelection {
  double minThrottlePct = 20;
  double maxThrottlePctPerS = 10;
  std::uint8_t gears = 0x7E;  // bit g for gear g: 1 to 6
};

// The reason of every row of the log (Counted or why not); NoCell is left to the caller, who
// knows the page.
std::vector<RowReason> SelectAbRows(const AbLog& log, const AbSelection& selection);

}  // namespace rq::analysis
