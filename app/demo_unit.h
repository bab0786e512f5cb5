// SPDX-License-Identifier: GPL-3.0-or-later
// The demo unit: the unit simulator started as a child process on a pseudo-terminal. The
// simulator lives in the same folder as the program and ends with it.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace rq {

class DemoUnit {
 public:
  DemoUnit() = default;
  ~DemoUnit();
  DemoUnit(const DemoUnit&) = delete;
  DemoUnit& operator=(const DemoUnit&) = delete;

  // Starts `program` (default: rq_vtmx4_unit_sim next to the running executable) and waits
  // up to timeoutMs for the device path it prints as its first line.
  bool start(const QStringList& arguments, QString& error, int timeoutMs = 5000,
             const QString& program = {});
  void stop();

  QString devicePath() const { return devicePath_; }
  bool running() const { return process_.state() != QProcess::NotRunning; }
  qint64 processId() const { return process_.processId(); }

 private:
  QProcess process_;
  QString devicePath_;
};

// rq_vtmx4_unit_sim in the folder of the running executable.
QString SimulatorProgram();

// The simulator's arguments for `rq_vtmx4 --demo` (and, with `ab`, --demo-ab): the demo bike
// finds its gear from the programmed ratios, so that the gear moves.
QStringList DemoSimulatorArguments(bool ab);

}  // namespace rq
