// SPDX-License-Identifier: GPL-3.0-or-later
// The window side of the device link: the tick, the device commands, the status line, the
// connection labels, the Com menu and the live monitor.
#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include "app/form_hlav.h"
#include "app/link_presenter.h"
#include "app/verify_differences.h"
#include "ports/port_names.h"
#include "unitsync/unit_sync.h"

namespace rq {

void FormHlav::Timer1Timer() {
  const bool wasConnected = exchange_->connected();
  inTick_ = true;
  exchange_->tick();
  inTick_ = false;
  if (readLock_ && exchange_->state().op != OpState::Read) setReadLock(false);
  startPendingProgramming();
  // No snapshot comes when the unit falls silent: the live values are rendered once more, as
  // "---", so that the last ones are not read as live under "No Connection".
  if (wasConnected && !exchange_->connected()) ShowMonitor();
  ApplyExchangeView();
}

void FormHlav::MenuReadClick() { StartExchange(OpState::Read); }
void FormHlav::MenuVerifyClick() { StartExchange(OpState::Verify); }
void FormHlav::MenuProgramClick() { StartExchange(OpState::Program); }

// The image is prepared here and the engine then sends what it holds: a read replaces the
// configuration and its file name; verify and program send the page as shown, sanitised, and
// show what they send.
void FormHlav::StartExchange(OpState op) {
  CommitPendingEdit();
  if (op == OpState::Read) {
    LabelFile2->clear();
    exchange_->startRead();
    setReadLock(exchange_->state().op == OpState::Read);
  } else {
    ReadBackPage();
    SanitizeImage();
    RefreshPages();
    if (op == OpState::Verify) exchange_->startVerify();
    if (op == OpState::Program) exchange_->startProgram();
  }
  ApplyExchangeView();
}

void FormHlav::MenuCom1Click() {
  const auto* item = qobject_cast<QAction*>(sender());
  if (item == nullptr) return;
  const int index = item->data().toInt();
  if (index < 0 || index >= kComMenuItems) return;
  exchange_->selectPort(index);
  ApplyExchangeView();
}

void FormHlav::ApplyExchangeView() {
  // A verify or a programming started by hand replaces a running read.
  if (readLock_ && exchange_->state().op != OpState::Read) setReadLock(false);
  presenter_->showExchange(exchange_->view(), texts_);
  if (verifyDifferences_) verifyDifferences_->exchangeViewChanged();
  if (unitSync_) unitSync_->exchangeViewChanged();
  if (portNames_ != nullptr) portNames_->exchangeViewChanged();
}

void FormHlav::ShowMonitor() { ShowMonitorValues(exchange_->lastMonitor()); }

void FormHlav::ShowMonitorValues(const MonitorSnapshot& snapshot) {
  presenter_->showMonitor(RenderMonitor(snapshot, image_, exchange_->connected(), texts_));
}

}  // namespace rq
