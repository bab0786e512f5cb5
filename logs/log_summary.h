// SPDX-License-Identifier: GPL-3.0-or-later
// Per-channel minimum and maximum over bins of consecutive rows, for drawing a long log with
// one vertical stroke per pixel column instead of every point.
#pragma once

#include <cstddef>
#include <vector>

#include "logs/log_table.h"

namespace rq::logs {

inline constexpr std::size_t kSummaryBinRows = 64;

struct MinMaxBin {
  float min = 0;
  float max = 0;
};

struct MinMaxSummary {
  std::size_t binRows = kSummaryBinRows;
  std::vector<MinMaxBin> bins;  // bin b covers rows [b * binRows, min((b + 1) * binRows, rows))
};

// The summary of one column in plain units.
MinMaxSummary BuildMinMaxSummary(const LogColumn& column, std::size_t binRows = kSummaryBinRows);

// Minimum and maximum of rows [first, last) of a column, using the summary for whole bins.
MinMaxBin RangeMinMax(const LogColumn& column, const MinMaxSummary& summary, std::size_t first,
                      std::size_t last);

}  // namespace rq::logs
