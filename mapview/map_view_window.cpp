// SPDX-License-Identifier: GPL-3.0-or-later
// The map view's window: its bar and the stack of curves and surface.
#include "mapview/map_view_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "mapview/curve_plot.h"
#include "mapview/difference_view.h"
#include "mapview/mapview_texts.h"
#include "mapview/surface.h"

namespace rq {
namespace {

QToolButton* ToolButton(const char* name, QWidget* parent) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

}  // namespace

MapViewWindow::MapViewWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("FormMapView");
  resize(900, 600);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  auto* bar = new QHBoxLayout;
  bar->setSpacing(6);
  layout->addLayout(bar);

  modeBox_ = new QComboBox(this);
  modeBox_->setObjectName("ComboMapViewMode");
  modeBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  for (int i = 0; i < kViewModes; ++i) modeBox_->addItem(QString());
  connect(modeBox_, &QComboBox::activated, this, [this](int item) {
    setMode(ViewMode(item));
    if (onMode) onMode(mode_);
  });
  other_ = new QCheckBox(this);
  other_->setObjectName("CheckMapViewOther");
  unit_ = new QCheckBox(this);
  unit_->setObjectName("CheckMapViewUnit");
  for (QCheckBox* box : {other_, unit_})
    connect(box, &QCheckBox::clicked, this, [this] {
      if (onGhosts) onGhosts(other_->isChecked(), unit_->isChecked());
    });
  bar->addWidget(modeBox_);
  bar->addWidget(other_);
  bar->addWidget(unit_);
  bar->addSpacing(12);

  minus_ = ToolButton("ButtonMapViewMinus", this);
  minus_->setText(QString::fromUtf8("\u2212"));
  plus_ = ToolButton("ButtonMapViewPlus", this);
  plus_->setText("+");
  connect(minus_, &QToolButton::clicked, this, [this] {
    if (onStep) onStep(-1);
  });
  connect(plus_, &QToolButton::clicked, this, [this] {
    if (onStep) onStep(+1);
  });
  value_ = new QSpinBox(this);
  value_->setObjectName("SpinMapViewValue");
  value_->setKeyboardTracking(false);
  value_->installEventFilter(this);
  set_ = new QPushButton(this);
  set_->setObjectName("ButtonMapViewSet");
  connect(set_, &QPushButton::clicked, this, [this] {
    if (onSet) onSet(value_->value());
  });
  bar->addWidget(minus_);
  bar->addWidget(plus_);
  bar->addWidget(value_);
  bar->addWidget(set_);
  bar->addSpacing(12);

  smooth_ = ToolButton("ButtonMapViewSmooth", this);
  copy_ = ToolButton("ButtonMapViewCopy", this);
  for (QToolButton* b : {smooth_, copy_}) {
    b->setPopupMode(QToolButton::InstantPopup);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addWidget(b);
  }
  bar->addStretch();
  standard_ = new QPushButton(this);
  standard_->setObjectName("ButtonMapViewStandard");
  bar->addWidget(standard_);

  stack_ = new QStackedWidget(this);
  plot_ = new MapCurvePlot(stack_);
  stack_->addWidget(plot_);
  surfaceHolder_ = new QWidget(stack_);
  surfaceHolder_->setObjectName("MapSurfaceHolder");
  auto* holderLayout = new QVBoxLayout(surfaceHolder_);
  holderLayout->setContentsMargins(0, 0, 0, 0);
  stack_->addWidget(surfaceHolder_);
  differences_ = new MapDifferenceView(stack_);
  stack_->addWidget(differences_);
  layout->addWidget(stack_, 1);
  connect(standard_, &QPushButton::clicked, this, [this] {
    if (surface_ != nullptr) surface_->standardView();
  });
  setMode(ViewMode::CurvesOverRpm);
}

void MapViewWindow::setMode(ViewMode mode) {
  mode_ = mode;
  if (modeBox_->currentIndex() != int(mode)) modeBox_->setCurrentIndex(int(mode));
  const bool surface = mode == ViewMode::Surface;
  standard_->setVisible(surface);
  if (surface && surface_ == nullptr && isVisible()) {
    surface_ = MakeMapSurface(surfaceHolder_);
    surfaceHolder_->layout()->addWidget(surface_);
    if (onSurfaceMade) onSurfaceMade();
  }
  stack_->setCurrentWidget(surface                            ? surfaceHolder_
                           : mode == ViewMode::Differences ? static_cast<QWidget*>(differences_)
                                                           : static_cast<QWidget*>(plot_));
}

void MapViewWindow::setGhosts(bool other, bool unit) {
  other_->setChecked(other);
  unit_->setChecked(unit);
}

void MapViewWindow::setToolMenus(QMenu* smooth, QMenu* copy) {
  smooth_->setMenu(smooth);
  copy_->setMenu(copy);
}

void MapViewWindow::setValueScale(const CellScale& scale) {
  if (value_->singleStep() != scale.step) value_->setSingleStep(scale.step);
  if (value_->maximum() != scale.max) value_->setRange(0, scale.max);
}

void MapViewWindow::applyTexts(int language) {
  auto text = [language](MapViewText id) { return QString::fromUtf8(MapViewTextOf(id, language)); };
  const MapViewText modes[kViewModes] = {MapViewText::ModeRpm, MapViewText::ModeThrottle,
                                         MapViewText::ModeSurface, MapViewText::ModeDifference};
  for (int i = 0; i < kViewModes; ++i) modeBox_->setItemText(i, text(modes[i]));
  modeBox_->setToolTip(text(MapViewText::ModeHint));
  other_->setText(text(MapViewText::GhostOther));
  other_->setToolTip(text(MapViewText::GhostOtherHint));
  unit_->setText(text(MapViewText::GhostUnit));
  unit_->setToolTip(text(MapViewText::GhostUnitHint));
  minus_->setToolTip(text(MapViewText::MinusHint));
  plus_->setToolTip(text(MapViewText::PlusHint));
  set_->setText(text(MapViewText::Set));
  set_->setToolTip(text(MapViewText::SetHint));
  value_->setToolTip(text(MapViewText::SetHint));
  smooth_->setText(text(MapViewText::Smooth));
  smooth_->setToolTip(text(MapViewText::SmoothHint));
  copy_->setText(text(MapViewText::Copy));
  copy_->setToolTip(text(MapViewText::CopyHint));
  standard_->setText(text(MapViewText::StandardView));
  standard_->setToolTip(text(MapViewText::StandardViewHint));
  plot_->setToolTip(text(MapViewText::DragHint));
  surfaceHolder_->setToolTip(text(MapViewText::SurfaceHint));
  differences_->sourceBox()->setToolTip(text(MapViewText::DiffHint));
  differences_->sourceBox()->setItemText(MapDifferenceView::PcUnit, text(MapViewText::DiffUnit));
}

bool MapViewWindow::eventFilter(QObject* watched, QEvent* event) {
  // Enter in the value field sets the selection, as the Set button does.
  if (watched == value_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      value_->interpretText();
      if (onSet) onSet(value_->value());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void MapViewWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // A surface asked for while the window was hidden is made now.
  if (mode_ == ViewMode::Surface && surface_ == nullptr) setMode(mode_);
  if (onShown) onShown();
}

void MapViewWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (onHidden) onHidden();
}

}  // namespace rq

#include "moc_map_view_window.cpp"
