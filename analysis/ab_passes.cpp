// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/ab_passes.h"

#include <algorithm>

#include "model/image_fields.h"
#include "model/parameter_table.h"

namespace rq::analysis {

namespace {

std::uint64_t StratumKey(std::size_t log, std::int64_t window, unsigned gear) {
  return (std::uint64_t(log) << 44) | (std::uint64_t(std::max<std::int64_t>(window, 0)) << 4) | gear;
}

}  // namespace

AdvanceOffsets AdvanceOffsetsOf(const ParameterImage& image) {
  AdvanceOffsets out;
  const int cylinder = int(image.byte(kAdvanceCorrection.first)) - 100;
  for (int g = 0; g <= 6; ++g) {
    const int row = g <= 1 ? 0 : g - 1;  // neutral and first share the first gear's row
    out.gear[std::size_t(g)] = float(int(image.byte(kGearAdvanceCorrection.first + row)) - 100 + cylinder);
  }
  return out;
}

double ExpectedAdvance(const ParameterImage& image, int mapPage, double rpm, double throttle) {
  const MapDef& map = *MapOfPage(mapPage);
  auto cell = [&](int r, int c) { return double(image[map.cells.at(r, c)]); };
  // The place on the rpm axis: the column below and the share of the way to the next.
  int c = 0;
  double fc = 0;
  const double first = image[map.axis[0]], last = image[map.axis[kMapColumns - 1]];
  if (rpm >= last) {
    c = kMapColumns - 1;
  } else if (rpm > first) {
    while (c + 1 < kMapColumns && rpm >= image[map.axis[c + 1]]) ++c;
    const double a = image[map.axis[c]], b = image[map.axis[std::min(c + 1, kMapColumns - 1)]];
    fc = b > a ? (rpm - a) / (b - a) : 0;
  }
  const int c1 = std::min(c + 1, kMapColumns - 1);
  auto along = [&](int r) { return cell(r, c) + (cell(r, c1) - cell(r, c)) * fc; };
  if (image[kMapsUseThrottle] == 0) return along(kMapRows - 1);
  const double percent = throttle / 10;
  int r = 0;
  while (r + 1 < kMapRows && percent >= kThrottleRows[r + 1]) ++r;
  if (r + 1 >= kMapRows) return along(kMapRows - 1);
  const double fr = std::max(0.0, (percent - kThrottleRows[r]) / double(kThrottleRows[r + 1] - kThrottleRows[r]));
  return along(r) + (along(r + 1) - along(r)) * fr;
}

std::vector<RowReason> PlaceAbRows(const AbLog& log, const LiveCellRule& rule, const AbSelection& selection,
                                   std::vector<std::uint16_t>& cells) {
  const bool onMap2 = rule.page == kPageAdvance2;  // the page's own map counts as in use
  const logs::CellInputs& in = log.cells;
  std::vector<RowReason> reasons = SelectAbRows(log, selection);
  cells.assign(in.rows(), kNoCell);
  for (std::size_t i = 0; i < in.rows(); ++i) {
    RowReason& reason = reasons[i];
    if (reason != RowReason::Counted) continue;
    const LiveCell live = LiveCellAt(rule, in.rpm[i], in.throttle[i], onMap2);
    if (!live.cellMarked) {
      reason = RowReason::NoCell;
      continue;
    }
    if (log.accelerationDerived && LiveCellAt(rule, in.rpm[i - 1], in.throttle[i - 1], onMap2) != live) {
      reason = RowReason::AccelerationUnknown;  // a derived rise has a row before it
      continue;
    }
    cells[i] = std::uint16_t(live.row * kMapColumns + live.column);
  }
  return reasons;
}

AbPasses CollectPasses(std::span<const AbLog> logs, const LiveCellRule& rule,
                       const AbSelection& selection, double windowSeconds,
                       const AdvanceOffsets& offsets, const ParameterImage* reference) {
  AbPasses out;
  out.logs = logs.size();
  out.referenced = reference != nullptr;
  if (reference != nullptr)
    for (int r = 0; r < kMapRows; ++r)
      for (int c = 0; c < kMapColumns; ++c)
        for (int m = 0; m < 2; ++m)
          out.points[std::size_t(m)][std::size_t(r)][std::size_t(c)] =
              float(AdvanceAt(*reference, m == 0 ? kPageAdvance1 : kPageAdvance2, rule.rpmPoints[c], r));
  const double window = windowSeconds > 0 ? windowSeconds : std::numeric_limits<double>::infinity();
  std::vector<std::uint16_t> cells;
  for (std::size_t l = 0; l < logs.size(); ++l) {
    const AbLog& log = logs[l];
    const logs::CellInputs& in = log.cells;
    out.totalRows += in.rows();
    out.derivedLogs += log.accelerationDerived ? 1 : 0;
    const bool withAdvance = !log.advance.empty();
    const std::vector<RowReason> reasons = PlaceAbRows(log, rule, selection, cells);
    std::size_t previous = std::numeric_limits<std::size_t>::max();  // last counted row
    for (std::size_t i = 0; i < in.rows(); ++i) {
      const RowReason reason = reasons[i];
      ++out.rows[std::size_t(reason)];
      if (reason != RowReason::Counted) continue;
      const std::uint16_t cell = cells[i];
      const std::uint8_t map = in.secondMap[i] != 0 ? 1 : 0;
      const std::uint8_t gear = in.gear[i];
      const double a = log.acceleration[i];
      const double advance = withAdvance ? double(log.advance[i]) - offsets.gear[gear] : 0;
      const bool knownAdvance = withAdvance && std::isfinite(advance);
      const bool continues = previous + 1 == i && !out.passes.empty() && out.passes.back().cell == cell &&
                             out.passes.back().gear == gear && out.passes.back().map == map &&
                             in.time[i] - in.time[previous] <= logs::kSteadyGapS;
      previous = i;
      if (!continues) {
        const auto w = std::int64_t(std::floor(in.time[i] / window));
        out.passes.push_back({StratumKey(l, w, gear), std::uint32_t(l), cell, gear, map, 0, 0, 0, 0, 0, 0});
      }
      AbPass& p = out.passes.back();
      ++p.rows;
      p.sum += a;
      p.sumSquares += a * a;
      if (knownAdvance) {
        p.advanceSum += advance;
        ++p.advanceRows;
        if (reference != nullptr)
          p.expectedSum += ExpectedAdvance(*reference, map ? kPageAdvance2 : kPageAdvance1, in.rpm[i], in.throttle[i]);
      }
    }
  }
  return out;
}

RiddenMaps RiddenMapsOf(const AbPasses& passes) {
  RiddenMaps out;
  out.logs = passes.logs;
  const std::size_t n = passes.logs * kCells;
  std::vector<std::array<double, 2>> sum(n, {0, 0}), expected(n, {0, 0});
  std::vector<std::array<std::uint32_t, 2>> count(n, {0, 0});
  out.rows.assign(n, 0);
  for (const AbPass& p : passes.passes) {
    const std::size_t k = std::size_t(p.log) * kCells + p.cell;
    sum[k][p.map] += p.advanceSum;
    expected[k][p.map] += p.expectedSum;
    count[k][p.map] += p.advanceRows;
    out.rows[k] += p.rows;
  }
  const float nan = std::numeric_limits<float>::quiet_NaN();
  out.mean.assign(n, {nan, nan});
  out.expected.assign(n, {nan, nan});
  for (std::size_t k = 0; k < n; ++k)
    for (std::size_t m = 0; m < 2; ++m)
      if (count[k][m] > 0) {
        out.mean[k][m] = float(sum[k][m] / count[k][m]);
        if (passes.referenced) out.expected[k][m] = float(expected[k][m] / count[k][m]);
      }
  return out;
}

int AdvanceAt(const ParameterImage& image, int mapPage, int rpm, int row) {
  const MapDef& map = *MapOfPage(mapPage);
  auto point = [&](int c) { return int(image[map.axis[c]]); };
  auto cell = [&](int c) { return int(image[map.cells.at(row, c)]); };
  for (int c = 0; c < kMapColumns; ++c)
    if (point(c) == rpm) return cell(c);
  if (rpm <= point(0)) return cell(0);
  for (int c = 0; c + 1 < kMapColumns; ++c) {
    const int a = point(c), b = point(c + 1);
    if (rpm > a && rpm < b)
      return int(std::lround(cell(c) + double(cell(c + 1) - cell(c)) * (rpm - a) / (b - a)));
  }
  return cell(kMapColumns - 1);
}

MapPair MapPairOf(const ParameterImage& image, const LiveCellRule& rule) {
  MapPair out;
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c) {
      const int rpm = rule.rpmPoints[c];
      out.map1[std::size_t(r)][std::size_t(c)] = float(AdvanceAt(image, kPageAdvance1, rpm, r));
      out.map2[std::size_t(r)][std::size_t(c)] = float(AdvanceAt(image, kPageAdvance2, rpm, r));
    }
  return out;
}

bool RodeMaps(const std::array<float, 2>& ridden, double reference1, double reference2, double tolerance) {
  auto fits = [tolerance](float r, double reference) {
    return std::isnan(r) || std::fabs(double(r) - reference) <= tolerance;
  };
  return fits(ridden[0], reference1) && fits(ridden[1], reference2);
}

}  // namespace rq::analysis
