// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's hooks for the window's undo step after a read, the program history after a
// verified programming, the read of the unit into a copy, and the status notes.
#include <gtest/gtest.h>

#include "link/device_exchange.h"
#include "tests/link/scripted_port.h"

namespace rq::test {
namespace {

struct HookBench : Bench {
  int readStored = 0;
  int programVerified = 0;
  std::vector<bool> unitReads;
  ParameterImage atReadStored;
  HookBench() {
    ExchangeHooks h;
    h.readStored = [this] {
      ++readStored;
      atReadStored = image;
    };
    h.programVerified = [this] { ++programVerified; };
    h.unitReadEnded = [this](bool ok) { unitReads.push_back(ok); };
    h.versionMismatch = [this](int v) { versionMessages.push_back(v); };
    ex.setHooks(h);
  }
};

TEST(ExchangeHooks, ReadStoredOnceWithTheUnitsConfigurationBeforeItsVerify) {
  HookBench t;
  t.unit.image.setByte(200, 31);
  t.ex.startRead();
  t.runUntilIdle();
  EXPECT_EQ(t.readStored, 1);
  EXPECT_TRUE(t.atReadStored.sameConfig(t.unit.image));
  EXPECT_EQ(t.programVerified, 0);  // a read's verify is not a programming

  // A read the unit never finishes stores nothing and reports nothing.
  HookBench silent;
  silent.unit.silent = true;
  silent.ex.startRead();
  silent.runUntilIdle();
  EXPECT_EQ(silent.readStored, 0);
}

TEST(ExchangeHooks, ProgramVerifiedOnlyAfterAProgrammingThatVerifiedEqual) {
  HookBench t;
  t.image.setByte(300, 17);
  t.startVerify();  // a plain verify (it fails: the unit differs) keeps nothing
  t.runUntilIdle();
  EXPECT_EQ(t.programVerified, 0);
  t.startProgram();
  t.runUntilIdle();
  EXPECT_EQ(t.programVerified, 1);
  t.startVerify();  // equal now, but not a programming
  t.runUntilIdle();
  EXPECT_EQ(t.programVerified, 1);

  // The unit stores block 2 with its own read-protection flag: the programming fails and
  // nothing is kept.
  HookBench stuck;
  stuck.unit.stuckByte165 = 1;
  stuck.startProgram();
  stuck.runUntilIdle();
  EXPECT_EQ(stuck.ex.view().statusText, StatusText::ProgramError);
  EXPECT_EQ(stuck.programVerified, 0);
}

TEST(ExchangeHooks, UnitReadFillsTheCopyAndLeavesTheImageAlone) {
  HookBench t;
  t.unit.image.setByte(400, 99);
  t.image.setByte(kIdentOffset, 0x11);
  const ParameterImage before = t.image;
  const ParameterImage unitBefore = t.unit.image;
  ParameterImage copy;
  t.ex.startUnitRead(copy);
  t.runUntilIdle();
  EXPECT_EQ(t.blockCommands(), (std::vector<std::uint8_t>{0x40, 0x41, 0x42, 0x43, 0x44, 0x45}));
  EXPECT_EQ(t.unitReads, std::vector<bool>{true});
  EXPECT_TRUE(copy.sameConfig(t.unit.image));
  EXPECT_EQ(copy.byte(kIdentOffset), 'V');
  EXPECT_EQ(t.image.bytes, before.bytes);  // identification included
  EXPECT_EQ(t.readStored, 0);
  EXPECT_EQ(t.unit.image.bytes, unitBefore.bytes);  // the unit was only read
  EXPECT_EQ(t.ex.view().statusText, StatusText::Reading);
  EXPECT_EQ(t.ex.view().statusSuffix, ": OK");
}

TEST(ExchangeHooks, UnitReadEndsFalseWhenItFailsOrIsAbandoned) {
  HookBench silent;
  silent.unit.silent = true;
  ParameterImage copy;
  silent.ex.startUnitRead(copy);
  silent.runUntilIdle();
  EXPECT_EQ(silent.unitReads, std::vector<bool>{false});
  EXPECT_EQ(silent.ex.view().statusText, StatusText::ReadError);

  HookBench t;
  t.ex.startUnitRead(copy);
  t.run(5);
  t.startVerify();  // replaces the read: the copy is no longer filled
  EXPECT_EQ(t.unitReads, std::vector<bool>{false});
  t.runUntilIdle();
  EXPECT_EQ(t.unitReads.size(), 1u);

  HookBench other;
  other.unit.image.setByte(kIdentOffset + kIdentVersionOffset, 78);
  const ParameterImage before = other.image;
  other.ex.startUnitRead(copy);
  other.runUntilIdle();
  EXPECT_EQ(other.unitReads, std::vector<bool>{false});
  EXPECT_EQ(other.versionMessages, std::vector<int>{78});
  EXPECT_EQ(other.image.bytes, before.bytes);
}

TEST(ExchangeHooks, StatusNoteAndHidingTheStatusLine) {
  HookBench t;
  t.ex.ShowStatusNote(StatusText::PrintDateTime, "31.01.2009    14:05:09");
  EXPECT_EQ(t.ex.view().statusText, StatusText::PrintDateTime);
  EXPECT_EQ(std::string(EnglishStatusText(t.ex.view().statusText)) + t.ex.view().statusSuffix,
            "Date and time of printing:  31.01.2009    14:05:09");
  EXPECT_TRUE(t.ex.view().statusVisible);
  EXPECT_FALSE(t.ex.view().gaugeVisible);
  EXPECT_EQ(t.ex.state().statusCountdown, DeviceExchange::kStatusTicks);
  t.run(3);
  EXPECT_TRUE(t.ex.view().statusVisible);
  t.ex.HideStatusLine();
  t.run(1);
  EXPECT_FALSE(t.ex.view().statusVisible);  // hidden for good, not just until the next tick

  // A running operation keeps its progress shown.
  t.ex.startRead();
  t.run(5);
  t.ex.HideStatusLine();
  EXPECT_TRUE(t.ex.view().statusVisible);
  EXPECT_TRUE(t.ex.view().gaugeVisible);
}

}  // namespace
}  // namespace rq::test
