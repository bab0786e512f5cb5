// SPDX-License-Identifier: GPL-3.0-or-later
#include "logs/log_plot.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "logs/log_session.h"
#include "logs/plot_decimation.h"
#include "logs/plot_palette.h"

namespace rq::logs {

namespace {

const QColor kTraceColours[] = {QColor(31, 119, 180), QColor(214, 39, 40), QColor(44, 160, 44),
                                QColor(148, 103, 189), QColor(255, 127, 14), QColor(23, 190, 207),
                                QColor(140, 86, 75), QColor(227, 119, 194)};
// The acceleration by the map in use: orange for map 1, violet for map 2 (as on the map pages'
// A/B mode); the stretches Find matched in pale yellow under the traces.
const QColor kMapColours[2] = {QColor(225, 115, 10), QColor(125, 60, 200)};
const QColor kMarkColour(255, 215, 0, 80);
constexpr const char* kColouredColumn = "acceleration_rpm_s";

using Spans = std::vector<std::pair<double, double>>;

// The marked stretches of one plot, drawn under its traces; where more stretches than pixels
// are shown, the next one drawn is looked up from the next pixel on, so that a million
// stretches cost a few thousand steps.
class MarkBands : public QCPLayerable {
 public:
  MarkBands(QCustomPlot* plot, QCPAxisRect* rect, std::shared_ptr<Spans> spans)
      : QCPLayerable(plot, QString(), rect), rect_(rect), spans_(std::move(spans)) {
    setLayer("grid");
  }

 protected:
  void applyDefaultAntialiasingHint(QCPPainter* painter) const override {
    applyAntialiasingHint(painter, false, QCP::aeOther);
  }
  QRect clipRect() const override { return rect_->rect(); }
  void draw(QCPPainter* painter) override {
    const Spans& spans = *spans_;
    if (spans.empty()) return;
    QCPAxis* x = rect_->axis(QCPAxis::atBottom);
    const QRect area = rect_->rect();
    const double lo = x->range().lower, hi = x->range().upper;
    auto it = std::lower_bound(spans.begin(), spans.end(), lo,
                               [](const std::pair<double, double>& s, double t) { return s.second <= t; });
    int left = 0, right = -1;  // the band being gathered, in pixels
    auto flush = [&] {
      if (right >= left) painter->fillRect(QRect(left, area.top(), right - left + 1, area.height()), kMarkColour);
    };
    while (it != spans.end() && it->first < hi) {
      const int x0 = int(std::floor(x->coordToPixel(std::max(it->first, lo))));
      const int x1 = std::max(x0, int(std::ceil(x->coordToPixel(std::min(it->second, hi)))) - 1);
      if (x0 <= right + 1) {
        right = std::max(right, x1);
      } else {
        flush();
        left = x0;
        right = x1;
      }
      // On from the first stretch that ends right of this band's last pixel.
      const double next = x->pixelToCoord(right + 1);
      ++it;
      if (it != spans.end() && it->second <= next)
        it = std::lower_bound(it, spans.end(), next, [](const std::pair<double, double>& s, double t) {
          return s.second <= t;
        });
    }
    flush();
  }

 private:
  QCPAxisRect* rect_;
  std::shared_ptr<Spans> spans_;
};
const QColor kSecondColour(230, 120, 0);

}  // namespace

LogPlot::LogPlot(LogSession& session, QWidget* parent) : QCustomPlot(parent), session_(session) {
  setObjectName("LogPlot");
  setFocusPolicy(Qt::StrongFocus);
  setNoAntialiasingOnDrag(true);
  setAntialiasedElements(QCP::aeNone);
  setNotAntialiasedElements(QCP::aeAll);
  setPlottingHint(QCP::phCacheLabels, true);
  addLayer("cursor", layer("main"), QCustomPlot::limAbove);
  cursorLayer_ = layer("cursor");
  cursorLayer_->setMode(QCPLayer::lmBuffered);
  band_ = new QRubberBand(QRubberBand::Rectangle, this);
  rebuild();
}

void LogPlot::setPlots(const std::vector<std::vector<int>>& plots) {
  plots_ = plots;
  rebuild();
  refreshTraces();
}

void LogPlot::rebuild() {
  clearGraphs();
  clearItems();
  for (Stack& s : stacks_) delete s.bands;
  plotLayout()->clear();
  stacks_.clear();
  const bool split = colourByMap_ && session_.isOpen() && session_.table().find("second_map") >= 0;
  title_ = new QCPTextElement(this, QString(" "));
  title_->setLayer(cursorLayer_);
  title_->setTextFlags(Qt::AlignLeft | Qt::AlignVCenter);
  plotLayout()->addElement(0, 0, title_);
  auto* group = new QCPMarginGroup(this);
  const std::size_t n = std::max<std::size_t>(plots_.size(), 1);
  for (std::size_t p = 0; p < n; ++p) {
    Stack s;
    s.rect = new QCPAxisRect(this, false);
    s.rect->addAxes(QCPAxis::atBottom | QCPAxis::atLeft);
    plotLayout()->addElement(static_cast<int>(p) + 1, 0, s.rect);
    s.rect->setMarginGroup(QCP::msLeft | QCP::msRight, group);
    QCPAxis* x = s.rect->axis(QCPAxis::atBottom);
    x->setTickLabels(p + 1 == n);
    for (QCPAxis* a : s.rect->axes()) a->setLayer("axes");
    // The legend stands beside its plot, at the top: however long its values grow (the
    // differences to the second cursor), it never covers the ends of the traces.
    s.legend = new QCPLegend;
    auto* side = new QCPLayoutGrid;
    plotLayout()->addElement(static_cast<int>(p) + 1, 1, side);
    side->addElement(0, 0, s.legend);
    side->addElement(1, 0, new QCPLayoutElement(this));
    side->setRowStretchFactor(0, 0.001);
    side->setMargins(QMargins(4, 0, 4, 0));
    s.legend->setLayer(cursorLayer_);
    s.legend->setRowSpacing(0);
    if (p < plots_.size()) {
      for (std::size_t k = 0; k < plots_[p].size(); ++k) {
        QCPGraph* g = addGraph(x, s.rect->axis(QCPAxis::atLeft));
        g->setPen(QPen(kTraceColours[k % std::size(kTraceColours)], 1));
        g->setAdaptiveSampling(false);  // the traces come thinned already
        g->removeFromLegend();
        g->addToLegend(s.legend);
        // The legend's items are layerables of their own (on the "legend" layer unless told):
        // on the cursor's layer they are redrawn with every cursor move.
        if (QCPAbstractLegendItem* item = s.legend->itemWithPlottable(g))
          item->setLayer(cursorLayer_);
        s.graphs.push_back(g);
        QCPGraph* second = nullptr;
        const int c = plots_[p][k];
        if (split && c >= 0 && std::size_t(c) < session_.table().columns().size() &&
            session_.table().column(std::size_t(c)).name() == kColouredColumn) {
          g->setPen(QPen(kMapColours[0], 1));
          second = addGraph(x, s.rect->axis(QCPAxis::atLeft));
          second->setPen(QPen(kMapColours[1], 1));
          second->setAdaptiveSampling(false);
          second->removeFromLegend();
        }
        s.map2.push_back(second);
      }
    }
    for (QCPItemStraightLine** line : {&s.cursor, &s.second}) {
      auto* l = new QCPItemStraightLine(this);
      l->setLayer(cursorLayer_);
      l->setClipAxisRect(s.rect);
      l->setClipToAxisRect(true);
      for (QCPItemPosition* pos : {l->point1, l->point2}) {
        pos->setAxisRect(s.rect);
        pos->setAxes(x, s.rect->axis(QCPAxis::atLeft));
        pos->setTypeX(QCPItemPosition::ptPlotCoords);
        pos->setTypeY(QCPItemPosition::ptAxisRectRatio);
      }
      l->point1->setCoords(0, 0);
      l->point2->setCoords(0, 1);
      *line = l;
    }
    s.cursor->setPen(QPen(PlotTextColour(*this), 1));
    s.second->setPen(QPen(kSecondColour, 1, Qt::DashLine));
    s.bands = new MarkBands(this, s.rect, marks_);
    stacks_.push_back(s);
  }
  // The rows of the stack share the height; the title takes only its own, the legends only
  // their width.
  plotLayout()->setRowStretchFactor(0, 0.001);
  plotLayout()->setColumnStretchFactor(1, 0.001);
  ApplyPlotPalette(*this);
}

void LogPlot::changeEvent(QEvent* event) {
  QCustomPlot::changeEvent(event);
  if (event->type() != QEvent::PaletteChange) return;
  ApplyPlotPalette(*this);
  for (Stack& s : stacks_) s.cursor->setPen(QPen(PlotTextColour(*this), 1));
  replot();
}

void LogPlot::clampRange(double& t0, double& t1) const {
  if (!session_.isOpen() || session_.table().rows() == 0) return;
  const double first = session_.table().time().front();
  const double last = session_.table().time().back();
  const double whole = std::max(last - first, 1e-3);
  const double minWidth = std::max(whole / 1e6, 1e-3);
  double width = std::clamp(t1 - t0, minWidth, whole * 1.1);
  const double lo = first - whole * 0.05, hi = last + whole * 0.05;
  t0 = std::clamp(t0, lo, std::max(lo, hi - width));
  t1 = t0 + width;
}

void LogPlot::setTimeRange(double t0, double t1) {
  clampRange(t0, t1);
  if (t0 == t0_ && t1 == t1_) return;
  t0_ = t0;
  t1_ = t1;
  refreshTraces();
  emit timeRangeChanged(t0_, t1_);
}

void LogPlot::fitAll() {
  if (!session_.isOpen() || session_.table().rows() == 0) return;
  const double first = session_.table().time().front();
  const double last = session_.table().time().back();
  const double pad = std::max(last - first, 1e-3) * 0.01;
  setTimeRange(first - pad, last + pad);
}

void LogPlot::panBy(double share) {
  const double d = (t1_ - t0_) * share;
  setTimeRange(t0_ + d, t1_ + d);
}

void LogPlot::zoomAt(double t, double factor) {
  setTimeRange(t - (t - t0_) * factor, t + (t1_ - t) * factor);
}

void LogPlot::setMarks(std::vector<std::pair<double, double>> spans) {
  *marks_ = std::move(spans);
  replot(QCustomPlot::rpImmediateRefresh);
}

void LogPlot::setColourByMap(bool on) {
  if (on == colourByMap_) return;
  colourByMap_ = on;
  rebuild();
  refreshTraces();
}

void LogPlot::setSecondCursor(std::optional<double> t) {
  const bool was = second_.has_value();
  second_ = t;
  refreshCursor();
  if (was != second_.has_value()) emit secondCursorShown(second_.has_value());
}

void LogPlot::refreshTraces() {
  tracePoints_ = 0;
  // Plots just made have no width until laid out: thinned to one pixel their traces would
  // stay a single stroke until the next change.
  if (!stacks_.empty() && stacks_.front().rect->width() <= 1) updateLayout();
  const bool open = session_.isOpen();
  for (std::size_t p = 0; p < stacks_.size(); ++p) {
    Stack& s = stacks_[p];
    s.rect->axis(QCPAxis::atBottom)->setRange(t0_, t1_);
    double lo = 0, hi = 0;
    bool any = false;
    QStringList units;
    const int pixels = std::max(1, s.rect->width());
    for (std::size_t k = 0; k < s.graphs.size(); ++k) {
      QCPGraph* g = s.graphs[k];
      const int c = plots_[p][k];
      if (!open || c < 0 || static_cast<std::size_t>(c) >= session_.table().columns().size()) {
        g->data()->clear();
        if (s.map2[k] != nullptr) s.map2[k]->data()->clear();
        continue;
      }
      const LogColumn& col = session_.table().column(static_cast<std::size_t>(c));
      const PlotTrace trace = TraceOf(session_.table(), col, session_.summary(std::size_t(c)),
                                      t0_, t1_, pixels);
      QVector<QCPGraphData> points;
      points.reserve(static_cast<qsizetype>(trace.points.size()));
      for (const PlotPoint& pt : trace.points) points.push_back(QCPGraphData(pt.t, pt.v));
      tracePoints_ += static_cast<int>(points.size());
      if (QCPGraph* second = s.map2[k]) {
        // One line per map; each breaks where the other runs.
        const auto parts = SplitByFlag(trace.points, session_.table(),
                                       session_.table().column(std::size_t(session_.table().find("second_map"))));
        for (int m = 0; m < 2; ++m) {
          QVector<QCPGraphData> part;
          part.reserve(static_cast<qsizetype>(parts[std::size_t(m)].size()));
          for (const PlotPoint& pt : parts[std::size_t(m)]) part.push_back(QCPGraphData(pt.t, pt.v));
          (m == 0 ? g : second)->data()->set(part, true);
          (m == 0 ? g : second)->setLineStyle(trace.decimated ? QCPGraph::lsLine : QCPGraph::lsStepLeft);
        }
        if (!trace.empty) {
          lo = any ? std::min(lo, trace.min) : trace.min;
          hi = any ? std::max(hi, trace.max) : trace.max;
          any = true;
        }
        continue;
      }
      g->data()->set(points, true);
      g->setLineStyle(trace.decimated ? QCPGraph::lsLine : QCPGraph::lsStepLeft);
      if (!trace.empty) {
        lo = any ? std::min(lo, trace.min) : trace.min;
        hi = any ? std::max(hi, trace.max) : trace.max;
        any = true;
      }
    }
    if (any) {
      const double margin = hi > lo ? (hi - lo) * 0.06 : std::max(std::abs(hi) * 0.1, 1.0);
      s.rect->axis(QCPAxis::atLeft)->setRange(lo - margin, hi + margin);
    }
  }
  updateCursorItems();
  replot(QCustomPlot::rpImmediateRefresh);
}

void LogPlot::refreshCursor() {
  if (updateCursorItems()) {
    replot(QCustomPlot::rpImmediateRefresh);
    return;
  }
  cursorLayer_->replot();
}

bool LogPlot::updateCursorItems() {
  if (!session_.isOpen() || session_.table().rows() == 0) {
    title_->setText(cursorTitle ? cursorTitle(0, 0, std::nullopt) : QString(" "));
    return false;
  }
  const LogTable& log = session_.table();
  const double t = session_.cursorTime();
  const std::size_t row = session_.cursorRow();
  const bool hasSecond = second_.has_value();
  const std::size_t row2 = hasSecond ? log.rowAtOrBefore(*second_) : 0;
  title_->setText(cursorTitle ? cursorTitle(t, row, second_) : QString());
  bool grow = false;
  for (std::size_t p = 0; p < stacks_.size(); ++p) {
    Stack& s = stacks_[p];
    s.cursor->point1->setCoords(t, 0);
    s.cursor->point2->setCoords(t, 1);
    s.second->setVisible(second_.has_value());
    if (second_) {
      s.second->point1->setCoords(*second_, 0);
      s.second->point2->setCoords(*second_, 1);
    }
    for (std::size_t k = 0; k < s.graphs.size(); ++k) {
      const int c = plots_[p][k];
      if (c < 0 || static_cast<std::size_t>(c) >= log.columns().size()) continue;
      const LogColumn& col = log.column(static_cast<std::size_t>(c));
      const double v = col.value(row);
      QString text = (columnLabel ? columnLabel(c) : QString::fromStdString(col.name())) + ": " +
                     (formatValue ? formatValue(c, v) : QString::number(v));
      if (hasSecond) {
        const double d = col.value(row2) - v;
        text += QString("   Δ %1%2").arg(d >= 0 ? "+" : "").arg(formatValue ? formatValue(c, d)
                                                                        : QString::number(d));
      }
      s.graphs[k]->setName(text);
    }
    if (s.legend->minimumOuterSizeHint().width() > s.legend->outerRect().width() + 1) grow = true;
  }
  return grow;
}

double LogPlot::timeAt(int x) const {
  if (stacks_.empty()) return t0_;
  return stacks_.front().rect->axis(QCPAxis::atBottom)->pixelToCoord(x);
}

void LogPlot::mousePressEvent(QMouseEvent* event) {
  setFocus();
  pressPos_ = event->pos();
  pressT0_ = t0_;
  pressT1_ = t1_;
  if (event->button() == Qt::RightButton) {
    setSecondCursor(timeAt(event->pos().x()));
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  pressed_ = true;
  dragging_ = false;
  banding_ = (event->modifiers() & Qt::ControlModifier) != 0;
  if (banding_) {
    band_->setGeometry(QRect(pressPos_, QSize()));
    band_->show();
  }
}

void LogPlot::mouseMoveEvent(QMouseEvent* event) {
  if (!pressed_) return;
  const int dx = event->pos().x() - pressPos_.x();
  if (!dragging_ && std::abs(dx) < 4) return;
  dragging_ = true;
  if (banding_) {
    band_->setGeometry(QRect(pressPos_, event->pos()).normalized());
    return;
  }
  const double width = stacks_.empty() ? 1 : std::max(1, stacks_.front().rect->width());
  const double shift = -dx / width * (pressT1_ - pressT0_);
  setTimeRange(pressT0_ + shift, pressT1_ + shift);
}

void LogPlot::mouseReleaseEvent(QMouseEvent* event) {
  if (!pressed_ || event->button() != Qt::LeftButton) return;
  pressed_ = false;
  if (banding_) {
    band_->hide();
    banding_ = false;
    const int x0 = std::min(pressPos_.x(), event->pos().x());
    const int x1 = std::max(pressPos_.x(), event->pos().x());
    if (x1 - x0 >= 5) setTimeRange(timeAt(x0), timeAt(x1));
    return;
  }
  if (!dragging_) session_.setCursorTime(timeAt(event->pos().x()));
}

void LogPlot::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps == 0) return;
  zoomAt(timeAt(int(event->position().x())), std::pow(0.8, steps));
  event->accept();
}

void LogPlot::keyPressEvent(QKeyEvent* event) {
  const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
      const int dir = event->key() == Qt::Key_Left ? -1 : 1;
      if (ctrl && session_.isOpen()) {
        // The cursor one row on.
        const std::size_t row = session_.cursorRow();
        if (dir < 0 && row > 0) session_.setCursorRow(row - 1);
        if (dir > 0) session_.setCursorRow(row + 1);
      } else {
        panBy(0.1 * dir);
      }
      return;
    }
    case Qt::Key_Up:
      zoomAt((t0_ + t1_) / 2, 0.8);
      return;
    case Qt::Key_Down:
      zoomAt((t0_ + t1_) / 2, 1.25);
      return;
    case Qt::Key_Home:
      fitAll();
      return;
    default:
      QCustomPlot::keyPressEvent(event);
  }
}

void LogPlot::resizeEvent(QResizeEvent* event) {
  QCustomPlot::resizeEvent(event);
  // Layout passes resize the plot several times in a row: thin the traces once, afterwards.
  if (refreshPending_) return;
  refreshPending_ = true;
  QTimer::singleShot(0, this, [this] {
    refreshPending_ = false;
    refreshTraces();
  });
}

}  // namespace rq::logs

#include "moc_log_plot.cpp"
