// SPDX-License-Identifier: GPL-3.0-or-later
// Help > Contents: the manual from the current folder, the installed copy, the program's
// folder, and the message when none can be opened.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "help/manual_locator.h"
#include "support.h"

namespace rq::test {
namespace {

constexpr const char* kManual = "Kelvora_manual_en.pdf";
constexpr const char* kOpenError = "Error by opening file Kelvora_manual_en.pdf !";

// A file with some bytes in it at folder/name (folders made as needed).
QString Put(const QString& folder, const QString& name = kManual) {
  QDir().mkpath(folder);
  QFile f(folder + "/" + name);
  EXPECT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("%PDF-1.4\n");
  return QFileInfo(f).absoluteFilePath();
}

// Runs Help > Contents with cwd as the current folder and the given search folders; returns
// the paths the viewer was asked to open and the messages shown.
struct F1Result {
  std::vector<QString> opened;
  std::vector<QString> messages;
};
F1Result PressF1(const QString& cwd, const QStringList& folders, bool viewerWorks = true) {
  TempConfig cfg;
  Pty pty;
  cfg.writeSettings(PortsSection(pty.slave()));
  F1Result r;
  Window w({}, {}, [&](FormHlavOptions& o) {
    o.manualFolders = folders;
    o.openDocument = [&r, viewerWorks](const QString& path) {
      r.opened.push_back(path);
      return viewerWorks;
    };
  });
  const QString before = QDir::currentPath();
  QDir::setCurrent(cwd);
  QAction* contents = w.form->findChild<QAction*>("MenuContens");
  EXPECT_NE(contents, nullptr);
  if (contents != nullptr) {
    EXPECT_EQ(contents->shortcut(), QKeySequence(Qt::Key_F1));
    contents->trigger();
  }
  QDir::setCurrent(before);
  r.messages = w.messages;
  return r;
}

TEST(ManualLocator, SearchesInstalledCopyThenProgramFolderThenSystem) {
  EXPECT_EQ(ManualFolders("/opt/rq/bin"),
            QStringList({"/opt/rq/share/doc/rq-vtmx4", "/opt/rq/bin", "/usr/share/doc/rq-vtmx4"}));
  // Installed in /usr: the system folder is not listed twice.
  EXPECT_EQ(ManualFolders("/usr/bin"), QStringList({"/usr/share/doc/rq-vtmx4", "/usr/bin"}));

  QTemporaryDir root;
  const QString cwd = root.path() + "/work", installed = root.path() + "/share/doc/rq-vtmx4",
                program = root.path() + "/bin";
  QDir().mkpath(cwd);
  const QStringList mine = {installed, program};
  EXPECT_TRUE(FindManual(kManual, cwd, mine).isEmpty());
  const QString inProgram = Put(program);
  EXPECT_EQ(FindManual(kManual, cwd, mine), inProgram);
  const QString inInstalled = Put(installed);
  EXPECT_EQ(FindManual(kManual, cwd, mine), inInstalled);
  const QString inCwd = Put(cwd);
  EXPECT_EQ(FindManual(kManual, cwd, mine), inCwd);

  // A folder of that name is no manual, and a name with a folder in it is not searched for.
  QTemporaryDir other;
  QDir().mkpath(other.path() + "/" + kManual);
  EXPECT_TRUE(FindManual(kManual, other.path(), {}).isEmpty());
  EXPECT_TRUE(FindManual(QString("../work/") + kManual, installed, {}).isEmpty());
  EXPECT_TRUE(FindManual("", cwd, mine).isEmpty());
}

TEST(Manual, F1OpensTheCurrentFoldersCopyFirstElseTheInstalledOne) {
  QTemporaryDir root;
  const QString cwd = root.path() + "/work", installed = root.path() + "/share/doc/rq-vtmx4";
  QDir().mkpath(cwd);
  const QString inInstalled = Put(installed);

  // Started from a folder without the manual (as from the desktop menu): the installed copy.
  F1Result r = PressF1(cwd, {installed});
  ASSERT_EQ(r.opened.size(), 1u);
  EXPECT_EQ(r.opened[0], inInstalled);
  EXPECT_TRUE(r.messages.empty());

  // The bare name in the current folder keeps its place in front.
  const QString inCwd = Put(cwd);
  r = PressF1(cwd, {installed});
  ASSERT_EQ(r.opened.size(), 1u);
  EXPECT_EQ(r.opened[0], inCwd);
  EXPECT_TRUE(r.messages.empty());
}

TEST(Manual, F1ReportsAManualNotFoundOrNotOpened) {
  QTemporaryDir root;
  // Nowhere: no viewer is asked, the message is shown.
  F1Result r = PressF1(root.path(), {root.path() + "/none"});
  EXPECT_TRUE(r.opened.empty());
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0], kOpenError);

  // Found, but the viewer fails (none installed): the same message, and a line that says
  // where the file is and that no viewer was found.
  const QString installed = root.path() + "/doc";
  const QString found = Put(installed);
  r = PressF1(root.path(), {installed}, /*viewerWorks=*/false);
  EXPECT_EQ(r.opened.size(), 1u);
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0], QString(kOpenError) + "\n" + found +
                               " is there, but no program to show PDF files was found");
}

}  // namespace
}  // namespace rq::test
