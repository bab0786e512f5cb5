// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/verify_differences.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

#include "app/form_hlav.h"
#include "compare/compare_view.h"
#include "unitsync/unit_sync.h"

namespace rq {

VerifyDifferences::VerifyDifferences(FormHlav& form) : QObject(&form), form_(form) {
  if (auto* client = form_.findChild<QWidget*>("ClientArea")) {
    button_ = new QPushButton("Show differences", client);  // captions from the caption table
    button_->setObjectName("ButtonVerifyDiff");
    button_->setGeometry(780, 606, 150, 23);
    button_->setToolTip("Read the unit and list what differs from the PC");
    button_->setStatusTip(button_->toolTip());
    button_->hide();
    connect(button_, &QPushButton::clicked, this, [this] { ButtonVerifyDiffClick(); });
  }
  if (auto* menu = form_.findChild<QMenu*>("MenuDevice")) {
    QAction* a = menu->addAction("Differences to unit");
    a->setObjectName("MenuVerifyDiff");
    a->setStatusTip("Read the unit and list what differs from the PC");
    connect(a, &QAction::triggered, this, [this] { ButtonVerifyDiffClick(); });
  }
}

void VerifyDifferences::exchangeViewChanged() {
  if (button_ == nullptr) return;
  const ExchangeView& v = form_.exchange().view();
  const bool show = v.statusVisible && v.statusError && v.statusText == StatusText::VerifyError &&
                    !form_.exchange().busy() && !form_.printing();
  if (button_->isVisibleTo(button_->parentWidget()) != show) button_->setVisible(show);
}

void VerifyDifferences::ButtonVerifyDiffClick() {
  if (form_.exchange().busy()) return;  // a read, verify or program runs: wait for it
  form_.CommitPendingEdit();
  unit_ = ParameterImage{};
  reading_ = true;
  form_.exchange().startUnitRead(unit_);
  exchangeViewChanged();
}

void VerifyDifferences::unitReadEnded(bool ok) {
  if (!reading_) return;
  reading_ = false;
  if (ok) form_.unitSync().unitRead(unit_);
  form_.unitSync().compareView().showUnit(unit_, ok);
}

QDialog* VerifyDifferences::view() const { return form_.unitSync().compareView().view(); }
QTableWidget* VerifyDifferences::table() const { return form_.unitSync().compareView().table(); }
QLabel* VerifyDifferences::summary() const { return form_.unitSync().compareView().summary(); }

}  // namespace rq

#include "moc_verify_differences.cpp"
