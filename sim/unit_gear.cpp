// SPDX-License-Identifier: GPL-3.0-or-later
// The unit's road speed, learned gear ratios and gear.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "sim/bike.h"
#include "sim/unit_logic.h"

namespace rq::sim {

namespace {
}  // namespace

bool GearAndSpeed::speedPulse(double clock) const {
  return pulsesPerSecond_ > 0 && std::fmod(clock * pulsesPerSecond_, 1.0) < 0.5;
}

void GearAndSpeed::Update(const ParameterImage& cfg, const EngineReading& s, Dice& dice,
                          LiveValues& v) {
  const double rpm = s.rpm;
  const bool turning = rpm > 1;

  // Road speed from the programmed ratios, measured through the speedometer pulses. During
  // a shift the road speed stays where the old gear had it.
  double trueSpeed = 0;
  if (s.gear >= 1 && turning) {
    const double ratio = GearRatio(cfg, s.gear) / 10.0;
    trueSpeed = (s.shifting ? s.shiftFromRpm : rpm) / ratio;
  }
  const int setting = cfg[kSpeedSetting];
  int measured = 0;
  if (setting > 0) {
    if (cfg[kSpeedMode] == 0) {
      pulsesPerSecond_ = trueSpeed * setting / 100.0;
      measured = static_cast<int>(std::floor(pulsesPerSecond_)) * 100 / setting;
    } else {
      pulsesPerSecond_ = trueSpeed / 3.6 * 1000.0 / setting;
      measured = RoundToInt(std::floor(pulsesPerSecond_) * setting * 3.6 / 1000.0);
    }
  } else {
    pulsesPerSecond_ = 0;
  }
  v.speedKmh = measured;
  v.speedRatio = measured > 0 ? std::min(65535, RoundToInt(rpm * 10.0 / measured)) : 0;

  // Gear sensor voltage of the gear engaged.
  const int gearWordMv = cfg[kGearVoltage[std::clamp(s.gear, 0, 6)]];
  v.gearMv =
      gearWordMv > 0 ? std::max(0, RoundToInt(gearWordMv + (s.exact ? 0 : dice.noise(8)))) : 0;

  // Learning the ratios of the gears.
  const double throttlePct = s.throttle / 10.0;
  if (s.gear >= 1 && !s.shifting && measured > 0 && rpm >= cfg[kLearnRpm] * 100 &&
      throttlePct >= cfg[kLearnThrottle]) {
    gearHeld_ += s.dt;
    if (gearHeld_ >= cfg[kLearnTime]) learned_[static_cast<std::size_t>(s.gear - 1)] = v.speedRatio;
  } else {
    gearHeld_ = 0;
  }
  v.learnedRatio = learned_;

  // Gear as the unit determines it.
  const int gears = GearCount(cfg);
  switch (cfg[kGearSystem]) {
    case 1: {  // nearest programmed voltage
      int best = 0, bestDiff = 1 << 30;
      for (int g = 0; g <= gears; ++g) {
        const int d = std::abs(cfg[kGearVoltage[g]] - v.gearMv);
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
          const int ref = cfg[kGearSystem] == 2 ? cfg[kGearRatio[g - 1]]
                                             : learned_[static_cast<std::size_t>(g - 1)];
          if (ref <= 0) continue;
          const int d = std::abs(ref - v.speedRatio);
          if (d < bestDiff) best = g, bestDiff = d;
        }
      }
      v.gear = best;
      break;
    }
    default:
      v.gear = 0;
  }
}

}  // namespace rq::sim
