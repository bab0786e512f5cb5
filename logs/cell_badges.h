// SPDX-License-Identifier: GPL-3.0-or-later
// What an overlay shows on the map grid without taking a cell from the tuner: a shade behind
// each cell's value (the grid's own background, MapGrid::setShades), a small badge on the
// cell's upper left corner with the overlay's figure, a frame round one cell (the log's
// replayed row), and a hint over the cell. The values stay in the cells, editable: the badges
// are drawn on a layer that lets every click and key through to the cells below.
#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <optional>

#include "model/map_model.h"
#include "pages/map_grid.h"

class QWidget;

namespace rq::logs {

class BadgeLayer;

// One cell's badge.
struct CellBadge {
  QString text;         // empty: no badge
  QColor fill;          // the badge's background
  bool faint = false;   // drawn in grey italics (not enough data)
  bool bold = false;    // drawn in bold (a verdict)
};
using CellBadgeGrid = std::array<CellBadge, kMapRows * kMapColumns>;

class CellBadges : public QObject {
  Q_OBJECT
 public:
  explicit CellBadges(QObject* parent = nullptr);
  ~CellBadges() override;

  // The grid shown on; the layer follows it (made on first use).
  void attach(MapGrid& grid);
  MapGrid* grid() const { return grid_; }

  // Shades and badges of every cell; clear() takes both away. The shades are given to the
  // grid; clear() takes them back only while the grid still holds this overlay's shades, so
  // that two overlays handing over in any order never wipe each other's.
  void show(const CellShades& shades, const CellBadgeGrid& badges);
  void clear();
  bool showing() const { return showing_; }
  const CellBadgeGrid& badges() const { return badges_; }
  const CellShades& shades() const { return shades_; }

  // A frame round one cell in `colour` (nullopt: none).
  void setFrame(std::optional<LiveCell> cell, const QColor& colour);

  // The hint over a visible cell while showing; an empty text leaves the cell's own hint.
  std::function<QString(int row, int column)> hint;

  // The layer drawn on (tests, benchmarks).
  QWidget* layer() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class BadgeLayer;
  void follow();

  QPointer<MapGrid> grid_;  // the grid may go first when the window closes
  QPointer<BadgeLayer> layer_;
  CellShades shades_{};
  CellBadgeGrid badges_;
  bool showing_ = false;
  std::optional<LiveCell> frame_;
  QColor frameColour_;
};

}  // namespace rq::logs
