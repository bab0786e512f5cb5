// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/parameter_image.h"

#include <algorithm>
#include <cstring>

namespace rq {

bool ParameterImage::sameConfig(const ParameterImage& other) const {
  return std::memcmp(bytes.data(), other.bytes.data(), kConfigSize) == 0;
}

namespace {

// Keeps `count` consecutive words from `first` within [low, high], ascending by at least
// `spacing`: raise to the floor, lower to the ceiling, then push up what does not rise.
void RepairAxis(ParameterImage& image, int first, int count, unsigned low, unsigned high,
                unsigned spacing) {
  for (int i = 0; i < count; ++i) {
    const unsigned floor = low + spacing * static_cast<unsigned>(i);
    if (image.word(first + i) < floor) image.setWord(first + i, floor);
  }
  for (int i = 0; i < count; ++i) {
    const unsigned ceiling = high - spacing * static_cast<unsigned>(count - 1 - i);
    if (image.word(first + i) > ceiling) image.setWord(first + i, ceiling);
  }
  for (int i = 1; i < count; ++i) {
    if (image.word(first + i) <= image.word(first + i - 1))
      image.setWord(first + i, image.word(first + i - 1) + spacing);
  }
}

constexpr int kSyncMethod = 146;
constexpr int kLobes = 148;
constexpr int kOutputs = 149;

}  // namespace

void SanitizeImage(ParameterImage& image) {
  // Rpm axes of advance map 1, advance map 2 and the servo map.
  for (int axis : {7, 22, 37}) RepairAxis(image, axis, 15, 300, 20000, 50);
  // Advance maps hold at most 60 degrees; the servo map is not limited.
  for (int i = 181; i <= 480; ++i)
    if (image.byte(i) > 60) image.setByte(i, 60);
  // Throttle calibration: a two-point axis.
  RepairAxis(image, 4, 2, 200, 4950, 10);

  if (image.byte(kSyncMethod) == 0) image.setByte(kLobes, 1);
  const std::uint8_t method = image.byte(kSyncMethod);
  for (int c = 0; c < 2; ++c) {
    for (int lobe : {150 + c, 152 + c})
      if (image.byte(lobe) > image.byte(kLobes)) image.setByte(lobe, image.byte(kLobes));
    if (method != 0 && method != 4 && method != 6) {
      image.setByte(158 + c, 0);
      image.setByte(160 + c, 0);
    }
  }
  if (image.byte(kOutputs) >= 2) image.setByte(kOutputs, 2);

  for (int n = 0; n < 4; ++n) {
    const int rpm = 639 + 3 * n;
    const int tps = 655 + 2 * n;
    // The additions wrap at 8 bits like the unit's own byte arithmetic.
    if (image.byte(rpm + 1) <= image.byte(rpm)) image.setByte(rpm + 1, image.byte(rpm) + 1);
    if (image.byte(rpm + 2) <= image.byte(rpm + 1)) image.setByte(rpm + 2, image.byte(rpm + 1) + 1);
    if (image.byte(tps + 1) <= image.byte(tps)) image.setByte(tps + 1, image.byte(tps) + 1);
    for (int k = 0; k < 3; ++k)
      if (image.byte(rpm + k) < 3) image.setByte(rpm + k, 3);
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
