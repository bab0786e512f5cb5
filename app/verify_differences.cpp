// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/verify_differences.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/form_hlav.h"
#include "model/configuration_diff.h"

namespace rq {
namespace {

QString FromStd(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

}  // namespace

VerifyDifferences::VerifyDifferences(FormHlav& form) : QObject(&form), form_(form) {
  if (auto* client = form_.findChild<QWidget*>("ClientArea")) {
    button_ = new QPushButton("Show differences", client);
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
  show(ok);
}

void VerifyDifferences::ensureView() {
  if (view_ != nullptr) return;
  view_ = new QDialog(&form_);
  view_->setObjectName("FormVerifyDiff");
  view_->setWindowTitle("Differences between PC and unit");
  view_->resize(720, 460);
  auto* layout = new QVBoxLayout(view_);
  summary_ = new QLabel(view_);
  summary_->setObjectName("LabelVerifyDiff");
  summary_->setWordWrap(true);
  layout->addWidget(summary_);
  table_ = new QTableWidget(0, 5, view_);
  table_->setObjectName("TableVerifyDiff");
  table_->setHorizontalHeaderLabels({"Page", "Parameter", "PC", "Unit", ""});
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  layout->addWidget(table_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, view_);
  connect(buttons, &QDialogButtonBox::rejected, view_, &QDialog::close);
  layout->addWidget(buttons);
}

void VerifyDifferences::show(bool ok) {
  ensureView();
  table_->setRowCount(0);
  if (!ok) {
    summary_->setText("The unit's configuration could not be read, so nothing was compared. "
                      "Check the connection and try again.");
  } else {
    const std::vector<ConfigDifference> diff = CompareConfigurations(form_.image(), unit_);
    table_->setRowCount(int(diff.size()));
    for (int r = 0; r < int(diff.size()); ++r) {
      const ConfigDifference& d = diff[std::size_t(r)];
      const QString cells[5] = {FromStd(d.page), FromStd(d.name), FromStd(d.first),
                                FromStd(d.second), FromStd(d.unit)};
      for (int c = 0; c < 5; ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        if (c == 2 || c == 3) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(r, c, item);
      }
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    summary_->setText(diff.empty()
                          ? QString("No differences: the unit holds the PC's configuration.")
                          : QString("%1 values differ between the PC and the unit. Neither side "
                                    "was changed: program the unit or read it to make them "
                                    "equal.")
                                .arg(diff.size()));
  }
  view_->show();
  view_->raise();
}

}  // namespace rq
