// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/parameter_table.h"

#include <deque>
#include <string>
#include <vector>

namespace rq {

namespace {

using enum ControlKind;
constexpr Storage W = Storage::Word;
constexpr Storage B = Storage::Byte;
constexpr int kPreset = kDefaultPreset;
constexpr int kNotSet = kDefaultNotSet;

// Fixed rows of the Bike, Inputs, Gear, Race and Test pages, in read-back order.
constexpr ParameterDef kFixed[] = {
    // page, control, name, storage, index, step, bias, min, max, inc, default, unit, kind
    {0, "ComboBoxBike", "motorbike type", B, 140, 1, 0, 0, 5, 1, 0, "", ComboBox},
    {0, "CheckBoxInvPickup1", "inverse pick-up 1", B, 141, 1, 0, 0, 1, 1, 0, "", CheckBox},
    {0, "CheckBoxInvPickup2", "inverse pick-up 2", B, 142, 1, 0, 0, 1, 1, 0, "", CheckBox},
    {0, "UpDownKompenz1", "compensation 1", B, 144, 1, 0, 0, 255, 1, 11, "", UpDown},
    {0, "UpDownKompenz2", "compensation 2", B, 145, 1, 0, 0, 255, 1, 11, "", UpDown},
    {0, "ComboBoxSynchro", "synchronisation method", B, 146, 1, 0, 0, 6, 1, kPreset, "", ComboBox},
    {0, "UpDownPocSynchro", "revolutions without ignition", B, 147, 1, 0, 0, 40, 1, kNotSet, "rev", UpDown},
    {0, "UpDownPocPalcu", "lobes on rotor", B, 148, 1, 0, 1, 58, 1, kPreset, "", UpDown},
    {0, "UpDownPocKanalu", "outputs (coils)", B, 149, 1, 0, 1, 2, 1, kPreset, "", UpDown},
    {0, "UpDownPalec1Zac", "channel 1 max advance lobe", B, 150, 1, 0, 1, 58, 1, kPreset, "", UpDown},
    {0, "UpDownPalec2Zac", "channel 2 max advance lobe", B, 151, 1, 0, 1, 58, 1, kPreset, "", UpDown},
    {0, "UpDownPalec1End", "channel 1 start advance lobe", B, 152, 1, 0, 1, 58, 1, kPreset, "", UpDown},
    {0, "UpDownPalec2End", "channel 2 start advance lobe", B, 153, 1, 0, 1, 58, 1, kPreset, "", UpDown},
    {0, "CheckBoxPalec1ZacH2", "channel 1 max advance 2nd edge", B, 154, 1, 0, 0, 1, 1, kPreset, "", CheckBox},
    {0, "CheckBoxPalec2ZacH2", "channel 2 max advance 2nd edge", B, 155, 1, 0, 0, 1, 1, kPreset, "", CheckBox},
    {0, "CheckBoxPalec1EndH2", "channel 1 start advance 2nd edge", B, 156, 1, 0, 0, 1, 1, kPreset, "", CheckBox},
    {0, "CheckBoxPalec2EndH2", "channel 2 start advance 2nd edge", B, 157, 1, 0, 0, 1, 1, kPreset, "", CheckBox},
    {0, "CheckBoxPalec1ZacP2", "channel 1 max advance 2nd pick-up", B, 158, 1, 0, 0, 1, 1, kPreset, "", CheckBox},
    {0, "CheckBoxPalec2ZacP2", "channel 2 max advance 2nd pick-up", B, 159, 1, 0, 0, 1, 1, kPreset, "", CheckBox},
    {0, "CheckBoxPalec1EndP2", "channel 1 start advance 2nd pick-up", B, 160, 1, 0, 0, 1, 1, kPreset, "", CheckBox},
    {0, "CheckBoxPalec2EndP2", "channel 2 start advance 2nd pick-up", B, 161, 1, 0, 0, 1, 1, kPreset, "", CheckBox},
    {0, "ComboBoxNasobekPalcu", "ignitions per revolution", B, 162, 1, 0, 0, 3, 1, kPreset, "", ComboBox},
    {0, "UpDownRpmPulsu", "tachometer pulses per revolution", B, 163, 1, 0, 0, 6, 1, 1, "", UpDown},
    {0, "UpDownRpmKorekce", "tachometer correction", B, 164, 1, -100, -60, 60, 1, 0, "%", UpDown},
    {0, "CheckBoxZakazCteni", "read protection", B, 165, 1, 0, 0, 1, 1, 0, "", CheckBox},

    {1, "RadioGroupInput1", "input 1 function", B, 166, 1, 0, 0, 6, 1, 1, "", RadioGroup},
    {1, "RadioGroupInput2", "input 2 function", B, 167, 1, 0, 0, 7, 1, 3, "", RadioGroup},
    {1, "RadioGroupInput3", "input 3 function", B, 168, 1, 0, 0, 7, 1, 5, "", RadioGroup},
    {1, "CheckBoxInvInput1", "input 1 active when on", B, 169, 1, 0, 0, 1, 1, 0, "", CheckBox},
    {1, "CheckBoxInvInput2", "input 2 active when on", B, 170, 1, 0, 0, 1, 1, 0, "", CheckBox},
    {1, "CheckBoxInvInput3", "input 3 active when on", B, 171, 1, 0, 0, 1, 1, 0, "", CheckBox},
    {1, "UpDownTps0", "throttle sensor at 0 %", W, 4, 1, 0, 200, 4940, 10, 700, "mV", UpDown},
    {1, "UpDownTps100", "throttle sensor at 100 %", W, 5, 1, 0, 210, 4950, 10, 4200, "mV", UpDown},
    {1, "UpDownStartSoftLimiter", "start soft limiter", W, 0, 1, 0, 900, 25000, 50, 5800, "rpm", UpDown},
    {1, "UpDownStartHardLimiter", "start limiter", W, 1, 1, 0, 900, 25000, 50, 6000, "rpm", UpDown},
    {1, "UpDownStartLimiterPause", "start limiter on delay", B, 172, 1, 0, 0, 25, 1, 0, "s", UpDown},
    {1, "UpDownSoftLimiter", "soft limiter", W, 2, 1, 0, 900, 25000, 50, 10800, "rpm", UpDown},
    {1, "UpDownHardLimiter", "hard limiter", W, 3, 1, 0, 900, 25000, 50, 11000, "rpm", UpDown},
    {1, "UpDownRetard", "retard", B, 173, 1, 0, 0, 25, 1, 6, "deg", UpDown},
    {1, "UpDownRetardPocetOff", "clutch activations for retard off", B, 174, 1, 0, 0, 25, 1, 0, "", UpDown},
    {1, "UpDownMapa2Akcel", "2nd map acceleration threshold", B, 175, 100, 0, 100, 25000, 100, 10000, "rpm/s", UpDown},
    {1, "RadioGroupModePotencMode", "potentiometer controls", B, 176, 1, 0, 0, 4, 1, 0, "", RadioGroup},
    {1, "UpDownPotencRozsah", "potentiometer range", W, 6, 1, 0, 0, 25000, 1, 0, "", UpDown},

    // One set of map-bar controls serves the three map pages: "CheckBoxMapTps" edits byte 180
    // on the advance pages and byte 481 on the servo page.
    {2, "UpDownBaseAdvance", "base advance", B, 177, 1, 0, 0, 30, 1, 10, "deg", UpDown},
    {2, "UpDownCorrection1", "advance correction cylinder 1", B, 178, 1, -100, -30, 30, 1, 0, "deg", UpDown},
    {2, "UpDownCorrection2", "advance correction cylinder 2", B, 179, 1, -100, -30, 30, 1, 0, "deg", UpDown},
    {2, "CheckBoxMapTps", "maps use throttle rows", B, 180, 1, 0, 0, 1, 1, 1, "", CheckBox},
    {4, "CheckBoxMapTps", "servo enable", B, 481, 1, 0, 0, 1, 1, kNotSet, "", CheckBox},
    {4, "CheckBoxMapPercent", "servo map in percent", B, 482, 1, 0, 0, 1, 1, 0, "", CheckBox},
    {4, "RadioGroupServoMode", "servo controlled by", B, 483, 1, 0, 0, 2, 1, 1, "", RadioGroup},
    {4, "UpDownServoHysteresis", "servo hysteresis", B, 484, 5, 0, 0, 1250, 5, 500, "mV", UpDown},

    {7, "RadioGroupGearSystem", "gear method", B, 675, 1, 0, 0, 3, 1, 0, "", RadioGroup},
    {7, "UpDownPocetGear", "number of gears", B, 676, 1, 0, 1, 6, 1, 6, "", UpDown},
    {7, "UpDownGearNapeti0", "gear 0 voltage", W, 59, 1, 0, 0, 5000, 1, 5000, "mV", UpDown},
    {7, "UpDownGearNapeti1", "gear 1 voltage", W, 60, 1, 0, 0, 5000, 1, 1797, "mV", UpDown},
    {7, "UpDownGearNapeti2", "gear 2 voltage", W, 61, 1, 0, 0, 5000, 1, 2260, "mV", UpDown},
    {7, "UpDownGearNapeti3", "gear 3 voltage", W, 62, 1, 0, 0, 5000, 1, 2998, "mV", UpDown},
    {7, "UpDownGearNapeti4", "gear 4 voltage", W, 63, 1, 0, 0, 5000, 1, 3662, "mV", UpDown},
    {7, "UpDownGearNapeti5", "gear 5 voltage", W, 64, 1, 0, 0, 5000, 1, 4360, "mV", UpDown},
    {7, "UpDownGearNapeti6", "gear 6 voltage", W, 65, 1, 0, 0, 5000, 1, 4687, "mV", UpDown},
    {7, "UpDownPomerRpmSpeed1", "gear 1 rpm/speed ratio x10", W, 53, 1, 0, 1, 32000, 1, 2000, "", UpDown},
    {7, "UpDownPomerRpmSpeed2", "gear 2 rpm/speed ratio x10", W, 54, 1, 0, 1, 32000, 1, 1000, "", UpDown},
    {7, "UpDownPomerRpmSpeed3", "gear 3 rpm/speed ratio x10", W, 55, 1, 0, 1, 32000, 1, 666, "", UpDown},
    {7, "UpDownPomerRpmSpeed4", "gear 4 rpm/speed ratio x10", W, 56, 1, 0, 1, 32000, 1, 500, "", UpDown},
    {7, "UpDownPomerRpmSpeed5", "gear 5 rpm/speed ratio x10", W, 57, 1, 0, 1, 32000, 1, 400, "", UpDown},
    {7, "UpDownPomerRpmSpeed6", "gear 6 rpm/speed ratio x10", W, 58, 1, 0, 1, 32000, 1, 333, "", UpDown},
    {7, "UpDownGearAutoTime", "learning minimum time", B, 678, 1, 0, 1, 100, 1, 3, "s", UpDown},
    {7, "UpDownGearAutoRpm", "learning minimum rpm", B, 679, 100, 0, 300, 25000, 100, 1500, "rpm", UpDown},
    {7, "UpDownGearAutoTps", "learning minimum throttle", B, 680, 1, 0, 0, 100, 1, 20, "%", UpDown},
    {7, "UpDownGearAutoBand", "learning band", B, 681, 1, 0, 1, 100, 1, 40, "x0.1 %", UpDown},
    {7, "RadioGroupSpeedMode", "speedometer mode", B, 677, 1, 0, 0, 1, 1, 0, "", RadioGroup},
    {7, "UpDownPulsuProSpeed", "speedometer setting", W, 52, 1, 0, 1, 32000, 1, 1000, "", UpDown},

    {9, "UpDownTestRpm", "test rpm", B, 735, 100, 0, 200, 25000, 100, 5000, "rpm", UpDown},
    {9, "UpDownTestServo", "test servo time", B, 736, 10, 0, 10, 2500, 10, 500, "ms", UpDown},
};

const char* const kGearRows[6] = {"0-1", "2", "3", "4", "5", "6"};

std::vector<ParameterDef> BuildTable() {
  // Names of generated rows must outlive the table.
  static std::deque<std::string> names;
  auto keep = [](std::string s) { return names.emplace_back(std::move(s)).c_str(); };

  std::vector<ParameterDef> v;
  for (const ParameterDef& d : kFixed)
    if (d.page < 7) v.push_back(d);

  static const int kModeDefault[4] = {1, 2, 3, 4};
  static const int kRpmDefault[4][3] = {{4000, 9000, 12000}, {9000, 9500, 12000},
                                        {4000, 12000, 14000}, {4000, 9000, 12000}};
  for (int n = 0; n < 4; ++n) {
    const int page = n < 3 ? kPagePowerOut1 : kPagePowerOut2;
    const std::string out = "output " + std::to_string(n + 1) + " ";
    const std::string idx = std::to_string(n + 1);
    v.push_back({page, keep("RadioGroupPOut" + idx), keep(out + "mode"), B, 635 + n, 1, 0, 0, 4,
                 1, kModeDefault[n], "", RadioGroup});
    for (int k = 0; k < 3; ++k)
      v.push_back({page, keep("UpDownPOutRpm" + idx + "_" + std::to_string(k + 1)),
                   keep(out + "rpm threshold " + std::to_string(k + 1)), B, 639 + 3 * n + k, 100,
                   0, 300, 25000 + 100 * k, 100, kRpmDefault[n][k], "rpm", UpDown});
    v.push_back({page, keep("UpDownPOutHyst" + idx), keep(out + "hysteresis"), B, 651 + n, 10, 0,
                 0, 2500, 10, 100, "rpm", UpDown});
    for (int k = 0; k < 2; ++k)
      v.push_back({page, keep("UpDownPOutTps" + idx + "_" + std::to_string(k + 1)),
                   keep(out + "throttle threshold " + std::to_string(k + 1)), B, 655 + 2 * n + k, 1,
                   0, 0, 101 + k, 1, k == 0 ? 75 : 90, "%", UpDown});
  }

  for (const ParameterDef& d : kFixed)
    if (d.page == 7) v.push_back(d);

  for (int g = 0; g < 6; ++g) {
    const std::string row = std::string(" gear ") + kGearRows[g];
    const std::string idx = std::to_string(g + 1);
    v.push_back({kPageRace, keep("UpDownClutchTime" + idx), keep("clutch-master time" + row), B,
                 683 + g, 5, 0, 0, 1250, 5, 100, "ms", UpDown});
    v.push_back({kPageRace, keep("UpDownGearKorAdv" + idx), keep("advance correction" + row), B,
                 693 + g, 1, -100, -20, 20, 1, 0, "deg", UpDown});
    v.push_back({kPageRace, keep("UpDownGearKorLimiter" + idx), keep("limiter correction" + row),
                 B, 699 + g, 50, -100, -5000, 5000, 50, 0, "rpm", UpDown});
    v.push_back({kPageRace, keep("UpDownGearKorServo" + idx), keep("servo correction" + row), B,
                 705 + g, 50, -100, -5000, 5000, 50, 0, "", UpDown});
    for (int k = 0; k < 4; ++k)
      v.push_back({kPageRace, keep("UpDownGearKorPOut" + std::to_string(k + 1) + "_" + idx),
                   keep("output " + std::to_string(k + 1) + " correction" + row), B,
                   711 + 6 * k + g, 50, -100, -5000, 5000, 50, 0, "rpm", UpDown});
  }
  v.push_back({kPageRace, "RadioGroupClutchMode", "clutch mode", B, 682, 1, 0, 0, 1, 1, 0, "",
               RadioGroup});
  v.push_back({kPageRace, "UpDownClutchPause1", "clutch-master pause 1", B, 689, 10, 0, 0, 2500,
               10, 0, "ms", UpDown});
  v.push_back({kPageRace, "UpDownClutchPause2", "clutch-master pause 2", B, 690, 10, 0, 0, 2500,
               10, 130, "ms", UpDown});
  v.push_back({kPageRace, "UpDownClutchMinRpm", "minimum clutch-master rpm", B, 691, 100, 0, 1000,
               25000, 100, 2000, "rpm", UpDown});
  v.push_back({kPageRace, "UpDownClutchAdv", "clutch advance", B, 692, 1, 0, 0, 60, 1, 0, "deg",
               UpDown});

  for (const ParameterDef& d : kFixed)
    if (d.page == 9) v.push_back(d);
  return v;
}

constexpr MapDef kMaps[] = {
    {kPageAdvance1, "advance map 1", 7, 181, 0, 60, "deg"},
    {kPageAdvance2, "advance map 2", 22, 331, 0, 60, "deg"},
    {kPageServo, "servo map", 37, 485, 0, 5000, "mV"},
};

constexpr const char* kPageNames[kPageCount] = {"Bike",      "Inputs",    "Advance 1", "Advance 2",
                                                "Servo",     "Power out", "Power out", "Gear",
                                                "Race",      "Tests",     "Monitor"};

}  // namespace

std::span<const ParameterDef> ScalarParameters() {
  static const std::vector<ParameterDef> table = BuildTable();
  return table;
}

int ShownValue(const ParameterImage& image, const ParameterDef& def) {
  if (def.storage == Storage::Word) return image.word(def.index);
  return image.shown(def.index, def.step, def.bias);
}

void StoreShown(ParameterImage& image, const ParameterDef& def, long shown) {
  if (def.storage == Storage::Word)
    image.setWord(def.index, shown);
  else
    image.setShown(def.index, def.step, def.bias, shown);
}

std::span<const MapDef> Maps() { return kMaps; }

int MapCellStep(const ParameterImage& image, const MapDef& map) {
  if (map.cellsByte != 485) return 1;
  return image.byte(482) != 0 ? 1 : 20;
}

const char* PageName(int page) {
  return page >= 0 && page < kPageCount ? kPageNames[page] : "";
}

}  // namespace rq

namespace rq {

bool ApplyGearCoupling(ParameterImage& image) {
  constexpr int kGearSystem = 675, kInput2 = 167, kInput3 = 168, kGearOrSpeed = 7;
  const int system = image.byte(kGearSystem);
  const int input = system == 1 ? kInput2 : (system == 2 || system == 3) ? kInput3 : -1;
  if (input < 0 || image.byte(input) == kGearOrSpeed) return false;
  image.setByte(input, kGearOrSpeed);
  return true;
}

const ParameterDef* FindParameter(std::string_view control) {
  for (const ParameterDef& d : ScalarParameters())
    if (control == d.control) return &d;
  return nullptr;
}

const ParameterDef* FindParameterAt(int byteOffset) {
  for (const ParameterDef& d : ScalarParameters())
    if (d.storage == Storage::Byte && d.index == byteOffset) return &d;
  return nullptr;
}

const ParameterDef* FindParameter(std::string_view control, int page) {
  for (const ParameterDef& d : ScalarParameters())
    if (d.page == page && control == d.control) return &d;
  return nullptr;
}

}  // namespace rq
