// SPDX-License-Identifier: GPL-3.0-or-later
// Against the unit simulator on a pseudo-terminal: the undo step of a read, programming after
// change (once per edit, never on top of a running operation), the program history and the
// difference view after a failed verify.
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QDialog>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/demo_unit.h"
#include "compare/verify_differences.h"
#include "model/configuration_diff.h"
#include "model/defaults.h"
#include "model/ign_file.h"
#include "model/program_history.h"
#include "model/state_file.h"
#include "pages/controls.h"
#include "support.h"

#ifdef RQ_SIM_PROGRAM

namespace rq::test {
namespace {

ParameterImage Configuration(int seed) {
  ParameterImage image = NewConfiguration();
  for (int r = 0; r < 4; ++r) image.setByte(181 + 15 * 6 + 4 + r, 21 + r + seed);
  image.setWord(kHardLimiter, 11000 + 50 * seed);
  SanitizeImage(image);
  return image;
}

// Watches the engine from the test loop and keeps the operations it went through.
struct OpTrace {
  explicit OpTrace(FormHlavPeer& f) : form(f) {}
  FormHlavPeer& form;
  std::vector<OpState> ops;
  void observe() {
    const OpState op = form.exchange().state().op;
    if (op != OpState::Idle && (ops.empty() || ops.back() != op || idleSince)) ops.push_back(op);
    idleSince = op == OpState::Idle;
  }
  int programs() const { return int(std::count(ops.begin(), ops.end(), OpState::Program)); }
  bool idleSince = true;
};

class UnitTest : public ::testing::Test {
 protected:
  UnitTest() {
    had_ = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    old_ = qEnvironmentVariable("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", cfg_.path("data").toLocal8Bit());
  }
  ~UnitTest() override {
    if (had_) qputenv("XDG_DATA_HOME", old_.toLocal8Bit());
    else qunsetenv("XDG_DATA_HOME");
  }
  void start(const ParameterImage& unit, const ParameterImage& window) {
    const QString file = cfg_.path("unit.state");
    std::ofstream(file.toStdString()) << WriteStateText(unit, AllFlags{});
    QString error;
    ASSERT_TRUE(unit_.start({"--image", file, "--engine", "off"}, error, 5000, RQ_SIM_PROGRAM))
        << error.toStdString();
    cfg_.writeSettings(PortsSection(unit_.devicePath().toStdString()));
    cfg_.writeState(WriteStateText(window, AllFlags{}));
    w_ = std::make_unique<Window>();
    trace_ = std::make_unique<OpTrace>(form());
    ASSERT_TRUE(waitFor([&] { return form().connected(); }));
  }
  FormHlavPeer& form() { return *w_->form; }
  QString status() { return form().findChild<QLabel*>("LabelHlaseni")->text(); }
  bool waitFor(const std::function<bool()>& pred, int ms = 15000) {
    return TickUntil(form(), [&] {
      trace_->observe();
      return pred();
    }, ms);
  }
  // Waits until the operation running (and any that follows it at once) has ended; true when
  // it ended without an error. The status line of a verify that follows a programming turns
  // to "Program device:: OK" on the next tick, so the error flag is what tells.
  bool waitDone() {
    const bool idle = waitFor([&] { return !form().exchange().busy(); });
    return idle && !form().exchange().view().statusError;
  }
  std::string describe() {
    std::string ops;
    for (OpState o : trace_->ops) ops += std::to_string(int(o)) + " ";
    return "status \"" + status().toStdString() + "\", operations " + ops;
  }
  void tickProgAfterChange() { form().findChild<QCheckBox*>("CheckBoxProgHned")->setChecked(true); }
  // One user step of the hard limiter's up-down on the Inputs page: one committed edit.
  void stepHardLimiter() {
    form().findChild<QTabWidget*>("PageControl1")->setCurrentIndex(1);
    form().findChild<SpinEdit*>("EditHardLimiter")->stepBy(1);
  }

  TempConfig cfg_;
  DemoUnit unit_;
  std::unique_ptr<Window> w_;
  std::unique_ptr<OpTrace> trace_;
  bool had_ = false;
  QString old_;
};

TEST_F(UnitTest, AReadIsAnUndoStepAndIsNotProgrammedBack) {
  const ParameterImage mine = Configuration(0), unit = Configuration(5);
  start(unit, mine);
  form().MenuReadClick();
  ASSERT_TRUE(waitDone()) << describe();
  EXPECT_TRUE(form().image().sameConfig(unit));
  form().SpeedButtonZpetClick();
  EXPECT_TRUE(form().image().sameConfig(mine));
  form().SpeedButtonZnovuClick();
  EXPECT_TRUE(form().image().sameConfig(unit));
  EXPECT_EQ(trace_->programs(), 0);

  // With programming after change ticked a read is still not programmed back.
  tickProgAfterChange();
  form().MenuReadClick();
  ASSERT_TRUE(waitDone()) << describe();
  waitFor([] { return false; }, 600);
  EXPECT_EQ(trace_->programs(), 0);
}

// Text typed into a field and not committed is no step: Ctrl+Z undoes the last committed step
// and the text goes with it (Redo brings the step back, not the text); a Read takes it as
// nothing either: no undo step, and no programming with "Programming after change" ticked.
TEST_F(UnitTest, TypedTextIsNoStepForUndoOrRead) {
  start(Configuration(5), Configuration(0));
  form().show();
  form().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
  stepHardLimiter();
  ASSERT_EQ(form().image()[kHardLimiter], 11050);
  auto* limiter = form().findChild<SpinEdit*>("EditHardLimiter");
  auto typeLimiter = [&](const char* text) {
    limiter->setFocus();
    limiter->selectAll();
    QTest::keyClicks(limiter, text);
    ASSERT_TRUE(limiter->hasFocus());
  };
  typeLimiter("11500");
  QTest::keyClick(limiter, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(form().image()[kHardLimiter], 11000);
  EXPECT_EQ(limiter->value(), 11000);
  QTest::keyClick(limiter, Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(form().image()[kHardLimiter], 11050);
  EXPECT_FALSE(form().undoHistory().canRedo());

  typeLimiter("11700");
  tickProgAfterChange();
  int programs = 0;  // started, even when replaced at once
  QObject::connect(&form().workspace(), &Workspace::operationEnded, &form(),
                   [&](Operation op, Outcome) { programs += op == Operation::Program; });
  QTest::keyClick(&form(), Qt::Key_F7);
  ASSERT_TRUE(waitDone()) << describe();
  EXPECT_TRUE(form().image().sameConfig(Configuration(5)));
  EXPECT_EQ(programs, 0) << describe();
  form().findChild<QCheckBox*>("CheckBoxProgHned")->setChecked(false);
  form().SpeedButtonZpetClick();  // the step before the read is the committed edit
  EXPECT_EQ(form().image()[kHardLimiter], 11050);
}

TEST_F(UnitTest, EachCommittedEditProgramsOnceAndTheUnitHoldsIt) {
  start(NewConfiguration(), Configuration(1));
  tickProgAfterChange();
  for (int i = 1; i <= 3; ++i) {
    stepHardLimiter();
    ASSERT_TRUE(waitDone()) << i;
    EXPECT_EQ(trace_->programs(), i);
    EXPECT_EQ(form().image()[kHardLimiter], 11050 + 50 * i);
  }
  // A motorbike type answered Yes: the question's New and the preset are one change.
  form().findChild<QTabWidget*>("PageControl1")->setCurrentIndex(0);
  w_->answers = {QMessageBox::Yes};
  auto* bike = form().findChild<ComboEdit*>("ComboBoxBike");
  bike->setCurrentIndex(2);
  emit bike->activated(2);
  ASSERT_TRUE(waitDone()) << describe();
  waitFor([] { return false; }, 600);
  EXPECT_EQ(trace_->programs(), 4);
  EXPECT_EQ(form().image()[kBikeType], 3);

  const ParameterImage held = form().image();
  form().MenuVerifyClick();
  ASSERT_TRUE(waitDone()) << describe();
  EXPECT_TRUE(form().image().sameConfig(held));
}

TEST_F(UnitTest, AnEditDuringAReadIsRefusedAndTheReadIsNotProgrammedBack) {
  start(Configuration(2), NewConfiguration());
  tickProgAfterChange();
  form().MenuReadClick();
  stepHardLimiter();  // an edit while the read runs: refused, the status bar says why
  EXPECT_EQ(form().exchange().state().op, OpState::Read);
  ASSERT_TRUE(waitDone()) << describe();
  // Read and its verify, no programming: the unit keeps what it held.
  EXPECT_EQ(trace_->ops, (std::vector<OpState>{OpState::Read, OpState::Verify}));
  EXPECT_EQ(form().image().word(3), Configuration(2).word(3));  // the hard limiter as the unit has it
  const ParameterImage held = form().image();
  form().MenuVerifyClick();
  ASSERT_TRUE(waitDone()) << describe();
  EXPECT_TRUE(form().image().sameConfig(held));
}

TEST_F(UnitTest, EverySuccessfulProgramKeepsAHistoryFile) {
  start(NewConfiguration(), Configuration(3));
  form().MenuProgramClick();
  ASSERT_TRUE(waitDone()) << describe();
  const std::vector<HistoryEntry> kept = ListProgramHistory(ProgramHistoryFolder());
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_TRUE(QString::fromStdString(kept[0].path).startsWith(cfg_.path("data/RQ_VTMX4_Kelvora/history/")));
  std::ifstream f(kept[0].path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  EXPECT_EQ(s.str(), WriteIgnText(Configuration(3)));
  // A verify or a read keeps nothing.
  form().MenuVerifyClick();
  ASSERT_TRUE(waitDone()) << describe();
  EXPECT_EQ(ListProgramHistory(ProgramHistoryFolder()).size(), 1u);

  // A demo run programs the simulator, not a bike: nothing is kept.
  w_.reset();
  w_ = std::make_unique<Window>(QStringList{}, unit_.devicePath().toStdString());
  trace_ = std::make_unique<OpTrace>(form());
  ASSERT_TRUE(waitFor([&] { return form().connected(); }));
  form().image().setByte(kRetard, 3);
  form().MenuProgramClick();
  ASSERT_TRUE(waitDone()) << describe();
  EXPECT_EQ(ListProgramHistory(ProgramHistoryFolder()).size(), 1u);
}

TEST_F(UnitTest, AfterAVerifyErrorTheDifferencesAreShownWithoutChangingEitherSide) {
  const ParameterImage mine = Configuration(4), unit = NewConfiguration();
  start(unit, mine);
  auto* button = form().findChild<QPushButton*>("ButtonVerifyDiff");
  ASSERT_NE(button, nullptr);
  EXPECT_FALSE(button->isVisibleTo(&form()));
  form().MenuVerifyClick();
  ASSERT_FALSE(waitDone());
  EXPECT_EQ(status(), "Verify error!");
  EXPECT_TRUE(button->isVisibleTo(&form()));
  button->click();
  ASSERT_TRUE(waitFor([&] {
    QDialog* v = form().verifyDifferences().view();
    return v != nullptr && v->isVisible();
  }));
  const auto expected = CompareConfigurations(mine, unit);
  QTableWidget* table = form().verifyDifferences().table();
  ASSERT_EQ(table->rowCount(), int(expected.size()));
  EXPECT_EQ(table->item(0, 1)->text().toStdString(), expected[0].name);
  EXPECT_EQ(table->item(0, 2)->text().toStdString(), expected[0].first);
  EXPECT_EQ(table->item(0, 3)->text().toStdString(), expected[0].second);
  EXPECT_TRUE(form().image().sameConfig(mine));
  EXPECT_FALSE(button->isVisibleTo(&form()));
  // The unit still holds its own configuration: it differs as before.
  form().MenuVerifyClick();
  EXPECT_FALSE(waitDone());
  EXPECT_EQ(status(), "Verify error!");
}

}  // namespace
}  // namespace rq::test

#endif  // RQ_SIM_PROGRAM
