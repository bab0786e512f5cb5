// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/parameter_image.h"

#include <algorithm>
#include <cstring>

namespace rq {

bool ParameterImage::sameConfig(const ParameterImage& other) const {
  return std::memcmp(bytes.data(), other.bytes.data(), kConfigSize) == 0;
}

namespace {

// Keeps the words of `axis` within [low, high], ascending by at least `spacing`: raise to the
// floor, lower to the ceiling, then push up what does not rise.
void RepairAxis(ParameterImage& image, WordArray axis, unsigned low, unsigned high,
                unsigned spacing) {
  const int count = axis.count;
  for (int i = 0; i < count; ++i) {
    const unsigned floor = low + spacing * static_cast<unsigned>(i);
    if (image[axis[i]] < floor) image.setWord(axis[i], floor);
  }
  for (int i = 0; i < count; ++i) {
    const unsigned ceiling = high - spacing * static_cast<unsigned>(count - 1 - i);
    if (image[axis[i]] > ceiling) image.setWord(axis[i], ceiling);
  }
  for (int i = 1; i < count; ++i) {
    if (image[axis[i]] <= image[axis[i - 1]])
      image.setWord(axis[i], image[axis[i - 1]] + spacing);
  }
}

}  // namespace

void SanitizeImage(ParameterImage& image) {
  for (WordArray axis : {kAdvance1Axis, kAdvance2Axis, kServoAxis})
    RepairAxis(image, axis, 300, 20000, 50);
  // Advance maps hold at most 60 degrees; the servo map is not limited.
  for (ByteGrid map : {kAdvance1Cells, kAdvance2Cells})
    for (int i = map.first; i < map.end(); ++i)
      if (image.byte(i) > 60) image.setByte(i, 60);
  // Throttle calibration: a two-point axis.
  RepairAxis(image, WordArray{kTps0.index, 2}, 200, 4950, 10);

  if (image[kSyncMethod] == 0) image.setByte(kLobes, 1);
  const std::uint8_t method = image[kSyncMethod];
  for (int c = 0; c < 2; ++c) {
    for (ByteField lobe : {kMaxAdvanceLobe[c], kStartAdvanceLobe[c]})
      if (image[lobe] > image[kLobes]) image.setByte(lobe, image[kLobes]);
    if (method != 0 && method != 4 && method != 6) {
      image.setByte(kMaxAdvanceSecondPickup[c], 0);
      image.setByte(kStartAdvanceSecondPickup[c], 0);
    }
  }
  if (image[kOutputs] >= 2) image.setByte(kOutputs, 2);

  for (int n = 0; n < 4; ++n) {
    const ByteArray rpm = kPowerRpm.row(n);
    const ByteArray tps = kPowerThrottle.row(n);
    // The additions wrap at 8 bits like the unit's own byte arithmetic.
    if (image[rpm[1]] <= image[rpm[0]]) image.setByte(rpm[1], image[rpm[0]] + 1);
    if (image[rpm[2]] <= image[rpm[1]]) image.setByte(rpm[2], image[rpm[1]] + 1);
    if (image[tps[1]] <= image[tps[0]]) image.setByte(tps[1], image[tps[0]] + 1);
    for (int k = 0; k < 3; ++k)
      if (image[rpm[k]] < 3) image.setByte(rpm[k], 3);
  }
}

void SanitizeImage(ParameterImage& image, std::uint8_t& language, std::uint8_t& comPort,
                   std::uint8_t& scanIndex) {
  SanitizeImage(image);
  if (language > 3) language = 0;
  if (comPort > 20) comPort = 0;
  if (scanIndex >= 20) scanIndex = 0;
}

namespace {

void AppendTwoDigits(std::string& s, unsigned value, char leadingZero) {
  const char tens = static_cast<char>('0' + value / 10 % 256);
  s += (tens == '0') ? leadingZero : tens;
  s += static_cast<char>('0' + value % 10);
}

const char* MonthText(std::uint8_t code) {
  switch (code) {
    case 25: return " 1";
    case 13: return " 2";
    case 32: return " 3";
    case 35: return " 4";
    case 39: return " 5";
    case 45: return " 6";
    case 43: return " 7";
    case 29: return " 8";
    case 40: return " 9";
    case 38: return "10";
    case 51: return "11";
    case 12: return "12";
    default: return "00";
  }
}

}  // namespace

IdentificationTexts DecodeIdentification(const ParameterImage& image) {
  auto id = [&](int offset) { return image.byte(kIdentOffset + offset); };
  IdentificationTexts t;
  if (id(16) != 0) {
    for (int i = 16; i < 46 && id(i) != 0; ++i) t.nameVersion += static_cast<char>(id(i));
  } else {
    for (int i = 0; i < 3; ++i) t.nameVersion += static_cast<char>(id(i));
    AppendTwoDigits(t.nameVersion, id(3), '0');
    // The text is zero-terminated: a zero in the name ends it.
    t.nameVersion.resize(std::min(t.nameVersion.size(), t.nameVersion.find('\0')));
  }
  AppendTwoDigits(t.date, id(4), ' ');
  t.date += '.';
  t.date += MonthText(id(5));
  t.date += ".20";
  AppendTwoDigits(t.date, id(6), '0');
  AppendTwoDigits(t.time, id(7), '0');
  t.time += ':';
  AppendTwoDigits(t.time, id(8), '0');
  return t;
}

}  // namespace rq
