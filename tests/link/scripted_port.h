// SPDX-License-Identifier: GPL-3.0-or-later
// In-memory serial port and a scripted unit for tick-exact engine tests. The port keeps the
// contract of the real one (tests/link/port_contract_test.cpp): writes of any size, reads of
// what waits, nothing without an open port.
#pragma once

#include <algorithm>
#include <deque>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "link/device_exchange.h"
#include "protocol/frame.h"
#include "protocol/monitor_reply.h"
#include "link/serial_port.h"
#include "model/defaults.h"

namespace rq::test {

class ScriptedPort final : public SerialPort {
 public:
  std::deque<std::uint8_t> incoming;
  std::vector<std::uint8_t> written;  // every byte written, in order
  std::vector<FrameBytes> sent;       // the whole frames among them
  std::vector<std::string> opened;      // every path asked for, in order
  std::set<std::string> failingPaths;   // opens of these fail
  bool failAll = false;
  std::string path;

  OpenResult open(const std::string& p) override {
    close();
    opened.push_back(p);
    if (failAll || failingPaths.count(p) != 0) return {OpenFailure::Other, "cannot open " + p};
    open_ = true;
    path = p;
    return {};
  }
  void close() override { open_ = false; }
  bool isOpen() const override { return open_; }
  std::size_t bytesWaiting() override { return open_ ? incoming.size() : 0; }
  std::size_t read(std::uint8_t* buffer, std::size_t max) override {
    const std::size_t n = std::min(max, bytesWaiting());
    for (std::size_t i = 0; i < n; ++i) {
      buffer[i] = incoming.front();
      incoming.pop_front();
    }
    return n;
  }
  bool writeAll(std::span<const std::uint8_t> data) override {
    if (!open_) return false;
    written.insert(written.end(), data.begin(), data.end());
    for (; framed_ + kFrameSize <= written.size(); framed_ += kFrameSize) {
      FrameBytes f{};
      std::copy_n(written.begin() + std::ptrdiff_t(framed_), kFrameSize, f.begin());
      sent.push_back(f);
    }
    return true;
  }

  void queue(std::span<const std::uint8_t> bytes) {
    incoming.insert(incoming.end(), bytes.begin(), bytes.end());
  }

 private:
  bool open_ = false;
  std::size_t framed_ = 0;  // bytes of `written` cut into frames
};

inline std::vector<std::uint8_t> Commands(const std::vector<FrameBytes>& frames) {
  std::vector<std::uint8_t> c;
  for (const auto& f : frames) c.push_back(f[0]);
  return c;
}

inline std::span<const std::uint8_t> Payload(const FrameBytes& f) {
  return std::span<const std::uint8_t>(f.data() + 1, kPayloadSize);
}

// A unit that answers like the real one: read and verify return its block, program stores
// the block (0 gives the identification block) and echoes it, monitor returns a snapshot.
struct FakeUnit {
  ParameterImage image;
  bool silent = false;
  std::optional<std::uint8_t> stuckByte165;  // the unit keeps its own read-protection flag
  MonitorSnapshot monitor;                   // what the monitor reply carries

  FakeUnit() {
    image = NewConfiguration();
    auto id = image.block(0);
    id[0] = 'V';
    id[1] = 'T';
    id[2] = 'X';
    id[3] = 12;
    id[static_cast<std::size_t>(kIdentVersionOffset)] = kImageVersion;
    monitor.version = kImageVersion;
  }

  std::optional<FrameBytes> respond(const FrameBytes& req) {
    if (silent || !FrameValid(req)) return std::nullopt;
    const std::uint8_t c = req[0];
    if (c == kCmdMonitor) {
      return EncodeMonitor(monitor);
    }
    const int b = c & kBlockMask;
    if (b > kLastBlock) return std::nullopt;
    if ((c & 0x40) == 0 && b != 0) {
      auto block = image.block(b);
      std::copy_n(req.begin() + 1, kPayloadSize, block.begin());
      if (stuckByte165) image.setByte(kReadProtection, *stuckByte165);
    }
    return BuildFrame(static_cast<std::uint8_t>(c ^ kReplyBit), image.block(b));
  }
};

// Runs the engine tick by tick with the unit answering every request on the next tick.
struct Bench {
  ParameterImage image;
  ScriptedPort port;
  FakeUnit unit;
  DeviceExchange ex{image, port};
  std::vector<int> versionMessages;
  int comErrors = 0;
  int ticks = 0;
  std::vector<int> sendTicks;  // tick number of each frame in port.sent

  Bench() {
    image = NewConfiguration();
    ExchangeHooks h;
    h.versionMismatch = [this](int v) { versionMessages.push_back(v); };
    h.comOpenError = [this] { ++comErrors; };
    ex.setHooks(h);
    ex.OpenPort();
  }

  // Verify and program as the window starts them: the image sanitised first.
  void startVerify() {
    SanitizeImage(image);
    ex.startVerify();
  }
  void startProgram() {
    SanitizeImage(image);
    ex.startProgram();
  }

  // One tick; replies to what was sent during it are queued for the next tick.
  void tick() {
    const std::size_t before = port.sent.size();
    ++ticks;
    ex.tick();
    for (std::size_t i = before; i < port.sent.size(); ++i) {
      sendTicks.push_back(ticks);
      if (auto r = unit.respond(port.sent[i])) port.queue(*r);
    }
  }
  void run(int n) {
    for (int i = 0; i < n; ++i) tick();
  }
  // Ticks until the operation has ended (or the limit runs out); returns the ticks used.
  int runUntilIdle(int limit = 200) {
    int n = 0;
    while (n < limit) {
      tick();
      ++n;
      if (!ex.busy()) break;
    }
    return n;
  }
  std::vector<std::uint8_t> blockCommands() const {
    std::vector<std::uint8_t> c;
    for (const auto& f : port.sent)
      if (f[0] != kCmdMonitor) c.push_back(f[0]);
    return c;
  }
};

}  // namespace rq::test
