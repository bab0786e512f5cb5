// SPDX-License-Identifier: GPL-3.0-or-later
// Where a log's rows fall on a map page: each row's cell by the live-cell rule of the map
// pages, counted per cell after the filters (steady state, gear, minimum rows per cell), and
// per cell the mean, minimum and maximum of any column over the same rows.
// The window's overlay and `rq_vtmx4_cli cells` both count through here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logs/log_table.h"
#include "model/map_model.h"
#include "model/parameter_image.h"
#include "model/parameter_table.h"

namespace rq::logs {

// The columns of a log the cell rule reads, as compact integers.
struct CellInputs {
  std::vector<double> time;             // seconds
  std::vector<std::uint16_t> rpm;       // rpm
  std::vector<std::uint16_t> throttle;  // tenths of a percent
  std::vector<std::uint8_t> secondMap;  // 1 = advance map 2 in use
  std::vector<std::uint8_t> gear;       // 0..6
  bool hasGear = false;
  bool hasSecondMap = false;
  bool hasThrottle = false;
  std::size_t rows() const { return rpm.size(); }
};

// The channel keys ExtractCellInputs reads.
inline constexpr std::array<const char*, 4> kCellInputChannels = {"rpm", "throttle_pct", "second_map", "gear"};

// The channel keys read: rpm, throttle_pct, second_map, gear. A log without an rpm column
// cannot be counted (error set, nullopt); missing throttle counts as 0 %, a missing map flag
// as advance map 1 in use, and the gear filter needs a gear column.
std::optional<CellInputs> ExtractCellInputs(const LogTable& log, std::string& error);

inline constexpr std::uint8_t kAllGears = 0x7F;

struct CellFilter {
  // Steady state: a row counts only when rpm and throttle change no faster than these per
  // second against the row before it (the first row and a row after a gap of more than
  // kSteadyGapS against the row after it).
  bool steadyOnly = false;
  double maxRpmPerS = 1000.0;
  double maxThrottlePctPerS = 10.0;
  // Gears counted (bit g for gear g, 0..6). All of them is no gear filter at all: a row counts
  // whatever gear it reports, 7 and above included.
  std::uint8_t gears = kAllGears;
  // Cells with fewer rows than this count as not enough data.
  int minRows = 1;
};
inline constexpr double kSteadyGapS = 2.0;

struct CellCounts {
  // [throttle row 0..9, row 0 = 0 %][rpm column 0..14]: rows of the log in that cell after the
  // steady and gear filters.
  std::array<std::array<int, kMapColumns>, kMapRows> rows{};
  int minRows = 1;
  std::size_t counted = 0;   // rows that fell in a marked cell
  std::size_t filtered = 0;  // rows the steady or gear filter left out
  std::size_t unmarked = 0;  // rows with no cell: engine stopped, or the other advance map
  // Shown as a count (and not as "not enough data"): rows reach the minimum.
  bool enough(int row, int column) const { return rows[row][column] >= minRows; }
  bool visited(int row, int column) const { return rows[row][column] > 0; }
};

// False when the log has two rows or more and none is later than the row before it: rates
// of change, and so the steady rule, cannot be worked out.
bool TimesAdvance(const CellInputs& in);

// The cell of row i (a pass of the live-cell rule).
LiveCell CellOfRow(const LiveCellRule& rule, const CellInputs& in, std::size_t i);

// Which rows pass the steady and gear filters (1 = passes).
std::vector<std::uint8_t> RowsPassing(const CellInputs& in, const CellFilter& filter);

CellCounts CountCells(const CellInputs& in, const LiveCellRule& rule, const CellFilter& filter);

// What a cell's badge can show of a channel besides the time spent there.
enum class CellStatistic : std::uint8_t { Mean, Min, Max };
// "mean", "min" or "max"; nullopt for anything else.
std::optional<CellStatistic> ParseCellStatistic(std::string_view name);
const char* CellStatisticName(CellStatistic s);
// Digits after the point of a column's statistic: the monitor log's own for a channel, two for
// other tools' columns; the mean of a channel of whole numbers gets one, so that the mean of a
// flag does not round away.
int CellStatisticDecimals(std::string_view columnName, CellStatistic s);

// One column of the log over the rows counted in each cell: the counts are those CountCells
// gives with the same filters, and the sums, minima and maxima are taken over exactly those rows.
struct CellChannelStats {
  CellCounts counts;
  std::array<std::array<double, kMapColumns>, kMapRows> sum{}, min{}, max{};
  // nullopt in a cell without rows.
  std::optional<double> value(CellStatistic s, int row, int column) const;
  std::optional<double> mean(int row, int column) const { return value(CellStatistic::Mean, row, column); }
};
CellChannelStats CountCellsWithChannel(const CellInputs& in, const LiveCellRule& rule,
                                       const CellFilter& filter, const LogColumn& channel);

// The first row after `from` (wrapping round to the start) that falls in cell (row, column)
// and passes the filters; nullopt when there is none.
std::optional<std::size_t> NextRowInCell(const CellInputs& in, const LiveCellRule& rule,
                                         const CellFilter& filter, std::size_t from, int row,
                                         int column);

}  // namespace rq::logs
