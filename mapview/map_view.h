// SPDX-License-Identifier: GPL-3.0-or-later
// The map view: Tools › Map view opens a window of its own that follows the map page shown
// (Advance 1, Advance 2, Servo) and stays in step with the grid, whose selection it shares. It
// draws the map as curves or as a surface with the live point, its trail (with the page's Trail
// option) and, from a ride log, the time spent in each cell and the log's cursor, or the
// differences of map 1 and map 2 or of the PC and the unit. Undo and Redo act from it. Edits in it (a dragged point, Minus / Plus,
// a typed value) and the tools beside it (smoothing, copy map to map; also in the Tools menu)
// are each one change of the configuration through the workspace. Its place, its drawing and
// its ghosts are kept in the settings file ([MAPVIEW]).
#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "limits/limit_check.h"
#include "mapview/map_shape.h"
#include "mapview/mapview_texts.h"
#include "pages/map_grid.h"
#include "pages/map_overlay.h"
#include "ui/stored_setting.h"

class QAction;
class QMenu;

namespace rq {

namespace logs {
class MapLogOverlay;
}

class MapPages;
class MapViewWindow;
class WindowFace;
class Workspace;
enum class ViewMode : int;

inline constexpr const char* kMapViewSection = "MAPVIEW";

class MapView : public QObject, public MapOverlayFace {
  Q_OBJECT
 public:
  // Puts Map view, Smooth and Copy map into the Tools menu after its described items.
  MapView(Workspace& workspace, WindowFace& window, MapPages& maps);
  ~MapView() override;

  // The map pages show `page`: the view follows it.
  void showOn(int page, const ParameterImage& image, MapGrid& grid, QWidget* bar, int barLeft) override;

  // Tools › Map view: shows the window (made on first use) where it was last.
  void open();
  MapViewWindow* view() const { return view_; }
  bool shown() const;
  // The map page the view follows: the map page shown, or the last one shown.
  int page() const { return page_; }
  ViewMode mode() const;
  void setMode(ViewMode mode);
  void setGhosts(bool other, bool unit);

  // ---- Tools: each one change of the configuration, within the tuner's limits ---------------
  // The selection of the grid of page(); with one cell selected, the whole map once the tuner
  // says so. Never across the cut of the page's limits.
  void smooth(int passes);
  // Asks, then copies advance map `from` onto `to` (the selection or the whole map). Where
  // the target's limits would hold cells, the question says how many and the tuner chooses:
  // copy them anyway, hold them at the limit, or cancel.
  void copyMap(int from, int to);
  bool copyRpmPoints() const { return copyRpm_.on(window_); }
  void setCopyRpmPoints(bool on);

  // ---- Edits of the selection shared with the grid --------------------------------------------
  void stepSelection(int direction);
  void setSelectionValue(double shown);
  // A point dragged to a value: shown at once in the grid and the views; the whole drag is one
  // change (one undo step, one programming after change) when it ends.
  void dragPoint(int row, int column, double shown);
  void endDrag();
  bool dragging() const { return dragging_; }
  void selectCell(int row, int column);

  // ---- For the ride log: time spent per cell and the viewer's cursor ---------------------------
  // Seconds the log spent in each cell of map page `page` (row-major, 10 x 15); the points
  // carry them as their size.
  void setCellWeights(int page, const std::array<double, kMapCells>& seconds);
  void clearCellWeights();
  // The cell of the viewer's cursor row; marked while it lies on the page shown.
  void setReplayCell(std::optional<MapCell> cell);
  // Follows the log on the map pages: while Log is ticked with a log open, the rows it counts
  // on the page (each `rowSeconds` long) as the points' size, and the cursor's cell.
  void followLog(const logs::MapLogOverlay& overlay);

  // ---- The tuner's limits ------------------------------------------------------------------------
  // Cells beyond a limit, of all three maps: marked on the page shown (a step marks both cells).
  void showViolations(const std::vector<Violation>& violations);

  // ---- What is drawn (tests, benchmark) ---------------------------------------------------------
  // Draws the page's curves or surface again, when the window shows.
  void redraw();
  // Places the live point, the trail and the log's marks, when the window shows.
  void markLive();
  // The live cell marked now, if any.
  std::optional<LiveCell> markedLive() const { return marked_; }

  QAction* viewAction() const { return viewAction_; }
  QMenu* smoothMenu() const { return smoothMenu_; }
  QMenu* copyMenu() const { return copyMenu_; }

 private:
  void buildActions();
  void ensureView();
  void applyTexts();
  void saveGeometry();
  void drawDifferences();
  // The configuration after `next`: one change on page(), unless nothing differs. `ask` is the
  // question before it, asked only while a change can be taken. True when the command went
  // ahead (answered yes or nothing asked; refused while a read runs).
  bool commit(const ParameterImage& next, const std::function<bool()>& ask = {});
  // Commits a value still being typed; false when no map page is followed.
  bool startCommand();
  QString text(MapViewText id) const;

  Workspace& ws_;
  WindowFace& window_;
  MapPages& maps_;
  MapViewWindow* view_ = nullptr;
  int page_ = kPageAdvance1;
  bool dirty_ = true;
  MapMode drawnMode_;

  QAction* viewAction_ = nullptr;
  QAction* smoothAction_ = nullptr;
  QAction* copyAction_ = nullptr;
  QMenu* smoothMenu_ = nullptr;
  QMenu* copyMenu_ = nullptr;
  QAction* copy12_ = nullptr;
  QAction* copy21_ = nullptr;
  QAction* copyRpmAction_ = nullptr;

  StoredSetting left_{kMapViewSection, "Left", -1};
  StoredSetting top_{kMapViewSection, "Top", -1};
  StoredSetting width_{kMapViewSection, "Width", 900};
  StoredSetting height_{kMapViewSection, "Height", 600};
  StoredSetting mode_{kMapViewSection, "Mode", 0};
  StoredSetting other_{kMapViewSection, "OtherMap", 1};
  StoredSetting unit_{kMapViewSection, "Unit", 1};
  StoredSetting copyRpm_{kMapViewSection, "CopyRpmPoints", 0};
  StoredSetting diffSource_{kMapViewSection, "Differences", 0};  // MapDifferenceView::Source

  bool dragging_ = false;
  ParameterImage dragStart_;

  std::array<std::optional<std::array<double, kMapCells>>, 3> weights_{};  // by map page
  int weightsVersion_ = 0;
  // Cells beyond a limit per map page (Advance 1, Advance 2, Servo), row-major.
  std::array<std::array<bool, kMapCells>, 3> broken_{};
  int brokenVersion_ = 0;
  std::optional<MapCell> replay_;
  std::optional<LiveCell> marked_;

  // What the marks were last drawn from.
  struct MarkInputs {
    std::optional<LiveCell> live;
    TrailLevels trail{};
    std::optional<MapCell> replay;
    int weightsVersion = 0;
    int brokenVersion = 0;
    CellRect selection;
    bool operator==(const MarkInputs& o) const {
      const CellRect& a = selection;
      const CellRect& b = o.selection;
      return live == o.live && trail == o.trail && replay == o.replay && weightsVersion == o.weightsVersion &&
             brokenVersion == o.brokenVersion &&
             a.row0 == b.row0 && a.column0 == b.column0 && a.row1 == b.row1 && a.column1 == b.column1;
    }
  };
  std::optional<MarkInputs> drawnMarks_;
};

}  // namespace rq
