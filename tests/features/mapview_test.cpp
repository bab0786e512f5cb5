// SPDX-License-Identifier: GPL-3.0-or-later
// The map view against a real workspace and the map pages of a stand-in window: it follows
// the map page shown and the grid, its edits (a dragged point, Minus / Plus, a typed value)
// and tools (smoothing, copy map to map) are each one change with one undo step, within the
// tuner's limits; the live point is the grid's live cell; the ride log's hooks; the language
// and the settings file.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "fake_window.h"
#include "mapview/curve_plot.h"
#include "mapview/map_view.h"
#include "mapview/map_view_window.h"
#include "mapview/difference_view.h"
#include "mapview/mark_colours.h"
#include "mapview/surface.h"
#include "pages/map_pages.h"
#include "ui/text_fit.h"

namespace rq::test {
namespace {

constexpr int kA1 = kPageAdvance1;
constexpr int kA2 = kPageAdvance2;
constexpr int kServo = kPageServo;

int Cell(const ParameterImage& im, int page, int r, int c) { return im.byte(CellByte(*MapOfPage(page), r, c)); }

// An action by name in a menu or its submenus.
QAction* Find(QMenu* menu, const QString& name) {
  for (QAction* a : menu->actions()) {
    if (a->objectName() == name) return a;
    if (a->menu() != nullptr)
      if (QAction* inner = Find(a->menu(), name)) return inner;
  }
  return nullptr;
}

class MapViewFeature : public ::testing::Test {
 protected:
  void SetUp() override {
    // Both advance maps over rpm and throttle with values of their own; the servo on, in mV.
    ParameterImage& im = w_.image();
    im.setByte(kMapsUseThrottle, 1);
    im.setByte(kServoEnable, 1);
    im.setByte(kServoPercent, 0);
    im.setByte(kServoMode, 0);
    for (int r = 0; r < kMapRows; ++r)
      for (int c = 0; c < kMapColumns; ++c) {
        im.setByte(CellByte(*MapOfPage(kA1), r, c), 10 + r + 2 * c);
        im.setByte(CellByte(*MapOfPage(kA2), r, c), 12 + r);
        im.setByte(CellByte(*MapOfPage(kServo), r, c), 100 + r);
      }
    for (int c = 0; c < kMapColumns; ++c) {
      im.setWord(MapOfPage(kA1)->axis[c], 1000 + 700 * c);
      im.setWord(MapOfPage(kA2)->axis[c], 1200 + 650 * c);
    }
    ws().start({}, kA1);
    w_.showPage(kA1);
    view_ = new MapView(ws(), w_, maps());
  }

  Workspace& ws() { return w_.workspace(); }
  MapPages& maps() { return w_.pages().maps(); }
  QAction* tool(const char* name) { return Find(w_.menu(WindowFace::Menu::Tools), name); }
  MapViewWindow& window() { return *view_->view(); }
  MapCurvePlot& plot() { return *view_->view()->plot(); }

  void open() {
    tool("MenuMapView")->trigger();
    settle();
  }
  // Lets queued repaints run and lays the plot out, so that its pixels are known.
  void settle() {
    QApplication::processEvents();
    if (view_->view() != nullptr) plot().replot();
  }
  // The undo steps taken since `mark` (the history is a ring).
  int stepsSince(int mark) { return (ws().undoHistory().current() - mark + UndoHistory::kSlots) % UndoHistory::kSlots; }
  int undoMark() { return ws().undoHistory().current(); }

  void mouse(QEvent::Type type, const QPointF& at, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent e(type, at, plot().mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&plot(), &e);
  }
  // Drags the point of cell (row, column) to the heights of `values` in turn and lets go.
  void drag(int row, int column, std::initializer_list<double> values) {
    settle();
    const CurvePoint p = CellPoint(w_.image(), view_->page(), CurveAxis::Rpm, row, column);
    const QPointF from = plot().pixelOf(p);
    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (double v : values)
      mouse(QEvent::MouseMove, QPointF(from.x(), plot().yAxis->coordToPixel(v)), Qt::NoButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, QPointF(from.x(), plot().yAxis->coordToPixel(*(values.end() - 1))),
          Qt::LeftButton, Qt::NoButton);
  }
  // The unit answers with these live values until the workspace has taken them.
  void live(int rpm, int throttle, bool secondMap) {
    w_.unit().monitor.rpm = std::uint16_t(rpm);
    w_.unit().monitor.throttle = std::uint16_t(throttle);
    w_.unit().monitor.secondMap = secondMap ? 1 : 0;
    for (int i = 0; i < 200 && !(ws().connected() && ws().lastMonitor() == w_.unit().monitor); ++i) w_.tick();
    ASSERT_TRUE(ws().connected());
    ASSERT_EQ(ws().lastMonitor(), w_.unit().monitor);
    w_.tick();  // one more reply and marking with the same values
  }
  std::vector<CurvePoint> points(const QCPGraph* g) const {
    std::vector<CurvePoint> out;
    for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it) out.push_back({it->key, it->value, 0, 0});
    return out;
  }

  FakeWindow w_;
  MapView* view_ = nullptr;
};

TEST_F(MapViewFeature, OpensFromTheToolsMenuAndFollowsTheMapPageShown) {
  QAction* item = tool("MenuMapView");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
  // After the Tools menu's own items, behind a separator.
  const QList<QAction*> items = w_.menu(WindowFace::Menu::Tools)->actions();
  const qsizetype at = items.indexOf(item);
  ASSERT_GT(at, 0);
  EXPECT_TRUE(items[at - 1]->isSeparator());
  EXPECT_EQ(view_->view(), nullptr);  // nothing is built before it is asked for
  open();
  ASSERT_TRUE(window().isVisible());
  EXPECT_EQ(view_->page(), kA1);
  EXPECT_TRUE(window().windowTitle().contains("Page 2"));
  ASSERT_EQ(plot().curveGraphs().size(), 10u);
  EXPECT_EQ(points(plot().curveGraphs()[3])[5].y, Cell(w_.image(), kA1, 3, 5));

  w_.showPage(kA2);
  EXPECT_EQ(view_->page(), kA2);
  EXPECT_TRUE(window().windowTitle().contains("Page 3"));
  EXPECT_EQ(points(plot().curveGraphs()[3])[5].y, Cell(w_.image(), kA2, 3, 5));
  EXPECT_EQ(points(plot().curveGraphs()[3])[5].x, 1200 + 650 * 5);
  w_.showPage(kServo);
  EXPECT_EQ(view_->page(), kServo);
  EXPECT_EQ(points(plot().curveGraphs()[3])[5].y, 20 * Cell(w_.image(), kServo, 3, 5));  // mV
  // Another page: the view keeps the last map page.
  w_.showPage(kPageBike);
  EXPECT_EQ(view_->page(), kServo);
  // The layout: over rpm only a single curve, row 9.
  w_.showPage(kA1);
  ws().change([](ParameterImage& im) { im.setByte(kMapsUseThrottle, 0); }, kA1);
  ASSERT_EQ(plot().curveGraphs().size(), 1u);
  EXPECT_EQ(points(plot().curveGraphs()[0])[2].y, Cell(w_.image(), kA1, 9, 2));
}

TEST_F(MapViewFeature, AnEditInTheGridShowsInTheViewAndOneInTheViewInTheGrid) {
  open();
  maps().grid().cell(4, 6)->stepBy(3);  // the user's step in the grid
  EXPECT_EQ(Cell(w_.image(), kA1, 4, 6), 10 + 4 + 12 + 3);
  EXPECT_EQ(points(plot().curveGraphs()[4])[6].y, 10 + 4 + 12 + 3);
  view_->setMode(ViewMode::CurvesOverThrottle);
  ASSERT_EQ(plot().curveGraphs().size(), 15u);
  EXPECT_EQ(points(plot().curveGraphs()[6])[4].x, kThrottleRows[4]);
  EXPECT_EQ(points(plot().curveGraphs()[6])[4].y, 10 + 4 + 12 + 3);
  view_->setMode(ViewMode::CurvesOverRpm);
  drag(2, 2, {30});
  EXPECT_EQ(maps().grid().cell(2, 2)->value(), 30);
}

TEST_F(MapViewFeature, ADragChangesOneCellSnappedAndInRangeAsOneUndoStep) {
  open();
  const ParameterImage before = w_.image();
  const int mark = undoMark();
  const int v = Cell(before, kA1, 3, 5);  // 23
  drag(3, 5, {v + 1.0, v + 2.4, v + 4.3});
  ParameterImage expected = before;
  expected.setByte(CellByte(*MapOfPage(kA1), 3, 5), v + 4);
  EXPECT_EQ(w_.image(), expected);
  EXPECT_EQ(stepsSince(mark), 1);
  EXPECT_EQ(maps().grid().selection().row0, 3);  // taking a point selects its cell
  EXPECT_EQ(maps().grid().selection().column0, 5);
  ASSERT_GE(ws().undo(), 0);
  EXPECT_EQ(w_.image(), before);
  // Above the page's maximum it stops at 60 degrees; the servo snaps to 20 mV.
  drag(3, 5, {75});
  EXPECT_EQ(Cell(w_.image(), kA1, 3, 5), 60);
  w_.showPage(kServo);
  view_->dragPoint(1, 1, 3013);
  view_->endDrag();
  EXPECT_EQ(Cell(w_.image(), kServo, 1, 1), 151);
  // A press beside every point (at the top, far above the servo's curves) drags nothing.
  const ParameterImage now = w_.image();
  settle();
  mouse(QEvent::MouseButtonPress, QPointF(plot().axisRect()->topLeft()) + QPointF(5, 5), Qt::LeftButton, Qt::LeftButton);
  mouse(QEvent::MouseMove, QPointF(plot().axisRect()->center()), Qt::NoButton, Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, QPointF(plot().axisRect()->center()), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(w_.image(), now);
}

TEST_F(MapViewFeature, PlusMinusAndATypedValueActOnTheSelectionTheGridShares) {
  open();
  maps().grid().select({4, 6, 2, 3});
  // Its rows are drawn bold, the others thin; over throttle its columns.
  for (std::size_t i = 0; i < plot().curveGraphs().size(); ++i)
    EXPECT_EQ(plot().curveGraphs()[i]->pen().widthF() > 2, i >= 2 && i <= 4) << i;
  view_->setMode(ViewMode::CurvesOverThrottle);
  for (std::size_t i = 0; i < plot().curveGraphs().size(); ++i)
    EXPECT_EQ(plot().curveGraphs()[i]->pen().widthF() > 2, i >= 3 && i <= 6) << i;

  const CellRect sel = maps().grid().selection();
  auto expectSelection = [&](const ParameterImage& before, auto value) {
    for (int r = 0; r < kMapRows; ++r)
      for (int c = 0; c < kMapColumns; ++c)
        ASSERT_EQ(Cell(w_.image(), kA1, r, c), sel.contains(r, c) ? value(Cell(before, kA1, r, c))
                                                                  : Cell(before, kA1, r, c))
            << r << "," << c;
  };
  const ParameterImage before = w_.image();
  int mark = undoMark();
  window().plusButton()->click();
  expectSelection(before, [](int b) { return b + 1; });
  EXPECT_EQ(stepsSince(mark), 1);
  window().minusButton()->click();
  window().minusButton()->click();
  expectSelection(before, [](int b) { return b - 1; });
  EXPECT_EQ(stepsSince(mark), 3);
  // A typed value and Enter set every selected cell.
  mark = undoMark();
  QSpinBox* value = window().valueBox();
  value->setValue(25);
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(value, &enter);
  expectSelection(before, [](int) { return 25; });
  EXPECT_EQ(stepsSince(mark), 1);
  ASSERT_GE(ws().undo(), 0);
  expectSelection(before, [](int b) { return b - 1; });
}

TEST_F(MapViewFeature, SmoothingChangesExactlyTheComputedCellsInOneUndoStep) {
  ws().change([](ParameterImage& im) { im.setByte(CellByte(*MapOfPage(kA1), 5, 7), 55); }, kA1);
  maps().grid().select({3, 5, 7, 9});
  const ParameterImage before = w_.image();
  ParameterImage expected = before;
  const int changed = SmoothCells(expected, kA1, maps().grid().selection(), 3);
  ASSERT_GT(changed, 0);
  const int mark = undoMark();
  tool("MenuMapSmooth3")->trigger();  // from the Tools menu, the view not open
  EXPECT_EQ(w_.image(), expected);
  EXPECT_EQ(stepsSince(mark), 1);
  EXPECT_EQ(w_.notes.back(), QString("Smoothed Page 2 with strength 3. Cells changed: %1").arg(changed));
  ASSERT_GE(ws().undo(), 0);
  EXPECT_EQ(w_.image(), before);
  // One selected cell: the whole map, once the tuner says so.
  maps().grid().select({0, 0, 0, 0});
  w_.answers = {QMessageBox::No};
  tool("MenuMapSmooth1")->trigger();
  EXPECT_EQ(w_.image(), before);
  EXPECT_EQ(w_.questions.back(), "Only one cell is selected. Smooth the whole map Page 2?");
  expected = before;
  SmoothCells(expected, kA1, kWholeMap, 1);
  w_.answers = {QMessageBox::Yes};
  tool("MenuMapSmooth1")->trigger();
  EXPECT_EQ(w_.image(), expected);
}

TEST_F(MapViewFeature, CopyAsksThenChangesOnlyTheOtherMapAndItsRpmPointsWhenAsked) {
  const ParameterImage before = w_.image();
  w_.answers = {QMessageBox::No};
  tool("MenuMapCopy1To2")->trigger();
  EXPECT_EQ(w_.image(), before);
  ASSERT_EQ(w_.questions.size(), 1u);
  EXPECT_EQ(w_.questions.back(), "Copy the whole map Page 2 onto Page 3? Every cell of Page 3 is overwritten.");

  w_.answers = {QMessageBox::Yes};
  int mark = undoMark();
  tool("MenuMapCopy1To2")->trigger();
  ParameterImage expected = before;
  CopyMap(expected, {kA1, kA2, kWholeMap, false});
  EXPECT_EQ(w_.image(), expected);
  EXPECT_EQ(stepsSince(mark), 1);
  ASSERT_GE(ws().undo(), 0);
  EXPECT_EQ(w_.image(), before);

  // With the rpm points, a selection, the other way round.
  tool("MenuMapCopyRpm")->trigger();
  EXPECT_TRUE(view_->copyRpmPoints());
  EXPECT_EQ(w_.ini.intValue(kMapViewSection, "CopyRpmPoints", 0), 1);
  maps().grid().select({1, 2, 3, 4});
  w_.answers = {QMessageBox::Yes};
  mark = undoMark();
  tool("MenuMapCopy2To1")->trigger();
  EXPECT_EQ(w_.questions.back(), "Copy the selected cells of Page 3 onto Page 2? The same cells of Page 2 are "
                                 "overwritten. The rpm points go with them.");
  expected = before;
  CopyMap(expected, {kA2, kA1, {1, 2, 3, 4}, true});
  SanitizeImage(expected);  // rpm points that no longer rise are repaired by the pass
  EXPECT_EQ(w_.image(), expected);
  EXPECT_EQ(stepsSince(mark), 1);
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c) EXPECT_EQ(Cell(w_.image(), kA2, r, c), Cell(before, kA2, r, c));
}

// A copy copies: where the target's limits would hold cells, the tuner is told how many and
// chooses to copy them anyway, to hold them at the limit, or to cancel.
TEST_F(MapViewFeature, ToolsKeepWithinTheLimitsAndSayHowManyCellsWereHeld) {
  Limits limits;
  limits.of(kA2)->max = 30;
  ws().setLimits(limits);
  int above = 0;
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c) above += Cell(w_.image(), kA1, r, c) > 30;
  ASSERT_GT(above, 0);
  const ParameterImage start = w_.image();
  w_.answers = {0};  // copy them anyway
  tool("MenuMapCopy1To2")->trigger();
  ASSERT_EQ(w_.choices.size(), 1u);
  EXPECT_EQ(w_.choices[0], (QStringList{"Copy them anyway", "Hold them at the limit", "Cancel"}));
  EXPECT_TRUE(w_.questions.back().endsWith(QString("Cells that would break Advance2Max = 30: %1").arg(above)))
      << w_.questions.back().toStdString();
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c) ASSERT_EQ(Cell(w_.image(), kA2, r, c), Cell(w_.image(), kA1, r, c));
  ws().undo();
  w_.answers = {};  // Cancel
  tool("MenuMapCopy1To2")->trigger();
  EXPECT_EQ(w_.image(), start);
  w_.answers = {1};  // hold them at the limit
  tool("MenuMapCopy1To2")->trigger();
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c)
      EXPECT_EQ(Cell(w_.image(), kA2, r, c), std::min(30, Cell(w_.image(), kA1, r, c))) << r << "," << c;
  EXPECT_TRUE(w_.notes.back().endsWith(QString(" Cells held to the limits: %1").arg(above))) << w_.notes.back().toStdString();
  // Smoothing: the cells it changes come within the limit (those it leaves alone stay), and
  // the note speaks the window's language.
  ws().setLanguage(kLanguageGerman);
  limits.of(kA1)->max = 20;
  ws().setLimits(limits);
  const ParameterImage before = w_.image();
  ParameterImage smoothed = before;
  SmoothCells(smoothed, kA1, kWholeMap, 1);
  w_.answers = {QMessageBox::Yes};  // the whole map
  int held = 0;
  for (const MapCell& m : ChangedCells(before, smoothed)) held += Cell(smoothed, kA1, m.row, m.column) > 20;
  ASSERT_GT(held, 0);
  tool("MenuMapSmooth1")->trigger();
  for (const MapCell& m : ChangedCells(before, w_.image())) EXPECT_LE(Cell(w_.image(), kA1, m.row, m.column), 20);
  EXPECT_TRUE(w_.notes.back().endsWith(QString("Auf die Grenzen begrenzte Zellen: %1").arg(held)))
      << w_.notes.back().toStdString();
}

TEST_F(MapViewFeature, NothingIsEditedWhileAReadReplacesTheConfiguration) {
  open();
  ws().startRead();
  ASSERT_TRUE(ws().readLocked());
  const ParameterImage before = w_.image();
  drag(3, 3, {40});
  window().plusButton()->click();
  tool("MenuMapSmooth5")->trigger();
  w_.answers = {QMessageBox::Yes};
  tool("MenuMapCopy1To2")->trigger();
  EXPECT_EQ(w_.image(), before);
  EXPECT_FALSE(view_->dragging());
}

TEST_F(MapViewFeature, TheLivePointIsTheGridsLiveCellAndNothingOnTheMapNotInUse) {
  open();
  auto limeCells = [this] {
    int n = 0;
    for (int r = 0; r < kMapRows; ++r)
      for (int c = 0; c < kMapColumns; ++c) n += maps().grid().cell(r, c)->palette().color(QPalette::Base) == kLiveLime;
    return n;
  };
  EXPECT_FALSE(view_->markedLive());
  live(4500, 250, false);
  const LiveCell expected = ComputeLiveCell(w_.image(), kA1, 4500, 250, false);
  ASSERT_TRUE(view_->markedLive());
  EXPECT_EQ(*view_->markedLive(), expected);
  EXPECT_EQ(limeCells(), 1);
  ASSERT_EQ(points(plot().liveGraph()).size(), 1u);
  const CurvePoint at = CellPoint(w_.image(), kA1, CurveAxis::Rpm, expected.row, expected.column);
  EXPECT_EQ(points(plot().liveGraph())[0].x, at.x);
  EXPECT_EQ(points(plot().liveGraph())[0].y, at.y);
  // The unit runs on map 2: nothing on map 1, in the grid as in the view; on map 2 its cell.
  live(4500, 250, true);
  EXPECT_FALSE(view_->markedLive());
  EXPECT_TRUE(points(plot().liveGraph()).empty());
  EXPECT_EQ(limeCells(), 0);
  w_.showPage(kA2);
  w_.tick();
  ASSERT_TRUE(view_->markedLive());
  EXPECT_EQ(*view_->markedLive(), ComputeLiveCell(w_.image(), kA2, 4500, 250, true));
  EXPECT_EQ(points(plot().liveGraph()).size(), 1u);
  // The trail: the cells passed through on the map shown, not those the unit ran on map 1;
  // only with the page's Trail option on.
  live(3000, 0, false);
  live(7000, 600, true);
  live(9000, 1000, true);
  auto trailPoints = [this] {
    std::vector<CurvePoint> out;
    for (const QCPGraph* g : plot().trailGraphs())
      for (const CurvePoint& p : points(g)) out.push_back(p);
    return out;
  };
  ASSERT_FALSE(maps().trailShown());
  EXPECT_TRUE(trailPoints().empty());
  maps().setTrailShown(true);
  w_.tick();
  const std::vector<CurvePoint> trail = trailPoints();
  auto has = [&trail](const CurvePoint& p) {
    return std::any_of(trail.begin(), trail.end(), [&p](const CurvePoint& t) { return t.x == p.x && t.y == p.y; });
  };
  auto cellAt = [this](int rpm, int throttle, bool second) {
    const LiveCell c = ComputeLiveCell(w_.image(), kA2, rpm, throttle, second);
    return CellPoint(w_.image(), kA2, CurveAxis::Rpm, c.row, c.column);
  };
  EXPECT_TRUE(has(cellAt(7000, 600, true)));
  EXPECT_FALSE(has(cellAt(3000, 0, false)));
  const QColor orange = plot().trailGraphs().back()->scatterStyle().pen().color();
  EXPECT_GT(orange.red(), orange.green());
  EXPECT_GT(orange.green(), orange.blue());
}

TEST_F(MapViewFeature, TheLogsHooksMarkTimePerCellAndTheCursorRowOfThePageShown) {
  open();
  std::array<double, kMapCells> seconds{};
  seconds[2 * kMapColumns + 3] = 10.0;  // the most visited cell
  seconds[5 * kMapColumns + 5] = 0.4;
  view_->setCellWeights(kA1, seconds);
  auto weighted = [this] {
    std::vector<std::size_t> sizes;
    for (const QCPGraph* g : plot().weightGraphs()) sizes.push_back(points(g).size());
    return sizes;
  };
  // The most visited cell in the largest circle, the other (a share of 0.04, its root 0.2) in
  // the second smallest.
  EXPECT_EQ(weighted(), (std::vector<std::size_t>{0, 1, 0, 0, 1}));
  EXPECT_EQ(points(plot().weightGraphs().back())[0].x, CellPoint(w_.image(), kA1, CurveAxis::Rpm, 2, 3).x);
  EXPECT_EQ(points(plot().weightGraphs()[1])[0].y, Cell(w_.image(), kA1, 5, 5));
  view_->setReplayCell(MapCell{kA1, 4, 6});
  ASSERT_EQ(points(plot().replayGraph()).size(), 1u);
  EXPECT_EQ(points(plot().replayGraph())[0].y, Cell(w_.image(), kA1, 4, 6));
  // Map 2 shows neither.
  w_.showPage(kA2);
  std::size_t onA2 = 0;
  for (const QCPGraph* g : plot().weightGraphs()) onA2 += points(g).size();
  EXPECT_EQ(onA2, 0u);
  EXPECT_TRUE(points(plot().replayGraph()).empty());
  w_.showPage(kA1);
  view_->clearCellWeights();
  view_->setReplayCell(std::nullopt);
  for (const QCPGraph* g : plot().weightGraphs()) EXPECT_TRUE(points(g).empty());
  EXPECT_TRUE(points(plot().replayGraph()).empty());
}

// Cells beyond the tuner's limits carry a mark of their own on their page: both cells of a
// step too large; none on another page.
TEST_F(MapViewFeature, CellsBeyondALimitAreMarkedOnTheirPage) {
  open();
  Limits limits;
  limits.of(kA1)->max = 30;  // the cells of the right end of map 1 are above it
  const std::vector<Violation> broken = CheckLimits(w_.image(), limits, nullptr);
  ASSERT_FALSE(broken.empty());
  view_->showViolations(broken);
  EXPECT_EQ(points(plot().brokenGraph()).size(), broken.size());
  // A step: both of its cells.
  Violation step;
  step.page = kA1;
  step.row = 3;
  step.column = 4;
  step.kind = LimitKind::StepRight;
  view_->showViolations({step});
  std::vector<double> at;
  for (const CurvePoint& p : points(plot().brokenGraph())) at.push_back(p.x);
  std::sort(at.begin(), at.end());
  EXPECT_EQ(at, (std::vector<double>{CellPoint(w_.image(), kA1, CurveAxis::Rpm, 3, 4).x,
                                     CellPoint(w_.image(), kA1, CurveAxis::Rpm, 3, 5).x}));
  w_.showPage(kA2);
  EXPECT_TRUE(points(plot().brokenGraph()).empty());
  w_.showPage(kA1);
  view_->showViolations({});
  EXPECT_TRUE(points(plot().brokenGraph()).empty());
}

TEST_F(MapViewFeature, GhostsOfTheOtherMapAndOfTheUnit) {
  open();
  // The other advance map, dashed; the unit's map only while its content is known.
  ASSERT_EQ(plot().ghostGraphs().size(), 10u);
  EXPECT_EQ(plot().ghostGraphs()[0]->pen().style(), Qt::DashLine);
  EXPECT_EQ(points(plot().ghostGraphs()[2])[1].y, Cell(w_.image(), kA2, 2, 1));
  // Each kind of ghost has one grey pen of its own, the one its legend entry shows.
  for (const QCPGraph* g : plot().ghostGraphs()) EXPECT_EQ(g->pen(), plot().ghostGraphs()[0]->pen());
  EXPECT_EQ(plot().ghostGraphs()[0]->pen().color(), kGhostOther);
  EXPECT_FALSE(window().unitBox()->isEnabled());
  ParameterImage unit = w_.image();
  unit.setByte(CellByte(*MapOfPage(kA1), 0, 0), 44);
  ws().unitRead(unit);
  ASSERT_EQ(plot().ghostGraphs().size(), 20u);
  EXPECT_EQ(plot().ghostGraphs()[0]->pen().style(), Qt::DotLine);
  EXPECT_EQ(plot().ghostGraphs()[0]->pen().color(), kGhostUnit);
  EXPECT_NE(kGhostUnit, kGhostOther);
  EXPECT_EQ(points(plot().ghostGraphs()[0])[0].y, 44);
  int inLegend = 0;
  for (QCPGraph* g : plot().ghostGraphs()) inLegend += plot().legend->hasItemWithPlottable(g);
  EXPECT_EQ(inLegend, 2);
  window().otherBox()->click();
  EXPECT_EQ(plot().ghostGraphs().size(), 10u);
  EXPECT_EQ(w_.ini.intValue(kMapViewSection, "OtherMap", 1), 0);
  // The servo has no other map.
  w_.showPage(kServo);
  EXPECT_FALSE(window().otherBox()->isEnabled());
  EXPECT_EQ(plot().ghostGraphs().size(), 10u);
}

// Every row has a colour of its own, and the rows' names stand apart and whole at the right,
// even where every row ends in the same point (the rev limiter's zeros).
TEST_F(MapViewFeature, RowsDifferInColourAndTheirNamesNeverMeet) {
  for (int i = 0; i < kMapColumns; ++i)
    for (int j = i + 1; j < kMapColumns; ++j) {
      const QColor a = CurveColour(i), b = CurveColour(j);
      EXPECT_GT(std::hypot(a.red() - b.red(), a.green() - b.green(), a.blue() - b.blue()), 60) << i << "," << j;
    }
  ws().change(
      [](ParameterImage& im) {
        for (int r = 0; r < kMapRows; ++r)
          for (int c = 10; c < kMapColumns; ++c) im.setByte(CellByte(*MapOfPage(kA1), r, c), 0);
      },
      kA1);
  open();
  for (const QSize size : {QSize(900, 600), QSize(420, 260)}) {
    window().resize(size);
    settle();
    const std::vector<QCPItemText*> labels = plot().curveLabels();
    ASSERT_EQ(labels.size(), std::size_t(kMapRows));
    std::vector<QRectF> rects;
    for (const QCPItemText* l : labels) rects.emplace_back(l->topLeft->pixelPosition(), l->bottomRight->pixelPosition());
    for (std::size_t i = 0; i < rects.size(); ++i) {
      EXPECT_TRUE(QRectF(plot().rect()).contains(rects[i])) << i << " at " << size.width();
      for (std::size_t j = i + 1; j < rects.size(); ++j) EXPECT_FALSE(rects[i].intersects(rects[j])) << i << "," << j;
    }
    EXPECT_EQ(labels[3]->text(), "10 %");
    EXPECT_EQ(labels[3]->color(), plot().curveGraphs()[3]->pen().color());
  }
}

// Ctrl+Z and Ctrl+Alt+Z act while the map view has the focus, right after a drag.
TEST_F(MapViewFeature, UndoAndRedoActFromTheView) {
  open();
  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  const ParameterImage before = w_.image();
  drag(3, 3, {40});
  const ParameterImage dragged = w_.image();
  ASSERT_NE(dragged, before);
  QTest::keyClick(&plot(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w_.image(), before);
  QTest::keyClick(&plot(), Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(w_.image(), dragged);
}

// The differences of map 1 and map 2, and of the PC and the unit, as a grid and as curves.
TEST_F(MapViewFeature, DifferencesOfTheTwoMapsAndOfThePcAndTheUnit) {
  open();
  window().modeBox()->setCurrentIndex(int(ViewMode::Differences));
  emit window().modeBox()->activated(int(ViewMode::Differences));
  EXPECT_EQ(w_.ini.intValue(kMapViewSection, "Mode", -1), 3);
  MapDifferenceView& diff = *window().differences();
  ASSERT_TRUE(diff.isVisible());
  // Map 1 holds 10 + r + 2c, map 2 12 + r: their rpm points differ, and the view says so.
  EXPECT_EQ(diff.grid()->item(2, 5)->text(), "+8");
  EXPECT_EQ(diff.grid()->item(4, 0)->text(), QString::fromUtf8("\u22122"));
  EXPECT_EQ(diff.grid()->horizontalHeaderItem(1)->text(), "1700");
  EXPECT_TRUE(diff.note()->text().contains("rpm points differ"));
  ASSERT_EQ(diff.plot()->curveGraphs().size(), std::size_t(kMapRows));
  EXPECT_EQ(points(diff.plot()->curveGraphs()[2])[5].y, 8);
  // The PC against the unit: unknown until it was read, then cell by cell.
  diff.sourceBox()->setCurrentIndex(MapDifferenceView::PcUnit);
  emit diff.sourceBox()->activated(MapDifferenceView::PcUnit);
  EXPECT_EQ(diff.note()->text(), "The unit's content is unknown: Read or Verify first.");
  EXPECT_EQ(diff.grid()->item(2, 5)->text(), "");
  ParameterImage unit = w_.image();
  unit.setByte(CellByte(*MapOfPage(kA1), 1, 1), Cell(w_.image(), kA1, 1, 1) + 3);
  ws().unitRead(unit);
  EXPECT_EQ(diff.grid()->item(1, 1)->text(), QString::fromUtf8("\u22123"));
  EXPECT_EQ(diff.grid()->item(0, 0)->text(), "0");
  EXPECT_EQ(w_.ini.intValue(kMapViewSection, "Differences", -1), 1);
}

TEST_F(MapViewFeature, FollowsTheLanguageAndShowsEveryCaptionWhole) {
  open();
  window().resize(window().minimumSizeHint().width(), 500);
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    ws().setLanguage(lang);
    QApplication::processEvents();
    for (const CutOffText& c : FindCutOffTexts(&window())) ADD_FAILURE() << lang << " " << c.text.toStdString();
  }
  ws().setLanguage(kLanguageFrench);
  EXPECT_EQ(window().modeBox()->itemText(0), "Courbes selon le régime");
  EXPECT_TRUE(window().windowTitle().startsWith("Vue de la carte"));
  EXPECT_EQ(plot().xAxis->label(), "Régime [tr/min]");
  EXPECT_EQ(tool("MenuMapView")->text(), "&Vue de la carte");
  EXPECT_EQ(tool("MenuMapSmooth4")->text(), "Force 4");
  ws().setLanguage(kLanguageCzech);
  EXPECT_EQ(plot().yAxis->label(), "Předstih [°]");
  EXPECT_EQ(window().setButton()->text(), "Nastavit");
}

TEST_F(MapViewFeature, ItsPlaceAndDrawingAreKeptInTheSettingsFile) {
  open();
  view_->setMode(ViewMode::CurvesOverThrottle);
  EXPECT_EQ(w_.ini.intValue(kMapViewSection, "Mode", -1), 1);
  window().resize(1010, 480);
  window().move(70, 80);
  window().close();
  EXPECT_EQ(w_.ini.intValue(kMapViewSection, "Width", 0), 1010);
  EXPECT_EQ(w_.ini.intValue(kMapViewSection, "Height", 0), 480);
  EXPECT_EQ(w_.ini.intValue(kMapViewSection, "Left", -1), window().x());

  // Another run with that file: the surface (a placeholder without OpenGL), without ghosts.
  FakeWindow other;
  other.ini.parse("[MAPVIEW]\nMode=2\nOtherMap=0\nUnit=0\nHeight=450\n");
  auto* view = new MapView(other.workspace(), other, other.pages().maps());
  view->open();
  QApplication::processEvents();
  EXPECT_EQ(view->view()->mode(), ViewMode::Surface);
  EXPECT_EQ(view->view()->modeBox()->currentIndex(), 2);
  EXPECT_FALSE(view->view()->otherBox()->isChecked());
  EXPECT_EQ(view->view()->height(), 450);
  ASSERT_NE(view->view()->surface(), nullptr);
  EXPECT_FALSE(view->view()->surface()->drawsSurface());
  EXPECT_TRUE(view->view()->standardButton()->isVisible());
}

// A place saved at twice the scale, or on a screen to the right that is gone, comes back
// wholly onto the screen.
TEST(MapViewWindow, ASavedPlaceComesBackOntoTheScreen) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  for (const char* saved : {"Left=300\nTop=200\nWidth=2010\nHeight=1700\n",
                            "Left=5000\nTop=100\nWidth=500\nHeight=300\n"}) {
    FakeWindow w;
    w.ini.parse(std::string("[MAPVIEW]\n") + saved);
    auto* view = new MapView(w.workspace(), w, w.pages().maps());
    view->open();
    QApplication::processEvents();
    EXPECT_TRUE(screen.contains(view->view()->frameGeometry())) << saved;
  }
}

}  // namespace
}  // namespace rq::test
