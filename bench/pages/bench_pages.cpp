// SPDX-License-Identifier: GPL-3.0-or-later
// rq_bench_pages [SECONDS]: prints
//   - the time of AfterChange on the Advance 1 page (one change of a cell: the pass, the pages
//     shown again, the undo step),
//   - the CPU time of one Timer1 tick on the Advance 1 page while the demo unit answers
//     monitor requests (reply ticks mark the live cell and its trail), for SECONDS (default 15),
//   - the cost of the marking alone (two operating points in turn, with a trail),
//   - how many grid widgets are re-marked and repainted per reply.
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
#include "pages/map_pages.h"
#include "pages/page_set.h"

namespace {

using rq::bench::Mean;
using rq::bench::Percentile;
using rq::bench::ThreadCpuMs;

// Counts paint events of the widgets inside the map grid.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* grid) : grid_(grid) {}
  int count = 0;

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Paint) {
      auto* w = qobject_cast<QWidget*>(o);
      if (w != nullptr && w != grid_ && grid_->isAncestorOf(w)) ++count;
    }
    return false;
  }

 private:
  QWidget* grid_;
};

}  // namespace

int main(int argc, char** argv) {
  if (rq::bench::AnswerHelp(
          argc, argv,
          "Usage: rq_bench_pages [SECONDS]\n"
          "AfterChange on a map page, and the tick with the live cell and trail marked over\n"
          "SECONDS (default 15).\n"))
    return 0;
  rq::bench::UseOffscreenWithoutDisplay();
  QApplication app(argc, argv);
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;

  const rq::bench::PrivateSettings settings;

  rq::DemoUnit unit;
  QString error;
  if (!unit.start({}, error)) {
    std::printf("demo unit: %s\n", error.toLocal8Bit().constData());
    return 1;
  }
  rq::FormHlavOptions options;
  options.portOverride = unit.devicePath().toStdString();
  options.messageBox = [](const QString& text) {
    std::printf("message: %s\n", text.toLocal8Bit().constData());
  };
  rq::FormHlavPeer form(std::move(options));
  form.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(rq::kPageAdvance1);
  form.show();
  QCoreApplication::processEvents();
  auto& maps = *dynamic_cast<rq::MapPages*>(form.pageSet().module(rq::kPageAdvance1));

  // AfterChange with one cell changed each time (an undo step each), then painted.
  std::vector<double> afterChange, afterChangePainted;
  for (int i = 0; i < 400; ++i) {
    const auto edit = [i](rq::ParameterImage& im) { im.setByte(181 + (i * 7) % 150, 10 + i % 40); };
    const double t0 = ThreadCpuMs();
    form.workspace().change(edit, rq::kPageAdvance1);
    const double t1 = ThreadCpuMs();
    QCoreApplication::processEvents();
    afterChange.push_back(t1 - t0);
    afterChangePainted.push_back(ThreadCpuMs() - t0);
  }
  std::printf("AfterChange on Advance 1: median %.3f ms, p99 %.3f ms; with repaint: median %.3f ms (%zu runs)\n",
              Percentile(afterChange, 0.5), Percentile(afterChange, 0.99),
              Percentile(afterChangePainted, 0.5), afterChange.size());

  // The marking alone: two operating points in turn, with a trail behind each.
  rq::TrailLevels trailA{}, trailB{};
  trailA[3 * 15 + 4] = 3;
  trailA[3 * 15 + 5] = 5;
  trailB[6 * 15 + 9] = 4;
  std::vector<double> marks;
  int touched = 0;
  for (int i = 0; i < 2000; ++i) {
    const double t0 = ThreadCpuMs();
    touched += maps.grid().mark(i % 2 ? rq::LiveCell{5, 3, true} : rq::LiveCell{9, 6, true},
                                i % 2 ? trailA : trailB);
    marks.push_back(ThreadCpuMs() - t0);
  }
  std::printf("live cell and trail marking, operating point moving every call: median %.4f ms, p99 %.4f ms, %.1f widgets re-marked per call\n",
              Percentile(marks, 0.5), Percentile(marks, 0.99), double(touched) / 2000.0);
  marks.clear();
  for (int i = 0; i < 2000; ++i) {
    const double t0 = ThreadCpuMs();
    maps.grid().mark(rq::LiveCell{5, 3, true}, trailA);
    marks.push_back(ThreadCpuMs() - t0);
  }
  std::printf("live cell and trail marking, nothing changed: median %.4f ms\n", Percentile(marks, 0.5));

  // Ticks against the demo unit.
  PaintCounter paints(maps.grid().box());
  app.installEventFilter(&paints);
  form.findChild<QTimer*>("Timer1")->stop();
  std::vector<double> replyTicks, idleTicks, touchedPerReply, paintsPerReply;
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  tick.setInterval(55);
  QElapsedTimer run;
  run.start();
  bool measuring = false;
  int paintsBefore = 0;
  bool lastWasReply = false;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    if (measuring && lastWasReply) paintsPerReply.push_back(paints.count - paintsBefore);
    const rq::MonitorSnapshot before = form.exchange().lastMonitor();
    paintsBefore = paints.count;
    const double t0 = ThreadCpuMs();
    form.Timer1Timer();
    const double dt = ThreadCpuMs() - t0;
    const bool reply = form.exchange().lastMonitor() != before;
    lastWasReply = reply;
    if (!measuring) {
      if (form.exchange().connected() && run.elapsed() > 1500) {
        measuring = true;
        run.restart();
      }
      return;
    }
    if (reply) {
      replyTicks.push_back(dt);
      touchedPerReply.push_back(maps.lastMarkTouched());
    } else {
      idleTicks.push_back(dt);
    }
    if (run.elapsed() >= seconds * 1000L) {
      tick.stop();
      app.quit();
    }
  });
  tick.start();
  app.exec();
  std::printf("tick CPU time on Advance 1, monitor reply (rendering + live cell + trail): mean %.3f ms, p99 %.3f ms (%zu ticks)\n",
              Mean(replyTicks), Percentile(replyTicks, 0.99), replyTicks.size());
  std::printf("tick CPU time on Advance 1, other ticks (trail fading only): mean %.3f ms, p99 %.3f ms (%zu ticks)\n",
              Mean(idleTicks), Percentile(idleTicks, 0.99), idleTicks.size());
  std::printf("grid widgets re-marked per reply: mean %.1f, max %.0f; grid widgets repainted after a reply: mean %.1f, max %.0f (of 346)\n",
              Mean(touchedPerReply),
              touchedPerReply.empty() ? 0.0 : *std::max_element(touchedPerReply.begin(), touchedPerReply.end()),
              Mean(paintsPerReply),
              paintsPerReply.empty() ? 0.0 : *std::max_element(paintsPerReply.begin(), paintsPerReply.end()));
  return 0;
}
