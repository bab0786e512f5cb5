// SPDX-License-Identifier: GPL-3.0-or-later
// The map's shape without widgets: snapping a dragged value, smoothing, the copy between the
// advance maps, the clamp of a tool's result, the curves and the plane in every layout.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "limits/limit_check.h"
#include "mapview/map_shape.h"
#include "mapview/mapview_texts.h"
#include "model/defaults.h"

namespace rq {
namespace {

constexpr int kA1 = kPageAdvance1;
constexpr int kA2 = kPageAdvance2;
constexpr int kServo = kPageServo;
constexpr int kBike = kPageBike;

int Cell(const ParameterImage& im, int page, int r, int c) { return im.byte(CellByte(*MapOfPage(page), r, c)); }
void SetCell(ParameterImage& im, int page, int r, int c, int b) { im.setByte(CellByte(*MapOfPage(page), r, c), b); }

// Every map over rpm and throttle, every cell of both advance maps at `value`, the servo on
// in mV over rpm and throttle.
ParameterImage Flat(int value) {
  ParameterImage im = NewConfiguration();
  im.setByte(kMapsUseThrottle, 1);
  im.setByte(kServoEnable, 1);
  im.setByte(kServoPercent, 0);
  im.setByte(kServoMode, 0);
  for (int page : {kA1, kA2, kServo})
    for (int r = 0; r < kMapRows; ++r)
      for (int c = 0; c < kMapColumns; ++c) SetCell(im, page, r, c, value);
  return im;
}

// The bytes outside the given page's cells are those of `before`.
void ExpectOnlyCellsOf(const ParameterImage& before, const ParameterImage& after, int page) {
  const ByteGrid& cells = MapOfPage(page)->cells;
  for (int i = 0; i < kImageSize; ++i) {
    if (i >= cells.first && i < cells.first + kMapCells) continue;
    ASSERT_EQ(before.byte(i), after.byte(i)) << "byte " << i;
  }
}

TEST(SnappedByte, NearestStepWithinTheRange) {
  const struct {
    double shown;
    CellScale scale;
    int byte;
  } cases[] = {
      {-3, {1, 60}, 0},          {0.49, {1, 60}, 0},          {0.5, {1, 60}, 1},
      {59.6, {1, 60}, 60},       {75, {1, 60}, 60},           {1009, {20, 5000}, 50},
      {1010, {20, 5000}, 51},    {5100, {20, 5000}, 250},     {-20, {20, 5000}, 0},
      {99.5, {1, 100}, 100},     {1e30, {1, 60}, 60},         {std::numeric_limits<double>::infinity(), {1, 60}, 60},
      {std::nan(""), {1, 60}, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(SnappedByte(c.shown, c.scale), c.byte) << c.shown;
}

TEST(ToolArea, OneCellMeansTheWholeMap) {
  EXPECT_TRUE(IsWholeMap(ToolArea({3, 4, 3, 4})));
  const CellRect sel{5, 9, 2, 3};  // corners in any order
  const CellRect a = ToolArea(sel);
  EXPECT_FALSE(IsWholeMap(a));
  EXPECT_EQ(a.top(), 2);
  EXPECT_EQ(a.right(), 9);
  EXPECT_TRUE(IsWholeMap({9, 14, 0, 0}));
}

// A spike of 16 over 0 spreads by the kernel 1 2 1 / 2 4 2 / 1 2 1: in the middle the weights
// sum to 16, in a corner to 9, on an edge to 12.
TEST(Smoothing, OnePassSpreadsASpikeByTheKernelWithTheEdgesThatExist) {
  const struct {
    int row, column;
    int centre, side, diagonal;  // the spike's cell and its neighbours after one pass
  } cases[] = {
      {4, 7, 4, 2, 1},  // 64/16, 32/16, 16/16
      {0, 0, 7, 3, 1},  // 64/9 = 7.1, 32/12 = 2.7 (an edge cell), 16/16
      {9, 7, 5, 3, 1},  // bottom edge: 64/12 = 5.3; its row neighbours 32/12 = 2.7
  };
  for (const auto& k : cases) {
    ParameterImage im = Flat(0);
    SetCell(im, kA1, k.row, k.column, 16);
    const ParameterImage before = im;
    SmoothCells(im, kA1, kWholeMap, 1);
    ExpectOnlyCellsOf(before, im, kA1);
    EXPECT_EQ(Cell(im, kA1, k.row, k.column), k.centre) << k.row << "," << k.column;
    const int sideColumn = k.column + 1;
    EXPECT_EQ(Cell(im, kA1, k.row, sideColumn), k.side) << k.row << "," << k.column;
    const int diagonalRow = k.row == 9 ? 8 : k.row + 1;
    EXPECT_EQ(Cell(im, kA1, diagonalRow, sideColumn), k.diagonal) << k.row << "," << k.column;
    // Farther away nothing moves in one pass.
    EXPECT_EQ(Cell(im, kA1, k.row, k.column + 2), 0);
  }
}

TEST(Smoothing, OnlyTheAreaChangesAndCellsOutsideCountAsNeighbours) {
  ParameterImage im = Flat(10);
  SetCell(im, kA1, 4, 7, 42);  // outside the area, next to it
  const ParameterImage before = im;
  const CellRect area{4, 8, 5, 9};
  const int changed = SmoothCells(im, kA1, area, 1);
  for (int r = 0; r < kMapRows; ++r) {
    for (int c = 0; c < kMapColumns; ++c) {
      if (!area.contains(r, c)) {
        ASSERT_EQ(Cell(im, kA1, r, c), Cell(before, kA1, r, c)) << r << "," << c;
      }
    }
  }
  // (4,8) has the spike as its left neighbour: (42 * 2 + 10 * 14) / 16 = 14; (5,8) as its
  // diagonal: (42 + 10 * 15) / 16 = 12.
  EXPECT_EQ(Cell(im, kA1, 4, 8), 14);
  EXPECT_EQ(Cell(im, kA1, 5, 8), 12);
  EXPECT_EQ(Cell(im, kA1, 4, 9), 10);
  EXPECT_EQ(changed, 2);
  EXPECT_EQ(Cell(im, kA1, 4, 7), 42);
}

TEST(Smoothing, MorePassesSmoothMoreAndTheStrengthIsKeptWithinOneToFive) {
  auto peak = [](int passes) {
    ParameterImage im = Flat(0);
    SetCell(im, kA1, 4, 7, 60);
    SmoothCells(im, kA1, kWholeMap, passes);
    return Cell(im, kA1, 4, 7);
  };
  EXPECT_EQ(peak(1), 15);
  EXPECT_GT(peak(1), peak(2));
  EXPECT_GT(peak(2), peak(3));
  EXPECT_GT(peak(3), peak(5));
  EXPECT_EQ(peak(0), peak(1));
  EXPECT_EQ(peak(9), peak(5));
  // A flat map stays as it is.
  ParameterImage flat = Flat(23);
  EXPECT_EQ(SmoothCells(flat, kA1, kWholeMap, 5), 0);
  EXPECT_EQ(flat, Flat(23));
}

TEST(Smoothing, OnlyTheCellsTheLayoutShows) {
  // Over rpm only: row 9 alone, its neighbours along the row (1 2 1 over 4).
  ParameterImage im = Flat(0);
  im.setByte(kMapsUseThrottle, 0);
  SetCell(im, kA1, 9, 7, 16);
  SetCell(im, kA1, 8, 7, 40);  // hidden: neither changed nor a neighbour
  SmoothCells(im, kA1, kWholeMap, 1);
  EXPECT_EQ(Cell(im, kA1, 9, 7), 8);
  EXPECT_EQ(Cell(im, kA1, 9, 6), 4);
  EXPECT_EQ(Cell(im, kA1, 8, 7), 40);
  EXPECT_EQ(Cell(im, kA1, 8, 6), 0);
  // The servo over throttle only: column 0 alone.
  ParameterImage servo = Flat(0);
  servo.setByte(kServoMode, 2);
  SetCell(servo, kServo, 4, 0, 100);
  SetCell(servo, kServo, 4, 1, 100);
  SmoothCells(servo, kServo, kWholeMap, 1);
  EXPECT_EQ(Cell(servo, kServo, 4, 0), 50);
  EXPECT_EQ(Cell(servo, kServo, 3, 0), 25);
  EXPECT_EQ(Cell(servo, kServo, 4, 1), 100);
  // The servo off: its map is not used and nothing changes.
  ParameterImage off = Flat(0);
  off.setByte(kServoEnable, 0);
  SetCell(off, kServo, 4, 4, 100);
  const ParameterImage before = off;
  EXPECT_EQ(SmoothCells(off, kServo, kWholeMap, 3), 0);
  EXPECT_EQ(off, before);
}

TEST(Smoothing, ResultsStayWithinTheRangeOfThePage) {
  // A cell above the display maximum (from a file) comes down to it.
  ParameterImage im = Flat(60);
  SetCell(im, kA1, 4, 7, 90);
  SmoothCells(im, kA1, kWholeMap, 1);
  EXPECT_EQ(Cell(im, kA1, 4, 7), 60);
  EXPECT_EQ(Cell(im, kA1, 4, 8), 60);
  // Servo in mV: bytes of 20 mV, at most 250 (5000 mV).
  ParameterImage servo = Flat(255);
  SmoothCells(servo, kServo, kWholeMap, 2);
  EXPECT_EQ(Cell(servo, kServo, 0, 0), 250);
  // Servo in percent: at most 100.
  servo = Flat(120);
  servo.setByte(kServoPercent, 1);
  SmoothCells(servo, kServo, kWholeMap, 1);
  EXPECT_EQ(Cell(servo, kServo, 5, 5), 100);
}

// The new maps end in the rev limiter's zeros at 9800 rpm: smoothing the whole map within the
// page's limits (none set) leaves the cliff where it is, on both sides; limits up to an rpm of
// their own move that cut.
TEST(Smoothing, NeverAcrossTheCut) {
  ParameterImage im = NewConfiguration();
  im.setByte(kMapsUseThrottle, 1);
  const ParameterImage before = im;
  const int last = 9;  // 9700 rpm: 35 degrees, then 0 from 9800 rpm
  ASSERT_EQ(Cell(im, kA1, 5, last), 35);
  ASSERT_EQ(Cell(im, kA1, 5, last + 1), 0);
  const PageLimits none;
  SmoothCells(im, kA1, kWholeMap, 3, &none);
  for (int r = 0; r < kMapRows; ++r) {
    EXPECT_EQ(Cell(im, kA1, r, last), 35) << r;
    for (int c = last + 1; c < kMapColumns; ++c) EXPECT_EQ(Cell(im, kA1, r, c), 0) << r << "," << c;
  }
  EXPECT_NE(im, before);  // the steps below the cut are smoothed
  // Limits up to 7000 rpm: 7000 rpm meets 6000 rpm only, (4 * 33 + 8 * 35) / 12 = 34.3.
  ParameterImage cut = before;
  PageLimits upTo7000;
  upTo7000.upToRpm = 7000;
  SmoothCells(cut, kA1, kWholeMap, 1, &upTo7000);
  EXPECT_EQ(Cell(cut, kA1, 5, 8), 34);
}

// Map 1 against map 2 and the PC against the unit, cell by cell at the cells the layout shows.
TEST(Differences, CellByCellAtTheShownCellsOverTheFirstMapsRpmPoints) {
  ParameterImage im = Flat(20);
  SetCell(im, kA1, 2, 3, 25);
  SetCell(im, kA2, 4, 5, 27);
  MapDifference d = DifferenceOf(im, kA1, im, kA2);
  ASSERT_TRUE(d.shown);
  EXPECT_EQ(d.at(2, 3), 5);
  EXPECT_EQ(d.at(4, 5), -7);
  EXPECT_EQ(d.at(0, 0), 0);
  EXPECT_FALSE(d.rpmDiffer);
  ASSERT_EQ(d.curves().size(), std::size_t(kMapRows));
  EXPECT_EQ(d.curves()[2].points[3].y, 5);
  EXPECT_EQ(d.curves()[2].points[3].x, im[MapOfPage(kA1)->axis[3]]);
  // Over rpm only: row 9 and the cell the layout shows in column 0.
  im.setByte(kMapsUseThrottle, 0);
  d = DifferenceOf(im, kA1, im, kA2);
  EXPECT_FALSE(d.at(2, 3).has_value());
  EXPECT_EQ(d.curves().size(), 1u);
  // The unit's servo map, in mV like the PC's: 2400 against 2000.
  ParameterImage unit = Flat(100);
  ParameterImage pc = unit;
  SetCell(pc, kServo, 1, 1, 120);
  im.setWord(MapOfPage(kA1)->axis[0], im[MapOfPage(kA1)->axis[0]] + 50);
  EXPECT_EQ(DifferenceOf(pc, kServo, unit, kServo).at(1, 1), 400);
  EXPECT_TRUE(DifferenceOf(im, kA1, im, kA2).rpmDiffer);
  pc.setByte(kServoEnable, 0);
  EXPECT_FALSE(DifferenceOf(pc, kServo, unit, kServo).shown);
}

TEST(CopyMap, TheWholeMapOnlyTheOtherMapAndItsRpmPointsWhenAsked) {
  for (const bool rpm : {false, true}) {
    for (const auto& [from, to] : {std::pair{kA1, kA2}, std::pair{kA2, kA1}}) {
      ParameterImage im = Flat(0);
      im.setByte(kMapsUseThrottle, 0);  // hidden cells go with the whole map all the same
      for (int i = 0; i < kMapCells; ++i) SetCell(im, from, i / kMapColumns, i % kMapColumns, i % 61);
      for (int c = 0; c < kMapColumns; ++c) im.setWord(MapOfPage(from)->axis[c], 1000 + 500 * c);
      const ParameterImage before = im;
      const int changed = CopyMap(im, {from, to, kWholeMap, rpm});
      for (int i = 0; i < kMapCells; ++i)
        ASSERT_EQ(Cell(im, to, i / kMapColumns, i % kMapColumns), i % 61) << i;
      int expected = 0;
      for (int i = 0; i < kMapCells; ++i)
        expected += Cell(before, to, i / kMapColumns, i % kMapColumns) != i % 61;
      for (int c = 0; c < kMapColumns; ++c) {
        const int want = rpm ? 1000 + 500 * c : before[MapOfPage(to)->axis[c]];
        EXPECT_EQ(im[MapOfPage(to)->axis[c]], want);
        expected += rpm && before[MapOfPage(to)->axis[c]] != want;
      }
      EXPECT_EQ(changed, expected);
      // Nothing else: the source map, the servo, every other byte.
      for (int i = 0; i < kImageSize; ++i) {
        const ByteGrid& cells = MapOfPage(to)->cells;
        const int axis = 2 * MapOfPage(to)->axis.first;  // word k at bytes 2k, 2k + 1
        if (i >= cells.first && i < cells.first + kMapCells) continue;
        if (rpm && i >= axis && i < axis + 2 * kMapColumns) continue;
        ASSERT_EQ(im.byte(i), before.byte(i)) << i;
      }
    }
  }
}

TEST(CopyMap, ASelectionTakesItsShownCellsAndTheRpmPointsOfItsColumns) {
  ParameterImage im = Flat(5);
  for (int i = 0; i < kMapCells; ++i) SetCell(im, kA1, i / kMapColumns, i % kMapColumns, 20 + i % 30);
  for (int c = 0; c < kMapColumns; ++c) im.setWord(MapOfPage(kA1)->axis[c], 2000 + 100 * c);
  const CellRect area{7, 3, 9, 5};
  for (const bool throttleRows : {true, false}) {
    ParameterImage copy = im;
    copy.setByte(kMapsUseThrottle, throttleRows ? 1 : 0);
    const ParameterImage before = copy;
    CopyMap(copy, {kA1, kA2, area, true});
    for (int r = 0; r < kMapRows; ++r)
      for (int c = 0; c < kMapColumns; ++c) {
        const bool copied = area.contains(r, c) && (throttleRows || r == 9);
        EXPECT_EQ(Cell(copy, kA2, r, c), copied ? Cell(im, kA1, r, c) : 5) << r << "," << c;
      }
    for (int c = 0; c < kMapColumns; ++c)
      EXPECT_EQ(copy[MapOfPage(kA2)->axis[c]], c >= 3 && c <= 5 ? 2000 + 100 * c : before[MapOfPage(kA2)->axis[c]]);
  }
}

TEST(CopyMap, OnlyBetweenTheTwoAdvanceMaps) {
  const ParameterImage before = Flat(7);
  for (const auto& [from, to] : {std::pair{kA1, kA1}, std::pair{kA1, kServo}, std::pair{kServo, kA2},
                                 std::pair{kBike, kA2}}) {
    ParameterImage im = before;
    EXPECT_EQ(CopyMap(im, {from, to, kWholeMap, true}), 0);
    EXPECT_EQ(im, before);
  }
}

TEST(ToolClamp, TheChangedCellsComeWithinTheLimitsAndAreCounted) {
  ParameterImage before = Flat(20);
  ParameterImage after = before;
  SetCell(after, kA2, 0, 0, 45);
  SetCell(after, kA2, 0, 1, 35);
  SetCell(after, kA2, 0, 2, 29);
  SetCell(before, kA2, 5, 5, 50);  // above the limit but not changed by the tool: left alone
  SetCell(after, kA2, 5, 5, 50);
  Limits limits;
  limits.of(kA2)->max = 30;
  EXPECT_EQ(ClampToolResult(after, before, limits, nullptr), 2);
  EXPECT_EQ(Cell(after, kA2, 0, 0), 30);
  EXPECT_EQ(Cell(after, kA2, 0, 1), 30);
  EXPECT_EQ(Cell(after, kA2, 0, 2), 29);
  EXPECT_EQ(Cell(after, kA2, 5, 5), 50);
  // The change limit holds against the unit only while its content is known.
  ParameterImage unit = Flat(20);
  limits = Limits{};
  limits.of(kA2)->change = 4;
  ParameterImage again = Flat(20);
  SetCell(again, kA2, 1, 1, 40);
  ParameterImage known = again;
  EXPECT_EQ(ClampToolResult(known, Flat(20), limits, &unit), 1);
  EXPECT_EQ(Cell(known, kA2, 1, 1), 24);
  EXPECT_EQ(ClampToolResult(again, Flat(20), limits, nullptr), 0);
}

TEST(MapCurves, OneCurvePerRowOrColumnWithTheCellsTheLayoutShows) {
  ParameterImage im = Flat(0);
  for (int i = 0; i < kMapCells; ++i) SetCell(im, kA1, i / kMapColumns, i % kMapColumns, i % 50);
  for (int c = 0; c < kMapColumns; ++c) im.setWord(MapOfPage(kA1)->axis[c], 1500 + 700 * c);
  const auto rpm = MapCurves(im, kA1, CurveAxis::Rpm);
  ASSERT_EQ(rpm.size(), 10u);
  for (const MapCurve& curve : rpm) {
    ASSERT_EQ(curve.points.size(), 15u);
    for (const CurvePoint& p : curve.points) {
      EXPECT_EQ(p.row, curve.index);
      EXPECT_EQ(p.x, 1500 + 700 * p.column);
      EXPECT_EQ(p.y, (p.row * kMapColumns + p.column) % 50);
    }
  }
  const auto throttle = MapCurves(im, kA1, CurveAxis::Throttle);
  ASSERT_EQ(throttle.size(), 15u);
  for (const MapCurve& curve : throttle) {
    ASSERT_EQ(curve.points.size(), 10u);
    for (const CurvePoint& p : curve.points) {
      EXPECT_EQ(p.column, curve.index);
      EXPECT_EQ(p.x, kThrottleRows[p.row]);
    }
  }
  // Layouts: rows and columns without a shown cell give no curve.
  const struct {
    int page, throttle, servoMode, servoEnable;
    CurveAxis axis;
    std::size_t curves, points;
  } layouts[] = {
      {kA1, 0, 0, 1, CurveAxis::Rpm, 1, 15},       {kA1, 0, 0, 1, CurveAxis::Throttle, 15, 1},
      {kServo, 1, 1, 1, CurveAxis::Rpm, 1, 15}, {kServo, 1, 2, 1, CurveAxis::Rpm, 10, 1},
      {kServo, 1, 2, 1, CurveAxis::Throttle, 1, 10}, {kServo, 1, 0, 0, CurveAxis::Rpm, 0, 0},
      {kBike, 1, 0, 1, CurveAxis::Rpm, 0, 0},
  };
  for (const auto& l : layouts) {
    ParameterImage m = Flat(3);
    m.setByte(kMapsUseThrottle, l.throttle);
    m.setByte(kServoMode, l.servoMode);
    m.setByte(kServoEnable, l.servoEnable);
    const auto curves = MapCurves(m, l.page, l.axis);
    ASSERT_EQ(curves.size(), l.curves) << l.page << " " << l.servoMode;
    for (const MapCurve& c : curves) EXPECT_EQ(c.points.size(), l.points);
  }
  // The servo in mV shows 20 mV a step.
  ParameterImage servo = Flat(100);
  EXPECT_EQ(MapCurves(servo, kServo, CurveAxis::Rpm)[0].points[0].y, 2000);
}

TEST(MapPlane, TheValuesTheUnitAppliesOverTheWholePlane) {
  ParameterImage im = Flat(0);
  for (int i = 0; i < kMapCells; ++i) SetCell(im, kA1, i / kMapColumns, i % kMapColumns, i % 40);
  const MapPlane full = MapPlaneOf(im, kA1);
  ASSERT_TRUE(full.shown);
  EXPECT_EQ(full.at(3, 4), (3 * 15 + 4) % 40);
  EXPECT_EQ(full.top, 60);
  EXPECT_EQ(full.rpm[0], im[MapOfPage(kA1)->axis[0]]);
  // Over rpm only every row is row 9.
  im.setByte(kMapsUseThrottle, 0);
  const MapPlane rpmOnly = MapPlaneOf(im, kA1);
  for (int r = 0; r < kMapRows; ++r) EXPECT_EQ(rpmOnly.at(r, 6), (9 * 15 + 6) % 40);
  // The servo over throttle only: every column is column 0; in mV, its top 5000 or above.
  ParameterImage servo = Flat(0);
  servo.setByte(kServoMode, 2);
  for (int r = 0; r < kMapRows; ++r) SetCell(servo, kServo, r, 0, 10 * r);
  SetCell(servo, kServo, 2, 3, 255);  // hidden
  const MapPlane plane = MapPlaneOf(servo, kServo);
  for (int c = 0; c < kMapColumns; ++c) EXPECT_EQ(plane.at(7, c), 20 * 70);
  EXPECT_EQ(plane.top, 5000);
  SetCell(servo, kServo, 9, 0, 255);
  EXPECT_EQ(MapPlaneOf(servo, kServo).top, 5100);
  servo.setByte(kServoEnable, 0);
  EXPECT_FALSE(MapPlaneOf(servo, kServo).shown);
  EXPECT_FALSE(MapPlaneOf(servo, kBike).shown);
}

TEST(MapViewTexts, EveryTextInEveryLanguageWithItsPlaceholders) {
  for (int id = 0; id < int(MapViewText::Count); ++id) {
    const std::string english = MapViewTextOf(MapViewText(id), 0);
    ASSERT_FALSE(english.empty()) << id;
    for (int lang = 1; lang < 4; ++lang) {
      const std::string text = MapViewTextOf(MapViewText(id), lang);
      ASSERT_FALSE(text.empty()) << id << " " << lang;
      for (const char* p : {"%1", "%2", "%3"})
        EXPECT_EQ(english.find(p) == std::string::npos, text.find(p) == std::string::npos)
            << id << " " << lang << " " << p;
    }
  }
  EXPECT_STREQ(MapViewTextOf(MapViewText::Smooth, 9), "Smooth");  // out of range: English
}

}  // namespace
}  // namespace rq
