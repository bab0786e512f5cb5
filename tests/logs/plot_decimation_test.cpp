// SPDX-License-Identifier: GPL-3.0-or-later
// What a plot draws of a column: rows when zoomed in, min/max per pixel column when not,
// never losing a one-row spike, and the bordering rows so that a line reaches the edges.
#include "logs/plot_decimation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace rq::logs {
namespace {

// time in seconds (0.1 s a row unless a gap is asked for) and an engine speed column.
LogTable Log(std::size_t rows, std::size_t spikeRow = 0, std::size_t gapAfter = 0) {
  std::string text = "time,rpm\n";
  double t = 0;
  for (std::size_t i = 0; i < rows; ++i) {
    const int rpm = i == spikeRow && spikeRow > 0 ? 15000 : 3000 + static_cast<int>(i % 50);
    text += std::to_string(t) + "," + std::to_string(rpm) + "\n";
    t += (gapAfter > 0 && i == gapAfter) ? 100.0 : 0.1;
  }
  LoadResult r = ParseCsvText(text);
  EXPECT_TRUE(r.ok()) << r.error.message;
  return std::move(*r.table);
}

TEST(PlotTrace, ASingleRowSpikeSurvivesThinningAndThePointsStayFew) {
  const LogTable log = Log(100000, 61234);
  const LogColumn& rpm = log.column(0);
  const MinMaxSummary summary = BuildMinMaxSummary(rpm);
  const PlotTrace trace = TraceOf(log, rpm, summary, 0, log.time().back(), 700);
  EXPECT_TRUE(trace.decimated);
  EXPECT_LE(trace.points.size(), 2u * 700 + 2);
  double top = 0;
  for (const PlotPoint& p : trace.points) top = std::max(top, p.v);
  EXPECT_EQ(top, 15000);
  EXPECT_EQ(trace.max, 15000);
  EXPECT_EQ(trace.min, 3000);
  // Points run forward in time, min before max in each pixel column.
  for (std::size_t i = 1; i < trace.points.size(); ++i) {
    ASSERT_LE(trace.points[i - 1].t, trace.points[i].t);
    if (trace.points[i - 1].t == trace.points[i].t) {
      ASSERT_LE(trace.points[i - 1].v, trace.points[i].v);
    }
  }
}

TEST(PlotTrace, ZoomedInGivesTheRowsWithTheirNeighboursOutside) {
  const LogTable log = Log(1000);
  const LogColumn& rpm = log.column(0);
  const MinMaxSummary summary = BuildMinMaxSummary(rpm);
  // 10.05 .. 12.05 s holds rows 101..120; rows 100 and 121 lie just outside.
  const PlotTrace trace = TraceOf(log, rpm, summary, 10.05, 12.05, 800);
  EXPECT_FALSE(trace.decimated);
  ASSERT_EQ(trace.points.size(), 22u);
  EXPECT_NEAR(trace.points.front().t, 10.0, 1e-9);
  EXPECT_EQ(trace.points.front().v, rpm.value(100));
  EXPECT_NEAR(trace.points.back().t, 12.1, 1e-9);
  // The range of the rows inside only.
  double lo = 1e9, hi = 0;
  for (std::size_t i = 101; i <= 120; ++i) {
    lo = std::min(lo, rpm.value(i));
    hi = std::max(hi, rpm.value(i));
  }
  EXPECT_EQ(trace.min, lo);
  EXPECT_EQ(trace.max, hi);
}

TEST(PlotTrace, GapsAndRangesWithoutRows) {
  const LogTable log = Log(20000, 0, 10000);  // 100 s without rows after row 10000
  const LogColumn& rpm = log.column(0);
  const MinMaxSummary summary = BuildMinMaxSummary(rpm);
  const double end = log.time().back();
  const PlotTrace whole = TraceOf(log, rpm, summary, 0, end, 300);
  EXPECT_TRUE(whole.decimated);
  // No pixel column inside the gap gets a point.
  const double gapStart = log.time(10000), gapEnd = log.time(10001);
  const double width = end / 300;
  for (const PlotPoint& p : whole.points)
    EXPECT_FALSE(p.t > gapStart + width && p.t < gapEnd - width) << p.t;

  // A range inside the gap: no rows, only the two rows on either side to draw the line.
  const PlotTrace inGap = TraceOf(log, rpm, summary, gapStart + 10, gapStart + 20, 300);
  EXPECT_TRUE(inGap.empty);
  ASSERT_EQ(inGap.points.size(), 2u);
  EXPECT_EQ(inGap.points[0].t, gapStart);
  EXPECT_EQ(inGap.points[1].t, gapEnd);

  // Before the log and reversed ranges.
  EXPECT_TRUE(TraceOf(log, rpm, summary, -50, -10, 300).empty);
  EXPECT_TRUE(TraceOf(log, rpm, summary, 10, 5, 300).points.empty());
}

TEST(PlotTrace, SplitByTheMapInUseTheTwoLinesMeetAtEverySwitch) {
  LoadResult r = ParseCsvText(
      "time,acceleration_rpm_s,second_map\n0,100,0\n1,110,0\n2,300,1\n3,310,1\n4,120,0\n");
  ASSERT_TRUE(r.ok()) << r.error.message;
  const LogTable& log = *r.table;
  const LogColumn& accel = log.column(0);
  const PlotTrace trace = TraceOf(log, accel, BuildMinMaxSummary(accel), 0, 4, 100);
  ASSERT_EQ(trace.points.size(), 5u);
  const auto split = SplitByFlag(trace.points, log, log.column(1));
  // Map 1: rows 0, 1, on to row 2 where map 2 takes over, a gap, then row 4 on.
  const std::vector<std::pair<double, double>> map1 = {{0, 100}, {1, 110}, {2, 300}, {2, NAN}, {4, 120}};
  const std::vector<std::pair<double, double>> map2 = {{2, 300}, {3, 310}, {4, 120}, {4, NAN}};
  auto same = [](const std::vector<PlotPoint>& got, const std::vector<std::pair<double, double>>& want) {
    if (got.size() != want.size()) return false;
    for (std::size_t i = 0; i < got.size(); ++i)
      if (got[i].t != want[i].first ||
          !(got[i].v == want[i].second || (std::isnan(got[i].v) && std::isnan(want[i].second))))
        return false;
    return true;
  };
  EXPECT_TRUE(same(split[0], map1));
  EXPECT_TRUE(same(split[1], map2));
}

}  // namespace
}  // namespace rq::logs
