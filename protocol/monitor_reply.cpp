// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/monitor_reply.h"

#include <algorithm>

namespace rq {

namespace {

// The one place that knows where each field lies in the frame. Decoding and encoding walk the
// same list with a reader or a writer.
template <class Snapshot, class Access>
void WalkLayout(Snapshot& s, Access&& a) {
  a.word(2, s.rpm);
  a.word(3, s.maxAdvance1);
  a.word(4, s.maxAdvance2);
  a.word(5, s.throttle);
  a.word(6, s.throttleMv);
  a.word(7, s.supplyMv);
  a.word(8, s.servoMeasuredMv);
  a.word(9, s.servoDesiredMv);
  a.word(10, s.potCounts);
  a.word(11, s.acceleration);
  a.word(12, s.potAdvanceRaw);
  a.word(13, s.potStartLimiterRaw);
  a.word(14, s.potShiftLightRaw);
  a.word(15, s.potAccelThresholdRaw);
  a.word(16, s.speedKmh);
  a.word(17, s.gearMv);
  a.word(18, s.speedRatio);
  for (std::size_t g = 0; g < s.learnedRatio.size(); ++g) a.word(19 + g, s.learnedRatio[g]);
  a.word(25, s.programCount);
  a.word(26, s.savingCountdown);
  for (std::size_t i = 0; i < s.test.size(); ++i) a.word(27 + i, s.test[i]);

  a.byte(100, s.advance1Raw);
  a.byte(101, s.advance2Raw);
  for (std::size_t i = 0; i < s.pickupCheck.size(); ++i) a.byte(102 + i, s.pickupCheck[i]);
  a.byte(106, s.pickupSignal[0]);
  a.byte(107, s.pickupSignal[1]);
  a.byte(108, s.startLimiterActivated);
  a.byte(109, s.startSoftLimiter);
  a.byte(110, s.startHardLimiter);
  a.byte(111, s.softLimiter);
  a.byte(112, s.hardLimiter);
  for (std::size_t i = 0; i < s.input.size(); ++i) a.byte(113 + i, s.input[i]);
  a.byte(116, s.motorOff);
  a.byte(117, s.clutchMaster);
  a.byte(118, s.retard);
  a.byte(119, s.secondMap);
  a.byte(120, s.servoOk);
  a.byte(121, s.throttleFault);
  for (std::size_t i = 0; i < s.powerOut.size(); ++i) a.byte(122 + i, s.powerOut[i]);
  a.byte(126, s.gear);
  a.byte(127, s.dataError);
  a.byte(128, s.baseAdvance);
  a.byte(150, s.version);
}

struct Reader {
  const FrameBytes& f;
  void word(std::size_t k, std::uint16_t& v) const {
    v = static_cast<std::uint16_t>(f[2 * k] | (f[2 * k + 1] << 8));
  }
  void byte(std::size_t at, std::uint8_t& v) const { v = f[at]; }
};

struct Writer {
  FrameBytes& f;
  void word(std::size_t k, std::uint16_t v) const {
    f[2 * k] = static_cast<std::uint8_t>(v & 0xFF);
    f[2 * k + 1] = static_cast<std::uint8_t>(v >> 8);
  }
  void byte(std::size_t at, std::uint8_t v) const { f[at] = v; }
};

}  // namespace

MonitorSnapshot MonitorFields(std::span<const std::uint8_t> frame) {
  FrameBytes f{};
  std::copy_n(frame.begin(), std::min(frame.size(), f.size()), f.begin());
  MonitorSnapshot s;
  WalkLayout(s, Reader{f});
  return s;
}

std::optional<MonitorSnapshot> DecodeMonitor(std::span<const std::uint8_t> frame) {
  if (frame.size() < kFrameSize || frame[0] != kCmdMonitorReply || !FrameValid(frame))
    return std::nullopt;
  return MonitorFields(frame);
}

FrameBytes EncodeMonitor(const MonitorSnapshot& s) {
  FrameBytes f{};
  f[0] = kCmdMonitorReply;
  WalkLayout(s, Writer{f});
  f[kFrameSize - 1] = FrameCheckByte(f);
  return f;
}

}  // namespace rq
