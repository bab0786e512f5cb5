// SPDX-License-Identifier: GPL-3.0-or-later
// The shades, badges, frame and hints of a map overlay.
#include "logs/cell_badges.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <QWidget>

#include "ui/print_pages.h"

namespace rq::logs {

namespace {

constexpr int kBadgePixels = 9;   // the badge's font
constexpr int kBadgeHeight = 11;
constexpr int kBadgeRise = 6;     // how far the badge stands above the cell's top edge

}  // namespace

// Paints the badges and the frame over the grid; every mouse event goes through to the cells.
class BadgeLayer : public QWidget {
 public:
  BadgeLayer(CellBadges& badges, MapGrid& grid)
      : QWidget(grid.box()), badges_(badges), grid_(grid) {
    setObjectName("MapBadgeLayer");
    setProperty(kNotPrinted, true);  // the log is not part of the printed page
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    QFont f = font();
    f.setPixelSize(kBadgePixels);
    setFont(f);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    // The frame first: a badge on the framed cell stays readable over it.
    if (const std::optional<LiveCell>& cell = badges_.frame_) {
      if (cell->row >= 0 && cell->row < kMapRows && cell->column >= 0 &&
          cell->column < kMapColumns &&
          grid_.cell(cell->row, cell->column)->isVisibleTo(grid_.box())) {
        const QRect rc = grid_.cell(cell->row, cell->column)
                             ->geometry()
                             .united(grid_.cellUpDown(cell->row, cell->column)->geometry());
        p.setPen(QPen(badges_.frameColour_, 3));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rc.adjusted(-3, -3, 2, 2));
      }
    }
    if (badges_.showing_) {
      const QFontMetrics fm(font());
      QFont faint = font();
      faint.setItalic(true);
      QFont bold = font();
      bold.setBold(true);
      const QFontMetrics fmBold(bold);
      for (int r = 0; r < kMapRows; ++r) {
        for (int c = 0; c < kMapColumns; ++c) {
          const CellBadge& b = badges_.badges_[std::size_t(r * kMapColumns + c)];
          if (b.text.isEmpty() || !grid_.cell(r, c)->isVisibleTo(grid_.box())) continue;
          const QRect cell = grid_.cell(r, c)->geometry();
          const int width = (b.bold ? fmBold : fm).horizontalAdvance(b.text);
          const QRect badge(cell.left() - 2, cell.top() - kBadgeRise, width + 5, kBadgeHeight);
          p.setPen(QPen(QColor(110, 110, 110), 1));
          p.setBrush(b.fill.isValid() ? b.fill : QColor(Qt::white));
          p.drawRect(badge.adjusted(0, 0, -1, -1));
          p.setFont(b.faint ? faint : b.bold ? bold : font());
          p.setPen(b.faint ? QColor(90, 90, 90) : QColor(Qt::black));
          p.drawText(badge, Qt::AlignCenter, b.text);
        }
      }
    }
  }

 private:
  CellBadges& badges_;
  MapGrid& grid_;
};

CellBadges::CellBadges(QObject* parent) : QObject(parent) {}

CellBadges::~CellBadges() {
  if (grid_ != nullptr && showing_ && grid_->shades() == shades_) grid_->setShades({});
  delete layer_;
}

void CellBadges::attach(MapGrid& grid) {
  if (grid_.data() == &grid && layer_) return;
  grid_ = &grid;
  layer_ = new BadgeLayer(*this, grid);
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c) grid.cell(r, c)->installEventFilter(this);
  follow();
}

QWidget* CellBadges::layer() const { return layer_; }

void CellBadges::show(const CellShades& shades, const CellBadgeGrid& badges) {
  shades_ = shades;
  badges_ = badges;
  showing_ = true;
  if (grid_ != nullptr) grid_->setShades(shades);
  follow();
}

void CellBadges::clear() {
  if (grid_ != nullptr && showing_ && grid_->shades() == shades_) grid_->setShades({});
  showing_ = false;
  shades_ = {};
  badges_ = {};
  follow();
}

void CellBadges::setFrame(std::optional<LiveCell> cell, const QColor& colour) {
  frame_ = cell;
  frameColour_ = colour;
  follow();
}

void CellBadges::follow() {
  if (!layer_ || grid_ == nullptr) return;
  const bool draw = showing_ || frame_.has_value();
  layer_->setVisible(draw);
  if (!draw) return;
  layer_->setGeometry(grid_->box()->rect());
  layer_->raise();
  layer_->update();
}

bool CellBadges::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ToolTip || !showing_ || !hint) return false;
  auto* cell = qobject_cast<MapCellEdit*>(watched);
  if (cell == nullptr) return false;
  const QString text = hint(cell->row(), cell->column());
  if (text.isEmpty()) return false;
  // The cell's own hint, when it has one, goes under the overlay's.
  const QString own = cell->toolTip();
  QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                     own.isEmpty() ? text : text + "\n\n" + own, cell);
  return true;
}

}  // namespace rq::logs
