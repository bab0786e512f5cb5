// SPDX-License-Identifier: GPL-3.0-or-later
// The ignition unit as seen through its link: the configuration it holds, its identification
// block, the answers to read, verify, program and monitor requests, the saving countdown after
// programming and the test commands of the monitor request. Plain C++, no I/O.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "protocol/frame.h"
#include "model/parameter_image.h"
#include "sim/engine.h"

namespace rq::sim {

// What the unit says about its firmware in identification block 0.
struct Identity {
  std::string name = "RQS";  // three characters
  int version = 14;          // 0..99
  int day = 14, month = 3, year = 9;  // month 1..12, year within the century
  int hour = 10, minute = 27;
  std::string description;   // up to 30 characters, none when empty
  int imageVersion = kImageVersion;
};

// Month code of the identification block: sum of the characters of the three-letter English
// month abbreviation, modulo 256 (January 25 ... December 12). 0 for a month outside 1..12.
std::uint8_t MonthCode(int month);
// Writes the identification block (150 bytes; unused offsets zero).
void WriteIdentification(const Identity& id, std::span<std::uint8_t, kBlockSize> block);

// True for the command bytes the unit understands: 0x00..0x05, 0x40..0x45 and 0x30.
bool IsKnownRequest(std::uint8_t command);

inline constexpr int kSavingFullScale = 1500;
inline constexpr double kSavingSeconds = 2.0;

class UnitModel {
 public:
  // The unit starts with the given configuration (bytes 0..749 are used) and identification.
  UnitModel(const ParameterImage& config, const Identity& id, std::uint64_t seed = 1);

  // Answers one request frame. Nothing is returned for a frame with a bad check byte, an
  // unknown command or a block number above 5.
  std::optional<FrameBytes> Answer(std::span<const std::uint8_t> request);

  // Runs the unit's clock (engine, saving countdown) forward.
  void Advance(double seconds);

  // The monitor reply as it would be sent now.
  FrameBytes MonitorFrame() const;

  // Configuration (0..749) and identification block (750..899) as the unit holds them.
  const ParameterImage& image() const { return image_; }
  Engine& engine() { return engine_; }
  const Engine& engine() const { return engine_; }
  int programCount() const { return programCount_; }
  int savingCountdown() const;
  bool dataError() const { return dataError_; }

 private:
  ParameterImage image_;
  Engine engine_;
  int programCount_ = 0;
  double savingLeft_ = 0;  // seconds
  bool dataError_ = false;
};

}  // namespace rq::sim
