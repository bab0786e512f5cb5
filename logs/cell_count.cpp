// SPDX-License-Identifier: GPL-3.0-or-later
#include "logs/cell_count.h"

#include <algorithm>
#include <cmath>

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
  if (!Fill<std::uint16_t>(log, "rpm", 1.0, 65535, in.rpm)) {
    error = "the log has no rpm column";
    return std::nullopt;
  }
  in.time = log.time();
  in.hasThrottle = Fill<std::uint16_t>(log, "throttle_pct", 10.0, 1000, in.throttle);
  if (!in.hasThrottle) in.throttle.assign(log.rows(), 0);
  in.hasSecondMap = Fill<std::uint8_t>(log, "second_map", 1.0, 1, in.secondMap);
  if (!in.hasSecondMap) in.secondMap.assign(log.rows(), 0);
  in.hasGear = Fill<std::uint8_t>(log, "gear", 1.0, 255, in.gear);
  if (!in.hasGear) in.gear.assign(log.rows(), 0);
  return in;
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

CellCounts CountCells(const CellInputs& in, const LiveCellRule& rule, const CellFilter& filter) {
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
  }
  return counts;
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
