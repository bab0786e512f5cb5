// SPDX-License-Identifier: GPL-3.0-or-later
// The check of the three maps against their limits, and the clamp for the tuning tools.
#include "limits/limit_check.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <utility>

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

// One page's limits in its shown units, and the cells they check.
struct PageRule {
  int page = kPageAdvance1;
  const MapDef* map = nullptr;
  int step = 1;
  std::optional<double> lo, hi, jump, change;
  MapCellSet checked;

  PageRule(const ParameterImage& image, int p, const PageLimits& limits, const ParameterImage* unit)
      : page(p), map(MapOfPage(p)), step(MapCellScale(image, p).step),
        lo(InPageUnits(image, p, limits.min)), hi(InPageUnits(image, p, limits.max)),
        jump(InPageUnits(image, p, limits.step)),
        change(unit != nullptr ? InPageUnits(image, p, limits.change) : std::nullopt),
        checked(CheckedCells(image, p, limits)) {}

  bool checks(int r, int c) const {
    return r >= 0 && r < kMapRows && c >= 0 && c < kMapColumns && checked.test(CellIndex(r, c));
  }
  int shown(const ParameterImage& image, int r, int c) const {
    return step * image.byte(CellByte(*map, r, c));
  }
  // How far `value` at (r, c) stands past the lowest and highest value and the steps to its
  // checked neighbours in `image`.
  double excess(const ParameterImage& image, double value, int r, int c) const {
    double e = 0;
    if (lo && value < *lo) e += *lo - value;
    if (hi && value > *hi) e += value - *hi;
    if (jump) {
      for (const auto& [dr, dc] : {std::pair{0, 1}, std::pair{0, -1}, std::pair{1, 0}, std::pair{-1, 0}})
        if (checks(r + dr, c + dc)) e += std::max(0.0, std::abs(value - shown(image, r + dr, c + dc)) - *jump);
    }
    return e;
  }
  // A change from the unit's `u` to `v` beyond the change limit that is no violation: it
  // brings the cell closer to its limits.
  bool towardLimits(const ParameterImage& image, double v, double u, int r, int c) const {
    return excess(image, v, r, c) < excess(image, u, r, c);
  }
};

void AppendPageViolations(const ParameterImage& image, int page, const PageLimits& limits,
                          const ParameterImage* unit, std::vector<Violation>& out) {
  if (!limits.any()) return;
  const PageRule rule(image, page, limits, unit);
  if (rule.checked.none()) return;
  for (int r = 0; r < kMapRows; ++r) {
    for (int c = 0; c < kMapColumns; ++c) {
      if (!rule.checks(r, c)) continue;
      const int v = rule.shown(image, r, c);
      auto add = [&](LimitKind kind, double limit, int other) {
        out.push_back({page, r, c, kind, v, limit, other});
      };
      if (rule.lo && v < *rule.lo) add(LimitKind::Min, *rule.lo, 0);
      if (rule.hi && v > *rule.hi) add(LimitKind::Max, *rule.hi, 0);
      if (rule.jump) {
        if (rule.checks(r, c + 1)) {
          const int n = rule.shown(image, r, c + 1);
          if (std::abs(v - n) > *rule.jump) add(LimitKind::StepRight, *rule.jump, n);
        }
        if (rule.checks(r + 1, c)) {
          const int n = rule.shown(image, r + 1, c);
          if (std::abs(v - n) > *rule.jump) add(LimitKind::StepDown, *rule.jump, n);
        }
      }
      if (rule.change) {
        const int u = UnitCellInPageUnits(*unit, image, page, CellByte(*rule.map, r, c));
        if (std::abs(v - u) > *rule.change && !rule.towardLimits(image, v, u, r, c))
          add(LimitKind::Change, *rule.change, u);
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

double ViolationExcess(const Violation& v) {
  switch (v.kind) {
    case LimitKind::Min: return v.limit - v.value;
    case LimitKind::Max: return v.value - v.limit;
    default: return ViolationDifference(v) - v.limit;
  }
}

void SortWorstFirst(std::vector<Violation>& violations) {
  std::stable_sort(violations.begin(), violations.end(), [](const Violation& a, const Violation& b) {
    return ViolationExcess(a) > ViolationExcess(b);
  });
}

std::optional<int> LimitsUpToRpm(const ParameterImage& image, int page, const PageLimits& limits) {
  const MapDef* map = MapOfPage(page);
  if (map == nullptr) return std::nullopt;
  const MapMode mode = MapModeOf(image, page);
  if (mode.throttleOnly) return std::nullopt;
  if (limits.upToRpm) return limits.upToRpm;
  for (int c = kMapColumns - 1; c >= 0; --c)
    for (int r = 0; r < kMapRows; ++r)
      if (CellVisible(mode, r, c) && image.byte(CellByte(*map, r, c)) != 0) return int(image[map->axis[c]]);
  return std::nullopt;
}

std::array<bool, kMapColumns> CutColumns(const ParameterImage& image, int page, const PageLimits& limits) {
  std::array<bool, kMapColumns> cut{};
  const std::optional<int> upTo = LimitsUpToRpm(image, page, limits);
  if (!upTo) return cut;
  const MapDef& map = *MapOfPage(page);
  for (int c = 0; c < kMapColumns; ++c) cut[std::size_t(c)] = int(image[map.axis[c]]) > *upTo;
  return cut;
}

MapCellSet CheckedCells(const ParameterImage& image, int page, const PageLimits& limits) {
  MapCellSet checked;
  if (!IsMapPage(page)) return checked;
  const MapMode mode = MapModeOf(image, page);
  if (!PageChecked(mode)) return checked;
  const std::array<bool, kMapColumns> cut = CutColumns(image, page, limits);
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c)
      if (CellVisible(mode, r, c) && !cut[std::size_t(c)] && !limits.exempt.test(CellIndex(r, c)))
        checked.set(CellIndex(r, c));
  return checked;
}

PageLimits SuggestLimits(const ParameterImage& image, int page, const PageLimits& current) {
  PageLimits out = current;
  const PageRule rule(image, page, current, nullptr);
  if (rule.checked.none()) return out;
  int lo = 1 << 20, hi = -(1 << 20), jump = 0;
  for (int r = 0; r < kMapRows; ++r) {
    for (int c = 0; c < kMapColumns; ++c) {
      if (!rule.checks(r, c)) continue;
      const int v = rule.shown(image, r, c);
      lo = std::min(lo, v);
      hi = std::max(hi, v);
      if (rule.checks(r, c + 1)) jump = std::max(jump, std::abs(v - rule.shown(image, r, c + 1)));
      if (rule.checks(r + 1, c)) jump = std::max(jump, std::abs(v - rule.shown(image, r + 1, c)));
    }
  }
  out.min = LimitFromPageUnits(image, page, lo);
  out.max = LimitFromPageUnits(image, page, hi);
  out.step = LimitFromPageUnits(image, page, jump);
  return out;
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
  // The checked cells as the tool left them: a clamp never moves the cut.
  std::array<std::optional<PageRule>, kLimitPageCount> rules;
  for (int i = 0; i < kLimitPageCount; ++i)
    rules[std::size_t(i)].emplace(image, kLimitPages[i], limits.pages[std::size_t(i)], unit);
  for (const MapCell& cell : cells) {
    const PageLimits* pl = limits.of(cell.page);
    if (pl == nullptr) continue;
    const PageRule& rule = *rules[std::size_t(std::find(std::begin(kLimitPages), std::end(kLimitPages), cell.page) -
                                              std::begin(kLimitPages))];
    if (!rule.checks(cell.row, cell.column)) continue;
    const CellScale scale = MapCellScale(image, cell.page);
    const int at = CellByte(*rule.map, cell.row, cell.column);
    const long old = image.byte(at);
    // The lowest and highest byte whose shown value keeps within a bound in page units; the
    // margin keeps a bound that is a whole number of steps from rounding away.
    auto lowestByte = [&](double shown) { return long(std::ceil(shown / scale.step - 1e-9)); };
    auto highestByte = [&](double shown) { return long(std::floor(shown / scale.step + 1e-9)); };
    long b = old;
    LimitKind by = LimitKind::Change;
    auto hold = [&](long next, LimitKind kind) {
      if (next == b) return;
      b = next;
      by = kind;
    };
    if (rule.change) {
      const double u = UnitCellInPageUnits(*unit, image, cell.page, at);
      if (!rule.towardLimits(image, double(scale.step * old), u, cell.row, cell.column))
        hold(std::min(std::max(b, lowestByte(u - *rule.change)), highestByte(u + *rule.change)), LimitKind::Change);
    }
    // A minimum above the display maximum raises no cell beyond what the page can show.
    const long displayMax = std::max<long>(scale.max / scale.step, old);
    if (rule.lo) hold(std::max(b, std::min(lowestByte(*rule.lo), displayMax)), LimitKind::Min);
    if (rule.hi) hold(std::min(b, highestByte(*rule.hi)), LimitKind::Max);
    b = std::clamp(b, 0L, 255L);
    if (b != old) {
      image.setByte(at, int(b));
      ++result.clamped;
      result.held.push_back({cell, by, int(old), int(b)});
    }
  }
  result.remaining = CheckLimits(image, limits, unit);
  return result;
}

}  // namespace rq
