// SPDX-License-Identifier: GPL-3.0-or-later
// Fields of the configuration image by name. Everything that reads or writes a field outside
// the parameter table (page rules, map and power-output models, the .ign groups, defaults,
// the consistency pass, the monitor view, the simulator, tests) uses these names:
// `image[kGearSystem]`, `image.setByte(kPowerMode[n], 2)`, `image[kTps0]`.
#pragma once

namespace rq {

// One byte of the image, by offset.
struct ByteField {
  int offset;
  constexpr ByteField next(int n) const { return {offset + n}; }
};

// A little-endian word of the image: word number `index` lies at bytes 2 index, 2 index + 1.
struct WordField {
  int index;
  constexpr int offset() const { return 2 * index; }
};

// `count` bytes in a row: element i is at first + i.
struct ByteArray {
  int first;
  int count;
  constexpr ByteField operator[](int i) const { return {first + i}; }
  constexpr int end() const { return first + count; }  // one past the last byte
};

// `count` words in a row: element i is word first + i.
struct WordArray {
  int first;
  int count;
  constexpr WordField operator[](int i) const { return {first + i}; }
};

// rows x columns bytes stored row by row: (row r, column c) at first + columns r + c.
struct ByteGrid {
  int first;
  int rows;
  int columns;
  constexpr ByteField at(int r, int c) const { return {first + columns * r + c}; }
  constexpr ByteArray row(int r) const { return {first + columns * r, columns}; }
  constexpr int size() const { return rows * columns; }
  constexpr int end() const { return first + rows * columns; }
};

// ---- Words 0..6: limiters, throttle sensor calibration, potentiometer range --------------
inline constexpr WordField kStartSoftLimiter{0};  // rpm
inline constexpr WordField kStartHardLimiter{1};  // rpm
inline constexpr WordField kSoftLimiter{2};       // rpm
inline constexpr WordField kHardLimiter{3};       // rpm
inline constexpr WordField kTps0{4};              // mV at closed throttle
inline constexpr WordField kTps100{5};            // mV at full throttle
inline constexpr WordField kPotRange{6};

// ---- Rpm axes of the three maps (15 words each) and their cells (10 throttle rows x 15) --
inline constexpr WordArray kAdvance1Axis{7, 15};
inline constexpr WordArray kAdvance2Axis{22, 15};
inline constexpr WordArray kServoAxis{37, 15};
inline constexpr ByteGrid kAdvance1Cells{181, 10, 15};
inline constexpr ByteGrid kAdvance2Cells{331, 10, 15};
inline constexpr ByteGrid kServoCells{485, 10, 15};

// ---- Speed and gears (words) -------------------------------------------------------------
inline constexpr WordField kSpeedSetting{52};
inline constexpr WordArray kGearRatio{53, 6};    // gears 1..6, rpm/speed x 10
inline constexpr WordArray kGearVoltage{59, 7};  // gears 0..6, mV

// ---- Bike page -----------------------------------------------------------------------------
inline constexpr ByteField kBikeType{140};
inline constexpr ByteArray kInversePickup{141, 2};
inline constexpr ByteArray kCompensation{144, 2};
inline constexpr ByteField kSyncMethod{146};
inline constexpr ByteField kRevsWithoutIgnition{147};
inline constexpr ByteField kLobes{148};
inline constexpr ByteField kOutputs{149};                // ignition outputs (coils), 1 or 2
inline constexpr ByteArray kMaxAdvanceLobe{150, 2};      // channels 1, 2
inline constexpr ByteArray kStartAdvanceLobe{152, 2};    // channels 1, 2
// Flags of the two channels' lobes: the second edge, the second pick-up.
inline constexpr ByteArray kLobeFlags{154, 8};
inline constexpr ByteArray kMaxAdvanceSecondEdge{154, 2};
inline constexpr ByteArray kStartAdvanceSecondEdge{156, 2};
inline constexpr ByteArray kMaxAdvanceSecondPickup{158, 2};
inline constexpr ByteArray kStartAdvanceSecondPickup{160, 2};
inline constexpr ByteField kIgnitionsPerRev{162};
inline constexpr ByteField kTachoPulses{163};
inline constexpr ByteField kTachoCorrection{164};  // percent + 100
inline constexpr ByteField kReadProtection{165};

// ---- Inputs page ---------------------------------------------------------------------------
inline constexpr ByteArray kInputFunction{166, 3};  // inputs 1..3
inline constexpr ByteArray kInputActiveOn{169, 3};
inline constexpr ByteField kStartLimiterDelay{172};
inline constexpr ByteField kRetard{173};
inline constexpr ByteField kRetardClutchCount{174};
inline constexpr ByteField kSecondMapAcceleration{175};  // hundreds of rpm/s
inline constexpr ByteField kPotMode{176};

// ---- Map bar -------------------------------------------------------------------------------
inline constexpr ByteField kBaseAdvance{177};
inline constexpr ByteArray kAdvanceCorrection{178, 2};  // cylinders 1, 2, degrees + 100
inline constexpr ByteField kMapsUseThrottle{180};
inline constexpr ByteField kServoEnable{481};
inline constexpr ByteField kServoPercent{482};
inline constexpr ByteField kServoMode{483};
inline constexpr ByteField kServoHysteresis{484};  // 5 mV steps

// ---- Power outputs 1..4 --------------------------------------------------------------------
inline constexpr ByteArray kPowerMode{635, 4};
inline constexpr ByteGrid kPowerRpm{639, 4, 3};       // output x threshold, hundreds of rpm
inline constexpr ByteArray kPowerHysteresis{651, 4};  // tens of rpm
inline constexpr ByteGrid kPowerThrottle{655, 4, 2};  // output x threshold, percent
// On/off grid: byte (output, throttle band) holds bit c for rpm band c.
inline constexpr ByteGrid kPowerGrid{663, 4, 3};

// ---- Gear page -----------------------------------------------------------------------------
inline constexpr ByteField kGearSystem{675};  // 0 none, 1 voltage, 2 ratio, 3 learned ratio
inline constexpr ByteField kGearCount{676};
inline constexpr ByteField kSpeedMode{677};
inline constexpr ByteField kLearnTime{678};
inline constexpr ByteField kLearnRpm{679};  // hundreds of rpm
inline constexpr ByteField kLearnThrottle{680};
inline constexpr ByteField kLearnBand{681};

// ---- Race page (per gear row "0-1", 2..6) --------------------------------------------------
inline constexpr ByteField kClutchMode{682};
inline constexpr ByteArray kClutchTime{683, 6};  // 5 ms steps
inline constexpr ByteArray kClutchPause{689, 2};
inline constexpr ByteField kClutchMinRpm{691};  // hundreds of rpm
inline constexpr ByteField kClutchAdvance{692};
inline constexpr ByteArray kGearAdvanceCorrection{693, 6};  // degrees + 100
inline constexpr ByteArray kGearLimiterCorrection{699, 6};  // 50 rpm steps + 100
inline constexpr ByteArray kGearServoCorrection{705, 6};
inline constexpr ByteGrid kGearPowerCorrection{711, 4, 6};  // output x gear row

// ---- Tests page ----------------------------------------------------------------------------
inline constexpr ByteField kTachoTestRpm{735};  // hundreds of rpm
inline constexpr ByteField kServoTestTime{736};  // tens of ms

}  // namespace rq
