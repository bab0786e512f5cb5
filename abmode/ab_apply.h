// SPDX-License-Identifier: GPL-3.0-or-later
// What the A/B mode writes into the configuration: the proposal into the map tuned, or the
// next pair into Advance 1 and Advance 2, each held within the tuner's limits. The analysis
// clamps each cell to the field and to the page's lowest and highest value
// (analysis::ProposeMaps' limits); the limit check then holds every written cell within its
// own page's limits and within the change limit against the unit's cell when the unit's
// content is known (ClampToLimits). Plain C++, so that it is tested without a window.
#pragma once

#include <optional>
#include <vector>

#include "analysis/ab_compare.h"
#include "analysis/ab_proposal.h"
#include "limits/limit_check.h"
#include "limits/map_limits.h"
#include "model/map_model.h"
#include "model/parameter_image.h"

namespace rq::abmode {

// One cell's new byte.
struct CellWrite {
  MapCell cell;
  int byteAt = 0;
  int value = 0;
};

struct AbWrite {
  std::vector<CellWrite> writes;  // the cells whose value changes, in page, row, column order
  int clamped = 0;                // cells held within the limits (each cell once)
  int considered = 0;             // cells the operation looked at (with a verdict, selected)
  bool rpmPointsDiffer = false;   // next pair only: the two maps' rpm points differ (nothing written)
  // The image with the writes applied.
  ParameterImage applied(const ParameterImage& image) const;
};

// The page's lowest and highest value as the analysis' cell limits (the field's range where
// the page has none, and, with `image`, at the cells its limits do not check: the cut and the
// exempt cells).
analysis::CellLimits CellLimitsOf(const Limits& limits, int page, const ParameterImage* image = nullptr);

// The proposal into `page` (kPageAdvance1 or kPageAdvance2): the cells of `selection` that the
// page's layout shows, or, without a selection, every shown cell with a verdict.
AbWrite TakeProposal(const ParameterImage& image, int page, const analysis::AbResult& result,
                     const std::optional<CellRect>& selection, const Limits& limits,
                     const ParameterImage* unit, int step = 2);

// The next pair: Advance 1 = the proposal, Advance 2 = the next map 2, at every cell the
// layout shows. Both maps must have the same rpm points (the pair is worked out at the tuned
// page's points); when they differ nothing is written and rpmPointsDiffer says so.
AbWrite PrepareNextRide(const ParameterImage& image, int page, const analysis::AbResult& result,
                        const Limits& limits, const ParameterImage* unit, int step = 2);

}  // namespace rq::abmode
