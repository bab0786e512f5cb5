// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a configuration file in the window (File › Open after the choice, and a file named
// on the command line).
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>

#include <gtest/gtest.h>

#include "app/open_file.h"
#include "model/defaults.h"
#include "model/ini_file.h"
#include "model/state_file.h"
#include "support.h"

namespace rq::test {
namespace {

// A window on a pseudo-terminal whose state file holds the defaults with byte 175 = 42.
struct OpenFixture {
  TempConfig cfg;
  Pty pty;
  std::unique_ptr<Window> w;
  ParameterImage before;
  OpenFixture() {
    cfg.writeSettings(PortsSection(pty.slave()));
    ParameterImage image = NewConfiguration();
    image.setByte(kSecondMapAcceleration, 42);
    cfg.writeState(WriteStateText(image, AllFlags{}));
    w = std::make_unique<Window>();
    before = w->form->image();
  }
  FormHlavPeer& form() { return *w->form; }
};

TEST(OpenFile, LoadsOnTopOfTheConfigurationAndBecomesTheLastFile) {
  OpenFixture fx;
  FormHlavPeer& f = fx.form();
  ASSERT_EQ(f.image()[kSecondMapAcceleration], 42);
  ASSERT_FALSE(f.image()[kRetard] == 10 && f.image()[kRetardClutchCount] == 2);
  const QString folder = fx.cfg.folder();
  WriteText(folder + "/bike.ign", "\r\nTAVRENIX_KEY 79\r\nRETARD 10 2\r\n");

  // A relative name is shown and kept as the full name.
  const QString cwd = QDir::currentPath();
  QDir::setCurrent(folder);
  const bool loaded = f.openConfigurationFile("bike.ign");
  QDir::setCurrent(cwd);
  ASSERT_TRUE(loaded);
  EXPECT_TRUE(fx.w->messages.empty());
  EXPECT_EQ(f.image()[kRetard], 10);
  EXPECT_EQ(f.image()[kRetardClutchCount], 2);
  // Groups the file does not hold keep their values; only the two bytes changed.
  for (int i = 0; i < kConfigSize; ++i) {
    if (i != 173 && i != 174) {
      EXPECT_EQ(f.image().byte(i), fx.before.byte(i)) << "byte " << i;
    }
  }
  const QString full = folder + "/bike.ign";
  EXPECT_EQ(f.fileName(), full);
  EXPECT_EQ(f.findChild<QLabel*>("LabelFile2")->text(), full);
  EXPECT_EQ(f.iniDir(), full);
  EXPECT_TRUE(f.findChild<QLabel*>("LabelHlaseni")->isHidden());

  // The load is one undo step.
  ASSERT_TRUE(f.findChild<QAction*>("MenuZpet")->isEnabled());
  f.SpeedButtonZpetClick();
  EXPECT_TRUE(f.image().sameConfig(fx.before));
  f.SpeedButtonZnovuClick();
  EXPECT_EQ(f.image()[kRetard], 10);

  // The close keeps the loaded configuration and the file name for the next start.
  f.close();
  ParameterImage saved;
  AllFlags flags{};
  ParseStateText(fx.cfg.readState(), saved, flags);
  EXPECT_TRUE(saved.sameConfig(f.image()));
  IniFile ini;
  ini.parse(fx.cfg.readSettings());
  EXPECT_EQ(ini.stringValue("BASIC", "File", ""), full.toStdString());
  EXPECT_EQ(ini.stringValue("BASIC", "IniDir", ""), full.toStdString());
}

TEST(OpenFile, FileThatCannotBeReadIsReportedAndChangesNothing) {
  OpenFixture fx;
  FormHlavPeer& f = fx.form();
  const QString nameBefore = f.fileName();
  for (const QString& path : {fx.cfg.folder() + "/missing.ign", fx.cfg.folder()}) {
    SCOPED_TRACE(path.toStdString());
    fx.w->messages.clear();
    EXPECT_FALSE(f.openConfigurationFile(path));
    ASSERT_EQ(fx.w->messages.size(), 1u);
    // The message, then the reason on its own line.
    EXPECT_TRUE(fx.w->messages[0].startsWith("Open file error!\n")) << fx.w->messages[0].toStdString();
    EXPECT_TRUE(f.image().sameConfig(fx.before));
    EXPECT_EQ(f.fileName(), nameBefore);
    EXPECT_FALSE(f.findChild<QAction*>("MenuZpet")->isEnabled());
  }
}

TEST(OpenFile, VersionKeysWithAnotherNumberAreReportedOnceEach) {
  OpenFixture fx;
  FormHlavPeer& f = fx.form();
  const QString nameBefore = f.fileName();
  const QString folder = fx.cfg.folder();

  // Only keys of other versions (and one without a number): nothing is loaded.
  WriteText(folder + "/old.ign", "TAVRENIX_KEY 78\r\nRETARD 10 2\r\nTAVRENIX_KEY 80\r\nTAVRENIX_KEY");
  EXPECT_FALSE(f.openConfigurationFile(folder + "/old.ign"));
  EXPECT_EQ(fx.w->messages,
            std::vector<QString>(3, "Unmatched version of *.ign file!"));
  EXPECT_TRUE(f.image().sameConfig(fx.before));
  EXPECT_EQ(f.fileName(), nameBefore);

  // A valid key after a wrong one: one message, then the groups after the valid key load.
  fx.w->messages.clear();
  WriteText(folder + "/mixed.ign",
            "TAVRENIX_KEY 78\r\nRETARD 5 5\r\nTAVRENIX_KEY 79\r\nRETARD 10 2\r\n");
  EXPECT_TRUE(f.openConfigurationFile(folder + "/mixed.ign"));
  EXPECT_EQ(fx.w->messages, std::vector<QString>(1, "Unmatched version of *.ign file!"));
  EXPECT_EQ(f.image()[kRetard], 10);
  EXPECT_EQ(f.image()[kRetardClutchCount], 2);
  EXPECT_EQ(f.fileName(), folder + "/mixed.ign");
}

TEST(OpenFile, AFileWithoutAnyVersionKeySaysItIsNoConfigurationFile) {
  OpenFixture fx;
  FormHlavPeer& f = fx.form();
  const QString nameBefore = f.fileName();
  const QString folder = fx.cfg.folder();
  WriteText(folder + "/notes.ign", "RETARD 10 2\r\nshopping list\r\n");
  WriteText(folder + "/empty.ign", "");
  for (const char* name : {"/notes.ign", "/empty.ign"}) {
    SCOPED_TRACE(name);
    fx.w->messages.clear();
    EXPECT_FALSE(f.openConfigurationFile(folder + name));
    EXPECT_EQ(fx.w->messages, std::vector<QString>(1, "Open file error!\nNot a configuration file (no version key)"));
    EXPECT_TRUE(f.image().sameConfig(fx.before));
    EXPECT_EQ(f.fileName(), nameBefore);
  }
  // In the language shown.
  f.MenuGermanClick();
  fx.w->messages.clear();
  EXPECT_FALSE(f.openConfigurationFile(folder + "/notes.ign"));
  ASSERT_EQ(fx.w->messages.size(), 1u);
  EXPECT_TRUE(fx.w->messages[0].endsWith("Keine Konfigurationsdatei (kein Versionsschlüssel)"));
}

TEST(OpenFile, CommandLineFilesAreTheArgumentsThatAreNoLanguageWord) {
  EXPECT_EQ(FileArguments({}), QStringList{});
  EXPECT_EQ(FileArguments({"ENGLISH"}), QStringList{});
  EXPECT_EQ(FileArguments({"DEUTSCH", "bike.ign"}), QStringList{"bike.ign"});
  EXPECT_EQ(FileArguments({"/tmp/a.ign"}), QStringList{"/tmp/a.ign"});
  // A language word elsewhere is not a file; a word that is no language word is one.
  EXPECT_EQ(FileArguments({"a.ign", "CESKY", "deutsch"}), (QStringList{"a.ign", "deutsch"}));
  // Launchers that pass URLs.
  EXPECT_EQ(FileArguments({"file:///home/me/my%20bike.ign"}), QStringList{"/home/me/my bike.ign"});
}

}  // namespace
}  // namespace rq::test
