// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/sim_link.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "model/defaults.h"
#include "model/ign_file.h"
#include "sim/options.h"

namespace rq::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Frame(std::uint8_t cmd) {
  FrameBytes f = BuildFrame(cmd);
  return {f.begin(), f.end()};
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST(FrameAssembler, FindsRequestsBehindGarbageAndBrokenFrames) {
  FrameAssembler a;
  Bytes broken = Frame(0x41);
  broken[151] ^= 0x20;
  // Garbage that even holds known command bytes, then a frame with a bad check byte, then
  // two good requests.
  a.Feed(Cat({Bytes{0x00, 0x40, 0x30, 0x77}, broken, Frame(0x42), Frame(0x30)}), 0.0);
  auto first = a.Next();
  ASSERT_TRUE(first);
  EXPECT_EQ((*first)[0], 0x42);
  auto second = a.Next();
  ASSERT_TRUE(second);
  EXPECT_EQ((*second)[0], 0x30);
  EXPECT_FALSE(a.Next());
  EXPECT_EQ(a.buffered(), 0u);
  EXPECT_EQ(a.discardedBytes(), 4u + 152u);
}

TEST(FrameAssembler, JoinsSplitFramesButDropsStaleHalves) {
  FrameAssembler a(0.1);
  Bytes f = Frame(0x43);
  a.Feed(Bytes(f.begin(), f.begin() + 100), 0.0);
  EXPECT_FALSE(a.Next());
  a.Feed(Bytes(f.begin() + 100, f.end()), 0.01);
  auto got = a.Next();
  ASSERT_TRUE(got);
  EXPECT_EQ((*got)[0], 0x43);

  // Half a frame, then nothing for longer than the stale time: the next frame still counts.
  a.Feed(Bytes(f.begin(), f.begin() + 60), 1.0);
  a.Feed(Frame(0x44), 1.5);
  got = a.Next();
  ASSERT_TRUE(got);
  EXPECT_EQ((*got)[0], 0x44);
}

struct Rig {
  explicit Rig(FaultOptions f, Identity id = {}) : unit(NewConfiguration(), id, 1), link(unit, f, 1) {}
  Bytes Exchange(const Bytes& request, double at, double until) {
    link.Receive(request, at);
    Bytes out;
    for (double t = at; t <= until + 1e-9; t += 0.001) {
      Bytes part = link.Poll(t);
      out.insert(out.end(), part.begin(), part.end());
    }
    return out;
  }
  UnitModel unit;
  SimLink link;
};

TEST(SimLinkFaults, DropFirstLosesOnlyTheFirstReplyToEachRequest) {
  Rig rig({.dropFirst = true});
  EXPECT_TRUE(rig.Exchange(Frame(0x41), 0.0, 0.01).empty());
  EXPECT_EQ(rig.Exchange(Frame(0x41), 0.1, 0.11).size(), 152u);
  EXPECT_TRUE(rig.Exchange(Frame(0x42), 0.2, 0.21).empty());
  EXPECT_EQ(rig.Exchange(Frame(0x41), 0.3, 0.31).size(), 152u);
  EXPECT_EQ(rig.link.stats().dropped, 2u);
}

TEST(SimLinkFaults, DropCorruptSilentAndDelay) {
  Rig all({.drop = 1.0});
  EXPECT_TRUE(all.Exchange(Frame(0x30), 0.0, 0.05).empty());

  Rig corrupt({.corrupt = 1.0});
  Bytes r = corrupt.Exchange(Frame(0x45), 0.0, 0.01);
  ASSERT_EQ(r.size(), 152u);
  EXPECT_EQ(r[0], 0xC5);
  EXPECT_FALSE(FrameValid(r));

  Rig silent({.silent = true});
  EXPECT_TRUE(silent.Exchange(Frame(0x40), 0.0, 0.05).empty());
  silent.link.SetSilent(false);
  EXPECT_EQ(silent.Exchange(Frame(0x40), 0.1, 0.11).size(), 152u);

  Rig late({.delayMs = 40});
  EXPECT_TRUE(late.Exchange(Frame(0x30), 0.0, 0.035).empty());
  r = late.Exchange({}, 0.036, 0.05);
  ASSERT_EQ(r.size(), 152u);
  EXPECT_TRUE(FrameValid(r));
}

TEST(SimLinkFaults, GarbageComesInFrontAndNeverLooksLikeAReply) {
  Rig rig({.garbage = 1.0});
  std::size_t garbage = 0;
  for (int i = 0; i < 200; ++i) {
    Bytes r = rig.Exchange(Frame(0x30), i * 0.02, i * 0.02 + 0.001);
    ASSERT_GT(r.size(), 152u);
    const std::size_t n = r.size() - 152;
    garbage += n;
    Bytes reply(r.begin() + static_cast<std::ptrdiff_t>(n), r.end());
    EXPECT_TRUE(FrameValid(reply));
    for (std::size_t k = 0; k < n; ++k) {
      const std::uint8_t b = r[k];
      const bool replyCommand = b == 0xB0 || (b >= 0x80 && b <= 0x85) || (b >= 0xC0 && b <= 0xC5);
      ASSERT_FALSE(replyCommand) << int(b);
    }
  }
  EXPECT_EQ(rig.link.stats().garbageBytes, garbage);
}

TEST(SimLinkPacing, BytesTakeTheirWireTime) {
  Rig rig({.pace = true});
  const double frameTime = 152 / kWireBytesPerSecond;  // about 26.4 ms
  rig.link.Receive(Frame(0x41), 0.0);
  Bytes out;
  double firstAt = -1, lastAt = -1;
  for (double t = 0; t < 0.1; t += 0.0005) {
    Bytes part = rig.link.Poll(t);
    if (!part.empty() && firstAt < 0) firstAt = t;
    if (!part.empty()) lastAt = t;
    out.insert(out.end(), part.begin(), part.end());
  }
  ASSERT_EQ(out.size(), 152u);
  EXPECT_TRUE(FrameValid(out));
  // The request takes one frame time to arrive, the reply another to leave.
  EXPECT_GE(firstAt, frameTime);
  EXPECT_NEAR(lastAt, 2 * frameTime, 0.002);
}

TEST(SimOptions, ParsesFaultsIdentityAndRejectsNonsense) {
  SimOptions o;
  std::string err;
  ASSERT_TRUE(ParseOptions({"--drop", "0.25", "--drop-first", "--corrupt", "0.05", "--garbage",
                            "1", "--delay", "30", "--pace", "--name", "ABC", "--unit-version", "7",
                            "--build-date", "2008-01-05 09:07", "--image-version", "80",
                            "--hold", "6000,40,3", "--seed", "9"},
                           o, err))
      << err;
  EXPECT_DOUBLE_EQ(o.faults.drop, 0.25);
  EXPECT_TRUE(o.faults.dropFirst && o.faults.pace);
  EXPECT_EQ(o.faults.delayMs, 30);
  EXPECT_EQ(o.identity.name, "ABC");
  EXPECT_EQ(o.identity.month, 1);
  EXPECT_EQ(o.identity.year, 8);
  EXPECT_EQ(o.identity.imageVersion, 80);
  EXPECT_EQ(o.engine, SimOptions::EngineMode::Hold);
  EXPECT_EQ(o.holdGear, 3);
  EXPECT_EQ(*o.seed, 9u);
  EXPECT_EQ(o.identity.version, 7);
  EXPECT_FALSE(o.version);

  // --version alone asks for the program's own version; it takes no value.
  SimOptions asked;
  ASSERT_TRUE(ParseOptions({"--version"}, asked, err)) << err;
  EXPECT_TRUE(asked.version);
  EXPECT_NE(asked.identity.version, 7);

  Identity id;
  ASSERT_TRUE(ParseBuildDate("Dec 17 2008 16:05:52", id));
  EXPECT_EQ(id.month, 12);
  EXPECT_EQ(id.minute, 5);

  for (const std::vector<std::string>& bad :
       std::vector<std::vector<std::string>>{{"--drop", "1.5"}, {"--drop"}, {"--name", "ABCD"},
                                             {"--unit-version", "x"}, {"--unit-version"}, {"--build-date", "2008-13-01 10:00"},
                                             {"--frobnicate"}}) {
    SimOptions x;
    EXPECT_FALSE(ParseOptions(bad, x, err)) << bad[0];
    EXPECT_FALSE(err.empty());
  }
}

TEST(SimOptions, LoadsAConfigurationFileByItsExtension) {
  ParameterImage wanted = NewConfiguration();
  wanted.setWord(3, 9500);
  const std::string path = testing::TempDir() + "sim_load_test.IGN";
  {
    std::ofstream out(path, std::ios::binary);
    out << WriteIgnText(wanted);
  }
  ParameterImage got;
  std::string err;
  ASSERT_TRUE(LoadConfiguration(path, got, err)) << err;
  EXPECT_EQ(got.word(3), 9500);

  {
    std::ofstream out(path, std::ios::binary);
    out << "not a configuration\r\n";
  }
  EXPECT_FALSE(LoadConfiguration(path, got, err));
  EXPECT_FALSE(LoadConfiguration(path + ".missing", got, err));
  std::remove(path.c_str());
}

}  // namespace
}  // namespace rq::sim
