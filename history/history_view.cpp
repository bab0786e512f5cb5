// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history_view.h"

#include <QAction>
#include <QDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "compare/compare_view.h"
#include "ui/qt_text.h"
#include "ui/text_table.h"
#include "ui/unit_texts.h"
#include "ui/window_face.h"
#include "workspace/workspace.h"

namespace rq {

HistoryView::HistoryView(Workspace& workspace, WindowFace& window, CompareView& compare,
                         bool keptHere)
    : QObject(window.dialogParent()),
      ws_(workspace),
      window_(window),
      compareView_(compare),
      keptHere_(keptHere) {
  // File › History… (captions from the caption table).
  auto* a = new QAction("His&tory...", this);
  a->setObjectName("MenuHistory");
  window_.addMenuAction(WindowFace::Menu::File, a);
  connect(a, &QAction::triggered, this, [this] { MenuHistoryClick(); });
}

HistoryView::~HistoryView() = default;

void HistoryView::ensureView() {
  if (view_ != nullptr) return;
  view_ = new QDialog(window_.dialogParent());
  view_->setObjectName("FormHistory");
  view_->resize(760, 420);
  auto* layout = new QVBoxLayout(view_);
  note_ = new QLabel(view_);
  note_->setObjectName("LabelHistoryNote");
  note_->setWordWrap(true);
  layout->addWidget(note_);
  table_ = new QTableWidget(0, 4, view_);
  table_->setObjectName("TableHistory");
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->verticalHeader()->hide();
  layout->addWidget(table_);
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { open(row); });
  auto* buttons = new QHBoxLayout;
  open_ = new QPushButton(view_);
  open_->setObjectName("ButtonHistoryOpen");
  compare_ = new QPushButton(view_);
  compare_->setObjectName("ButtonHistoryCompare");
  close_ = new QPushButton(view_);
  close_->setObjectName("ButtonHistoryClose");
  connect(open_, &QPushButton::clicked, this, [this] { open(selectedRow()); });
  connect(compare_, &QPushButton::clicked, this, [this] { compare(selectedRow()); });
  connect(close_, &QPushButton::clicked, view_, &QDialog::close);
  buttons->addWidget(open_);
  buttons->addWidget(compare_);
  buttons->addStretch();
  buttons->addWidget(close_);
  layout->addLayout(buttons);
}

void HistoryView::MenuHistoryClick() {
  window_.commitPendingEdit();
  ProgramHistoryListing listing = ReadProgramHistory(ProgramHistoryFolder());
  entries_ = std::move(listing.entries);
  error_ = std::move(listing.error);
  ensureView();
  fill();
  view_->show();
  view_->raise();
}

void HistoryView::fill() {
  const int lang = ws_.language();
  view_->setWindowTitle(FromStd(UnitTextOf(UtHistoryTitle, lang)));
  table_->setHorizontalHeaderLabels(
      {FromStd(UnitTextOf(UtHistoryWhen, lang)), FromStd(UnitTextOf(UtHistoryFrom, lang)),
       FromStd(UnitTextOf(UtHistoryFile, lang)), FromStd(UnitTextOf(UtHistoryCount, lang))});
  open_->setText(FromStd(UnitTextOf(UtHistoryOpen, lang)));
  compare_->setText(FromStd(UnitTextOf(UtHistoryCompare, lang)));
  close_->setText(FromStd(UnitTextOf(UtClose, lang)));
  table_->setRowCount(int(entries_.size()));
  for (int r = 0; r < int(entries_.size()); ++r) {
    const HistoryEntry& e = entries_[std::size_t(r)];
    QString from;
    if (e.record.from == kFromWindow) from = FromStd(UnitTextOf(UtFromWindow, lang));
    else if (e.record.from == kFromCommandLine) from = FromStd(UnitTextOf(UtFromCommandLine, lang));
    const QString cells[4] = {
        FromStd(e.when), from,
        e.record.fileName.empty() ? QString() : QFileInfo(FromStd(e.record.fileName)).fileName(),
        e.record.programCount >= 0 ? QString::number(e.record.programCount) : QString()};
    for (int c = 0; c < 4; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      item->setToolTip(c == 2 ? FromStd(e.record.fileName) : FromStd(e.path));
      table_->setItem(r, c, item);
    }
  }
  // An empty list says why; an unreadable history says that it cannot be read, and why.
  QString note;
  if (!error_.empty())
    note = FromStd(UnitTextOf(UtHistoryUnreadable, lang)).arg(FromStd(LocalizedFileReason(lang, error_)));
  else if (!keptHere_)
    note = FromStd(UnitTextOf(UtHistoryDemoNotKept, lang));
  else if (entries_.empty())
    note = FromStd(UnitTextOf(UtHistoryEmpty, lang));
  note_->setText(note);
  note_->setVisible(!note.isEmpty());
  table_->resizeColumnsToContents();
  table_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
  if (!entries_.empty()) table_->selectRow(0);
  open_->setEnabled(!entries_.empty());
  compare_->setEnabled(!entries_.empty());
  if (entries_.empty()) table_->setToolTip(FromStd(UnitTextOf(UtHistoryEmpty, lang)));
}

int HistoryView::selectedRow() const {
  const QList<QTableWidgetItem*> items = table_->selectedItems();
  return items.isEmpty() ? -1 : items.front()->row();
}

void HistoryView::open(int row) {
  if (row < 0 || row >= int(entries_.size())) return;
  emit openFile(FromStd(entries_[std::size_t(row)].path));
}

void HistoryView::compare(int row) {
  if (row < 0 || row >= int(entries_.size())) return;
  compareView_.showFile(FromStd(entries_[std::size_t(row)].path));
}

}  // namespace rq

#include "moc_history_view.cpp"
