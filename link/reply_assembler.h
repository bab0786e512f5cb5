// SPDX-License-Identifier: GPL-3.0-or-later
// Reassembly of the unit's replies from what the serial driver delivers, without touching the
// port: the engine says how many bytes wait in the driver's queue, reads them when told to,
// feeds them in and takes the next whole reply.
//
// The rules, measured against real and simulated lines:
// - Fewer than 152 bytes waiting are left in the driver's queue for a later tick while they
//   grow. Bytes that have not grown for a whole tick are the torn end of a reply (at 57600
//   baud a frame on its way grows by about 300 bytes a tick); left in the queue they would
//   spoil the next reply, so they are read and dropped.
// - 152 or more waiting are read at once, behind the start of a reply kept from the last tick.
//   A kept start that has not been joined by new bytes within a tick is given up.
// - The first whole, valid frame that starts with an expected reply command is taken. Bytes in
//   front of it (line noise, the end of an earlier reply) are skipped and whatever follows it
//   is discarded, so at most one frame is taken per read. A reply whose end has not arrived
//   yet is kept for the next tick.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "protocol/frame.h"

namespace rq {

class ReplyAssembler {
 public:
  static constexpr std::size_t kBufferSize = 10000;

  // What to do with the bytes waiting in the driver's queue.
  enum class Action : std::uint8_t {
    Wait,  // leave them there for now
    Drop,  // read them and throw them away
    Read,  // read up to room() bytes and feed them in
  };

  // Decides, for this tick, what happens to `waiting` bytes in the driver's queue.
  Action plan(std::size_t waiting);
  // Room left behind a kept reply start: the most a Read should take.
  std::size_t room() const { return kBufferSize - kept_; }
  // Bytes read after Read (at most room(); more are ignored).
  void feed(std::span<const std::uint8_t> bytes);
  // The first whole, valid frame fed since the last call whose command byte `expected`
  // accepts; nothing when there is none. Either way the fed bytes are used up, except the
  // start of an expected reply that has not fully arrived.
  template <class Accept>
  std::optional<FrameBytes> next(Accept&& expected);
  // Forgets everything (the port was closed or reopened).
  void reset();

  // Bytes of a reply start kept for the next tick.
  std::size_t kept() const { return kept_; }

 private:
  std::array<std::uint8_t, kBufferSize> buffer_{};
  std::size_t kept_ = 0;         // reply start kept from an earlier read, at the front
  std::size_t len_ = 0;          // bytes in the buffer (kept start included) not yet scanned
  std::size_t lastWaiting_ = 0;  // bytes waiting in the driver's queue after the last plan
};

template <class Accept>
std::optional<FrameBytes> ReplyAssembler::next(Accept&& expected) {
  const std::size_t len = len_;
  len_ = 0;
  kept_ = 0;
  for (std::size_t i = 0; i < len; ++i) {
    if (!expected(buffer_[i])) continue;
    if (i + kFrameSize > len) {
      if (i > 0)
        std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(i),
                  buffer_.begin() + static_cast<std::ptrdiff_t>(len), buffer_.begin());
      kept_ = len - i;
      len_ = kept_;
      return std::nullopt;
    }
    const std::span<const std::uint8_t> frame(buffer_.data() + i, kFrameSize);
    if (!FrameValid(frame)) continue;
    FrameBytes out;
    std::copy(frame.begin(), frame.end(), out.begin());
    return out;
  }
  return std::nullopt;
}

}  // namespace rq
