// SPDX-License-Identifier: GPL-3.0-or-later
// An A/B session for the benchmark and the pictures of the A/B mode: a configuration whose
// map 1 lies 6 degrees under the simulated engine's best advance at part throttle and 3 over
// at full throttle, map 2 4 degrees nearer the best at part throttle and 4 further at full
// throttle, with input 2 switching to map 2; and the simulator's A/B ride with it.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

#include "model/defaults.h"
#include "model/parameter_table.h"
#include "sim/bike.h"
#include "sim/ride_log.h"
#include "sim/torque.h"

namespace rq::bench {

inline ParameterImage AbSessionConfig() {
  ParameterImage cfg = NewConfiguration();
  cfg.setByte(kGearSystem, 2);  // the gear from the programmed ratios
  for (int c = 0; c < kMapColumns; ++c) {
    cfg.setWord(kAdvance1Axis[c], 2000 + 500 * c);
    cfg.setWord(kAdvance2Axis[c], 2000 + 500 * c);
  }
  for (int r = 0; r < kMapRows; ++r) {
    const bool full = r == kMapRows - 1;
    for (int c = 0; c < kMapColumns; ++c) {
      const double best = sim::BestAdvance(2000 + 500 * c, kThrottleRows[r]);
      const int a1 = int(std::lround(best)) + (full ? 3 : -6);
      cfg.setByte(kAdvance1Cells.at(r, c), std::uint8_t(a1));
      cfg.setByte(kAdvance2Cells.at(r, c), std::uint8_t(a1 + 4));
    }
  }
  sim::SetUpSecondMapSwitch(cfg);
  return cfg;
}

// The monitor log of `seconds` of the A/B ride.
inline std::string AbSessionCsv(const ParameterImage& cfg, double seconds, std::uint64_t seed) {
  return sim::RideCsv(sim::AbRideSnapshots(cfg, sim::AbRide{}, seconds, seed));
}

}  // namespace rq::bench
