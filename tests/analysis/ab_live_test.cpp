// SPDX-License-Identifier: GPL-3.0-or-later
// The count while a ride is recorded: row by row, the same compared rows and passes per cell as
// the comparison of the finished log, and the cells that have enough of both maps.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/ab_live.h"
#include "tests/analysis/ab_logs.h"

namespace rq::analysis {
namespace {

using abtest::kColumn;
using abtest::kRow;

TEST(AbLive, CountsRowByRowWhatTheComparisonOfTheFinishedLogCounts) {
  // Pulls in two gears, a map ridden alone in another window, a gap, a blocked row, a second
  // cell (8000 rpm) and a throttle jump: every rule of the passes and strata meets the count.
  abtest::Pulls p;
  for (int i = 0; i < 4; ++i) p.add(2, 0, 1000).add(2, 1, 1040).add(4, i % 2, 500, 2);
  p.wait(700).add(3, 0, 900).add(3, 0, 900);
  for (int i = 0; i < 2; ++i) p.add(2, 1, 1040, 5).add(2, 0, 1000, 1);
  std::vector<abtest::LogRow> rows = p.rows();
  for (std::size_t i = rows.size() / 2; i < rows.size(); i += 7) rows[i].rpm = 8000;
  rows[rows.size() / 3].flag = "retard";
  rows[rows.size() / 4].throttle = 90;
  const AbLog log = abtest::ParseAbLog(abtest::AbCsv(rows));
  const LiveCellRule rule = MakeLiveCellRule(abtest::AxisConfig(), kPageAdvance1);
  AbOptions options;
  options.minRows = 4;
  options.minPasses = 2;
  const AbResult whole = CompareMaps(std::span<const AbLog>(&log, 1), rule, options);

  AbLiveCount live(rule, options);
  for (std::size_t i = 0; i < log.cells.rows(); ++i)
    live.add({log.cells.time[i], log.cells.rpm[i], log.cells.throttle[i], log.cells.secondMap[i] != 0,
              log.cells.gear[i], double(log.acceleration[i]), log.blocked[i] != 0});
  live.add({log.cells.time.back() + 0.3, 0, 0, false, 0, std::nan(""), false});  // the last row decided

  int ready = 0, visited = 0;
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c) {
      SCOPED_TRACE(::testing::Message() << "cell " << r << "," << c);
      const AbCell& w = whole.at(r, c);
      const AbLiveCell& l = live.at(r, c);
      EXPECT_EQ(l.rows[0], w.compared1);
      EXPECT_EQ(l.rows[1], w.compared2);
      EXPECT_EQ(l.passes[0], w.passes1);
      EXPECT_EQ(l.passes[1], w.passes2);
      const bool enough = w.compared1 >= options.minRows && w.compared2 >= options.minRows &&
                          w.passes1 >= options.minPasses && w.passes2 >= options.minPasses;
      EXPECT_EQ(live.ready(r, c), enough);
      ready += enough;
      visited += w.visited();
    }
  EXPECT_GE(ready, 1);
  EXPECT_GT(whole.at(kRow, kColumn).compared1, 0);
  EXPECT_EQ(live.readyCells(), ready);
  EXPECT_EQ(live.visitedCells(), visited);
}

}  // namespace
}  // namespace rq::analysis
