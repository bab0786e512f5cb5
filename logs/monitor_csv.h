// SPDX-License-Identifier: GPL-3.0-or-later
// The CSV of the live values: one header row of channel keys, then one row per accepted
// monitor reply, each starting with its local time stamp to the millisecond. The command
// line's `monitor` and the window's recording both write it through here.
#pragma once

#include <chrono>
#include <string>

#include "protocol/channel_table.h"
#include "protocol/monitor_reply.h"

namespace rq::logs {

using WallClock = std::chrono::system_clock;

// "time" and the channel keys, comma-separated, without a line end (from the channel table).
using ::rq::MonitorCsvHeader;
// "2026-05-04T17:03:21.250" in local time.
std::string MonitorCsvTimestamp(WallClock::time_point when);
// The time stamp and every value in plain units, without a line end.
std::string MonitorCsvRow(const MonitorSnapshot& s, WallClock::time_point when);

}  // namespace rq::logs
