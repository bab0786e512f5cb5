// SPDX-License-Identifier: GPL-3.0-or-later
// PC against unit on the pages: the state label and a mark on every field, grid box and map
// cell whose value differs from what the unit holds, against a real workspace.
#include <QLabel>

#include <gtest/gtest.h>

#include "compare/compare_view.h"
#include "compare/verify_differences.h"
#include "fake_window.h"
#include "model/parameter_table.h"
#include "model/unit_comparison.h"
#include "pages/controls.h"
#include "ui/unit_texts.h"
#include "unitsync/unit_sync.h"

namespace rq::test {
namespace {


class UnitSyncFeature : public ::testing::Test {
 protected:
  UnitSyncFeature() {
    compare_ = new CompareView(w_.workspace(), w_);
    unitRead_ = new VerifyDifferences(w_.workspace(), w_, *compare_);
    sync_ = new UnitSync(w_.workspace(), w_, w_.pages(), *compare_, *unitRead_);
  }
  QString state() const { return sync_->stateLabel()->text(); }
  QWidget* named(const QString& name) { return w_.findChild<QWidget*>(name); }

  FakeWindow w_;
  CompareView* compare_;
  VerifyDifferences* unitRead_;
  UnitSync* sync_;
};

TEST_F(UnitSyncFeature, EveryFieldGridBoxAndMapCellIsMarkedAloneWhenItAloneDiffers) {
  EXPECT_EQ(state(), UnitTextQ(UtNotRead));
  const ParameterImage unit = w_.image();
  w_.workspace().unitRead(unit);
  EXPECT_EQ(state(), UnitTextQ(UtEqual));
  EXPECT_EQ(sync_->markCount(), 0);
  int checked = 0;
  for (const ParameterDef& d : ScalarParameters()) {
    w_.image() = unit;
    const int v = ShownValue(unit, d);
    StoreShown(w_.image(), d, v == d.max ? d.min : v + (d.step > 0 ? d.step : 1));
    if (ShownValue(w_.image(), d) == v) continue;
    w_.showPage(d.page);
    QWidget* control = named(d.control);
    ASSERT_NE(control, nullptr) << d.control;
    if (auto* updown = qobject_cast<UpDown*>(control)) control = updown->edit();
    EXPECT_TRUE(sync_->marked(control)) << d.name;
    // Other fields may follow through the gear coupling; each difference has its mark.
    EXPECT_EQ(sync_->differenceCount(), int(DifferingSlots(w_.image(), unit).size())) << d.name;
    EXPECT_GE(sync_->markCount(), 1) << d.name;
    if (sync_->differenceCount() == 1) {
      EXPECT_EQ(sync_->markCount(), 1) << d.name;
      EXPECT_EQ(state(), UnitTextQ(UtDifferOne)) << d.name;
    }
    ++checked;
  }
  EXPECT_GT(checked, 100);
  // Every box of the power-output grids.
  for (int n = 0; n < 4; ++n)
    for (int k = 0; k < 3; ++k)
      for (int c = 0; c < 4; ++c) {
        w_.image() = unit;
        const int off = kPowerGrid.first + 3 * n + k;
        w_.image().setByte(off, unit.byte(off) ^ (1 << c));
        w_.showPage(n < 3 ? kPagePowerOut1 : kPagePowerOut2);
        EXPECT_TRUE(sync_->marked(named(QString("CheckBoxPOut%1_%2_%3").arg(n + 1).arg(k + 1).arg(c + 1))))
            << n << k << c;
        EXPECT_EQ(sync_->markCount(), 1);
      }
  // One rpm point and one cell of each map: marked on its own page only.
  for (const MapDef& m : Maps()) {
    w_.image() = unit;
    w_.image().setByte(m.cells.first + 15 * 6 + 9, unit.byte(m.cells.first + 15 * 6 + 9) + 1);
    w_.image().setWord(m.axis[9], unit[m.axis[9]] + 10);
    w_.showPage(m.page);
    EXPECT_TRUE(sync_->marked(named("EditMap6_9"))) << m.name;
    EXPECT_TRUE(sync_->marked(named("EditMapRpm9"))) << m.name;
    EXPECT_EQ(sync_->markCount(), 2);
    EXPECT_EQ(state(), UnitTextQ(UtDifferMany).arg(2));
    w_.showPage(m.page == kPageAdvance1 ? kPageAdvance2 : kPageAdvance1);
    EXPECT_EQ(sync_->markCount(), 0) << m.name;
  }
  // Equal again: every mark goes.
  w_.image() = unit;
  w_.RefreshPages();
  EXPECT_EQ(sync_->markCount(), 0);
  EXPECT_EQ(state(), UnitTextQ(UtEqual));
}

TEST_F(UnitSyncFeature, StatusSpeaksEveryLanguageFollowsUndoAndIsComputedOncePerEdit) {
  const ParameterImage unit = w_.image();
  w_.workspace().unitRead(unit);
  w_.showPage(kPageInputs);
  const int runs = w_.workspace().differenceRuns();
  w_.findChild<SpinEdit*>("EditHardLimiter")->stepBy(1);
  EXPECT_EQ(w_.workspace().differenceRuns(), runs + 1);
  EXPECT_EQ(state(), UnitTextQ(UtDifferOne));
  EXPECT_TRUE(sync_->marked(named("EditHardLimiter")));
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    w_.workspace().setLanguage(lang);
    EXPECT_EQ(state(), UnitTextQ(UtDifferOne, lang));
  }
  w_.workspace().setLanguage(kLanguageEnglish);
  EXPECT_GE(w_.workspace().undo(), 0);
  EXPECT_EQ(state(), UnitTextQ(UtEqual));
  EXPECT_EQ(sync_->markCount(), 0);
  w_.workspace().redo();
  EXPECT_EQ(sync_->markCount(), 1);
}

// Differences to unit: the unit is read into a copy; neither side changes, and the view lists
// what differs.
TEST_F(UnitSyncFeature, ALabelClickReadsAnUnknownUnitIntoACopyAndShowsTheComparison) {
  w_.unit().image.setWord(3, w_.unit().image.word(3) + 100);
  const ParameterImage pc = w_.image();
  const ParameterImage unitBefore = w_.unit().image;
  ASSERT_TRUE(w_.runUntilIdle());
  sync_->LabelUnitStateClick();
  EXPECT_TRUE(unitRead_->reading());
  ASSERT_TRUE(w_.runUntilIdle());
  EXPECT_FALSE(unitRead_->reading());
  EXPECT_TRUE(w_.image().sameConfig(pc));
  EXPECT_TRUE(w_.unit().image.sameConfig(unitBefore));
  EXPECT_EQ(state(), UnitTextQ(UtDifferOne));
  ASSERT_NE(compare_->view(), nullptr);
  EXPECT_TRUE(compare_->showsUnit());
  EXPECT_EQ(compare_->differences().size(), 1u);
}

// A unit that stops answering may come back as another unit: what it holds is unknown until
// a read or a verify.
TEST_F(UnitSyncFeature, ALostLinkMakesTheUnitUnknownUntilAVerify) {
  ASSERT_TRUE(w_.runUntilIdle());
  for (int i = 0; i < 20 && !w_.workspace().connected(); ++i) w_.tick();
  w_.workspace().startVerify();
  ASSERT_TRUE(w_.runUntilIdle());
  EXPECT_EQ(state(), UnitTextQ(UtEqual));
  w_.unit().silent = true;
  for (int i = 0; i < 40 && w_.workspace().connected(); ++i) w_.tick();
  ASSERT_FALSE(w_.workspace().connected());
  EXPECT_EQ(state(), UnitTextQ(UtUnknown));
  w_.unit().silent = false;
  w_.unit().image.setWord(3, w_.unit().image.word(3) + 100);  // another unit came back
  for (int i = 0; i < 200 && !w_.workspace().connected(); ++i) w_.tick();
  EXPECT_EQ(state(), UnitTextQ(UtUnknown));
  w_.workspace().startVerify();
  ASSERT_TRUE(w_.runUntilIdle());
  EXPECT_EQ(state(), UnitTextQ(UtUnknown));  // it holds something else: a read tells what
}

}  // namespace
}  // namespace rq::test
