// SPDX-License-Identifier: GPL-3.0-or-later
// The map view's room: its menu items, the edits and tools on the workspace, what the window
// draws, and its settings.
#include "mapview/map_view.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMessageBox>
#include <QSpinBox>
#include <QStringList>

#include <algorithm>

#include "logs/map_log_overlay.h"
#include "mapview/curve_plot.h"
#include "mapview/difference_view.h"
#include "mapview/map_view_window.h"
#include "mapview/mapview_texts.h"
#include "mapview/surface.h"
#include "pages/map_grid.h"
#include "pages/map_pages.h"
#include "ui/screen_place.h"
#include "ui/window_face.h"
#include "workspace/workspace.h"

namespace rq {

namespace {

const QSize kViewMinimum(300, 200);

constexpr int kNoteMs = 6000;

int OtherAdvancePage(int page) { return page == kPageAdvance1 ? kPageAdvance2 : kPageAdvance1; }

// The unit's image with its servo map in the unit of the PC's (mV or percent), so that its
// ghost is drawn on the same scale.
ParameterImage UnitOnPcScale(const ParameterImage& unit, const ParameterImage& pc) {
  ParameterImage u = unit;
  const bool percent = pc[kServoPercent] != 0;
  if ((u[kServoPercent] != 0) != percent) {
    ConvertServoMap(u, percent);
    u.setByte(kServoPercent, percent ? 1 : 0);
  }
  return u;
}

// The names at the right of the curves: each row's throttle or each column's rpm point.
std::vector<QString> CurveLabels(const ParameterImage& image, int page, CurveAxis axis,
                                 const std::vector<MapCurve>& curves) {
  const MapDef& map = *MapOfPage(page);
  std::vector<QString> labels;
  for (const MapCurve& curve : curves)
    labels.push_back(axis == CurveAxis::Rpm ? QString("%1 %").arg(kThrottleRows[curve.index])
                                            : QString::number(image[map.axis[curve.index]]));
  return labels;
}

}  // namespace

MapView::MapView(Workspace& workspace, WindowFace& window, MapPages& maps)
    : QObject(window.dialogParent()), ws_(workspace), window_(window), maps_(maps) {
  buildActions();
  maps_.addOverlay(this);
  connect(&ws_, &Workspace::imageChanged, this, [this] { redraw(); });
  connect(&ws_, &Workspace::unitChanged, this, [this] { redraw(); });
  connect(&ws_, &Workspace::languageChanged, this, [this] {
    applyTexts();
    redraw();
  });
  connect(&ws_, &Workspace::markLive, this, [this] { markLive(); });
  connect(&maps_.grid(), &MapGrid::selectionChanged, this, [this] { redraw(); });
  applyTexts();
}

MapView::~MapView() {
  maps_.removeOverlay(this);
  if (shown()) saveGeometry();
  delete view_;
  delete smoothMenu_;
  delete copyMenu_;
}

QString MapView::text(MapViewText id) const {
  return QString::fromUtf8(MapViewTextOf(id, ws_.language()));
}

void MapView::buildActions() {
  auto* separator = new QAction(this);
  separator->setSeparator(true);
  window_.addMenuAction(WindowFace::Menu::Tools, separator);

  viewAction_ = new QAction(this);
  viewAction_->setObjectName("MenuMapView");
  viewAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  connect(viewAction_, &QAction::triggered, this, [this] { open(); });
  window_.addMenuAction(WindowFace::Menu::Tools, viewAction_);

  smoothMenu_ = new QMenu;
  smoothMenu_->setObjectName("MenuMapSmoothStrength");
  for (int passes = kSmoothPassesMin; passes <= kSmoothPassesMax; ++passes) {
    QAction* a = smoothMenu_->addAction(QString());
    a->setObjectName(QString("MenuMapSmooth%1").arg(passes));
    a->setData(passes);
    connect(a, &QAction::triggered, this, [this, passes] { smooth(passes); });
  }
  smoothAction_ = new QAction(this);
  smoothAction_->setObjectName("MenuMapSmooth");
  smoothAction_->setMenu(smoothMenu_);
  window_.addMenuAction(WindowFace::Menu::Tools, smoothAction_);

  copyMenu_ = new QMenu;
  copyMenu_->setObjectName("MenuMapCopyDirection");
  copy12_ = copyMenu_->addAction(QString());
  copy12_->setObjectName("MenuMapCopy1To2");
  connect(copy12_, &QAction::triggered, this, [this] { copyMap(kPageAdvance1, kPageAdvance2); });
  copy21_ = copyMenu_->addAction(QString());
  copy21_->setObjectName("MenuMapCopy2To1");
  connect(copy21_, &QAction::triggered, this, [this] { copyMap(kPageAdvance2, kPageAdvance1); });
  copyMenu_->addSeparator();
  copyRpmAction_ = copyMenu_->addAction(QString());
  copyRpmAction_->setObjectName("MenuMapCopyRpm");
  copyRpmAction_->setCheckable(true);
  connect(copyRpmAction_, &QAction::triggered, this, [this](bool on) { setCopyRpmPoints(on); });
  // The page captions and the tick are read when the menu opens: the window names its pages
  // in its language, and the settings file is read after the rooms are built.
  connect(copyMenu_, &QMenu::aboutToShow, this, [this] {
    copyRpmAction_->setChecked(copyRpmPoints());
    applyTexts();
  });
  copyAction_ = new QAction(this);
  copyAction_->setObjectName("MenuMapCopyMap");
  copyAction_->setMenu(copyMenu_);
  window_.addMenuAction(WindowFace::Menu::Tools, copyAction_);
}

void MapView::applyTexts() {
  viewAction_->setText(text(MapViewText::Menu));
  viewAction_->setStatusTip(text(MapViewText::MenuHint));
  smoothAction_->setText(text(MapViewText::Smooth));
  smoothAction_->setStatusTip(text(MapViewText::SmoothHint));
  for (QAction* a : smoothMenu_->actions()) {
    const int passes = a->data().toInt();
    a->setText(text(MapViewText::SmoothStrength).arg(passes));
    a->setStatusTip(text(MapViewText::SmoothHint));
  }
  copyAction_->setText(text(MapViewText::Copy));
  copyAction_->setStatusTip(text(MapViewText::CopyHint));
  const QString a1 = window_.pageCaption(kPageAdvance1), a2 = window_.pageCaption(kPageAdvance2);
  copy12_->setText(QString::fromUtf8("%1 \u2192 %2").arg(a1, a2));
  copy21_->setText(QString::fromUtf8("%1 \u2192 %2").arg(a2, a1));
  for (QAction* a : {copy12_, copy21_}) a->setStatusTip(text(MapViewText::CopyHint));
  copyRpmAction_->setText(text(MapViewText::CopyWithRpm));
  if (view_ != nullptr) view_->applyTexts(ws_.language());
}

// ---- The window ---------------------------------------------------------------------------

bool MapView::shown() const { return view_ != nullptr && view_->isVisible(); }

ViewMode MapView::mode() const {
  return ViewMode(std::clamp(int(mode_.value(window_)), 0, kViewModes - 1));
}

void MapView::setMode(ViewMode mode) {
  mode_.set(window_, int(mode));
  if (view_ != nullptr && view_->mode() != mode) view_->setMode(mode);
  redraw();
}

void MapView::setGhosts(bool other, bool unit) {
  other_.set(window_, other ? 1 : 0);
  unit_.set(window_, unit ? 1 : 0);
  if (view_ != nullptr) view_->setGhosts(other, unit);
  redraw();
}

void MapView::setCopyRpmPoints(bool on) {
  copyRpm_.set(window_, on ? 1 : 0);
  copyRpmAction_->setChecked(on);
}

void MapView::ensureView() {
  if (view_ != nullptr) return;
  view_ = new MapViewWindow(window_.dialogParent());
  // Undo and Redo act from the view too, right after a drag.
  view_->addActions(window_.undoActions());
  view_->setToolMenus(smoothMenu_, copyMenu_);
  view_->setMode(mode());
  view_->setGhosts(other_.on(window_), unit_.on(window_));
  view_->applyTexts(ws_.language());
  view_->onMode = [this](ViewMode m) { setMode(m); };
  view_->onGhosts = [this](bool other, bool unit) { setGhosts(other, unit); };
  view_->onStep = [this](int direction) { stepSelection(direction); };
  view_->onSet = [this](double value) { setSelectionValue(value); };
  view_->onShown = [this] { redraw(); };
  view_->onHidden = [this] {
    endDrag();
    saveGeometry();
  };
  view_->onSurfaceMade = [this] {
    view_->surface()->onCellClicked = [this](int row, int column) {
      // A cell the layout hides stands for the one the unit applies there.
      const MapMode m = MapModeOf(ws_.image(), page_);
      selectCell(AppliedRow(m, row), AppliedColumn(m, column));
    };
    redraw();
  };
  MapCurvePlot* plot = view_->plot();
  plot->onTaken = [this](const CurvePoint& p) { selectCell(p.row, p.column); };
  plot->onDragged = [this](const CurvePoint& p, double value) { dragPoint(p.row, p.column, value); };
  plot->onReleased = [this] { endDrag(); };
  view_->differences()->onSource = [this](int source) {
    diffSource_.set(window_, source);
    redraw();
  };

  // Where it was last, brought back wholly onto a screen (a place saved at another scale or
  // on a screen that is gone); never placed before: the desktop places it, at a size the
  // screen holds.
  const QSize minimum = kViewMinimum;
  const QRect frame(int(left_.value(window_)), int(top_.value(window_)),
                    int(std::clamp(width_.value(window_), 300L, 10000L)),
                    int(std::clamp(height_.value(window_), 200L, 10000L)));
  const bool placed = frame.x() >= 0 && frame.y() >= 0;
  const QRect fitted = FitOnScreen(placed ? frame : QRect(QPoint(0, 0), frame.size()), minimum);
  view_->resize(fitted.size());
  if (placed) view_->move(fitted.topLeft());
}

void MapView::open() {
  ensureView();
  view_->show();
  // Once shown, its frame and its least size are known: the whole frame goes onto the screen.
  const QRect outer = view_->frameGeometry();
  const QSize margins = outer.size() - view_->size();
  const QRect fitted =
      FitOnScreen(outer, kViewMinimum.expandedTo(view_->minimumSizeHint()) + margins);
  if (fitted.size() != outer.size()) view_->resize(fitted.size() - margins);
  if (fitted.topLeft() != outer.topLeft()) view_->move(fitted.topLeft());
  view_->raise();
  view_->activateWindow();
}

void MapView::saveGeometry() {
  if (view_ == nullptr) return;
  left_.keep(view_->x());
  top_.keep(view_->y());
  width_.keep(view_->width());
  height_.keep(view_->height());
  window_.writeSettings([this](IniFile& ini) {
    for (const StoredSetting* s : {&left_, &top_, &width_, &height_}) s->store(ini);
  });
}

void MapView::showOn(int page, const ParameterImage& image, MapGrid&, QWidget*, int) {
  // The layout can change without a change of the configuration (a mode selector stores its
  // byte and applies the rules first).
  const MapMode mode = MapModeOf(image, page);
  if (page == page_ && mode == drawnMode_ && !dirty_) {
    // The window names its pages in the new language after the workspace told the language.
    if (shown()) view_->setWindowTitle(text(MapViewText::Title).arg(window_.pageCaption(page_)));
    return;
  }
  page_ = page;
  redraw();
}

// ---- Drawing --------------------------------------------------------------------------------

void MapView::redraw() {
  if (!shown()) {
    dirty_ = true;
    return;
  }
  dirty_ = false;
  const ParameterImage& im = ws_.image();
  drawnMode_ = MapModeOf(im, page_);
  view_->setWindowTitle(text(MapViewText::Title).arg(window_.pageCaption(page_)));
  const CellScale scale = MapCellScale(im, page_);
  view_->setValueScale(scale);
  // The value field offers the selected cell's value, unless the user is typing in it.
  const CellRect sel = maps_.grid().selection();
  if (!view_->valueBox()->hasFocus())
    view_->valueBox()->setValue(scale.step * im.byte(CellByte(*MapOfPage(page_), sel.row0, sel.column0)));
  const bool advance = page_ != kPageServo;
  const ParameterImage* unit = KnownUnitImage(ws_.unit());
  view_->otherBox()->setEnabled(advance);
  view_->unitBox()->setEnabled(unit != nullptr);
  const QString valueTitle = text(!advance ? (im[kServoPercent] != 0 ? MapViewText::AxisServoPercent
                                                                      : MapViewText::AxisServoMv)
                                           : MapViewText::AxisAdvance);
  const MapPlane plane = MapPlaneOf(im, page_);
  if (mode() == ViewMode::Differences) {
    drawDifferences();
  } else if (mode() == ViewMode::Surface) {
    if (MapSurface* s = view_->surface()) {
      SurfaceTitles titles{text(MapViewText::AxisRpm), text(MapViewText::AxisThrottle), valueTitle,
                           text(MapViewText::NoSurface), text(MapViewText::RpmUnit)};
      s->showPlane(plane, titles);
    }
  } else {
    CurveScene scene;
    scene.axis = mode() == ViewMode::CurvesOverRpm ? CurveAxis::Rpm : CurveAxis::Throttle;
    scene.curves = MapCurves(im, page_, scene.axis);
    scene.labels = CurveLabels(im, page_, scene.axis, scene.curves);
    if (advance && other_.on(window_)) scene.other = MapCurves(im, OtherAdvancePage(page_), scene.axis);
    if (unit != nullptr && unit_.on(window_)) scene.unit = MapCurves(UnitOnPcScale(*unit, im), page_, scene.axis);
    scene.selection = maps_.grid().selection();
    scene.top = plane.top;
    for (const auto* set : {&scene.other, &scene.unit})
      for (const MapCurve& c : *set)
        for (const CurvePoint& p : c.points) scene.top = std::max(scene.top, p.y);
    scene.xTitle = text(scene.axis == CurveAxis::Rpm ? MapViewText::AxisRpm : MapViewText::AxisThrottle);
    scene.yTitle = valueTitle;
    scene.otherName = text(MapViewText::GhostOther);
    scene.unitName = text(MapViewText::GhostUnit);
    if (!drawnMode_.gridShown) scene.note = text(MapViewText::ServoOff);
    view_->plot()->showScene(scene);
  }
  drawnMarks_.reset();
  markLive();
}

void MapView::drawDifferences() {
  MapDifferenceView& view = *view_->differences();
  const ParameterImage& im = ws_.image();
  const int source = int(std::clamp(diffSource_.value(window_), 0L, 1L));
  const QString a1 = window_.pageCaption(kPageAdvance1), a2 = window_.pageCaption(kPageAdvance2);
  view.sourceBox()->setItemText(MapDifferenceView::MapsOneTwo, text(MapViewText::DiffMaps).arg(a1, a2));
  if (view.sourceBox()->currentIndex() != source) view.sourceBox()->setCurrentIndex(source);
  DifferenceTexts texts;
  texts.xTitle = text(MapViewText::AxisRpm);
  MapDifference d;
  QString unitName = QString::fromUtf8("\u00B0");
  if (source == MapDifferenceView::MapsOneTwo) {
    d = DifferenceOf(im, kPageAdvance1, im, kPageAdvance2);
    if (d.rpmDiffer) texts.note = text(MapViewText::DiffRpmDiffer).arg(a1);
  } else if (const ParameterImage* unit = KnownUnitImage(ws_.unit())) {
    d = DifferenceOf(im, page_, UnitOnPcScale(*unit, im), page_);
    if (page_ == kPageServo) unitName = im[kServoPercent] != 0 ? "%" : "mV";
    if (!d.shown) texts.note = text(MapViewText::ServoOff);
    else if (d.rpmDiffer) texts.note = text(MapViewText::DiffRpmDiffer).arg("PC");
  } else {
    texts.note = text(MapViewText::DiffUnknown);
  }
  texts.yTitle = text(MapViewText::AxisDifference).arg(unitName);
  view.show(d, texts);
}

void MapView::markLive() {
  if (!shown()) return;
  const ParameterImage& im = ws_.image();
  std::optional<LiveCell> live;
  if (ws_.connected()) {
    const MonitorSnapshot& lv = ws_.lastMonitor();
    // The same cell as the grid marks: nothing on the advance map the unit does not use.
    const LiveCell c = ComputeLiveCell(im, page_, lv.rpm, lv.throttle, lv.secondMap != 0);
    if (c.cellMarked) live = c;
  }
  marked_ = live;
  MarkInputs in;
  in.live = live;
  // The trail as the page shows it: only with its Trail option on.
  if (maps_.trailShown()) in.trail = maps_.trailLevels(page_);
  in.replay = replay_ && replay_->page == page_ ? replay_ : std::nullopt;
  in.weightsVersion = weightsVersion_;
  in.brokenVersion = brokenVersion_;
  in.selection = maps_.grid().selection();
  // A reply that moves nothing draws nothing.
  if (drawnMarks_ && *drawnMarks_ == in) return;
  drawnMarks_ = in;

  std::optional<std::array<double, kMapCells>> weights;
  if (const auto& w = weights_[std::size_t(page_ - kPageAdvance1)]) {
    const double most = *std::max_element(w->begin(), w->end());
    if (most > 0) {
      weights.emplace();
      for (std::size_t i = 0; i < w->size(); ++i) (*weights)[i] = std::max(0.0, (*w)[i] / most);
    }
  }
  const MapMode layout = MapModeOf(im, page_);
  if (mode() == ViewMode::Surface) {
    MapSurface* s = view_->surface();
    if (s == nullptr) return;
    SurfaceMarks m;
    if (live) m.live = SurfaceCell{live->row, live->column};
    m.trail = in.trail;
    m.weights = weights;
    if (in.replay) m.replay = SurfaceCell{in.replay->row, in.replay->column};
    m.broken = broken_[std::size_t(page_ - kPageAdvance1)];
    const CellRect sel = in.selection;
    if (CellVisible(layout, sel.row1, sel.column1)) m.selected = SurfaceCell{sel.row1, sel.column1};
    s->showMarks(m);
    return;
  }
  if (mode() == ViewMode::Differences) return;
  const CurveAxis axis = mode() == ViewMode::CurvesOverRpm ? CurveAxis::Rpm : CurveAxis::Throttle;
  auto point = [&](int r, int c) { return CellPoint(im, page_, axis, r, c); };
  CurveMarks m;
  m.liveName = text(MapViewText::LegendLive);
  m.trailName = text(MapViewText::LegendTrail);
  m.logName = text(MapViewText::LegendLog);
  m.replayName = text(MapViewText::LegendReplay);
  m.brokenName = text(MapViewText::LegendBroken);
  if (live) m.live = point(live->row, live->column);
  for (int i = 0; i < kMapCells; ++i) {
    const int r = i / kMapColumns, c = i % kMapColumns;
    if (!layout.gridShown || !CellVisible(layout, r, c)) continue;
    if (const int level = in.trail[std::size_t(i)]; level > 0) m.trail.push_back({point(r, c), level});
    if (weights && (*weights)[std::size_t(i)] > 0) m.weights.push_back({point(r, c), (*weights)[std::size_t(i)]});
    if (broken_[std::size_t(page_ - kPageAdvance1)][std::size_t(i)]) m.broken.push_back(point(r, c));
  }
  if (in.replay && layout.gridShown) m.replay = point(in.replay->row, in.replay->column);
  view_->plot()->showMarks(m);
}

// ---- Hooks of the ride log ----------------------------------------------------------------------

void MapView::setCellWeights(int page, const std::array<double, kMapCells>& seconds) {
  if (!IsMapPage(page)) return;
  weights_[std::size_t(page - kPageAdvance1)] = seconds;
  ++weightsVersion_;
  markLive();
}

void MapView::clearCellWeights() {
  for (auto& w : weights_) w.reset();
  ++weightsVersion_;
  markLive();
}

void MapView::setReplayCell(std::optional<MapCell> cell) {
  replay_ = cell;
  markLive();
}

void MapView::followLog(const logs::MapLogOverlay& overlay) {
  const int page = overlay.page();
  if (!overlay.counts() || !IsMapPage(page)) {
    if (std::any_of(weights_.begin(), weights_.end(), [](const auto& w) { return w.has_value(); }))
      clearCellWeights();
  } else {
    std::array<double, kMapCells> seconds{};
    for (int r = 0; r < kMapRows; ++r)
      for (int c = 0; c < kMapColumns; ++c)
        seconds[std::size_t(r * kMapColumns + c)] =
            overlay.counts()->rows[std::size_t(r)][std::size_t(c)] * overlay.rowSeconds();
    setCellWeights(page, seconds);
  }
  std::optional<MapCell> cell;
  if (overlay.enabled() && IsMapPage(page))
    if (const auto at = overlay.replayCell()) cell = MapCell{page, at->row, at->column};
  if (cell != replay_) setReplayCell(cell);
}

// ---- The tuner's limits ---------------------------------------------------------------------------

void MapView::showViolations(const std::vector<Violation>& violations) {
  std::array<std::array<bool, kMapCells>, 3> broken{};
  auto mark = [&broken](int page, int row, int column) {
    if (!IsMapPage(page) || row < 0 || row >= kMapRows || column < 0 || column >= kMapColumns) return;
    broken[std::size_t(page - kPageAdvance1)][std::size_t(row * kMapColumns + column)] = true;
  };
  for (const Violation& v : violations) {
    mark(v.page, v.row, v.column);
    if (v.kind == LimitKind::StepRight || v.kind == LimitKind::StepDown) mark(v.page, OtherRow(v), OtherColumn(v));
  }
  if (broken == broken_) return;
  broken_ = broken;
  ++brokenVersion_;
  markLive();
}

// ---- Edits ------------------------------------------------------------------------------------

bool MapView::startCommand() {
  window_.commitPendingEdit();
  return IsMapPage(page_);
}

bool MapView::commit(const ParameterImage& next, const std::function<bool()>& ask) {
  // The question comes only while a change can be taken (not while a read runs); what leaves
  // the configuration as it is makes no change.
  bool go = false;
  ws_.change([&next](ParameterImage& image) { image = next; }, page_, [&] {
    go = !ask || ask();
    return go && next != ws_.image();
  });
  return go;
}

void MapView::selectCell(int row, int column) {
  if (row < 0 || row >= kMapRows || column < 0 || column >= kMapColumns) return;
  maps_.grid().select({row, column, row, column});
}

void MapView::stepSelection(int direction) {
  if (!startCommand()) return;
  ParameterImage next = ws_.image();
  const CellScale scale = MapCellScale(next, page_);
  ApplyCellOp(next, page_, MapModeOf(next, page_), maps_.grid().selection(), CellOp::Add,
              double(direction * scale.step));
  commit(next);
}

void MapView::setSelectionValue(double shown) {
  if (!startCommand()) return;
  ParameterImage next = ws_.image();
  ApplyCellOp(next, page_, MapModeOf(next, page_), maps_.grid().selection(), CellOp::Set, shown);
  commit(next);
}

void MapView::dragPoint(int row, int column, double shown) {
  if (!dragging_) {
    if (!startCommand()) return;
    dragging_ = true;
    dragStart_ = ws_.image();
  }
  // A read that starts meanwhile replaces the configuration: the drag ends with nothing.
  if (ws_.readLocked()) {
    dragging_ = false;
    return;
  }
  const MapDef& map = *MapOfPage(page_);
  const int at = CellByte(map, row, column);
  const int byte = SnappedByte(shown, MapCellScale(ws_.image(), page_));
  if (ws_.image().byte(at) == byte) return;
  // Shown at once in the grid and the views; the undo step and the programming after change
  // come once, when the drag ends (no step is taken while the refresh flag is set).
  const Workspace::RefreshScope preview(ws_);
  ws_.change([at, byte](ParameterImage& image) { image.setByte(at, byte); }, page_);
}

void MapView::endDrag() {
  if (!dragging_) return;
  dragging_ = false;
  if (ws_.readLocked() || ws_.image() == dragStart_) return;
  ws_.change({}, page_);
}

void MapView::smooth(int passes) {
  if (!startCommand()) return;
  CellRect area = maps_.grid().selection();
  // One cell selected: the whole map, when the tuner says so.
  std::function<bool()> ask;
  if (area.cells() <= 1) {
    area = kWholeMap;
    ask = [this] {
      return window_.askQuestion(text(MapViewText::AskSmoothWhole).arg(window_.pageCaption(page_)), false) ==
             QMessageBox::Yes;
    };
  }
  const ParameterImage before = ws_.image();
  ParameterImage next = before;
  passes = std::clamp(passes, kSmoothPassesMin, kSmoothPassesMax);
  // The page's cut holds even before a limit is set: the rev limiter's cliff stays.
  SmoothCells(next, page_, area, passes, ws_.limits().of(page_));
  const int clamped = ClampToolResult(next, before, ws_.limits(), KnownUnitImage(ws_.unit()));
  const auto changed = qsizetype(ChangedCells(before, next).size());
  if (!commit(next, ask)) return;
  QString note = text(MapViewText::NoteSmoothed).arg(window_.pageCaption(page_)).arg(passes).arg(changed);
  if (clamped > 0) note += text(MapViewText::NoteClamped).arg(clamped);
  window_.showNote(note, kNoteMs);
}

void MapView::copyMap(int from, int to) {
  window_.commitPendingEdit();
  const CellRect area = ToolArea(maps_.grid().selection());
  const bool rpm = copyRpmPoints();
  const QString a = window_.pageCaption(from), b = window_.pageCaption(to);
  QString question = text(IsWholeMap(area) ? MapViewText::AskCopyWhole : MapViewText::AskCopySelection).arg(a, b);
  if (rpm) question += text(MapViewText::AskCopyRpm);
  const ParameterImage before = ws_.image();
  ParameterImage copied = before;
  const int changed = CopyMap(copied, {from, to, area, rpm});
  // A copy copies: where the target's limits would hold a cell, the tuner chooses.
  ParameterImage held = copied;
  const ClampResult clamp =
      ClampToLimits(held, ChangedCells(before, copied), ws_.limits(), KnownUnitImage(ws_.unit()));
  bool hold = false;
  std::function<bool()> ask = [&] { return window_.askQuestion(question, false) == QMessageBox::Yes; };
  if (!clamp.held.empty()) {
    const PageLimits& limits = *ws_.limits().of(to);
    QStringList breaks;
    for (const auto& [kind, field] : {std::pair{LimitKind::Min, 0}, std::pair{LimitKind::Max, 1},
                                      std::pair{LimitKind::Change, 3}}) {
      const auto n = std::count_if(clamp.held.begin(), clamp.held.end(), [kind](const HeldCell& h) { return h.kind == kind; });
      const std::optional<double> value = field == 0 ? limits.min : field == 1 ? limits.max : limits.change;
      if (n > 0 && value)
        breaks << text(MapViewText::WouldBreak)
                      .arg(qsizetype(n))
                      .arg(QString::fromStdString(LimitKey(to, field)), QString::fromStdString(LimitNumberText(*value)));
    }
    question += "\n\n" + breaks.join("\n");
    ask = [&] {
      const int choice = window_.askChoice(
          question, {text(MapViewText::CopyAnyway), text(MapViewText::CopyHold), text(MapViewText::CopyCancel)}, 2);
      hold = choice == 1;
      return choice == 0 || choice == 1;
    };
  }
  // Asked only while a change can be taken; the undo step belongs to the page that changed.
  bool go = false;
  const ParameterImage* next = &copied;
  ws_.change([&next](ParameterImage& image) { image = *next; }, to, [&] {
    go = ask();
    next = hold ? &held : &copied;
    return go && *next != before;
  });
  if (!go) return;
  QString note = text(MapViewText::NoteCopied).arg(a, b).arg(changed);
  if (hold) note += text(MapViewText::NoteClamped).arg(clamp.clamped);
  window_.showNote(note, kNoteMs);
}

}  // namespace rq

#include "moc_map_view.cpp"
