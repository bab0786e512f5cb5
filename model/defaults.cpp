#include "model/defaults.h"

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

// General defaults as stored values, in image order (the maps and axes are filled apart).
constexpr int kWords[] = {5800, 6000, 10800, 11000, 700, 4200, 0};  // words 0..6
constexpr int kGearRatios[6] = {2000, 1000, 666, 500, 400, 333};     // words 53..58
constexpr int kGearVolts[7] = {5000, 1797, 2260, 2998, 3662, 4360, 4687};  // words 59..65
constexpr ByteValue kBytes[] = {
    {141, 0},   {142, 0},   {144, 11},  {145, 11},  {154, 0},   {155, 0},   {156, 0},
    {157, 0},   {158, 0},   {159, 0},   {160, 0},   {161, 0},   {163, 1},   {164, 100},
    {165, 0},   {166, 1},   {167, 3},   {168, 5},   {169, 0},   {170, 0},   {171, 0},
    {172, 0},   {173, 6},   {174, 0},   {175, 100}, {176, 0},   {177, 10},  {178, 100},
    {179, 100}, {180, 1},   {635, 1},   {636, 2},   {637, 3},   {638, 4},   {639, 40},
    {640, 90},  {641, 120}, {642, 90},  {643, 95},  {644, 120}, {645, 40},  {646, 120},
    {647, 140}, {648, 40},  {649, 90},  {650, 120}, {651, 10},  {652, 10},  {653, 10},
    {654, 10},  {672, 2},   {673, 2},   {674, 2},   {675, 0},   {676, 6},   {677, 0},
    {678, 3},   {679, 15},  {680, 20},  {681, 40},  {682, 0},   {683, 20},  {684, 20},
    {685, 20},  {686, 20},  {687, 20},  {688, 20},  {689, 0},   {690, 13},  {691, 20},
    {692, 0},   {735, 50},  {736, 50},
};

constexpr ByteValue kStandard[] = {{146, 0}, {148, 1}, {149, 2}, {150, 1}, {151, 1}, {152, 1},
                                   {153, 1}, {156, 1}, {157, 1}, {159, 1}, {161, 1}, {162, 1}};
constexpr ByteValue kTwinCrank[] = {{146, 6}, {148, 4}, {149, 2}, {150, 2}, {151, 2},
                                    {152, 3}, {153, 3}, {154, 1}, {155, 1}, {156, 1},
                                    {157, 1}, {159, 1}, {161, 1}, {162, 1}};

void WriteGeneralDefaults(ParameterImage& image) {
  for (int k = 0; k < 7; ++k) image.setWord(k, kWords[k]);
  for (int r = 0; r < 15; ++r) {
    image.setWord(7 + r, kAdvanceAxis[r]);
    image.setWord(22 + r, kAdvanceAxis[r]);
  }
  image.setWord(52, 1000);
  for (int g = 0; g < 6; ++g) image.setWord(53 + g, kGearRatios[g]);
  for (int g = 0; g < 7; ++g) image.setWord(59 + g, kGearVolts[g]);
  for (const ByteValue& b : kBytes) image.setByte(b.offset, b.value);
  for (int t = 0; t < 10; ++t)
    for (int r = 0; r < 15; ++r) {
      image.setByte(181 + 15 * t + r, kAdvanceRow[r]);
      image.setByte(331 + 15 * t + r, kAdvanceRow[r]);
    }
  for (int n = 0; n < 4; ++n) {
    image.setByte(655 + 2 * n, 75);
    image.setByte(656 + 2 * n, 90);
  }
  for (int i = 693; i <= 734; ++i) image.setByte(i, 100);
}

void WriteServoDefaults(ParameterImage& image) {
  image.setByte(482, 0);
  image.setByte(483, 1);
  image.setByte(484, 100);
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
