// SPDX-License-Identifier: GPL-3.0-or-later
// The map arithmetic without widgets: servo conversion, live cell, layouts, the selection
// operations, spreadsheet text, the tuning tools and the power-output presets.
#include <gtest/gtest.h>

#include "model/defaults.h"
#include "model/map_model.h"
#include "pages/power_model.h"
#include "pages/tuning_tools.h"

namespace rq {
namespace {

TEST(ServoConversion, BothDirectionsAndTheClampAt255) {
  struct Case {
    int value, toPercent, toRaw;
  };
  for (const Case& c : {Case{0, 0, 0}, Case{1, 0, 2}, Case{2, 1, 5}, Case{100, 40, 250},
                        Case{102, 41, 255}, Case{103, 41, 255}, Case{255, 102, 255}}) {
    EXPECT_EQ(ServoRawToPercent(c.value), c.toPercent) << c.value;
    EXPECT_EQ(ServoPercentToRaw(c.value), c.toRaw) << c.value;
  }
  // Raw 250 (shown 5000) is 100 % and comes back as 250.
  EXPECT_EQ(ServoPercentToRaw(ServoRawToPercent(250)), 250);
}

std::string Picture(const MapMode& m) {
  std::string s;
  for (int r = 0; r < kMapRows; ++r) {
    for (int c = 0; c < kMapColumns; ++c) s += CellVisible(m, r, c) ? '#' : '.';
    s += '\n';
  }
  return s;
}

TEST(MapLayout, TheThreeLayoutsAsTablesOfVisibleCells) {
  ParameterImage im = NewConfiguration();
  im.setByte(kServoMode, 0);
  const MapMode full = MapModeOf(im, kPageServo);
  std::string all;
  for (int r = 0; r < 10; ++r) all += std::string(15, '#') + "\n";
  EXPECT_EQ(Picture(full), all);
  EXPECT_TRUE(AxisVisible(full) && RowLabelsVisible(full) && ColumnButtonsVisible(full));

  im.setByte(kServoMode, 1);
  const MapMode rpm = MapModeOf(im, kPageServo);
  std::string expect;
  for (int r = 0; r < 9; ++r) expect += std::string(15, '.') + "\n";
  expect += std::string(15, '#') + "\n";
  EXPECT_EQ(Picture(rpm), expect);
  EXPECT_TRUE(AxisVisible(rpm));
  EXPECT_FALSE(RowLabelsVisible(rpm) || ColumnButtonsVisible(rpm));
  // The advance maps over rpm only look the same.
  im.setByte(kMapsUseThrottle, 0);
  EXPECT_EQ(Picture(MapModeOf(im, kPageAdvance1)), expect);

  im.setByte(kServoMode, 2);
  const MapMode tps = MapModeOf(im, kPageServo);
  expect.clear();
  for (int r = 0; r < 10; ++r) expect += "#" + std::string(14, '.') + "\n";
  EXPECT_EQ(Picture(tps), expect);
  EXPECT_FALSE(AxisVisible(tps) || ColumnButtonsVisible(tps));
  EXPECT_TRUE(RowLabelsVisible(tps));

  // The servo grid shows only while the servo is enabled; the advance grids always.
  im.setByte(kServoEnable, 0);
  EXPECT_FALSE(MapModeOf(im, kPageServo).gridShown);
  EXPECT_TRUE(MapModeOf(im, kPageAdvance2).gridShown);
}

class LiveCellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    im = NewConfiguration();
    for (const MapDef& m : Maps())
      for (int c = 0; c < kMapColumns; ++c) im.setWord(m.axis[c], 1000 + 1000 * c);
    im.setByte(kMapsUseThrottle, 1);
    im.setByte(kServoMode, 0);
  }
  ParameterImage im;
};

TEST_F(LiveCellTest, NearestRpmPointWithTheMidpointGoingUp) {
  struct Case {
    int rpm, column;
  };
  for (const Case& c : {Case{1000, 0}, Case{1499, 0}, Case{1500, 1}, Case{2400, 1},
                        Case{14499, 13}, Case{14500, 14}, Case{60000, 14}, Case{1, 0}}) {
    const LiveCell l = ComputeLiveCell(im, kPageAdvance1, c.rpm, 0, false);
    EXPECT_EQ(l.column, c.column) << c.rpm;
    EXPECT_TRUE(l.cellMarked);
  }
}

TEST_F(LiveCellTest, ThrottleRowsByTheBreakpointTable) {
  struct Case {
    int throttle, row;  // tenths of a percent
  };
  for (const Case& c : {Case{0, 0}, Case{9, 0}, Case{10, 1}, Case{34, 1}, Case{35, 2},
                        Case{74, 2}, Case{75, 3}, Case{149, 3}, Case{150, 4}, Case{500, 7},
                        Case{899, 8}, Case{900, 9}, Case{1000, 9}}) {
    EXPECT_EQ(ComputeLiveCell(im, kPageAdvance1, 3000, c.throttle, false).row, c.row)
        << c.throttle;
  }
}

TEST_F(LiveCellTest, ModesEngineStoppedAndTheMapNotInUse) {
  // Engine stopped: no column on the advance pages, column 0 on the servo page.
  EXPECT_EQ(ComputeLiveCell(im, kPageAdvance1, 0, 500, false).column, kLiveNone);
  EXPECT_FALSE(ComputeLiveCell(im, kPageAdvance1, 0, 500, false).cellMarked);
  EXPECT_EQ(ComputeLiveCell(im, kPageServo, 0, 500, false).column, 0);
  EXPECT_TRUE(ComputeLiveCell(im, kPageServo, 0, 500, false).cellMarked);
  // Which advance map is in use.
  EXPECT_FALSE(ComputeLiveCell(im, kPageAdvance1, 5000, 0, true).cellMarked);
  EXPECT_TRUE(ComputeLiveCell(im, kPageAdvance2, 5000, 0, true).cellMarked);
  EXPECT_FALSE(ComputeLiveCell(im, kPageAdvance2, 5000, 0, false).cellMarked);
  EXPECT_TRUE(ComputeLiveCell(im, kPageServo, 5000, 0, true).cellMarked);
  // Rpm only: row 9 whatever the throttle; throttle only: column 0 whatever the rpm.
  im.setByte(kMapsUseThrottle, 0);
  EXPECT_EQ(ComputeLiveCell(im, kPageAdvance1, 5000, 0, false).row, 9);
  im.setByte(kServoMode, 2);
  const LiveCell t = ComputeLiveCell(im, kPageServo, 9000, 200, false);
  EXPECT_EQ(t.column, 0);
  EXPECT_EQ(t.row, 4);
  // Not a map page.
  EXPECT_FALSE(ComputeLiveCell(im, kPageGear, 5000, 0, false).cellMarked);
}

class CellOpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    im = NewConfiguration();
    im.setByte(kMapsUseThrottle, 1);
    im.setByte(kServoMode, 0);
    im.setByte(kServoPercent, 0);
    for (int i = 0; i < 150; ++i) {
      im.setByte(181 + i, 10);
      im.setByte(485 + i, 100);
    }
    for (int c = 0; c < kMapColumns; ++c) im.setWord(7 + c, 1000 + 500 * c);
  }
  int adv(int r, int c) const { return im.byte(181 + 15 * r + c); }
  int servo(int r, int c) const { return im.byte(485 + 15 * r + c); }
  MapMode mode(int page) const { return MapModeOf(im, page); }
  ParameterImage im;
};

TEST_F(CellOpTest, SetAddAndScaleStayWithinTheDisplayRange) {
  const CellRect rect{1, 1, 2, 3};
  EXPECT_TRUE(ApplyCellOp(im, kPageAdvance1, mode(kPageAdvance1), rect, CellOp::Set, 99));
  EXPECT_EQ(adv(1, 1), 60);
  EXPECT_EQ(adv(2, 3), 60);
  EXPECT_EQ(adv(0, 1), 10);  // outside the rectangle
  EXPECT_EQ(adv(3, 3), 10);
  EXPECT_TRUE(ApplyCellOp(im, kPageAdvance1, mode(kPageAdvance1), rect, CellOp::Add, -70));
  EXPECT_EQ(adv(2, 2), 0);
  // Servo in raw units: shown values are mV (x20), rounded to the nearest step.
  EXPECT_TRUE(ApplyCellOp(im, kPageServo, mode(kPageServo), {0, 0, 0, 0}, CellOp::Set, 4990));
  EXPECT_EQ(servo(0, 0), 250);
  EXPECT_TRUE(ApplyCellOp(im, kPageServo, mode(kPageServo), {0, 1, 0, 1}, CellOp::Scale, 110));
  EXPECT_EQ(servo(0, 1), 110);
  // A cell above the maximum (the tools can raise to 255) is not raised any further, and a
  // lowering takes one step at a time.
  im.setByte(485 + 2, 253);
  EXPECT_FALSE(ApplyCellOp(im, kPageServo, mode(kPageServo), {0, 2, 0, 2}, CellOp::Add, 20));
  EXPECT_EQ(servo(0, 2), 253);
  EXPECT_TRUE(ApplyCellOp(im, kPageServo, mode(kPageServo), {0, 2, 0, 2}, CellOp::Add, -20));
  EXPECT_EQ(servo(0, 2), 252);
}

TEST_F(CellOpTest, InterpolationFollowsTheAxesAndLeavesHiddenCellsAlone) {
  // Columns along the rpm axis: points 1000, 1500, ... make it linear in the index here; an
  // uneven axis moves the middle cell towards its rpm.
  im.setByte(181 + 0, 0);
  im.setByte(181 + 4, 40);
  im.setWord(7 + 1, 1100);  // close to column 0
  EXPECT_TRUE(ApplyCellOp(im, kPageAdvance1, mode(kPageAdvance1), {0, 0, 0, 4},
                          CellOp::InterpolateColumns, 0));
  EXPECT_EQ(adv(0, 1), 2);   // (1100 - 1000) / (3000 - 1000) * 40
  EXPECT_EQ(adv(0, 2), 20);  // 2000
  EXPECT_EQ(adv(0, 3), 30);
  // Rows along the throttle breakpoints 0, 2, 5, 10, 20 %.
  im.setByte(181 + 15 * 0 + 5, 0);
  im.setByte(181 + 15 * 4 + 5, 40);
  EXPECT_TRUE(ApplyCellOp(im, kPageAdvance1, mode(kPageAdvance1), {0, 5, 4, 5},
                          CellOp::InterpolateRows, 0));
  EXPECT_EQ(adv(1, 5), 4);
  EXPECT_EQ(adv(2, 5), 10);
  EXPECT_EQ(adv(3, 5), 20);
  // Rpm only: only row 9 is there; a rectangle over the hidden rows changes nothing else.
  im.setByte(kMapsUseThrottle, 0);
  EXPECT_TRUE(ApplyCellOp(im, kPageAdvance1, mode(kPageAdvance1), {0, 0, 9, 14}, CellOp::Set, 33));
  EXPECT_EQ(adv(9, 7), 33);
  EXPECT_EQ(adv(5, 7), 10);
}

TEST_F(CellOpTest, SpreadsheetTextRoundTripsAndPastesClipped) {
  im.setByte(181 + 15 * 2 + 3, 25);
  const std::string text = CellsToText(im, kPageAdvance1, mode(kPageAdvance1), {2, 3, 3, 4});
  EXPECT_EQ(text, "25\t10\n10\t10\n");
  // Pasted elsewhere: CR LF line ends, decimal comma, a field that is not a number left alone.
  const PastedCells cells = ParsePastedCells("12\t13,6\r\nx\t70\r\n\r\n");
  ASSERT_EQ(cells.size(), 2u);
  int pasted = 0;
  EXPECT_TRUE(PasteCells(im, kPageAdvance1, mode(kPageAdvance1), {5, 13, 5, 13}, cells, &pasted));
  EXPECT_EQ(pasted, 3);  // "x" skipped, column 15 is outside the map
  EXPECT_EQ(adv(5, 13), 12);
  EXPECT_EQ(adv(5, 14), 14);
  EXPECT_EQ(adv(6, 13), 10);
  EXPECT_EQ(adv(6, 14), 60);  // 70 clamped to the maximum
  // One number fills the whole selection.
  EXPECT_TRUE(PasteCells(im, kPageAdvance1, mode(kPageAdvance1), {0, 0, 1, 1},
                         ParsePastedCells("7\n"), &pasted));
  EXPECT_EQ(pasted, 4);
  EXPECT_EQ(adv(1, 1), 7);
  // Text without numbers pastes nothing.
  EXPECT_FALSE(PasteCells(im, kPageAdvance1, mode(kPageAdvance1), {0, 0, 0, 0},
                          ParsePastedCells("hello world"), &pasted));
  EXPECT_EQ(pasted, 0);
  // Huge numbers clamp like any other beyond the range, whichever sign and however large;
  // so do the other tools given one.
  EXPECT_TRUE(PasteCells(im, kPageAdvance1, mode(kPageAdvance1), {0, 0, 0, 3},
                         ParsePastedCells("1e30\t1e9\t-1e30\t1e300"), &pasted));
  EXPECT_EQ(adv(0, 0), 60);
  EXPECT_EQ(adv(0, 1), 60);
  EXPECT_EQ(adv(0, 2), 0);
  EXPECT_EQ(adv(0, 3), 60);
  EXPECT_TRUE(ApplyCellOp(im, kPageAdvance1, mode(kPageAdvance1), {1, 0, 1, 0}, CellOp::Set, 1e30));
  EXPECT_EQ(adv(1, 0), 60);
  EXPECT_TRUE(ApplyCellOp(im, kPageAdvance1, mode(kPageAdvance1), {1, 0, 1, 0}, CellOp::Add, -1e30));
  EXPECT_EQ(adv(1, 0), 0);
  // Blank-separated numbers, as from a text file.
  const PastedCells blanks = ParsePastedCells("1  2 3");
  ASSERT_EQ(blanks.size(), 1u);
  EXPECT_EQ(blanks[0].size(), 3u);
}

TEST(TuningTools, StepsStopAtTheByteLimitsAndTargetsFollowTheState) {
  ParameterImage im;
  const MapDef& servo = Maps()[2];
  im.setByte(servo.cells.at(0, 0), 255);
  EXPECT_FALSE(ShiftCell(im, servo, 0, 0, +1));
  EXPECT_TRUE(ShiftCell(im, servo, 0, 0, -1));
  EXPECT_EQ(im[servo.cells.at(0, 0)], 254);
  EXPECT_FALSE(ShiftCell(im, servo, 0, 1, -1));  // 0 stays 0
  EXPECT_FALSE(ShiftCell(im, servo, 0, kLiveNone, +1));
  EXPECT_TRUE(ShiftColumn(im, servo, 1, +1));
  for (int r = 0; r < 10; ++r) EXPECT_EQ(im[servo.cells.at(r, 1)], 1);
  EXPECT_TRUE(ShiftAllCells(im, servo, +1));
  EXPECT_EQ(im[servo.cells.at(9, 14)], 1);

  ToolInputs in;
  in.page = kPageAdvance1;
  in.connected = true;
  in.rpm = 3000;
  in.live = {3, 4, true};
  EXPECT_EQ(PlusMinusTarget(in), ToolTarget::LiveCell);
  in.all = true;
  in.connected = false;
  EXPECT_EQ(PlusMinusTarget(in), ToolTarget::AllCells);  // "All" needs no unit
  in.all = false;
  EXPECT_EQ(PlusMinusTarget(in), ToolTarget::Nothing);   // no unit, no live cell
  in.connected = true;
  in.rpm = 0;
  EXPECT_EQ(PlusMinusTarget(in), ToolTarget::Nothing);   // engine stopped
  in.rpm = 3000;
  in.live.cellMarked = false;
  EXPECT_EQ(PlusMinusTarget(in), ToolTarget::LiveCell);  // the map not in use: unmarked, still the cell
  in.live.cellMarked = true;
  in.page = kPageGear;
  in.all = true;
  EXPECT_EQ(PlusMinusTarget(in), ToolTarget::Nothing);   // not a map page
}

TEST(PowerOutModel, ModePresetsAndPatternsReachTheBytes) {
  ParameterImage im = NewConfiguration();
  im.setByte(kPowerMode[2], 4);  // output 3 on the free setting
  im.setByte(kPowerRpm.at(2, 0), 10);
  im.setByte(kPowerThrottle.at(2, 0), 5);
  im.setByte(kPowerGrid.at(2, 0), 0x0F);
  im.setByte(kPowerMode[3], 0);
  ApplyPowerOutMode(im, 0, 2);  // output 1: pilot light
  EXPECT_EQ(im[kPowerMode[0]], 2);
  EXPECT_EQ(im[kPowerRpm.at(0, 0)], 90);
  // The pilot-light pattern, rows 0..2, bit j = column j.
  EXPECT_EQ(im[kPowerGrid.at(0, 0)], 0b1100);
  EXPECT_EQ(im[kPowerGrid.at(0, 1)], 0b1110);
  EXPECT_EQ(im[kPowerGrid.at(0, 2)], 0b1110);
  // Output 3 in the free setting gets its presets again, its boxes stay.
  EXPECT_EQ(im[kPowerRpm.at(2, 0)], 40);
  EXPECT_EQ(im[kPowerRpm.at(2, 1)], 125);
  EXPECT_EQ(im[kPowerRpm.at(2, 2)], 140);
  EXPECT_EQ(im[kPowerThrottle.at(2, 0)], 75);
  EXPECT_EQ(im[kPowerThrottle.at(2, 1)], 90);
  EXPECT_EQ(im[kPowerGrid.at(2, 0)], 0x0F);
  ApplyPowerOutMode(im, 3, 3);  // output 4: power jet
  EXPECT_EQ(im[kPowerGrid.at(3, 0)], 0b1110);
  EXPECT_EQ(im[kPowerGrid.at(3, 1)], 0b1100);
  EXPECT_EQ(im[kPowerGrid.at(3, 2)], 0b1100);

  // Layout: mode 2 shows two rpm edits and four disabled boxes; 0 and 1 no group.
  const PowerOutLayout pilot = PowerOutLayoutOf(2);
  int boxes = 0;
  for (const auto& row : pilot.box)
    for (bool b : row) boxes += b;
  EXPECT_EQ(boxes, 4);
  EXPECT_TRUE(pilot.box[0][0] && pilot.box[0][1] && pilot.box[0][2] && pilot.box[1][1]);
  EXPECT_TRUE(pilot.group && pilot.rpm[0] && pilot.rpm[1] && !pilot.rpm[2]);
  EXPECT_FALSE(pilot.boxesEnabled || pilot.tpsLabel);
  EXPECT_FALSE(PowerOutLayoutOf(0).group || PowerOutLayoutOf(1).group);
  EXPECT_TRUE(PowerOutLayoutOf(4).boxesEnabled);
  EXPECT_FALSE(PowerOutLayoutOf(7).boxesEnabled);  // a byte beyond the list edits nothing
}

}  // namespace
}  // namespace rq
