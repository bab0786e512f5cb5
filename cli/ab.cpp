// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ab.h"

#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>

#include "analysis/ab_compare.h"
#include "analysis/ab_proposal.h"
#include "cli/arguments.h"
#include "cli/grid_text.h"
#include "cli/output.h"
#include "logs/cell_count.h"
#include "logs/log_table.h"
#include "model/parameter_table.h"

namespace rq {

namespace {

constexpr const char* kAbUsage =
    "usage: ab LOG.csv [LOG.csv ...] [--config FILE.ign] [--map advance1|advance2] [--json]\n"
    "       [--min-rows N] [--gear G[,G...]] [--step DEG]";

// A percentage to two decimals, as JSON.
std::string JsonPercent(std::optional<double> v) {
  if (v) v = std::round(*v * 100) / 100;
  return JsonNumber(v);
}

std::string CellJson(const analysis::AbCell& c, const analysis::AbProposal& p, int r, int col) {
  if (!c.visited()) return "null";
  const std::size_t ri = std::size_t(r), ci = std::size_t(col);
  return "{\"rows1\":" + std::to_string(c.rows1) + ",\"rows2\":" + std::to_string(c.rows2) +
         ",\"compared1\":" + std::to_string(c.compared1) + ",\"compared2\":" +
         std::to_string(c.compared2) + ",\"passes1\":" + std::to_string(c.passes1) +
         ",\"passes2\":" + std::to_string(c.passes2) + ",\"gain_pct\":" + JsonPercent(c.gainPct) +
         ",\"ci_low_pct\":" + JsonPercent(c.lowPct) + ",\"ci_high_pct\":" + JsonPercent(c.highPct) +
         ",\"better\":" + std::to_string(c.better) + ",\"advance1\":" +
         std::to_string(p.advance1[ri][ci]) + ",\"advance2\":" + std::to_string(p.advance2[ri][ci]) +
         "}";
}

std::string ValuesJson(const analysis::MapValues& v) {
  return JsonGrid([&](int r, int col) { return std::to_string(v[std::size_t(r)][std::size_t(col)]); });
}

std::string Json(const analysis::AbResult& result, const analysis::AbProposal& proposal,
                 const LiveCellRule& rule, const std::string& map, std::size_t logCount,
                 bool withConfig) {
  std::string o = "{\"map\":\"" + map + "\",\"logs\":" + std::to_string(logCount) +
                  ",\"rows\":" + std::to_string(result.totalRows) + ",\"counted\":" +
                  std::to_string(result.count(analysis::RowReason::Counted)) + ",\"left_out\":{";
  for (int k = 1; k < analysis::kRowReasons; ++k) {
    const auto reason = analysis::RowReason(k);
    o += std::string(k > 1 ? "," : "") + "\"" + analysis::RowReasonKey(reason) +
         "\":" + std::to_string(result.count(reason));
  }
  o += "},\"acceleration_from_rpm\":" + std::to_string(result.derivedLogs) + "," +
       JsonAxes(rule.rpmPoints) + ",\"cells\":" + JsonGrid([&](int r, int col) {
         return CellJson(result.at(r, col), proposal, r, col);
       });
  if (withConfig) {
    o += ",\"proposal\":" + ValuesJson(proposal.proposal) + ",\"next_map1\":" +
         ValuesJson(proposal.next1) + ",\"next_map2\":" + ValuesJson(proposal.next2) +
         ",\"clamped\":[";
    for (std::size_t k = 0; k < proposal.clamped.size(); ++k) {
      const analysis::ClampedCell& c = proposal.clamped[k];
      o += std::string(k ? "," : "") + "{\"map\":" + std::to_string(c.map) + ",\"row\":" +
           std::to_string(c.row) + ",\"column\":" + std::to_string(c.column) + ",\"wanted\":" +
           std::to_string(c.wanted) + ",\"got\":" + std::to_string(c.got) + "}";
    }
    o += "]";
  }
  return o + "}\n";
}

// A cell of the text table: the gain with one decimal and the verdict's mark.
std::string CellText(const analysis::AbCell& c) {
  if (!c.visited()) return ".";
  if (!c.gainPct) return "-";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%+.1f %c", *c.gainPct,
                c.better == 2 ? '2' : c.better == 1 ? '1' : '.');
  return buf;
}

std::string Text(const analysis::AbResult& result, const analysis::AbProposal& proposal,
                 const LiveCellRule& rule, int page, std::size_t logCount, bool withConfig,
                 const analysis::AbOptions& options) {
  const std::string pageName = PageName(page);
  std::string o = "Acceleration with map 2 against map 1 in each cell of " + pageName + ", in %:\n";
  o += TextGrid(rule.rpmPoints, 9, [&](int r, int col) { return CellText(result.at(r, col)); });
  o += "mark 2: map 2 pulled harder, 1: map 1 pulled harder (the whole 95 % interval beyond 0), "
       ".: no verdict\n"
       "-: no rows of both maps in one gear and time window; .: no rows\n";
  int verdicts[3] = {0, 0, 0};
  for (const auto& row : result.cells)
    for (const auto& cell : row) ++verdicts[cell.better];
  o += "verdicts: " + std::to_string(verdicts[2]) + " cells for map 2, " +
       std::to_string(verdicts[1]) + " for map 1 (at least " + std::to_string(options.minRows) +
       " rows and " + std::to_string(options.minPasses) + " passes of each map compared)\n";
  o += std::to_string(result.totalRows) + " rows in " + std::to_string(logCount) +
       (logCount == 1 ? " log, " : " logs, ") +
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
         " no acceleration column: the acceleration is the rise of engine speed between rows\n";
  if (!withConfig) return o;
  // A map's values, * where they differ from `before`.
  auto values = [&](const analysis::MapValues& v, const analysis::MapValues& before) {
    return TextGrid(rule.rpmPoints, 7, [&](int r, int col) {
      const std::size_t ri = std::size_t(r), ci = std::size_t(col);
      return std::to_string(v[ri][ci]) + (before[ri][ci] != v[ri][ci] ? "*" : " ");
    });
  };
  const analysis::MapValues& tuned = page == kPageAdvance2 ? proposal.advance2 : proposal.advance1;
  o += "\nProposal for " + pageName + " (* changed):\n" + values(proposal.proposal, tuned);
  o += "\nNext pair: map 1 = the proposal; map 2 (* changed from the present map 2):\n" +
       values(proposal.next2, proposal.advance2);
  for (const analysis::ClampedCell& c : proposal.clamped)
    o += (c.map == 1 ? "proposal" : "next map 2") + std::string(" at ") +
         std::to_string(kThrottleRows[c.row]) + " %, " + std::to_string(rule.rpmPoints[c.column]) +
         " rpm held at " + std::to_string(c.got) + " instead of " + std::to_string(c.wanted) + "\n";
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
  common.firstGear = 1;
  int step = 2;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string message;
    if (const int taken = TakeLogOption(args, i, common, "advance1 or advance2", message)) {
      if (taken < 0) return usage(message);
      continue;
    }
    if (a == "--step") {
      if (i + 1 >= args.size() || !ParseInt(args[++i], step) || step < 1 || step > 20)
        return usage("--step needs a whole number of degrees from 1 to 20");
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

  std::vector<analysis::AbLog> logs;
  logs::LoadOptions load;
  load.keepColumn = analysis::ReadForComparison;
  for (const std::string& path : logPaths) {
    const logs::LoadResult loaded = logs::LoadCsvFile(path, load);
    if (!loaded.ok()) return Failure(path + ": " + loaded.error.message);
    auto log = analysis::ExtractAbLog(*loaded.table, error);
    if (!log) return Failure(path + ": " + error);
    if (!logs::TimesAdvance(log->cells)) return Failure(path + ": " + kTimesDoNotAdvance);
    logs.push_back(std::move(*log));
  }
  const LiveCellRule rule = MakeLiveCellRule(config.image, page);
  const analysis::AbResult result = analysis::CompareMaps(logs, rule, options);
  const analysis::AbProposal proposal = analysis::ProposeMaps(config.image, page, result, step);
  const bool withConfig = !common.config.empty();
  std::cout << (common.json ? Json(result, proposal, rule, mapName, logs.size(), withConfig)
                     : Text(result, proposal, rule, page, logs.size(), withConfig, options));
  return 0;
}

}  // namespace rq
