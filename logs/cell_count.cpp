// SPDX-License-Identifier: GPL-3.0-or-later
#include "logs/cell_count.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "protocol/channel_table.h"

namespace rq::logs {

namespace {

template <typename T>
bool Fill(const LogTable& log, std::string_view key, double factor, T max, std::vector<T>& out) {
  const int c = log.find(key);
  if (c < 0) return false;
  const LogColumn& col = log.column(static_cast<std::size_t>(c));
  out.resize(log.rows());
  for (std::size_t i = 0; i < log.rows(); ++i) {
    const double v = std::nearbyint(col.value(i) * factor);
    out[i] = v <= 0 ? T(0) : v >= static_cast<double>(max) ? max : static_cast<T>(v);
  }
  return true;
}

}  // namespace

std::optional<CellInputs> ExtractCellInputs(const LogTable& log, std::string& error) {
  CellInputs in;
  if (!Fill<std::uint16_t>(log, kCellInputChannels[0] /* rpm */, 1.0, 65535, in.rpm)) {
    error = "the log has no rpm column";
    return std::nullopt;
  }
  in.time = log.time();
  in.hasThrottle = Fill<std::uint16_t>(log, kCellInputChannels[1] /* throttle_pct */, 10.0, 1000, in.throttle);
  if (!in.hasThrottle) in.throttle.assign(log.rows(), 0);
  in.hasSecondMap = Fill<std::uint8_t>(log, kCellInputChannels[2] /* second_map */, 1.0, 1, in.secondMap);
  if (!in.hasSecondMap) in.secondMap.assign(log.rows(), 0);
  in.hasGear = Fill<std::uint8_t>(log, kCellInputChannels[3] /* gear */, 1.0, 255, in.gear);
  if (!in.hasGear) in.gear.assign(log.rows(), 0);
  return in;
}

bool TimesAdvance(const CellInputs& in) {
  if (in.time.size() < 2) return true;
  for (std::size_t i = 1; i < in.time.size(); ++i)
    if (in.time[i] > in.time[i - 1]) return true;
  return false;
}

LiveCell CellOfRow(const LiveCellRule& rule, const CellInputs& in, std::size_t i) {
  return LiveCellAt(rule, in.rpm[i], in.throttle[i], in.secondMap[i] != 0);
}

namespace {

// Whether rows a and b are within the steady limits of each other.
inline bool SteadyPair(const CellInputs& in, const CellFilter& f, std::size_t a, std::size_t b) {
  const double dt = in.time[b] - in.time[a];
  if (!(dt > 0) || dt > kSteadyGapS) return false;
  const double dRpm = std::abs(int(in.rpm[b]) - int(in.rpm[a]));
  const double dThr = std::abs(int(in.throttle[b]) - int(in.throttle[a])) / 10.0;
  return dRpm <= f.maxRpmPerS * dt && dThr <= f.maxThrottlePctPerS * dt;
}

inline bool Passes(const CellInputs& in, const CellFilter& f, std::size_t i) {
  const unsigned g = in.gear[i];
  if (f.gears != kAllGears && (g > 6 || (f.gears & (1u << g)) == 0)) return false;
  if (!f.steadyOnly) return true;
  const std::size_t n = in.rows();
  // Against the row before; the first row and a row after a gap against the row after.
  if (i > 0) {
    const double dt = in.time[i] - in.time[i - 1];
    if (dt > 0 && dt <= kSteadyGapS) return SteadyPair(in, f, i - 1, i);
  }
  return i + 1 < n && SteadyPair(in, f, i, i + 1);
}

}  // namespace

std::vector<std::uint8_t> RowsPassing(const CellInputs& in, const CellFilter& filter) {
  std::vector<std::uint8_t> out(in.rows());
  for (std::size_t i = 0; i < in.rows(); ++i) out[i] = Passes(in, filter, i) ? 1 : 0;
  return out;
}

namespace {

// Walks the rows that pass the filters and have a cell, counting them; visit(row, r, c) sees
// each of them, so that whatever else is gathered per cell covers exactly the counted rows.
template <typename Visit>
CellCounts WalkCells(const CellInputs& in, const LiveCellRule& rule, const CellFilter& filter,
                     Visit&& visit) {
  CellCounts counts;
  counts.minRows = std::max(filter.minRows, 1);
  for (std::size_t i = 0; i < in.rows(); ++i) {
    if (!Passes(in, filter, i)) {
      ++counts.filtered;
      continue;
    }
    const LiveCell cell = CellOfRow(rule, in, i);
    if (!cell.cellMarked) {
      ++counts.unmarked;
      continue;
    }
    ++counts.rows[cell.row][cell.column];
    ++counts.counted;
    visit(i, cell.row, cell.column);
  }
  return counts;
}

}  // namespace

CellCounts CountCells(const CellInputs& in, const LiveCellRule& rule, const CellFilter& filter) {
  return WalkCells(in, rule, filter, [](std::size_t, int, int) {});
}

std::optional<CellStatistic> ParseCellStatistic(std::string_view name) {
  if (name == "mean") return CellStatistic::Mean;
  if (name == "min") return CellStatistic::Min;
  if (name == "max") return CellStatistic::Max;
  return std::nullopt;
}

int CellStatisticDecimals(std::string_view columnName, CellStatistic s) {
  const Channel* channel = FindChannel(columnName);
  const int decimals = channel != nullptr ? channel->decimals : 2;
  return s == CellStatistic::Mean && decimals == 0 ? 1 : decimals;
}

const char* CellStatisticName(CellStatistic s) {
  switch (s) {
    case CellStatistic::Mean: return "mean";
    case CellStatistic::Min: return "min";
    case CellStatistic::Max: return "max";
  }
  return "mean";
}

std::optional<double> CellChannelStats::value(CellStatistic s, int row, int column) const {
  const int n = counts.rows[row][column];
  if (n <= 0) return std::nullopt;
  switch (s) {
    case CellStatistic::Mean: return sum[row][column] / n;
    case CellStatistic::Min: return min[row][column];
    case CellStatistic::Max: return max[row][column];
  }
  return std::nullopt;
}

CellChannelStats CountCellsWithChannel(const CellInputs& in, const LiveCellRule& rule,
                                       const CellFilter& filter, const LogColumn& channel) {
  CellChannelStats stats;
  for (auto& row : stats.min) row.fill(std::numeric_limits<double>::infinity());
  for (auto& row : stats.max) row.fill(-std::numeric_limits<double>::infinity());
  stats.counts = WalkCells(in, rule, filter, [&](std::size_t i, int r, int c) {
    const double v = channel.value(i);
    stats.sum[r][c] += v;
    stats.min[r][c] = std::min(stats.min[r][c], v);
    stats.max[r][c] = std::max(stats.max[r][c], v);
  });
  return stats;
}

std::optional<std::size_t> NextRowInCell(const CellInputs& in, const LiveCellRule& rule,
                                         const CellFilter& filter, std::size_t from, int row,
                                         int column) {
  const std::size_t n = in.rows();
  for (std::size_t k = 1; k <= n; ++k) {
    const std::size_t i = (from + k) % n;
    if (!Passes(in, filter, i)) continue;
    const LiveCell cell = CellOfRow(rule, in, i);
    if (cell.cellMarked && cell.row == row && cell.column == column) return i;
  }
  return std::nullopt;
}

}  // namespace rq::logs
