// SPDX-License-Identifier: GPL-3.0-or-later
// The rider: a ride of about two and a half minutes that repeats. The engine starts on the kill switch,
// idles, is blipped twice (the second time into the limiter), pulls away on the start limiter,
// runs up through every gear (second gear into the soft limiter), cruises at part throttle,
// brakes and shifts down, rolls on again at other throttles and speeds, and comes to a stop.
// The ride only says what the rider does (throttle, gear, switches) and where the engine
// would go; the limiters and everything the unit measures are the engine's business.
//
// The A/B ride instead compares the two advance maps the way a tuner does on the road: after
// the start, sets of pulls in each gear at each throttle opening, rolled off between pulls,
// with the second map switched on for every other pull. How fast the engine gains speed in a
// pull is then the engine's answer (its torque at the advance fired), not the rider's.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <vector>

#include "model/parameter_image.h"
#include "sim/dice.h"

namespace rq::sim {

// What the rider does at one moment.
struct RiderControls {
  double throttle = 0;      // permille
  int gear = 0;             // engaged, 0 neutral
  double wantedRpm = 0;     // where the engine goes unless a limiter cuts in
  bool launch = false;      // holds the start limiter switch
  bool clutch = false;      // shift lever sensor during an upshift
  bool kill = false;        // engine stopped by the kill switch
  bool shifting = false;    // between two gears (an upshift)
  double shiftFromRpm = 0;  // engine speed when the shift began: road speed stays with it
  bool secondMap = false;   // holds the switch of the second advance map (A/B ride)
  double roadFactor = 1;    // what slope and wind do to this pull (A/B ride): a factor on the push
};

// The A/B ride. A set is `rounds` rounds of pulls in one gear at one throttle opening; a round
// is pulls[gear][0] pulls on map 1 and pulls[gear][1] on map 2, the map that starts taking
// turns from round to round (A B, B A, ...), so that a slow drift weighs on both maps alike.
// Every gear of `gears` takes a set at every opening of `throttlePercent`, then the sets
// begin again. A pull runs from `fromRpm` to `toRpm` (or until the engine stops gaining speed,
// or 25 s); between pulls the rider rolls off in gear down to `fromRpm`.
struct AbRide {
  std::vector<int> gears{2, 3, 4, 5};
  std::vector<int> throttlePercent{40, 60, 100};
  int rounds = 2;
  std::array<std::array<int, 2>, 7> pulls{{{1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}}};
  double fromRpm = 3500;
  double toRpm = 9500;
};

// How fast the engine gains speed (rpm/s) with this throttle (permille) in this gear.
using PullSource =
    std::function<double(const ParameterImage& cfg, double rpm, double throttle, int gear)>;

class Ride {
 public:
  enum class Phase { Off, Cranking, Idle, Blip, Launch, Accelerate, Shift, Cruise, Decelerate };

  // One part of the ride. Pull: shift up into `gear` if below it, then accelerate at
  // `throttle` until `rpm`. Cruise: hold `gear` with `throttle` near `rpm` for `seconds`.
  // Brake: close the throttle and shift down to `gear` (0: to a stop). Every leg also ends
  // after `seconds`, so a configuration that keeps the engine from its target cannot stall
  // the ride.
  struct Leg {
    Phase phase;
    double seconds;
    int gear = 0;
    double throttle = 0;  // permille
    double rpm = 0;
    bool secondMap = false;  // the second map's switch during this leg (A/B ride)
  };

  explicit Ride(Dice& dice);

  // Rides the A/B ride from the next start of a round on; `pull` answers how fast the engine
  // gains speed in a pull.
  void UseAbRide(const AbRide& ride, PullSource pull);
  bool abRide() const { return static_cast<bool>(pull_); }

  // Starts the ride over from its beginning (engine off), or from idle when it turns.
  void Restart(double rpm);
  // Moves the rider on by dt seconds; rpm is where the engine is now.
  void Step(double dt, double rpm, const ParameterImage& cfg);

  Phase phase() const { return phase_; }
  const RiderControls& controls() const { return controls_; }
  // The legs of one round with the configuration's gears and limiters (the first round's
  // random choices are drawn when it starts).
  const std::vector<Leg>& plan() const { return plan_; }

 private:
  void plan(const ParameterImage& cfg);
  void planAb(const ParameterImage& cfg);
  void startLeg(double rpm, const ParameterImage& cfg);
  void nextLeg(double rpm, const ParameterImage& cfg);
  void maybeShift(double rpm, const ParameterImage& cfg);
  void enter(Phase p, double duration);

  Dice& dice_;
  std::vector<Leg> plan_;
  std::size_t leg_ = 0;
  bool planned_ = false;
  bool startAtIdle_ = false;
  Phase phase_ = Phase::Off;
  double phaseTime_ = 0;
  double phaseDuration_ = 0;
  double legTime_ = 0;
  double heldTime_ = 0;  // seconds a limiter has kept the engine from where the rider wants it
  double shiftTo_ = 0;
  RiderControls controls_;
  // The A/B ride.
  AbRide ab_;
  PullSource pull_;
  bool abStarted_ = false;  // the engine has been started: later rounds are pulls only
  double slowTime_ = 0;     // seconds the pull has gained less than a stall rate
};

}  // namespace rq::sim
