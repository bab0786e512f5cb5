// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/engine.h"

#include <algorithm>
#include <cmath>

#include "sim/torque.h"

namespace rq::sim {

namespace {

constexpr double kStep = 0.005;       // longest internal step, seconds
constexpr double kChargingRpm = 500;  // the generator charges above this
constexpr double kAccelNoise = 0.10;  // the A/B ride's acceleration reading: up to 10 % off

}  // namespace

Engine::Engine(std::uint64_t seed) : dice_(seed), ride_(dice_) {}

void Engine::RunCycle() {
  if (mode_ == Mode::Cycle) return;
  mode_ = Mode::Cycle;
  ride_.Restart(rpm_);
}

void Engine::RideAb(const AbRide& ride) {
  ride_.UseAbRide(ride, [this](const ParameterImage& cfg, double rpm, double throttle, int gear) {
    return pullRate(cfg, rpm, throttle, gear);
  });
  mode_ = Mode::Cycle;
  ride_.Restart(rpm_);
}

double Engine::pullRate(const ParameterImage& cfg, double rpm, double throttle, int gear) const {
  // The advance the unit fired at a moment ago, on the map the switch picked.
  const double torque = TorqueAt(rpm, throttle / 10.0, live_.advance1, kind_) * WarmUp(warmSeconds_) *
                        ride_.controls().roadFactor;
  return PullRate(cfg, gear, rpm, torque);
}

void Engine::Stop() {
  mode_ = Mode::Stopped;
  controls_.launch = controls_.clutch = controls_.shifting = false;
}

void Engine::Hold(int rpm, int throttlePermille, int gear) {
  mode_ = Mode::Hold;
  holdRpm_ = std::max(0, rpm);
  holdThrottle_ = std::clamp(throttlePermille, 0, 1000);
  holdGear_ = std::clamp(gear, 0, 6);
  controls_.launch = controls_.clutch = controls_.kill = controls_.shifting = false;
}

void Engine::Advance(double dt, const ParameterImage& cfg) {
  if (!(dt > 0)) {
    compute(0, cfg);
    return;
  }
  dt = std::min(dt, 5.0);  // after a long stall the engine simply carries on
  while (dt > 1e-9) {
    const double h = std::min(dt, kStep);
    step(h, cfg);
    dt -= h;
  }
}

void Engine::step(double dt, const ParameterImage& cfg) {
  clock_ += dt;
  prevRpm_ = rpm_;

  switch (mode_) {
    case Mode::Cycle:
      ride_.Step(dt, rpm_, cfg);
      controls_ = ride_.controls();
      break;
    case Mode::Stopped:
      controls_.throttle = 0;
      controls_.gear = 0;
      controls_.wantedRpm = std::max(0.0, rpm_ - 4000 * dt);
      break;
    case Mode::Hold:
      controls_.throttle = holdThrottle_;
      controls_.gear = holdGear_;
      controls_.wantedRpm = holdRpm_;
      break;
  }

  // The unit's limiters act on where the engine would go.
  EngineReading r;
  r.clock = clock_;
  r.gear = controls_.gear;
  rpm_ = ignition_.Limit(cfg, r, controls_.wantedRpm, controls_.launch,
                         live_.potStartLimiterRpm, mode_ == Mode::Hold ? nullptr : &dice_);

  const double inst = (rpm_ - prevRpm_) / dt;
  accel_ += (inst - accel_) * std::min(1.0, dt / 0.15);
  revolutions_ = rpm_ > 0 ? revolutions_ + rpm_ / 60.0 * dt : 0;
  if (rpm_ > 0) warmSeconds_ += dt;

  compute(dt, cfg);
}

void Engine::ApplyTestCommands(std::uint8_t ignition, std::uint8_t outputs, std::uint8_t servo,
                               const ParameterImage& cfg) {
  ignition_.TestFire(ignition, clock_);
  outputs_.Test(outputs, cfg, clock_);
  servo_.Test(servo, cfg, clock_);
}

// What the unit measures directly: throttle, supply, potentiometer, acceleration, inputs.
void Engine::measure(const ParameterImage& cfg, const EngineReading& r, LiveValues& v) {
  const bool turning = r.rpm > 1;
  v.rpm = RoundToInt(r.rpm);
  v.throttlePermille = std::clamp(RoundToInt(r.throttle), 0, 1000);
  const int tps0 = cfg[kTps0], tps100 = cfg[kTps100];
  v.throttleMv = RoundToInt(tps0 + (tps100 - tps0) * r.throttle / 1000.0);

  // Supply: battery while standing, the generator charging once running.
  const double supplyTarget = !turning ? 12600 : (r.rpm < kChargingRpm ? 10400 : 13800);
  supply_ += (supplyTarget - supply_) * std::min(1.0, r.dt / 0.3);
  v.supplyMv = RoundToInt(supply_ + (r.exact ? 0 : dice_.noise(70)));

  // Potentiometer and its corrections.
  if (!r.exact) pot_ = std::clamp(pot_ + dice_.noise(1.5), 580.0, 620.0);
  v.potCounts = std::clamp(RoundToInt(pot_), 0, 1023);
  const double potFrac = (v.potCounts - 511.5) / 511.5;
  const int potMode = cfg[kPotMode];
  const double potRange = cfg[kPotRange];
  v.potAdvanceTenths = potMode == 1 ? RoundToInt(potFrac * potRange * 10) : 0;
  v.potStartLimiterRpm = potMode == 2 ? RoundToInt(potFrac * potRange) : 0;
  v.potShiftLightRpm = potMode == 3 ? RoundToInt(potFrac * potRange) : 0;
  v.potAccelThreshold = potMode == 4 ? RoundToInt(potFrac * potRange) : 0;

  const bool noisy = ride_.abRide() && mode_ == Mode::Cycle && !r.exact;
  v.acceleration =
      std::clamp(RoundToInt(noisy ? accel_ * (1 + dice_.noise(kAccelNoise)) : accel_), 0, 65535);

  // Inputs as the rider works them.
  for (std::size_t i = 0; i < 3; ++i) {
    const int f = cfg[kInputFunction[static_cast<int>(i)]];
    bool active = false;
    if (f == kInputKillSwitch) active = controls_.kill;
    if (f == kInputClutchMaster) active = controls_.clutch;
    if (f == kInputStartLimiter) active = controls_.launch;
    if (f == kInputSecondMap) active = controls_.secondMap;
    if (f == 7 && i == 2) active = gearSpeed_.speedPulse(r.clock);
    v.inputActive[i] = active;
  }
  v.motorOff = controls_.kill && InputFunctionActive(cfg, kInputKillSwitch);
  v.startLimiterActivated = controls_.launch && InputFunctionActive(cfg, kInputStartLimiter);
}

void Engine::compute(double dt, const ParameterImage& cfg) {
  EngineReading r;
  r.clock = clock_;
  r.dt = dt;
  r.rpm = rpm_;
  r.throttle = controls_.throttle;
  r.gear = controls_.gear;
  r.shifting = mode_ == Mode::Cycle && controls_.shifting;
  r.shiftFromRpm = controls_.shiftFromRpm;
  r.revolutions = revolutions_;
  r.exact = mode_ == Mode::Hold;

  LiveValues v;
  measure(cfg, r, v);
  ignition_.Decide(cfg, r, v);
  gearSpeed_.Update(cfg, r, dice_, v);
  servo_.Update(cfg, r, dice_, v);
  outputs_.Update(cfg, r, v);
  v.test = {ignition_.fireCount(0), ignition_.fireCount(1), static_cast<int>(ride_.phase()),
            controls_.gear, 0, 0, 0, 0};
  live_ = v;
}

}  // namespace rq::sim
