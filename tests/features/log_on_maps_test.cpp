// SPDX-License-Identifier: GPL-3.0-or-later
// The ride log on the map pages as a tuner uses it: with Log on every cell is typed into,
// stepped and changed by the map tools exactly as with Log off; the badge's mean, minimum and
// maximum of a channel are those of a hand count over the rows the filters keep; the bar's
// controls are whole and apart in every language.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "abmode/ab_mode.h"
#include "fake_window.h"
#include "logs/log_room.h"
#include "logs/log_session.h"
#include "logs/map_log_overlay.h"
#include "pages/map_pages.h"
#include "ui/caption_apply.h"
#include "ui/text_fit.h"

namespace rq::test {
namespace {

// On a new configuration's Advance 1: rows at 3000 rpm and 0 % with the acceleration in ties,
// 100 250 250 40 100 in gears 1 and 2, and 900 in 3rd; two rows at 5000 rpm and 20 %.
const char* kTiesLog =
    "time,rpm,throttle_pct,second_map,gear,acceleration_rpm_s,supply_v\n"
    "0.0,3000,0.0,0,1,100,13.500\n"
    "0.3,3000,0.0,0,1,250,13.500\n"
    "0.6,3000,0.0,0,1,250,13.250\n"
    "0.9,3000,0.0,0,2,40,13.000\n"
    "1.2,3000,0.0,0,1,100,13.500\n"
    "1.5,3000,0.0,0,3,900,11.000\n"
    "1.8,5000,20.0,0,2,300,14.000\n"
    "2.1,5000,20.0,0,2,300,14.000\n";

struct LogWindow {
  FakeWindow w;
  logs::LogRoom* room = nullptr;
  LogWindow() {
    room = new logs::LogRoom(w.workspace(), w, w.pages().maps());
    new abmode::AbMode(w.workspace(), w, w.pages().maps(), room->session(),
                       room->overlay());
    const logs::LoadResult log = logs::ParseCsvText(kTiesLog);
    EXPECT_TRUE(log.ok()) << log.error.message;
    room->session().adopt(std::move(*log.table), "ties.csv");
    w.resize(1005, 832);
    w.show();
    w.showPage(kPageAdvance1);
  }
  logs::MapLogOverlay& overlay() { return room->overlay(); }
  MapGrid& grid() { return w.pages().maps().grid(); }
  MapPages& maps() { return w.pages().maps(); }
  template <class W>
  W* get(const char* name) {
    W* c = w.findChild<W*>(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  QAction* tool(const char* name) {
    for (QAction* a : w.menu(WindowFace::Menu::Tools)->actions())
      if (a->objectName() == name) return a;
    ADD_FAILURE() << name;
    return nullptr;
  }
  // The text field of cell (row, column) as the mouse finds it: whatever lies on top at the
  // cell's middle, the way a click goes.
  QWidget* underMouse(int row, int column) {
    QWidget* cell = grid().cell(row, column);
    const QPoint middle = cell->geometry().center();
    return grid().box()->childAt(middle);
  }
  // The cell of an rpm and throttle (tenths of a percent) on Advance 1.
  LiveCell cellOf(int rpm, int throttle) {
    return LiveCellAt(MakeLiveCellRule(w.image(), kPageAdvance1), rpm, throttle, false);
  }
  int undoSteps() {
    const UndoHistory& h = w.workspace().undoHistory();
    return (h.current() - h.oldest() + UndoHistory::kSlots) % UndoHistory::kSlots;
  }
};

// Every way a tuner changes cells, by mouse and keys as far as they go.
void EditTheMap(LogWindow& f) {
  MapGrid& grid = f.grid();
  const LiveCell idle = f.cellOf(3000, 0), mid = f.cellOf(5000, 200);
  // Typing a value into a cell the log visited, found by the mouse.
  QWidget* field = f.underMouse(idle.row, idle.column);
  ASSERT_EQ(field, grid.cell(idle.row, idle.column)->findChild<QLineEdit*>());
  QTest::mouseClick(field, Qt::LeftButton);
  QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(field, "27");
  QTest::keyClick(field, Qt::Key_Return);
  // Page Up steps it by 5; an up-down by one.
  QTest::keyClick(field, Qt::Key_PageUp);
  QTest::mouseClick(grid.cellUpDown(mid.row, mid.column)->findChildren<QToolButton*>().first(),
                    Qt::LeftButton);
  // Plus with All: the whole map one step.
  f.w.workspace().allFlags()[kPageAdvance1] = 1;
  f.get<SpinButton>("CSpinButtonMapShift")->upButton()->click();
  // The selection tools of the Tools menu on a rectangle over both visited cells.
  f.maps().askValue = [](CellOp) { return std::optional<double>(3); };
  grid.select({0, 0, mid.row, mid.column});
  f.tool("MenuMapAdd")->trigger();
  grid.select({2, 1, 2, 6});
  f.tool("MenuMapInterpolateColumns")->trigger();
}

TEST(LogOnMaps, CellsAreEditedWithLogOnExactlyAsWithLogOff) {
  ParameterImage edited[2];
  int steps[2] = {0, 0};
  for (const bool on : {false, true}) {
    SCOPED_TRACE(on ? "Log on" : "Log off");
    LogWindow f;
    if (on) {
      f.get<QCheckBox>("CheckBoxLogOverlay")->click();
      ASSERT_TRUE(f.overlay().counts().has_value());
      // The value stays in the cell, the log's figure beside it in a badge.
      const LiveCell idle = f.cellOf(3000, 0);
      MapCellEdit* cell = f.grid().cell(idle.row, idle.column);
      EXPECT_EQ(cell->text(), QString::number(cell->value()));
      EXPECT_FALSE(f.overlay().badgeText(idle.row, idle.column).isEmpty());
    }
    const int before = f.undoSteps();
    EditTheMap(f);
    edited[on] = f.w.image();
    steps[on] = f.undoSteps() - before;
    const LiveCell idle = f.cellOf(3000, 0);
    EXPECT_EQ(f.grid().cell(idle.row, idle.column)->value(),
              f.w.image().byte(CellByte(*MapOfPage(kPageAdvance1), idle.row, idle.column)));
    EXPECT_EQ(f.overlay().counts().has_value(), on);
  }
  EXPECT_GE(steps[0], 5);
  EXPECT_EQ(steps[1], steps[0]);
  for (int i = 0; i < kImageSize; ++i) ASSERT_EQ(edited[1].byte(i), edited[0].byte(i)) << "byte " << i;
  // The typed value made it: 27, +5, +1 with All, +3.
  const LiveCell idle = LiveCellAt(MakeLiveCellRule(edited[1], kPageAdvance1), 3000, 0, false);
  EXPECT_EQ(edited[1].byte(CellByte(*MapOfPage(kPageAdvance1), idle.row, idle.column)), 36);
}

TEST(LogOnMaps, BadgeStatisticsAreAHandCountOfTheRowsTheFiltersKeep) {
  LogWindow f;
  f.get<QCheckBox>("CheckBoxLogOverlay")->click();
  logs::MapLogOverlay& o = f.overlay();
  // Without 3rd gear: 100 250 250 40 100 in the idle cell.
  logs::CellFilter filter = o.filter();
  filter.gears = std::uint8_t(logs::kAllGears & ~(1u << 3));
  o.setFilter(filter);
  QMenu* menu = f.get<QToolButton>("LogButtonBadge")->menu();
  ASSERT_NE(menu, nullptr);
  auto item = [&](const char* name) {
    for (QAction* a : menu->actions())
      if (a->objectName() == name) return a;
    ADD_FAILURE() << name;
    return static_cast<QAction*>(nullptr);
  };
  struct Case {
    const char* item;
    const char* badge;
  };
  // The mean gets a decimal more than the whole-number channel has.
  const Case cases[] = {{"LogBadgemean", "148.0"}, {"LogBadgemin", "40"}, {"LogBadgemax", "250"}};
  for (const Case& c : cases) {
    item(c.item)->trigger();
    EXPECT_EQ(o.badgeColumn(), "acceleration_rpm_s");  // a statistic starts on the acceleration
    EXPECT_EQ(o.badgeText(f.cellOf(3000, 0).row, f.cellOf(3000, 0).column), c.badge) << c.item;
  }
  const LiveCell idle = f.cellOf(3000, 0), mid = f.cellOf(5000, 200);
  EXPECT_EQ(o.counts()->rows[idle.row][idle.column], 5);
  const QString hint = o.hintText(idle.row, idle.column);
  EXPECT_TRUE(hint.contains("3000 rpm, 0 % throttle")) << hint.toStdString();
  EXPECT_TRUE(hint.contains("5 rows, 1.5 s")) << hint.toStdString();
  EXPECT_TRUE(hint.contains("Acceleration [rpm/s]: mean 148.0, minimum 40, maximum 250")) << hint.toStdString();
  EXPECT_EQ(f.get<QToolButton>("LogButtonBadge")->property("fullCaption").toString(),
            "Max: Acceleration [rpm/s]");

  // Another channel from the submenu: the supply's ties, 13.5 13.5 13.25 13 13.5.
  QMenu* channels = menu->findChild<QMenu*>("LogMenuBadgeChannel");
  ASSERT_NE(channels, nullptr);
  for (QAction* a : channels->actions())
    if (a->data().toString() == "supply_v") a->trigger();
  EXPECT_EQ(o.badgeColumn(), "supply_v");
  EXPECT_EQ(o.badgeText(idle.row, idle.column), "13.500");  // the maximum still
  item("LogBadgemean")->trigger();
  EXPECT_EQ(o.badgeText(idle.row, idle.column), "13.350");
  item("LogBadgemin")->trigger();
  EXPECT_EQ(o.badgeText(idle.row, idle.column), "13.000");
  // Under the minimum rows: in brackets; the time again.
  EXPECT_EQ(o.badgeText(mid.row, mid.column), "(14.000)");
  item("LogBadgeTime")->trigger();
  EXPECT_EQ(o.badgeColumn(), "");
  EXPECT_EQ(o.badgeText(idle.row, idle.column), "1.5 s");
  EXPECT_EQ(o.badgeText(mid.row, mid.column), "(2)");
  // Where the rows fall in an ordinary pull, a cell under the minimum keeps its value shown.
  EXPECT_EQ(f.grid().cell(mid.row, mid.column)->text(),
            QString::number(f.grid().cell(mid.row, mid.column)->value()));
}

TEST(LogOnMaps, TheBarsControlsAreWholeAndApartInEveryLanguage) {
  LogWindow f;
  f.get<QCheckBox>("CheckBoxLogOverlay")->click();
  QWidget* bar = f.maps().bar();
  const QStringList mine = {"CheckBoxLogOverlay", "CheckBoxAbMode", "LogButtonBadge", "ButtonLogFilters"};
  for (const int page : {kPageAdvance1, kPageServo}) {
    f.w.showPage(page);
    for (int lang = 0; lang < 4; ++lang) {
      for (const char* column : {"", "acceleration_rpm_s"}) {
        SCOPED_TRACE(::testing::Message() << "page " << page << ", language " << lang << ", " << column);
        f.w.workspace().setLanguage(lang);
        ApplyCaptionTable(&f.w, lang);
        f.overlay().setBadge(column, logs::CellStatistic::Mean);
        f.overlay().placeControls();
        for (const CutOffText& c : FindCutOffTexts(bar))
          ADD_FAILURE() << c.control.toStdString() << " \"" << c.text.toStdString() << "\"";
        const auto* badge = f.get<QToolButton>("LogButtonBadge");
        EXPECT_GE(badge->width(), badge->sizeHint().width()) << badge->text().toStdString();
        for (QWidget* a : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
          if (!mine.contains(a->objectName()) || !a->isVisibleTo(bar)) continue;
          EXPECT_LE(a->geometry().right(), bar->width()) << a->objectName().toStdString();
          for (QWidget* b : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (a == b || !b->isVisibleTo(bar) || b->isWindow()) continue;
            EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                << a->objectName().toStdString() << " and " << b->objectName().toStdString();
          }
        }
      }
    }
  }
  f.w.workspace().setLanguage(0);
}

}  // namespace
}  // namespace rq::test
