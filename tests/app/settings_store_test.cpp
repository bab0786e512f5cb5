// SPDX-License-Identifier: GPL-3.0-or-later
// Files the window could not read are left alone and reported once; a save that fails at
// close is shown before the window goes; a port held by another program is named as such.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "link/serial_port.h"
#include "model/defaults.h"
#include "model/state_file.h"
#include "support.h"

namespace rq::test {
namespace {

bool Contains(const QString& text, const QString& part) { return text.contains(part); }

TEST(SettingsStore, OversizedSettingsAndAFolderForStateAreReportedAndLeftAlone) {
  TempConfig cfg;
  Pty pty;
  // Over the 4 MiB limit, with the user's port mapping at its end.
  std::string big = "[BASIC]\nLanguage=2\n[Notes]\n";
  while (big.size() <= 4u * 1024u * 1024u) big += "n=" + std::string(200, 'x') + "\n";
  big += PortsSection(pty.slave());
  cfg.writeSettings(big);
  ASSERT_TRUE(QDir().mkpath(cfg.path("_RQ_VTMX4_Kelvora_v79.ini")));
  {
    Window w;
    // One message, before the port error, naming both files and why.
    ASSERT_GE(w.messages.size(), 1u);
    const QString m = w.messages[0];
    EXPECT_TRUE(Contains(m, cfg.path("RQ_VTMX4_Kelvora_v79.ini"))) << m.toStdString();
    EXPECT_TRUE(Contains(m, "larger than 4 MiB")) << m.toStdString();
    EXPECT_TRUE(Contains(m, cfg.path("_RQ_VTMX4_Kelvora_v79.ini"))) << m.toStdString();
    EXPECT_TRUE(Contains(m, "it is a folder")) << m.toStdString();
    EXPECT_TRUE(w.form->image().sameConfig(NewConfiguration()));
    const std::size_t before = w.messages.size();
    w.form->close();
    EXPECT_EQ(w.messages.size(), before);  // told once; nothing else failed at close
  }
  EXPECT_EQ(cfg.readSettings(), big);
  EXPECT_TRUE(QFileInfo(cfg.path("_RQ_VTMX4_Kelvora_v79.ini")).isDir());
}

TEST(SettingsStore, StateFileWithoutReadPermissionIsNotReplaced) {
  if (::geteuid() == 0) {  // root passes every permission check: run as nobody
    const UnprivilegedRun run = RerunCurrentTestAsNobody();
    if (!run.ran) GTEST_SKIP() << "root passes the check, and nobody cannot run this program here";
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("[  PASSED  ] 1 test"), std::string::npos) << run.output;
    return;
  }
  TempConfig cfg;
  Pty pty;
  cfg.writeSettings(PortsSection(pty.slave()));
  ParameterImage own = NewConfiguration();
  own.setByte(740, 99);
  const std::string state = WriteStateText(own, AllFlags{});
  cfg.writeState(state);
  const std::string statePath = cfg.path("_RQ_VTMX4_Kelvora_v79.ini").toStdString();
  ASSERT_EQ(::chmod(statePath.c_str(), 0), 0);
  {
    Window w;
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_TRUE(Contains(w.messages[0], "Permission denied")) << w.messages[0].toStdString();
    w.form->close();
  }
  ::chmod(statePath.c_str(), 0600);
  EXPECT_EQ(cfg.readState(), state);
  EXPECT_FALSE(cfg.readSettings().empty());  // the settings file was read: it is saved
}

TEST(SettingsStore, SettingsThatWereReadAreSavedWithEverySectionKept) {
  TempConfig cfg;
  Pty pty;
  cfg.writeSettings("[BASIC]\nLanguage=1\n" + PortsSection(pty.slave()) + "[Mine]\nk=v\n");
  {
    Window w;
    EXPECT_TRUE(w.messages.empty());
    w.form->close();
    EXPECT_TRUE(w.messages.empty());
  }
  const std::string s = cfg.readSettings();
  EXPECT_NE(s.find("COM1=" + pty.slave()), std::string::npos) << s;
  EXPECT_NE(s.find("[Mine]\nk=v"), std::string::npos) << s;
  EXPECT_NE(s.find("Width="), std::string::npos) << s;
  EXPECT_FALSE(cfg.readState().empty());
}

TEST(SettingsStore, SaveThatFailsAtCloseIsShownNamingTheFile) {
  TempConfig cfg;
  Pty pty;
  cfg.writeSettings(PortsSection(pty.slave()));
  Window w;
  ASSERT_TRUE(w.messages.empty());
  // A folder where the state file should go appears while the window runs.
  ASSERT_TRUE(QDir().mkpath(cfg.path("_RQ_VTMX4_Kelvora_v79.ini")));
  w.form->close();
  ASSERT_EQ(w.messages.size(), 1u);
  const QString m = w.messages[0];
  EXPECT_TRUE(Contains(m, "The configuration was not kept")) << m.toStdString();
  EXPECT_TRUE(Contains(m, cfg.path("_RQ_VTMX4_Kelvora_v79.ini"))) << m.toStdString();
  EXPECT_TRUE(Contains(m, "Is a directory")) << m.toStdString();
  EXPECT_FALSE(cfg.readSettings().empty());  // the other file is still saved
}

// The settings' language speaks in both messages: the state file that cannot be read at the
// start and the one that cannot be kept at close; the path and the system's reason stay.
TEST(SettingsStore, MessagesSpeakTheLanguageOfTheSettings) {
  TempConfig cfg;
  Pty pty;
  cfg.writeSettings("[BASIC]\nLanguage=2\n" + PortsSection(pty.slave()));
  const QString state = cfg.path("_RQ_VTMX4_Kelvora_v79.ini");
  ASSERT_TRUE(QDir().mkpath(state));
  {
    Window w;
    ASSERT_GE(w.messages.size(), 1u);
    const QString m = w.messages[0];
    EXPECT_TRUE(m.startsWith(QString::fromUtf8("Le fichier d´état de la configuration ") + state +
                             QString::fromUtf8(" n´a pas pu être lu (c´est un dossier).")))
        << m.toStdString();
    w.form->close();
  }
  ASSERT_TRUE(QDir().rmdir(state));
  cfg.writeSettings("[BASIC]\nLanguage=1\n" + PortsSection(pty.slave()));
  Window w;
  ASSERT_TRUE(w.messages.empty());
  ASSERT_TRUE(QDir().mkpath(state));
  w.form->close();
  ASSERT_EQ(w.messages.size(), 1u);
  EXPECT_EQ(w.messages[0], QString::fromUtf8("Die Konfiguration wurde nicht für den nächsten "
                                             "Start behalten: ") + state + ": Is a directory")
      << w.messages[0].toStdString();
}

TEST(PortOpen, PortHeldByAnotherProgramIsNamedInTheMessage) {
  TempConfig cfg;
  Pty pty;
  cfg.writeSettings(PortsSection(pty.slave()));
  TermiosPort other;  // the command-line tool, say
  const OpenResult opened = other.open(pty.slave());
  ASSERT_TRUE(opened.ok()) << opened.message;
  Window w;
  ASSERT_EQ(w.messages.size(), 1u);
  EXPECT_TRUE(w.messages[0].startsWith("Com opening error!\n")) << w.messages[0].toStdString();
  EXPECT_TRUE(Contains(w.messages[0], ": in use by another program"))
      << w.messages[0].toStdString();
  EXPECT_TRUE(Contains(w.messages[0], QString::fromStdString(pty.slave())));
}

}  // namespace
}  // namespace rq::test
