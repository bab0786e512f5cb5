// SPDX-License-Identifier: GPL-3.0-or-later
// What the exchange engine may count on from a serial port, run over the real one on a
// pseudo-terminal and over the scripted one the engine tests use, so that the two cannot drift
// apart: bytes of any count travel both ways unchanged, a read takes what waits and no more,
// and nothing is read or written without an open port.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include <unistd.h>

#include "tests/link/pty.h"
#include "tests/link/scripted_port.h"

namespace rq {
namespace {

// A port with the far end of its line.
struct Line {
  virtual ~Line() = default;
  virtual SerialPort& port() = 0;
  virtual std::string path() const = 0;
  virtual void send(const std::vector<std::uint8_t>& bytes) = 0;     // from the far end
  virtual std::vector<std::uint8_t> received(std::size_t n) = 0;     // at the far end
};

struct PtyLine final : Line {
  Pty pty;
  TermiosPort termios;
  SerialPort& port() override { return termios; }
  std::string path() const override { return pty.slave; }
  void send(const std::vector<std::uint8_t>& b) override {
    ASSERT_EQ(::write(pty.master, b.data(), b.size()), ssize_t(b.size()));
  }
  std::vector<std::uint8_t> received(std::size_t n) override { return pty.readMaster(n); }
};

struct ScriptedLine final : Line {
  test::ScriptedPort scripted;
  std::size_t taken = 0;
  SerialPort& port() override { return scripted; }
  std::string path() const override { return "/dev/scripted"; }
  void send(const std::vector<std::uint8_t>& b) override { scripted.queue(b); }
  std::vector<std::uint8_t> received(std::size_t n) override {
    const std::size_t end = std::min(scripted.written.size(), taken + n);
    std::vector<std::uint8_t> out(scripted.written.begin() + std::ptrdiff_t(taken),
                                  scripted.written.begin() + std::ptrdiff_t(end));
    taken = end;
    return out;
  }
};

class PortContract : public ::testing::TestWithParam<bool> {
 protected:
  PortContract() {
    if (GetParam()) line_ = std::make_unique<PtyLine>();
    else line_ = std::make_unique<ScriptedLine>();
  }
  // Bytes arrive on a real line a little later.
  std::size_t waitFor(std::size_t n) {
    for (int i = 0; i < 200 && line_->port().bytesWaiting() < n; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return line_->port().bytesWaiting();
  }
  std::unique_ptr<Line> line_;
};

TEST_P(PortContract, BytesOfAnyCountTravelBothWaysUnchanged) {
  SerialPort& port = line_->port();
  ASSERT_TRUE(port.open(line_->path()).ok());
  for (const std::size_t n : {std::size_t{1}, kFrameSize, std::size_t{300}}) {
    std::vector<std::uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = std::uint8_t(i * 7 + 3);
    bytes[0] = 0x11;  // XON, which a terminal in its usual mode would eat
    ASSERT_TRUE(port.writeAll(bytes)) << n;
    EXPECT_EQ(line_->received(n), bytes) << n;
  }
  const std::vector<std::uint8_t> first(100, 0x13), rest(52, 0x0D);  // XOFF, carriage return
  line_->send(first);
  EXPECT_EQ(waitFor(100), 100u);
  line_->send(rest);
  ASSERT_EQ(waitFor(kFrameSize), kFrameSize);
  std::vector<std::uint8_t> buffer(10000);
  ASSERT_EQ(port.read(buffer.data(), 60), 60u);  // no more than asked
  ASSERT_EQ(port.read(buffer.data() + 60, buffer.size()), kFrameSize - 60);
  EXPECT_TRUE(std::equal(first.begin(), first.end(), buffer.begin()));
  EXPECT_TRUE(std::equal(rest.begin(), rest.end(), buffer.begin() + 100));
  EXPECT_EQ(port.read(buffer.data(), buffer.size()), 0u);  // nothing waits: returns at once
}

TEST_P(PortContract, NothingIsReadOrWrittenWithoutAnOpenPort) {
  SerialPort& port = line_->port();
  const std::vector<std::uint8_t> frame(kFrameSize, 0x40);
  std::uint8_t buffer[16];
  for (const bool opened : {false, true}) {
    if (opened) {
      ASSERT_TRUE(port.open(line_->path()).ok());
      line_->send(frame);
      waitFor(kFrameSize);
      port.close();
    }
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.writeAll(frame));
    EXPECT_EQ(port.bytesWaiting(), 0u);
    EXPECT_EQ(port.read(buffer, sizeof buffer), 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(RealAndScripted, PortContract, ::testing::Values(true, false),
                         [](const auto& line) { return line.param ? "Pty" : "Scripted"; });

}  // namespace
}  // namespace rq
