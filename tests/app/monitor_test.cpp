// SPDX-License-Identifier: GPL-3.0-or-later
// The live monitor, the status line and the connection labels as the window shows them, fed
// with frames through the real receive path (a pseudo-terminal opened as COM1).
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

#include "support.h"

namespace rq::test {
namespace {

class MonitorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cfg_.writeSettings(PortsSection(pty_.slave()));
    w_ = std::make_unique<Window>();
    ASSERT_TRUE(w_->messages.empty());
  }
  FormHlavPeer& form() { return *w_->form; }
  QLabel* label(const char* name) { return form().findChild<QLabel*>(name); }
  QProgressBar* gauge(const char* name) { return form().findChild<QProgressBar*>(name); }

  // Puts a reply on the line and waits until the window has taken it.
  bool deliver(const MonitorSnapshot& s) {
    pty_.write(EncodeMonitor(s));
    return TickUntil(form(), [&] { return form().exchange().lastMonitor() == s; }, 2000, &pty_);
  }
  // The first reply after silence brings the link up; the next one shows values.
  void connect() {
    ASSERT_TRUE(deliver(UnitReply({.rpm = 1})));
    ASSERT_TRUE(TickUntil(form(), [&] { return form().exchange().connected(); }));
  }
  static QColor background(QLabel* l) {
    return l->autoFillBackground() ? l->palette().color(QPalette::Window) : QColor();
  }

  TempConfig cfg_;
  Pty pty_;
  std::unique_ptr<Window> w_;
};

TEST_F(MonitorTest, WithoutConnectionValuesAreDashesAndBarsEmptyButWarningsFollowTheReply) {
  EXPECT_EQ(label("LabelRpm")->text(), "RPM = ---");
  EXPECT_EQ(label("LabelMonInput1")->text(), "Input 1 = ---");
  ASSERT_TRUE(deliver(UnitReply({.rpm = 3000, .supplyMv = 7000, .dataError = 1})));
  EXPECT_EQ(label("LabelRpm")->text(), "RPM = ---");
  EXPECT_EQ(gauge("CGaugeRpm")->value(), 0);
  EXPECT_EQ(background(label("LabelNapeti")), QColor(255, 0, 0));
  EXPECT_FALSE(label("LabelEeDataErr")->isHidden());
}

TEST_F(MonitorTest, ConnectedReplyIsRenderedIntoLabelsColoursAndGauges) {
  form().image().setWord(kHardLimiter, 0);        // no hard limiter: the rpm gauge runs to 150000
  form().image().setByte(kPowerMode[1], 0);      // power output 2 off
  connect();
  const MonitorSnapshot f = UnitReply({.rpm = 4500,
                                       .throttle = 999,
                                       .supplyMv = 11000,
                                       .potAdvanceRaw = 985,
                                       .input = {0, 1, 0},
                                       .powerOut = {0, 1, 0, 0},
                                       .dataError = 1,
                                       .version = 80});
  ASSERT_TRUE(deliver(f));
  EXPECT_EQ(label("LabelRpm")->text(), "RPM = 4500");
  EXPECT_EQ(label("LabelMonTpsPromile")->text(), "TP = 99 %");
  EXPECT_EQ(gauge("CGaugeTps")->value(), 999);
  EXPECT_EQ(gauge("CGaugeRpm")->maximum(), 150000);
  EXPECT_EQ(gauge("CGaugeRpm")->value(), 4500);
  EXPECT_EQ(label("LabelNapeti")->text(), "U = 11.0 V");
  EXPECT_EQ(background(label("LabelNapeti")), QColor(255, 255, 0));
  EXPECT_EQ(label("LabelMonPotKorAdv")->text(), "Advance = -1.5 °");
  EXPECT_EQ(label("LabelMonInput1")->text(), "Input 1 = YES");
  EXPECT_EQ(background(label("LabelMonInput1")), QColor(0, 255, 255));
  EXPECT_EQ(label("LabelMonInput2")->text(), "Input 2 = NO");
  EXPECT_FALSE(label("LabelMonInput2")->autoFillBackground());
  EXPECT_EQ(label("LabelMonPOut2")->text(), "Special out = YES");
  EXPECT_EQ(background(label("LabelMonPOut2")), QColor(255, 255, 255));
  EXPECT_FALSE(label("LabelEeDataErr")->isHidden());
  EXPECT_FALSE(label("LabelVersion")->isHidden());
  EXPECT_EQ(label("LabelVersion")->text(),
            "Unmatched version of PC and Ignition programs!  PC-79, IGN-80");
  // Tall enough for every line of the wrapped warning, the numbers included.
  EXPECT_GE(label("LabelVersion")->height(),
            label("LabelVersion")->heightForWidth(label("LabelVersion")->width()));
  EXPECT_TRUE(label("LabelSpojeni")->isHidden());

  // Back to normal: the warnings go, the colours return to the button face.
  ASSERT_TRUE(deliver(UnitReply({.rpm = 4600, .supplyMv = 13000, .input = {1, 0, 0}})));
  EXPECT_TRUE(label("LabelEeDataErr")->isHidden());
  EXPECT_TRUE(label("LabelVersion")->isHidden());
  EXPECT_FALSE(label("LabelNapeti")->autoFillBackground());
  EXPECT_FALSE(label("LabelMonInput1")->autoFillBackground());

  // A language change renders the same reply again at once.
  form().findChild<QAction*>("MenuGerman")->trigger();
  EXPECT_EQ(label("LabelMonInput1")->text(), "Eingang 1 = NEIN");
  EXPECT_EQ(form().windowTitle(), QString::fromUtf8("Programmierung der RQ_VTMX4_Kelvora Zündbox"));
  EXPECT_TRUE(form().findChild<QAction*>("MenuGerman")->isChecked());
  EXPECT_FALSE(form().findChild<QAction*>("MenuEnglish")->isChecked());
}

TEST_F(MonitorTest, CorruptReplyIsIgnoredAndSilenceShowsNoConnection) {
  connect();
  ASSERT_TRUE(deliver(UnitReply({.rpm = 2000, .version = 80})));
  ASSERT_FALSE(label("LabelVersion")->isHidden());
  FrameBytes bad = EncodeMonitor(UnitReply({.rpm = 9999}));
  bad[151] ^= 0x01;
  pty_.write(bad);
  TickUntil(form(), [] { return false; }, 300, &pty_);
  EXPECT_EQ(label("LabelRpm")->text(), "RPM = 2000");

  // No more replies: after 18 ticks "No Connection", the version label goes, and the last
  // values are no longer shown as if they were live.
  ASSERT_TRUE(TickUntil(form(), [&] { return !label("LabelSpojeni")->isHidden(); }, 3000, &pty_));
  EXPECT_TRUE(label("LabelVersion")->isHidden());
  EXPECT_EQ(label("LabelRpm")->text(), "RPM = ---");
  EXPECT_EQ(label("LabelMonSnimac1")->text(), "Pick-up (CKPS) 1 = ---");
  EXPECT_EQ(gauge("CGaugeRpm")->value(), 0);
}

TEST_F(MonitorTest, UnitThatNeverAnswersEndsTheReadInRed) {
  form().MenuReadClick();
  EXPECT_EQ(label("LabelHlaseni")->text(), "Read:");
  EXPECT_FALSE(label("LabelHlaseni")->isHidden());
  EXPECT_FALSE(gauge("CGaugeProgram")->isHidden());
  EXPECT_FALSE(label("LabelHlaseni")->autoFillBackground());
  int requests = 0;
  ASSERT_TRUE(TickUntil(form(), [&] {
    for (const FrameBytes& f : pty_.readFrames()) requests += f[0] == kCmdRead;
    return label("LabelHlaseni")->text() == "Read error!";
  }, 5000));
  EXPECT_EQ(requests, 5);
  EXPECT_EQ(background(label("LabelHlaseni")), QColor(255, 0, 0));
}

TEST_F(MonitorTest, IdentificationOfAnotherVersionIsReported) {
  form().MenuReadClick();
  std::array<std::uint8_t, kPayloadSize> ident{};
  ident[kIdentVersionOffset] = 78;
  bool answered = false;
  ASSERT_TRUE(TickUntil(form(), [&] {
    for (const FrameBytes& f : pty_.readFrames()) {
      if (f[0] == kCmdRead && !answered) {
        pty_.write(BuildFrame(kCmdRead | kReplyBit, ident));
        answered = true;
      }
    }
    return !w_->messages.empty();
  }, 3000));
  EXPECT_EQ(w_->messages[0], "Unmatched version of PC and Ignition programs!  PC-79, IGN-78");
  EXPECT_FALSE(form().exchange().busy());
}

TEST_F(MonitorTest, ShortcutsWorkFromAnyPage) {
  form().show();
  form().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
  auto* pages = form().findChild<QTabWidget*>("PageControl1");

  pages->setCurrentIndex(kPageMonitor);
  QTest::keyClick(&form(), Qt::Key_F7);
  EXPECT_EQ(form().exchange().state().op, OpState::Read);
  pages->setCurrentIndex(kPageAdvance1);
  QTest::keyClick(&form(), Qt::Key_F8);
  EXPECT_EQ(form().exchange().state().op, OpState::Verify);
  QTest::keyClick(&form(), Qt::Key_F9);
  EXPECT_EQ(form().exchange().state().op, OpState::Program);

  // Undo and redo of a change, with Ctrl+Z and Ctrl+Alt+Z.
  const std::uint8_t before = form().image().byte(300);
  form().image().setByte(300, before + 1);
  form().AfterChange();
  EXPECT_TRUE(form().findChild<QAction*>("MenuZpet")->isEnabled());
  QTest::keyClick(&form(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(form().image().byte(300), before);
  EXPECT_FALSE(form().findChild<QAction*>("MenuZpet")->isEnabled());
  QTest::keyClick(&form(), Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(form().image().byte(300), before + 1);

  // An edit field with the focus does not keep Ctrl+Z to itself.
  auto* edit = new QLineEdit(pages->widget(kPageBike));
  pages->setCurrentIndex(kPageBike);
  edit->show();
  edit->setFocus();
  QTest::keyClicks(edit, "12");
  ASSERT_TRUE(edit->hasFocus());
  QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(form().image().byte(300), before);
  EXPECT_EQ(edit->text(), "12");
}

}  // namespace
}  // namespace rq::test

namespace rq::test {
namespace {

// With a dark desktop palette every label of the live strip stays readable: black on lime,
// yellow and aqua, the window's own light text elsewhere, also after a colour went back.
TEST(MonitorDarkPalette, LiveStripLabelsKeepReadableText) {
  const QPalette saved = QApplication::palette();
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(32, 32, 32));
  dark.setColor(QPalette::Button, QColor(45, 45, 45));
  dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
  dark.setColor(QPalette::Base, QColor(20, 20, 20));
  dark.setColor(QPalette::Text, QColor(230, 230, 230));
  QApplication::setPalette(dark);
  {
    TempConfig cfg;
    Pty pty;
    cfg.writeSettings(PortsSection(pty.slave()));
    Window w;
    FormHlavPeer& form = *w.form;
    auto deliver = [&](const MonitorSnapshot& s) {
      pty.write(EncodeMonitor(s));
      return TickUntil(form, [&] { return form.exchange().lastMonitor() == s; }, 2000, &pty);
    };
    auto readable = [&](const char* name) {
      auto* l = form.findChild<QLabel*>(name);
      const QColor back = l->autoFillBackground() ? l->palette().color(QPalette::Window)
                                                  : l->parentWidget()->palette().color(QPalette::Window);
      const QColor text = l->palette().color(QPalette::WindowText);
      return std::abs(back.lightness() - text.lightness()) >= 96;
    };
    ASSERT_TRUE(deliver(UnitReply({.rpm = 1})));
    ASSERT_TRUE(TickUntil(form, [&] { return form.exchange().connected(); }));
    const char* names[] = {"LabelNapeti", "LabelMonInput1", "LabelMonInput3", "LabelRpm",
                           "LabelMonAdv", "LabelGear", "LabelMonSpeed", "LabelCom"};
    ASSERT_TRUE(deliver(UnitReply({.rpm = 4500, .supplyMv = 11000, .input = {0, 1, 1}})));
    for (const char* n : names) EXPECT_TRUE(readable(n)) << n << " coloured";
    ASSERT_TRUE(deliver(UnitReply({.rpm = 4600, .supplyMv = 13000, .input = {1, 0, 0}})));
    for (const char* n : names) EXPECT_TRUE(readable(n)) << n << " back to normal";
    // The gauges' troughs are the desktop's fields, not white.
    for (const char* g : {"CGaugeRpm", "CGaugeTps", "CGaugeAkcel"})
      EXPECT_EQ(form.findChild<QProgressBar*>(g)->palette().color(QPalette::Base),
                QColor(20, 20, 20))
          << g;
  }
  QApplication::setPalette(saved);
}

}  // namespace
}  // namespace rq::test
