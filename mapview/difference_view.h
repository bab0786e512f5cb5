// SPDX-License-Identifier: GPL-3.0-or-later
// The map view's differences: advance map 1 against map 2, or the map shown on the PC against
// the unit's, cell by cell as a grid (positive red, negative blue, the cells the layout hides
// empty) and as curves over rpm, one per throttle row. It only shows; the map view chooses.
#pragma once

#include <QWidget>

#include <functional>

#include "mapview/map_shape.h"

class QComboBox;
class QLabel;
class QTableWidget;

namespace rq {

class MapCurvePlot;

// What the differences show besides the numbers.
struct DifferenceTexts {
  QString note;           // above the grid: why nothing is shown, or how it is compared
  QString xTitle, yTitle;
};

class MapDifferenceView : public QWidget {
  Q_OBJECT
 public:
  // What is compared: 0 map 1 against map 2, 1 the PC against the unit.
  enum Source { MapsOneTwo = 0, PcUnit = 1 };

  explicit MapDifferenceView(QWidget* parent);

  // `difference` empty (not shown): nothing but the note.
  void show(const MapDifference& difference, const DifferenceTexts& texts);

  QComboBox* sourceBox() const { return source_; }
  QLabel* note() const { return note_; }
  QTableWidget* grid() const { return grid_; }
  MapCurvePlot* plot() const { return plot_; }

  std::function<void(int source)> onSource;

 private:
  QComboBox* source_ = nullptr;
  QLabel* note_ = nullptr;
  QTableWidget* grid_ = nullptr;
  MapCurvePlot* plot_ = nullptr;
};

// A difference as the grid writes it: "+3", "−2" (a minus sign), "0".
QString DifferenceText(int value);

}  // namespace rq
