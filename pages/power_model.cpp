// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/power_model.h"

namespace rq {

namespace {

constexpr PowerGrid kPilotLight = {{{false, false, true, true},
                                    {false, true, true, true},
                                    {false, true, true, true}}};
constexpr PowerGrid kPowerJet = {{{false, true, true, true},
                                  {false, false, true, true},
                                  {false, false, true, true}}};

}  // namespace

const PowerGrid* ForcedPowerGrid(int mode) {
  if (mode == 2) return &kPilotLight;
  if (mode == 3) return &kPowerJet;
  return nullptr;
}

int PowerRowByte(const std::array<bool, 4>& row) {
  int b = 0;
  for (int j = 0; j < 4; ++j)
    if (row[std::size_t(j)]) b |= 1 << j;
  return b;
}

void ApplyPowerOutMode(ParameterImage& image, int output, int mode) {
  if (output >= 0 && output < kPowerOutputs) image.setByte(kPowerMode[output], mode);
  for (int n = 0; n < kPowerOutputs; ++n) {
    const int m = image[kPowerMode[n]];
    if (m == 2) image.setByte(kPowerRpm.at(n, 0), 90);
    if (m == 3 || m == 4) {
      image.setByte(kPowerRpm.at(n, 0), 40);
      image.setByte(kPowerRpm.at(n, 1), 125);
      image.setByte(kPowerRpm.at(n, 2), 140);
      image.setByte(kPowerThrottle.at(n, 0), 75);
      image.setByte(kPowerThrottle.at(n, 1), 90);
    }
    if (const PowerGrid* g = ForcedPowerGrid(m))
      for (int k = 0; k < 3; ++k)
        image.setByte(kPowerGrid.at(n, k), PowerRowByte((*g)[std::size_t(k)]));
  }
}

PowerOutLayout PowerOutLayoutOf(int m) {
  PowerOutLayout l;
  l.group = m >= 2;
  l.rpm = {true, m >= 2, m >= 4};
  l.tpsLabel = m >= 3;
  l.tps = {m >= 3, m >= 4};
  l.box[0] = {m >= 2, m >= 2, m >= 2, m >= 4};
  l.box[1] = {m >= 3, m >= 2, m >= 3, m >= 4};
  l.box[2] = {m >= 4, m >= 4, m >= 4, m >= 4};
  l.boxesEnabled = m == 4;
  return l;
}

}  // namespace rq
