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
  // The estimate in the hint and on the cells.
  HintBest,         // "Best advance from %1 rides: %2° (95 %: %3° to %4°)"
  HintSettled,      // the interval lies within a degree
  HintNoPreference, // "No preference in the rides here: the cell keeps %1°"
  HintStale,        // only rides made with other maps went through the cell
  StaleBadge,       // the badge of such a cell: "old"
  // The analysis off the window's thread.
  Reading,          // "A/B: reading ride %1 of %2"
  Working,          // "A/B: working out the estimate"
  Cancel,           // the button that stops it
  Cancelled,        // note: the analysis was stopped
  NotCurrent,       // Take or Prepare while the analysis is not up to date
  NoRides,          // the mode on without a ride to compare
  // Take with a selection left over.
  AskTakeSelection, // "%1 cells are selected on %2. Take the A/B proposal only into them (Yes: %3 cells change), into every cell with a result (No: %4 cells change), or not at all (Cancel)?"
  // What was held and why.
  HeldSummary,      // "Held: %1"
  HeldLimit,        // "%1 by the limits"
  HeldMaxMove,      // "%1 at most %2° from the pair of the newest ride (max move)"
  HeldKnock,        // "%1 at most %2° above the highest advance ridden (knock)"
  HeldCell,         // "%1 at %2 rpm, %3 %: %4° instead of %5° (%6)"
  HeldProposal,     // the map a held cell belongs to: the proposal
  HeldNext1,        // next map 1
  HeldNext2,        // next map 2
  ReasonLimit,      // "limits"
  ReasonMaxMove,    // "max move"
  ReasonKnock,      // "knock"
  NothingHeld,      // "Nothing was held."
  // The rides window.
  RidesTitle,       // "A/B rides and evidence"
  RidesMenu,        // the Tools menu item that opens it
  ColumnRide, ColumnDate, ColumnLength, ColumnMaps, ColumnNote,
  Add, Remove, RunAgain,
  AddTitle,         // the file dialog's title
  AddFilter,        // "Ride logs (*.csv);;All files (*)"
  OpenLogNote,      // the open ride log
  NotReadNote,      // not read yet
  SameRideNote,     // "same ride as %1: counts once"
  SameRideAdded,    // note after Add: "%1 holds the same ride as %2: it counts once"
  MapsFlat,         // "%1/%2" both maps flat
  MapsRange,        // "map 1 %1, map 2 %2"
  MapsUnknown,      // no advance column
  Spread,           // "Spread ±°"
  MaxMove,          // "Max move °"
  SettingsHint,     // the spin boxes' hint
  EvidenceCell,     // "Cell %1 rpm, %2 %"
  EvidenceRow,      // "Throttle row %1 %"
  EvidenceOfCell,   // the combo's items: the selected cell
  EvidenceOfRow,    //   and its throttle row
  EvidenceAxisRpm,  // "rpm"
  EvidenceAxisAcc,  // "acceleration [rpm/s]"
  EvidenceGear,     // "gear %1"
  EvidenceMap,      // "map %1"
  EvidenceNone,     // no rows in the cell or row
  HeldTitle,        // "Held in the last Take or Prepare"
  LiveReady,        // live strip: "A/B: %1 of %2 cells ready"
  LiveReadyHint,    // its hint: enough passes of both maps for a verdict
  Count,
};
std::string AbTextOf(AbText id, int language);

}  // namespace rq::abmode
