// SPDX-License-Identifier: GPL-3.0-or-later
// The power-output pages without widgets: the mode presets, the fixed on/off patterns of the
// pilot-light and power-jet modes, and which controls each mode shows.
#pragma once

#include <array>

#include "model/parameter_image.h"

namespace rq {

inline constexpr int kPowerOutputs = 4;

// The boxes of one output: row k (throttle band 0..2), column j (rpm band 0..3).
using PowerGrid = std::array<std::array<bool, 4>, 3>;

// The pattern a mode forces on the boxes (pilot light 2, power jet 3); nullptr for the
// modes that leave the boxes as they are.
const PowerGrid* ForcedPowerGrid(int mode);
// Row byte of a grid row: bit j = box j.
int PowerRowByte(const std::array<bool, 4>& row);

// A mode was chosen for `output`: store it, then, for every output by its mode, the presets
// (pilot light: first threshold 9000 rpm; power jet and special: 4000 / 12500 / 14000 rpm and
// 75 / 90 %) and the forced box pattern, so that the undo step, programming after change and
// a saved file hold what the page shows.
void ApplyPowerOutMode(ParameterImage& image, int output, int mode);

// Which controls of one output a mode shows.
struct PowerOutLayout {
  bool group = false;                 // GroupBoxPOutMap
  std::array<bool, 3> rpm{};          // threshold edits (and their up-downs, bevels)
  bool tpsLabel = false;
  std::array<bool, 2> tps{};          // throttle edits (and their up-downs, bevels)
  std::array<std::array<bool, 4>, 3> box{};
  bool boxesEnabled = false;          // only the free setting edits the boxes
};
PowerOutLayout PowerOutLayoutOf(int mode);

}  // namespace rq
