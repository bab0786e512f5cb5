// SPDX-License-Identifier: GPL-3.0-or-later
// rq_bench_guard: prints, for the main window on the Advance 1 page with limits on every map
// page,
//   - the time of the guard's work after an edit that breaks or clears a limit in turn: the
//     check of all three maps, the marks and the status line (median and p99),
//   - the same with the window's repaint that follows (the marks painted over the grid),
//   - the time of the whole change of one cell (AfterChange: the pages shown again, the
//     check, the undo step) with the limits and without them.
// Without a display it runs on Qt's offscreen platform; no unit is needed.
#include <QApplication>
#include <QTabWidget>

#include <cstdio>
#include <vector>

#include "tests/app/form_peer.h"
#include "bench/common/bench_support.h"
#include "bench/common/usage.h"
#include "guard/limit_guard.h"
#include "guard/limit_marks.h"
#include "model/map_model.h"

namespace {

using rq::bench::Percentile;
using rq::bench::ThreadCpuMs;

}  // namespace

int main(int argc, char** argv) {
  if (rq::bench::AnswerHelp(
          argc, argv,
          "Usage: rq_bench_guard\n"
          "The map limits' work in the window after an edit (check, marks, status line,\n"
          "repaint) and AfterChange with and without limits.\n"))
    return 0;
  rq::bench::UseOffscreenWithoutDisplay();
  QApplication app(argc, argv);
  const rq::bench::PrivateSettings settings;

  rq::FormHlavOptions options;
  options.messageBox = [](const QString&) {};
  rq::FormHlavPeer form(std::move(options));
  form.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(rq::kPageAdvance1);
  form.show();
  QCoreApplication::processEvents();

  rq::Workspace& ws = form.workspace();
  rq::LimitGuard& guard = form.limitGuard();
  rq::Limits limits;
  for (rq::PageLimits& p : limits.pages) p = {.min = 0, .max = 45, .step = 40, .change = 10};
  limits.of(rq::kPageServo)->max = 5000;
  limits.of(rq::kPageServo)->step = 5000;
  limits.of(rq::kPageServo)->change = 1000;
  const rq::MapDef& map = *rq::MapOfPage(rq::kPageAdvance1);
  const int at = rq::CellByte(map, 5, 7);
  const int usual = form.image().byte(at);

  // The guard after an edit: a typo of 58 degrees, then the cell back, in turn.
  ws.setLimits(limits);
  QCoreApplication::processEvents();
  std::vector<double> guardOnly, withPaint;
  std::size_t marked = 0;
  for (int i = 0; i < 2000; ++i) {
    form.image().setByte(at, i % 2 == 0 ? 58 : usual);
    const double t0 = ThreadCpuMs();
    guard.recheck();
    const double t1 = ThreadCpuMs();
    QCoreApplication::processEvents();
    const double t2 = ThreadCpuMs();
    guardOnly.push_back(t1 - t0);
    withPaint.push_back(t2 - t0);
    marked += guard.marks().shownMarks().size();
  }
  std::printf("check + marks + status line after an edit: median %.4f ms, p99 %.4f ms (%.1f marks on average)\n",
              Percentile(guardOnly, 0.5), Percentile(guardOnly, 0.99), double(marked) / 2000.0);
  std::printf("the same with the window's repaint: median %.3f ms, p99 %.3f ms\n",
              Percentile(withPaint, 0.5), Percentile(withPaint, 0.99));

  // The whole change of one cell, within the limits, with and without them.
  for (const bool on : {true, false}) {
    ws.setLimits(on ? limits : rq::Limits{});
    std::vector<double> change;
    for (int i = 0; i < 400; ++i) {
      const auto edit = [&map, i](rq::ParameterImage& im) { im.setByte(rq::CellByte(map, (i / 15) % 10, i % 15), 20 + i % 10); };
      const double t0 = ThreadCpuMs();
      ws.change(edit, rq::kPageAdvance1);
      change.push_back(ThreadCpuMs() - t0);
      QCoreApplication::processEvents();
    }
    std::printf("AfterChange of one cell on Advance 1, %s: median %.3f ms, p99 %.3f ms\n",
                on ? "limits on every map page" : "no limits", Percentile(change, 0.5),
                Percentile(change, 0.99));
  }
  return 0;
}
