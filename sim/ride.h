// SPDX-License-Identifier: GPL-3.0-or-later
// The rider: a ride of about two and a half minutes that repeats. The engine starts on the kill switch,
// idles, is blipped twice (the second time into the limiter), pulls away on the start limiter,
// runs up through every gear (second gear into the soft limiter), cruises at part throttle,
// brakes and shifts down, rolls on again at other throttles and speeds, and comes to a stop.
// The ride only says what the rider does (throttle, gear, switches) and where the engine
// would go; the limiters and everything the unit measures are the engine's business.
#pragma once

#include <cstddef>
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
};

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
  };

  explicit Ride(Dice& dice);

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
};

}  // namespace rq::sim
