// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/ride.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "model/defaults.h"
#include "sim/engine.h"
#include "sim/options.h"
#include "sim/unit_model.h"

namespace rq::sim {
namespace {

constexpr double kTick = 1.0 / 3;  // the window asks for live values about three times a second
constexpr int kThrottleRow[10] = {0, 2, 5, 10, 20, 30, 40, 60, 80, 100};

struct Sample {
  double t;
  LiveValues v;
  Engine::Phase phase;
  int trueGear;
};

std::vector<Sample> Ride(const ParameterImage& cfg, std::uint64_t seed, double seconds) {
  UnitModel unit(cfg, Identity{}, seed);
  std::vector<Sample> out;
  for (double t = 0; t < seconds; t += kTick) {
    unit.Advance(kTick);
    out.push_back({t, unit.engine().live(), unit.engine().phase(), unit.engine().trueGear()});
  }
  return out;
}

// Nearest point of each axis: which map cell a sample lands in.
int NearestColumn(const ParameterImage& cfg, int rpm) {
  int best = 0;
  for (int c = 1; c < 15; ++c)
    if (std::abs(cfg[kAdvance1Axis[c]] - rpm) < std::abs(cfg[kAdvance1Axis[best]] - rpm)) best = c;
  return best;
}
int NearestRow(int permille) {
  int best = 0;
  for (int r = 1; r < 10; ++r)
    if (std::abs(kThrottleRow[r] * 10 - permille) < std::abs(kThrottleRow[best] * 10 - permille))
      best = r;
  return best;
}

ParameterImage DemoBike() {
  SimOptions o;
  std::string err;
  EXPECT_TRUE(ParseOptions({"--gear-method", "2"}, o, err)) << err;
  ParameterImage cfg;
  EXPECT_TRUE(StartConfiguration(o, cfg, err)) << err;
  return cfg;
}

// Any two minutes of the ride, recorded at three rows a second, cover a good part of the
// advance map, and the gear the unit reports moves through the gears.
TEST(DemoRide, TwoMinutesFillTheMapAndMoveTheGear) {
  const ParameterImage cfg = DemoBike();
  ASSERT_EQ(cfg[kGearSystem], 2);
  for (std::uint64_t seed : {1u, 5u}) {
    const std::vector<Sample> ride = Ride(cfg, seed, 240);
    for (double start : {0.0, 50.0, 110.0}) {
      SCOPED_TRACE(testing::Message() << "seed " << seed << " from " << start << " s");
      std::set<int> rows, columns, gears;
      std::set<std::pair<int, int>> cells;
      for (const Sample& s : ride) {
        if (s.t < start || s.t >= start + 120 || s.v.rpm == 0) continue;
        rows.insert(NearestRow(s.v.throttlePermille));
        columns.insert(NearestColumn(cfg, s.v.rpm));
        cells.insert({NearestRow(s.v.throttlePermille), NearestColumn(cfg, s.v.rpm)});
        gears.insert(s.v.gear);
      }
      EXPECT_GE(rows.size(), 6u);
      EXPECT_GE(columns.size(), 6u);
      EXPECT_GE(cells.size(), 20u);
      EXPECT_GE(gears.size(), 5u);
    }
  }
}

// The ride comes round again, every part of it happens each round, and a bike with fewer
// gears is never put into a gear it lacks.
TEST(DemoRide, RepeatsWithEveryPartAndOnlyTheBikesGears) {
  ParameterImage cfg = DemoBike();
  cfg.setByte(kGearCount, 4);
  const std::vector<Sample> ride = Ride(cfg, 3, 420);
  std::vector<double> offAt;
  std::set<Engine::Phase> seen;
  Engine::Phase last = Engine::Phase::Cranking;
  int maxGear = 0;
  for (const Sample& s : ride) {
    if (s.phase == Engine::Phase::Off && last != Engine::Phase::Off) offAt.push_back(s.t);
    last = s.phase;
    seen.insert(s.phase);
    maxGear = std::max(maxGear, s.trueGear);
    ASSERT_LE(s.v.gear, 4);
  }
  EXPECT_EQ(maxGear, 4);
  EXPECT_EQ(seen.size(), 9u);  // every phase
  ASSERT_GE(offAt.size(), 3u);
  for (std::size_t i = 1; i < offAt.size(); ++i) {
    EXPECT_GT(offAt[i] - offAt[i - 1], 100);  // a few minutes a round
    EXPECT_LT(offAt[i] - offAt[i - 1], 200);
  }
}

// A stretch of steady riding each round, so that a steady-state filter keeps something: the
// cruises hold engine speed and throttle after settling.
TEST(DemoRide, CruisesAreSteady) {
  const ParameterImage cfg = DemoBike();
  const std::vector<Sample> ride = Ride(cfg, 2, 160);
  double steady = 0;
  std::set<int> steadyRows;
  for (std::size_t i = 1; i < ride.size(); ++i) {
    const Sample& a = ride[i - 1];
    const Sample& b = ride[i];
    const double rpmRate = std::abs(b.v.rpm - a.v.rpm) / kTick;
    const double throttleRate = std::abs(b.v.throttlePermille - a.v.throttlePermille) / kTick;
    if (a.phase == Engine::Phase::Cruise && b.phase == Engine::Phase::Cruise &&
        rpmRate < 200 && throttleRate < 100) {
      steady += kTick;
      steadyRows.insert(NearestRow(b.v.throttlePermille));
    }
  }
  EXPECT_GT(steady, 45);
  EXPECT_GE(steadyRows.size(), 4u);
}

// Limiters that keep the engine from where the rider wants it end the pull instead of
// stalling the ride, and the ride still gets round.
TEST(DemoRide, LimitersThatHoldTheEngineDoNotStallTheRide) {
  ParameterImage cfg = DemoBike();
  cfg.setWord(kSoftLimiter, 6000);  // soft
  cfg.setWord(kHardLimiter, 5000);  // hard, below soft: the second gear never reaches its target
  const std::vector<Sample> ride = Ride(cfg, 4, 330);
  int offs = 0, maxGear = 0;
  Engine::Phase last = Engine::Phase::Cranking;
  for (const Sample& s : ride) {
    ASSERT_LE(s.v.rpm, 5000);
    maxGear = std::max(maxGear, s.trueGear);
    offs += s.phase == Engine::Phase::Off && last != Engine::Phase::Off;
    last = s.phase;
  }
  EXPECT_EQ(maxGear, 6);
  EXPECT_GE(offs, 2);
}

// Back from a held operating point, a turning engine carries on from idle instead of being
// switched off.
TEST(DemoRide, RestartWhileTurningCarriesOnFromIdle) {
  const ParameterImage cfg = DemoBike();
  UnitModel unit(cfg, Identity{}, 1);
  unit.engine().Hold(6000, 300, 3);
  unit.Advance(1.0);
  unit.engine().RunCycle();
  unit.Advance(0.5);
  EXPECT_EQ(unit.engine().phase(), Engine::Phase::Idle);
  EXPECT_GT(unit.engine().live().rpm, 1000);
  EXPECT_EQ(unit.engine().trueGear(), 0);

  unit.engine().Stop();
  unit.Advance(3.0);
  unit.engine().RunCycle();
  unit.Advance(0.5);
  EXPECT_EQ(unit.engine().phase(), Engine::Phase::Off);
}

TEST(DemoRide, GearMethodOptionReplacesTheConfigurations) {
  SimOptions o;
  std::string err;
  ParameterImage cfg;
  ASSERT_TRUE(StartConfiguration(o, cfg, err));
  EXPECT_EQ(cfg[kGearSystem], NewConfiguration()[kGearSystem]);
  EXPECT_FALSE(ParseOptions({"--gear-method", "4"}, o, err));
  EXPECT_FALSE(ParseOptions({"--gear-method"}, o, err));
  ASSERT_TRUE(ParseOptions({"--gear-method", "1", "--image", "/nonexistent.ign"}, o, err));
  EXPECT_FALSE(StartConfiguration(o, cfg, err));
}

}  // namespace
}  // namespace rq::sim
