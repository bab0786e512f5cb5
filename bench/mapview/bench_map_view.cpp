// SPDX-License-Identifier: GPL-3.0-or-later
// rq_bench_map_view [SECONDS]: the map view against the demo unit on Advance 1, medians of
//   - opening: the window built, drawn and shown (Tools > Map view the first time), and shown
//     again after it was closed;
//   - a drag step: the dragged value in the configuration, the grid's cell and the curves
//     painted (the events of one step processed);
//   - the surface after an edit: the change taken and the surface drawn (software OpenGL;
//     only with an X display, e.g. under xvfb-run with LIBGL_ALWAYS_SOFTWARE=1);
//   - the live point moved: the marks placed and repainted for a monitor reply that moves
//     the live cell, over SECONDS (default 10) of the demo ride.
// Without a display it runs on Qt's offscreen platform and leaves the surface out.
#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/demo_unit.h"
#include "tests/app/form_peer.h"
#include "bench/common/bench_support.h"
#include "bench/common/usage.h"
#include "mapview/curve_plot.h"
#include "mapview/map_view.h"
#include "mapview/map_view_window.h"
#include "mapview/surface.h"
#include "pages/map_pages.h"
#include "pages/page_set.h"

namespace {

using rq::bench::Percentile;

double Ms(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

void Settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
  if (rq::bench::AnswerHelp(
          argc, argv,
          "Usage: rq_bench_map_view [SECONDS]\n"
          "The map view against the demo unit: opening, a drag step, the surface after an edit,\n"
          "the live point over SECONDS (default 10). Needs a display with OpenGL (xvfb-run).\n"))
    return 0;
  rq::bench::UseOffscreenWithoutDisplay();
  const rq::bench::PrivateSettings settings;
  QApplication app(argc, argv);
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const bool gl = QGuiApplication::platformName() != "offscreen";

  rq::DemoUnit unit;
  QString error;
  if (!unit.start({"--gear-method", "2"}, error)) {
    std::printf("demo unit: %s\n", error.toLocal8Bit().constData());
    return 1;
  }
  rq::FormHlavOptions options;
  options.portOverride = unit.devicePath().toStdString();
  options.messageBox = [](const QString& text) { std::printf("message: %s\n", text.toLocal8Bit().constData()); };
  rq::FormHlavPeer form(std::move(options));
  form.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(rq::kPageAdvance1);
  form.show();
  form.image().setByte(rq::kMapsUseThrottle, 1);
  form.AfterChange();
  Settle();
  rq::Workspace& ws = form.workspace();
  auto& maps = *dynamic_cast<rq::MapPages*>(form.pageSet().module(rq::kPageAdvance1));

  // Opening: a view of its own each time, built, shown and drawn.
  std::vector<double> firstOpen, reopen;
  for (int i = 0; i < 15; ++i) {
    auto* view = new rq::MapView(ws, form, maps);
    QElapsedTimer t;
    t.start();
    view->open();
    Settle();
    view->view()->plot()->repaint();
    firstOpen.push_back(Ms(t));
    for (int k = 0; k < 3; ++k) {
      view->view()->hide();
      Settle();
      t.start();
      view->open();
      Settle();
      view->view()->plot()->repaint();
      reopen.push_back(Ms(t));
    }
    delete view;
  }
  std::printf("map view opened (built and drawn): median %.1f ms, p90 %.1f ms; shown again: median %.1f ms\n",
              Percentile(firstOpen, 0.5), Percentile(firstOpen, 0.9), Percentile(reopen, 0.5));

  // A drag step: a value under the mouse to the configuration, the grid and the curves painted.
  rq::MapView& view = form.mapView();
  view.open();
  view.setMode(rq::ViewMode::CurvesOverRpm);
  view.view()->resize(900, 600);
  Settle();
  std::vector<double> drag;
  for (int i = 0; i < 300; ++i) {
    QElapsedTimer t;
    t.start();
    view.dragPoint(4, 6, 20 + i % 15);
    Settle();  // the grid's changed cell and the curves are painted
    drag.push_back(Ms(t));
    if (i % 30 == 29) view.endDrag();
  }
  view.endDrag();
  std::printf("drag step to the configuration, grid and curves repainted: median %.2f ms, p90 %.2f ms (%zu steps)\n",
              Percentile(drag, 0.5), Percentile(drag, 0.9), drag.size());

  // The surface after an edit.
  if (gl) {
    view.setMode(rq::ViewMode::Surface);
    Settle();
    rq::MapSurface* surface = view.view()->surface();
    const QSize size = surface->size();
    surface->picture(size);  // the first drawing sets the library up
    // The window's own frame: the library draws it when its window is asked to update.
    auto frame = [surface] {
      QEvent update(QEvent::UpdateRequest);
      QCoreApplication::sendEvent(surface->surfaceWindow(), &update);
    };
    std::vector<double> redraw, pictures;
    for (int i = 0; i < 60; ++i) {
      QElapsedTimer t;
      t.start();
      ws.change([i](rq::ParameterImage& im) { im.setByte(rq::CellByte(*rq::MapOfPage(rq::kPageAdvance1), 3, 7), 15 + i % 20); },
                rq::kPageAdvance1);
      frame();
      redraw.push_back(Ms(t));
      t.start();
      if (surface->picture(size).isNull()) std::printf("no picture\n");
      pictures.push_back(Ms(t));
    }
    std::printf("surface after an edit (change taken and a %dx%d frame drawn, software GL): median %.1f ms, p90 %.1f ms; "
                "into a picture: median %.1f ms\n",
                size.width(), size.height(), Percentile(redraw, 0.5), Percentile(redraw, 0.9), Percentile(pictures, 0.5));
    view.setMode(rq::ViewMode::CurvesOverRpm);
    Settle();
  } else {
    std::printf("surface: left out (no OpenGL display; run under xvfb-run with LIBGL_ALWAYS_SOFTWARE=1)\n");
  }

  // The live point per reply: the view's marking, timed around its own slot, for the replies
  // that move the live cell.
  std::vector<double> moved, still;
  QElapsedTimer slot;
  QObject::connect(&ws, &rq::Workspace::markLive, &form, [&slot] { slot.start(); });
  auto* timed = new rq::MapView(ws, form, maps);  // connected after the start: timed alone
  timed->open();
  timed->view()->resize(900, 600);
  view.view()->hide();
  Settle();
  std::optional<rq::LiveCell> last;
  QObject::connect(&ws, &rq::Workspace::markLive, &form, [&] {
    const auto now = timed->markedLive();
    if (now != last) {
      timed->view()->plot()->repaint();  // the marks' layer drawn into the window at once
      moved.push_back(Ms(slot));
    } else {
      still.push_back(Ms(slot));
    }
    last = now;
  });
  QElapsedTimer ride;
  ride.start();
  while (ride.elapsed() < seconds * 1000) QApplication::processEvents(QEventLoop::AllEvents, 20);
  std::printf("live point per reply that moves it (marks placed and repainted): median %.2f ms, p90 %.2f ms (%zu replies); "
              "nothing moved: median %.3f ms (%zu)\n",
              Percentile(moved, 0.5), Percentile(moved, 0.9), moved.size(), Percentile(still, 0.5), still.size());
  delete timed;
  return 0;
}
