// SPDX-License-Identifier: GPL-3.0-or-later
// The 900-byte parameter image: bytes 0..749 are the configuration (frame blocks 1..5),
// bytes 750..899 the unit's identification block (frame block 0).
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "model/image_fields.h"

namespace rq {

inline constexpr int kImageSize = 900;
inline constexpr int kConfigSize = 750;
inline constexpr int kBlockSize = 150;
inline constexpr int kIdentOffset = 750;
inline constexpr int kLastBlock = 5;
inline constexpr int kImageVersion = 79;  // image layout version, also the .ign version
inline constexpr int kIdentVersionOffset = 10;
inline constexpr int kPageCount = 11;

// Page indexes used everywhere (refresh, read-back, undo, settings).
enum Page : int {
  kPageBike = 0,
  kPageInputs = 1,
  kPageAdvance1 = 2,
  kPageAdvance2 = 3,
  kPageServo = 4,
  kPagePowerOut1 = 5,
  kPagePowerOut2 = 6,
  kPageGear = 7,
  kPageRace = 8,
  kPageTests = 9,
  kPageMonitor = 10,
};

class ParameterImage {
 public:
  std::array<std::uint8_t, kImageSize> bytes{};

  std::uint8_t byte(int offset) const { return bytes[static_cast<std::size_t>(offset)]; }
  // Stores the low byte of what it is given.
  void setByte(int offset, long value) {
    bytes[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(value & 0xFF);
  }

  // Named fields (model/image_fields.h).
  std::uint8_t operator[](ByteField f) const { return byte(f.offset); }
  std::uint16_t operator[](WordField f) const { return word(f.index); }
  void setByte(ByteField f, long value) { setByte(f.offset, value); }
  void setWord(WordField f, long value) { setWord(f.index, value); }

  // Word parameter k (0..65): little-endian at bytes 2k, 2k+1.
  std::uint16_t word(int k) const {
    return static_cast<std::uint16_t>(byte(2 * k) | (byte(2 * k + 1) << 8));
  }
  void setWord(int k, long value) {
    setByte(2 * k, value & 0xFF);
    setByte(2 * k + 1, (value >> 8) & 0xFF);
  }

  // A byte parameter shows step * (byte + bias) and stores shown / step - bias.
  int shown(int offset, int step, int bias) const { return step * (byte(offset) + bias); }
  void setShown(int offset, int step, int bias, long value) { setByte(offset, value / step - bias); }

  // Frame block b (0..5): block 0 is the identification block at 750, block b >= 1 is at
  // (b - 1) * 150.
  static constexpr int blockOffset(int b) { return b == 0 ? kIdentOffset : (b - 1) * kBlockSize; }
  std::span<const std::uint8_t, kBlockSize> block(int b) const {
    return std::span<const std::uint8_t, kBlockSize>(bytes.data() + blockOffset(b), kBlockSize);
  }
  std::span<std::uint8_t, kBlockSize> block(int b) {
    return std::span<std::uint8_t, kBlockSize>(bytes.data() + blockOffset(b), kBlockSize);
  }

  std::span<const std::uint8_t, kConfigSize> config() const {
    return std::span<const std::uint8_t, kConfigSize>(bytes.data(), kConfigSize);
  }
  bool sameConfig(const ParameterImage& other) const;

  bool operator==(const ParameterImage&) const = default;
};

// Bytes of an image by offset: the bytes a file gave, say.
using ImageByteSet = std::bitset<kImageSize>;

// The three values of the settings file that the consistency pass brings into range.
struct LinkSettings {
  std::uint8_t language = 0;   // 0 English, 1 German, 2 French, 3 Czech
  std::uint8_t comPort = 1;    // 0..19 = COM1..COM20, 20 = automatic search
  std::uint8_t scanIndex = 0;  // automatic search tries COM(scanIndex + 1)
};

// Repairs the relations between parameters (axes, throttle calibration, lobes, thresholds).
void SanitizeImage(ParameterImage& image);
// The same pass, also bringing the three settings values into range.
void SanitizeImage(ParameterImage& image, std::uint8_t& language, std::uint8_t& comPort,
                   std::uint8_t& scanIndex);

struct IdentificationTexts {
  std::string nameVersion;  // LabelVerze1
  std::string date;         // LabelVerze2, "dd.mm.20yy"
  std::string time;         // LabelVerze3, "hh:mm"
};
IdentificationTexts DecodeIdentification(const ParameterImage& image);

}  // namespace rq
