// SPDX-License-Identifier: GPL-3.0-or-later
// rq_bench_app [SECONDS]: prints
//   - the time from starting rq_vtmx4 to its first painted window (five runs),
//   - the CPU time of one Timer1 tick while the Monitor page is shown and the demo unit
//     answers monitor requests,
//   - the resident memory while monitoring for SECONDS (default 60), sampled every tenth.
// Without a display it runs on Qt's offscreen platform.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "bench/common/bench_support.h"
#include "app/demo_unit.h"
#include "bench/common/usage.h"
#include "tests/app/form_peer.h"
#include "logs/ride_recording.h"
#include "ui/caption_apply.h"

namespace {

using rq::bench::Mean;
using rq::bench::Percentile;
using rq::bench::ThreadCpuMs;

long ResidentKiB() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Time from process start to the first paint of the window, in ms; negative on failure.
double StartUpMs(const QString& configHome) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("RQ_VTMX4_ANNOUNCE_SHOWN", "1");
  env.insert("XDG_CONFIG_HOME", configHome);
  p.setProcessEnvironment(env);
  p.setProcessChannelMode(QProcess::SeparateChannels);
  QElapsedTimer t;
  t.start();
  p.start(QCoreApplication::applicationDirPath() + "/rq_vtmx4", {});
  double ms = -1;
  while (t.elapsed() < 10000) {
    if (!p.waitForReadyRead(100)) {
      if (p.state() == QProcess::NotRunning) break;
      continue;
    }
    if (p.readAllStandardOutput().contains("window-shown")) {
      ms = double(t.nsecsElapsed()) / 1e6;
      break;
    }
  }
  p.terminate();  // closes the window as File > Exit does
  if (!p.waitForFinished(5000)) p.kill();
  p.waitForFinished(2000);
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  if (rq::bench::AnswerHelp(
          argc, argv,
          "Usage: rq_bench_app [SECONDS]\n"
          "Window start-up time, the CPU time of a tick while monitoring the demo unit, and the\n"
          "resident memory over SECONDS of monitoring (default 60).\n"))
    return 0;
  rq::bench::UseOffscreenWithoutDisplay();
  QApplication app(argc, argv);
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;

  QTemporaryDir home;
  const QString folder = home.path() + "/RQ_VTMX4_Kelvora";
  QDir().mkpath(folder);
  // Automatic port search: no port message box holds up the start.
  std::ofstream(folder.toStdString() + "/RQ_VTMX4_Kelvora_v79.ini") << "[BASIC]\nComPort=21\n";
  setenv("XDG_CONFIG_HOME", home.path().toLocal8Bit().constData(), 1);

  std::vector<double> starts;
  for (int i = 0; i < 5; ++i) {
    const double ms = StartUpMs(home.path());
    if (ms >= 0) starts.push_back(ms);
  }
  if (starts.empty()) {
    std::printf("start-up: the window did not report itself\n");
  } else {
    std::printf("start-up to first painted window: min %.1f ms, median %.1f ms, max %.1f ms (%zu runs)\n",
                *std::min_element(starts.begin(), starts.end()), Percentile(starts, 0.5),
                *std::max_element(starts.begin(), starts.end()), starts.size());
  }

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
  form.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(rq::kPageMonitor);
  form.show();

  // The window's own timer is replaced by one that measures each tick.
  form.findChild<QTimer*>("Timer1")->stop();
  std::vector<double> idleTicks, replyTicks;
  std::vector<long> rss;
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  tick.setInterval(55);
  QElapsedTimer run;
  run.start();
  bool measuring = false;
  double renderMs = 0, showMs = 0, switchMs = 0, captionMs = 0, recordMs = 0, stripMs = 0;
  auto breakdown = [&] {
    // Where a rendered reply spends its time: the plain rendering, and the rendering copied
    // into the widgets with every value changing.
    const rq::MonitorSnapshot last = form.exchange().lastMonitor();
    rq::MonitorSnapshot other = last;
    other.rpm = static_cast<std::uint16_t>(other.rpm ^ 0x5A);
    other.supplyMv = static_cast<std::uint16_t>(other.supplyMv ^ 0x33);
    other.input[0] = static_cast<std::uint8_t>(other.input[0] ^ 1);
    double t0 = ThreadCpuMs();
    for (int i = 0; i < 1000; ++i)
      (void)rq::RenderMonitor(i % 2 ? other : last, form.image(), true, form.texts());
    renderMs = (ThreadCpuMs() - t0) / 1000;
    t0 = ThreadCpuMs();
    for (int i = 0; i < 200; ++i) {
      form.showMonitorValues(i % 2 ? other : last);
      QCoreApplication::processEvents();
    }
    showMs = (ThreadCpuMs() - t0) / 200;
    // A language change through the menu handlers, and the caption step alone.
    t0 = ThreadCpuMs();
    for (int i = 0; i < 40; ++i) {
      switch (i % 4) {
        case 0: form.MenuCzechClick(); break;
        case 1: form.MenuGermanClick(); break;
        case 2: form.MenuFrenchClick(); break;
        default: form.MenuEnglishClick(); break;
      }
      QCoreApplication::processEvents();
    }
    switchMs = (ThreadCpuMs() - t0) / 40;
    t0 = ThreadCpuMs();
    for (int i = 0; i < 40; ++i) (void)rq::ApplyCaptionTable(&form, i % 4);
    captionMs = (ThreadCpuMs() - t0) / 40;
    rq::ApplyCaptionTable(&form, form.language());
    // What a recording adds to a tick with a reply: the row written, and the strip.
    QTemporaryDir logs;
    form.rideRecording().setFolder(logs.path().toStdString());
    form.rideRecording().setRecording(true);
    t0 = ThreadCpuMs();
    for (int i = 0; i < 600; ++i)
      form.rideRecording().monitorAccepted(i % 2 ? other : last);
    recordMs = (ThreadCpuMs() - t0) / 600;
    t0 = ThreadCpuMs();
    for (int i = 0; i < 200; ++i) {
      form.rideRecording().monitorAccepted(i % 2 ? other : last);
      QCoreApplication::processEvents();
    }
    stripMs = (ThreadCpuMs() - t0) / 200;
    form.rideRecording().setRecording(false);
  };
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const rq::MonitorSnapshot before = form.exchange().lastMonitor();
    const double t0 = ThreadCpuMs();
    form.Timer1Timer();
    const double dt = ThreadCpuMs() - t0;
    if (!measuring) {
      // Warm up until the link is up and the labels have been filled once.
      if (form.exchange().connected() && run.elapsed() > 1500) {
        measuring = true;
        run.restart();
        rss.push_back(ResidentKiB());
      }
      return;
    }
    (form.exchange().lastMonitor() != before ? replyTicks : idleTicks).push_back(dt);
    const long tenth = std::max<long>(1, seconds * 100);  // ms per tenth of the run
    if (run.elapsed() >= long(rss.size()) * tenth) rss.push_back(ResidentKiB());
    if (run.elapsed() >= seconds * 1000L) {
      tick.stop();
      breakdown();
      app.quit();
    }
  });
  tick.start();
  app.exec();

  std::printf("tick CPU time, monitor reply rendered: mean %.3f ms, p99 %.3f ms, max %.3f ms (%zu ticks)\n",
              Mean(replyTicks), Percentile(replyTicks, 0.99),
              replyTicks.empty() ? 0.0 : *std::max_element(replyTicks.begin(), replyTicks.end()),
              replyTicks.size());
  std::printf("tick CPU time, other ticks:            mean %.3f ms, p99 %.3f ms, max %.3f ms (%zu ticks)\n",
              Mean(idleTicks), Percentile(idleTicks, 0.99),
              idleTicks.empty() ? 0.0 : *std::max_element(idleTicks.begin(), idleTicks.end()),
              idleTicks.size());
  std::printf("resident memory over %d s of monitoring (KiB):", seconds);
  for (long k : rss) std::printf(" %ld", k);
  std::printf("\n");
  if (!rss.empty())
    std::printf("resident memory change: %+ld KiB\n", rss.back() - rss.front());

  std::printf("recording: %.4f ms added to a tick with a reply (row written, strip text); "
              "with the strip repainted %.4f ms\n",
              recordMs, stripMs);
  std::printf("one monitor reply: rendering %.3f ms; rendering, widget update and repaint %.3f ms\n",
              renderMs, showMs);
  std::printf("language change: %.3f ms with repaint; caption table alone %.3f ms\n", switchMs,
              captionMs);
  return 0;
}
