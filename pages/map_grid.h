// SPDX-License-Identifier: GPL-3.0-or-later
// The one map grid shared by the three map pages: 15 rpm points, 10 x 15 cells with their
// up-downs, the throttle row labels and the 15 column spin buttons, in GroupBoxMap. It knows
// the shown values, the layout, the rectangular selection and the marking (selection, live
// cell, and as options the value colours and the trail); what the values mean is the map
// module's business.
#pragma once

#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QObject>

#include <array>
#include <cstdint>
#include <functional>

#include "model/map_model.h"
#include "pages/controls.h"

class QFrame;
class QToolButton;

namespace rq {

class MapGrid;

// A spin button: two arrow halves with their own handlers (column shift, Plus / Minus).
class SpinButton : public QWidget {
  Q_OBJECT
 public:
  SpinButton(const QString& name, int width, int height, QWidget* parent);
  std::function<void()> onUp;
  std::function<void()> onDown;
  QToolButton* upButton() const { return up_; }
  QToolButton* downButton() const { return down_; }

 private:
  QToolButton* up_;
  QToolButton* down_;
};

// One map cell: an edit of the kit whose arrow keys move between cells, with Shift extend
// the selection, Page Up / Page Down step by 5, Ctrl+C / Ctrl+V copy and paste.
class MapCellEdit : public SpinEdit {
  Q_OBJECT
 public:
  MapCellEdit(MapGrid& grid, int row, int column, QWidget* parent);
  int row() const { return row_; }
  int column() const { return column_; }

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  MapGrid& grid_;
  int row_, column_;
};

// The live cell's lime and the trail's orange (far from the lime), for every drawing of a map.
inline const QColor kLiveLime{0, 255, 0};
inline const QColor kTrailOrange{255, 140, 0};

inline constexpr int kTrailLevels = 6;
using TrailLevels = std::array<std::uint8_t, kMapRows * kMapColumns>;
// Backgrounds an overlay gives the cells instead of their value colours (index row * 15 +
// column); a colour with alpha 0 leaves the cell's own colour.
using CellShades = std::array<QRgb, kMapRows * kMapColumns>;

class MapGrid : public QObject {
  Q_OBJECT
 public:
  explicit MapGrid(QWidget* parent);

  QGroupBox* box() const { return box_; }
  SpinEdit* rpmEdit(int c) const { return rpm_[std::size_t(c)]; }
  UpDown* rpmUpDown(int c) const { return rpmUpDown_[std::size_t(c)]; }
  MapCellEdit* cell(int r, int c) const { return cells_[Index(r, c)]; }
  UpDown* cellUpDown(int r, int c) const { return cellUpDowns_[Index(r, c)]; }
  SpinButton* columnButton(int c) const { return columns_[std::size_t(c)]; }
  QLabel* rowLabel(int r) const { return rowLabels_[std::size_t(r)]; }

  // Shows one cell: value step x byte; a byte above the display maximum shows as it is.
  void showCell(int r, int c, int byte, int step, int max);
  // The range of the value colours: the lowest and highest byte of the visible cells.
  void setColourRange(int low, int high);
  // Value colours (cool to warm) on the cells; off, every cell but the live one, the trail and
  // a selection of several cells is in the window colour of a field.
  void setHeatColours(bool on);
  bool heatColours() const { return heat_; }
  // Shows, hides and places the controls for the mode; nothing happens when it is unchanged.
  void applyLayout(const MapMode& mode);
  const MapMode& layout() const { return mode_; }
  // Marks the live cell, its rpm point and row label, and the trail; only the controls whose
  // marking changes are touched. Returns how many were touched. Row -1 and column kLiveNone
  // mark nothing.
  int mark(const LiveCell& live, const TrailLevels& trail);

  // The status tips of the cells, the RPM points and the column buttons.
  void setHints(const QString& cell, const QString& rpmPoint, const QString& column);

  // The overlay's backgrounds (all zero: none). The value stays in the cell, editable; the
  // selection, the trail and the live cell are marked over the shade as over any colour.
  void setShades(const CellShades& shades);
  // For paper: the page as described, every cell in the field colour (no heat colours, no
  // shades of the log or the A/B comparison); the live cell stays.
  void setPaper(bool on);
  const CellShades& shades() const { return shades_; }

  // Selection: a rectangle between the anchor and the current cell.
  CellRect selection() const { return selection_; }
  // Emits selectionChanged when the rectangle differs.
  void select(const CellRect& rect);
  bool multiSelection() const { return selection_.cells() > 1; }
  // How much of the selection's colour a shaded cell takes (the frame marks the selection).
  static constexpr double kShadedSelectionBlend = 0.2;
  QFrame* selectionFrame() const { return selectionFrame_; }

  // Requests from the keyboard, the mouse and the column buttons, answered by the module.
  std::function<void(CellOp op, double value)> onCellOp;
  std::function<void()> onCopy;
  std::function<void()> onPaste;
  std::function<void(const QPoint& globalPos)> onContextMenu;
  std::function<void(int column, int direction)> onColumnShift;
  std::function<void()> onCommit;  // the commit of every rpm point and cell edit

  // Used by the cells.
  void moveFrom(MapCellEdit* from, int dRow, int dColumn, bool extend);
  void pageStep(MapCellEdit* from, int steps);
  void cellPressed(MapCellEdit* cell, bool extend);
  void cellDragged(const QPoint& globalPos);
  void cellFocused(MapCellEdit* cell, bool byMouse);
  void contextMenuAt(MapCellEdit* cell, const QPoint& globalPos);

 signals:
  // A left click on a cell without Shift (after the grid has placed the selection): overlays
  // follow it.
  void cellClicked(int row, int column);
  // The selection changed (by the mouse, the keys or selectCell).
  void selectionChanged();

 private:
  static std::size_t Index(int r, int c) { return std::size_t(r * kMapColumns + c); }
  QColor valueColour(int byte) const;
  // Recomputes a cell's colour and sets it when it differs. Returns true when it did.
  bool paintCell(int r, int c);
  void placeRow9(bool top);
  void placeSelectionFrame();

  QGroupBox* box_;
  std::array<SpinEdit*, kMapColumns> rpm_{};
  std::array<UpDown*, kMapColumns> rpmUpDown_{};
  std::array<MapCellEdit*, kMapRows * kMapColumns> cells_{};
  std::array<UpDown*, kMapRows * kMapColumns> cellUpDowns_{};
  std::array<SpinButton*, kMapColumns> columns_{};
  std::array<QLabel*, kMapRows> rowLabels_{};
  QLabel* rpmCaption_ = nullptr;
  QLabel* tpsCaption_ = nullptr;
  QFrame* topLine_ = nullptr;
  QFrame* selectionFrame_ = nullptr;

  std::array<int, kMapRows * kMapColumns> bytes_{};
  std::array<QRgb, kMapRows * kMapColumns> painted_{};
  TrailLevels trail_{};
  CellShades shades_{};
  LiveCell live_{kLiveNone, -1, false};
  bool liveShown_ = false;
  int low_ = 0, high_ = 0;
  bool heat_ = false;
  bool paper_ = false;
  MapMode mode_;
  bool layoutApplied_ = false;
  CellRect selection_;
};

}  // namespace rq
