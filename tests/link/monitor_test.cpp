// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/monitor.h"

#include <gtest/gtest.h>

namespace rq {
namespace {

// Every field gets a value that tells it apart from its neighbours.
FrameBytes FilledMonitorFrame() {
  FrameBytes f{};
  f[0] = kCmdMonitorReply;
  for (std::size_t k = 2; k <= 34; ++k) {
    const unsigned v = 1000 + 37 * static_cast<unsigned>(k);
    f[2 * k] = static_cast<std::uint8_t>(v & 0xFF);
    f[2 * k + 1] = static_cast<std::uint8_t>(v >> 8);
  }
  for (std::size_t i = 100; i <= 128; ++i) f[i] = static_cast<std::uint8_t>(i + 3);
  f[150] = 79;
  f[151] = FrameCheckByte(f);
  return f;
}

unsigned W(std::size_t k) { return 1000 + 37 * static_cast<unsigned>(k); }

TEST(MonitorSnapshot, DecodesEveryFieldAtItsOffset) {
  const auto s = DecodeMonitor(FilledMonitorFrame());
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->rpm, W(2));
  EXPECT_EQ(s->maxAdvance2, W(4));
  EXPECT_EQ(s->throttle, W(5));
  EXPECT_EQ(s->supplyMv, W(7));
  EXPECT_EQ(s->potCounts, W(10));
  EXPECT_EQ(s->potAccelThresholdRaw, W(15));
  EXPECT_EQ(s->speedRatio, W(18));
  EXPECT_EQ(s->learnedRatio[0], W(19));
  EXPECT_EQ(s->learnedRatio[5], W(24));
  EXPECT_EQ(s->programCount, W(25));
  EXPECT_EQ(s->savingCountdown, W(26));
  EXPECT_EQ(s->test[0], W(27));
  EXPECT_EQ(s->test[7], W(34));
  EXPECT_EQ(s->advance1Raw, 103);
  EXPECT_EQ(s->pickupCheck[3], 108);
  EXPECT_EQ(s->pickupSignal[1], 110);
  EXPECT_EQ(s->hardLimiter, 115);
  EXPECT_EQ(s->input[2], 118);
  EXPECT_EQ(s->secondMap, 122);
  EXPECT_EQ(s->powerOut[0], 125);
  EXPECT_EQ(s->powerOut[3], 128);
  EXPECT_EQ(s->gear, 129);
  EXPECT_EQ(s->baseAdvance, 131);
  EXPECT_EQ(s->version, 79);
}

TEST(MonitorSnapshot, AcceptsOnlyAValidMonitorReply) {
  FrameBytes f = FilledMonitorFrame();
  f[151] ^= 0x01;
  EXPECT_FALSE(DecodeMonitor(f).has_value());
  f = FilledMonitorFrame();
  f[0] = 0xC0;
  f[151] = FrameCheckByte(f);
  EXPECT_FALSE(DecodeMonitor(f).has_value());
  EXPECT_FALSE(DecodeMonitor(std::span<const std::uint8_t>(f.data(), 151)).has_value());
}

TEST(MonitorSnapshot, PlainUnitsAndKeptValues) {
  MonitorSnapshot s;
  s.potAdvanceRaw = 985;
  s.potCounts = 512;
  s.advance1Raw = 90;
  s.potStartLimiterRaw = 9500;
  EXPECT_EQ(s.potAdvanceTenths(), -15);
  EXPECT_EQ(s.potMv(), 2502);
  EXPECT_EQ(s.advance1Deg(), -10);
  EXPECT_EQ(s.potStartLimiterRpm(), -500);

  MonitorKeptValues kept;
  s.rpm = 4321;
  s.gear = 3;
  s.secondMap = 5;
  s.pickupSignal = {0, 1};
  s.savingCountdown = 1500;
  kept.update(s);
  EXPECT_EQ(kept.rpm, 4321);
  EXPECT_EQ(kept.gear, 3);
  EXPECT_TRUE(kept.secondMap);
  EXPECT_TRUE(kept.pickupSignal);
  EXPECT_EQ(kept.savingCountdown, 1500);
  s.pickupSignal = {0, 0};
  kept.update(s);
  EXPECT_FALSE(kept.pickupSignal);
}

}  // namespace
}  // namespace rq
