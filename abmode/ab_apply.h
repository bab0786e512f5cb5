// SPDX-License-Identifier: GPL-3.0-or-later
// What the A/B mode writes into the configuration: the proposal (the estimate of the best
// advance) into the map tuned, or the next pair around it into Advance 1 and Advance 2, each
// held within the tuner's limits. The analysis clamps each cell to the field and to the page's
// lowest and highest value (analysis::ProposeMaps' limits); the limit check then holds every
// written cell within its own page's limits and within the change limit against the unit's cell
// when the unit's content is known (ClampToLimits). Plain C++, so that it is tested without a
// window.
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
  int considered = 0;             // cells the operation looked at (with an estimate, selected)
  bool rpmPointsDiffer = false;   // next pair only: the two maps' rpm points differ (nothing written)
  // The image with the writes applied.
  ParameterImage applied(const ParameterImage& image) const;
};

// The proposal into `page` (kPageAdvance1 or kPageAdvance2): the cells of `selection` that the
// page's layout shows, or, without a selection, every shown cell with an estimate. The same
// rides taken twice write nothing the second time: the estimate does not move, and a cell moves
// at most `maxMove` from the pair its newest ride used.
AbWrite TakeProposal(const ParameterImage& image, int page, const analysis::BestEstimate& estimate,
                     const std::optional<CellRect>& selection, const Limits& limits,
                     const ParameterImage* unit, const analysis::ProposalOptions& options = {});

// The next pair: Advance 1 and Advance 2 at the proposal minus and plus the spread, at every
// cell the layout shows. Both maps must have the same rpm points (the pair is worked out at the
// tuned page's points); when they differ nothing is written and rpmPointsDiffer says so.
AbWrite PrepareNextRide(const ParameterImage& image, int page, const analysis::BestEstimate& estimate,
                        const Limits& limits, const ParameterImage* unit,
                        const analysis::ProposalOptions& options = {});

// The proposal and pair as the analysis makes them, the page limits holding each map of the
// pair (for the window's list of what was held and why).
analysis::AbProposal ProposalWithin(const ParameterImage& image, int page,
                                    const analysis::BestEstimate& estimate, const Limits& limits,
                                    const analysis::ProposalOptions& options, int limitsPage);

}  // namespace rq::abmode
