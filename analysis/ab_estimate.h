// SPDX-License-Identifier: GPL-3.0-or-later
// The best advance per cell of an advance map page, estimated from every A/B ride given.
//
// Torque falls off on both sides of the best advance b, close to a parabola: a share
// 1 - k (a - b)^2 of the best at advance a. Two advances a1 and a2 fired in the same stratum
// (one log, one gear, one time window) then differ in acceleration by a gain
//
//   g = ln(acc2 / acc1)  ~  -v d (m - b),      d = a2 - a1, m = (a1 + a2) / 2,
//
// where v (twice k, times what the drag of the bike makes of a torque gain) is the fall-off's
// strength. So the size of the gain says how far the pair's middle lies from the best, not only
// on which side. Each stratum of a cell with passes of both maps gives one such gain, with the
// advances its rows logged (so rides made with other maps count together). Each map's level
// there is the mean of its passes, weighed by the scatter the log shows from row to row and
// from pass to pass; the pass-to-pass part (road, wind) is shared by every cell the same
// pulls ran through.
//
// For a given v the gains are linear in b. A cell's b is read from a plane through the cell and
// its neighbours (two rpm columns and two throttle rows either side, the nearer weighing more):
// the best advance changes smoothly with engine speed and load, and the plane follows a slope
// without a bias. A wide normal prior around the value the tuned map had in the first ride
// through the cell completes it. v is not assumed: its posterior is taken on a grid from flat to
// very steep, from the likelihoods of the cell and its neighbours, with a prior around a usual
// value (what the first ride leans on, when all its pairs have one middle) that also gives a
// fifth of its weight to an engine that does not care. The estimate is the median of the
// resulting mixture, its interval the 2.5th and 97.5th percentiles.
//
// The data prefer another value than the first where the best advance lies on one side of the
// first value with a chance of at least 3 in 4. Elsewhere the cell keeps its first value: an
// engine that does not care about advance there gives gains near none at every pair, which its
// neighbours' flat gains explain best, and the cell does not move.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <vector>

#include "analysis/ab_passes.h"

namespace rq::analysis {

struct EstimateOptions {
  AbSelection selection;
  double windowSeconds = 600;
  AdvanceOffsets offsets;
  // The fall-off assumed before the rides say otherwise: relative acceleration lost per degree
  // squared and per degree of the pair's spread (v above).
  double priorCurvature = 0.002;
  double priorSpread = 10;  // degrees: the prior's standard deviation of b around the first value
  double confidence = 0.95;
  int neighbourColumns = 2;
  int neighbourRows = 1;
};

struct BestCell {
  // Degrees of the map at the cell's point (from the advances the rows fired, taken back to the
  // map's value where the passes carry a reference configuration); nullopt without a comparison.
  std::optional<double> best, low, high;
  int rides = 0;          // logs that gave counted rows in the cell
  int comparisons = 0;    // strata with rows of both maps at different advances
  double first = 0;       // the tuned map's advance in the oldest ride through the cell
  double centre = 0;      // the middle of the pair the newest ride through the cell used
  double highest = 0;     // the highest advance any ride fired in the cell
  double lowest = 0;      // the lowest
  bool ridden = false;    // first, centre, highest and lowest are known (an advance was logged)
  // The data prefer another value than the first (see above).
  bool preference = false;
  double target = 0;      // what the data call for: the estimate, or the first value
  // The reference configuration's tuned map still holds the first value here (its cell is
  // then kept as it is where the data show no preference).
  bool firstConfigured = false;

  // The interval lies within a degree of the estimate on both sides.
  bool settled() const { return best && low && high && *high - *best <= 1.0 && *best - *low <= 1.0; }
};

struct BestEstimate {
  std::array<std::array<BestCell, kMapColumns>, kMapRows> cells{};
  std::size_t logs = 0;
  const BestCell& at(int row, int column) const { return cells[std::size_t(row)][std::size_t(column)]; }
};

// `tunedMap`: 1 or 2, the map whose first values anchor the estimate.
BestEstimate EstimateBestAdvance(const AbPasses& passes, int tunedMap, const EstimateOptions& options);
BestEstimate EstimateBestAdvance(std::span<const AbLog> logs, const LiveCellRule& rule, int tunedMap,
                                 const EstimateOptions& options);

}  // namespace rq::analysis
