// SPDX-License-Identifier: GPL-3.0-or-later
// The map limits: reading the [LIMITS] section, each limit on the full grid and at its edges,
// the rpm-only and throttle-only layouts, the servo in mV and percent, the texts of a
// violation and the clamp for the tuning tools.
#include <gtest/gtest.h>

#include "limits/limit_check.h"
#include "limits/limit_texts.h"
#include "limits/map_limits.h"
#include "model/defaults.h"
#include "model/map_model.h"
#include "ui/text_table.h"

namespace rq {
namespace {

using K = LimitKind;

// Every map flat (advance 20 degrees, servo 2000 mV), rpm points 1000, 2000 ... 15000, the
// advance maps over throttle and rpm, the servo on.
ParameterImage Flat(int advanceRows = 1, int servoMode = 0, int servoPercent = 0) {
  ParameterImage im = NewConfiguration();
  for (const MapDef& m : Maps()) {
    for (int c = 0; c < kMapColumns; ++c) im.setWord(m.axis[c], 1000 * (c + 1));
    for (int r = 0; r < kMapRows; ++r)
      for (int c = 0; c < kMapColumns; ++c)
        im.setByte(CellByte(m, r, c), m.page == kPageServo ? (servoPercent ? 40 : 100) : 20);
  }
  im.setByte(kMapsUseThrottle, advanceRows);
  im.setByte(kServoMode, servoMode);
  im.setByte(kServoEnable, 1);
  im.setByte(kServoPercent, servoPercent);
  return im;
}

void SetCell(ParameterImage& im, int page, int r, int c, int shown) {
  im.setByte(CellByte(*MapOfPage(page), r, c), shown / MapCellScale(im, page).step);
}

int Cell(const ParameterImage& im, int page, int r, int c) {
  return MapCellScale(im, page).step * im.byte(CellByte(*MapOfPage(page), r, c));
}

Limits On(int page, PageLimits p) {
  Limits l;
  *l.of(page) = p;
  return l;
}

LoadedLimits Load(const std::string& text) {
  IniFile ini;
  ini.parse(text);
  return LoadLimits(ini);
}

// ---- the [LIMITS] section -----------------------------------------------------------------

TEST(LimitsSection, ValuesAsWritten) {
  struct Case {
    const char* key;
    const char* value;  // nullptr: the key is missing
    std::optional<double> expected;
    std::optional<LimitsProblemKind> problem;
  };
  using P = LimitsProblemKind;
  const Case cases[] = {
      {"Advance1Max", nullptr, std::nullopt, std::nullopt},
      {"Advance1Max", "", std::nullopt, std::nullopt},
      {"Advance1Max", " \t ", std::nullopt, std::nullopt},
      {"Advance1Max", "38", 38, std::nullopt},
      {"Advance1Max", " 38.5 ", 38.5, std::nullopt},
      {"Advance2Step", "1,5", 1.5, std::nullopt},
      {"Advance2Min", "0", 0, std::nullopt},
      {"Advance1Change", "4 deg", 4, std::nullopt},
      {"Advance1Change", "4\xC2\xB0", 4, std::nullopt},
      {"ServoMax", "4000", 4000, std::nullopt},
      {"ServoMax", "4000 mV", 4000, std::nullopt},
      {"ServoMax", "80 %", 4000, std::nullopt},
      {"ServoStep", "1.5%", 75, std::nullopt},
      {"Advance1Max", "4o", std::nullopt, P::Malformed},
      {"Advance1Max", "38 38", std::nullopt, P::Malformed},
      {"Advance1Max", "80 %", std::nullopt, P::Malformed},
      {"ServoMax", "40 deg", std::nullopt, P::Malformed},
      {"Advance1Max", "%", std::nullopt, P::Malformed},
      {"Advance1Max", "nan", std::nullopt, P::Malformed},
      {"Advance1Max", "inf", std::nullopt, P::Malformed},
      {"Advance1Max", "1e999", std::nullopt, P::Malformed},
      {"Advance1Step", "-2", std::nullopt, P::Negative},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "=" + (c.value ? c.value : "(missing)"));
    const LoadedLimits l =
        Load(c.value ? std::string("[LIMITS]\n") + c.key + "=" + c.value + "\n" : "[LIMITS]\n");
    // Exactly one value is read; every other stays no limit.
    int set = 0;
    for (const int page : kLimitPages)
      for (int f = 0; f < kLimitFieldCount; ++f) {
        const PageLimits& p = *l.limits.of(page);
        const std::optional<double> v = f == 0 ? p.min : f == 1 ? p.max : f == 2 ? p.step : p.change;
        if (LimitKey(page, f) == c.key) {
          EXPECT_EQ(v, c.expected);
        } else {
          EXPECT_FALSE(v.has_value()) << LimitKey(page, f);
        }
        set += v.has_value();
      }
    EXPECT_EQ(set, c.expected ? 1 : 0);
    ASSERT_EQ(l.problems.size(), c.problem ? 1u : 0u);
    if (c.problem) {
      EXPECT_EQ(l.problems[0].kind, *c.problem);
      EXPECT_EQ(l.problems[0].key, c.key);
      EXPECT_EQ(l.problems[0].value, c.value);
    }
  }
}

TEST(LimitsSection, NoSectionIsNoLimitAndKeysIgnoreCase) {
  EXPECT_FALSE(Load("[BASIC]\nLanguage=1\n").limits.any());
  EXPECT_FALSE(Load("[LIMITS]\nAdvance1Max=\n").limits.any());
  const LoadedLimits l = Load("[limits]\nadvance2max=30\n");
  EXPECT_EQ(l.limits.of(kPageAdvance2)->max, 30.0);
  EXPECT_EQ(l.limits.of(kPageBike), nullptr);
}

TEST(LimitsSection, MinAboveMaxKeepsBothAndSaysSo) {
  const LoadedLimits l = Load("[LIMITS]\nAdvance1Min=40\nAdvance1Max=30\n");
  EXPECT_EQ(l.limits.of(kPageAdvance1)->min, 40.0);
  EXPECT_EQ(l.limits.of(kPageAdvance1)->max, 30.0);
  ASSERT_EQ(l.problems.size(), 1u);
  EXPECT_EQ(l.problems[0], (LimitsProblem{LimitsProblemKind::MinAboveMax, "Advance1Min", "40",
                                          "Advance1Max", "30", 2}));
  EXPECT_EQ(LimitsProblemText(l.problems[0], kLanguageEnglish),
            "[LIMITS] line 2: Advance1Min=40 is above Advance1Max=30; every cell breaks one of them");
  EXPECT_TRUE(l.unreadable().empty());
}

// The cut and the exempt cells are read; a misspelt or repeated key is named with its line,
// and a value that cannot be read is told apart from those warnings.
TEST(LimitsSection, CutExemptCellsAndKeysThatAreNoneOrRepeated) {
  using P = LimitsProblemKind;
  const LoadedLimits l = Load(
      "[LIMITS]\nAdvance1UpToRpm=9700 rpm\nAdvance1Exempt=9:10, 0:14\nAdvance1Maks=38\n"
      "Advance1Max=38 ; my bike\nServoMax=4000\nservomax=3000\nAdvance2Exempt=10:0\n"
      "Advance2UpToRpm=nan\nServoExempt=3-4\n");
  const PageLimits& a1 = *l.limits.of(kPageAdvance1);
  EXPECT_EQ(a1.upToRpm, 9700);
  EXPECT_EQ(a1.exempt.count(), 2u);
  EXPECT_TRUE(a1.exempt.test(CellIndex(9, 10)) && a1.exempt.test(CellIndex(0, 14)));
  EXPECT_FALSE(a1.max.has_value());
  EXPECT_EQ(l.limits.of(kPageServo)->max, 4000.0);  // the first of a repeated key
  const std::vector<LimitsProblem> expected = {
      {P::UnknownKey, "Advance1Maks", "38", {}, {}, 4},
      {P::Malformed, "Advance1Max", "38 ; my bike", {}, {}, 5},
      {P::RepeatedKey, "servomax", "3000", "ServoMax", "4000", 7},
      {P::BadCells, "Advance2Exempt", "10:0", {}, {}, 8},
      {P::Malformed, "Advance2UpToRpm", "nan", {}, {}, 9},
      {P::BadCells, "ServoExempt", "3-4", {}, {}, 10}};
  EXPECT_EQ(l.problems, expected);
  EXPECT_EQ(l.unreadable().size(), 4u);
  EXPECT_EQ(LimitsProblemText(l.problems[0], kLanguageEnglish),
            "[LIMITS] line 4: Advance1Maks is no key of the limits (misspelt?); it is ignored");
  EXPECT_EQ(LimitsProblemText(l.problems[2], kLanguageEnglish),
            "[LIMITS] line 7: servomax is given again; the first value, 4000, counts");
  // Written back: the same limits, every key once.
  IniFile ini;
  ini.parse("[LIMITS]\nServoMax=1\nServoMax=2\n");
  StoreLimits(ini, l.limits);
  EXPECT_EQ(LoadLimits(ini).limits, l.limits);
  EXPECT_TRUE(LoadLimits(ini).problems.empty());
  EXPECT_EQ(ini.stringValue(kLimitsSection, "Advance1Exempt", ""), "0:14 9:10");
}

TEST(LimitsSection, StoreAndLoadRoundTripKeepingOtherSections) {
  IniFile ini;
  ini.parse("[BASIC]\nLanguage=2\n[LIMITS]\nAdvance1Max=99\n");
  Limits l;
  l.of(kPageAdvance1)->step = 2.5;
  l.of(kPageServo)->max = 4010;
  l.of(kPageServo)->change = 0;
  StoreLimits(ini, l);
  EXPECT_EQ(ini.stringValue("BASIC", "Language", ""), "2");
  EXPECT_EQ(ini.stringValue("LIMITS", "Advance1Max", "x"), "");  // no limit now
  EXPECT_EQ(ini.stringValue("LIMITS", "Advance1Step", ""), "2.5");
  EXPECT_EQ(ini.stringValue("LIMITS", "ServoMax", ""), "4010");
  IniFile back;
  back.parse(ini.text());
  const LoadedLimits loaded = LoadLimits(back);
  EXPECT_EQ(loaded.limits, l);
  EXPECT_TRUE(loaded.problems.empty());
}

// ---- the check ------------------------------------------------------------------------------

TEST(LimitCheck, EachLimitOnTheFullGrid) {
  struct Case {
    const char* name;
    std::vector<std::array<int, 3>> cells;  // row, column, degrees on Advance 1
    PageLimits limits;
    std::vector<Violation> expected;
  };
  const int a = kPageAdvance1;
  const Case cases[] = {
      {"nothing set", {{3, 4, 59}}, {}, {}},
      {"at the minimum", {{3, 4, 15}}, {.min = 15}, {}},
      {"below the minimum", {{3, 4, 14}}, {.min = 15}, {{a, 3, 4, K::Min, 14, 15, 0}}},
      {"below a decimal minimum", {{3, 4, 15}}, {.min = 15.5}, {{a, 3, 4, K::Min, 15, 15.5, 0}}},
      {"at the maximum", {{7, 6, 38}}, {.max = 38}, {}},
      {"above the maximum", {{7, 6, 39}}, {.max = 38}, {{a, 7, 6, K::Max, 39, 38, 0}}},
      {"step at the limit both ways", {{4, 4, 25}}, {.step = 5}, {}},
      // A raised cell breaks the step to its right and lower neighbours, and is the right and
      // lower neighbour of the cells left of and above it.
      {"step inside the grid",
       {{4, 4, 26}},
       {.step = 5},
       {{a, 3, 4, K::StepDown, 20, 5, 26},
        {a, 4, 3, K::StepRight, 20, 5, 26},
        {a, 4, 4, K::StepRight, 26, 5, 20},
        {a, 4, 4, K::StepDown, 26, 5, 20}}},
      {"step at the last column: no right neighbour",
       {{4, 14, 30}},
       {.step = 5},
       {{a, 3, 14, K::StepDown, 20, 5, 30},
        {a, 4, 13, K::StepRight, 20, 5, 30},
        {a, 4, 14, K::StepDown, 30, 5, 20}}},
      {"step at the last row: no lower neighbour",
       {{9, 0, 30}},
       {.step = 5},
       {{a, 8, 0, K::StepDown, 20, 5, 30}, {a, 9, 0, K::StepRight, 30, 5, 20}}},
      {"step at the first row and column",
       {{0, 0, 10}},
       {.step = 5},
       {{a, 0, 0, K::StepRight, 10, 5, 20}, {a, 0, 0, K::StepDown, 10, 5, 20}}},
      {"step at the last corner",
       {{9, 14, 30}},
       {.step = 5},
       {{a, 8, 14, K::StepDown, 20, 5, 30}, {a, 9, 13, K::StepRight, 20, 5, 30}}},
      {"every kind of one cell in order",
       {{5, 5, 50}},
       {.max = 45, .step = 10},
       {{a, 4, 5, K::StepDown, 20, 10, 50},
        {a, 5, 4, K::StepRight, 20, 10, 50},
        {a, 5, 5, K::Max, 50, 45, 0},
        {a, 5, 5, K::StepRight, 50, 10, 20},
        {a, 5, 5, K::StepDown, 50, 10, 20}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ParameterImage im = Flat();
    for (const auto& [r, col, v] : c.cells) SetCell(im, a, r, col, v);
    EXPECT_EQ(CheckLimits(im, On(a, c.limits), nullptr), c.expected);
    // The same limits on the other advance map see nothing there.
    EXPECT_TRUE(CheckLimits(im, On(kPageAdvance2, c.limits), nullptr).empty());
  }
}

TEST(LimitCheck, ChangeAgainstTheUnitOnlyWhileItIsKnown) {
  ParameterImage unit = Flat();
  ParameterImage pc = unit;
  SetCell(pc, kPageAdvance2, 2, 3, 24);  // 4 above the unit
  SetCell(pc, kPageAdvance2, 2, 4, 23);  // 3 above
  const Limits l = On(kPageAdvance2, {.change = 3});
  EXPECT_TRUE(CheckLimits(pc, l, nullptr).empty());
  EXPECT_EQ(CheckLimits(pc, l, &unit),
            (std::vector<Violation>{{kPageAdvance2, 2, 3, K::Change, 24, 3, 20}}));
  // Lowering counts the same.
  SetCell(pc, kPageAdvance2, 2, 3, 16);
  EXPECT_EQ(CheckLimits(pc, l, &unit),
            (std::vector<Violation>{{kPageAdvance2, 2, 3, K::Change, 16, 3, 20}}));
}

TEST(LimitCheck, ChangeFollowsThePcAgainstUnitRecord) {
  ParameterImage pc = Flat();
  SetCell(pc, kPageAdvance1, 0, 0, 30);
  const Limits l = On(kPageAdvance1, {.change = 5});
  UnitRecord record;
  EXPECT_TRUE(CheckLimits(pc, l, KnownUnitImage(record)).empty());  // not read yet
  record.setKnown(Flat());
  EXPECT_EQ(CheckLimits(pc, l, KnownUnitImage(record)).size(), 1u);
  record.setUnknown();  // a failed programming: the last image stays, but is not the unit's
  EXPECT_TRUE(CheckLimits(pc, l, KnownUnitImage(record)).empty());
}

TEST(LimitCheck, OnlyTheCellsTheLayoutShows) {
  const PageLimits p{.max = 30, .step = 5};
  {
    SCOPED_TRACE("rpm only: row 9 along the rpm points");
    ParameterImage im = Flat(0);
    SetCell(im, kPageAdvance1, 3, 4, 60);  // hidden
    SetCell(im, kPageAdvance1, 8, 6, 60);  // hidden, above a shown cell
    SetCell(im, kPageAdvance1, 9, 14, 31);
    EXPECT_EQ(CheckLimits(im, On(kPageAdvance1, p), nullptr),
              (std::vector<Violation>{{kPageAdvance1, 9, 13, K::StepRight, 20, 5, 31},
                                      {kPageAdvance1, 9, 14, K::Max, 31, 30, 0}}));
  }
  {
    SCOPED_TRACE("throttle only: column 0 along the throttle rows");
    ParameterImage im = Flat(1, 2);
    SetCell(im, kPageServo, 3, 1, 4800);  // hidden, right of a shown cell
    SetCell(im, kPageServo, 9, 0, 2200);
    const Limits l = On(kPageServo, {.max = 3000, .step = 100});
    EXPECT_EQ(CheckLimits(im, l, nullptr),
              (std::vector<Violation>{{kPageServo, 8, 0, K::StepDown, 2000, 100, 2200}}));
  }
  {
    SCOPED_TRACE("servo off: nothing");
    ParameterImage im = Flat();
    SetCell(im, kPageServo, 0, 0, 5000);
    const Limits l = On(kPageServo, {.max = 3000});
    EXPECT_EQ(CheckLimits(im, l, nullptr).size(), 1u);
    im.setByte(kServoEnable, 0);
    EXPECT_TRUE(CheckLimits(im, l, nullptr).empty());
  }
}

TEST(LimitCheck, ServoLimitsInMvHoldOnAPageInPercent) {
  // 4000 mV is 80 %, a step of 500 mV is 10 %.
  const Limits l = On(kPageServo, {.max = 4000, .step = 500, .change = 250});
  ParameterImage pc = Flat(1, 0, 1);  // 40 % everywhere
  SetCell(pc, kPageServo, 0, 14, 80);
  SetCell(pc, kPageServo, 9, 14, 81);
  const ParameterImage unitInMv = Flat(1, 0, 0);  // 2000 mV = 40 % everywhere
  const std::vector<Violation> v = CheckLimits(pc, l, &unitInMv);
  const std::vector<Violation> expected = {
      {kPageServo, 0, 13, K::StepRight, 40, 10, 80}, {kPageServo, 0, 14, K::StepDown, 80, 10, 40},
      {kPageServo, 0, 14, K::Change, 80, 5, 40},     {kPageServo, 8, 14, K::StepDown, 40, 10, 81},
      {kPageServo, 9, 13, K::StepRight, 40, 10, 81}, {kPageServo, 9, 14, K::Max, 81, 80, 0},
      {kPageServo, 9, 14, K::Change, 81, 5, 40}};
  EXPECT_EQ(v, expected);
  // A page in mV against a unit in percent: the unit's 40 % is 2000 mV.
  ParameterImage mv = Flat(1, 0, 0);
  SetCell(mv, kPageServo, 4, 4, 2260);
  const ParameterImage unitInPercent = Flat(1, 0, 1);
  EXPECT_EQ(CheckLimits(mv, On(kPageServo, {.change = 250}), &unitInPercent),
            (std::vector<Violation>{{kPageServo, 4, 4, K::Change, 2260, 250, 2000}}));
}

// The limits stop at the cut: the columns above the rpm they hold up to (by default the last
// rpm point whose cells are not all 0) and the step into them are not checked; nor are exempt
// cells and the steps to them.
TEST(LimitCheck, TheCutAndExemptCellsAreNotChecked) {
  // Advance 1 ends in the rev limiter's zeros from column 10 (11000 rpm) on.
  ParameterImage cut = Flat();
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 10; c < kMapColumns; ++c) SetCell(cut, kPageAdvance1, r, c, 0);
  ParameterImage spike = Flat();
  SetCell(spike, kPageAdvance1, 3, 4, 59);
  auto exempt = [](std::initializer_list<std::pair<int, int>> cells) {
    MapCellSet set;
    for (const auto& [r, c] : cells) set.set(CellIndex(r, c));
    return set;
  };
  struct Case {
    const char* name;
    const ParameterImage* image;
    PageLimits limits;
    std::size_t count;
  };
  const Case cases[] = {
      {"the cut by default", &cut, {.min = 5, .step = 8}, 0},
      {"limits up to 15000 rpm: every zero and the cliff", &cut, {.min = 5, .step = 8, .upToRpm = 15000}, 60},
      {"limits up to 9000 rpm: one column more is cut", &cut, {.min = 25, .upToRpm = 9000}, 90},
      {"the spike", &spike, {.max = 30, .step = 8}, 5},
      {"the spike exempt", &spike, {.max = 30, .step = 8, .exempt = exempt({{3, 4}})}, 0},
      {"its neighbour exempt", &spike, {.max = 30, .step = 8, .exempt = exempt({{3, 5}})}, 4},
      {"a spike above the rpm given", &spike, {.max = 30, .upToRpm = 4000}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CheckLimits(*c.image, On(kPageAdvance1, c.limits), nullptr).size(), c.count);
  }
  EXPECT_EQ(LimitsUpToRpm(cut, kPageAdvance1, {}), 10000);
  EXPECT_EQ(LimitsUpToRpm(Flat(), kPageAdvance1, {}), 15000);
  // A map of zeros only has no cut: every cell breaks the minimum.
  ParameterImage zeros = cut;
  for (int c = 0; c < 10; ++c) SetCell(zeros, kPageAdvance1, 0, c, 0);
  for (int r = 1; r < kMapRows; ++r)
    for (int c = 0; c < 10; ++c) SetCell(zeros, kPageAdvance1, r, c, 0);
  EXPECT_EQ(CheckLimits(zeros, On(kPageAdvance1, {.min = 5}), nullptr).size(), 150u);
  // The clamp leaves the cells it does not check alone.
  ParameterImage tool = cut;
  const ClampResult r = ClampToLimits(tool, std::vector<MapCell>{{kPageAdvance1, 0, 12}, {kPageAdvance1, 0, 0}},
                                      On(kPageAdvance1, {.min = 22}), nullptr);
  EXPECT_EQ(r.clamped, 1);
  EXPECT_EQ(Cell(tool, kPageAdvance1, 0, 12), 0);
  EXPECT_EQ(Cell(tool, kPageAdvance1, 0, 0), 22);
}

// A change beyond the change limit is no violation when it brings the cell closer to its other
// limits than the unit's value: mending a typo the unit holds is never held.
TEST(LimitCheck, AChangeTowardTheLimitsIsAllowed) {
  struct Case {
    const char* name;
    int unit, pc;
    PageLimits limits;
    std::vector<K> kinds;  // of the cell (3, 4)
  };
  const Case cases[] = {
      {"repaired within the maximum", 58, 30, {.max = 38, .change = 4}, {}},
      {"closer, still above", 58, 50, {.max = 38, .change = 4}, {K::Max}},
      {"farther", 50, 58, {.max = 38, .change = 4}, {K::Max, K::Change}},
      {"overshooting below the minimum, yet closer", 58, 2, {.min = 5, .max = 38, .change = 4}, {K::Min}},
      {"a spike among its neighbours mended", 58, 20, {.step = 8, .change = 4}, {}},
      {"no other limit to come closer to", 58, 30, {.change = 4}, {K::Change}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ParameterImage unit = Flat(), pc = Flat();
    SetCell(unit, kPageAdvance1, 3, 4, c.unit);
    SetCell(pc, kPageAdvance1, 3, 4, c.pc);
    std::vector<K> kinds;
    for (const Violation& v : CheckLimits(pc, On(kPageAdvance1, c.limits), &unit))
      if (v.row == 3 && v.column == 4) kinds.push_back(v.kind);
    EXPECT_EQ(kinds, c.kinds);
  }
}

// Limits suggested from the maps as they are find nothing in them; a spike added is the worst
// violation, listed first.
TEST(LimitCheck, SuggestedLimitsKeepTheNewMapsAndTheWorstComesFirst) {
  ParameterImage im = NewConfiguration();
  im.setByte(kMapsUseThrottle, 1);
  im.setByte(kServoEnable, 1);
  Limits l;
  for (const int page : kLimitPages) *l.of(page) = SuggestLimits(im, page, {});
  EXPECT_TRUE(CheckLimits(im, l, nullptr).empty());
  EXPECT_EQ(*l.of(kPageAdvance1), (PageLimits{.min = 8, .max = 35, .step = 8}));
  EXPECT_TRUE(l.of(kPageServo)->max.has_value());
  SetCell(im, kPageAdvance1, 5, 3, 58);  // among 8 and 20 degrees
  std::vector<Violation> v = CheckLimits(im, l, nullptr);
  SortWorstFirst(v);
  ASSERT_GE(v.size(), 2u);
  // 58 against 8 is 50, 42 past the step of 8; 58 above 35 is 23 past the maximum.
  EXPECT_EQ(v[0], (Violation{kPageAdvance1, 5, 2, K::StepRight, 8, 8, 58}));
  EXPECT_EQ(ViolationExcess(v[0]), 42);
  for (std::size_t i = 1; i < v.size(); ++i) EXPECT_GE(ViolationExcess(v[i - 1]), ViolationExcess(v[i]));
}

// ---- texts ---------------------------------------------------------------------------------

TEST(LimitTexts, OneLinePerKindInFourLanguages) {
  const ParameterImage im = Flat();
  const int a = kPageAdvance1;
  struct Case {
    Violation v;
    const char* english;
  };
  const Case cases[] = {
      {{a, 7, 6, K::Max, 41, 38, 0}, "Advance 1  row 60 %  col 7000 rpm  41 > max 38"},
      {{a, 0, 0, K::Min, 12, 15.5, 0}, "Advance 1  row 0 %  col 1000 rpm  12 < min 15.5"},
      {{a, 7, 6, K::StepRight, 41, 8, 30},
       "Advance 1  row 60 %  col 7000 rpm  41 vs 30 at 8000 rpm: step 11 > max 8"},
      {{kPageAdvance2, 7, 6, K::StepDown, 30, 8, 41},
       "Advance 2  row 60 %  col 7000 rpm  30 vs 41 at 80 %: step 11 > max 8"},
      {{kPageServo, 9, 14, K::Change, 2400, 250, 2000},
       "Servo  row 100 %  col 15000 rpm  2400 vs unit 2000: change 400 > max 250"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.english);
    EXPECT_EQ(ViolationText(c.v, im, kLanguageEnglish), c.english);
    for (int lang = kLanguageGerman; lang <= kLanguageCzech; ++lang) {
      const std::string t = ViolationText(c.v, im, lang);
      EXPECT_EQ(t.rfind(LimitPageName(c.v.page, lang), 0), 0u) << t;
      EXPECT_NE(t, c.english);
      EXPECT_EQ(t.find('%' + std::string("1")), std::string::npos) << t;  // every value filled
      EXPECT_NE(t.find(std::to_string(c.v.value)), std::string::npos) << t;
    }
  }
  EXPECT_EQ(ViolationText(cases[0].v, im, kLanguageGerman),
            "Vorzündung 1  Zeile 60 %  Spalte 7000 U/min  41 > Max. 38");
  EXPECT_EQ(ViolationText(cases[0].v, im, 99), cases[0].english);
}

TEST(LimitTexts, LayoutWithoutRowsOrColumnsLeavesThemOut) {
  EXPECT_EQ(ViolationText({kPageAdvance1, 9, 6, K::Max, 41, 38, 0}, Flat(0), kLanguageEnglish),
            "Advance 1  col 7000 rpm  41 > max 38");
  EXPECT_EQ(ViolationText({kPageServo, 7, 0, K::Max, 4100, 4000, 0}, Flat(1, 2), kLanguageEnglish),
            "Servo  row 60 %  4100 > max 4000");
}

// ---- the clamp -------------------------------------------------------------------------------

TEST(LimitClamp, ChangedCellsWithinMinMaxAndChange) {
  const int a = kPageAdvance1;
  ParameterImage unit = Flat();
  ParameterImage proposed = unit;
  SetCell(proposed, a, 1, 1, 45);  // above max
  SetCell(proposed, a, 1, 2, 5);   // below min
  SetCell(proposed, a, 1, 3, 27);  // 7 above the unit
  SetCell(proposed, a, 1, 4, 22);  // within everything
  SetCell(proposed, a, 6, 6, 59);  // not among the tool's cells
  const std::vector<MapCell> touched = {{a, 1, 1}, {a, 1, 2}, {a, 1, 3}, {a, 1, 4}};
  const Limits l = On(a, {.min = 10.5, .max = 38.5, .change = 5});

  ParameterImage noUnit = proposed;
  ClampResult r = ClampToLimits(noUnit, touched, l, nullptr);
  EXPECT_EQ(r.clamped, 2);
  EXPECT_EQ(Cell(noUnit, a, 1, 1), 38);  // the nearest step within 38.5
  EXPECT_EQ(Cell(noUnit, a, 1, 2), 11);
  EXPECT_EQ(Cell(noUnit, a, 1, 3), 27);
  EXPECT_EQ(Cell(noUnit, a, 6, 6), 59);
  EXPECT_EQ(r.remaining, (std::vector<Violation>{{a, 6, 6, K::Max, 59, 38.5, 0}}));

  r = ClampToLimits(proposed, touched, l, &unit);
  EXPECT_EQ(r.clamped, 3);
  // Each held cell says which limit held it.
  EXPECT_EQ(r.held, (std::vector<HeldCell>{{{a, 1, 1}, K::Change, 45, 25},
                                           {{a, 1, 2}, K::Change, 5, 15},
                                           {{a, 1, 3}, K::Change, 27, 25}}));
  EXPECT_EQ(Cell(proposed, a, 1, 1), 25);  // the unit's 20 + 5
  EXPECT_EQ(Cell(proposed, a, 1, 2), 15);
  EXPECT_EQ(Cell(proposed, a, 1, 3), 25);
  EXPECT_EQ(Cell(proposed, a, 1, 4), 22);
  EXPECT_EQ(r.remaining, (std::vector<Violation>{{a, 6, 6, K::Max, 59, 38.5, 0},
                                                 {a, 6, 6, K::Change, 59, 5, 20}}));
}

TEST(LimitClamp, BoundsThatCannotAllHold) {
  const int a = kPageAdvance1;
  ParameterImage unit = Flat();
  SetCell(unit, a, 0, 0, 50);
  ParameterImage im = Flat();
  const std::vector<MapCell> cell = {{a, 0, 0}};
  // The unit's 50 is far above the maximum: a cell within it is a repair and stays; one beyond
  // the change window and the maximum comes to the maximum.
  ClampToLimits(im, cell, On(a, {.max = 30, .change = 5}), &unit);
  EXPECT_EQ(Cell(im, a, 0, 0), 20);
  SetCell(im, a, 0, 0, 58);
  ClampToLimits(im, cell, On(a, {.max = 30, .change = 5}), &unit);
  EXPECT_EQ(Cell(im, a, 0, 0), 30);
  // A minimum above the maximum: the maximum wins.
  ClampToLimits(im, cell, On(a, {.min = 35, .max = 25}), nullptr);
  EXPECT_EQ(Cell(im, a, 0, 0), 25);
  // A minimum beyond the page's display maximum raises to that maximum only.
  ClampToLimits(im, cell, On(a, {.min = 70}), nullptr);
  EXPECT_EQ(Cell(im, a, 0, 0), 60);
}

TEST(LimitClamp, StepsAreReportedNotRepaired) {
  const int a = kPageAdvance2;
  ParameterImage im = Flat();
  SetCell(im, a, 2, 2, 36);
  const ParameterImage before = im;
  const ClampResult r = ClampToLimits(im, std::vector<MapCell>{{a, 2, 2}}, On(a, {.max = 40, .step = 10}), nullptr);
  EXPECT_EQ(r.clamped, 0);
  EXPECT_EQ(im, before);
  EXPECT_EQ(r.remaining.size(), 4u);
}

TEST(LimitClamp, HiddenAndForeignCellsAreLeftAlone) {
  ParameterImage im = Flat(0);  // advance maps over rpm only
  SetCell(im, kPageAdvance1, 3, 3, 50);
  SetCell(im, kPageServo, 0, 0, 5000);
  im.setByte(kServoEnable, 0);
  const ParameterImage before = im;
  Limits l = On(kPageAdvance1, {.max = 30});
  l.of(kPageServo)->max = 3000;
  const std::vector<MapCell> cells = {
      {kPageAdvance1, 3, 3}, {kPageServo, 0, 0}, {kPageBike, 0, 0}, {kPageAdvance1, 10, 0}, {kPageAdvance1, 0, -1}};
  EXPECT_EQ(ClampToLimits(im, cells, l, nullptr).clamped, 0);
  EXPECT_EQ(im, before);
}

TEST(LimitClamp, ServoOnItsOwnSteps) {
  ParameterImage mv = Flat();
  SetCell(mv, kPageServo, 5, 5, 4800);
  ClampToLimits(mv, std::vector<MapCell>{{kPageServo, 5, 5}}, On(kPageServo, {.max = 4010}), nullptr);
  EXPECT_EQ(Cell(mv, kPageServo, 5, 5), 4000);  // 20 mV steps
  ParameterImage pct = Flat(1, 0, 1);
  SetCell(pct, kPageServo, 5, 5, 99);
  ClampToLimits(pct, std::vector<MapCell>{{kPageServo, 5, 5}}, On(kPageServo, {.max = 4010}), nullptr);
  EXPECT_EQ(Cell(pct, kPageServo, 5, 5), 80);  // 80.2 % allows 80
}

TEST(LimitClamp, ChangedCellsListsEveryDifferingMapCell) {
  ParameterImage a = Flat(), b = Flat();
  SetCell(b, kPageAdvance1, 9, 14, 21);
  SetCell(b, kPageServo, 0, 0, 2020);
  b.setByte(kServoEnable, 0);  // not a map cell
  EXPECT_EQ(ChangedCells(a, b),
            (std::vector<MapCell>{{kPageAdvance1, 9, 14}, {kPageServo, 0, 0}}));
}

}  // namespace
}  // namespace rq
