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


constexpr int kLabelGap = 1;  // pixels between two names

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

QColor CurveColour(int i) {
  // Neighbouring rows far apart in hue and lightness.
  static const QColor kColours[kMapColumns] = {
      {31, 119, 180}, {200, 30, 60},  {0, 160, 120},  {140, 80, 200}, {160, 110, 30},
      {0, 60, 140},   {220, 80, 160}, {90, 140, 40},  {110, 40, 20},  {50, 170, 220},
      {170, 30, 140}, {0, 100, 70},   {190, 180, 40}, {90, 120, 250}, {160, 0, 0}};
  return kColours[std::size_t(std::clamp(i, 0, kMapColumns - 1))];
}

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
  // The names are placed once the axes know their pixels, before every drawing.
  connect(this, &QCustomPlot::afterLayout, this, [this] { placeLabels(); });
}

bool MapCurvePlot::selected(const MapCurve& curve) const {
  const CellRect& s = scene_.selection;
  return scene_.axis == CurveAxis::Rpm ? curve.index >= s.top() && curve.index <= s.bottom()
                                       : curve.index >= s.left() && curve.index <= s.right();
}

void MapCurvePlot::showScene(const CurveScene& scene) {
  scene_ = scene;
  const bool overRpm = scene.axis == CurveAxis::Rpm;
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
  auto ghost = [&](const std::vector<MapCurve>& curves, const QPen& pen, const QString& name) {
    for (std::size_t i = 0; i < curves.size(); ++i) {
      QCPGraph* g = take(ghostPool_, ghosts_.size(), ghostLayer_);
      g->setPen(pen);
      g->setName(name);
      SetPoints(g, curves[i].points);
      setLegendEntry(g, i == 0, legendChanged);  // the legend names each kind once
      ghosts_.push_back(g);
    }
  };
  ghost(scene.unit, QPen(kGhostUnit, 2.0, Qt::DotLine), scene.unitName);
  ghost(scene.other, QPen(kGhostOther, 1.6, Qt::DashLine), scene.otherName);
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
    const QColor c = CurveColour(curve.index);
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
      label->setPadding(QMargins(4, 0, 2, 0));
      label->setClipToAxisRect(false);
      label->position->setType(QCPItemPosition::ptAbsolute);
      labelPool_.push_back(label);
    }
    QCPItemText* label = labelPool_[i];
    labelEnds_.resize(i + 1);
    labelEnds_[i] = curve.points.back().y;
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
  labelEnds_.resize(curves_.size());
  // Room on the right for the names, beside the axes.
  int widest = 0;
  for (std::size_t i = 0; i < curves_.size(); ++i) {
    const QCPItemText* label = labelPool_[i];
    widest = std::max(widest, QFontMetrics(label->font()).horizontalAdvance(label->text()) +
                                  label->padding().left() + label->padding().right());
  }
  axisRect()->setMinimumMargins(QMargins(0, 0, widest + 8, 0));
  const double span = std::max(1.0, xHigh - xLow);
  xAxis->setRange(xLow - 0.02 * span, xHigh + 0.03 * span);
  const double height = std::max(1.0, scene.top - std::min(0.0, scene.bottom));
  yAxis->setRange(scene.bottom < 0 ? scene.bottom - 0.05 * height : 0, scene.top + 0.05 * height);
  xAxis->setLabel(scene.xTitle);
  yAxis->setLabel(scene.yTitle);
  note_->setText(scene.note);
  note_->setVisible(!scene.note.isEmpty());
  replot(QCustomPlot::rpQueuedReplot);
}

std::vector<QCPItemText*> MapCurvePlot::curveLabels() const {
  return {labelPool_.begin(), labelPool_.begin() + std::ptrdiff_t(curves_.size())};
}

void MapCurvePlot::placeLabels() {
  const std::size_t n = curves_.size();
  if (n == 0) return;
  const QRect area = axisRect()->rect();
  // Each name as near its curve's end as the names above and below it allow.
  std::vector<std::size_t> order(n);
  for (std::size_t i = 0; i < n; ++i) order[i] = i;
  std::vector<double> y(n);
  for (std::size_t i = 0; i < n; ++i) y[i] = yAxis->coordToPixel(labelEnds_[i]);
  std::stable_sort(order.begin(), order.end(), [&y](std::size_t a, std::size_t b) { return y[a] < y[b]; });
  double pitch = 0;
  for (std::size_t i = 0; i < n; ++i)
    pitch = std::max(pitch, double(QFontMetrics(labelPool_[i]->font()).height() + kLabelGap));
  // The whole height of the plot is theirs; more names than fit share it in smaller type.
  const double top = pitch / 2, bottom = height() - pitch / 2;
  const double room = n > 1 ? (bottom - top) / double(n - 1) : pitch;
  if (room < pitch) {
    for (std::size_t i = 0; i < n; ++i) {
      QFont f = labelPool_[i]->font();
      f.setPixelSize(std::max(6, int((room - kLabelGap) * 0.8)));
      labelPool_[i]->setFont(f);
    }
    pitch = room;
  }
  std::vector<double> at(n);
  for (std::size_t k = 0; k < n; ++k)
    at[k] = std::max(y[order[k]], k == 0 ? top : at[k - 1] + pitch);
  for (std::size_t k = n; k-- > 0;) at[k] = std::min(at[k], k + 1 == n ? bottom : at[k + 1] - pitch);
  for (std::size_t k = 0; k < n; ++k) labelPool_[order[k]]->position->setCoords(area.right() + 2, at[k]);
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
  if (editable_ && event->button() == Qt::LeftButton) {
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
  setCursor(editable_ && pointAt(event->position()) ? Qt::SizeVerCursor : Qt::ArrowCursor);
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
