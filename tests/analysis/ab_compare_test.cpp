// SPDX-License-Identifier: GPL-3.0-or-later
// The A/B comparison on hand-made logs: gears compared within themselves before they are
// pooled, a slow drift that cannot decide, logs never compared with each other, the minimum
// rows and passes for a verdict, and the same answer for the same logs.
#include <gtest/gtest.h>

#include "analysis/ab_compare.h"
#include "tests/analysis/ab_logs.h"

namespace rq::analysis {
namespace {

using abtest::AbCsv;
using abtest::Compare;
using abtest::kColumn;
using abtest::kRow;
using abtest::LogRow;
using abtest::ParseAbLog;
using abtest::Pulls;

AbCell TheCell(const AbResult& r) { return r.at(kRow, kColumn); }

// Map 2 pulls 5 % harder in second and in fourth gear, but map 1 was mostly ridden in second
// (which pulls far harder) and map 2 mostly in fourth.
Pulls GearMix() {
  Pulls p;
  for (int i = 0; i < 10; ++i) {
    const bool main = i < 8;
    p.add(2, main ? 0 : 1, main ? 2000 : 2100);
    p.add(4, main ? 1 : 0, main ? 840 : 800);
  }
  return p;
}

TEST(AbCompare, GearsAreComparedWithinThemselvesThenPooled) {
  const AbResult r = Compare({GearMix().log()});
  const AbCell& c = TheCell(r);
  EXPECT_EQ(c.rows1, 30);
  EXPECT_EQ(c.rows2, 30);
  EXPECT_EQ(c.passes1, 10);
  EXPECT_EQ(c.passes2, 10);
  ASSERT_TRUE(c.gainPct && c.lowPct && c.highPct);
  EXPECT_NEAR(*c.gainPct, 5.0, 1.0);
  EXPECT_GT(*c.lowPct, 0);
  EXPECT_EQ(c.better, 2);
  EXPECT_EQ(r.count(RowReason::Counted), 60u);
  EXPECT_EQ(r.count(RowReason::ThrottleLow), 20u);
  EXPECT_EQ(r.count(RowReason::ThrottleMoving), 20u);

  // The same rows with the gears pooled first: the gear mix decides, and map 1 seems better.
  std::vector<LogRow> oneGear = GearMix().rows();
  for (LogRow& row : oneGear) row.gear = 2;
  const AbCell& pooled = TheCell(Compare({ParseAbLog(AbCsv(oneGear))}));
  EXPECT_EQ(pooled.better, 1);
  EXPECT_LT(*pooled.gainPct, -20);
}

// Acceleration that rises by 20 % over 20 minutes (a warming engine), and by `effect` more
// on map 2. Alternated: a pull every 50 s, A B B A, three such rounds in each 10-minute
// window. Else map 1 in the first ten minutes and map 2 in the next.
Pulls Drifting(bool alternate, double effect) {
  Pulls p;
  for (int i = 0; i < 24; ++i) {
    const int map = alternate ? (i % 4 == 1 || i % 4 == 2) : (i >= 12);
    if (!alternate && i == 12) p.wait(120);
    p.add(3, map, 1000 * (1 + 0.2 * p.now() / 1200) * (map ? 1 + effect : 1));
    p.wait(alternate ? 48.5 : 40);
  }
  return p;
}

TEST(AbCompare, ASlowDriftCannotDecide) {
  // Map 1 ridden in the first ten minutes, map 2 after: no window holds both, nothing is
  // compared and there is no verdict, although map 2's rows pulled 10 % harder.
  const AbLog split = Drifting(false, 0).log();
  const AbCell& c = TheCell(Compare({split}));
  EXPECT_EQ(c.rows1, 36);
  EXPECT_EQ(c.rows2, 36);
  EXPECT_EQ(c.compared1 + c.compared2, 0);
  EXPECT_FALSE(c.gainPct.has_value());
  EXPECT_EQ(c.better, 0);
  // Without the windows the drift would have decided.
  AbOptions oneWindow;
  oneWindow.windowSeconds = 0;
  const AbCell& naive = TheCell(Compare({split}, oneWindow));
  EXPECT_EQ(naive.better, 2);
  EXPECT_GT(*naive.gainPct, 5);

  // Alternated A B B A through the same drift: no verdict for equal maps, the right one for a
  // map 2 that pulls 4 % harder.
  const AbCell& equal = TheCell(Compare({Drifting(true, 0).log()}));
  EXPECT_EQ(equal.better, 0);
  EXPECT_NEAR(*equal.gainPct, 0, 1);
  const AbCell& better = TheCell(Compare({Drifting(true, 0.04).log()}));
  EXPECT_EQ(better.better, 2);
  EXPECT_NEAR(*better.gainPct, 4, 1);
}

TEST(AbCompare, LogsAreNeverComparedWithEachOther) {
  Pulls one, other;
  for (int i = 0; i < 6; ++i) {
    one.add(3, 0, 1000);
    other.add(3, 1, 1200);
  }
  const AbCell& c = TheCell(Compare({one.log(), other.log()}));
  EXPECT_EQ(c.rows1, 18);
  EXPECT_EQ(c.rows2, 18);
  EXPECT_FALSE(c.gainPct.has_value());
  EXPECT_EQ(c.better, 0);
}

TEST(AbCompare, AVerdictNeedsRowsAndPassesOfBothMaps) {
  struct Case {
    int passes1, rowsPerPass1, passes2, rowsPerPass2;
    int minRows;
    bool interval;
  };
  const Case cases[] = {
      {4, 3, 4, 3, 6, true},
      {4, 3, 2, 3, 6, false},   // 6 rows of map 2 but 2 passes
      {4, 3, 2, 9, 6, false},   // 18 rows of map 2 in 2 passes
      {4, 3, 3, 2, 6, true},    // 6 rows in 3 passes
      {4, 3, 3, 2, 7, false},   // ... one row short of 7
      {4, 3, 5, 1, 6, false},   // 5 rows in 5 passes
      {4, 3, 5, 1, 5, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(::testing::Message() << k.passes1 << "x" << k.rowsPerPass1 << " / " << k.passes2
                                    << "x" << k.rowsPerPass2 << ", at least " << k.minRows);
    Pulls p;
    for (int i = 0; i < std::max(k.passes1, k.passes2); ++i) {
      if (i < k.passes1) p.add(3, 0, 1000, k.rowsPerPass1);
      if (i < k.passes2) p.add(3, 1, 1300, k.rowsPerPass2);
    }
    AbOptions options;
    options.minRows = k.minRows;
    const AbCell& c = TheCell(Compare({p.log()}, options));
    EXPECT_TRUE(c.gainPct.has_value());
    EXPECT_EQ(c.interval, k.interval);
    EXPECT_EQ(c.better, k.interval ? 2 : 0);
  }
}

TEST(AbCompare, SameLogsSameAnswer) {
  const std::vector<AbLog> logs = {Drifting(true, 0.01).log(), GearMix().log()};
  const AbResult a = Compare(logs), b = Compare(logs);
  AbOptions reseeded;
  reseeded.seed = 7;
  const AbResult c = Compare(logs, reseeded);
  const AbCell &x = TheCell(a), &y = TheCell(b), &z = TheCell(c);
  ASSERT_TRUE(x.lowPct && x.highPct);
  EXPECT_EQ(x.gainPct, y.gainPct);
  EXPECT_EQ(x.lowPct, y.lowPct);
  EXPECT_EQ(x.highPct, y.highPct);
  EXPECT_EQ(x.better, y.better);
  // The seed moves only the interval's ends a little, never the difference itself.
  EXPECT_EQ(x.gainPct, z.gainPct);
  EXPECT_NE(x.lowPct, z.lowPct);
  EXPECT_NEAR(*x.lowPct, *z.lowPct, 0.5);
}

TEST(AbCompare, RowsOfBothMapsLandOnThePageTuned) {
  // On Advance 2, rows of map 1 count too, placed by Advance 2's own rpm points.
  ParameterImage cfg = abtest::AxisConfig();
  for (int c = 0; c < kMapColumns; ++c) cfg.setWord(kAdvance2Axis[c], 2000 * (c + 1));
  Pulls p;
  for (int i = 0; i < 3; ++i) p.add(3, 0, 1000).add(3, 1, 1100);
  const std::vector<AbLog> logs = {p.log()};
  const AbResult on2 = CompareMaps(logs, MakeLiveCellRule(cfg, kPageAdvance2), {});
  EXPECT_EQ(on2.at(kRow, 2).rows1, 9);  // 5000 rpm, half way from 4000 to 6000, goes up
  EXPECT_EQ(on2.at(kRow, 2).rows2, 9);
  const AbResult on1 = CompareMaps(logs, MakeLiveCellRule(cfg, kPageAdvance1), {});
  EXPECT_EQ(on1.at(kRow, kColumn).rows1, 9);
  EXPECT_EQ(on1.at(kRow, kColumn).rows2, 9);
}

}  // namespace
}  // namespace rq::analysis
