// SPDX-License-Identifier: GPL-3.0-or-later
// The unit's power outputs and tachometer.
#include <cstddef>

#include "sim/unit_logic.h"

namespace rq::sim {

void Outputs::Test(std::uint8_t buttons, const ParameterImage& cfg, double clock) {
  for (std::size_t k = 0; k < 4; ++k)
    if (buttons & (1u << k)) testUntil_[k] = clock + 1.0;
  if (buttons & 0x10) {
    tachoUntil_ = clock + 2.0;
    tachoRpm_ = cfg[kTachoTestRpm] * 100;
  }
}

void Outputs::Update(const ParameterImage& cfg, const EngineReading& s, LiveValues& v) {
  const double rpm = s.rpm;
  const bool turning = rpm > 1;
  const double throttlePct = s.throttle / 10.0;
  // Fuel pump while turning, the others from their rpm / throttle table.
  for (int k = 0; k < 4; ++k) {
    const auto ks = static_cast<std::size_t>(k);
    const int mode = cfg[kPowerMode[k]];
    bool on = false;
    if (mode == 1) {
      on = turning;
    } else if (mode >= 2 && mode <= 4) {
      const double hyst = cfg[kPowerHysteresis[k]] * 10.0;
      int band = band_[ks];
      const double shift = mode == 2 ? v.potShiftLightRpm : 0;
      auto threshold = [&](int j) { return cfg[kPowerRpm.at(k, j)] * 100.0 + shift; };
      while (band < 3 && rpm >= threshold(band)) ++band;
      while (band > 0 && rpm < threshold(band - 1) - hyst) --band;
      band_[ks] = band;
      int tband = 0;
      if (throttlePct >= cfg[kPowerThrottle.at(k, 0)]) tband = 1;
      if (throttlePct >= cfg[kPowerThrottle.at(k, 1)]) tband = 2;
      on = turning && (cfg[kPowerGrid.at(k, tband)] >> band & 1) != 0;
    }
    v.powerOut[ks] = on || s.clock < testUntil_[ks];
  }
  // The tachometer test shows its engine speed while it runs.
  if (s.clock < tachoUntil_) v.rpm = tachoRpm_;
}

}  // namespace rq::sim
