// SPDX-License-Identifier: GPL-3.0-or-later
// The shape of an advance or servo map without widgets: its curves over rpm or throttle, the
// values the unit applies over the whole rpm x throttle plane, a dragged value snapped to the
// page's step, smoothing a rectangle of cells, copying one advance map onto the other, and
// bringing what a tool changed back within the tuner's limits.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "limits/map_limits.h"
#include "model/map_model.h"
#include "model/parameter_image.h"

namespace rq {

inline constexpr int kMapCells = kMapRows * kMapColumns;
inline constexpr CellRect kWholeMap{0, 0, kMapRows - 1, kMapColumns - 1};

inline bool IsWholeMap(const CellRect& r) {
  return r.top() == 0 && r.left() == 0 && r.bottom() == kMapRows - 1 && r.right() == kMapColumns - 1;
}
// What the copy acts on: the selection when it holds more than one cell, otherwise the whole
// map.
inline CellRect ToolArea(const CellRect& selection) {
  return selection.cells() > 1 ? selection : kWholeMap;
}

// ---- Curves and surface ------------------------------------------------------------------

enum class CurveAxis { Rpm, Throttle };

struct CurvePoint {
  double x = 0;  // rpm point, or throttle in percent
  double y = 0;  // the cell in the page's shown units
  int row = 0, column = 0;
};
struct MapCurve {
  int index = 0;  // the row (over rpm) or the column (over throttle)
  std::vector<CurvePoint> points;
};
// Over rpm one curve per throttle row, over throttle one per rpm point, with the cells the
// page's layout shows; rows or columns without a shown cell give no curve. Nothing for a page
// that is no map page, nor for the servo page while the servo is off.
std::vector<MapCurve> MapCurves(const ParameterImage& image, int page, CurveAxis axis);

// Where cell (row, column) stands in the plot of `axis`.
CurvePoint CellPoint(const ParameterImage& image, int page, CurveAxis axis, int row, int column);

// The cell whose value the unit applies at (row, column) in this layout: row 9 of the column
// with rpm only, column 0 of the row with throttle only, the cell itself otherwise.
inline int AppliedRow(const MapMode& mode, int row) { return mode.rpmOnly ? kMapRows - 1 : row; }
inline int AppliedColumn(const MapMode& mode, int column) { return mode.throttleOnly ? 0 : column; }

// The map over the whole rpm x throttle plane in shown units, as the unit applies it.
struct MapPlane {
  bool shown = false;  // false off the map pages and on the servo page while the servo is off
  std::array<double, kMapColumns> rpm{};
  std::array<double, kMapCells> value{};  // row-major: throttle row, then rpm column
  double top = 60;                        // the display maximum (or the highest value above it)
  double at(int row, int column) const { return value[std::size_t(row * kMapColumns + column)]; }
};
MapPlane MapPlaneOf(const ParameterImage& image, int page);

// ---- Edits -----------------------------------------------------------------------------------

// The byte for a value in shown units: the nearest step, within 0 and the display maximum.
int SnappedByte(double shown, const CellScale& scale);

// Smoothing: each shown cell of `area` moves toward the weighted mean of itself and its shown
// neighbours (kSmoothKernel over the 3 x 3 block, at the edges what exists); cells outside the
// area keep their values and count as neighbours. With `limits`, never across the cut of the
// page's limits (their rpm, or the last rpm point whose cells are not all 0): a cell and its
// neighbour on the other side of it do not meet. Each pass works on the result of the one
// before; the values snap to the page's step and range at the end. Passes are taken within
// kSmoothPasses. Returns the number of cells whose byte changed.
inline constexpr int kSmoothPassesMin = 1;
inline constexpr int kSmoothPassesMax = 5;
inline constexpr int kSmoothKernel[3][3] = {{1, 2, 1}, {2, 4, 2}, {1, 2, 1}};
int SmoothCells(ParameterImage& image, int page, const CellRect& area, int passes,
                const PageLimits* limits = nullptr);

// One advance map onto the other: the whole map (all 150 cells), or the cells of a rectangle
// that the layout shows, and when asked the rpm points (all of them for the whole map, those
// of the rectangle's columns otherwise). Returns the number of cells and rpm points changed;
// nothing when the pages are not the two advance maps.
struct MapCopy {
  int from = kPageAdvance1;
  int to = kPageAdvance2;
  CellRect area = kWholeMap;
  bool rpmPoints = false;
};
int CopyMap(ParameterImage& image, const MapCopy& copy);

// ---- Differences ---------------------------------------------------------------------------

// Cell by cell, the map of `pageA` in `a` minus the map of `pageB` in `b`, in shown units, at
// the cells `a`'s layout shows (nothing while `a` shows no grid: the servo off). `b`'s servo map
// must be in `a`'s unit (mV or percent). The curves run over `a`'s rpm points.
struct MapDifference {
  bool shown = false;
  std::array<std::optional<int>, kMapCells> value{};  // row-major; nullopt: a cell not shown
  std::array<int, kMapColumns> rpm{};                 // a's rpm points
  bool rpmDiffer = false;                             // b's rpm points are others
  std::optional<int> at(int row, int column) const { return value[std::size_t(row * kMapColumns + column)]; }
  // Over rpm, one curve per throttle row with a shown cell.
  std::vector<MapCurve> curves() const;
};
MapDifference DifferenceOf(const ParameterImage& a, int pageA, const ParameterImage& b, int pageB);

// After a tool computed `after` from `before`: the cells it changed are brought within the
// limits (the unit's cells for the change limit when `unit` is known). Returns how many cells
// the clamp changed.
int ClampToolResult(ParameterImage& after, const ParameterImage& before, const Limits& limits,
                    const ParameterImage* unit);

}  // namespace rq
