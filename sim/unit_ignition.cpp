// SPDX-License-Identifier: GPL-3.0-or-later
// The unit's ignition: limiters, the map in use, advance and the pick-ups.
#include <algorithm>
#include <cmath>

#include "sim/bike.h"
#include "sim/unit_logic.h"

namespace rq::sim {

namespace {

constexpr double kLatch = 0.12;       // how long a limiter cut stays flagged
constexpr double kCrankingRpm = 500;  // below this the unit fires at base advance
constexpr int kThrottleRowPercent[10] = {0, 2, 5, 10, 20, 30, 40, 60, 80, 100};


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
  // Without throttle the unit reads the 100 % row, the one row the map page shows then.
  if (useThrottle) AxisPosition(tAxis, 10, throttlePercent, row, fr);
  else row = 9;
  auto cell = [&](int t, int r) {
    t = std::min(t, 9);
    r = std::min(r, 14);
    return static_cast<double>(cfg[cells.at(t, r)]);
  };
  double lo = cell(row, c) + (cell(row, c + 1) - cell(row, c)) * fc;
  double hi = cell(row + 1, c) + (cell(row + 1, c + 1) - cell(row + 1, c)) * fc;
  return lo + (hi - lo) * fr;
}

double Ignition::Limit(const ParameterImage& cfg, const EngineReading& s, double wanted,
                       bool launch, int potStartLimiterRpm, Dice* jitter) {
  const double gearCorr = (cfg[kGearLimiterCorrection[GearRow(s.gear)]] - 100) * 50.0;
  const double soft = cfg[kSoftLimiter] + gearCorr;
  const double hard = cfg[kHardLimiter] + gearCorr;
  const bool startActive = launch && InputFunctionActive(cfg, kInputStartLimiter);
  const double startCorr = cfg[kPotMode] == 2 ? potStartLimiterRpm : 0;
  const double startSoft = cfg[kStartSoftLimiter] + startCorr;
  const double startHard = cfg[kStartHardLimiter] + startCorr;

  double r = wanted;
  auto cut = [&](double limit, double& latch) {
    latch = s.clock + kLatch;
    // An ignition cut makes the engine bounce just below the limit.
    const double below = limit - (jitter != nullptr ? jitter->uniform(0, 150) : 0);
    if (r > below) r = below;
  };
  if (startActive && startHard > 500 && r >= startHard) cut(startHard, startHardUntil_);
  if (startActive && startSoft > 500 && r >= startSoft) startSoftUntil_ = s.clock + kLatch;
  if (hard > 500 && r >= hard) cut(hard, hardUntil_);
  if (soft > 500 && r >= soft) softUntil_ = s.clock + kLatch;
  return std::max(0.0, r);
}

void Ignition::TestFire(std::uint8_t channels, double clock) {
  for (std::size_t c = 0; c < 2; ++c) {
    if (channels & (1u << c)) {
      fireUntil_[c] = clock + 0.3;
      ++fireCount_[c];
    }
  }
}

void Ignition::Decide(const ParameterImage& cfg, const EngineReading& s, LiveValues& v) const {
  const double rpm = s.rpm;
  const bool turning = rpm > 1;

  v.clutchMaster = s.shifting && InputFunctionActive(cfg, kInputClutchMaster) &&
                   rpm >= cfg[kClutchMinRpm] * 100;

  v.softLimiter = s.clock < softUntil_;
  v.hardLimiter = s.clock < hardUntil_;
  v.startSoftLimiter = v.startLimiterActivated && s.clock < startSoftUntil_;
  v.startHardLimiter = v.startLimiterActivated && s.clock < startHardUntil_;

  // Second map: by switch, or by acceleration above the programmed threshold.
  bool bySwitch = false;
  for (int i = 0; i < 3; ++i)
    bySwitch |= cfg[kInputFunction[i]] == kInputSecondMap && v.inputActive[std::size_t(i)];
  const int accelThreshold = cfg[kSecondMapAcceleration] * 100 + v.potAccelThreshold;
  v.secondMap = bySwitch ||
                (cfg[kSecondMapAcceleration] > 0 && turning && v.acceleration >= accelThreshold);

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
    double a = MapLookup(cfg, axis, cells, rpm, s.throttle / 10.0, useThrottle);
    a += cfg[kGearAdvanceCorrection[GearRow(s.gear)]] - 100;
    a += v.potAdvanceTenths / 10.0;
    if (v.clutchMaster) a = cfg[kClutchAdvance];
    v.advance1 = RoundToInt(a + cfg[kAdvanceCorrection[0]] - 100);
    v.advance2 = cfg[kOutputs] == 2 ? RoundToInt(a + cfg[kAdvanceCorrection[1]] - 100) : v.advance1;
  }

  // Pick-ups: consistent counts, so no pick-up error while the engine turns.
  const int lobes = std::max(1, static_cast<int>(cfg[kLobes]));
  const int revs = std::min(255, static_cast<int>(s.revolutions));
  v.pickupCheck = {revs, revs, std::min(255, revs * lobes), std::min(255, revs * lobes)};
  for (std::size_t c = 0; c < 2; ++c) v.pickupSignal[c] = turning || s.clock < fireUntil_[c];
}

}  // namespace rq::sim
