// SPDX-License-Identifier: GPL-3.0-or-later
// Guard rails in the window against a real workspace and a scripted unit: the marks of broken
// limits and the status line, the hold and release of programming after change, the question
// before Program, the changes list before programming, the limits in the settings file and the
// texts in every language.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <algorithm>

#include "fake_window.h"
#include "guard/guard_texts.h"
#include "guard/limit_guard.h"
#include "guard/limit_marks.h"
#include "guard/limits_dialog.h"
#include "guard/program_changes.h"
#include "limits/limit_texts.h"
#include "model/map_model.h"
#include "pages/map_pages.h"
#include "ui/text_fit.h"

namespace rq::test {
namespace {

using K = LimitKind;

QString GuardQ(GuardText id, int language = kLanguageEnglish) {
  return QString::fromUtf8(GuardTextOf(id, language));
}

class GuardFeature : public ::testing::Test {
 protected:
  GuardFeature() {
    // Every map flat: advance 20 degrees over throttle and rpm, servo on at 2000 mV.
    ParameterImage& im = w_.image();
    for (const MapDef& m : Maps())
      for (int r = 0; r < kMapRows; ++r)
        for (int c = 0; c < kMapColumns; ++c)
          im.setByte(CellByte(m, r, c), m.page == kPageServo ? 100 : 20);
    im.setByte(kMapsUseThrottle, 1);
    im.setByte(kServoEnable, 1);
    im.setByte(kServoPercent, 0);
    im.setByte(kServoMode, 0);
    ws().change({}, kPageAdvance1);
    w_.showPage(kPageAdvance1);
    guard_ = new LimitGuard(ws(), w_, w_.pages().maps());
    QObject::connect(guard_, &LimitGuard::violationsChanged,
                     [this](const std::vector<Violation>& v) { told_.push_back(v); });
  }

  Workspace& ws() { return w_.workspace(); }
  static int Shown(const ParameterImage& im, int page, int r, int c) {
    return MapCellScale(im, page).step * im.byte(CellByte(*MapOfPage(page), r, c));
  }
  // One edit of a cell in shown units: one change of the configuration.
  void edit(int page, int r, int c, int shown) {
    ws().change(
        [&](ParameterImage& im) {
          im.setByte(CellByte(*MapOfPage(page), r, c), shown / MapCellScale(im, page).step);
        },
        page);
  }
  void limit(int page, PageLimits p) {
    Limits l = ws().limits();
    *l.of(page) = p;
    ws().setLimits(l);
  }
  int programsSent() {
    return int(std::count_if(w_.port().sent.begin(), w_.port().sent.end(),
                             [](const FrameBytes& f) { return f[0] == kCmdProgram; }));
  }
  void run(int ticks) {
    for (int i = 0; i < ticks; ++i) w_.tick();
  }
  QString lastNote() const { return w_.notes.empty() ? QString() : w_.notes.back(); }
  QString brokenNote(const QString& summary) const { return GuardQ(GtStatusBroken).arg(summary); }

  FakeWindow w_;
  LimitGuard* guard_ = nullptr;
  std::vector<std::vector<Violation>> told_;
};

// ---- marks and the status line ------------------------------------------------------------

TEST_F(GuardFeature, WithoutLimitsNothingIsMarkedSaidOrHeld) {
  ws().setProgramAfterChange(true);
  const std::size_t notes = w_.notes.size();
  edit(kPageAdvance1, 4, 4, 58);
  EXPECT_TRUE(guard_->violations().empty());
  EXPECT_TRUE(guard_->marks().shownMarks().empty());
  EXPECT_TRUE(guard_->statusLabel()->isHidden());
  EXPECT_EQ(w_.notes.size(), notes);
  EXPECT_TRUE(told_.empty());
  ASSERT_TRUE(w_.runUntilIdle());
  EXPECT_EQ(programsSent(), 1);
  EXPECT_EQ(Shown(w_.unit().image, kPageAdvance1, 4, 4), 58);
}

// Each kind of limit marks its own place on the page shown: a frame around the cell, or a bar
// on the edge it shares with its neighbour; the status line counts them by page.
TEST_F(GuardFeature, EachBrokenLimitIsMarkedAndCountedOnTheStatusLine) {
  struct Case {
    const char* name;
    PageLimits limits;
    int row, column, value;
    K kind;
    int count;  // violations of the edit: a raised cell breaks the step on up to four sides
  };
  const Case cases[] = {
      {"below the lowest", {.min = 10}, 3, 5, 8, K::Min, 1},
      {"above the highest", {.max = 40}, 3, 5, 58, K::Max, 1},
      {"step to the right", {.step = 6}, 9, 14, 27, K::StepRight, 2},  // and from row 8 down
      {"step down", {.step = 6}, 9, 0, 27, K::StepDown, 2},            // and to column 1
      {"change against the unit", {.change = 3}, 3, 5, 24, K::Change, 1},
  };
  ws().unitRead(w_.image());  // the unit holds the flat maps
  w_.show();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    limit(kPageAdvance1, c.limits);
    edit(kPageAdvance1, c.row, c.column, c.value);
    const int markRow = c.kind == K::StepDown ? c.row - 1 : c.row;
    const int markColumn = c.kind == K::StepRight ? c.column - 1 : c.column;
    ASSERT_EQ(int(guard_->violations().size()), c.count);
    const auto found = std::find_if(
        guard_->violations().begin(), guard_->violations().end(), [&](const Violation& v) {
          return v.kind == c.kind && v.row == markRow && v.column == markColumn;
        });
    ASSERT_NE(found, guard_->violations().end());
    const Violation v = *found;
    EXPECT_EQ(guard_->marks().shownMarks(), guard_->violations());
    EXPECT_EQ(lastNote(), brokenNote(QString("%1 on Advance 1").arg(c.count)));
    EXPECT_FALSE(guard_->statusLabel()->isHidden());
    EXPECT_EQ(guard_->statusLabel()->text(), lastNote());
    EXPECT_EQ(told_.back(), guard_->violations());

    // The mark is painted where it belongs, in its own colour, and nowhere else.
    LimitMarkPaint* paint = guard_->marks().paint();
    ASSERT_NE(paint, nullptr);
    EXPECT_TRUE(paint->isVisible());
    const QRect at = paint->markRect(v);
    MapGrid& grid = w_.pages().maps().grid();
    const QRect cell =
        grid.cell(markRow, markColumn)->geometry().united(grid.cellUpDown(markRow, markColumn)->geometry());
    EXPECT_TRUE(at.intersects(cell));
    QImage shot = grid.box()->grab().toImage();
    auto red = [&](QPoint p) { return shot.pixelColor(p) == kLimitMarkColour; };
    // The bar on the shared edge, or the frame's left side.
    const QPoint inside = c.kind == K::StepRight  ? QPoint(cell.right(), cell.center().y())
                          : c.kind == K::StepDown ? QPoint(cell.center().x(), cell.bottom())
                                                  : QPoint(at.left() + 1, at.center().y());
    EXPECT_TRUE(red(inside)) << inside.x() << "," << inside.y();
    const QRect far = grid.cell(0, 0)->geometry().united(grid.cellUpDown(0, 0)->geometry());
    EXPECT_FALSE(red(QPoint(far.left() - 1, far.center().y())));

    // Back within the limit: no mark, and the status line says so once.
    edit(kPageAdvance1, c.row, c.column, 20);
    EXPECT_TRUE(guard_->violations().empty());
    EXPECT_TRUE(guard_->marks().shownMarks().empty());
    shot = grid.box()->grab().toImage();
    EXPECT_FALSE(red(inside));
    EXPECT_EQ(lastNote(), GuardQ(GtStatusClear));
    EXPECT_TRUE(guard_->statusLabel()->isHidden());
    EXPECT_TRUE(told_.back().empty());
  }
}

TEST_F(GuardFeature, MarksStandOnTheirOwnPageAndTheStatusLineNamesEveryPage) {
  limit(kPageAdvance1, {.max = 40});
  limit(kPageAdvance2, {.max = 40});
  limit(kPageServo, {.max = 4000});
  edit(kPageAdvance2, 2, 2, 45);
  edit(kPageAdvance2, 2, 4, 45);
  edit(kPageServo, 1, 1, 4400);
  EXPECT_EQ(lastNote(), brokenNote("2 on Advance 2, 1 on Servo"));
  EXPECT_EQ(guard_->statusLabel()->text(), lastNote());
  // Advance 1 is shown: nothing of the others is marked on it.
  EXPECT_TRUE(guard_->marks().shownMarks().empty());
  w_.showPage(kPageAdvance2);
  EXPECT_EQ(guard_->marks().shownMarks().size(), 2u);
  w_.showPage(kPageServo);
  ASSERT_EQ(guard_->marks().shownMarks().size(), 1u);
  EXPECT_EQ(guard_->marks().shownMarks()[0].value, 4400);
  // A cell on the servo page is not checked while the servo is off.
  ws().change([](ParameterImage& im) { im.setByte(kServoEnable, 0); }, kPageServo);
  EXPECT_TRUE(guard_->marks().shownMarks().empty());
  EXPECT_EQ(lastNote(), brokenNote("2 on Advance 2"));
  EXPECT_EQ(guard_->statusLabel()->text(), lastNote());
}

// The servo mode decides which cells count: chosen on the servo page, it is checked as an edit
// is, so that the marks, the status label and the map view follow at once.
TEST_F(GuardFeature, AServoModeChosenOnThePageIsCheckedLikeAnEdit) {
  limit(kPageServo, {.max = 4000});
  w_.showPage(kPageServo);
  edit(kPageServo, 3, 5, 4400);  // a cell of the full map only
  ASSERT_EQ(guard_->violations().size(), 1u);
  const std::size_t told = told_.size();
  auto choose = [this](int item) {
    w_.findChild<QRadioButton*>(QString("RadioGroupServoMode_%1").arg(item))->click();
  };
  choose(1);  // over rpm only: the cell is not used
  EXPECT_EQ(ws().image()[kServoMode], 1);
  EXPECT_TRUE(guard_->violations().empty());
  EXPECT_TRUE(guard_->marks().shownMarks().empty());
  EXPECT_TRUE(guard_->statusLabel()->isHidden());
  ASSERT_EQ(told_.size(), told + 1);
  EXPECT_TRUE(told_.back().empty());
  choose(0);  // the full map again: the cell counts again
  EXPECT_EQ(guard_->marks().shownMarks().size(), 1u);
  EXPECT_EQ(guard_->statusLabel()->text(), brokenNote("1 on Servo"));
  EXPECT_EQ(told_.back(), guard_->violations());
}

// Undo, redo, what the unit holds and the limits themselves are checked as an edit is.
TEST_F(GuardFeature, UndoRedoTheUnitAndTheLimitsAreCheckedLikeAnEdit) {
  limit(kPageAdvance1, {.max = 40, .change = 10});
  edit(kPageAdvance1, 0, 0, 45);
  ASSERT_EQ(guard_->violations().size(), 1u);
  ws().undo();
  EXPECT_TRUE(guard_->violations().empty());
  ws().redo();
  EXPECT_EQ(guard_->violations().size(), 1u);
  // The change against the unit counts once the unit's content is known.
  edit(kPageAdvance1, 0, 0, 35);
  EXPECT_TRUE(guard_->violations().empty());
  ParameterImage unit = w_.image();
  unit.setByte(CellByte(*MapOfPage(kPageAdvance1), 0, 0), 20);
  ws().unitRead(unit);
  ASSERT_EQ(guard_->violations().size(), 1u);
  EXPECT_EQ(guard_->violations()[0].kind, K::Change);
  EXPECT_EQ(guard_->violations()[0].other, 20);
  // Limits widened: the mark goes at once.
  limit(kPageAdvance1, {.max = 40, .change = 20});
  EXPECT_TRUE(guard_->violations().empty());
  EXPECT_EQ(lastNote(), GuardQ(GtStatusClear));
}

// ---- programming after change -------------------------------------------------------------

// Nothing is sent while a limit is broken; the next change that leaves none programs as any
// change does, an undo back to a configuration within the limits too.
TEST_F(GuardFeature, ProgrammingAfterChangeWaitsWhileALimitIsBroken) {
  limit(kPageAdvance1, {.max = 40});
  ws().setProgramAfterChange(true);
  edit(kPageAdvance1, 5, 7, 30);
  ASSERT_TRUE(w_.runUntilIdle());
  ASSERT_EQ(programsSent(), 1);
  ASSERT_EQ(Shown(w_.unit().image, kPageAdvance1, 5, 7), 30);

  edit(kPageAdvance1, 5, 7, 58);  // the typo
  EXPECT_EQ(lastNote(), GuardQ(GtHeld).arg("1 on Advance 1"));
  EXPECT_FALSE(ws().exchange().busy());
  edit(kPageAdvance1, 5, 8, 35);  // another cell, the typo still stands
  run(20);
  EXPECT_EQ(programsSent(), 1);
  EXPECT_EQ(Shown(w_.unit().image, kPageAdvance1, 5, 7), 30);
  EXPECT_EQ(Shown(w_.unit().image, kPageAdvance1, 5, 8), 20);

  edit(kPageAdvance1, 5, 7, 28);  // corrected: both cells go out
  ASSERT_TRUE(w_.runUntilIdle());
  EXPECT_EQ(programsSent(), 2);
  EXPECT_EQ(Shown(w_.unit().image, kPageAdvance1, 5, 7), 28);
  EXPECT_EQ(Shown(w_.unit().image, kPageAdvance1, 5, 8), 35);

  edit(kPageAdvance1, 0, 0, 60);
  run(20);
  EXPECT_EQ(programsSent(), 2);
  ws().undo();
  ASSERT_TRUE(w_.runUntilIdle());
  EXPECT_EQ(programsSent(), 3);
  EXPECT_EQ(Shown(w_.unit().image, kPageAdvance1, 0, 0), 20);
  EXPECT_TRUE(w_.unit().image.sameConfig(w_.image()));
}

// A programming under way is not stopped, and what it sends is what it started with: a broken
// limit typed while it runs never reaches the unit, and no programming follows it.
TEST_F(GuardFeature, ABrokenLimitTypedWhileProgrammingRunsIsNotSent) {
  limit(kPageAdvance1, {.max = 40});
  ws().setProgramAfterChange(true);
  edit(kPageAdvance1, 5, 7, 30);
  // Until block 1 has gone out (the maps are in block 2).
  for (int i = 0; i < 50 && programsSent() == 1 &&
                  std::none_of(w_.port().sent.begin(), w_.port().sent.end(),
                               [](const FrameBytes& f) { return f[0] == 0x01; });
       ++i)
    w_.tick();
  ASSERT_TRUE(ws().exchange().busy());
  edit(kPageAdvance1, 5, 7, 58);
  ASSERT_TRUE(w_.runUntilIdle());
  run(20);
  EXPECT_EQ(programsSent(), 1);
  EXPECT_EQ(Shown(w_.unit().image, kPageAdvance1, 5, 7), 30);
  // The unit is known to hold what was sent; the PC's cell differs from it.
  ASSERT_EQ(ws().unit().state(), UnitRecord::State::Known);
  EXPECT_EQ(Shown(ws().unit().unit(), kPageAdvance1, 5, 7), 30);
}

// ---- the Program command ------------------------------------------------------------------

TEST_F(GuardFeature, ProgramListsBrokenLimitsAndProgramsOnlyWhenAnsweredYes) {
  EXPECT_TRUE(guard_->confirmProgram());  // no limits: no question
  limit(kPageAdvance1, {.max = 40});
  EXPECT_TRUE(guard_->confirmProgram());  // within them: no question either
  EXPECT_TRUE(w_.questions.empty());
  edit(kPageAdvance1, 5, 7, 58);
  const Violation v = guard_->violations().at(0);
  const QString line = QString::fromStdString(ViolationText(v, w_.image(), kLanguageEnglish));
  w_.answers = {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Yes};
  EXPECT_FALSE(guard_->confirmProgram());
  EXPECT_FALSE(guard_->confirmProgram());
  EXPECT_TRUE(guard_->confirmProgram());
  ASSERT_EQ(w_.questions.size(), 3u);
  EXPECT_EQ(w_.questions[0], GuardQ(GtAskBroken).arg("1 on Advance 1", line) + "\n\n" + GuardQ(GtAskAnyway));
  // Enter answers No.
  EXPECT_EQ(w_.questionsDefaultNo, (std::vector<bool>{true, true, true}));
  // A long list stops after 20 lines and says how many more there are.
  ws().change(
      [](ParameterImage& im) {
        for (int c = 0; c < kMapColumns; ++c)
          for (int r = 0; r < 2; ++r) im.setByte(CellByte(*MapOfPage(kPageAdvance1), r, c), 50);
      },
      kPageAdvance1);
  EXPECT_FALSE(guard_->confirmProgram());
  const QStringList lines = w_.questions.back().split('\n');
  EXPECT_TRUE(lines.contains(GuardQ(GtMoreLines).arg(31 - 20))) << lines.join("|").toStdString();
}

// The changes list shows what programming changes against the unit, grouped by page, with
// Program and Cancel; while the unit's content is unknown it says so instead.
TEST_F(GuardFeature, ChangesBeforeProgrammingAreListedAgainstTheUnit) {
  int dialogs = 0;
  std::vector<ConfigDifference> listed;
  QString summary;
  bool tableShown = true;
  int answer = QDialog::Rejected;
  guard_->runDialog = [&](QDialog& d) {
    ++dialogs;
    auto& changes = dynamic_cast<ProgramChangesDialog&>(d);
    listed = changes.changes();
    summary = changes.summary()->text();
    tableShown = !changes.table()->isHidden();
    EXPECT_EQ(changes.table()->rowCount(), int(listed.size()));
    return answer;
  };
  EXPECT_TRUE(guard_->confirmProgram());  // the option is off
  EXPECT_EQ(dialogs, 0);
  guard_->setShowChanges(true);
  EXPECT_FALSE(guard_->confirmProgram());
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(summary, GuardQ(GtChangesUnknown));
  EXPECT_FALSE(tableShown);

  ws().unitRead(w_.image());
  edit(kPageAdvance1, 1, 1, 25);
  edit(kPageServo, 1, 1, 2400);
  answer = QDialog::Accepted;
  EXPECT_TRUE(guard_->confirmProgram());
  EXPECT_TRUE(tableShown);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(summary, GuardQ(GtChangesCount).arg(2));
  const auto expected = CompareConfigurations(w_.image(), ws().unit().unit());
  ASSERT_EQ(expected.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) EXPECT_EQ(listed[i].name, expected[i].name);
  EXPECT_EQ(listed[0].second, "20");  // the unit's value now ...
  EXPECT_EQ(listed[0].first, "25");   // ... and after programming
  EXPECT_LT(listed[0].pageIndex, listed[1].pageIndex);

  // What will be sent comes first, then the question about broken limits; No ends it there.
  limit(kPageAdvance1, {.max = 22});
  w_.answers = {QMessageBox::No};
  const std::size_t asked = w_.questions.size();
  EXPECT_FALSE(guard_->confirmProgram());
  EXPECT_EQ(dialogs, 3);
  EXPECT_EQ(w_.questions.size(), asked + 1);
  answer = QDialog::Rejected;  // Cancel on the list asks nothing more
  EXPECT_FALSE(guard_->confirmProgram());
  EXPECT_EQ(w_.questions.size(), asked + 1);
}

// ---- the settings file and the dialog -----------------------------------------------------

TEST_F(GuardFeature, LimitsAreReadFromTheSettingsFileAndWrittenByTheDialog) {
  w_.ini.parse(
      "[LIMITS]\nAdvance1Max=38\nAdvance1Step=4o\nServoMax=80 %\nAdvance2Change=\n"
      "[PROGRAMMING]\nShowChanges=1\n[BASIC]\nLanguage=0\n");
  guard_->readSettings();
  Limits expected;
  expected.of(kPageAdvance1)->max = 38;
  expected.of(kPageServo)->max = 4000;
  EXPECT_EQ(ws().limits(), expected);
  EXPECT_TRUE(guard_->showChanges());
  EXPECT_TRUE(guard_->showChangesAction()->isChecked());
  ASSERT_EQ(w_.messages.size(), 1u);  // the problem, said once
  EXPECT_TRUE(w_.messages[0].contains("[LIMITS] line 3: Advance1Step=4o")) << w_.messages[0].toStdString();
  EXPECT_EQ(w_.settingsWrites, 0);
  // A value that cannot be read holds programming after change, and Program asks, No first
  // (after the list of changes, which is on).
  EXPECT_EQ(guard_->holdReason(), GuardQ(GtHeldUnreadable));
  guard_->runDialog = [](QDialog&) { return int(QDialog::Accepted); };
  EXPECT_FALSE(guard_->confirmProgram());
  ASSERT_EQ(w_.questions.size(), 1u);
  EXPECT_TRUE(w_.questions[0].contains("Advance1Step=4o")) << w_.questions[0].toStdString();
  EXPECT_TRUE(w_.questionsDefaultNo[0]);

  // The dialog shows them, the value it could not read marked, takes what is typed and writes
  // every key of the section.
  bool refused = false;
  guard_->runDialog = [&](QDialog& d) {
    auto& dialog = dynamic_cast<LimitsDialog&>(d);
    EXPECT_EQ(dialog.field(0, 1)->text(), "38");
    EXPECT_EQ(dialog.field(2, 1)->text(), "4000");
    EXPECT_EQ(dialog.field(0, 2)->text(), "4o");
    EXPECT_TRUE(dialog.problems()->text().contains("Advance1Step=4o"));
    dialog.field(0, 2)->setText("");
    dialog.field(0, 1)->setText("34,5");
    dialog.field(1, 0)->setText("-2");  // refused: the dialog stays open and says why
    dialog.findChild<QPushButton*>("ButtonLimitsOk")->click();
    refused = dialog.result() != QDialog::Accepted && !dialog.problems()->isHidden() &&
              dialog.problems()->text().contains("Advance2Min=-2");
    dialog.field(1, 0)->setText("5");
    dialog.field(2, 1)->setText("");
    dialog.findChild<QPushButton*>("ButtonLimitsOk")->click();
    return dialog.result();
  };
  guard_->limitsAction()->trigger();
  EXPECT_TRUE(refused);
  expected = {};
  expected.of(kPageAdvance1)->max = 34.5;
  expected.of(kPageAdvance2)->min = 5;
  EXPECT_EQ(ws().limits(), expected);
  EXPECT_EQ(w_.settingsWrites, 1);
  EXPECT_EQ(w_.ini.stringValue(kLimitsSection, "Advance1Max", "?"), "34.5");
  EXPECT_EQ(w_.ini.stringValue(kLimitsSection, "Advance2Min", "?"), "5");
  EXPECT_EQ(w_.ini.stringValue(kLimitsSection, "ServoMax", "?"), "");
  EXPECT_EQ(w_.ini.stringValue(kLimitsSection, "Advance1Step", "?"), "");
  EXPECT_EQ(w_.ini.stringValue("BASIC", "Language", "?"), "0");
  EXPECT_EQ(LoadLimits(w_.ini).limits, expected);
  EXPECT_TRUE(guard_->holdReason().isEmpty());
  EXPECT_TRUE(guard_->unreadable().empty());

  // Cancel changes nothing and writes nothing.
  guard_->runDialog = [](QDialog& d) {
    dynamic_cast<LimitsDialog&>(d).field(0, 0)->setText("10");
    return int(QDialog::Rejected);
  };
  guard_->MenuLimitsClick();
  EXPECT_EQ(ws().limits(), expected);
  EXPECT_EQ(w_.settingsWrites, 1);

  // The option is written when it is switched.
  guard_->showChangesAction()->trigger();
  EXPECT_FALSE(guard_->showChanges());
  EXPECT_EQ(w_.settingsWrites, 2);
  EXPECT_EQ(w_.ini.intValue(kProgrammingSection, kShowChangesKey, -1), 0);
}

// Every text in every language, whole: the status line names the pages as their tabs do, and
// the Limits dialog grows with the problems it lists without squeezing its fields.
TEST_F(GuardFeature, TextsFollowTheLanguageAndFitInEveryOne) {
  ParameterImage unit = w_.image();
  unit.setByte(CellByte(*MapOfPage(kPageAdvance1), 0, 0), 30);
  limit(kPageAdvance1, {.max = 40});
  edit(kPageAdvance1, 0, 0, 45);
  auto wholeTexts = [](QWidget* d) {
    QApplication::processEvents();
    for (const CutOffText& c : FindCutOffTexts(d))
      ADD_FAILURE() << c.control.toStdString() << " \"" << c.text.toStdString() << "\" needs "
                    << c.needed.width() << " x " << c.needed.height() << ", has "
                    << c.available.width() << " x " << c.available.height();
  };
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    SCOPED_TRACE(lang);
    ws().setLanguage(lang);
    EXPECT_EQ(guard_->limitsAction()->text(), GuardQ(GtMenuLimits, lang));
    EXPECT_EQ(guard_->showChangesAction()->text(), GuardQ(GtMenuShowChanges, lang));
    const QString broken = GuardQ(GtStatusBroken, lang).arg(
        GuardQ(GtPageCount, lang).arg(1).arg(QString::fromStdString(LimitPageName(kPageAdvance1, lang))));
    EXPECT_EQ(guard_->statusLabel()->text(), broken);
    Limits l;
    l.of(kPageServo)->max = 4000;
    LimitsDialog limits(l, w_.image(), lang, &w_);
    limits.show();
    ProgramChangesDialog unknown(w_.image(), nullptr, lang, &w_);
    unknown.show();
    ProgramChangesDialog changes(w_.image(), &unit, lang, &w_);
    changes.show();
    for (QWidget* d : std::initializer_list<QWidget*>{&limits, &unknown, &changes}) wholeTexts(d);
    EXPECT_EQ(limits.windowTitle(), GuardQ(GtLimitsTitle, lang));
    EXPECT_EQ(changes.summary()->text(), GuardQ(GtChangesCount, lang).arg(1));
    // Five values it cannot take: each is listed whole, and every field keeps its width.
    std::vector<int> widths;
    for (int f = 0; f < LimitsDialog::kFields; ++f) widths.push_back(limits.field(0, f)->width());
    for (int f = 0; f < LimitsDialog::kFields - 1; ++f) limits.field(0, f)->setText("x" + QString::number(f));
    limits.field(0, LimitsDialog::kExemptField)->setText("12:40");
    limits.findChild<QPushButton*>("ButtonLimitsOk")->click();
    EXPECT_EQ(limits.problems()->text().count('\n'), 6);
    wholeTexts(&limits);
    for (int f = 0; f < LimitsDialog::kFields; ++f) EXPECT_GE(limits.field(0, f)->width(), widths[std::size_t(f)]);
  }
}

// The map's context menu exempts the selected cells from the limits of the page shown, and
// checks them again; the marks are kept with the limits.
TEST_F(GuardFeature, CellsAreExemptedFromTheMapsContextMenu) {
  limit(kPageAdvance1, {.max = 40, .step = 8});
  edit(kPageAdvance1, 4, 4, 58);
  ASSERT_EQ(guard_->violations().size(), 5u);
  MapPages& maps = w_.pages().maps();
  maps.grid().select({4, 4, 4, 4});
  ASSERT_TRUE(maps.contextMenu()->actions().contains(guard_->exemptAction()));
  guard_->exemptAction()->trigger();
  EXPECT_TRUE(guard_->violations().empty());
  EXPECT_EQ(w_.ini.stringValue(kLimitsSection, "Advance1Exempt", ""), "4:4");
  EXPECT_EQ(lastNote(), GuardQ(GtExempted).arg("Advance 1").arg(1));
  // A selection with the exempt cell in it: all of it exempt; then all of it checked again.
  maps.grid().select({4, 4, 5, 4});
  guard_->exemptAction()->trigger();
  EXPECT_EQ(w_.ini.stringValue(kLimitsSection, "Advance1Exempt", ""), "4:4 5:4");
  emit maps.contextMenu()->aboutToShow();
  EXPECT_TRUE(guard_->exemptAction()->isChecked());
  guard_->exemptAction()->trigger();
  EXPECT_EQ(w_.ini.stringValue(kLimitsSection, "Advance1Exempt", "?"), "");
  EXPECT_EQ(guard_->violations().size(), 5u);
}

}  // namespace
}  // namespace rq::test
