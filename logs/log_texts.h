// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the log's cell figures on the map pages, of Find, of reading a log on a worker
// and of the acceleration coloured by map, in the four interface languages (0 English,
// 1 German, 2 French, 3 Czech), UTF-8: the captions and hints of their controls (rows like the
// caption table's) and the phrases composed with numbers ("%1" .. "%4"). Plain C++.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "logs/log_condition.h"
#include "ui/caption_table.h"

namespace rq::logs {

// The controls of the log viewer that these texts name.
std::span<const CaptionRow> LogToolCaptionRows();
std::vector<CaptionText> LogToolCaptionTexts(int language);

enum class LogText {
  BadgeTime,       // the badge button while the cells show the time spent: "Time"
  BadgeTimeItem,   // its menu item: "Time spent in the cell"
  StatMean,        // short: "Mean"
  StatMin,         // "Min"
  StatMax,         // "Max"
  StatMeanItem,    // menu item: "Mean of a channel"
  StatMinItem,     // "Minimum of a channel"
  StatMaxItem,     // "Maximum of a channel"
  BadgeChannel,    // submenu: "Channel"
  BadgeCaption,    // "%1: %2" (statistic, channel)
  BadgeHint,       // hint of the badge button
  HintCell,        // "%1 rpm, %2 % throttle"
  HintRows,        // "%1 rows, %2 s"
  HintNotEnough,   // "not enough data: fewer than %1 rows"
  HintStats,       // "%1: mean %2, minimum %3, maximum %4"
  HintClick,       // what a click on the cell does
  FindMatches,     // "%1 rows in %2 stretches meet it"
  FindNone,        // no row meets the condition
  FindWrapped,     // the search went round to the start (or the end)
  FindRow,         // "Row %1 meets it"
  ConditionEmpty,
  ConditionNoName,
  ConditionNoOperator,
  ConditionUnknownName,
  ConditionNotInLog,
  ConditionNoNumber,
  ConditionWrongUnit,
  ConditionNoUnit,
  ConditionNoAnd,
  Loading,         // "Reading %1: %2 %"
  LoadCancelled,   // the read was cancelled; the open log stays
  AccelerationMap, // "%1, map %2" (the acceleration's name, 1 or 2)
  Following,       // the log is still being written: its new rows come in
  FollowStopped,   // "New rows are not followed any more: %1"
  NoMapColumns,    // Acceleration by map: the log lacks the columns it needs
  Count,
};
std::string LogTextOf(LogText id, int language);

// A column as legends and lists name it: a channel's name in the language with its unit
// ("Throttle [%]"), another tool's column by its header.
std::string ColumnLabel(std::string_view header, int language);

// A condition's error as one sentence naming the word and its place in `text` (the 1-based
// character where it starts).
std::string ConditionErrorText(const ConditionError& error, std::string_view text, int language);

}  // namespace rq::logs
