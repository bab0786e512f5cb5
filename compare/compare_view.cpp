// SPDX-License-Identifier: GPL-3.0-or-later
#include "compare/compare_view.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/form_hlav.h"
#include "model/config_file.h"
#include "model/program_history.h"
#include "model/unit_comparison.h"
#include "ui/qt_text.h"
#include "ui/unit_texts.h"
#include "unitsync/unit_sync.h"

namespace rq {
namespace {

enum Column { kPage, kName, kPc, kOther, kUnit, kTake, kColumns };

}  // namespace

CompareView::CompareView(FormHlav& form) : QObject(&form), form_(form) {
  // File › Compare with file…, after the Save items (captions from the caption table).
  auto* file = form_.findChild<QMenu*>("MenuFile");
  auto* print = form_.findChild<QAction*>("MenuPrint");
  if (file != nullptr) {
    auto* a = new QAction("Co&mpare with file...", file);
    a->setObjectName("MenuCompareFile");
    file->insertAction(print, a);
    if (print != nullptr) file->insertSeparator(print);
    connect(a, &QAction::triggered, this, [this] { MenuCompareFileClick(); });
  }
}

CompareView::~CompareView() = default;

void CompareView::ensureView() {
  if (view_ != nullptr) return;
  view_ = new QDialog(&form_);
  view_->setObjectName("FormCompare");
  view_->resize(780, 500);
  auto* layout = new QVBoxLayout(view_);
  header_ = new QLabel(view_);
  header_->setObjectName("LabelCompareHeader");
  header_->setWordWrap(true);
  layout->addWidget(header_);
  summary_ = new QLabel(view_);
  summary_->setObjectName("LabelCompareSummary");
  summary_->setWordWrap(true);
  layout->addWidget(summary_);
  table_ = new QTableWidget(0, kColumns, view_);
  table_->setObjectName("TableCompare");
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->hide();
  table_->setWordWrap(false);
  layout->addWidget(table_);
  connect(table_, &QTableWidget::cellClicked, this, [this](int row, int column) {
    if (column == kTake) take(row);
  });
  auto* buttons = new QHBoxLayout;
  takeAll_ = new QPushButton(view_);
  takeAll_->setObjectName("ButtonCompareTakeAll");
  connect(takeAll_, &QPushButton::clicked, this, [this] { takeAll(); });
  close_ = new QPushButton(view_);
  close_->setObjectName("ButtonCompareClose");
  connect(close_, &QPushButton::clicked, view_, &QDialog::close);
  buttons->addWidget(takeAll_);
  buttons->addStretch();
  buttons->addWidget(close_);
  layout->addLayout(buttons);
}

void CompareView::showUnit(const ParameterImage& unit, bool ok) {
  other_ = unit;
  againstUnit_ = true;
  compared_ = ok;
  notes_.clear();
  const int lang = form_.language();
  if (ok) {
    const IdentificationTexts id = DecodeIdentification(unit);
    notes_ << FromStd(UnitTextOf(UtUnitIdentification, lang))
                  .arg(FromStd(id.nameVersion), FromStd(id.date), FromStd(id.time))
                  .arg(unit.byte(kIdentOffset + kIdentVersionOffset));
  } else {
    notes_ << FromStd(UnitTextOf(UtUnitReadFailed, lang));
  }
  title_ = FromStd(UnitTextOf(UtTitleUnit, lang));
  present();
}

void CompareView::showFile(const QString& path, const QStringList& notes) {
  againstUnit_ = false;
  const int lang = form_.language();
  title_ = FromStd(UnitTextOf(UtTitleFile, lang)).arg(QFileInfo(path).fileName());
  notes_ = notes;
  LoadedConfiguration loaded;
  std::string error;
  // On top of the PC, as File › Open takes it: a partial file differs only in what it gives.
  compared_ = LoadConfigurationFile(path.toUtf8().toStdString(), loaded, error, &form_.image());
  if (compared_) {
    other_ = loaded.image;
    if (notes_.isEmpty()) notes_ << fileNote(path);
  } else {
    notes_.prepend(FromStd(UnitTextOf(UtFileNotLoaded, lang)).arg(FromStd(error)));
  }
  present();
}

QString CompareView::fileNote(const QString& path) const {
  // A configuration kept by a programming names the unit it went into.
  const int lang = form_.language();
  const ProgramRecord record = ReadProgramRecord(path.toUtf8().toStdString());
  if (record.unit.empty()) return FromStd(UnitTextOf(UtFileHasNoIdentification, lang));
  const UnitRecord& unit = form_.unitSync().record();
  if (unit.state() == UnitRecord::State::Known) {
    const std::string connected = DecodeIdentification(unit.unit()).nameVersion;
    if (connected != record.unit)
      return FromStd(UnitTextOf(UtFileOtherUnit, lang)).arg(FromStd(record.unit), FromStd(connected));
  }
  return FromStd(UnitTextOf(UtFileProgrammedInto, lang)).arg(FromStd(record.unit));
}

void CompareView::MenuCompareFileClick() {
  form_.CommitPendingEdit();
  const QString path = openDialog ? openDialog()
                                  : QFileDialog::getOpenFileName(&form_, QString(), form_.iniDir(),
                                                                 "*.ign;;*");
  if (path.isEmpty()) return;
  showFile(path);
}

void CompareView::present() {
  ensureView();
  fill();
  view_->show();
  view_->raise();
}

void CompareView::pcChanged() {
  if (view_ != nullptr && view_->isVisible()) fill();
}

void CompareView::fill() {
  const int lang = form_.language();
  view_->setWindowTitle(title_);
  header_->setText(notes_.join("\n"));
  table_->setHorizontalHeaderLabels(
      {FromStd(UnitTextOf(UtColumnPage, lang)), FromStd(UnitTextOf(UtColumnParameter, lang)),
       FromStd(UnitTextOf(UtColumnPc, lang)),
       FromStd(UnitTextOf(againstUnit_ ? UtColumnUnit : UtColumnFile, lang)),
       FromStd(UnitTextOf(UtColumnUnitOfMeasure, lang)), QString()});
  takeAll_->setText(FromStd(UnitTextOf(UtTakeAll, lang)));
  close_->setText(FromStd(UnitTextOf(UtClose, lang)));
  diff_ = compared_ ? CompareConfigurations(form_.image(), other_) : std::vector<ConfigDifference>{};
  table_->setUpdatesEnabled(false);
  table_->clearContents();
  table_->setRowCount(int(diff_.size()));
  const QString takeText = FromStd(UnitTextOf(UtTake, lang));
  QFont link = table_->font();
  link.setUnderline(true);
  for (int r = 0; r < int(diff_.size()); ++r) {
    const ConfigDifference& d = diff_[std::size_t(r)];
    // Grouped by page: the page's name starts its group.
    const bool first = r == 0 || diff_[std::size_t(r - 1)].pageIndex != d.pageIndex;
    const QString cells[kColumns] = {first ? FromStd(d.page) : QString(), FromStd(d.name),
                                     FromStd(d.first), FromStd(d.second), FromStd(d.unit),
                                     takeText};
    for (int c = 0; c < kColumns; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c == kPc || c == kOther) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (c == kTake) {
        item->setFont(link);
        item->setForeground(QColor(0, 0, 200));
      }
      table_->setItem(r, c, item);
    }
  }
  // Column widths from the texts' widths, not by measuring every row's cells.
  const QFontMetrics fm(table_->font());
  int widths[kColumns] = {};
  for (int c = 0; c < kColumns; ++c)
    widths[c] = fm.horizontalAdvance(table_->horizontalHeaderItem(c) != nullptr
                                         ? table_->horizontalHeaderItem(c)->text()
                                         : QString());
  for (const ConfigDifference& d : diff_) {
    widths[kPage] = std::max(widths[kPage], fm.horizontalAdvance(FromStd(d.page)));
    widths[kPc] = std::max(widths[kPc], fm.horizontalAdvance(FromStd(d.first)));
    widths[kOther] = std::max(widths[kOther], fm.horizontalAdvance(FromStd(d.second)));
    widths[kUnit] = std::max(widths[kUnit], fm.horizontalAdvance(FromStd(d.unit)));
  }
  QFontMetrics lm(link);
  widths[kTake] = std::max(widths[kTake], lm.horizontalAdvance(takeText));
  for (int c = 0; c < kColumns; ++c)
    if (c != kName) table_->setColumnWidth(c, widths[c] + 16);
  table_->horizontalHeader()->setSectionResizeMode(kName, QHeaderView::Stretch);
  table_->setUpdatesEnabled(true);
  takeAll_->setEnabled(!diff_.empty());
  if (!compared_) summary_->clear();
  else if (diff_.empty()) summary_->setText(FromStd(UnitTextOf(UtNoDifferences, lang)));
  else summary_->setText(FromStd(DifferencesSummary(diff_.size(), lang)));
}

void CompareView::take(int row) {
  if (row < 0 || row >= int(diff_.size())) return;
  form_.CommitPendingEdit();
  const ImageSlot slot = diff_[std::size_t(row)].slot;
  TakeSlot(form_.image(), other_, slot);
  form_.AfterChange();  // one undo step; programs after change when ticked; the list follows
}

void CompareView::takeAll() {
  if (diff_.empty()) return;
  form_.CommitPendingEdit();
  for (const ConfigDifference& d : diff_) TakeSlot(form_.image(), other_, d.slot);
  form_.AfterChange();
}

}  // namespace rq

#include "moc_compare_view.cpp"
