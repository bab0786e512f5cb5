// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/engine.h"

#include <algorithm>
#include <cmath>

namespace rq::sim {

namespace {

constexpr double kStep = 0.005;          // longest internal step, seconds
constexpr double kLatch = 0.12;          // how long a limiter cut stays flagged
constexpr double kCrankingRpm = 500;     // below this the unit fires at base advance
constexpr int kThrottleRowPercent[10] = {0, 2, 5, 10, 20, 30, 40, 60, 80, 100};
constexpr int kDefaultRatio[6] = {2000, 1000, 666, 500, 400, 333};

int Round(double v) { return static_cast<int>(std::lround(v)); }

// Gear row of the per-gear tables: neutral and first share row 0.
int GearRow(int gear) { return gear <= 1 ? 0 : std::min(gear, 6) - 1; }

// Position of x on an axis as (index of the lower point, fraction to the next one).
void AxisPosition(const double* axis, int n, double x, int& lower, double& frac) {
  if (x <= axis[0]) {
    lower = 0;
    frac = 0;
    return;
  }
  if (x >= axis[n - 1]) {
    lower = n - 1;
    frac = 0;
    return;
  }
  int i = 0;
  while (i + 1 < n && x >= axis[i + 1]) ++i;
  double span = axis[i + 1] - axis[i];
  lower = i;
  frac = span > 0 ? (x - axis[i]) / span : 0;
}

}  // namespace

double MapLookup(const ParameterImage& cfg, WordArray axis, ByteGrid cells, double rpm,
                 double throttlePercent, bool useThrottle) {
  double rpmAxis[15];
  for (int r = 0; r < 15; ++r) rpmAxis[r] = cfg[axis[r]];
  double tAxis[10];
  for (int t = 0; t < 10; ++t) tAxis[t] = kThrottleRowPercent[t];

  int c = 0, row = 0;
  double fc = 0, fr = 0;
  AxisPosition(rpmAxis, 15, rpm, c, fc);
  if (useThrottle) AxisPosition(tAxis, 10, throttlePercent, row, fr);
  auto cell = [&](int t, int r) {
    t = std::min(t, 9);
    r = std::min(r, 14);
    return static_cast<double>(cfg[cells.at(t, r)]);
  };
  double lo = cell(row, c) + (cell(row, c + 1) - cell(row, c)) * fc;
  double hi = cell(row + 1, c) + (cell(row + 1, c + 1) - cell(row + 1, c)) * fc;
  return lo + (hi - lo) * fr;
}

Engine::Engine(std::uint64_t seed) : rng_(seed) { enter(Phase::Off, 2.0); }

void Engine::RunCycle() {
  if (mode_ == Mode::Cycle) return;
  mode_ = Mode::Cycle;
  enter(rpm_ > 0 ? Phase::Idle : Phase::Off, 2.0);
}

void Engine::Stop() {
  mode_ = Mode::Stopped;
  launchInput_ = clutchInput_ = false;
}

void Engine::Hold(int rpm, int throttlePermille, int gear) {
  mode_ = Mode::Hold;
  holdRpm_ = std::max(0, rpm);
  holdThrottle_ = std::clamp(throttlePermille, 0, 1000);
  holdGear_ = std::clamp(gear, 0, 6);
  launchInput_ = clutchInput_ = killInput_ = false;
}

double Engine::uniform(double lo, double hi) {
  std::uniform_real_distribution<double> d(lo, hi);
  return d(rng_);
}

double Engine::noise(double amplitude) { return uniform(-amplitude, amplitude); }

void Engine::enter(Phase p, double duration) {
  phase_ = p;
  phaseTime_ = 0;
  phaseDuration_ = duration;
}

int Engine::gearCount(const ParameterImage& cfg) const {
  return std::clamp(static_cast<int>(cfg[kGearCount]), 1, 6);
}

double Engine::gearRatio(const ParameterImage& cfg, int gear) const {
  if (gear < 1) return 0;
  int g = std::min(gear, 6);
  int w = cfg[kGearRatio[g - 1]];
  return w > 0 ? w : kDefaultRatio[g - 1];
}

bool Engine::inputFunctionActive(const ParameterImage& cfg, int function) const {
  for (int i = 0; i < 3; ++i)
    if (cfg[kInputFunction[i]] == function) return true;
  return false;
}

void Engine::Advance(double dt, const ParameterImage& cfg) {
  if (!(dt > 0)) {
    compute(0, cfg);
    return;
  }
  dt = std::min(dt, 5.0);  // after a long stall the engine simply carries on
  while (dt > 1e-9) {
    double h = std::min(dt, kStep);
    step(h, cfg);
    dt -= h;
  }
}

void Engine::step(double dt, const ParameterImage& cfg) {
  clock_ += dt;
  phaseTime_ += dt;
  prevRpm_ = rpm_;

  switch (mode_) {
    case Mode::Cycle:
      runCycle(dt, cfg);
      break;
    case Mode::Stopped:
      throttle_ = 0;
      gear_ = 0;
      wantedRpm_ = std::max(0.0, rpm_ - 4000 * dt);
      break;
    case Mode::Hold:
      throttle_ = holdThrottle_;
      gear_ = holdGear_;
      wantedRpm_ = holdRpm_;
      break;
  }

  // Limiters act on what the engine would do.
  const int row = GearRow(gear_);
  const double gearCorr = (cfg[kGearLimiterCorrection[row]] - 100) * 50.0;
  double soft = cfg[kSoftLimiter] + gearCorr;
  double hard = cfg[kHardLimiter] + gearCorr;
  const bool startActive = launchInput_ && inputFunctionActive(cfg, kInputStartLimiter);
  double startCorr = cfg[kPotMode] == 2 ? live_.potStartLimiterRpm : 0;
  double startSoft = cfg[kStartSoftLimiter] + startCorr;
  double startHard = cfg[kStartHardLimiter] + startCorr;

  double r = wantedRpm_;
  const bool jitter = mode_ != Mode::Hold;
  auto cut = [&](double limit, double& latch) {
    latch = clock_ + kLatch;
    // An ignition cut makes the engine bounce just below the limit.
    double below = limit - (jitter ? uniform(0, 150) : 0);
    if (r > below) r = below;
  };
  if (startActive && startHard > 500 && r >= startHard) cut(startHard, startHardUntil_);
  if (startActive && startSoft > 500 && r >= startSoft) startSoftUntil_ = clock_ + kLatch;
  if (hard > 500 && r >= hard) cut(hard, hardUntil_);
  if (soft > 500 && r >= soft) softUntil_ = clock_ + kLatch;
  rpm_ = std::max(0.0, r);

  double inst = (rpm_ - prevRpm_) / dt;
  accel_ += (inst - accel_) * std::min(1.0, dt / 0.15);

  if (rpm_ > 0) {
    revolutions_ += rpm_ / 60.0 * dt;
  } else {
    revolutions_ = 0;
  }

  compute(dt, cfg);
}

void Engine::runCycle(double dt, const ParameterImage& cfg) {
  const double idleRpm = 1250;
  auto approach = [&](double target, double tau) {
    return rpm_ + (target - rpm_) * std::min(1.0, dt / tau);
  };
  double next = rpm_;
  switch (phase_) {
    case Phase::Off:
      throttle_ = 0;
      gear_ = 0;
      killInput_ = phaseTime_ < phaseDuration_ - 0.5;
      next = std::max(0.0, rpm_ - 3000 * dt);
      if (phaseTime_ >= phaseDuration_) {
        killInput_ = false;
        enter(Phase::Cranking, 0.8);
      }
      break;
    case Phase::Cranking:
      throttle_ = 0;
      next = 280 + noise(40);
      if (phaseTime_ >= phaseDuration_) enter(Phase::Idle, uniform(3, 5));
      break;
    case Phase::Idle:
      throttle_ = std::clamp(throttle_ + noise(2), 5.0, 15.0);
      gear_ = 0;
      next = approach(idleRpm + noise(40), 0.4);
      if (phaseTime_ >= phaseDuration_) {
        // The rider blips twice (the second time into the limiter), launches, rides a round
        // and stops again.
        if (blipCount_ < 2) {
          blipTarget_ = blipCount_ == 0 ? uniform(5500, 7500) : 16000;
          ++blipCount_;
          enter(Phase::Blip, 2.2);
        } else if (!ridden_) {
          enter(Phase::Launch, 1.6);
        } else {
          blipCount_ = 0;
          ridden_ = false;
          enter(Phase::Off, uniform(3, 5));
        }
      }
      break;
    case Phase::Blip: {
      bool open = phaseTime_ < (blipTarget_ > 12000 ? 1.0 : 0.5);
      throttle_ = open ? (blipTarget_ > 12000 ? 1000 : 400) : 0;
      double rate = blipTarget_ > 12000 ? 14000 : 9000;
      if (open)
        next = std::min(blipTarget_, rpm_ + rate * dt);
      else
        next = std::max(idleRpm, rpm_ - 6000 * dt);
      if (phaseTime_ >= phaseDuration_) enter(Phase::Idle, uniform(1.5, 2.5));
      break;
    }
    case Phase::Launch: {
      launchInput_ = true;
      throttle_ = std::min(1000.0, throttle_ + 4000 * dt);
      bool limited = inputFunctionActive(cfg, kInputStartLimiter);
      double target = limited ? 14000 : 7000;
      next = std::min(target, rpm_ + 7000 * dt);
      if (phaseTime_ >= phaseDuration_) {
        launchInput_ = false;
        gear_ = 1;
        next = std::max(2500.0, rpm_ * 0.5);
        ridden_ = true;
        chooseShiftPoint(cfg);
        enter(Phase::Accelerate, 60);
      }
      break;
    }
    case Phase::Accelerate: {
      throttle_ = std::min(gearThrottle_, throttle_ + 3000 * dt);
      double ratio = gearRatio(cfg, gear_) / gearRatio(cfg, 1);
      double rate = 6000 * std::pow(ratio, 0.7) * throttle_ / 1000.0;
      next = rpm_ + rate * dt;
      bool top = gear_ >= gearCount(cfg);
      if (top && next >= 0.85 * shiftRpm_) {
        enter(Phase::Cruise, uniform(4, 6));
      } else if (!top && next >= shiftRpm_) {
        int row = GearRow(gear_);
        double clutchMs = inputFunctionActive(cfg, kInputClutchMaster)
                              ? std::max(40, cfg[kClutchTime[row]] * 5)
                              : 250;
        shiftFrom_ = next;
        shiftTo_ = next * gearRatio(cfg, gear_ + 1) / gearRatio(cfg, gear_);
        enter(Phase::Shift, clutchMs / 1000.0);
      }
      break;
    }
    case Phase::Shift: {
      clutchInput_ = true;
      throttle_ = 0;
      double f = std::min(1.0, phaseTime_ / std::max(phaseDuration_, 1e-3));
      next = shiftFrom_ + (shiftTo_ - shiftFrom_) * f;
      if (phaseTime_ >= phaseDuration_) {
        clutchInput_ = false;
        ++gear_;
        next = shiftTo_;
        chooseShiftPoint(cfg);
        enter(Phase::Accelerate, 60);
      }
      break;
    }
    case Phase::Cruise:
      throttle_ = std::clamp(throttle_ + (250 - throttle_) * std::min(1.0, dt / 0.5) + noise(3),
                             0.0, 1000.0);
      next = approach(0.65 * shiftRpm_ + noise(30), 1.2);
      if (phaseTime_ >= phaseDuration_) enter(Phase::Decelerate, 120);
      break;
    case Phase::Decelerate:
      throttle_ = 0;
      next = rpm_ - 1300 * dt;
      if (gear_ > 1 && next < 3500) {
        // Down a gear with a blip.
        next = std::min(next * gearRatio(cfg, gear_ - 1) / gearRatio(cfg, gear_),
                        static_cast<double>(cfg[kSoftLimiter]) - 500);
        --gear_;
      } else if (gear_ <= 1 && next < 1800) {
        gear_ = 0;
        enter(Phase::Idle, uniform(2.5, 3.5));
      }
      next = std::max(next, idleRpm);
      break;
  }
  wantedRpm_ = std::max(0.0, next);
}

void Engine::chooseShiftPoint(const ParameterImage& cfg) {
  gearThrottle_ = uniform(750, 1000);
  double soft = cfg[kSoftLimiter] > 2000 ? cfg[kSoftLimiter] : 11000;
  // Now and then the rider holds a gear into the soft limiter.
  if (uniform(0, 1) < 0.25)
    shiftRpm_ = soft + 150;
  else
    shiftRpm_ = std::min(soft - 200, 11500.0) - uniform(500, 2000);
  shiftRpm_ = std::max(shiftRpm_, 3000.0);
}

void Engine::ApplyTestCommands(std::uint8_t ignition, std::uint8_t outputs, std::uint8_t servo,
                               const ParameterImage& cfg) {
  for (int c = 0; c < 2; ++c) {
    if (ignition & (1u << c)) {
      fireUntil_[static_cast<std::size_t>(c)] = clock_ + 0.3;
      ++fireCount_[static_cast<std::size_t>(c)];
    }
  }
  for (int k = 0; k < 4; ++k)
    if (outputs & (1u << k)) outputTestUntil_[static_cast<std::size_t>(k)] = clock_ + 1.0;
  if (outputs & 0x10) {
    tachoTestUntil_ = clock_ + 2.0;
    tachoTestRpm_ = cfg[kTachoTestRpm] * 100;
  }
  double moveMs = cfg[kServoTestTime] * 10.0;
  const double travel = 2.0 * moveMs;  // the servo moves 2000 mV per second
  if (servo & 0x01) servoTestOffset_ += travel;
  if (servo & 0x02) servoTestOffset_ -= travel;
  if (servo & 0x03) {
    servoTestOffset_ = std::clamp(servoTestOffset_, -5000.0, 5000.0);
    servoTestUntil_ = clock_ + 3.0 + moveMs / 1000.0;
  }
}

void Engine::compute(double dt, const ParameterImage& cfg) {
  LiveValues v;
  const double rpm = rpm_;
  const bool turning = rpm > 1;
  const double throttlePct = throttle_ / 10.0;
  const int row = GearRow(gear_);

  v.rpm = Round(rpm);
  v.throttlePermille = std::clamp(Round(throttle_), 0, 1000);
  int tps0 = cfg[kTps0], tps100 = cfg[kTps100];
  v.throttleMv = Round(tps0 + (tps100 - tps0) * throttle_ / 1000.0);

  // Supply: battery while standing, the generator charging once running.
  double supplyTarget = !turning ? 12600 : (rpm < kCrankingRpm ? 10400 : 13800);
  supply_ += (supplyTarget - supply_) * std::min(1.0, dt / 0.3);
  const bool exact = mode_ == Mode::Hold;
  v.supplyMv = Round(supply_ + (exact ? 0 : noise(70)));

  // Potentiometer and its corrections.
  if (!exact) pot_ = std::clamp(pot_ + noise(1.5), 580.0, 620.0);
  v.potCounts = std::clamp(Round(pot_), 0, 1023);
  const double potFrac = (v.potCounts - 511.5) / 511.5;
  const int potMode = cfg[kPotMode];
  const double potRange = cfg[kPotRange];
  v.potAdvanceTenths = potMode == 1 ? Round(potFrac * potRange * 10) : 0;
  v.potStartLimiterRpm = potMode == 2 ? Round(potFrac * potRange) : 0;
  v.potShiftLightRpm = potMode == 3 ? Round(potFrac * potRange) : 0;
  v.potAccelThreshold = potMode == 4 ? Round(potFrac * potRange) : 0;

  v.acceleration = std::clamp(Round(accel_), 0, 65535);

  // Inputs as the rider works them.
  const bool speedPulse = pulsesPerSecond_ > 0 && std::fmod(clock_ * pulsesPerSecond_, 1.0) < 0.5;
  for (int i = 0; i < 3; ++i) {
    int f = cfg[kInputFunction[i]];
    bool active = false;
    if (f == kInputKillSwitch) active = killInput_;
    if (f == kInputClutchMaster) active = clutchInput_;
    if (f == kInputStartLimiter) active = launchInput_;
    if (f == 7 && i == 2) active = speedPulse;
    v.inputActive[static_cast<std::size_t>(i)] = active;
  }
  v.motorOff = killInput_ && inputFunctionActive(cfg, kInputKillSwitch);
  v.startLimiterActivated = launchInput_ && inputFunctionActive(cfg, kInputStartLimiter);
  v.clutchMaster = phase_ == Phase::Shift && mode_ == Mode::Cycle &&
                   inputFunctionActive(cfg, kInputClutchMaster) && rpm >= cfg[kClutchMinRpm] * 100;

  // Limiter flags.
  v.softLimiter = clock_ < softUntil_;
  v.hardLimiter = clock_ < hardUntil_;
  v.startSoftLimiter = v.startLimiterActivated && clock_ < startSoftUntil_;
  v.startHardLimiter = v.startLimiterActivated && clock_ < startHardUntil_;

  // Second map: by switch, or by acceleration above the programmed threshold.
  const int accelThreshold = cfg[kSecondMapAcceleration] * 100 + v.potAccelThreshold;
  v.secondMap = (cfg[kSecondMapAcceleration] > 0 && turning && v.acceleration >= accelThreshold);

  // Advance.
  const bool cranking = turning && rpm < kCrankingRpm;
  v.baseAdvance = cranking;
  const WordArray axis = v.secondMap ? kAdvance2Axis : kAdvance1Axis;
  const ByteGrid cells = v.secondMap ? kAdvance2Cells : kAdvance1Cells;
  const bool useThrottle = cfg[kMapsUseThrottle] != 0;
  int maxCell1 = 0, maxCell2 = 0;
  for (int i = 0; i < kAdvance1Cells.size(); ++i) {
    maxCell1 = std::max(maxCell1, static_cast<int>(cfg.byte(kAdvance1Cells.first + i)));
    maxCell2 = std::max(maxCell2, static_cast<int>(cfg.byte(kAdvance2Cells.first + i)));
  }
  v.maxAdvance1 = maxCell1;
  v.maxAdvance2 = maxCell2;
  if (!turning) {
    v.advance1 = v.advance2 = 0;
  } else if (cranking) {
    v.advance1 = v.advance2 = cfg[kBaseAdvance];
  } else {
    double a = MapLookup(cfg, axis, cells, rpm, throttlePct, useThrottle);
    a += cfg[kGearAdvanceCorrection[row]] - 100;
    a += v.potAdvanceTenths / 10.0;
    if (v.clutchMaster) a = cfg[kClutchAdvance];
    v.advance1 = Round(a + cfg[kAdvanceCorrection[0]] - 100);
    v.advance2 = cfg[kOutputs] == 2 ? Round(a + cfg[kAdvanceCorrection[1]] - 100) : v.advance1;
  }

  // Pick-ups: consistent counts, so no pick-up error while the engine turns.
  const int lobes = std::max(1, static_cast<int>(cfg[kLobes]));
  const int revs = std::min(255, static_cast<int>(revolutions_));
  v.pickupCheck = {revs, revs, std::min(255, revs * lobes), std::min(255, revs * lobes)};
  for (std::size_t c = 0; c < 2; ++c) v.pickupSignal[c] = turning || clock_ < fireUntil_[c];

  // Road speed from the programmed ratios, measured through the speedometer pulses.
  double trueSpeed = 0;
  if (gear_ >= 1 && turning) {
    double ratio = gearRatio(cfg, gear_) / 10.0;
    trueSpeed = phase_ == Phase::Shift ? shiftFrom_ / (gearRatio(cfg, gear_) / 10.0)
                                       : rpm / ratio;
  }
  const int setting = cfg[kSpeedSetting];
  int measured = 0;
  if (setting > 0) {
    if (cfg[kSpeedMode] == 0) {
      pulsesPerSecond_ = trueSpeed * setting / 100.0;
      measured = static_cast<int>(std::floor(pulsesPerSecond_)) * 100 / setting;
    } else {
      pulsesPerSecond_ = trueSpeed / 3.6 * 1000.0 / setting;
      measured = Round(std::floor(pulsesPerSecond_) * setting * 3.6 / 1000.0);
    }
  } else {
    pulsesPerSecond_ = 0;
  }
  v.speedKmh = measured;
  v.speedRatio = measured > 0 ? std::min(65535, Round(rpm * 10.0 / measured)) : 0;

  // Gear sensor voltage of the gear engaged.
  const int gearWordMv = cfg[kGearVoltage[std::clamp(gear_, 0, 6)]];
  v.gearMv = gearWordMv > 0 ? std::max(0, Round(gearWordMv + (exact ? 0 : noise(8)))) : 0;

  // Learning the ratios of the gears.
  if (gear_ >= 1 && phase_ != Phase::Shift && measured > 0 && rpm >= cfg[kLearnRpm] * 100 &&
      throttlePct >= cfg[kLearnThrottle]) {
    gearHeld_ += dt;
    if (gearHeld_ >= cfg[kLearnTime]) learned_[static_cast<std::size_t>(gear_ - 1)] = v.speedRatio;
  } else {
    gearHeld_ = 0;
  }
  v.learnedRatio = learned_;

  // Gear as the unit determines it.
  const int gears = gearCount(cfg);
  switch (cfg[kGearSystem]) {
    case 1: {  // nearest programmed voltage
      int best = 0, bestDiff = 1 << 30;
      for (int g = 0; g <= gears; ++g) {
        int d = std::abs(cfg[kGearVoltage[g]] - v.gearMv);
        if (d < bestDiff) best = g, bestDiff = d;
      }
      v.gear = best;
      break;
    }
    case 2:
    case 3: {  // nearest programmed (or learned) ratio
      int best = 0, bestDiff = 1 << 30;
      if (v.speedRatio > 0) {
        for (int g = 1; g <= gears; ++g) {
          int ref = cfg[kGearSystem] == 2 ? cfg[kGearRatio[g - 1]]
                                       : learned_[static_cast<std::size_t>(g - 1)];
          if (ref <= 0) continue;
          int d = std::abs(ref - v.speedRatio);
          if (d < bestDiff) best = g, bestDiff = d;
        }
      }
      v.gear = best;
      break;
    }
    default:
      v.gear = 0;
  }

  // Servo: follows its map within the hysteresis; a test move is added on top for a while.
  if (clock_ > servoTestUntil_) servoTestOffset_ = 0;
  const bool servoOn = cfg[kServoEnable] != 0;
  const double servoScale = cfg[kServoPercent] ? 50.0 : 20.0;  // percent of 5 V, or 20 mV steps
  double base = servoDesired_;  // a servo that is off stays where it is
  if (servoOn) {
    switch (cfg[kServoMode]) {
      case 0:
        base = MapLookup(cfg, kServoAxis, kServoCells, rpm, throttlePct, true);
        break;
      case 2:
        base = MapLookup(cfg, kServoAxis, kServoCells, cfg[kServoAxis[0]], throttlePct, true);
        break;
      default:
        base = MapLookup(cfg, kServoAxis, kServoCells, rpm, 0, false);
    }
    base *= servoScale;
  }
  if (servoTestOffset_ == 0) servoDesired_ = std::clamp(base, 0.0, 5000.0);
  const double desired = std::clamp(servoDesired_ + servoTestOffset_, 0.0, 5000.0);
  const double hysteresis = cfg[kServoHysteresis] * 5.0;
  const double diff = desired - servoMeasured_;
  if (std::abs(diff) > hysteresis || servoTestOffset_ != 0) {
    double move = std::min(std::abs(diff), 4000.0 * dt);
    servoMeasured_ += diff > 0 ? move : -move;
  }
  v.servoDesiredMv = Round(desired);
  v.servoMeasuredMv = Round(servoMeasured_ + (exact ? 0 : noise(4)));
  v.servoOk = true;

  // Power outputs by mode: fuel pump while turning, others from their rpm / throttle table.
  for (int k = 0; k < 4; ++k) {
    const auto ks = static_cast<std::size_t>(k);
    const int mode = cfg[kPowerMode[k]];
    bool on = false;
    if (mode == 1) {
      on = turning;
    } else if (mode >= 2 && mode <= 4) {
      const double hyst = cfg[kPowerHysteresis[k]] * 10.0;
      int band = outputBand_[ks];
      const double shift = mode == 2 ? v.potShiftLightRpm : 0;
      auto threshold = [&](int j) { return cfg[kPowerRpm.at(k, j)] * 100.0 + shift; };
      while (band < 3 && rpm >= threshold(band)) ++band;
      while (band > 0 && rpm < threshold(band - 1) - hyst) --band;
      outputBand_[ks] = band;
      int tband = 0;
      if (throttlePct >= cfg[kPowerThrottle.at(k, 0)]) tband = 1;
      if (throttlePct >= cfg[kPowerThrottle.at(k, 1)]) tband = 2;
      on = turning && (cfg[kPowerGrid.at(k, tband)] >> band & 1) != 0;
    }
    v.powerOut[ks] = on || clock_ < outputTestUntil_[ks];
  }

  // The tachometer test shows its engine speed while it runs.
  if (clock_ < tachoTestUntil_) v.rpm = tachoTestRpm_;

  v.test = {fireCount_[0], fireCount_[1], static_cast<int>(phase_), gear_, 0, 0, 0, 0};
  live_ = v;
}

}  // namespace rq::sim
