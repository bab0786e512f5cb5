// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/ride.h"

#include <algorithm>
#include <cmath>

#include "sim/bike.h"

namespace rq::sim {

namespace {

constexpr double kIdleRpm = 1250;
constexpr double kFirstOffSeconds = 2.0;  // the engine starts soon after the unit does
constexpr double kPullRate = 4200;        // rpm/s in first gear at full throttle
constexpr double kBrakeRate = 1300;       // rpm/s with the throttle closed and the brakes on
constexpr double kLegLimit = 40;          // seconds: a pull or a stop that never gets there
constexpr double kAbPullLimit = 25;       // seconds: an A/B pull that never gets there
constexpr double kStallRate = 150;        // rpm/s: an A/B pull gaining less has ended
constexpr double kStallSeconds = 1.5;
constexpr double kRoadShare = 0.03;       // slope and wind change a pull's push by up to 3 %

double Toward(double now, double target, double maxStep) {
  return now + std::clamp(target - now, -maxStep, maxStep);
}

}  // namespace

Ride::Ride(Dice& dice) : dice_(dice) { enter(Phase::Off, kFirstOffSeconds); }

void Ride::Restart(double rpm) {
  planned_ = false;
  controls_.launch = controls_.clutch = controls_.kill = controls_.shifting = false;
  // A turning engine carries on from idle, a standing one is started first.
  startAtIdle_ = rpm > 0;
  enter(startAtIdle_ ? Phase::Idle : Phase::Off, kFirstOffSeconds);
}

void Ride::UseAbRide(const AbRide& ride, PullSource pull) {
  ab_ = ride;
  pull_ = std::move(pull);
  abStarted_ = false;
}

void Ride::planAb(const ParameterImage& cfg) {
  const int gears = GearCount(cfg);
  plan_.clear();
  auto add = [&](Phase p, double seconds, int g = 0, double percent = 0, double rpm = 0,
                 bool second = false) {
    plan_.push_back(Leg{p, seconds, g, percent * 10, rpm, second});
  };
  if (!abStarted_) {
    // Start, idle and pull away in first gear.
    add(Phase::Off, dice_.uniform(3, 5));
    add(Phase::Cranking, 0.8);
    add(Phase::Idle, dice_.uniform(3, 5));
    add(Phase::Launch, 1.6);
    add(Phase::Accelerate, kAbPullLimit, 1, 40, ab_.fromRpm + 1500);
    abStarted_ = true;
  }
  for (const int wanted : ab_.gears) {
    const int g = std::clamp(wanted, 1, gears);
    const auto& pulls = ab_.pulls[static_cast<std::size_t>(g)];
    for (const int percent : ab_.throttlePercent) {
      // Into the gear (an upshift at once when the engine is already above the start of a
      // pull), then the pulls, each after a roll-off to where the pulls start.
      add(Phase::Accelerate, kAbPullLimit, g, percent, ab_.fromRpm);
      for (int round = 0; round < ab_.rounds; ++round) {
        for (int k = 0; k < 2; ++k) {
          const bool second = (k == 1) != (round % 2 == 1);
          for (int n = 0; n < pulls[second ? 1 : 0]; ++n) {
            add(Phase::Decelerate, kLegLimit, g, 0, ab_.fromRpm, second);
            add(Phase::Accelerate, kAbPullLimit, g, percent, ab_.toRpm, second);
          }
        }
      }
    }
  }
}

void Ride::plan(const ParameterImage& cfg) {
  if (pull_) {
    planAb(cfg);
    return;
  }
  const int gears = GearCount(cfg);
  const double soft = cfg[kSoftLimiter] > 2000 ? cfg[kSoftLimiter] : 11000;
  // The rider's idea of high revs: under the soft limiter, and not beyond what a road bike
  // is ridden at.
  const double top = std::max(3000.0, std::min(soft - 200, 11500.0));
  auto gear = [&](int g) { return std::min(g, gears); };
  plan_.clear();
  auto add = [&](Phase p, double seconds, int g = 0, double percent = 0, double rpm = 0) {
    plan_.push_back(Leg{p, seconds, g, percent * 10, rpm});
  };
  auto pull = [&](int g, double percent, double share) {
    add(Phase::Accelerate, kLegLimit, gear(g), percent, share * top);
  };
  auto cruise = [&](int g, double percent, double share, double seconds) {
    add(Phase::Cruise, seconds, gear(g), percent, share * top);
  };
  auto brake = [&](int g, double share) {
    add(Phase::Decelerate, kLegLimit, std::min(g, gears), 0, share * top);
  };

  // Start: kill switch off, crank, idle, a blip and one into the limiter, launch.
  add(Phase::Off, dice_.uniform(3, 5));
  add(Phase::Cranking, 0.8);
  add(Phase::Idle, dice_.uniform(3, 5));
  add(Phase::Blip, 2.2, 0, 40, dice_.uniform(5500, 7500));
  add(Phase::Idle, dice_.uniform(1.5, 2.5));
  add(Phase::Blip, 2.2, 0, 100, 16000);
  add(Phase::Idle, dice_.uniform(1.5, 2.5));
  add(Phase::Launch, 1.6);
  // Up through the gears, second gear held into the soft limiter, and a long cruise.
  pull(1, 60, 0.62);
  add(Phase::Accelerate, kLegLimit, gear(2), 100, soft + 150);
  pull(3, 80, 0.82);
  pull(4, 65, 0.76);
  pull(5, 55, 0.72);
  pull(6, 45, 0.70);
  cruise(6, 28, 0.64, dice_.uniform(14, 18));
  cruise(6, 18, 0.55, dice_.uniform(10, 14));
  // Brake into a bend, roll on gently, cruise slowly.
  brake(3, 0.40);
  pull(3, 40, 0.55);
  pull(4, 32, 0.52);
  cruise(4, 12, 0.44, dice_.uniform(10, 14));
  // Overtake hard, cruise fast.
  pull(4, 90, 0.88);
  pull(5, 100, 0.92);
  pull(6, 62, 0.84);
  cruise(6, 36, 0.78, dice_.uniform(10, 14));
  // A long climb in fifth at part throttle.
  brake(5, 0.50);
  pull(5, 70, 0.66);
  cruise(5, 22, 0.50, dice_.uniform(10, 14));
  // Into town: down to second, creep, pull away, cruise in third, stop.
  brake(2, 0.30);
  cruise(2, 7, 0.32, dice_.uniform(7, 10));
  pull(2, 48, 0.62);
  pull(3, 22, 0.48);
  cruise(3, 15, 0.40, dice_.uniform(9, 12));
  brake(0, 0);
  add(Phase::Idle, dice_.uniform(4, 6));
}

void Ride::enter(Phase p, double duration) {
  phase_ = p;
  phaseTime_ = 0;
  phaseDuration_ = duration;
}

void Ride::startLeg(double rpm, const ParameterImage& cfg) {
  legTime_ = 0;
  enter(plan_[leg_].phase, plan_[leg_].seconds);
  controls_.secondMap = plan_[leg_].secondMap;
  if (pull_ && phase_ == Phase::Accelerate) {
    controls_.roadFactor = 1 + dice_.noise(kRoadShare);
    slowTime_ = 0;
  }
  if (phase_ == Phase::Accelerate) maybeShift(rpm, cfg);
}

void Ride::nextLeg(double rpm, const ParameterImage& cfg) {
  if (++leg_ >= plan_.size()) {
    plan(cfg);
    leg_ = 0;
  }
  startLeg(rpm, cfg);
}

void Ride::maybeShift(double rpm, const ParameterImage& cfg) {
  const Leg& leg = plan_[leg_];
  if (controls_.gear < 1 || controls_.gear >= leg.gear) return;
  const int row = GearRow(controls_.gear);
  const double clutchMs =
      InputFunctionActive(cfg, kInputClutchMaster) ? std::max(40, cfg[kClutchTime[row]] * 5) : 250;
  controls_.shifting = true;
  controls_.shiftFromRpm = rpm;
  shiftTo_ = rpm * GearRatio(cfg, controls_.gear + 1) / GearRatio(cfg, controls_.gear);
  enter(Phase::Shift, clutchMs / 1000.0);
}

void Ride::Step(double dt, double rpm, const ParameterImage& cfg) {
  if (!planned_) {
    plan(cfg);
    planned_ = true;
    // The first leg keeps the phase Restart (or the start) gave it.
    leg_ = 0;
    if (startAtIdle_) {
      while (plan_[leg_].phase != Phase::Idle) ++leg_;
      startAtIdle_ = false;
    }
    legTime_ = 0;
  }
  phaseTime_ += dt;
  legTime_ += dt;
  const Leg leg = plan_[leg_];  // a copy: the next round's plan replaces the legs
  RiderControls& c = controls_;
  auto approach = [&](double target, double tau) {
    return rpm + (target - rpm) * std::min(1.0, dt / tau);
  };
  double next = rpm;
  switch (phase_) {
    case Phase::Off:
      c.throttle = 0;
      c.gear = 0;
      c.kill = phaseTime_ < phaseDuration_ - 0.5;
      next = std::max(0.0, rpm - 3000 * dt);
      if (phaseTime_ >= phaseDuration_) {
        c.kill = false;
        nextLeg(next, cfg);
      }
      break;
    case Phase::Cranking:
      c.throttle = 0;
      next = 280 + dice_.noise(40);
      if (phaseTime_ >= phaseDuration_) nextLeg(next, cfg);
      break;
    case Phase::Idle:
      c.throttle = std::clamp(c.throttle + dice_.noise(2), 5.0, 15.0);
      c.gear = 0;
      next = approach(kIdleRpm + dice_.noise(40), 0.4);
      if (phaseTime_ >= phaseDuration_) nextLeg(next, cfg);
      break;
    case Phase::Blip: {
      const bool hard = leg.rpm > 12000;
      const bool open = phaseTime_ < (hard ? 1.0 : 0.5);
      c.throttle = open ? leg.throttle : 0;
      if (open)
        next = std::min(leg.rpm, rpm + (hard ? 14000 : 9000) * dt);
      else
        next = std::max(kIdleRpm, rpm - 6000 * dt);
      if (phaseTime_ >= phaseDuration_) nextLeg(next, cfg);
      break;
    }
    case Phase::Launch: {
      c.launch = true;
      c.throttle = std::min(1000.0, c.throttle + 4000 * dt);
      const double target = InputFunctionActive(cfg, kInputStartLimiter) ? 14000 : 7000;
      next = std::min(target, rpm + 7000 * dt);
      if (phaseTime_ >= phaseDuration_) {
        c.launch = false;
        c.gear = 1;  // the clutch bites: the engine is pulled down
        next = std::max(2500.0, rpm * 0.5);
        nextLeg(next, cfg);
      }
      break;
    }
    case Phase::Accelerate: {
      if (c.gear < 1) c.gear = 1;
      c.throttle = Toward(c.throttle, leg.throttle, 3000 * dt);
      if (pull_) {
        // The engine's torque decides how fast it gains speed; the pull ends at its target,
        // when the engine no longer gains speed, or after a while.
        const double rate = pull_(cfg, rpm, c.throttle, c.gear);
        next = rpm + rate * dt;
        slowTime_ = rate < kStallRate ? slowTime_ + dt : 0;
        if (next >= leg.rpm || legTime_ >= leg.seconds || slowTime_ > kStallSeconds)
          nextLeg(next, cfg);
        break;
      }
      const double ratio = GearRatio(cfg, c.gear) / GearRatio(cfg, 1);
      // A limiter that holds the engine below the target ends the pull after a second.
      heldTime_ = rpm + 50 < c.wantedRpm ? heldTime_ + dt : 0;
      next = rpm + kPullRate * std::pow(ratio, 0.7) * c.throttle / 1000.0 * dt;
      if (next >= leg.rpm || legTime_ >= leg.seconds || heldTime_ > 1.0) {
        heldTime_ = 0;
        nextLeg(next, cfg);
      }
      break;
    }
    case Phase::Shift: {
      c.clutch = true;
      c.throttle = 0;
      const double f = std::min(1.0, phaseTime_ / std::max(phaseDuration_, 1e-3));
      next = c.shiftFromRpm + (shiftTo_ - c.shiftFromRpm) * f;
      if (phaseTime_ >= phaseDuration_) {
        c.clutch = false;
        c.shifting = false;
        ++c.gear;
        next = shiftTo_;
        enter(Phase::Accelerate, leg.seconds);
        maybeShift(next, cfg);  // a leg that starts two gears down shifts again
      }
      break;
    }
    case Phase::Cruise:
      c.throttle = std::clamp(
          c.throttle + (leg.throttle - c.throttle) * std::min(1.0, dt / 0.5) + dice_.noise(3),
          0.0, 1000.0);
      next = approach(leg.rpm + dice_.noise(30), 1.5);
      if (phaseTime_ >= phaseDuration_) nextLeg(next, cfg);
      break;
    case Phase::Decelerate: {
      c.throttle = 0;
      next = rpm - kBrakeRate * dt;
      const double soft = cfg[kSoftLimiter];
      const double down = std::clamp(0.33 * (soft > 2000 ? soft : 11000), 2200.0, 3500.0);
      if (leg.gear == 0 && c.gear <= 1) {
        if (next < 1800) {
          c.gear = 0;
          nextLeg(std::max(next, kIdleRpm), cfg);
        }
      } else if (c.gear > std::max(1, leg.gear) && next < down) {
        // Down a gear with a blip.
        next = std::min(next * GearRatio(cfg, c.gear - 1) / GearRatio(cfg, c.gear), soft - 500);
        --c.gear;
      } else if (c.gear <= leg.gear && next < std::max(down, leg.rpm)) {
        nextLeg(next, cfg);
      }
      if (legTime_ >= leg.seconds && phase_ == Phase::Decelerate) nextLeg(next, cfg);
      next = std::max(next, kIdleRpm);
      break;
    }
  }
  c.wantedRpm = std::max(0.0, next);
}

}  // namespace rq::sim
