// SPDX-License-Identifier: GPL-3.0-or-later
// The log viewer with a 1,000,000-row log of every channel (the demo ride, repeated): load to
// the first plot, redraw of the whole range, one pan step, one cursor move, and the map
// overlay's count with the steady-state filter. Prints medians of wall time and of this
// thread's CPU time (the machine may be shared).
#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include "../common/bench_support.h"
#include "bench/common/usage.h"
#include "logs/cell_count.h"
#include "logs/log_plot.h"
#include "logs/log_session.h"
#include "logs/log_viewer.h"
#include "model/defaults.h"
#include "model/map_model.h"
#include "sim/ride_log.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmRSS:") {
      status >> value;
      return value;
    }
    status.ignore(1 << 20, '\n');
  }
  return 0;
}

struct Figures {
  std::vector<double> wall, cpu;
};

Figures Repeat(int n, const std::function<void(int)>& step) {
  Figures f;
  for (int i = 0; i < n; ++i) {
    const double c0 = rq::bench::ThreadCpuMs();
    const auto t0 = Clock::now();
    step(i);
    f.wall.push_back(Ms(t0, Clock::now()));
    f.cpu.push_back(rq::bench::ThreadCpuMs() - c0);
  }
  return f;
}

void Print(const char* what, const Figures& f, double limit) {
  std::printf("%-44s median %7.2f ms (CPU %7.2f ms), p90 %7.2f ms   [limit %.0f ms]\n", what,
              rq::bench::Percentile(f.wall, 0.5), rq::bench::Percentile(f.cpu, 0.5),
              rq::bench::Percentile(f.wall, 0.9), limit);
}

}  // namespace

int main(int argc, char** argv) {
  if (rq::bench::AnswerHelp(
          argc, argv,
          "Usage: rq_bench_log_viewer [ROWS]\n"
          "The log viewer with a ROWS-row log (default 1000000): load to first plot, redraw,\n"
          "pan, cursor, overlay.\n"))
    return 0;
  rq::bench::UseOffscreenWithoutDisplay();
  QApplication app(argc, argv);
  const std::size_t rows = argc > 1 ? std::stoul(argv[1]) : 1000000;

  QTemporaryDir dir;
  const std::string path = dir.path().toStdString() + "/ride.csv";
  {
    rq::ParameterImage cfg = rq::NewConfiguration();
    cfg.setByte(675, 2);
    const auto snapshots = rq::sim::RideSnapshots(cfg, 300, 11);
    std::ofstream(path, std::ios::binary) << rq::sim::RideCsv(snapshots, rows);
  }
  std::printf("log: %zu rows, %.0f MB of CSV\n", rows,
              double(QFileInfo(QString::fromStdString(path)).size()) / 1e6);

  // Load to the first plot.
  const long rssBefore = ResidentKb();
  rq::logs::LogSession session;
  rq::logs::LogViewer viewer(session);
  viewer.resize(1400, 900);
  viewer.show();
  QApplication::processEvents();
  const double c0 = rq::bench::ThreadCpuMs();
  const auto t0 = Clock::now();
  QString error;
  if (!session.open(QString::fromStdString(path), error)) {
    std::fprintf(stderr, "cannot open the log: %s\n", error.toLocal8Bit().constData());
    return 1;
  }
  QApplication::processEvents();
  const double loadMs = Ms(t0, Clock::now());
  const double loadCpu = rq::bench::ThreadCpuMs() - c0;
  const long rssAfter = ResidentKb();
  std::printf("%-44s %9.0f ms (CPU %7.0f ms)            [limit 2000 ms]\n",
              "load of the log to the first plot", loadMs, loadCpu);
  std::printf("%-44s %9.0f MB (table %0.f MB)\n", "resident memory added by the log",
              double(rssAfter - rssBefore) / 1024.0, double(session.table().memoryBytes()) / 1e6);

  rq::logs::LogPlot& plot = *viewer.plot();
  plot.fitAll();
  Print("redraw of the whole range", Repeat(30, [&](int) { plot.refreshTraces(); }), 30);
  std::printf("%-44s %9d over %d plots\n", "points drawn for the whole range", plot.tracePoints(),
              int(plot.plots().size()));

  const double first = session.table().time().front(), last = session.table().time().back();
  plot.setTimeRange(first + (last - first) * 0.25, first + (last - first) * 0.75);
  Print("one pan step (half the log shown)",
        Repeat(40, [&](int i) { plot.panBy(i % 2 == 0 ? 0.05 : -0.04); }), 16);

  std::mt19937 rng(3);
  std::uniform_real_distribution<double> at(plot.t0(), plot.t1());
  Print("cursor move (its own layer)", Repeat(60, [&](int) { session.setCursorTime(at(rng)); }),
        10);

  const rq::logs::CellInputs* in = session.cellInputs();
  const rq::LiveCellRule rule = rq::MakeLiveCellRule(rq::NewConfiguration(), rq::kPageAdvance1);
  rq::logs::CellFilter steady;
  steady.steadyOnly = true;
  std::size_t counted = 0;
  Print("map overlay, steady-state filter, all rows",
        Repeat(20, [&](int) { counted = rq::logs::CountCells(*in, rule, steady).counted; }), 30);
  std::printf("%-44s %9zu of %zu rows\n", "rows counted in cells (steady)", counted, rows);
  return 0;
}
