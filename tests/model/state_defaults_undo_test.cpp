// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <random>

#include "model/defaults.h"
#include "model/ign_file.h"
#include "model/state_file.h"
#include "model/undo_history.h"

namespace rq {
namespace {

TEST(StateFile, RandomImagesAndFlagsRoundTrip) {
  std::mt19937 rng(4);
  for (int round = 0; round < 300; ++round) {
    ParameterImage im;
    for (auto& b : im.bytes) b = static_cast<std::uint8_t>(rng());
    AllFlags flags{};
    for (auto& f : flags) f = static_cast<std::uint8_t>(rng() % 2);
    const std::string text = WriteStateText(im, flags);
    ParameterImage back;
    AllFlags backFlags{};
    ASSERT_EQ(ParseStateText(text, back, backFlags), 761);
    ASSERT_TRUE(back.sameConfig(im));
    ASSERT_EQ(backFlags, flags);
    ASSERT_EQ(back.byte(750), 0);  // the identification block is not in the file
  }
}

TEST(StateFile, LayoutAndParsingRules) {
  ParameterImage im;
  AllFlags flags{};
  const std::string text = WriteStateText(im, flags);
  // 75 lines of ten values, an empty line after every hundred, no final line break.
  std::string firstLine;
  for (int i = 0; i < 10; ++i) firstLine += "    0 ";
  EXPECT_EQ(text.substr(0, 61), firstLine + "\n");
  EXPECT_EQ(text.back(), ' ');
  EXPECT_NE(text.find(" \n\n    0"), std::string::npos);

  ParameterImage d = NewConfiguration();
  const ParameterImage defaults = d;
  AllFlags f{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  EXPECT_EQ(ParseStateText("300 1\n2", d, f), 3);
  EXPECT_EQ(d.byte(0), 44);  // low byte of 300
  EXPECT_EQ(d.byte(1), 1);
  EXPECT_EQ(d.byte(2), 2);
  for (int i = 3; i < kImageSize; ++i) ASSERT_EQ(d.byte(i), defaults.byte(i));
  EXPECT_EQ(f[0], 1);  // flags keep theirs when the file is short

  // Reading stops at the first thing that is not a number.
  ParameterImage g = defaults;
  EXPECT_EQ(ParseStateText("5 6 junk 7", g, f), 2);
  EXPECT_EQ(g.byte(2), defaults.byte(2));
  // A sign is read as an unsigned read takes it: -3 wraps to 253.
  EXPECT_EQ(ParseStateText("-3 +4 -", g, f), 2);
  EXPECT_EQ(g.byte(0), 253);
  EXPECT_EQ(g.byte(1), 4);
  // Huge numbers keep their low byte and never overflow.
  EXPECT_EQ(ParseStateText("99999999999999999999999999", g, f), 1);
  EXPECT_EQ(g.byte(0), 255);
}

TEST(Defaults, NewConfigurationTypeZero) {
  const ParameterImage im = NewConfiguration();
  EXPECT_EQ(im[kLobes], 1);
  EXPECT_EQ(im[kOutputs], 2);
  EXPECT_EQ(im[kIgnitionsPerRev], 1);
  EXPECT_EQ(im[kRevsWithoutIgnition], 0);
  EXPECT_EQ(im[kServoEnable], 0);
  for (int t = 0; t < 10; ++t) {
    EXPECT_EQ(im.byte(181 + 15 * t + 6), 28);
    EXPECT_EQ(im.byte(331 + 15 * t + 6), 28);
    EXPECT_EQ(im.byte(485 + 15 * t), 100);
    EXPECT_EQ(im.byte(485 + 15 * t + 14), 145);
  }
  EXPECT_EQ(im.word(7 + 14), 15000);
  EXPECT_EQ(im.word(37), 1000);
  EXPECT_EQ(im[kPowerGrid.at(3, 0)], 2);
  EXPECT_EQ(im[kPowerGrid.at(3, 2)], 2);
}

TEST(Defaults, PresetsAndSpecialType) {
  // Honda preset alone (New refused): only the preset bytes move.
  ParameterImage im = NewConfiguration();
  ParameterImage before = im;
  im.setByte(kBikeType, 5);
  ApplyPreset(im);
  EXPECT_EQ(im[kSyncMethod], 6);
  EXPECT_EQ(im[kLobes], 4);
  EXPECT_EQ(im[kStartAdvanceLobe[0]], 3);
  EXPECT_EQ(im[kMaxAdvanceSecondEdge[0]], 1);
  for (int i = 0; i < kImageSize; ++i)
    if (i < 140 || i > 162) {
      ASSERT_EQ(im.byte(i), before.byte(i)) << i;
    }

  // Special type: the preset writes nothing.
  im.setByte(kBikeType, 1);
  before = im;
  ApplyPreset(im);
  EXPECT_EQ(im, before);

  // Switched to special: New keeps the general values and renews only the servo part; the
  // second New renews everything.
  im.setWord(kHardLimiter, 9000);
  im.setByte(490, 7);
  im.setByte(kPowerGrid.at(0, 0), 5);
  im.setByte(kRevsWithoutIgnition, 9);
  bool justChanged = true;
  ApplyDefaults(im, justChanged);
  EXPECT_FALSE(justChanged);
  EXPECT_EQ(im[kHardLimiter], 9000);
  EXPECT_EQ(im.byte(490), 122);
  ApplyDefaults(im, justChanged);
  EXPECT_EQ(im[kHardLimiter], 11000);
  EXPECT_EQ(im[kPowerGrid.at(0, 0)], 5);  // grids of outputs 1..3 are not defaults
  EXPECT_EQ(im[kRevsWithoutIgnition], 9);  // nor revolutions without ignition

  EXPECT_EQ(BikeItemToType(5), 1);
  EXPECT_EQ(BikeItemToType(4), 5);
  EXPECT_EQ(BikeTypeToItem(1), 5);
}

TEST(Undo, EditUndoRedoAndControls) {
  ParameterImage im = NewConfiguration();
  UndoHistory h;
  h.init(im, 1);
  EXPECT_FALSE(h.canUndo());
  EXPECT_FALSE(h.canRedo());
  EXPECT_FALSE(h.takeSnapshot(im, 1, false).recorded);  // no change, no step

  const ParameterImage start = im;
  im.setWord(kHardLimiter, 12000);
  EXPECT_TRUE(h.takeSnapshot(im, 7, false).recorded);
  EXPECT_TRUE(h.canUndo());
  EXPECT_FALSE(h.canRedo());
  im.setByte(800, 42);  // identification block: never touched by undo
  EXPECT_EQ(h.undo(im), 1);
  EXPECT_TRUE(im.sameConfig(start));
  EXPECT_EQ(im.byte(800), 42);
  EXPECT_FALSE(h.canUndo());
  EXPECT_TRUE(h.canRedo());
  EXPECT_EQ(h.undo(im), -1);
  EXPECT_EQ(h.redo(im), 7);
  EXPECT_EQ(im[kHardLimiter], 12000);

  // A change after an undo drops the redo states.
  h.undo(im);
  im.setWord(kSoftLimiter, 9000);
  h.takeSnapshot(im, 1, false);
  EXPECT_FALSE(h.canRedo());
}

TEST(Undo, RingHoldsTwoHundredStates) {
  ParameterImage im;
  UndoHistory h;
  h.init(im, 0);
  for (int i = 1; i <= 200; ++i) {
    im.setWord(kStartSoftLimiter, i);
    h.takeSnapshot(im, 0, false);
  }
  int undos = 0;
  while (h.undo(im) >= 0) ++undos;
  EXPECT_EQ(undos, 199);
  EXPECT_EQ(im[kStartSoftLimiter], 1);
  int redos = 0;
  while (h.redo(im) >= 0) ++redos;
  EXPECT_EQ(redos, 199);
  EXPECT_EQ(im[kStartSoftLimiter], 200);
}

TEST(Undo, ProgrammingAfterChange) {
  ParameterImage im;
  UndoHistory h;
  h.init(im, 0);
  // First step after ticking: only a real change programs.
  EXPECT_FALSE(h.takeSnapshot(im, 0, true).startProgramming);
  im.setByte(0, 1);
  EXPECT_TRUE(h.takeSnapshot(im, 0, true).startProgramming);
  // Then every step programs, changed or not, until the box is unticked.
  EXPECT_TRUE(h.takeSnapshot(im, 0, true).startProgramming);
  EXPECT_FALSE(h.takeSnapshot(im, 0, false).startProgramming);
  EXPECT_FALSE(h.takeSnapshot(im, 0, true).startProgramming);
}

}  // namespace
}  // namespace rq
