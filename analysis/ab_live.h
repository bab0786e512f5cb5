// SPDX-License-Identifier: GPL-3.0-or-later
// Counting an A/B ride while it is recorded: row by row, how many compared rows and passes of
// each map every cell of a map page already holds, so the rider knows when the ride has done
// its work. The rows and passes are those the comparison (analysis/ab_compare.h) counts in a
// log of the same rows: the same row rules, the same passes, compared only within one gear and
// time window. A row is decided when the row after it comes (the throttle's steadiness of a
// row after a gap is judged against the row after it), so the newest row is not counted yet.
#pragma once

#include <array>
#include <cstdint>
#include <map>

#include "analysis/ab_compare.h"

namespace rq::analysis {

// One live row, in the units of the ride log.
struct AbLiveRow {
  double time = 0;                 // seconds
  int rpm = 0;
  int throttle = 0;                // tenths of a percent
  bool secondMap = false;
  int gear = 0;
  double acceleration = 0;         // rpm/s; NaN when not known
  bool blocked = false;            // a flag of kBlockingChannels is on
};

// Compared rows and passes of each map in one cell (as AbCell counts them).
struct AbLiveCell {
  std::array<int, 2> rows{}, passes{};
};

class AbLiveCount {
 public:
  AbLiveCount(const LiveCellRule& rule, const AbOptions& options);

  void add(const AbLiveRow& row);
  // Cells with enough compared rows and passes of both maps for a verdict.
  int readyCells() const { return ready_; }
  // Cells with a counted row of either map.
  int visitedCells() const { return visited_; }
  const AbLiveCell& at(int row, int column) const { return cells_[std::size_t(row * kMapColumns + column)]; }
  bool ready(int row, int column) const;

 private:
  void decide(std::size_t index);

  LiveCellRule rule_;
  AbOptions options_;
  AbLog recent_;  // the last three rows
  std::uint64_t added_ = 0;
  std::uint64_t previousCounted_ = ~std::uint64_t(0);  // index of the last counted row
  double previousTime_ = 0;
  int previousKey_ = -1;  // cell, gear and map of the last counted row
  struct Stratum {
    std::array<std::uint32_t, 2> rows{}, passes{};
  };
  std::map<std::uint64_t, Stratum> strata_;  // window, gear and cell
  std::array<AbLiveCell, kMapRows * kMapColumns> cells_{};
  std::array<bool, kMapRows * kMapColumns> visited_cells_{};
  int ready_ = 0;
  int visited_ = 0;
};

}  // namespace rq::analysis
