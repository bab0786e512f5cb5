// SPDX-License-Identifier: GPL-3.0-or-later
// The A/B mode on Advance 1 of the main window with a 30-minute A/B ride open (the simulator's
// A/B ride; `rq_bench_ab_mode [seconds] [rows]` for another length and size): the analysis
// worked out anew off the window's thread until its shades and badges are painted (as after a
// change of the filters), the same after a change between the advance pages, and a refresh of
// the page with the result kept (as after every edit); then a one-million-row ride added in the
// rides window and the same ride as the open log, from file or table to the estimate on the
// cells. For each: the median time to the result, and the window's longest stall meanwhile (the
// longest gap between two turns of its event loop, which a 2 ms timer measures). Prints medians
// of wall time and of this thread's CPU time (the machine may be shared).
#include <QApplication>
#include <QCheckBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "../common/bench_support.h"
#include "../common/ab_session.h"
#include "abmode/ab_mode.h"
#include "bench/common/usage.h"
#include "tests/app/form_peer.h"
#include "logs/log_room.h"
#include "logs/log_session.h"
#include "logs/map_log_overlay.h"
#include "pages/map_grid.h"
#include "pages/map_pages.h"
#include "pages/page_set.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Figures {
  std::vector<double> wall, cpu;
};

Figures Repeat(int n, const std::function<void()>& step) {
  Figures f;
  for (int i = 0; i < n; ++i) {
    const double c0 = rq::bench::ThreadCpuMs();
    const auto t0 = Clock::now();
    step();
    f.wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    f.cpu.push_back(rq::bench::ThreadCpuMs() - c0);
  }
  return f;
}

void Print(const char* what, const Figures& f) {
  std::printf("%-58s median %7.2f ms (CPU %7.2f ms), p90 %7.2f ms   [limit 50 ms]\n", what,
              rq::bench::Percentile(f.wall, 0.5), rq::bench::Percentile(f.cpu, 0.5),
              rq::bench::Percentile(f.wall, 0.9));
}

// The window's event loop while `step` starts an analysis, until the analysis is done: the
// time to the result, and the longest gap between two turns of the loop (a 2 ms timer).
struct Stalls {
  std::vector<double> done, longest, cpu;
};

void Watch(rq::abmode::AbMode& ab, QWidget* grid, const std::function<void()>& step, Stalls& out) {
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  tick.setInterval(2);
  auto last = Clock::now();
  double longest = 0;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const auto now = Clock::now();
    longest = std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
    last = now;
  });
  tick.start();
  QApplication::processEvents();
  last = Clock::now();
  const auto t0 = Clock::now();
  const double c0 = rq::bench::ThreadCpuMs();
  step();
  QEventLoop wait;
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, [&] {
    if (!ab.analysing()) wait.quit();
  });
  check.start(10);
  wait.exec();
  grid->repaint();
  const auto t1 = Clock::now();
  longest = std::max(longest, std::chrono::duration<double, std::milli>(t1 - last).count());
  out.done.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
  out.longest.push_back(longest);
  out.cpu.push_back(rq::bench::ThreadCpuMs() - c0);
}

void PrintStalls(const char* what, const Stalls& s) {
  std::printf("%-58s result after %8.1f ms (window's CPU %6.1f ms), longest stall %6.1f ms (worst %6.1f)   "
              "[limit 50 ms]\n",
              what, rq::bench::Percentile(s.done, 0.5), rq::bench::Percentile(s.cpu, 0.5),
              rq::bench::Percentile(s.longest, 0.5), rq::bench::Percentile(s.longest, 1.0));
}

}  // namespace

int main(int argc, char** argv) {
  if (rq::bench::AnswerHelp(
          argc, argv,
          "Usage: rq_bench_ab_mode [SECONDS]\n"
          "The A/B mode drawn on Advance 1 with an A/B ride of SECONDS open (default 1800).\n"))
    return 0;
  rq::bench::UseOffscreenWithoutDisplay();
  rq::bench::PrivateSettings settings;
  QApplication app(argc, argv);
  const double seconds = argc > 1 ? std::stod(argv[1]) : 1800;

  const rq::ParameterImage cfg = rq::bench::AbSessionConfig();
  rq::logs::LoadResult log = rq::logs::ParseCsvText(rq::bench::AbSessionCsv(cfg, seconds, 7));
  if (!log.ok()) {
    std::fprintf(stderr, "log: %s\n", log.error.message.c_str());
    return 1;
  }
  const std::size_t rows = log.table->rows();

  rq::FormHlavPeer window;
  window.show();
  QApplication::processEvents();
  window.resize(1005, 850);
  window.workspace().change([&cfg](rq::ParameterImage& im) { im = cfg; }, rq::kPageAdvance1);
  auto* tabs = window.findChild<QTabWidget*>("PageControl1");
  tabs->setCurrentIndex(rq::kPageAdvance1);
  window.logRoom().session().adopt(std::move(*log.table), "ab.csv");
  window.findChild<QCheckBox*>("CheckBoxAbMode")->setChecked(true);
  QApplication::processEvents();
  auto* ab = window.findChild<rq::abmode::AbMode*>();
  while (ab != nullptr && ab->analysing()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  auto* overlay = window.findChild<rq::logs::MapLogOverlay*>();
  if (ab == nullptr || overlay == nullptr || !ab->enabled() || !ab->result()) {
    std::fprintf(stderr, "the A/B mode did not come on\n");
    return 1;
  }
  int verdicts = 0, visited = 0;
  for (const auto& row : ab->result()->cells)
    for (const auto& c : row) {
      verdicts += c.better != 0;
      visited += c.visited();
    }
  std::printf("A/B ride of %.0f s: %zu rows; %d cells with rows, %d with a verdict\n", seconds, rows,
              visited, verdicts);

  QWidget* grid = window.pageSet().maps().grid().box();
  const int n = 21;
  Stalls filters, pages;
  // A filter set to what it was leaves the result as it is: the minimum rows change in turn.
  for (int i = 0; i < n; ++i)
    Watch(*ab, grid, [&] {
      rq::logs::CellFilter f = overlay->filter();
      f.minRows = f.minRows == 1 ? 2 : 1;
      overlay->setFilter(f);
    }, filters);
  PrintStalls("analysis anew, shades, badges, paint (filters changed)", filters);
  int turn = 0;
  for (int i = 0; i < n; ++i)
    Watch(*ab, grid, [&] { tabs->setCurrentIndex(++turn % 2 == 1 ? rq::kPageAdvance2 : rq::kPageAdvance1); }, pages);
  PrintStalls("page changed between Advance 1 and 2 (analysis anew)", pages);
  tabs->setCurrentIndex(rq::kPageAdvance1);
  while (ab->analysing()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  Print("page refreshed, result kept (after an edit), paint", Repeat(n, [&] {
          window.RefreshPages();
          grid->repaint();
        }));

  // A million rows: a file added in the rides window, then the same ride as the open log.
  const std::size_t million = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1'000'000;
  QTemporaryDir dir;
  const std::string path = dir.path().toStdString() + "/ride_million.csv";
  {
    std::ofstream(path) << rq::sim::RideCsv(rq::sim::AbRideSnapshots(cfg, rq::sim::AbRide{}, 1800, 7), million);
  }
  rq::logs::LoadResult big = rq::logs::LoadCsvFile(path);
  if (!big.ok()) return 1;
  const std::size_t bigRows = big.table->rows();
  Stalls added, opened;
  const int m = 3;
  for (int i = 0; i < m; ++i) {
    Watch(*ab, grid, [&] { ab->addRideFiles({QString::fromStdString(path)}); }, added);
    ab->removeRide(ab->rides().rides().size() - 1);
    while (ab->analysing()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  }
  char label[96];
  std::snprintf(label, sizeof label, "%zu-row ride added (read from file, worked out)", bigRows);
  PrintStalls(label, added);
  for (int i = 0; i < m; ++i) {
    rq::logs::LogTable copy = *big.table;
    window.logRoom().session().adopt(std::move(copy), "ride_million.csv");
    Watch(*ab, grid, [] {}, opened);
  }
  std::snprintf(label, sizeof label, "%zu-row ride as the open log (columns taken, worked out)", bigRows);
  PrintStalls(label, opened);
  return 0;
}
