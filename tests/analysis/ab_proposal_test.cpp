// SPDX-License-Identifier: GPL-3.0-or-later
// The proposal and the next pair: the winner's advance where a cell has a verdict, the tuned
// map's own value elsewhere; map 2 a step further from the loser, or with the A/B difference it
// had; every value within the field and the caller's limits, and what was held in is named.
#include <gtest/gtest.h>

#include <algorithm>

#include "analysis/ab_proposal.h"
#include "tests/analysis/ab_logs.h"

namespace rq::analysis {
namespace {

struct CellCase {
  int row, column, advance1, advance2, better;
  int proposal, next2;  // next map 1 is the proposal
};

// Both maps at 15 degrees but in the cells of the cases.
ParameterImage Maps(std::initializer_list<CellCase> cases) {
  ParameterImage im = abtest::AxisConfig();
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c) {
      im.setByte(kAdvance1Cells.at(r, c), 15);
      im.setByte(kAdvance2Cells.at(r, c), 15);
    }
  for (const CellCase& k : cases) {
    im.setByte(kAdvance1Cells.at(k.row, k.column), std::uint8_t(k.advance1));
    im.setByte(kAdvance2Cells.at(k.row, k.column), std::uint8_t(k.advance2));
  }
  return im;
}

AbResult Verdicts(std::initializer_list<CellCase> cases) {
  AbResult r;
  for (const CellCase& k : cases) r.cells[std::size_t(k.row)][std::size_t(k.column)].better = k.better;
  return r;
}

TEST(AbProposal, WinnerTakenAndMap2MovedOnWithinTheField) {
  const std::initializer_list<CellCase> cases = {
      {1, 1, 20, 24, 2, 24, 26},  // map 2 won by more advance: further up
      {1, 2, 24, 20, 2, 20, 18},  // map 2 won by less advance: further down
      {1, 3, 20, 24, 1, 20, 18},  // map 1 won against more: map 2 to its other side
      {1, 4, 24, 20, 1, 24, 26},
      {1, 5, 20, 24, 0, 20, 24},  // no verdict: the A/B difference stays
      {1, 6, 20, 20, 2, 20, 20},  // a verdict between equal advances shows no way to go
      {2, 1, 58, 60, 2, 60, 60},  // 62 is beyond the field
      {2, 2, 1, 3, 1, 1, 0},      // -1 too
      {2, 3, 2, 0, 0, 2, 0},
  };
  const ParameterImage im = Maps(cases);
  const AbProposal p = ProposeMaps(im, kPageAdvance1, Verdicts(cases));
  for (const CellCase& k : cases) {
    SCOPED_TRACE(::testing::Message() << "cell " << k.row << "," << k.column);
    const std::size_t r = std::size_t(k.row), c = std::size_t(k.column);
    EXPECT_EQ(p.advance1[r][c], k.advance1);
    EXPECT_EQ(p.advance2[r][c], k.advance2);
    EXPECT_EQ(p.proposal[r][c], k.proposal);
    EXPECT_EQ(p.next1[r][c], k.proposal);
    EXPECT_EQ(p.next2[r][c], k.next2);
  }
  // Every other cell as it was, on both maps.
  int untouched = 0;
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c) {
      if (std::any_of(cases.begin(), cases.end(),
                      [&](const CellCase& k) { return k.row == r && k.column == c; }))
        continue;
      EXPECT_EQ(p.proposal[std::size_t(r)][std::size_t(c)], 15);
      EXPECT_EQ(p.next2[std::size_t(r)][std::size_t(c)], 15);
      ++untouched;
    }
  EXPECT_EQ(untouched, 150 - int(cases.size()));
  ASSERT_EQ(p.clamped.size(), 2u);
  EXPECT_EQ(p.clamped[0].map, 2);
  EXPECT_EQ(p.clamped[0].wanted, 62);
  EXPECT_EQ(p.clamped[0].got, 60);
  EXPECT_EQ(p.clamped[1].map, 2);
  EXPECT_EQ(p.clamped[1].row, 2);
  EXPECT_EQ(p.clamped[1].column, 2);
  EXPECT_EQ(p.clamped[1].wanted, -1);
  EXPECT_EQ(p.clamped[1].got, 0);
}

TEST(AbProposal, CallersLimitsHoldBothMaps) {
  const std::initializer_list<CellCase> cases = {{3, 1, 28, 32, 2, 30, 30}, {3, 2, 12, 14, 0, 12, 14}};
  const ParameterImage im = Maps(cases);
  CellLimits limits = FieldLimits();
  for (auto& row : limits.lo) row.fill(10);
  for (auto& row : limits.hi) row.fill(30);
  limits.lo[3][3] = 40;  // limits that cross: the lower one holds
  limits.hi[3][3] = 20;
  const AbProposal p = ProposeMaps(im, kPageAdvance1, Verdicts(cases), 2, &limits);
  EXPECT_EQ(p.proposal[3][1], 30);
  EXPECT_EQ(p.next2[3][1], 30);
  EXPECT_EQ(p.proposal[3][2], 12);
  EXPECT_EQ(p.next2[3][2], 14);
  EXPECT_EQ(p.proposal[3][3], 40);
  EXPECT_EQ(p.next2[3][3], 40);
  // Cells at 15 within 10..30 stay as they are.
  ASSERT_EQ(p.clamped.size(), 3u);
  EXPECT_EQ(p.clamped[0].map, 1);
  EXPECT_EQ(p.clamped[0].wanted, 32);
  EXPECT_EQ(p.clamped[0].got, 30);
  EXPECT_EQ(p.clamped[1].map, 2);
  EXPECT_EQ(p.clamped[1].wanted, 32);
  EXPECT_EQ(p.clamped[2].map, 1);
  EXPECT_EQ(p.clamped[2].wanted, 15);
  EXPECT_EQ(p.clamped[2].got, 40);
}

TEST(AbProposal, TuningAdvance2KeepsItsOwnValuesAndReadsMap1AtItsRpmPoints) {
  const std::initializer_list<CellCase> cases = {{1, 1, 20, 24, 1, 0, 0}, {1, 5, 20, 24, 0, 0, 0}};
  ParameterImage im = Maps(cases);
  // Map 1's rpm points half a step below Advance 2's: at Advance 2's points it fires half way
  // between two of its cells.
  for (int c = 0; c < kMapColumns; ++c) im.setWord(kAdvance1Axis[c], 1000 * (c + 1) - 500);
  im.setByte(kAdvance1Cells.at(6, 4), 10);
  im.setByte(kAdvance1Cells.at(6, 5), 21);
  const AbProposal p = ProposeMaps(im, kPageAdvance2, Verdicts(cases));
  EXPECT_EQ(p.advance1[6][4], 16);  // 15.5 at 5000 rpm
  EXPECT_EQ(p.advance2[6][4], 15);
  EXPECT_EQ(p.proposal[6][4], 15);  // no verdict: Advance 2 as it is
  EXPECT_EQ(p.next2[6][4], 14);     // with its A/B difference of -1
  // 2000 rpm: map 1 half way between 20 (1500 rpm) and 15 (2500 rpm); map 1 won.
  EXPECT_EQ(p.advance1[1][1], 18);
  EXPECT_EQ(p.proposal[1][1], 18);
  EXPECT_EQ(p.next2[1][1], 16);
  EXPECT_EQ(p.proposal[1][5], 24);
  EXPECT_EQ(p.next2[1][5], 30);
}

}  // namespace
}  // namespace rq::analysis
