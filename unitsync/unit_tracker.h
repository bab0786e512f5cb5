// SPDX-License-Identifier: GPL-3.0-or-later
// Follows the exchange engine to know what the unit holds: a read, a verify that ended equal
// and a programming that verified equal make the unit's configuration known; a programming
// that failed or was cut short makes it unknown until the next success. Plain C++: the window
// feeds it the engine's view after every tick and command, and the engine's read and program
// events as they come.
#pragma once

#include "link/device_exchange.h"
#include "model/unit_comparison.h"

namespace rq {

class UnitTracker {
 public:
  explicit UnitTracker(UnitRecord& record) : record_(record) {}

  // The engine's operation and view after a tick or a command. Returns true when the record
  // changed.
  bool observe(OpState op, const ExchangeView& view, const ParameterImage& image);
  // A read stored the unit's configuration into the image.
  bool readStored(const ParameterImage& image);
  // The verify after a programming ended equal: the unit holds the image.
  bool programVerified(const ParameterImage& image);
  // A read into a copy ended with the unit's whole image.
  bool unitRead(const ParameterImage& unit);

  bool programming() const { return programming_; }

 private:
  UnitRecord& record_;
  OpState lastOp_ = OpState::Idle;
  bool programming_ = false;
};

}  // namespace rq
