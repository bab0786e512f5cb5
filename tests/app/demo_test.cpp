// SPDX-License-Identifier: GPL-3.0-or-later
// The demo as a new user meets it: the window on the simulated unit started as the demo
// starts it, F7 reads and verifies OK, F8 verifies OK, with no message on the way.
#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

#include "app/demo_unit.h"
#include "support.h"

namespace rq::test {
namespace {

#ifdef RQ_SIM_PROGRAM

TEST(Demo, TheFirstReadAndAVerifyEndOkWithEveryDemoOption) {
  for (const bool ab : {false, true}) {
    TempConfig cfg;
    DemoUnit unit;
    QString error;
    ASSERT_TRUE(unit.start(DemoSimulatorArguments(ab), error, 5000, RQ_SIM_PROGRAM))
        << error.toStdString();
    Window w({}, unit.devicePath().toStdString());
    FormHlavPeer& form = *w.form;
    ASSERT_TRUE(TickUntil(form, [&] { return form.connected(); }, 15000)) << ab;
    // The simulated unit stands on the port the demo runs on; the other ports are the machine's.
    auto* com = form.findChild<QMenu*>("MenuCom");
    emit com->aboutToShow();
    int onUnit = 0;
    for (const QAction* a : com->actions()) onUnit += a->text().contains(unit.devicePath());
    EXPECT_EQ(onUnit, 1);
    for (const bool read : {true, false}) {
      if (read) form.MenuReadClick();
      else form.MenuVerifyClick();
      ASSERT_TRUE(TickUntil(form, [&] { return !form.exchange().busy(); }, 15000)) << ab << read;
      const auto& end = form.exchange().lastEnd();
      ASSERT_TRUE(end.has_value());
      EXPECT_EQ(end->outcome, Outcome::Ok) << "ab " << ab << (read ? " read" : " verify");
      EXPECT_EQ(form.exchange().view().statusText, StatusText::Verifying);
      EXPECT_EQ(form.exchange().view().statusSuffix, ": OK");
    }
    EXPECT_TRUE(w.messages.empty()) << w.messages.front().toStdString();
  }
}

#endif  // RQ_SIM_PROGRAM

}  // namespace
}  // namespace rq::test
