// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "model/configuration_text.h"
#include "model/parameter_image.h"

namespace rq {
namespace {

std::vector<int> Axis(const ParameterImage& im, int first) {
  std::vector<int> v;
  for (int i = 0; i < 15; ++i) v.push_back(im.word(first + i));
  return v;
}

TEST(ParameterImage, WordAndBiasedByteAccess) {
  ParameterImage im;
  im.setWord(kHardLimiter, 0x12345);  // low word kept
  EXPECT_EQ(im.byte(6), 0x45);
  EXPECT_EQ(im.byte(7), 0x23);
  EXPECT_EQ(im[kHardLimiter], 0x2345);
  im.setShown(164, 1, -100, -60);
  EXPECT_EQ(im[kTachoCorrection], 40);
  EXPECT_EQ(im.shown(164, 1, -100), -60);
  im.setShown(699, 50, -100, 5000);
  EXPECT_EQ(im[kGearLimiterCorrection[0]], 200);
  im.setShown(699, 50, -100, -5000);
  EXPECT_EQ(im[kGearLimiterCorrection[0]], 0);
  EXPECT_EQ(ParameterImage::blockOffset(0), 750);
  EXPECT_EQ(ParameterImage::blockOffset(3), 300);
  EXPECT_EQ(im.block(5).data(), im.bytes.data() + 600);
}

TEST(Sanitize, RpmAxesRaisedLoweredAndSpread) {
  ParameterImage im;
  for (int i = 0; i < 15; ++i) im.setWord(22 + i, 25000);
  SanitizeImage(im);
  const auto low = Axis(im, 7), high = Axis(im, 22), servo = Axis(im, 37);
  for (int i = 0; i < 15; ++i) {
    EXPECT_EQ(low[i], 300 + 50 * i);
    EXPECT_EQ(servo[i], 300 + 50 * i);
    EXPECT_EQ(high[i], 19300 + 50 * i);
  }
  // A point equal to its predecessor is pushed up, and the push carries on in the same pass.
  ParameterImage eq;
  const int pts[15] = {1000, 2000, 2000, 2020, 2060, 3000, 4000, 5000,
                       6000, 7000, 8000, 9000, 10000, 11000, 12000};
  for (int i = 0; i < 15; ++i) eq.setWord(7 + i, pts[i]);
  SanitizeImage(eq);
  EXPECT_EQ(eq.word(8), 2000);
  EXPECT_EQ(eq.word(9), 2050);
  EXPECT_EQ(eq.word(10), 2100);
  EXPECT_EQ(eq.word(11), 2150);
  EXPECT_EQ(eq.word(12), 3000);
}

TEST(Sanitize, ThrottleCalibrationAndMaps) {
  ParameterImage im;
  im.setWord(kTps0, 4950);
  im.setWord(kTps100, 4950);
  im.setByte(181, 200);
  im.setByte(480, 61);
  im.setByte(485, 200);
  SanitizeImage(im);
  EXPECT_EQ(im[kTps0], 4940);
  EXPECT_EQ(im[kTps100], 4950);
  EXPECT_EQ(im.byte(181), 60);
  EXPECT_EQ(im.byte(480), 60);
  EXPECT_EQ(im.byte(485), 200);  // the servo map is not limited
  im.setWord(kTps0, 1000);
  im.setWord(kTps100, 900);
  SanitizeImage(im);
  EXPECT_EQ(im[kTps0], 1000);
  EXPECT_EQ(im[kTps100], 1010);
}

TEST(Sanitize, LobesPickupsAndOutputs) {
  ParameterImage im;
  im.setByte(kSyncMethod, 0);
  im.setByte(kLobes, 12);
  im.setByte(kMaxAdvanceLobe[0], 5);
  im.setByte(kStartAdvanceLobe[1], 12);
  im.setByte(kOutputs, 7);
  im.setByte(kMaxAdvanceSecondPickup[0], 1);
  SanitizeImage(im);
  EXPECT_EQ(im[kLobes], 1);
  EXPECT_EQ(im[kMaxAdvanceLobe[0]], 1);
  EXPECT_EQ(im[kStartAdvanceLobe[1]], 1);
  EXPECT_EQ(im[kOutputs], 2);
  EXPECT_EQ(im[kMaxAdvanceSecondPickup[0]], 1);  // method 0 keeps the 2nd pick-up flags

  for (int method : {1, 4, 6}) {
    im.setByte(kSyncMethod, method);
    for (int b : {158, 159, 160, 161}) im.setByte(b, 1);
    SanitizeImage(im);
    const int expect = method == 1 ? 0 : 1;
    for (int b : {158, 159, 160, 161}) EXPECT_EQ(im.byte(b), expect) << method << " " << b;
  }
}

TEST(Sanitize, PowerOutputThresholds) {
  ParameterImage im;
  for (int k = 0; k < 3; ++k) im.setByte(639 + k, 50);   // output 1: 50, 50, 50
  im.setByte(kPowerThrottle.at(0, 0), 90);
  im.setByte(kPowerThrottle.at(0, 1), 90);
  // output 2 and up: 0, 0, 0 (first 0, 1, 2, then raised to 3)
  im.setByte(kPowerRpm.at(2, 0), 255);  // output 3: 255 + 1 wraps to 0 before the floor applies
  im.setByte(kPowerRpm.at(2, 1), 0);
  im.setByte(kPowerRpm.at(2, 2), 0);
  SanitizeImage(im);
  EXPECT_EQ(im[kPowerRpm.at(0, 0)], 50);
  EXPECT_EQ(im[kPowerRpm.at(0, 1)], 51);
  EXPECT_EQ(im[kPowerRpm.at(0, 2)], 52);
  EXPECT_EQ(im[kPowerThrottle.at(0, 1)], 91);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(im.byte(642 + k), 3);
  EXPECT_EQ(im[kPowerRpm.at(2, 0)], 255);
  EXPECT_EQ(im[kPowerRpm.at(2, 1)], 3);  // 0 -> 255 + 1 = 0 -> 3
  EXPECT_EQ(im[kPowerRpm.at(2, 2)], 3);
}

TEST(Sanitize, SettingsValuesAndIdempotence) {
  ParameterImage im;
  std::uint8_t lang = 7, port = 21, scan = 20;
  SanitizeImage(im, lang, port, scan);
  EXPECT_EQ(lang, 0);
  EXPECT_EQ(port, 0);
  EXPECT_EQ(scan, 0);
  lang = 3, port = 20, scan = 19;
  SanitizeImage(im, lang, port, scan);
  EXPECT_EQ(lang, 3);
  EXPECT_EQ(port, 20);
  EXPECT_EQ(scan, 19);

  std::srand(7);
  for (int round = 0; round < 200; ++round) {
    ParameterImage r;
    for (auto& b : r.bytes) b = static_cast<std::uint8_t>(std::rand());
    SanitizeImage(r);
    ParameterImage again = r;
    SanitizeImage(again);
    // Axes wider than 20000 cannot be fully repaired in one pass, but the
    // identification block is never touched.
    EXPECT_TRUE(std::equal(r.bytes.begin() + 750, r.bytes.end(), again.bytes.begin() + 750));
  }
}

TEST(Identification, NameDateTime) {
  ParameterImage im;
  auto id = [&](int off, int v) { im.setByte(750 + off, v); };
  id(0, 'A'), id(1, 'B'), id(2, 'C'), id(3, 7);
  id(4, 5), id(5, 25), id(6, 8), id(7, 9), id(8, 7);
  auto t = DecodeIdentification(im);
  EXPECT_EQ(t.nameVersion, "ABC07");
  EXPECT_EQ(t.date, " 5. 1.2008");
  EXPECT_EQ(t.time, "09:07");
  id(5, 0);
  id(4, 31);
  EXPECT_EQ(DecodeIdentification(im).date, "31.00.2008");
  id(5, 12);
  EXPECT_EQ(DecodeIdentification(im).date, "31.12.2008");

  // A description without a zero byte shows exactly 30 characters.
  for (int i = 16; i < 60; ++i) id(i, 'x');
  EXPECT_EQ(DecodeIdentification(im).nameVersion, std::string(30, 'x'));
  id(20, 0);
  EXPECT_EQ(DecodeIdentification(im).nameVersion, "xxxx");
}

}  // namespace
}  // namespace rq

namespace rq {
namespace {

// One escaper for every JSON the tools print: the parameter texts are UTF-8, the unit's own
// texts are 8-bit bytes.
TEST(JsonString, Utf8PassesOtherBytesAndControlsAreEscaped) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"plain", "\"plain\""},
      {"a\"b\\c", "\"a\\\"b\\\\c\""},
      {"tab\tdel\x7f", "\"tab\\u0009del\\u007f\""},
      {"20 \xc2\xb0", "\"20 \xc2\xb0\""},                   // "°" as UTF-8 stays
      {"R\xe9sum\xe9", "\"R\\u00e9sum\\u00e9\""},            // Latin-1 bytes of the unit
      {"cut \xe2\x82", "\"cut \\u00e2\\u0082\""},            // a sequence cut short
      {"over \xc0\xaf", "\"over \\u00c0\\u00af\""},          // an overlong '/'
      {"surrogate \xed\xa0\x80", "\"surrogate \\u00ed\\u00a0\\u0080\""},
      {"\xf0\x9f\x8f\x8d", "\"\xf0\x9f\x8f\x8d\""},          // four bytes
  };
  for (const auto& c : cases) EXPECT_EQ(JsonString(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace rq
