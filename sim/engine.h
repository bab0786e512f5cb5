// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated motorcycle behind the unit: a drive cycle (stop, crank, idle, blips, launch,
// run through the gears, cruise, slow down) and everything the unit measures and decides from
// it with the programmed configuration: advance from the maps, limiters, gear and speed,
// servo, inputs and power outputs.
#pragma once

#include <array>
#include <cstdint>
#include <random>

#include "model/parameter_image.h"

namespace rq::sim {

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

// Input functions (image bytes 166..168).
enum InputFunction : int {
  kInputOff = 0,
  kInputKillSwitch = 1,
  kInputBlocking = 2,
  kInputClutchMaster = 3,
  kInputRetard = 4,
  kInputStartLimiter = 5,
  kInputSecondMap = 6,
};

// Bilinear lookup in a 10 x 15 map at (rpm, throttle percent); outside the axes the border
// cells hold. With useThrottle false only the 0 % row is used.
double MapLookup(const ParameterImage& cfg, WordArray axis, ByteGrid cells, double rpm,
                 double throttlePercent, bool useThrottle);

class Engine {
 public:
  enum class Mode { Cycle, Stopped, Hold };
  enum class Phase { Off, Cranking, Idle, Blip, Launch, Accelerate, Shift, Cruise, Decelerate };

  explicit Engine(std::uint64_t seed = 1);

  // Follow the drive cycle (default), stand still, or hold a fixed operating point. Holding
  // uses no noise, so lookups can be checked exactly; the limiters still act on it.
  void RunCycle();
  void Stop();
  void Hold(int rpm, int throttlePermille, int gear);
  Mode mode() const { return mode_; }
  Phase phase() const { return phase_; }

  // Advances the engine by dt seconds (split internally into short steps) and recomputes the
  // live values from the configuration.
  void Advance(double dt, const ParameterImage& cfg);

  // Test commands from a monitor request (frame offsets 21, 22, 23).
  void ApplyTestCommands(std::uint8_t ignition, std::uint8_t outputs, std::uint8_t servo,
                         const ParameterImage& cfg);

  const LiveValues& live() const { return live_; }
  double rpm() const { return rpm_; }
  int trueGear() const { return gear_; }

 private:
  void step(double dt, const ParameterImage& cfg);
  void runCycle(double dt, const ParameterImage& cfg);
  void enter(Phase p, double duration);
  void chooseShiftPoint(const ParameterImage& cfg);
  void compute(double dt, const ParameterImage& cfg);
  double gearRatio(const ParameterImage& cfg, int gear) const;
  int gearCount(const ParameterImage& cfg) const;
  bool inputFunctionActive(const ParameterImage& cfg, int function) const;
  double uniform(double lo, double hi);
  double noise(double amplitude);

  std::mt19937_64 rng_;
  Mode mode_ = Mode::Cycle;
  Phase phase_ = Phase::Off;
  double phaseTime_ = 0;      // seconds spent in the phase
  double phaseDuration_ = 0;  // planned length of the phase
  double clock_ = 0;

  // Mechanical state.
  double rpm_ = 0;
  double wantedRpm_ = 0;  // before the limiters cut in
  double throttle_ = 0;   // permille
  int gear_ = 0;          // 0 neutral
  double prevRpm_ = 0;
  double accel_ = 0;
  double shiftRpm_ = 9000;
  double blipTarget_ = 6000;
  int blipCount_ = 0;
  bool ridden_ = false;
  double gearThrottle_ = 900;
  double shiftFrom_ = 0, shiftTo_ = 0;
  int holdRpm_ = 0, holdThrottle_ = 0, holdGear_ = 0;
  bool launchInput_ = false;   // rider holds the start limiter switch
  bool clutchInput_ = false;   // shift lever sensor during an upshift
  bool killInput_ = false;     // engine stopped by the kill switch
  double revolutions_ = 0;     // since the engine started turning
  double gearHeld_ = 0;        // seconds in the current gear under learning conditions
  std::array<int, 6> learned_{};

  // Limiter latches (kept shortly so a cut is visible in a snapshot).
  double softUntil_ = -1, hardUntil_ = -1, startSoftUntil_ = -1, startHardUntil_ = -1;

  // Servo and power output state.
  double servoMeasured_ = 2000;
  double servoDesired_ = 2000;
  double servoTestOffset_ = 0;
  double servoTestUntil_ = -1;
  std::array<int, 4> outputBand_{};

  // Test commands.
  std::array<double, 2> fireUntil_{-1, -1};
  std::array<int, 2> fireCount_{};
  std::array<double, 4> outputTestUntil_{-1, -1, -1, -1};
  double tachoTestUntil_ = -1;
  int tachoTestRpm_ = 0;

  // Measured quantities with noise.
  double supply_ = 12600;
  double pot_ = 600;
  double pulsesPerSecond_ = 0;

  LiveValues live_;
};

}  // namespace rq::sim
