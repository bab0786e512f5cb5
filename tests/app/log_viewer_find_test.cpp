// SPDX-License-Identifier: GPL-3.0-or-later
// The log viewer's Find (the first matching row, then every one in turn, the stretches marked,
// the errors said), reading a log on a worker (responsive while it reads, cancelled on
// request, a FIFO and a bad file refused without blocking) and the acceleration drawn by the
// map in use.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <thread>

#include "legend_check.h"
#include "log_viewer_support.h"
#include "logs/log_loader.h"
#include "logs/log_plot.h"
#include "logs/log_session.h"
#include "logs/log_viewer.h"

namespace rq::logs {
namespace {

// 40 rows 0.3 s apart; gear 4 with the throttle above 85 % in rows 3, 4, 5, 17, 30 and 39
// (the last row), 85.0 exactly in row 10, gear 3 above 85 % in row 20.
std::string FindCsv() {
  std::string csv = "time,rpm,throttle_pct,gear,acceleration_rpm_s,second_map\n";
  for (int i = 0; i < 40; ++i) {
    const bool wide = i == 3 || i == 4 || i == 5 || i == 17 || i == 30 || i == 39;
    const double throttle = wide ? 90.0 : i == 10 || i == 20 ? (i == 10 ? 85.0 : 95.0) : 40.0;
    const int gear = i == 20 ? 3 : 4;
    csv += std::to_string(i * 0.3) + "," + std::to_string(4000 + 10 * i) + "," +
           std::to_string(throttle) + "," + std::to_string(gear) + "," +
           std::to_string(1000 + i) + "," + (i >= 10 && i < 25 ? "1" : "0") + "\n";
  }
  return csv;
}

using Viewer = test::ViewerWindow;
using test::ParseLogText;

TEST(LogViewerFind, StopsAtTheFirstMatchingRowThenStepsFromStretchToStretch) {
  Viewer v;
  v.session.adopt(ParseLogText(FindCsv()), "find.csv");
  const std::vector<std::size_t> wanted = {3, 17, 30, 39};
  QLineEdit* field = v.viewer.findField();
  field->setText("gear = 4 and throttle > 85 %");
  // From the start: the first matching row, not the one after it.
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_EQ(v.session.cursorRow(), 3u);
  EXPECT_TRUE(v.viewer.findResult()->text().contains("4")) << v.viewer.findResult()->text().toStdString();
  // F3 on: the start of every stretch once, in order, then round to the first.
  std::vector<std::size_t> visited = {v.session.cursorRow()};
  for (int i = 0; i < 3; ++i) {
    QTest::keyClick(&v.viewer, Qt::Key_F3);
    visited.push_back(v.session.cursorRow());
  }
  EXPECT_EQ(visited, wanted);
  EXPECT_FALSE(v.viewer.findResult()->text().contains("round"));
  QTest::keyClick(&v.viewer, Qt::Key_F3);
  EXPECT_EQ(v.session.cursorRow(), 3u);
  EXPECT_TRUE(v.viewer.findResult()->text().contains("round")) << v.viewer.findResult()->text().toStdString();
  // Back with Shift+F3 and Previous.
  QTest::keyClick(&v.viewer, Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(v.session.cursorRow(), 39u);
  v.get<QPushButton>("LogButtonFindPrevious")->click();
  EXPECT_EQ(v.session.cursorRow(), 30u);
  // A condition written while the cursor stands on a match stops there.
  field->setText("throttle > 85 and gear = 4");
  v.get<QPushButton>("LogButtonFindNext")->click();
  EXPECT_EQ(v.session.cursorRow(), 30u);

  // The stretches on the time axis: each from its first row to the row after its last.
  ASSERT_EQ(v.viewer.matches().size(), 4u);
  const auto& marks = v.viewer.plot()->marks();
  ASSERT_EQ(marks.size(), 4u);
  EXPECT_DOUBLE_EQ(marks[0].first, 0.9);
  EXPECT_DOUBLE_EQ(marks[0].second, 1.8);
  EXPECT_DOUBLE_EQ(marks[1].first, 17 * 0.3);
  EXPECT_DOUBLE_EQ(marks[1].second, 18 * 0.3);
  EXPECT_DOUBLE_EQ(marks[3].first, 39 * 0.3);
  EXPECT_DOUBLE_EQ(marks[3].second, 39 * 0.3);  // the last row: no row after it
  EXPECT_TRUE(test::LegendsShowCursorRow(*v.viewer.plot(), v.session));
}

TEST(LogViewerFind, AConditionThatCannotBeReadSaysWhyAndMovesNothing) {
  Viewer v;
  v.session.adopt(ParseLogText(FindCsv()), "find.csv");
  v.session.setCursorRow(7);
  QLineEdit* field = v.viewer.findField();
  field->setText("gear = four");
  EXPECT_FALSE(v.viewer.findNext());
  EXPECT_EQ(v.session.cursorRow(), 7u);
  EXPECT_TRUE(v.viewer.findResult()->text().contains("four"));
  EXPECT_EQ(field->cursorPosition(), 7);
  EXPECT_TRUE(v.viewer.plot()->marks().empty());
  field->setText("gear = 6");
  EXPECT_FALSE(v.viewer.findNext());
  EXPECT_EQ(v.session.cursorRow(), 7u);
  EXPECT_EQ(v.viewer.findResult()->text(), "No row meets it");
  // In German, with the German channel names.
  v.session.setLanguage(1);
  field->setText("Gang = 3 und Drosselklappe > 85");
  EXPECT_TRUE(v.viewer.findNext());
  EXPECT_EQ(v.session.cursorRow(), 20u);
  v.session.setLanguage(0);
}

// A reader that takes two seconds unless it is stopped, reporting 20 pieces.
LoadResult SlowRead(const std::string&, const LoadOptions& options) {
  LoadResult r;
  for (int piece = 1; piece <= 20; ++piece) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (!options.progress(std::uint64_t(piece) << 20, 20ull << 20)) {
      r.cancelled = true;
      return r;
    }
  }
  r.table = ParseLogText("time,rpm\n0,1000\n");
  return r;
}

TEST(LogViewerLoad, TheWindowStaysResponsiveWhileALogIsReadAndCancelStopsIt) {
  Viewer v;
  v.session.adopt(ParseLogText(FindCsv()), "before.csv");
  v.viewer.loader()->read = SlowRead;
  int ticks = 0;
  QTimer beat;
  QObject::connect(&beat, &QTimer::timeout, [&] { ++ticks; });
  beat.start(10);
  ASSERT_TRUE(v.viewer.openFile("/somewhere/slow.csv"));
  EXPECT_FALSE(v.viewer.openFile("/somewhere/other.csv"));  // one read at a time
  QTest::qWait(450);
  EXPECT_TRUE(v.viewer.loading());
  // Events went on being processed while the worker read.
  EXPECT_GE(ticks, 15);
  EXPECT_TRUE(v.get<QWidget>("LogLoadRow")->isVisible());
  EXPECT_GT(v.get<QProgressBar>("LogProgressLoading")->value(), 0);
  EXPECT_TRUE(v.get<QLabel>("LogLabelLoading")->text().contains("slow.csv"));
  const auto cancelled = std::chrono::steady_clock::now();
  v.get<QPushButton>("LogButtonCancelLoad")->click();
  QTRY_VERIFY_WITH_TIMEOUT(!v.viewer.loading(), 2000);
  EXPECT_LT(std::chrono::steady_clock::now() - cancelled, std::chrono::milliseconds(1000));
  EXPECT_FALSE(v.get<QWidget>("LogLoadRow")->isVisible());
  EXPECT_EQ(v.session.path(), "before.csv");
  EXPECT_EQ(v.session.table().rows(), 40u);
  EXPECT_EQ(v.get<QLabel>("LogLabelStatus")->text(), "Reading cancelled; the log open before stays");
  // Closing the viewer while it reads stops the read too.
  ASSERT_TRUE(v.viewer.openFile("/somewhere/slow.csv"));
  v.viewer.close();
  QTRY_VERIFY_WITH_TIMEOUT(!v.viewer.loading(), 2000);
  EXPECT_EQ(v.session.path(), "before.csv");
}

TEST(LogViewerLoad, AFileOpensWhenReadAndAFifoOrABadFileIsRefusedWithoutBlocking) {
  Viewer v;
  const std::string dir = testing::TempDir();
  const std::string good = dir + "viewer_good.csv";
  std::ofstream(good) << FindCsv();
  ASSERT_TRUE(v.viewer.openFile(QString::fromStdString(good)));
  QTRY_VERIFY_WITH_TIMEOUT(!v.viewer.loading(), 5000);
  ASSERT_TRUE(v.session.isOpen());
  EXPECT_EQ(v.session.table().rows(), 40u);
  EXPECT_EQ(v.session.path().toStdString(), good);

  const std::string fifo = dir + "viewer_fifo.csv";
  std::remove(fifo.c_str());
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string bad = dir + "viewer_bad.csv";
  std::ofstream(bad) << "time,rpm\n0,1000\n1,2000,5\n";
  for (const std::string& path : {fifo, bad}) {
    ASSERT_TRUE(v.viewer.openFile(QString::fromStdString(path)));
    QTRY_VERIFY_WITH_TIMEOUT(!v.viewer.loading(), 5000);
    auto* box = v.viewer.findChild<QMessageBox*>("LogMessageOpenFailed");
    ASSERT_NE(box, nullptr) << path;
    EXPECT_TRUE(box->text().contains(QString::fromStdString(path))) << box->text().toStdString();
    delete box;
    EXPECT_EQ(v.session.path().toStdString(), good);
  }
  std::remove(fifo.c_str());
}

// Ticked without a plot of the acceleration, the box adds one; a log without the columns it
// needs has the box greyed out, its hint saying what is missing.
TEST(LogViewerMaps, AccelerationByMapShowsTheAccelerationOrSaysWhatIsMissing) {
  Viewer v;
  v.session.adopt(ParseLogText(FindCsv()), "maps.csv");
  LogPlot& p = *v.viewer.plot();
  const std::size_t plots = p.plots().size();
  auto* box = v.get<QCheckBox>("LogCheckMapColours");
  box->setChecked(true);
  ASSERT_EQ(p.plots().size(), plots + 1);
  EXPECT_EQ(p.plots().back(), std::vector<int>{v.session.table().find("acceleration_rpm_s")});
  EXPECT_NE(p.secondMapTrace(plots, 0), nullptr);
  v.session.adopt(ParseLogText("time,rpm,acceleration_rpm_s\n0,3000,10\n1,3100,12\n"), "one.csv");
  EXPECT_FALSE(box->isEnabled());
  EXPECT_FALSE(box->isChecked());
  EXPECT_TRUE(box->toolTip().contains("second_map")) << box->toolTip().toStdString();
}

TEST(LogViewerMaps, AccelerationDrawnInOneColourPerMap) {
  Viewer v;
  v.session.adopt(ParseLogText(FindCsv()), "maps.csv");
  LogPlot& p = *v.viewer.plot();
  p.setPlots({{v.session.table().find("acceleration_rpm_s")}});
  p.setTimeRange(-1, 13);
  EXPECT_EQ(p.secondMapTrace(0, 0), nullptr);
  v.get<QCheckBox>("LogCheckMapColours")->setChecked(true);
  QCPGraph* map1 = p.trace(0, 0);
  QCPGraph* map2 = p.secondMapTrace(0, 0);
  ASSERT_NE(map2, nullptr);
  EXPECT_NE(map1->pen().color(), map2->pen().color());
  // Rows 10 to 24 ran on map 2 (acceleration 1010 .. 1024), the others on map 1: each line
  // holds its own rows and the first row of the other map's run where it hands over.
  auto values = [](QCPGraph* g) {
    std::vector<double> out;
    for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it)
      if (!std::isnan(it->value)) out.push_back(it->value);
    return out;
  };
  const std::vector<double> one = values(map1), two = values(map2);
  for (double a : one) EXPECT_TRUE(a < 1010 || a > 1024 || a == 1010) << a;
  for (double a : two) EXPECT_TRUE((a >= 1010 && a <= 1024) || a == 1025) << a;
  EXPECT_EQ(two.size(), 16u);
  EXPECT_EQ(one.size(), 40u - 15u + 1u);
  EXPECT_TRUE(test::LegendsShowCursorRow(p, v.session));
  v.get<QCheckBox>("LogCheckMapColours")->setChecked(false);
  EXPECT_EQ(p.secondMapTrace(0, 0), nullptr);
}

}  // namespace
}  // namespace rq::logs
