// SPDX-License-Identifier: GPL-3.0-or-later
// The map as curves: advance (or servo value) against engine speed, one curve per throttle
// row, or against throttle, one curve per rpm point; the rows or columns of the selection bold;
// each row (or rpm point) in a colour of its own, named at the right of the plot where no two
// names meet; the other advance map dashed and the unit's map dotted behind them, in grey; the
// live point, its
// trail, the time a ride log spent in each cell and the log's cursor on a layer of their own,
// so that a monitor reply repaints only that layer. A point of a curve can be taken with the
// mouse and dragged up or down; what that means is the caller's business.
#pragma once

#include <qcustomplot.h>

#include <QColor>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "mapview/map_shape.h"

namespace rq {

struct CurveScene {
  CurveAxis axis = CurveAxis::Rpm;
  std::vector<MapCurve> curves;
  std::vector<QString> labels;  // one per curve, at its right end ("60 %", "5000")
  std::vector<MapCurve> other;  // ghost of the other advance map (empty: none)
  std::vector<MapCurve> unit;   // ghost of the unit's map (empty: none)
  CellRect selection;           // its rows (over rpm) or columns (over throttle) are bold
  double top = 60;              // the value axis runs from `bottom` to here
  double bottom = 0;
  QString xTitle, yTitle, otherName, unitName;
  QString note;                 // said over an empty plot (the servo off)
};

// The colour of curve `i` (a row, or an rpm point): fifteen colours that differ clearly from
// each other, from the lime live point, the orange trail and the grey ghosts.
QColor CurveColour(int i);

struct CurveMarks {
  std::optional<CurvePoint> live;
  std::vector<std::pair<CurvePoint, int>> trail;       // level 1 (oldest) .. kTrailLevels
  std::vector<std::pair<CurvePoint, double>> weights;  // share of the most visited cell, 0..1
  std::optional<CurvePoint> replay;
  std::vector<CurvePoint> broken;  // cells beyond the tuner's limits
  QString liveName, trailName, logName, replayName, brokenName;
};

class MapCurvePlot : public QCustomPlot {
  Q_OBJECT
 public:
  explicit MapCurvePlot(QWidget* parent = nullptr);

  // Draws the curves and ghosts (repainted with the next paint).
  void showScene(const CurveScene& scene);
  // Places the marks and repaints only their layer (everything when the legend changes).
  void showMarks(const CurveMarks& marks);

  const CurveScene& scene() const { return scene_; }
  // The graphs of the curves in the order of scene().curves, of the ghosts, of the marks
  // (those in use: the plot keeps more for later scenes, hidden).
  const std::vector<QCPGraph*>& curveGraphs() const { return curves_; }
  // The names at the right, in the order of scene().curves.
  std::vector<QCPItemText*> curveLabels() const;
  const std::vector<QCPGraph*>& ghostGraphs() const { return ghosts_; }
  QCPGraph* liveGraph() const { return live_; }
  const std::vector<QCPGraph*>& trailGraphs() const { return trail_; }
  const std::vector<QCPGraph*>& weightGraphs() const { return weights_; }
  QCPGraph* replayGraph() const { return replay_; }
  QCPGraph* brokenGraph() const { return broken_; }
  QCPLayer* marksLayer() const { return marks_; }

  // Whether a point can be taken and dragged (on by default).
  void setEditable(bool on) { editable_ = on; }
  // The point of a curve nearest to `pos` within reach of the mouse.
  std::optional<CurvePoint> pointAt(const QPointF& pos) const;
  QPointF pixelOf(const CurvePoint& point) const;
  // The value at a height of the plot.
  double valueAt(double pixelY) const { return yAxis->pixelToCoord(pixelY); }

  // A point taken by the mouse, dragged to a value, let go.
  std::function<void(const CurvePoint& point)> onTaken;
  std::function<void(const CurvePoint& point, double value)> onDragged;
  std::function<void()> onReleased;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool selected(const MapCurve& curve) const;
  // Puts the names beside the plot, each by its curve's end, apart from each other.
  void placeLabels();
  void setLegendEntry(QCPGraph* graph, bool shown, bool& changed);

  CurveScene scene_;
  std::vector<QCPGraph*> curves_, ghosts_;           // those in use
  std::vector<QCPGraph*> curvePool_, ghostPool_;     // every one made
  std::vector<QCPItemText*> labelPool_;
  std::vector<double> labelEnds_;  // the value each name stands for, by curve
  QCPLayer* marks_ = nullptr;
  QCPLayer* ghostLayer_ = nullptr;
  QCPGraph* live_ = nullptr;
  QCPGraph* replay_ = nullptr;
  QCPGraph* broken_ = nullptr;
  std::vector<QCPGraph*> trail_, weights_;
  QCPItemText* note_ = nullptr;
  std::optional<CurvePoint> taken_;
  bool editable_ = true;
};

}  // namespace rq
