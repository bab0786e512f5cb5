// SPDX-License-Identifier: GPL-3.0-or-later
// rq_bench_demo_memory [DEMO_SECONDS] [CHANGES_PER_SECOND] [pages|tools|both]: the window
// against the demo unit with its engine running, as a user leaves it: a page change every
// demo second (all eleven pages in turn) and, on the map pages, Plus then Minus on the live
// cell. Demo time is counted in page changes (one a second); CHANGES_PER_SECOND of them are
// made each real second, so a long demo runs in a short time (default 1800 demo seconds at 1
// a second, "both"). "pages" leaves the tools out, "tools" stays on Advance 1 and presses
// Plus and Minus once a demo second. Prints every demo minute the resident memory and the heap
// in use (malloc's bytes in use; the sanitizer's live bytes in a sanitized build), at the end
// the figures of demo minutes 1, 5, 10, 15, ... and how much each grew after the fifth demo
// minute (after a sixth of a shorter run). RQ_BENCH_KEEP_HEAP=1 ends without teardown, for a
// heap tracer: `heaptrack rq_bench_demo_memory 300 20` against 1200 20, then
// `heaptrack_print -d short.zst -f long.zst --flamegraph-cost-type leaked -F stacks.txt`
// gives what the longer run holds more, by call stack.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTimer>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "app/demo_unit.h"
#include "tests/app/form_peer.h"
#include "bench/common/bench_support.h"
#include "bench/common/usage.h"
#include "model/map_model.h"
#include "pages/controls.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define RQ_BENCH_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define RQ_BENCH_ASAN 1
#endif
#ifdef RQ_BENCH_ASAN
// From the sanitizer runtime: the bytes held by live allocations (freed ones in quarantine
// excluded), which the resident size of a sanitized build does not tell.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
// The live allocations grouped by call stack, largest first.
extern "C" void __sanitizer_print_memory_profile(std::size_t top_percent, std::size_t max_contexts);
#endif

namespace {

long ResidentKiB() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Bytes the program holds on the heap (freed blocks not counted), large blocks that malloc
// maps on their own included.
long HeapKiB() {
#ifdef RQ_BENCH_ASAN
  return long(__sanitizer_get_current_allocated_bytes() / 1024);
#else
  const struct mallinfo2 info = mallinfo2();
  return long((info.uordblks + info.hblkhd) / 1024);
#endif
}

struct Sample {
  double minute;
  long rss, heap;
};

}  // namespace

int main(int argc, char** argv) {
  if (rq::bench::AnswerHelp(
          argc, argv,
          "Usage: rq_bench_demo_memory [DEMO_SECONDS] [CHANGES_PER_SECOND] [pages|tools|both]\n"
          "Memory over a demo run: a page change every demo second and Plus/Minus on the maps;\n"
          "DEMO_SECONDS (default 1800, at least 60) run CHANGES_PER_SECOND times faster (1 to\n"
          "100, default 1).\n"))
    return 0;
  rq::bench::UseOffscreenWithoutDisplay();
  QApplication app(argc, argv);
  const int demoSeconds = argc > 1 ? std::max(60, std::atoi(argv[1])) : 1800;
  const int rate = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, 100) : 1;
  const std::string mode = argc > 3 ? argv[3] : "both";
  const bool pageChanges = mode != "tools", tools = mode != "pages";
  rq::bench::PrivateSettings settings;

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
  form.show();
  auto* tabs = form.findChild<QTabWidget*>("PageControl1");
  QAction* plus = form.findChild<QAction*>("MenuToolsPlus");
  QAction* minus = form.findChild<QAction*>("MenuToolsMinus");
  if (!pageChanges) tabs->setCurrentIndex(rq::kPageAdvance1);

  std::vector<Sample> samples;
  long second = 0, changes = 0, presses = 0;
  QElapsedTimer real;
  real.start();
  QTimer step;
  step.setInterval(1000 / rate);
  QObject::connect(&step, &QTimer::timeout, [&] {
    // Wait for the unit before the clock starts.
    if (second == 0 && !form.exchange().connected()) return;
    if (pageChanges) {
      static const char* only = std::getenv("RQ_BENCH_PAGES");
      if (only != nullptr) {
        const std::string list = only;
        tabs->setCurrentIndex(list[std::size_t(second + 1) % list.size()] - 'a');
      } else
      tabs->setCurrentIndex(int((second + 1) % rq::kPageCount));
      ++changes;
    }
    if (tools && rq::IsMapPage(form.currentPage()) && form.exchange().connected()) {
      plus->trigger();
      minus->trigger();
      presses += 2;
    }
    ++second;
    if (second % 10 == 0) {
      samples.push_back({double(second) / 60.0, ResidentKiB(), HeapKiB()});
      if (second % 60 == 0)
        std::printf("demo minute %4.1f: resident %ld KiB, heap %ld KiB (%ld page changes, %ld "
                    "Plus/Minus, %.0f s real)\n",
                    samples.back().minute, samples.back().rss, samples.back().heap, changes,
                    presses, double(real.elapsed()) / 1000);
      std::fflush(stdout);
    }
    if (second >= demoSeconds) app.quit();
  });
  step.start();
  app.exec();
#ifdef RQ_BENCH_ASAN
  // RQ_BENCH_HEAP_PROFILE=1: where the heap that is still held was allocated.
  if (std::getenv("RQ_BENCH_HEAP_PROFILE") != nullptr) __sanitizer_print_memory_profile(90, 12);
#endif
  // RQ_BENCH_KEEP_HEAP=1: end without freeing anything, so that a heap tracer run under two
  // run lengths reports what is still held at the end as not freed, by call stack.
  const bool keepHeap = std::getenv("RQ_BENCH_KEEP_HEAP") != nullptr;
  if (!keepHeap) form.close();

  if (samples.size() < 3) return 1;
  // From the fifth demo minute on (a sixth of a shorter run), to the end.
  const double from = std::min(5.0, samples.back().minute / 6);
  const auto first = std::find_if(samples.begin(), samples.end(),
                                  [&](const Sample& s) { return s.minute >= from; });
  const Sample& a = *first;
  const Sample& b = samples.back();
  long peakRss = 0;
  for (auto it = first; it != samples.end(); ++it) peakRss = std::max(peakRss, it->rss - a.rss);
  const double minutes = std::max(1e-9, b.minute - a.minute);
  std::printf("demo minute  resident KiB  heap KiB\n");
  for (const Sample& s : samples) {
    const int m = int(s.minute * 60 + 0.5);
    if (&s == &samples.back() || (m % 60 == 0 && (m == 60 || m % 300 == 0)))
      std::printf("%11d  %12ld  %8ld\n", m / 60, s.rss, s.heap);
  }
  std::printf("run: %.1f demo minutes (%s) in %.0f s, %ld page changes, %ld Plus/Minus, %zu "
              "field palettes\n",
              b.minute, mode.c_str(), double(real.elapsed()) / 1000, changes, presses,
              rq::SharedPaletteCount());
  std::printf("from demo minute %.1f to the end: resident %+ld KiB (highest %+ld KiB), heap "
              "%+ld KiB, %.1f KiB per demo minute\n",
              a.minute, b.rss - a.rss, peakRss, b.heap - a.heap, double(b.heap - a.heap) / minutes);
  if (keepHeap) {
    std::fflush(stdout);
    unit.stop();
    _exit(0);
  }
  return 0;
}
