// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/unit_model.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/defaults.h"

namespace rq::sim {
namespace {


std::vector<std::uint8_t> Payload(const FrameBytes& f) { return {f.begin() + 1, f.begin() + 151}; }

FrameBytes Request(std::uint8_t cmd, std::span<const std::uint8_t> payload = {}) {
  return BuildFrame(cmd, payload);
}

ParameterImage DistinctConfig() {
  ParameterImage c = NewConfiguration();
  for (int i = 737; i < 750; ++i) c.setByte(i, i * 7);  // unused bytes, carried unchanged
  return c;
}

TEST(UnitModel, AnswersEachRequestKindWithTheBlockItHolds) {
  const ParameterImage cfg = DistinctConfig();
  Identity id;
  id.name = "XYZ";
  id.version = 7;
  id.day = 5;
  id.month = 1;
  id.year = 8;
  id.hour = 9;
  id.minute = 7;
  id.description = "bench unit";
  UnitModel unit(cfg, id);

  auto ident = unit.Answer(Request(0x40));
  ASSERT_TRUE(ident);
  EXPECT_TRUE(FrameValid(*ident));
  EXPECT_EQ((*ident)[0], 0xC0);
  const auto p = Payload(*ident);
  EXPECT_EQ(std::string(p.begin(), p.begin() + 3), "XYZ");
  EXPECT_EQ(p[3], 7);
  EXPECT_EQ(p[4], 5);
  EXPECT_EQ(p[5], 25);  // January
  EXPECT_EQ(p[6], 8);
  EXPECT_EQ(p[7], 9);
  EXPECT_EQ(p[8], 7);
  EXPECT_EQ(p[10], 79);
  EXPECT_EQ(std::string(p.begin() + 16, p.begin() + 26), "bench unit");
  EXPECT_EQ(p[26], 0);

  // The identification decodes to what the tool shows.
  ParameterImage pc;
  std::copy(p.begin(), p.end(), pc.block(0).begin());
  IdentificationTexts texts = DecodeIdentification(pc);
  EXPECT_EQ(texts.date, " 5. 1.2008");
  EXPECT_EQ(texts.time, "09:07");

  for (int b = 1; b <= 5; ++b) {
    SCOPED_TRACE(b);
    // A read carries zeros, a verify carries the PC's block; both get the unit's block.
    auto read = unit.Answer(Request(static_cast<std::uint8_t>(0x40 + b)));
    std::vector<std::uint8_t> other(150, 0x55);
    auto verify = unit.Answer(Request(static_cast<std::uint8_t>(0x40 + b), other));
    ASSERT_TRUE(read && verify);
    EXPECT_EQ((*read)[0], 0xC0 + b);
    EXPECT_EQ(*read, *verify);
    auto expect = cfg.block(b);
    EXPECT_EQ(Payload(*read), std::vector<std::uint8_t>(expect.begin(), expect.end()));
  }

  auto mon = unit.Answer(Request(0x30));
  ASSERT_TRUE(mon);
  EXPECT_EQ((*mon)[0], 0xB0);
  EXPECT_TRUE(FrameValid(*mon));
  EXPECT_EQ((*mon)[150], 79);
}

TEST(UnitModel, IgnoresBadCheckBytesAndUnknownCommands) {
  UnitModel unit(NewConfiguration(), Identity{});
  FrameBytes bad = Request(0x41);
  bad[151] ^= 0x01;
  EXPECT_FALSE(unit.Answer(bad));
  EXPECT_FALSE(unit.Answer(Request(0x46)));  // block 6 does not exist
  EXPECT_FALSE(unit.Answer(Request(0x06)));
  EXPECT_FALSE(unit.Answer(Request(0x80)));  // a reply is not a request
  EXPECT_FALSE(unit.Answer(Request(0xB0)));
  EXPECT_FALSE(unit.Answer(Request(0x10)));
  std::vector<std::uint8_t> shortFrame(151, 0);
  EXPECT_FALSE(unit.Answer(shortFrame));
}

TEST(UnitModel, ProgramStoresBlocksOneToFiveAndReadsBack) {
  UnitModel unit(NewConfiguration(), Identity{});
  ParameterImage wanted = NewConfiguration();
  wanted.setWord(3, 9000);
  wanted.setByte(181, 40);
  wanted.setByte(745, 0xAB);

  // Block 0 programming stores nothing and echoes the identification block.
  std::vector<std::uint8_t> junk(150, 0xEE);
  auto echo0 = unit.Answer(Request(0x00, junk));
  ASSERT_TRUE(echo0);
  EXPECT_EQ((*echo0)[0], 0x80);
  EXPECT_EQ((*echo0)[1 + 10], 79);
  EXPECT_EQ(unit.image().byte(750 + 10), 79);

  for (int b = 1; b <= 5; ++b) {
    auto echo = unit.Answer(Request(static_cast<std::uint8_t>(b), wanted.block(b)));
    ASSERT_TRUE(echo);
    EXPECT_EQ((*echo)[0], 0x80 + b);
    auto blk = wanted.block(b);
    EXPECT_EQ(Payload(*echo), std::vector<std::uint8_t>(blk.begin(), blk.end()));
    if (b < 5) {
      EXPECT_EQ(unit.programCount(), 0);
    }
  }
  EXPECT_TRUE(unit.image().sameConfig(wanted));
  EXPECT_EQ(unit.programCount(), 1);
  for (int b = 1; b <= 5; ++b) {
    auto read = unit.Answer(Request(static_cast<std::uint8_t>(0x40 + b)));
    auto blk = wanted.block(b);
    EXPECT_EQ(Payload(*read), std::vector<std::uint8_t>(blk.begin(), blk.end()));
  }

  // The save runs about two seconds, counting down from 1500 in monitor word 26.
  const MonitorSnapshot m = unit.Monitor();
  EXPECT_EQ(m.programCount, 1);
  EXPECT_EQ(m.savingCountdown, 1500);
  unit.Advance(1.0);
  const int half = unit.Monitor().savingCountdown;
  EXPECT_GT(half, 600);
  EXPECT_LT(half, 900);
  unit.Advance(1.1);
  EXPECT_EQ(unit.Monitor().savingCountdown, 0);

  // A second complete programming counts again; a partial one does not.
  for (int b = 1; b <= 5; ++b) unit.Answer(Request(static_cast<std::uint8_t>(b), wanted.block(b)));
  unit.Answer(Request(0x01, wanted.block(1)));
  EXPECT_EQ(unit.Monitor().programCount, 2);
}

TEST(UnitModel, FlagsAProgrammedConfigurationThatIsInconsistent) {
  UnitModel unit(NewConfiguration(), Identity{});
  ParameterImage bad = NewConfiguration();
  bad.setByte(181, 200);  // advance above 60 degrees
  for (int b = 1; b <= 5; ++b) unit.Answer(Request(static_cast<std::uint8_t>(b), bad.block(b)));
  EXPECT_EQ(unit.Monitor().dataError, 1);
  const ParameterImage good = NewConfiguration();
  for (int b = 1; b <= 5; ++b) unit.Answer(Request(static_cast<std::uint8_t>(b), good.block(b)));
  EXPECT_EQ(unit.Monitor().dataError, 0);
}

TEST(UnitModel, ReportsAnotherImageVersionInBothPlaces) {
  Identity id;
  id.imageVersion = 80;
  UnitModel unit(NewConfiguration(), id);
  EXPECT_EQ((*unit.Answer(Request(0x40)))[1 + 10], 80);
  EXPECT_EQ(unit.Monitor().version, 80);
}

TEST(UnitModel, MonthCodesAreTheCharacterSums) {
  const int codes[12] = {25, 13, 32, 35, 39, 45, 43, 29, 40, 38, 51, 12};
  for (int m = 1; m <= 12; ++m) EXPECT_EQ(MonthCode(m), codes[m - 1]) << m;
  EXPECT_EQ(MonthCode(0), 0);
  EXPECT_EQ(MonthCode(13), 0);
}

}  // namespace
}  // namespace rq::sim
