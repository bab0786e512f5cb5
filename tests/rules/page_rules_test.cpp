// SPDX-License-Identifier: GPL-3.0-or-later
// The page rules as tables: for each combination of modes, what is visible and enabled.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "model/defaults.h"
#include "pages/page_rules.h"

namespace rq {
namespace {

struct Page {
  ParameterImage image = NewConfiguration();
  RuleInputs in;
  std::vector<RuleResult> results;
  int page;
  explicit Page(int p) : page(p) { in.image = &image; }
  Page& byte(int offset, int value) {
    image.setByte(offset, value);
    return *this;
  }
  Page& printing(bool on = true) {
    in.printing = on;
    return *this;
  }
  // The value the rules give the control's property; nullopt when no rule names it.
  std::optional<bool> get(const std::string& name, RuleProperty p) {
    results = EvaluatePageRules(page, in);
    std::optional<bool> v;
    for (const RuleResult& r : results)
      if (r.control == name && r.property == p) v = r.on;
    return v;
  }
  bool visible(const std::string& name) { return get(name, RuleProperty::Visible).value(); }
  bool enabled(const std::string& name) { return get(name, RuleProperty::Enabled).value(); }
};

struct BikeCase {
  int type, synchro, channels;
  bool testMode, printing;
  bool special, lobesEnabled, lobeUpDowns, secondPickup, compensation, channel2;
};

class BikeRules : public ::testing::TestWithParam<BikeCase> {};

TEST_P(BikeRules, FollowTypeSynchronisationChannelsAndPrinting) {
  const BikeCase c = GetParam();
  Page p(kPageBike);
  p.byte(140, c.type).byte(146, c.synchro).byte(149, c.channels).printing(c.printing);
  p.in.testMode = c.testMode;
  for (const char* n : {"ComboBoxSynchro", "GroupBoxSpecial", "EditPocSynchro", "LabelKompenz",
                        "CheckBoxPalec2EndH2"})
    EXPECT_EQ(p.enabled(n), c.special) << n;
  EXPECT_EQ(p.enabled("EditPocPalcu"), c.lobesEnabled);
  EXPECT_EQ(p.enabled("EditPalec2End"), c.lobesEnabled);
  EXPECT_EQ(p.visible("UpDownPalec1Zac"), c.lobeUpDowns);
  EXPECT_EQ(p.visible("UpDownPocKanalu"), c.special && !c.printing);
  EXPECT_EQ(p.visible("CheckBoxInvPickup2"), c.secondPickup);
  EXPECT_EQ(p.visible("CheckBoxPalec1EndP2"), c.secondPickup);
  EXPECT_EQ(p.visible("EditKompenz1"), c.compensation);
  EXPECT_EQ(p.visible("UpDownKompenz2"), c.compensation && !c.printing);
  EXPECT_EQ(p.visible("GroupBoxPalec2"), c.channel2);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BikeRules,
    ::testing::Values(
        // type synchro channels test print | special lobesEn lobeUD pickup2 comp ch2
        BikeCase{0, 0, 2, false, false, false, false, false, true, false, true},
        BikeCase{1, 0, 1, false, false, true, false, false, true, false, false},
        BikeCase{1, 3, 2, false, false, true, true, true, false, false, true},
        BikeCase{1, 3, 2, false, true, true, true, false, false, false, true},
        BikeCase{1, 4, 2, true, false, true, true, true, true, true, true},
        BikeCase{5, 6, 2, true, true, false, false, false, true, true, true},
        BikeCase{1, 6, 0, false, false, true, true, true, true, false, false}));

TEST(InputRules, RetardAndStartLimiterFieldsFollowAnyInput) {
  for (int input = 166; input <= 168; ++input) {
    Page p(kPageInputs);
    p.byte(166, 0).byte(167, 0).byte(168, 0);
    EXPECT_FALSE(p.enabled("EditRetard"));
    EXPECT_FALSE(p.enabled("LabelStartLimiterPause"));
    p.byte(input, 4);
    EXPECT_TRUE(p.enabled("EditRetard"));
    EXPECT_TRUE(p.visible("UpDownRetardPocetOff"));
    EXPECT_FALSE(p.printing().visible("UpDownRetardPocetOff"));  // even while enabled
    EXPECT_TRUE(p.enabled("LabelRetard"));
    p.printing(false).byte(input, 5);
    EXPECT_FALSE(p.enabled("EditRetard"));
    EXPECT_TRUE(p.enabled("EditStartHardLimiter"));
    EXPECT_TRUE(p.visible("UpDownStartLimiterPause"));
  }
}

TEST(InputRules, GearSystemLocksItsInputSelector) {
  const bool input2[4] = {true, false, true, true};
  const bool input3[4] = {true, true, false, false};
  for (int g = 0; g < 4; ++g) {
    Page p(kPageInputs);
    p.byte(675, g);
    EXPECT_EQ(p.enabled("RadioGroupInput2"), input2[g]) << g;
    EXPECT_EQ(p.enabled("RadioGroupInput3"), input3[g]) << g;
  }
}

TEST(GearRules, GroupsFollowTheSystemAndRowsTheNumberOfGears) {
  for (int g = 0; g < 4; ++g) {
    for (int n = 1; n <= 6; ++n) {
      Page p(kPageGear);
      p.byte(675, g).byte(676, n);
      EXPECT_EQ(p.visible("EditPocetGear"), g != 0);
      EXPECT_EQ(p.visible("GroupBoxNapetiProGear"), g == 1);
      EXPECT_EQ(p.visible("GroupBoxRpmSpeedProGear"), g == 2);
      EXPECT_EQ(p.visible("GroupBoxMonAutoGear"), g == 3);
      EXPECT_EQ(p.visible("LabelMonPomerRpmSpeed"), g >= 2);
      EXPECT_EQ(p.visible("ButtonGear1"), g == 1 || g == 2);
      for (int k = 2; k <= 6; ++k) {
        const std::string s = std::to_string(k);
        EXPECT_EQ(p.visible("ButtonGear" + s), (g == 1 || g == 2) && n >= k);
        EXPECT_EQ(p.visible("LabelMonGearAuto" + s), n >= k);
        EXPECT_EQ(p.visible("EditGearNapeti" + s), g != 0 && n >= k);
        EXPECT_EQ(p.visible("UpDownPomerRpmSpeed" + s), g != 0 && n >= k);
        EXPECT_FALSE(p.printing().visible("UpDownPomerRpmSpeed" + s));
        p.printing(false);
      }
    }
  }
}

TEST(RaceRules, ClutchFieldsAndGearRows) {
  for (bool clutch : {false, true}) {
    for (int n : {1, 3, 6}) {
      Page p(kPageRace);
      p.byte(166, clutch ? 3 : 0).byte(167, 0).byte(168, 0).byte(675, 1).byte(676, n);
      EXPECT_EQ(p.enabled("RadioGroupClutchMode"), clutch);
      EXPECT_EQ(p.enabled("EditClutchTime4"), clutch);
      EXPECT_EQ(p.visible("UpDownClutchPause1"), clutch);
      EXPECT_TRUE(p.visible("EditGearKorLimiter1"));
      EXPECT_EQ(p.visible("EditGearKorPOut4_3"), n >= 3);
      EXPECT_EQ(p.visible("UpDownClutchTime3"), n >= 3 && clutch);
      EXPECT_EQ(p.visible("UpDownGearKorServo3"), n >= 3);
      EXPECT_EQ(p.visible("LabelRaceGear6"), n >= 6);
      EXPECT_FALSE(p.printing().visible("UpDownGearKorServo1"));
      EXPECT_FALSE(p.visible("UpDownClutchAdv"));
    }
  }
  Page none(kPageRace);
  none.byte(675, 0).byte(676, 6);
  EXPECT_FALSE(none.visible("LabelGearKor1"));
  EXPECT_FALSE(none.visible("EditGearKorAdv2"));
  EXPECT_TRUE(none.visible("EditGearKorAdv1"));
}

TEST(CommonRules, TestButtonsPrintingAndOutputs) {
  Page p(kPageTests);
  EXPECT_TRUE(p.enabled("ButtonTestServoMinus"));
  p.in.pickupSignal = true;
  EXPECT_FALSE(p.enabled("ButtonTestIgn1"));
  for (const char* n : {"StatusBar1", "GroupBoxToolBar", "BitBtnTps100", "CGaugeTps",
                        "LabelMonSnimac2", "CheckBoxProgHned"}) {
    EXPECT_TRUE(p.printing(false).visible(n)) << n;
    EXPECT_FALSE(p.printing(true).visible(n)) << n;
  }
  for (int k = 0; k < 4; ++k) {
    const std::string label = "LabelMonPOut" + std::to_string(k + 1);
    EXPECT_TRUE(p.byte(635 + k, 2).enabled(label));
    EXPECT_FALSE(p.byte(635 + k, 0).enabled(label));
  }
}

}  // namespace
}  // namespace rq
