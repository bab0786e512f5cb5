// SPDX-License-Identifier: GPL-3.0-or-later
// rq_bench_unit_sync: prints
//   - the time of the PC-against-unit check with all difference marks after one edit of a cell
//     on the Advance 1 page (the unit known, one to three cells differing), alone and as part
//     of the whole after-change step,
//   - the time to open the comparison view for two configurations that differ everywhere.
// Offline: the unit's configuration is given to the window as if it had just been read.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTableWidget>

#include <cstdio>
#include <vector>

#include "tests/app/form_peer.h"
#include "bench/common/bench_support.h"
#include "bench/common/usage.h"
#include "compare/compare_view.h"
#include "model/defaults.h"
#include "unitsync/unit_sync.h"

namespace {

double Ms(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

void Print(const char* what, std::vector<double> v) {
  std::printf("%-58s median %8.3f ms   p95 %8.3f ms   max %8.3f ms   (%zu runs)\n", what,
              rq::bench::Percentile(v, 0.5), rq::bench::Percentile(v, 0.95),
              rq::bench::Percentile(v, 1.0), v.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (rq::bench::AnswerHelp(
          argc, argv,
          "Usage: rq_bench_unit_sync\n"
          "The PC-against-unit check and marks after an edit, and opening the comparison view.\n"))
    return 0;
  rq::bench::UseOffscreenWithoutDisplay();
  QApplication app(argc, argv);
  const rq::bench::PrivateSettings settings;
  rq::FormHlavOptions options;
  options.messageBox = [](const QString& text) {
    std::printf("message: %s\n", text.toLocal8Bit().constData());
  };
  options.askQuestion = [](const QString&) { return 0; };
  rq::FormHlavPeer form(std::move(options));
  form.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(rq::kPageAdvance1);
  form.show();
  QCoreApplication::processEvents();
  rq::UnitSync& sync = form.unitSync();
  const rq::ParameterImage unit = form.image();
  form.workspace().unitRead(unit);

  const rq::MapDef& map = rq::Maps()[0];
  std::vector<double> check, afterChange;
  for (int i = 0; i < 400; ++i) {
    // One cell edited; every few edits the earlier ones are taken back, so that the marks
    // both come and go.
    const int cell = map.cells.first + (i * 7) % 150;
    if (i % 3 == 0) form.image() = unit;
    form.image().setByte(cell, form.image().byte(cell) + 1);
    QElapsedTimer t;
    t.start();
    sync.refresh();
    check.push_back(Ms(t));
    const auto edit = [cell](rq::ParameterImage& im) { im.setByte(cell, im.byte(cell) + 1); };
    t.restart();
    form.workspace().change(edit, rq::kPageAdvance1);
    afterChange.push_back(Ms(t));
    QCoreApplication::processEvents();
  }
  std::printf("marks shown at the end: %d, differences: %d\n", sync.markCount(),
              sync.differenceCount());
  Print("check + marks after one cell edit (Advance 1)", check);
  Print("whole AfterChange with the check (Advance 1)", afterChange);

  // Two configurations that differ in every entry.
  rq::ParameterImage other = unit;
  for (int i = 0; i < rq::kConfigSize; ++i) other.setByte(i, unit.byte(i) ^ 0x55);
  other.setByte(482, unit.byte(482) != 0 ? 0 : 1);
  std::vector<double> open;
  rq::CompareView& view = sync.compareView();
  for (int i = 0; i < 20; ++i) {
    if (view.view() != nullptr) view.view()->close();
    QElapsedTimer t;
    t.start();
    view.showUnit(other, true);
    QCoreApplication::processEvents();
    open.push_back(Ms(t));
  }
  std::printf("rows in the comparison view: %d\n", view.table()->rowCount());
  Print("open the comparison view, differing everywhere", open);
  return 0;
}
