// SPDX-License-Identifier: GPL-3.0-or-later
// What a plot draws of one column over a stretch of time: the rows themselves when there are
// few, else the minimum and maximum of each pixel column, so that a million rows cost a few
// thousand points and no spike is lost.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "logs/log_summary.h"
#include "logs/log_table.h"

namespace rq::logs {

struct PlotPoint {
  double t = 0;
  double v = 0;
};

struct PlotTrace {
  std::vector<PlotPoint> points;  // in time order
  bool decimated = false;         // min/max pairs per pixel column, not single rows
  double min = 0, max = 0;        // of the rows in [t0, t1] (the rows bordering it left out)
  bool empty = true;              // no row in [t0, t1]
};

// The trace of `column` over [t0, t1] drawn `pixels` wide. With no more than two rows per
// pixel the rows are given, with the last row before t0 and the first after t1 so that the
// line runs to the edges; else each pixel column gives its minimum and maximum (in that
// order) at its middle time, taken whole bins at a time from the summary.
PlotTrace TraceOf(const LogTable& log, const LogColumn& column, const MinMaxSummary& summary,
                  double t0, double t1, int pixels);

// A trace split by a flag column (the advance map in use): [0] the points where the flag is 0,
// [1] where it is not, each with NaN values where the other one runs (a gap in its line). At a
// change of the flag the first point of the new run ends the old run's line too, so that the
// two lines meet. A point stands for the row at or before its time.
std::array<std::vector<PlotPoint>, 2> SplitByFlag(const std::vector<PlotPoint>& points,
                                                  const LogTable& log, const LogColumn& flag);

}  // namespace rq::logs
