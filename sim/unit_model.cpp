// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/unit_model.h"

#include <algorithm>
#include <cmath>

namespace rq::sim {

namespace {

// The unit saturates what does not fit its 16-bit words and bytes.
std::uint16_t W(int value) { return static_cast<std::uint16_t>(std::clamp(value, 0, 65535)); }
std::uint8_t B(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

}  // namespace

std::uint8_t MonthCode(int month) {
  static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  if (month < 1 || month > 12) return 0;
  unsigned sum = 0;
  for (const char* p = kMonths[month - 1]; *p; ++p) sum += static_cast<unsigned char>(*p);
  return static_cast<std::uint8_t>(sum & 0xFF);
}

void WriteIdentification(const Identity& id, std::span<std::uint8_t, kBlockSize> block) {
  std::fill(block.begin(), block.end(), std::uint8_t{0});
  for (std::size_t i = 0; i < 3; ++i)
    block[i] = i < id.name.size() ? static_cast<std::uint8_t>(id.name[i]) : std::uint8_t{' '};
  auto put = [&](std::size_t at, int v) { block[at] = static_cast<std::uint8_t>(v & 0xFF); };
  put(3, id.version);
  put(4, id.day);
  block[5] = MonthCode(id.month);
  put(6, id.year);
  put(7, id.hour);
  put(8, id.minute);
  put(10, id.imageVersion);
  for (std::size_t i = 0; i < 30 && i < id.description.size(); ++i)
    block[16 + i] = static_cast<std::uint8_t>(id.description[i]);
}

bool IsKnownRequest(std::uint8_t command) {
  if (command == kCmdMonitor) return true;
  const int b = command & kBlockMask;
  const int kind = command & 0xC0;
  return b <= kLastBlock && (kind == kCmdProgram || kind == kCmdRead);
}

UnitModel::UnitModel(const ParameterImage& config, const Identity& id, std::uint64_t seed)
    : engine_(seed) {
  std::copy_n(config.bytes.begin(), kConfigSize, image_.bytes.begin());
  WriteIdentification(id, image_.block(0));
  engine_.Advance(0, image_);
}

int UnitModel::savingCountdown() const {
  if (savingLeft_ <= 0) return 0;
  return static_cast<int>(std::ceil(kSavingFullScale * savingLeft_ / kSavingSeconds));
}

void UnitModel::Advance(double seconds) {
  if (!(seconds > 0)) return;
  savingLeft_ = std::max(0.0, savingLeft_ - seconds);
  engine_.Advance(seconds, image_);
}

std::optional<FrameBytes> UnitModel::Answer(std::span<const std::uint8_t> request) {
  if (!FrameValid(request) || !IsKnownRequest(request[0])) return std::nullopt;
  const std::uint8_t cmd = request[0];
  if (cmd == kCmdMonitor) {
    engine_.ApplyTestCommands(request[kTestByteOffset], request[kTestByteOffset + 1],
                              request[kTestByteOffset + 2], image_);
    engine_.Advance(0, image_);
    return MonitorFrame();
  }
  const int b = cmd & kBlockMask;
  if ((cmd & 0xC0) == kCmdProgram && b >= 1) {
    auto dst = image_.block(b);
    std::copy_n(request.begin() + 1, kBlockSize, dst.begin());
    if (b == kLastBlock) {
      ++programCount_;
      savingLeft_ = kSavingSeconds;
      // The unit checks what it was given: a configuration the tool would have repaired is
      // reported as a data error.
      ParameterImage check = image_;
      SanitizeImage(check);
      dataError_ = !check.sameConfig(image_);
    }
  }
  // Read, verify and program all answer with the block as now held.
  return BuildFrame(static_cast<std::uint8_t>(cmd ^ kReplyBit), image_.block(b));
}

MonitorSnapshot LiveSnapshot(const LiveValues& v) {
  MonitorSnapshot s;
  s.rpm = W(v.rpm);
  s.maxAdvance1 = W(v.maxAdvance1);
  s.maxAdvance2 = W(v.maxAdvance2);
  s.throttle = W(v.throttlePermille);
  s.throttleMv = W(v.throttleMv);
  s.supplyMv = W(v.supplyMv);
  s.servoMeasuredMv = W(v.servoMeasuredMv);
  s.servoDesiredMv = W(v.servoDesiredMv);
  s.potCounts = W(v.potCounts);
  s.acceleration = W(v.acceleration);
  s.potAdvanceRaw = W(1000 + v.potAdvanceTenths);
  s.potStartLimiterRaw = W(10000 + v.potStartLimiterRpm);
  s.potShiftLightRaw = W(10000 + v.potShiftLightRpm);
  s.potAccelThresholdRaw = W(10000 + v.potAccelThreshold);
  s.speedKmh = W(v.speedKmh);
  s.gearMv = W(v.gearMv);
  s.speedRatio = W(v.speedRatio);
  for (std::size_t g = 0; g < 6; ++g) s.learnedRatio[g] = W(v.learnedRatio[g]);
  for (std::size_t i = 0; i < 8; ++i) s.test[i] = W(v.test[i]);

  s.advance1Raw = B(v.advance1 + 100);
  s.advance2Raw = B(v.advance2 + 100);
  for (std::size_t i = 0; i < 4; ++i) s.pickupCheck[i] = B(v.pickupCheck[i]);
  s.pickupSignal = {v.pickupSignal[0], v.pickupSignal[1]};
  s.startLimiterActivated = v.startLimiterActivated;
  s.startSoftLimiter = v.startSoftLimiter;
  s.startHardLimiter = v.startHardLimiter;
  s.softLimiter = v.softLimiter;
  s.hardLimiter = v.hardLimiter;
  for (std::size_t i = 0; i < 3; ++i) s.input[i] = v.inputActive[i] ? 0 : 1;  // 0 = active
  s.motorOff = v.motorOff;
  s.clutchMaster = v.clutchMaster;
  s.retard = v.retard;
  s.secondMap = v.secondMap;
  s.servoOk = v.servoOk;
  s.throttleFault = v.throttleFault;
  for (std::size_t i = 0; i < 4; ++i) s.powerOut[i] = v.powerOut[i];
  s.gear = B(v.gear);
  s.baseAdvance = v.baseAdvance;
  return s;
}

MonitorSnapshot UnitModel::Monitor() const {
  MonitorSnapshot s = LiveSnapshot(engine_.live());
  s.programCount = W(programCount_);
  s.savingCountdown = W(savingCountdown());
  s.dataError = dataError_;
  s.version = image_.byte(kIdentOffset + kIdentVersionOffset);
  return s;
}

FrameBytes UnitModel::MonitorFrame() const { return EncodeMonitor(Monitor()); }

}  // namespace rq::sim
