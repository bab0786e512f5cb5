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
#include "model/defaults.h"
#include "model/parameter_table.h"

namespace rq {

namespace {


constexpr const char* kUsage =
    "usage: cells LOG.csv --map advance1|advance2|servo [--config FILE.ign] [--json]\n"
    "       [--min-rows N] [--steady] [--max-rpm-rate RPM_PER_S] [--max-throttle-rate PCT_PER_S]\n"
    "       [--gear G[,G...]]";

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

std::string Json(const logs::CellCounts& c, const LiveCellRule& rule, const char* map,
                 std::size_t rows) {
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
  return o + "]}\n";
}

// A grid like the map page's, 100 % at the top: counts, "(n)" under the minimum, "." never.
std::string Table(const logs::CellCounts& c, const LiveCellRule& rule, std::size_t rows) {
  char buf[32];
  std::string o = "throttle % \\ rpm";
  for (int col = 0; col < kMapColumns; ++col) {
    std::snprintf(buf, sizeof buf, "%7d", rule.rpmPoints[col]);
    o += buf;
  }
  o += '\n';
  for (int r = kMapRows - 1; r >= 0; --r) {
    std::snprintf(buf, sizeof buf, "%16d", kThrottleRows[r]);
    o += buf;
    for (int col = 0; col < kMapColumns; ++col) {
      const int n = c.rows[r][col];
      if (n == 0)
        std::snprintf(buf, sizeof buf, "%7s", ".");
      else if (!c.enough(r, col))
        std::snprintf(buf, sizeof buf, "%7s", ("(" + std::to_string(n) + ")").c_str());
      else
        std::snprintf(buf, sizeof buf, "%7d", n);
      o += buf;
    }
    o += '\n';
  }
  o += std::to_string(rows) + " rows: " + std::to_string(c.counted) + " counted, " +
       std::to_string(c.filtered) + " left out by the filters, " + std::to_string(c.unmarked) +
       " without a cell (engine stopped or the other advance map in use)\n";
  if (c.minRows > 1)
    o += "(n): fewer than " + std::to_string(c.minRows) + " rows, not enough data\n";
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
  std::string logPath, configPath, mapName;
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

  LoadedConfiguration config;
  config.image = NewConfiguration();
  std::string error;
  if (!configPath.empty() && !LoadConfigurationFile(configPath, config, error)) return fail(error);

  const logs::LoadResult loaded = logs::LoadCsvFile(logPath);
  if (!loaded.ok()) return fail(logPath + ": " + loaded.error.message);
  const auto inputs = logs::ExtractCellInputs(*loaded.table, error);
  if (!inputs) return fail(logPath + ": " + error);
  if (filter.gears != logs::kAllGears && !inputs->hasGear)
    return fail(logPath + ": the log has no gear column");

  const LiveCellRule rule = MakeLiveCellRule(config.image, page);
  const logs::CellCounts counts = logs::CountCells(*inputs, rule, filter);
  std::cout << (json ? Json(counts, rule, mapName.c_str(), inputs->rows())
                     : Table(counts, rule, inputs->rows()));
  return 0;
}

}  // namespace rq
