// SPDX-License-Identifier: GPL-3.0-or-later
// The 3-D surface on a real (virtual) X display with software OpenGL: it draws the map and its
// marks in their colours, turns with a drag, zooms with the wheel, comes back to the standard
// view, reports a click as a cell; in the map view a click selects the cell in the grid.
#include <QApplication>
#include <QLabel>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPushButton>
#include <QWheelEvent>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

#include "fake_window.h"
#include "mapview/map_view.h"
#include "mapview/map_view_window.h"
#include "mapview/surface.h"
#include "model/defaults.h"
#include "pages/map_pages.h"

namespace rq::test {
namespace {

// A map rising with rpm and falling with throttle.
MapPlane Plane() {
  MapPlane p;
  p.shown = true;
  p.top = 60;
  for (int c = 0; c < kMapColumns; ++c) p.rpm[std::size_t(c)] = 1000 + 800 * c;
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c) p.value[std::size_t(r * kMapColumns + c)] = 10 + 2 * c - r;
  return p;
}

void Wait(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

class Surface : public ::testing::Test {
 protected:
  void SetUp() override {
    holder_ = std::make_unique<QWidget>();
    holder_->resize(640, 480);
    surface_ = MakeMapSurface(holder_.get());
    surface_->setGeometry(0, 0, 640, 480);
    holder_->show();
    surface_->showPlane(Plane(), {"rpm", "throttle", "advance", "none", "rpm"});
    Wait(200);
  }
  // Pixels of a colour family in the surface's picture.
  int count(bool (*family)(const QColor&)) {
    const QImage picture = surface_->picture(QSize(640, 480));
    int n = 0;
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x) n += family(picture.pixelColor(x, y));
    return n;
  }
  void send(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent e(type, at, surface_->surfaceWindow()->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(surface_->surfaceWindow(), &e);
  }

  std::unique_ptr<QWidget> holder_;
  MapSurface* surface_ = nullptr;
};

bool Lime(const QColor& c) { return c.green() > 180 && c.red() < 110 && c.blue() < 110; }
bool Orange(const QColor& c) { return c.red() > 200 && c.green() > 90 && c.green() < 190 && c.blue() < 70; }

TEST_F(Surface, DrawsTheMapAndItsMarksInTheirColours) {
  ASSERT_TRUE(surface_->drawsSurface());
  ASSERT_NE(surface_->surfaceWindow(), nullptr);
  const QImage picture = surface_->picture(QSize(640, 480));
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(count(Lime), 0);  // lime is the live point's alone
  EXPECT_EQ(count(Orange), 0);
  SurfaceMarks marks;
  marks.live = SurfaceCell{4, 7};
  marks.trail[std::size_t(5 * kMapColumns + 9)] = kTrailLevels;
  surface_->showMarks(marks);
  EXPECT_GT(count(Lime), 8);
  EXPECT_GT(count(Orange), 5);
  surface_->showMarks({});
  EXPECT_EQ(count(Lime), 0);
}

TEST_F(Surface, ADragTurnsTheWheelZoomsAndTheStandardViewComesBack) {
  const SurfaceCamera standard = surface_->camera();
  const QPointF centre(320, 240);
  send(QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
  for (int i = 1; i <= 10; ++i)
    send(QEvent::MouseMove, centre + QPointF(8 * i, 3 * i), Qt::NoButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, centre + QPointF(80, 30), Qt::LeftButton, Qt::NoButton);
  const SurfaceCamera turned = surface_->camera();
  EXPECT_NE(turned.xRotation, standard.xRotation);
  EXPECT_NE(turned.yRotation, standard.yRotation);
  QWheelEvent wheel(centre, surface_->surfaceWindow()->mapToGlobal(centre), QPoint(), QPoint(0, 240),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(surface_->surfaceWindow(), &wheel);
  // The zoom aims at the point under the mouse: it follows the next drawing.
  for (int i = 0; i < 100 && surface_->camera().zoom == standard.zoom; ++i) {
    surface_->surfaceWindow()->requestUpdate();
    Wait(20);
  }
  EXPECT_NE(surface_->camera().zoom, standard.zoom);
  surface_->standardView();
  EXPECT_EQ(surface_->camera().xRotation, standard.xRotation);
  EXPECT_EQ(surface_->camera().yRotation, standard.yRotation);
  EXPECT_EQ(surface_->camera().zoom, standard.zoom);
}

TEST_F(Surface, AClickWithoutADragReportsTheCellUnderTheMouse) {
  std::optional<SurfaceCell> clicked;
  surface_->onCellClicked = [&clicked](int r, int c) { clicked = SurfaceCell{r, c}; };
  // The grid's selection shown on the surface is no click.
  SurfaceMarks marks;
  marks.selected = SurfaceCell{2, 2};
  surface_->showMarks(marks);
  Wait(100);
  EXPECT_FALSE(clicked);
  const QPointF centre(320, 250);
  send(QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton);
  for (int i = 0; i < 100 && !clicked; ++i) {
    surface_->surfaceWindow()->requestUpdate();
    Wait(20);
  }
  ASSERT_TRUE(clicked);
  EXPECT_GE(clicked->first, 0);
  EXPECT_LT(clicked->first, kMapRows);
  EXPECT_GE(clicked->second, 0);
  EXPECT_LT(clicked->second, kMapColumns);
}

TEST(SurfaceInTheMapView, AClickSelectsTheCellTheUnitAppliesInTheGrid) {
  FakeWindow w;
  w.show();
  w.image().setByte(kMapsUseThrottle, 1);
  w.showPage(kPageAdvance1);
  auto* view = new MapView(w.workspace(), w, w.pages().maps());
  view->setMode(ViewMode::Surface);
  view->open();
  Wait(300);
  MapSurface* surface = view->view()->surface();
  ASSERT_NE(surface, nullptr);
  ASSERT_TRUE(surface->drawsSurface());
  ASSERT_TRUE(surface->onCellClicked);
  surface->onCellClicked(3, 4);
  const CellRect sel = w.pages().maps().grid().selection();
  EXPECT_EQ(sel.row0, 3);
  EXPECT_EQ(sel.column0, 4);
  // Over rpm only the cell the unit applies there is row 9's.
  w.workspace().change([](ParameterImage& im) { im.setByte(kMapsUseThrottle, 0); }, kPageAdvance1);
  surface->onCellClicked(3, 6);
  EXPECT_EQ(w.pages().maps().grid().selection().row0, 9);
  EXPECT_EQ(w.pages().maps().grid().selection().column0, 6);
  // An edit redraws the surface; the standard view button brings it back.
  const SurfaceCamera standard = surface->camera();
  view->view()->standardButton()->click();
  EXPECT_EQ(surface->camera().xRotation, standard.xRotation);
}

// Run alone on a display without OpenGL (the test list below starts it so): the view shows
// its note in place of the surface instead of crashing.
TEST(SurfaceWithoutOpenGl, TheMapViewShowsTheNote) {
  FakeWindow w;
  w.show();
  w.showPage(kPageAdvance1);
  auto* view = new MapView(w.workspace(), w, w.pages().maps());
  view->setMode(ViewMode::Surface);
  view->open();
  Wait(100);
  MapSurface* surface = view->view()->surface();
  ASSERT_NE(surface, nullptr);
  EXPECT_FALSE(surface->drawsSurface());
  auto* note = surface->findChild<QLabel*>("LabelMapSurfaceUnavailable");
  ASSERT_NE(note, nullptr);
  EXPECT_FALSE(note->text().isEmpty());
}

}  // namespace
}  // namespace rq::test
