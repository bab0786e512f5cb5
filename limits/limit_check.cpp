// SPDX-License-Identifier: GPL-3.0-or-later
// The check of the three maps against their limits, and the clamp for the tuning tools.
#include "limits/limit_check.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "model/map_model.h"

namespace rq {

namespace {

// The unit's cell in the units the PC's page shows: a servo map in the other unit is
// converted as the page's mV / percent switch converts it.
int UnitCellInPageUnits(const ParameterImage& unit, const ParameterImage& image, int page,
                        int at) {
  const int b = unit.byte(at);
  if (page != kPageServo) return b;
  const bool pcPercent = image[kServoPercent] != 0;
  const bool unitPercent = unit[kServoPercent] != 0;
  const int raw = unitPercent == pcPercent ? b
                  : pcPercent             ? ServoRawToPercent(b)
                                          : ServoPercentToRaw(b);
  return MapCellScale(image, page).step * raw;
}

// Whether the page's cells are checked at all: the servo map only while the servo is on.
bool PageChecked(const MapMode& mode) { return !mode.servo || mode.gridShown; }

std::optional<double> InPageUnits(const ParameterImage& image, int page,
                                  const std::optional<double>& limit) {
  if (!limit) return std::nullopt;
  return LimitInPageUnits(image, page, *limit);
}

void AppendPageViolations(const ParameterImage& image, int page, const PageLimits& limits,
                          const ParameterImage* unit, std::vector<Violation>& out) {
  const MapMode mode = MapModeOf(image, page);
  if (!limits.any() || !PageChecked(mode)) return;
  const MapDef& map = *MapOfPage(page);
  const int step = MapCellScale(image, page).step;
  const std::optional<double> lo = InPageUnits(image, page, limits.min);
  const std::optional<double> hi = InPageUnits(image, page, limits.max);
  const std::optional<double> jump = InPageUnits(image, page, limits.step);
  const std::optional<double> change =
      unit != nullptr ? InPageUnits(image, page, limits.change) : std::nullopt;
  auto shown = [&](int r, int c) { return step * image.byte(CellByte(map, r, c)); };
  for (int r = 0; r < kMapRows; ++r) {
    for (int c = 0; c < kMapColumns; ++c) {
      if (!CellVisible(mode, r, c)) continue;
      const int v = shown(r, c);
      auto add = [&](LimitKind kind, double limit, int other) {
        out.push_back({page, r, c, kind, v, limit, other});
      };
      if (lo && v < *lo) add(LimitKind::Min, *lo, 0);
      if (hi && v > *hi) add(LimitKind::Max, *hi, 0);
      if (jump) {
        if (c + 1 < kMapColumns && CellVisible(mode, r, c + 1)) {
          const int n = shown(r, c + 1);
          if (std::abs(v - n) > *jump) add(LimitKind::StepRight, *jump, n);
        }
        if (r + 1 < kMapRows && CellVisible(mode, r + 1, c)) {
          const int n = shown(r + 1, c);
          if (std::abs(v - n) > *jump) add(LimitKind::StepDown, *jump, n);
        }
      }
      if (change) {
        const int u = UnitCellInPageUnits(*unit, image, page, CellByte(map, r, c));
        if (std::abs(v - u) > *change) add(LimitKind::Change, *change, u);
      }
    }
  }
}

}  // namespace

const char* LimitKindName(LimitKind kind) {
  switch (kind) {
    case LimitKind::Min: return "min";
    case LimitKind::Max: return "max";
    case LimitKind::StepRight: return "step-right";
    case LimitKind::StepDown: return "step-down";
    case LimitKind::Change: return "change";
  }
  return "";
}

int ViolationDifference(const Violation& v) {
  if (v.kind == LimitKind::Min || v.kind == LimitKind::Max) return 0;
  return std::abs(v.value - v.other);
}

std::vector<Violation> CheckLimits(const ParameterImage& image, const Limits& limits,
                                   const ParameterImage* unit) {
  std::vector<Violation> out;
  for (int i = 0; i < kLimitPageCount; ++i)
    AppendPageViolations(image, kLimitPages[i], limits.pages[static_cast<std::size_t>(i)], unit,
                         out);
  return out;
}

std::vector<MapCell> ChangedCells(const ParameterImage& before, const ParameterImage& after) {
  std::vector<MapCell> cells;
  for (const int page : kLimitPages) {
    const MapDef& map = *MapOfPage(page);
    for (int r = 0; r < kMapRows; ++r)
      for (int c = 0; c < kMapColumns; ++c)
        if (before.byte(CellByte(map, r, c)) != after.byte(CellByte(map, r, c)))
          cells.push_back({page, r, c});
  }
  return cells;
}

ClampResult ClampToLimits(ParameterImage& image, std::span<const MapCell> cells,
                          const Limits& limits, const ParameterImage* unit) {
  ClampResult result;
  for (const MapCell& cell : cells) {
    const PageLimits* pl = limits.of(cell.page);
    if (pl == nullptr || cell.row < 0 || cell.row >= kMapRows || cell.column < 0 ||
        cell.column >= kMapColumns)
      continue;
    const MapMode mode = MapModeOf(image, cell.page);
    if (!PageChecked(mode) || !CellVisible(mode, cell.row, cell.column)) continue;
    const MapDef& map = *MapOfPage(cell.page);
    const CellScale scale = MapCellScale(image, cell.page);
    const int at = CellByte(map, cell.row, cell.column);
    const long old = image.byte(at);
    // The lowest and highest byte whose shown value keeps within a bound in page units; the
    // margin keeps a bound that is a whole number of steps from rounding away.
    auto lowestByte = [&](double shown) { return long(std::ceil(shown / scale.step - 1e-9)); };
    auto highestByte = [&](double shown) { return long(std::floor(shown / scale.step + 1e-9)); };
    long b = old;
    if (unit != nullptr && pl->change) {
      const double u = UnitCellInPageUnits(*unit, image, cell.page, at);
      const double change = LimitInPageUnits(image, cell.page, *pl->change);
      b = std::min(std::max(b, lowestByte(u - change)), highestByte(u + change));
    }
    // A minimum above the display maximum raises no cell beyond what the page can show.
    const long displayMax = std::max<long>(scale.max / scale.step, old);
    if (pl->min)
      b = std::max(b, std::min(lowestByte(LimitInPageUnits(image, cell.page, *pl->min)), displayMax));
    if (pl->max) b = std::min(b, highestByte(LimitInPageUnits(image, cell.page, *pl->max)));
    b = std::clamp(b, 0L, 255L);
    if (b != old) {
      image.setByte(at, b);
      ++result.clamped;
    }
  }
  result.remaining = CheckLimits(image, limits, unit);
  return result;
}

}  // namespace rq
