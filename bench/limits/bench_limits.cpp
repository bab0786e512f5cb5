// SPDX-License-Identifier: GPL-3.0-or-later
// Times the map-limit work that runs on every edit and before every programming: the check of
// all three maps after one cell changed (the usual case, nothing broken, and a map full of
// violations), the text of one violation, the clamp after a tool changed a whole map, and
// reading the [LIMITS] section. Prints the median of many runs in microseconds.
#include <cstdio>
#include <random>
#include <vector>

#include "bench/common/median_timer.h"
#include "bench/common/usage.h"
#include "limits/limit_check.h"
#include "limits/limit_texts.h"
#include "limits/map_limits.h"
#include "model/defaults.h"
#include "model/map_model.h"
#include "ui/text_table.h"

int main(int argc, char** argv) {
  if (rq::bench::AnswerHelp(
          argc, argv,
          "Usage: rq_bench_limits\n"
          "The map-limit check after an edit, a map full of violations, one text, the clamp and\n"
          "the [LIMITS] section (median microseconds).\n"))
    return 0;
  using namespace rq;
  using bench::MedianMicros;
  volatile std::size_t sink = 0;

  // The new configuration with the servo on; every limit of every page set wide enough that
  // the configuration keeps them, and the unit holding the same.
  ParameterImage image = NewConfiguration();
  image.setByte(kServoEnable, 1);
  const ParameterImage unit = image;
  IniFile ini;
  ini.parse(
      "[LIMITS]\nAdvance1Min=0\nAdvance1Max=45\nAdvance1Step=40\nAdvance1Change=10\n"
      "Advance2Min=0\nAdvance2Max=45\nAdvance2Step=40\nAdvance2Change=10\n"
      "ServoMin=0\nServoMax=5000\nServoStep=5000\nServoChange=1000\n");
  const Limits limits = LoadLimits(ini).limits;
  const MapDef& map1 = *MapOfPage(kPageAdvance1);

  std::vector<Violation> found;
  const int kEdits = 20000;
  std::size_t afterEdit = 0;
  const double edit = MedianMicros(kEdits, [&](int i) {
    // One cell one degree up or down, as the Plus / Minus keys do.
    const int cell = (i / 2) % (kMapRows * kMapColumns);
    const int at = CellByte(map1, cell / kMapColumns, cell % kMapColumns);
    image.setByte(at, image.byte(at) + (i % 2 == 0 ? 1 : -1));
    found = CheckLimits(image, limits, &unit);
    afterEdit = found.size();
    sink = sink + found.size();
  });

  // Random maps against tight limits: hundreds of violations to collect.
  std::mt19937 rng(7);
  ParameterImage wild = image;
  for (const MapDef& m : Maps())
    for (int i = m.cells.first; i < m.cells.end(); ++i)
      wild.setByte(i, static_cast<long>(rng() % (m.page == kPageServo ? 250 : 61)));
  Limits tight;
  for (PageLimits& p : tight.pages) p = {.min = 5, .max = 40, .step = 3, .change = 2};
  tight.of(kPageServo)->max = 4000;
  tight.of(kPageServo)->step = 200;
  tight.of(kPageServo)->change = 100;
  const std::size_t wildCount = CheckLimits(wild, tight, &unit).size();
  const double many = MedianMicros(5000, [&](int) {
    found = CheckLimits(wild, tight, &unit);
    sink = sink + found.size();
  });

  const std::vector<Violation> listed = CheckLimits(wild, tight, &unit);
  const double text = MedianMicros(20000, [&](int i) {
    const Violation& v = listed[static_cast<std::size_t>(i) % listed.size()];
    sink = sink + ViolationText(v, wild, i % kLanguageCount).size();
  });

  // A tool rewrote the whole of advance map 1 (smoothing, a copy from the other map).
  std::vector<MapCell> whole;
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c) whole.push_back({kPageAdvance1, r, c});
  std::size_t clampedCells = 0;
  const double clamp = MedianMicros(5000, [&](int) {
    ParameterImage proposed = wild;
    const ClampResult r = ClampToLimits(proposed, whole, tight, &unit);
    clampedCells = static_cast<std::size_t>(r.clamped);
    sink = sink + r.remaining.size();
  });

  const double load = MedianMicros(20000, [&](int) { sink = sink + LoadLimits(ini).problems.size(); });

  char label[96];
  std::snprintf(label, sizeof label, "check after an edit, every limit, %zu violations", afterEdit);
  std::printf("%-50s %8.2f us (median of %d)\n", label, edit, kEdits);
  std::snprintf(label, sizeof label, "check of random maps, %zu violations", wildCount);
  std::printf("%-50s %8.2f us (median of 5000)\n", label, many);
  std::printf("%-50s %8.2f us (median of 20000)\n", "text of one violation", text);
  std::snprintf(label, sizeof label, "clamp of a whole map, %zu cells clamped", clampedCells);
  std::printf("%-50s %8.2f us (median of 5000)\n", label, clamp);
  std::printf("%-50s %8.2f us (median of 20000)\n", "read the [LIMITS] section", load);
  return sink == 1 ? 1 : 0;
}
