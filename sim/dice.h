// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's one source of chance: the rider's choices and the noise on every measured
// value draw from it in a fixed order, so one seed gives one ride.
#pragma once

#include <cstdint>
#include <random>

namespace rq::sim {

class Dice {
 public:
  explicit Dice(std::uint64_t seed) : rng_(seed) {}

  double uniform(double lo, double hi) {
    std::uniform_real_distribution<double> d(lo, hi);
    return d(rng_);
  }
  // A value in [-amplitude, amplitude].
  double noise(double amplitude) { return uniform(-amplitude, amplitude); }

 private:
  std::mt19937_64 rng_;
};

}  // namespace rq::sim
