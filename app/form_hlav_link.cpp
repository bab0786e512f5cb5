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

// The image is prepared here and the engine then sends what it holds: a read replaces the
// configuration and its file name and does nothing else first (text typed and not committed
// goes: no undo step, no programming after change); verify and program send the page as
// shown, sanitised, and show what they send.
void FormHlav::startExchange(OpState op) {
  if (op == OpState::Read) {
    pageSet_->discardFocusedEdit();
    workspace_->startRead();
    return;
  }
  commitPendingEdit();
  ReadBackPage();
  SanitizeImage();
  RefreshPages();
  if (op == OpState::Verify) workspace_->startVerify();
  // Broken limits are listed and asked about, and the changes shown when that is on.
  if (op == OpState::Program && limitGuard_->confirmProgram()) workspace_->startProgram();
}

void FormHlav::MenuCom1Click() {
  const auto* item = qobject_cast<QAction*>(sender());
  if (item == nullptr) return;
  const int index = item->data().toInt();
  if (index < 0 || index >= kComMenuItems) return;
  workspace_->selectPort(index);
}

void FormHlav::showExchange() { presenter_->showExchange(workspace_->exchange().view(), texts()); }

void FormHlav::ShowMonitor() { showMonitorValues(workspace_->lastMonitor()); }

void FormHlav::showMonitorValues(const MonitorSnapshot& snapshot) {
  presenter_->showMonitor(
      RenderMonitor(snapshot, image(), workspace_->connected(), workspace_->texts()));
}

}  // namespace rq
