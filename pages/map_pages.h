// SPDX-License-Identifier: GPL-3.0-or-later
// The advance and servo map pages (indexes 2, 3, 4): one grid and one bar, moved onto the page
// shown, bound to the map of that page; the live cell and its trail; the tuning tools (Plus /
// Minus, the column spin buttons) and the selection tools of the map's context menu and the
// Tools menu.
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <array>
#include <deque>
#include <functional>
#include <optional>

#include "pages/map_grid.h"
#include "pages/map_overlay.h"
#include "pages/page_kit.h"
#include "ui/stored_setting.h"
#include "ui/text_table.h"

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QToolButton;

namespace rq {

class MapPages : public PageModule {
 public:
  MapPages(PageKit& kit, QWidget* advance1, QWidget* advance2, QWidget* servo);

  void refresh(int page) override;
  void readBack(int page, ParameterImage& image) override;
  void applyRules(int page) override;
  void markLive(int page) override;
  void monitorAccepted() override;
  void languageChanged(int language) override;
  void pageShown(int page) override;
  QWidget* controlFor(const DifferingSlot& slot, int shownPage) const override;

  // Plus / Minus (F5 / F4, the bar's shift spin button): the live cell, or the whole map
  // with "All". Nothing off the map pages.
  void MenuToolsPlusClick() { PlusMinus(+1); }
  void MenuToolsMinusClick() { PlusMinus(-1); }
  // The column spin buttons: every cell of the column one step up or down.
  void CSpinButtonClick_Uni(int column, int direction);
  // Selection tools: one after-change step each.
  void ApplyToSelection(CellOp op, double value);
  void CopyCells();
  // Pastes tab-separated numbers at the selection; false when the text holds none.
  bool PasteText(const QString& text);

  // The described Plus and Minus items of the Tools menu: they act on the map shown and stand
  // in the map's context menu too.
  void attachPlusMinus(QAction* plus, QAction* minus);
  // A feature's item at the end of the map's context menu (the first one after a separator).
  void addContextAction(QAction* action);
  QMenu* contextMenu() const { return context_; }
  // The bar under the grid: it goes with the grid onto the map page shown.
  QGroupBox* bar() const { return bar_; }
  // Faces told whenever the grid and bar show a map (in the order added); removed by their
  // owners before they go.
  void addOverlay(MapOverlayFace* overlay) { overlays_.push_back(overlay); }
  void removeOverlay(MapOverlayFace* overlay) { std::erase(overlays_, overlay); }

  MapGrid& grid() { return *grid_; }

  // Display options (a button in the grid's corner and the context menu; kept in the settings
  // file, off by default).
  bool heatColours() const { return heat_.on(kit_.window()); }
  void setHeatColours(bool on);
  bool trailShown() const { return trail_.on(kit_.window()); }
  void setTrailShown(bool on);
  QToolButton* optionsButton() const { return options_; }
  // The trail of the operating point on map page `page` now: the cells the engine ran in
  // during the last seconds, fading with age (the live cell's own sample left out). Empty
  // without a unit. Whether the grid shows it is the Trail option's business.
  TrailLevels trailLevels(int page) const;
  // Asks the value for Set, Add and Scale; empty: a dialog. Returns nothing on Cancel.
  std::function<std::optional<double>(CellOp op)> askValue;
  // Controls touched by the last live marking (for the benchmark).
  int lastMarkTouched() const { return lastTouched_; }

 private:
  void PlusMinus(int direction);
  // Commits a value the user is still typing, as every command does first.
  void commitPending();
  void runSelectionTool(CellOp op);
  void buildBar();
  void placeBarEdits();
  int barFreeLeft(int page) const;
  // Tells every overlay that the grid and bar show `page`.
  void showOverlays(int page);
  void buildActions();
  void setToolsEnabled(bool on);
  void showStatus(const QString& text);
  QString ui(UiText id) const;  // a text of the map tools in the window's language
  void RadioGroupServoModeClick(int item);
  // The TPS box is "Servo enable" on the servo page: its hint follows.
  void setTpsHint(int language);

  PageKit& kit_;
  std::array<QWidget*, 3> pages_;
  MapGrid* grid_ = nullptr;
  QGroupBox* bar_ = nullptr;
  Bindings advance_, servo_;
  CheckEdit* tps_ = nullptr;
  bool servoBar_ = false;  // the bar stands on the servo page
  CheckEdit* percent_ = nullptr;
  CheckEdit* all_ = nullptr;
  RadioGroup* servoMode_ = nullptr;
  PageKit::SpinPair base_{}, hysteresis_{}, correction1_{}, correction2_{};
  QLabel* baseLabel_ = nullptr;
  QLabel* correctionLabel_ = nullptr;
  QLabel* servoOff_ = nullptr;  // the servo page while its map is off
  SpinButton* shift_ = nullptr;
  QMenu* context_ = nullptr;
  bool contextAdded_ = false;  // a feature added an item to the context menu
  std::vector<QAction*> tools_;
  std::vector<MapOverlayFace*> overlays_;
  // Each map page keeps its own selection; the grid shows the one of the page it is on.
  std::array<CellRect, 3> selections_{};
  int gridPage_ = -1;

  struct Sample {
    int rpm, throttle;
    bool secondMap;
    qint64 ms;
  };
  std::deque<Sample> samples_;
  QElapsedTimer clock_;
  StoredSetting heat_;
  StoredSetting trail_;
  QToolButton* options_ = nullptr;
  QAction* heatAction_ = nullptr;
  QAction* trailAction_ = nullptr;
  void buildOptions();
  void showOptionTexts(int language);
  int lastTouched_ = 0;
};

}  // namespace rq
