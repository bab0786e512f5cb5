// SPDX-License-Identifier: GPL-3.0-or-later
// Cell counts of small hand-counted logs: rows exactly on rpm midpoints and throttle
// breakpoint midpoints, the RPM-only and throttle-only layouts, the map-in-use flag, and the
// filters; a channel's mean, minimum and maximum per cell over the same rows. The command
// line's `cells` is checked against the same tables.
#include <gtest/gtest.h>

#include "logs/cell_count.h"
#include "model/defaults.h"
#include "model/ign_file.h"
#include "tests/e2e/child_process.h"

namespace rq::logs {
namespace {

using Grid = std::array<std::array<int, kMapColumns>, kMapRows>;

// rpm points 1000, 2000, ... 15000 on every map: midpoints at 1500, 2500, ... 14500.
ParameterImage Config(int advanceRows, int servoMode) {
  ParameterImage im = NewConfiguration();
  for (const MapDef& m : Maps())
    for (int c = 0; c < kMapColumns; ++c) im.setWord(m.axis[c], 1000 * (c + 1));
  im.setByte(kMapsUseThrottle, advanceRows);
  im.setByte(kServoMode, servoMode);
  im.setByte(kServoEnable, 1);
  return im;
}

// time, rpm, throttle %, second map, gear; 0.3 s apart.
constexpr const char* kLog =
    "time,rpm,throttle_pct,second_map,gear\n"
    "0.0,0,0.0,0,0\n"        // engine stopped
    "0.3,1499,0.9,0,1\n"     // just under both midpoints: column 0, row 0
    "0.6,1500,1.0,0,1\n"     // on the 1500 midpoint and the 1 % midpoint: column 1, row 1
    "0.9,1500,3.4,0,1\n"     // under the 3.5 % midpoint: row 1
    "1.2,1500,3.5,0,2\n"     // on it: row 2
    "1.5,20000,100.0,0,2\n"  // beyond the last point: column 14, row 9
    "1.8,14499,99.9,0,2\n"   // under the last midpoint: column 13
    "2.1,3000,50.0,1,3\n";   // advance map 2 in use; 50 % between 40 and 60 goes up: row 7

CellInputs Inputs(const char* text = kLog) {
  const auto r = ParseCsvText(text);
  EXPECT_TRUE(r.ok()) << r.error.message;
  std::string error;
  auto in = ExtractCellInputs(*r.table, error);
  EXPECT_TRUE(in.has_value()) << error;
  return *in;
}

Grid With(std::initializer_list<std::array<int, 3>> cells) {
  Grid g{};
  for (const auto& c : cells) g[c[0]][c[1]] = c[2];
  return g;
}

TEST(CellCount, HandCountedLogOnEveryLayout) {
  const CellInputs in = Inputs();
  CellFilter all;
  struct Case {
    int page, advanceRows, servoMode;
    Grid expected;
    std::size_t unmarked;
  };
  const Case cases[] = {
      {kPageAdvance1, 1, 0, With({{0, 0, 1}, {1, 1, 2}, {2, 1, 1}, {9, 14, 1}, {9, 13, 1}}), 2},
      {kPageAdvance2, 1, 0, With({{7, 2, 1}}), 7},
      // RPM-only advance maps: every row on row 9.
      {kPageAdvance1, 0, 0, With({{9, 0, 1}, {9, 1, 3}, {9, 14, 1}, {9, 13, 1}}), 2},
      // The servo map counts a stopped engine and ignores the advance map flag.
      {kPageServo, 1, 0,
       With({{0, 0, 2}, {1, 1, 2}, {2, 1, 1}, {9, 14, 1}, {9, 13, 1}, {7, 2, 1}}), 0},
      {kPageServo, 1, 1, With({{9, 0, 2}, {9, 1, 3}, {9, 14, 1}, {9, 13, 1}, {9, 2, 1}}), 0},
      {kPageServo, 1, 2, With({{0, 0, 2}, {1, 0, 2}, {2, 0, 1}, {9, 0, 2}, {7, 0, 1}}), 0},
  };
  for (const Case& c : cases) {
    const LiveCellRule rule = MakeLiveCellRule(Config(c.advanceRows, c.servoMode), c.page);
    const CellCounts counts = CountCells(in, rule, all);
    EXPECT_EQ(counts.rows, c.expected) << c.page << " " << c.advanceRows << " " << c.servoMode;
    EXPECT_EQ(counts.unmarked, c.unmarked);
    EXPECT_EQ(counts.counted + counts.unmarked, in.rows());
    // The counts follow the live cell of the page, row by row.
    for (std::size_t i = 0; i < in.rows(); ++i) {
      const LiveCell live = ComputeLiveCell(Config(c.advanceRows, c.servoMode), c.page, in.rpm[i],
                                            in.throttle[i], in.secondMap[i] != 0);
      EXPECT_EQ(CellOfRow(rule, in, i), live) << i;
    }
  }
}

TEST(CellCount, SteadyGearAndMinimumRowFilters) {
  const CellInputs in = Inputs();
  const LiveCellRule rule = MakeLiveCellRule(Config(1, 0), kPageAdvance1);
  CellFilter steady;
  steady.steadyOnly = true;  // 1000 rpm/s and 10 %/s: 300 rpm and 3 % between rows
  CellCounts c = CountCells(in, rule, steady);
  EXPECT_EQ(c.rows, With({{1, 1, 2}, {2, 1, 1}}));
  EXPECT_EQ(c.filtered, 5u);
  steady.maxThrottlePctPerS = 7.9;  // 2.4 % in 0.3 s is 8 %/s: row 3 drops out
  EXPECT_EQ(CountCells(in, rule, steady).rows, With({{1, 1, 1}, {2, 1, 1}}));

  CellFilter gear;
  gear.gears = 1 << 1;
  EXPECT_EQ(CountCells(in, rule, gear).rows, With({{0, 0, 1}, {1, 1, 2}}));
  gear.gears = (1 << 2) | (1 << 3);
  EXPECT_EQ(CountCells(in, rule, gear).rows, With({{2, 1, 1}, {9, 14, 1}, {9, 13, 1}}));

  CellFilter min;
  min.minRows = 2;
  c = CountCells(in, rule, min);
  EXPECT_TRUE(c.enough(1, 1));
  EXPECT_FALSE(c.enough(0, 0));
  EXPECT_TRUE(c.visited(0, 0));
  EXPECT_FALSE(c.visited(5, 5));
}

// Gears the unit cannot report (a log of another tool, a glitch) are no reason to leave a row
// out unless gears were picked.
TEST(CellCount, WithoutAGearFilterNoRowIsLeftOutForItsGear) {
  constexpr const char* kOddGears =
      "time,rpm,throttle_pct,gear\n0.0,1499,0.9,7\n0.3,1499,0.9,255\n0.6,1499,0.9,1\n";
  const CellInputs in = Inputs(kOddGears);
  const LiveCellRule rule = MakeLiveCellRule(Config(1, 0), kPageAdvance1);
  const struct {
    std::uint8_t gears;
    std::size_t counted, filtered;
  } cases[] = {{kAllGears, 3, 0}, {1 << 1, 1, 2}, {kAllGears & ~(1 << 1), 0, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.gears));
    CellFilter f;
    f.gears = c.gears;
    const CellCounts counts = CountCells(in, rule, f);
    EXPECT_EQ(counts.counted, c.counted);
    EXPECT_EQ(counts.filtered, c.filtered);
  }
  e2e::ScratchDir dir;
  e2e::WriteFile(dir.file("ride.csv"), kOddGears);
  const auto r = e2e::RunProgram(RQ_CLI, {"cells", dir.file("ride.csv"), "--map", "advance1"});
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("3 rows: 3 counted, 0 left out by the filters"), std::string::npos)
      << r.output;
}

TEST(CellCount, SteadyAcrossGapsAndNextRowInCell) {
  // After a 5 s gap the row is compared with the one after it; the first row likewise.
  const CellInputs in = Inputs(
      "time,rpm,throttle_pct\n"
      "0.0,3000,20\n0.5,3100,20\n"
      "5.5,6000,40\n6.0,6050,40\n6.5,9000,40\n");
  CellFilter steady;
  steady.steadyOnly = true;
  EXPECT_EQ(RowsPassing(in, steady), (std::vector<std::uint8_t>{1, 1, 1, 1, 0}));

  const CellInputs log = Inputs();
  const LiveCellRule rule = MakeLiveCellRule(Config(1, 0), kPageAdvance1);
  EXPECT_EQ(NextRowInCell(log, rule, {}, 0, 1, 1), 2u);
  EXPECT_EQ(NextRowInCell(log, rule, {}, 2, 1, 1), 3u);
  EXPECT_EQ(NextRowInCell(log, rule, {}, 3, 1, 1), 2u);  // round to the start
  EXPECT_EQ(NextRowInCell(log, rule, {}, 0, 5, 5), std::nullopt);
  EXPECT_EQ(NextRowInCell(log, rule, {}, 0, 7, 2), std::nullopt);  // map 2 rows stay off map 1
}

TEST(CellCount, LogWithoutRpmCannotBeCounted) {
  const auto r = ParseCsvText("time,throttle_pct\n0,1\n");
  ASSERT_TRUE(r.ok());
  std::string error;
  EXPECT_FALSE(ExtractCellInputs(*r.table, error).has_value());
  EXPECT_EQ(error, "the log has no rpm column");
}

// Supply and acceleration in two cells; ties for the maximum supply and the minimum
// acceleration, a row of map 2 and a row in gear 3 in the same cell.
constexpr const char* kStatLog =
    "time,rpm,throttle_pct,second_map,gear,supply_v,acceleration_rpm_s\n"
    "0.0,2000,2.0,0,2,13.500,100\n"
    "0.3,2000,2.0,0,2,13.500,300\n"
    "0.6,2000,2.0,0,2,12.000,100\n"
    "0.9,2000,2.0,1,2,11.000,900\n"   // advance map 2: not on Advance 1
    "1.2,2000,2.0,0,3,10.000,50\n"    // gear 3
    "1.5,5000,20.0,0,2,14.000,700\n";

TEST(CellStatistics, MeanMinMaxOverTheCountedRowsWithTies) {
  const auto r = ParseCsvText(kStatLog);
  ASSERT_TRUE(r.ok()) << r.error.message;
  std::string error;
  const auto in = ExtractCellInputs(*r.table, error);
  ASSERT_TRUE(in.has_value()) << error;
  const LiveCellRule rule = MakeLiveCellRule(Config(1, 0), kPageAdvance1);
  const LogColumn& supply = r.table->column(std::size_t(r.table->find("supply_v")));
  const LogColumn& accel = r.table->column(std::size_t(r.table->find("acceleration_rpm_s")));
  using S = CellStatistic;
  struct Case {
    std::uint8_t gears;
    const LogColumn* channel;
    int count;  // in cell (1, 1)
    double mean, min, max;
  };
  const Case cases[] = {
      {1 << 2, &supply, 3, 13.0, 12.0, 13.5},
      {1 << 2, &accel, 3, 500.0 / 3, 100, 300},
      {(1 << 2) | (1 << 3), &supply, 4, 12.25, 10.0, 13.5},
      {(1 << 2) | (1 << 3), &accel, 4, 137.5, 50, 300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.channel->name() + " gears " + std::to_string(c.gears));
    CellFilter filter;
    filter.gears = c.gears;
    const CellChannelStats st = CountCellsWithChannel(*in, rule, filter, *c.channel);
    EXPECT_EQ(st.counts.rows, CountCells(*in, rule, filter).rows);  // the same rows
    EXPECT_EQ(st.counts.rows[1][1], c.count);
    EXPECT_DOUBLE_EQ(*st.value(S::Mean, 1, 1), c.mean);
    EXPECT_DOUBLE_EQ(*st.value(S::Min, 1, 1), c.min);
    EXPECT_DOUBLE_EQ(*st.value(S::Max, 1, 1), c.max);
    EXPECT_EQ(st.counts.rows[4][4], 1);  // one row: mean, min and max are that row's value
    EXPECT_EQ(*st.value(S::Min, 4, 4), *st.value(S::Max, 4, 4));
    EXPECT_EQ(*st.value(S::Mean, 4, 4), *st.value(S::Max, 4, 4));
    EXPECT_FALSE(st.value(S::Mean, 0, 0).has_value());  // no rows, no value
    EXPECT_FALSE(st.value(S::Max, 0, 0).has_value());
  }
  EXPECT_EQ(ParseCellStatistic("min"), S::Min);
  EXPECT_EQ(ParseCellStatistic("median"), std::nullopt);
}

TEST(CellsCommand, ChannelStatisticInTableAndJson) {
  e2e::ScratchDir dir;
  e2e::WriteFile(dir.file("ride.csv"), kStatLog);
  e2e::WriteFile(dir.file("rows.ign"), WriteIgnText(Config(1, 0)));
  auto run = [&](const std::vector<std::string>& extra) {
    std::vector<std::string> args = {"cells", dir.file("ride.csv"), "--map", "advance1",
                                     "--config", dir.file("rows.ign"), "--gear", "2"};
    args.insert(args.end(), extra.begin(), extra.end());
    return e2e::RunProgram(RQ_CLI, args);
  };
  const auto json = run({"--channel", "acceleration_rpm_s", "--stat", "min", "--json"});
  ASSERT_EQ(json.exitCode, 0) << json.output;
  const std::string nulls13 = ",null,null,null,null,null,null,null,null,null,null,null,null,null]";
  EXPECT_TRUE(e2e::Contains(json.output, "\"count\":[[0,0,0,0,0,0,0,0,0,0,0,0,0,0,0],[0,3,0,"));
  EXPECT_TRUE(e2e::Contains(json.output, "\"channel\":\"acceleration_rpm_s\",\"stat\":\"min\","
                                         "\"value\":[[null,null" + nulls13 + ",[null,100" + nulls13))
      << json.output;
  EXPECT_TRUE(e2e::Contains(json.output, "\"max\":[[null,null" + nulls13 + ",[null,300" + nulls13));

  // The table: the mean with one decimal for a channel of whole numbers, "." without rows,
  // brackets under the minimum.
  const auto text = run({"--channel", "acceleration_rpm_s", "--min-rows", "2"});
  ASSERT_EQ(text.exitCode, 0) << text.output;
  EXPECT_TRUE(e2e::Contains(text.output, "\n               2       .   166.7       ."))
      << text.output;
  EXPECT_TRUE(e2e::Contains(text.output, "\n              20       .       .       .       . (700.0)"));
  EXPECT_TRUE(e2e::Contains(text.output, "mean of acceleration_rpm_s (rpm/s) over the rows counted"));

  EXPECT_EQ(run({"--channel", "oil_temp"}).exitCode, 1);
  EXPECT_EQ(run({"--stat", "max"}).exitCode, 2);
  EXPECT_EQ(run({"--channel", "supply_v", "--stat", "median"}).exitCode, 2);
}

TEST(CellsCommand, PrintsTheSameTableAsJson) {
  e2e::ScratchDir dir;
  e2e::WriteFile(dir.file("ride.csv"), kLog);
  e2e::WriteFile(dir.file("rows.ign"), WriteIgnText(Config(1, 0)));
  e2e::WriteFile(dir.file("rpmonly.ign"), WriteIgnText(Config(0, 0)));
  auto json = [&](const std::vector<std::string>& extra) {
    std::vector<std::string> args = {"cells", dir.file("ride.csv")};
    args.insert(args.end(), extra.begin(), extra.end());
    const auto r = e2e::RunProgram(RQ_CLI, args);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    const auto from = r.output.find("\"count\":");
    return from == std::string::npos ? r.output : r.output.substr(from, r.output.find(",\"enough\"") - from);
  };
  auto grid = [](const Grid& g) {
    std::string s = "\"count\":[";
    for (int r = 0; r < kMapRows; ++r) {
      s += r ? ",[" : "[";
      for (int c = 0; c < kMapColumns; ++c) s += (c ? "," : "") + std::to_string(g[r][c]);
      s += "]";
    }
    return s + "]";
  };
  EXPECT_EQ(json({"--map", "advance1", "--config", dir.file("rows.ign"), "--json"}),
            grid(With({{0, 0, 1}, {1, 1, 2}, {2, 1, 1}, {9, 14, 1}, {9, 13, 1}})));
  EXPECT_EQ(json({"--json", "--map", "advance1", "--config", dir.file("rpmonly.ign")}),
            grid(With({{9, 0, 1}, {9, 1, 3}, {9, 14, 1}, {9, 13, 1}})));
  EXPECT_EQ(json({"--map", "advance1", "--config", dir.file("rows.ign"), "--json", "--steady", "--gear", "1,2"}),
            grid(With({{1, 1, 2}, {2, 1, 1}})));

  // Usage errors exit 2, a bad log 1 with its line and column.
  EXPECT_EQ(e2e::RunProgram(RQ_CLI, {"cells", dir.file("ride.csv")}).exitCode, 2);
  EXPECT_EQ(e2e::RunProgram(RQ_CLI, {"cells", dir.file("ride.csv"), "--map", "servo", "--gear", "7"}).exitCode, 2);
  e2e::WriteFile(dir.file("bad.csv"), "time,rpm\n0,1\n1,x\n");
  const auto bad = e2e::RunProgram(RQ_CLI, {"cells", dir.file("bad.csv"), "--map", "servo"});
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.output.find("bad.csv: line 3, column 2 (rpm): \"x\" is not a number"), std::string::npos)
      << bad.output;
}

}  // namespace
}  // namespace rq::logs
