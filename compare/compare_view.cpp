// SPDX-License-Identifier: GPL-3.0-or-later
#include "compare/compare_view.h"

#include <QAction>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "model/config_file.h"
#include "model/program_history.h"
#include "model/unit_comparison.h"
#include "ui/qt_text.h"
#include "ui/unit_texts.h"
#include "ui/window_face.h"
#include "workspace/workspace.h"

namespace rq {
namespace {

enum Column { kPage, kName, kPc, kOther, kUnit, kTake, kColumns };

}  // namespace

CompareView::CompareView(Workspace& workspace, WindowFace& window)
    : QObject(window.dialogParent()), ws_(workspace), window_(window) {
  // File › Compare with file… (captions from the caption table).
  auto* separator = new QAction(this);
  separator->setSeparator(true);
  window_.addMenuAction(WindowFace::Menu::File, separator);
  auto* a = new QAction("Co&mpare with file...", this);
  a->setObjectName("MenuCompareFile");
  window_.addMenuAction(WindowFace::Menu::File, a);
  connect(a, &QAction::triggered, this, [this] { MenuCompareFileClick(); });
  // The list follows the PC's configuration and what is known of the unit.
  connect(&ws_, &Workspace::imageChanged, this, [this] { pcChanged(); });
  connect(&ws_, &Workspace::unitChanged, this, [this] { pcChanged(); });
}

CompareView::~CompareView() = default;

void CompareView::ensureView() {
  if (view_ != nullptr) return;
  view_ = new QDialog(window_.dialogParent());
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
  given_.reset();
  againstUnit_ = true;
  compared_ = ok;
  notes_.clear();
  const int lang = ws_.language();
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
  const int lang = ws_.language();
  title_ = FromStd(UnitTextOf(UtTitleFile, lang)).arg(QFileInfo(path).fileName());
  notes_ = notes;
  LoadedConfiguration loaded;
  std::string error;
  // On top of the PC, as File › Open takes it: a partial file differs only in what it gives.
  compared_ = LoadConfigurationFile(path.toUtf8().toStdString(), loaded, error, &ws_.image());
  if (compared_) {
    other_ = loaded.image;
    given_ = loaded.given;
    if (notes_.isEmpty()) notes_ << fileNote(path);
  } else {
    notes_.prepend(FromStd(UnitTextOf(UtFileNotLoaded, lang)).arg(FromStd(error)));
  }
  present();
}

QString CompareView::fileNote(const QString& path) const {
  // A configuration kept by a programming names the unit it went into.
  const int lang = ws_.language();
  const ProgramRecord record = ReadProgramRecord(path.toUtf8().toStdString());
  if (record.unit.empty()) return FromStd(UnitTextOf(UtFileHasNoIdentification, lang));
  const UnitRecord& unit = ws_.unit();
  if (unit.state() == UnitRecord::State::Known) {
    const std::string connected = DecodeIdentification(unit.unit()).nameVersion;
    if (connected != record.unit)
      return FromStd(UnitTextOf(UtFileOtherUnit, lang)).arg(FromStd(record.unit), FromStd(connected));
  }
  return FromStd(UnitTextOf(UtFileProgrammedInto, lang)).arg(FromStd(record.unit));
}

void CompareView::MenuCompareFileClick() {
  window_.commitPendingEdit();
  const QString path = openDialog ? openDialog()
                                  : QFileDialog::getOpenFileName(window_.dialogParent(), QString(),
                                                                 startName ? startName() : QString(),
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
  const int lang = ws_.language();
  view_->setWindowTitle(title_);
  header_->setText(notes_.join("\n"));
  table_->setHorizontalHeaderLabels(
      {FromStd(UnitTextOf(UtColumnPage, lang)), FromStd(UnitTextOf(UtColumnParameter, lang)),
       FromStd(UnitTextOf(UtColumnPc, lang)),
       FromStd(UnitTextOf(againstUnit_ ? UtColumnUnit : UtColumnFile, lang)),
       FromStd(UnitTextOf(UtColumnUnitOfMeasure, lang)), QString()});
  takeAll_->setText(FromStd(UnitTextOf(UtTakeAll, lang)));
  close_->setText(FromStd(UnitTextOf(UtClose, lang)));
  // A file is compared by what it gives: the PC may have changed the rest since.
  diff_ = compared_ ? CompareConfigurations(ws_.image(), other_, given_ ? &*given_ : nullptr)
                    : std::vector<ConfigDifference>{};
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
  window_.commitPendingEdit();
  const ImageSlot slot = diff_[std::size_t(row)].slot;
  // One undo step; programs after change when ticked; the list follows. Refused while a read
  // is replacing the configuration.
  ws_.change([&](ParameterImage& image) { TakeSlot(image, other_, slot); }, window_.currentPage());
}

void CompareView::takeAll() {
  if (diff_.empty()) return;
  window_.commitPendingEdit();
  ws_.change(
      [&](ParameterImage& image) {
        for (const ConfigDifference& d : diff_) TakeSlot(image, other_, d.slot);
      },
      window_.currentPage());
}

}  // namespace rq

#include "moc_compare_view.cpp"
