// SPDX-License-Identifier: GPL-3.0-or-later
// The map view's window: a bar (the drawing, the ghosts, Minus / Plus, a value to set, the
// smoothing and copy menus, the standard view of the surface) over the curves, the surface or
// the differences.
// It only shows and asks: what a button means is the map view's (map_view.h) business. The
// surface is made the first time it is shown, so that no window without OpenGL makes one.
#pragma once

#include <QWidget>

#include <functional>

#include "model/map_model.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QToolButton;

namespace rq {

class MapCurvePlot;
class MapDifferenceView;
class MapSurface;

enum class ViewMode : int { CurvesOverRpm = 0, CurvesOverThrottle = 1, Surface = 2, Differences = 3 };
inline constexpr int kViewModes = 4;

class MapViewWindow : public QWidget {
  Q_OBJECT
 public:
  explicit MapViewWindow(QWidget* parent);

  ViewMode mode() const { return mode_; }
  // Shows the curves or the surface (made on first use); nothing is reported.
  void setMode(ViewMode mode);
  void setGhosts(bool other, bool unit);
  // The menus of the smoothing and copy buttons (the Tools menu's own).
  void setToolMenus(QMenu* smooth, QMenu* copy);
  // The value field's range and step for the page shown.
  void setValueScale(const CellScale& scale);
  void applyTexts(int language);

  MapCurvePlot* plot() const { return plot_; }
  MapDifferenceView* differences() const { return differences_; }
  // nullptr until the surface was first shown.
  MapSurface* surface() const { return surface_; }

  QComboBox* modeBox() const { return modeBox_; }
  QCheckBox* otherBox() const { return other_; }
  QCheckBox* unitBox() const { return unit_; }
  QToolButton* minusButton() const { return minus_; }
  QToolButton* plusButton() const { return plus_; }
  QSpinBox* valueBox() const { return value_; }
  QPushButton* setButton() const { return set_; }
  QToolButton* smoothButton() const { return smooth_; }
  QToolButton* copyButton() const { return copy_; }
  QPushButton* standardButton() const { return standard_; }

  // What the user asked for.
  std::function<void(ViewMode mode)> onMode;
  std::function<void(bool other, bool unit)> onGhosts;
  std::function<void(int direction)> onStep;
  std::function<void(double value)> onSet;
  std::function<void()> onSurfaceMade;
  std::function<void()> onShown;
  std::function<void()> onHidden;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  ViewMode mode_ = ViewMode::CurvesOverRpm;
  QComboBox* modeBox_ = nullptr;
  QCheckBox* other_ = nullptr;
  QCheckBox* unit_ = nullptr;
  QToolButton* minus_ = nullptr;
  QToolButton* plus_ = nullptr;
  QSpinBox* value_ = nullptr;
  QPushButton* set_ = nullptr;
  QToolButton* smooth_ = nullptr;
  QToolButton* copy_ = nullptr;
  QPushButton* standard_ = nullptr;
  QStackedWidget* stack_ = nullptr;
  MapCurvePlot* plot_ = nullptr;
  MapDifferenceView* differences_ = nullptr;
  QWidget* surfaceHolder_ = nullptr;
  MapSurface* surface_ = nullptr;
};

}  // namespace rq
