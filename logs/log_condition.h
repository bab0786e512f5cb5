// SPDX-License-Identifier: GPL-3.0-or-later
// Conditions on the channels of a ride log, as the log viewer's Find takes them:
//
//   gear = 4 and throttle > 85 %
//   rpm >= 9000 && second_map = 1
//   Drehzahl < 3000 und Gang != 0
//
// A condition is one or more terms joined by `and` (also `&&`, `&` and the German, French and
// Czech words und, et, a); every term must hold. A term is NAME OPERATOR NUMBER [UNIT]:
//  - NAME is a column of the log: its header (a channel key such as throttle_pct, or another
//    tool's header), a channel's name in any of the four languages ("Throttle", "Engine speed",
//    "Drosselklappe"), or a channel key without its unit ending (throttle, advance1, supply);
//    letters are compared without case.
//  - OPERATOR is one of = == != <> < <= > >= (and ≠ ≤ ≥).
//  - NUMBER is a decimal number with a point or a comma, in the channel's unit as the log
//    writes it (percent, rpm, degrees, volts, km/h, rpm/s).
//  - UNIT, when given, must be the channel's unit (%, rpm, °, deg, V, km/h, rpm/s).
// Plain C++, so that it is tested without a window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logs/log_table.h"

namespace rq::logs {

enum class CompareOp : std::uint8_t { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

struct ConditionTerm {
  int column = -1;  // index into LogTable::columns()
  CompareOp op = CompareOp::Equal;
  double value = 0;
};

struct LogCondition {
  std::vector<ConditionTerm> terms;  // every one must hold
};

// What is wrong with a condition's text; `word` is the piece it is about.
enum class ConditionErrorKind : std::uint8_t {
  Empty,          // no term at all
  NoName,         // an operator without a name before it
  NoOperator,     // a name without an operator after it
  UnknownName,    // the name is no column of the log and no channel
  NotInLog,       // a channel the log has no column for
  NoNumber,       // no number after the operator
  WrongUnit,      // a unit that is not the channel's (`word`: the unit given; `expected`: its unit)
  NoAnd,          // something else than `and` after a term
};

struct ConditionError {
  ConditionErrorKind kind = ConditionErrorKind::Empty;
  std::size_t position = 0;  // byte offset in the text where the problem starts
  std::string word;
  std::string expected;
};

struct ConditionParse {
  std::optional<LogCondition> condition;  // set when the text is a condition
  ConditionError error;
  bool ok() const { return condition.has_value(); }
};

ConditionParse ParseLogCondition(std::string_view text, const LogTable& log);

// The column a name stands for (the NAME rules above); -1 when none.
int FindConditionColumn(std::string_view name, const LogTable& log);

bool RowMatches(const LogTable& log, const LogCondition& condition, std::size_t row);

// Runs of consecutive matching rows, first and last row inclusive, in order.
struct MatchStretch {
  std::size_t first = 0, last = 0;
};
std::vector<MatchStretch> MatchStretches(const LogTable& log, const LogCondition& condition);
std::size_t MatchingRowCount(const std::vector<MatchStretch>& stretches);

// Find steps from stretch to stretch: the first row of the first stretch that starts after
// `from` (with `inclusive`, `from` itself when it matches), wrapping round to the first
// stretch after the last; nullopt when no row matches. `wrapped` tells that the search went
// round.
std::optional<std::size_t> NextMatch(const std::vector<MatchStretch>& stretches, std::size_t from,
                                     bool inclusive, bool* wrapped = nullptr);
// The same backwards: the first row of the last stretch that starts before `from`, wrapping
// round to the last stretch.
std::optional<std::size_t> PreviousMatch(const std::vector<MatchStretch>& stretches,
                                         std::size_t from, bool* wrapped = nullptr);

}  // namespace rq::logs
