// SPDX-License-Identifier: GPL-3.0-or-later
// The unit's end of the serial line, without any I/O: bytes from the PC go in with the time
// they arrived, the bytes the unit puts on the line come out when they are due. Request
// reassembly with resynchronisation, fault injection (dropped, corrupted, late or missing
// replies, garbage between frames) and pacing to the 57600-baud wire all live here, so that
// everything can be tested without a pseudo-terminal.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "protocol/frame.h"
#include "sim/unit_model.h"

namespace rq::sim {

// 57600 baud, 10 bits per byte on the wire.
inline constexpr double kWireBytesPerSecond = 5760.0;

// Cuts requests out of a byte stream. A 152-byte window is taken only when its check byte
// holds and its command byte is a request the unit knows; otherwise one byte is dropped and
// the search goes on. A partial frame that sits longer than the stale time with no new
// bytes is thrown away, so a torn frame cannot spoil the next one.
class FrameAssembler {
 public:
  explicit FrameAssembler(double staleSeconds = 0.1) : staleSeconds_(staleSeconds) {}

  void Feed(std::span<const std::uint8_t> bytes, double now);
  std::optional<FrameBytes> Next();
  // Drops a partial frame that has waited too long (call with the current time).
  void Expire(double now);
  void Clear() { buffer_.clear(); }

  std::size_t buffered() const { return buffer_.size(); }
  std::size_t discardedBytes() const { return discarded_; }

 private:
  std::deque<std::uint8_t> buffer_;
  double lastByteAt_ = 0;
  double staleSeconds_;
  std::size_t discarded_ = 0;
};

struct FaultOptions {
  double drop = 0;        // share of replies not sent, 0..1
  bool dropFirst = false; // the first reply to each distinct request is not sent
  double corrupt = 0;     // share of replies sent with a wrong check byte
  double garbage = 0;     // share of replies preceded by random garbage bytes
  int delayMs = 0;        // every reply leaves this much later
  bool silent = false;    // no replies at all
  bool pace = false;      // bytes take their wire time in both directions
};

struct LinkStats {
  std::size_t requests = 0;    // complete, valid requests taken from the line
  std::size_t replies = 0;     // replies put on the line (corrupted ones included)
  std::size_t dropped = 0;     // replies left out (drop, drop-first, silent)
  std::size_t corrupted = 0;
  std::size_t garbageBytes = 0;
  std::size_t discardedBytes = 0;  // bytes from the PC that did not form a request
};

class SimLink {
 public:
  SimLink(UnitModel& unit, const FaultOptions& faults, std::uint64_t seed = 1);

  // Bytes written by the PC, arriving at time now (seconds on any steady clock).
  void Receive(std::span<const std::uint8_t> bytes, double now);
  // Runs the unit up to now, answers the requests that are complete and returns the bytes
  // that are due on the line.
  std::vector<std::uint8_t> Poll(double now);
  // When something is due next (received bytes to process or reply bytes to send);
  // nothing when the link waits for the PC.
  std::optional<double> NextDue() const;

  // The PC side went away: forget half-received requests and replies not yet sent.
  void Reset();

  void SetSilent(bool silent) { faults_.silent = silent; }
  bool silent() const { return faults_.silent; }
  const FaultOptions& faults() const { return faults_; }
  LinkStats stats() const;

 private:
  struct Pending {
    double readyAt;
    std::vector<std::uint8_t> bytes;
  };
  void answer(const FrameBytes& request, double now);
  bool chance(double p);
  std::uint8_t garbageByte();

  UnitModel& unit_;
  FaultOptions faults_;
  std::mt19937_64 rng_;
  FrameAssembler assembler_;
  double unitClock_ = -1;  // time up to which the unit has run

  // Bytes from the PC still on the wire (pacing): each with the time it has fully arrived.
  std::deque<std::pair<double, std::uint8_t>> inbound_;
  double inboundFreeAt_ = 0;

  // Replies waiting to go out, and the one on the wire.
  std::deque<Pending> outbound_;
  double wireStart_ = -1;  // when the head reply started on the wire
  std::size_t wireSent_ = 0;
  double outboundFreeAt_ = 0;

  std::set<std::string> seenRequests_;
  LinkStats stats_;
};

}  // namespace rq::sim
