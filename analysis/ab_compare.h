// SPDX-License-Identifier: GPL-3.0-or-later
// Which advance map pulled harder, per cell of a map page: the A/B comparison of ride logs in
// which the rider switched between the two maps.
//
// The counted rows (analysis/ab_rows.h) are placed in cells by the live-cell rule of the page
// being tuned, whichever map the unit used; `second_map` says which one it was. Acceleration
// depends strongly on the gear and drifts slowly over a session (a warming engine, wind,
// another day), so the maps are only ever compared within a stratum: the same log, the same
// gear and the same time window (10 minutes by default). In each stratum that holds rows of
// both maps the two means are compared, and the strata are pooled with the weight
// n1 n2 / (n1 + n2) of a difference of two means:
//
//   gain = sum w (mean2 - mean1) / sum w mean1        (map 2 against map 1)
//
// Rows of one map in a window without the other map are never compared, so a map ridden only
// while the engine was cold, or only on another day, cannot decide anything; inside a window
// the rider alternates (A B B A ...) and a slow drift falls on both maps alike.
//
// The 95 % interval is a bootstrap with a fixed seed (the same logs give the same answer):
// 2,000 times the passes of each map are drawn again with replacement, each keeping its gear
// and window, and the gain is taken anew; the interval runs from the 2.5th to the 97.5th
// percentile. A pass is one visit of the cell: consecutive counted rows in the same cell, gear
// and map. Its rows share that pull's wind and slope and the unit's smoothing of the
// acceleration, so it is the pass and not the row that is drawn (the interval would come out
// too narrow otherwise). Drawing within each map across the gears, not within each gear and map,
// still compares within gears and windows only, and a gear that one map visited once or twice
// does not make the interval too narrow (drawn within each gear and map, equal maps got false
// verdicts in 7 % of the cells of the benchmark instead of 5 %). A map with more than kMaxDraws
// passes in a cell draws runs of consecutive passes of one window instead (about kMaxDraws
// runs, and at least one per window), which keeps a million-row log quick.
//
// Verdict: map 2 pulled harder when the whole interval lies above 0, map 1 when it lies below,
// none otherwise, and none in a cell with fewer than `minRows` compared rows or `minPasses`
// passes of either map.
//
// A verdict is about two maps: the rows of a ride count in a cell only when the advances they
// logged are, on average, what those maps give at the same rows (within a degree). The maps are
// the reference configuration's or else, per cell, those of the newest log that rode it. Rows of rides made
// with other maps are counted apart (staleRows): they carry no verdict on these maps, but
// the best-advance estimate (analysis/ab_estimate.h) still learns from them. A log without an
// advance column cannot tell, and counts as riding the maps.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "analysis/ab_passes.h"
#include "analysis/ab_rows.h"
#include "model/map_model.h"

namespace rq::analysis {

struct AbOptions {
  AbSelection selection;
  int minRows = 6;             // compared rows of each map for a verdict
  int minPasses = 3;           // passes of each map for a verdict
  double windowSeconds = 600;  // maps are compared within windows of this length
  int resamples = 2000;
  double confidence = 0.95;
  std::uint64_t seed = 0x2B992DDFA23249D6ull;
  AdvanceOffsets offsets;  // the configuration's corrections (AdvanceOffsetsOf)
  double tolerance = 1.0;  // degrees between a ride's advance and the map's for the same map
};


inline constexpr std::size_t kMaxDraws = 256;

struct AbCell {
  int rows1 = 0, rows2 = 0;          // counted rows of map 1 and map 2 in the cell
  int compared1 = 0, compared2 = 0;  // of these, rows in a stratum holding both maps
  int passes1 = 0, passes2 = 0;      // passes among the compared rows
  std::optional<double> gainPct;     // map 2 against map 1, when any rows were compared
  // The interval, for cells with enough rows and passes; nullopt on a side that is unbounded
  // (too many draws without a comparison).
  std::optional<double> lowPct, highPct;
  bool interval = false;             // the bootstrap ran (enough rows and passes)
  int better = 0;                    // 1 or 2: the map that pulled harder; 0: no verdict
  int staleRows = 0;                 // counted rows of rides made with other maps
  bool visited() const { return rows1 + rows2 > 0; }
  // Only rides made with other maps went through the cell.
  bool stale() const { return !visited() && staleRows > 0; }
};

struct AbResult {
  // [throttle row 0..9, row 0 = 0 %][rpm column 0..14]
  std::array<std::array<AbCell, kMapColumns>, kMapRows> cells{};
  std::array<std::size_t, kRowReasons> rows{};  // rows of all logs by RowReason
  std::size_t totalRows = 0;
  std::size_t derivedLogs = 0;  // logs whose acceleration was taken from engine speed
  const AbCell& at(int row, int column) const { return cells[std::size_t(row)][std::size_t(column)]; }
  std::size_t count(RowReason r) const { return rows[std::size_t(r)]; }
};

// `reference`: the configuration whose maps the verdicts are about (nullptr: per cell, those of
// the newest ride through it).
AbResult CompareMaps(std::span<const AbLog> logs, const LiveCellRule& rule, const AbOptions& options,
                     const ParameterImage* reference = nullptr);
// The same from passes already collected (CollectPasses with the same rule and options).
AbResult CompareMaps(const AbPasses& passes, const AbOptions& options);

}  // namespace rq::analysis
