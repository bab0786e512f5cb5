// SPDX-License-Identifier: GPL-3.0-or-later
// The map pages in the window: every cell, rpm point and bar control through the user's path,
// refresh and read-back over random images, the servo percent switch, the live cell over a
// pseudo-terminal, and the tuning and selection tools.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <random>

#include "pages/map_pages.h"
#include "pages/page_set.h"
#include "support.h"

namespace rq::test {
namespace {

const QColor kLime(0, 255, 0);

class MapPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cfg_.writeSettings(PortsSection(pty_.slave()));
    w_ = std::make_unique<Window>();
    form().show();
    // A known starting point: every map over rpm and throttle, the servo enabled, raw units.
    image().setByte(kMapsUseThrottle, 1);
    image().setByte(kServoEnable, 1);
    image().setByte(kServoPercent, 0);
    image().setByte(kServoMode, 0);
    form().AfterChange();
  }
  FormHlavPeer& form() { return *w_->form; }
  ParameterImage& image() { return form().image(); }
  MapPages& maps() { return *dynamic_cast<MapPages*>(form().pageSet().module(kPageAdvance1)); }
  void show(int page) { form().findChild<QTabWidget*>("PageControl1")->setCurrentIndex(page); }
  template <class T = QWidget>
  T* find(const QString& name) {
    T* w = form().findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
  }
  // Types a value and presses Enter, as the user does.
  static void Type(QAbstractSpinBox* e, int value) {
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, QString::number(value));
    QTest::keyClick(e, Qt::Key_Return);
  }
  // The configuration the edit must leave: the expected bytes after the consistency pass.
  void expectConfig(ParameterImage expected, const std::string& what) {
    SanitizeImage(expected);
    ASSERT_TRUE(std::equal(expected.bytes.begin(), expected.bytes.begin() + kConfigSize,
                           image().bytes.begin()))
        << what;
  }
  bool deliver(const MonitorSnapshot& s) {
    pty_.write(EncodeMonitor(s));
    return TickUntil(form(), [&] { return form().exchange().lastMonitor() == s; }, 2000, &pty_);
  }
  void connect() {
    ASSERT_TRUE(deliver(UnitReply({.rpm = 1})));
    ASSERT_TRUE(TickUntil(form(), [&] { return form().exchange().connected(); }));
  }
  // A reply with engine speed, throttle (tenths of a percent) and the 2nd-map flag, then the
  // live marking of the page shown.
  void live(int rpm, int throttle, bool secondMap = false) {
    ASSERT_TRUE(deliver(UnitReply({.rpm = static_cast<std::uint16_t>(rpm),
                                   .throttle = static_cast<std::uint16_t>(throttle),
                                   .secondMap = secondMap})));
    form().pageSet().markLive(form().currentPage());
  }
  static QColor base(QWidget* w) { return w->palette().color(QPalette::Base); }
  int limeCells() {
    int n = 0;
    for (int r = 0; r < 10; ++r)
      for (int c = 0; c < 15; ++c) n += base(maps().grid().cell(r, c)) == kLime;
    return n;
  }

  TempConfig cfg_;
  Pty pty_;
  std::unique_ptr<Window> w_;
};

// Every cell and rpm point of one map page typed at its maximum and at 0.
struct MapUnderEdit {
  int page;
  WordArray axis;
  ByteGrid cells;
  int maxShown, maxByte;
};

class MapCellsTest : public MapPageTest, public ::testing::WithParamInterface<MapUnderEdit> {};

TEST_P(MapCellsTest, EveryCellAndRpmPointEditsItsByteAtMinimumAndMaximum) {
  const MapUnderEdit m = GetParam();
  show(m.page);
  for (int r = 0; r < 10; ++r) {
    for (int c = 0; c < 15; ++c) {
      auto* e = maps().grid().cell(r, c);
      ASSERT_EQ(e->objectName(), QString("EditMap%1_%2").arg(r).arg(c));
      for (const auto& [shown, byte] : {std::pair{m.maxShown, m.maxByte}, std::pair{0, 0}}) {
        ParameterImage expected = image();
        expected.setByte(m.cells.at(r, c), byte);
        Type(e, shown);
        expectConfig(expected, "cell " + std::to_string(r) + "," + std::to_string(c));
      }
    }
  }
  for (int c = 0; c < 15; ++c) {
    for (int rpm : {25000, 300}) {
      ParameterImage expected = image();
      expected.setWord(m.axis[c], rpm);
      Type(maps().grid().rpmEdit(c), rpm);
      expectConfig(expected, "rpm point " + std::to_string(c));
    }
  }
  if (m.page == kPageServo) {
    // Percent mode: 100 % is byte 100.
    image().setByte(kServoPercent, 1);
    form().AfterChange();
    Type(maps().grid().cell(3, 4), 100);
    EXPECT_EQ(image().byte(485 + 15 * 3 + 4), 100);
  }
}

std::string MapName(const ::testing::TestParamInfo<MapUnderEdit>& p) {
  return p.param.page == kPageAdvance1 ? "Advance1" : p.param.page == kPageAdvance2 ? "Advance2" : "Servo";
}

INSTANTIATE_TEST_SUITE_P(Maps, MapCellsTest,
                         ::testing::Values(
                             MapUnderEdit{kPageAdvance1, kAdvance1Axis, kAdvance1Cells, 60, 60},
                             MapUnderEdit{kPageAdvance2, kAdvance2Axis, kAdvance2Cells, 60, 60},
                             MapUnderEdit{kPageServo, kServoAxis, kServoCells, 5000, 250}),
                         MapName);

TEST_F(MapPageTest, BarControlsEditTheirBytesOnEachPage) {
  show(kPageAdvance2);
  struct Case {
    const char* edit;
    int shown, offset, byte;
  };
  for (const Case& c : {Case{"EditBaseAdvance", 30, 177, 30}, Case{"EditBaseAdvance", 0, 177, 0},
                        Case{"EditCorrection1", -30, 178, 70}, Case{"EditCorrection1", 30, 178, 130},
                        Case{"EditCorrection2", -30, 179, 70}, Case{"EditCorrection2", 30, 179, 130}}) {
    Type(find<SpinEdit>(c.edit), c.shown);
    EXPECT_EQ(image().byte(c.offset), c.byte) << c.edit << " " << c.shown;
  }
  auto* tps = find<QCheckBox>("CheckBoxMapTps");
  EXPECT_EQ(tps->text(), "TPS");
  tps->click();
  EXPECT_EQ(image()[kMapsUseThrottle], 0);
  EXPECT_EQ(image()[kServoEnable], 1);
  // Over rpm only: row 9 stands at the top and no column buttons are shown.
  EXPECT_FALSE(maps().grid().cell(0, 3)->isVisible());
  EXPECT_TRUE(maps().grid().cell(9, 3)->isVisible());
  EXPECT_EQ(maps().grid().cell(9, 3)->y(), maps().grid().cell(0, 0)->y() - 1);
  EXPECT_FALSE(maps().grid().columnButton(0)->isVisible());
  tps->click();
  EXPECT_EQ(image()[kMapsUseThrottle], 1);

  show(kPageServo);
  EXPECT_EQ(tps->text(), "Servo enable");
  // The box's hint follows the page it stands on, also through a change of language.
  auto hint = [](int language, UiText id) { return QString::fromUtf8(UiMessage(language, id)); };
  EXPECT_EQ(tps->toolTip(), hint(kLanguageEnglish, UiText::ServoEnableHint));
  form().MenuGermanClick();
  EXPECT_EQ(tps->statusTip(), hint(kLanguageGerman, UiText::ServoEnableHint));
  show(kPageAdvance2);
  EXPECT_EQ(tps->statusTip(), hint(kLanguageGerman, UiText::MapTpsHint));
  form().MenuEnglishClick();
  EXPECT_EQ(tps->toolTip(), hint(kLanguageEnglish, UiText::MapTpsHint));
  show(kPageServo);
  EXPECT_FALSE(find<QWidget>("EditBaseAdvance")->isVisible());
  Type(find<SpinEdit>("EditServoHysteresis"), 1250);
  EXPECT_EQ(image()[kServoHysteresis], 250);
  Type(find<SpinEdit>("EditServoHysteresis"), 0);
  EXPECT_EQ(image()[kServoHysteresis], 0);
  for (int item : {2, 1, 0}) {
    find<QRadioButton>(QString("RadioGroupServoMode_%1").arg(item))->click();
    EXPECT_EQ(image()[kServoMode], item);
  }
  // Throttle only: column 0 and the row labels, no rpm points.
  find<QRadioButton>("RadioGroupServoMode_2")->click();
  EXPECT_TRUE(maps().grid().cell(4, 0)->isVisible());
  EXPECT_FALSE(maps().grid().cell(4, 1)->isVisible());
  EXPECT_FALSE(maps().grid().rpmEdit(0)->isVisible());
  EXPECT_TRUE(maps().grid().rowLabel(4)->isVisible());
  // Disabling the servo hides the grid and keeps the bar.
  tps->click();
  EXPECT_EQ(image()[kServoEnable], 0);
  EXPECT_FALSE(find<QWidget>("GroupBoxMap")->isVisible());
  EXPECT_TRUE(find<QWidget>("GroupBoxMapBar")->isVisible());
  EXPECT_TRUE(tps->isVisible());
  tps->click();
  EXPECT_TRUE(find<QWidget>("GroupBoxMap")->isVisible());
}

TEST_F(MapPageTest, PercentSwitchConvertsTheServoMapOnceAndClampsOnTheWayBack) {
  show(kPageServo);
  const int cells = 485;
  image().setByte(cells + 0, 250);
  image().setByte(cells + 1, 2);
  image().setByte(cells + 2, 1);
  image().setByte(cells + 3, 0);
  form().AfterChange();
  EXPECT_EQ(maps().grid().cell(0, 0)->text(), "5,000");
  find<QCheckBox>("CheckBoxMapPercent")->click();
  EXPECT_EQ(image()[kServoPercent], 1);
  EXPECT_EQ(image().byte(cells + 0), 100);
  EXPECT_EQ(image().byte(cells + 1), 1);
  EXPECT_EQ(image().byte(cells + 2), 0);
  EXPECT_EQ(maps().grid().cell(0, 0)->text(), "100");
  // A percent cell raised above 100 by the tools (103) must not wrap to 1 on the way back.
  image().setByte(cells + 3, 103);
  form().AfterChange();
  find<QCheckBox>("CheckBoxMapPercent")->click();
  EXPECT_EQ(image()[kServoPercent], 0);
  EXPECT_EQ(image().byte(cells + 0), 250);
  EXPECT_EQ(image().byte(cells + 1), 2);
  EXPECT_EQ(image().byte(cells + 3), 255);
  // Shown as it is (5100), not clamped to 5000.
  EXPECT_EQ(maps().grid().cell(0, 3)->value(), 5100);
}

TEST_F(MapPageTest, RefreshAndReadBackOfRandomImagesStoreWhatIsShown) {
  std::mt19937 rng(79);
  std::uniform_int_distribution<int> byte(0, 255);
  const int images = SweepImages(30);
  for (int i = 0; i < images; ++i) {
    ParameterImage im;
    for (int k = 0; k < kConfigSize; ++k) im.setByte(k, byte(rng));
    for (int page = kPageAdvance1; page <= kPagePowerOut2; ++page) {
      image() = im;
      form().pageSet().refresh(page);
      form().pageSet().applyRules(page);
      // A refresh writes nothing (the gear coupling is the workspace's pass).
      const ParameterImage expected = ReadBackExpected(form(), im, page);
      form().pageSet().readBack(page, image());
      ASSERT_EQ(image(), expected) << "image " << i << " page " << page;
    }
  }
}

TEST_F(MapPageTest, LiveCellFollowsTheReplyAndTheMapInUse) {
  maps().setTrailShown(true);  // the trail is an option, off by default
  for (int c = 0; c < 15; ++c) image().setWord(7 + c, 1000 + 1000 * c);
  form().AfterChange();
  show(kPageAdvance1);
  EXPECT_EQ(limeCells(), 0);  // nothing without a unit
  connect();
  live(2500, 35);  // midpoint of 2000 and 3000; 3.5 % between 2 % and 5 %
  EXPECT_EQ(base(maps().grid().cell(2, 2)), kLime);
  EXPECT_EQ(limeCells(), 1);
  EXPECT_EQ(base(maps().grid().rpmEdit(2)), kLime);
  EXPECT_NE(base(maps().grid().rpmEdit(1)), kLime);
  EXPECT_TRUE(maps().grid().rowLabel(2)->autoFillBackground());
  // The unit runs on map 2: no cell on map 1.
  live(2500, 35, true);
  EXPECT_EQ(limeCells(), 0);
  // Engine stopped: no column on the advance map.
  live(0, 0);
  EXPECT_EQ(limeCells(), 0);
  EXPECT_NE(base(maps().grid().rpmEdit(2)), kLime);
  live(14000, 1000);
  EXPECT_EQ(base(maps().grid().cell(9, 13)), kLime);
  // The cells the engine passed through fade out behind it, in orange: far from the lime.
  const QColor trail = base(maps().grid().cell(2, 2));
  EXPECT_NE(trail, kLime);
  EXPECT_GT(trail.red(), trail.green());
  EXPECT_GT(trail.green(), trail.blue());
}

TEST_F(MapPageTest, PlusMinusActOnTheLiveCellOnlyWithAUnitAndOnTheMapShown) {
  show(kPageAdvance1);
  for (int i = 0; i < 150; ++i) image().setByte(181 + i, 20);
  image().setByte(181 + 15 * 0 + 14, 60);
  for (int c = 0; c < 15; ++c) image().setWord(7 + c, 1000 + 1000 * c);
  form().AfterChange();
  QAction* plus = find<QAction>("MenuToolsPlus");
  QAction* minus = find<QAction>("MenuToolsMinus");
  ParameterImage before = image();
  plus->trigger();  // no unit: nothing
  EXPECT_EQ(image(), before);
  connect();
  live(3000, 0);
  plus->trigger();
  EXPECT_EQ(image().byte(181 + 2), 21);
  minus->trigger();
  minus->trigger();
  EXPECT_EQ(image().byte(181 + 2), 19);
  // Raised from 60 the consistency pass brings it back to 60.
  live(15000, 0);
  plus->trigger();
  EXPECT_EQ(image().byte(181 + 14), 60);
  // The unit runs on map 2: map 1 marks no cell, yet Plus acts on the stored live cell and
  // the status line names it; the same on map 2 while the unit runs on map 1.
  live(3000, 0, true);
  EXPECT_EQ(limeCells(), 0);
  plus->trigger();
  EXPECT_EQ(image().byte(181 + 2), 20);
  auto* status = find<QStatusBar>("StatusBar1");
  EXPECT_EQ(status->currentMessage(),
            "Advance 1: cell 0 % / 3000 rpm set to 20 (the unit runs on the other map)");
  show(kPageAdvance2);
  live(3000, 1000, false);
  image().setByte(331 + 15 * 9 + 2, 30);
  for (int c = 0; c < 15; ++c) image().setWord(22 + c, 1000 + 1000 * c);
  form().AfterChange();
  minus->trigger();
  EXPECT_EQ(image().byte(331 + 15 * 9 + 2), 29);
  EXPECT_EQ(status->currentMessage(),
            "Advance 2: cell 100 % / 3000 rpm set to 29 (the unit runs on the other map)");
  // The engine stopped: nothing, on either map.
  live(0, 1000, false);
  before = image();
  minus->trigger();
  EXPECT_EQ(image(), before);
  show(kPageAdvance1);
  // Another page: greyed out and nothing changes.
  show(kPageGear);
  EXPECT_FALSE(plus->isEnabled());
  plus->trigger();
  EXPECT_EQ(image(), before);
  show(kPageServo);
  EXPECT_TRUE(plus->isEnabled());
  // Servo: 250 raised becomes 251 and stays.
  live(3000, 0);
  image().setByte(485 + 2, 250);
  form().AfterChange();
  find<SpinButton>("CSpinButtonMapShift")->upButton()->click();
  EXPECT_EQ(image().byte(485 + 2), 251);
}

TEST_F(MapPageTest, AllAndColumnToolsWorkWithoutAUnitAndStopAtTheByteLimits) {
  show(kPageServo);
  for (int i = 0; i < 150; ++i) image().setByte(485 + i, 255);
  form().AfterChange();
  find<QCheckBox>("CheckBoxMapAll")->click();
  EXPECT_EQ(form().allFlags()[kPageServo], 1);
  EXPECT_EQ(form().allFlags()[kPageAdvance1], 0);
  const ParameterImage before = image();
  find<QAction>("MenuToolsPlus")->trigger();
  EXPECT_EQ(image(), before);
  find<QAction>("MenuToolsMinus")->trigger();
  EXPECT_EQ(image().byte(485 + 77), 254);
  // Undo takes back exactly that step.
  form().SpeedButtonZpetClick();
  EXPECT_EQ(image(), before);
  // The column spin buttons: column 3 of the shown map.
  for (int i = 0; i < 150; ++i) image().setByte(485 + i, 0);
  form().AfterChange();
  maps().grid().columnButton(3)->downButton()->click();
  EXPECT_EQ(image().byte(485 + 3), 0);
  maps().grid().columnButton(3)->upButton()->click();
  for (int r = 0; r < 10; ++r) EXPECT_EQ(image().byte(485 + 15 * r + 3), 1);
  EXPECT_EQ(image().byte(485 + 4), 0);
  // "All" is per page: the advance page shows its own flag.
  show(kPageAdvance1);
  EXPECT_FALSE(find<QCheckBox>("CheckBoxMapAll")->isChecked());
}

TEST_F(MapPageTest, SelectionKeysCopyAndPasteEachOneUndoStep) {
  show(kPageAdvance1);
  for (int i = 0; i < 150; ++i) image().setByte(181 + i, 10);
  form().AfterChange();
  MapGrid& g = maps().grid();
  MapCellEdit* start = g.cell(4, 4);
  start->setFocus();
  QTest::keyClick(start, Qt::Key_Right);
  EXPECT_EQ(g.selection().row0, 4);
  EXPECT_EQ(g.selection().column0, 5);
  QTest::keyClick(g.cell(4, 5), Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(g.cell(4, 5), Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(g.selection().cells(), 4);
  // Page Up on a selection adds 5 to each of its cells, as one undo step.
  const ParameterImage before = image();
  QTest::keyClick(g.cell(4, 5), Qt::Key_PageUp);
  for (int r = 4; r <= 5; ++r)
    for (int c = 5; c <= 6; ++c) EXPECT_EQ(image().byte(181 + 15 * r + c), 15);
  EXPECT_EQ(image().byte(181 + 15 * 4 + 4), 10);
  form().SpeedButtonZpetClick();
  EXPECT_EQ(image(), before);
  // Copy as tab-separated text and paste elsewhere.
  image().setByte(181 + 15 * 4 + 5, 33);
  form().AfterChange();
  QTest::keyClick(g.cell(4, 5), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "33\t10\n10\t10\n");
  g.select({0, 0, 0, 0});
  EXPECT_TRUE(maps().PasteText(QApplication::clipboard()->text()));
  EXPECT_EQ(image().byte(181), 33);
  EXPECT_EQ(image().byte(181 + 15), 10);
  // Set and interpolate through the menu actions, the value answered instead of a dialog.
  maps().askValue = [](CellOp) { return std::optional<double>(40); };
  g.select({0, 0, 0, 4});
  find<QAction>("MenuMapSet")->trigger();
  EXPECT_EQ(image().byte(181 + 4), 40);
  image().setByte(181, 0);
  form().AfterChange();
  find<QAction>("MenuMapInterpolateColumns")->trigger();
  EXPECT_GT(image().byte(181 + 2), 0);
  EXPECT_LT(image().byte(181 + 2), 40);
  // A single cell steps by 5 with Page Down.
  g.select({7, 7, 7, 7});
  g.cell(7, 7)->setFocus();
  QTest::keyClick(g.cell(7, 7), Qt::Key_PageDown);
  EXPECT_EQ(image().byte(181 + 15 * 7 + 7), 5);
}

}  // namespace
}  // namespace rq::test
