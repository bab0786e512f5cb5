// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/bike.h"

#include <algorithm>

namespace rq::sim {

namespace {
constexpr int kDefaultRatio[6] = {2000, 1000, 666, 500, 400, 333};
}  // namespace

bool InputFunctionActive(const ParameterImage& cfg, int function) {
  for (int i = 0; i < 3; ++i)
    if (cfg[kInputFunction[i]] == function) return true;
  return false;
}

int SetUpSecondMapSwitch(ParameterImage& cfg) {
  constexpr int kGearOrSpeed = 7;
  constexpr int kHighestThreshold = 250;  // x 100 rpm/s: 25000 rpm/s
  cfg.setByte(kSecondMapAcceleration, kHighestThreshold);
  auto first = [&](auto wanted) {
    for (int i = 0; i < 3; ++i)
      if (wanted(int(cfg[kInputFunction[i]]))) return i;
    return -1;
  };
  int input = first([](int f) { return f == kInputSecondMap; });
  if (input < 0) input = first([](int f) { return f == kInputOff; });
  if (input < 0) input = first([](int f) { return f != kInputKillSwitch && f != kGearOrSpeed; });
  if (input < 0) input = 1;
  cfg.setByte(kInputFunction[input], kInputSecondMap);
  return input;
}

int GearRow(int gear) { return gear <= 1 ? 0 : std::min(gear, 6) - 1; }

int GearCount(const ParameterImage& cfg) {
  return std::clamp(static_cast<int>(cfg[kGearCount]), 1, 6);
}

double GearRatio(const ParameterImage& cfg, int gear) {
  if (gear < 1) return 0;
  const int g = std::min(gear, 6);
  const int w = cfg[kGearRatio[g - 1]];
  return w > 0 ? w : kDefaultRatio[g - 1];
}

}  // namespace rq::sim
