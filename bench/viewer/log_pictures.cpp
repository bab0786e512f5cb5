// SPDX-License-Identifier: GPL-3.0-or-later
// Draws docs/screenshot-log-viewer.png and docs/screenshot-log-overlay.png: two minutes of the
// demo ride as the window records it, in the viewer and on Advance 1; and
// docs/screenshot-ab-mode.png: half an hour of the A/B ride in the A/B mode on Advance 1, and
// docs/screenshot-ab-rides.png: its rides window with the evidence of a cell.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>

#include "../common/bench_support.h"
#include "../common/ab_session.h"
#include "abmode/ab_mode.h"
#include "abmode/ab_panel.h"
#include "bench/common/usage.h"
#include "pages/map_pages.h"
#include "pages/page_set.h"
#include "tests/app/form_peer.h"
#include "logs/log_plot.h"
#include "logs/log_room.h"
#include "logs/log_session.h"
#include "logs/log_viewer.h"
#include "logs/map_log_overlay.h"
#include "model/defaults.h"
#include "sim/ride_log.h"

int main(int argc, char** argv) {
  if (rq::bench::AnswerHelp(
          argc, argv,
          "Usage: rq_log_pictures [FOLDER]\n"
          "Draws the log viewer's pictures of the README and the manual into FOLDER (default\n"
          "docs).\n"))
    return 0;
  rq::bench::UseOffscreenWithoutDisplay();
  rq::bench::PrivateSettings settings;
  QApplication app(argc, argv);
  const QString out = argc > 1 ? argv[1] : "docs";

  QTemporaryDir dir;
  const std::string path = dir.path().toStdString() + "/ride_2026-05-04_17-00-00.csv";
  rq::ParameterImage cfg = rq::NewConfiguration();
  cfg.setByte(rq::kGearSystem, 2);
  std::ofstream(path) << rq::sim::RideCsv(rq::sim::RideSnapshots(cfg, 120, 1));

  rq::FormHlavPeer window;
  window.show();
  QApplication::processEvents();
  window.resize(1005, 850);  // after the start-up has placed the window by its settings
  window.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(rq::kPageAdvance1);
  window.logRoom().openLog(path);
  auto* viewer = window.findChild<rq::logs::LogViewer*>();
  while (viewer->loading()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  viewer->resize(1280, 800);
  rq::logs::LogSession& session = window.logRoom().session();
  // Find: the stretches in 5th and 6th gear with the throttle open, marked on the time axis.
  viewer->findField()->setText("gear >= 5 and throttle > 30 %");
  viewer->findNext();
  session.setCursorTime(47.0);
  viewer->plot()->setSecondCursor(53.0);
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  viewer->plot()->refreshTraces();
  if (!viewer->grab().save(out + "/screenshot-log-viewer.png")) return 1;

  window.findChild<QCheckBox*>("CheckBoxLogOverlay")->setChecked(true);
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  if (!window.grab().save(out + "/screenshot-log-overlay.png")) return 1;

  // The A/B mode: the A/B ride's configuration, half an hour of its ride, Advance 1.
  window.findChild<QCheckBox*>("CheckBoxLogOverlay")->setChecked(false);
  const rq::ParameterImage ab = rq::bench::AbSessionConfig();
  window.workspace().change([&ab](rq::ParameterImage& im) { im = ab; }, rq::kPageAdvance1);
  rq::logs::LoadResult ride = rq::logs::ParseCsvText(rq::bench::AbSessionCsv(ab, 1800, 7));
  if (!ride.ok()) return 1;
  session.adopt(std::move(*ride.table), "ride_2026-05-04_18-00-00.csv");
  session.setCursorTime(0);
  window.findChild<QCheckBox*>("CheckBoxAbMode")->setChecked(true);
  auto* mode = window.findChild<rq::abmode::AbMode*>();
  while (mode->analysing()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  if (!window.grab().save(out + "/screenshot-ab-mode.png")) return 1;
  // The rides window with the evidence of the 60 % cell at 5000 rpm.
  window.pageSet().maps().grid().select({7, 6, 7, 6});
  rq::abmode::AbPanel* panel = mode->openRidesWindow();
  while (mode->analysing()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  panel->showEvidence();
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  if (!panel->grab().save(out + "/screenshot-ab-rides.png")) return 1;
  std::printf("pictures in %s\n", out.toLocal8Bit().constData());
  return 0;
}
