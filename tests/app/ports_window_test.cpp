// SPDX-License-Identifier: GPL-3.0-or-later
// Ports by name in the whole window: the Com menu and the start-up message against a
// pseudo-terminal, a missing device and a device without permission.
#include <QAction>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "caption_check.h"
#include "ports/port_names.h"
#include "support.h"

namespace rq::test {
namespace {

TEST(PortNamesWindow, ComMenuAndOpenErrorNameTheDeviceAndTheReason) {
  TempConfig cfg;
  Pty pty;
  cfg.writeSettings("[BASIC]\nComPort=2\n[PORTS]\nCOM1=" + pty.slave() +
                    "\nCOM2=/nonexistent/rq-tty\n");
  Window w;
  ASSERT_EQ(w.messages.size(), 1u);
  EXPECT_EQ(w.messages[0], "Com opening error!\nCOM2 = /nonexistent/rq-tty: no such device (is the "
                           "adapter plugged in?)");
  auto* ports = w.form->findChild<PortNames*>();
  ASSERT_NE(ports, nullptr);
  ports->updateComMenu();
  auto item = [&](int n) { return w.form->findChild<QAction*>(QString("MenuComItem%1").arg(n))->text(); };
  EXPECT_TRUE(item(1).startsWith("Com 1   " + QString::fromStdString(pty.slave()))) << item(1).toStdString();
  EXPECT_EQ(item(2), "Com 2");  // nothing there: the caption stays
  // Switching the language keeps the device after the caption it has.
  SwitchLanguage(*w.form, kLanguageGerman);
  ports->updateComMenu();
  EXPECT_TRUE(item(1).contains(QString::fromStdString(pty.slave())));
  SwitchLanguage(*w.form, kLanguageEnglish);
  const OpenResult none{OpenFailure::Missing, "x"};
  EXPECT_EQ(ComOpenErrorLine("COM3", "/dev/ttyUSB2", none, kLanguageGerman),
            "COM3 = /dev/ttyUSB2: kein solches Gerät (ist der Adapter eingesteckt?)");
}

TEST(PortNamesWindow, ADeviceWithoutPermissionSaysWhichGroupToJoin) {
  if (::geteuid() == 0) {  // root passes every permission check: run as nobody
    const UnprivilegedRun run = RerunCurrentTestAsNobody();
    if (!run.ran) GTEST_SKIP() << "root passes the check, and nobody cannot run this program here";
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("[  PASSED  ] 1 test"), std::string::npos) << run.output;
    return;
  }
  TempConfig cfg;
  Pty pty;
  ::chmod(pty.slave().c_str(), 0);
  cfg.writeSettings("[BASIC]\nComPort=1\n[PORTS]\nCOM1=" + pty.slave() + "\n");
  Window denied;
  ASSERT_EQ(denied.messages.size(), 1u);
  EXPECT_TRUE(denied.messages[0].contains("COM1 = " + QString::fromStdString(pty.slave()) +
                                          ": permission denied: join the dialout group"))
      << denied.messages[0].toStdString();
}

}  // namespace
}  // namespace rq::test
