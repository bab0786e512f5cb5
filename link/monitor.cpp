// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/monitor.h"

namespace rq {

void MonitorKeptValues::update(const MonitorSnapshot& s) {
  rpm = s.rpm;
  throttle = s.throttle;
  throttleMv = s.throttleMv;
  gearMv = s.gearMv;
  speedRatio = s.speedRatio;
  secondMap = s.secondMap != 0;
  gear = s.gear;
  baseAdvance = s.baseAdvance != 0;
  pickupSignal = s.anyPickupSignal();
  savingCountdown = s.savingCountdown;
}

}  // namespace rq
