// SPDX-License-Identifier: GPL-3.0-or-later
// The guard rails in the whole window: the limits of the settings file read at start, the
// marks and status line of the configuration of the last run, the menu items after the
// described ones, and Program (F9) with a broken limit asking first, on a line to a unit.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <algorithm>

#include "guard/guard_texts.h"
#include "guard/limit_guard.h"
#include "guard/limit_marks.h"
#include "guard/limits_dialog.h"
#include "model/defaults.h"
#include "model/map_model.h"
#include "model/state_file.h"
#include "support.h"

namespace rq::test {
namespace {

class GuardWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ParameterImage last = NewConfiguration();
    last.setByte(kMapsUseThrottle, 1);
    for (int r = 0; r < kMapRows; ++r)
      for (int c = 0; c < kMapColumns; ++c)
        last.setByte(CellByte(*MapOfPage(kPageAdvance1), r, c), 20);
    last.setByte(CellByte(*MapOfPage(kPageAdvance1), 5, 7), 58);  // the typo of the last run
    SanitizeImage(last);
    cfg_.writeState(WriteStateText(last, AllFlags{}));
    cfg_.writeSettings(PortsSection(pty_.slave()) +
                       "[LIMITS]\nAdvance1Max=40\nAdvance1Step=4o\n[BASIC]\n"
                       "PageControl1->ActivePageIndex=2\n");
    w_ = std::make_unique<Window>();
  }
  FormHlavPeer& form() { return *w_->form; }
  // Whether a programming's first request reached the line within `ms`.
  bool programSent(int ms) {
    bool sent = false;
    TickUntil(form(), [&] {
      for (const FrameBytes& f : pty_.readFrames()) sent = sent || f[0] == kCmdProgram;
      return sent;
    }, ms);
    return sent;
  }
  // Whether `item` stands in `menu` after the described item `described`.
  bool after(const char* menu, QAction* item, const char* described) {
    const QList<QAction*> items = form().findChild<QMenu*>(menu)->actions();
    const auto* own = form().findChild<QAction*>(described);
    return own != nullptr && items.indexOf(item) > items.indexOf(own);
  }

  TempConfig cfg_;
  Pty pty_;
  std::unique_ptr<Window> w_;
};

TEST_F(GuardWindow, StartsWithTheLimitsMarksTheLastRunAndAsksBeforeProgram) {
  // The section's problem is said once; the limit that could be read holds.
  ASSERT_EQ(w_->messages.size(), 1u);
  EXPECT_TRUE(w_->messages[0].contains("Advance1Step=4o")) << w_->messages[0].toStdString();
  ASSERT_TRUE(form().workspace().limits().of(kPageAdvance1)->max);
  EXPECT_EQ(*form().workspace().limits().of(kPageAdvance1)->max, 40);
  LimitGuard& guard = form().limitGuard();
  ASSERT_EQ(guard.violations().size(), 1u);
  EXPECT_EQ(guard.marks().page(), kPageAdvance1);
  EXPECT_EQ(guard.marks().shownMarks().size(), 1u);
  const QString caption = form().pageCaption(kPageAdvance1);
  const QString broken = QString::fromUtf8(GuardTextOf(GtStatusBroken, kLanguageEnglish))
                             .arg(QString("1 on %1").arg(caption));
  EXPECT_EQ(form().findChild<QStatusBar*>("StatusBar1")->currentMessage(), broken);
  EXPECT_EQ(guard.statusLabel()->text(), broken);
  EXPECT_TRUE(guard.statusLabel()->isVisibleTo(&form()));
  // White on dark red whatever the desktop's palette, and never narrower than its text.
  EXPECT_EQ(guard.statusLabel()->grab().toImage().pixelColor(1, 1), QColor(0xb0, 0, 0));
  EXPECT_GE(guard.statusLabel()->minimumWidth(), guard.statusLabel()->sizeHint().width());

  // The items stand after the menus' described ones.
  EXPECT_TRUE(after("MenuTools", guard.limitsAction(), "MenuZnovu"));
  EXPECT_TRUE(after("MenuDevice", guard.showChangesAction(), "MenuProgram"));

  // Program: Cancel sends nothing; Yes programs.
  auto* program = form().findChild<QAction*>("MenuProgram");
  ASSERT_NE(program, nullptr);
  pty_.drain();
  program->trigger();
  ASSERT_EQ(w_->questions.size(), 1u);
  EXPECT_TRUE(w_->questions[0].contains("58 > max 40")) << w_->questions[0].toStdString();
  EXPECT_FALSE(form().exchange().busy());
  EXPECT_FALSE(programSent(400));
  w_->answers = {QMessageBox::Yes};
  program->trigger();
  EXPECT_EQ(w_->questions.size(), 2u);
  EXPECT_TRUE(programSent(2000));
}

// A status line longer than the room beside the limits label is cut with an ellipsis; the
// whole of it is in the status bar's tooltip.
TEST_F(GuardWindow, ALongStatusLineIsCutAndWholeInItsTooltip) {
  auto* bar = form().findChild<QStatusBar*>("StatusBar1");
  const QString held = QString::fromUtf8(GuardTextOf(GtHeld, kLanguageEnglish))
                           .arg("12 on Advance 1, 7 on Advance 2, 3 on Servo");
  form().showNote(held, 0);
  const QString shown = bar->currentMessage();
  EXPECT_TRUE(shown.endsWith(QString::fromUtf8("\u2026"))) << shown.toStdString();
  EXPECT_TRUE(held.startsWith(shown.chopped(1)));
  const LimitGuard& guard = form().limitGuard();
  EXPECT_LE(bar->fontMetrics().horizontalAdvance(shown),
            bar->width() - guard.statusLabel()->sizeHint().width());
  EXPECT_EQ(bar->toolTip(), held);
  form().showNote("Short", 0);
  EXPECT_EQ(bar->currentMessage(), "Short");
  EXPECT_TRUE(bar->toolTip().isEmpty());
}

// The demo's factory map with the limits the dialog suggests raises no alarm; a 58 degree
// spike added is the first line of the question before Program, and Enter on it programs
// nothing.
TEST(GuardFactoryMap, SuggestedLimitsKeepItASpikeComesFirstAndEnterDoesNotProgram) {
  TempConfig cfg;
  Pty pty;
  cfg.writeState(WriteStateText(NewConfiguration(), AllFlags{}));
  cfg.writeSettings(PortsSection(pty.slave()) + "[BASIC]\nPageControl1->ActivePageIndex=2\n");
  Window w({}, {}, [](FormHlavOptions& o) { o.askQuestion = nullptr; });  // real message boxes
  FormHlavPeer& form = *w.form;
  LimitGuard& guard = form.limitGuard();
  guard.runDialog = [](QDialog& d) {
    auto& dialog = dynamic_cast<LimitsDialog&>(d);
    dialog.suggestButton()->click();
    dialog.findChild<QPushButton*>("ButtonLimitsOk")->click();
    return dialog.result();
  };
  guard.limitsAction()->trigger();
  ASSERT_TRUE(form.workspace().limits().any());
  EXPECT_TRUE(guard.violations().empty());

  const int spike = CellByte(*MapOfPage(kPageAdvance1), 9, 6);  // row 9 shows in every layout
  form.workspace().change([spike](ParameterImage& im) { im.setByte(spike, 58); }, kPageAdvance1);
  ASSERT_GT(guard.violations().size(), 1u);
  QString asked;
  QTimer::singleShot(0, [&asked] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    asked = box->text();
    QWidget* focus = box->focusWidget() != nullptr ? box->focusWidget() : box;
    QTest::keyClick(focus, Qt::Key_Return);
  });
  pty.drain();
  form.findChild<QAction*>("MenuProgram")->trigger();
  const QStringList lines = asked.split('\n');
  ASSERT_GE(lines.size(), 2);
  EXPECT_TRUE(lines[1].contains("58")) << asked.toStdString();
  bool sent = false;
  TickUntil(form, [&] {
    for (const FrameBytes& f : pty.readFrames()) sent = sent || f[0] == kCmdProgram;
    return sent;
  }, 400);
  EXPECT_FALSE(sent);
  EXPECT_FALSE(form.exchange().busy());
}

}  // namespace
}  // namespace rq::test
