// SPDX-License-Identifier: GPL-3.0-or-later
// The power-output pages in the window: the grid bits through the boxes, the mode presets and
// the fixed patterns as undo steps, the layout by mode.
#include <QCheckBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "pages/page_set.h"
#include "support.h"

namespace rq::test {
namespace {

class PowerPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    w_ = std::make_unique<Window>(QStringList{}, std::string("/nonexistent/tty"));
    form().show();
    form().findChild<QTabWidget*>("PageControl1")->setCurrentIndex(kPagePowerOut1);
  }
  FormHlavPeer& form() { return *w_->form; }
  ParameterImage& image() { return form().image(); }
  QCheckBox* box(int out, int k, int j) {
    return form().findChild<QCheckBox*>(QString("CheckBoxPOut%1_%2_%3").arg(out + 1).arg(k + 1).arg(j + 1));
  }
  QRadioButton* mode(int out, int item) {
    return form().findChild<QRadioButton*>(QString("RadioGroupPOut%1_%2").arg(out + 1).arg(item));
  }

  TempConfig cfg_;
  std::unique_ptr<Window> w_;
};

TEST_F(PowerPageTest, EveryGridBitRoundTripsThroughItsBox) {
  for (int n = 0; n < 4; ++n) image().setByte(635 + n, 4);
  for (int k = 0; k < 12; ++k) image().setByte(663 + k, 0);
  form().AfterChange();
  for (int n = 0; n < 4; ++n)
    for (int k = 0; k < 3; ++k)
      for (int j = 0; j < 4; ++j) {
        QCheckBox* b = box(n, k, j);
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(b->isEnabled());
        b->click();
        EXPECT_EQ(image().byte(663 + 3 * n + k), 1 << j) << n << k << j;
        b->click();
        EXPECT_EQ(image().byte(663 + 3 * n + k), 0) << n << k << j;
      }
  // A row with all four bits shows four ticks; clearing one stores the byte without it.
  image().setByte(kPowerGrid.at(0, 1), 0x0F);
  form().AfterChange();
  for (int j = 0; j < 4; ++j) EXPECT_TRUE(box(0, 1, j)->isChecked());
  box(0, 1, 2)->click();
  EXPECT_EQ(image()[kPowerGrid.at(0, 1)], 0x0B);
  EXPECT_EQ(image()[kPowerGrid.at(0, 0)], 0);
}

TEST_F(PowerPageTest, ALoadedGridIsStoredAsItsPageShowsItAtTheNextReadBack) {
  // A file whose grid bytes differ from what the modes show: output 1 in "Pilot light" with
  // an empty grid, output 2 in "Power jet Honda" with all bits, output 3 free with high bits.
  ParameterImage im = form().image();
  im.setByte(635, 2);
  im.setByte(636, 3);
  im.setByte(637, 4);
  im.setByte(638, 0);
  for (int k = 0; k < 3; ++k) {
    im.setByte(663 + k, 0);
    im.setByte(666 + k, 0xFF);
    im.setByte(669 + k, 0xF5);
  }
  image() = im;
  form().RefreshPages();
  // The page shows the patterns; the first edit of the page stores them with it.
  EXPECT_TRUE(box(0, 0, 2)->isChecked());
  auto* hyst = form().findChild<QSpinBox*>("EditPOutHyst1");
  ASSERT_NE(hyst, nullptr);
  hyst->setFocus();
  hyst->selectAll();
  QTest::keyClicks(hyst, "200");
  QTest::keyClick(hyst, Qt::Key_Return);
  EXPECT_EQ(image().byte(651), 20);
  const int pilot[3] = {0x0C, 0x0E, 0x0E}, jet[3] = {0x0E, 0x0C, 0x0C};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(image().byte(663 + k), pilot[k]) << k;
    EXPECT_EQ(image().byte(666 + k), jet[k]) << k;
    EXPECT_EQ(image().byte(669 + k), 0x05) << k;  // the free setting: its four boxes only
  }
  // What every box shows is its bit.
  for (int n = 0; n < 3; ++n)
    for (int k = 0; k < 3; ++k)
      for (int j = 0; j < 4; ++j)
        EXPECT_EQ(box(n, k, j)->isChecked(), ((image().byte(663 + 3 * n + k) >> j) & 1) != 0)
            << n << k << j;
}

TEST_F(PowerPageTest, ModeClickPresetsEveryOutputAndStoresThePatternAsOneUndoStep) {
  image().setByte(635 + 2, 4);  // output 3: special setting
  image().setByte(639 + 6, 10);
  image().setByte(655 + 4, 5);
  image().setByte(kPowerMode[0], 1);
  for (int k = 0; k < 3; ++k) image().setByte(663 + k, 0);
  form().AfterChange();
  const ParameterImage before = image();
  mode(0, 2)->click();  // output 1: pilot light
  EXPECT_EQ(image()[kPowerMode[0]], 2);
  EXPECT_EQ(image()[kPowerRpm.at(0, 0)], 90);
  EXPECT_EQ(image().byte(639 + 6), 40);
  EXPECT_EQ(image().byte(639 + 7), 125);
  EXPECT_EQ(image().byte(639 + 8), 140);
  EXPECT_EQ(image().byte(655 + 4), 75);
  EXPECT_EQ(image().byte(655 + 5), 90);
  // The forced pattern is in the bytes, not only in the boxes.
  EXPECT_EQ(image()[kPowerGrid.at(0, 0)], 0b1100);
  EXPECT_EQ(image()[kPowerGrid.at(0, 1)], 0b1110);
  EXPECT_EQ(image()[kPowerGrid.at(0, 2)], 0b1110);
  EXPECT_TRUE(box(0, 0, 3)->isChecked());
  EXPECT_EQ(form().findChild<QWidget*>("EditPOutRpm1_1")->property("value").toInt(), 9000);
  // Mode 2: two rpm edits and four boxes, all disabled.
  EXPECT_TRUE(form().findChild<QWidget*>("GroupBoxPOutMap1")->isVisible());
  EXPECT_TRUE(form().findChild<QWidget*>("EditPOutRpm1_2")->isVisible());
  EXPECT_FALSE(form().findChild<QWidget*>("EditPOutRpm1_3")->isVisible());
  EXPECT_FALSE(form().findChild<QWidget*>("EditPOutTps1_1")->isVisible());
  int shown = 0;
  for (int k = 0; k < 3; ++k)
    for (int j = 0; j < 4; ++j)
      if (box(0, k, j)->isVisible()) {
        ++shown;
        EXPECT_FALSE(box(0, k, j)->isEnabled());
      }
  EXPECT_EQ(shown, 4);
  // One undo step takes all of it back.
  form().SpeedButtonZpetClick();
  EXPECT_EQ(image(), before);
  // Fuel pump and off hide the whole setting group.
  mode(0, 1)->click();
  EXPECT_FALSE(form().findChild<QWidget*>("GroupBoxPOutMap1")->isVisible());
  mode(0, 0)->click();
  EXPECT_FALSE(form().findChild<QWidget*>("GroupBoxPOutMap1")->isVisible());
}

}  // namespace
}  // namespace rq::test
