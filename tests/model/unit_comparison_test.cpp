// SPDX-License-Identifier: GPL-3.0-or-later
// PC against unit without texts: the fast list of differing entries agrees with the comparison
// the views show, entry for entry, and taking its slots makes two configurations equal.
#include <gtest/gtest.h>

#include <random>

#include "model/configuration_diff.h"
#include "model/defaults.h"
#include "model/unit_comparison.h"

namespace rq {
namespace {

ParameterImage DefaultsWithRandomBytes(std::mt19937& rng) {
  ParameterImage im = NewConfiguration();
  std::uniform_int_distribution<int> byte(0, 255), pick(0, 3);
  for (int i = 0; i < kConfigSize; ++i)
    if (pick(rng) == 0) im.setByte(i, byte(rng));
  return im;
}

void ExpectSameAsComparison(const ParameterImage& a, const ParameterImage& b) {
  const auto fast = DifferingSlots(a, b);
  const auto shown = CompareConfigurations(a, b);
  ASSERT_EQ(fast.size(), shown.size());
  for (std::size_t i = 0; i < fast.size(); ++i) {
    EXPECT_EQ(fast[i].page, shown[i].pageIndex) << shown[i].name;
    EXPECT_EQ(fast[i].slot, shown[i].slot) << shown[i].name;
  }
}

TEST(UnitComparison, AgreesWithTheShownComparisonOnRandomImages) {
  std::mt19937 rng(7);
  for (int round = 0; round < 10; ++round) {
    const ParameterImage a = DefaultsWithRandomBytes(rng), b = DefaultsWithRandomBytes(rng);
    ExpectSameAsComparison(a, b);
    // Taking every differing slot of b (in the listed order) leaves nothing to take.
    ParameterImage pc = a;
    for (const DifferingSlot& d : DifferingSlots(a, b)) TakeSlot(pc, b, d.slot);
    EXPECT_TRUE(DifferingSlots(pc, b).empty());
    EXPECT_TRUE(CompareConfigurations(pc, b).empty());
  }
  const ParameterImage same = DefaultsWithRandomBytes(rng);
  EXPECT_TRUE(DifferingSlots(same, same).empty());
}

TEST(UnitComparison, OneFieldAtATimeIsOneEntryWithItsControl) {
  const ParameterImage base = NewConfiguration();
  int n = 0;
  for (const ParameterDef& d : ScalarParameters()) {
    ParameterImage other = base;
    const int v = ShownValue(base, d);
    StoreShown(other, d, v == d.max ? d.min : v + (d.step > 0 ? d.step : 1));
    if (ShownValue(other, d) == v) continue;
    const auto diff = DifferingSlots(base, other);
    if (n++ % 16 == 0) ExpectSameAsComparison(base, other);  // the texts are slow to build
    // A row sharing its byte with another (none should) would show up as two entries.
    ASSERT_FALSE(diff.empty()) << d.name;
    bool found = false;
    for (const DifferingSlot& s : diff) found |= s.kind == SlotKind::Scalar && s.def == &d;
    EXPECT_TRUE(found) << d.name;
  }
  // One grid bit, one rpm point, one map cell.
  ParameterImage other = base;
  other.setByte(kPowerGrid.first + 3 * 3 + 2, base.byte(kPowerGrid.first + 11) ^ 0x04);
  auto diff = DifferingSlots(base, other);
  ASSERT_EQ(diff.size(), 1u);
  EXPECT_EQ(diff[0].kind, SlotKind::GridBit);
  EXPECT_EQ(diff[0].page, kPagePowerOut2);
  EXPECT_EQ(diff[0].output, 3);
  EXPECT_EQ(diff[0].row, 2);
  EXPECT_EQ(diff[0].column, 2);
  for (const MapDef& m : Maps()) {
    other = base;
    other.setWord(m.axis[4], base[m.axis[4]] + 100);
    other.setByte(m.cells.first + 15 * 7 + 3, base.byte(m.cells.first + 15 * 7 + 3) + 1);
    diff = DifferingSlots(base, other);
    ASSERT_EQ(diff.size(), 2u) << m.name;
    EXPECT_EQ(diff[0].kind, SlotKind::AxisPoint);
    EXPECT_EQ(diff[0].column, 4);
    EXPECT_EQ(diff[1].kind, SlotKind::Cell);
    EXPECT_EQ(diff[1].page, m.page);
    EXPECT_EQ(diff[1].row, 7);
    EXPECT_EQ(diff[1].column, 3);
  }
}

TEST(UnitComparison, ServoMapInAnotherUnitDiffersInEveryCell) {
  const ParameterImage base = NewConfiguration();
  ParameterImage other = base;
  other.setByte(482, base.byte(482) != 0 ? 0 : 1);  // percent against mV, same bytes
  ExpectSameAsComparison(base, other);
  int cells = 0;
  for (const DifferingSlot& s : DifferingSlots(base, other)) cells += s.kind == SlotKind::Cell;
  EXPECT_EQ(cells, kMapRows * kMapColumns);
}

TEST(UnitComparison, TakeSlotCopiesOnlyItsBitsAndStaysInTheConfiguration) {
  ParameterImage to, from;
  to.setByte(663, 0xF0);
  from.setByte(663, 0x0F);
  TakeSlot(to, from, {663, 1, 0x02});
  EXPECT_EQ(to.byte(663), 0xF2);
  TakeSlot(to, from, {10, 2, 0xFF});
  from.setWord(5, 1234);
  TakeSlot(to, from, {10, 2, 0xFF});
  EXPECT_EQ(to.word(5), 1234);
  from.setByte(kIdentOffset, 9);
  TakeSlot(to, from, {kConfigSize - 1, 2, 0xFF});  // never into the identification block
  EXPECT_EQ(to.byte(kIdentOffset), 0);
}

}  // namespace
}  // namespace rq
