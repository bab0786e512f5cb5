// SPDX-License-Identifier: GPL-3.0-or-later
// The proposal and the next pair: the estimate where a cell has one, held within a move from
// the pair last ridden, the pair around it held below the highest advance ridden plus the move,
// everything within the field and the caller's limits, each hold named with its reason; cells
// without an estimate keep their maps, and before the first ride one map becomes a pair.
#include <gtest/gtest.h>

#include "analysis/ab_proposal.h"
#include "tests/analysis/ab_logs.h"

namespace rq::analysis {
namespace {

using R = HoldReason;

struct CellCase {
  const char* name;
  int row, column, advance1, advance2;
  std::optional<double> target;  // nullopt: no estimate
  double centre, highest, lowest;
  int proposal, next1, next2;
  std::vector<std::pair<int, R>> holds;  // (0 proposal, 1 next map 1, 2 next map 2, reason)
};

ParameterImage Maps(const std::vector<CellCase>& cases) {
  ParameterImage im = abtest::AxisConfig();
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c) {
      im.setByte(kAdvance1Cells.at(r, c), 15);
      im.setByte(kAdvance2Cells.at(r, c), 17);
    }
  for (const CellCase& k : cases) {
    im.setByte(kAdvance1Cells.at(k.row, k.column), std::uint8_t(k.advance1));
    im.setByte(kAdvance2Cells.at(k.row, k.column), std::uint8_t(k.advance2));
  }
  return im;
}

BestEstimate Estimate(const std::vector<CellCase>& cases, std::size_t logs = 1) {
  BestEstimate e;
  e.logs = logs;
  for (const CellCase& k : cases) {
    BestCell& b = e.cells[std::size_t(k.row)][std::size_t(k.column)];
    if (!k.target) continue;
    b.best = b.low = b.high = *k.target;
    b.target = *k.target;
    b.preference = true;
    b.ridden = true;
    b.rides = 1;
    b.centre = k.centre;
    b.highest = k.highest;
    b.lowest = k.lowest;
  }
  return e;
}

void Check(const AbProposal& p, const std::vector<CellCase>& cases) {
  for (const CellCase& k : cases) {
    SCOPED_TRACE(k.name);
    const std::size_t r = std::size_t(k.row), c = std::size_t(k.column);
    EXPECT_EQ(p.proposal[r][c], k.proposal);
    EXPECT_EQ(p.next1[r][c], k.next1);
    EXPECT_EQ(p.next2[r][c], k.next2);
    std::vector<std::pair<int, R>> holds;
    for (const ClampedCell& h : p.clamped)
      if (h.row == k.row && h.column == k.column) holds.push_back({h.map, h.reason});
    EXPECT_EQ(holds, k.holds);
  }
}

TEST(AbProposal, EstimateTakenAndThePairAroundItHeldForTheirReasons) {
  const std::vector<CellCase> cases = {
      {"near: the pair around it, the advanced map held for knock", 1, 1, 20, 22, 24.4, 21, 22, 20,
       24, 21, 26, {{2, R::Knock}}},
      {"far up: a move of at most 4 from the pair ridden", 1, 2, 20, 22, 30.0, 21, 22, 20, 25, 22,
       26, {{0, R::MaxMove}, {2, R::Knock}}},
      {"far down: the retarded map not below the lowest ridden less the move", 1, 3, 20, 22, 12.0,
       21, 22, 20, 17, 16, 20, {{0, R::MaxMove}, {1, R::MaxMove}}},
      {"a centred pair that keeps its place", 1, 4, 27, 33, 30.2, 30, 33, 27, 30, 27, 33, {}},
      {"the field's top", 2, 1, 58, 60, 59.0, 59, 60, 58, 59, 56, 60, {{2, R::Limit}}},
      {"no estimate: both maps as they are", 2, 2, 18, 25, std::nullopt, 0, 0, 0, 18, 18, 25, {}},
  };
  const ParameterImage im = Maps(cases);
  Check(ProposeMaps(im, kPageAdvance1, Estimate(cases)), cases);

  // The caller's limits hold the proposal and the pair, named as limits.
  CellLimits limits = FieldLimits();
  for (auto& row : limits.hi) row.fill(25);
  const std::vector<CellCase> held = {
      {"limits", 1, 1, 20, 22, 24.4, 21, 22, 20, 24, 21, 25, {{2, R::Limit}}},
      {"limits on the proposal too; the pair still moves at most 4", 1, 4, 27, 33, 30.2, 30, 33,
       27, 25, 23, 25, {{0, R::Limit}, {1, R::MaxMove}, {2, R::Limit}}},
  };
  Check(ProposeMaps(Maps(held), kPageAdvance1, Estimate(held), {}, &limits), held);
}

TEST(AbProposal, BeforeTheFirstRideOneMapBecomesAPairAndTheSpreadIsTheCallers) {
  const std::vector<CellCase> cases = {
      {"one map", 1, 1, 20, 20, std::nullopt, 0, 0, 0, 20, 18, 22, {}},
      {"two maps already", 1, 2, 20, 24, std::nullopt, 0, 0, 0, 20, 20, 24, {}},
  };
  Check(ProposeMaps(Maps(cases), kPageAdvance1, Estimate(cases, 0), {.spread = 2, .maxMove = 4}), cases);
  // After a ride, a cell without data keeps its maps even where they are equal.
  const std::vector<CellCase> after = {{"no data", 1, 1, 20, 20, std::nullopt, 0, 0, 0, 20, 20, 20, {}}};
  Check(ProposeMaps(Maps(after), kPageAdvance1, Estimate(after, 1)), after);
}

TEST(AbProposal, TuningAdvance2KeepsItsOwnValuesAndReadsMap1AtItsRpmPoints) {
  ParameterImage im = abtest::AxisConfig();
  for (int c = 0; c < kMapColumns; ++c) im.setWord(kAdvance1Axis[c], 500 * (c + 1));  // half the rpm
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c) {
      im.setByte(kAdvance1Cells.at(r, c), std::uint8_t(c));
      im.setByte(kAdvance2Cells.at(r, c), 40);
    }
  const AbProposal p = ProposeMaps(im, kPageAdvance2, BestEstimate{.cells = {}, .logs = 1});
  // Map 1 at 5000 rpm (its column 9) and 15000 rpm (beyond its last point).
  EXPECT_EQ(p.advance1[3][4], 9);
  EXPECT_EQ(p.advance1[3][14], 14);
  EXPECT_EQ(p.proposal[3][4], 40);
}

}  // namespace
}  // namespace rq::analysis
