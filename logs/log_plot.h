// SPDX-License-Identifier: GPL-3.0-or-later
// Stacked plots of a ride log on one shared time axis. Each plot draws its channels from the
// log's columns through the min/max summary (a few thousand points whatever the log's
// length); the cursors, their legend values and the title line live on a layer of their own,
// so that moving a cursor repaints only that layer.
#pragma once

#include <qcustomplot.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QRubberBand;

namespace rq::logs {

class LogSession;

class LogPlot : public QCustomPlot {
  Q_OBJECT
 public:
  LogPlot(LogSession& session, QWidget* parent = nullptr);

  // The columns drawn in each plot, top to bottom.
  void setPlots(const std::vector<std::vector<int>>& plots);
  const std::vector<std::vector<int>>& plots() const { return plots_; }

  // Name and unit of a column as the legend shows it ("Engine speed [rpm]"), and its value.
  std::function<QString(int column)> columnLabel;
  std::function<QString(int column, double value)> formatValue;
  // The title line over the plots: the cursor's time and row (and the second cursor's).
  std::function<QString(double t, std::size_t row, std::optional<double> second)> cursorTitle;

  double t0() const { return t0_; }
  double t1() const { return t1_; }
  void setTimeRange(double t0, double t1);
  void fitAll();
  // Moves the shown range by a share of its width (negative: back).
  void panBy(double share);
  // Zooms around time t: factor < 1 shows less time.
  void zoomAt(double t, double factor);

  // Stretches of time marked on every plot (the rows Find matched) as [from, to) in time
  // order; empty: none.
  void setMarks(std::vector<std::pair<double, double>> spans);
  const std::vector<std::pair<double, double>>& marks() const { return *marks_; }
  // The acceleration drawn in one colour while advance map 1 is in use and in another while
  // map 2 is (a log with second_map only).
  void setColourByMap(bool on);
  bool colourByMap() const { return colourByMap_; }
  // The graph of plot p's k-th column (the one its legend names).
  QCPGraph* trace(std::size_t p, std::size_t k) const { return stacks_[p].graphs[k]; }
  // The legend of plot p, beside it.
  QCPLegend* legendOf(std::size_t p) const { return stacks_[p].legend; }
  QCPAxisRect* rectOf(std::size_t p) const { return stacks_[p].rect; }
  // The graph of map 2 beside it while the acceleration is coloured by map; nullptr otherwise.
  QCPGraph* secondMapTrace(std::size_t p, std::size_t k) const { return stacks_[p].map2[k]; }

  void setSecondCursor(std::optional<double> t);
  std::optional<double> secondCursor() const { return second_; }

  // Draws the traces for the shown range and replots everything.
  void refreshTraces();
  // Updates the cursor lines, legend values and title, and repaints only their layer (the
  // whole plot when a legend has to grow).
  void refreshCursor();

  int tracePoints() const { return tracePoints_; }

 signals:
  void timeRangeChanged(double t0, double t1);
  // The second cursor came or went (a right click, the box, the viewer).
  void secondCursorShown(bool shown);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // A new desktop palette: the plots take its colours.
  void changeEvent(QEvent* event) override;

 private:
  struct Stack {
    QCPAxisRect* rect = nullptr;
    QCPLegend* legend = nullptr;
    std::vector<QCPGraph*> graphs;
    std::vector<QCPGraph*> map2;  // per graph: its map-2 part, or nullptr
    QCPLayerable* bands = nullptr;
    QCPItemStraightLine* cursor = nullptr;
    QCPItemStraightLine* second = nullptr;
  };
  void rebuild();
  // Sets cursor lines, legend texts and title; true when a legend needs more room.
  bool updateCursorItems();
  double timeAt(int x) const;
  void clampRange(double& t0, double& t1) const;

  LogSession& session_;
  std::vector<std::vector<int>> plots_;
  std::vector<Stack> stacks_;
  QCPTextElement* title_ = nullptr;
  QCPLayer* cursorLayer_ = nullptr;
  double t0_ = 0, t1_ = 1;
  std::shared_ptr<std::vector<std::pair<double, double>>> marks_ =
      std::make_shared<std::vector<std::pair<double, double>>>();
  bool colourByMap_ = false;
  std::optional<double> second_;
  int tracePoints_ = 0;

  // Mouse: drag pans, Ctrl+drag zooms to a rubber band, a click sets the cursor.
  QPoint pressPos_;
  double pressT0_ = 0, pressT1_ = 0;
  bool pressed_ = false, dragging_ = false, banding_ = false;
  QRubberBand* band_ = nullptr;
  bool refreshPending_ = false;
};

}  // namespace rq::logs
