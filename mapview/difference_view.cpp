// SPDX-License-Identifier: GPL-3.0-or-later
// The grid and curves of the map view's differences.
#include "mapview/difference_view.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

#include "mapview/curve_plot.h"

namespace rq {

QString DifferenceText(int value) {
  if (value > 0) return "+" + QString::number(value);
  if (value < 0) return QString::fromUtf8("\u2212") + QString::number(-value);
  return "0";
}

MapDifferenceView::MapDifferenceView(QWidget* parent) : QWidget(parent) {
  setObjectName("MapDifferenceView");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* bar = new QHBoxLayout;
  source_ = new QComboBox(this);
  source_->setObjectName("ComboMapDiffSource");
  source_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  source_->addItem(QString());
  source_->addItem(QString());
  connect(source_, &QComboBox::activated, this, [this](int item) {
    if (onSource) onSource(item);
  });
  note_ = new QLabel(this);
  note_->setObjectName("LabelMapDiffNote");
  note_->setWordWrap(true);
  bar->addWidget(source_);
  bar->addWidget(note_, 1);
  layout->addLayout(bar);
  auto* split = new QSplitter(Qt::Vertical, this);
  grid_ = new QTableWidget(kMapRows, kMapColumns, split);
  grid_->setObjectName("TableMapDiff");
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionMode(QAbstractItemView::NoSelection);
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  for (int r = 0; r < kMapRows; ++r) {
    grid_->setVerticalHeaderItem(r, new QTableWidgetItem(QString("%1 %").arg(kThrottleRows[r])));
    for (int c = 0; c < kMapColumns; ++c) {
      auto* item = new QTableWidgetItem;
      item->setTextAlignment(Qt::AlignCenter);
      grid_->setItem(r, c, item);
    }
  }
  for (int c = 0; c < kMapColumns; ++c) grid_->setHorizontalHeaderItem(c, new QTableWidgetItem);
  plot_ = new MapCurvePlot(split);
  plot_->setObjectName("MapDiffPlot");
  plot_->setEditable(false);
  plot_->legend->setVisible(false);
  split->addWidget(grid_);
  split->addWidget(plot_);
  // The grid and the curves share the height.
  grid_->setMinimumHeight(120);
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 1);
  split->setSizes({500, 500});
  layout->addWidget(split, 1);
}

void MapDifferenceView::show(const MapDifference& d, const DifferenceTexts& texts) {
  note_->setText(texts.note);
  note_->setVisible(!texts.note.isEmpty());
  int largest = 1;
  for (const std::optional<int>& v : d.value)
    if (v) largest = std::max(largest, std::abs(*v));
  for (int c = 0; c < kMapColumns; ++c)
    grid_->horizontalHeaderItem(c)->setText(d.shown ? QString::number(d.rpm[std::size_t(c)]) : QString());
  for (int r = 0; r < kMapRows; ++r) {
    for (int c = 0; c < kMapColumns; ++c) {
      QTableWidgetItem* item = grid_->item(r, c);
      const std::optional<int> v = d.shown ? d.at(r, c) : std::nullopt;
      item->setText(v ? DifferenceText(*v) : QString());
      // Red above, blue below, the deeper the larger; a cell the layout hides in grey.
      QColor shade = v ? QColor(Qt::white) : palette().color(QPalette::Window);
      if (v && *v != 0) {
        const double t = 0.15 + 0.5 * std::abs(*v) / largest;
        const QColor to = *v > 0 ? QColor(220, 40, 40) : QColor(40, 90, 220);
        shade = QColor::fromRgbF(float(1 - t + t * to.redF()), float(1 - t + t * to.greenF()),
                                 float(1 - t + t * to.blueF()));
      }
      item->setBackground(shade);
      item->setForeground(QColor(Qt::black));
    }
  }
  CurveScene scene;
  scene.axis = CurveAxis::Rpm;
  scene.selection = {-1, -1, -1, -1};  // no row bold: nothing is selected here
  scene.curves = d.shown ? d.curves() : std::vector<MapCurve>{};
  double hi = 0, lo = 0;
  for (const MapCurve& curve : scene.curves) {
    scene.labels.push_back(QString("%1 %").arg(kThrottleRows[curve.index]));
    for (const CurvePoint& p : curve.points) {
      hi = std::max(hi, p.y);
      lo = std::min(lo, p.y);
    }
  }
  // A scale around zero that shows both signs, at least one step each way.
  const double reach = std::max({1.0, hi, -lo});
  scene.top = std::max(hi, reach * 0.25);
  scene.bottom = std::min(lo, -reach * 0.25);
  scene.xTitle = texts.xTitle;
  scene.yTitle = texts.yTitle;
  plot_->showScene(scene);
}

}  // namespace rq

#include "moc_difference_view.cpp"
