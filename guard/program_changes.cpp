// SPDX-License-Identifier: GPL-3.0-or-later
// The list of changes before programming.
#include "guard/program_changes.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "guard/guard_texts.h"
#include "ui/qt_text.h"
#include "ui/unit_texts.h"

namespace rq {
namespace {

enum ChangeColumn { kChangePage, kChangeName, kChangeUnitNow, kChangeAfter, kChangeMeasure, kChangeColumns };


}  // namespace

ProgramChangesDialog::ProgramChangesDialog(const ParameterImage& pc, const ParameterImage* unit,
                                           int language, QWidget* parent)
    : QDialog(parent) {
  setObjectName("FormProgramChanges");
  setWindowTitle(FromStd(GuardTextOf(GtChangesTitle, language)));
  auto* layout = new QVBoxLayout(this);
  summary_ = new QLabel(this);
  summary_->setObjectName("LabelProgramChanges");
  summary_->setWordWrap(true);
  layout->addWidget(summary_);
  table_ = new QTableWidget(0, kChangeColumns, this);
  table_->setObjectName("TableProgramChanges");
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->hide();
  table_->setWordWrap(false);
  table_->setHorizontalHeaderLabels(
      {FromStd(UnitTextOf(UtColumnPage, language)), FromStd(UnitTextOf(UtColumnParameter, language)),
       FromStd(GuardTextOf(GtColumnUnitNow, language)), FromStd(GuardTextOf(GtColumnAfter, language)),
       FromStd(UnitTextOf(UtColumnUnitOfMeasure, language))});
  layout->addWidget(table_);
  if (unit == nullptr) {
    summary_->setText(FromStd(GuardTextOf(GtChangesUnknown, language)));
    table_->hide();
  } else {
    // Named with the PC's rpm points: the map as it will be.
    changes_ = CompareConfigurations(pc, *unit);
    summary_->setText(changes_.empty()
                          ? FromStd(GuardTextOf(GtChangesNone, language))
                          : FromStd(GuardTextOf(GtChangesCount, language)).arg(changes_.size()));
    table_->setRowCount(int(changes_.size()));
    for (int r = 0; r < int(changes_.size()); ++r) {
      const ConfigDifference& d = changes_[std::size_t(r)];
      // Grouped by page: the page's name starts its group.
      const bool first = r == 0 || changes_[std::size_t(r - 1)].pageIndex != d.pageIndex;
      const QString cells[kChangeColumns] = {first ? FromStd(d.page) : QString(), FromStd(d.name),
                                             FromStd(d.second), FromStd(d.first), FromStd(d.unit)};
      for (int c = 0; c < kChangeColumns; ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        if (c == kChangeUnitNow || c == kChangeAfter)
          item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(r, c, item);
      }
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setSectionResizeMode(kChangeName, QHeaderView::Stretch);
  }
  auto* buttons = new QHBoxLayout;
  auto* program = new QPushButton(FromStd(GuardTextOf(GtProgram, language)), this);
  program->setObjectName("ButtonChangesProgram");
  auto* cancel = new QPushButton(FromStd(GuardTextOf(GtCancel, language)), this);
  cancel->setObjectName("ButtonChangesCancel");
  cancel->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(program);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  // Room for the list; without one, the note and the buttons.
  if (unit != nullptr) {
    resize(760, 460);
  } else {
    summary_->setMinimumWidth(480);
    adjustSize();
  }
  connect(program, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace rq

#include "moc_program_changes.cpp"
