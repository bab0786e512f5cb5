// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/ab_estimate.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>
#include <unordered_map>

namespace rq::analysis {

namespace {

// The scatter of the acceleration relative to its mean, from row to row within a pass and from
// pass to pass beyond what the rows explain (road, wind, rider), assumed for a log with fewer
// than kLeastPairs pairs of passes to tell its own, and the least either is taken as.
constexpr double kPriorRowScatter = 0.06, kPriorPassScatter = 0.02;
constexpr double kLeastRowScatter = 0.005, kLeastPassScatter = 0.005;
constexpr double kLeastPairs = 20;
// The grid of the fall-off's strength, in multiples of the prior value: from nearly flat to
// very steep, evenly in its logarithm. The prior on it is normal in the logarithm.
constexpr int kCurvatures = 33;
constexpr double kCurvatureLow = 1.0 / 128, kCurvatureHigh = 16;
constexpr double kCurvaturePriorSdLog = 0.7;
// Degrees between the advance a ride fired and what a map gives at its rows, on average over a
// cell, within which the ride used that map.
constexpr double kSameMap = 0.5;
// The share of the prior on an engine that hardly cares about advance (the flattest strength).
constexpr double kFlatShare = 0.2;
// The data prefer a side of the first value where the best advance lies on it with at most
// this chance.
constexpr double kPreferenceLevel = 0.25;
// The line through neighbouring cells: their weights by distance in rpm columns.
constexpr int kSmoothColumns = 2;
constexpr std::array<double, kSmoothColumns + 1> kSmoothKernel = {1, 0.5, 0.2};
// and along the throttle rows.
constexpr int kSmoothRows = 2;
constexpr std::array<double, kSmoothRows + 1> kSmoothRowKernel = {1, 0.5, 0.25};

// What a cell's comparisons add up to. Each comparison (one stratum of the cell with passes of
// both maps) gives a gain g with variance s2 at a pair d apart around m; for a strength v the
// gains are v d (b - m) plus noise, so these sums carry all the cell says about b and v. E and
// the per-stratum F carry the noise's parts: E what is the comparison's own (row to row), F
// what the stratum's pulls share with the cells beside it (pass to pass).
struct CellSums {
  double D = 0;  // sum d^2 / s2
  double G = 0;  // sum g d / s2
  double M = 0;  // sum d^2 m / s2
  double Q = 0;  // sum g^2 / s2
  double R = 0;  // sum g d m / s2
  double T = 0;  // sum d^2 m^2 / s2
  double E = 0;  // sum d^2 (1 - passShare) / s2
  std::vector<std::pair<std::uint64_t, double>> F;  // per stratum: sum d sqrt(passShare / s2)
  int comparisons = 0;
};

struct CellData {
  CellSums sums;
  BestCell out;
  double anchor = 0;  // the prior's centre
};

// What a cell's own comparisons say about b for one strength v: its precision and mean (the
// gains are linear in b), and the log likelihood of the gains with b drawn from its prior.
struct Fit {
  double precision = 0, mean = 0, logLikelihood = 0;
};

Fit FitCell(const CellData& cell, double v, double tau) {
  const CellSums& x = cell.sums;
  // With e = g + v d m = v d b + noise: a = sum (v d)^2 / s2, b = sum e v d / s2, c = sum e^2 / s2.
  const double a = v * v * x.D;
  const double b = v * x.G + v * v * x.M;
  const double c = x.Q + 2 * v * x.R + v * v * x.T;
  const double b0 = cell.anchor, prior = 1 / (tau * tau);
  const double precision = a + prior;
  const double mean = (b + b0 * prior) / precision;
  Fit f;
  f.precision = a;
  f.mean = a > 0 ? b / a : b0;
  f.logLikelihood = -0.5 * (c + b0 * b0 * prior - precision * mean * mean) - 0.5 * std::log(precision / prior);
  return f;
}

// A normal component of b's posterior.
struct Normal {
  double mean = 0, sd = 1;
};

// A cell near the one estimated: its place from it (columns, rows), its weight, and its
// weight in the plane's value at the estimated cell.
struct Near {
  int cell = 0;
  double column = 0, row = 0, w = 0;
  double l = 0;
};

// The weights l with which a plane fitted by weighted least squares through the cells gives its
// value at (0, 0): a plane where the cells span both directions, a line where they lie on one
// row or one column, their weighted mean where they are one cell.
void PlaneWeights(std::vector<Near>& near) {
  bool columns = false, rows = false;
  for (const Near& n : near) {
    columns |= n.column != near.front().column;
    rows |= n.row != near.front().row;
  }
  // The design: 1, column, row, as far as the cells span them.
  auto x = [&](const Near& n, int j) { return j == 0 ? 1.0 : j == 1 ? (columns ? n.column : 0.0) : (rows ? n.row : 0.0); };
  double m[3][3] = {};
  for (const Near& n : near)
    for (int a = 0; a < 3; ++a)
      for (int b = 0; b < 3; ++b) m[a][b] += n.w * x(n, a) * x(n, b);
  if (!columns) m[1][1] = 1;
  if (!rows) m[2][2] = 1;
  // The first row of the inverse: the intercept's weights on the normal equations.
  const double c00 = m[1][1] * m[2][2] - m[1][2] * m[2][1];
  const double c01 = m[1][2] * m[2][0] - m[1][0] * m[2][2];
  const double c02 = m[1][0] * m[2][1] - m[1][1] * m[2][0];
  const double det = m[0][0] * c00 + m[0][1] * c01 + m[0][2] * c02;
  if (!(std::fabs(det) > 1e-12 * m[0][0] * m[1][1] * m[2][2])) {
    for (Near& n : near) n.l = n.w / m[0][0];
    return;
  }
  for (Near& n : near) n.l = n.w * (c00 * x(n, 0) + c01 * x(n, 1) + c02 * x(n, 2)) / det;
}

double NormalCdf(double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }

// The p-quantile of a mixture of normals.
double MixtureQuantile(const std::vector<double>& w, const std::vector<Normal>& fits, double p) {
  double lo = 1e300, hi = -1e300;
  for (std::size_t k = 0; k < fits.size(); ++k) {
    if (w[k] <= 0) continue;
    lo = std::min(lo, fits[k].mean - 8 * fits[k].sd);
    hi = std::max(hi, fits[k].mean + 8 * fits[k].sd);
  }
  for (int it = 0; it < 60; ++it) {
    const double x = 0.5 * (lo + hi);
    double cdf = 0;
    for (std::size_t k = 0; k < fits.size(); ++k)
      if (w[k] > 0) cdf += w[k] * NormalCdf((x - fits[k].mean) / fits[k].sd);
    (cdf < p ? lo : hi) = x;
  }
  return 0.5 * (lo + hi);
}

}  // namespace

BestEstimate EstimateBestAdvance(std::span<const AbLog> logs, const LiveCellRule& rule, int tunedMap,
                                 const EstimateOptions& options) {
  return EstimateBestAdvance(CollectPasses(logs, rule, options.selection, options.windowSeconds, options.offsets),
                             tunedMap, options);
}

BestEstimate EstimateBestAdvance(const AbPasses& all, int tunedMap, const EstimateOptions& options) {
  BestEstimate out;
  out.logs = all.logs;
  const RiddenMaps ridden = RiddenMapsOf(all);
  std::vector<CellData> cells(kCells);

  // What the rides fired in each cell: the first value of the tuned map, the newest pair's
  // middle, the highest and lowest advance.
  const std::size_t tuned = tunedMap == 2 ? 1 : 0;
  for (int k = 0; k < kCells; ++k) {
    BestCell& c = cells[std::size_t(k)].out;
    for (std::size_t l = 0; l < all.logs; ++l) {
      if (ridden.rowsAt(l, k) == 0) continue;
      ++c.rides;
      const auto& m = ridden.at(l, k);
      for (const float a : m) {
        if (std::isnan(a)) continue;
        c.highest = c.ridden ? std::max(c.highest, double(a)) : a;
        c.lowest = c.ridden ? std::min(c.lowest, double(a)) : a;
        if (!c.ridden) c.first = !std::isnan(m[tuned]) ? m[tuned] : a;
        c.ridden = true;
      }
      if (!std::isnan(m[0]) && !std::isnan(m[1])) c.centre = 0.5 * (double(m[0]) + m[1]);
      else if (!std::isnan(m[0]) || !std::isnan(m[1])) c.centre = std::isnan(m[0]) ? m[1] : m[0];
    }
    cells[std::size_t(k)].anchor = c.first;
  }

  // Each log's scatter of the acceleration, relative to the mean of its pass group (stratum,
  // cell, map): from row to row within a pass, and from pass to pass beyond what the rows
  // explain (the road, the wind, the rider). The groups: runs of the passes sorted by them.
  struct Group {
    std::uint64_t stratum = 0;
    std::uint16_t cell = 0;
    std::uint8_t map = 0;
    std::size_t begin = 0, end = 0;  // in `order`
    double rows = 0, sum = 0;
    double advance = 0;
    std::uint32_t advanceRows = 0;
    double level() const { return sum / rows; }
  };
  std::vector<const AbPass*> order;
  order.reserve(all.passes.size());
  for (const AbPass& p : all.passes) order.push_back(&p);
  std::stable_sort(order.begin(), order.end(), [](const AbPass* a, const AbPass* b) {
    return std::tie(a->stratum, a->cell, a->map) < std::tie(b->stratum, b->cell, b->map);
  });
  std::vector<Group> groups;
  for (std::size_t i = 0; i < order.size(); ++i) {
    const AbPass& p = *order[i];
    if (groups.empty() || groups.back().stratum != p.stratum || groups.back().cell != p.cell ||
        groups.back().map != p.map)
      groups.push_back({p.stratum, p.cell, p.map, i, i, 0, 0, 0, 0});
    Group& g = groups.back();
    g.end = i + 1;
    g.rows += p.rows;
    g.sum += p.sum;
    g.advance += p.advanceSum;
    g.advanceRows += p.advanceRows;
  }
  auto logOf = [](std::uint64_t stratum) { return std::size_t(stratum >> 44); };
  // From pairs of successive passes of a group: the squared difference of their means against
  // 1/n1 + 1/n2, a straight line whose height at 0 is twice the pass-to-pass variance and whose
  // slope is the row-to-row variance.
  struct Line {
    double n = 0, x = 0, y = 0, xx = 0, xy = 0;
  };
  std::vector<Line> lines(all.logs);
  for (const Group& g : groups) {
    const double level = g.level();
    if (!(level > 0)) continue;
    Line& line = lines[logOf(g.stratum)];
    for (std::size_t k = g.begin + 1; k < g.end; ++k) {
      const AbPass& a = *order[k - 1];
      const AbPass& b = *order[k];
      const double x = 1.0 / a.rows + 1.0 / b.rows;
      const double y = std::pow((a.sum / a.rows - b.sum / b.rows) / level, 2);
      line.n += 1;
      line.x += x;
      line.y += y;
      line.xx += x * x;
      line.xy += x * y;
    }
  }
  std::vector<double> rowVar(all.logs, kPriorRowScatter * kPriorRowScatter),
      passVar(all.logs, kPriorPassScatter * kPriorPassScatter);
  for (std::size_t l = 0; l < all.logs; ++l) {
    const Line& line = lines[l];
    const double det = line.n * line.xx - line.x * line.x;
    if (line.n < kLeastPairs || !(det > 1e-12 * line.n * line.xx)) continue;
    const double slope = (line.n * line.xy - line.x * line.y) / det;
    const double height = (line.y - slope * line.x) / line.n;
    rowVar[l] = std::max(kLeastRowScatter * kLeastRowScatter, slope);
    passVar[l] = std::max(kLeastPassScatter * kLeastPassScatter, height / 2);
  }

  // The comparisons: strata of a cell with passes of both maps and a logged advance for each.
  // Each map's level is the mean of its passes, each weighed by how much it can be trusted.
  auto weighed = [&](const Group& g, double& variance, double& passPart) {
    const std::size_t l = logOf(g.stratum);
    const double level = g.level();
    double sw = 0, sww = 0, swy = 0;
    for (std::size_t k = g.begin; k < g.end; ++k) {
      const AbPass& p = *order[k];
      const double w = 1 / (passVar[l] + rowVar[l] / p.rows);
      sw += w;
      sww += w * w;
      swy += w * p.sum / p.rows / level;
    }
    variance = 1 / sw;
    passPart = passVar[l] * sww / (sw * sw);
    return level * swy / sw;
  };
  for (std::size_t k = 0; k + 1 < groups.size(); ++k) {
    const Group& g1 = groups[k];
    const Group& g2 = groups[k + 1];
    if (g1.map != 0 || g2.map != 1 || g1.stratum != g2.stratum || g1.cell != g2.cell) continue;
    if (g1.advanceRows == 0 || g2.advanceRows == 0) continue;
    double v1 = 0, v2 = 0, p1 = 0, p2 = 0;
    const double y1 = weighed(g1, v1, p1), y2 = weighed(g2, v2, p2);
    if (!(y1 > 0) || !(y2 > 0)) continue;
    const double a1 = g1.advance / g1.advanceRows, a2 = g2.advance / g2.advanceRows;
    // The logarithm of the ratio: the same size either way round, so that noise alone leaves
    // no gain to either map.
    const double g = std::log(y2 / y1);
    const double d = a2 - a1, m = 0.5 * (a1 + a2);
    const double s2 = v1 + v2;
    const double share = (p1 + p2) / s2;
    CellSums& x = cells[g1.cell].sums;
    x.D += d * d / s2;
    x.G += g * d / s2;
    x.M += d * d * m / s2;
    x.Q += g * g / s2;
    x.R += g * d * m / s2;
    x.T += d * d * m * m / s2;
    x.E += d * d * (1 - share) / s2;
    x.F.push_back({g1.stratum, d * std::sqrt(share / s2)});
    ++x.comparisons;
    if (std::fabs(d) >= 0.5) ++cells[g1.cell].out.comparisons;
  }

  // The grid of strengths and each cell's fit at each.
  std::vector<double> curvature(kCurvatures), logPrior(kCurvatures);
  for (int i = 0; i < kCurvatures; ++i) {
    const double f = std::exp(std::log(kCurvatureLow) +
                              (std::log(kCurvatureHigh) - std::log(kCurvatureLow)) * i / (kCurvatures - 1));
    curvature[std::size_t(i)] = options.priorCurvature * f;
    const double z = std::log(f) / kCurvaturePriorSdLog;
    logPrior[std::size_t(i)] = -0.5 * z * z;
  }
  {
    // The flat end of the grid also holds kFlatShare of the prior: an engine that does not care.
    double total = 0;
    for (const double x : logPrior) total += std::exp(x);
    logPrior[0] = std::log(std::exp(logPrior[0]) + kFlatShare / (1 - kFlatShare) * total);
  }
  const double tau = options.priorSpread;
  std::vector<std::vector<Fit>> fits(kCells);
  for (int k = 0; k < kCells; ++k) {
    if (cells[std::size_t(k)].sums.comparisons == 0) continue;
    fits[std::size_t(k)].resize(kCurvatures);
    for (int i = 0; i < kCurvatures; ++i)
      fits[std::size_t(k)][std::size_t(i)] = FitCell(cells[std::size_t(k)], curvature[std::size_t(i)], tau);
  }

  // b at a cell from its own and its neighbours' comparisons: the best advance changes
  // smoothly with engine speed and load, so a plane through the cells near it (weighed by how
  // near and by how much each says) reads it with less noise than the cell alone, and follows a
  // slope without a bias. Every cell's precision for a strength v is v^2 D, so the plane's
  // weights do not depend on v, and neither do the parts of its mean and spread: for v the mean
  // is meanM + meanG / v and the variance spread / v^2.
  struct Plane {
    bool known = false;
    double meanM = 0, meanG = 0, spread = 0;
  };
  std::vector<Plane> planes(kCells);
  std::unordered_map<std::uint64_t, double> shared;
  for (int k = 0; k < kCells; ++k) {
    if (!(cells[std::size_t(k)].sums.D > 0)) continue;
    const int row = k / kMapColumns, column = k % kMapColumns;
    std::vector<Near> near;
    for (int r = std::max(0, row - kSmoothRows); r <= std::min(kMapRows - 1, row + kSmoothRows); ++r)
      for (int col = std::max(0, column - kSmoothColumns); col <= std::min(kMapColumns - 1, column + kSmoothColumns); ++col) {
        const CellSums& x = cells[std::size_t(r * kMapColumns + col)].sums;
        if (!(x.D > 0)) continue;
        const double kernel = kSmoothKernel[std::size_t(std::abs(col - column))] * kSmoothRowKernel[std::size_t(std::abs(r - row))];
        near.push_back({r * kMapColumns + col, double(col - column), double(r - row), kernel * x.D, 0});
      }
    PlaneWeights(near);
    Plane& plane = planes[std::size_t(k)];
    plane.known = true;
    shared.clear();
    for (const Near& n : near) {
      const CellSums& x = cells[std::size_t(n.cell)].sums;
      plane.meanM += n.l * x.M / x.D;
      plane.meanG += n.l * x.G / x.D;
      plane.spread += n.l * n.l * x.E / (x.D * x.D);
      for (const auto& [stratum, f] : x.F) shared[stratum] += n.l * f / x.D;
    }
    for (const auto& [stratum, part] : shared) plane.spread += part * part;
  }
  auto smoothed = [&](int k, int i) {
    const Plane& plane = planes[std::size_t(k)];
    const double prior = 1 / (tau * tau);
    if (!plane.known || !(plane.spread > 0)) return Normal{cells[std::size_t(k)].anchor, tau};
    const double v = curvature[std::size_t(i)];
    const double mean = plane.meanM + plane.meanG / v, variance = plane.spread / (v * v);
    const double precision = 1 / variance + prior;
    return Normal{(mean / variance + cells[std::size_t(k)].anchor * prior) / precision, 1 / std::sqrt(precision)};
  };

  const double alpha = 1 - options.confidence;
  for (int k = 0; k < kCells; ++k) {
    CellData& cell = cells[std::size_t(k)];
    BestCell& c = cell.out;
    if (!fits[std::size_t(k)].empty()) {
      // The strength's posterior from the cell and its neighbours.
      const int row = k / kMapColumns, column = k % kMapColumns;
      std::vector<double> w(logPrior);
      for (int r = std::max(0, row - options.neighbourRows); r <= std::min(kMapRows - 1, row + options.neighbourRows); ++r)
        for (int col = std::max(0, column - options.neighbourColumns);
             col <= std::min(kMapColumns - 1, column + options.neighbourColumns); ++col) {
          const auto& f = fits[std::size_t(r * kMapColumns + col)];
          if (f.empty()) continue;
          for (int i = 0; i < kCurvatures; ++i) w[std::size_t(i)] += f[std::size_t(i)].logLikelihood;
        }
      const double top = *std::max_element(w.begin(), w.end());
      double sum = 0;
      for (double& x : w) sum += (x = std::exp(x - top));
      for (double& x : w) x /= sum;
      std::vector<Normal> parts(kCurvatures);
      for (int i = 0; i < kCurvatures; ++i) parts[std::size_t(i)] = smoothed(k, i);
      c.best = MixtureQuantile(w, parts, 0.5);
      c.low = MixtureQuantile(w, parts, alpha / 2);
      c.high = MixtureQuantile(w, parts, 1 - alpha / 2);
      // A preference: the best advance lies on one side of the first value with a chance of
      // 1 - kPreferenceLevel. Without one the cell keeps its first value.
      const double lowSide = MixtureQuantile(w, parts, kPreferenceLevel);
      const double highSide = MixtureQuantile(w, parts, 1 - kPreferenceLevel);
      c.preference = !(lowSide <= c.first && c.first <= highSide);
      c.target = c.preference ? *c.best : c.first;
    }
    // The first value is still in the reference configuration's tuned map: what that map gives
    // at the oldest ride's rows is what they fired.
    if (all.referenced && c.ridden) {
      for (std::size_t l = 0; l < all.logs; ++l) {
        if (ridden.rowsAt(l, k) == 0) continue;
        const float fired = ridden.at(l, k)[tuned], given = ridden.expectedAt(l, k)[tuned];
        c.firstConfigured = !std::isnan(fired) && !std::isnan(given) && std::fabs(fired - given) <= kSameMap;
        break;
      }
    }
    out.cells[std::size_t(k / kMapColumns)][std::size_t(k % kMapColumns)] = c;
  }
  return out;
}

}  // namespace rq::analysis
