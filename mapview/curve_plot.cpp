// SPDX-License-Identifier: GPL-3.0-or-later
// The map's curves with QCustomPlot.
#include "mapview/curve_plot.h"

#include <algorithm>
#include <cmath>

#include "logs/plot_palette.h"
#include "mapview/mark_colours.h"

namespace rq {
namespace {

constexpr double kReach = 10;  // pixels around a point that take it
constexpr double kBold = 3.0, kThin = 1.2;
constexpr int kWeightSizes = 5;


// Curve i of n from blue (low rows or rpm) through violet to red: no green, which is the live
// point's.
QColor CurveColour(int i, int n) {
  const double t = n > 1 ? double(i) / double(n - 1) : 0.0;
  const QColor a(40, 90, 220), m(150, 50, 170), b(210, 40, 40);
  const QColor& from = t < 0.5 ? a : m;
  const QColor& to = t < 0.5 ? m : b;
  const double u = t < 0.5 ? 2 * t : 2 * t - 1;
  return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * u),
                          float(from.greenF() + (to.greenF() - from.greenF()) * u),
                          float(from.blueF() + (to.blueF() - from.blueF()) * u));
}

void SetPoints(QCPGraph* graph, const std::vector<CurvePoint>& points) {
  QVector<double> x, y;
  x.reserve(qsizetype(points.size()));
  y.reserve(qsizetype(points.size()));
  for (const CurvePoint& p : points) {
    x.push_back(p.x);
    y.push_back(p.y);
  }
  graph->setData(x, y, true);
}

QCPGraph* MarkGraph(QCustomPlot& plot, QCPLayer* layer, QCPScatterStyle style) {
  QCPGraph* g = plot.addGraph();
  g->setLayer(layer);
  g->setLineStyle(QCPGraph::lsNone);
  g->setScatterStyle(style);
  g->removeFromLegend();
  return g;
}

}  // namespace

MapCurvePlot::MapCurvePlot(QWidget* parent) : QCustomPlot(parent) {
  setObjectName("MapCurvePlot");
  addLayer("marks", layer("main"), QCustomPlot::limAbove);
  marks_ = layer("marks");
  addLayer("ghosts", layer("main"), QCustomPlot::limBelow);
  ghostLayer_ = layer("ghosts");
  setPlottingHint(QCP::phFastPolylines, true);
  marks_->setMode(QCPLayer::lmBuffered);
  legend->setVisible(true);
  legend->setRowSpacing(0);
  logs::ApplyPlotPalette(*this);  // the desktop's colours, dark or light
  axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
  live_ = MarkGraph(*this, marks_, QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(Qt::black, 1.5),
                                                   QBrush(kMarkLive), 14));
  replay_ = MarkGraph(*this, marks_, QCPScatterStyle(QCPScatterStyle::ssSquare, QPen(kMarkReplay, 2.5),
                                                     Qt::NoBrush, 16));
  broken_ = MarkGraph(*this, marks_, QCPScatterStyle(QCPScatterStyle::ssDiamond, QPen(kMarkBroken, 2),
                                                     Qt::NoBrush, 18));
  for (int level = 1; level <= kTrailLevels; ++level) {
    QColor c = kMarkTrail;
    c.setAlphaF(float(0.25 + 0.75 * level / kTrailLevels));
    trail_.push_back(MarkGraph(*this, marks_, QCPScatterStyle(QCPScatterStyle::ssDisc, c, 9)));
  }
  for (int k = 0; k < kWeightSizes; ++k) {
    QColor fill = kMarkWeight;
    fill.setAlpha(70);
    weights_.push_back(MarkGraph(*this, marks_, QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(kMarkWeight, 1.2),
                                                                QBrush(fill), 10 + 6 * k)));
  }
  // The marks draw over the curves, the weights below the live point.
  for (QCPGraph* g : weights_) g->setLayer(marks_);
  note_ = new QCPItemText(this);
  note_->position->setType(QCPItemPosition::ptAxisRectRatio);
  note_->position->setCoords(0.5, 0.5);
  note_->setVisible(false);
}

bool MapCurvePlot::selected(const MapCurve& curve) const {
  const CellRect& s = scene_.selection;
  return scene_.axis == CurveAxis::Rpm ? curve.index >= s.top() && curve.index <= s.bottom()
                                       : curve.index >= s.left() && curve.index <= s.right();
}

void MapCurvePlot::showScene(const CurveScene& scene) {
  scene_ = scene;
  const bool overRpm = scene.axis == CurveAxis::Rpm;
  const int count = overRpm ? kMapRows : kMapColumns;
  bool legendChanged = false;
  // The graphs and labels are kept and given new data: a drag step builds nothing.
  auto take = [this](std::vector<QCPGraph*>& pool, std::size_t used, QCPLayer* layer) {
    while (pool.size() <= used) {
      QCPGraph* g = addGraph();
      g->setLayer(layer);
      g->removeFromLegend();
      pool.push_back(g);
    }
    QCPGraph* g = pool[used];
    if (!g->visible()) g->setVisible(true);
    return g;
  };
  ghosts_.clear();
  // The ghosts on a layer under the curves.
  auto ghost = [&](const std::vector<MapCurve>& curves, Qt::PenStyle style, const QString& name) {
    for (std::size_t i = 0; i < curves.size(); ++i) {
      QCPGraph* g = take(ghostPool_, ghosts_.size(), ghostLayer_);
      QColor c = CurveColour(curves[i].index, count);
      c.setAlpha(150);
      g->setPen(QPen(c, 1.4, style));
      g->setName(name);
      SetPoints(g, curves[i].points);
      setLegendEntry(g, i == 0, legendChanged);  // the legend names each kind once
      ghosts_.push_back(g);
    }
  };
  ghost(scene.unit, Qt::DotLine, scene.unitName);
  ghost(scene.other, Qt::DashLine, scene.otherName);
  for (std::size_t i = ghosts_.size(); i < ghostPool_.size(); ++i) {
    ghostPool_[i]->setVisible(false);
    setLegendEntry(ghostPool_[i], false, legendChanged);
  }
  curves_.clear();
  double xLow = overRpm ? 1e9 : 0, xHigh = overRpm ? -1e9 : 100;
  QFont thin = font();
  thin.setPointSizeF(thin.pointSizeF() * 0.85);
  QFont bold = thin;
  bold.setBold(true);
  for (const MapCurve& curve : scene.curves) {
    QCPGraph* g = take(curvePool_, curves_.size(), layer("main"));
    const QColor c = CurveColour(curve.index, count);
    const bool chosen = selected(curve);
    g->setPen(QPen(c, chosen ? kBold : kThin));
    g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, c, chosen ? 7 : 5));
    SetPoints(g, curve.points);
    for (const CurvePoint& p : curve.points) {
      xLow = std::min(xLow, p.x);
      xHigh = std::max(xHigh, p.x);
    }
    // The row's throttle or the column's rpm at the curve's right end.
    const std::size_t i = curves_.size();
    while (labelPool_.size() <= i) {
      auto* label = new QCPItemText(this);
      label->setPositionAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      label->setPadding(QMargins(6, 0, 0, 0));
      labelPool_.push_back(label);
    }
    QCPItemText* label = labelPool_[i];
    const CurvePoint& end = curve.points.back();
    label->position->setCoords(end.x, end.y);
    label->setColor(c);
    label->setFont(chosen ? bold : thin);
    label->setText(i < scene.labels.size() ? scene.labels[i] : QString());
    label->setVisible(true);
    curves_.push_back(g);
  }
  for (std::size_t i = curves_.size(); i < curvePool_.size(); ++i) curvePool_[i]->setVisible(false);
  for (std::size_t i = curves_.size(); i < labelPool_.size(); ++i) labelPool_[i]->setVisible(false);
  if (xLow > xHigh) {
    xLow = 0;
    xHigh = overRpm ? 10000 : 100;
  }
  // Room on the right for the labels.
  const double span = std::max(1.0, xHigh - xLow);
  xAxis->setRange(xLow - 0.02 * span, xHigh + 0.1 * span);
  yAxis->setRange(0, scene.top * 1.05);
  xAxis->setLabel(scene.xTitle);
  yAxis->setLabel(scene.yTitle);
  note_->setText(scene.note);
  note_->setVisible(!scene.note.isEmpty());
  replot(QCustomPlot::rpQueuedReplot);
}

void MapCurvePlot::setLegendEntry(QCPGraph* graph, bool shown, bool& changed) {
  const bool has = legend->hasItemWithPlottable(graph);
  if (has == shown) return;
  changed = true;
  if (shown)
    graph->addToLegend();
  else
    graph->removeFromLegend();
}

void MapCurvePlot::showMarks(const CurveMarks& marks) {
  bool legendChanged = false;
  auto place = [](QCPGraph* g, const std::vector<CurvePoint>& points) { SetPoints(g, points); };
  std::vector<CurvePoint> one;
  if (marks.live) one.push_back(*marks.live);
  place(live_, one);
  live_->setName(marks.liveName);
  setLegendEntry(live_, marks.live.has_value(), legendChanged);
  one.clear();
  if (marks.replay) one.push_back(*marks.replay);
  place(replay_, one);
  replay_->setName(marks.replayName);
  setLegendEntry(replay_, marks.replay.has_value(), legendChanged);
  place(broken_, marks.broken);
  broken_->setName(marks.brokenName);
  setLegendEntry(broken_, !marks.broken.empty(), legendChanged);
  std::vector<std::vector<CurvePoint>> levels(trail_.size());
  for (const auto& [p, level] : marks.trail)
    if (level >= 1 && level <= int(trail_.size())) levels[std::size_t(level - 1)].push_back(p);
  for (std::size_t i = 0; i < trail_.size(); ++i) place(trail_[i], levels[i]);
  // The legend names the trail once, by its newest level.
  trail_.back()->setName(marks.trailName);
  setLegendEntry(trail_.back(), !marks.trail.empty(), legendChanged);
  std::vector<std::vector<CurvePoint>> sizes(weights_.size());
  for (const auto& [p, w] : marks.weights) {
    if (w <= 0) continue;
    const auto k = std::size_t(std::clamp(int(std::sqrt(w) * kWeightSizes), 0, kWeightSizes - 1));
    sizes[k].push_back(p);
  }
  for (std::size_t k = 0; k < weights_.size(); ++k) place(weights_[k], sizes[k]);
  weights_[2]->setName(marks.logName);
  setLegendEntry(weights_[2], !marks.weights.empty(), legendChanged);
  if (legendChanged)
    replot(QCustomPlot::rpQueuedReplot);
  else
    marks_->replot();
}

QPointF MapCurvePlot::pixelOf(const CurvePoint& p) const {
  return {xAxis->coordToPixel(p.x), yAxis->coordToPixel(p.y)};
}

std::optional<CurvePoint> MapCurvePlot::pointAt(const QPointF& pos) const {
  std::optional<CurvePoint> best;
  double bestDistance = kReach;
  for (const MapCurve& curve : scene_.curves) {
    for (const CurvePoint& p : curve.points) {
      const QPointF d = pixelOf(p) - pos;
      const double distance = std::hypot(d.x(), d.y());
      // On a tie the bold curve wins: it is the one the tuner works on.
      if (distance < bestDistance || (distance == bestDistance && best && selected(curve))) {
        bestDistance = distance;
        best = p;
      }
    }
  }
  return best;
}

void MapCurvePlot::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    taken_ = pointAt(event->position());
    if (taken_) {
      if (onTaken) onTaken(*taken_);
      event->accept();
      return;
    }
  }
  QCustomPlot::mousePressEvent(event);
}

void MapCurvePlot::mouseMoveEvent(QMouseEvent* event) {
  if (taken_ && (event->buttons() & Qt::LeftButton)) {
    if (onDragged) onDragged(*taken_, valueAt(event->position().y()));
    event->accept();
    return;
  }
  // The cursor tells where a point can be taken.
  setCursor(pointAt(event->position()) ? Qt::SizeVerCursor : Qt::ArrowCursor);
  QCustomPlot::mouseMoveEvent(event);
}

void MapCurvePlot::mouseReleaseEvent(QMouseEvent* event) {
  if (taken_ && event->button() == Qt::LeftButton) {
    taken_.reset();
    if (onReleased) onReleased();
    event->accept();
    return;
  }
  QCustomPlot::mouseReleaseEvent(event);
}

}  // namespace rq

#include "moc_curve_plot.cpp"
