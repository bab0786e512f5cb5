// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the ride log viewer and of the log overlay on the map pages in the four
// interface languages: the captions of their controls (rows like the main window's caption
// table) and the phrases they compose with numbers ("%1" .. "%3").
#pragma once

#include <span>
#include <string>
#include <vector>

#include "ui/caption_table.h"

namespace rq {

// The controls of the log viewer window and of its overlay filter panel.
std::span<const CaptionRow> LogViewerCaptionRows();
std::vector<CaptionText> LogViewerCaptionTexts(int language);

enum class LogPhrase {
  CursorLegend,    // "Cursor %1 s: values of the last row at or before it (row %2)"
  SecondCursor,    // "second cursor %1 s, Δt %2 s"
  Pause,           // the play button while playing
  Play,            // the play button while stopped
  Status,          // "%1: %2 rows, %3 s"
  NoLog,           // status before a log is open
  OpenTitle,       // title of the open dialog
  OpenFailed,      // heading of the message when a log cannot be opened
  CsvFiles,        // file dialog filter name
  CellSeconds,     // overlay cell: "%1 s"
  NotEnoughData,   // overlay cell with fewer rows than the minimum
  OverlayNoLog,    // overlay switched on without an open log
  OverlaySummary,  // "%1 rows in cells, %2 left out by the filters"
  Count,
};
std::string LogPhraseText(LogPhrase phrase, int language);

}  // namespace rq
