// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ab.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>

#include "analysis/ab_compare.h"
#include "analysis/ab_estimate.h"
#include "analysis/ab_proposal.h"
#include "cli/arguments.h"
#include "cli/grid_text.h"
#include "cli/limits_check.h"
#include "cli/output.h"
#include "cli/tick_session.h"
#include "logs/cell_count.h"
#include "logs/log_table.h"
#include "model/parameter_table.h"

namespace rq {

namespace {

constexpr const char* kAbUsage =
    "usage: ab LOG.csv [LOG.csv ...] [--config FILE.ign] [--map advance1|advance2] [--json]\n"
    "       [--min-rows N] [--gear G[,G...]] [--spread DEG] [--max-move DEG] [--limits FILE.ini]\n"
    "       [--step DEG]";

// A percentage to two decimals, as JSON.
std::string JsonPercent(std::optional<double> v) {
  if (v) v = std::round(*v * 100) / 100;
  return JsonNumber(v);
}
// Degrees to one decimal, as JSON.
std::string JsonDegrees(std::optional<double> v) {
  if (v) v = std::round(*v * 10) / 10;
  return JsonNumber(v);
}

std::string CellJson(const analysis::AbCell& c, const analysis::BestCell& b,
                     const analysis::AbProposal& p, int r, int col) {
  if (!c.visited() && c.staleRows == 0 && b.rides == 0) return "null";
  const std::size_t ri = std::size_t(r), ci = std::size_t(col);
  return "{\"rows1\":" + std::to_string(c.rows1) + ",\"rows2\":" + std::to_string(c.rows2) +
         ",\"compared1\":" + std::to_string(c.compared1) + ",\"compared2\":" +
         std::to_string(c.compared2) + ",\"passes1\":" + std::to_string(c.passes1) +
         ",\"passes2\":" + std::to_string(c.passes2) + ",\"gain_pct\":" + JsonPercent(c.gainPct) +
         ",\"ci_low_pct\":" + JsonPercent(c.lowPct) + ",\"ci_high_pct\":" + JsonPercent(c.highPct) +
         ",\"better\":" + std::to_string(c.better) + ",\"advance1\":" +
         std::to_string(p.advance1[ri][ci]) + ",\"advance2\":" + std::to_string(p.advance2[ri][ci]) +
         ",\"stale_rows\":" + std::to_string(c.staleRows) + ",\"best\":" + JsonDegrees(b.best) +
         ",\"best_low\":" + JsonDegrees(b.low) + ",\"best_high\":" + JsonDegrees(b.high) +
         ",\"rides\":" + std::to_string(b.rides) + ",\"settled\":" + (b.settled() ? "true" : "false") +
         ",\"preference\":" + (b.best && b.preference ? "true" : "false") + "}";
}

std::string ValuesJson(const analysis::MapValues& v) {
  return JsonGrid([&](int r, int col) { return std::to_string(v[std::size_t(r)][std::size_t(col)]); });
}

const char* WhichKey(int map) { return map == 0 ? "proposal" : map == 1 ? "next_map1" : "next_map2"; }
const char* ReasonKey(analysis::HoldReason r) {
  switch (r) {
    case analysis::HoldReason::Limit: return "limit";
    case analysis::HoldReason::MaxMove: return "max_move";
    case analysis::HoldReason::Knock: return "knock";
  }
  return "";
}
std::string ReasonText(analysis::HoldReason r, const analysis::ProposalOptions& o) {
  switch (r) {
    case analysis::HoldReason::Limit: return "the limits";
    case analysis::HoldReason::MaxMove:
      return "at most " + std::to_string(o.maxMove) + " degrees from what the newest ride used (--max-move)";
    case analysis::HoldReason::Knock:
      return "at most " + std::to_string(o.maxMove) + " degrees above the highest advance ridden (knock)";
  }
  return "";
}

struct Report {
  const analysis::AbResult& result;
  const analysis::BestEstimate& estimate;
  const analysis::AbProposal& proposal;
  const LiveCellRule& rule;
  std::size_t logCount;
  bool withConfig;
  bool pairRefused;  // the two maps' rpm points differ
  const analysis::ProposalOptions& options;
};

std::string Json(const Report& r, const std::string& map) {
  const analysis::AbResult& result = r.result;
  std::string o = "{\"map\":\"" + map + "\",\"logs\":" + std::to_string(r.logCount) +
                  ",\"rows\":" + std::to_string(result.totalRows) + ",\"counted\":" +
                  std::to_string(result.count(analysis::RowReason::Counted)) + ",\"left_out\":{";
  for (int k = 1; k < analysis::kRowReasons; ++k) {
    const auto reason = analysis::RowReason(k);
    o += std::string(k > 1 ? "," : "") + "\"" + analysis::RowReasonKey(reason) +
         "\":" + std::to_string(result.count(reason));
  }
  o += "},\"acceleration_from_rpm\":" + std::to_string(result.derivedLogs) + "," +
       JsonAxes(r.rule.rpmPoints) + ",\"cells\":" + JsonGrid([&](int row, int col) {
         return CellJson(result.at(row, col), r.estimate.at(row, col), r.proposal, row, col);
       });
  if (r.withConfig) {
    o += ",\"proposal\":" + ValuesJson(r.proposal.proposal) + ",\"next_map1\":" +
         (r.pairRefused ? "null" : ValuesJson(r.proposal.next1)) + ",\"next_map2\":" +
         (r.pairRefused ? "null" : ValuesJson(r.proposal.next2)) + ",\"spread\":" +
         std::to_string(r.options.spread) + ",\"max_move\":" + std::to_string(r.options.maxMove) +
         ",\"clamped\":[";
    bool first = true;
    for (const analysis::ClampedCell& c : r.proposal.clamped) {
      if (r.pairRefused && c.map != 0) continue;
      o += std::string(first ? "" : ",") + "{\"map\":" + std::to_string(c.map == 2 ? 2 : 1) +
           ",\"which\":\"" + WhichKey(c.map) + "\",\"row\":" + std::to_string(c.row) +
           ",\"column\":" + std::to_string(c.column) + ",\"wanted\":" + std::to_string(c.wanted) +
           ",\"got\":" + std::to_string(c.got) + ",\"reason\":\"" + ReasonKey(c.reason) + "\"}";
      first = false;
    }
    o += "]";
  }
  return o + "}\n";
}

// A cell of the verdict table: the gain with one decimal and the verdict's mark.
std::string CellText(const analysis::AbCell& c) {
  if (!c.visited()) return c.stale() ? "old" : ".";
  if (!c.gainPct) return "-";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%+.1f %c", *c.gainPct,
                c.better == 2 ? '2' : c.better == 1 ? '1' : '.');
  return buf;
}

// A cell of the estimate table: "27 ±1.2", "=20" where the data show no preference (the value
// kept).
std::string BestText(const analysis::BestCell& b, int kept) {
  if (!b.best) return b.rides > 0 ? "-" : ".";
  char buf[48];
  if (!b.preference) {
    std::snprintf(buf, sizeof buf, "=%d", kept);
    return buf;
  }
  const double half = std::max(*b.high - *b.best, *b.best - *b.low);
  std::snprintf(buf, sizeof buf, "%.0f ±%.1f%s", *b.best, half, b.settled() ? "*" : "");
  return buf;
}

std::string Text(const Report& r, int page, const analysis::AbOptions& options) {
  const analysis::AbResult& result = r.result;
  const analysis::AbProposal& proposal = r.proposal;
  const std::string pageName = PageName(page);
  std::string o = "Acceleration with map 2 against map 1 in each cell of " + pageName + ", in %:\n";
  o += TextGrid(r.rule.rpmPoints, 9, [&](int row, int col) { return CellText(result.at(row, col)); });
  o += "mark 2: map 2 pulled harder, 1: map 1 pulled harder (the whole 95 % interval beyond 0), "
       ".: no verdict\n"
       "-: no rows of both maps in one gear and time window; .: no rows; old: only rides made "
       "with other maps\n";
  int verdicts[3] = {0, 0, 0};
  for (const auto& row : result.cells)
    for (const auto& cell : row) ++verdicts[cell.better];
  o += "verdicts: " + std::to_string(verdicts[2]) + " cells for map 2, " +
       std::to_string(verdicts[1]) + " for map 1 (at least " + std::to_string(options.minRows) +
       " rows and " + std::to_string(options.minPasses) + " passes of each map compared)\n";
  o += "\nBest advance in each cell of " + pageName + " from every ride, degrees ± the 95 % interval:\n";
  o += TextGrid(r.rule.rpmPoints, 9, [&](int row, int col) {
    return BestText(r.estimate.at(row, col), proposal.proposal[std::size_t(row)][std::size_t(col)]);
  });
  int settled = 0;
  for (const auto& row : r.estimate.cells)
    for (const auto& cell : row) settled += cell.settled() ? 1 : 0;
  o += "*: settled (the interval within 1 degree either way); =: no preference in the data, the "
       "first value kept; -: no comparison of two advances\n";
  o += "settled cells: " + std::to_string(settled) + "\n";
  o += std::to_string(result.totalRows) + " rows in " + std::to_string(r.logCount) +
       (r.logCount == 1 ? " log, " : " logs, ") +
       std::to_string(result.count(analysis::RowReason::Counted)) + " counted\n";
  for (int k = 1; k < analysis::kRowReasons; ++k) {
    const auto reason = analysis::RowReason(k);
    if (result.count(reason) > 0)
      o += "  left out, " + std::string(analysis::RowReasonText(reason)) + ": " +
           std::to_string(result.count(reason)) + "\n";
  }
  if (result.derivedLogs > 0)
    o += std::to_string(result.derivedLogs) +
         (result.derivedLogs == 1 ? " log has" : " logs have") +
         " no acceleration column: the acceleration is the rise of engine speed between rows of a cell\n";
  if (!r.withConfig) return o;
  // A map's values, * where they differ from `before`.
  auto values = [&](const analysis::MapValues& v, const analysis::MapValues& before) {
    return TextGrid(r.rule.rpmPoints, 7, [&](int row, int col) {
      const std::size_t ri = std::size_t(row), ci = std::size_t(col);
      return std::to_string(v[ri][ci]) + (before[ri][ci] != v[ri][ci] ? "*" : " ");
    });
  };
  const analysis::MapValues& tuned = page == kPageAdvance2 ? proposal.advance2 : proposal.advance1;
  o += "\nProposal for " + pageName + " (* changed):\n" + values(proposal.proposal, tuned);
  if (r.pairRefused) {
    o += "\nNext pair: not prepared, the two maps' rpm points differ (set them equal first)\n";
  } else {
    o += "\nNext pair, map 1 (* changed):\n" + values(proposal.next1, proposal.advance1);
    o += "\nNext pair, map 2 (* changed):\n" + values(proposal.next2, proposal.advance2);
  }
  for (const analysis::ClampedCell& c : proposal.clamped) {
    if (r.pairRefused && c.map != 0) continue;
    o += (c.map == 0 ? "proposal" : c.map == 1 ? "next map 1" : "next map 2") + std::string(" at ") +
         std::to_string(kThrottleRows[c.row]) + " %, " + std::to_string(r.rule.rpmPoints[c.column]) +
         " rpm held at " + std::to_string(c.got) + " instead of " + std::to_string(c.wanted) + ": " +
         ReasonText(c.reason, r.options) + "\n";
  }
  return o;
}

}  // namespace

int RunAbCommand(const std::vector<std::string>& args) {
  auto usage = [](const std::string& message) { return UsageError(message, kAbUsage); };
  std::vector<std::string> logPaths;
  LogOptions common;
  common.map = "advance1";
  common.minRows = analysis::AbOptions{}.minRows;
  common.gears = analysis::AbSelection{}.gears;
  analysis::ProposalOptions pair;
  std::string limitsPath;
  common.firstGear = 1;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string message;
    if (const int taken = TakeLogOption(args, i, common, "advance1 or advance2", message)) {
      if (taken < 0) return usage(message);
      continue;
    }
    int n = 0;
    if (a == "--spread") {
      if (i + 1 >= args.size() || !ParseInt(args[++i], n) || n < analysis::kMinSpread || n > analysis::kMaxSpread)
        return usage("--spread needs a whole number of degrees from 1 to 6");
      pair.spread = n;
    } else if (a == "--step") {
      // The older option: the distance between the next pair's maps.
      if (i + 1 >= args.size() || !ParseInt(args[++i], n) || n < 1 || n > 20)
        return usage("--step needs a whole number of degrees from 1 to 20");
      pair.spread = std::clamp((n + 1) / 2, analysis::kMinSpread, analysis::kMaxSpread);
    } else if (a == "--max-move") {
      if (i + 1 >= args.size() || !ParseInt(args[++i], n) || n < analysis::kMinMaxMove || n > analysis::kMaxMaxMove)
        return usage("--max-move needs a whole number of degrees from 1 to 10");
      pair.maxMove = n;
    } else if (a == "--limits") {
      if (i + 1 >= args.size()) return usage("--limits needs a file");
      limitsPath = args[++i];
    } else if (a.size() > 1 && a[0] == '-') {
      return usage("unknown option " + a + " for ab");
    } else {
      logPaths.push_back(a);
    }
  }
  if (logPaths.empty()) return usage("no log given");
  analysis::AbOptions options;
  options.minRows = common.minRows;
  options.selection.gears = common.gears;
  const std::string& mapName = common.map;
  int page = -1;
  if (mapName == "advance1") page = kPageAdvance1;
  else if (mapName == "advance2") page = kPageAdvance2;
  else return usage("unknown map " + mapName + " (advance1 or advance2)");

  LoadedConfiguration config;
  std::string error;
  if (!LoadLogConfiguration(common, config, error)) return Failure(error);
  const bool withConfig = !common.config.empty();
  LoadedLimits loaded;
  if (withConfig && !LoadCommandLineLimits(limitsPath, loaded, error)) return Failure(error);
  // A limit that cannot be read may be the one that matters: no proposal without it.
  if (!loaded.unreadable().empty())
    return Failure("a value of the limits cannot be read (above): no proposal without it");
  const Limits& limits = loaded.limits;

  // Each ride once: the same rows under another name are the same ride.
  std::vector<analysis::AbLog> logs;
  std::vector<std::string> names;
  for (const std::string& path : logPaths) {
    auto log = analysis::LoadAbLog(path, error);
    if (!log) return Failure(error);
    if (!logs::TimesAdvance(log->cells)) return Failure(path + ": " + kTimesDoNotAdvance);
    bool twice = false;
    for (std::size_t k = 0; k < logs.size() && !twice; ++k) {
      if (logs[k].digest != log->digest) continue;
      std::cerr << kProgramName << ": warning: " << path << " holds the same ride as " << names[k]
                << "; it counts once\n";
      twice = true;
    }
    if (twice) continue;
    logs.push_back(std::move(*log));
    names.push_back(path);
  }
  // Oldest ride first: the estimate's first values and the newest pair come from the order.
  std::vector<std::size_t> order(logs.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return logs[a].startMs.value_or(0) < logs[b].startMs.value_or(0);
  });
  std::vector<analysis::AbLog> sorted;
  sorted.reserve(logs.size());
  for (const std::size_t k : order) sorted.push_back(std::move(logs[k]));

  const LiveCellRule rule = MakeLiveCellRule(config.image, page);
  const analysis::AdvanceOffsets offsets = withConfig ? analysis::AdvanceOffsetsOf(config.image) : analysis::AdvanceOffsets{};
  options.offsets = offsets;
  const analysis::AbPasses passes = analysis::CollectPasses(sorted, rule, options.selection, options.windowSeconds,
                                                            offsets, withConfig ? &config.image : nullptr);
  const analysis::AbResult result = analysis::CompareMaps(passes, options);
  analysis::EstimateOptions estimateOptions;
  estimateOptions.selection = options.selection;
  estimateOptions.windowSeconds = options.windowSeconds;
  estimateOptions.offsets = offsets;
  const analysis::BestEstimate estimate =
      analysis::EstimateBestAdvance(passes, page == kPageAdvance2 ? 2 : 1, estimateOptions);
  const analysis::CellLimits cellLimits = analysis::CellLimitsOf(limits, page, &config.image);
  const analysis::AbProposal proposal =
      analysis::ProposeMaps(config.image, page, estimate, pair, &cellLimits);
  const Report report{result, estimate, proposal, rule, sorted.size(), withConfig,
                      withConfig && !analysis::SameRpmPoints(config.image), pair};
  if (report.pairRefused)
    std::cerr << kProgramName << ": the two maps' rpm points differ: no next pair\n";
  std::cout << (common.json ? Json(report, mapName) : Text(report, page, options));
  return 0;
}

}  // namespace rq
