// SPDX-License-Identifier: GPL-3.0-or-later
// rq_bench_static_pages [SECONDS]: prints
//   - the time of AfterChange on every page (one configuration byte of the page changed before
//     each call, so that each call records an undo step),
//   - the CPU time of one Timer1 tick on the Gear and Race pages while the demo unit answers
//     (reply ticks render the monitor and mark the live gear), SECONDS each (default 8),
//   - the cost of the live gear marking alone.
// Without a display it runs on Qt's offscreen platform.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "app/demo_unit.h"
#include "bench/common/bench_support.h"
#include "bench/common/usage.h"
#include "tests/app/form_peer.h"
#include "pages/page_set.h"

namespace {

using rq::bench::Mean;
using rq::bench::Percentile;
using rq::bench::ThreadCpuMs;

// A byte shown on each page and two values it may take.
struct PageByte {
  int offset, a, b;
};
constexpr PageByte kBytes[rq::kPageCount] = {
    {164, 100, 110}, {173, 6, 9},     {181, 10, 12}, {331, 10, 12}, {485, 100, 110}, {639, 40, 45},
    {648, 40, 45},   {681, 40, 45},   {699, 100, 102}, {735, 50, 60}, {177, 10, 12}};

}  // namespace

int main(int argc, char** argv) {
  if (rq::bench::AnswerHelp(
          argc, argv,
          "Usage: rq_bench_static_pages [SECONDS]\n"
          "AfterChange on every page, and the tick with the live gear marked, SECONDS on each\n"
          "page (default 8).\n"))
    return 0;
  rq::bench::UseOffscreenWithoutDisplay();
  QApplication app(argc, argv);
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 8;

  const rq::bench::PrivateSettings settings;

  rq::DemoUnit unit;
  QString error;
  if (!unit.start({}, error)) {
    std::printf("demo unit: %s\n", error.toLocal8Bit().constData());
    return 1;
  }
  rq::FormHlavOptions options;
  options.portOverride = unit.devicePath().toStdString();
  options.messageBox = [](const QString&) {};
  rq::FormHlavPeer form(std::move(options));
  auto* tabs = form.findChild<QTabWidget*>("PageControl1");
  form.image().setByte(rq::kGearSystem, 1);  // gear by voltage: every gear field shown
  form.image().setByte(rq::kGearCount, 6);
  form.image().setByte(rq::kInputFunction[0], 3);  // clutch master: the Race page's fields enabled
  form.show();
  QCoreApplication::processEvents();

  std::printf("AfterChange by page (200 runs each, one byte changed before each):\n");
  for (int page = 0; page < rq::kPageCount; ++page) {
    tabs->setCurrentIndex(page);
    QCoreApplication::processEvents();
    std::vector<double> times;
    for (int i = 0; i < 200; ++i) {
      const PageByte& b = kBytes[page];
      const auto edit = [&b, i](rq::ParameterImage& im) { im.setByte(b.offset, i % 2 ? b.a : b.b); };
      const double t0 = ThreadCpuMs();
      form.workspace().change(edit, page);
      times.push_back(ThreadCpuMs() - t0);
      if (i % 20 == 0) QCoreApplication::processEvents();
    }
    std::printf("  page %2d %-10s median %.3f ms, p99 %.3f ms\n", page, rq::PageName(page),
                Percentile(times, 0.5), Percentile(times, 0.99));
  }

  form.findChild<QTimer*>("Timer1")->stop();
  for (int page : {rq::kPageGear, rq::kPageRace}) {
    tabs->setCurrentIndex(page);
    QCoreApplication::processEvents();
    std::vector<double> replyTicks, otherTicks;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(55);
    QElapsedTimer run;
    run.start();
    bool measuring = false;
    int gearChanges = 0, lastGear = -1;
    QObject::connect(&tick, &QTimer::timeout, [&] {
      const rq::MonitorSnapshot before = form.exchange().lastMonitor();
      const double t0 = ThreadCpuMs();
      form.Timer1Timer();
      const double dt = ThreadCpuMs() - t0;
      if (!measuring) {
        if (form.exchange().connected() && run.elapsed() > 1500) {
          measuring = true;
          run.restart();
        }
        return;
      }
      (form.exchange().lastMonitor() != before ? replyTicks : otherTicks).push_back(dt);
      if (form.lastMonitor().gear != lastGear) ++gearChanges;
      lastGear = form.lastMonitor().gear;
      if (run.elapsed() >= seconds * 1000L) {
        tick.stop();
        app.quit();
      }
    });
    tick.start();
    app.exec();
    std::printf("tick on %s: reply ticks mean %.3f ms, p99 %.3f ms (%zu); other ticks mean %.3f ms, p99 %.3f ms (%zu); %d gear changes\n",
                rq::PageName(page), Mean(replyTicks), Percentile(replyTicks, 0.99), replyTicks.size(),
                Mean(otherTicks), Percentile(otherTicks, 0.99), otherTicks.size(), gearChanges);
    std::vector<double> marks;
    for (int i = 0; i < 2000; ++i) {
      const double t0 = ThreadCpuMs();
      form.pageSet().markLive(page);
      marks.push_back(ThreadCpuMs() - t0);
    }
    std::printf("  live gear marking alone on %s: median %.4f ms, p99 %.4f ms\n", rq::PageName(page),
                Percentile(marks, 0.5), Percentile(marks, 0.99));
  }
  return 0;
}
