// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the A/B mode on the map pages in the four interface languages (0 English,
// 1 German, 2 French, 3 Czech), UTF-8: the captions and hints of its controls and menu items
// (rows like the caption table's) and the phrases it composes with numbers ("%1" .. "%6").
// Plain C++.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "ui/caption_table.h"

namespace rq::abmode {

std::span<const CaptionRow> AbCaptionRows();
std::vector<CaptionText> AbCaptionTexts(int language);

enum class AbText {
  NeedsLog,         // no open log, or one without gear and second_map: "%1" the reason
  AdvanceOnly,      // the A/B mode is for the advance maps
  HintMap,          // "Map %1: %2 rows in %3 passes compared (%4 counted); advance %5°"
  HintGain,         // "Map 2 against map 1: %1 % (95 %: %2 to %3 %)"
  HintGainOpen,     // "Map 2 against map 1: %1 % (no interval: too few rows or passes)"
  HintNoComparison, // rows of one map only in every gear and time window
  HintVerdict,      // "Map %1 pulled harder: the proposal is %2°"
  HintNoVerdict,    // "No verdict: at least %1 rows in %2 passes of each map are needed"
  Unbounded,        // an open end of the interval: "open"
  NoVerdicts,       // Take the proposal with no verdict anywhere
  NothingChanges,   // the operation would change no cell
  AskTake,          // "Take the A/B proposal into %1? %2 cells change."
  AskPrepare,       // "Prepare the next ride? ... %1 cells change."
  Taken,            // "Proposal taken into %1: %2 cells changed, %3 held within the limits"
  Prepared,         // "Next ride prepared: %1 cells changed, %2 held within the limits"
  RpmPointsDiffer,  // the two advance maps have different rpm points
  Summary,          // status note when the mode comes on: "%1 cells with a verdict: %2 for map 1, %3 for map 2"
  Count,
};
std::string AbTextOf(AbText id, int language);

}  // namespace rq::abmode
