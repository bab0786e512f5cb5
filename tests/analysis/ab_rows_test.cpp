// SPDX-License-Identifier: GPL-3.0-or-later
// Which rows an A/B comparison counts: one rule at a time, each on a short log whose last row
// breaks only that rule; the columns a log must have; acceleration taken from engine speed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "analysis/ab_passes.h"
#include "analysis/ab_rows.h"
#include "tests/analysis/ab_logs.h"

namespace rq::analysis {
namespace {

using abtest::AbCsv;
using abtest::LogRow;
using abtest::ParseAbLog;

// Two steady rows, then the row under test 0.3 s later.
std::vector<RowReason> ReasonsWithLast(const LogRow& last, const AbSelection& selection = {}) {
  std::vector<LogRow> rows = {{0.0}, {0.3}, last};
  rows[2].t = 0.6;
  return SelectAbRows(ParseAbLog(AbCsv(rows)), selection);
}

TEST(AbRows, EachRuleLeavesOutItsRow) {
  AbSelection onlySecond;
  onlySecond.gears = 1 << 2;
  struct Case {
    const char* what;
    LogRow row;
    AbSelection selection;
    RowReason expected;
  };
  const Case cases[] = {
      {"steady pull", {}, {}, RowReason::Counted},
      {"map 2 counts alike", {.map = 1}, {}, RowReason::Counted},
      {"engine stopped", {.rpm = 0}, {}, RowReason::EngineStopped},
      {"neutral", {.gear = 0}, {}, RowReason::NoGear},
      {"gear not asked for", {.gear = 3}, onlySecond, RowReason::GearLeftOut},
      {"gear asked for", {.gear = 2}, onlySecond, RowReason::Counted},
      {"throttle just below 20 %", {.throttle = 19.9}, {}, RowReason::ThrottleLow},
      {"throttle at 20 % (after 60 %: moving)", {.throttle = 20}, {}, RowReason::ThrottleMoving},
      // 10 %/s over 0.3 s is 3 %.
      {"throttle 2.9 % up in 0.3 s", {.throttle = 62.9}, {}, RowReason::Counted},
      {"throttle 3.1 % down in 0.3 s", {.throttle = 56.9}, {}, RowReason::ThrottleMoving},
      {"acceleration 0 is known", {.acceleration = 0}, {}, RowReason::Counted},
  };
  for (const Case& c : cases) {
    const auto reasons = ReasonsWithLast(c.row, c.selection);
    EXPECT_EQ(reasons[2], c.expected) << c.what;
    EXPECT_EQ(reasons[1], RowReason::Counted) << c.what;
  }
  // Every flag that changes the advance or the pull besides the map, one at a time.
  for (const char* flag : kBlockingChannels) {
    LogRow row;
    row.flag = flag;
    EXPECT_EQ(ReasonsWithLast(row)[2], RowReason::Blocked) << flag;
  }
  // The first rule that applies names the row.
  EXPECT_EQ(ReasonsWithLast({.rpm = 0, .throttle = 0, .gear = 0})[2], RowReason::EngineStopped);
  EXPECT_EQ(ReasonsWithLast({.throttle = 0, .gear = 0, .flag = "retard"})[2], RowReason::Blocked);
}

TEST(AbRows, ThrottleLimitsFollowTheSelection) {
  AbSelection loose;
  loose.minThrottlePct = 10;
  loose.maxThrottlePctPerS = 50;
  EXPECT_EQ(ReasonsWithLast({.throttle = 19.9})[2], RowReason::ThrottleLow);
  EXPECT_EQ(ReasonsWithLast({.throttle = 70}, loose)[2], RowReason::Counted);  // 33 %/s
  EXPECT_EQ(ReasonsWithLast({.throttle = 5}, loose)[2], RowReason::ThrottleLow);
}

TEST(AbRows, LogsWithoutGearOrMapCannotBeCompared) {
  struct Case {
    const char* csv;
    const char* error;
  };
  const Case cases[] = {
      {"time,throttle_pct,second_map,gear\n0,60,0,2\n", "the log has no rpm column"},
      {"time,rpm,throttle_pct,second_map\n0,5000,60,0\n",
       "the log has no gear column: the maps are compared within each gear"},
      {"time,rpm,throttle_pct,gear\n0,5000,60,2\n",
       "the log has no second_map column: it does not say which map the unit used"},
  };
  for (const Case& c : cases) {
    const auto loaded = logs::ParseCsvText(c.csv);
    ASSERT_TRUE(loaded.ok());
    std::string error;
    EXPECT_FALSE(ExtractAbLog(*loaded.table, error).has_value());
    EXPECT_EQ(error, c.error);
  }
}

TEST(AbRows, WithoutAnAccelerationColumnItComesFromEngineSpeed) {
  // 5000 -> 5300 rpm in 0.3 s is 1000 rpm/s; a fall reads 0 as the unit reports it; the first
  // row and a row after a gap of more than 2 s have none (their throttle is steady against
  // the row after them).
  const std::vector<LogRow> rows = {{.t = 0.0, .rpm = 5000}, {.t = 0.3, .rpm = 5300},
                                    {.t = 0.6, .rpm = 5200}, {.t = 3.0, .rpm = 5400},
                                    {.t = 3.3, .rpm = 5500}};
  const AbLog log = ParseAbLog(AbCsv(rows, false));
  EXPECT_TRUE(log.accelerationDerived);
  EXPECT_TRUE(std::isnan(log.acceleration[0]));
  EXPECT_NEAR(log.acceleration[1], 1000, 1e-3);
  EXPECT_EQ(log.acceleration[2], 0);
  EXPECT_TRUE(std::isnan(log.acceleration[3]));
  EXPECT_NEAR(log.acceleration[4], 1000.0 / 3, 1e-3);
  const auto reasons = SelectAbRows(log, {});
  EXPECT_EQ(reasons, (std::vector<RowReason>{RowReason::AccelerationUnknown, RowReason::Counted,
                                             RowReason::Counted, RowReason::AccelerationUnknown,
                                             RowReason::Counted}));
  EXPECT_FALSE(ParseAbLog(AbCsv(rows)).accelerationDerived);

  // In a comparison a rise counts only between two rows of one cell: 4400 -> 4600 rpm crosses
  // from the 4000 rpm cell into the 5000 rpm one, 4600 -> 4900 stays in it.
  const std::vector<LogRow> across = {{.t = 0.0, .rpm = 4400}, {.t = 0.3, .rpm = 4600},
                                      {.t = 0.6, .rpm = 4900}};
  const AbPasses p = CollectPasses(std::vector<AbLog>{ParseAbLog(AbCsv(across, false))},
                                   MakeLiveCellRule(abtest::AxisConfig(), kPageAdvance1), {}, 600);
  EXPECT_EQ(p.rows[std::size_t(RowReason::AccelerationUnknown)], 2u);
  EXPECT_EQ(p.rows[std::size_t(RowReason::Counted)], 1u);
}

TEST(AbRows, AnAccelerationTheUnitCannotReportIsRefusedWithItsLineAndColumn) {
  std::vector<LogRow> rows = {{.t = 0.0}, {.t = 0.3}};
  rows[1].acceleration = 1e30;
  const std::string path = ::testing::TempDir() + "/ab_bound.csv";
  FILE* f = std::fopen(path.c_str(), "w");
  ASSERT_NE(f, nullptr);
  const std::string csv = AbCsv(rows);
  std::fwrite(csv.data(), 1, csv.size(), f);
  std::fclose(f);
  std::string error;
  EXPECT_FALSE(LoadAbLog(path, error).has_value());
  EXPECT_NE(error.find("line 3, column 6"), std::string::npos) << error;
  std::remove(path.c_str());
}

TEST(AbRows, ReadingOnlyTheComparedColumnsGivesTheSameLog) {
  // Each blocking flag on in one row, map and gear changing, beside a column of other text.
  std::vector<LogRow> rows;
  for (std::size_t i = 0; i < kBlockingChannels.size() + 3; ++i)
    rows.push_back({.t = 0.3 * double(i), .rpm = 4000 + 100 * int(i), .throttle = 40 + double(i),
                    .map = int(i % 2), .gear = int(i % 4), .acceleration = 500.0 + double(i),
                    .flag = i < kBlockingChannels.size() ? kBlockingChannels[i] : ""});
  const std::string plain = AbCsv(rows);
  std::string csv;
  for (std::size_t at = 0, nl; (nl = plain.find('\n', at)) != plain.npos; at = nl + 1)
    csv += plain.substr(at, nl - at) + (at == 0 ? ",speed_kmh\n" : ",not read\n");
  logs::LoadOptions only;
  only.keepColumn = ReadForComparison;
  const auto kept = logs::ParseCsvText(csv, only);
  ASSERT_TRUE(kept.ok()) << kept.error.message;
  EXPECT_LT(kept.table->find("speed_kmh"), 0);
  std::string error;
  const auto narrow = ExtractAbLog(*kept.table, error);
  const AbLog whole = ParseAbLog(AbCsv(rows));
  ASSERT_TRUE(narrow.has_value()) << error;
  EXPECT_EQ(narrow->cells.time, whole.cells.time);
  EXPECT_EQ(narrow->cells.rpm, whole.cells.rpm);
  EXPECT_EQ(narrow->cells.throttle, whole.cells.throttle);
  EXPECT_EQ(narrow->cells.secondMap, whole.cells.secondMap);
  EXPECT_EQ(narrow->cells.gear, whole.cells.gear);
  EXPECT_EQ(narrow->acceleration, whole.acceleration);
  EXPECT_EQ(narrow->blocked, whole.blocked);
  // A row short of a field is refused still.
  EXPECT_FALSE(logs::ParseCsvText(csv + "9,5000,60,0,2\n", only).ok());
}

}  // namespace
}  // namespace rq::analysis
