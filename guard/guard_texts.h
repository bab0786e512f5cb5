// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the guard rails in the window (the Limits dialog, the marks' status line, the
// hold of programming after change, the question before Program and the list of changes) in
// the four interface languages (0 English, 1 German, 2 French, 3 Czech), UTF-8. "%1", "%2"
// are filled in by the caller. The lines of single violations are limits/limit_texts.h's, the
// column captions the comparison view shares are ui/unit_texts.h's.
#pragma once

namespace rq {

enum GuardText : int {
  GtMenuLimits,         // Tools menu item
  GtMenuShowChanges,    // Ignition menu item (checkable)
  GtLimitsTitle,        // the Limits dialog
  GtColumnMin,
  GtColumnMax,
  GtColumnStep,
  GtColumnChange,
  GtUnitDegrees,
  GtUnitMillivolts,
  GtLimitsNote,
  GtLimitsInvalid,      // %1: the problems, one a line
  GtOk,
  GtCancel,
  GtSettingsProblems,   // %1: the problems of [LIMITS], one a line
  GtPageCount,          // %1 count, %2 page: one item of a summary
  GtStatusBroken,       // %1: the summary
  GtStatusClear,
  GtHeld,               // %1: the summary
  GtAskBroken,          // %1: the summary, %2: the lines, worst first
  GtMoreLines,          // %1: how many lines were left out
  GtChangesTitle,
  GtChangesCount,       // %1: the number of values
  GtChangesNone,
  GtChangesUnknown,
  GtColumnUnitNow,
  GtColumnAfter,
  GtProgram,
  GtColumnUpTo,
  GtColumnExempt,
  GtUpToAuto,           // %1: the rpm the limits hold up to when the field is empty
  GtUpToAll,            // the field is empty and every rpm point is checked
  GtSuggest,
  GtSuggestHint,
  GtAskUnreadable,      // %1: the values of the settings file that cannot be read, one a line
  GtAskAnyway,
  GtHeldUnreadable,
  GtSettingsUnreadable,
  GtMenuExempt,
  GtMenuExemptHint,
  GtExempted,           // %1: the page, %2: how many cells
  GtChecked,            // %1: the page, %2: how many cells
  GtTextCount
};

// The text of `id` in `language` (outside 0..3: English). Never null.
const char* GuardTextOf(GuardText id, int language);

}  // namespace rq
