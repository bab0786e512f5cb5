// SPDX-License-Identifier: GPL-3.0-or-later
// Hand-made ride logs for the A/B tests: rows written as the monitor log writes them, and pulls
// through one cell in a chosen gear on a chosen map.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/ab_compare.h"
#include "logs/log_table.h"
#include "model/defaults.h"

namespace rq::analysis::abtest {

// rpm points 1000, 2000, ... 15000 on both advance maps: 5000 rpm is column 4, 60 % row 7.
inline ParameterImage AxisConfig() {
  ParameterImage im = NewConfiguration();
  for (int c = 0; c < kMapColumns; ++c) {
    im.setWord(kAdvance1Axis[c], 1000 * (c + 1));
    im.setWord(kAdvance2Axis[c], 1000 * (c + 1));
  }
  im.setByte(kMapsUseThrottle, 1);
  return im;
}
inline constexpr int kRow = 7, kColumn = 4;

struct LogRow {
  double t = 0;
  int rpm = 5000;
  double throttle = 60;
  int map = 0;  // 0: map 1, 1: map 2
  int gear = 2;
  double acceleration = 1000;
  std::string flag = "";  // a blocking channel that is on in this row
  int advance = -1;       // the advance fired (logged when a row of the log has one)
};

inline std::string AbCsv(const std::vector<LogRow>& rows, bool withAcceleration = true) {
  bool withAdvance = false;
  for (const LogRow& r : rows) withAdvance |= r.advance >= 0;
  std::string out = "time,rpm,throttle_pct,second_map,gear";
  if (withAcceleration) out += ",acceleration_rpm_s";
  if (withAdvance) out += ",advance1_deg";
  for (const char* key : kBlockingChannels) out += std::string(",") + key;
  out += '\n';
  char buf[96];
  for (const LogRow& r : rows) {
    std::snprintf(buf, sizeof buf, "%.3f,%d,%.1f,%d,%d", r.t, r.rpm, r.throttle, r.map, r.gear);
    out += buf;
    if (withAcceleration) out += "," + std::to_string(int(r.acceleration + 0.5));
    if (withAdvance) out += "," + std::to_string(r.advance);
    for (const char* key : kBlockingChannels) out += r.flag == key ? ",1" : ",0";
    out += '\n';
  }
  return out;
}

inline AbLog ParseAbLog(const std::string& csv) {
  const auto loaded = logs::ParseCsvText(csv);
  EXPECT_TRUE(loaded.ok()) << loaded.error.message;
  std::string error;
  auto log = ExtractAbLog(*loaded.table, error);
  EXPECT_TRUE(log.has_value()) << error;
  return *log;
}

// Pulls through cell (kRow, kColumn): each a closed-throttle row, a row while the throttle
// opens (not counted), then `rows` counted rows whose acceleration wobbles by up to 2 % around
// `acceleration`; rows 0.3 s apart.
class Pulls {
 public:
  Pulls& add(int gear, int map, double acceleration, int rows = 3) {
    const int a = advance_[map != 0 ? 1 : 0];
    rows_.push_back({t_, 5000, 0, map, gear, 0, "", a});
    rows_.push_back({t_ + 0.3, 5000, 60, map, gear, acceleration, "", a});
    for (int k = 0; k < rows; ++k)
      rows_.push_back({t_ + 0.6 + 0.3 * k, 5000, 60, map, gear, acceleration * (1 + wobble()), "", a});
    t_ += 0.6 + 0.3 * rows;
    return *this;
  }
  // The advance each map fires from now on, logged with every row (-1: not logged).
  Pulls& advances(int map1, int map2) {
    advance_ = {map1, map2};
    return *this;
  }
  // Moves the clock on (a stretch of riding elsewhere).
  Pulls& wait(double seconds) {
    t_ += seconds;
    return *this;
  }
  double now() const { return t_; }
  const std::vector<LogRow>& rows() const { return rows_; }
  AbLog log() const { return ParseAbLog(AbCsv(rows_)); }

 private:
  double wobble() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return (double(state_ >> 11) / double(1ull << 53) - 0.5) * 0.04;
  }
  std::vector<LogRow> rows_;
  std::array<int, 2> advance_ = {-1, -1};
  double t_ = 0;
  std::uint64_t state_ = 12345;
};

inline AbResult Compare(const std::vector<AbLog>& logs, const AbOptions& options = {},
                        int page = kPageAdvance1) {
  return CompareMaps(logs, MakeLiveCellRule(AxisConfig(), page), options);
}

}  // namespace rq::analysis::abtest
