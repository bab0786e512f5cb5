// SPDX-License-Identifier: GPL-3.0-or-later
// The arithmetic of the advance and servo map pages, without widgets: which map a page
// edits, its cell step and maximum, the layout by mode, the servo percent conversion, the live
// operating cell, and the operations on a rectangle of cells (set, add, scale, interpolate,
// copy and paste as tab-separated text).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/parameter_image.h"
#include "model/parameter_table.h"

namespace rq {

inline constexpr int kLiveNone = 200;  // live column "none"

inline bool IsMapPage(int page) { return page >= kPageAdvance1 && page <= kPageServo; }
// The map a page edits; nullptr for any other page.
const MapDef* MapOfPage(int page);
inline int CellByte(const MapDef& map, int row, int column) {
  return map.cells.at(row, column).offset;
}

// What a cell shows: step x byte, with the page's display maximum.
struct CellScale {
  int step = 1;
  int max = 60;
};
CellScale MapCellScale(const ParameterImage& image, int page);

// The mode flags of the shown map page.
struct MapMode {
  bool servo = false;
  bool full = true;
  bool rpmOnly = false;
  bool throttleOnly = false;
  bool gridShown = true;  // the servo page hides its grid while the servo is disabled
  bool operator==(const MapMode&) const = default;
};
MapMode MapModeOf(const ParameterImage& image, int page);
// Whether cell (row, column) is shown in this mode.
bool CellVisible(const MapMode& mode, int row, int column);
inline bool AxisVisible(const MapMode& m) { return m.full || m.rpmOnly; }
inline bool RowLabelsVisible(const MapMode& m) { return m.full || m.throttleOnly; }
inline bool ColumnButtonsVisible(const MapMode& m) { return m.full; }

// Servo map conversions between raw units (shown x20) and percent. Raw values above 250 are
// reachable through files and the tools; converting back to raw stops at 255.
inline int ServoRawToPercent(int raw) { return (2 * raw + 2) / 5; }
inline int ServoPercentToRaw(int percent) {
  const int raw = 5 * percent / 2;
  return raw > 255 ? 255 : raw;
}
// Converts all 150 servo cells.
void ConvertServoMap(ParameterImage& image, bool toPercent);

// The cell the engine runs in on a map page.
struct LiveCell {
  int column = kLiveNone;  // 0..14, or kLiveNone
  int row = 9;
  bool cellMarked = false;  // false on the advance map not in use, or without a column
  bool operator==(const LiveCell&) const = default;
};
// What the live cell depends on besides the live values: the page, its layout and its rpm
// points. Taken once from the image, it places any number of rows (a ride log) quickly.
struct LiveCellRule {
  int page = -1;  // -1: not a map page, no cell is ever marked
  MapMode mode;
  int rpmPoints[kMapColumns] = {};
};
LiveCellRule MakeLiveCellRule(const ParameterImage& image, int page);
// rpm: engine speed; throttle: tenths of a percent (0..1000); secondMap: the unit runs on
// advance map 2.
LiveCell LiveCellAt(const LiveCellRule& rule, int rpm, int throttle, bool secondMap);
inline LiveCell ComputeLiveCell(const ParameterImage& image, int page, int rpm, int throttle,
                                bool secondMap) {
  return LiveCellAt(MakeLiveCellRule(image, page), rpm, throttle, secondMap);
}

// A rectangle of cells, corners in any order.
struct CellRect {
  int row0 = 0, column0 = 0, row1 = 0, column1 = 0;
  int top() const { return row0 < row1 ? row0 : row1; }
  int bottom() const { return row0 < row1 ? row1 : row0; }
  int left() const { return column0 < column1 ? column0 : column1; }
  int right() const { return column0 < column1 ? column1 : column0; }
  bool contains(int r, int c) const { return r >= top() && r <= bottom() && c >= left() && c <= right(); }
  int cells() const { return (bottom() - top() + 1) * (right() - left() + 1); }
};

enum class CellOp {
  Set,                 // value in shown units
  Add,                 // value in shown units (negative lowers)
  Scale,               // value: percent of the present value (110 = +10 %)
  InterpolateRows,     // each column from the top to the bottom row of the rectangle
  InterpolateColumns,  // each row from the left to the right column, along the rpm axis
};

// Applies an operation to the visible cells of the rectangle of the page's map. Results stay
// within 0 and the display maximum; a cell already above it is not lowered by Add or Scale
// with a positive value. Returns true when a byte changed.
bool ApplyCellOp(ParameterImage& image, int page, const MapMode& mode, const CellRect& rect,
                 CellOp op, double value);

// The visible cells of the rectangle as shown values: one line per row, tabs between
// columns, hidden cells left empty.
std::string CellsToText(const ParameterImage& image, int page, const MapMode& mode,
                        const CellRect& rect);

// Numbers from a spreadsheet: lines of tab-, semicolon- or blank-separated fields; a field
// that is not a number stays empty. Decimal commas are accepted.
using PastedCells = std::vector<std::vector<std::optional<double>>>;
PastedCells ParsePastedCells(std::string_view text);
// Pastes from the top-left corner of the rectangle; a single number fills the whole
// rectangle. Values are rounded to the nearest step and kept within 0 and the display
// maximum; cells outside the map, hidden cells and empty fields are left alone. Returns the
// number of cells pasted (changed or not) through `pasted` and true when a byte changed.
bool PasteCells(ParameterImage& image, int page, const MapMode& mode, const CellRect& rect,
                const PastedCells& cells, int* pasted = nullptr);

}  // namespace rq
