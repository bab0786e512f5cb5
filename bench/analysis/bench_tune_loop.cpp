// SPDX-License-Identifier: GPL-3.0-or-later
// The A/B tuning loop on the simulated engine, as a tuner runs it: ride the pair of advance
// maps, take the estimate of the best advance from every ride so far, prepare the next pair
// around it, ride again. It starts from a flat pair (map 1 at 20 degrees, map 2 at 22) and
// rides the simulator's 30-minute A/B ride with a new seed each time.
//
// Printed per ride, over the seeds: the mean and the largest distance of the proposal from the
// engine's hidden best advance over the visited cells (cells where both maps were compared), the
// largest at 3000 rpm and above, and the cells settled (interval within a degree). For the flat
// engine, whose torque does not depend on advance, the proposal's mean and largest movement
// from where it started.
//
// rq_bench_tune_loop [--rides N] [--seeds N] [--minutes M] [--engine standard|other|flat|all]
//                    [--spread DEG] [--max-move DEG]
// For looking closer: RQ_TUNE_CELLS=S prints every estimate of seed S, RQ_TUNE_OFF the cells more
// than 3 degrees off, RQ_TUNE_BIAS the mean signed error per cell after the last ride;
// RQ_TUNE_FIXED keeps the maps of the first ride, RQ_TUNE_EQUAL starts from equal maps.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "analysis/ab_estimate.h"
#include "analysis/ab_proposal.h"
#include "model/defaults.h"
#include "model/parameter_table.h"
#include "sim/bike.h"
#include "sim/ride_log.h"
#include "sim/torque.h"

namespace {

using namespace rq;

constexpr const char* kUsage =
    "usage: rq_bench_tune_loop [--rides N] [--seeds N] [--minutes M]\n"
    "                          [--engine standard|other|flat|all] [--spread DEG] [--max-move DEG]\n"
    "Runs the A/B tuning loop on the simulated engine from a flat 20/22 pair and prints, per ride,\n"
    "how far the proposal is from the engine's best advance (the flat engine: how far it moved).\n";

constexpr int kStart1 = 20, kStart2 = 22;

ParameterImage StartConfig() {
  ParameterImage cfg = NewConfiguration();
  cfg.setByte(kGearSystem, 2);  // the gear from the programmed ratios
  for (int c = 0; c < kMapColumns; ++c) {
    cfg.setWord(kAdvance1Axis[c], 2000 + 500 * c);
    cfg.setWord(kAdvance2Axis[c], 2000 + 500 * c);
  }
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c) {
      cfg.setByte(kAdvance1Cells.at(r, c), kStart1);
      cfg.setByte(kAdvance2Cells.at(r, c), std::getenv("RQ_TUNE_EQUAL") ? kStart1 : kStart2);
    }
  sim::SetUpSecondMapSwitch(cfg);
  return cfg;
}

struct RideFigures {
  double sumDistance = 0, sumSigned = 0, largest = 0, largestAbove3000 = 0;
  int cells = 0, settled = 0, runs = 0, over3 = 0;
};

const char* KindName(sim::EngineKind k) {
  switch (k) {
    case sim::EngineKind::Standard: return "standard";
    case sim::EngineKind::Flat: return "flat";
    case sim::EngineKind::Other: return "other";
  }
  return "";
}

void RunEngine(sim::EngineKind kind, int rides, int seeds, double minutes,
               const analysis::ProposalOptions& proposalOptions) {
  std::vector<RideFigures> figures(static_cast<std::size_t>(rides));
  std::array<std::array<double, kMapColumns>, kMapRows> biasSum{}, biasN{};
  const bool flat = kind == sim::EngineKind::Flat;
  for (int s = 0; s < seeds; ++s) {
    ParameterImage cfg = StartConfig();
    const LiveCellRule rule = MakeLiveCellRule(cfg, kPageAdvance1);
    std::vector<analysis::AbLog> logs;
    for (int ride = 0; ride < rides; ++ride) {
      const std::uint64_t seed = 1000 + 97 * std::uint64_t(s) + 13 * std::uint64_t(ride);
      const std::string csv = sim::RideCsv(
          sim::AbRideSnapshots(cfg, sim::AbRide{}, minutes * 60, seed, 1.0 / 3, kind));
      const auto loaded = logs::ParseCsvText(csv, analysis::AbLoadOptions());
      std::string error;
      auto log = loaded.ok() ? analysis::ExtractAbLog(*loaded.table, error) : std::nullopt;
      if (!log) {
        std::fprintf(stderr, "ride %d: %s%s\n", ride + 1, loaded.error.message.c_str(), error.c_str());
        std::exit(1);
      }
      logs.push_back(std::move(*log));
      analysis::EstimateOptions options;
      options.offsets = analysis::AdvanceOffsetsOf(cfg);
      // As the command line runs it with the configuration ridden last.
      const analysis::BestEstimate estimate = analysis::EstimateBestAdvance(
          analysis::CollectPasses(logs, rule, options.selection, options.windowSeconds, options.offsets, &cfg), 1,
          options);
      const analysis::AbProposal proposal =
          analysis::ProposeMaps(cfg, kPageAdvance1, estimate, proposalOptions);
      RideFigures& f = figures[std::size_t(ride)];
      ++f.runs;
      for (int r = 0; r < kMapRows; ++r)
        for (int c = 0; c < kMapColumns; ++c) {
          if (!proposal.estimated[std::size_t(r)][std::size_t(c)]) continue;
          const int rpm = rule.rpmPoints[c];
          const double target = flat ? kStart1 : sim::BestAdvance(rpm, kThrottleRows[r], kind);
          const double signedD = proposal.proposal[std::size_t(r)][std::size_t(c)] - target;
          const double d = std::fabs(signedD);
          f.sumSigned += signedD;
          if (ride == rides - 1) {
            biasSum[std::size_t(r)][std::size_t(c)] += (*estimate.at(r, c).best) - target;
            biasN[std::size_t(r)][std::size_t(c)] += 1;
          }
          f.sumDistance += d;
          f.largest = std::max(f.largest, d);
          if (rpm >= 3000) f.largestAbove3000 = std::max(f.largestAbove3000, d);
          if (rpm >= 3000 && d > 3) ++f.over3;
          if (std::getenv("RQ_TUNE_OFF") && d > 3)
            std::fprintf(stderr, "seed %d ride %d: %d %% %d rpm proposal %d best %.1f estimate %.1f (%.1f..%.1f) pref %d centre %.1f n%d\n", s,
                         ride + 1, kThrottleRows[r], rpm, proposal.proposal[std::size_t(r)][std::size_t(c)], target,
                         *estimate.at(r, c).best, *estimate.at(r, c).low, *estimate.at(r, c).high,
                         int(estimate.at(r, c).preference), estimate.at(r, c).centre, estimate.at(r, c).comparisons);
          ++f.cells;
          f.settled += estimate.at(r, c).settled() ? 1 : 0;
        }
      if (std::getenv("RQ_TUNE_CELLS") != nullptr && s == std::atoi(std::getenv("RQ_TUNE_CELLS"))) {
        for (int r = kMapRows - 1; r >= 0; --r) {
          std::printf("ride %d row %3d%%:", ride + 1, kThrottleRows[r]);
          bool any = false;
          for (int c = 0; c < kMapColumns; ++c) {
            const analysis::BestCell& b = estimate.at(r, c);
            if (!b.best) continue;
            any = true;
            const double target = flat ? kStart1 : sim::BestAdvance(rule.rpmPoints[c], kThrottleRows[r], kind);
            std::printf(" [%d: %.1f (%.1f..%.1f) t%.1f n%d]", rule.rpmPoints[c], *b.best, *b.low, *b.high, target, b.comparisons);
          }
          if (any) std::printf("\n");
        }
      }
      // The next pair into both maps.
      if (std::getenv("RQ_TUNE_FIXED") == nullptr) for (int r = 0; r < kMapRows; ++r)
        for (int c = 0; c < kMapColumns; ++c) {
          cfg.setByte(kAdvance1Cells.at(r, c), std::uint8_t(proposal.next1[std::size_t(r)][std::size_t(c)]));
          cfg.setByte(kAdvance2Cells.at(r, c), std::uint8_t(proposal.next2[std::size_t(r)][std::size_t(c)]));
        }
    }
  }
  if (std::getenv("RQ_TUNE_BIAS")) {
    for (int r = kMapRows - 1; r >= 0; --r) {
      bool any = false;
      for (int c = 0; c < kMapColumns; ++c) any |= biasN[std::size_t(r)][std::size_t(c)] > 0;
      if (!any) continue;
      std::printf("bias at %3d%%:", kThrottleRows[r]);
      for (int c = 0; c < kMapColumns; ++c)
        if (biasN[std::size_t(r)][std::size_t(c)] > 0)
          std::printf(" %+5.1f", biasSum[std::size_t(r)][std::size_t(c)] / biasN[std::size_t(r)][std::size_t(c)]);
      std::printf("\n");
    }
  }
  std::printf("\n%s engine, %d seeds, rides of %.0f minutes, spread %d, max move %d:\n", KindName(kind),
              seeds, minutes, proposalOptions.spread, proposalOptions.maxMove);
  std::printf("%5s %14s %12s %10s %18s %15s %14s\n", "ride", flat ? "mean moved" : "mean distance",
              "mean signed", "largest", "largest >= 3000", "cells settled", "cells visited");
  for (int ride = 0; ride < rides; ++ride) {
    const RideFigures& f = figures[std::size_t(ride)];
    std::printf("%5d %13.2f° %11.2f° %9.1f° %17.1f° %15.1f %14.1f\n", ride + 1,
                f.cells > 0 ? f.sumDistance / f.cells : 0.0, f.cells > 0 ? f.sumSigned / f.cells : 0.0,
                f.largest, f.largestAbove3000,
                double(f.settled) / f.runs, double(f.cells) / f.runs);
    if (std::getenv("RQ_TUNE_BIAS")) std::printf("      cells more than 3 degrees off at 3000 rpm or above: %d\n", f.over3);
  }
}

bool Number(const char* text, double lo, double hi, double& out) {
  char* end = nullptr;
  out = std::strtod(text, &end);
  return end != text && *end == '\0' && out >= lo && out <= hi;
}

}  // namespace

int main(int argc, char** argv) {
  int rides = 6, seeds = 5;
  double minutes = 30;
  std::string engine = "all";
  analysis::ProposalOptions proposal;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    double v = 0;
    auto value = [&](double lo, double hi) { return i + 1 < argc && Number(argv[++i], lo, hi, v); };
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "--rides" && value(1, 50)) {
      rides = int(v);
    } else if (a == "--seeds" && value(1, 100)) {
      seeds = int(v);
    } else if (a == "--minutes" && value(1, 600)) {
      minutes = v;
    } else if (a == "--spread" && value(analysis::kMinSpread, analysis::kMaxSpread)) {
      proposal.spread = int(v);
    } else if (a == "--max-move" && value(analysis::kMinMaxMove, analysis::kMaxMaxMove)) {
      proposal.maxMove = int(v);
    } else if (a == "--engine" && i + 1 < argc) {
      engine = argv[++i];
    } else {
      std::fprintf(stderr, "rq_bench_tune_loop: wrong argument %s\n%s", a.c_str(), kUsage);
      return 2;
    }
  }
  std::vector<sim::EngineKind> kinds;
  sim::EngineKind one{};
  if (engine == "all") kinds = {sim::EngineKind::Standard, sim::EngineKind::Other, sim::EngineKind::Flat};
  else if (sim::ParseEngineKind(engine, one)) kinds = {one};
  else {
    std::fprintf(stderr, "rq_bench_tune_loop: no engine %s\n%s", engine.c_str(), kUsage);
    return 2;
  }
  for (const sim::EngineKind k : kinds) RunEngine(k, rides, seeds, minutes, proposal);
  return 0;
}
