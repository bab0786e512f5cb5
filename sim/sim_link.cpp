// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/sim_link.h"

#include <algorithm>
#include <cmath>

namespace rq::sim {

void FrameAssembler::Feed(std::span<const std::uint8_t> bytes, double now) {
  if (bytes.empty()) return;
  Expire(now);
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
  lastByteAt_ = now;
}

void FrameAssembler::Expire(double now) {
  if (!buffer_.empty() && buffer_.size() < kFrameSize && now - lastByteAt_ > staleSeconds_) {
    discarded_ += buffer_.size();
    buffer_.clear();
  }
}

std::optional<FrameBytes> FrameAssembler::Next() {
  while (buffer_.size() >= kFrameSize) {
    if (IsKnownRequest(buffer_.front())) {
      FrameBytes f;
      std::copy_n(buffer_.begin(), kFrameSize, f.begin());
      if (FrameValid(f)) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + kFrameSize);
        return f;
      }
    }
    buffer_.pop_front();
    ++discarded_;
  }
  return std::nullopt;
}

SimLink::SimLink(UnitModel& unit, const FaultOptions& faults, std::uint64_t seed)
    : unit_(unit), faults_(faults), rng_(seed ^ 0x5DEECE66Dull) {}

bool SimLink::chance(double p) {
  if (!(p > 0)) return false;
  std::uniform_real_distribution<double> d(0.0, 1.0);
  return d(rng_) < p;
}

// Garbage never contains a reply command byte, so on the line it can spoil a frame that
// follows it but never pass for one.
std::uint8_t SimLink::garbageByte() {
  for (;;) {
    auto b = static_cast<std::uint8_t>(rng_() & 0xFF);
    const int blk = b & kBlockMask;
    const bool replyCommand =
        b == kCmdMonitorReply || ((b & 0xC0) == 0x80 && blk <= kLastBlock) ||
        ((b & 0xC0) == 0xC0 && blk <= kLastBlock);
    if (!replyCommand) return b;
  }
}

void SimLink::Receive(std::span<const std::uint8_t> bytes, double now) {
  for (std::uint8_t b : bytes) {
    double t = now;
    if (faults_.pace) {
      t = std::max(now, inboundFreeAt_) + 1.0 / kWireBytesPerSecond;
      inboundFreeAt_ = t;
    }
    inbound_.emplace_back(t, b);
  }
}

void SimLink::answer(const FrameBytes& request, double now) {
  ++stats_.requests;
  std::optional<FrameBytes> reply = unit_.Answer(request);
  if (!reply) return;
  if (faults_.silent) {
    ++stats_.dropped;
    return;
  }
  if (faults_.dropFirst &&
      seenRequests_.emplace(reinterpret_cast<const char*>(request.data()), request.size()).second) {
    ++stats_.dropped;
    return;
  }
  if (chance(faults_.drop)) {
    ++stats_.dropped;
    return;
  }
  Pending p;
  p.readyAt = now + faults_.delayMs / 1000.0;
  if (chance(faults_.garbage)) {
    const std::size_t n = 1 + static_cast<std::size_t>(rng_() % 40);
    for (std::size_t i = 0; i < n; ++i) p.bytes.push_back(garbageByte());
    stats_.garbageBytes += n;
  }
  if (chance(faults_.corrupt)) {
    (*reply)[kFrameSize - 1] ^= static_cast<std::uint8_t>(1 + rng_() % 255);
    ++stats_.corrupted;
  }
  p.bytes.insert(p.bytes.end(), reply->begin(), reply->end());
  ++stats_.replies;
  outbound_.push_back(std::move(p));
}

std::vector<std::uint8_t> SimLink::Poll(double now) {
  if (unitClock_ < 0) unitClock_ = now;
  if (now > unitClock_) {
    unit_.Advance(now - unitClock_);
    unitClock_ = now;
  }

  // Bytes that have fully arrived go to the assembler; complete requests are answered.
  std::vector<std::uint8_t> arrived;
  double lastAt = now;
  while (!inbound_.empty() && inbound_.front().first <= now) {
    if (arrived.empty()) assembler_.Expire(inbound_.front().first);
    lastAt = inbound_.front().first;
    arrived.push_back(inbound_.front().second);
    inbound_.pop_front();
  }
  if (arrived.empty())
    assembler_.Expire(now);
  else
    assembler_.Feed(arrived, lastAt);
  while (auto request = assembler_.Next()) answer(*request, now);

  // Reply bytes that are due on the line.
  std::vector<std::uint8_t> out;
  while (!outbound_.empty()) {
    Pending& p = outbound_.front();
    if (p.readyAt > now) break;
    if (!faults_.pace) {
      out.insert(out.end(), p.bytes.begin(), p.bytes.end());
      outbound_.pop_front();
      continue;
    }
    if (wireStart_ < 0) wireStart_ = std::max(p.readyAt, outboundFreeAt_);
    const double elapsed = std::max(0.0, now - wireStart_);
    const auto sentByNow = std::min(
        p.bytes.size(), static_cast<std::size_t>(std::floor(elapsed * kWireBytesPerSecond)));
    if (sentByNow > wireSent_) {
      out.insert(out.end(), p.bytes.begin() + static_cast<std::ptrdiff_t>(wireSent_),
                 p.bytes.begin() + static_cast<std::ptrdiff_t>(sentByNow));
      wireSent_ = sentByNow;
    }
    if (wireSent_ < p.bytes.size()) break;
    outboundFreeAt_ = wireStart_ + static_cast<double>(p.bytes.size()) / kWireBytesPerSecond;
    wireStart_ = -1;
    wireSent_ = 0;
    outbound_.pop_front();
  }
  return out;
}

std::optional<double> SimLink::NextDue() const {
  std::optional<double> due;
  auto consider = [&](double t) {
    if (!due || t < *due) due = t;
  };
  if (!inbound_.empty()) consider(inbound_.front().first);
  if (!outbound_.empty()) {
    const Pending& p = outbound_.front();
    if (!faults_.pace) {
      consider(p.readyAt);
    } else {
      double start = wireStart_ >= 0 ? wireStart_ : std::max(p.readyAt, outboundFreeAt_);
      consider(start + static_cast<double>(wireSent_ + 1) / kWireBytesPerSecond);
    }
  }
  return due;
}

void SimLink::Reset() {
  assembler_.Clear();
  inbound_.clear();
  outbound_.clear();
  wireStart_ = -1;
  wireSent_ = 0;
}

LinkStats SimLink::stats() const {
  LinkStats s = stats_;
  s.discardedBytes = assembler_.discardedBytes();
  return s;
}

}  // namespace rq::sim
