// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/defaults.h"

#include "model/parameter_table.h"

namespace rq {

namespace {

constexpr int kAdvanceAxis[15] = {2000, 2150, 2200, 3000, 3500, 4000, 5000, 6000,
                                  7000, 9700, 9800, 10000, 10800, 11000, 15000};
constexpr int kAdvanceRow[15] = {8, 8, 8, 12, 20, 23, 28, 33, 35, 35, 0, 0, 0, 0, 0};
constexpr int kServoRpm[15] = {1000, 2000, 3000, 4000, 6000, 7000, 8000, 9000,
                               10000, 11000, 12000, 13000, 14000, 15000, 16000};
constexpr int kServoMillivolts[15] = {2000, 2100, 2200, 2300, 2400, 2450, 2500, 2550,
                                      2600, 2650, 2700, 2750, 2800, 2850, 2900};

struct ByteValue {
  ByteField field;
  int value;
};

// The servo part of the configuration: kServoPercent up to the end of the servo map, and the
// servo rpm axis.
bool InServoPart(const ParameterDef& d) {
  if (d.at.isWord())
    return d.at.index >= kServoAxis.first && d.at.index < kServoAxis.first + kServoAxis.count;
  return d.at.index >= kServoPercent.offset && d.at.index < kServoCells.end();
}

bool HasPlainDefault(const ParameterDef& d) {
  return d.defaultShown != kDefaultPreset && d.defaultShown != kDefaultNotSet &&
         d.defaultShown != kDefaultMap;
}

constexpr ByteValue kStandard[] = {
    {kSyncMethod, 0},
    {kLobes, 1},
    {kOutputs, 2},
    {kMaxAdvanceLobe[0], 1},
    {kMaxAdvanceLobe[1], 1},
    {kStartAdvanceLobe[0], 1},
    {kStartAdvanceLobe[1], 1},
    {kStartAdvanceSecondEdge[0], 1},
    {kStartAdvanceSecondEdge[1], 1},
    {kMaxAdvanceSecondPickup[1], 1},
    {kStartAdvanceSecondPickup[1], 1},
    {kIgnitionsPerRev, 1},
};
constexpr ByteValue kTwinCrank[] = {
    {kSyncMethod, 6},
    {kLobes, 4},
    {kOutputs, 2},
    {kMaxAdvanceLobe[0], 2},
    {kMaxAdvanceLobe[1], 2},
    {kStartAdvanceLobe[0], 3},
    {kStartAdvanceLobe[1], 3},
    {kMaxAdvanceSecondEdge[0], 1},
    {kMaxAdvanceSecondEdge[1], 1},
    {kStartAdvanceSecondEdge[0], 1},
    {kStartAdvanceSecondEdge[1], 1},
    {kMaxAdvanceSecondPickup[1], 1},
    {kStartAdvanceSecondPickup[1], 1},
    {kIgnitionsPerRev, 1},
};

void WriteGeneralDefaults(ParameterImage& image) {
  // Every parameter with a default of its own, as the parameter table gives it; the type itself
  // and the servo part are not general defaults.
  for (const ParameterDef& d : ScalarParameters())
    if (HasPlainDefault(d) && !InServoPart(d) && d.imageOffset() != kBikeType.offset)
      StoreShown(image, d, d.defaultShown);
  // The edge and pick-up flags are cleared before the preset sets its own.
  for (int i = 0; i < kLobeFlags.count; ++i) image.setByte(kLobeFlags[i], 0);
  // Power output 4's on/off grid: rpm band 1 in every throttle band.
  for (int k = 0; k < kPowerGrid.columns; ++k) image.setByte(kPowerGrid.at(3, k), 2);
  for (int r = 0; r < 15; ++r) {
    image.setWord(kAdvance1Axis[r], kAdvanceAxis[r]);
    image.setWord(kAdvance2Axis[r], kAdvanceAxis[r]);
  }
  for (int t = 0; t < 10; ++t)
    for (int r = 0; r < 15; ++r) {
      image.setByte(kAdvance1Cells.at(t, r), kAdvanceRow[r]);
      image.setByte(kAdvance2Cells.at(t, r), kAdvanceRow[r]);
    }
}

void WriteServoDefaults(ParameterImage& image) {
  for (const ParameterDef& d : ScalarParameters())
    if (HasPlainDefault(d) && InServoPart(d)) StoreShown(image, d, d.defaultShown);
  for (int r = 0; r < 15; ++r) image.setWord(kServoAxis[r], kServoRpm[r]);
  for (int t = 0; t < 10; ++t)
    for (int r = 0; r < 15; ++r) image.setByte(kServoCells.at(t, r), kServoMillivolts[r] / 20);
}

}  // namespace

void ApplyPreset(ParameterImage& image) {
  const int type = image[kBikeType];
  if (type == 5) {
    for (const ByteValue& b : kTwinCrank) image.setByte(b.field, b.value);
    return;
  }
  if (type != 0 && type != 2 && type != 3 && type != 4) return;  // special: manual setting
  for (const ByteValue& b : kStandard) image.setByte(b.field, b.value);
  if (type == 2) image.setByte(kIgnitionsPerRev, 2);
  if (type == 3) {
    image.setByte(kIgnitionsPerRev, 3);
    image.setByte(kOutputs, 1);
  }
  if (type == 4) image.setByte(kIgnitionsPerRev, 0);
}

void ApplyDefaults(ParameterImage& image, bool& typeJustChanged) {
  if (!(image[kBikeType] == kBikeSpecial && typeJustChanged)) WriteGeneralDefaults(image);
  WriteServoDefaults(image);
  ApplyPreset(image);
  typeJustChanged = false;
}

ParameterImage NewConfiguration() {
  ParameterImage image;
  image.setByte(kBikeType, 0);
  bool typeJustChanged = false;
  ApplyDefaults(image, typeJustChanged);
  SanitizeImage(image);
  return image;
}

int BikeItemToType(int item) { return item >= 0 && item < 6 ? kBikeTypeOfItem[item] : 1; }

int BikeTypeToItem(int type) {
  for (int i = 0; i < 6; ++i)
    if (kBikeTypeOfItem[i] == type) return i;
  return -1;
}

}  // namespace rq
