// SPDX-License-Identifier: GPL-3.0-or-later
// The map's curves and plane, smoothing, the copy between the advance maps and the clamp of a
// tool's result.
#include "mapview/map_shape.h"

#include <algorithm>
#include <cmath>

#include "limits/limit_check.h"

namespace rq {
namespace {

bool ShapeCellShown(int page, const MapMode& mode, int row, int column) {
  return page >= kPageAdvance1 && page <= kPageServo && mode.gridShown && CellVisible(mode, row, column);
}

}  // namespace

CurvePoint CellPoint(const ParameterImage& image, int page, CurveAxis axis, int row, int column) {
  CurvePoint p;
  p.row = row;
  p.column = column;
  const MapDef* map = MapOfPage(page);
  if (map == nullptr) return p;
  p.x = axis == CurveAxis::Rpm ? double(image[map->axis[column]]) : double(kThrottleRows[row]);
  p.y = double(MapCellScale(image, page).step * image.byte(CellByte(*map, row, column)));
  return p;
}

std::vector<MapCurve> MapCurves(const ParameterImage& image, int page, CurveAxis axis) {
  std::vector<MapCurve> curves;
  if (MapOfPage(page) == nullptr) return curves;
  const MapMode mode = MapModeOf(image, page);
  const bool overRpm = axis == CurveAxis::Rpm;
  const int count = overRpm ? kMapRows : kMapColumns;
  const int length = overRpm ? kMapColumns : kMapRows;
  for (int i = 0; i < count; ++i) {
    MapCurve curve;
    curve.index = i;
    for (int j = 0; j < length; ++j) {
      const int row = overRpm ? i : j;
      const int column = overRpm ? j : i;
      if (ShapeCellShown(page, mode, row, column))
        curve.points.push_back(CellPoint(image, page, axis, row, column));
    }
    if (!curve.points.empty()) curves.push_back(std::move(curve));
  }
  return curves;
}

MapPlane MapPlaneOf(const ParameterImage& image, int page) {
  MapPlane plane;
  const MapDef* map = MapOfPage(page);
  if (map == nullptr) return plane;
  const MapMode mode = MapModeOf(image, page);
  plane.shown = mode.gridShown;
  const CellScale scale = MapCellScale(image, page);
  plane.top = scale.max;
  for (int c = 0; c < kMapColumns; ++c) plane.rpm[std::size_t(c)] = image[map->axis[c]];
  for (int r = 0; r < kMapRows; ++r) {
    for (int c = 0; c < kMapColumns; ++c) {
      const int b = image.byte(CellByte(*map, AppliedRow(mode, r), AppliedColumn(mode, c)));
      const double v = double(scale.step * b);
      plane.value[std::size_t(r * kMapColumns + c)] = v;
      plane.top = std::max(plane.top, v);
    }
  }
  return plane;
}

int SnappedByte(double shown, const CellScale& scale) {
  const int maxByte = scale.max / scale.step;
  if (std::isnan(shown)) return 0;
  const double b = std::round(std::clamp(shown / scale.step, 0.0, double(maxByte)));
  return int(b);
}

int SmoothCells(ParameterImage& image, int page, const CellRect& area, int passes,
                const PageLimits* limits) {
  const MapDef* map = MapOfPage(page);
  if (map == nullptr) return 0;
  const MapMode mode = MapModeOf(image, page);
  const std::array<bool, kMapColumns> cut =
      limits != nullptr ? CutColumns(image, page, *limits) : std::array<bool, kMapColumns>{};
  const CellScale scale = MapCellScale(image, page);
  passes = std::clamp(passes, kSmoothPassesMin, kSmoothPassesMax);
  std::array<double, kMapCells> v{};
  std::array<bool, kMapCells> shown{};
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c) {
      v[std::size_t(r * kMapColumns + c)] = image.byte(CellByte(*map, r, c));
      shown[std::size_t(r * kMapColumns + c)] = ShapeCellShown(page, mode, r, c);
    }
  for (int pass = 0; pass < passes; ++pass) {
    std::array<double, kMapCells> next = v;
    for (int r = area.top(); r <= area.bottom(); ++r) {
      for (int c = area.left(); c <= area.right(); ++c) {
        if (r < 0 || r >= kMapRows || c < 0 || c >= kMapColumns) continue;
        if (!shown[std::size_t(r * kMapColumns + c)]) continue;
        double sum = 0, weight = 0;
        for (int dr = -1; dr <= 1; ++dr) {
          for (int dc = -1; dc <= 1; ++dc) {
            const int nr = r + dr, nc = c + dc;
            if (nr < 0 || nr >= kMapRows || nc < 0 || nc >= kMapColumns) continue;
            if (!shown[std::size_t(nr * kMapColumns + nc)]) continue;
            if (cut[std::size_t(nc)] != cut[std::size_t(c)]) continue;
            const double w = kSmoothKernel[dr + 1][dc + 1];
            sum += w * v[std::size_t(nr * kMapColumns + nc)];
            weight += w;
          }
        }
        next[std::size_t(r * kMapColumns + c)] = sum / weight;
      }
    }
    v = next;
  }
  int changed = 0;
  for (int r = area.top(); r <= area.bottom(); ++r) {
    for (int c = area.left(); c <= area.right(); ++c) {
      if (r < 0 || r >= kMapRows || c < 0 || c >= kMapColumns) continue;
      if (!shown[std::size_t(r * kMapColumns + c)]) continue;
      const int b = SnappedByte(v[std::size_t(r * kMapColumns + c)] * scale.step, scale);
      const int at = CellByte(*map, r, c);
      if (image.byte(at) == b) continue;
      image.setByte(at, b);
      ++changed;
    }
  }
  return changed;
}

int CopyMap(ParameterImage& image, const MapCopy& copy) {
  const bool advance = [](int p) { return p == kPageAdvance1 || p == kPageAdvance2; }(copy.from);
  if (!advance || copy.from == copy.to || (copy.to != kPageAdvance1 && copy.to != kPageAdvance2))
    return 0;
  const MapDef& from = *MapOfPage(copy.from);
  const MapDef& to = *MapOfPage(copy.to);
  const bool whole = IsWholeMap(copy.area);
  const MapMode mode = MapModeOf(image, copy.to);
  int changed = 0;
  for (int r = copy.area.top(); r <= copy.area.bottom(); ++r) {
    for (int c = copy.area.left(); c <= copy.area.right(); ++c) {
      if (r < 0 || r >= kMapRows || c < 0 || c >= kMapColumns) continue;
      if (!whole && !CellVisible(mode, r, c)) continue;
      const int b = image.byte(CellByte(from, r, c));
      if (image.byte(CellByte(to, r, c)) == b) continue;
      image.setByte(CellByte(to, r, c), b);
      ++changed;
    }
  }
  if (copy.rpmPoints) {
    for (int c = std::max(0, copy.area.left()); c <= std::min(kMapColumns - 1, copy.area.right()); ++c) {
      const int rpm = image[from.axis[c]];
      if (image[to.axis[c]] == rpm) continue;
      image.setWord(to.axis[c], rpm);
      ++changed;
    }
  }
  return changed;
}

MapDifference DifferenceOf(const ParameterImage& a, int pageA, const ParameterImage& b, int pageB) {
  MapDifference d;
  const MapDef* ma = MapOfPage(pageA);
  const MapDef* mb = MapOfPage(pageB);
  if (ma == nullptr || mb == nullptr) return d;
  const MapMode mode = MapModeOf(a, pageA);
  d.shown = mode.gridShown;
  const int stepA = MapCellScale(a, pageA).step, stepB = MapCellScale(b, pageB).step;
  for (int c = 0; c < kMapColumns; ++c) {
    d.rpm[std::size_t(c)] = a[ma->axis[c]];
    d.rpmDiffer = d.rpmDiffer || a[ma->axis[c]] != b[mb->axis[c]];
  }
  if (!d.shown) return d;
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c)
      if (CellVisible(mode, r, c))
        d.value[std::size_t(r * kMapColumns + c)] =
            stepA * a.byte(CellByte(*ma, r, c)) - stepB * b.byte(CellByte(*mb, r, c));
  return d;
}

std::vector<MapCurve> MapDifference::curves() const {
  std::vector<MapCurve> out;
  for (int r = 0; r < kMapRows; ++r) {
    MapCurve curve;
    curve.index = r;
    for (int c = 0; c < kMapColumns; ++c)
      if (const std::optional<int> v = at(r, c)) curve.points.push_back({double(rpm[std::size_t(c)]), double(*v), r, c});
    if (!curve.points.empty()) out.push_back(std::move(curve));
  }
  return out;
}

int ClampToolResult(ParameterImage& after, const ParameterImage& before, const Limits& limits,
                    const ParameterImage* unit) {
  const std::vector<MapCell> cells = ChangedCells(before, after);
  if (cells.empty()) return 0;
  return ClampToLimits(after, cells, limits, unit).clamped;
}

}  // namespace rq
