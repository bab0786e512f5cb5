// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/unit_model.h"

#include <algorithm>
#include <cmath>

namespace rq::sim {

namespace {

void PutWord(FrameBytes& f, int k, int value) {
  const auto v = static_cast<std::uint16_t>(std::clamp(value, 0, 65535));
  f[static_cast<std::size_t>(2 * k)] = static_cast<std::uint8_t>(v & 0xFF);
  f[static_cast<std::size_t>(2 * k + 1)] = static_cast<std::uint8_t>(v >> 8);
}

void PutByte(FrameBytes& f, int offset, int value) {
  f[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

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

FrameBytes UnitModel::MonitorFrame() const {
  const LiveValues& v = engine_.live();
  FrameBytes f{};
  f[0] = kCmdMonitorReply;
  PutWord(f, 2, v.rpm);
  PutWord(f, 3, v.maxAdvance1);
  PutWord(f, 4, v.maxAdvance2);
  PutWord(f, 5, v.throttlePermille);
  PutWord(f, 6, v.throttleMv);
  PutWord(f, 7, v.supplyMv);
  PutWord(f, 8, v.servoMeasuredMv);
  PutWord(f, 9, v.servoDesiredMv);
  PutWord(f, 10, v.potCounts);
  PutWord(f, 11, v.acceleration);
  PutWord(f, 12, 1000 + v.potAdvanceTenths);
  PutWord(f, 13, 10000 + v.potStartLimiterRpm);
  PutWord(f, 14, 10000 + v.potShiftLightRpm);
  PutWord(f, 15, 10000 + v.potAccelThreshold);
  PutWord(f, 16, v.speedKmh);
  PutWord(f, 17, v.gearMv);
  PutWord(f, 18, v.speedRatio);
  for (int g = 0; g < 6; ++g) PutWord(f, 19 + g, v.learnedRatio[static_cast<std::size_t>(g)]);
  PutWord(f, 25, programCount_);
  PutWord(f, 26, savingCountdown());
  for (int i = 0; i < 8; ++i) PutWord(f, 27 + i, v.test[static_cast<std::size_t>(i)]);

  PutByte(f, 100, v.advance1 + 100);
  PutByte(f, 101, v.advance2 + 100);
  for (int i = 0; i < 4; ++i) PutByte(f, 102 + i, v.pickupCheck[static_cast<std::size_t>(i)]);
  PutByte(f, 106, v.pickupSignal[0]);
  PutByte(f, 107, v.pickupSignal[1]);
  PutByte(f, 108, v.startLimiterActivated);
  PutByte(f, 109, v.startSoftLimiter);
  PutByte(f, 110, v.startHardLimiter);
  PutByte(f, 111, v.softLimiter);
  PutByte(f, 112, v.hardLimiter);
  for (int i = 0; i < 3; ++i) PutByte(f, 113 + i, v.inputActive[static_cast<std::size_t>(i)] ? 0 : 1);
  PutByte(f, 116, v.motorOff);
  PutByte(f, 117, v.clutchMaster);
  PutByte(f, 118, v.retard);
  PutByte(f, 119, v.secondMap);
  PutByte(f, 120, v.servoOk);
  PutByte(f, 121, v.throttleFault);
  for (int i = 0; i < 4; ++i) PutByte(f, 122 + i, v.powerOut[static_cast<std::size_t>(i)]);
  PutByte(f, 126, v.gear);
  PutByte(f, 127, dataError_);
  PutByte(f, 128, v.baseAdvance);
  f[150] = image_.byte(kIdentOffset + kIdentVersionOffset);
  f[kFrameSize - 1] = FrameCheckByte(f);
  return f;
}

}  // namespace rq::sim
