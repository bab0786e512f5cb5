// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/monitor_reply.h"

#include <gtest/gtest.h>

#include <map>

namespace rq {
namespace {

// Every word gets a value that tells it apart from its neighbours and from a swapped byte
// order; every byte its offset + 3.
std::uint16_t W(std::size_t k) { return static_cast<std::uint16_t>(0x0100 * k + 37 * k + 1); }
std::uint8_t B(std::size_t at) { return static_cast<std::uint8_t>(at + 3); }

MonitorSnapshot Filled() {
  MonitorSnapshot s;
  s.rpm = W(2);
  s.maxAdvance1 = W(3);
  s.maxAdvance2 = W(4);
  s.throttle = W(5);
  s.throttleMv = W(6);
  s.supplyMv = W(7);
  s.servoMeasuredMv = W(8);
  s.servoDesiredMv = W(9);
  s.potCounts = W(10);
  s.acceleration = W(11);
  s.potAdvanceRaw = W(12);
  s.potStartLimiterRaw = W(13);
  s.potShiftLightRaw = W(14);
  s.potAccelThresholdRaw = W(15);
  s.speedKmh = W(16);
  s.gearMv = W(17);
  s.speedRatio = W(18);
  for (std::size_t g = 0; g < 6; ++g) s.learnedRatio[g] = W(19 + g);
  s.programCount = W(25);
  s.savingCountdown = W(26);
  for (std::size_t i = 0; i < 8; ++i) s.test[i] = W(27 + i);
  s.advance1Raw = B(100);
  s.advance2Raw = B(101);
  for (std::size_t i = 0; i < 4; ++i) s.pickupCheck[i] = B(102 + i);
  s.pickupSignal = {B(106), B(107)};
  s.startLimiterActivated = B(108);
  s.startSoftLimiter = B(109);
  s.startHardLimiter = B(110);
  s.softLimiter = B(111);
  s.hardLimiter = B(112);
  for (std::size_t i = 0; i < 3; ++i) s.input[i] = B(113 + i);
  s.motorOff = B(116);
  s.clutchMaster = B(117);
  s.retard = B(118);
  s.secondMap = B(119);
  s.servoOk = B(120);
  s.throttleFault = B(121);
  for (std::size_t i = 0; i < 4; ++i) s.powerOut[i] = B(122 + i);
  s.gear = B(126);
  s.dataError = B(127);
  s.baseAdvance = B(128);
  s.version = 79;
  return s;
}

TEST(MonitorReply, EveryFieldLiesAtItsOffsetAndComesBack) {
  const MonitorSnapshot s = Filled();
  const FrameBytes f = EncodeMonitor(s);

  // Where each byte of the frame must come from; everything else is zero.
  std::map<std::size_t, std::uint8_t> expected;
  expected[0] = kCmdMonitorReply;
  for (std::size_t k = 2; k <= 34; ++k) {
    expected[2 * k] = static_cast<std::uint8_t>(W(k) & 0xFF);
    expected[2 * k + 1] = static_cast<std::uint8_t>(W(k) >> 8);
  }
  for (std::size_t at = 100; at <= 128; ++at) expected[at] = B(at);
  expected[150] = 79;
  for (std::size_t i = 0; i + 1 < kFrameSize; ++i) {
    const auto it = expected.find(i);
    EXPECT_EQ(f[i], it == expected.end() ? 0 : it->second) << "offset " << i;
  }
  EXPECT_TRUE(FrameValid(f));

  const auto back = DecodeMonitor(f);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, s);
}

TEST(MonitorReply, AcceptsOnlyAValidMonitorReply) {
  FrameBytes f = EncodeMonitor(Filled());
  f[151] ^= 0x01;
  EXPECT_FALSE(DecodeMonitor(f).has_value());
  f = EncodeMonitor(Filled());
  f[0] = 0xC0;
  f[151] = FrameCheckByte(f);
  EXPECT_FALSE(DecodeMonitor(f).has_value());
  f = EncodeMonitor(Filled());
  EXPECT_FALSE(DecodeMonitor(std::span<const std::uint8_t>(f.data(), 151)).has_value());

  // The fields of a short buffer read as zero past its end.
  const std::uint8_t shortFrame[6] = {kCmdMonitorReply, 0, 0, 0, 0x10, 0x27};
  const MonitorSnapshot part = MonitorFields(shortFrame);
  EXPECT_EQ(part.rpm, 10000);
  EXPECT_EQ(part.supplyMv, 0);
  EXPECT_EQ(part.version, 0);
}

TEST(MonitorReply, PlainUnits) {
  MonitorSnapshot s;
  s.potAdvanceRaw = 985;
  s.potCounts = 512;
  s.advance1Raw = 90;
  s.potStartLimiterRaw = 9500;
  s.input = {0, 1, 255};
  EXPECT_EQ(s.potAdvanceTenths(), -15);
  EXPECT_EQ(s.potMv(), 2502);
  EXPECT_EQ(s.advance1Deg(), -10);
  EXPECT_EQ(s.potStartLimiterRpm(), -500);
  EXPECT_TRUE(s.inputActive(0));
  EXPECT_FALSE(s.inputActive(1));
  EXPECT_FALSE(s.inputActive(2));
  EXPECT_FALSE(s.anyPickupSignal());
  s.pickupSignal[1] = 1;
  EXPECT_TRUE(s.anyPickupSignal());
}

}  // namespace
}  // namespace rq
