// SPDX-License-Identifier: GPL-3.0-or-later
// The proposal and the next pair written into the configuration within the limits.
#include "abmode/ab_apply.h"

#include <algorithm>
#include <functional>
#include <cmath>
#include <set>
#include <tuple>

namespace rq::abmode {

namespace {

using Key = std::tuple<int, int, int>;  // page, row, column

// A map's values at the tuned page's cells, wanted in `page`.
struct Wanted {
  int page;
  const analysis::MapValues* values;
  const analysis::AbProposal* proposal;  // where the values come from
  int map;  // the analysis' map number of these values (0: proposal, 1: next map 1, 2: next map 2)
};

AbWrite Write(const ParameterImage& image, const std::vector<Wanted>& wanted, int tunedPage,
              const std::function<bool(int, int)>& takes, const Limits& limits,
              const ParameterImage* unit) {
  AbWrite out;
  ParameterImage proposed = image;
  std::vector<MapCell> cells;
  std::set<Key> held;
  const MapMode mode = MapModeOf(image, tunedPage);
  for (const Wanted& w : wanted) {
    const MapDef& map = *MapOfPage(w.page);
    std::set<std::pair<int, int>> heldHere;
    for (const analysis::ClampedCell& k : w.proposal->clamped)
      if (k.map == w.map) heldHere.insert({k.row, k.column});
    for (int r = 0; r < kMapRows; ++r) {
      for (int c = 0; c < kMapColumns; ++c) {
        if (!CellVisible(mode, r, c) || !takes(r, c)) continue;
        ++out.considered;
        const bool wasHeld = heldHere.count({r, c}) != 0;
        if (wasHeld) held.insert({w.page, r, c});
        const int at = CellByte(map, r, c);
        const int value = (*w.values)[std::size_t(r)][std::size_t(c)];
        if (value == image.byte(at)) continue;
        proposed.setByte(at, value);
        cells.push_back({w.page, r, c});
      }
    }
  }
  // The page's own limits and the change against the unit; whatever this moves was held too.
  const ParameterImage before = proposed;
  ClampToLimits(proposed, cells, limits, unit);
  for (const MapCell& m : cells) {
    const int at = CellByte(*MapOfPage(m.page), m.row, m.column);
    if (proposed.byte(at) != before.byte(at)) held.insert({m.page, m.row, m.column});
    if (proposed.byte(at) != image.byte(at)) out.writes.push_back({m, at, proposed.byte(at)});
  }
  out.clamped = int(held.size());
  return out;
}

// The analysis' proposal and pair with the limits of `page` holding map `map` (0: the proposal,
// 1: next map 1, 2: next map 2) in every cell where it changes that page: a cell the analysis
// leaves as it is stays untouched, even where it breaks a limit already (the limit marks show
// that), and is not reported as held.
analysis::AbProposal Held(const ParameterImage& image, int tunedPage, const analysis::BestEstimate& estimate,
                          const analysis::ProposalOptions& options, const Limits& limits, int page, int map) {
  const analysis::AbProposal free = analysis::ProposeMaps(image, tunedPage, estimate, options);
  const analysis::MapValues& values = map == 0 ? free.proposal : map == 1 ? free.next1 : free.next2;
  const analysis::CellLimits own = analysis::CellLimitsOf(limits, page, &image);
  analysis::CellLimits cells = analysis::FieldLimits();
  const MapDef& def = *MapOfPage(page);
  for (std::size_t r = 0; r < std::size_t(kMapRows); ++r)
    for (std::size_t c = 0; c < std::size_t(kMapColumns); ++c)
      if (values[r][c] != image.byte(CellByte(def, int(r), int(c)))) {
        cells.lo[r][c] = own.lo[r][c];
        cells.hi[r][c] = own.hi[r][c];
      }
  return analysis::ProposeMaps(image, tunedPage, estimate, options, &cells);
}

}  // namespace

ParameterImage AbWrite::applied(const ParameterImage& image) const {
  ParameterImage out = image;
  for (const CellWrite& w : writes) out.setByte(w.byteAt, w.value);
  return out;
}

analysis::AbProposal ProposalWithin(const ParameterImage& image, int page,
                                    const analysis::BestEstimate& estimate, const Limits& limits,
                                    const analysis::ProposalOptions& options, int limitsPage) {
  return Held(image, page, estimate, options, limits, limitsPage, limitsPage == kPageAdvance2 ? 2 : 1);
}

AbWrite TakeProposal(const ParameterImage& image, int page, const analysis::BestEstimate& estimate,
                     const std::optional<CellRect>& selection, const Limits& limits,
                     const ParameterImage* unit, const analysis::ProposalOptions& options) {
  const analysis::AbProposal proposal = Held(image, page, estimate, options, limits, page, 0);
  auto takes = [&](int r, int c) {
    return proposal.estimated[std::size_t(r)][std::size_t(c)] && (!selection || selection->contains(r, c));
  };
  return Write(image, {{page, &proposal.proposal, &proposal, 0}}, page, takes, limits, unit);
}

AbWrite PrepareNextRide(const ParameterImage& image, int page, const analysis::BestEstimate& estimate,
                        const Limits& limits, const ParameterImage* unit,
                        const analysis::ProposalOptions& options) {
  if (!analysis::SameRpmPoints(image)) {
    AbWrite none;
    none.rpmPointsDiffer = true;
    return none;
  }
  // Each map of the pair within its own page's lowest and highest value.
  const analysis::AbProposal pair1 = Held(image, page, estimate, options, limits, kPageAdvance1, 1);
  const analysis::AbProposal pair2 = Held(image, page, estimate, options, limits, kPageAdvance2, 2);
  auto every = [](int, int) { return true; };
  return Write(image,
               {{kPageAdvance1, &pair1.next1, &pair1, 1}, {kPageAdvance2, &pair2.next2, &pair2, 2}},
               page, every, limits, unit);
}

}  // namespace rq::abmode
