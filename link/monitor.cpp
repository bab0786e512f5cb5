// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/monitor.h"

namespace rq {

namespace {

std::uint16_t Word(std::span<const std::uint8_t> f, std::size_t k) {
  return static_cast<std::uint16_t>(f[2 * k] | (f[2 * k + 1] << 8));
}

}  // namespace

std::optional<MonitorSnapshot> DecodeMonitor(std::span<const std::uint8_t> f) {
  if (f.size() < kFrameSize || f[0] != kCmdMonitorReply || !FrameValid(f)) return std::nullopt;
  MonitorSnapshot s;
  s.rpm = Word(f, 2);
  s.maxAdvance1 = Word(f, 3);
  s.maxAdvance2 = Word(f, 4);
  s.throttle = Word(f, 5);
  s.throttleMv = Word(f, 6);
  s.supplyMv = Word(f, 7);
  s.servoMeasuredMv = Word(f, 8);
  s.servoDesiredMv = Word(f, 9);
  s.potCounts = Word(f, 10);
  s.acceleration = Word(f, 11);
  s.potAdvanceRaw = Word(f, 12);
  s.potStartLimiterRaw = Word(f, 13);
  s.potShiftLightRaw = Word(f, 14);
  s.potAccelThresholdRaw = Word(f, 15);
  s.speedKmh = Word(f, 16);
  s.gearMv = Word(f, 17);
  s.speedRatio = Word(f, 18);
  for (std::size_t g = 0; g < s.learnedRatio.size(); ++g) s.learnedRatio[g] = Word(f, 19 + g);
  s.programCount = Word(f, 25);
  s.savingCountdown = Word(f, 26);
  for (std::size_t i = 0; i < s.test.size(); ++i) s.test[i] = Word(f, 27 + i);

  s.advance1Raw = f[100];
  s.advance2Raw = f[101];
  for (std::size_t i = 0; i < 4; ++i) s.pickupCheck[i] = f[102 + i];
  s.pickupSignal[0] = f[106];
  s.pickupSignal[1] = f[107];
  s.startLimiterActivated = f[108];
  s.startSoftLimiter = f[109];
  s.startHardLimiter = f[110];
  s.softLimiter = f[111];
  s.hardLimiter = f[112];
  for (std::size_t i = 0; i < 3; ++i) s.input[i] = f[113 + i];
  s.motorOff = f[116];
  s.clutchMaster = f[117];
  s.retard = f[118];
  s.secondMap = f[119];
  s.servoOk = f[120];
  s.throttleFault = f[121];
  for (std::size_t i = 0; i < 4; ++i) s.powerOut[i] = f[122 + i];
  s.gear = f[126];
  s.dataError = f[127];
  s.baseAdvance = f[128];
  s.version = f[150];
  return s;
}

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
