// SPDX-License-Identifier: GPL-3.0-or-later
// What an A/B comparison proposes for the map being tuned, and the pair of maps to ride next.
//
// Proposal: in each cell with a verdict, the advance of the map that pulled harder; every
// other cell as the tuned map has it. Next pair: map 1 = the proposal; map 2 = the proposal
// moved by `step` degrees away from the loser (further in the direction that won where map 2
// won, to the other side of map 1 from map 2 where map 1 won); cells without a verdict keep
// their A/B difference. Every cell stays within its limits: the field's range, narrowed by
// limits the caller gives; every cell that had to be held in is reported.
#pragma once

#include <array>
#include <vector>

#include "analysis/ab_compare.h"
#include "model/parameter_image.h"

namespace rq::analysis {

using MapValues = std::array<std::array<int, kMapColumns>, kMapRows>;

// Lowest and highest advance allowed in each cell.
struct CellLimits {
  MapValues lo{}, hi{};
};
// The advance field's own range in every cell.
CellLimits FieldLimits();

// A cell that was held within its limits.
struct ClampedCell {
  int map = 1;  // 1: the proposal (and next map 1), 2: next map 2
  int row = 0, column = 0;
  int wanted = 0, got = 0;
};

struct AbProposal {
  // Both maps at each cell of the tuned page: the advance the unit fires at the page's rpm
  // point and throttle row (the cell itself when both maps share the page's rpm points).
  MapValues advance1{}, advance2{};
  MapValues proposal{}, next1{}, next2{};
  std::vector<ClampedCell> clamped;
};

// The advance of map page `mapPage` at an rpm on its throttle row `row`, along its rpm points.
int AdvanceAt(const ParameterImage& image, int mapPage, int rpm, int row);

// `page` is the map tuned (kPageAdvance1 or kPageAdvance2); `limits` narrows the field range
// (FieldLimits() when null).
AbProposal ProposeMaps(const ParameterImage& image, int page, const AbResult& result, int step = 2,
                       const CellLimits* limits = nullptr);

}  // namespace rq::analysis
