// SPDX-License-Identifier: GPL-3.0-or-later
// The passes of A/B ride logs through the cells of a map page, which both the verdicts
// (analysis/ab_compare.h) and the best-advance estimate (analysis/ab_estimate.h) are made from.
//
// A pass is one visit of a cell: consecutive counted rows in the same cell, gear and map. The
// rows are placed in cells by the live-cell rule of the page being tuned, whichever map the unit
// used; `second_map` says which one it was. A stratum is one log, one gear and one time window:
// the two maps are only ever compared within one.
//
// Each pass also carries the advance its rows fired, taken back to the map's own value (the
// unit adds the gear's correction and cylinder 1's correction to what the map gives), so that
// the maps each ride used are known from the log itself: per log and cell, the mean advance of
// each map's rows (RiddenMaps).
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "analysis/ab_rows.h"
#include "model/map_model.h"
#include "model/parameter_image.h"

namespace rq::analysis {

inline constexpr int kCells = kMapRows * kMapColumns;

// Degrees the unit adds to the advance of a map in each gear (0..6): the gear's correction and
// cylinder 1's correction. A logged advance minus this is the map's own value.
struct AdvanceOffsets {
  std::array<float, 7> gear{};
};
AdvanceOffsets AdvanceOffsetsOf(const ParameterImage& image);

struct AbPass {
  std::uint64_t stratum = 0;  // log, window and gear
  std::uint32_t log = 0;
  std::uint16_t cell = 0;     // row * kMapColumns + column
  std::uint8_t gear = 0;
  std::uint8_t map = 0;       // 0: map 1, 1: map 2
  std::uint32_t rows = 0;
  double sum = 0;             // of the acceleration
  double sumSquares = 0;      // of the acceleration
  double advanceSum = 0;      // of the map's advance, over advanceRows rows that logged one
  std::uint32_t advanceRows = 0;
  double expectedSum = 0;     // of the advance the reference configuration's map gives there
};

struct AbPasses {
  std::vector<AbPass> passes;  // in the order ridden, log by log
  std::array<std::size_t, kRowReasons> rows{};  // rows of all logs by RowReason
  std::size_t totalRows = 0;
  std::size_t derivedLogs = 0;
  std::size_t logs = 0;
  // The passes carry what the reference configuration's maps give at each row (expectedSum),
  // and the advance of each map at each cell's rpm point and throttle row.
  bool referenced = false;
  std::array<std::array<std::array<float, kMapColumns>, kMapRows>, 2> points{};
};

// The advance map `mapPage` of `image` gives at an engine speed and throttle (tenths of a
// percent), as the unit reads it: between the rpm points and, when the maps use the throttle,
// between the throttle rows along a straight line; without throttle the 100 % row.
double ExpectedAdvance(const ParameterImage& image, int mapPage, double rpm, double throttle);

// Where each row of a log counts on the page of `rule`: its reason (NoCell for a row off the
// page's cells; a derived rise whose row before lies in another cell is AccelerationUnknown)
// and, for a counted row, its cell in `cells` (row * kMapColumns + column; kNoCell otherwise).
inline constexpr std::uint16_t kNoCell = 0xFFFF;
std::vector<RowReason> PlaceAbRows(const AbLog& log, const LiveCellRule& rule, const AbSelection& selection,
                                   std::vector<std::uint16_t>& cells);

// Passes of the logs on the page of `rule`; rows of a log whose acceleration is derived count
// only where the row before lies in the same cell (a rise across two cells belongs to both).
// With a reference configuration (the one the maps are judged in) each pass also carries what
// its maps give at its rows, so that the maps a ride used can be matched against it.
AbPasses CollectPasses(std::span<const AbLog> logs, const LiveCellRule& rule,
                       const AbSelection& selection, double windowSeconds,
                       const AdvanceOffsets& offsets = {}, const ParameterImage* reference = nullptr);

// The mean advance of each map's rows per log and cell; NaN where the log has no such rows, or
// no advance column.
struct RiddenMaps {
  std::size_t logs = 0;
  std::vector<std::array<float, 2>> mean;  // [log * kCells + cell][map]
  std::vector<std::array<float, 2>> expected;  // the same from the reference configuration
  std::vector<std::uint32_t> rows;         // [log * kCells + cell]: counted rows of both maps
  const std::array<float, 2>& at(std::size_t log, int cell) const { return mean[log * kCells + std::size_t(cell)]; }
  const std::array<float, 2>& expectedAt(std::size_t log, int cell) const {
    return expected[log * kCells + std::size_t(cell)];
  }
  std::uint32_t rowsAt(std::size_t log, int cell) const { return rows[log * kCells + std::size_t(cell)]; }
};
RiddenMaps RiddenMapsOf(const AbPasses& passes);

// The advance of map page `mapPage` at an rpm on its throttle row `row`, along its rpm points.
int AdvanceAt(const ParameterImage& image, int mapPage, int rpm, int row);

// The advance of each map in every cell of a page, as the map gives it (no corrections).
using CellAdvances = std::array<std::array<float, kMapColumns>, kMapRows>;
struct MapPair {
  CellAdvances map1{}, map2{};
  bool operator==(const MapPair&) const = default;
};
// The maps the configuration holds at the cells of the page `rule` was made for: each map at
// the page's rpm points (the other map read along its own points) and throttle rows.
MapPair MapPairOf(const ParameterImage& image, const LiveCellRule& rule);

// A ride used these maps in a cell: each map it rode there within `tolerance` degrees of the
// reference (a map it did not ride, or rode without a logged advance, is taken as matching).
bool RodeMaps(const std::array<float, 2>& ridden, double reference1, double reference2,
              double tolerance = 1.0);

}  // namespace rq::analysis
