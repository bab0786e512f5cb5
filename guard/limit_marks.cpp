// SPDX-License-Identifier: GPL-3.0-or-later
// Painting the marks of broken limits over the map grid.
#include "guard/limit_marks.h"

#include <QPaintEvent>
#include <QPainter>

#include <cstdlib>

#include "pages/map_grid.h"
#include "ui/print_pages.h"

namespace rq {
namespace {

constexpr int kBarThickness = 5;

// The side of `from` that faces `to`, as a bar `kBarThickness` wide centred on that edge.
QRect EdgeToward(const QRect& from, const QRect& to) {
  const int half = kBarThickness / 2;
  const QPoint d = to.center() - from.center();
  if (std::abs(d.x()) >= std::abs(d.y())) {
    const int x = d.x() >= 0 ? from.right() : from.left();
    return QRect(x - half, from.top() + 2, kBarThickness, from.height() - 4);
  }
  const int y = d.y() >= 0 ? from.bottom() : from.top();
  return QRect(from.left() + 2, y - half, from.width() - 4, kBarThickness);
}

bool IsStep(LimitKind kind) { return kind == LimitKind::StepRight || kind == LimitKind::StepDown; }

}  // namespace

LimitMarkPaint::LimitMarkPaint(LimitMarks& marks, MapGrid& grid)
    : QWidget(grid.box()), marks_(marks), grid_(grid) {
  setObjectName("LimitMarks");
  setProperty(kNotPrinted, true);  // paper shows the page as described
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
}

QRect LimitMarkPaint::cellRect(int row, int column) const {
  if (row < 0 || row >= kMapRows || column < 0 || column >= kMapColumns) return {};
  const QWidget* cell = grid_.cell(row, column);
  if (!cell->isVisibleTo(grid_.box())) return {};
  return cell->geometry().united(grid_.cellUpDown(row, column)->geometry());
}

QRect LimitMarkPaint::markRect(const Violation& v) const {
  const QRect cell = cellRect(v.row, v.column);
  if (cell.isEmpty() || !IsStep(v.kind)) return cell.adjusted(-2, -2, 2, 2);
  const QRect other = cellRect(OtherRow(v), OtherColumn(v));
  if (other.isEmpty()) return {};
  // Two cells that stand side by side share one bar; otherwise each gets its own.
  return EdgeToward(cell, other).united(EdgeToward(other, cell));
}

void LimitMarkPaint::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  const QPen edge(QColor(60, 0, 0), 1);
  for (const Violation& v : marks_.shownMarks()) {
    const QRect r = markRect(v);
    if (r.isEmpty() || !event->region().intersects(r)) continue;
    if (IsStep(v.kind)) {
      const QRect cell = cellRect(v.row, v.column);
      const QRect other = cellRect(OtherRow(v), OtherColumn(v));
      for (const QRect& bar : {EdgeToward(cell, other), EdgeToward(other, cell)}) {
        p.setPen(edge);
        p.setBrush(kLimitMarkColour);
        p.drawRect(bar.adjusted(0, 0, -1, -1));
      }
      continue;
    }
    // A frame around the cell: a dark line outside, two red ones inside it.
    p.setBrush(Qt::NoBrush);
    p.setPen(edge);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    const QRect in = r.adjusted(1, 1, -1, -1);
    p.fillRect(QRect(in.left(), in.top(), in.width(), 2), kLimitMarkColour);
    p.fillRect(QRect(in.left(), in.bottom() - 1, in.width(), 2), kLimitMarkColour);
    p.fillRect(QRect(in.left(), in.top(), 2, in.height()), kLimitMarkColour);
    p.fillRect(QRect(in.right() - 1, in.top(), 2, in.height()), kLimitMarkColour);
  }
}

LimitMarks::~LimitMarks() { delete paint_; }

void LimitMarks::showOn(int page, const ParameterImage&, MapGrid& grid, QWidget*, int) {
  page_ = page;
  if (grid_ != &grid || paint_ == nullptr) {
    delete paint_;
    grid_ = &grid;
    paint_ = new LimitMarkPaint(*this, grid);
  }
  follow();
}

void LimitMarks::show(const std::vector<Violation>& violations) {
  violations_ = violations;
  follow();
}

std::vector<Violation> LimitMarks::shownMarks() const {
  std::vector<Violation> shown;
  for (const Violation& v : violations_)
    if (v.page == page_) shown.push_back(v);
  return shown;
}

void LimitMarks::follow() {
  if (paint_ == nullptr) return;
  if (paint_->geometry() != grid_->box()->rect()) paint_->setGeometry(grid_->box()->rect());
  paint_->raise();
  paint_->show();
  // Only where marks come or go: the widget lies over every cell, and repainting all of it
  // would repaint every cell under it.
  std::vector<QRect> now;
  for (const Violation& v : violations_)
    if (v.page == page_)
      if (const QRect r = paint_->markRect(v); !r.isEmpty()) now.push_back(r);
  if (now == painted_) return;
  QRegion changed;
  for (const QRect& r : painted_) changed += r;
  for (const QRect& r : now) changed += r;
  painted_ = std::move(now);
  paint_->update(changed);
}

}  // namespace rq

#include "moc_limit_marks.cpp"
