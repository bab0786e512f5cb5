// SPDX-License-Identifier: GPL-3.0-or-later
// The open ride log on the map pages: a toggle and a filter panel in the map bar, per cell
// how long the log spent there (counted by the live-cell rule, after the filters), cells
// under the minimum marked as not enough data, a click on a cell moving the viewer's cursor
// to the next row in it, and the cursor's row marked as a replayed live cell.
#pragma once

#include <QPointer>
#include <QWidget>

#include <optional>

#include "logs/cell_count.h"
#include "pages/map_overlay.h"
#include "model/map_model.h"

class QCheckBox;
class QPushButton;
class QSpinBox;

namespace rq::logs {

class LogSession;
class CellPaint;

class MapLogOverlay : public QObject, public MapOverlayFace {
  Q_OBJECT
 public:
  MapLogOverlay(LogSession& session, QObject* parent = nullptr);
  ~MapLogOverlay() override;

  void showOn(int page, const ParameterImage& image, MapGrid& grid, QWidget* bar,
              int barLeft) override;

  // Puts the toggle and the filter button into the map bar (the one bar of the map pages).
  void adoptBar(QWidget* bar);
  void setEnabled(bool on);
  bool enabled() const { return on_; }
  void setFilter(const CellFilter& filter);
  const CellFilter& filter() const { return filter_; }
  // The counts shown (after the filters), when the overlay is on and a log is open.
  const std::optional<CellCounts>& counts() const { return counts_; }
  // The cell of the cursor's row on the page shown, when it has one.
  std::optional<LiveCell> replayCell() const;
  // Seconds a row stands for: the log's usual spacing of rows.
  double rowSeconds() const { return rowSeconds_; }
  // A click on cell (row, column): the viewer's cursor to the next row in it.
  bool moveCursorToCell(int row, int column);
  // The filter panel (made on first use).
  QWidget* panel();
  void applyLanguage(int language);

 private:
  void recount();
  void repaint();
  void placeControls();

  LogSession& session_;
  bool on_ = false;
  CellFilter filter_;
  int page_ = -1;
  int barLeft_ = 140;
  LiveCellRule rule_;
  std::optional<CellCounts> counts_;
  double rowSeconds_ = 1.0 / 3;
  MapGrid* grid_ = nullptr;
  QPointer<QWidget> bar_;
  QPointer<CellPaint> paint_;
  QPointer<QCheckBox> toggle_;
  QPointer<QPushButton> filters_;
  QPointer<QWidget> panel_;
  QSpinBox* minRows_ = nullptr;
  QCheckBox* steady_ = nullptr;
  QSpinBox* maxRpm_ = nullptr;
  QSpinBox* maxThrottle_ = nullptr;
  QCheckBox* gears_[7] = {};
};

}  // namespace rq::logs
