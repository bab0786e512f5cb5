// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/tick_session.h"

#include <algorithm>
#include <cstdio>
#include <thread>

#include "ui/text_table.h"
#include "ui/unit_texts.h"

namespace rq {

namespace {

volatile std::sig_atomic_t gStop = 0;
extern "C" void OnStopSignal(int) { gStop = 1; }

}  // namespace

StopSignals::StopSignals() {
  gStop = 0;
  struct sigaction sa {};
  sa.sa_handler = OnStopSignal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, &oldInt_);
  sigaction(SIGTERM, &sa, &oldTerm_);
  sigaction(SIGHUP, &sa, &oldHup_);  // a closed terminal, too, must not leave the port raw
}

StopSignals::~StopSignals() {
  sigaction(SIGINT, &oldInt_, nullptr);
  sigaction(SIGTERM, &oldTerm_, nullptr);
  sigaction(SIGHUP, &oldHup_, nullptr);
}

bool StopRequested() { return gStop != 0; }

std::string English(int id) { return MessageText(kLanguageEnglish, id); }

std::string VersionText(int received) {
  char detail[48];
  std::snprintf(detail, sizeof detail, "  PC-%d, IGN-%d", kImageVersion, received);
  return English(TxtVersionMismatch) + detail;
}

std::string FailureReason(OpState started, OpState failed, const OperationReport& r) {
  const std::string block = "block " + std::to_string(std::max(r.failedBlock, 0));
  if (r.mismatches > 0 && r.mismatchBlock == r.failedBlock) {
    if (failed == OpState::Program)
      return "the unit answered but did not take " + block + " (its echo differed)";
    if (started == OpState::Read)
      return "the unit answered, but " + block + " changed while it was read";
    if (started == OpState::Program)
      return "the unit answered, but " + block + " differs from what was programmed";
    return "the unit answered: its configuration differs from the file (" + block + ")";
  }
  if (r.replies == 0 && r.bytes == 0)
    return "the unit stayed silent: no reply to " + std::to_string(DeviceExchange::kMaxSends) +
           " requests for " + block;
  if (r.replies == 0)
    return "no valid reply: " + std::to_string(r.bytes) +
           " bytes came back, none of them a whole reply (line noise or wrong speed?)";
  return "the unit stopped answering: no valid reply to " +
         std::to_string(DeviceExchange::kMaxSends) + " requests for " + block;
}

TickSession::TickSession(std::string path, std::string comName)
    : path_(std::move(path)), comName_(std::move(comName)) {
  ExchangeHooks h;
  h.versionMismatch = [this](int v) { mismatch_ = v; };
  h.monitorAccepted = [this](const MonitorSnapshot& s) {
    if (onMonitor) onMonitor(s);
  };
  ex_.setHooks(h);
  ex_.setPortPathResolver([this](int) { return path_; });
  ex_.portSettings().comPort = 0;  // a fixed port: the watchdog reopens the same device
}

bool TickSession::open() {
  ex_.OpenPort();
  if (!port_.isOpen()) {
    std::cerr << kProgramName << ": " << English(TxtComOpenError) << "\n"
              << kProgramName << ": "
              << PortOpenLine(comName_, path_, ex_.lastOpen(), kLanguageEnglish) << "\n";
    return false;
  }
  return true;
}

void TickSession::setTimeLimit(double seconds) {
  limitS_ = seconds;
  if (seconds > 0)
    deadline_ = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                   std::chrono::duration<double>(seconds));
}

int TickSession::timedOut(const std::string& what) {
  std::cerr << kProgramName << ": gave up after " << limitS_ << " s (--timeout) " << what
            << "\n";
  return 1;
}

void TickSession::tick() {
  ex_.tick();
  printStatus();
  next_ += kTick;
  const auto now = Clock::now();
  // Time-outs are counted in ticks: after a stall the next tick still waits a whole tick,
  // so a late reply is not given up on in a burst of back-to-back ticks.
  if (next_ < now) next_ = now + kTick;
  std::this_thread::sleep_until(next_);
}

int TickSession::runOperation() {
  const OpState op = ex_.state().op;
  printStatus();
  while (ex_.busy()) {
    if (StopRequested()) return interrupted();
    if (timeUp()) return timedOut("while the unit was still being read, verified or programmed");
    tick();
  }
  if (mismatch_) {
    std::cerr << kProgramName << ": " << VersionText(*mismatch_) << "\n";
    return 1;
  }
  const std::optional<OperationEnd>& end = ex_.lastEnd();
  if (!end || end->outcome != Outcome::Ok) {
    // The status line itself has been printed as it changed.
    const ExchangeView& v = ex_.view();
    if (quiet_) std::cerr << kProgramName << ": " << English(static_cast<int>(v.statusText)) << "\n";
    const OpState failed = end && end->phase != OpState::Idle ? end->phase : op;
    std::cerr << kProgramName << ": " << FailureReason(op, failed, ex_.report()) << "\n";
    return 1;
  }
  return 0;
}

int TickSession::waitForSave() {
  bool sawMonitor = false;
  onMonitor = [&](const MonitorSnapshot&) { sawMonitor = true; };
  int rc = 0;
  for (;;) {
    if (StopRequested()) {
      rc = interrupted();
      break;
    }
    if (sawMonitor && ex_.lastMonitor().savingCountdown == 0) break;
    if (!ex_.connected()) {  // "No Connection": 18 ticks without a reply
      std::cerr << kProgramName << ": No Connection: the unit stopped answering before it "
                << "had finished saving; the new configuration may not be stored\n";
      rc = 1;
      break;
    }
    if (timeUp()) {
      rc = timedOut("while the unit was still saving; the new configuration may not be stored");
      break;
    }
    tick();
  }
  onMonitor = nullptr;
  return rc;
}

std::optional<MonitorSnapshot> TickSession::awaitMonitor() {
  std::optional<MonitorSnapshot> snap;
  onMonitor = [&](const MonitorSnapshot& s) { snap = s; };
  // The link counts as lost 18 silent ticks after the last reply, or after 18 ticks without
  // any when none has come yet.
  int silent = 0;
  while (!snap && !StopRequested() && !timeUp() && silent <= DeviceExchange::kSilenceLimit) {
    tick();
    silent = ex_.connected() ? 0 : silent + 1;
  }
  onMonitor = nullptr;
  return snap;
}

int TickSession::interrupted() {
  std::cerr << kProgramName << ": interrupted\n";
  return 130;
}

void TickSession::printStatus() {
  const ExchangeView& v = ex_.view();
  std::string text;
  if (v.statusText != StatusText::None) {
    text = English(static_cast<int>(v.statusText)) + v.statusSuffix;
    if (v.statusText == StatusText::Saving) text += " " + std::to_string(v.gaugeProgress) + " %";
  }
  if (text != lastStatus_ && !text.empty() && !quiet_ && text != held_)
    *statusOut_ << text << std::endl;
  lastStatus_ = text;
}

}  // namespace rq
