// SPDX-License-Identifier: GPL-3.0-or-later
// The live values the engine keeps from the monitor reply.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "protocol/monitor_reply.h"

namespace rq {

// The live values kept from the last accepted snapshot for the pages and tools.
struct MonitorKeptValues {
  int rpm = 0;                   // word 2
  int throttle = 0;              // word 5, tenths of a percent
  int throttleMv = 0;            // word 6
  int gearMv = 0;                // word 17
  int speedRatio = 0;            // word 18, ratio x 10
  bool secondMap = false;        // byte 119
  int gear = 0;                  // byte 126
  bool baseAdvance = false;      // byte 128
  bool pickupSignal = false;     // byte 106 or 107 not 0
  int savingCountdown = 0;       // word 26

  void update(const MonitorSnapshot& s);
};

}  // namespace rq
