// SPDX-License-Identifier: GPL-3.0-or-later
#include "abmode/ab_panel.h"

#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <qcustomplot.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "abmode/ab_mode.h"
#include "pages/map_grid.h"
#include "pages/map_pages.h"

namespace rq::abmode {

namespace {

const QColor kMapColour[2] = {QColor(230, 120, 20), QColor(130, 80, 220)};
constexpr int kMostPoints = 1500;  // per gear and map: more only hides the curve

QString Length(double seconds) {
  const long s = std::lround(seconds);
  if (s < 60) return QString("%1 s").arg(s);
  if (s < 3600) return QString("%1 min").arg(std::lround(seconds / 60));
  return QString("%1 h %2 min").arg(s / 3600).arg(s / 60 % 60, 2, 10, QChar('0'));
}

QString Range(float low, float high) {
  return low == high ? QString::number(low, 'f', 0)
                     : QString::number(low, 'f', 0) + QString::fromUtf8("\u2013") + QString::number(high, 'f', 0);
}

}  // namespace

AbPanel::AbPanel(AbMode& mode, QWidget* parent) : QDialog(parent), mode_(mode) {
  setObjectName("AbPanel");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  resize(820, 640);
  auto* layout = new QVBoxLayout(this);
  table_ = new QTableWidget(0, 5, this);
  table_->setObjectName("TableAbRides");
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setMaximumHeight(170);
  layout->addWidget(table_);

  auto* buttons = new QHBoxLayout;
  add_ = new QPushButton(this);
  add_->setObjectName("ButtonAbAdd");
  remove_ = new QPushButton(this);
  remove_->setObjectName("ButtonAbRemove");
  again_ = new QPushButton(this);
  again_->setObjectName("ButtonAbAgain");
  spreadLabel_ = new QLabel(this);
  spread_ = new QSpinBox(this);
  spread_->setObjectName("SpinAbSpread");
  spread_->setRange(analysis::kMinSpread, analysis::kMaxSpread);
  maxMoveLabel_ = new QLabel(this);
  maxMove_ = new QSpinBox(this);
  maxMove_->setObjectName("SpinAbMaxMove");
  maxMove_->setRange(analysis::kMinMaxMove, analysis::kMaxMaxMove);
  for (QWidget* w : {static_cast<QWidget*>(add_), static_cast<QWidget*>(remove_), static_cast<QWidget*>(again_)})
    buttons->addWidget(w);
  buttons->addStretch(1);
  for (QWidget* w : {static_cast<QWidget*>(spreadLabel_), static_cast<QWidget*>(spread_),
                     static_cast<QWidget*>(maxMoveLabel_), static_cast<QWidget*>(maxMove_)})
    buttons->addWidget(w);
  layout->addLayout(buttons);

  heldTitle_ = new QLabel(this);
  held_ = new QPlainTextEdit(this);
  held_->setObjectName("TextAbHeld");
  held_->setReadOnly(true);
  held_->setMaximumHeight(70);
  layout->addWidget(heldTitle_);
  layout->addWidget(held_);

  auto* evidence = new QHBoxLayout;
  evidenceTitle_ = new QLabel(this);
  scope_ = new QComboBox(this);
  scope_->setObjectName("ComboAbEvidence");
  scope_->addItems({QString(), QString()});
  evidence->addWidget(evidenceTitle_, 1);
  evidence->addWidget(scope_);
  layout->addLayout(evidence);
  plot_ = new QCustomPlot(this);
  plot_->setObjectName("PlotAbEvidence");
  plot_->setMinimumHeight(260);
  plot_->setAutoAddPlottableToLegend(false);
  layout->addWidget(plot_, 1);

  connect(add_, &QPushButton::clicked, this, &AbPanel::addFiles);
  connect(remove_, &QPushButton::clicked, this, [this] {
    std::vector<int> rows;
    for (const QModelIndex& i : table_->selectionModel()->selectedRows()) rows.push_back(i.row());
    std::sort(rows.rbegin(), rows.rend());
    for (const int r : rows) mode_.removeRide(std::size_t(r));
  });
  connect(again_, &QPushButton::clicked, this, [this] { mode_.analyseAgain(); });
  auto settings = [this] {
    analysis::ProposalOptions o;
    o.spread = spread_->value();
    o.maxMove = maxMove_->value();
    mode_.setProposalOptions(o);
  };
  connect(spread_, &QSpinBox::valueChanged, this, settings);
  connect(maxMove_, &QSpinBox::valueChanged, this, settings);
  connect(scope_, &QComboBox::currentIndexChanged, this, &AbPanel::showEvidence);
  connect(&mode_, &AbMode::ridesChanged, this, &AbPanel::showRides);
  connect(&mode_, &AbMode::analysed, this, [this] {
    showRides();
    showEvidence();
  });
  connect(&mode_, &AbMode::heldChanged, this, [this] { held_->setPlainText(mode_.heldText()); });
  connect(&mode_, &AbMode::languageChanged, this, &AbPanel::applyLanguage);
  if (MapGrid* grid = mode_.badges().grid())
    connect(grid, &MapGrid::selectionChanged, this, &AbPanel::showEvidence);
  applyLanguage();
}

void AbPanel::addFiles() {
  const QStringList paths =
      QFileDialog::getOpenFileNames(this, mode_.text(AbText::AddTitle), QString(), mode_.text(AbText::AddFilter));
  if (!paths.isEmpty()) mode_.addRideFiles(paths);
}

void AbPanel::applyLanguage() {
  setWindowTitle(mode_.text(AbText::RidesTitle));
  table_->setHorizontalHeaderLabels({mode_.text(AbText::ColumnRide), mode_.text(AbText::ColumnDate),
                                     mode_.text(AbText::ColumnLength), mode_.text(AbText::ColumnMaps),
                                     mode_.text(AbText::ColumnNote)});
  add_->setText(mode_.text(AbText::Add));
  remove_->setText(mode_.text(AbText::Remove));
  again_->setText(mode_.text(AbText::RunAgain));
  spreadLabel_->setText(mode_.text(AbText::Spread));
  maxMoveLabel_->setText(mode_.text(AbText::MaxMove));
  for (QWidget* w : {static_cast<QWidget*>(spread_), static_cast<QWidget*>(maxMove_),
                     static_cast<QWidget*>(spreadLabel_), static_cast<QWidget*>(maxMoveLabel_)})
    w->setToolTip(mode_.text(AbText::SettingsHint));
  heldTitle_->setText(mode_.text(AbText::HeldTitle));
  scope_->setItemText(0, mode_.text(AbText::EvidenceOfCell));
  scope_->setItemText(1, mode_.text(AbText::EvidenceOfRow));
  showRides();
  showEvidence();
}

void AbPanel::showRides() {
  const analysis::ProposalOptions options = mode_.proposalOptions();
  {
    const QSignalBlocker a(spread_), b(maxMove_);
    spread_->setValue(options.spread);
    maxMove_->setValue(options.maxMove);
  }
  const std::vector<AbRide>& rides = mode_.rides().rides();
  const AbOutcome* outcome = mode_.outcome();
  table_->setRowCount(int(rides.size()));
  for (std::size_t k = 0; k < rides.size(); ++k) {
    const AbRide& r = rides[k];
    QString date, length, maps, note;
    if (r.log) {
      if (r.log->startMs)
        date = QDateTime::fromMSecsSinceEpoch(*r.log->startMs).toString("yyyy-MM-dd HH:mm");
      length = Length(r.log->seconds);
    }
    // The maps it used, from the last analysis (which counted it).
    if (outcome != nullptr && r.log) {
      for (std::size_t c = 0; c < outcome->counted.size(); ++c) {
        const std::size_t source = outcome->counted[c];
        if (source >= outcome->ids.size() || outcome->ids[source] != r.id) continue;
        const RideMaps m = RideMapsOf(outcome->ridden, c);
        if (!m.known) maps = mode_.text(AbText::MapsUnknown);
        else if (m.low[0] == m.high[0] && m.low[1] == m.high[1] && m.ridden[0] && m.ridden[1])
          maps = mode_.text(AbText::MapsFlat).arg(m.low[0], 0, 'f', 0).arg(m.low[1], 0, 'f', 0);
        else
          maps = mode_.text(AbText::MapsRange)
                     .arg(m.ridden[0] ? Range(m.low[0], m.high[0]) : QString("\u2013"))
                     .arg(m.ridden[1] ? Range(m.low[1], m.high[1]) : QString("\u2013"));
      }
    }
    QStringList notes;
    if (r.open) notes << mode_.text(AbText::OpenLogNote);
    if (!r.error.empty()) notes << QString::fromStdString(r.error);
    else if (!r.log) notes << mode_.text(AbText::NotReadNote);
    if (const int same = mode_.rides().sameAs(k); same >= 0)
      notes << mode_.text(AbText::SameRideNote).arg(QString::fromStdString(rides[std::size_t(same)].name));
    const QString cells[5] = {QString::fromStdString(r.name), date, length, maps, notes.join("; ")};
    for (int c = 0; c < 5; ++c) {
      QTableWidgetItem* item = table_->item(int(k), c);
      if (item == nullptr) table_->setItem(int(k), c, item = new QTableWidgetItem);
      if (item->text() != cells[c]) item->setText(cells[c]);
    }
  }
  table_->resizeColumnsToContents();
  again_->setEnabled(!mode_.analysing() && !mode_.current() && !mode_.rides().empty());
}

void AbPanel::showEvidence() {
  plot_->clearGraphs();
  plot_->plotLayout()->clear();
  points_ = 0;
  const AbOutcome* outcome = mode_.outcome();
  MapGrid* grid = mode_.badges().grid();
  if (outcome == nullptr || grid == nullptr) {
    evidenceTitle_->setText(QString());
    plot_->replot();
    return;
  }
  const CellRect sel = grid->selection();
  const int row = sel.row1, column = sel.column1;
  const bool wholeRow = scope_->currentIndex() == 1;
  evidenceTitle_->setText(wholeRow ? mode_.text(AbText::EvidenceRow).arg(kThrottleRows[row])
                                   : mode_.text(AbText::EvidenceCell)
                                         .arg(grid->rpmEdit(column)->value())
                                         .arg(kThrottleRows[row]));
  // The rows of the cell or row, per gear and map.
  std::array<std::array<std::vector<const AbEvidenceRow*>, 2>, 7> rows;
  const AbEvidence& e = outcome->evidence;
  for (int c = wholeRow ? 0 : column; c <= (wholeRow ? kMapColumns - 1 : column); ++c) {
    const std::size_t cell = std::size_t(row * kMapColumns + c);
    for (std::uint32_t i = e.start[cell]; i < e.start[cell + 1]; ++i) {
      const AbEvidenceRow& r = e.rows[i];
      if (r.gear >= 1 && r.gear <= 6) rows[r.gear][r.map].push_back(&r);
    }
  }
  int shown = 0;
  for (int g = 1; g <= 6; ++g) {
    if (rows[std::size_t(g)][0].empty() && rows[std::size_t(g)][1].empty()) continue;
    auto* rect = new QCPAxisRect(plot_);
    plot_->plotLayout()->addElement(0, shown++, rect);
    QCPAxis* x = rect->axis(QCPAxis::atBottom);
    QCPAxis* y = rect->axis(QCPAxis::atLeft);
    x->ticker()->setTickCount(3);
    x->setLabel(mode_.text(AbText::EvidenceGear).arg(g) + ", " + mode_.text(AbText::EvidenceAxisRpm));
    if (shown == 1) y->setLabel(mode_.text(AbText::EvidenceAxisAcc));
    double lowX = 1e9, highX = -1e9, lowY = 1e9, highY = -1e9;
    for (int m = 0; m < 2; ++m) {
      const auto& list = rows[std::size_t(g)][std::size_t(m)];
      if (list.empty()) continue;
      // The rows, thinned to a readable number, and the map's mean along rpm.
      QVector<double> xs, ys;
      const std::size_t step = std::max<std::size_t>(1, list.size() / kMostPoints);
      for (std::size_t i = 0; i < list.size(); i += step) {
        xs.push_back(list[i]->rpm);
        ys.push_back(list[i]->acceleration);
      }
      for (const AbEvidenceRow* r : list) {
        lowX = std::min(lowX, double(r->rpm));
        highX = std::max(highX, double(r->rpm));
        lowY = std::min(lowY, double(r->acceleration));
        highY = std::max(highY, double(r->acceleration));
      }
      QCPGraph* dots = plot_->addGraph(x, y);
      dots->setLineStyle(QCPGraph::lsNone);
      QColor faint = kMapColour[m];
      faint.setAlpha(110);
      dots->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, faint, faint, 3));
      dots->setData(xs, ys);
      points_ += int(xs.size());
      // A cell spans little rpm: a few steps; a throttle row the whole axis.
      const int kBins = wholeRow ? 24 : 5;
      std::vector<double> sum(std::size_t(kBins), 0.0), count(std::size_t(kBins), 0.0);
      for (const AbEvidenceRow* r : list) {
        const double span = std::max(1.0, highX - lowX);
        const int b = std::clamp(int((r->rpm - lowX) / span * kBins), 0, kBins - 1);
        sum[std::size_t(b)] += r->acceleration;
        count[std::size_t(b)] += 1;
      }
      QVector<double> mx, my;
      for (int b = 0; b < kBins; ++b) {
        if (count[std::size_t(b)] == 0) continue;
        mx.push_back(lowX + (b + 0.5) * std::max(1.0, highX - lowX) / kBins);
        my.push_back(sum[std::size_t(b)] / count[std::size_t(b)]);
      }
      QCPGraph* mean = plot_->addGraph(x, y);
      mean->setPen(QPen(kMapColour[m], 2));
      mean->setData(mx, my);
      mean->setName(mode_.text(AbText::EvidenceMap).arg(m + 1));
      dots->setName(QString());
    }
    const double padX = std::max(20.0, (highX - lowX) * 0.05), padY = std::max(20.0, (highY - lowY) * 0.05);
    x->setRange(lowX - padX, highX + padX);
    y->setRange(lowY - padY, highY + padY);
  }
  if (shown == 0) {
    auto* none = new QCPTextElement(plot_, mode_.text(AbText::EvidenceNone));
    plot_->plotLayout()->addElement(0, 0, none);
  } else {
    auto* legend = new QCPLegend;
    auto* first = qobject_cast<QCPAxisRect*>(plot_->plotLayout()->element(0, 0));
    first->insetLayout()->addElement(legend, Qt::AlignTop | Qt::AlignLeft);
    legend->setBrush(QColor(255, 255, 255, 215));
    // One entry per map, from the first gear's plot.
    for (int i = 0; i < plot_->graphCount(); ++i) {
      QCPGraph* g = plot_->graph(i);
      if (g->keyAxis()->axisRect() != first || g->name().isEmpty()) continue;
      g->addToLegend(legend);
    }
  }
  plot_->replot();
}

}  // namespace rq::abmode

#include "moc_ab_panel.cpp"
