// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the map pictures for the README and the manual: the Advance 1 page of the demo unit in
// English and French and the servo page as the window shows them by default (window colour,
// the live cell lime: docs/screenshot-advance1.png, -fr.png, docs/screenshot-servo.png), and
// the map view of Advance 1 as curves over rpm and as the surface, with the live point and its
// trail, in English and in German (docs/screenshot-map-curves.png, -de.png,
// docs/screenshot-map-surface.png, -de.png), and its differences of map 1 and map 2
// (docs/screenshot-map-differences.png). Run under a virtual X server with software GL:
// the surface needs an OpenGL display.
#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QTabWidget>

#include <cmath>
#include <cstdio>

#include "../common/bench_support.h"
#include "app/demo_unit.h"
#include "bench/common/usage.h"
#include "tests/app/form_peer.h"
#include "mapview/map_view.h"
#include "mapview/map_view_window.h"
#include "mapview/surface.h"
#include "pages/map_pages.h"
#include "pages/page_set.h"

namespace {

void Wait(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The window as the screen shows it (the surface is drawn by OpenGL, which a widget's own
// picture leaves out).
bool Save(QWidget* w, const QString& path) {
  Wait(400);
  const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(w->winId());
  if (!shot.save(path)) return false;
  std::printf("%s\n", path.toLocal8Bit().constData());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (rq::bench::AnswerHelp(
          argc, argv,
          "Usage: rq_map_view_pictures [FOLDER]\n"
          "Draws the map pictures of the README and the manual into FOLDER (default docs).\n"))
    return 0;
  rq::bench::PrivateSettings settings;
  QApplication app(argc, argv);
  const QString out = argc > 1 ? argv[1] : "docs";

  rq::DemoUnit unit;
  QString error;
  if (!unit.start({"--gear-method", "2"}, error)) {
    std::printf("demo unit: %s\n", error.toLocal8Bit().constData());
    return 1;
  }
  rq::FormHlavOptions options;
  options.portOverride = unit.devicePath().toStdString();
  rq::FormHlavPeer form(std::move(options));
  form.show();
  auto* pages = form.findChild<QTabWidget*>("PageControl1");
  pages->setCurrentIndex(rq::kPageAdvance1);
  // The map pages as they start: the demo unit's maps, the engine at idle.
  Wait(4000);
  if (!form.grab().save(out + "/screenshot-advance1.png")) return 1;
  form.MenuFrenchClick();
  Wait(300);
  if (!form.grab().save(out + "/screenshot-advance1-fr.png")) return 1;
  form.MenuEnglishClick();
  // The servo on, over rpm and throttle, rising with both.
  rq::ParameterImage& servo = form.image();
  servo.setByte(rq::kServoEnable, 1);
  servo.setByte(rq::kServoMode, 0);
  for (int c = 0; c < rq::kMapColumns; ++c) servo.setWord(rq::MapOfPage(rq::kPageServo)->axis[c], 1000 + 1000 * c);
  for (int r = 0; r < rq::kMapRows; ++r)
    for (int c = 0; c < rq::kMapColumns; ++c)
      servo.setByte(rq::CellByte(*rq::MapOfPage(rq::kPageServo), r, c), 40 + 10 * c + 6 * r);
  form.AfterChange();
  pages->setCurrentIndex(rq::kPageServo);
  Wait(1000);
  if (!form.grab().save(out + "/screenshot-servo.png")) return 1;
  pages->setCurrentIndex(rq::kPageAdvance1);
  // Maps over rpm and throttle with a shape to see: advance rising with engine speed, less of
  // it at full throttle; Advance 2 a few degrees earlier in the middle.
  rq::ParameterImage& im = form.image();
  im.setByte(rq::kMapsUseThrottle, 1);
  for (int r = 0; r < rq::kMapRows; ++r)
    for (int c = 0; c < rq::kMapColumns; ++c) {
      const double rise = std::min(1.0, c / 8.0);
      const int a1 = int(std::lround(10 + 24 * rise - 8.0 * rq::kThrottleRows[r] / 100.0 - (c == 5 && r == 7 ? 5 : 0)));
      im.setByte(rq::CellByte(*rq::MapOfPage(rq::kPageAdvance1), r, c), a1);
      im.setByte(rq::CellByte(*rq::MapOfPage(rq::kPageAdvance2), r, c), a1 + (c >= 4 && c <= 9 ? 3 : 0));
    }
  form.AfterChange();
  // The demo ride runs until the engine pulls in the middle of the map, with a trail behind it.
  QElapsedTimer ride;
  ride.start();
  Wait(4000);
  while (ride.elapsed() < 60000) {
    const rq::MonitorSnapshot& lv = form.exchange().lastMonitor();
    if (lv.rpm > 4500 && lv.rpm < 9000 && lv.throttle > 250 && lv.secondMap == 0) break;
    Wait(50);
  }
  rq::MapView& view = form.mapView();
  view.open();
  view.view()->move(40, 40);
  view.view()->resize(980, 620);
  auto& maps = *dynamic_cast<rq::MapPages*>(form.pageSet().module(rq::kPageAdvance1));
  maps.setTrailShown(true);
  maps.grid().select({6, 0, 6, 14});
  const struct {
    void (rq::FormHlavPeer::*language)();
    const char* suffix;
  } languages[] = {{&rq::FormHlavPeer::MenuEnglishClick, ""}, {&rq::FormHlavPeer::MenuGermanClick, "-de"}};
  for (const auto& l : languages) {
    (form.*l.language)();
    view.setMode(rq::ViewMode::CurvesOverRpm);
    if (!Save(view.view(), out + "/screenshot-map-curves" + l.suffix + ".png")) return 1;
    if (*l.suffix == '\0') {
      view.setMode(rq::ViewMode::Differences);
      if (!Save(view.view(), out + "/screenshot-map-differences.png")) return 1;
    }
    view.setMode(rq::ViewMode::Surface);
    Wait(1500);
    if (!Save(view.view(), out + "/screenshot-map-surface" + l.suffix + ".png")) return 1;
  }
  form.MenuEnglishClick();
  return 0;
}
