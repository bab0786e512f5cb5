// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/engine.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/defaults.h"
#include "sim/unit_model.h"

namespace rq::sim {
namespace {


// A configuration whose advance map 1 has a different value in every cell it is read from.
ParameterImage MapConfig() {
  ParameterImage c = NewConfiguration();
  c.setByte(kSecondMapAcceleration, 0);    // no switch to map 2 by acceleration
  c.setByte(kPotMode, 0);    // potentiometer off
  c.setByte(kAdvanceCorrection[0], 100);  // no cylinder corrections
  c.setByte(kAdvanceCorrection[1], 100);
  for (int g = 0; g < 6; ++g) c.setByte(693 + g, 100);
  c.setByte(kMapsUseThrottle, 1);
  c.setWord(kSoftLimiter, 25000);  // limiters out of the way
  c.setWord(kHardLimiter, 25000);
  for (int t = 0; t < 10; ++t)
    for (int r = 0; r < 15; ++r) c.setByte(181 + 15 * t + r, 5 + 3 * r + t);
  return c;
}

MonitorSnapshot HoldAndSample(UnitModel& unit, int rpm, int throttlePermille, int gear = 0) {
  unit.engine().Hold(rpm, throttlePermille, gear);
  unit.Advance(0.3);
  return unit.Monitor();
}

TEST(EngineMonitor, AdvanceComesFromTheProgrammedMapAtTheLiveCell) {
  ParameterImage cfg = MapConfig();
  UnitModel unit(cfg, Identity{});
  const int axis5 = cfg.word(7 + 5), axis6 = cfg.word(7 + 6);

  // On a grid point: throttle row 4 is 20 %.
  MonitorSnapshot f = HoldAndSample(unit, axis5, 200);
  EXPECT_EQ(f.advance1Deg(), 5 + 3 * 5 + 4);
  EXPECT_EQ(f.rpm, axis5);
  EXPECT_EQ(f.throttle, 200);

  // Half way in both directions: the mean of the four cells (rows 4/5 are 20 %/30 %).
  f = HoldAndSample(unit, (axis5 + axis6) / 2, 250);
  EXPECT_NEAR(f.advance1Deg(), (24 + 27 + 25 + 28) / 4.0, 0.51);

  // Beyond the end of the axis the last column holds.
  f = HoldAndSample(unit, cfg.word(21) + 3000, 1000);
  EXPECT_EQ(f.advance1Deg(), 5 + 3 * 14 + 9);

  // Maps that do not depend on throttle use the 100 % row, the only one the page shows,
  // whatever the throttle.
  cfg.setByte(kMapsUseThrottle, 0);
  UnitModel flat(cfg, Identity{});
  for (const int throttle : {0, 1000}) {
    f = HoldAndSample(flat, axis5, throttle);
    EXPECT_EQ(f.advance1Deg(), 5 + 3 * 5 + 9) << throttle;
  }

  // Cylinder corrections, and channel 2 only with two outputs.
  cfg.setByte(kAdvanceCorrection[0], 103);
  cfg.setByte(kAdvanceCorrection[1], 95);
  cfg.setByte(kOutputs, 2);
  UnitModel twin(cfg, Identity{});
  f = HoldAndSample(twin, axis5, 0);
  EXPECT_EQ(f.advance1Deg(), 5 + 15 + 9 + 3);
  EXPECT_EQ(f.advance2Deg(), 5 + 15 + 9 - 5);
}

TEST(EngineMonitor, CrankingRunsOnBaseAdvance) {
  ParameterImage cfg = MapConfig();
  cfg.setByte(kBaseAdvance, 12);
  UnitModel unit(cfg, Identity{});
  MonitorSnapshot f = HoldAndSample(unit, 300, 0);
  EXPECT_EQ(f.baseAdvance, 1);
  EXPECT_EQ(f.advance1Deg(), 12);
  f = HoldAndSample(unit, 3000, 0);
  EXPECT_EQ(f.baseAdvance, 0);
}

TEST(EngineMonitor, LimitersActAtTheProgrammedLimits) {
  ParameterImage cfg = MapConfig();
  cfg.setWord(kSoftLimiter, 5000);  // soft limiter
  cfg.setWord(kHardLimiter, 6000);  // hard limiter
  UnitModel unit(cfg, Identity{});

  MonitorSnapshot f = HoldAndSample(unit, 7000, 1000, 2);
  EXPECT_EQ(f.softLimiter, 1);
  EXPECT_EQ(f.hardLimiter, 1);
  EXPECT_LE(f.rpm, 6000);  // the cut keeps the engine at the limit

  f = HoldAndSample(unit, 5500, 1000, 2);
  EXPECT_EQ(f.softLimiter, 1);
  EXPECT_EQ(f.hardLimiter, 0);
  EXPECT_EQ(f.rpm, 5500);

  f = HoldAndSample(unit, 4000, 1000, 2);
  EXPECT_EQ(f.softLimiter, 0);
  EXPECT_EQ(f.hardLimiter, 0);

  // The per-gear limiter correction moves both limits (row of gear 2: +10 x 50 rpm).
  cfg.setByte(699 + 1, 110);
  UnitModel corrected(cfg, Identity{});
  f = HoldAndSample(corrected, 5300, 1000, 2);
  EXPECT_EQ(f.softLimiter, 0);
  f = HoldAndSample(corrected, 6300, 1000, 2);
  EXPECT_EQ(f.softLimiter, 1);
  EXPECT_EQ(f.hardLimiter, 0);
}

TEST(EngineMonitor, TestCommandsActOnAStandingEngine) {
  ParameterImage cfg = NewConfiguration();
  cfg.setByte(kTachoTestRpm, 123);  // 12300 rpm tachometer test
  cfg.setByte(kServoTestTime, 50);   // 500 ms servo move
  cfg.setByte(kServoEnable, 1);
  cfg.setByte(kServoHysteresis, 2);  // 10 mV hysteresis
  UnitModel unit(cfg, Identity{});
  unit.engine().Stop();
  unit.Advance(1.0);
  MonitorSnapshot idle = unit.Monitor();
  EXPECT_EQ(idle.rpm, 0);
  EXPECT_EQ(idle.pickupSignal[0], 0);
  EXPECT_EQ(idle.pickupSignal[1], 0);
  EXPECT_EQ(idle.powerOut[2], 0);
  const int servoBefore = idle.servoMeasuredMv;

  FrameBytes req = BuildFrame(0x30);
  req[21] = 0x01;         // fire cylinder 1
  req[22] = 0x04 | 0x10;  // output 3, tachometer
  req[23] = 0x01;         // servo +
  req[151] = FrameCheckByte(req);
  MonitorSnapshot f = *DecodeMonitor(*unit.Answer(req));
  EXPECT_EQ(f.pickupSignal[0], 1);
  EXPECT_EQ(f.pickupSignal[1], 0);
  EXPECT_EQ(f.powerOut[2], 1);
  EXPECT_EQ(f.powerOut[0], 0);
  EXPECT_EQ(f.rpm, 12300);
  unit.Advance(0.6);
  f = unit.Monitor();
  EXPECT_GT(f.servoMeasuredMv, servoBefore + 500);
  EXPECT_EQ(f.test[0], 1);  // Test1 counts the firings of cylinder 1

  // Everything settles back by itself.
  unit.Advance(5.0);
  f = unit.Monitor();
  EXPECT_EQ(f.pickupSignal[0], 0);
  EXPECT_EQ(f.powerOut[2], 0);
  EXPECT_EQ(f.rpm, 0);
  EXPECT_NEAR(f.servoMeasuredMv, servoBefore, 30);
}

// A long stretch of the drive cycle: everything a viewer sees must hang together.
TEST(EngineMonitor, DriveCycleStaysConsistent) {
  const ParameterImage cfg = NewConfiguration();
  UnitModel unit(cfg, Identity{}, 42);
  int maxGear = 0;
  bool sawHard = false, sawSoft = false, sawStart = false, sawStop = false, sawRun = false;
  for (int i = 0; i < 3000; ++i) {  // 150 s
    unit.Advance(0.05);
    ASSERT_TRUE(FrameValid(unit.MonitorFrame()));
    const MonitorSnapshot f = unit.Monitor();
    const int rpm = f.rpm;
    const int gear = unit.engine().trueGear();
    SCOPED_TRACE(testing::Message() << "t=" << i * 0.05 << " rpm=" << rpm << " gear=" << gear);
    ASSERT_LE(rpm, cfg[kHardLimiter]);
    ASSERT_EQ(f.pickupSignal[0] != 0, rpm > 0);
    ASSERT_LE(f.throttle, 1000);
    if (rpm == 0) {
      sawStop = true;
      ASSERT_EQ(f.speedKmh, 0);
    }
    if (rpm > 1000) {
      sawRun = true;
      ASSERT_GE(f.supplyMv, 12800);
      ASSERT_LE(f.supplyMv, 14300);
    }
    maxGear = std::max(maxGear, gear);
    sawHard |= f.hardLimiter != 0;
    sawSoft |= f.softLimiter != 0;
    sawStart |= f.startLimiterActivated != 0 && f.startHardLimiter != 0;
    // In gear, away from a shift, engine speed over road speed is the programmed ratio.
    if (gear >= 1 && unit.engine().phase() != Engine::Phase::Shift && f.speedKmh > 20) {
      const double ratio = f.speedRatio;
      const double programmed = cfg.word(53 + gear - 1);
      ASSERT_NEAR(ratio / programmed, 1.0, 0.1);
    }
  }
  EXPECT_TRUE(sawStop);
  EXPECT_TRUE(sawRun);
  EXPECT_EQ(maxGear, cfg[kGearCount]);
  EXPECT_TRUE(sawHard);
  EXPECT_TRUE(sawSoft);
  EXPECT_TRUE(sawStart);
}

TEST(EngineMonitor, SameSeedSameRide) {
  const ParameterImage cfg = NewConfiguration();
  UnitModel a(cfg, Identity{}, 7), b(cfg, Identity{}, 7);
  for (int i = 0; i < 400; ++i) {
    a.Advance(0.05);
    b.Advance(0.05);
  }
  EXPECT_EQ(a.MonitorFrame(), b.MonitorFrame());  // byte for byte
}

}  // namespace
}  // namespace rq::sim
