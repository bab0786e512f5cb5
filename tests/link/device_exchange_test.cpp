// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/device_exchange.h"

#include <gtest/gtest.h>

#include "tests/link/scripted_port.h"

namespace rq::test {
namespace {

using V = std::vector<std::uint8_t>;

bool AllZero(std::span<const std::uint8_t> s) {
  return std::all_of(s.begin(), s.end(), [](std::uint8_t b) { return b == 0; });
}

MonitorSnapshot Monitor(std::uint16_t rpm, std::uint16_t saving = 0) {
  return {.rpm = rpm, .savingCountdown = saving, .version = kImageVersion};
}

FrameBytes MonitorFrame(std::uint16_t rpm, std::uint16_t saving = 0) {
  return EncodeMonitor(Monitor(rpm, saving));
}

TEST(DeviceExchange, UndisturbedReadThenAutomaticVerify) {
  Bench t;
  t.unit.image.setByte(181, 33);  // differs from the PC's configuration
  t.unit.image.setByte(600, 7);
  t.image.setByte(kIdentOffset, 0x55);
  t.ex.startRead();
  EXPECT_EQ(t.ex.view().statusText, StatusText::Reading);
  EXPECT_TRUE(t.ex.view().gaugeVisible);
  EXPECT_TRUE(t.port.sent.empty());  // the start itself sends nothing

  const int used = t.runUntilIdle();
  EXPECT_EQ(t.blockCommands(),
            (V{0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x41, 0x42, 0x43, 0x44, 0x45}));
  // First send on the 4th tick, then one exchange per tick.
  EXPECT_EQ(t.sendTicks.front(), 4);
  EXPECT_EQ(used, 4 + 11);
  for (std::size_t i = 0; i < 6; ++i) EXPECT_TRUE(AllZero(Payload(t.port.sent[i]))) << i;
  for (int b = 1; b <= 5; ++b) {
    const auto& f = t.port.sent[static_cast<std::size_t>(5 + b)];
    EXPECT_TRUE(std::equal(f.begin() + 1, f.end() - 1, t.image.block(b).begin())) << b;
  }
  EXPECT_TRUE(t.image.sameConfig(t.unit.image));
  EXPECT_EQ(t.image.byte(181), 33);
  EXPECT_EQ(t.image.byte(kIdentOffset), 'V');
  EXPECT_EQ(t.ex.view().statusText, StatusText::Verifying);
  EXPECT_EQ(t.ex.view().statusSuffix, ": OK");
  EXPECT_FALSE(t.ex.view().statusError);
  EXPECT_EQ(t.ex.view().gaugeProgress, t.ex.view().gaugeMax);
  EXPECT_TRUE(t.ex.connected());
}

TEST(DeviceExchange, ProgramSendsImageThenVerifiesAndReportsDone) {
  Bench t;
  t.image.setByte(181, 44);
  t.image.setByte(kIdentOffset + 3, 0x99);  // never sent: block 0 goes out as zeros
  t.startProgram();
  t.runUntilIdle();
  EXPECT_EQ(t.blockCommands(),
            (V{0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x41, 0x42, 0x43, 0x44, 0x45}));
  EXPECT_TRUE(AllZero(Payload(t.port.sent[0])));
  EXPECT_TRUE(t.unit.image.sameConfig(t.image));
  EXPECT_EQ(t.image.byte(kIdentOffset + 3), 12);  // identification taken from the echo
  // The idle tick that follows shows the done text.
  EXPECT_EQ(t.ex.view().statusText, StatusText::ProgramDevice);
  EXPECT_EQ(t.ex.view().statusSuffix, ": OK");
  // The unit starts saving: the idle ticks show its progress instead.
  t.unit.monitor.savingCountdown = 750;
  t.run(8);
  EXPECT_EQ(t.ex.lastMonitor().savingCountdown, 750);
  EXPECT_EQ(t.ex.view().statusText, StatusText::Saving);
  EXPECT_EQ(t.ex.view().gaugeMax, 100);
  EXPECT_EQ(t.ex.view().gaugeProgress, 50);
}

// A programming sends the image it started with: an edit made while it runs is not sent in
// the blocks left, and the verify that follows compares with what was sent (it ends equal).
// Until the first request leaves, retakeProgram gives it the image as it is then.
TEST(DeviceExchange, ProgrammingSendsTheImageItStartedWith) {
  struct Case {
    const char* name;
    bool running;         // the edit comes after block 1 left; otherwise before anything did
    bool retake;
    bool retaken;          // what retakeProgram answers
    int unitHolds;         // byte 181 in the unit afterwards
  };
  const Case cases[] = {
      {"edit while it runs", true, false, false, 30},
      {"edit while it runs, retake refused", true, true, false, 30},
      {"edit before it sends, no retake", false, false, false, 30},
      {"edit before it sends, retaken", false, true, true, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bench t;
    t.image.setByte(181, 30);
    t.startProgram();
    while (c.running && t.blockCommands() != V{0x00, 0x01} && t.ticks < 50) t.tick();
    t.image.setByte(181, 50);  // block 2, not sent yet in any case
    if (c.retake) {
      EXPECT_EQ(t.ex.retakeProgram(), c.retaken);
    }
    t.runUntilIdle();
    EXPECT_EQ(t.unit.image.byte(181), c.unitHolds);
    EXPECT_EQ(t.ex.programmed().byte(181), c.unitHolds);
    EXPECT_EQ(t.image.byte(181), 50);
    ASSERT_TRUE(t.ex.lastEnd().has_value());
    EXPECT_EQ(t.ex.lastEnd()->outcome, Outcome::Ok);
    // The unit's identification reaches the programmed image too.
    EXPECT_EQ(t.ex.programmed().byte(kIdentOffset + 3), t.unit.image.byte(kIdentOffset + 3));
  }
  Bench idle;
  EXPECT_FALSE(idle.ex.retakeProgram());  // nothing to retake
}

TEST(DeviceExchange, SilentUnitEndsReadWithErrorAfterFiveSends) {
  Bench t;
  t.unit.silent = true;
  t.ex.startRead();
  t.run(23);
  EXPECT_TRUE(t.ex.busy());
  EXPECT_EQ(t.blockCommands(), (V{0x40, 0x40, 0x40, 0x40, 0x40}));
  EXPECT_EQ(t.sendTicks, (std::vector<int>{4, 8, 12, 16, 20}));
  t.tick();
  EXPECT_FALSE(t.ex.busy());
  EXPECT_EQ(t.ex.view().statusText, StatusText::ReadError);
  EXPECT_TRUE(t.ex.view().statusError);
  EXPECT_TRUE(t.ex.view().statusVisible);
  // The status line disappears when its countdown runs out.
  t.run(DeviceExchange::kStatusTicks + 1);
  EXPECT_FALSE(t.ex.view().statusVisible);
  EXPECT_FALSE(t.ex.view().gaugeVisible);
}

TEST(DeviceExchange, ErrorTextFollowsTheOperation) {
  Bench t;
  t.unit.silent = true;
  t.startVerify();
  t.runUntilIdle();
  EXPECT_EQ(t.ex.view().statusText, StatusText::VerifyError);
  t.ex.startProgramAfterChange();
  t.runUntilIdle();
  EXPECT_EQ(t.ex.view().statusText, StatusText::ProgramError);
}

// A program that fails after an earlier one succeeded must stay an error, not turn into the
// earlier "Program device:" + ": OK" on the next idle tick.
TEST(DeviceExchange, FailedProgramAfterASuccessfulOneStaysAnError) {
  Bench t;
  t.startProgram();
  t.runUntilIdle();
  t.tick();
  ASSERT_EQ(t.ex.view().statusSuffix, ": OK");
  t.unit.silent = true;
  t.startProgram();
  t.runUntilIdle();
  t.run(3);
  EXPECT_EQ(t.ex.view().statusText, StatusText::ProgramError);
  EXPECT_EQ(t.ex.view().statusSuffix, "");
  EXPECT_TRUE(t.ex.view().statusError);
}

TEST(DeviceExchange, VersionMismatchStopsAfterIdentification) {
  Bench t;
  t.unit.image.setByte(kIdentOffset + kIdentVersionOffset, 78);
  t.unit.image.setByte(181, 33);
  const auto before = t.image;
  t.ex.startRead();
  t.run(10);
  EXPECT_EQ(t.versionMessages, (std::vector<int>{78}));
  EXPECT_FALSE(t.ex.busy());
  EXPECT_EQ(t.blockCommands(), (V{0x40}));
  EXPECT_TRUE(t.image.sameConfig(before));  // only the identification block was stored
  EXPECT_EQ(t.image.byte(kIdentOffset + kIdentVersionOffset), 78);
  EXPECT_FALSE(t.ex.view().statusVisible);

  // Programming stops the same way, before any configuration block leaves.
  t.port.sent.clear();
  t.startProgram();
  t.run(10);
  EXPECT_EQ(t.versionMessages, (std::vector<int>{78, 78}));
  EXPECT_EQ(t.blockCommands(), (V{0x00}));
}

TEST(DeviceExchange, VerifyDuringReadAbandonsTheRead) {
  Bench t;
  t.unit.silent = true;
  t.ex.startRead();
  t.run(4);
  ASSERT_EQ(t.blockCommands(), (V{0x40}));
  t.startVerify();
  // A late answer to the abandoned read is dropped.
  t.port.queue(BuildFrame(0xC0, t.unit.image.block(0)));
  t.run(4);
  EXPECT_EQ(t.blockCommands(), (V{0x40, 0x41}));
  EXPECT_TRUE(std::equal(t.port.sent[1].begin() + 1, t.port.sent[1].end() - 1,
                         t.image.block(1).begin()));
  EXPECT_EQ(t.image.byte(kIdentOffset), 0);
  EXPECT_FALSE(t.ex.connected());
}

TEST(DeviceExchange, ReadProtectionByteIsExemptOnlyWhenVerifying) {
  {
    Bench t;
    t.unit.image.setByte(kReadProtection, 1);
    t.image.setByte(kReadProtection, 0);
    t.startVerify();
    t.runUntilIdle();
    EXPECT_EQ(t.ex.view().statusText, StatusText::Verifying);
    EXPECT_EQ(t.ex.view().statusSuffix, ": OK");
  }
  {
    Bench t;
    t.unit.stuckByte165 = 1;
    t.image.setByte(kReadProtection, 0);
    t.startProgram();
    t.runUntilIdle();
    EXPECT_EQ(t.blockCommands(), (V{0x00, 0x01, 0x02, 0x02, 0x02, 0x02, 0x02}));
    EXPECT_EQ(t.ex.view().statusText, StatusText::ProgramError);
  }
  {  // Any other difference fails verification.
    Bench t;
    t.unit.image.setByte(kReadProtection.next(1), t.image[kReadProtection.next(1)] + 1);
    t.startVerify();
    t.runUntilIdle();
    EXPECT_EQ(t.ex.view().statusText, StatusText::VerifyError);
  }
}

TEST(DeviceExchange, ReplyAfterResendIsTakenOnceAndTheCopyDropped) {
  Bench t;
  t.unit.silent = true;
  t.ex.startRead();
  t.run(8);  // sent at ticks 4 and 8
  ASSERT_EQ(t.blockCommands(), (V{0x40, 0x40}));
  auto first = t.unit.image.block(0);
  FrameBytes reply = BuildFrame(0xC0, first);
  t.port.queue(reply);
  t.tick();  // tick 9: accepted, block 1 requested at once
  EXPECT_EQ(t.blockCommands(), (V{0x40, 0x40, 0x41}));
  EXPECT_EQ(t.sendTicks.back(), 9);
  EXPECT_EQ(t.image.byte(kIdentOffset), 'V');
  FrameBytes copy = reply;
  copy[1] = 'Z';
  copy[151] = FrameCheckByte(copy);
  t.port.queue(copy);
  t.tick();
  EXPECT_EQ(t.image.byte(kIdentOffset), 'V');
  EXPECT_EQ(t.ex.state().command, 0x41);
  // The resend of block 1 leaves 3 ticks after the tick that sent it.
  t.tick();
  EXPECT_EQ(t.blockCommands().size(), 3u);
  t.tick();
  EXPECT_EQ(t.blockCommands().back(), 0x41);
  EXPECT_EQ(t.sendTicks.back(), 12);
}

TEST(DeviceExchange, BadOrUnexpectedFramesAreDropped) {
  Bench t;
  // A block reply while idle does not count as a sign of life.
  t.port.queue(BuildFrame(0x80));
  t.tick();
  EXPECT_EQ(t.ex.state().silence, 18);
  EXPECT_FALSE(t.ex.connected());
  // A monitor reply with a wrong check byte is ignored as well.
  FrameBytes bad = MonitorFrame(1234);
  bad[151] ^= 1;
  t.port.queue(bad);
  t.tick();
  EXPECT_EQ(t.ex.lastMonitor().rpm, 0);
  EXPECT_EQ(t.ex.state().silence, 18);
  t.port.queue(MonitorFrame(1234));
  t.tick();
  EXPECT_EQ(t.ex.lastMonitor().rpm, 1234);
  EXPECT_TRUE(t.ex.connected());
  EXPECT_FALSE(t.ex.view().noConnectionVisible);
}

TEST(DeviceExchange, PollTakesOnlyWholeFramesAndOnlyTheFirst) {
  Bench t;
  t.unit.silent = true;
  const FrameBytes a = MonitorFrame(1000);
  t.port.queue(std::span<const std::uint8_t>(a.data(), 151));
  t.tick();
  EXPECT_EQ(t.port.incoming.size(), 151u);
  EXPECT_EQ(t.ex.lastMonitor().rpm, 0);
  t.port.queue(std::span<const std::uint8_t>(a.data() + 151, 1));
  t.tick();
  EXPECT_TRUE(t.port.incoming.empty());
  EXPECT_EQ(t.ex.lastMonitor().rpm, 1000);

  t.port.queue(MonitorFrame(2000));
  t.port.queue(MonitorFrame(3000));
  t.tick();
  EXPECT_TRUE(t.port.incoming.empty());
  EXPECT_EQ(t.ex.lastMonitor().rpm, 2000);
  EXPECT_EQ(t.ex.lastMonitor(), Monitor(2000));
}

TEST(DeviceExchange, MonitorRequestsCarryTestBitsOnce) {
  Bench t;
  t.unit.silent = true;
  t.run(6);
  ASSERT_EQ(t.port.sent.size(), 1u);
  EXPECT_EQ(t.port.sent[0][0], kCmdMonitor);
  EXPECT_EQ(t.port.sent[0][151], 0xCF);

  t.ex.queueTest(kTestIgn1);
  t.ex.queueTest(kTestPOut3);
  t.ex.queueTest(kTestServoPlus);
  t.ex.queueTest(kTestServoMinus);
  t.ex.queueTest(kTestIgn1);
  t.ex.queueTest(99);  // not a button
  t.run(6);
  ASSERT_EQ(t.port.sent.size(), 2u);
  EXPECT_EQ(t.port.sent[1][21], 0x01);
  EXPECT_EQ(t.port.sent[1][22], 0x04);
  EXPECT_EQ(t.port.sent[1][23], 0x03);
  EXPECT_TRUE(FrameValid(t.port.sent[1]));
  EXPECT_EQ(t.ex.testBytes(), (std::array<std::uint8_t, 3>{0, 0, 0}));
  t.run(6);
  EXPECT_EQ(t.port.sent[2][151], 0xCF);

  // During an operation the bits wait for the first monitor request after it.
  t.ex.queueTest(kTestRpm);
  t.ex.startProgramAfterChange();
  const std::size_t started = t.port.sent.size();
  t.runUntilIdle();
  for (std::size_t i = started; i < t.port.sent.size(); ++i) {
    const auto& f = t.port.sent[i];
    if (f[0] == kCmdMonitor) {
      EXPECT_EQ(f[22], 0) << "sent during the operation";
    }
  }
  const std::size_t n = t.port.sent.size();
  t.run(6);
  ASSERT_EQ(t.port.sent.size(), n + 1);
  EXPECT_EQ(t.port.sent.back()[0], kCmdMonitor);
  EXPECT_EQ(t.port.sent.back()[22], 0x10);
}

TEST(DeviceExchange, StartFindsThePacingCounterAlreadyAdvanced) {
  Bench t;
  t.run(5);  // idle pacing counter at 5
  t.ex.startRead();
  t.tick();  // the counter passes 4 on this tick
  EXPECT_EQ(t.blockCommands(), (V{0x40}));
}

TEST(DeviceExchange, PrintingHidesStatusLine) {
  Bench t;
  t.ex.startRead();
  t.ex.setPrinting(true);
  t.tick();
  EXPECT_FALSE(t.ex.view().statusVisible);
  t.ex.setPrinting(false);
  t.tick();
  EXPECT_TRUE(t.ex.view().statusVisible);
}

// ---- port choice and the watchdog ----------------------------------------------------

TEST(ComPortPath, MapsComNumbersToDevices) {
  EXPECT_EQ(ComPortPath(1), "/dev/ttyUSB0");
  EXPECT_EQ(ComPortPath(4), "/dev/ttyUSB3");
  EXPECT_EQ(ComPortPath(5), "/dev/ttyACM0");
  EXPECT_EQ(ComPortPath(8), "/dev/ttyACM3");
  EXPECT_EQ(ComPortPath(9), "/dev/ttyS0");
  EXPECT_EQ(ComPortPath(21), "/dev/ttyS12");
  EXPECT_EQ(ComPortPath(0), "");
  EXPECT_EQ(ComPortPath(22), "");
  std::map<std::string, std::string> ports{{"COM3", "/dev/pts/7"}, {"COM4", ""}};
  EXPECT_EQ(ComPortPath(3, ports), "/dev/pts/7");
  EXPECT_EQ(ComPortPath(4, ports), "/dev/ttyUSB3");
}

TEST(DeviceExchange, OpenPortLabelsAndChecksTheChosenPort) {
  Bench t;
  t.ex.selectPort(9);
  EXPECT_EQ(t.ex.view().comLabel, "COM= COM10");
  EXPECT_EQ(t.ex.view().devicePath, "/dev/ttyS1");
  EXPECT_EQ(t.ex.view().comCheckedItem, 9);
  EXPECT_EQ(t.port.path, "/dev/ttyS1");

  t.port.failAll = true;
  t.ex.selectPort(2);
  EXPECT_EQ(t.comErrors, 1);
  EXPECT_FALSE(t.port.isOpen());
  EXPECT_FALSE(t.ex.lastOpen().message.empty());
  // The watchdog retries the same fixed port every 30 silent ticks, without a message.
  const std::size_t opens = t.port.opened.size();
  t.run(30);
  EXPECT_EQ(t.port.opened.size(), opens + 1);
  EXPECT_EQ(t.port.opened.back(), "/dev/ttyUSB2");
  EXPECT_EQ(t.comErrors, 1);
}

TEST(DeviceExchange, AutomaticSearchSkipsPortsThatDoNotOpen) {
  Bench t;
  t.port.failAll = true;
  t.port.opened.clear();
  t.ex.portSettings().scanIndex = 4;
  t.ex.selectPort(kComAuto);
  EXPECT_EQ(t.port.opened, (std::vector<std::string>{"/dev/ttyACM0"}));
  EXPECT_EQ(t.ex.state().reopenCounter, 200);
  EXPECT_EQ(t.comErrors, 0);
  EXPECT_EQ(t.ex.view().comLabel, "COM= COM5");
  EXPECT_EQ(t.ex.view().comCheckedItem, kComAuto);
  t.run(3);  // next port on every tick
  EXPECT_EQ(t.port.opened, (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyACM1",
                                                     "/dev/ttyACM2", "/dev/ttyACM3"}));
  t.run(14);  // the scan wraps from COM21 back to COM1
  EXPECT_EQ(t.ex.portSettings().scanIndex, 0);
  EXPECT_EQ(t.port.opened.back(), "/dev/ttyUSB0");
  EXPECT_EQ(t.comErrors, 0);
}

TEST(DeviceExchange, AutomaticSearchWaitsOnASilentOpenPort) {
  Bench t;
  t.unit.silent = true;
  t.port.opened.clear();
  t.ex.selectPort(kComAuto);
  ASSERT_TRUE(t.port.isOpen());
  t.run(29);
  EXPECT_EQ(t.port.opened.size(), 1u);
  t.tick();
  EXPECT_EQ(t.port.opened.size(), 2u);
  EXPECT_EQ(t.port.opened.back(), "/dev/ttyUSB1");
  EXPECT_EQ(t.ex.view().comLabel, "COM= COM2");
  EXPECT_EQ(t.ex.portSettings().quietReopen, 1);
  EXPECT_TRUE(t.ex.view().noConnectionVisible);
  EXPECT_TRUE(t.ex.view().hideVersionLabel);
}

TEST(DeviceExchange, ConnectionLostAfterEighteenSilentTicks) {
  Bench t;
  t.run(6);  // the unit answers the first monitor request
  t.tick();
  EXPECT_TRUE(t.ex.connected());
  t.unit.silent = true;
  int ticksUntilLost = 0;
  while (t.ex.connected() && ticksUntilLost < 100) {
    t.tick();
    ++ticksUntilLost;
  }
  EXPECT_EQ(ticksUntilLost, 18);
  EXPECT_TRUE(t.ex.view().noConnectionVisible);
}

}  // namespace
}  // namespace rq::test

namespace rq::test {
namespace {

// Resynchronisation: noise in front of a reply, and the torn end of a reply, no longer cost
// an exchange, and the frame rules (size, check byte, expected command) still decide.
TEST(DeviceExchangeResync, NoiseInFrontOfAReplyIsSkipped) {
  Bench t;
  t.unit.silent = true;
  const V noise = {0x12, 0x00, 0xFF, 0x41, 0x77};
  t.port.queue(noise);
  t.port.queue(MonitorFrame(1500));
  t.tick();
  EXPECT_EQ(t.ex.lastMonitor().rpm, 1500);
  EXPECT_TRUE(t.port.incoming.empty());
}

TEST(DeviceExchangeResync, AReplyStillArrivingIsKeptForTheNextTick) {
  Bench t;
  t.unit.silent = true;
  const FrameBytes f = MonitorFrame(2500);
  const V noise(30, 0x5A);
  t.port.queue(noise);
  t.port.queue(std::span<const std::uint8_t>(f.data(), 140));  // 170 bytes wait
  t.tick();
  EXPECT_EQ(t.ex.lastMonitor().rpm, 0);
  t.port.queue(std::span<const std::uint8_t>(f.data() + 140, 12));
  t.tick();
  EXPECT_EQ(t.ex.lastMonitor().rpm, 2500);
}

TEST(DeviceExchangeResync, TornEndOfAReplyDoesNotSpoilTheNext) {
  Bench t;
  t.unit.silent = true;
  const FrameBytes f = MonitorFrame(3000);
  t.port.queue(std::span<const std::uint8_t>(f.data() + 100, 52));  // the end of a lost reply
  t.tick();
  t.tick();  // it has not grown for a whole tick: it goes
  EXPECT_TRUE(t.port.incoming.empty());
  t.port.queue(MonitorFrame(3100));
  t.tick();
  EXPECT_EQ(t.ex.lastMonitor().rpm, 3100);
}

TEST(DeviceExchangeResync, OnlyValidFramesWithAnExpectedCommandAreTaken) {
  Bench t;
  t.unit.silent = true;
  // A frame with a wrong check byte, then a block reply nobody asked for, then the real one.
  FrameBytes bad = MonitorFrame(999);
  bad[151] ^= 0x40;
  t.port.queue(bad);
  t.port.queue(BuildFrame(0xC1));
  t.port.queue(MonitorFrame(4000));
  t.tick();
  EXPECT_EQ(t.ex.lastMonitor().rpm, 4000);
  // Two whole frames: only the first is handled, the second is discarded.
  t.port.queue(MonitorFrame(4100));
  t.port.queue(MonitorFrame(4200));
  t.tick();
  EXPECT_EQ(t.ex.lastMonitor().rpm, 4100);
  EXPECT_TRUE(t.port.incoming.empty());
  t.tick();
  EXPECT_EQ(t.ex.lastMonitor().rpm, 4100);
}

TEST(DeviceExchangeReport, SaysWhetherTheUnitWasSilentOrAnsweredOtherwise) {
  {
    Bench t;
    t.unit.silent = true;
    t.startVerify();
    t.runUntilIdle();
    EXPECT_EQ(t.ex.view().statusText, StatusText::VerifyError);
    EXPECT_EQ(t.ex.report().replies, 0);
    EXPECT_EQ(t.ex.report().bytes, 0u);
    EXPECT_EQ(t.ex.report().failedBlock, 1);
  }
  {
    Bench t;
    t.unit.image.setByte(400, 9);  // block 3 differs
    t.startVerify();
    t.runUntilIdle();
    EXPECT_EQ(t.ex.view().statusText, StatusText::VerifyError);
    EXPECT_EQ(t.ex.report().failedBlock, 3);
    EXPECT_EQ(t.ex.report().mismatchBlock, 3);
    EXPECT_EQ(t.ex.report().mismatches, DeviceExchange::kMaxSends);
    // A new operation starts with a clean report.
    t.ex.startRead();
    EXPECT_EQ(t.ex.report().mismatches, 0);
    EXPECT_EQ(t.ex.report().failedBlock, -1);
  }
}

}  // namespace
}  // namespace rq::test
