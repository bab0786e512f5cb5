// SPDX-License-Identifier: GPL-3.0-or-later
// The A/B mode on the advance map pages: the estimate per cell shaded by the verdict in a
// colour of each map (never the live cell's lime, nor the red and green of errors), both maps
// in the hint, the log's filters, and the two commands, each one undo step that restores every
// byte, asked for before they overwrite, within the tuner's limits, never on a result that no
// longer fits, never twice on the same evidence, and nothing while a read replaces the
// configuration; the rides window, the evidence plot, the settings and the live count.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <qcustomplot.h>

#include <fstream>

#include <gtest/gtest.h>

#include "abmode/ab_mode.h"
#include "abmode/ab_panel.h"
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
// rows of map 1 only at 11000 rpm; every row logs the advance it fired: the maps of AbWindow
// (20 and 24 degrees at 5000 rpm, 30 and 26 at 8000).
std::string AbRideCsv() {
  analysis::abtest::Pulls p;
  p.advances(20, 24);
  for (int i = 0; i < 6; ++i) p.add(3, 0, 1000).add(3, 1, 1050);
  const std::size_t first = p.rows().size();
  p.advances(30, 26);
  for (int i = 0; i < 6; ++i) p.add(3, 0, 1050).add(3, 1, 1000);
  std::vector<analysis::abtest::LogRow> rows = p.rows();
  for (std::size_t i = first; i < rows.size(); ++i) rows[i].rpm = 8000;
  const int at11000 = analysis::abtest::AxisConfig()[kAdvance1Cells.at(kRow, 10)];
  for (int k = 0; k < 3; ++k) rows.push_back({p.now() + 0.3 * k, 11000, 60, 0, 3, 900, "", at11000});
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
  // Waits for the analysis off the window's thread.
  bool settled() {
    for (int i = 0; i < 2000 && ab->analysing(); ++i) QTest::qWait(5);
    return !ab->analysing();
  }
  void on() {
    toggle()->click();
    EXPECT_TRUE(settled());
  }
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

TEST(AbMode, EachCellShowsItsEstimateShadedByTheVerdictWithBothMapsInTheHint) {
  AbWindow f;
  ASSERT_NE(f.toggle(), nullptr);
  EXPECT_TRUE(f.toggle()->isVisibleTo(&f.w));
  f.on();
  ASSERT_TRUE(f.ab->enabled());
  ASSERT_NE(f.ab->result(), nullptr);
  const analysis::AbCell& won2 = f.ab->result()->at(kRow, kColumn);
  const analysis::AbCell& won1 = f.ab->result()->at(kRow, kColumn2);
  EXPECT_EQ(won2.better, 2);
  EXPECT_EQ(won1.better, 1);
  ASSERT_TRUE(won2.gainPct.has_value());
  // The badge: the estimate with its interval ("27 ±1.2"), or "=20" where the rides show no
  // preference; map 1 rows only: no comparison, a dash; no rows: no badge.
  const QRegularExpression estimate(QString::fromUtf8("^(\\d+ ±\\d+\\.\\d|=\\d+)$"));
  EXPECT_TRUE(estimate.match(f.ab->badgeText(kRow, kColumn)).hasMatch()) << f.ab->badgeText(kRow, kColumn).toStdString();
  EXPECT_TRUE(estimate.match(f.ab->badgeText(kRow, kColumn2)).hasMatch());
  EXPECT_EQ(f.ab->badgeText(kRow, 10), QString::fromUtf8("–"));
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
  EXPECT_TRUE(hint.contains("Map 2 pulled harder")) << hint.toStdString();
  EXPECT_TRUE(hint.contains("Best advance from 1 rides")) << hint.toStdString();

  // The log's filters hold: without 3rd gear nothing is left to compare.
  logs::MapLogOverlay& log = f.room->overlay();
  logs::CellFilter filter = log.filter();
  filter.gears = std::uint8_t(filter.gears & ~(1u << 3));
  log.setFilter(filter);
  ASSERT_TRUE(f.settled());
  EXPECT_EQ(f.ab->result()->at(kRow, kColumn).better, 0);
  EXPECT_FALSE(f.ab->result()->at(kRow, kColumn).visited());
  filter.gears = logs::kAllGears;
  log.setFilter(filter);
  ASSERT_TRUE(f.settled());
  EXPECT_EQ(f.ab->result()->at(kRow, kColumn).better, 2);

  // Log and A/B take turns on the cells.
  f.w.findChild<QCheckBox*>("CheckBoxLogOverlay")->click();
  EXPECT_TRUE(log.enabled());
  EXPECT_FALSE(f.ab->enabled());
  EXPECT_FALSE(f.toggle()->isChecked());
  EXPECT_NE(f.grid().cell(kRow, kColumn)->palette().color(QPalette::Base), map2);
  f.on();
  EXPECT_TRUE(f.ab->enabled());
  EXPECT_FALSE(log.enabled());
  EXPECT_EQ(f.grid().cell(kRow, kColumn)->palette().color(QPalette::Base), map2);

  // A selection over a shaded cell keeps its shade visible: a light blend and a frame, on this
  // page only.
  f.grid().select({kRow, kColumn, kRow, kColumn + 1});
  const QColor selected = f.grid().cell(kRow, kColumn)->palette().color(QPalette::Base);
  EXPECT_LT(std::abs(selected.hue() - map2.hue()), 25) << selected.name().toStdString();
  EXPECT_TRUE(f.grid().selectionFrame()->isVisible());
  f.w.showPage(kPageAdvance2);
  EXPECT_FALSE(f.grid().multiSelection());
  f.grid().select({0, 0, 1, 1});
  f.w.showPage(kPageAdvance1);
  EXPECT_EQ(f.grid().selection().column1, kColumn + 1);
  f.w.showPage(kPageAdvance2);
  EXPECT_EQ(f.grid().selection().row1, 1);
  f.w.showPage(kPageAdvance1);

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
  f.on();
  const ParameterImage before = f.w.image();
  const int steps = f.undoSteps();
  QAction* take = f.ab->takeAction();

  // No: nothing changes.
  f.w.answers = {QMessageBox::No};
  take->trigger();
  ASSERT_EQ(f.w.questions.size(), 1u);
  EXPECT_TRUE(f.w.questions.back().contains("2 cells change")) << f.w.questions.back().toStdString();
  EXPECT_TRUE(SameBytes(f.w.image(), before));
  EXPECT_EQ(f.undoSteps(), steps);

  // Yes: toward the side that pulled harder (more advance pulled harder in both cells), each
  // at most 4 degrees from the middle of the pair ridden, and the note says so.
  f.w.answers = {QMessageBox::Yes};
  take->trigger();
  EXPECT_EQ(f.cell(kPageAdvance1, kRow, kColumn), 26);
  EXPECT_EQ(f.cell(kPageAdvance1, kRow, kColumn2), 32);
  EXPECT_EQ(f.undoSteps(), steps + 1);
  EXPECT_TRUE(f.w.notes.back().contains("2 cells changed, 2 held")) << f.w.notes.back().toStdString();
  EXPECT_TRUE(f.w.notes.back().contains("2 at most 4° from the pair of the newest ride (max move)"))
      << f.w.notes.back().toStdString();
  EXPECT_EQ(f.grid().cell(kRow, kColumn)->value(), 26);  // shown at once
  // The edit starts the analysis again: until it is done nothing is taken from the old result.
  EXPECT_FALSE(f.ab->takeProposal());
  EXPECT_TRUE(f.w.notes.back().contains("not up to date")) << f.w.notes.back().toStdString();
  // The same evidence is not taken twice: the cells stay where the first Take put them.
  ASSERT_TRUE(f.settled());
  const ParameterImage taken = f.w.image();
  f.w.answers = {QMessageBox::Yes};
  EXPECT_FALSE(f.ab->takeProposal());
  EXPECT_TRUE(SameBytes(f.w.image(), taken));
  f.w.workspace().undo();
  EXPECT_TRUE(SameBytes(f.w.image(), before));
  ASSERT_TRUE(f.settled());

  // A selection left over asks: only the selection (Yes), every cell with a result (No), or
  // nothing (Cancel). A selection without a cell with a result changes nothing with Yes.
  f.grid().select({kRow, kColumn2 + 1, kRow, kColumn2 + 2});
  const std::size_t asked = f.w.questions.size();
  f.w.answers = {QMessageBox::Cancel};
  EXPECT_FALSE(f.ab->takeProposal());
  ASSERT_EQ(f.w.questions.size(), asked + 1);
  EXPECT_TRUE(f.w.questions.back().contains("2 cells are selected")) << f.w.questions.back().toStdString();
  f.w.answers = {QMessageBox::Yes};
  EXPECT_FALSE(f.ab->takeProposal());
  EXPECT_TRUE(SameBytes(f.w.image(), before));
  f.w.answers = {QMessageBox::No};
  EXPECT_TRUE(f.ab->takeProposal());
  EXPECT_EQ(f.w.questions.size(), asked + 3);  // no second question
  EXPECT_EQ(f.cell(kPageAdvance1, kRow, kColumn), 26);
  EXPECT_EQ(f.cell(kPageAdvance1, kRow, kColumn2), 32);
  f.w.workspace().undo();
  ASSERT_TRUE(f.settled());

  // Within the tuner's limits, the selection only: Advance 1 at most 22 degrees holds the
  // proposal there.
  Limits limits;
  limits.of(kPageAdvance1)->max = 22;
  f.w.workspace().setLimits(limits);
  ASSERT_TRUE(f.settled());
  f.grid().select({kRow, kColumn - 1, kRow, kColumn});
  f.w.answers = {QMessageBox::Yes};
  EXPECT_TRUE(f.ab->takeProposal());
  EXPECT_EQ(f.cell(kPageAdvance1, kRow, kColumn2), 30);
  EXPECT_EQ(f.cell(kPageAdvance1, kRow, kColumn), 22);
  EXPECT_TRUE(f.w.notes.back().contains("1 cells changed, 1 held")) << f.w.notes.back().toStdString();
  EXPECT_TRUE(f.w.notes.back().contains("1 by the limits")) << f.w.notes.back().toStdString();
  EXPECT_TRUE(f.ab->heldText().contains("5000 rpm, 60 %: 22")) << f.ab->heldText().toStdString();
  f.w.workspace().undo();
  EXPECT_TRUE(SameBytes(f.w.image(), before));

  // Nothing while a read replaces the configuration.
  ASSERT_TRUE(f.settled());
  f.w.workspace().startRead();
  ASSERT_TRUE(f.w.workspace().readLocked());
  const std::size_t questions = f.w.questions.size();
  EXPECT_FALSE(f.ab->takeProposal());
  EXPECT_FALSE(f.ab->prepareNextRide());
  EXPECT_EQ(f.w.questions.size(), questions);
}

TEST(AbMode, PrepareTheNextRideWritesBothMapsInOneUndoStepWithinTheLimits) {
  AbWindow f;
  f.on();
  const ParameterImage before = f.w.image();
  const int steps = f.undoSteps();
  f.w.answers = {QMessageBox::Yes};
  f.ab->prepareAction()->trigger();
  ASSERT_EQ(f.w.questions.size(), 1u);
  // The pair 3 degrees either side of the proposal (26 and 32), the advanced map at most
  // 4 degrees above the highest advance ridden (24 and 30): knock, said so.
  EXPECT_EQ(f.cell(kPageAdvance1, kRow, kColumn), 23);
  EXPECT_EQ(f.cell(kPageAdvance2, kRow, kColumn), 28);
  EXPECT_EQ(f.cell(kPageAdvance1, kRow, kColumn2), 29);
  EXPECT_EQ(f.cell(kPageAdvance2, kRow, kColumn2), 34);
  EXPECT_TRUE(f.w.questions.back().contains("4 cells change")) << f.w.questions.back().toStdString();
  EXPECT_TRUE(f.w.notes.back().contains("above the highest advance ridden (knock)")) << f.w.notes.back().toStdString();
  EXPECT_EQ(f.undoSteps(), steps + 1);
  f.w.workspace().undo();
  EXPECT_TRUE(SameBytes(f.w.image(), before));
  ASSERT_TRUE(f.settled());

  // Within the limits: Advance 2 at most 31 (the analysis' hook), or no change of more than
  // 5 degrees against the unit's cell (the limit check, with the unit read): map 2's 26 -> 34
  // is held at 31, 24 -> 28 is not; cells the pair leaves alone stay as they are.
  f.w.workspace().unitRead(before);
  for (const bool byChange : {false, true}) {
    SCOPED_TRACE(byChange ? "change limit" : "max limit");
    Limits limits;
    if (byChange) limits.of(kPageAdvance2)->change = 5;
    else limits.of(kPageAdvance2)->max = 31;
    f.w.workspace().setLimits(limits);
    ASSERT_TRUE(f.settled());
    f.w.answers = {QMessageBox::Yes};
    EXPECT_TRUE(f.ab->prepareNextRide());
    EXPECT_EQ(f.cell(kPageAdvance2, kRow, kColumn2), 31);
    EXPECT_EQ(f.cell(kPageAdvance2, kRow, kColumn), 28);
    EXPECT_TRUE(f.w.notes.back().contains("by the limits")) << f.w.notes.back().toStdString();
    f.w.workspace().undo();
    EXPECT_TRUE(SameBytes(f.w.image(), before));
    ASSERT_TRUE(f.settled());
  }
  f.w.workspace().setLimits(Limits{});

  // The pair is worked out at one set of rpm points: with different points nothing is written.
  f.w.workspace().change([](ParameterImage& im) { im.setWord(kAdvance2Axis[14], 14900); },
                         kPageAdvance1);
  const ParameterImage moved = f.w.image();
  ASSERT_TRUE(f.settled());
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
  f.on();
  EXPECT_TRUE(f.ab->enabled());
  f.room->session().adopt(*plain.table, "plain.csv");
  EXPECT_TRUE(f.settled());
  EXPECT_FALSE(f.ab->enabled());
  EXPECT_EQ(f.grid().shades(), CellShades{});
}


TEST(AbMode, RidesOfOtherMapsAreMarkedOldAndEachRideCountsOnce) {
  AbWindow f;
  // The open log logs the advance it fired: map 1 at 20 and map 2 at 24 in the 5000 rpm cell.
  const logs::LoadResult ride = logs::ParseCsvText(AbRideCsv());
  ASSERT_TRUE(ride.ok());
  f.room->session().adopt(*ride.table, "ride.csv");
  f.on();
  ASSERT_NE(f.ab->result(), nullptr);
  EXPECT_FALSE(f.ab->result()->at(kRow, kColumn).stale());
  const QColor verdict = f.grid().cell(kRow, kColumn)->palette().color(QPalette::Base);

  // The same ride twice more, under other names: listed, counted once, said so.
  QTemporaryDir dir;
  for (const char* name : {"/a.csv", "/b.csv"}) std::ofstream((dir.path() + name).toStdString()) << AbRideCsv();
  abmode::AbPanel* panel = f.ab->openRidesWindow();
  f.ab->addRideFiles({dir.path() + "/a.csv", dir.path() + "/b.csv"});
  ASSERT_TRUE(f.settled());
  QTableWidget* table = panel->table();
  ASSERT_EQ(table->rowCount(), 3);
  EXPECT_EQ(f.ab->outcome()->counted.size(), 1u);
  EXPECT_TRUE(table->item(0, 4)->text().contains("open ride log"));
  EXPECT_TRUE(table->item(2, 4)->text().contains("same ride as ride.csv")) << table->item(2, 4)->text().toStdString();
  EXPECT_EQ(table->item(0, 3)->text(), QString::fromUtf8("map 1 0–30°, map 2 24–26°"));
  EXPECT_EQ(f.ab->result()->at(kRow, kColumn).rows1, f.ab->result()->at(kRow, kColumn).compared1);
  f.ab->removeRide(2);
  f.ab->removeRide(1);
  ASSERT_TRUE(f.settled());
  EXPECT_EQ(table->rowCount(), 1);

  // Map 2 moved on: the ride no longer rode the maps of the configuration there.
  f.w.workspace().change([](ParameterImage& im) { im.setByte(kAdvance2Cells.at(kRow, kColumn), 30); }, kPageAdvance1);
  ASSERT_TRUE(f.settled());
  const analysis::AbCell& old = f.ab->result()->at(kRow, kColumn);
  EXPECT_TRUE(old.stale());
  EXPECT_EQ(old.better, 0);
  EXPECT_NE(f.grid().cell(kRow, kColumn)->palette().color(QPalette::Base), verdict);
  EXPECT_TRUE(f.ab->hintText(kRow, kColumn).contains("other maps")) << f.ab->hintText(kRow, kColumn).toStdString();
  EXPECT_TRUE(f.ab->badges().badges()[std::size_t(kRow * kMapColumns + kColumn)].faint);
}

TEST(AbMode, TheEvidenceSettingsAndLiveCountFollowTheRides) {
  AbWindow f;
  f.on();
  abmode::AbPanel* panel = f.ab->openRidesWindow();
  // Map 1's and map 2's rows of the cell against rpm, in the one gear ridden; the throttle row
  // holds the 8000 rpm cell's too.
  f.grid().select({kRow, kColumn, kRow, kColumn});
  panel->showEvidence();
  const int cell = panel->evidencePoints();
  const analysis::AbCell& c = f.ab->result()->at(kRow, kColumn);
  EXPECT_EQ(cell, c.rows1 + c.rows2);
  EXPECT_EQ(panel->plot()->axisRectCount(), 1);
  EXPECT_EQ(panel->plot()->graphCount(), 4);
  panel->evidenceScope()->setCurrentIndex(1);
  EXPECT_GT(panel->evidencePoints(), cell);

  // The settings: within their ranges, kept in the settings file.
  panel->spread()->setValue(5);
  panel->maxMove()->setValue(2);
  EXPECT_EQ(f.ab->proposalOptions().spread, 5);
  EXPECT_EQ(f.ab->proposalOptions().maxMove, 2);
  EXPECT_EQ(f.w.ini.intValue("AB", "Spread", 0), 5);
  EXPECT_EQ(f.w.ini.intValue("AB", "MaxMove", 0), 2);

  // While a ride is recorded: the cells that have enough of both maps so far.
  f.ab->recordingChanged(true);
  EXPECT_TRUE(f.ab->liveLabel()->isVisibleTo(&f.w));
  const logs::LoadResult ride = logs::ParseCsvText(AbRideCsv());
  std::string error;
  const auto log = analysis::ExtractAbLog(*ride.table, error);
  ASSERT_TRUE(log.has_value()) << error;
  for (std::size_t i = 0; i < log->cells.rows(); ++i) {
    MonitorSnapshot s;
    s.rpm = log->cells.rpm[i];
    s.throttle = log->cells.throttle[i];
    s.secondMap = log->cells.secondMap[i];
    s.gear = log->cells.gear[i];
    s.acceleration = std::uint16_t(log->acceleration[i]);
    f.ab->rowRecorded(s, log->cells.time[i]);
  }
  EXPECT_EQ(f.ab->liveCount()->readyCells(), 2);
  EXPECT_TRUE(f.ab->liveLabel()->text().contains("2 of 3 cells ready")) << f.ab->liveLabel()->text().toStdString();
  f.ab->recordingChanged(false);
  EXPECT_FALSE(f.ab->liveLabel()->isVisibleTo(&f.w));
}

TEST(AbRides, TheOpenLogLeadsRemovedStaysOutAndEachRideCountsOnceOldestFirst) {
  abmode::AbRides rides;
  auto table = std::make_shared<const logs::LogTable>();
  auto open = [](std::shared_ptr<const logs::LogTable> t) {
    abmode::AbRide r;
    r.table = std::move(t);
    return r;
  };
  rides.add({});
  rides.setOpenRide(open(table));
  ASSERT_EQ(rides.rides().size(), 2u);
  EXPECT_TRUE(rides.rides().front().open);
  const std::uint64_t generation = rides.generation();
  rides.setOpenRide(open(table));  // the same log again: nothing changes
  EXPECT_EQ(rides.generation(), generation);
  rides.remove(0);
  rides.setOpenRide(open(table));  // removed by the user: stays out
  EXPECT_EQ(rides.rides().size(), 1u);
  rides.setOpenRide(open(std::make_shared<const logs::LogTable>()));  // another log opens
  EXPECT_EQ(rides.rides().size(), 2u);

  analysis::AbLog a, b, c;
  a.digest = 1, a.startMs = 300;
  b.digest = 2, b.startMs = 100;
  c.digest = 1, c.startMs = 300;
  EXPECT_EQ(abmode::CountedLogs({&a, nullptr, &b, &c}), (std::vector<std::size_t>{2, 0}));
}

}  // namespace
}  // namespace rq::test
