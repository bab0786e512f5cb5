// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cells.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>

#include "cli/output.h"
#include "logs/cell_count.h"
#include "logs/log_table.h"
#include "model/config_file.h"
#include "model/configuration_text.h"
#include "model/defaults.h"
#include "model/parameter_table.h"
#include "protocol/channel_table.h"

namespace rq {

namespace {

constexpr const char* kUsage =
    "usage: cells LOG.csv --map advance1|advance2|servo [--config FILE.ign] [--json]\n"
    "       [--min-rows N] [--steady] [--max-rpm-rate RPM_PER_S] [--max-throttle-rate PCT_PER_S]\n"
    "       [--gear G[,G...]] [--channel KEY [--stat mean|min|max]]";

bool ParseDouble(const std::string& s, double& out) {
  const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size() && out >= 0;
}

bool ParseInt(const std::string& s, int& out) {
  const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// "3" or "2,3,4": bit g for each gear g.
bool ParseGears(const std::string& s, std::uint8_t& bits) {
  bits = 0;
  std::size_t start = 0;
  while (start <= s.size()) {
    const std::size_t end = std::min(s.find(',', start), s.size());
    int g = -1;
    if (!ParseInt(s.substr(start, end - start), g) || g < 0 || g > 6) return false;
    bits = static_cast<std::uint8_t>(bits | (1u << g));
    start = end + 1;
  }
  return bits != 0;
}

// A statistic per cell of one column: which column, which statistic, and the values.
struct ChannelShown {
  std::string key;
  logs::CellStatistic stat = logs::CellStatistic::Mean;
  logs::CellChannelStats stats;
};

// A JSON number (shortest form that reads back the same), null for a cell without rows.
std::string JsonNumber(std::optional<double> v) {
  if (!v) return "null";
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, *v);
  return std::string(buf, r.ptr);
}

std::string JsonGrid(const ChannelShown& s, logs::CellStatistic stat) {
  std::string o = "[";
  for (int r = 0; r < kMapRows; ++r) {
    o += r ? ",[" : "[";
    for (int col = 0; col < kMapColumns; ++col)
      o += (col ? "," : "") + JsonNumber(s.stats.value(stat, r, col));
    o += "]";
  }
  return o + "]";
}

std::string Json(const logs::CellCounts& c, const LiveCellRule& rule, const char* map,
                 std::size_t rows, const ChannelShown* shown) {
  std::string o = "{\"map\":\"" + std::string(map) + "\",\"rows\":" + std::to_string(rows) +
                  ",\"counted\":" + std::to_string(c.counted) + ",\"filtered\":" +
                  std::to_string(c.filtered) + ",\"unmarked\":" + std::to_string(c.unmarked) +
                  ",\"min_rows\":" + std::to_string(c.minRows) + ",\"rpm\":[";
  for (int col = 0; col < kMapColumns; ++col)
    o += (col ? "," : "") + std::to_string(rule.rpmPoints[col]);
  o += "],\"throttle_pct\":[";
  for (int r = 0; r < kMapRows; ++r) o += (r ? "," : "") + std::to_string(kThrottleRows[r]);
  o += "],\"count\":[";
  for (int r = 0; r < kMapRows; ++r) {
    o += r ? ",[" : "[";
    for (int col = 0; col < kMapColumns; ++col)
      o += (col ? "," : "") + std::to_string(c.rows[r][col]);
    o += "]";
  }
  o += "],\"enough\":[";
  for (int r = 0; r < kMapRows; ++r) {
    o += r ? ",[" : "[";
    for (int col = 0; col < kMapColumns; ++col)
      o += std::string(col ? "," : "") + (c.enough(r, col) ? "true" : "false");
    o += "]";
  }
  o += "]";
  if (shown != nullptr) {
    using S = logs::CellStatistic;
    o += ",\"channel\":" + JsonString(shown->key) + ",\"stat\":\"" +
         logs::CellStatisticName(shown->stat) + "\",\"value\":" + JsonGrid(*shown, shown->stat) +
         ",\"mean\":" + JsonGrid(*shown, S::Mean) + ",\"min\":" + JsonGrid(*shown, S::Min) +
         ",\"max\":" + JsonGrid(*shown, S::Max);
  }
  return o + "}\n";
}

// Digits after the point of a column's statistic: the monitor log's own for a channel, two for
// other tools' columns; the mean of a channel of whole numbers gets one, so that the mean of a
// flag does not round away.
int StatDecimals(const std::string& key, logs::CellStatistic stat) {
  const Channel* channel = FindChannel(key);
  const int decimals = channel != nullptr ? channel->decimals : 2;
  return stat == logs::CellStatistic::Mean && decimals == 0 ? 1 : decimals;
}

// A grid like the map page's, 100 % at the top: counts, "(n)" under the minimum, "." never.
// With a channel: its statistic per cell instead of the count, "(v)" under the minimum.
std::string Table(const logs::CellCounts& c, const LiveCellRule& rule, std::size_t rows,
                  const ChannelShown* shown) {
  char buf[64];
  auto text = [&](int r, int col) -> std::string {
    const int n = c.rows[r][col];
    if (n == 0) return ".";
    std::string v = std::to_string(n);
    if (shown != nullptr) {
      std::snprintf(buf, sizeof buf, "%.*f", StatDecimals(shown->key, shown->stat),
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
  std::string o = "throttle % \\ rpm";
  for (int col = 0; col < kMapColumns; ++col) {
    std::snprintf(buf, sizeof buf, "%*d", width, rule.rpmPoints[col]);
    o += buf;
  }
  o += '\n';
  for (int r = kMapRows - 1; r >= 0; --r) {
    std::snprintf(buf, sizeof buf, "%16d", kThrottleRows[r]);
    o += buf;
    for (int col = 0; col < kMapColumns; ++col) {
      std::snprintf(buf, sizeof buf, "%*s", width, text(r, col).c_str());
      o += buf;
    }
    o += '\n';
  }
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
  auto usage = [](const std::string& message) {
    std::cerr << "rq_vtmx4_cli: " << message << "\n" << kUsage << "\n";
    return kExitUsage;
  };
  auto fail = [](const std::string& message) {
    std::cerr << "rq_vtmx4_cli: " << message << "\n";
    return kExitFailure;
  };
  std::string logPath, configPath, mapName, channelKey, statName;
  bool json = false;
  logs::CellFilter filter;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--json") {
      json = true;
    } else if (a == "--map") {
      if (!value(mapName)) return usage("--map needs advance1, advance2 or servo");
    } else if (a == "--config") {
      if (!value(configPath)) return usage("--config needs a file");
    } else if (a == "--min-rows") {
      if (!value(v) || !ParseInt(v, filter.minRows) || filter.minRows < 1)
        return usage("--min-rows needs a whole number of 1 or more");
    } else if (a == "--steady") {
      filter.steadyOnly = true;
    } else if (a == "--max-rpm-rate") {
      if (!value(v) || !ParseDouble(v, filter.maxRpmPerS))
        return usage("--max-rpm-rate needs a number of rpm per second");
      filter.steadyOnly = true;
    } else if (a == "--max-throttle-rate") {
      if (!value(v) || !ParseDouble(v, filter.maxThrottlePctPerS))
        return usage("--max-throttle-rate needs a number of percent per second");
      filter.steadyOnly = true;
    } else if (a == "--gear") {
      if (!value(v) || !ParseGears(v, filter.gears))
        return usage("--gear needs gears 0 to 6, separated by commas");
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
  if (logPath.empty()) return usage("no log given");
  int page = -1;
  if (mapName == "advance1") page = kPageAdvance1;
  else if (mapName == "advance2") page = kPageAdvance2;
  else if (mapName == "servo") page = kPageServo;
  else return usage(mapName.empty() ? "--map is required" : "unknown map " + mapName);
  if (!statName.empty() && channelKey.empty()) return usage("--stat needs --channel");

  LoadedConfiguration config;
  config.image = NewConfiguration();
  std::string error;
  if (!configPath.empty() && !LoadConfigurationFile(configPath, config, error)) return fail(error);

  const logs::LoadResult loaded = logs::LoadCsvFile(logPath);
  if (!loaded.ok()) return fail(logPath + ": " + loaded.error.message);
  const auto inputs = logs::ExtractCellInputs(*loaded.table, error);
  if (!inputs) return fail(logPath + ": " + error);
  if (filter.gears != 0x7F && !inputs->hasGear) return fail(logPath + ": the log has no gear column");

  const LiveCellRule rule = MakeLiveCellRule(config.image, page);
  std::optional<ChannelShown> shown;
  if (!channelKey.empty()) {
    const int column = loaded.table->find(channelKey);
    if (column < 0) return fail(logPath + ": the log has no column " + channelKey);
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
