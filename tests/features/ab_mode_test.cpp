// SPDX-License-Identifier: GPL-3.0-or-later
// The A/B mode on the advance map pages: the difference per cell shaded by the verdict in a
// colour of each map (never the live cell's lime, nor the red and green of errors), both maps
// in the hint, the log's filters, and the two commands, each one undo step that restores every
// byte, asked for before they overwrite, within the tuner's limits, and nothing while a read
// replaces the configuration.
#include <QAction>
#include <QCheckBox>
#include <QMessageBox>

#include <gtest/gtest.h>

#include "abmode/ab_mode.h"
#include "fake_window.h"
#include "logs/log_room.h"
#include "logs/log_session.h"
#include "logs/map_log_overlay.h"
#include "pages/map_pages.h"
#include "tests/analysis/ab_logs.h"

namespace rq::test {
namespace {

using analysis::abtest::kColumn;
using analysis::abtest::kRow;
// A second cell on the same row: 8000 rpm.
constexpr int kColumn2 = 7;

// Map 2 pulls 5 % harder at 5000 rpm, map 1 5 % harder at 8000 rpm, in 3rd gear, and a few
// rows of map 1 only at 11000 rpm.
std::string AbRideCsv() {
  analysis::abtest::Pulls p;
  for (int i = 0; i < 6; ++i) p.add(3, 0, 1000).add(3, 1, 1050);
  const std::size_t first = p.rows().size();
  for (int i = 0; i < 6; ++i) p.add(3, 0, 1050).add(3, 1, 1000);
  std::vector<analysis::abtest::LogRow> rows = p.rows();
  for (std::size_t i = first; i < rows.size(); ++i) rows[i].rpm = 8000;
  for (int k = 0; k < 3; ++k) rows.push_back({p.now() + 0.3 * k, 11000, 60, 0, 3, 900, ""});
  return analysis::abtest::AbCsv(rows);
}

struct AbWindow {
  FakeWindow w;
  logs::LogRoom* room = nullptr;
  abmode::AbMode* ab = nullptr;
  AbWindow() {
    // rpm points 1000 ... 15000 on both maps; map 1 at 20 and 30, map 2 at 24 and 26 degrees.
    ParameterImage im = analysis::abtest::AxisConfig();
    im.setByte(kAdvance1Cells.at(kRow, kColumn), 20);
    im.setByte(kAdvance2Cells.at(kRow, kColumn), 24);
    im.setByte(kAdvance1Cells.at(kRow, kColumn2), 30);
    im.setByte(kAdvance2Cells.at(kRow, kColumn2), 26);
    w.workspace().start([&im](ParameterImage& image) { image = im; }, kPageAdvance1);
    room = new logs::LogRoom(w.workspace(), w, w.pages().maps());
    ab = new abmode::AbMode(w.workspace(), w, w.pages().maps(), room->session(),
                            room->overlay());
    const logs::LoadResult log = logs::ParseCsvText(AbRideCsv());
    EXPECT_TRUE(log.ok()) << log.error.message;
    room->session().adopt(std::move(*log.table), "ab.csv");
    w.show();
    w.showPage(kPageAdvance1);
  }
  QCheckBox* toggle() { return w.findChild<QCheckBox*>("CheckBoxAbMode"); }
  MapGrid& grid() { return w.pages().maps().grid(); }
  int cell(int page, int row, int column) {
    return w.image().byte(CellByte(*MapOfPage(page), row, column));
  }
  // Steps that undo can take back.
  int undoSteps() {
    const UndoHistory& h = w.workspace().undoHistory();
    return (h.current() - h.oldest() + UndoHistory::kSlots) % UndoHistory::kSlots;
  }
};

bool SameBytes(const ParameterImage& a, const ParameterImage& b) {
  for (int i = 0; i < kImageSize; ++i)
    if (a.byte(i) != b.byte(i)) return false;
  return true;
}

TEST(AbMode, EachCellShowsItsDifferenceShadedByTheVerdictWithBothMapsInTheHint) {
  AbWindow f;
  ASSERT_NE(f.toggle(), nullptr);
  EXPECT_TRUE(f.toggle()->isVisibleTo(&f.w));
  f.toggle()->click();
  ASSERT_TRUE(f.ab->enabled());
  ASSERT_TRUE(f.ab->result().has_value());
  const analysis::AbCell& won2 = f.ab->result()->at(kRow, kColumn);
  const analysis::AbCell& won1 = f.ab->result()->at(kRow, kColumn2);
  EXPECT_EQ(won2.better, 2);
  EXPECT_EQ(won1.better, 1);
  ASSERT_TRUE(won2.gainPct.has_value());
  EXPECT_EQ(f.ab->badgeText(kRow, kColumn), "+" + QString::number(*won2.gainPct, 'f', 1));
  EXPECT_TRUE(f.ab->badgeText(kRow, kColumn2).startsWith(QString::fromUtf8("\u2212")));
  // Map 1 rows only: no comparison, a dash; no rows: no badge.
  EXPECT_EQ(f.ab->badgeText(kRow, 10), QString::fromUtf8("\u2013"));
  EXPECT_EQ(f.ab->badgeText(0, 0), "");

  // The shades behind the values: one colour per map, none of them lime, red or green, and
  // the value still in the cell.
  const QColor map2 = f.grid().cell(kRow, kColumn)->palette().color(QPalette::Base);
  const QColor map1 = f.grid().cell(kRow, kColumn2)->palette().color(QPalette::Base);
  const QColor none = f.grid().cell(kRow, 10)->palette().color(QPalette::Base);
  EXPECT_NE(map1, map2);
  EXPECT_NE(none, map1);
  EXPECT_NE(none, map2);
  for (const QColor& c : {map1, map2, none}) {
    const int hue = c.hsvHue();
    EXPECT_TRUE(c.hsvSaturation() < 40 || !((hue >= 75 && hue <= 165) || hue <= 15 || hue >= 345))
        << c.name().toStdString();
  }
  EXPECT_EQ(f.grid().cell(kRow, kColumn)->value(), 20);
  EXPECT_TRUE(f.grid().cell(kRow, kColumn)->isEnabled());

  // The hint: both maps' rows and advance, the gain with its interval, the verdict.
  const QString hint = f.ab->hintText(kRow, kColumn);
  EXPECT_TRUE(hint.contains("5000 rpm, 60 % throttle")) << hint.toStdString();
  EXPECT_TRUE(hint.contains(QString("Map 1: %1 rows in %2 passes compared (%3 counted); advance 20")
                                .arg(won2.compared1).arg(won2.passes1).arg(won2.rows1)))
      << hint.toStdString();
  EXPECT_TRUE(hint.contains(QString("Map 2: %1 rows in %2 passes compared (%3 counted); advance 24")
                                .arg(won2.compared2).arg(won2.passes2).arg(won2.rows2)))
      << hint.toStdString();
  EXPECT_TRUE(hint.contains("95 %")) << hint.toStdString();
  EXPECT_TRUE(hint.contains("Map 2 pulled harder: the proposal is 24")) << hint.toStdString();

  // The log's filters hold: without 3rd gear nothing is left to compare.
  logs::MapLogOverlay& log = f.room->overlay();
  logs::CellFilter filter = log.filter();
  filter.gears = std::uint8_t(filter.gears & ~(1u << 3));
  log.setFilter(filter);
  EXPECT_EQ(f.ab->result()->at(kRow, kColumn).better, 0);
  EXPECT_FALSE(f.ab->result()->at(kRow, kColumn).visited());
  filter.gears = logs::kAllGears;
  log.setFilter(filter);
  EXPECT_EQ(f.ab->result()->at(kRow, kColumn).better, 2);

  // Log and A/B take turns on the cells.
  f.w.findChild<QCheckBox*>("CheckBoxLogOverlay")->click();
  EXPECT_TRUE(log.enabled());
  EXPECT_FALSE(f.ab->enabled());
  EXPECT_FALSE(f.toggle()->isChecked());
  EXPECT_NE(f.grid().cell(kRow, kColumn)->palette().color(QPalette::Base), map2);
  f.toggle()->click();
  EXPECT_TRUE(f.ab->enabled());
  EXPECT_FALSE(log.enabled());
  EXPECT_EQ(f.grid().cell(kRow, kColumn)->palette().color(QPalette::Base), map2);

  // Only on the advance pages.
  f.w.showPage(kPageServo);
  EXPECT_FALSE(f.toggle()->isVisibleTo(&f.w));
  EXPECT_FALSE(f.ab->takeAction()->isEnabled());
  f.w.showPage(kPageAdvance1);
  EXPECT_TRUE(f.toggle()->isVisibleTo(&f.w));
  EXPECT_TRUE(f.ab->takeAction()->isEnabled());
}

TEST(AbMode, TakeTheProposalAsksThenMakesOneUndoStepThatRestoresEveryByte) {
  AbWindow f;
  f.toggle()->click();
  const ParameterImage before = f.w.image();
  const int steps = f.undoSteps();
  QAction* take = f.ab->takeAction();

  // No: nothing changes.
  f.w.answers = {QMessageBox::No};
  take->trigger();
  ASSERT_EQ(f.w.questions.size(), 1u);
  EXPECT_TRUE(f.w.questions.back().contains("1 cells change")) << f.w.questions.back().toStdString();
  EXPECT_TRUE(SameBytes(f.w.image(), before));
  EXPECT_EQ(f.undoSteps(), steps);

  // Yes: the winner's advance where map 2 won; where map 1 won map 1 keeps its own.
  f.w.answers = {QMessageBox::Yes};
  take->trigger();
  EXPECT_EQ(f.cell(kPageAdvance1, kRow, kColumn), 24);
  EXPECT_EQ(f.cell(kPageAdvance1, kRow, kColumn2), 30);
  EXPECT_EQ(f.undoSteps(), steps + 1);
  EXPECT_TRUE(f.w.notes.back().contains("1 cells changed, 0 held")) << f.w.notes.back().toStdString();
  EXPECT_EQ(f.grid().cell(kRow, kColumn)->value(), 24);  // shown at once
  f.w.workspace().undo();
  EXPECT_TRUE(SameBytes(f.w.image(), before));

  // With a selection, only its cells; cells without a verdict in it keep their value.
  f.grid().select({kRow, kColumn - 1, kRow, kColumn});
  f.w.answers = {QMessageBox::Yes};
  EXPECT_TRUE(f.ab->takeProposal());
  EXPECT_EQ(f.cell(kPageAdvance1, kRow, kColumn), 24);
  EXPECT_EQ(f.cell(kPageAdvance1, kRow, kColumn - 1), before.byte(CellByte(*MapOfPage(kPageAdvance1), kRow, kColumn - 1)));
  f.w.workspace().undo();
  f.grid().select({kRow, kColumn2, kRow, kColumn2 + 1});  // only map 1's cell: nothing to change
  const std::size_t notes = f.w.notes.size();
  EXPECT_FALSE(f.ab->takeProposal());
  EXPECT_GT(f.w.notes.size(), notes);
  EXPECT_TRUE(SameBytes(f.w.image(), before));
  f.grid().select({kRow, kColumn, kRow, kColumn});

  // Within the tuner's limits: Advance 1 at most 22 degrees holds the proposal there.
  Limits limits;
  limits.of(kPageAdvance1)->max = 22;
  f.w.workspace().setLimits(limits);
  f.w.answers = {QMessageBox::Yes};
  EXPECT_TRUE(f.ab->takeProposal());
  EXPECT_EQ(f.cell(kPageAdvance1, kRow, kColumn), 22);
  EXPECT_TRUE(f.w.notes.back().contains("1 cells changed, 1 held")) << f.w.notes.back().toStdString();
  f.w.workspace().undo();
  EXPECT_TRUE(SameBytes(f.w.image(), before));

  // Nothing while a read replaces the configuration.
  f.w.workspace().startRead();
  ASSERT_TRUE(f.w.workspace().readLocked());
  const std::size_t questions = f.w.questions.size();
  EXPECT_FALSE(f.ab->takeProposal());
  EXPECT_FALSE(f.ab->prepareNextRide());
  EXPECT_EQ(f.w.questions.size(), questions);
}

TEST(AbMode, PrepareTheNextRideWritesBothMapsInOneUndoStepWithinTheLimits) {
  AbWindow f;
  f.toggle()->click();
  const ParameterImage before = f.w.image();
  const int steps = f.undoSteps();
  f.w.answers = {QMessageBox::Yes};
  f.ab->prepareAction()->trigger();
  ASSERT_EQ(f.w.questions.size(), 1u);
  // Map 2 won with more advance: map 1 takes 24, map 2 goes on to 26. Map 1 won against less:
  // map 1 keeps 30, map 2 goes to its other side, 32.
  EXPECT_EQ(f.cell(kPageAdvance1, kRow, kColumn), 24);
  EXPECT_EQ(f.cell(kPageAdvance2, kRow, kColumn), 26);
  EXPECT_EQ(f.cell(kPageAdvance1, kRow, kColumn2), 30);
  EXPECT_EQ(f.cell(kPageAdvance2, kRow, kColumn2), 32);
  EXPECT_TRUE(f.w.questions.back().contains("3 cells change")) << f.w.questions.back().toStdString();
  EXPECT_EQ(f.undoSteps(), steps + 1);
  f.w.workspace().undo();
  EXPECT_TRUE(SameBytes(f.w.image(), before));

  // Within the limits: Advance 2 at most 31 (the analysis' hook), or no change of more than
  // 5 degrees against the unit's cell (the limit check, with the unit read): map 2's 26 -> 32
  // is held at 31, 24 -> 26 is not; cells the pair leaves alone stay as they are.
  f.w.workspace().unitRead(before);
  for (const bool byChange : {false, true}) {
    SCOPED_TRACE(byChange ? "change limit" : "max limit");
    Limits limits;
    if (byChange) limits.of(kPageAdvance2)->change = 5;
    else limits.of(kPageAdvance2)->max = 31;
    f.w.workspace().setLimits(limits);
    f.w.answers = {QMessageBox::Yes};
    EXPECT_TRUE(f.ab->prepareNextRide());
    EXPECT_EQ(f.cell(kPageAdvance2, kRow, kColumn2), 31);
    EXPECT_EQ(f.cell(kPageAdvance2, kRow, kColumn), 26);
    EXPECT_TRUE(f.w.notes.back().contains("3 cells changed, 1 held")) << f.w.notes.back().toStdString();
    f.w.workspace().undo();
    EXPECT_TRUE(SameBytes(f.w.image(), before));
  }
  f.w.workspace().setLimits(Limits{});

  // The pair is worked out at one set of rpm points: with different points nothing is written.
  f.w.workspace().change([](ParameterImage& im) { im.setWord(kAdvance2Axis[14], 14900); },
                         kPageAdvance1);
  const ParameterImage moved = f.w.image();
  f.w.answers = {QMessageBox::Yes};
  EXPECT_FALSE(f.ab->prepareNextRide());
  ASSERT_FALSE(f.w.messages.empty());
  EXPECT_TRUE(f.w.messages.back().contains("rpm points")) << f.w.messages.back().toStdString();
  EXPECT_TRUE(SameBytes(f.w.image(), moved));
}

TEST(AbMode, ALogThatCannotBeComparedLeavesTheModeOffAndSaysWhy) {
  AbWindow f;
  const logs::LoadResult plain = logs::ParseCsvText("time,rpm,throttle_pct\n0,3000,50\n0.3,3000,50\n");
  ASSERT_TRUE(plain.ok());
  f.room->session().adopt(*plain.table, "plain.csv");
  f.toggle()->click();
  EXPECT_FALSE(f.ab->enabled());
  EXPECT_FALSE(f.toggle()->isChecked());
  ASSERT_FALSE(f.w.notes.empty());
  EXPECT_TRUE(f.w.notes.back().contains("gear")) << f.w.notes.back().toStdString();
  // On with a comparable log, off again when a log without the columns opens.
  const logs::LoadResult ride = logs::ParseCsvText(AbRideCsv());
  f.room->session().adopt(*ride.table, "ab.csv");
  f.toggle()->click();
  EXPECT_TRUE(f.ab->enabled());
  f.room->session().adopt(*plain.table, "plain.csv");
  EXPECT_FALSE(f.ab->enabled());
  EXPECT_EQ(f.grid().shades(), CellShades{});
}

}  // namespace
}  // namespace rq::test
