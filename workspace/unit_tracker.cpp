// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/unit_tracker.h"

namespace rq {

bool UnitTracker::started(Operation op) {
  if (op == Operation::Program) programming_ = true;
  return false;
}

bool UnitTracker::ended(const OperationEnd& end, const ParameterImage& image) {
  if (end.operation == Operation::UnitRead) return false;  // its image comes with unitRead()
  const bool wasProgramming = programming_;
  programming_ = false;
  if (end.outcome == Outcome::Ok) {
    // A verify that ended equal: the unit holds the image (a read's own verify included).
    record_.setKnown(image);
    return true;
  }
  if (wasProgramming) {
    // "Program error!", a verify error after programming, another image version, or another
    // operation started half-way: some blocks may have gone in, others not.
    record_.setUnknown();
    return true;
  }
  if (end.outcome == Outcome::Failed && end.phase == OpState::Verify &&
      record_.state() == UnitRecord::State::Known && DifferingSlots(image, record_.unit()).empty()) {
    // The unit was thought to hold the PC's configuration, and it does not.
    record_.setUnknown();
    return true;
  }
  return false;
}

bool UnitTracker::readStored(const ParameterImage& image) {
  programming_ = false;
  record_.setKnown(image);
  return true;
}

bool UnitTracker::programVerified(const ParameterImage& image) {
  programming_ = false;
  record_.setKnown(image);
  return true;
}

bool UnitTracker::unitRead(const ParameterImage& unit) {
  record_.setKnown(unit);
  return true;
}

bool UnitTracker::linkLost() {
  if (record_.state() != UnitRecord::State::Known) return false;
  record_.setUnknown();
  return true;
}

}  // namespace rq
