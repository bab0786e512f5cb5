// SPDX-License-Identifier: GPL-3.0-or-later
// Checking a configuration against the map limits, and bringing the cells a tool changed back
// within them. Only the cells a page's layout shows are checked: one row in the rpm-only
// layout, one column in the throttle-only layout, none on the servo page while the servo is
// off (the unit leaves it alone and the page hides its grid); of those, neither the cells
// above the rpm where the limits stop (the cut) nor the cells the tuner exempted, nor the
// step into them. A change that brings a cell closer to its limits than the unit's value is
// always allowed. Fast enough for every edit.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <vector>

#include "limits/map_limits.h"
#include "model/parameter_image.h"
#include "model/unit_comparison.h"

namespace rq {

enum class LimitKind : int {
  Min,        // the cell is below the lowest value
  Max,        // the cell is above the highest value
  StepRight,  // to the cell in the next rpm column (column + 1)
  StepDown,   // to the cell in the next throttle row (row + 1), the one below it on the page
  Change,     // to the same cell in the unit
};
inline constexpr int kLimitKindCount = 5;

// "min", "max", "step-right", "step-down", "change": the kind's name in machine output.
const char* LimitKindName(LimitKind kind);

struct Violation {
  int page = kPageAdvance1;
  int row = 0;     // throttle row 0..9 (kThrottleRows)
  int column = 0;  // rpm column 0..14
  LimitKind kind = LimitKind::Max;
  int value = 0;     // the cell in the page's shown units
  double limit = 0;  // the broken limit in the page's shown units
  int other = 0;     // steps: the neighbour's value; change: the unit's value; min/max: 0
  bool operator==(const Violation&) const = default;
};

// The neighbour a step violation compares with: (row, column + 1) or (row + 1, column); the
// cell itself for any other kind.
inline int OtherRow(const Violation& v) { return v.kind == LimitKind::StepDown ? v.row + 1 : v.row; }
inline int OtherColumn(const Violation& v) {
  return v.kind == LimitKind::StepRight ? v.column + 1 : v.column;
}
// |value - other| for steps and change, 0 for min and max.
int ViolationDifference(const Violation& v);
// How far past its limit a violation stands, in the page's shown units.
double ViolationExcess(const Violation& v);
// Worst first (the farthest past its limit); equal ones in check order.
void SortWorstFirst(std::vector<Violation>& violations);

// The rpm up to which the page's limits hold in `image`: their UpToRpm, or the rpm point of
// the last column with a shown cell that is not 0. nullopt when every column is checked (no
// such column, or the throttle-only layout, whose one column holds at every rpm).
std::optional<int> LimitsUpToRpm(const ParameterImage& image, int page, const PageLimits& limits);
// The columns above that rpm: the cut.
std::array<bool, kMapColumns> CutColumns(const ParameterImage& image, int page, const PageLimits& limits);
// The cells the page's limits check: shown by the layout on a checked page, not in the cut,
// not exempt.
MapCellSet CheckedCells(const ParameterImage& image, int page, const PageLimits& limits);

// Limits that the page keeps as it is: its lowest and highest checked cell and its largest
// step between checked neighbours (servo values in mV); the change limit, the rpm and the
// exempt cells of `current` stay. `current` as it is when the page has no checked cell.
PageLimits SuggestLimits(const ParameterImage& image, int page, const PageLimits& current);

// Every violation of `image`, page by page (Advance 1, Advance 2, Servo), then by row, column
// and kind. `unit` is the unit's image, nullptr while its content is unknown: the change limit
// is then not checked. A servo map in another unit (mV / percent) than the unit's is compared
// after converting the unit's cells as the page's switch would.
std::vector<Violation> CheckLimits(const ParameterImage& image, const Limits& limits,
                                   const ParameterImage* unit);

// The `unit` argument of CheckLimits and ClampToLimits from the PC-against-unit record: its
// image while the record knows it, nullptr before the first read and after a failed
// programming (the record keeps the last image then, but the unit may hold another).
inline const ParameterImage* KnownUnitImage(const UnitRecord& record) {
  return record.state() == UnitRecord::State::Known ? &record.unit() : nullptr;
}

struct MapCell {
  int page = kPageAdvance1;
  int row = 0;
  int column = 0;
  bool operator==(const MapCell&) const = default;
};
// The cells of the three maps whose byte differs from `before` to `after`, in check order.
std::vector<MapCell> ChangedCells(const ParameterImage& before, const ParameterImage& after);

// A cell the clamp moved, and the limit that moved it (Min, Max or Change).
struct HeldCell {
  MapCell cell;
  LimitKind kind = LimitKind::Max;
  int from = 0, to = 0;  // bytes
  bool operator==(const HeldCell&) const = default;
};
struct ClampResult {
  int clamped = 0;                   // cells whose value the clamp changed
  std::vector<HeldCell> held;        // those cells, in the order given
  std::vector<Violation> remaining;  // every violation of the image after clamping
};
// Brings the given cells of a tool's proposed image within min and max and, when `unit` is
// known, within the change limit of the unit's cell (unless the proposed value is closer to
// the limits than the unit's); min and max win where the two cannot both be met, and max wins
// over a min above it. Values go to the nearest allowed step of the page (38.5 degrees allows
// 38). Cells the limits do not check (hidden, in the cut, exempt, the servo page while the
// servo is off) and cells outside the maps are left alone. Steps between neighbours are not repaired:
// moving a neighbour would change a cell the tool did not touch, and raising or lowering the
// changed cell may break the step on its other side; what is left is in `remaining`.
ClampResult ClampToLimits(ParameterImage& image, std::span<const MapCell> cells,
                          const Limits& limits, const ParameterImage* unit);

}  // namespace rq
