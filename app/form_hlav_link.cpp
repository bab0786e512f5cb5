// SPDX-License-Identifier: GPL-3.0-or-later
// The window side of the device link: the tick, the device commands, the status line, the
// connection labels, the Com menu and the live monitor.
#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include "app/form_hlav.h"
#include "app/link_presenter.h"
#include "guard/limit_guard.h"
#include "pages/page_set.h"

namespace rq {

void FormHlav::Timer1Timer() { workspace_->tick(); }

void FormHlav::MenuReadClick() { startExchange(OpState::Read); }
void FormHlav::MenuVerifyClick() { startExchange(OpState::Verify); }
void FormHlav::MenuProgramClick() { startExchange(OpState::Program); }

// A read replaces the configuration and its file name and does nothing else first (text typed
// and not committed goes: no undo step, no programming after change); verify and program send
// the page as shown, consistent (the workspace takes it in and shows what it sends).
void FormHlav::startExchange(OpState op) {
  if (op == OpState::Read) {
    pageSet_->discardFocusedEdit();
    workspace_->startRead();
    return;
  }
  commitPendingEdit();
  if (op == OpState::Verify) workspace_->startVerify();
  if (op == OpState::Program) workspace_->startProgram();
}

void FormHlav::MenuCom1Click() {
  const auto* item = qobject_cast<QAction*>(sender());
  if (item == nullptr) return;
  const int index = item->data().toInt();
  if (index < 0 || index >= kComMenuItems) return;
  workspace_->selectPort(index);
}

void FormHlav::showExchange() {
  presenter_->showExchange(workspace_->exchange().view(), workspace_->texts());
}

void FormHlav::ShowMonitor() { showMonitorValues(workspace_->lastMonitor()); }

void FormHlav::showMonitorValues(const MonitorSnapshot& snapshot) {
  presenter_->showMonitor(
      RenderMonitor(snapshot, workspace_->image(), workspace_->connected(), workspace_->texts()));
}

}  // namespace rq
