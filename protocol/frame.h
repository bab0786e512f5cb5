// SPDX-License-Identifier: GPL-3.0-or-later
// The 152-byte frame that travels in both directions: command byte, 150 payload bytes, check
// byte = 0xFF XOR bytes 0..150.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace rq {

inline constexpr std::size_t kFrameSize = 152;
inline constexpr std::size_t kPayloadSize = 150;

// Command bytes. Requests: 0x00+b program block b, 0x40+b read or verify block b, 0x30
// monitor. A reply carries the request's command XOR 0x80; the monitor reply is 0xB0.
inline constexpr std::uint8_t kCmdProgram = 0x00;
inline constexpr std::uint8_t kCmdRead = 0x40;
inline constexpr std::uint8_t kCmdMonitor = 0x30;
inline constexpr std::uint8_t kCmdMonitorReply = 0xB0;
inline constexpr std::uint8_t kReplyBit = 0x80;
inline constexpr std::uint8_t kBlockMask = 0x3F;
// Test command bytes ride in the monitor request at these frame offsets.
inline constexpr std::size_t kTestByteOffset = 21;

using FrameBytes = std::array<std::uint8_t, kFrameSize>;

inline std::uint8_t FrameCheckByte(std::span<const std::uint8_t> bytes) {
  std::uint8_t x = 0xFF;
  for (std::size_t i = 0; i + 1 < kFrameSize && i < bytes.size(); ++i) x ^= bytes[i];
  return x;
}

// Valid when 0xFF XOR all 152 bytes is 0.
inline bool FrameValid(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kFrameSize) return false;
  std::uint8_t x = 0xFF;
  for (std::size_t i = 0; i < kFrameSize; ++i) x ^= bytes[i];
  return x == 0;
}

// Builds a frame from a command byte and up to 150 payload bytes (the rest are zero).
inline FrameBytes BuildFrame(std::uint8_t command, std::span<const std::uint8_t> payload = {}) {
  FrameBytes f{};
  f[0] = command;
  for (std::size_t i = 0; i < payload.size() && i < kPayloadSize; ++i) f[1 + i] = payload[i];
  f[kFrameSize - 1] = FrameCheckByte(f);
  return f;
}

}  // namespace rq
