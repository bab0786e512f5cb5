// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/demo_unit.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>

#include <signal.h>
#include <sys/prctl.h>

namespace rq {

QString SimulatorProgram() {
  return QCoreApplication::applicationDirPath() + "/rq_vtmx4_unit_sim";
}

DemoUnit::~DemoUnit() { stop(); }

bool DemoUnit::start(const QStringList& arguments, QString& error, int timeoutMs,
                     const QString& program) {
  const QString exe = program.isEmpty() ? SimulatorProgram() : program;
  if (!QFileInfo(exe).isExecutable()) {
    error = "The unit simulator " + exe + " was not found.";
    return false;
  }
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  // The simulator must not outlive the program, even when the program is killed.
  process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
  process_.start(exe, arguments);
  if (!process_.waitForStarted(timeoutMs)) {
    error = "The unit simulator could not be started: " + process_.errorString();
    return false;
  }
  const QDeadlineTimer deadline(timeoutMs);
  while (!process_.canReadLine()) {
    if (deadline.hasExpired() || process_.state() == QProcess::NotRunning ||
        !process_.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())))) {
      if (process_.canReadLine()) break;
      error = "The unit simulator did not report its device.";
      stop();
      return false;
    }
  }
  devicePath_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
  // Whatever else it prints is not needed; reading it keeps the pipe from filling up.
  QObject::connect(&process_, &QProcess::readyReadStandardOutput,
                   [this] { process_.readAllStandardOutput(); });
  if (devicePath_.isEmpty()) {
    error = "The unit simulator reported no device.";
    stop();
    return false;
  }
  return true;
}

void DemoUnit::stop() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.terminate();
  if (!process_.waitForFinished(2000)) {
    process_.kill();
    process_.waitForFinished(2000);
  }
}

QStringList DemoSimulatorArguments(bool ab) {
  QStringList arguments = {"--gear-method", "2"};
  if (ab) arguments << "--ab";
  return arguments;
}

}  // namespace rq
