// SPDX-License-Identifier: GPL-3.0-or-later
// The marks of broken limits on the map pages: a red frame around a cell beyond its lowest or
// highest value or too far from the unit's cell, and a red bar on the edge between two
// neighbours whose step is too large. They are painted over the grid by a widget of their own
// (mouse clicks go through), so the grid's value colours, the lime live cell and the purple
// PC-against-unit corners stay as they are. The widget stays shown over the grid of a map page
// and repaints only where marks come or go.
#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <vector>

#include "limits/limit_check.h"
#include "pages/map_overlay.h"

namespace rq {

class MapGrid;

// Red with a dark edge: far from lime and purple, and readable on white and on heat colours.
inline const QColor kLimitMarkColour(220, 0, 0);

class LimitMarks;

// The widget over the grid box that paints the marks of the page shown.
class LimitMarkPaint : public QWidget {
 public:
  LimitMarkPaint(LimitMarks& marks, MapGrid& grid);
  // Where the mark of `v` is painted in the grid box's coordinates; empty when its cell is
  // not shown.
  QRect markRect(const Violation& v) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QRect cellRect(int row, int column) const;
  LimitMarks& marks_;
  MapGrid& grid_;
};

class LimitMarks : public QObject, public MapOverlayFace {
  Q_OBJECT

 public:
  explicit LimitMarks(QObject* parent = nullptr) : QObject(parent) {}
  ~LimitMarks() override;

  void showOn(int page, const ParameterImage& image, MapGrid& grid, QWidget* bar,
              int barLeft) override;

  // The violations of every map page; the marks of the page shown follow at once.
  void show(const std::vector<Violation>& violations);
  // The violations marked on the page the grid shows (none before the first showOn).
  std::vector<Violation> shownMarks() const;
  int page() const { return page_; }
  LimitMarkPaint* paint() const { return paint_; }

 private:
  void follow();

  std::vector<Violation> violations_;
  std::vector<QRect> painted_;  // where the marks of the page shown stand
  int page_ = -1;
  MapGrid* grid_ = nullptr;
  QPointer<LimitMarkPaint> paint_;
};

}  // namespace rq
