// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/ride_log.h"

#include <chrono>
#include <ctime>

#include "logs/monitor_csv.h"
#include "sim/unit_model.h"

namespace rq::sim {

namespace {

std::vector<MonitorSnapshot> Snapshots(UnitModel& unit, double seconds, double interval) {
  std::vector<MonitorSnapshot> out;
  for (double t = 0; t < seconds; t += interval) {
    unit.Advance(interval);
    const FrameBytes frame = unit.MonitorFrame();
    if (auto s = DecodeMonitor(frame)) out.push_back(*s);
  }
  return out;
}

}  // namespace

std::vector<MonitorSnapshot> RideSnapshots(const ParameterImage& cfg, double seconds,
                                           std::uint64_t seed, double interval) {
  UnitModel unit(cfg, Identity{}, seed);
  return Snapshots(unit, seconds, interval);
}

std::vector<MonitorSnapshot> AbRideSnapshots(const ParameterImage& cfg, const AbRide& ride,
                                             double seconds, std::uint64_t seed,
                                             double interval, EngineKind engine) {
  UnitModel unit(cfg, Identity{}, seed);
  unit.engine().SetEngineKind(engine);
  unit.engine().RideAb(ride);
  return Snapshots(unit, seconds, interval);
}

std::string RideCsv(const std::vector<MonitorSnapshot>& snapshots, std::size_t rows,
                    double interval) {
  std::tm start{};
  start.tm_year = 2026 - 1900;
  start.tm_mon = 4;
  start.tm_mday = 4;
  start.tm_hour = 17;
  start.tm_isdst = -1;
  const auto t0 = logs::WallClock::from_time_t(std::mktime(&start));
  if (rows == 0) rows = snapshots.size();
  std::string out = logs::MonitorCsvHeader() + "\n";
  out.reserve(out.size() + rows * 260);
  for (std::size_t i = 0; i < rows && !snapshots.empty(); ++i) {
    const auto when = t0 + std::chrono::milliseconds(static_cast<long long>(static_cast<double>(i) * interval * 1000));
    out += logs::MonitorCsvRow(snapshots[i % snapshots.size()], when);
    out += '\n';
  }
  return out;
}

}  // namespace rq::sim
