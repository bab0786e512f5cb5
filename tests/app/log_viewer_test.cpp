// SPDX-License-Identifier: GPL-3.0-or-later
// The ride log viewer: its texts in every language, the cursor's "last row at or before",
// the second cursor's differences, zoom, pan and fit by mouse and keys, playback speed, the
// channel choice per plot, and traces that stay small for long logs.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "legend_check.h"
#include "log_viewer_support.h"
#include "logs/log_plot.h"
#include "logs/log_session.h"
#include "logs/log_viewer.h"
#include "model/defaults.h"
#include "sim/ride_log.h"
#include "ui/caption_apply.h"
#include "ui/log_captions.h"
#include "ui/text_fit.h"

namespace rq::logs {
namespace {

LogTable DemoLog(double seconds, std::size_t rows = 0) {
  ParameterImage cfg = NewConfiguration();
  cfg.setByte(kGearSystem, 2);
  return test::ParseLogText(sim::RideCsv(sim::RideSnapshots(cfg, seconds, 3), rows));
}

using Viewer = test::ViewerWindow;

TEST(LogViewer, EveryTextFitsInEveryLanguage) {
  Viewer v;
  v.session.adopt(DemoLog(60), "demo.csv");
  for (int lang = 0; lang < 4; ++lang) {
    v.viewer.applyLanguage(lang);
    QApplication::processEvents();
    const CaptionApplyResult r = ApplyCaptionTexts(&v.viewer, LogViewerCaptionTexts(lang));
    for (const CaptionMiss& m : r.misses)
      if (!m.row.startsWith("LogOverlayPanel") && !m.row.startsWith("LogLabelMinRows") &&
          !m.row.startsWith("LogCheckSteady") && !m.row.startsWith("LogLabelMax") &&
          !m.row.startsWith("LogLabelGears") && !m.row.startsWith("LogLabelOverlayNote"))
        ADD_FAILURE() << m.row.toStdString() << ": " << m.reason.toStdString();
    for (const CutOffText& c : FindCutOffTexts(&v.viewer))
      ADD_FAILURE() << "language " << lang << ": " << c.control.toStdString() << " \""
                    << c.text.toStdString() << "\"";
  }
  EXPECT_EQ(v.viewer.windowTitle(), QString::fromUtf8("Záznam jízdy"));
}

TEST(LogViewer, CursorShowsTheLastRowAtOrBeforeItAndTheSecondCursorTheDifference) {
  Viewer v;
  v.session.adopt(test::ParseLogText("time,rpm,throttle_pct\n0,1000,0.0\n1,2000,10.0\n2,3000,25.5\n"
                        "3,3500,30.0\n"),
                  "hand.csv");
  v.session.setCursorTime(1.5);
  EXPECT_EQ(v.legend(0), "Engine speed [rpm]: 2000");
  EXPECT_EQ(v.legend(1), "Throttle [%]: 10.0");
  v.session.setCursorTime(0.999);
  EXPECT_EQ(v.legend(0), "Engine speed [rpm]: 1000");
  v.session.setCursorTime(2.0);  // exactly on a row: that row
  EXPECT_EQ(v.legend(0), "Engine speed [rpm]: 3000");

  // A click sets the cursor where it points.
  QTest::mouseClick(&v.plot(), Qt::LeftButton, {}, QPoint(v.xOf(2.6), v.plot().height() / 2));
  EXPECT_NEAR(v.session.cursorTime(), 2.6, 0.05);
  EXPECT_EQ(v.session.cursorRow(), 2u);

  // The second cursor by right click: differences second minus first, and the box ticked.
  auto* box = v.get<QCheckBox>("LogCheckSecond");
  EXPECT_FALSE(box->isChecked());
  QTest::mouseClick(&v.plot(), Qt::RightButton, {}, QPoint(v.xOf(0.5), v.plot().height() / 2));
  ASSERT_TRUE(v.plot().secondCursor().has_value());
  EXPECT_TRUE(box->isChecked());
  EXPECT_EQ(v.legend(0), QString::fromUtf8("Engine speed [rpm]: 3000   Δ -2000"));
  EXPECT_EQ(v.legend(1), QString::fromUtf8("Throttle [%]: 25.5   Δ -25.5"));
  // The legends stand beside the plots: the ends of the traces stay in sight.
  v.plot().replot();
  for (std::size_t k = 0; k < v.plot().plots().size(); ++k)
    EXPECT_GE(v.plot().legendOf(k)->outerRect().left(), v.plot().rectOf(k)->outerRect().right())
        << k;
  // Unticked, the second cursor goes.
  box->setChecked(false);
  EXPECT_FALSE(v.plot().secondCursor().has_value());
}

TEST(LogViewer, LegendsShowTheCursorRowAfterEveryCursorMove) {
  // Every value of a column as wide as every other, so that no move makes a legend grow (a
  // legend that grows redraws the whole plot and hides the fault).
  std::string csv = "time,rpm,throttle_pct,gear\n";
  for (int i = 0; i < 600; ++i)
    csv += std::to_string(i / 10.0) + "," + std::to_string(3000 + (i * 37) % 5000) + "," +
           std::to_string(10 + (i * 7) % 80) + ".5," + std::to_string(1 + i % 6) + "\n";
  Viewer v;
  v.session.adopt(test::ParseLogText(csv), "even.csv");
  LogPlot& p = v.plot();
  p.fitAll();
  ASSERT_TRUE(test::LegendsShowCursorRow(p, v.session));

  QTest::mouseClick(&p, Qt::LeftButton, {}, QPoint(v.xOf(20), p.height() / 2));
  EXPECT_NEAR(v.session.cursorTime(), 20, 0.5);
  EXPECT_TRUE(test::LegendsShowCursorRow(p, v.session)) << "after a click";

  const std::size_t row = v.session.cursorRow();
  QTest::keyClick(&p, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(v.session.cursorRow(), row + 1);
  EXPECT_TRUE(test::LegendsShowCursorRow(p, v.session)) << "after Ctrl+Right";
  QTest::keyClick(&p, Qt::Key_Left, Qt::ControlModifier);
  QTest::keyClick(&p, Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(v.session.cursorRow(), row - 1);
  EXPECT_TRUE(test::LegendsShowCursorRow(p, v.session)) << "after Ctrl+Left";

  v.viewer.setSpeed(8);
  v.viewer.setPlaying(true);
  QTest::qWait(300);
  v.viewer.setPlaying(false);
  EXPECT_GT(v.session.cursorRow(), row + 3);
  EXPECT_TRUE(test::LegendsShowCursorRow(p, v.session)) << "after Play";
}

// The plots take the desktop's colours: on a dark palette a dark field with light text.
TEST(LogViewer, PlotsFollowADarkPalette) {
  Viewer v;
  v.session.adopt(DemoLog(20), "demo.csv");
  QPalette dark = v.viewer.palette();
  dark.setColor(QPalette::Base, QColor(25, 25, 25));
  dark.setColor(QPalette::Text, QColor(235, 235, 235));
  v.viewer.setPalette(dark);
  QCPAxis* axis = v.plot().rectOf(0)->axis(QCPAxis::atLeft);
  EXPECT_EQ(axis->tickLabelColor(), QColor(235, 235, 235));
  EXPECT_EQ(v.plot().legendOf(0)->textColor(), QColor(235, 235, 235));
  EXPECT_EQ(v.plot().grab().toImage().pixelColor(2, v.plot().height() / 2), QColor(25, 25, 25));
}

TEST(LogViewer, ZoomPanAndFitByMouseAndKeys) {
  Viewer v;
  v.session.adopt(DemoLog(120), "demo.csv");
  LogPlot& p = v.plot();
  p.fitAll();
  const double whole = p.t1() - p.t0();
  const double mid = (p.t0() + p.t1()) / 2;

  // Wheel forward zooms in around the mouse.
  QWheelEvent wheel(QPointF(v.xOf(mid), p.height() / 2), p.mapToGlobal(QPoint(v.xOf(mid), 10)),
                    QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                    false);
  QApplication::sendEvent(&p, &wheel);
  EXPECT_NEAR(p.t1() - p.t0(), whole * 0.8, whole * 0.01);
  EXPECT_LT(p.t0(), mid);
  EXPECT_GT(p.t1(), mid);

  // Arrow keys move by a tenth of the width.
  const double t0 = p.t0(), width = p.t1() - p.t0();
  QTest::keyClick(&p, Qt::Key_Left);
  EXPECT_NEAR(p.t0(), t0 - width * 0.1, 1e-6);
  QTest::keyClick(&p, Qt::Key_Right);
  QTest::keyClick(&p, Qt::Key_Right);
  EXPECT_NEAR(p.t0(), t0 + width * 0.1, 1e-6);

  // A drag to the right shows earlier times; a drag does not move the cursor.
  const double cursor = v.session.cursorTime();
  const double before = p.t0();
  const int y = p.height() / 2;
  QTest::mousePress(&p, Qt::LeftButton, {}, QPoint(400, y));
  QTest::mouseMove(&p, QPoint(450, y));
  QTest::mouseMove(&p, QPoint(500, y));
  QTest::mouseRelease(&p, Qt::LeftButton, {}, QPoint(500, y));
  EXPECT_LT(p.t0(), before);
  EXPECT_EQ(v.session.cursorTime(), cursor);

  // Ctrl+drag zooms to the band.
  const double a = 30, b = 40;
  p.setTimeRange(0, 120);
  QTest::mousePress(&p, Qt::LeftButton, Qt::ControlModifier, QPoint(v.xOf(a), y));
  QTest::mouseMove(&p, QPoint(v.xOf((a + b) / 2), y));
  QTest::mouseMove(&p, QPoint(v.xOf(b), y));
  QTest::mouseRelease(&p, Qt::LeftButton, Qt::ControlModifier, QPoint(v.xOf(b), y));
  EXPECT_NEAR(p.t0(), a, 0.5);
  EXPECT_NEAR(p.t1(), b, 0.5);

  QTest::keyClick(&p, Qt::Key_Home);
  EXPECT_NEAR(p.t1() - p.t0(), whole, whole * 0.01);
}

TEST(LogViewer, PlaysAtTheChosenSpeed) {
  Viewer v;
  v.session.adopt(DemoLog(120), "demo.csv");
  qint64 ms = 0;  // the clock playback follows: moved by hand
  v.viewer.setClock([&ms] { return ms; });
  v.viewer.setSpeed(8);
  v.session.setCursorTime(10);
  // The play timer's next ticks move the cursor by what the clock moved, however many come.
  const auto settled = [&v](const auto& done) {
    for (int i = 0; i < 500 && !done(); ++i) QTest::qWait(10);
  };
  v.viewer.setPlaying(true);
  ms += 500;
  settled([&v] { return v.session.cursorTime() > 10; });
  QTest::qWait(100);
  EXPECT_EQ(v.session.cursorTime(), 14.0);  // 0.5 s at 8 times
  v.viewer.setPlaying(false);
  ms += 500;
  QTest::qWait(100);
  EXPECT_EQ(v.session.cursorTime(), 14.0);  // paused: the clock moves, the cursor not
  // Playing to the end stops there.
  v.session.setCursorTime(v.session.table().time().back() - 0.5);
  v.viewer.setPlaying(true);
  ms += 1000;
  settled([&v] { return !v.viewer.playing(); });
  EXPECT_FALSE(v.viewer.playing());
  EXPECT_EQ(v.session.cursorTime(), v.session.table().time().back());
}

TEST(LogViewer, ChannelsPerPlotNamedWithUnitsInTheLanguage) {
  Viewer v;
  v.session.adopt(DemoLog(30), "demo.csv");
  const LogTable& log = v.session.table();
  const auto& plots = v.plot().plots();
  ASSERT_EQ(plots.size(), 5u);
  EXPECT_EQ(plots[0], std::vector<int>{log.find("rpm")});
  EXPECT_EQ(plots[2], (std::vector<int>{log.find("advance1_deg"), log.find("advance2_deg")}));
  EXPECT_EQ(plots[3], std::vector<int>{log.find("gear")});

  auto* list = v.viewer.findChild<QListWidget*>("LogListChannels");
  ASSERT_NE(list, nullptr);
  QListWidgetItem* throttle = list->item(log.find("throttle_pct"));
  EXPECT_EQ(throttle->text(), "Throttle [%]");
  EXPECT_EQ(throttle->checkState(), Qt::Unchecked);  // plot 1 shows engine speed only
  throttle->setCheckState(Qt::Checked);
  EXPECT_EQ(v.plot().plots()[0], (std::vector<int>{log.find("rpm"), log.find("throttle_pct")}));
  v.viewer.applyLanguage(1);
  EXPECT_EQ(list->item(log.find("throttle_pct"))->text(), "Drosselklappe [%]");
  EXPECT_TRUE(v.legend(0, 1).startsWith("Drosselklappe [%]: "));
}

TEST(LogViewer, LongLogsDrawFewPointsAndABadFileKeepsTheOpenLog) {
  Viewer v;
  v.session.adopt(DemoLog(100, 20000), "long.csv");
  v.plot().fitAll();
  const int width = v.plot().axisRects().at(0)->width();
  EXPECT_GT(v.plot().tracePoints(), 0);
  EXPECT_LE(v.plot().tracePoints(), 6 * (2 * width + 4));  // six traces by default

  const std::string bad = testing::TempDir() + "ragged.csv";
  {
    FILE* f = std::fopen(bad.c_str(), "w");
    std::fputs("time,rpm\n0,1000\n1,2000,5\n", f);
    std::fclose(f);
  }
  QString error;
  EXPECT_FALSE(v.session.open(QString::fromStdString(bad), error));
  EXPECT_TRUE(error.contains("3")) << error.toStdString();  // names the line
  EXPECT_EQ(v.session.path(), "long.csv");
  EXPECT_EQ(v.session.table().rows(), 20000u);
}

// A log still being written: the rows there when it opens, then each whole line as it comes (a
// line half written waits for its end) with the view moving on, as `tail -f` shows it; a file
// made shorter stops the following, keeps what was read and says why.
TEST(LogViewer, FollowsALogStillBeingWritten) {
  const std::string path = testing::TempDir() + "growing.csv";
  auto write = [&](const char* mode, const char* text) {
    FILE* f = std::fopen(path.c_str(), mode);
    std::fputs(text, f);
    std::fclose(f);
  };
  write("w", "time,rpm,throttle_pct\n0,1000,0.0\n1,2000,10.0\n");
  Viewer v;
  QString error;
  ASSERT_TRUE(v.session.open(QString::fromStdString(path), error)) << error.toStdString();
  v.plot().fitAll();
  write("a", "2,3000,20.0\n3,35");
  EXPECT_TRUE(QTest::qWaitFor([&] { return v.session.table().rows() == 3; }, 3000));
  write("a", "00,30.0\n");
  EXPECT_EQ(v.session.follow(), 1u);
  EXPECT_EQ(v.session.table().column(0).value(3), 3500);
  EXPECT_GE(v.plot().t1(), 3.0);
  auto* status = v.get<QLabel>("LogLabelStatus");
  EXPECT_TRUE(status->text().startsWith("growing.csv: 4 rows")) << status->text().toStdString();
  write("w", "time,rpm,throttle_pct\n");
  EXPECT_EQ(v.session.follow(), 0u);
  EXPECT_FALSE(v.session.following());
  EXPECT_EQ(v.session.table().rows(), 4u);
  EXPECT_TRUE(status->text().contains("made shorter")) << status->text().toStdString();
}

}  // namespace
}  // namespace rq::logs
