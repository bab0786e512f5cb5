// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/grid_text.h"

#include <charconv>
#include <cstdio>

namespace rq {

std::string TextGrid(const int (&rpmPoints)[kMapColumns], int width, const CellText& cell) {
  char buf[64];
  std::string o = "throttle % \\ rpm";
  for (int col = 0; col < kMapColumns; ++col) {
    std::snprintf(buf, sizeof buf, "%*d", width, rpmPoints[col]);
    o += buf;
  }
  o += '\n';
  for (int r = kMapRows - 1; r >= 0; --r) {
    std::snprintf(buf, sizeof buf, "%16d", kThrottleRows[r]);
    o += buf;
    for (int col = 0; col < kMapColumns; ++col) {
      const std::string text = cell(r, col);
      o.append(text.size() < std::size_t(width) ? std::size_t(width) - text.size() : 0, ' ');
      o += text;
    }
    o += '\n';
  }
  return o;
}

std::string JsonGrid(const CellText& cell) {
  std::string o = "[";
  for (int r = 0; r < kMapRows; ++r) {
    o += r ? ",[" : "[";
    for (int col = 0; col < kMapColumns; ++col) o += (col ? "," : "") + cell(r, col);
    o += "]";
  }
  return o + "]";
}

std::string JsonNumber(std::optional<double> v) {
  if (!v) return "null";
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, *v);
  return std::string(buf, r.ptr);
}

std::string JsonAxes(const int (&rpmPoints)[kMapColumns]) {
  std::string o = "\"rpm\":[";
  for (int col = 0; col < kMapColumns; ++col) o += (col ? "," : "") + std::to_string(rpmPoints[col]);
  o += "],\"throttle_pct\":[";
  for (int r = 0; r < kMapRows; ++r) o += (r ? "," : "") + std::to_string(kThrottleRows[r]);
  return o + "]";
}

}  // namespace rq
