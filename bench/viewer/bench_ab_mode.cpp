// SPDX-License-Identifier: GPL-3.0-or-later
// The A/B mode drawn on Advance 1 of the main window with a 30-minute A/B ride open (the
// simulator's A/B ride; `rq_bench_ab_mode [seconds]` for another length): the comparison
// worked out anew with the shades, badges and paint of the grid (as after a change of the
// filters), the same after a change between the advance pages, and a refresh of the page with the comparison
// kept (as after every edit). Prints medians of wall time and of this thread's CPU time (the
// machine may be shared).
#include <QApplication>
#include <QCheckBox>
#include <QTabWidget>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "../common/bench_support.h"
#include "../common/ab_session.h"
#include "abmode/ab_mode.h"
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

}  // namespace

int main(int argc, char** argv) {
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
  Print("comparison anew, shades, badges, paint (filters changed)", Repeat(n, [&] {
          overlay->setFilter(overlay->filter());
          grid->repaint();
        }));
  int turn = 0;
  Print("page changed between Advance 1 and 2 (comparison anew), paint", Repeat(n, [&] {
          tabs->setCurrentIndex(++turn % 2 == 1 ? rq::kPageAdvance2 : rq::kPageAdvance1);
          grid->repaint();
        }));
  Print("page refreshed, comparison kept (after an edit), paint", Repeat(n, [&] {
          window.RefreshPages();
          grid->repaint();
        }));
  return 0;
}
