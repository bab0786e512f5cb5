// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's exchange with a unit: one engine on one port, ticking every 55 ms on the
// calling thread, printing the status texts as they change, until the operation ends, the
// time limit passes or a stop signal arrives.
#pragma once

#include <chrono>
#include <csignal>
#include <functional>
#include <iostream>
#include <optional>
#include <string>

#include "link/device_exchange.h"
#include "link/serial_port.h"
#include "model/defaults.h"
#include "protocol/monitor_reply.h"

namespace rq {

using Clock = std::chrono::steady_clock;
inline constexpr auto kTick = std::chrono::milliseconds(55);
inline constexpr const char* kProgramName = "rq_vtmx4_cli";

// Ends the tick loops cleanly (port closed, terminal settings restored) on Ctrl-C or kill:
// while one lives, SIGINT, SIGTERM and SIGHUP only set the stop request.
class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
  struct sigaction oldHup_ {};
};

// A stop signal arrived since the StopSignals were set up.
bool StopRequested();

// Message table entry in English.
std::string English(int id);
// "Unmatched version ..." with both versions.
std::string VersionText(int received);
// Why an operation ended in its error, for the line on stderr after the status line.
std::string FailureReason(OpState started, OpState failed, const OperationReport& r);

// One engine on one port, ticking every 55 ms on this thread.
class TickSession {
 public:
  // comName: the Com name the user gave for the path ("COM3"), "" for a path given as such.
  explicit TickSession(std::string path, std::string comName = {});

  // Opens the port; prints the reason as the window gives it and returns false when it cannot
  // be opened.
  bool open();

  // The whole command must end within seconds (0: no limit).
  void setTimeLimit(double seconds);
  bool timeUp() const { return deadline_ && Clock::now() >= *deadline_; }
  int timedOut(const std::string& what);
  // Status lines are not printed while quiet.
  void setQuiet(bool quiet) { quiet_ = quiet; }
  // Where status lines go (standard output unless that carries the result).
  void setStatusStream(std::ostream& out) { statusOut_ = &out; }
  // A status line kept back until releaseHeld(): "Program device:: OK" is only true once the
  // unit has finished saving.
  void holdStatus(std::string text) { held_ = std::move(text); }
  void releaseHeld() {
    if (!held_.empty() && !quiet_) *statusOut_ << held_ << std::endl;
    held_.clear();
  }

  // One tick, then sleep until the next tick is due.
  void tick();

  // Runs the started operation to its end. Returns the exit code; on failure the status line
  // is followed by one line on stderr that says why.
  int runOperation();

  // After programming the unit stores the image; wait while it reports a running save. A save
  // that is not seen to finish is a failure: the unit may not keep the new configuration.
  int waitForSave();

  // Waits for one monitor reply; false when the link is lost first.
  std::optional<MonitorSnapshot> awaitMonitor();

  int interrupted();

  DeviceExchange& exchange() { return ex_; }
  ParameterImage& image() { return image_; }
  std::optional<int> versionMismatch() const { return mismatch_; }
  std::function<void(const MonitorSnapshot&)> onMonitor;

 private:
  // A read or a program that reached its automatic verify failed there.

  void printStatus();

  std::string path_;
  std::string comName_;
  std::string held_;
  ParameterImage image_ = NewConfiguration();
  TermiosPort port_;
  DeviceExchange ex_{image_, port_};
  Clock::time_point next_ = Clock::now();
  std::optional<Clock::time_point> deadline_;
  double limitS_ = 0;
  bool quiet_ = false;
  std::ostream* statusOut_ = &std::cout;
  std::optional<int> mismatch_;
  std::string lastStatus_;
};

}  // namespace rq
