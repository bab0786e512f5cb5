// SPDX-License-Identifier: GPL-3.0-or-later
// A ride log made without a port: the simulated unit's monitor replies, taken every third of
// a second as the window asks for them, written as the monitor CSV. For tests, benchmarks
// and pictures of the log viewer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/parameter_image.h"
#include "protocol/monitor_reply.h"
#include "sim/ride.h"
#include "sim/torque.h"

namespace rq::sim {

// The snapshots of `seconds` of the ride with this configuration, one per `interval`.
std::vector<MonitorSnapshot> RideSnapshots(const ParameterImage& cfg, double seconds,
                                           std::uint64_t seed, double interval = 1.0 / 3);
// The same on the A/B ride; the configuration is taken as it is (SetUpSecondMapSwitch readies
// one).
std::vector<MonitorSnapshot> AbRideSnapshots(const ParameterImage& cfg, const AbRide& ride,
                                             double seconds, std::uint64_t seed,
                                             double interval = 1.0 / 3,
                                             EngineKind engine = EngineKind::Standard);

// The monitor CSV of the snapshots, repeated until `rows` rows are written (0: each once),
// time stamps `interval` apart from 2026-05-04 17:00:00 local time.
std::string RideCsv(const std::vector<MonitorSnapshot>& snapshots, std::size_t rows = 0,
                    double interval = 1.0 / 3);

}  // namespace rq::sim
