// SPDX-License-Identifier: GPL-3.0-or-later
// The condition language of the log viewer's Find: the names, operators, numbers and units it
// takes, the place and kind of every error, the rows that meet a condition at the precision of
// their column, and the search that steps through every matching row in order.
#include <gtest/gtest.h>

#include "logs/log_condition.h"

namespace rq::logs {
namespace {

// Gear, throttle in tenths of a percent (a scaled word column), advance and another tool's
// float column.
constexpr const char* kFindLog =
    "time,rpm,throttle_pct,gear,advance1_deg,lambda\n"
    "0.0,3000,85.0,4,20,0.91\n"  // row 0
    "0.3,3000,85.1,4,21,0.92\n"  // row 1
    "0.6,3000,90.0,3,22,0.93\n"  // row 2
    "0.9,3000,99.9,4,23,0.94\n"  // row 3
    "1.2,3000,99.9,4,24,0.95\n"  // row 4
    "1.5,3000,10.0,4,25,0.96\n"  // row 5
    "1.8,3000,86.0,4,26,0.97\n"; // row 6

LogTable FindLog() {
  LoadResult r = ParseCsvText(kFindLog);
  EXPECT_TRUE(r.ok()) << r.error.message;
  return std::move(*r.table);
}

std::vector<std::size_t> MatchingRows(const LogTable& log, std::string_view text) {
  const ConditionParse p = ParseLogCondition(text, log);
  EXPECT_TRUE(p.ok()) << text << ": error " << int(p.error.kind) << " at " << p.error.position;
  std::vector<std::size_t> rows;
  if (!p.ok()) return rows;
  for (std::size_t r = 0; r < log.rows(); ++r)
    if (RowMatches(log, *p.condition, r)) rows.push_back(r);
  return rows;
}

TEST(LogCondition, NamesOperatorsNumbersAndUnitsAccepted) {
  const LogTable log = FindLog();
  struct Case {
    const char* text;
    const char* column;  // the header the first term reads
    CompareOp op;
    double value;
  };
  const Case cases[] = {
      {"gear = 4", "gear", CompareOp::Equal, 4},
      {"gear==4", "gear", CompareOp::Equal, 4},
      {"GEAR != 4", "gear", CompareOp::NotEqual, 4},
      {"gear <> 4", "gear", CompareOp::NotEqual, 4},
      {"throttle_pct > 85", "throttle_pct", CompareOp::Greater, 85},
      {"throttle >= 85 %", "throttle_pct", CompareOp::GreaterEqual, 85},  // key without its ending
      {"Throttle <= 85.5%", "throttle_pct", CompareOp::LessEqual, 85.5},  // English name
      {"Drosselklappe < 85,5", "throttle_pct", CompareOp::Less, 85.5},    // German, decimal comma
      {"Papillon des gaz \u2265 3", "throttle_pct", CompareOp::GreaterEqual, 3},
      {"plyn \u2264 3", "throttle_pct", CompareOp::LessEqual, 3},  // Czech, case ignored
      {"advance1 \u2260 -2 deg", "advance1_deg", CompareOp::NotEqual, -2},
      {"Advance 1 > 20 \u00b0", "advance1_deg", CompareOp::Greater, 20},
      {"Engine speed > 2999 rpm", "rpm", CompareOp::Greater, 2999},
      {"lambda < 0.95", "lambda", CompareOp::Less, 0.95},  // another tool's header
      {"  gear=+4  ", "gear", CompareOp::Equal, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const ConditionParse p = ParseLogCondition(c.text, log);
    ASSERT_TRUE(p.ok()) << "error " << int(p.error.kind) << " at " << p.error.position;
    ASSERT_EQ(p.condition->terms.size(), 1u);
    const ConditionTerm& t = p.condition->terms[0];
    EXPECT_EQ(log.column(std::size_t(t.column)).name(), c.column);
    EXPECT_EQ(t.op, c.op);
    EXPECT_DOUBLE_EQ(t.value, c.value);
  }
  // Every joining word, and three terms.
  for (const char* joint : {"and", "AND", "&&", "&", "und", "et", "a"}) {
    const std::string text = std::string("gear = 4 ") + joint + " throttle > 85 % " + joint + " rpm < 5000";
    const ConditionParse p = ParseLogCondition(text, log);
    ASSERT_TRUE(p.ok()) << text;
    EXPECT_EQ(p.condition->terms.size(), 3u) << text;
  }
}

TEST(LogCondition, ErrorsSayWhatAndWhere) {
  const LogTable log = FindLog();
  struct Case {
    const char* text;
    ConditionErrorKind kind;
    std::size_t position;
    const char* word;
  };
  const Case cases[] = {
      {"", ConditionErrorKind::Empty, 0, ""},
      {"   ", ConditionErrorKind::Empty, 3, ""},
      {"gear 4", ConditionErrorKind::NoOperator, 0, "gear 4"},
      {"= 4", ConditionErrorKind::NoName, 0, "="},
      {"gears = 4", ConditionErrorKind::UnknownName, 0, "gears"},
      {"speed > 100", ConditionErrorKind::NotInLog, 0, "speed"},  // a channel, not in this log
      {"gear = four", ConditionErrorKind::NoNumber, 7, "four"},
      {"gear =", ConditionErrorKind::NoNumber, 6, ""},
      {"throttle > 85 rpm", ConditionErrorKind::WrongUnit, 14, "rpm"},
      {"lambda > 0.9 V", ConditionErrorKind::WrongUnit, 13, "V"},  // no unit known
      {"gear = 4 rpm < 5000", ConditionErrorKind::NoAnd, 9, "rpm"},
      {"gear = 4 or rpm < 5000", ConditionErrorKind::NoAnd, 9, "or"},
      {"gear = 4 and", ConditionErrorKind::NoOperator, 12, ""},
      {"gear = 4 and and rpm > 1", ConditionErrorKind::UnknownName, 13, "and rpm"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const ConditionParse p = ParseLogCondition(c.text, log);
    ASSERT_FALSE(p.ok());
    EXPECT_EQ(p.error.kind, c.kind);
    EXPECT_EQ(p.error.position, c.position);
    EXPECT_EQ(p.error.word, c.word);
  }
  const ConditionParse unit = ParseLogCondition("throttle > 85 rpm", log);
  EXPECT_EQ(unit.error.expected, "%");
}

TEST(LogCondition, RowsMeetItAtTheColumnsPrecision) {
  const LogTable log = FindLog();
  // 85.0 is stored as 850 tenths: equal to 85, neither above nor below it.
  EXPECT_EQ(MatchingRows(log, "throttle = 85"), (std::vector<std::size_t>{0}));
  EXPECT_EQ(MatchingRows(log, "throttle > 85"), (std::vector<std::size_t>{1, 2, 3, 4, 6}));
  EXPECT_EQ(MatchingRows(log, "throttle >= 85"), (std::vector<std::size_t>{0, 1, 2, 3, 4, 6}));
  EXPECT_EQ(MatchingRows(log, "throttle < 85.1"), (std::vector<std::size_t>{0, 5}));
  EXPECT_EQ(MatchingRows(log, "throttle <= 85.1"), (std::vector<std::size_t>{0, 1, 5}));
  // A float column keeps 0.93 as a float: still equal to 0.93.
  EXPECT_EQ(MatchingRows(log, "lambda = 0.93"), (std::vector<std::size_t>{2}));
  EXPECT_EQ(MatchingRows(log, "lambda != 0.93 and lambda > 0.92"), (std::vector<std::size_t>{3, 4, 5, 6}));
  // Every term must hold.
  EXPECT_EQ(MatchingRows(log, "gear = 4 and throttle > 85 %"), (std::vector<std::size_t>{1, 3, 4, 6}));
}

TEST(LogCondition, StretchesAndTheSearchStepsFromStretchToStretch) {
  const LogTable log = FindLog();
  const ConditionParse p = ParseLogCondition("gear = 4 and throttle > 85 %", log);
  ASSERT_TRUE(p.ok());
  const std::vector<MatchStretch> s = MatchStretches(log, *p.condition);
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(s[0].first, 1u);
  EXPECT_EQ(s[0].last, 1u);
  EXPECT_EQ(s[1].first, 3u);
  EXPECT_EQ(s[1].last, 4u);
  EXPECT_EQ(s[2].first, 6u);
  EXPECT_EQ(s[2].last, 6u);
  EXPECT_EQ(MatchingRowCount(s), 4u);

  // From the cursor: at it when inclusive and it matches, else the start of the next stretch.
  struct Step {
    std::size_t from;
    bool inclusive;
    std::size_t next;
    bool wrapped;
  };
  const Step steps[] = {
      {0, true, 1, false}, {1, true, 1, false},  {1, false, 3, false}, {3, false, 6, false},
      {4, true, 4, false}, {4, false, 6, false}, {5, true, 6, false},  {6, false, 1, true},
      {6, true, 6, false},
  };
  for (const Step& st : steps) {
    bool wrapped = true;
    EXPECT_EQ(NextMatch(s, st.from, st.inclusive, &wrapped), st.next) << st.from;
    EXPECT_EQ(wrapped, st.wrapped) << st.from;
  }
  // Backwards: the start of the stretch before, also from inside a stretch.
  bool wrapped = false;
  EXPECT_EQ(PreviousMatch(s, 4), 3u);
  EXPECT_EQ(PreviousMatch(s, 3), 1u);
  EXPECT_EQ(PreviousMatch(s, 5), 3u);
  EXPECT_EQ(PreviousMatch(s, 1, &wrapped), 6u);
  EXPECT_TRUE(wrapped);
  // No match: nothing.
  const ConditionParse none = ParseLogCondition("gear = 6", log);
  ASSERT_TRUE(none.ok());
  EXPECT_TRUE(MatchStretches(log, *none.condition).empty());
  EXPECT_FALSE(NextMatch({}, 0, true).has_value());
  EXPECT_FALSE(PreviousMatch({}, 3).has_value());
}

}  // namespace
}  // namespace rq::logs
