// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cells.h"

#include <cstdio>
#include <iostream>
#include <optional>

#include "cli/arguments.h"
#include "cli/grid_text.h"
#include "cli/output.h"
#include "logs/cell_count.h"
#include "logs/log_table.h"
#include "model/configuration_text.h"
#include "model/parameter_table.h"
#include "protocol/channel_table.h"

namespace rq {

namespace {

constexpr const char* kUsage =
    "usage: cells LOG.csv --map advance1|advance2|servo [--config FILE.ign] [--json]\n"
    "       [--min-rows N] [--steady] [--max-rpm-rate RPM_PER_S] [--max-throttle-rate PCT_PER_S]\n"
    "       [--gear G[,G...]] [--channel KEY [--stat mean|min|max]]";

// A statistic per cell of one column: which column, which statistic, and the values.
struct ChannelShown {
  std::string key;
  logs::CellStatistic stat = logs::CellStatistic::Mean;
  logs::CellChannelStats stats;
};

std::string StatGrid(const ChannelShown& s, logs::CellStatistic stat) {
  return JsonGrid([&](int r, int col) { return JsonNumber(s.stats.value(stat, r, col)); });
}

std::string Json(const logs::CellCounts& c, const LiveCellRule& rule, const char* map,
                 std::size_t rows, const ChannelShown* shown) {
  std::string o = "{\"map\":\"" + std::string(map) + "\",\"rows\":" + std::to_string(rows) +
                  ",\"counted\":" + std::to_string(c.counted) + ",\"filtered\":" +
                  std::to_string(c.filtered) + ",\"unmarked\":" + std::to_string(c.unmarked) +
                  ",\"min_rows\":" + std::to_string(c.minRows) + "," + JsonAxes(rule.rpmPoints);
  o += ",\"count\":" + JsonGrid([&](int r, int col) { return std::to_string(c.rows[r][col]); });
  o += ",\"enough\":" + JsonGrid([&](int r, int col) -> std::string {
    return c.enough(r, col) ? "true" : "false";
  });
  if (shown != nullptr) {
    using S = logs::CellStatistic;
    o += ",\"channel\":" + JsonString(shown->key) + ",\"stat\":\"" +
         logs::CellStatisticName(shown->stat) + "\",\"value\":" + StatGrid(*shown, shown->stat) +
         ",\"mean\":" + StatGrid(*shown, S::Mean) + ",\"min\":" + StatGrid(*shown, S::Min) +
         ",\"max\":" + StatGrid(*shown, S::Max);
  }
  return o + "}\n";
}

// A grid of the map page's cells, 100 % at the top: counts, "(n)" under the minimum, "." never.
// With a channel: its statistic per cell instead of the count, "(v)" under the minimum.
std::string Table(const logs::CellCounts& c, const LiveCellRule& rule, std::size_t rows,
                  const ChannelShown* shown) {
  auto text = [&](int r, int col) -> std::string {
    const int n = c.rows[r][col];
    if (n == 0) return ".";
    std::string v = std::to_string(n);
    if (shown != nullptr) {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.*f", logs::CellStatisticDecimals(shown->key, shown->stat),
                    *shown->stats.value(shown->stat, r, col));
      v = buf;
    }
    return c.enough(r, col) ? v : "(" + v + ")";
  };
  int width = 7;
  if (shown != nullptr)
    for (int r = 0; r < kMapRows; ++r)
      for (int col = 0; col < kMapColumns; ++col)
        width = std::max(width, int(text(r, col).size()) + 1);
  std::string o = TextGrid(rule.rpmPoints, width, text);
  o += std::to_string(rows) + " rows: " + std::to_string(c.counted) + " counted, " +
       std::to_string(c.filtered) + " left out by the filters, " + std::to_string(c.unmarked) +
       " without a cell (engine stopped or the other advance map in use)\n";
  if (shown != nullptr) {
    const Channel* channel = FindChannel(shown->key);
    const std::string unit = channel != nullptr && !channel->unit.empty()
                                 ? " (" + std::string(channel->unit) + ")" : "";
    o += std::string(logs::CellStatisticName(shown->stat)) + " of " + shown->key + unit +
         " over the rows counted in each cell; .: no rows\n";
  }
  if (c.minRows > 1)
    o += std::string(shown != nullptr ? "(v)" : "(n)") + ": fewer than " +
         std::to_string(c.minRows) + " rows, not enough data\n";
  return o;
}

}  // namespace

int RunCellsCommand(const std::vector<std::string>& args) {
  auto usage = [](const std::string& message) { return UsageError(message, kUsage); };
  std::string logPath, channelKey, statName;
  LogOptions common;
  logs::CellFilter filter;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string message;
    if (const int taken = TakeLogOption(args, i, common, "advance1, advance2 or servo", message)) {
      if (taken < 0) return usage(message);
      continue;
    }
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--steady") {
      filter.steadyOnly = true;
    } else if (a == "--max-rpm-rate") {
      if (!value(v) || !ParseDouble(v, filter.maxRpmPerS))
        return usage("--max-rpm-rate needs a number of rpm per second");
      filter.steadyOnly = true;
    } else if (a == "--max-throttle-rate") {
      if (!value(v) || !ParseDouble(v, filter.maxThrottlePctPerS))
        return usage("--max-throttle-rate needs a number of percent per second");
      filter.steadyOnly = true;
    } else if (a == "--channel") {
      if (!value(channelKey) || channelKey.empty()) return usage("--channel needs a column of the log");
    } else if (a == "--stat") {
      if (!value(statName) || !logs::ParseCellStatistic(statName))
        return usage("--stat needs mean, min or max");
    } else if (a.size() > 1 && a[0] == '-') {
      return usage("unknown option " + a + " for cells");
    } else if (logPath.empty()) {
      logPath = a;
    } else {
      return usage("one log only");
    }
  }
  filter.minRows = common.minRows;
  filter.gears = common.gears;
  const std::string& mapName = common.map;
  const bool json = common.json;
  if (logPath.empty()) return usage("no log given");
  int page = -1;
  if (mapName == "advance1") page = kPageAdvance1;
  else if (mapName == "advance2") page = kPageAdvance2;
  else if (mapName == "servo") page = kPageServo;
  else return usage(mapName.empty() ? "--map is required" : "unknown map " + mapName);
  if (!statName.empty() && channelKey.empty()) return usage("--stat needs --channel");

  LoadedConfiguration config;
  std::string error;
  if (!LoadLogConfiguration(common, config, error)) return Failure(error);

  const logs::LoadResult loaded = logs::LoadCsvFile(logPath);
  if (!loaded.ok()) return Failure(logPath + ": " + loaded.error.message);
  const auto inputs = logs::ExtractCellInputs(*loaded.table, error);
  if (!inputs) return Failure(logPath + ": " + error);
  if (filter.steadyOnly && !logs::TimesAdvance(*inputs))
    return Failure(logPath + ": " + kTimesDoNotAdvance);
  if (filter.gears != logs::kAllGears && !inputs->hasGear)
    return Failure(logPath + ": the log has no gear column");

  const LiveCellRule rule = MakeLiveCellRule(config.image, page);
  std::optional<ChannelShown> shown;
  if (!channelKey.empty()) {
    const int column = loaded.table->find(channelKey);
    if (column < 0) return Failure(logPath + ": the log has no column " + channelKey);
    shown = ChannelShown{channelKey, *logs::ParseCellStatistic(statName.empty() ? "mean" : statName),
                         logs::CountCellsWithChannel(*inputs, rule, filter,
                                                     loaded.table->column(std::size_t(column)))};
  }
  const logs::CellCounts counts = shown ? shown->stats.counts : logs::CountCells(*inputs, rule, filter);
  const ChannelShown* s = shown ? &*shown : nullptr;
  std::cout << (json ? Json(counts, rule, mapName.c_str(), inputs->rows(), s)
                     : Table(counts, rule, inputs->rows(), s));
  return 0;
}

}  // namespace rq
