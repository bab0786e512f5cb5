// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/torque.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "model/parameter_table.h"
#include "sim/bike.h"

namespace rq::sim {

namespace {

constexpr double kLossPerDegreeSquared = 0.0008;  // 5 degrees off: 2 % less torque, 10: 8 %
constexpr double kColdLoss = 0.08;               // a cold engine gives 8 % less
constexpr double kWarmUpSeconds = 300;           // time constant of the warm-up
constexpr double kPush = 0.3;      // km/h per second per (rpm per km/h) at the peak torque
constexpr double kAirDrag = 2e-4;  // km/h per second per (km/h) squared
constexpr double kRolling = 0.3;   // km/h per second

double SmoothStep(double x) {
  x = std::clamp(x, 0.0, 1.0);
  return x * x * (3 - 2 * x);
}

}  // namespace

bool ParseEngineKind(const std::string& word, EngineKind& kind) {
  if (word == "standard") kind = EngineKind::Standard;
  else if (word == "flat") kind = EngineKind::Flat;
  else if (word == "other") kind = EngineKind::Other;
  else return false;
  return true;
}

double BestAdvance(double rpm, double throttlePercent, EngineKind kind) {
  const double load = std::clamp(throttlePercent, 0.0, 100.0) / 100.0;
  if (kind == EngineKind::Other) {
    // Rising earlier and less far, much less under load, with a dip around 6000 rpm.
    const double dip = 3.5 * std::exp(-std::pow((rpm - 6000) / 1300, 2));
    return std::clamp(11 + 24 * SmoothStep((rpm - 1000) / 6500) - 10 * load - dip, 5.0, 45.0);
  }
  // Low at low rpm, rising to the mid thirties at high rpm; less under load.
  const double a = 13 + 22 * SmoothStep((rpm - 1500) / 7000) - 7 * load;
  return std::clamp(a, 5.0, 45.0);
}

double AdvanceEfficiency(double advance, double best, EngineKind kind, double rpm) {
  const double d = advance - best;
  switch (kind) {
    case EngineKind::Flat: return 1;
    case EngineKind::Other: {
      const double grow = std::clamp(0.6 + 0.8 * (rpm - 2000) / 7000, 0.6, 1.4);
      const double loss = d < 0 ? 0.0011 * std::pow(-d, 1.6) : 0.0014 * d * d;
      return std::max(0.4, 1 - grow * loss);
    }
    case EngineKind::Standard: break;
  }
  return std::max(0.4, 1 - kLossPerDegreeSquared * d * d);
}

double FullTorque(double rpm, double throttlePercent) {
  const double open = std::clamp(throttlePercent, 0.0, 100.0) / 100.0;
  const double x = (rpm - 7500) / 7000;
  const double curve = std::clamp(1 - 0.55 * x * x, 0.3, 1.0);
  return curve * (1 - std::pow(1 - open, 2.2));
}

double WarmUp(double seconds) { return 1 - kColdLoss * std::exp(-std::max(0.0, seconds) / kWarmUpSeconds); }

double PullRate(const ParameterImage& cfg, int gear, double rpm, double torque) {
  const double perSpeed = GearRatio(cfg, gear) / 10.0;  // rpm per km/h
  if (perSpeed <= 0) return 0;
  const double speed = rpm / perSpeed;
  const double gain = kPush * perSpeed * torque - kAirDrag * speed * speed - kRolling;  // km/h/s
  return gain * perSpeed;
}

std::string BestAdvanceTable(const ParameterImage& cfg, int page, EngineKind kind) {
  const MapDef* map = nullptr;
  for (const MapDef& m : Maps())
    if (m.page == page) map = &m;
  if (map == nullptr) return {};
  char buf[32];
  std::string out = "throttle % \\ rpm";
  for (int c = 0; c < kMapColumns; ++c) {
    std::snprintf(buf, sizeof buf, "%7d", cfg[map->axis[c]]);
    out += buf;
  }
  out += '\n';
  for (int r = kMapRows - 1; r >= 0; --r) {
    std::snprintf(buf, sizeof buf, "%16d", kThrottleRows[r]);
    out += buf;
    for (int c = 0; c < kMapColumns; ++c) {
      std::snprintf(buf, sizeof buf, "%7.1f", BestAdvance(cfg[map->axis[c]], kThrottleRows[r], kind));
      out += buf;
    }
    out += '\n';
  }
  return out;
}

}  // namespace rq::sim
