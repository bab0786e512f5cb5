// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up from the settings, state and marker files, and what the close leaves behind.
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <csignal>

#include "model/ini_file.h"
#include "app/signal_close.h"
#include "model/defaults.h"
#include "model/state_file.h"
#include "support.h"

namespace rq::test {
namespace {

QLabel* Label(FormHlavPeer& f, const char* name) { return f.findChild<QLabel*>(name); }
QAction* Action(FormHlavPeer& f, const char* name) { return f.findChild<QAction*>(name); }

IniFile ParseIni(const std::string& text) {
  IniFile ini;
  ini.parse(text);
  return ini;
}

TEST(StartUp, WithoutAnyFileTheWindowIsCentredWithDefaults) {
  TempConfig cfg;
  Window w;
  FormHlavPeer& f = *w.form;
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(f.x(), (screen.width() - f.width()) / 2);
  EXPECT_EQ(f.y(), (screen.height() - f.height()) / 2);
  EXPECT_EQ(f.exchange().portSettings().comPort, 0);
  EXPECT_EQ(Label(f, "LabelCom")->text(), "COM= COM1");
  EXPECT_TRUE(Action(f, "MenuComItem1")->isChecked());
  EXPECT_EQ(f.language(), kLanguageEnglish);
  EXPECT_TRUE(Action(f, "MenuEnglish")->isChecked());
  EXPECT_FALSE(Action(f, "MenuGerman")->isChecked());
  EXPECT_EQ(f.windowTitle(), "Programming of RQ_VTMX4_Kelvora unit");
  EXPECT_TRUE(f.image().sameConfig(NewConfiguration()));
  EXPECT_EQ(f.currentPage(), kPageBike);
  if (!QFileInfo::exists("/dev/ttyUSB0")) {
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0],
              "Com opening error!\nCOM1 = /dev/ttyUSB0: no such device (is the adapter plugged in?)");
  }
  // Start-up hides the status line, the error and version labels and the test labels, and
  // the link starts without a connection.
  EXPECT_TRUE(Label(f, "LabelHlaseni")->isHidden());
  EXPECT_TRUE(Label(f, "LabelVersion")->isHidden());
  EXPECT_TRUE(Label(f, "LabelEeDataErr")->isHidden());
  EXPECT_TRUE(Label(f, "LabelTest1")->isHidden());
  EXPECT_FALSE(Label(f, "LabelSpojeni")->isHidden());
  EXPECT_EQ(Label(f, "LabelRpm")->text(), "RPM = ---");
}

TEST(StartUp, PortSettingIsRepairedOrSelectsAutomaticSearch) {
  struct Case {
    const char* comPort;
    int expectedSetting;
    const char* expectedLabel;
  };
  // COM4 does not exist here: automatic search starts with it and says nothing.
  for (const Case& c : {Case{"0", 0, "COM= COM1"}, Case{"99", 0, "COM= COM1"},
                        Case{"21", kComAuto, "COM= COM4"}}) {
    SCOPED_TRACE(c.comPort);
    TempConfig cfg;
    Pty pty;
    cfg.writeSettings(std::string("[BASIC]\nComPort=") + c.comPort + "\nComPortAuto=4\n" +
                      PortsSection(pty.slave()) + "COM4=/nonexistent/tty4\n");
    Window w;
    EXPECT_EQ(w.form->exchange().portSettings().comPort, c.expectedSetting);
    EXPECT_EQ(Label(*w.form, "LabelCom")->text(), c.expectedLabel);
    EXPECT_TRUE(w.messages.empty());
    if (c.expectedSetting == kComAuto) {
      EXPECT_TRUE(Action(*w.form, "MenuComItem21")->isChecked());
      EXPECT_EQ(Label(*w.form, "LabelCom")->toolTip(), "/nonexistent/tty4");
    }
  }
}

TEST(StartUp, FixedPortThatCannotBeOpenedIsReportedInTheChosenLanguage) {
  TempConfig cfg;
  cfg.writeSettings("[BASIC]\nComPort=2\nLanguage=3\n[PORTS]\nCOM2=/nonexistent/tty\n");
  Window w;
  ASSERT_EQ(w.messages.size(), 1u);
  EXPECT_TRUE(w.messages[0].startsWith(QString::fromUtf8("Chyba při otevírání portu Com!\n"))) << w.messages[0].toStdString();
  EXPECT_TRUE(w.messages[0].contains(QString::fromUtf8("zařízení neexistuje"))) << w.messages[0].toStdString();
}

TEST(StartUp, LanguageFromSettingsAndCommandLine) {
  struct Case {
    const char* settings;
    QStringList args;
    int expected;
  };
  for (const Case& c : {Case{"7", {}, kLanguageEnglish}, Case{"2", {"DEUTSCH"}, kLanguageGerman},
                        Case{"2", {"deutsch"}, kLanguageFrench},
                        Case{"0", {"CESKY", "ENGLISH"}, kLanguageCzech}}) {
    SCOPED_TRACE(c.settings);
    TempConfig cfg;
    Pty pty;
    cfg.writeSettings(std::string("[BASIC]\nLanguage=") + c.settings + "\n" + PortsSection(pty.slave()));
    {
      Window w(c.args);
      EXPECT_EQ(w.form->language(), c.expected);
      const char* items[] = {"MenuEnglish", "MenuGerman", "MenuFrench", "MenuCzech"};
      for (int i = 0; i < 4; ++i) EXPECT_EQ(Action(*w.form, items[i])->isChecked(), i == c.expected);
      w.form->close();
    }
    EXPECT_EQ(ParseIni(cfg.readSettings()).intValue("BASIC", "Language", -1), c.expected);
  }
}

TEST(StartUp, StateFileFillsTheImageAsFarAsItGoes) {
  TempConfig cfg;
  Pty pty;
  cfg.writeSettings(PortsSection(pty.slave()));
  // A short file: the defaults up to the unused bytes 132..135, which get marks; 300 keeps
  // its low byte, 44.
  const ParameterImage defaults = NewConfiguration();
  std::string text;
  for (int i = 0; i < 132; ++i) text += std::to_string(defaults.byte(i)) + (i % 10 == 9 ? "\n" : " ");
  text += "11 22 33 300";
  cfg.writeState(text);
  Window w;
  const ParameterImage& image = w.form->image();
  EXPECT_EQ(image.byte(132), 11);
  EXPECT_EQ(image.byte(133), 22);
  EXPECT_EQ(image.byte(134), 33);
  EXPECT_EQ(image.byte(135), 44);
  for (int i = 136; i < kConfigSize; ++i) ASSERT_EQ(image.byte(i), defaults.byte(i)) << i;
  for (std::uint8_t flag : w.form->allFlags()) EXPECT_EQ(flag, 0);
}

TEST(StartUp, MarkerWordSwitchesTheTestLabelsOn) {
  struct Case {
    const char* text;
    bool on;
  };
  for (const Case& c : {Case{"first DIAG_UNLOCK\nlast", true}, Case{"\tDIAG_UNLOCK", true},
                        Case{"diag_unlock", false}, Case{"DIAG_UNLOCKED", false}}) {
    SCOPED_TRACE(c.text);
    TempConfig cfg;
    Pty pty;
    cfg.writeSettings(PortsSection(pty.slave()));
    cfg.writeMarker(c.text);
    Window w;
    EXPECT_EQ(w.form->testMode(), c.on);
    for (int i = 1; i <= 8; ++i) {
      const QByteArray name = "LabelTest" + QByteArray::number(i);
      EXPECT_EQ(Label(*w.form, name.constData())->isHidden(), !c.on);
    }
  }
}

TEST(StartUp, LastPageAndPlacementComeBack) {
  TempConfig cfg;
  Pty pty;
  cfg.writeSettings("[BASIC]\nLeft=40\nTop=30\nWidth=700\nHeight=600\nFile=bike.ign\nIniDir=/home/x/bike.ign\n"
                    "PageControl1->ActivePageIndex=10\n" + PortsSection(pty.slave()));
  Window w;
  EXPECT_EQ(w.form->currentPage(), kPageMonitor);
  EXPECT_EQ(w.form->findChild<QTabWidget*>("PageControl1")->currentIndex(), kPageMonitor);
  EXPECT_EQ(w.form->pos(), QPoint(40, 30));
  EXPECT_EQ(w.form->size(), QSize(700, 600));
  EXPECT_EQ(w.form->fileName(), "bike.ign");
  EXPECT_EQ(w.form->iniDir(), "/home/x/bike.ign");
}

// A size saved at another scale of the desktop (cut to the screen at twice the scale) is no
// size for this one: the window opens at its first start's size. At the same scale, or from a
// file that does not say, the size comes back; the scale is saved with it.
TEST(StartUp, ASizeSavedAtAnotherScaleIsNotTaken) {
  QSize first;
  {
    TempConfig cfg;
    Window w;
    first = w.form->size();
  }
  const struct {
    const char* scale;
    bool kept;
  } cases[] = {{"Scale=2\n", false}, {"Scale=1\n", true}, {"", true}};
  for (const auto& c : cases) {
    TempConfig cfg;
    cfg.writeSettings(std::string("[BASIC]\nLeft=40\nTop=30\nWidth=500\nHeight=400\n") + c.scale);
    Window w;
    EXPECT_EQ(w.form->size(), c.kept ? QSize(500, 400) : first) << c.scale;
    w.form->close();
    EXPECT_NE(cfg.readSettings().find("Scale=1"), std::string::npos);
  }
}

// A placement saved at twice the scale, or on a larger screen, comes back wholly on the screen.
TEST(StartUp, APlacementLargerThanTheScreenIsBroughtInside) {
  TempConfig cfg;
  cfg.writeSettings("[BASIC]\nLeft=300\nTop=200\nWidth=2010\nHeight=1700\n");
  Window w;
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.contains(QRect(w.form->pos(), w.form->size())))
      << w.form->x() << "," << w.form->y() << " " << w.form->width() << "x" << w.form->height();
}

TEST(Close, WritesBothFilesAndKeepsForeignEntries) {
  TempConfig cfg;
  Pty pty;
  cfg.writeSettings("; mine\n[BASIC]\nComPort=21\nComPortAuto=4\nFavourite=blue\n\n" +
                    PortsSection(pty.slave(), 4) + "\n[Other]\nx=1\n");
  ParameterImage image;
  AllFlags flags{};
  {
    Window w;
    w.form->image().setByte(740, 123);
    w.form->allFlags()[3] = 1;
    w.form->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(kPageGear);
    w.form->close();
    image = w.form->image();
    flags = w.form->allFlags();
  }
  const IniFile ini = ParseIni(cfg.readSettings());
  EXPECT_EQ(ini.intValue("BASIC", "ComPort", -1), 21);
  EXPECT_EQ(ini.intValue("BASIC", "ComPortAuto", -1), 4);
  EXPECT_EQ(ini.intValue("BASIC", "Language", -1), 0);
  EXPECT_EQ(ini.intValue("BASIC", "PageControl1->ActivePageIndex", -1), kPageGear);
  EXPECT_EQ(ini.stringValue("BASIC", "Favourite", ""), "blue");
  EXPECT_EQ(ini.stringValue("PORTS", "COM4", ""), pty.slave());
  EXPECT_EQ(ini.stringValue("Other", "x", ""), "1");
  EXPECT_TRUE(cfg.readSettings().starts_with("; mine\n"));
  const std::vector<std::string> keys = ini.keys("BASIC");
  for (const char* k : {"Left", "Top", "Height", "Width", "File", "IniDir"})
    EXPECT_NE(std::find(keys.begin(), keys.end(), k), keys.end()) << k;

  EXPECT_EQ(cfg.readState(), WriteStateText(image, flags));
  EXPECT_EQ(image.byte(740), 123);
  // Written through temporary files: nothing else is left in the folder.
  EXPECT_EQ(QDir(cfg.folder()).entryList(QDir::Files | QDir::Hidden).size(), 2);

  // The next start resumes: automatic search at COM4, the Gear page, the changed byte.
  Window again;
  EXPECT_EQ(again.form->exchange().portSettings().comPort, kComAuto);
  EXPECT_EQ(again.form->findChild<QLabel*>("LabelCom")->text(), "COM= COM4");
  EXPECT_EQ(again.form->currentPage(), kPageGear);
  EXPECT_EQ(again.form->image().byte(740), 123);
  EXPECT_EQ(again.form->allFlags()[3], 1);
}

// A demo run borrows the simulator's port: the user's saved port and configuration survive it.
TEST(Close, DemoRunLeavesSavedPortAndConfigurationAlone) {
  TempConfig cfg;
  Pty pty;
  cfg.writeSettings("[BASIC]\nComPort=3\nComPortAuto=7\n");
  const std::string state = WriteStateText(NewConfiguration(), AllFlags{});
  cfg.writeState(state);
  {
    Window w({}, pty.slave());
    w.form->exchange().selectPort(kComAuto);
    w.form->image().setByte(740, 99);
    w.form->close();
  }
  const IniFile ini = ParseIni(cfg.readSettings());
  EXPECT_EQ(ini.intValue("BASIC", "ComPort", -1), 3);
  EXPECT_EQ(ini.intValue("BASIC", "ComPortAuto", -1), 7);
  EXPECT_EQ(cfg.readState(), state);
}

TEST(Close, TerminationSignalClosesLikeExit) {
  TempConfig cfg;
  Pty pty;
  cfg.writeSettings(PortsSection(pty.slave()));
  Window w;
  w.form->show();
  SignalCloser closer(w.form.get());
  ASSERT_TRUE(closer.installed());
  w.form->image().setByte(741, 77);
  std::raise(SIGTERM);
  ASSERT_TRUE(TickUntil(*w.form, [&] { return !w.form->isVisible(); }));
  EXPECT_NE(cfg.readState().find(std::to_string(77)), std::string::npos);
  ParameterImage loaded;
  AllFlags flags{};
  ParseStateText(cfg.readState(), loaded, flags);
  EXPECT_EQ(loaded.byte(741), 77);
  EXPECT_FALSE(cfg.readSettings().empty());
}

TEST(Commands, ManualThatCannotBeOpenedIsReported) {
  TempConfig cfg;
  Pty pty;
  cfg.writeSettings(PortsSection(pty.slave()));
  Window w;
  const QString cwd = QDir::currentPath();
  QDir::setCurrent(cfg.folder());
  w.form->MenuContensClick();
  QDir::setCurrent(cwd);
  ASSERT_EQ(w.messages.size(), 1u);
  EXPECT_EQ(w.messages[0], "Error by opening file Kelvora_manual_en.pdf !");
}

}  // namespace
}  // namespace rq::test
