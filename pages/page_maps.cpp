// SPDX-License-Identifier: GPL-3.0-or-later
// The advance and servo map pages.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputDialog>
#include <QLayout>
#include <QMenu>
#include <QPainter>
#include <QToolButton>

#include <cmath>

#include "pages/map_pages.h"
#include "pages/map_options.h"
#include "pages/map_overlay.h"
#include "pages/controls.h"
#include "pages/page_set.h"
#include "pages/tuning_tools.h"
#include "ui/notice_texts.h"
#include "ui/text_table.h"

namespace rq {

namespace {

constexpr qint64 kTrailMs = 4000;  // how long the trail of the operating point lasts
constexpr std::size_t kTrailSamples = 64;

void Place(const PageKit::SpinPair& p, int x, int y) {
  p.edit->move(x, y);
  p.upDown->move(x + p.edit->width(), y);
}

}  // namespace

MapPages::MapPages(PageKit& kit, QWidget* advance1, QWidget* advance2, QWidget* servo)
    : kit_(kit),
      pages_{advance1, advance2, servo},
      heat_(kMapPagesSection, kHeatColoursKey, 0),
      trail_(kMapPagesSection, kTrailKey, 0) {
  clock_.start();
  grid_ = new MapGrid(advance1);
  grid_->onCommit = [this] { kit_.commitEdit(); };
  grid_->onColumnShift = [this](int c, int dir) { CSpinButtonClick_Uni(c, dir); };
  grid_->onCellOp = [this](CellOp op, double v) { ApplyToSelection(op, v); };
  grid_->onCopy = [this] { CopyCells(); };
  grid_->onPaste = [this] { PasteText(QApplication::clipboard()->text()); };
  grid_->onContextMenu = [this](const QPoint& at) {
    if (context_ != nullptr) context_->popup(at);
  };
  buildBar();
  buildActions();
  servoOff_ = PageKit::label("LabelServoMapOff", QString(), servo);
  servoOff_->setGeometry(20, 20, 930, 60);
  servoOff_->setWordWrap(true);
  servoOff_->hide();
  buildOptions();
  languageChanged(kit_.workspace().language());
}

void MapPages::languageChanged(int language) {
  auto text = [language](UiText id) { return QString::fromUtf8(UiMessage(language, id)); };
  grid_->setHints(text(UiText::MapCellHint), text(UiText::MapRpmHint), text(UiText::MapColumnHint));
  setTpsHint(language);
  showOptionTexts(language);
}

// ---- Display options ---------------------------------------------------------------------

void MapPages::buildOptions() {
  // The bar has no room left in every language: a small button with a menu in the grid's
  // free corner under the row labels, and the same two items in the map's context menu.
  options_ = new QToolButton(grid_->box());
  options_->setObjectName("ToolButtonMapOptions");
  options_->setPopupMode(QToolButton::InstantPopup);
  options_->setFocusPolicy(Qt::NoFocus);
  options_->setGeometry(6, 344, 46, 25);
  // Its picture: the value colours from cool to warm.
  QPixmap picture(18, 14);
  picture.fill(Qt::transparent);
  {
    QPainter p(&picture);
    const QColor bands[] = {QColor(160, 195, 255), QColor(240, 240, 240), QColor(255, 160, 140)};
    for (int i = 0; i < 3; ++i) p.fillRect(6 * i, 0, 6, 14, bands[i]);
    p.setPen(Qt::darkGray);
    p.drawRect(0, 0, 17, 13);
  }
  options_->setIcon(QIcon(picture));
  auto* menu = new QMenu(options_);
  menu->setObjectName("MenuMapOptions");
  heatAction_ = menu->addAction(QString());
  heatAction_->setObjectName("MenuMapHeatColours");
  trailAction_ = menu->addAction(QString());
  trailAction_->setObjectName("MenuMapTrail");
  for (QAction* a : {heatAction_, trailAction_}) a->setCheckable(true);
  options_->setMenu(menu);
  // The ticks follow the options whenever a menu opens: the settings file is read after the
  // pages are built.
  auto tick = [this] {
    heatAction_->setChecked(heatColours());
    trailAction_->setChecked(trailShown());
  };
  QObject::connect(menu, &QMenu::aboutToShow, options_, tick);
  QObject::connect(context_, &QMenu::aboutToShow, options_, tick);
  context_->addSeparator();
  context_->addAction(heatAction_);
  context_->addAction(trailAction_);
  QObject::connect(heatAction_, &QAction::triggered, options_, [this](bool on) { setHeatColours(on); });
  QObject::connect(trailAction_, &QAction::triggered, options_, [this](bool on) { setTrailShown(on); });
}

void MapPages::showOptionTexts(int language) {
  auto text = [language](MapOptionText id) { return QString::fromUtf8(MapOptionTextOf(id, language)); };
  options_->setToolTip(text(MapOptionText::ViewHint));
  options_->setStatusTip(text(MapOptionText::ViewHint));
  heatAction_->setText(text(MapOptionText::HeatColours));
  heatAction_->setStatusTip(text(MapOptionText::HeatHint));
  trailAction_->setText(text(MapOptionText::Trail));
  trailAction_->setStatusTip(text(MapOptionText::TrailHint));
}

void MapPages::setHeatColours(bool on) {
  heat_.set(kit_.window(), on ? 1 : 0);
  heatAction_->setChecked(on);
  grid_->setHeatColours(on);
}

void MapPages::setTrailShown(bool on) {
  trail_.set(kit_.window(), on ? 1 : 0);
  trailAction_->setChecked(on);
  markLive(kit_.workspace().page());
}

void MapPages::setTpsHint(int language) {
  const QString hint =
      QString::fromUtf8(UiMessage(language, servoBar_ ? UiText::ServoEnableHint : UiText::MapTpsHint));
  if (tps_->toolTip() == hint) return;
  tps_->setToolTip(hint);
  tps_->setStatusTip(hint);
}

void MapPages::buildBar() {
  bar_ = new QGroupBox(pages_[0]);
  bar_->setObjectName("GroupBoxMapBar");
  bar_->setGeometry(0, 374, 977, 38);

  tps_ = kit_.check("CheckBoxMapTps", "TPS", bar_, advance_);
  tps_->setGeometry(20, 10, 100, 20);
  // The same box edits the servo enable byte on the servo page.
  Binding servoEnable;
  servoEnable.def = FindParameter("CheckBoxMapTps", kPageServo);
  servoEnable.check = tps_;
  servo_.add(servoEnable);
  kit_.bindControl(servoEnable.def, tps_);

  percent_ = kit_.check("CheckBoxMapPercent", "percent", bar_, servo_);
  percent_->setGeometry(125, 10, 70, 20);
  percent_->setFocusPolicy(Qt::NoFocus);

  servoMode_ = kit_.radio("RadioGroupServoMode", QString(), 3, bar_, servo_,
                          [this](int item) { RadioGroupServoModeClick(item); });
  // Wider than 150 so that no item is cut off in any language.
  servoMode_->setGeometry(200, 0, 215, 38);
  servoMode_->layout()->setContentsMargins(4, 0, 4, 0);
  servoMode_->setFocusPolicy(Qt::NoFocus);

  base_ = kit_.spin("UpDownBaseAdvance", bar_, advance_);
  Place(base_, 427, 8);
  hysteresis_ = kit_.spin("UpDownServoHysteresis", bar_, servo_);
  Place(hysteresis_, 427, 8);
  correction1_ = kit_.spin("UpDownCorrection1", bar_, advance_);
  Place(correction1_, 613, 8);
  correction2_ = kit_.spin("UpDownCorrection2", bar_, advance_);
  Place(correction2_, 675, 8);
  baseLabel_ = PageKit::label("LabelBaseAdvance", "Base advance [°]", bar_);
  baseLabel_->move(427 + std::max(base_.edit->width(), hysteresis_.edit->width()) + 16 + 6, 12);
  correctionLabel_ = PageKit::label("LabelCorrection", "Correction for cyl. 1,2", bar_);
  correctionLabel_->move(675 + correction2_.edit->width() + 16 + 6, 12);

  shift_ = new SpinButton("CSpinButtonMapShift", 20, 25, bar_);
  shift_->move(985 - 96, 8);
  shift_->onUp = [this] { MenuToolsPlusClick(); };
  shift_->onDown = [this] { MenuToolsMinusClick(); };
  all_ = new CheckEdit("All", bar_);
  all_->setObjectName("CheckBoxMapAll");
  all_->setGeometry(985 - 96 + 40, 12, 40, 20);
  all_->setFocusPolicy(Qt::NoFocus);
  all_->onCommit = [this] { kit_.commitEdit(); };
}

void MapPages::buildActions() {
  context_ = new QMenu(grid_->box());
  context_->setObjectName("MenuMapCells");
  auto add = [this](const char* name, const QString& text, const QString& tip,
                    const QKeySequence& key, std::function<void()> handler) {
    auto* a = new QAction(text, grid_->box());
    a->setObjectName(name);
    a->setStatusTip(tip);
    if (!key.isEmpty()) {
      // The cells take these keys themselves; the menus show them.
      a->setShortcut(key);
      a->setShortcutContext(Qt::WidgetShortcut);
    }
    QObject::connect(a, &QAction::triggered, grid_->box(), std::move(handler));
    tools_.push_back(a);
    return a;
  };
  std::vector<QAction*> own = {
      add("MenuMapSet", "Set selected cells...", "Set every selected cell to one value", {},
          [this] { runSelectionTool(CellOp::Set); }),
      add("MenuMapAdd", "Add to selected cells...", "Add a value to every selected cell", {},
          [this] { runSelectionTool(CellOp::Add); }),
      add("MenuMapScale", "Scale selected cells...", "Multiply the selected cells by a percentage", {},
          [this] { runSelectionTool(CellOp::Scale); }),
      add("MenuMapInterpolateRows", "Interpolate between top and bottom row",
          "Fill the selection linearly between its first and last row (over throttle)", {},
          [this] { ApplyToSelection(CellOp::InterpolateRows, 0); }),
      add("MenuMapInterpolateColumns", "Interpolate between left and right column",
          "Fill the selection linearly between its first and last column (over rpm)", {},
          [this] { ApplyToSelection(CellOp::InterpolateColumns, 0); }),
      nullptr,
      add("MenuMapCopy", "Copy cells", "Copy the selected cells as tab-separated text",
          QKeySequence::Copy, [this] { CopyCells(); }),
      add("MenuMapPaste", "Paste cells", "Paste tab-separated numbers at the selection",
          QKeySequence::Paste, [this] { PasteText(QApplication::clipboard()->text()); }),
  };
  // In the Tools menu after its described items, and in the map's context menu.
  for (QAction* a : own) {
    if (a == nullptr) {
      auto* separator = new QAction(grid_->box());
      separator->setSeparator(true);
      kit_.window().addMenuAction(WindowFace::Menu::Tools, separator);
      context_->addSeparator();
      continue;
    }
    kit_.window().addMenuAction(WindowFace::Menu::Tools, a);
    context_->addAction(a);
  }
  // The tools work on the map shown; elsewhere they are greyed out.
  setToolsEnabled(IsMapPage(kit_.workspace().page()));
}

void MapPages::addContextAction(QAction* action) {
  if (!contextAdded_) context_->addSeparator();
  contextAdded_ = true;
  context_->addAction(action);
}

// Their hints, like those of the bar, come from the caption table in the four languages.
void MapPages::attachPlusMinus(QAction* plus, QAction* minus) {
  QObject::connect(plus, &QAction::triggered, grid_->box(), [this] { MenuToolsPlusClick(); });
  QObject::connect(minus, &QAction::triggered, grid_->box(), [this] { MenuToolsMinusClick(); });
  context_->addSeparator();
  context_->addAction(plus);
  context_->addAction(minus);
  tools_.push_back(plus);
  tools_.push_back(minus);
  setToolsEnabled(IsMapPage(kit_.workspace().page()));
}

void MapPages::pageShown(int page) { setToolsEnabled(IsMapPage(page)); }

void MapPages::setToolsEnabled(bool on) {
  for (QAction* a : tools_)
    if (a->isEnabled() != on) a->setEnabled(on);
}

QString MapPages::ui(UiText id) const {
  return QString::fromUtf8(UiMessage(kit_.workspace().language(), id));
}

void MapPages::showStatus(const QString& text) { kit_.window().showNote(text, 5000); }

QWidget* MapPages::controlFor(const DifferingSlot& s, int shownPage) const {
  // The three map pages share one grid: only the map shown is marked.
  if (s.page != shownPage || s.column < 0 || s.column >= kMapColumns) return nullptr;
  if (s.kind == SlotKind::AxisPoint) return grid_->rpmEdit(s.column);
  if (s.kind == SlotKind::Cell && s.row >= 0 && s.row < kMapRows) return grid_->cell(s.row, s.column);
  return nullptr;
}

// ---- Refresh and read-back ----------------------------------------------------------------

void MapPages::refresh(int page) {
  const MapDef* map = MapOfPage(page);
  if (map == nullptr) return;
  // The grid and the bar go onto the page shown.
  QWidget* host = pages_[std::size_t(page - kPageAdvance1)];
  if (grid_->box()->parentWidget() != host) {
    grid_->box()->setParent(host);
    grid_->box()->move(0, 0);
    bar_->setParent(host);
    bar_->move(0, 374);
    bar_->show();
  }
  const ParameterImage& im = kit_.image();
  const CellScale scale = MapCellScale(im, page);
  const MapMode mode = MapModeOf(im, page);
  if (page != gridPage_) {
    if (gridPage_ >= kPageAdvance1) selections_[std::size_t(gridPage_ - kPageAdvance1)] = grid_->selection();
    else selections_.fill(grid_->selection());
    gridPage_ = page;
    const CellRect& own = selections_[std::size_t(page - kPageAdvance1)];
    grid_->select(CellVisible(mode, own.row0, own.column0) && CellVisible(mode, own.row1, own.column1)
                      ? own : CellRect{9, 0, 9, 0});
  }
  for (int c = 0; c < kMapColumns; ++c) grid_->rpmEdit(c)->showValue(im[map->axis[c]]);
  int low = 255, high = 0;
  for (int r = 0; r < kMapRows; ++r) {
    for (int c = 0; c < kMapColumns; ++c) {
      const int b = im.byte(CellByte(*map, r, c));
      grid_->showCell(r, c, b, scale.step, scale.max);
      if (CellVisible(mode, r, c)) {
        low = std::min(low, b);
        high = std::max(high, b);
      }
    }
  }
  grid_->setColourRange(low, high);
  grid_->setHeatColours(heatColours());
  (page == kPageServo ? servo_ : advance_).refresh(im);
  all_->showValue(kit_.workspace().allFlags()[std::size_t(page)] != 0);
  showOverlays(page);
}

void MapPages::readBack(int page, ParameterImage& im) {
  const MapDef* map = MapOfPage(page);
  if (map == nullptr) return;
  // Every rpm point and cell as shown, writing only what differs from the image: an rpm point
  // outside its field's range is stored as the field shows it. A cell's field reaches up to
  // the value it shows, so a cell raised by the tools above the page maximum stays.
  for (int c = 0; c < kMapColumns; ++c) {
    SpinEdit* e = grid_->rpmEdit(c);
    e->takeTypedText();
    if (e->value() != im[map->axis[c]]) im.setWord(map->axis[c], e->value());
  }
  const int step = MapCellScale(im, page).step;
  for (int r = 0; r < kMapRows; ++r) {
    for (int c = 0; c < kMapColumns; ++c) {
      MapCellEdit* e = grid_->cell(r, c);
      e->takeTypedText();
      const int at = CellByte(*map, r, c);
      if (e->value() / step != im.byte(at)) im.setByte(at, e->value() / step);
    }
  }
  if (page == kPageServo) {
    const bool wasPercent = im[kServoPercent] != 0;
    servo_.readBack(im);
    const bool percent = im[kServoPercent] != 0;
    if (percent != wasPercent) ConvertServoMap(im, percent);
  } else {
    advance_.readBack(im);
  }
  if (all_->userChanged()) kit_.workspace().allFlags()[std::size_t(page)] = all_->isChecked() ? 1 : 0;
}

// ---- Rules -------------------------------------------------------------------------------

void MapPages::applyRules(int page) {
  if (!IsMapPage(page)) return;
  const MapMode mode = MapModeOf(kit_.image(), page);
  grid_->applyLayout(mode);
  grid_->setPaper(kit_.workspace().printing());
  SetShown(grid_->box(), mode.gridShown);
  // The servo page without its map says how to turn it on rather than stand empty.
  const bool servoOff = page == kPageServo && !mode.gridShown;
  if (servoOff) {
    const QString off = QString::fromUtf8(NoticeText(kit_.workspace().language(), NoticeServoMapOff))
                            .arg(QString::fromUtf8(MessageText(kit_.workspace().language(), TxtServoEnable)));
    if (servoOff_->text() != off) servoOff_->setText(off);
  }
  SetShown(servoOff_, servoOff);
  SetShown(bar_, true);
  const bool servo = mode.servo;
  servoBar_ = servo;
  setTpsHint(kit_.workspace().language());
  for (QWidget* w : {static_cast<QWidget*>(base_.edit), static_cast<QWidget*>(base_.upDown),
                     static_cast<QWidget*>(correction1_.edit), static_cast<QWidget*>(correction1_.upDown),
                     static_cast<QWidget*>(correction2_.edit), static_cast<QWidget*>(correction2_.upDown),
                     static_cast<QWidget*>(correctionLabel_)})
    SetShown(w, !servo);
  for (QWidget* w : {static_cast<QWidget*>(hysteresis_.edit), static_cast<QWidget*>(hysteresis_.upDown),
                     static_cast<QWidget*>(servoMode_), static_cast<QWidget*>(percent_)})
    SetShown(w, servo);
  const int lang = kit_.workspace().language();
  const QString tps = servo ? QString::fromUtf8(MessageText(lang, TxtServoEnable)) : QString("TPS");
  if (tps_->text() != tps) {
    tps_->setText(tps);
    // The box keeps its place and grows to its text; the percent box and the mode follow it.
    tps_->resize(std::max(100, tps_->sizeHint().width()), 20);
    const int percentLeft = std::max(125, tps_->x() + tps_->width() + 5);
    percent_->move(percentLeft, percent_->y());
    servoMode_->move(std::max(200, percentLeft + percent_->width() + 5), servoMode_->y());
  }
  const QString base = servo ? QString::fromUtf8(MessageText(lang, TxtHysteresis))
                             : QString::fromUtf8(MessageText(lang, TxtBaseAdvance)) + " [°]";
  if (baseLabel_->text() != base) {
    baseLabel_->setText(base);
    baseLabel_->adjustSize();
  }
  placeBarEdits();
  showOverlays(page);
}

void MapPages::showOverlays(int page) {
  for (MapOverlayFace* overlay : overlays_)
    overlay->showOn(page, kit_.image(), *grid_, bar_, barFreeLeft(page));
}

// Where the bar is free for others on the left: after the TPS box on the advance pages, after
// the hysteresis on the servo page.
int MapPages::barFreeLeft(int page) const {
  if (page != kPageServo) return 140;
  return baseLabel_->x() + baseLabel_->width() + 16;
}

// The bar's edits keep their places unless a longer text to their left needs the room: then
// they move right, in order, as far as that text needs.
void MapPages::placeBarEdits() {
  int left = 427;
  if (servoMode_->isVisibleTo(bar_)) left = std::max(left, servoMode_->x() + servoMode_->width() + 4);
  if (base_.edit->x() != left) {
    Place(base_, left, 8);
    Place(hysteresis_, left, 8);
  }
  const int editWidth = std::max(base_.edit->width(), hysteresis_.edit->width());
  baseLabel_->move(left + editWidth + 16 + 6, 12);
  const int first = std::max(613, baseLabel_->x() + baseLabel_->width() + 6);
  if (correction1_.edit->x() != first) {
    Place(correction1_, first, 8);
    Place(correction2_, first + 675 - 613, 8);
    correctionLabel_->move(correction2_.edit->x() + correction2_.edit->width() + 16 + 6, 12);
  }
}

void MapPages::RadioGroupServoModeClick(int item) {
  // A change like any other: the layout and the limits follow it.
  kit_.change([item](ParameterImage& im) { im.setByte(kServoMode, item); });
}

// ---- Live cell and trail -----------------------------------------------------------------

void MapPages::monitorAccepted() {
  const MonitorSnapshot& lv = kit_.workspace().lastMonitor();
  const qint64 now = clock_.elapsed();
  samples_.push_back({lv.rpm, lv.throttle, lv.secondMap != 0, now});
  while (samples_.size() > kTrailSamples || now - samples_.front().ms > kTrailMs) samples_.pop_front();
}

TrailLevels MapPages::trailLevels(int page) const {
  TrailLevels levels{};
  if (!IsMapPage(page) || !kit_.workspace().connected()) return levels;
  const LiveCellRule rule = MakeLiveCellRule(kit_.image(), page);
  const qint64 now = clock_.elapsed();
  // Older operating points fade out; the newest is the live cell itself.
  for (std::size_t i = 0; i + 1 < samples_.size(); ++i) {
    const Sample& s = samples_[i];
    if (now - s.ms > kTrailMs) continue;
    const LiveCell at = LiveCellAt(rule, s.rpm, s.throttle, s.secondMap);
    if (!at.cellMarked) continue;
    const double left = 1.0 - double(now - s.ms) / double(kTrailMs);
    const auto level = std::uint8_t(std::clamp(int(std::ceil(left * kTrailLevels)), 0, kTrailLevels));
    std::uint8_t& slot = levels[std::size_t(at.row * kMapColumns + at.column)];
    slot = std::max(slot, level);
  }
  return levels;
}

void MapPages::markLive(int page) {
  if (!IsMapPage(page)) return;
  LiveCell live{kLiveNone, -1, false};
  if (kit_.workspace().connected()) {
    const MonitorSnapshot& lv = kit_.workspace().lastMonitor();
    live = ComputeLiveCell(kit_.image(), page, lv.rpm, lv.throttle, lv.secondMap != 0);
  }
  lastTouched_ = grid_->mark(live, trailShown() ? trailLevels(page) : TrailLevels{});
}

// ---- Tools -------------------------------------------------------------------------------

void MapPages::commitPending() {
  auto* e = qobject_cast<SpinEdit*>(QApplication::focusWidget());
  if (e == nullptr || kit_.refreshing()) return;
  e->takeTypedText();
  if (e->userChanged()) kit_.commitEdit();
}

void MapPages::PlusMinus(int direction) {
  ToolInputs in;
  in.page = kit_.workspace().page();
  if (!IsMapPage(in.page)) return;
  in.all = kit_.workspace().allFlags()[std::size_t(in.page)] != 0;
  in.connected = kit_.workspace().connected();
  const MonitorSnapshot& lv = kit_.workspace().lastMonitor();
  in.rpm = lv.rpm;
  in.live = ComputeLiveCell(kit_.image(), in.page, in.rpm, lv.throttle, lv.secondMap != 0);
  const ToolTarget target = PlusMinusTarget(in);
  if (target == ToolTarget::Nothing) return;
  commitPending();
  const MapDef& map = *MapOfPage(in.page);
  if (target == ToolTarget::AllCells) {
    kit_.change([&](ParameterImage& im) { ShiftAllCells(im, map, direction); });
    return;
  }
  const bool changed =
      kit_.change([&](ParameterImage& im) { ShiftCell(im, map, in.live.row, in.live.column, direction); });
  // The map the unit does not use shows no lime cell: say which one changed.
  if (changed && !in.live.cellMarked) {
    const ParameterImage& im = kit_.image();
    const QString page = kit_.window().pageCaption(in.page);
    showStatus(QString::fromUtf8(NoticeText(kit_.workspace().language(), NoticeCellChangedOffMap))
                   .arg(page)
                   .arg(kThrottleRows[in.live.row])
                   .arg(im[map.axis[in.live.column]])
                   .arg(MapCellScale(im, in.page).step *
                        im.byte(CellByte(map, in.live.row, in.live.column))));
  }
}

void MapPages::CSpinButtonClick_Uni(int column, int direction) {
  const int page = kit_.workspace().page();
  if (!IsMapPage(page) || column < 0 || column >= kMapColumns) return;
  commitPending();
  kit_.change([&](ParameterImage& im) { ShiftColumn(im, *MapOfPage(page), column, direction); });
}

void MapPages::ApplyToSelection(CellOp op, double value) {
  const int page = kit_.workspace().page();
  if (!IsMapPage(page)) return;
  commitPending();
  // Nothing the tool leaves as it was makes a change (no step, no programming).
  ParameterImage next = kit_.image();
  if (ApplyCellOp(next, page, MapModeOf(next, page), grid_->selection(), op, value))
    kit_.change([&next](ParameterImage& im) { im = next; });
}

void MapPages::runSelectionTool(CellOp op) {
  const int page = kit_.workspace().page();
  if (!IsMapPage(page)) return;
  std::optional<double> value;
  if (askValue) {
    value = askValue(op);
  } else {
    const CellScale scale = MapCellScale(kit_.image(), page);
    const CellRect sel = grid_->selection();
    const MapDef& map = *MapOfPage(page);
    bool ok = false;
    QWidget* parent = grid_->box()->window();
    double v = 0;
    if (op == CellOp::Set)
      v = QInputDialog::getDouble(parent, ui(UiText::SetCellsTitle), ui(UiText::SetCellsLabel),
                                  scale.step * kit_.image().byte(CellByte(map, sel.row0, sel.column0)),
                                  0, scale.max, 0, &ok);
    else if (op == CellOp::Add)
      v = QInputDialog::getDouble(parent, ui(UiText::AddCellsTitle), ui(UiText::AddCellsLabel),
                                  scale.step,
                                  -scale.max, scale.max, 0, &ok);
    else
      v = QInputDialog::getDouble(parent, ui(UiText::ScaleCellsTitle), ui(UiText::ScaleCellsLabel), 100, 0,
                                  1000, 1, &ok);
    if (ok) value = v;
  }
  if (value) ApplyToSelection(op, *value);
}

void MapPages::CopyCells() {
  const int page = kit_.workspace().page();
  if (!IsMapPage(page)) return;
  commitPending();
  const ParameterImage& im = kit_.image();
  QApplication::clipboard()->setText(
      QString::fromStdString(CellsToText(im, page, MapModeOf(im, page), grid_->selection())));
  showStatus(ui(UiText::CellsCopied).arg(grid_->selection().cells()));
}

bool MapPages::PasteText(const QString& text) {
  const int page = kit_.workspace().page();
  if (!IsMapPage(page)) return false;
  commitPending();
  ParameterImage next = kit_.image();
  int pasted = 0;
  const bool changed = PasteCells(next, page, MapModeOf(next, page), grid_->selection(),
                                  ParsePastedCells(text.toStdString()), &pasted);
  if (pasted == 0) {
    showStatus(ui(UiText::PasteNothing));
    return false;
  }
  if (changed && !kit_.change([&next](ParameterImage& im) { im = next; })) return false;
  showStatus(ui(UiText::CellsPasted).arg(pasted));
  return true;
}

std::unique_ptr<PageModule> MakeMapPages(PageKit& kit, QWidget* advance1, QWidget* advance2,
                                         QWidget* servo) {
  return std::make_unique<MapPages>(kit, advance1, advance2, servo);
}

}  // namespace rq
