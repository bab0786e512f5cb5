// SPDX-License-Identifier: GPL-3.0-or-later
// The median wall time of many runs of one operation, for the plain C++ benchmarks.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace rq::bench {

// Runs fn(0) .. fn(runs - 1) and returns the median time of one run in microseconds.
inline double MedianMicros(int runs, const std::function<void(int)>& fn) {
  std::vector<double> t;
  t.reserve(static_cast<std::size_t>(runs));
  for (int i = 0; i < runs; ++i) {
    const auto a = std::chrono::steady_clock::now();
    fn(i);
    const auto b = std::chrono::steady_clock::now();
    t.push_back(std::chrono::duration<double, std::micro>(b - a).count());
  }
  std::nth_element(t.begin(), t.begin() + runs / 2, t.end());
  return t[static_cast<std::size_t>(runs / 2)];
}

}  // namespace rq::bench
