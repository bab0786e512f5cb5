// SPDX-License-Identifier: GPL-3.0-or-later
#include "logs/monitor_csv.h"

#include <cstdio>
#include <ctime>

namespace rq::logs {

std::string MonitorCsvTimestamp(WallClock::time_point when) {
  const std::time_t t = WallClock::to_time_t(when);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count() % 1000;
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[40];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &tm);
  char out[48];
  std::snprintf(out, sizeof out, "%s.%03d", buf, static_cast<int>(ms));
  return out;
}

std::string MonitorCsvRow(const MonitorSnapshot& s, WallClock::time_point when) {
  return MonitorCsvTimestamp(when) + ',' + MonitorCsvValues(s);
}

}  // namespace rq::logs
