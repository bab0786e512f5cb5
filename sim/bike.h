// SPDX-License-Identifier: GPL-3.0-or-later
// The motorcycle as the configuration describes it: its gears and what its three inputs are
// wired to. Both the rider and the unit's logic go by it.
#pragma once

#include "model/parameter_image.h"

namespace rq::sim {

// Input functions (image bytes 166..168).
enum InputFunction : int {
  kInputOff = 0,
  kInputKillSwitch = 1,
  kInputBlocking = 2,
  kInputClutchMaster = 3,
  kInputRetard = 4,
  kInputStartLimiter = 5,
  kInputSecondMap = 6,
};

// True when one of the three inputs has the function.
bool InputFunctionActive(const ParameterImage& cfg, int function);

// Readies a configuration for the A/B ride: an input on the second map (one that has it
// already, else the first that is off, else the first that is neither the kill switch nor the
// gear or speed sensor), and the second map's acceleration threshold at its highest, so that
// only the switch picks the second map. Returns the input (0..2).
int SetUpSecondMapSwitch(ParameterImage& cfg);

// Gear row of the per-gear tables: neutral and first share row 0.
int GearRow(int gear);
// Number of gears, 1..6.
int GearCount(const ParameterImage& cfg);
// Engine speed over road speed x 10 in a gear (the built-in ratio when none is programmed);
// 0 in neutral.
double GearRatio(const ParameterImage& cfg, int gear);

}  // namespace rq::sim
