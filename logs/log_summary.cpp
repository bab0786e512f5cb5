// SPDX-License-Identifier: GPL-3.0-or-later
#include "logs/log_summary.h"

#include <algorithm>

namespace rq::logs {

MinMaxSummary BuildMinMaxSummary(const LogColumn& column, std::size_t binRows) {
  MinMaxSummary s;
  s.binRows = std::max<std::size_t>(binRows, 1);
  const std::size_t n = column.size();
  s.bins.reserve((n + s.binRows - 1) / s.binRows);
  for (std::size_t first = 0; first < n; first += s.binRows) {
    const std::size_t last = std::min(n, first + s.binRows);
    double lo = column.value(first), hi = lo;
    for (std::size_t i = first + 1; i < last; ++i) {
      const double v = column.value(i);
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
    s.bins.push_back({static_cast<float>(lo), static_cast<float>(hi)});
  }
  return s;
}

MinMaxBin RangeMinMax(const LogColumn& column, const MinMaxSummary& summary, std::size_t first,
                      std::size_t last) {
  last = std::min(last, column.size());
  if (first >= last) return {};
  double lo = column.value(first), hi = lo;
  auto take = [&](double v) {
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  };
  const std::size_t b = summary.binRows;
  std::size_t i = first;
  // Single rows up to the first whole bin, whole bins from the summary, single rows after.
  for (; i < last && i % b != 0; ++i) take(column.value(i));
  for (; i + b <= last && i / b < summary.bins.size(); i += b) {
    take(summary.bins[i / b].min);
    take(summary.bins[i / b].max);
  }
  for (; i < last; ++i) take(column.value(i));
  return {static_cast<float>(lo), static_cast<float>(hi)};
}

}  // namespace rq::logs
