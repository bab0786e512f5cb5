// SPDX-License-Identifier: GPL-3.0-or-later
// The condition language of the log viewer's Find: parsing against a log's columns, and the
// rows and stretches that meet a condition.
#include "logs/log_condition.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "protocol/channel_table.h"

namespace rq::logs {

namespace {

// Words that join two terms.
constexpr std::array<std::string_view, 6> kAndWords = {"and", "&&", "&", "und", "et", "a"};
// Endings of channel keys that name their unit; a key without one names its column too.
constexpr std::array<std::string_view, 6> kUnitEndings = {"_rpm_s", "_deg", "_pct", "_kmh", "_rpm",
                                                          "_v"};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool IsAndWord(std::string_view word) {
  return std::any_of(kAndWords.begin(), kAndWords.end(),
                     [&](std::string_view w) { return SameText(w, word); });
}

// The operators, longest first so that "<=" is not read as "<".
struct OperatorText {
  std::string_view text;
  CompareOp op;
};
constexpr OperatorText kOperators[] = {
    {"==", CompareOp::Equal},        {"!=", CompareOp::NotEqual},     {"<>", CompareOp::NotEqual},
    {"<=", CompareOp::LessEqual},    {">=", CompareOp::GreaterEqual}, {"\u2260", CompareOp::NotEqual},
    {"\u2264", CompareOp::LessEqual}, {"\u2265", CompareOp::GreaterEqual},
    {"=", CompareOp::Equal},         {"<", CompareOp::Less},          {">", CompareOp::Greater},
};

// The operator at `pos`, when one starts there.
const OperatorText* OperatorAt(std::string_view text, std::size_t pos) {
  for (const OperatorText& o : kOperators)
    if (text.substr(pos, o.text.size()) == o.text) return &o;
  return nullptr;
}

// Where the next operator starts at or after `pos` (text.size() when there is none).
std::size_t NextOperator(std::string_view text, std::size_t pos) {
  for (std::size_t i = pos; i < text.size(); ++i)
    if (OperatorAt(text, i) != nullptr) return i;
  return text.size();
}

// A word: a run of characters without blanks.
std::string_view WordAt(std::string_view text, std::size_t pos) {
  std::size_t end = pos;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  return text.substr(pos, end - pos);
}

std::size_t SkipSpaces(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  return pos;
}

// A decimal number at `pos` (sign, digits, a point or comma, digits); its length, 0 if none.
std::size_t NumberAt(std::string_view text, std::size_t pos, double& value) {
  std::size_t i = pos;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  double v = 0;
  int digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    v = v * 10 + (text[i++] - '0');
    ++digits;
  }
  if (i < text.size() && (text[i] == '.' || text[i] == ',') && i + 1 < text.size() &&
      text[i + 1] >= '0' && text[i + 1] <= '9') {
    ++i;
    double scale = 0.1;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      v += (text[i++] - '0') * scale;
      scale /= 10;
      ++digits;
    }
  }
  if (digits == 0) return 0;
  value = negative ? -v : v;
  return i - pos;
}

bool UnitFits(std::string_view given, std::string_view unit) {
  if (SameText(given, unit)) return true;
  return unit == "\u00b0" && (SameText(given, "deg") || given == "\u00b0C");
}

// The channel a name stands for by its key, its key without the unit ending, or its name in
// any language.
const Channel* ChannelOfName(std::string_view name) {
  for (const Channel& ch : Channels()) {
    if (SameText(ch.key, name)) return &ch;
    for (std::string_view ending : kUnitEndings)
      if (ch.key.size() == name.size() + ending.size() && ch.key.ends_with(ending) &&
          SameText(ch.key.substr(0, name.size()), name))
        return &ch;
    for (int lang = 0; lang < 4; ++lang)
      if (SameText(ChannelName(ch, lang), name)) return &ch;
  }
  return nullptr;
}

// -1, 0 or 1: `v` below, at or above `x`, at the precision the column keeps.
int Compare(const LogColumn& column, double v, double x) {
  // Words and bytes come back through a scale (0.1 * 850 is not exactly 85), floats are kept
  // at a float's precision.
  const double relative = column.codec().storage == Storage::Float ? 1e-6 : 1e-9;
  const double eps = relative * std::max(1.0, std::abs(x));
  if (std::abs(v - x) <= eps) return 0;
  return v < x ? -1 : 1;
}

bool Holds(CompareOp op, int c) {
  switch (op) {
    case CompareOp::Equal: return c == 0;
    case CompareOp::NotEqual: return c != 0;
    case CompareOp::Less: return c < 0;
    case CompareOp::LessEqual: return c <= 0;
    case CompareOp::Greater: return c > 0;
    case CompareOp::GreaterEqual: return c >= 0;
  }
  return false;
}

ConditionParse Fail(ConditionErrorKind kind, std::size_t position, std::string_view word,
                    std::string_view expected = {}) {
  ConditionParse p;
  p.error = {kind, position, std::string(word), std::string(expected)};
  return p;
}

}  // namespace

int FindConditionColumn(std::string_view name, const LogTable& log) {
  name = TrimBlanks(name);
  if (name.empty()) return -1;
  for (std::size_t c = 0; c < log.columns().size(); ++c)
    if (SameText(log.column(c).name(), name)) return int(c);
  if (const Channel* ch = ChannelOfName(name)) return log.find(ch->key);
  return -1;
}

ConditionParse ParseLogCondition(std::string_view text, const LogTable& log) {
  LogCondition condition;
  std::size_t pos = SkipSpaces(text, 0);
  if (pos == text.size()) return Fail(ConditionErrorKind::Empty, pos, {});
  while (true) {
    // NAME up to the operator.
    const std::size_t nameStart = pos;
    const std::size_t opAt = NextOperator(text, pos);
    const std::string_view name = TrimBlanks(text.substr(nameStart, opAt - nameStart));
    if (opAt == text.size()) {
      // A name and something after it, but no operator.
      return Fail(ConditionErrorKind::NoOperator, nameStart, name);
    }
    if (name.empty()) return Fail(ConditionErrorKind::NoName, opAt, WordAt(text, opAt));
    ConditionTerm term;
    term.column = FindConditionColumn(name, log);
    if (term.column < 0) {
      const Channel* ch = ChannelOfName(name);
      return Fail(ch != nullptr ? ConditionErrorKind::NotInLog : ConditionErrorKind::UnknownName,
                  nameStart, name);
    }
    const OperatorText* op = OperatorAt(text, opAt);
    term.op = op->op;
    pos = SkipSpaces(text, opAt + op->text.size());
    const std::size_t length = NumberAt(text, pos, term.value);
    if (length == 0) return Fail(ConditionErrorKind::NoNumber, pos, WordAt(text, pos));
    pos += length;
    // An optional unit, written on to the number or after a blank.
    const std::size_t unitAt = SkipSpaces(text, pos);
    const std::string_view unit = WordAt(text, unitAt);
    if (!unit.empty() && !IsAndWord(unit)) {
      const Channel* ch = FindChannel(log.column(std::size_t(term.column)).name());
      const std::string_view expected = ch != nullptr ? ch->unit : std::string_view{};
      if (!UnitFits(unit, expected)) {
        // With another operator further on, a missing `and` is the likelier slip.
        if (NextOperator(text, unitAt) < text.size())
          return Fail(ConditionErrorKind::NoAnd, unitAt, unit);
        return Fail(ConditionErrorKind::WrongUnit, unitAt, unit, expected);
      }
      pos = unitAt + unit.size();
    }
    condition.terms.push_back(term);
    pos = SkipSpaces(text, pos);
    if (pos == text.size()) break;
    const std::string_view joint = WordAt(text, pos);
    if (!IsAndWord(joint)) return Fail(ConditionErrorKind::NoAnd, pos, joint);
    pos = SkipSpaces(text, pos + joint.size());
    if (pos == text.size()) return Fail(ConditionErrorKind::NoOperator, pos, {});
  }
  ConditionParse p;
  p.condition = std::move(condition);
  return p;
}

bool RowMatches(const LogTable& log, const LogCondition& condition, std::size_t row) {
  for (const ConditionTerm& t : condition.terms) {
    const LogColumn& col = log.column(std::size_t(t.column));
    if (!Holds(t.op, Compare(col, col.value(row), t.value))) return false;
  }
  return !condition.terms.empty();
}

std::vector<MatchStretch> MatchStretches(const LogTable& log, const LogCondition& condition) {
  std::vector<MatchStretch> out;
  if (condition.terms.empty()) return out;
  // Term by term over the column (a tight loop per column), then the runs.
  std::vector<std::uint8_t> ok(log.rows(), 1);
  for (const ConditionTerm& t : condition.terms) {
    const LogColumn& col = log.column(std::size_t(t.column));
    for (std::size_t r = 0; r < ok.size(); ++r)
      if (ok[r] != 0 && !Holds(t.op, Compare(col, col.value(r), t.value))) ok[r] = 0;
  }
  for (std::size_t r = 0; r < ok.size(); ++r) {
    if (ok[r] == 0) continue;
    if (!out.empty() && out.back().last + 1 == r) out.back().last = r;
    else out.push_back({r, r});
  }
  return out;
}

std::size_t MatchingRowCount(const std::vector<MatchStretch>& stretches) {
  std::size_t n = 0;
  for (const MatchStretch& s : stretches) n += s.last - s.first + 1;
  return n;
}

std::optional<std::size_t> NextMatch(const std::vector<MatchStretch>& stretches, std::size_t from,
                                     bool inclusive, bool* wrapped) {
  if (wrapped != nullptr) *wrapped = false;
  if (stretches.empty()) return std::nullopt;
  // The cursor's own row when it matches and may be taken.
  auto in = std::lower_bound(stretches.begin(), stretches.end(), from,
                             [](const MatchStretch& s, std::size_t row) { return s.last < row; });
  if (inclusive && in != stretches.end() && in->first <= from) return from;
  // Else the start of the first stretch that starts after it.
  auto it = std::upper_bound(
      stretches.begin(), stretches.end(), from,
      [](std::size_t row, const MatchStretch& s) { return row < s.first; });
  if (it != stretches.end()) return it->first;
  if (wrapped != nullptr) *wrapped = true;
  return stretches.front().first;
}

std::optional<std::size_t> PreviousMatch(const std::vector<MatchStretch>& stretches,
                                         std::size_t from, bool* wrapped) {
  if (wrapped != nullptr) *wrapped = false;
  if (stretches.empty()) return std::nullopt;
  // The start of the last stretch that starts before the cursor.
  auto it = std::lower_bound(
      stretches.begin(), stretches.end(), from,
      [](const MatchStretch& s, std::size_t row) { return s.first < row; });
  if (it != stretches.begin()) return std::prev(it)->first;
  if (wrapped != nullptr) *wrapped = true;
  return stretches.back().first;
}

}  // namespace rq::logs
