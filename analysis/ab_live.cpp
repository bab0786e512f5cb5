// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/ab_live.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace rq::analysis {

AbLiveCount::AbLiveCount(const LiveCellRule& rule, const AbOptions& options) : rule_(rule), options_(options) {}

bool AbLiveCount::ready(int row, int column) const {
  const AbLiveCell& c = at(row, column);
  return c.rows[0] >= options_.minRows && c.rows[1] >= options_.minRows && c.passes[0] >= options_.minPasses &&
         c.passes[1] >= options_.minPasses;
}

void AbLiveCount::add(const AbLiveRow& row) {
  logs::CellInputs& in = recent_.cells;
  if (in.rows() == 3) {
    in.time.erase(in.time.begin());
    in.rpm.erase(in.rpm.begin());
    in.throttle.erase(in.throttle.begin());
    in.secondMap.erase(in.secondMap.begin());
    in.gear.erase(in.gear.begin());
    recent_.acceleration.erase(recent_.acceleration.begin());
    recent_.blocked.erase(recent_.blocked.begin());
  }
  in.time.push_back(row.time);
  in.rpm.push_back(std::uint16_t(std::clamp(row.rpm, 0, 65535)));
  in.throttle.push_back(std::uint16_t(std::clamp(row.throttle, 0, 65535)));
  in.secondMap.push_back(row.secondMap ? 1 : 0);
  in.gear.push_back(std::uint8_t(std::clamp(row.gear, 0, 255)));
  in.hasGear = in.hasSecondMap = in.hasThrottle = true;
  recent_.acceleration.push_back(float(row.acceleration));
  recent_.blocked.push_back(row.blocked ? 1 : 0);
  ++added_;
  // The row before the newest is decided now: against its own row before, or after a gap
  // against the newest.
  if (in.rows() >= 2) decide(in.rows() - 2);
}

void AbLiveCount::decide(std::size_t index) {
  const std::uint64_t number = added_ - (recent_.cells.rows() - index);  // of the row in the ride
  const std::vector<RowReason> reasons = SelectAbRows(recent_, options_.selection);
  if (reasons[index] != RowReason::Counted) return;
  const logs::CellInputs& in = recent_.cells;
  const LiveCell live = LiveCellAt(rule_, in.rpm[index], in.throttle[index], rule_.page == kPageAdvance2);
  if (!live.cellMarked) return;
  const int cell = live.row * kMapColumns + live.column;
  const int map = in.secondMap[index] != 0 ? 1 : 0;
  const int gear = in.gear[index];
  const double t = in.time[index];
  const int key = (cell << 4) | (gear << 1) | map;
  const bool newPass =
      !(previousCounted_ + 1 == number && previousKey_ == key && t - previousTime_ <= logs::kSteadyGapS);
  previousCounted_ = number;
  previousKey_ = key;
  previousTime_ = t;
  if (!visited_cells_[std::size_t(cell)]) {
    visited_cells_[std::size_t(cell)] = true;
    ++visited_;
  }
  const double window = options_.windowSeconds > 0 ? options_.windowSeconds : std::numeric_limits<double>::infinity();
  const auto w = std::uint64_t(std::max<std::int64_t>(std::int64_t(std::floor(t / window)), 0));
  Stratum& s = strata_[(w << 12) | std::uint64_t(gear << 8) | std::uint64_t(cell)];
  const bool before = s.rows[0] > 0 && s.rows[1] > 0;
  const bool wasReady = ready(live.row, live.column);
  ++s.rows[std::size_t(map)];
  if (newPass) ++s.passes[std::size_t(map)];
  AbLiveCell& c = cells_[std::size_t(cell)];
  if (before) {
    ++c.rows[std::size_t(map)];
    if (newPass) ++c.passes[std::size_t(map)];
  } else if (s.rows[0] > 0 && s.rows[1] > 0) {
    for (std::size_t m = 0; m < 2; ++m) {
      c.rows[m] += int(s.rows[m]);
      c.passes[m] += int(s.passes[m]);
    }
  }
  if (!wasReady && ready(live.row, live.column)) ++ready_;
}

}  // namespace rq::analysis
