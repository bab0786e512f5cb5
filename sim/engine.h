// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated motorcycle behind the unit: the rider's ride (sim/ride.h), the engine's
// mechanics between them (limiters acting on engine speed, acceleration, the supply and the
// potentiometer), and the unit's decisions from it by subsystem (sim/unit_logic.h).
#pragma once

#include <cstdint>

#include "model/parameter_image.h"
#include "sim/bike.h"
#include "sim/dice.h"
#include "sim/ride.h"
#include "sim/torque.h"
#include "sim/unit_logic.h"

namespace rq::sim {

class Engine {
 public:
  enum class Mode { Cycle, Stopped, Hold };
  using Phase = Ride::Phase;

  explicit Engine(std::uint64_t seed = 1);

  // Follow the ride (default), stand still, or hold a fixed operating point. Holding uses no
  // noise, so lookups can be checked exactly; the limiters still act on it.
  void RunCycle();
  // Follow the A/B ride (sim/ride.h) instead, with the engine answering the advance it is
  // fired at: its torque (sim/torque.h) decides how fast it gains speed in a pull, a cold
  // engine gives a little less, and the unit's acceleration reading carries noise.
  void RideAb(const AbRide& ride);
  // The engine that answers the advance on the A/B ride (sim/torque.h).
  void SetEngineKind(EngineKind kind) { kind_ = kind; }
  EngineKind engineKind() const { return kind_; }
  bool abRide() const { return ride_.abRide(); }
  void Stop();
  void Hold(int rpm, int throttlePermille, int gear);
  Mode mode() const { return mode_; }
  Phase phase() const { return ride_.phase(); }
  const Ride& ride() const { return ride_; }

  // Advances the engine by dt seconds (split internally into short steps) and recomputes the
  // live values from the configuration.
  void Advance(double dt, const ParameterImage& cfg);

  // Test commands from a monitor request (frame offsets 21, 22, 23).
  void ApplyTestCommands(std::uint8_t ignition, std::uint8_t outputs, std::uint8_t servo,
                         const ParameterImage& cfg);

  const LiveValues& live() const { return live_; }
  double rpm() const { return rpm_; }
  int trueGear() const { return controls_.gear; }

 private:
  void step(double dt, const ParameterImage& cfg);
  double pullRate(const ParameterImage& cfg, double rpm, double throttle, int gear) const;
  void compute(double dt, const ParameterImage& cfg);
  void measure(const ParameterImage& cfg, const EngineReading& r, LiveValues& v);

  Dice dice_;
  Ride ride_;
  EngineKind kind_ = EngineKind::Standard;
  Mode mode_ = Mode::Cycle;
  double clock_ = 0;

  // What the rider does (in Stopped and Hold: what the engine is made to do).
  RiderControls controls_;
  int holdRpm_ = 0, holdThrottle_ = 0, holdGear_ = 0;

  // Mechanics.
  double rpm_ = 0;
  double prevRpm_ = 0;
  double accel_ = 0;
  double revolutions_ = 0;  // since the engine started turning
  double warmSeconds_ = 0;  // seconds the engine has run: it warms up
  double supply_ = 12600;
  double pot_ = 600;

  // The unit's subsystems.
  Ignition ignition_;
  GearAndSpeed gearSpeed_;
  Servo servo_;
  Outputs outputs_;

  LiveValues live_;
};

}  // namespace rq::sim
