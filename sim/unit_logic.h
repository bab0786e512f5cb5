// SPDX-License-Identifier: GPL-3.0-or-later
// What the unit decides from what it measures, with the programmed configuration, one
// subsystem each: ignition (limiters, maps, advance, pick-ups), gear and speed, the servo, and
// the outputs (power outputs and tachometer). Each keeps the little state it needs between
// steps and fills its part of the live values.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "model/parameter_image.h"
#include "sim/dice.h"

namespace rq::sim {

// A computed value rounded to the nearest whole unit, as the unit reports it.
inline int RoundToInt(double v) { return static_cast<int>(std::lround(v)); }

// What the unit reports in its monitor reply, in plain units.
struct LiveValues {
  int rpm = 0;
  int throttlePermille = 0;  // 0..1000
  int throttleMv = 0;
  int supplyMv = 0;
  int servoMeasuredMv = 0;
  int servoDesiredMv = 0;
  int potCounts = 0;  // 0..1023
  int acceleration = 0;  // rpm/s, never negative
  int potAdvanceTenths = 0;
  int potStartLimiterRpm = 0;
  int potShiftLightRpm = 0;
  int potAccelThreshold = 0;
  int speedKmh = 0;
  int gearMv = 0;
  int speedRatio = 0;  // rpm / speed x 10, 0 when standing
  std::array<int, 6> learnedRatio{};
  int maxAdvance1 = 0, maxAdvance2 = 0;
  int advance1 = 0, advance2 = 0;  // degrees
  std::array<int, 4> pickupCheck{};
  std::array<bool, 2> pickupSignal{};
  bool startLimiterActivated = false;
  bool startSoftLimiter = false, startHardLimiter = false;
  bool softLimiter = false, hardLimiter = false;
  std::array<bool, 3> inputActive{};
  bool motorOff = false, clutchMaster = false, retard = false, secondMap = false;
  bool servoOk = true, throttleFault = false;
  std::array<bool, 4> powerOut{};
  int gear = 0;  // as detected by the unit
  bool baseAdvance = false;
  std::array<int, 8> test{};
};

// The engine and the bike at one moment, as the unit's sensors see them.
struct EngineReading {
  double clock = 0;        // seconds since the unit started
  double dt = 0;           // since the last reading
  double rpm = 0;
  double throttle = 0;     // permille
  int gear = 0;            // engaged, 0 neutral
  bool shifting = false;   // an upshift under way
  double shiftFromRpm = 0; // engine speed when it began
  double revolutions = 0;  // since the engine started turning
  bool exact = false;      // a held operating point: no noise on the measurements
};

// Bilinear lookup in a 10 x 15 map at (rpm, throttle percent); outside the axes the border
// cells hold. With useThrottle false only the 100 % row is used.
double MapLookup(const ParameterImage& cfg, WordArray axis, ByteGrid cells, double rpm,
                 double throttlePercent, bool useThrottle);

// Limiters, the map in use, advance and the pick-ups.
class Ignition {
 public:
  // Where the engine gets when it would go to `wanted`: a cut holds it just below a limit
  // it reaches (with a little bounce unless `jitter` is null), and the cut is flagged.
  double Limit(const ParameterImage& cfg, const EngineReading& r, double wanted, bool launch,
               int potStartLimiterRpm, Dice* jitter);
  // Fires the channels whose bits are set (bench test).
  void TestFire(std::uint8_t channels, double clock);
  // Limiter flags, second map, base advance, advance of both channels, pick-up checks and
  // signals. Needs the inputs and the potentiometer already in v.
  void Decide(const ParameterImage& cfg, const EngineReading& r, LiveValues& v) const;
  int fireCount(int channel) const { return fireCount_[static_cast<std::size_t>(channel)]; }

 private:
  // Limiter cuts stay flagged a little while, so that a snapshot sees them.
  double softUntil_ = -1, hardUntil_ = -1, startSoftUntil_ = -1, startHardUntil_ = -1;
  std::array<double, 2> fireUntil_{-1, -1};
  std::array<int, 2> fireCount_{};
};

// Road speed through the speedometer pulses, learning the gear ratios, and the gear as the
// programmed gear method finds it.
class GearAndSpeed {
 public:
  // Level of the speedometer input now.
  bool speedPulse(double clock) const;
  void Update(const ParameterImage& cfg, const EngineReading& r, Dice& dice, LiveValues& v);

 private:
  double pulsesPerSecond_ = 0;
  double gearHeld_ = 0;  // seconds in the current gear under learning conditions
  std::array<int, 6> learned_{};
};

// The servo follows its map within the hysteresis; a bench test move is added for a while.
class Servo {
 public:
  void Test(std::uint8_t buttons, const ParameterImage& cfg, double clock);
  void Update(const ParameterImage& cfg, const EngineReading& r, Dice& dice, LiveValues& v);

 private:
  double measured_ = 2000;
  double desired_ = 2000;
  double testOffset_ = 0;
  double testUntil_ = -1;
};

// Power outputs by mode (fuel pump, rpm / throttle tables) and the tachometer test.
class Outputs {
 public:
  void Test(std::uint8_t buttons, const ParameterImage& cfg, double clock);
  void Update(const ParameterImage& cfg, const EngineReading& r, LiveValues& v);

 private:
  std::array<int, 4> band_{};
  std::array<double, 4> testUntil_{-1, -1, -1, -1};
  double tachoUntil_ = -1;
  int tachoRpm_ = 0;
};

}  // namespace rq::sim
