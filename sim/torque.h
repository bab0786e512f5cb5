// SPDX-License-Identifier: GPL-3.0-or-later
// How hard the simulated engine pulls on the A/B ride: a best advance per rpm and throttle
// (hidden from the tool: only tests and benchmarks ask for it), torque falling away on both
// sides of it, a cold engine that gives a little less until it is warm, and the engine speed
// that torque gains per second in a gear against the drag of the bike.
#pragma once

#include <string>

#include "model/parameter_image.h"

namespace rq::sim {

// Which engine answers the advance. Standard: torque falls with the square of the distance
// from the best advance, alike on both sides. Flat: torque does not depend on the advance at
// all. Other: a second engine for checking methods that learn from the rides: another best
// advance over rpm and load (a dip where the engine breathes best), torque falling more gently
// than a square on the retarded side and with a steeper square on the advanced side, and a
// fall-off that grows with rpm.
enum class EngineKind { Standard, Flat, Other };
// "standard", "flat", "other"; false for another word.
bool ParseEngineKind(const std::string& word, EngineKind& kind);

// The advance (degrees) at which the engine gives its most torque.
double BestAdvance(double rpm, double throttlePercent, EngineKind kind = EngineKind::Standard);

// The share of the torque at the best advance that firing at `advance` gives: 1 at the best,
// falling with the square of the distance on either side (Standard).
double AdvanceEfficiency(double advance, double best, EngineKind kind = EngineKind::Standard,
                         double rpm = 0);

// Torque at the best advance as a share of the engine's peak, at this rpm and throttle.
double FullTorque(double rpm, double throttlePercent);

// Torque share of a warm engine after `seconds` of running (less while cold).
double WarmUp(double seconds);

// Engine speed gained per second (rpm/s) in `gear` with `torque` (a share of the peak): the
// push at the wheel grows with the gear's rpm per road speed, the drag with the road speed that
// this rpm gives in that gear. Negative when the drag wins.
double PullRate(const ParameterImage& cfg, int gear, double rpm, double torque);

// The torque share an advance gives at (rpm, throttle) on a warm engine.
inline double TorqueAt(double rpm, double throttlePercent, double advance,
                       EngineKind kind = EngineKind::Standard) {
  return FullTorque(rpm, throttlePercent) *
         AdvanceEfficiency(advance, BestAdvance(rpm, throttlePercent, kind), kind, rpm);
}

// The best advance at every rpm point of a map page and every throttle row, for tests and
// benchmarks: a header line, then one line per throttle row, 100 % first.
std::string BestAdvanceTable(const ParameterImage& cfg, int page, EngineKind kind = EngineKind::Standard);

}  // namespace rq::sim
