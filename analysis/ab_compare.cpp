// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/ab_compare.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <cmath>
#include <limits>
#include <vector>

namespace rq::analysis {

namespace {

// Threads for the bootstraps of a long log: one below this many passes.
constexpr std::size_t kPassesPerThread = 20000;
constexpr unsigned kMaxThreads = 4;


// The bootstrap's random numbers: splitmix64, the same sequence on every machine.
class Draws {
 public:
  explicit Draws(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 .. n-1 (n < 2^32), by a multiply and shift of 32 random bits.
  std::uint32_t below(std::uint32_t n) {
    return std::uint32_t((std::uint64_t(std::uint32_t(next() >> 32)) * n) >> 32);
  }

 private:
  std::uint64_t state_;
};

// What the bootstrap draws from: a pass, or a run of consecutive passes of one window.
struct Unit {
  std::uint32_t stratum;  // index among the cell's compared strata
  std::uint32_t rows;
  double sum;
};

// Rows and acceleration sums of each map in a stratum.
struct StratumSums {
  std::uint32_t rows[2] = {0, 0};
  double sum[2] = {0, 0};
};

// sum w (mean2 - mean1) / sum w mean1 over the strata holding both maps, w = n1 n2 / (n1 + n2);
// nullopt without such a stratum, or when map 1's side is not above 0.
// (w (mean2 - mean1) = (n1 sum2 - n2 sum1) / (n1 + n2), w mean1 = n2 sum1 / (n1 + n2).)
// With `clear`, every stratum is emptied as it is read (for the next draw).
template <bool clear, typename Strata>
std::optional<double> Gain(Strata& strata) {
  double d = 0, b = 0;
  std::uint32_t both = 0;
  // Without branches: a stratum that lost one map in a draw weighs 0.
  for (auto& s : strata) {
    const std::uint32_t n1 = s.rows[0], n2 = s.rows[1];
    const std::uint32_t counts = (n1 != 0) & (n2 != 0);
    const double f = counts / double(std::max<std::uint32_t>(n1 + n2, 1));
    d += (n1 * s.sum[1] - n2 * s.sum[0]) * f;
    b += n2 * s.sum[0] * f;
    both |= counts;
    if constexpr (clear) s = StratumSums{};
  }
  if (both == 0 || !(b > 0)) return std::nullopt;
  return d / b;
}

// The p-quantile (interpolated between neighbours) of the draws, where the `undefined` draws
// count as -infinity for the low end and +infinity for the high end; nullopt when the quantile
// reaches one of them.
std::optional<double> Quantile(const std::vector<double>& sorted, std::size_t undefined, double p,
                               bool low) {
  const std::size_t n = sorted.size() + undefined;
  if (n == 0) return std::nullopt;
  const double h = double(n - 1) * p;
  const std::size_t a = std::size_t(std::floor(h)), b = std::min(a + 1, n - 1);
  auto at = [&](std::size_t k) -> std::optional<double> {
    if (low) {
      if (k < undefined) return std::nullopt;
      return sorted[k - undefined];
    }
    if (k >= sorted.size()) return std::nullopt;
    return sorted[k];
  };
  const auto va = at(a), vb = at(b);
  if (!va || !vb) return std::nullopt;
  return *va + (*vb - *va) * (h - double(a));
}

void CompareCell(const std::vector<const AbPass*>& passes, const AbOptions& options, std::uint64_t seed,
                 AbCell& cell) {
  // Strata of the cell, and which of them hold both maps.
  std::vector<std::uint64_t> keys;
  keys.reserve(passes.size());
  for (const AbPass* p : passes) keys.push_back(p->stratum);
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  auto indexOf = [&](std::uint64_t key) {
    return std::size_t(std::lower_bound(keys.begin(), keys.end(), key) - keys.begin());
  };
  std::vector<StratumSums> strata(keys.size());
  std::vector<std::array<int, 2>> stratumPasses(keys.size());
  for (const AbPass* p : passes) {
    const std::size_t k = indexOf(p->stratum);
    strata[k].rows[p->map] += p->rows;
    strata[k].sum[p->map] += p->sum;
    ++stratumPasses[k][p->map];
  }
  std::vector<std::int32_t> compared(keys.size(), -1);  // index among the compared strata
  std::int32_t comparedCount = 0;
  for (std::size_t k = 0; k < strata.size(); ++k) {
    const StratumSums& s = strata[k];
    if (s.rows[0] == 0 || s.rows[1] == 0) continue;
    compared[k] = comparedCount++;
    cell.compared1 += int(s.rows[0]);
    cell.compared2 += int(s.rows[1]);
    cell.passes1 += stratumPasses[k][0];
    cell.passes2 += stratumPasses[k][1];
  }
  if (const auto g = Gain<false>(strata)) cell.gainPct = 100 * *g;
  if (!cell.gainPct || cell.compared1 < options.minRows || cell.compared2 < options.minRows ||
      cell.passes1 < options.minPasses || cell.passes2 < options.minPasses)
    return;

  // The units of each gear and map: the compared passes, in time order; runs of consecutive
  // passes of one window taken together where a gear and map has very many.
  std::vector<std::vector<Unit>> groups(2);  // by map
  for (const AbPass* p : passes) {
    const std::int32_t k = compared[indexOf(p->stratum)];
    if (k >= 0) groups[p->map].push_back({std::uint32_t(k), p->rows, p->sum});
  }
  for (std::vector<Unit>& units : groups) {
    if (units.size() <= kMaxDraws) continue;
    const std::size_t run = (units.size() + kMaxDraws - 1) / kMaxDraws;
    std::vector<Unit> merged;
    std::size_t inRun = 0;
    for (const Unit& u : units) {
      if (inRun > 0 && inRun < run && merged.back().stratum == u.stratum) {
        merged.back().rows += u.rows;
        merged.back().sum += u.sum;
        ++inRun;
      } else {
        merged.push_back(u);
        inRun = 1;
      }
    }
    units = std::move(merged);
  }

  Draws draws(seed);
  std::vector<StratumSums> again(static_cast<std::size_t>(comparedCount));
  std::vector<double> gains;
  gains.reserve(std::size_t(options.resamples));
  std::size_t undefined = 0;
  for (int b = 0; b < options.resamples; ++b) {
    for (std::size_t map = 0; map < 2; ++map) {
      const std::vector<Unit>& units = groups[map];
      const std::uint32_t n = std::uint32_t(units.size());
      for (std::uint32_t k = 0; k < n; ++k) {
        const Unit& u = units[draws.below(n)];
        StratumSums& s = again[u.stratum];
        s.rows[map] += u.rows;
        s.sum[map] += u.sum;
      }
    }
    if (const auto g = Gain<true>(again)) gains.push_back(100 * *g);
    else ++undefined;
  }
  std::sort(gains.begin(), gains.end());
  const double alpha = 1 - options.confidence;
  cell.interval = true;
  cell.lowPct = Quantile(gains, undefined, alpha / 2, true);
  cell.highPct = Quantile(gains, undefined, 1 - alpha / 2, false);
  if (cell.lowPct && *cell.lowPct > 0) cell.better = 2;
  if (cell.highPct && *cell.highPct < 0) cell.better = 1;
}

}  // namespace

AbResult CompareMaps(std::span<const AbLog> logs, const LiveCellRule& rule, const AbOptions& options,
                     const ParameterImage* reference) {
  return CompareMaps(CollectPasses(logs, rule, options.selection, options.windowSeconds, options.offsets, reference),
                     options);
}

AbResult CompareMaps(const AbPasses& all, const AbOptions& options) {
  AbResult result;
  result.rows = all.rows;
  result.totalRows = all.totalRows;
  result.derivedLogs = all.derivedLogs;
  const RiddenMaps ridden = RiddenMapsOf(all);
  // Per log and cell: the ride used the maps the verdict is about. With a reference
  // configuration, what its maps give at the same rows; without, the maps of the newest log
  // through the cell that logged its advance.
  std::vector<std::uint8_t> current(all.logs * kCells, 1);
  for (int k = 0; k < kCells; ++k) {
    if (all.referenced) {
      for (std::size_t l = 0; l < all.logs; ++l) {
        const auto& e = ridden.expectedAt(l, k);
        current[l * kCells + std::size_t(k)] = RodeMaps(ridden.at(l, k), e[0], e[1], options.tolerance) ? 1 : 0;
      }
      continue;
    }
    std::array<float, 2> reference{};
    bool known = false;
    for (std::size_t l = all.logs; l-- > 0 && !known;) {
      const auto& m = ridden.at(l, k);
      if (ridden.rowsAt(l, k) > 0 && !std::isnan(m[0]) && !std::isnan(m[1])) {
        reference = m;
        known = true;
      }
    }
    if (!known) continue;
    for (std::size_t l = 0; l < all.logs; ++l)
      current[l * kCells + std::size_t(k)] =
          RodeMaps(ridden.at(l, k), reference[0], reference[1], options.tolerance) ? 1 : 0;
  }

  // The passes of each cell from rides of these maps, in the order ridden.
  std::vector<std::vector<const AbPass*>> byCell(kCells);
  for (const AbPass& p : all.passes) {
    AbCell& c = result.cells[std::size_t(p.cell / kMapColumns)][std::size_t(p.cell % kMapColumns)];
    if (current[std::size_t(p.log) * kCells + p.cell] == 0) {
      c.staleRows += int(p.rows);
      continue;
    }
    (p.map ? c.rows2 : c.rows1) += int(p.rows);
    byCell[p.cell].push_back(&p);
  }
  // Each cell draws from a sequence of its own: its answer depends on its rows only, so the
  // cells are shared out between threads (a long log's bootstraps take most of the time) and
  // the answer is the same whatever their number.
  std::vector<int> busy;
  std::size_t passes = 0;
  for (int k = 0; k < kCells; ++k)
    if (!byCell[std::size_t(k)].empty()) {
      busy.push_back(k);
      passes += byCell[std::size_t(k)].size();
    }
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    for (std::size_t i; (i = next.fetch_add(1)) < busy.size();) {
      const int k = busy[i];
      AbCell& cell = result.cells[std::size_t(k / kMapColumns)][std::size_t(k % kMapColumns)];
      CompareCell(byCell[std::size_t(k)], options, options.seed + 0x9E3779B97F4A7C15ull * std::uint64_t(k + 1), cell);
    }
  };
  const unsigned threads = passes < kPassesPerThread ? 1u
                           : std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads);
  std::vector<std::thread> helpers;
  for (unsigned t = 1; t < threads; ++t) helpers.emplace_back(work);
  work();
  for (std::thread& t : helpers) t.join();
  return result;
}

}  // namespace rq::analysis
