// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_port.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "link/device_exchange.h"
#include "model/defaults.h"
#include "protocol/frame.h"
#include "tests/link/pty.h"
#include "tests/link/scripted_port.h"

namespace rq {
namespace {

// The bytes themselves travel as tests/link/port_contract_test.cpp has it.
TEST(TermiosPort, OpenMakesTheLineRaw57600Baud8N1) {
  Pty pty;
  ASSERT_FALSE(pty.slave.empty());
  TermiosPort port;
  OpenResult r;
  ASSERT_TRUE((r = port.open(pty.slave)).ok()) << r.message;
  termios t{};
  ASSERT_EQ(tcgetattr(port.fd(), &t), 0);
  EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B57600));
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_lflag & ICANON, 0u);
  EXPECT_EQ(t.c_cc[VMIN], 0);
  EXPECT_EQ(t.c_cc[VTIME], 1);
  // Low latency is asked for; a pseudo-terminal has no such setting, and the open goes on.
  EXPECT_EQ(port.lowLatency(), LowLatency::Unsupported);
}

TEST(TermiosPort, CloseRestoresTheSettingsFoundAtOpen) {
  Pty pty;
  ASSERT_FALSE(pty.slave.empty());
  int other = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(other, 0);
  termios before{};
  ASSERT_EQ(tcgetattr(other, &before), 0);
  ASSERT_NE(before.c_lflag & ICANON, 0u);
  {
    TermiosPort port;
    OpenResult r;
    ASSERT_TRUE((r = port.open(pty.slave)).ok()) << r.message;
    termios during{};
    tcgetattr(other, &during);
    EXPECT_EQ(during.c_lflag & ICANON, 0u);
    if (geteuid() != 0) {  // exclusive use does not bind root
      TermiosPort second;
      EXPECT_FALSE((r = second.open(pty.slave)).ok());
      EXPECT_FALSE(r.message.empty());
    }
  }
  termios after{};
  ASSERT_EQ(tcgetattr(other, &after), 0);
  EXPECT_EQ(after.c_lflag, before.c_lflag);
  EXPECT_EQ(after.c_iflag, before.c_iflag);
  EXPECT_EQ(cfgetospeed(&after), cfgetospeed(&before));
  close(other);
}

TEST(TermiosPort, OpenFailuresAreCleanAndReported) {
  TermiosPort port;
  OpenResult r;
  EXPECT_FALSE((r = port.open("/dev/does-not-exist-rq")).ok());
  EXPECT_EQ(r.message, std::strerror(ENOENT));  // the system's reason; the caller names the port
  EXPECT_FALSE(port.isOpen());
  EXPECT_EQ(port.bytesWaiting(), 0u);
  FrameBytes f = BuildFrame(kCmdMonitor);
  EXPECT_FALSE(port.writeAll(f));
  EXPECT_EQ(r.kind, OpenFailure::Missing);
  EXPECT_FALSE((r = port.open("/dev/null")).ok());  // not a terminal
  EXPECT_EQ(r.kind, OpenFailure::Other);
  EXPECT_EQ(r.message, "not a serial device");
  EXPECT_FALSE(port.isOpen());
  EXPECT_FALSE((r = port.open("")).ok());
  EXPECT_EQ(r.kind, OpenFailure::Missing);
}

// Two programs on one adapter garble each other's frames. The exclusive mode of the terminal
// does not stop root; the advisory lock does, and the reason is named.
TEST(TermiosPort, ASecondOpenOfAHeldPortIsRefusedAsBusy) {
  Pty pty;
  ASSERT_FALSE(pty.slave.empty());
  TermiosPort first;
  OpenResult r;
  ASSERT_TRUE((r = first.open(pty.slave)).ok()) << r.message;
  EXPECT_EQ(r.kind, OpenFailure::None);
  TermiosPort second;
  EXPECT_FALSE((r = second.open(pty.slave)).ok());
  EXPECT_FALSE(second.isOpen());
  EXPECT_EQ(r.kind, OpenFailure::Busy);
  // Released with the close: the port can be had again.
  first.close();
  EXPECT_TRUE((r = second.open(pty.slave)).ok()) << r.message;
  TermiosPort missing;
  EXPECT_FALSE((r = missing.open("/dev/does-not-exist-rq")).ok());
  EXPECT_EQ(r.kind, OpenFailure::Missing);
}

TEST(TermiosPort, WritesNeverHangOnAPeerThatStopsReading) {
  Pty pty;
  ASSERT_FALSE(pty.slave.empty());
  TermiosPort port(50);
  OpenResult r;
  ASSERT_TRUE((r = port.open(pty.slave)).ok()) << r.message;
  const FrameBytes f = BuildFrame(kCmdMonitor);
  // The master never reads: the line fills up and a write gives up instead of blocking.
  bool refused = false;
  for (int i = 0; i < 5000 && !refused; ++i) refused = !port.writeAll(f);
  EXPECT_TRUE(refused);
  // The far end going away turns into failed writes and an empty input queue.
  close(pty.master);
  pty.master = -1;
  EXPECT_FALSE(port.writeAll(f));
  EXPECT_EQ(port.bytesWaiting(), 0u);
  std::uint8_t b[16];
  EXPECT_EQ(port.read(b, sizeof b), 0u);
}

}  // namespace
}  // namespace rq

namespace rq {
namespace {

// A reply that is not whole when the tick comes (the line still carries its second half, as a
// paced line or a USB adapter's latency timer leave it) is taken in that tick, and the next
// request leaves at once rather than a tick later.
TEST(TermiosPort, AReplyArrivingDuringTheTickIsTakenInIt) {
  Pty pty;
  ASSERT_FALSE(pty.slave.empty());
  ParameterImage image = NewConfiguration();
  TermiosPort port;
  DeviceExchange ex(image, port, {}, [&](int) { return pty.slave; });
  ex.OpenPort();
  ASSERT_TRUE(port.isOpen());
  ex.startRead();
  for (int i = 0; i < DeviceExchange::kReplyTimeoutTicks; ++i) ex.tick();
  const std::vector<std::uint8_t> request = pty.readMaster(kFrameSize);
  ASSERT_EQ(request.size(), kFrameSize);
  FrameBytes req{};
  std::copy(request.begin(), request.end(), req.begin());
  const FrameBytes reply = *test::FakeUnit().respond(req);
  ASSERT_EQ(::write(pty.master, reply.data(), 80), 80);
  std::thread rest([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    (void)!::write(pty.master, reply.data() + 80, kFrameSize - 80);
  });
  ex.tick();
  rest.join();
  EXPECT_EQ(ex.state().command, kCmdRead + 1);
  EXPECT_EQ(pty.readMaster(kFrameSize).front(), kCmdRead + 1);
}

}  // namespace
}  // namespace rq
