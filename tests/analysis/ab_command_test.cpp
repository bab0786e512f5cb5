// SPDX-License-Identifier: GPL-3.0-or-later
// rq_vtmx4_cli ab: the JSON's shape (10 throttle rows of 15 cells, null where no row fell, the
// proposal and next pair with a configuration only), the table, several logs, the same output
// for the same logs, and the wrong calls.
#include <gtest/gtest.h>

#include "model/ign_file.h"
#include "tests/analysis/ab_logs.h"
#include "tests/analysis/json_reader.h"
#include "tests/e2e/child_process.h"

namespace rq::analysis {
namespace {

using testjson::Value;

// Map 2 (24 degrees) pulls 5 % harder than map 1 (20 degrees) at 5000 rpm and 60 %; a few rows
// of map 1 only at 8000 rpm.
std::string RideCsv() {
  std::vector<abtest::LogRow> rows;
  abtest::Pulls p;
  p.advances(20, 24);
  for (int i = 0; i < 6; ++i) p.add(3, 0, 1000).add(3, 1, 1050);
  rows = p.rows();
  for (int k = 0; k < 3; ++k) rows.push_back({p.now() + 0.3 * k, 8000, 60, 0, 3, 900, "", 33});
  return abtest::AbCsv(rows);
}

ParameterImage RideConfig() {
  ParameterImage im = abtest::AxisConfig();
  im.setByte(kAdvance1Cells.at(abtest::kRow, abtest::kColumn), 20);
  im.setByte(kAdvance2Cells.at(abtest::kRow, abtest::kColumn), 24);
  return im;
}

void ExpectGrid(const Value& grid, Value::Kind kind, const char* what) {
  ASSERT_EQ(grid.kind, Value::Kind::List) << what;
  ASSERT_EQ(grid.list.size(), std::size_t(kMapRows)) << what;
  for (const Value& row : grid.list) {
    ASSERT_EQ(row.list.size(), std::size_t(kMapColumns)) << what;
    if (kind == Value::Kind::Null) continue;  // any kind
    for (const Value& v : row.list) EXPECT_EQ(v.kind, kind) << what;
  }
}

class AbCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    e2e::WriteFile(dir.file("ride.csv"), RideCsv());
    e2e::WriteFile(dir.file("bike.ign"), WriteIgnText(RideConfig()));
  }
  e2e::RunResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), "ab");
    return e2e::RunProgram(RQ_CLI, args);
  }
  Value Json(const std::vector<std::string>& args) {
    const auto r = Run(args);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    const auto v = testjson::Parse(r.output);
    EXPECT_TRUE(v.has_value()) << r.output;
    return v ? *v : Value{};
  }
  e2e::ScratchDir dir;
};

TEST_F(AbCommand, JsonHasOneObjectPerVisitedCell) {
  const Value v = Json({dir.file("ride.csv"), "--config", dir.file("bike.ign"), "--json"});
  EXPECT_EQ(v["map"].text, "advance1");
  EXPECT_EQ(v["logs"].number, 1);
  EXPECT_EQ(v["counted"].number, 39);
  EXPECT_EQ(v["left_out"].object.size(), std::size_t(kRowReasons - 1));
  EXPECT_EQ(v["left_out"]["throttle_low"].number, 12);
  EXPECT_EQ(v["rpm"].list.size(), std::size_t(kMapColumns));
  EXPECT_EQ(v["rpm"][4].number, 5000);
  EXPECT_EQ(v["throttle_pct"][7].number, 60);
  ExpectGrid(v["cells"], Value::Kind::Null, "cells");
  int objects = 0;
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c)
      objects += v["cells"][std::size_t(r)][std::size_t(c)].kind == Value::Kind::Object;
  EXPECT_EQ(objects, 2);

  const Value& both = v["cells"][std::size_t(abtest::kRow)][std::size_t(abtest::kColumn)];
  for (const char* key : {"rows1", "rows2", "gain_pct", "ci_low_pct", "ci_high_pct", "better",
                          "advance1", "advance2", "best", "best_low", "best_high", "rides"})
    EXPECT_EQ(both[key].kind, Value::Kind::Number) << key;
  // The gain says the best lies beyond map 2: the estimate above 24, the proposal held at 4
  // degrees from the pair's middle, the next pair around it with map 2 at most 4 above 24.
  EXPECT_GT(both["best"].number, 24);
  EXPECT_LT(both["best_low"].number, both["best"].number);
  EXPECT_EQ(both["rides"].number, 1);
  EXPECT_EQ(both["settled"].kind, Value::Kind::Bool);
  EXPECT_EQ(both["rows1"].number, 18);
  EXPECT_EQ(both["rows2"].number, 18);
  EXPECT_NEAR(both["gain_pct"].number, 5, 1);
  EXPECT_GT(both["ci_low_pct"].number, 0);
  EXPECT_EQ(both["better"].number, 2);
  EXPECT_EQ(both["advance1"].number, 20);
  EXPECT_EQ(both["advance2"].number, 24);

  const Value& one = v["cells"][std::size_t(abtest::kRow)][7];  // map 1 only
  EXPECT_EQ(one["rows1"].number, 3);
  EXPECT_EQ(one["rows2"].number, 0);
  EXPECT_TRUE(one["gain_pct"].isNull());
  EXPECT_TRUE(one["ci_low_pct"].isNull());
  EXPECT_EQ(one["better"].number, 0);

  for (const char* key : {"proposal", "next_map1", "next_map2"})
    ExpectGrid(v[key], Value::Kind::Number, key);
  EXPECT_EQ(v["proposal"][7][4].number, 26);
  EXPECT_EQ(v["next_map1"][7][4].number, 23);
  EXPECT_EQ(v["next_map2"][7][4].number, 28);
  EXPECT_EQ(v["proposal"][7][7].number, v["next_map2"][7][7].number);  // no estimate: as it is
  ASSERT_EQ(v["clamped"].list.size(), 2u);
  EXPECT_EQ(v["clamped"][0]["reason"].text, "max_move");
  EXPECT_EQ(v["clamped"][1]["reason"].text, "knock");

  // Without a configuration: the cells of a new one, and no proposal.
  const Value bare = Json({dir.file("ride.csv"), "--json"});
  ExpectGrid(bare["cells"], Value::Kind::Null, "cells");
  EXPECT_FALSE(bare.has("proposal"));
  EXPECT_FALSE(bare.has("next_map2"));
}

TEST_F(AbCommand, TableSeveralLogsAndTheSameAnswerTwice) {
  const auto text = Run({dir.file("ride.csv"), "--config", dir.file("bike.ign")});
  ASSERT_EQ(text.exitCode, 0) << text.output;
  // 100 % at the top; at 60 %: "." without rows, the difference with its mark, "-" for one map.
  EXPECT_TRUE(e2e::Contains(text.output, "\n             100        .")) << text.output;
  const std::size_t line = text.output.find("\n              60 ");
  ASSERT_NE(line, std::string::npos);
  const std::string row60 = text.output.substr(line + 1, text.output.find('\n', line + 1) - line - 1);
  EXPECT_EQ(row60.substr(16 + 4 * 9, 9).back(), '2') << row60;
  EXPECT_EQ(row60.substr(16 + 4 * 9, 5), "   +5") << row60;
  EXPECT_EQ(row60.substr(16 + 7 * 9, 9), "        -") << row60;
  EXPECT_TRUE(e2e::Contains(text.output, "Proposal for Advance 1"));
  EXPECT_EQ(Run({dir.file("ride.csv"), "--config", dir.file("bike.ign")}).output, text.output);

  // The same ride under another name counts once, with a warning.
  e2e::WriteFile(dir.file("copy.csv"), RideCsv());
  const auto twice = Run({dir.file("ride.csv"), dir.file("copy.csv"), "--json", "--gear", "3",
                          "--config", dir.file("bike.ign")});
  EXPECT_TRUE(e2e::Contains(twice.output, "copy.csv holds the same ride as")) << twice.output;
  const std::string json = twice.output.substr(twice.output.find('{'));
  const auto two = testjson::Parse(json);
  ASSERT_TRUE(two.has_value()) << twice.output;
  EXPECT_EQ((*two)["logs"].number, 1);
  EXPECT_EQ((*two)["cells"][7][4]["rows1"].number, 18);
  // Maps on other rpm points: the proposal, but no next pair.
  ParameterImage apart = RideConfig();
  apart.setWord(kAdvance2Axis[14], 14500);
  e2e::WriteFile(dir.file("apart.ign"), WriteIgnText(apart));
  const auto refused = Run({dir.file("ride.csv"), "--config", dir.file("apart.ign")});
  EXPECT_TRUE(e2e::Contains(refused.output, "Next pair: not prepared, the two maps' rpm points differ"));
  EXPECT_FALSE(e2e::Contains(refused.output, "Next pair, map 2"));
  // The tuner's limits hold the proposal and the pair; one that cannot be read refuses them.
  e2e::WriteFile(dir.file("limits.ini"), "[LIMITS]\nAdvance1Max=24\nAdvance2Max=25\n");
  const Value held = Json({dir.file("ride.csv"), "--config", dir.file("bike.ign"), "--limits",
                           dir.file("limits.ini"), "--json"});
  EXPECT_EQ(held["proposal"][7][4].number, 24);
  EXPECT_LE(held["next_map2"][7][4].number, 25);
  EXPECT_EQ(held["clamped"][0]["reason"].text, "limit");
  e2e::WriteFile(dir.file("bad.ini"), "[LIMITS]\nAdvance1Max=24 ; mine\n");
  EXPECT_EQ(Run({dir.file("ride.csv"), "--config", dir.file("bike.ign"), "--limits", dir.file("bad.ini")}).exitCode, 1);
  const Value otherGear = Json({dir.file("ride.csv"), "--json", "--gear", "2,4"});
  EXPECT_EQ(otherGear["counted"].number, 0);
  EXPECT_EQ(otherGear["left_out"]["gear_left_out"].number, 63);  // every row is in third
}

TEST_F(AbCommand, WrongCallsAndLogsThatCannotBeCompared) {
  struct Case {
    std::vector<std::string> args;
    int exitCode;
  };
  e2e::WriteFile(dir.file("nogear.csv"), "time,rpm,throttle_pct,second_map\n0,5000,60,0\n");
  const Case cases[] = {
      {{}, 2},
      {{dir.file("ride.csv"), "--map", "servo"}, 2},
      {{dir.file("ride.csv"), "--gear", "0"}, 2},
      {{dir.file("ride.csv"), "--step", "0"}, 2},
      {{dir.file("ride.csv"), "--spread", "7"}, 2},
      {{dir.file("ride.csv"), "--max-move", "0"}, 2},
      {{dir.file("ride.csv"), "--min-rows"}, 2},
      {{dir.file("ride.csv"), "--steady"}, 2},
      {{dir.file("missing.csv")}, 1},
      {{dir.file("ride.csv"), dir.file("nogear.csv")}, 1},
      {{dir.file("ride.csv"), "--config", dir.file("missing.ign")}, 1},
  };
  for (const Case& c : cases) {
    const auto r = Run(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << r.output;
  }
  EXPECT_TRUE(e2e::Contains(Run({dir.file("nogear.csv")}).output, "nogear.csv: the log has no gear column"));
}

}  // namespace
}  // namespace rq::analysis
