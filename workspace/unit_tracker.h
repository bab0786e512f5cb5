// SPDX-License-Identifier: GPL-3.0-or-later
// Follows the exchange engine to know what the unit holds: a read, a verify that ended equal
// and a programming that verified equal make the unit's configuration known; a programming
// that failed or was cut short makes it unknown until the next success, and so does a verify
// that found the unit holding something else than it was thought to. Plain C++: the workspace
// feeds it the engine's starts and ends as they come.
#pragma once

#include "link/device_exchange.h"
#include "model/unit_comparison.h"

namespace rq {

class UnitTracker {
 public:
  explicit UnitTracker(UnitRecord& record) : record_(record) {}

  // Each returns true when the record changed.
  // An operation was started (a programming makes what the unit holds uncertain).
  bool started(Operation op);
  // An operation ended; `image` is the PC's configuration at that moment.
  bool ended(const OperationEnd& end, const ParameterImage& image);
  // A read stored the unit's configuration into the image.
  bool readStored(const ParameterImage& image);
  // The verify after a programming ended equal: the unit holds the image.
  bool programVerified(const ParameterImage& image);
  // A read into a copy ended with the unit's whole image.
  bool unitRead(const ParameterImage& unit);
  // The unit stopped answering: whatever answers next may be another unit, or this one
  // reprogrammed by something else. What it holds is unknown until read or verified again.
  bool linkLost();

  bool programming() const { return programming_; }

 private:
  UnitRecord& record_;
  bool programming_ = false;
};

}  // namespace rq
