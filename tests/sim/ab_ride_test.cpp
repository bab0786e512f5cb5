// SPDX-License-Identifier: GPL-3.0-or-later
// The A/B ride: the rider's switch picks the second map through the input set to it, the
// engine pulls harder on the map nearer its best advance, the torque model's shape, and the
// options that ready the simulator for it.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

#include "model/defaults.h"
#include "model/parameter_table.h"
#include "sim/bike.h"
#include "sim/options.h"
#include "sim/ride_log.h"
#include "sim/torque.h"

namespace rq::sim {
namespace {

// Both maps flat (10 and 30 degrees, or as given), gear from the programmed ratios, an input
// on the second map.
ParameterImage AbBike(int map1 = 10, int map2 = 30) {
  ParameterImage cfg = NewConfiguration();
  cfg.setByte(kGearSystem, 2);
  for (int i = 0; i < kAdvance1Cells.size(); ++i) {
    cfg.setByte(ByteField{kAdvance1Cells.first + i}, std::uint8_t(map1));
    cfg.setByte(ByteField{kAdvance2Cells.first + i}, std::uint8_t(map2));
  }
  SetUpSecondMapSwitch(cfg);
  return cfg;
}

TEST(AbRide, TheSwitchPicksTheSecondMapBetweenPulls) {
  const ParameterImage cfg = AbBike();
  ASSERT_EQ(cfg[kInputFunction[1]], kInputSecondMap);
  const auto rows = AbRideSnapshots(cfg, AbRide{}, 150, 3);
  int onMap2 = 0, switches = 0, pullsInSecond = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const MonitorSnapshot& s = rows[i];
    ASSERT_EQ(s.secondMap != 0, s.inputActive(1)) << i;  // the map follows the input
    if (s.rpm > 600 && s.baseAdvance == 0) {
      ASSERT_EQ(s.advance1Deg(), s.secondMap ? 30 : 10) << i;
    }
    onMap2 += s.secondMap;
    if (i > 0 && s.secondMap != rows[i - 1].secondMap) {
      ++switches;
      EXPECT_EQ(s.throttle, 0) << "switched during a pull at row " << i;
    }
    pullsInSecond += s.gear == 2 && s.throttle >= 400;
  }
  EXPECT_GE(switches, 4);
  EXPECT_GT(onMap2, int(rows.size()) / 4);
  EXPECT_GT(pullsInSecond, 60);
}

TEST(AbRide, TheEnginePullsHarderNearItsBestAdvance) {
  // Map 1 at the best advance in every cell, map 2 fifteen degrees beyond it.
  ParameterImage cfg = AbBike();
  const MapDef& map = Maps()[0];
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c) {
      const int best = int(std::lround(BestAdvance(cfg[map.axis[c]], kThrottleRows[r])));
      cfg.setByte(kAdvance1Cells.at(r, c), std::uint8_t(best));
      cfg.setByte(kAdvance2Cells.at(r, c), std::uint8_t(best + 15));
    }
  // Mean acceleration at full throttle in second gear, by map and 1000 rpm band.
  std::map<std::pair<int, int>, std::pair<double, int>> sums;
  for (const MonitorSnapshot& s : AbRideSnapshots(cfg, AbRide{.throttlePercent = {100}}, 120, 5)) {
    if (s.gear != 2 || s.throttle != 1000 || s.rpm < 4000 || s.rpm >= 9000) continue;
    auto& [sum, n] = sums[{s.secondMap, s.rpm / 1000}];
    sum += s.acceleration;
    ++n;
  }
  int bands = 0;
  for (int band = 4; band < 9; ++band) {
    const auto a = sums.find({0, band}), b = sums.find({1, band});
    if (a == sums.end() || b == sums.end()) continue;
    ++bands;
    const double mean1 = a->second.first / a->second.second, mean2 = b->second.first / b->second.second;
    EXPECT_GT(mean1, mean2 * 1.1) << band << "000 rpm";  // 15 degrees off: 18 % less torque
  }
  EXPECT_GE(bands, 3);
}

TEST(AbRide, TorqueFallsAwayOnBothSidesOfTheBestAdvance) {
  for (const double rpm : {3000.0, 6000.0, 9000.0}) {
    for (const double throttle : {40.0, 100.0}) {
      const double best = BestAdvance(rpm, throttle);
      EXPECT_DOUBLE_EQ(AdvanceEfficiency(best, best), 1.0);
      for (const double off : {2.0, 5.0, 10.0}) {
        EXPECT_DOUBLE_EQ(AdvanceEfficiency(best + off, best), AdvanceEfficiency(best - off, best));
        EXPECT_LT(AdvanceEfficiency(best + off + 1, best), AdvanceEfficiency(best + off, best));
      }
      EXPECT_GT(TorqueAt(rpm, throttle, best), TorqueAt(rpm, throttle, best + 4));
    }
  }
  EXPECT_GT(BestAdvance(8000, 60), BestAdvance(3000, 60));    // more advance at high rpm
  EXPECT_GT(BestAdvance(6000, 40), BestAdvance(6000, 100));   // less under load
  EXPECT_LT(WarmUp(0), WarmUp(300));                          // a cold engine gives less
  EXPECT_NEAR(WarmUp(3600), 1.0, 1e-4);
  // Higher gears gain engine speed more slowly; at high road speed the drag wins.
  const ParameterImage cfg = NewConfiguration();
  EXPECT_GT(PullRate(cfg, 2, 6000, 1.0), 2 * PullRate(cfg, 4, 6000, 1.0));
  EXPECT_LT(PullRate(cfg, 6, 12000, 0.3), 0);
}

TEST(AbRide, BestAdvanceTableHasTheGridOfAdvance1) {
  ParameterImage cfg = NewConfiguration();
  for (int c = 0; c < kMapColumns; ++c) cfg.setWord(kAdvance1Axis[c], 1000 * (c + 1));
  std::istringstream text(BestAdvanceTable(cfg, kPageAdvance1));
  std::string line;
  std::getline(text, line);
  EXPECT_EQ(line.substr(0, 16 + 14), "throttle % \\ rpm   1000   2000");
  std::vector<std::string> rows;
  while (std::getline(text, line)) rows.push_back(line);
  ASSERT_EQ(rows.size(), std::size_t(kMapRows));
  char expected[32];
  std::snprintf(expected, sizeof expected, "%16d%7.1f", 100, BestAdvance(1000, 100));
  EXPECT_EQ(rows.front().substr(0, 23), expected);  // 100 % first
  std::snprintf(expected, sizeof expected, "%7.1f", BestAdvance(15000, 0));
  EXPECT_EQ(rows.back().substr(rows.back().size() - 7), expected);
}

TEST(AbRide, OptionsPutAnInputOnTheSecondMap) {
  struct Case {
    std::array<int, 3> inputs;
    int chosen;
  };
  const Case cases[] = {
      {{1, 3, 5}, 1},  // a new configuration: the clutch master's input
      {{1, 6, 5}, 1},  // one already on the second map
      {{1, 3, 6}, 2},
      {{1, 3, 0}, 2},  // the first that is off
      {{0, 3, 0}, 0},
      {{1, 7, 7}, 1},  // kill switch and sensors only: input 2 all the same
  };
  for (const Case& k : cases) {
    ParameterImage cfg = NewConfiguration();
    for (int i = 0; i < 3; ++i) cfg.setByte(kInputFunction[i], std::uint8_t(k.inputs[std::size_t(i)]));
    EXPECT_EQ(SetUpSecondMapSwitch(cfg), k.chosen);
    EXPECT_EQ(cfg[kInputFunction[k.chosen]], kInputSecondMap);
    for (int i = 0; i < 3; ++i) {
      if (i == k.chosen) continue;
      EXPECT_EQ(cfg[kInputFunction[i]], k.inputs[std::size_t(i)]);
    }
    EXPECT_EQ(cfg[kSecondMapAcceleration], 250);  // 25000 rpm/s: never by acceleration
  }
  SimOptions o;
  std::string err;
  ASSERT_TRUE(ParseOptions({"--ab", "--gear-method", "2"}, o, err)) << err;
  EXPECT_TRUE(o.abRide);
  EXPECT_FALSE(o.bestAdvance);
  ParameterImage cfg;
  ASSERT_TRUE(StartConfiguration(o, cfg, err)) << err;
  EXPECT_EQ(cfg[kInputFunction[1]], kInputSecondMap);
  EXPECT_EQ(cfg[kGearSystem], 2);
  ASSERT_TRUE(ParseOptions({"--best-advance"}, o, err));
  EXPECT_TRUE(o.bestAdvance);
}

}  // namespace
}  // namespace rq::sim
