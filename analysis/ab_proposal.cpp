// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/ab_proposal.h"

#include <algorithm>
#include <cmath>

namespace rq::analysis {

CellLimits FieldLimits() {
  const MapDef& map = *MapOfPage(kPageAdvance1);
  CellLimits limits;
  for (auto& row : limits.lo) row.fill(map.minCell);
  for (auto& row : limits.hi) row.fill(map.maxCell);
  return limits;
}

int AdvanceAt(const ParameterImage& image, int mapPage, int rpm, int row) {
  const MapDef& map = *MapOfPage(mapPage);
  auto point = [&](int c) { return int(image[map.axis[c]]); };
  auto cell = [&](int c) { return int(image[map.cells.at(row, c)]); };
  for (int c = 0; c < kMapColumns; ++c)
    if (point(c) == rpm) return cell(c);
  if (rpm <= point(0)) return cell(0);
  for (int c = 0; c + 1 < kMapColumns; ++c) {
    const int a = point(c), b = point(c + 1);
    if (rpm > a && rpm < b)
      return int(std::lround(cell(c) + double(cell(c + 1) - cell(c)) * (rpm - a) / (b - a)));
  }
  return cell(kMapColumns - 1);
}

AbProposal ProposeMaps(const ParameterImage& image, int page, const AbResult& result, int step,
                       const CellLimits* limits) {
  const CellLimits field = FieldLimits();
  const MapDef& tuned = *MapOfPage(page);
  AbProposal out;
  auto hold = [&](int map, int r, int c, int wanted) {
    const std::size_t ri = std::size_t(r), ci = std::size_t(c);
    int lo = field.lo[ri][ci], hi = field.hi[ri][ci];
    if (limits != nullptr) {
      lo = std::max(lo, limits->lo[ri][ci]);
      hi = std::max(lo, std::min(hi, limits->hi[ri][ci]));
    }
    const int got = std::clamp(wanted, lo, hi);
    if (got != wanted) out.clamped.push_back({map, r, c, wanted, got});
    return got;
  };
  for (int r = 0; r < kMapRows; ++r) {
    for (int c = 0; c < kMapColumns; ++c) {
      const std::size_t ri = std::size_t(r), ci = std::size_t(c);
      const int rpm = image[tuned.axis[c]];
      const int a1 = AdvanceAt(image, kPageAdvance1, rpm, r);
      const int a2 = AdvanceAt(image, kPageAdvance2, rpm, r);
      out.advance1[ri][ci] = a1;
      out.advance2[ri][ci] = a2;
      const int better = result.at(r, c).better;
      const int winner = better == 2 ? a2 : a1, loser = better == 2 ? a1 : a2;
      const int proposal = hold(1, r, c, better != 0 ? winner : int(image[tuned.cells.at(r, c)]));
      out.proposal[ri][ci] = out.next1[ri][ci] = proposal;
      const int away = (winner > loser) - (winner < loser);
      out.next2[ri][ci] = hold(2, r, c, better != 0 ? proposal + step * away : proposal + a2 - a1);
    }
  }
  return out;
}

}  // namespace rq::analysis
