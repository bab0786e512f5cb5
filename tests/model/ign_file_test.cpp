// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "model/defaults.h"
#include "model/ign_file.h"

namespace rq {
namespace {

const std::string kKey = "\r\nTAVRENIX_KEY      79 \r\n";

// Bytes the file does not carry: not used (132..139, 143, 737..749) and the identification.
bool Carried(int offset) {
  return offset < 750 && !(offset >= 132 && offset <= 139) && offset != 143 && offset < 737;
}

ParameterImage RandomImage(std::mt19937& rng) {
  ParameterImage im;
  for (auto& b : im.bytes) b = static_cast<std::uint8_t>(rng());
  return im;
}

TEST(IgnWriter, LayoutOfTheDefaultFile) {
  const std::string text = WriteIgnText(NewConfiguration());
  EXPECT_EQ(text.size(), 5980u);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 104);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 104);
  EXPECT_EQ(text.substr(0, 2), "\r\n");
  EXPECT_EQ(text.substr(text.size() - 17), "\r\n" + std::string(15, ' '));
  EXPECT_NE(text.find("\r\nLIMITER         5800  6000     0 10800 11000 \r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nGEAR_CORR_LIMITER        0     0     0     0     0     0 "),
            std::string::npos);  // a 17-character keyword pads to column 21
}

TEST(IgnRoundTrip, RandomImagesReproduceEveryCarriedByte) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 500; ++round) {
    const ParameterImage original = RandomImage(rng);
    const std::string text = WriteIgnText(original);
    // Every value fits its columns, so the length never changes.
    ASSERT_EQ(text.size(), 5980u);
    ParameterImage back = RandomImage(rng);
    const ParameterImage before = back;
    ASSERT_TRUE(ReadIgnText(text, back).validKey);
    for (int i = 0; i < kImageSize; ++i) {
      if (i >= 663 && i <= 674) {
        // The on/off grids carry bits 0..3 only; the reader rebuilds the whole byte.
        ASSERT_EQ(back.byte(i), original.byte(i) & 0x0F) << "grid byte " << i;
      } else if (Carried(i)) {
        ASSERT_EQ(back.byte(i), original.byte(i)) << "byte " << i << " round " << round;
      } else {
        ASSERT_EQ(back.byte(i), before.byte(i)) << "byte " << i << " was not to be touched";
      }
    }
  }
}

TEST(IgnReader, OnlyGroupsPresentChange) {
  ParameterImage im = NewConfiguration();
  const ParameterImage before = im;
  auto r = ReadIgnText(kKey + "RETARD 10 2\r\n", im);
  EXPECT_TRUE(r.validKey);
  EXPECT_TRUE(r.badVersions.empty());
  for (int i = 0; i < kImageSize; ++i)
    if (i != 173 && i != 174) {
      ASSERT_EQ(im.byte(i), before.byte(i)) << i;
    }
  EXPECT_EQ(im[kRetard], 10);
  EXPECT_EQ(im[kRetardClutchCount], 2);
}

// The reader records every byte a file gives, so that a partial file is compared and taken
// by what it holds alone.
TEST(IgnReader, RecordsTheBytesTheFileGives) {
  const int grid = kPowerGrid.at(1, 0).offset;
  const struct {
    std::string groups;
    std::set<int> given;
  } cases[] = {
      {"RETARD 4 0", {173, 174}},
      {"RETARD 4 x", {173}},     // the group ends at the first thing not a number
      {"LIMITER 5800", {0, 1}},  // a word is both its bytes
      {"TPS", {}},
      // One grid value rebuilds the output's whole on/off grid.
      {"POWER_OUT2 1 10 20 30 5 10 90 1",
       {636, 642, 643, 644, 652, 657, 658, grid, grid + 1, grid + 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.groups);
    ParameterImage im = NewConfiguration();
    ImageByteSet given;
    ASSERT_TRUE(ReadIgnText(kKey + c.groups, im, &given).validKey);
    std::set<int> got;
    for (int i = 0; i < kImageSize; ++i)
      if (given.test(std::size_t(i))) got.insert(i);
    EXPECT_EQ(got, c.given);
  }
  // A whole file gives every byte it carries.
  ParameterImage im = NewConfiguration();
  ImageByteSet given;
  ASSERT_TRUE(ReadIgnText(WriteIgnText(im), im, &given).validKey);
  for (int i = 0; i < kImageSize; ++i) ASSERT_EQ(given.test(std::size_t(i)), Carried(i)) << i;
}

TEST(IgnReader, VersionKeys) {
  ParameterImage im = NewConfiguration();
  const ParameterImage before = im;
  // No key at all: nothing loaded, nothing reported.
  auto r = ReadIgnText("RETARD 10 2", im);
  EXPECT_FALSE(r.validKey);
  EXPECT_TRUE(r.badVersions.empty());
  EXPECT_EQ(im, before);
  // 78 then 79: one mismatch, then the groups after the second key load.
  r = ReadIgnText("TAVRENIX_KEY 78 RETARD 1 1 TAVRENIX_KEY 79 RETARD 10 2", im);
  EXPECT_TRUE(r.validKey);
  ASSERT_EQ(r.badVersions.size(), 1u);
  EXPECT_EQ(r.badVersions[0], 78u);
  EXPECT_EQ(im[kRetard], 10);
  // Only a wrong key: nothing changes.
  ParameterImage other = before;
  r = ReadIgnText("TAVRENIX_KEY 80 RETARD 1 1", other);
  EXPECT_FALSE(r.validKey);
  EXPECT_EQ(other, before);
  // A key without a number is reported like a wrong one, and the search goes on.
  r = ReadIgnText("TAVRENIX_KEY x TAVRENIX_KEY 79 RETARD 7 2", other);
  EXPECT_TRUE(r.validKey);
  ASSERT_EQ(r.badVersions.size(), 1u);
  EXPECT_EQ(other.byte(173), 7);
  // The version is taken modulo 65536.
  EXPECT_TRUE(ReadIgnText("TAVRENIX_KEY 65615", other).validKey);
}

TEST(IgnReader, ScalingBiasAndTruncation) {
  ParameterImage im = NewConfiguration();
  ReadIgnText(kKey + "GEAR_CORR_LIMITER -5000 -2500 0 50 100 5000 RPM 1 -60 MAPA2_ACCEL 10049",
              im);
  const int expect[6] = {0, 50, 100, 101, 102, 200};
  for (int g = 0; g < 6; ++g) EXPECT_EQ(im.byte(699 + g), expect[g]);
  EXPECT_EQ(im[kTachoPulses], 1);
  EXPECT_EQ(im[kTachoCorrection], 40);
  EXPECT_EQ(im[kSecondMapAcceleration], 100);
  // Word values wrap at 65536.
  ReadIgnText(kKey + "TPS 65537 70000", im);
  EXPECT_EQ(im[kTps0], 1);
  EXPECT_EQ(im[kTps100], 70000 - 65536);
}

TEST(IgnReader, KeywordsAreExact) {
  ParameterImage im = NewConfiguration();
  const ParameterImage before = im;
  ReadIgnText(kKey + "bike 3 SERVO_MISC 1 1 2 9", im);
  EXPECT_EQ(im, before);
  ReadIgnText(kKey + "SERRVO_MISC 1 1 2 9", im);
  EXPECT_EQ(im[kServoEnable], 1);
  EXPECT_EQ(im[kServoHysteresis], 9);
}

TEST(IgnReader, PowerGridRebuiltFromItsNumbers) {
  ParameterImage im;
  im.setByte(kPowerGrid.at(0, 0), 0xFF);
  im.setByte(kPowerGrid.at(0, 1), 0xFF);
  im.setByte(kPowerGrid.at(0, 2), 0xFF);
  ReadIgnText(kKey + "POWER_OUT1 1 4000 9000 12000 100 75 90  0 1 0 0  0 0 0 0  0 0 0 7", im);
  EXPECT_EQ(im[kPowerGrid.at(0, 0)], 2);
  EXPECT_EQ(im[kPowerGrid.at(0, 1)], 0);
  EXPECT_EQ(im[kPowerGrid.at(0, 2)], 8);
  EXPECT_EQ(im[kPowerRpm.at(0, 0)], 40);
  EXPECT_EQ(im[kPowerHysteresis[0]], 10);
}

// A short group must not copy one parameter's value into another: the fields not given keep
// their values and the keyword that cut the group short is still read.
TEST(IgnReader, ShortGroupLeavesMissingFieldsAlone) {
  ParameterImage im = NewConfiguration();
  ReadIgnText(kKey + "LIMITER 7000 RETARD 9 3", im);
  EXPECT_EQ(im[kStartSoftLimiter], 7000);
  EXPECT_EQ(im[kStartHardLimiter], 6000);
  EXPECT_EQ(im[kStartLimiterDelay], 0);
  EXPECT_EQ(im[kSoftLimiter], 10800);
  EXPECT_EQ(im[kHardLimiter], 11000);
  EXPECT_EQ(im[kRetard], 9);
  EXPECT_EQ(im[kRetardClutchCount], 3);
  // A keyword with no numbers at all changes nothing, even at the end of the file.
  const ParameterImage before = im;
  ReadIgnText(kKey + "CLUTCH", im);
  EXPECT_EQ(im, before);
}

TEST(IgnReader, HostileInputNeverEscapesTheImage) {
  std::mt19937 rng(99);
  const std::vector<std::string> words = {"TAVRENIX_KEY", "79", "-", "-0", "99999999999999999999",
                                          "-99999999999999999999", "POWER_OUT4", "GEAR",
                                          "ADVANCE1", "SERVO", "+", "+5", "\t", "\r\n", "x1",
                                          "1x", "GEAR_CORR_POUT", "TEST", "\0", "-65536"};
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const int n = static_cast<int>(rng() % 200);
    for (int i = 0; i < n; ++i) {
      if (rng() % 4 == 0) {
        text += static_cast<char>(rng());
      } else {
        text += words[rng() % words.size()];
        text += ' ';
      }
    }
    ParameterImage im = NewConfiguration();
    const ParameterImage before = im;
    const auto r = ReadIgnText(text, im);
    // The identification block is never written by a file.
    ASSERT_TRUE(std::equal(im.bytes.begin() + 750, im.bytes.end(), before.bytes.begin() + 750));
    if (!r.validKey) {
      ASSERT_EQ(im, before);
    }
  }
}

}  // namespace
}  // namespace rq
