// SPDX-License-Identifier: GPL-3.0-or-later
// The unit's servo.
#include <algorithm>
#include <cmath>

#include "sim/unit_logic.h"

namespace rq::sim {

namespace {
}  // namespace

void Servo::Test(std::uint8_t buttons, const ParameterImage& cfg, double clock) {
  const double moveMs = cfg[kServoTestTime] * 10.0;
  const double travel = 2.0 * moveMs;  // the servo moves 2000 mV per second
  if (buttons & 0x01) testOffset_ += travel;
  if (buttons & 0x02) testOffset_ -= travel;
  if (buttons & 0x03) {
    testOffset_ = std::clamp(testOffset_, -5000.0, 5000.0);
    testUntil_ = clock + 3.0 + moveMs / 1000.0;
  }
}

void Servo::Update(const ParameterImage& cfg, const EngineReading& s, Dice& dice,
                   LiveValues& v) {
  if (s.clock > testUntil_) testOffset_ = 0;
  const double throttlePct = s.throttle / 10.0;
  const bool on = cfg[kServoEnable] != 0;
  const double scale = cfg[kServoPercent] ? 50.0 : 20.0;  // percent of 5 V, or 20 mV steps
  double base = desired_;  // a servo that is off stays where it is
  if (on) {
    switch (cfg[kServoMode]) {
      case 0:
        base = MapLookup(cfg, kServoAxis, kServoCells, s.rpm, throttlePct, true);
        break;
      case 2:
        base = MapLookup(cfg, kServoAxis, kServoCells, cfg[kServoAxis[0]], throttlePct, true);
        break;
      default:
        base = MapLookup(cfg, kServoAxis, kServoCells, s.rpm, 0, false);
    }
    base *= scale;
  }
  if (testOffset_ == 0) desired_ = std::clamp(base, 0.0, 5000.0);
  const double desired = std::clamp(desired_ + testOffset_, 0.0, 5000.0);
  const double hysteresis = cfg[kServoHysteresis] * 5.0;
  const double diff = desired - measured_;
  if (std::abs(diff) > hysteresis || testOffset_ != 0) {
    const double move = std::min(std::abs(diff), 4000.0 * s.dt);
    measured_ += diff > 0 ? move : -move;
  }
  v.servoDesiredMv = RoundToInt(desired);
  v.servoMeasuredMv = RoundToInt(measured_ + (s.exact ? 0 : dice.noise(4)));
  v.servoOk = true;
}

}  // namespace rq::sim
