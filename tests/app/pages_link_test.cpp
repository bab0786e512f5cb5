// SPDX-License-Identifier: GPL-3.0-or-later
// The pages against a unit on the line: test buttons through monitor requests, the live marks,
// Programming after change around a running read, and the same bytes programmed by the window
// and by the command-line tool.
#include <QCheckBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "app/demo_unit.h"
#include "model/config_file.h"
#include "model/defaults.h"
#include "model/ign_file.h"
#include "model/state_file.h"
#include "pages/controls.h"
#include "pages/page_set.h"
#include "support.h"

namespace rq::test {
namespace {

class PagesOnTheLine : public ::testing::Test {
 protected:
  void SetUp() override {
    cfg_.writeSettings(PortsSection(pty_.slave()));
    w_ = std::make_unique<Window>();
  }
  FormHlavPeer& form() { return *w_->form; }
  bool deliver(const MonitorSnapshot& s) {
    pty_.write(EncodeMonitor(s));
    return TickUntil(form(), [&] { return form().exchange().lastMonitor() == s; }, 2000, &pty_);
  }
  void connect() {
    ASSERT_TRUE(deliver(UnitReply({.rpm = 1})));
    ASSERT_TRUE(TickUntil(form(), [&] { return form().exchange().connected(); }));
  }
  // The next monitor request the window sends.
  std::optional<FrameBytes> nextMonitorRequest() {
    std::optional<FrameBytes> found;
    TickUntil(form(), [&] {
      for (const FrameBytes& f : pty_.readFrames())
        if (f[0] == kCmdMonitor && !found) found = f;
      return found.has_value();
    });
    return found;
  }
  QPushButton* button(const char* name) { return form().findChild<QPushButton*>(name); }

  TempConfig cfg_;
  Pty pty_;
  std::unique_ptr<Window> w_;
};

TEST_F(PagesOnTheLine, TestClicksTravelOnceWithTheNextMonitorRequest) {
  connect();
  form().findChild<QTabWidget*>("PageControl1")->setCurrentIndex(kPageTests);
  pty_.readFrames();
  button("ButtonTestIgn1")->click();
  button("ButtonTestPOut3")->click();
  button("ButtonTestServoPlus")->click();
  button("ButtonTestServoMinus")->click();
  const auto first = nextMonitorRequest();
  ASSERT_TRUE(first);
  EXPECT_EQ((*first)[21], 0x01);
  EXPECT_EQ((*first)[22], 0x04);
  EXPECT_EQ((*first)[23], 0x03);
  const auto second = nextMonitorRequest();
  ASSERT_TRUE(second);
  EXPECT_EQ((*second)[21], 0);
  EXPECT_EQ((*second)[22], 0);
  EXPECT_EQ((*second)[23], 0);
}

TEST_F(PagesOnTheLine, TestButtonsFollowThePickupFlagOfEveryReplyOnAnyPage) {
  connect();
  form().findChild<QTabWidget*>("PageControl1")->setCurrentIndex(kPageBike);
  ASSERT_TRUE(deliver(UnitReply({.rpm = 1500, .pickupSignal = {1, 0}})));
  EXPECT_FALSE(button("ButtonTestRpm")->isEnabled());
  EXPECT_FALSE(button("ButtonTestIgn2")->isEnabled());
  ASSERT_TRUE(deliver(UnitReply({.rpm = 0})));
  EXPECT_TRUE(button("ButtonTestRpm")->isEnabled());
}

TEST_F(PagesOnTheLine, LiveGearIsMarkedForGearsOneToSixOnly) {
  ParameterImage im = NewConfiguration();
  im.setByte(kGearSystem, 1);
  im.setByte(kGearCount, 6);
  form().image() = im;
  auto* tabs = form().findChild<QTabWidget*>("PageControl1");
  tabs->setCurrentIndex(kPageRace);
  connect();
  auto lime = [&](const char* name) {
    auto* w = form().findChild<QWidget*>(name);
    return w->autoFillBackground() && w->palette().color(QPalette::Base) == QColor(0, 255, 0);
  };
  ASSERT_TRUE(deliver(UnitReply({.gear = 3})));
  form().Timer1Timer();
  EXPECT_TRUE(lime("EditGearKorLimiter3"));
  EXPECT_TRUE(lime("EditClutchTime3"));
  EXPECT_FALSE(lime("EditGearKorLimiter2"));
  // Neutral shares row 0 with first gear: its edits are lime, its labels are not.
  ASSERT_TRUE(deliver(UnitReply({.gear = 0})));
  form().Timer1Timer();
  for (const char* n : {"EditGearKorAdv1", "EditClutchTime1", "EditGearKorPOut4_1"})
    EXPECT_TRUE(lime(n)) << n << " in gear 0";
  for (const char* n : {"LabelGearKor1", "LabelRaceGear1", "EditGearKorAdv3"})
    EXPECT_FALSE(lime(n)) << n << " in gear 0";
  ASSERT_TRUE(deliver(UnitReply({.gear = 1})));
  form().Timer1Timer();
  EXPECT_TRUE(lime("EditGearKorAdv1"));
  EXPECT_TRUE(lime("LabelGearKor1"));
  EXPECT_TRUE(lime("LabelRaceGear1"));
  for (int gear : {7, 255}) {
    ASSERT_TRUE(deliver(UnitReply({.gear = static_cast<std::uint8_t>(gear)})));
    form().Timer1Timer();
    for (const char* n : {"EditGearKorAdv1", "EditGearKorAdv3", "EditClutchTime6", "LabelGearKor1"})
      EXPECT_FALSE(lime(n)) << n << " in gear " << gear;
  }
  // Teaching takes the live voltage of the connected unit.
  tabs->setCurrentIndex(kPageGear);
  ASSERT_TRUE(deliver(UnitReply({.gearMv = 2345, .gear = 3})));
  button("ButtonGear3")->click();
  EXPECT_EQ(form().image()[kGearVoltage[3]], 2345);
  form().Timer1Timer();
  EXPECT_TRUE(lime("EditGearNapeti3"));
  // And the throttle buttons the live sensor voltage, to the nearest 10 mV, within range.
  tabs->setCurrentIndex(kPageInputs);
  for (auto [mv, stored] : {std::pair{4955, -1}, std::pair{4950, 4950}, std::pair{4204, 4200}}) {
    const int before = form().image()[kTps100];
    ASSERT_TRUE(deliver(UnitReply({.throttleMv = static_cast<std::uint16_t>(mv)})));
    button("BitBtnTps100")->click();
    EXPECT_EQ(form().image()[kTps100], stored < 0 ? before : stored) << mv;
  }
}

#ifdef RQ_SIM_PROGRAM

class PagesWithUnit : public ::testing::Test {
 protected:
  void startUnit(DemoUnit& unit, const ParameterImage& config) {
    const QString file = cfg_.path(QString("unit%1.state").arg(++units_));
    std::ofstream(file.toStdString()) << WriteStateText(config, AllFlags{});
    QString error;
    ASSERT_TRUE(unit.start({"--image", file, "--engine", "off"}, error, 5000, RQ_SIM_PROGRAM))
        << error.toStdString();
    cfg_.writeSettings(PortsSection(unit.devicePath().toStdString()));
  }
  static bool waitStatus(FormHlavPeer& form, const QString& status) {
    auto* label = form.findChild<QLabel*>("LabelHlaseni");
    return TickUntil(form, [&] { return label->text() == status; }, 20000);
  }
  // The configuration the unit holds, read by a fresh window.
  ParameterImage readUnit() {
    Window w;
    w.form->MenuReadClick();
    EXPECT_TRUE(waitStatus(*w.form, "Verify:: OK"));
    return w.form->image();
  }

  TempConfig cfg_;
  int units_ = 0;
};

TEST_F(PagesWithUnit, AReadTakesNoEditsSaysWhyAndNeverEndsInAProgramming) {
  DemoUnit unit;
  ParameterImage held = NewConfiguration();
  held.setByte(164, 107);  // tachometer correction +7 in the unit
  startUnit(unit, held);
  Window w;
  FormHlavPeer& form = *w.form;
  form.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(kPageBike);
  form.findChild<QCheckBox*>("CheckBoxProgHned")->setChecked(true);
  auto* edit = form.findChild<SpinEdit*>("EditRpmKorekce");
  auto* status = form.findChild<QStatusBar*>("StatusBar1");
  const QString why = "Reading the unit: the pages take no changes until the read has ended";
  form.MenuReadClick();
  ASSERT_EQ(form.exchange().state().op, OpState::Read);
  // The pages are greyed out and the status bar says why; typing reaches nothing.
  EXPECT_FALSE(edit->isEnabled());
  EXPECT_EQ(status->currentMessage(), why);
  edit->setFocus();
  QTest::keyClicks(edit, "17");
  QTest::keyClick(edit, Qt::Key_Return);
  // An edit that gets through all the same (set by program, committed) is refused aloud and
  // the field shows the stored value again; so are undo and the map tools' paths.
  status->clearMessage();
  edit->setValue(17);
  form.pageSet().kit().commitEdit();
  EXPECT_EQ(status->currentMessage(), why);
  EXPECT_EQ(edit->value(), ShownValue(form.image(), *FindParameter("UpDownRpmKorekce")));
  form.SpeedButtonZpetClick();
  // The engine's operations in order: the read and its verify, and no programming.
  std::vector<OpState> ops{OpState::Read};
  TickUntil(form, [&] {
    const OpState op = form.exchange().state().op;
    if (op != ops.back()) ops.push_back(op);
    return op == OpState::Idle;
  }, 30000);
  for (int i = 0; i < 20; ++i) {  // a pending programming would start on one of these ticks
    form.Timer1Timer();
    if (form.exchange().state().op != ops.back()) ops.push_back(form.exchange().state().op);
  }
  EXPECT_EQ(std::count(ops.begin(), ops.end(), OpState::Program), 0);
  ASSERT_EQ(ops.size(), 3u);
  EXPECT_EQ(ops[1], OpState::Verify);
  EXPECT_EQ(form.image().byte(164), 107);
  EXPECT_EQ(edit->value(), 7);
  // After the read the pages take edits again, and one edit programs once.
  EXPECT_TRUE(edit->isEnabled());
  EXPECT_NE(status->currentMessage(), why);
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, "17");
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(form.image().byte(164), 117);
  ops = {form.exchange().state().op};
  EXPECT_EQ(ops[0], OpState::Program);
  TickUntil(form, [&] {
    const OpState op = form.exchange().state().op;
    if (op != ops.back()) ops.push_back(op);
    return op == OpState::Idle;
  }, 30000);
  EXPECT_EQ(std::count(ops.begin(), ops.end(), OpState::Program), 1);
  const ParameterImage now = form.image();
  form.close();
  EXPECT_TRUE(readUnit().sameConfig(now));
}

TEST_F(PagesWithUnit, WindowAndCommandLineProgramTheSameBytesForOneFile) {
  // A file whose gear system takes input 2 over while the file still says "Clutch master".
  ParameterImage file = NewConfiguration();
  file.setByte(675, 1);
  file.setByte(167, 3);
  const QString path = cfg_.path("x.ign");
  std::ofstream(path.toStdString(), std::ios::binary) << WriteIgnText(file);

  DemoUnit byCli, byWindow;
  startUnit(byCli, NewConfiguration());
  QProcess cli;
  cli.start(RQ_CLI_PROGRAM, {"program", "--port", byCli.devicePath(), path});
  ASSERT_TRUE(cli.waitForFinished(60000));
  ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();

  startUnit(byWindow, NewConfiguration());
  {
    Window w;
    LoadedConfiguration loaded;
    std::string error;
    ASSERT_TRUE(LoadConfigurationFile(path.toStdString(), loaded, error)) << error;
    for (int i = 0; i < kConfigSize; ++i) w.form->image().setByte(i, loaded.image.byte(i));
    w.form->RefreshPages();
    w.form->MenuProgramClick();
    ASSERT_TRUE(waitStatus(*w.form, "Program device:: OK"));
    w.form->close();
  }
  const ParameterImage windowUnit = readUnit();
  cfg_.writeSettings(PortsSection(byCli.devicePath().toStdString()));
  const ParameterImage cliUnit = readUnit();
  EXPECT_TRUE(windowUnit.sameConfig(cliUnit));
  EXPECT_EQ(cliUnit.byte(167), 7);
}

#endif  // RQ_SIM_PROGRAM

}  // namespace
}  // namespace rq::test
