// SPDX-License-Identifier: GPL-3.0-or-later
#include "unitsync/unit_tracker.h"

namespace rq {

bool UnitTracker::observe(OpState op, const ExchangeView& view, const ParameterImage& image) {
  bool changed = false;
  if (op == OpState::Program) {
    programming_ = true;
  } else if (op == OpState::Read && programming_) {
    // A read replaced a programming half-way: what went in is unknown until the read ends.
    programming_ = false;
    record_.setUnknown();
    changed = true;
  }
  if (op == OpState::Idle && lastOp_ != OpState::Idle) {
    const bool ok = view.statusSuffix == ": OK" && !view.statusError &&
                    (view.statusText == StatusText::Verifying ||
                     view.statusText == StatusText::ProgramDevice);
    if (ok) {
      // A verify that ended equal: the unit holds the image (a read's own verify included).
      record_.setKnown(image);
      changed = true;
    } else if (programming_) {
      // "Program error!", a verify error after programming, another image version, or any
      // other end short of the verify: some blocks may have gone in, others not.
      record_.setUnknown();
      changed = true;
    } else if (view.statusText == StatusText::VerifyError &&
               record_.state() == UnitRecord::State::Known &&
               DifferingSlots(image, record_.unit()).empty()) {
      // The unit was thought to hold the PC's configuration, and it does not.
      record_.setUnknown();
      changed = true;
    }
    programming_ = false;
  }
  lastOp_ = op;
  return changed;
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

}  // namespace rq
