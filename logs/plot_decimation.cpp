// SPDX-License-Identifier: GPL-3.0-or-later
#include "logs/plot_decimation.h"

#include <algorithm>
#include <limits>

namespace rq::logs {

PlotTrace TraceOf(const LogTable& log, const LogColumn& column, const MinMaxSummary& summary,
                  double t0, double t1, int pixels) {
  PlotTrace out;
  const std::vector<double>& time = log.time();
  if (time.empty() || !(t1 >= t0)) return out;
  pixels = std::max(pixels, 1);
  const auto first = static_cast<std::size_t>(
      std::lower_bound(time.begin(), time.end(), t0) - time.begin());
  const auto last = static_cast<std::size_t>(
      std::upper_bound(time.begin(), time.end(), t1) - time.begin());  // one past
  if (first < last) {
    const MinMaxBin range = RangeMinMax(column, summary, first, last);
    out.min = range.min;
    out.max = range.max;
    out.empty = false;
  }
  const std::size_t inside = last - first;
  if (inside <= 2 * static_cast<std::size_t>(pixels)) {
    const std::size_t from = first > 0 ? first - 1 : 0;
    const std::size_t to = std::min(last + 1, time.size());
    out.points.reserve(to - from);
    for (std::size_t i = from; i < to; ++i) out.points.push_back({time[i], column.value(i)});
    return out;
  }
  out.decimated = true;
  out.points.reserve(2 * static_cast<std::size_t>(pixels) + 2);
  if (first > 0) out.points.push_back({time[first - 1], column.value(first - 1)});
  const double width = (t1 - t0) / pixels;
  std::size_t row = first;
  for (int p = 0; p < pixels && row < last; ++p) {
    const double end = p + 1 == pixels ? t1 : t0 + (p + 1) * width;
    const auto stop = static_cast<std::size_t>(
        std::upper_bound(time.begin() + static_cast<std::ptrdiff_t>(row),
                         time.begin() + static_cast<std::ptrdiff_t>(last), end) -
        time.begin());
    if (stop == row) continue;  // no row in this pixel column
    const MinMaxBin mm = RangeMinMax(column, summary, row, stop);
    const double mid = t0 + (p + 0.5) * width;
    out.points.push_back({mid, mm.min});
    out.points.push_back({mid, mm.max});
    row = stop;
  }
  if (last < time.size()) out.points.push_back({time[last], column.value(last)});
  return out;
}

std::array<std::vector<PlotPoint>, 2> SplitByFlag(const std::vector<PlotPoint>& points,
                                                  const LogTable& log, const LogColumn& flag) {
  constexpr double kGap = std::numeric_limits<double>::quiet_NaN();
  std::array<std::vector<PlotPoint>, 2> out;
  if (log.rows() == 0) return out;
  int before = -1;
  for (const PlotPoint& pt : points) {
    const int side = flag.value(log.rowAtOrBefore(pt.t)) != 0 ? 1 : 0;
    if (before >= 0 && side != before) {
      // The old line runs on to the new run's first point, then breaks.
      out[std::size_t(before)].push_back(pt);
      out[std::size_t(before)].push_back({pt.t, kGap});
    }
    out[std::size_t(side)].push_back(pt);
    before = side;
  }
  return out;
}

}  // namespace rq::logs
