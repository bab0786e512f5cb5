// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <set>

#include "model/defaults.h"
#include "model/ign_file.h"
#include "model/parameter_table.h"

namespace rq {
namespace {

// The parameter table and the defaults are written from two different tables; they must
// agree, and every default must lie within its control's range.
TEST(ParameterTable, AgreesWithDefaultsAndRanges) {
  const ParameterImage im = NewConfiguration();
  std::set<int> offsets;
  for (const ParameterDef& d : ScalarParameters()) {
    EXPECT_TRUE(offsets.insert(d.imageOffset()).second) << d.name << " bound twice";
    if (d.defaultShown <= kDefaultPreset) continue;
    EXPECT_EQ(ShownValue(im, d), d.defaultShown) << d.name;
    EXPECT_GE(d.defaultShown, d.min) << d.name;
    EXPECT_LE(d.defaultShown, d.max) << d.name;
  }
  EXPECT_EQ(offsets.size(), ScalarParameters().size());
}

TEST(ParameterTable, StoringShownValuesUsesStepAndBias) {
  ParameterImage im;
  for (const ParameterDef& d : ScalarParameters()) {
    StoreShown(im, d, d.max);
    EXPECT_EQ(ShownValue(im, d), d.at.isWord() ? d.max : d.max / d.step * d.step)
        << d.name;
    StoreShown(im, d, d.min);
    EXPECT_EQ(ShownValue(im, d), d.min) << d.name;
  }
  // A few stored values the pages rely on.
  auto find = [](const char* control) -> const ParameterDef& {
    for (const ParameterDef& d : ScalarParameters())
      if (std::string(d.control) == control) return d;
    throw std::runtime_error(control);
  };
  StoreShown(im, find("UpDownRpmKorekce"), 60);
  EXPECT_EQ(im[kTachoCorrection], 160);
  StoreShown(im, find("UpDownClutchMinRpm"), 2000);
  EXPECT_EQ(im[kClutchMinRpm], 20);
  StoreShown(im, find("UpDownGearKorAdv1"), -20);
  EXPECT_EQ(im[kGearAdvanceCorrection[0]], 80);
  StoreShown(im, find("UpDownTestRpm"), 12300);
  EXPECT_EQ(im[kTachoTestRpm], 123);
}

}  // namespace
}  // namespace rq
