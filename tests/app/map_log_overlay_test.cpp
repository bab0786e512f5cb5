// SPDX-License-Identifier: GPL-3.0-or-later
// The open ride log on the map pages: counts through the shared cell counting, filters, the
// click that moves the viewer's cursor to the next row of a cell, and the replayed cell.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "legend_check.h"
#include "logs/log_room.h"
#include "logs/log_session.h"
#include "logs/log_viewer.h"
#include "logs/map_log_overlay.h"
#include "mapview/curve_plot.h"
#include "mapview/map_view.h"
#include "mapview/map_view_window.h"
#include "model/map_model.h"
#include "model/parameter_table.h"
#include "pages/map_grid.h"
#include "support.h"

namespace rq::test {
namespace {

using logs::LogSession;
using logs::MapLogOverlay;

// Rows in three cells of Advance 1 with a new configuration (rpm points 2000 ... 15000):
// rows 0-3 at 3000 rpm / 0 %, rows 4-5 at 5000 rpm / 20 %, row 6 at 7000 rpm / 100 %, and
// rows 7-8 back at 3000 rpm / 0 %. Row 6 jumps: not steady.
const char* kLog =
    "time,rpm,throttle_pct,second_map,gear\n"
    "0.0,3000,0.0,0,1\n0.3,3000,0.0,0,1\n0.6,3010,0.0,0,1\n0.9,3000,0.0,0,1\n"
    "1.2,5000,20.0,0,2\n1.5,5000,20.0,0,2\n"
    "1.8,7000,100.0,0,3\n"
    "2.1,3000,0.0,0,1\n2.4,3000,0.0,0,1\n";

struct Fixture {
  TempConfig config;
  Window window;
  MapLogOverlay* overlay = nullptr;
  Fixture() {
    logs::LoadResult r = logs::ParseCsvText(kLog);
    EXPECT_TRUE(r.ok()) << r.error.message;
    session().adopt(std::move(*r.table), "hand.csv");
    window.form->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(kPageAdvance1);
    QApplication::processEvents();
    overlay = window.form->findChild<MapLogOverlay*>();
    EXPECT_NE(overlay, nullptr);
  }
  LogSession& session() { return window.form->logRoom().session(); }
  QCheckBox* toggle() { return window.form->findChild<QCheckBox*>("CheckBoxLogOverlay"); }
  MapGrid* grid() { return window.form->findChild<MapGrid*>(); }
  // A left click on the text of cell (row, column), as the mouse gives it.
  void clickCell(int row, int column) {
    auto* cell = window.form->findChild<MapCellEdit*>(QString("EditMap%1_%2").arg(row).arg(column));
    ASSERT_NE(cell, nullptr);
    QTest::mouseClick(cell->findChild<QLineEdit*>(), Qt::LeftButton);
  }
};

LiveCell CellOf(Fixture& f, int rpm, int throttleTenths) {
  return LiveCellAt(MakeLiveCellRule(f.window.form->image(), kPageAdvance1), rpm, throttleTenths,
                    false);
}

TEST(MapLogOverlay, CountsFiltersClicksAndTheReplayedCell) {
  Fixture f;
  ASSERT_NE(f.toggle(), nullptr);
  EXPECT_TRUE(f.toggle()->isVisibleTo(f.window.form.get()));
  f.toggle()->click();
  ASSERT_TRUE(f.overlay->enabled());
  ASSERT_TRUE(f.overlay->counts().has_value());

  const LiveCell idle = CellOf(f, 3000, 0), mid = CellOf(f, 5000, 200), top = CellOf(f, 7000, 1000);
  const logs::CellCounts& all = *f.overlay->counts();
  EXPECT_EQ(all.rows[idle.row][idle.column], 6);
  EXPECT_EQ(all.rows[mid.row][mid.column], 2);
  EXPECT_EQ(all.rows[top.row][top.column], 1);
  EXPECT_EQ(all.counted, 9u);
  // Three rows by default make enough data.
  EXPECT_TRUE(all.enough(idle.row, idle.column));
  EXPECT_FALSE(all.enough(mid.row, mid.column));
  EXPECT_NEAR(f.overlay->rowSeconds(), 0.3, 1e-9);

  // The filter panel: minimum rows, gears, steady state.
  QWidget* panel = f.overlay->panel();
  panel->findChild<QSpinBox*>("LogSpinMinRows")->setValue(2);
  EXPECT_TRUE(f.overlay->counts()->enough(mid.row, mid.column));
  panel->findChild<QCheckBox*>("LogCheckGear1")->setChecked(false);
  EXPECT_EQ(f.overlay->counts()->rows[idle.row][idle.column], 0);
  EXPECT_EQ(f.overlay->counts()->rows[mid.row][mid.column], 2);
  panel->findChild<QCheckBox*>("LogCheckGear1")->setChecked(true);
  panel->findChild<QCheckBox*>("LogCheckSteady")->setChecked(true);
  EXPECT_EQ(f.overlay->counts()->rows[top.row][top.column], 0);  // a jump is not steady
  panel->findChild<QCheckBox*>("LogCheckSteady")->setChecked(false);

  // A click on a cell: the cursor to the next row in it, round to the start at the end.
  LogSession& s = f.session();
  s.setCursorRow(0);
  ASSERT_TRUE(f.overlay->moveCursorToCell(idle.row, idle.column));
  EXPECT_EQ(s.cursorRow(), 1u);
  s.setCursorRow(3);
  ASSERT_TRUE(f.overlay->moveCursorToCell(idle.row, idle.column));
  EXPECT_EQ(s.cursorRow(), 7u);
  s.setCursorRow(8);
  ASSERT_TRUE(f.overlay->moveCursorToCell(idle.row, idle.column));
  EXPECT_EQ(s.cursorRow(), 0u);
  EXPECT_FALSE(f.overlay->moveCursorToCell(0, 14));  // never visited

  // A click on a cell while the log is shown reaches the cell (the selection moves there) and
  // moves the viewer's cursor to the next row in it: the badges lie on a layer that lets
  // every click through.
  QWidget* layer = f.window.form->findChild<QWidget*>("MapBadgeLayer");
  ASSERT_NE(layer, nullptr);
  EXPECT_TRUE(layer->testAttribute(Qt::WA_TransparentForMouseEvents));
  s.setCursorRow(0);
  f.clickCell(mid.row, mid.column);
  EXPECT_EQ(s.cursorRow(), 4u);
  EXPECT_TRUE(f.grid()->selection().contains(mid.row, mid.column));

  // The replayed cell follows the cursor.
  s.setCursorRow(6);
  ASSERT_TRUE(f.overlay->replayCell().has_value());
  EXPECT_EQ(f.overlay->replayCell()->row, top.row);
  EXPECT_EQ(f.overlay->replayCell()->column, top.column);
  // Its frame does not hide the cell's badge: where they cross, the badge is on top.
  {
    f.window.form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.window.form.get()));
    const QRect cell = f.grid()->cell(top.row, top.column)->geometry();
    int magenta = 0, shown = 0;
    for (QWidget* l : f.window.form->findChildren<QWidget*>("MapBadgeLayer")) {
      if (!l->isVisible()) continue;
      ++shown;
      const QImage shot = l->grab().toImage();
      for (int x = cell.left(); x < cell.left() + 4; ++x)
        magenta += shot.pixelColor(x, cell.top() - 3) == QColor(255, 0, 200);
    }
    EXPECT_GT(shown, 0);
    EXPECT_EQ(magenta, 0);
  }

  // Off: nothing counted, a click only selects; the replay mark stays.
  f.toggle()->click();
  EXPECT_FALSE(f.overlay->counts().has_value());
  s.setCursorRow(0);
  f.clickCell(idle.row, idle.column);
  EXPECT_EQ(s.cursorRow(), 0u);
  EXPECT_TRUE(f.grid()->selection().contains(idle.row, idle.column));
  s.setCursorRow(6);
  EXPECT_TRUE(f.overlay->replayCell().has_value());
}

TEST(MapLogOverlay, AClickOnAMapCellShowsItsRowInTheViewersLegends) {
  Fixture f;
  logs::LogViewer* viewer = f.window.form->logRoom().showViewer();
  ASSERT_NE(viewer, nullptr);
  viewer->resize(1000, 700);
  f.toggle()->click();
  LogSession& s = f.session();
  // From the third row (3010 rpm) to the next in the idle cell, the fourth (3000 rpm): texts
  // as long as before, so that only the cursor's layer is redrawn.
  s.setCursorRow(2);
  ASSERT_TRUE(LegendsShowCursorRow(*viewer->plot(), s));
  const LiveCell idle = CellOf(f, 3000, 0);
  f.clickCell(idle.row, idle.column);
  EXPECT_EQ(s.cursorRow(), 3u);
  EXPECT_TRUE(LegendsShowCursorRow(*viewer->plot(), s));
  viewer->close();
}

TEST(MapLogOverlay, FollowsThePagesRpmPointsAndTheServoPage) {
  Fixture f;
  f.toggle()->click();
  const LiveCell before = CellOf(f, 5000, 200);
  EXPECT_EQ(f.overlay->counts()->rows[before.row][before.column], 2);
  // The servo page has other rpm points (1000 ... 16000): the same rows land elsewhere.
  f.window.form->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(kPageServo);
  QApplication::processEvents();
  ASSERT_TRUE(f.overlay->counts().has_value());
  const LiveCell servo =
      LiveCellAt(MakeLiveCellRule(f.window.form->image(), kPageServo), 5000, 200, false);
  EXPECT_EQ(f.overlay->counts()->rows[servo.row][servo.column], 2);
  EXPECT_TRUE(f.toggle()->isVisibleTo(f.window.form.get()));
  f.toggle()->click();
}

// The map view shows what the log shows on the grid: the time spent per cell as the points'
// size while Log is ticked, and the viewer's cursor row.
TEST(MapLogOverlay, TheMapViewCarriesTheLogsTimesAndCursor) {
  Fixture f;
  f.window.form->findChild<QAction*>("MenuMapView")->trigger();
  QApplication::processEvents();
  MapCurvePlot& plot = *f.window.form->mapView().view()->plot();
  auto weighted = [&plot] {
    std::size_t n = 0;
    for (const QCPGraph* g : plot.weightGraphs()) n += std::size_t(g->dataCount());
    return n;
  };
  EXPECT_EQ(weighted(), 0u);
  f.toggle()->setChecked(true);
  EXPECT_EQ(weighted(), 3u);  // the three cells the log visited
  f.session().setCursorTime(1.3);
  EXPECT_EQ(plot.replayGraph()->dataCount(), 1);
  f.toggle()->setChecked(false);
  EXPECT_EQ(weighted(), 0u);
  EXPECT_EQ(plot.replayGraph()->dataCount(), 0);
}

}  // namespace
}  // namespace rq::test
