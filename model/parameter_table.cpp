// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/parameter_table.h"

#include <deque>
#include <string>
#include <vector>

namespace rq {

namespace {

using enum ControlKind;
constexpr int kPreset = kDefaultPreset;
constexpr int kNotSet = kDefaultNotSet;

// Item texts of the choices as the window shows them in English, in item order.
constexpr const char* kBikeItems[] = {
    "Classic (1 lobe, 1 or 2 pick-up) ",
    "Standard  (2 lobe  per revol., 1 or 2 pick-up) ",
    "Standard  (3 lobe  per revol., 1 pick-up) ",
    "Standard  (1 lobe 2  rev. (CMPS), 1 or 2 pick-up) ",
    "Honda NSR 250 MC18 -",
    "Special setting"};
constexpr const char* kSyncItems[] = {"1 lobe, 1 or 2 pick-up",
                                      "Short gap between lobes (inserted lobe)",
                                      "Wide lobe",
                                      "Long gap between lobes (missing lobe)",
                                      "2 pick-ups, missing lobe",
                                      "2 Short gaps between lobes (inserted lobe)",
                                      "Honda NSR 250 MC18 -"};
constexpr const char* kIgnitionItems[] = {
    "1 ignition per 2 revolutions (camshaft)", "1 ignition per revolution",
    "2 ignitions per revolution", "3 ignitions per revolution"};
#define RQ_INPUT_FUNCTIONS \
  "Off", "Kill switch", "Blocking", "Clutch master", "Retard", "Start Limiter", "2 nd advance chart"
constexpr const char* kInput1Items[] = {RQ_INPUT_FUNCTIONS};
constexpr const char* kInput2Items[] = {RQ_INPUT_FUNCTIONS, "Gear"};
constexpr const char* kInput3Items[] = {RQ_INPUT_FUNCTIONS, "Speed"};
#undef RQ_INPUT_FUNCTIONS
constexpr const char* kPotModeItems[] = {"Off", "Advance", "Start Limiter", "Pilot ligjt",
                                         "Accelaration switch of advance"};
// Listings spell the potentiometer modes as they are meant.
constexpr const char* kPotModeListed[] = {"Off", "Advance", "Start limiter", "Pilot light",
                                          "Acceleration switch of advance"};
constexpr const char* kServoModeItems[] = {"R + T", "RPM", "TPS"};
constexpr const char* kPowerModeItems[] = {"Off", "Fuel pump", "Pilot light", "Power jet Honda",
                                           "Special setting"};
constexpr const char* kGearSystemItems[] = {"No", "Voltage", "Ration Rpm Speed",
                                            "Automatic (Ratio Rpm Speed)"};
constexpr const char* kSpeedModeItems[] = {"Pulse over 1s for 100 km/h", "Distance for pulse [mm]"};
constexpr const char* kClutchModeItems[] = {"No ignition", "Retard"};

// Fixed rows of the Bike, Inputs, Gear, Race and Test pages, in read-back order.
constexpr ParameterDef kFixed[] = {
    {.page = kPageBike, .control = "ComboBoxBike", .name = "motorbike type", .at = kBikeType,
         .min = 0, .max = 5, .defaultShown = 0, .kind = ComboBox,
         .items = kBikeItems, .itemValues = kBikeTypeOfItem},
    {.page = kPageBike, .control = "CheckBoxInvPickup1", .name = "inverse pick-up 1",
         .at = kInversePickup[0], .min = 0, .max = 1, .defaultShown = 0, .kind = CheckBox},
    {.page = kPageBike, .control = "CheckBoxInvPickup2", .name = "inverse pick-up 2",
         .at = kInversePickup[1], .min = 0, .max = 1, .defaultShown = 0, .kind = CheckBox},
    {.page = kPageBike, .control = "UpDownKompenz1", .name = "compensation 1",
         .at = kCompensation[0], .min = 0, .max = 255, .defaultShown = 11},
    {.page = kPageBike, .control = "UpDownKompenz2", .name = "compensation 2",
         .at = kCompensation[1], .min = 0, .max = 255, .defaultShown = 11},
    {.page = kPageBike, .control = "ComboBoxSynchro", .name = "synchronisation method",
         .at = kSyncMethod, .min = 0, .max = 6, .defaultShown = kPreset, .kind = ComboBox,
         .items = kSyncItems},
    {.page = kPageBike, .control = "UpDownPocSynchro", .name = "revolutions without ignition",
         .at = kRevsWithoutIgnition, .min = 0, .max = 40, .defaultShown = kNotSet,
         .unit = "rev"},
    {.page = kPageBike, .control = "UpDownPocPalcu", .name = "lobes on rotor", .at = kLobes,
         .min = 1, .max = 58, .defaultShown = kPreset},
    {.page = kPageBike, .control = "UpDownPocKanalu", .name = "outputs (coils)", .at = kOutputs,
         .min = 1, .max = 2, .defaultShown = kPreset},
    {.page = kPageBike, .control = "UpDownPalec1Zac", .name = "channel 1 max advance lobe",
         .at = kMaxAdvanceLobe[0], .min = 1, .max = 58, .defaultShown = kPreset},
    {.page = kPageBike, .control = "UpDownPalec2Zac", .name = "channel 2 max advance lobe",
         .at = kMaxAdvanceLobe[1], .min = 1, .max = 58, .defaultShown = kPreset},
    {.page = kPageBike, .control = "UpDownPalec1End", .name = "channel 1 start advance lobe",
         .at = kStartAdvanceLobe[0], .min = 1, .max = 58, .defaultShown = kPreset},
    {.page = kPageBike, .control = "UpDownPalec2End", .name = "channel 2 start advance lobe",
         .at = kStartAdvanceLobe[1], .min = 1, .max = 58, .defaultShown = kPreset},
    {.page = kPageBike, .control = "CheckBoxPalec1ZacH2",
         .name = "channel 1 max advance 2nd edge", .at = kMaxAdvanceSecondEdge[0], .min = 0,
         .max = 1, .defaultShown = kPreset, .kind = CheckBox},
    {.page = kPageBike, .control = "CheckBoxPalec2ZacH2",
         .name = "channel 2 max advance 2nd edge", .at = kMaxAdvanceSecondEdge[1], .min = 0,
         .max = 1, .defaultShown = kPreset, .kind = CheckBox},
    {.page = kPageBike, .control = "CheckBoxPalec1EndH2",
         .name = "channel 1 start advance 2nd edge", .at = kStartAdvanceSecondEdge[0], .min = 0,
         .max = 1, .defaultShown = kPreset, .kind = CheckBox},
    {.page = kPageBike, .control = "CheckBoxPalec2EndH2",
         .name = "channel 2 start advance 2nd edge", .at = kStartAdvanceSecondEdge[1], .min = 0,
         .max = 1, .defaultShown = kPreset, .kind = CheckBox},
    {.page = kPageBike, .control = "CheckBoxPalec1ZacP2",
         .name = "channel 1 max advance 2nd pick-up", .at = kMaxAdvanceSecondPickup[0], .min = 0,
         .max = 1, .defaultShown = kPreset, .kind = CheckBox},
    {.page = kPageBike, .control = "CheckBoxPalec2ZacP2",
         .name = "channel 2 max advance 2nd pick-up", .at = kMaxAdvanceSecondPickup[1], .min = 0,
         .max = 1, .defaultShown = kPreset, .kind = CheckBox},
    {.page = kPageBike, .control = "CheckBoxPalec1EndP2",
         .name = "channel 1 start advance 2nd pick-up", .at = kStartAdvanceSecondPickup[0],
         .min = 0, .max = 1, .defaultShown = kPreset, .kind = CheckBox},
    {.page = kPageBike, .control = "CheckBoxPalec2EndP2",
         .name = "channel 2 start advance 2nd pick-up", .at = kStartAdvanceSecondPickup[1],
         .min = 0, .max = 1, .defaultShown = kPreset, .kind = CheckBox},
    {.page = kPageBike, .control = "ComboBoxNasobekPalcu", .name = "ignitions per revolution",
         .at = kIgnitionsPerRev, .min = 0, .max = 3, .defaultShown = kPreset, .kind = ComboBox,
         .items = kIgnitionItems},
    {.page = kPageBike, .control = "UpDownRpmPulsu", .name = "tachometer pulses per revolution",
         .at = kTachoPulses, .min = 0, .max = 6, .defaultShown = 1},
    {.page = kPageBike, .control = "UpDownRpmKorekce", .name = "tachometer correction",
         .at = kTachoCorrection, .bias = -100, .min = -60, .max = 60, .defaultShown = 0,
         .unit = "%"},
    {.page = kPageBike, .control = "CheckBoxZakazCteni", .name = "read protection",
         .at = kReadProtection, .min = 0, .max = 1, .defaultShown = 0, .kind = CheckBox},

    {.page = kPageInputs, .control = "RadioGroupInput1", .name = "input 1 function",
         .at = kInputFunction[0], .min = 0, .max = 6, .defaultShown = 1, .kind = RadioGroup,
         .items = kInput1Items},
    {.page = kPageInputs, .control = "RadioGroupInput2", .name = "input 2 function",
         .at = kInputFunction[1], .min = 0, .max = 7, .defaultShown = 3, .kind = RadioGroup,
         .items = kInput2Items},
    {.page = kPageInputs, .control = "RadioGroupInput3", .name = "input 3 function",
         .at = kInputFunction[2], .min = 0, .max = 7, .defaultShown = 5, .kind = RadioGroup,
         .items = kInput3Items},
    {.page = kPageInputs, .control = "CheckBoxInvInput1", .name = "input 1 active when on",
         .at = kInputActiveOn[0], .min = 0, .max = 1, .defaultShown = 0, .kind = CheckBox},
    {.page = kPageInputs, .control = "CheckBoxInvInput2", .name = "input 2 active when on",
         .at = kInputActiveOn[1], .min = 0, .max = 1, .defaultShown = 0, .kind = CheckBox},
    {.page = kPageInputs, .control = "CheckBoxInvInput3", .name = "input 3 active when on",
         .at = kInputActiveOn[2], .min = 0, .max = 1, .defaultShown = 0, .kind = CheckBox},
    {.page = kPageInputs, .control = "UpDownTps0", .name = "throttle sensor at 0 %", .at = kTps0,
         .min = 200, .max = 4940, .increment = 10, .defaultShown = 700, .unit = "mV"},
    {.page = kPageInputs, .control = "UpDownTps100", .name = "throttle sensor at 100 %",
         .at = kTps100, .min = 210, .max = 4950, .increment = 10, .defaultShown = 4200,
         .unit = "mV"},
    {.page = kPageInputs, .control = "UpDownStartSoftLimiter", .name = "start soft limiter",
         .at = kStartSoftLimiter, .min = 900, .max = 25000, .increment = 50,
         .defaultShown = 5800, .unit = "rpm"},
    {.page = kPageInputs, .control = "UpDownStartHardLimiter", .name = "start limiter",
         .at = kStartHardLimiter, .min = 900, .max = 25000, .increment = 50,
         .defaultShown = 6000, .unit = "rpm"},
    {.page = kPageInputs, .control = "UpDownStartLimiterPause", .name = "start limiter on delay",
         .at = kStartLimiterDelay, .min = 0, .max = 25, .defaultShown = 0, .unit = "s"},
    {.page = kPageInputs, .control = "UpDownSoftLimiter", .name = "soft limiter",
         .at = kSoftLimiter, .min = 900, .max = 25000, .increment = 50, .defaultShown = 10800,
         .unit = "rpm"},
    {.page = kPageInputs, .control = "UpDownHardLimiter", .name = "hard limiter",
         .at = kHardLimiter, .min = 900, .max = 25000, .increment = 50, .defaultShown = 11000,
         .unit = "rpm"},
    {.page = kPageInputs, .control = "UpDownRetard", .name = "retard", .at = kRetard, .min = 0,
         .max = 25, .defaultShown = 6, .unit = "deg"},
    {.page = kPageInputs, .control = "UpDownRetardPocetOff",
         .name = "clutch activations for retard off", .at = kRetardClutchCount, .min = 0,
         .max = 25, .defaultShown = 0},
    {.page = kPageInputs, .control = "UpDownMapa2Akcel",
         .name = "2nd map acceleration threshold", .at = kSecondMapAcceleration, .step = 100,
         .min = 100, .max = 25000, .increment = 100, .defaultShown = 10000, .unit = "rpm/s"},
    {.page = kPageInputs, .control = "RadioGroupModePotencMode",
         .name = "potentiometer controls", .at = kPotMode, .min = 0, .max = 4, .defaultShown = 0,
         .kind = RadioGroup, .items = kPotModeItems, .listedItems = kPotModeListed},
    {.page = kPageInputs, .control = "UpDownPotencRozsah", .name = "potentiometer range",
         .at = kPotRange, .min = 0, .max = 25000, .defaultShown = 0},

    // One set of map-bar controls serves the three map pages: "CheckBoxMapTps" edits
    // kMapsUseThrottle on the advance pages and kServoEnable on the servo page.
    {.page = kPageAdvance1, .control = "UpDownBaseAdvance", .name = "base advance",
         .at = kBaseAdvance, .min = 0, .max = 30, .defaultShown = 10, .unit = "deg"},
    {.page = kPageAdvance1, .control = "UpDownCorrection1",
         .name = "advance correction cylinder 1", .at = kAdvanceCorrection[0], .bias = -100,
         .min = -30, .max = 30, .defaultShown = 0, .unit = "deg"},
    {.page = kPageAdvance1, .control = "UpDownCorrection2",
         .name = "advance correction cylinder 2", .at = kAdvanceCorrection[1], .bias = -100,
         .min = -30, .max = 30, .defaultShown = 0, .unit = "deg"},
    {.page = kPageAdvance1, .control = "CheckBoxMapTps", .name = "maps use throttle rows",
         .at = kMapsUseThrottle, .min = 0, .max = 1, .defaultShown = 1, .kind = CheckBox},
    {.page = kPageServo, .control = "CheckBoxMapTps", .name = "servo enable", .at = kServoEnable,
         .min = 0, .max = 1, .defaultShown = kNotSet, .kind = CheckBox},
    {.page = kPageServo, .control = "CheckBoxMapPercent", .name = "servo map in percent",
         .at = kServoPercent, .min = 0, .max = 1, .defaultShown = 0, .kind = CheckBox},
    {.page = kPageServo, .control = "RadioGroupServoMode", .name = "servo controlled by",
         .at = kServoMode, .min = 0, .max = 2, .defaultShown = 1, .kind = RadioGroup,
         .items = kServoModeItems},
    {.page = kPageServo, .control = "UpDownServoHysteresis", .name = "servo hysteresis",
         .at = kServoHysteresis, .step = 5, .min = 0, .max = 1250, .increment = 5,
         .defaultShown = 500, .unit = "mV"},

    {.page = kPageGear, .control = "RadioGroupGearSystem", .name = "gear method",
         .at = kGearSystem, .min = 0, .max = 3, .defaultShown = 0, .kind = RadioGroup,
         .items = kGearSystemItems},
    {.page = kPageGear, .control = "UpDownPocetGear", .name = "number of gears",
         .at = kGearCount, .min = 1, .max = 6, .defaultShown = 6},
    {.page = kPageGear, .control = "UpDownGearNapeti0", .name = "gear 0 voltage",
         .at = kGearVoltage[0], .min = 0, .max = 5000, .defaultShown = 5000, .unit = "mV"},
    {.page = kPageGear, .control = "UpDownGearNapeti1", .name = "gear 1 voltage",
         .at = kGearVoltage[1], .min = 0, .max = 5000, .defaultShown = 1797, .unit = "mV"},
    {.page = kPageGear, .control = "UpDownGearNapeti2", .name = "gear 2 voltage",
         .at = kGearVoltage[2], .min = 0, .max = 5000, .defaultShown = 2260, .unit = "mV"},
    {.page = kPageGear, .control = "UpDownGearNapeti3", .name = "gear 3 voltage",
         .at = kGearVoltage[3], .min = 0, .max = 5000, .defaultShown = 2998, .unit = "mV"},
    {.page = kPageGear, .control = "UpDownGearNapeti4", .name = "gear 4 voltage",
         .at = kGearVoltage[4], .min = 0, .max = 5000, .defaultShown = 3662, .unit = "mV"},
    {.page = kPageGear, .control = "UpDownGearNapeti5", .name = "gear 5 voltage",
         .at = kGearVoltage[5], .min = 0, .max = 5000, .defaultShown = 4360, .unit = "mV"},
    {.page = kPageGear, .control = "UpDownGearNapeti6", .name = "gear 6 voltage",
         .at = kGearVoltage[6], .min = 0, .max = 5000, .defaultShown = 4687, .unit = "mV"},
    {.page = kPageGear, .control = "UpDownPomerRpmSpeed1", .name = "gear 1 rpm/speed ratio x10",
         .at = kGearRatio[0], .min = 1, .max = 32000, .defaultShown = 2000},
    {.page = kPageGear, .control = "UpDownPomerRpmSpeed2", .name = "gear 2 rpm/speed ratio x10",
         .at = kGearRatio[1], .min = 1, .max = 32000, .defaultShown = 1000},
    {.page = kPageGear, .control = "UpDownPomerRpmSpeed3", .name = "gear 3 rpm/speed ratio x10",
         .at = kGearRatio[2], .min = 1, .max = 32000, .defaultShown = 666},
    {.page = kPageGear, .control = "UpDownPomerRpmSpeed4", .name = "gear 4 rpm/speed ratio x10",
         .at = kGearRatio[3], .min = 1, .max = 32000, .defaultShown = 500},
    {.page = kPageGear, .control = "UpDownPomerRpmSpeed5", .name = "gear 5 rpm/speed ratio x10",
         .at = kGearRatio[4], .min = 1, .max = 32000, .defaultShown = 400},
    {.page = kPageGear, .control = "UpDownPomerRpmSpeed6", .name = "gear 6 rpm/speed ratio x10",
         .at = kGearRatio[5], .min = 1, .max = 32000, .defaultShown = 333},
    {.page = kPageGear, .control = "UpDownGearAutoTime", .name = "learning minimum time",
         .at = kLearnTime, .min = 1, .max = 100, .defaultShown = 3, .unit = "s"},
    {.page = kPageGear, .control = "UpDownGearAutoRpm", .name = "learning minimum rpm",
         .at = kLearnRpm, .step = 100, .min = 300, .max = 25000, .increment = 100,
         .defaultShown = 1500, .unit = "rpm"},
    {.page = kPageGear, .control = "UpDownGearAutoTps", .name = "learning minimum throttle",
         .at = kLearnThrottle, .min = 0, .max = 100, .defaultShown = 20, .unit = "%"},
    {.page = kPageGear, .control = "UpDownGearAutoBand", .name = "learning band",
         .at = kLearnBand, .min = 1, .max = 100, .defaultShown = 40, .unit = "x0.1 %"},
    {.page = kPageGear, .control = "RadioGroupSpeedMode", .name = "speedometer mode",
         .at = kSpeedMode, .min = 0, .max = 1, .defaultShown = 0, .kind = RadioGroup,
         .items = kSpeedModeItems},
    {.page = kPageGear, .control = "UpDownPulsuProSpeed", .name = "speedometer setting",
         .at = kSpeedSetting, .min = 1, .max = 32000, .defaultShown = 1000},

    {.page = kPageTests, .control = "UpDownTestRpm", .name = "test rpm", .at = kTachoTestRpm,
         .step = 100, .min = 200, .max = 25000, .increment = 100, .defaultShown = 5000,
         .unit = "rpm"},
    {.page = kPageTests, .control = "UpDownTestServo", .name = "test servo time",
         .at = kServoTestTime, .step = 10, .min = 10, .max = 2500, .increment = 10,
         .defaultShown = 500, .unit = "ms"},
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
    v.push_back({.page = page, .control = keep("RadioGroupPOut" + idx), .name = keep(out + "mode"),
                 .at = kPowerMode[n], .min = 0, .max = 4, .defaultShown = kModeDefault[n],
                 .kind = RadioGroup, .items = kPowerModeItems});
    for (int k = 0; k < 3; ++k)
      v.push_back({.page = page,
                   .control = keep("UpDownPOutRpm" + idx + "_" + std::to_string(k + 1)),
                   .name = keep(out + "rpm threshold " + std::to_string(k + 1)),
                   .at = kPowerRpm.at(n, k), .step = 100, .min = 300, .max = 25000 + 100 * k,
                   .increment = 100, .defaultShown = kRpmDefault[n][k], .unit = "rpm"});
    v.push_back({.page = page, .control = keep("UpDownPOutHyst" + idx),
                 .name = keep(out + "hysteresis"), .at = kPowerHysteresis[n], .step = 10,
                 .min = 0, .max = 2500, .increment = 10, .defaultShown = 100, .unit = "rpm"});
    for (int k = 0; k < 2; ++k)
      v.push_back({.page = page,
                   .control = keep("UpDownPOutTps" + idx + "_" + std::to_string(k + 1)),
                   .name = keep(out + "throttle threshold " + std::to_string(k + 1)),
                   .at = kPowerThrottle.at(n, k), .min = 0, .max = 101 + k,
                   .defaultShown = k == 0 ? 75 : 90, .unit = "%"});
  }

  for (const ParameterDef& d : kFixed)
    if (d.page == 7) v.push_back(d);

  for (int g = 0; g < 6; ++g) {
    const std::string row = std::string(" gear ") + kGearRows[g];
    const std::string idx = std::to_string(g + 1);
    v.push_back({.page = kPageRace, .control = keep("UpDownClutchTime" + idx),
                 .name = keep("clutch-master time" + row), .at = kClutchTime[g], .step = 5,
                 .min = 0, .max = 1250, .increment = 5, .defaultShown = 100, .unit = "ms"});
    v.push_back({.page = kPageRace, .control = keep("UpDownGearKorAdv" + idx),
                 .name = keep("advance correction" + row), .at = kGearAdvanceCorrection[g],
                 .bias = -100, .min = -20, .max = 20, .defaultShown = 0, .unit = "deg"});
    v.push_back({.page = kPageRace, .control = keep("UpDownGearKorLimiter" + idx),
                 .name = keep("limiter correction" + row), .at = kGearLimiterCorrection[g],
                 .step = 50, .bias = -100, .min = -5000, .max = 5000, .increment = 50,
                 .defaultShown = 0, .unit = "rpm"});
    v.push_back({.page = kPageRace, .control = keep("UpDownGearKorServo" + idx),
                 .name = keep("servo correction" + row), .at = kGearServoCorrection[g],
                 .step = 50, .bias = -100, .min = -5000, .max = 5000, .increment = 50,
                 .defaultShown = 0});
    for (int k = 0; k < 4; ++k)
      v.push_back({.page = kPageRace,
                   .control = keep("UpDownGearKorPOut" + std::to_string(k + 1) + "_" + idx),
                   .name = keep("output " + std::to_string(k + 1) + " correction" + row),
                   .at = kGearPowerCorrection.at(k, g), .step = 50, .bias = -100, .min = -5000,
                   .max = 5000, .increment = 50, .defaultShown = 0, .unit = "rpm"});
  }
  v.push_back({.page = kPageRace, .control = "RadioGroupClutchMode", .name = "clutch mode",
               .at = kClutchMode, .min = 0, .max = 1, .defaultShown = 0, .kind = RadioGroup,
               .items = kClutchModeItems});
  v.push_back({.page = kPageRace, .control = "UpDownClutchPause1", .name = "clutch-master pause 1",
               .at = kClutchPause[0], .step = 10, .min = 0, .max = 2500, .increment = 10,
               .defaultShown = 0, .unit = "ms"});
  v.push_back({.page = kPageRace, .control = "UpDownClutchPause2", .name = "clutch-master pause 2",
               .at = kClutchPause[1], .step = 10, .min = 0, .max = 2500, .increment = 10,
               .defaultShown = 130, .unit = "ms"});
  v.push_back({.page = kPageRace, .control = "UpDownClutchMinRpm",
               .name = "minimum clutch-master rpm", .at = kClutchMinRpm, .step = 100, .min = 1000,
               .max = 25000, .increment = 100, .defaultShown = 2000, .unit = "rpm"});
  v.push_back({.page = kPageRace, .control = "UpDownClutchAdv", .name = "clutch advance",
               .at = kClutchAdvance, .min = 0, .max = 60, .defaultShown = 0, .unit = "deg"});

  for (const ParameterDef& d : kFixed)
    if (d.page == 9) v.push_back(d);
  return v;
}

constexpr MapDef kMaps[] = {
    {kPageAdvance1, "advance map 1", kAdvance1Axis, kAdvance1Cells, 0, 60, "deg"},
    {kPageAdvance2, "advance map 2", kAdvance2Axis, kAdvance2Cells, 0, 60, "deg"},
    {kPageServo, "servo map", kServoAxis, kServoCells, 0, 5000, "mV"},
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
  if (def.at.isWord()) return image.word(def.at.index);
  return image.shown(def.at.index, def.step, def.bias);
}

void StoreShown(ParameterImage& image, const ParameterDef& def, long shown) {
  if (def.at.isWord())
    image.setWord(def.at.index, shown);
  else
    image.setShown(def.at.index, def.step, def.bias, shown);
}

int ItemOfValue(const ParameterDef& d, int value) {
  if (d.itemValues.empty()) return value;
  for (std::size_t i = 0; i < d.itemValues.size(); ++i)
    if (d.itemValues[i] == value) return static_cast<int>(i);
  return -1;
}

int ValueOfItem(const ParameterDef& d, int item) {
  if (d.itemValues.empty() || item < 0 || item >= static_cast<int>(d.itemValues.size()))
    return item;
  return d.itemValues[static_cast<std::size_t>(item)];
}

std::string ListedItem(const ParameterDef& d, int value) {
  if (!d.isChoice()) return {};
  const int item = ItemOfValue(d, value);
  const auto names = d.listedItems.empty() ? d.items : d.listedItems;
  if (item < 0 || item >= static_cast<int>(names.size())) return {};
  std::string out;
  for (const char* p = names[static_cast<std::size_t>(item)]; *p != '\0'; ++p) {
    if (*p == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += *p;
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::span<const MapDef> Maps() { return kMaps; }

int MapCellStep(const ParameterImage& image, const MapDef& map) {
  if (map.cells.first != kServoCells.first) return 1;
  return image[kServoPercent] != 0 ? 1 : 20;
}

const char* PageName(int page) {
  return page >= 0 && page < kPageCount ? kPageNames[page] : "";
}

}  // namespace rq

namespace rq {

bool ApplyGearCoupling(ParameterImage& image) {
  constexpr int kGearOrSpeed = 7;
  const int system = image[kGearSystem];
  if (system < 1 || system > 3) return false;
  const ByteField input = system == 1 ? kInputFunction[1] : kInputFunction[2];
  if (image[input] == kGearOrSpeed) return false;
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
    if (!d.at.isWord() && d.at.index == byteOffset) return &d;
  return nullptr;
}

const ParameterDef* FindParameter(std::string_view control, int page) {
  for (const ParameterDef& d : ScalarParameters())
    if (d.page == page && control == d.control) return &d;
  return nullptr;
}

}  // namespace rq
