// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/ab_proposal.h"

#include <algorithm>
#include <cmath>

#include "limits/limit_check.h"

namespace rq::analysis {

CellLimits FieldLimits() {
  const MapDef& map = *MapOfPage(kPageAdvance1);
  CellLimits limits;
  for (auto& row : limits.lo) row.fill(map.minCell);
  for (auto& row : limits.hi) row.fill(map.maxCell);
  return limits;
}

CellLimits CellLimitsOf(const Limits& limits, int page, const ParameterImage* image) {
  CellLimits cells = FieldLimits();
  const PageLimits* own = limits.of(page);
  if (own == nullptr) return cells;
  MapCellSet checked;
  checked.set();
  if (image != nullptr) checked = CheckedCells(*image, page, *own);
  for (std::size_t r = 0; r < cells.lo.size(); ++r)
    for (std::size_t c = 0; c < cells.lo[r].size(); ++c) {
      if (!checked.test(CellIndex(int(r), int(c)))) continue;
      if (own->min) cells.lo[r][c] = std::max(cells.lo[r][c], int(std::ceil(*own->min)));
      if (own->max) cells.hi[r][c] = std::min(cells.hi[r][c], int(std::floor(*own->max)));
    }
  return cells;
}

bool SameRpmPoints(const ParameterImage& image) {
  const MapDef& one = *MapOfPage(kPageAdvance1);
  const MapDef& two = *MapOfPage(kPageAdvance2);
  for (int c = 0; c < kMapColumns; ++c)
    if (image[one.axis[c]] != image[two.axis[c]]) return false;
  return true;
}

AbProposal ProposeMaps(const ParameterImage& image, int page, const BestEstimate& estimate,
                       const ProposalOptions& options, const CellLimits* limits) {
  const CellLimits field = FieldLimits();
  const MapDef& tuned = *MapOfPage(page);
  const int spread = std::clamp(options.spread, kMinSpread, kMaxSpread);
  const int maxMove = std::max(0, options.maxMove);
  AbProposal out;
  // Holds `wanted` within [lo, hi] for `reason`; the last hold that moved it is reported.
  struct Holding {
    int wanted, got;
    HoldReason reason = HoldReason::Limit;
    void within(double lo, double hi, HoldReason why) {
      const int l = int(std::ceil(lo - 1e-9)), h = std::max(l, int(std::floor(hi + 1e-9)));
      const int next = std::clamp(got, l, h);
      if (next != got) reason = why;
      got = next;
    }
  };
  auto limit = [&](Holding& h, std::size_t ri, std::size_t ci) {
    int lo = field.lo[ri][ci], hi = field.hi[ri][ci];
    if (limits != nullptr) {
      lo = std::max(lo, limits->lo[ri][ci]);
      hi = std::max(lo, std::min(hi, limits->hi[ri][ci]));
    }
    h.within(lo, hi, HoldReason::Limit);
  };
  auto report = [&](const Holding& h, int map, int r, int c) {
    if (h.got != h.wanted) out.clamped.push_back({map, r, c, h.wanted, h.got, h.reason});
    return h.got;
  };
  const bool beforeFirstRide = estimate.logs == 0;
  for (int r = 0; r < kMapRows; ++r) {
    for (int c = 0; c < kMapColumns; ++c) {
      const std::size_t ri = std::size_t(r), ci = std::size_t(c);
      const int rpm = image[tuned.axis[c]];
      const int a1 = AdvanceAt(image, kPageAdvance1, rpm, r);
      const int a2 = AdvanceAt(image, kPageAdvance2, rpm, r);
      out.advance1[ri][ci] = a1;
      out.advance2[ri][ci] = a2;
      const int own = image[tuned.cells.at(r, c)];
      const BestCell& cell = estimate.at(r, c);
      if (!cell.best || !cell.ridden) {
        out.proposal[ri][ci] = own;
        const int one = page == kPageAdvance2 ? a2 : a1;
        if (beforeFirstRide && a1 == a2) {
          // The first pair around the one map there is.
          Holding lo{one - spread, one - spread}, hi{one + spread, one + spread};
          hi.within(-1e9, one + maxMove, HoldReason::Knock);
          limit(lo, ri, ci);
          limit(hi, ri, ci);
          out.next1[ri][ci] = report(lo, 1, r, c);
          out.next2[ri][ci] = report(hi, 2, r, c);
        } else {
          out.next1[ri][ci] = image[MapOfPage(kPageAdvance1)->cells.at(r, c)];
          out.next2[ri][ci] = image[MapOfPage(kPageAdvance2)->cells.at(r, c)];
        }
        continue;
      }
      out.estimated[ri][ci] = true;
      const int wanted = !cell.preference && cell.firstConfigured ? own : int(std::lround(cell.target));
      Holding p{wanted, wanted};
      p.within(cell.centre - maxMove, cell.centre + maxMove, HoldReason::MaxMove);
      limit(p, ri, ci);
      const int proposal = out.proposal[ri][ci] = report(p, 0, r, c);
      Holding lo{proposal - spread, proposal - spread}, hi{proposal + spread, proposal + spread};
      lo.within(cell.lowest - maxMove, 1e9, HoldReason::MaxMove);
      hi.within(-1e9, cell.highest + maxMove, HoldReason::Knock);
      limit(lo, ri, ci);
      limit(hi, ri, ci);
      out.next1[ri][ci] = report(lo, 1, r, c);
      out.next2[ri][ci] = report(hi, 2, r, c);
    }
  }
  return out;
}

}  // namespace rq::analysis
