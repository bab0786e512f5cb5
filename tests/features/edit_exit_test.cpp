// SPDX-License-Identifier: GPL-3.0-or-later
// Leaving a field is an edit's exit: the page is read back and the after-change step runs
// whether or not the value changed, so that with "Programming after change" ticked every
// exit after the first real change programs the unit.
#include <QApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include "fake_window.h"
#include "pages/controls.h"

namespace rq::test {
namespace {

TEST(EditExit, LeavingAnUnchangedFieldRunsTheAfterChangeStep) {
  FakeWindow w;
  w.showPage(kPageInputs);
  w.show();
  QApplication::setActiveWindow(&w);
  auto* field = w.findChild<SpinEdit*>("EditHardLimiter");
  auto* other = w.findChild<SpinEdit*>("EditSoftLimiter");
  ASSERT_NE(field, nullptr);
  ASSERT_NE(other, nullptr);
  field->setFocus();
  ASSERT_TRUE(w.runUntilIdle());
  w.workspace().setProgramAfterChange(true);

  // Ticked, leaving an unchanged field programs nothing yet: the first step after the box was
  // ticked programs only a real change.
  other->setFocus();
  EXPECT_FALSE(w.workspace().exchange().busy());
  const int refreshes = w.refreshes;
  field->setFocus();
  field->stepBy(1);  // a real change: one undo step, programmed
  EXPECT_GT(w.refreshes, refreshes);
  EXPECT_TRUE(w.workspace().exchange().busy());
  ASSERT_TRUE(w.runUntilIdle());
  // Every later exit programs, changed or not.
  const int before = w.refreshes;
  other->setFocus();
  EXPECT_GT(w.refreshes, before);
  EXPECT_TRUE(w.workspace().exchange().busy());
  ASSERT_TRUE(w.runUntilIdle());
  // Enter is one after-change step, not one more for the exit it makes.
  const int beforeEnter = w.refreshes;
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(other, &enter);
  EXPECT_EQ(w.refreshes, beforeEnter + 1);
  EXPECT_NE(QApplication::focusWidget(), other);
}

}  // namespace
}  // namespace rq::test
