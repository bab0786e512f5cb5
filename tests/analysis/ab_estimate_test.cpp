// SPDX-License-Identifier: GPL-3.0-or-later
// The best-advance estimate on hand-made rides through one cell of an engine whose acceleration
// falls with the square of the distance from its best advance: found from rides made with
// different pairs, which count together; kept where the engine does not care; verdicts only
// from the rides of the maps they judge.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/ab_compare.h"
#include "analysis/ab_estimate.h"
#include "tests/analysis/ab_logs.h"

namespace rq::analysis {
namespace {

using abtest::kColumn;
using abtest::kRow;

// Pulls in gears 2 and 3, alternating the maps, over 40 minutes: acceleration 1000 rpm/s at the
// best advance, 0.1 % less per degree squared away from it (none less with `flat`).
AbLog Ride(int advance1, int advance2, double best, bool flat = false) {
  abtest::Pulls p;
  p.advances(advance1, advance2);
  auto acceleration = [&](int a) { return 1000 * (1 - (flat ? 0 : 0.001) * (a - best) * (a - best)); };
  for (int i = 0; i < 160; ++i) {
    const int gear = 2 + i % 2;
    p.add(gear, (i / 2) % 2, acceleration((i / 2) % 2 ? advance2 : advance1)).wait(12);
  }
  return p.log();
}

const BestCell& TheCell(const BestEstimate& e) { return e.at(kRow, kColumn); }

BestEstimate Estimate(const std::vector<AbLog>& rides) {
  return EstimateBestAdvance(rides, MakeLiveCellRule(abtest::AxisConfig(), kPageAdvance1), 1, {});
}

TEST(AbEstimate, RidesWithOtherPairsCountTogetherAndFindTheBest) {
  const BestEstimate one = Estimate({Ride(20, 26, 31)});
  const BestEstimate two = Estimate({Ride(20, 26, 31), Ride(26, 32, 31)});
  for (const BestEstimate* e : {&one, &two}) {
    const BestCell& c = TheCell(*e);
    ASSERT_TRUE(c.best && c.low && c.high);
    EXPECT_TRUE(c.preference);
    EXPECT_LE(*c.low, 31);
    EXPECT_GE(*c.high, 31);
    EXPECT_NEAR(*c.best, 31, 1.5);
    EXPECT_EQ(c.first, 20);
  }
  EXPECT_EQ(TheCell(two).rides, 2);
  EXPECT_NEAR(TheCell(two).centre, 29, 1e-6);  // the newest ride's pair
  EXPECT_EQ(TheCell(two).highest, 32);
  // The second pair brackets the best: the interval narrows.
  EXPECT_LT(*TheCell(two).high - *TheCell(two).low, *TheCell(one).high - *TheCell(one).low);
}

TEST(AbEstimate, AnEngineThatDoesNotCareKeepsTheFirstValue) {
  const BestEstimate e = Estimate({Ride(20, 26, 0, true), Ride(17, 23, 0, true)});
  const BestCell& c = TheCell(e);
  ASSERT_TRUE(c.best);
  EXPECT_FALSE(c.preference);
  EXPECT_EQ(c.target, 20);
  EXPECT_FALSE(c.settled());
  // A ride without the advance it fired says nothing about where the best lies.
  AbLog unknown = Ride(20, 26, 31);
  unknown.advance.clear();
  const BestEstimate blindEstimate = Estimate({unknown});
  const BestCell& blind = TheCell(blindEstimate);
  EXPECT_EQ(blind.rides, 1);
  EXPECT_FALSE(blind.best.has_value());
}

TEST(AbEstimate, VerdictsComeOnlyFromRidesOfTheMapsTheyJudge) {
  const std::vector<AbLog> rides = {Ride(20, 26, 31), Ride(26, 32, 31)};
  const LiveCellRule rule = MakeLiveCellRule(abtest::AxisConfig(), kPageAdvance1);
  auto withMaps = [](int a1, int a2) {
    ParameterImage im = abtest::AxisConfig();
    for (int c = 0; c < kMapColumns; ++c) {
      im.setByte(kAdvance1Cells.at(kRow, c), std::uint8_t(a1));
      im.setByte(kAdvance2Cells.at(kRow, c), std::uint8_t(a2));
    }
    return im;
  };
  const ParameterImage second = withMaps(26, 32), other = withMaps(22, 22);
  const AbCell now = CompareMaps(rides, rule, {}, &second).at(kRow, kColumn);
  const AbCell gone = CompareMaps(rides, rule, {}, &other).at(kRow, kColumn);
  const AbCell newest = CompareMaps(rides, rule, {}).at(kRow, kColumn);
  EXPECT_EQ(now.rows1 + now.rows2 + now.staleRows, gone.staleRows);
  EXPECT_EQ(now.staleRows, (now.rows1 + now.rows2));  // the two rides are alike in length
  EXPECT_TRUE(gone.stale());
  EXPECT_FALSE(now.stale());
  EXPECT_EQ(newest.rows1, now.rows1);  // without a configuration: the newest ride's maps
  EXPECT_EQ(now.better, 2);            // 32 is nearer 31 than 26
}

}  // namespace
}  // namespace rq::analysis
