// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/defaults.h"

#include "model/parameter_table.h"

namespace rq {

namespace {

constexpr int kAdvanceAxis[15] = {2000, 2150, 2200, 3000, 3500, 4000, 5000, 6000,
                                  7000, 9700, 9800, 10000, 10800, 11000, 15000};
constexpr int kAdvanceRow[15] = {8, 8, 8, 12, 20, 23, 28, 33, 35, 35, 0, 0, 0, 0, 0};
constexpr int kServoAxis[15] = {1000, 2000, 3000, 4000, 6000, 7000, 8000, 9000,
                                10000, 11000, 12000, 13000, 14000, 15000, 16000};
constexpr int kServoMillivolts[15] = {2000, 2100, 2200, 2300, 2400, 2450, 2500, 2550,
                                      2600, 2650, 2700, 2750, 2800, 2850, 2900};

struct ByteValue {
  int offset;
  int value;
};

// The servo part of the configuration: bytes 482..634 and the servo rpm axis (words 37..51).
bool InServoPart(const ParameterDef& d) {
  if (d.storage == Storage::Word) return d.index >= 37 && d.index <= 51;
  return d.index >= 482 && d.index <= 634;
}

bool HasPlainDefault(const ParameterDef& d) {
  return d.defaultShown != kDefaultPreset && d.defaultShown != kDefaultNotSet &&
         d.defaultShown != kDefaultMap;
}

constexpr ByteValue kStandard[] = {{146, 0}, {148, 1}, {149, 2}, {150, 1}, {151, 1}, {152, 1},
                                   {153, 1}, {156, 1}, {157, 1}, {159, 1}, {161, 1}, {162, 1}};
constexpr ByteValue kTwinCrank[] = {{146, 6}, {148, 4}, {149, 2}, {150, 2}, {151, 2},
                                    {152, 3}, {153, 3}, {154, 1}, {155, 1}, {156, 1},
                                    {157, 1}, {159, 1}, {161, 1}, {162, 1}};

void WriteGeneralDefaults(ParameterImage& image) {
  // Every parameter with a default of its own, as the parameter table gives it; the type itself
  // and the servo part are not general defaults.
  for (const ParameterDef& d : ScalarParameters())
    if (HasPlainDefault(d) && !InServoPart(d) && d.imageOffset() != kBikeTypeByte)
      StoreShown(image, d, d.defaultShown);
  // The edge and pick-up flags are cleared before the preset sets its own.
  for (int b = 154; b <= 161; ++b) image.setByte(b, 0);
  // Power output 4's on/off grid: rpm band 1 in every throttle band.
  for (int b = 672; b <= 674; ++b) image.setByte(b, 2);
  for (int r = 0; r < 15; ++r) {
    image.setWord(7 + r, kAdvanceAxis[r]);
    image.setWord(22 + r, kAdvanceAxis[r]);
  }
  for (int t = 0; t < 10; ++t)
    for (int r = 0; r < 15; ++r) {
      image.setByte(181 + 15 * t + r, kAdvanceRow[r]);
      image.setByte(331 + 15 * t + r, kAdvanceRow[r]);
    }
}

void WriteServoDefaults(ParameterImage& image) {
  for (const ParameterDef& d : ScalarParameters())
    if (HasPlainDefault(d) && InServoPart(d)) StoreShown(image, d, d.defaultShown);
  for (int r = 0; r < 15; ++r) image.setWord(37 + r, kServoAxis[r]);
  for (int t = 0; t < 10; ++t)
    for (int r = 0; r < 15; ++r) image.setByte(485 + 15 * t + r, kServoMillivolts[r] / 20);
}

}  // namespace

void ApplyPreset(ParameterImage& image) {
  const int type = image.byte(kBikeTypeByte);
  if (type == 5) {
    for (const ByteValue& b : kTwinCrank) image.setByte(b.offset, b.value);
    return;
  }
  if (type != 0 && type != 2 && type != 3 && type != 4) return;  // special: manual setting
  for (const ByteValue& b : kStandard) image.setByte(b.offset, b.value);
  if (type == 2) image.setByte(162, 2);
  if (type == 3) {
    image.setByte(162, 3);
    image.setByte(149, 1);
  }
  if (type == 4) image.setByte(162, 0);
}

void ApplyDefaults(ParameterImage& image, bool& typeJustChanged) {
  if (!(image.byte(kBikeTypeByte) == kBikeSpecial && typeJustChanged)) WriteGeneralDefaults(image);
  WriteServoDefaults(image);
  ApplyPreset(image);
  typeJustChanged = false;
}

ParameterImage NewConfiguration() {
  ParameterImage image;
  image.setByte(kBikeTypeByte, 0);
  bool typeJustChanged = false;
  ApplyDefaults(image, typeJustChanged);
  SanitizeImage(image);
  return image;
}

namespace {
constexpr int kItemToType[6] = {0, 2, 3, 4, 5, 1};
}

int BikeItemToType(int item) { return item >= 0 && item < 6 ? kItemToType[item] : 1; }

int BikeTypeToItem(int type) {
  for (int i = 0; i < 6; ++i)
    if (kItemToType[i] == type) return i;
  return -1;
}

}  // namespace rq
