// SPDX-License-Identifier: GPL-3.0-or-later
// What the A/B rides propose for the map being tuned, and the pair of maps to ride next.
//
// Proposal (the map to keep): in each cell with an estimate of the best advance
// (analysis/ab_estimate.h), the estimate rounded; every other cell as the tuned map has it.
// Next pair: map 1 and map 2 at the proposal minus and plus `spread` degrees; cells without an
// estimate keep both maps' values. Before the first ride (no ride at all) every cell where
// the two maps are equal gets a pair around its value.
//
// Held, and reported with the reason: a cell never moves more than `maxMove` degrees from the
// middle of the pair the newest ride through it used (so the same rides taken twice move
// nothing twice); the advanced map of the pair never goes more than `maxMove` above the highest
// advance any ride fired in the cell (past the best advance lies knock), nor the retarded one as
// far below the lowest; and every cell stays within its limits: the field's range, narrowed by
// limits the caller gives.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "analysis/ab_estimate.h"
#include "limits/map_limits.h"
#include "model/parameter_image.h"

namespace rq::analysis {

using MapValues = std::array<std::array<int, kMapColumns>, kMapRows>;

// Lowest and highest advance allowed in each cell.
struct CellLimits {
  MapValues lo{}, hi{};
};
// The advance field's own range in every cell.
CellLimits FieldLimits();
// The field's range narrowed by the lowest and highest value the tuner's limits give `page`
// (with `image`, only at the cells its limits check: not in the cut nor at exempt cells).
CellLimits CellLimitsOf(const Limits& limits, int page, const ParameterImage* image = nullptr);

struct ProposalOptions {
  int spread = 3;   // degrees either side of the proposal for the next pair: 1 to 6
  int maxMove = 4;  // degrees a cell may move per ride, and above the highest advance ridden
};
inline constexpr int kMinSpread = 1, kMaxSpread = 6;
inline constexpr int kMinMaxMove = 1, kMaxMaxMove = 10;

enum class HoldReason : std::uint8_t {
  Limit,    // the tuner's limits or the field's range
  MaxMove,  // more than maxMove from the pair the newest ride used
  Knock,    // more than maxMove above the highest advance ridden
};

// A cell that was held.
struct ClampedCell {
  int map = 0;  // 0: the proposal, 1: next map 1, 2: next map 2
  int row = 0, column = 0;
  int wanted = 0, got = 0;
  HoldReason reason = HoldReason::Limit;
};

struct AbProposal {
  // Both maps at each cell of the tuned page: the advance the unit fires at the page's rpm
  // point and throttle row (the cell itself when both maps share the page's rpm points).
  MapValues advance1{}, advance2{};
  MapValues proposal{}, next1{}, next2{};
  std::array<std::array<bool, kMapColumns>, kMapRows> estimated{};  // the cell has an estimate
  std::vector<ClampedCell> clamped;
};

// The two advance maps have the same rpm points: the next pair, worked out at the tuned page's
// points, fits both.
bool SameRpmPoints(const ParameterImage& image);

// `page` is the map tuned (kPageAdvance1 or kPageAdvance2); `limits` narrows the field range
// (FieldLimits() when null).
AbProposal ProposeMaps(const ParameterImage& image, int page, const BestEstimate& estimate,
                       const ProposalOptions& options = {}, const CellLimits* limits = nullptr);

}  // namespace rq::analysis
