// SPDX-License-Identifier: GPL-3.0-or-later
// The guard rails in the whole window: the limits of the settings file read at start, the
// marks and status line of the configuration of the last run, the menu items after the
// described ones, and Program (F9) with a broken limit asking first, on a line to a unit.
#include <QAction>
#include <QImage>
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
  FormHlav& form() { return *w_->form; }
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

}  // namespace
}  // namespace rq::test
