// SPDX-License-Identifier: GPL-3.0-or-later
// The A/B comparison against the simulator's truth, and its speed.
//
// Each scenario programs two advance maps around the simulator's hidden best advance, rides
// the simulator's A/B ride offline for 30 minutes (a cold engine at the start) with several
// seeds, and compares the maps on Advance 1's cells. A verdict is right when it names the map
// whose cell value gives the engine more torque at the cell's rpm point and throttle row (the
// simulator's own torque function, sim/torque.h): the map nearer the best advance. Printed per
// scenario: the cells with rows of both maps, the verdicts among them, and the right and wrong
// ones; for equal maps every verdict is a false one.
//
// Then the same rides of equal maps compared the naive ways the method avoids: the gears pooled
// before the maps are compared, and map 1 taken as ridden for the first ten minutes and map 2
// after (the maps being equal, the labels change nothing on the engine) compared with and
// without the time windows.
//
// Last, the time of the analysis of a one-million-row log (the 30-minute ride repeated).
// Run on a release build: rq_bench_ab [seeds] [rows].
#include <time.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../common/ab_session.h"
#include "analysis/ab_compare.h"
#include "analysis/ab_estimate.h"
#include "analysis/ab_proposal.h"
#include "bench/common/usage.h"
#include "model/defaults.h"
#include "sim/bike.h"
#include "sim/ride_log.h"
#include "sim/torque.h"

namespace {

using namespace rq;

double WallMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double CpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// Map 1 and the difference of map 2, in degrees from the best advance, per throttle row that
// the A/B ride pulls at (40, 60 and 100 %); the same along every rpm column.
struct Offsets {
  int map1;
  int map2Minus1;
};

struct Scenario {
  const char* name;
  std::array<Offsets, 3> rows;  // 40 %, 60 %, 100 %
  sim::AbRide ride;
  bool equal() const {
    for (const Offsets& o : rows)
      if (o.map2Minus1 != 0) return false;
    return true;
  }
};

constexpr int kPulledRows[3] = {6, 7, 9};  // 40, 60 and 100 %

ParameterImage ScenarioConfig(const Scenario& s) {
  // Rows the ride does not pull at take the offsets of the nearest pulled row.
  return bench::AbSessionConfig([&s](int r) {
    const int k = r <= 6 ? 0 : r <= 7 ? 1 : 2;
    return std::pair{s.rows[k].map1, s.rows[k].map2Minus1};
  });
}

// 2: map 2 gives more torque in the cell, 1: map 1, 0: the same.
int Truth(const ParameterImage& cfg, int r, int c) {
  const double rpm = cfg[kAdvance1Axis[c]], throttle = kThrottleRows[r];
  const double t1 = sim::TorqueAt(rpm, throttle, cfg[kAdvance1Cells.at(r, c)]);
  const double t2 = sim::TorqueAt(rpm, throttle, cfg[kAdvance2Cells.at(r, c)]);
  return t2 > t1 + 1e-12 ? 2 : t1 > t2 + 1e-12 ? 1 : 0;
}

struct Tally {
  int both = 0, verdicts = 0, right = 0, wrong = 0, ties = 0;
  double analysisMs = 0;
  int runs = 0;
  void add(const Tally& t) {
    both += t.both;
    verdicts += t.verdicts;
    right += t.right;
    wrong += t.wrong;
    ties += t.ties;
    analysisMs += t.analysisMs;
    runs += t.runs;
  }
};

// The comparison's columns only, as the command line reads a log for it; without the
// acceleration, the comparison takes the rise of engine speed within a cell.
logs::LogTable Parse(const std::string& csv, bool withAcceleration = true) {
  logs::LoadOptions load = analysis::AbLoadOptions();
  if (!withAcceleration)
    load.keepColumn = [](std::string_view c) { return c != analysis::kAccelerationChannel && analysis::ReadForComparison(c); };
  auto r = logs::ParseCsvText(csv, load);
  if (!r.ok()) {
    std::fprintf(stderr, "log: %s\n", r.error.message.c_str());
    std::exit(1);
  }
  return std::move(*r.table);
}

// How a ride's log is changed before the comparison.
enum class Naive { None, GearsPooled, SplitInTime, NoAcceleration };

Tally Run(const Scenario& s, std::uint64_t seed, const analysis::AbOptions& options,
          Naive naive = Naive::None) {
  const ParameterImage cfg = ScenarioConfig(s);
  const logs::LogTable log =
      Parse(sim::RideCsv(sim::AbRideSnapshots(cfg, s.ride, 1800, seed)), naive != Naive::NoAcceleration);
  std::string error;
  auto ab = analysis::ExtractAbLog(log, error);
  if (!ab) {
    std::fprintf(stderr, "%s\n", error.c_str());
    std::exit(1);
  }
  logs::CellInputs& in = ab->cells;
  for (std::size_t i = 0; i < in.rows(); ++i) {
    if (naive == Naive::GearsPooled && in.gear[i] != 0) in.gear[i] = 2;
    if (naive == Naive::SplitInTime) in.secondMap[i] = in.time[i] >= 600 ? 1 : 0;
  }
  Tally t;
  const double c0 = CpuMs();
  const analysis::AbResult result =
      analysis::CompareMaps({&*ab, 1}, MakeLiveCellRule(cfg, kPageAdvance1), options);
  t.analysisMs = CpuMs() - c0;
  t.runs = 1;
  for (int r = 0; r < kMapRows; ++r) {
    for (int c = 0; c < kMapColumns; ++c) {
      const analysis::AbCell& cell = result.at(r, c);
      if (cell.rows1 == 0 || cell.rows2 == 0) continue;
      ++t.both;
      if (cell.better == 0) continue;
      ++t.verdicts;
      const int truth = s.equal() ? 0 : Truth(cfg, r, c);
      if (truth == 0) ++t.ties;
      else if (truth == cell.better) ++t.right;
      else ++t.wrong;
    }
  }
  return t;
}

double Percent(int a, int b) { return b > 0 ? 100.0 * a / b : 0; }

}  // namespace

int main(int argc, char** argv) {
  if (rq::bench::AnswerHelp(
          argc, argv,
          "Usage: rq_bench_ab [SEEDS] [ROWS]\n"
          "The A/B comparison against the simulator's truth: verdicts on 30-minute rides with\n"
          "SEEDS seeds per scenario (default 6), and the analysis of a log of ROWS rows\n"
          "(default 1000000).\n"))
    return 0;
  const int seeds = argc > 1 ? std::atoi(argv[1]) : 6;
  const std::size_t millionRows = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1'000'000;
  analysis::AbOptions options;

  sim::AbRide balanced;
  sim::AbRide unbalanced;  // map 2 ridden twice as often as map 1 in third gear
  unbalanced.pulls[3] = {1, 2};
  // Map 2 nearer the best advance at 40 and 60 %, map 1 at 100 %.
  const std::array<Offsets, 3> mixedA = {{{-6, 4}, {-6, 4}, {3, 4}}};
  // The other way round at 60 %, map 2 nearer at 40 and 100 % from the other side.
  const std::array<Offsets, 3> mixedB = {{{5, -4}, {-3, -4}, {-7, 4}}};
  const std::array<Offsets, 3> equal = {{{-4, 0}, {3, 0}, {-2, 0}}};
  const Scenario scenarios[] = {
      {"maps differ (A), each map equally often", mixedA, balanced},
      {"maps differ (B), each map equally often", mixedB, balanced},
      {"maps differ (A), map 2 twice as often in 3rd", mixedA, unbalanced},
      {"maps differ (B), map 2 twice as often in 3rd", mixedB, unbalanced},
      {"maps equal, each map equally often", equal, balanced},
      {"maps equal, map 2 twice as often in 3rd", equal, unbalanced},
  };
  std::printf("A/B comparison on simulated 30-minute A/B rides, %d seeds per scenario, "
              "Advance 1's cells, %d resamples, windows of %.0f s, at least %d rows and %d "
              "passes of each map:\n",
              seeds, options.resamples, options.windowSeconds, options.minRows, options.minPasses);
  std::printf("%-46s %10s %9s %8s %8s %8s\n", "scenario", "both maps", "verdicts", "share",
              "right", "wrong");
  Tally differ, same;
  for (const Scenario& s : scenarios) {
    Tally t;
    for (int k = 0; k < seeds; ++k) t.add(Run(s, std::uint64_t(101 + 7 * k), options));
    std::printf("%-46s %10d %9d %7.1f%% %7.1f%% %7.1f%%\n", s.name, t.both, t.verdicts,
                Percent(t.verdicts, t.both), s.equal() ? 0.0 : Percent(t.right, t.verdicts),
                s.equal() ? Percent(t.verdicts, t.verdicts) : Percent(t.wrong, t.verdicts));
    (s.equal() ? same : differ).add(t);
  }
  std::printf("maps differ: %.1f %% of the verdicts right (%d of %d, %d on cells of equal "
              "torque), verdicts in %.1f %% of the cells with rows of both maps\n",
              Percent(differ.right, differ.verdicts), differ.right, differ.verdicts, differ.ties,
              Percent(differ.verdicts, differ.both));
  std::printf("maps equal: verdicts (all false) in %.1f %% of the cells with rows of both maps "
              "(%d of %d)\n",
              Percent(same.verdicts, same.both), same.verdicts, same.both);
  std::printf("analysis of one 30-minute log (5,400 rows): CPU %.1f ms on average\n",
              (differ.analysisMs + same.analysisMs) / double(differ.runs + same.runs));

  // The naive ways: the gears pooled before comparing, and no time windows.
  struct NaiveCase {
    const char* name;
    const Scenario* scenario;
    Naive naive;
    double windowSeconds;
  };
  const NaiveCase naives[] = {
      {"differ (A), 2 twice as often in 3rd, gears pooled first", &scenarios[2], Naive::GearsPooled, 600},
      {"equal, 2 twice as often in 3rd, gears pooled first", &scenarios[5], Naive::GearsPooled, 600},
      {"equal, map 1 first 10 min, map 2 after, in windows", &scenarios[4], Naive::SplitInTime, 600},
      {"equal, map 1 first 10 min, map 2 after, no windows", &scenarios[4], Naive::SplitInTime, 0},
      {"differ (A), no acceleration column", &scenarios[0], Naive::NoAcceleration, 600},
      {"differ (B), no acceleration column", &scenarios[1], Naive::NoAcceleration, 600},
      {"equal, no acceleration column", &scenarios[4], Naive::NoAcceleration, 600},
  };
  std::printf("%-58s %10s %9s %8s %8s %8s\n", "compared the naive ways, and logs without acceleration", "both maps", "verdicts",
              "share", "right", "wrong");
  for (const NaiveCase& n : naives) {
    analysis::AbOptions o = options;
    o.windowSeconds = n.windowSeconds;
    Tally t;
    for (int k = 0; k < seeds; ++k) t.add(Run(*n.scenario, std::uint64_t(101 + 7 * k), o, n.naive));
    const bool equalMaps = n.scenario->equal();
    std::printf("%-58s %10d %9d %7.1f%% %7.1f%% %7.1f%%\n", n.name, t.both, t.verdicts,
                Percent(t.verdicts, t.both), equalMaps ? 0.0 : Percent(t.right, t.verdicts),
                equalMaps ? Percent(t.verdicts, t.verdicts) : Percent(t.wrong, t.verdicts));
  }

  // A million rows: the 30-minute ride of the first scenario, repeated.
  if (millionRows > 0) {
    const ParameterImage cfg = ScenarioConfig(scenarios[0]);
    const std::string csv = sim::RideCsv(sim::AbRideSnapshots(cfg, balanced, 1800, 5), millionRows);
    // Read from a file, as the command line reads it.
    char path[] = "/tmp/rq_bench_ab_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0 || write(fd, csv.data(), csv.size()) != ssize_t(csv.size())) {
      std::fprintf(stderr, "cannot write %s\n", path);
      return 1;
    }
    close(fd);
    const logs::LoadOptions load = analysis::AbLoadOptions();
    const double w0 = WallMs();
    const double p0 = CpuMs();
    auto loaded = logs::LoadCsvFile(path, load);
    const double p1 = CpuMs();
    unlink(path);
    if (!loaded.ok()) {
      std::fprintf(stderr, "log: %s\n", loaded.error.message.c_str());
      return 1;
    }
    const logs::LogTable log = std::move(*loaded.table);
    std::string error;
    const auto ab = analysis::ExtractAbLog(log, error);
    const double p2 = CpuMs();
    const LiveCellRule rule = MakeLiveCellRule(cfg, kPageAdvance1);
    const analysis::AbPasses passes = analysis::CollectPasses({&*ab, 1}, rule, options.selection, options.windowSeconds);
    const analysis::AbResult result = analysis::CompareMaps(passes, options);
    const double p3 = CpuMs();
    const analysis::BestEstimate estimate = analysis::EstimateBestAdvance(passes, 1, analysis::EstimateOptions{});
    const analysis::AbProposal proposal = analysis::ProposeMaps(cfg, kPageAdvance1, estimate);
    const double p4 = CpuMs();
    const double w4 = WallMs();
    int verdicts = 0;
    for (const auto& row : result.cells)
      for (const auto& cell : row) verdicts += cell.better != 0;
    std::printf("%zu rows (%.0f MB): reading the comparison's columns of the CSV file CPU %.0f ms; the "
                "analysis: columns CPU %.0f ms, passes and comparison with its bootstrap CPU %.0f ms, "
                "estimate and proposal %.1f ms; the analysis %.0f ms; file to proposal %.0f ms CPU, %.0f ms wall clock "
                "(%zu rows counted, %d verdicts, %zu cells held in)\n",
                log.rows(), double(csv.size()) / 1e6, p1 - p0, p2 - p1, p3 - p2, p4 - p3, p4 - p1,
                p4 - p0, w4 - w0,
                result.count(analysis::RowReason::Counted), verdicts, proposal.clamped.size());
  }
  return 0;
}
