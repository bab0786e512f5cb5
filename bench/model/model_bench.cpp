// SPDX-License-Identifier: GPL-3.0-or-later
// Times the model operations that run inside one 55 ms tick or edit: the consistency pass,
// one .ign write + read, one undo snapshot. Prints the median of many runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "bench/common/median_timer.h"
#include "bench/common/usage.h"
#include "model/defaults.h"
#include "model/ign_file.h"
#include "model/state_file.h"
#include "model/undo_history.h"

int main(int argc, char** argv) {
  if (rq::bench::AnswerHelp(
          argc, argv,
          "Usage: rq_bench_model\n"
          "The consistency pass, a .ign write + read and an undo snapshot (median).\n"))
    return 0;
  using namespace rq;
  using bench::MedianMicros;
  std::mt19937 rng(1);
  std::vector<ParameterImage> images(64);
  for (auto& im : images)
    for (auto& b : im.bytes) b = static_cast<std::uint8_t>(rng());

  volatile int sink = 0;
  const double sanitize = MedianMicros(20000, [&](int i) {
    ParameterImage im = images[static_cast<std::size_t>(i) % images.size()];
    SanitizeImage(im);
    sink = sink + im.byte(10);
  });
  const double ign = MedianMicros(5000, [&](int i) {
    const std::string text = WriteIgnText(images[static_cast<std::size_t>(i) % images.size()]);
    ParameterImage back;
    sink = sink + static_cast<int>(ReadIgnText(text, back).validKey);
  });
  AllFlags flags{};
  const double state = MedianMicros(5000, [&](int i) {
    const std::string text = WriteStateText(images[static_cast<std::size_t>(i) % images.size()], flags);
    ParameterImage back;
    sink = sink + ParseStateText(text, back, flags);
  });
  UndoHistory history;
  history.init(images[0], 0);
  const double snapshot = MedianMicros(20000, [&](int i) {
    sink = sink + history.takeSnapshot(images[static_cast<std::size_t>(i) % images.size()], 0, false).recorded;
  });
  ParameterImage same = images[0];
  history.init(same, 0);
  const double unchanged = MedianMicros(20000, [&](int) {
    sink = sink + history.takeSnapshot(same, 0, false).recorded;
  });

  std::printf("SanitizeImage                  %8.2f us (median of 20000)\n", sanitize);
  std::printf(".ign write + read              %8.2f us (median of 5000)\n", ign);
  std::printf("state file write + parse       %8.2f us (median of 5000)\n", state);
  std::printf("undo snapshot, changed image   %8.2f us (median of 20000)\n", snapshot);
  std::printf("undo snapshot, no change       %8.2f us (median of 20000)\n", unchanged);
  return sink == -1;
}
