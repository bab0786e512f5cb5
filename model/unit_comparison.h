// SPDX-License-Identifier: GPL-3.0-or-later
// PC against unit without texts: which parameters, grid bits, rpm points and map cells show
// another value in two configurations, fast enough to run after every edit. It lists exactly
// the entries CompareConfigurations lists, in the same order, with their image slots.
#pragma once

#include <vector>

#include "model/configuration_text.h"
#include "model/parameter_image.h"
#include "model/parameter_table.h"

namespace rq {

enum class SlotKind { Scalar, GridBit, AxisPoint, Cell };

struct DifferingSlot {
  SlotKind kind;
  int page;
  ImageSlot slot;
  const ParameterDef* def = nullptr;  // Scalar: its table row
  int row = 0;     // GridBit: throttle band; Cell: throttle row
  int column = 0;  // GridBit: rpm band (bit); AxisPoint and Cell: rpm point
  int output = 0;  // GridBit: power output 0..3
};

// Every entry whose shown value (with its unit) differs from `a` to `b`.
std::vector<DifferingSlot> DifferingSlots(const ParameterImage& a, const ParameterImage& b);

// Copies the bits of `slot` from `from` into `to`.
void TakeSlot(ParameterImage& to, const ParameterImage& from, const ImageSlot& slot);

// What the window knows of the unit's configuration since the program started.
class UnitRecord {
 public:
  enum class State { NotRead, Known, Unknown };
  State state() const { return state_; }
  // The unit's image (configuration and identification) while Known; the last known one
  // otherwise.
  const ParameterImage& unit() const { return unit_; }
  void setKnown(const ParameterImage& unit) {
    unit_ = unit;
    state_ = State::Known;
  }
  void setUnknown() {
    state_ = State::Unknown;
  }

 private:
  State state_ = State::NotRead;
  ParameterImage unit_;
};

}  // namespace rq
