// SPDX-License-Identifier: GPL-3.0-or-later
// The open ride log on the map pages: a toggle, the badge's choice and a filter panel in the
// map bar; per cell a shade by how long the log spent there (counted by the live-cell rule,
// after the filters) and a badge with the time, or with the mean, minimum or maximum of any
// channel over the cell's rows; cells under the minimum marked as not enough data; a click on
// a cell moving the viewer's cursor to the next row in it; the cursor's row framed as a
// replayed live cell. Every cell keeps its value visible and editable while the log is shown.
#pragma once

#include <QPointer>
#include <QWidget>

#include <optional>
#include <string>

#include "logs/cell_badges.h"
#include "logs/cell_count.h"
#include "model/map_model.h"
#include "pages/map_overlay.h"

class QActionGroup;
class QCheckBox;
class QMenu;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace rq::logs {

class LogSession;

class MapLogOverlay : public QObject, public MapOverlayFace {
  Q_OBJECT
 public:
  MapLogOverlay(LogSession& session, QObject* parent = nullptr);
  ~MapLogOverlay() override;

  void showOn(int page, const ParameterImage& image, MapGrid& grid, QWidget* bar,
              int barLeft) override;

  // Puts the toggle, the badge's choice and the filter button into the map bar (the one bar
  // of the map pages).
  void adoptBar(QWidget* bar);
  void setEnabled(bool on);
  bool enabled() const { return on_; }
  void setFilter(const CellFilter& filter);
  const CellFilter& filter() const { return filter_; }

  // What the badges show: the time spent (an empty column name), or a statistic of the log's
  // column of that name. A name the open log lacks shows the time.
  void setBadge(const std::string& columnName, CellStatistic statistic);
  const std::string& badgeColumn() const { return badgeColumn_; }
  CellStatistic badgeStatistic() const { return statistic_; }

  // The counts shown (after the filters), when the overlay is on and a log is open.
  const std::optional<CellCounts>& counts() const { return counts_; }
  // The badge column's statistics over the same rows, when a column is chosen.
  const std::optional<CellChannelStats>& stats() const { return stats_; }
  // The badge's text and the hint of cell (row, column) as shown; empty without one.
  QString badgeText(int row, int column) const;
  QString hintText(int row, int column) const;
  // The cell of the cursor's row on the page shown, when it has one.
  std::optional<LiveCell> replayCell() const;
  // Seconds a row stands for: the log's usual spacing of rows.
  double rowSeconds() const { return rowSeconds_; }
  // A click on cell (row, column): the viewer's cursor to the next row in it.
  bool moveCursorToCell(int row, int column);
  // The filter panel (made on first use).
  QWidget* panel();
  void applyLanguage(int language);

  // A control of another overlay that stands beside the toggle in the bar (the A/B mode's);
  // it is placed whenever the bar is laid out, and takes room only while it is not hidden.
  void setCompanion(QWidget* widget);
  // Lays the bar's controls out again (after the companion was shown or hidden).
  void placeControls();
  // The shades and badges on the grid (tests, benchmarks).
  CellBadges& badges() { return badges_; }
  // The page shown, -1 before the first.
  int page() const { return page_; }
  const LiveCellRule& rule() const { return rule_; }

 signals:
  void enabledChanged(bool on);
  void filterChanged();
  // What the log shows on the map changed: the counts (after the filters) or the cursor's cell.
  void shownChanged();

 private:
  void recount();
  void repaint();
  void fillBadgeMenu();
  void updateBadgeButton();
  int columnOfBadge() const;

  LogSession& session_;
  bool on_ = false;
  CellFilter filter_;
  std::string badgeColumn_;
  CellStatistic statistic_ = CellStatistic::Mean;
  int page_ = -1;
  int barLeft_ = 140;
  LiveCellRule rule_;
  std::optional<CellCounts> counts_;
  std::optional<CellChannelStats> stats_;
  double rowSeconds_ = 1.0 / 3;
  int language_ = 0;
  MapGrid* grid_ = nullptr;
  CellBadges badges_;
  QPointer<QWidget> bar_;
  QPointer<QCheckBox> toggle_;
  QPointer<QWidget> companion_;
  QPointer<QToolButton> badge_;
  QPointer<QMenu> badgeMenu_;
  QMenu* channelMenu_ = nullptr;           // the badge menu's channel submenu, and its one choice
  QActionGroup* channelGroup_ = nullptr;
  QPointer<QPushButton> filters_;
  QPointer<QWidget> panel_;
  QSpinBox* minRows_ = nullptr;
  QCheckBox* steady_ = nullptr;
  QSpinBox* maxRpm_ = nullptr;
  QSpinBox* maxThrottle_ = nullptr;
  QCheckBox* gears_[7] = {};
};

}  // namespace rq::logs
