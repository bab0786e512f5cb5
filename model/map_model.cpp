// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/map_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace rq {

const MapDef* MapOfPage(int page) {
  for (const MapDef& m : Maps())
    if (m.page == page) return &m;
  return nullptr;
}

CellScale MapCellScale(const ParameterImage& image, int page) {
  if (page != kPageServo) return {1, 60};
  return image[kServoPercent] != 0 ? CellScale{1, 100} : CellScale{20, 5000};
}

MapMode MapModeOf(const ParameterImage& image, int page) {
  MapMode m;
  m.servo = page == kPageServo;
  if (m.servo) {
    const int by = image[kServoMode];
    m.full = by == 0;
    m.rpmOnly = by == 1;
    m.throttleOnly = by == 2;
    m.gridShown = image[kServoEnable] != 0;
  } else {
    const bool rows = image[kMapsUseThrottle] != 0;
    m.full = rows;
    m.rpmOnly = !rows;
    m.throttleOnly = false;
    m.gridShown = true;
  }
  return m;
}

bool CellVisible(const MapMode& m, int row, int column) {
  if (row == 9 && column == 0) return true;
  if (row == 9) return m.full || m.rpmOnly;
  if (column == 0) return m.full || m.throttleOnly;
  return m.full;
}

void ConvertServoMap(ParameterImage& image, bool toPercent) {
  const MapDef& map = *MapOfPage(kPageServo);
  for (int i = 0; i < kMapRows * kMapColumns; ++i) {
    const int b = image.byte(map.cells.first + i);
    image.setByte(map.cells.first + i, toPercent ? ServoRawToPercent(b) : ServoPercentToRaw(b));
  }
}

LiveCellRule MakeLiveCellRule(const ParameterImage& image, int page) {
  LiveCellRule rule;
  const MapDef* map = MapOfPage(page);
  if (map == nullptr) return rule;
  rule.page = page;
  rule.mode = MapModeOf(image, page);
  for (int c = 0; c < kMapColumns; ++c) rule.rpmPoints[c] = image[map->axis[c]];
  return rule;
}

LiveCell LiveCellAt(const LiveCellRule& rule, int rpm, int throttle, bool secondMap) {
  LiveCell live;
  if (rule.page < 0) return live;
  const MapMode& mode = rule.mode;
  if (mode.throttleOnly) {
    live.column = 0;
  } else {
    live.column = kMapColumns - 1;
    for (int c = 0; c < kMapColumns - 1; ++c) {
      // Below the midpoint between points c and c + 1: the lower one is nearer.
      if (rule.rpmPoints[c] + rule.rpmPoints[c + 1] > 2 * rpm) {
        live.column = c;
        break;
      }
    }
  }
  if (rpm == 0 && !mode.servo) live.column = kLiveNone;
  live.row = 9;
  if (!mode.rpmOnly) {
    for (int r = 0; r < kMapRows - 1; ++r) {
      if (throttle / 5 < kThrottleRows[r] + kThrottleRows[r + 1]) {
        live.row = r;
        break;
      }
    }
  }
  const bool notInUse = (rule.page == kPageAdvance1 && secondMap) ||
                        (rule.page == kPageAdvance2 && !secondMap);
  live.cellMarked = live.column != kLiveNone && !notInUse;
  return live;
}

namespace {

int Clamp(long v, long lo, long hi) { return int(std::clamp(v, lo, hi)); }

// The byte for a shown value, to the nearest step. Far beyond any byte before rounding, so
// that a huge value (a pasted 1e30) clamps like any other instead of overflowing.
long ByteOf(double shown, int step) {
  return std::lround(std::clamp(shown / step, -1e6, 1e6));
}

}  // namespace

bool ApplyCellOp(ParameterImage& image, int page, const MapMode& mode, const CellRect& rect,
                 CellOp op, double value) {
  const MapDef* map = MapOfPage(page);
  if (map == nullptr) return false;
  const CellScale scale = MapCellScale(image, page);
  const int maxByte = scale.max / scale.step;
  // Values before the change: interpolation reads the corners of the rectangle.
  const ParameterImage before = image;
  auto cell = [&](int r, int c) { return int(before.byte(CellByte(*map, r, c))); };
  bool changed = false;
  for (int r = rect.top(); r <= rect.bottom(); ++r) {
    for (int c = rect.left(); c <= rect.right(); ++c) {
      if (r < 0 || r >= kMapRows || c < 0 || c >= kMapColumns || !CellVisible(mode, r, c))
        continue;
      const int old = cell(r, c);
      long next = old;
      switch (op) {
        case CellOp::Set:
          next = Clamp(ByteOf(value, scale.step), 0, maxByte);
          break;
        case CellOp::Add:
        case CellOp::Scale: {
          const double shown =
              op == CellOp::Add ? old * scale.step + value : old * scale.step * value / 100.0;
          next = ByteOf(shown, scale.step);
          // A cell already above the maximum is never raised, nor pulled down by a raise.
          next = Clamp(next, 0, std::max(maxByte, old));
          break;
        }
        case CellOp::InterpolateRows: {
          const int r0 = rect.top(), r1 = rect.bottom();
          if (r1 == r0 || !CellVisible(mode, r0, c) || !CellVisible(mode, r1, c)) break;
          const double t = double(kThrottleRows[r] - kThrottleRows[r0]) /
                           double(kThrottleRows[r1] - kThrottleRows[r0]);
          next = std::lround(cell(r0, c) + t * (cell(r1, c) - cell(r0, c)));
          break;
        }
        case CellOp::InterpolateColumns: {
          const int c0 = rect.left(), c1 = rect.right();
          if (c1 == c0 || !CellVisible(mode, r, c0) || !CellVisible(mode, r, c1)) break;
          const double x0 = before[map->axis[c0]];
          const double x1 = before[map->axis[c1]];
          const double x = before[map->axis[c]];
          // An axis that does not rise (before the consistency pass) falls back to the index.
          const double t = x1 > x0 ? std::clamp((x - x0) / (x1 - x0), 0.0, 1.0)
                                   : double(c - c0) / double(c1 - c0);
          next = std::lround(cell(r, c0) + t * (cell(r, c1) - cell(r, c0)));
          break;
        }
      }
      if (next != old) {
        image.setByte(CellByte(*map, r, c), next);
        changed = true;
      }
    }
  }
  return changed;
}

std::string CellsToText(const ParameterImage& image, int page, const MapMode& mode,
                        const CellRect& rect) {
  const MapDef* map = MapOfPage(page);
  if (map == nullptr) return {};
  const int step = MapCellScale(image, page).step;
  std::string out;
  for (int r = rect.top(); r <= rect.bottom(); ++r) {
    for (int c = rect.left(); c <= rect.right(); ++c) {
      if (c > rect.left()) out += '\t';
      if (CellVisible(mode, r, c)) out += std::to_string(step * image.byte(CellByte(*map, r, c)));
    }
    out += '\n';
  }
  return out;
}

PastedCells ParsePastedCells(std::string_view text) {
  PastedCells rows;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    // Tabs (spreadsheets) and semicolons separate fields and keep empty ones; a line with
    // neither is split at blanks.
    const bool delimited = line.find_first_of("\t;") != std::string_view::npos;
    std::vector<std::optional<double>> fields;
    std::size_t f = 0;
    while (f <= line.size()) {
      std::size_t e = delimited ? line.find_first_of("\t;", f) : line.find_first_of(" ", f);
      if (e == std::string_view::npos) e = line.size();
      std::string field(line.substr(f, e - f));
      f = e + 1;
      // Thousands separators inside a delimited field are blanks; drop them.
      std::erase_if(field, [](char ch) { return ch == ' ' || ch == '\xA0'; });
      if (!delimited && field.empty()) {
        if (e == line.size()) break;
        continue;
      }
      std::replace(field.begin(), field.end(), ',', '.');
      std::optional<double> v;
      if (!field.empty()) {
        char* stop = nullptr;
        const double d = std::strtod(field.c_str(), &stop);
        if (stop == field.c_str() + field.size() && std::isfinite(d)) v = d;
      }
      fields.push_back(v);
      if (e == line.size()) break;
    }
    rows.push_back(std::move(fields));
  }
  // Trailing empty lines carry nothing.
  while (!rows.empty() && std::all_of(rows.back().begin(), rows.back().end(),
                                      [](const auto& v) { return !v; }))
    rows.pop_back();
  return rows;
}

bool PasteCells(ParameterImage& image, int page, const MapMode& mode, const CellRect& rect,
                const PastedCells& cells, int* pasted) {
  if (pasted != nullptr) *pasted = 0;
  const MapDef* map = MapOfPage(page);
  if (map == nullptr || cells.empty()) return false;
  const CellScale scale = MapCellScale(image, page);
  const bool single = cells.size() == 1 && cells[0].size() == 1 && cells[0][0].has_value();
  const int rows = single ? rect.bottom() - rect.top() + 1 : int(cells.size());
  bool changed = false;
  for (int i = 0; i < rows; ++i) {
    const int r = rect.top() + i;
    if (r >= kMapRows) break;
    const auto& line = single ? cells[0] : cells[std::size_t(i)];
    const int columns = single ? rect.right() - rect.left() + 1 : int(line.size());
    for (int j = 0; j < columns; ++j) {
      const int c = rect.left() + j;
      if (c >= kMapColumns) break;
      const std::optional<double>& v = single ? line[0] : line[std::size_t(j)];
      if (!v || !CellVisible(mode, r, c)) continue;
      const int next = Clamp(ByteOf(*v, scale.step), 0, scale.max / scale.step);
      if (pasted != nullptr) ++*pasted;
      if (image.byte(CellByte(*map, r, c)) != next) {
        image.setByte(CellByte(*map, r, c), next);
        changed = true;
      }
    }
  }
  return changed;
}

}  // namespace rq
