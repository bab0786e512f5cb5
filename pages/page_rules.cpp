// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/page_rules.h"

#include <functional>
#include <initializer_list>
#include <string_view>

namespace rq {
namespace {

using Cond = std::function<bool(const RuleInputs&)>;

struct Emitter {
  std::vector<RuleResult>& out;
  void set(std::initializer_list<std::string_view> names, RuleProperty p, bool on) const {
    for (std::string_view n : names) out.push_back({std::string(n), p, on});
  }
  void set(const std::string& name, RuleProperty p, bool on) const { out.push_back({name, p, on}); }
};

constexpr auto V = RuleProperty::Visible;
constexpr auto E = RuleProperty::Enabled;

int B(const RuleInputs& in, ByteField field) { return (*in.image)[field]; }

bool AnyInput(const RuleInputs& in, int function) {
  for (int i = 0; i < kInputFunction.count; ++i)
    if (B(in, kInputFunction[i]) == function) return true;
  return false;
}

void BikeRules(const RuleInputs& in, const Emitter& e) {
  const bool special = B(in, kBikeType) == 1;  // ComboBoxBike shows "Special setting"
  const int s = B(in, kSyncMethod);
  e.set({"ComboBoxSynchro", "ComboBoxNasobekPalcu", "EditPocKanalu", "EditPocSynchro",
         "EditKompenz1", "EditKompenz2", "GroupBoxSpecial", "GroupBoxPalec1", "GroupBoxPalec2",
         "CheckBoxPalec1ZacH2", "CheckBoxPalec2ZacH2", "CheckBoxPalec1EndH2",
         "CheckBoxPalec2EndH2", "CheckBoxPalec1ZacP2", "CheckBoxPalec2ZacP2",
         "CheckBoxPalec1EndP2", "CheckBoxPalec2EndP2", "LabelLobe", "LabelHrana2", "LabelSnimac2",
         "LabelSynchro", "LabelPocPalcu", "LabelPocKanalu", "LabelPalec1Zac", "LabelPalec1End",
         "LabelPalec2Zac", "LabelPalec2End", "LabelPocSynchro", "LabelKompenz"},
        E, special);
  const bool lobes = special && s != 0;
  e.set({"EditPocPalcu", "EditPalec1Zac", "EditPalec1End", "EditPalec2Zac", "EditPalec2End"}, E,
        lobes);
  e.set({"UpDownPocPalcu", "UpDownPalec1Zac", "UpDownPalec1End", "UpDownPalec2Zac",
         "UpDownPalec2End"},
        V, lobes && !in.printing);
  e.set({"UpDownPocKanalu"}, V, special && !in.printing);
  e.set({"UpDownPocSynchro", "UpDownRpmPulsu", "UpDownRpmKorekce"}, V, !in.printing);
  e.set({"CheckBoxInvPickup2", "CheckBoxPalec1ZacP2", "CheckBoxPalec1EndP2",
         "CheckBoxPalec2ZacP2", "CheckBoxPalec2EndP2"},
        V, s == 0 || s == 4 || s == 6);
  e.set({"EditKompenz1", "EditKompenz2", "LabelKompenz"}, V, in.testMode);
  e.set({"UpDownKompenz1", "UpDownKompenz2"}, V, in.testMode && !in.printing);
  e.set({"GroupBoxPalec2"}, V, B(in, kOutputs) >= 2);
}

void InputsRules(const RuleInputs& in, const Emitter& e) {
  const bool start = AnyInput(in, 5);
  const bool retard = AnyInput(in, 4);
  const int g = B(in, kGearSystem);
  e.set({"EditStartSoftLimiter", "LabelStartSoftLimiter", "EditStartHardLimiter",
         "LabelStartHardLimiter", "EditStartLimiterPause", "LabelStartLimiterPause"},
        E, start);
  e.set({"UpDownStartSoftLimiter", "UpDownStartHardLimiter", "UpDownStartLimiterPause"}, V,
        start && !in.printing);
  e.set({"EditRetard", "LabelRetard", "EditRetardPocetOff", "LabelRetardPocetOff"}, E, retard);
  e.set({"UpDownRetard", "UpDownRetardPocetOff"}, V, retard && !in.printing);
  e.set({"UpDownSoftLimiter", "UpDownHardLimiter", "UpDownMapa2Akcel", "UpDownPotencRozsah"}, V,
        !in.printing);
  e.set({"RadioGroupInput2"}, E, g != 1);
  e.set({"RadioGroupInput3"}, E, g != 2 && g != 3);
}

void GearRules(const RuleInputs& in, const Emitter& e) {
  const int g = B(in, kGearSystem);
  const int n = B(in, kGearCount);
  e.set({"EditPocetGear", "LabelPocetGear"}, V, g != 0);
  e.set({"UpDownPocetGear"}, V, g != 0 && !in.printing);
  e.set({"GroupBoxNapetiProGear"}, V, g == 1);
  e.set({"GroupBoxRpmSpeedProGear"}, V, g == 2);
  e.set({"GroupBoxMonAutoGear"}, V, g == 3);
  e.set({"LabelMonPomerRpmSpeed"}, V, g == 2 || g == 3);
  e.set({"ButtonGear0", "ButtonGear1"}, V, g == 1 || g == 2);
  e.set({"UpDownGearNapeti0", "UpDownGearNapeti1", "UpDownPomerRpmSpeed1"}, V,
        g != 0 && !in.printing);
  for (int k = 2; k <= 6; ++k) {
    const std::string s = std::to_string(k);
    const bool rows = n >= k;
    e.set("ButtonGear" + s, V, (g == 1 || g == 2) && rows);
    for (const char* l : {"LabelGear", "LabelPomerRpmSpeed", "LabelMonPomerRpmSpeedAuto",
                          "LabelMonGearAuto"})
      e.set(l + s, V, rows);
    const bool edit = g != 0 && rows;
    e.set("EditGearNapeti" + s, V, edit);
    e.set("EditPomerRpmSpeed" + s, V, edit);
    e.set("UpDownGearNapeti" + s, V, edit && !in.printing);
    e.set("UpDownPomerRpmSpeed" + s, V, edit && !in.printing);
  }
  e.set({"UpDownGearAutoTime", "UpDownGearAutoRpm", "UpDownGearAutoTps", "UpDownGearAutoBand",
         "UpDownPulsuProSpeed"},
        V, !in.printing);
}

void RaceRules(const RuleInputs& in, const Emitter& e) {
  const int g = B(in, kGearSystem);
  const int n = B(in, kGearCount);
  const bool clutch = AnyInput(in, 3);
  e.set({"RadioGroupClutchMode", "LabelClutchTime", "EditClutchPause1", "LabelClutchPause1",
         "EditClutchPause2", "LabelClutchPause2", "EditClutchMinRpm", "LabelClutchMinRpm",
         "EditClutchAdv", "LabelClutchAdv"},
        E, clutch);
  for (int k = 1; k <= 6; ++k) e.set("EditClutchTime" + std::to_string(k), E, clutch);
  e.set({"UpDownClutchTime1", "UpDownClutchPause1", "UpDownClutchPause2", "UpDownClutchMinRpm",
         "UpDownClutchAdv"},
        V, clutch && !in.printing);
  e.set({"LabelGearKor1", "LabelRaceGear1"}, V, g != 0);
  // Row 1 ("0-1") always shows its edits; rows 2..6 follow the number of gears.
  for (int k = 1; k <= 6; ++k) {
    const std::string s = std::to_string(k);
    const bool edit = k == 1 || (g != 0 && n >= k);
    if (k >= 2) {
      e.set("LabelGearKor" + s, V, g != 0 && n >= k);
      e.set("LabelRaceGear" + s, V, g != 0 && n >= k);
      e.set("EditClutchTime" + s, V, edit);
      e.set("UpDownClutchTime" + s, V, edit && !in.printing && clutch);
    }
    for (const char* c : {"GearKorAdv", "GearKorLimiter", "GearKorServo"}) {
      e.set(std::string("Edit") + c + s, V, edit);
      e.set(std::string("UpDown") + c + s, V, edit && !in.printing);
    }
    for (int j = 1; j <= 4; ++j) {
      const std::string name = "GearKorPOut" + std::to_string(j) + "_" + s;
      e.set("Edit" + name, V, edit);
      e.set("UpDown" + name, V, edit && !in.printing);
    }
  }
}

void TestsRules(const RuleInputs& in, const Emitter& e) {
  e.set({"ButtonTestIgn1", "ButtonTestIgn2", "ButtonTestPOut1", "ButtonTestPOut2",
         "ButtonTestPOut3", "ButtonTestPOut4", "ButtonTestRpm", "ButtonTestServoPlus",
         "ButtonTestServoMinus"},
        E, !in.pickupSignal);
  e.set({"UpDownTestRpm", "UpDownTestServo"}, V, !in.printing);
}

void CommonRules(const RuleInputs& in, const Emitter& e) {
  e.set({"StatusBar1", "CheckBoxProgHned", "GroupBoxToolBar", "UpDownTps0", "UpDownTps100",
         "BitBtnTps0", "BitBtnTps100", "CGaugeRpm", "CGaugeTps", "LabelPocetProgramovani",
         "LabelMonSnimac1", "LabelMonSnimac2"},
        V, !in.printing);
  for (int k = 0; k < 4; ++k)
    e.set("LabelMonPOut" + std::to_string(k + 1), E, B(in, kPowerMode[k]) != 0);
}

}  // namespace

std::vector<RuleResult> EvaluatePageRules(int page, const RuleInputs& in) {
  std::vector<RuleResult> out;
  out.reserve(160);
  const Emitter e{out};
  switch (page) {
    case kPageBike: BikeRules(in, e); break;
    case kPageInputs: InputsRules(in, e); break;
    case kPageGear: GearRules(in, e); break;
    case kPageRace: RaceRules(in, e); break;
    case kPageTests: TestsRules(in, e); break;
    default: break;
  }
  CommonRules(in, e);
  return out;
}

}  // namespace rq
