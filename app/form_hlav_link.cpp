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
#include "unitsync/unit_sync.h"

namespace rq {

void FormHlav::Timer1Timer() {
  const bool wasConnected = exchange_->connected();
  inTick_ = true;
  exchange_->tick();
  inTick_ = false;
  startPendingProgramming();
  // No snapshot comes when the unit falls silent: the live values are rendered once more, as
  // "---", so that the last ones are not read as live under "No Connection".
  if (wasConnected && !exchange_->connected()) ShowMonitor();
  ApplyExchangeView();
}

void FormHlav::MenuReadClick() {
  CommitPendingEdit();
  exchange_->MenuReadClick();
  ApplyExchangeView();
}

void FormHlav::MenuVerifyClick() {
  CommitPendingEdit();
  exchange_->MenuVerifyClick();
  ApplyExchangeView();
}

void FormHlav::MenuProgramClick() {
  CommitPendingEdit();
  exchange_->MenuProgramClick();
  ApplyExchangeView();
}

void FormHlav::MenuCom1Click() {
  const auto* item = qobject_cast<QAction*>(sender());
  if (item == nullptr) return;
  const int index = item->data().toInt();
  if (index < 0 || index >= kComMenuItems) return;
  exchange_->MenuCom1Click(index);
  ApplyExchangeView();
}

void FormHlav::ApplyExchangeView() {
  presenter_->showExchange(exchange_->view(), texts_);
  if (verifyDifferences_) verifyDifferences_->exchangeViewChanged();
  if (unitSync_) unitSync_->exchangeViewChanged();
}

void FormHlav::ShowMonitor() { ShowMonitorFrame(exchange_->lastMonitorFrame()); }

void FormHlav::ShowMonitorFrame(const FrameBytes& frame) {
  presenter_->showMonitor(RenderMonitor(frame, image_, exchange_->connected(), texts_));
}

}  // namespace rq
