// SPDX-License-Identifier: GPL-3.0-or-later
#include "compare/verify_differences.h"

#include <QAction>
#include <QPushButton>

#include "compare/compare_view.h"
#include "ui/window_face.h"
#include "workspace/workspace.h"

namespace rq {

VerifyDifferences::VerifyDifferences(Workspace& workspace, WindowFace& window,
                                     CompareView& compare)
    : QObject(window.dialogParent()), ws_(workspace), window_(window), compare_(compare) {
  // Captions from the caption table.
  button_ = new QPushButton("Show differences", window_.liveStrip());
  button_->setObjectName("ButtonVerifyDiff");
  // Below the recording's controls and the developer's test labels, so that none covers another.
  button_->setGeometry(780, 688, 210, 23);
  button_->setToolTip("Read the unit and list what differs from the PC");
  button_->setStatusTip(button_->toolTip());
  button_->hide();
  connect(button_, &QPushButton::clicked, this, [this] { ButtonVerifyDiffClick(); });
  auto* a = new QAction("Differences to unit", this);
  a->setObjectName("MenuVerifyDiff");
  a->setStatusTip("Read the unit and list what differs from the PC");
  window_.addMenuAction(WindowFace::Menu::Device, a);
  connect(a, &QAction::triggered, this, [this] { ButtonVerifyDiffClick(); });
  connect(&ws_, &Workspace::linkChanged, this, [this] { exchangeViewChanged(); });
  connect(&ws_, &Workspace::operationEnded, this, [this](Operation op, Outcome outcome) {
    if (op == Operation::UnitRead) unitReadEnded(outcome == Outcome::Ok);
  });
}

void VerifyDifferences::exchangeViewChanged() {
  const ExchangeView& v = ws_.exchange().view();
  const bool show = v.statusVisible && v.statusError && v.statusText == StatusText::VerifyError &&
                    !ws_.exchange().busy() && !ws_.printing();
  if (button_->isVisibleTo(button_->parentWidget()) != show) button_->setVisible(show);
}

void VerifyDifferences::ButtonVerifyDiffClick() {
  if (ws_.exchange().busy()) return;  // a read, verify or program runs: wait for it
  window_.commitPendingEdit();
  unit_ = ParameterImage{};
  reading_ = true;
  ws_.startUnitRead(unit_);
  exchangeViewChanged();
}

void VerifyDifferences::unitReadEnded(bool ok) {
  if (!reading_) return;
  reading_ = false;
  // A whole read has made the unit's content known already (the workspace keeps it).
  compare_.showUnit(unit_, ok);
}

QDialog* VerifyDifferences::view() const { return compare_.view(); }
QTableWidget* VerifyDifferences::table() const { return compare_.table(); }
QLabel* VerifyDifferences::summary() const { return compare_.summary(); }

}  // namespace rq

#include "moc_verify_differences.cpp"
