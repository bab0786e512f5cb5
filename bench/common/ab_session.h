// SPDX-License-Identifier: GPL-3.0-or-later
// A/B sessions for the benchmarks and the pictures: two advance maps programmed around the
// simulated engine's best advance, with input 2 switching to map 2, and the simulator's A/B ride
// with them.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "model/defaults.h"
#include "model/parameter_table.h"
#include "sim/bike.h"
#include "sim/ride_log.h"
#include "sim/torque.h"

namespace rq::bench {

// rpm points 2000, 2500, ... 9000 on both maps; in throttle row r map 1 lies `offsets(r).first`
// degrees from the best advance and map 2 `offsets(r).second` degrees from map 1.
inline ParameterImage AbSessionConfig(const std::function<std::pair<int, int>(int row)>& offsets) {
  ParameterImage cfg = NewConfiguration();
  cfg.setByte(kGearSystem, 2);  // the gear from the programmed ratios
  for (int c = 0; c < kMapColumns; ++c) {
    cfg.setWord(kAdvance1Axis[c], 2000 + 500 * c);
    cfg.setWord(kAdvance2Axis[c], 2000 + 500 * c);
  }
  for (int r = 0; r < kMapRows; ++r) {
    const auto [map1, map2Minus1] = offsets(r);
    for (int c = 0; c < kMapColumns; ++c) {
      const double best = sim::BestAdvance(2000 + 500 * c, kThrottleRows[r]);
      const int a1 = int(std::lround(best)) + map1;
      cfg.setByte(kAdvance1Cells.at(r, c), std::uint8_t(a1));
      cfg.setByte(kAdvance2Cells.at(r, c), std::uint8_t(a1 + map2Minus1));
    }
  }
  sim::SetUpSecondMapSwitch(cfg);
  return cfg;
}

// The session of the A/B mode's benchmark and pictures: map 1 6 degrees under the best at part
// throttle and 3 over at full throttle, map 2 4 degrees above map 1 (nearer the best at part
// throttle, further at full throttle).
inline ParameterImage AbSessionConfig() {
  return AbSessionConfig([](int row) { return std::pair{row == kMapRows - 1 ? 3 : -6, 4}; });
}

// The monitor log of `seconds` of the A/B ride.
inline std::string AbSessionCsv(const ParameterImage& cfg, double seconds, std::uint64_t seed) {
  return sim::RideCsv(sim::AbRideSnapshots(cfg, sim::AbRide{}, seconds, seed));
}

}  // namespace rq::bench
