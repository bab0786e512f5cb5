// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/map_grid.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolButton>

#include <algorithm>

namespace rq {

namespace {

const QColor& kLime = kLiveLime;
const QColor kSelection(90, 150, 235);
const char* const kRowTexts[kMapRows] = {"0%",  "2%",  "5%",  "10%", "20%",
                                         "30%", "40%", "60%", "80%", "100%"};

int CellLeft(int c) { return 45 + 62 * c; }
int CellTop(int r) { return 49 + 30 * r; }

QColor Blend(const QColor& a, const QColor& b, double t) {
  return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                          float(a.greenF() + (b.greenF() - a.greenF()) * t),
                          float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// A cell's colour with readable digits: black on the lime, heat and shade colours (all light),
// the desktop's own text colour on its own field colour, whatever the palette.
void SetBase(QWidget* w, const QColor& colour) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::Base, colour);
  const QPalette desktop = QApplication::palette();
  pal.setColor(QPalette::Text, colour == desktop.color(QPalette::Base) ? desktop.color(QPalette::Text)
                                                                       : QColor(Qt::black));
  w->setPalette(pal);
}

}  // namespace

SpinButton::SpinButton(const QString& name, int width, int height, QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
  setObjectName(name);
  setFixedSize(width, height);
  const int half = height / 2;
  for (QToolButton* b : {up_, down_}) {
    b->setArrowType(b == up_ ? Qt::UpArrow : Qt::DownArrow);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setIconSize(QSize(7, 5));
  }
  up_->setGeometry(0, 0, width, half);
  down_->setGeometry(0, half, width, height - half);
  connect(up_, &QToolButton::clicked, this, [this] {
    if (onUp) onUp();
  });
  connect(down_, &QToolButton::clicked, this, [this] {
    if (onDown) onDown();
  });
}

MapCellEdit::MapCellEdit(MapGrid& grid, int row, int column, QWidget* parent)
    : SpinEdit(parent), grid_(grid), row_(row), column_(column) {
  // The grid's own menu replaces the text field's.
  lineEdit()->setContextMenuPolicy(Qt::NoContextMenu);
  lineEdit()->installEventFilter(this);
}

bool MapCellEdit::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    // Copy and paste belong to the grid, not to the text of one cell.
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste)) {
      event->accept();
      return true;
    }
  }
  return SpinEdit::event(event);
}

void MapCellEdit::keyPressEvent(QKeyEvent* event) {
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  if (event->matches(QKeySequence::Copy)) {
    if (grid_.onCopy) grid_.onCopy();
    return;
  }
  if (event->matches(QKeySequence::Paste)) {
    if (grid_.onPaste) grid_.onPaste();
    return;
  }
  switch (event->key()) {
    case Qt::Key_Up: grid_.moveFrom(this, -1, 0, shift); return;
    case Qt::Key_Down: grid_.moveFrom(this, 1, 0, shift); return;
    case Qt::Key_Left: grid_.moveFrom(this, 0, -1, shift); return;
    case Qt::Key_Right: grid_.moveFrom(this, 0, 1, shift); return;
    case Qt::Key_PageUp: grid_.pageStep(this, 5); return;
    case Qt::Key_PageDown: grid_.pageStep(this, -5); return;
    default: break;
  }
  SpinEdit::keyPressEvent(event);
}

void MapCellEdit::focusInEvent(QFocusEvent* event) {
  SpinEdit::focusInEvent(event);
  grid_.cellFocused(this, event->reason() == Qt::MouseFocusReason);
}

void MapCellEdit::contextMenuEvent(QContextMenuEvent* event) {
  grid_.contextMenuAt(this, event->globalPos());
}

bool MapCellEdit::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lineEdit()) {
    if (event->type() == QEvent::MouseButtonPress) {
      auto* m = static_cast<QMouseEvent*>(event);
      if (m->button() == Qt::LeftButton)
        grid_.cellPressed(this, m->modifiers() & Qt::ShiftModifier);
    } else if (event->type() == QEvent::MouseMove) {
      auto* m = static_cast<QMouseEvent*>(event);
      if (m->buttons() & Qt::LeftButton) grid_.cellDragged(m->globalPosition().toPoint());
    }
  }
  return SpinEdit::eventFilter(watched, event);
}

MapGrid::MapGrid(QWidget* parent) : QObject(parent), box_(new QGroupBox(parent)) {
  box_->setObjectName("GroupBoxMap");
  box_->setGeometry(0, 0, 977, 375);
  rpmCaption_ = new QLabel("RPM", box_);
  rpmCaption_->setObjectName("LabelMapRpm");
  rpmCaption_->move(13, 15);
  tpsCaption_ = new QLabel("TPS", box_);
  tpsCaption_->setObjectName("LabelMapTpsCaption");
  tpsCaption_->move(7, 34);
  for (int r = 0; r < kMapRows; ++r) {
    auto* l = new QLabel(kRowTexts[r], box_);
    l->setObjectName(QString("LabelMapTps%1").arg(r));
    l->move(r <= 2 ? 16 : r <= 8 ? 10 : 4, 52 + 30 * r);
    rowLabels_[std::size_t(r)] = l;
  }
  auto commit = [this] {
    if (onCommit) onCommit();
  };
  // "10,000" and "5,000" fit the 40-pixel fields in the narrower cut of the font.
  QFont narrow = box_->font();
  narrow.setStretch(QFont::Condensed);
  for (int c = 0; c < kMapColumns; ++c) {
    auto* e = new SpinEdit(box_);
    e->setObjectName(QString("EditMapRpm%1").arg(c));
    e->setRange(300, 25000);
    e->setSingleStep(50);
    e->setGeometry(CellLeft(c), 14, 40, 21);
    e->onCommit = commit;
    e->setFont(narrow);
    auto* u = new UpDown(e, box_);
    u->setObjectName(QString("UpDownMapRpm%1").arg(c));
    u->move(CellLeft(c) + 40, 14);
    rpm_[std::size_t(c)] = e;
    rpmUpDown_[std::size_t(c)] = u;
  }
  for (int r = 0; r < kMapRows; ++r) {
    for (int c = 0; c < kMapColumns; ++c) {
      auto* e = new MapCellEdit(*this, r, c, box_);
      e->setObjectName(QString("EditMap%1_%2").arg(r).arg(c));
      e->setRange(0, 60);
      e->setGeometry(CellLeft(c), CellTop(r), 40, 21);
      e->onCommit = commit;
      e->setFont(narrow);
      auto* u = new UpDown(e, box_);
      u->setObjectName(QString("UpDownMap%1_%2").arg(r).arg(c));
      u->move(CellLeft(c) + 40, CellTop(r));
      cells_[Index(r, c)] = e;
      cellUpDowns_[Index(r, c)] = u;
    }
  }
  topLine_ = new QFrame(box_);
  topLine_->setObjectName("BevelMapTop");
  topLine_->setFrameShape(QFrame::HLine);
  topLine_->setFrameShadow(QFrame::Sunken);
  topLine_->setGeometry(CellLeft(0), CellTop(0) - 7, CellLeft(14) + 56 - CellLeft(0), 2);
  for (int c = 0; c < kMapColumns; ++c) {
    auto* b = new SpinButton(QString("CSpinButtonMapColumn%1").arg(c), 17, 23, box_);
    b->move(60 + 62 * c, 346);
    b->onUp = [this, c] {
      if (onColumnShift) onColumnShift(c, +1);
    };
    b->onDown = [this, c] {
      if (onColumnShift) onColumnShift(c, -1);
    };
    columns_[std::size_t(c)] = b;
  }
  // The selection's frame: drawn over the cells, every click going through to them.
  selectionFrame_ = new QFrame(box_);
  selectionFrame_->setObjectName("FrameMapSelection");
  selectionFrame_->setAttribute(Qt::WA_TransparentForMouseEvents);
  selectionFrame_->setStyleSheet(QString("#FrameMapSelection { border: 2px solid %1; background: transparent; }")
                                     .arg(kSelection.darker(130).name()));
  selectionFrame_->hide();
  painted_.fill(0);
}

void MapGrid::setHints(const QString& cell, const QString& rpmPoint, const QString& column) {
  for (MapCellEdit* e : cells_) e->setStatusTip(cell);
  for (SpinEdit* e : rpm_) e->setStatusTip(rpmPoint);
  for (SpinButton* b : columns_) b->setStatusTip(column);
}

void MapGrid::showCell(int r, int c, int byte, int step, int max) {
  MapCellEdit* e = cell(r, c);
  const int shown = step * byte;
  const int top = std::max(max, shown);
  if (e->singleStep() != step) e->setSingleStep(step);
  if (e->maximum() != top) e->setMaximum(top);
  e->showValue(shown);
  if (bytes_[Index(r, c)] != byte) {
    bytes_[Index(r, c)] = byte;
    paintCell(r, c);
  }
}

void MapGrid::setColourRange(int low, int high) {
  if (low == low_ && high == high_) return;
  low_ = low;
  high_ = high;
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c) paintCell(r, c);
}

void MapGrid::setHeatColours(bool on) {
  if (on == heat_) return;
  heat_ = on;
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c) paintCell(r, c);
}

QColor MapGrid::valueColour(int byte) const {
  if (!heat_ || paper_) return QApplication::palette().color(QPalette::Base);
  // Cool (low) to warm (high), light enough for black digits.
  const double t = high_ > low_ ? std::clamp(double(byte - low_) / double(high_ - low_), 0.0, 1.0)
                                : 0.5;
  // Blue through pale grey to red: no green, which stays the live cell's.
  static const QColor cool(160, 195, 255), middle(240, 240, 240), warm(255, 160, 140);
  return t < 0.5 ? Blend(cool, middle, 2 * t) : Blend(middle, warm, 2 * t - 1);
}

void MapGrid::setPaper(bool on) {
  if (on == paper_) return;
  paper_ = on;
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c) paintCell(r, c);
}

void MapGrid::setShades(const CellShades& shades) {
  if (shades == shades_) return;
  const CellShades before = shades_;
  shades_ = shades;
  for (std::size_t i = 0; i < shades.size(); ++i)
    if (before[i] != shades[i]) paintCell(int(i) / kMapColumns, int(i) % kMapColumns);
}

bool MapGrid::paintCell(int r, int c) {
  const QRgb shade = paper_ ? QRgb(0) : shades_[Index(r, c)];
  QColor colour = qAlpha(shade) != 0 ? QColor(shade) : valueColour(bytes_[Index(r, c)]);
  // A shaded cell keeps its shade under the selection: a light blend, the frame round the
  // selection says the rest.
  if (multiSelection() && selection_.contains(r, c))
    colour = Blend(colour, kSelection, qAlpha(shade) != 0 ? kShadedSelectionBlend : 0.55);
  if (const int level = trail_[Index(r, c)]; level > 0)
    colour = Blend(colour, kTrailOrange, 0.15 + 0.45 * level / kTrailLevels);
  if (liveShown_ && live_.row == r && live_.column == c) colour = kLime;
  const QRgb rgb = colour.rgb();
  if (painted_[Index(r, c)] == rgb) return false;
  painted_[Index(r, c)] = rgb;
  SetBase(cell(r, c), colour);
  return true;
}

void MapGrid::placeRow9(bool top) {
  const int y = top ? CellTop(0) - 1 : CellTop(9);
  for (int c = 0; c < kMapColumns; ++c) {
    cell(9, c)->move(CellLeft(c), y);
    cellUpDown(9, c)->move(CellLeft(c) + 40, y);
  }
}

void MapGrid::applyLayout(const MapMode& mode) {
  if (layoutApplied_ && mode == mode_) return;
  layoutApplied_ = true;
  mode_ = mode;
  const bool axis = AxisVisible(mode);
  rpmCaption_->setVisible(axis);
  for (int c = 0; c < kMapColumns; ++c) {
    rpm_[std::size_t(c)]->setVisible(axis);
    rpmUpDown_[std::size_t(c)]->setVisible(axis);
    columns_[std::size_t(c)]->setVisible(ColumnButtonsVisible(mode));
  }
  const bool rows = RowLabelsVisible(mode);
  tpsCaption_->setVisible(rows);
  for (QLabel* l : rowLabels_) l->setVisible(rows);
  for (int r = 0; r < kMapRows; ++r) {
    for (int c = 0; c < kMapColumns; ++c) {
      const bool v = CellVisible(mode, r, c);
      cell(r, c)->setVisible(v);
      cellUpDown(r, c)->setVisible(v);
    }
  }
  placeRow9(mode.rpmOnly);
  // A selection over cells that are gone shrinks to one visible cell.
  if (!CellVisible(mode, selection_.row1, selection_.column1)) select({9, 0, 9, 0});
  placeSelectionFrame();
}

int MapGrid::mark(const LiveCell& live, const TrailLevels& trail) {
  int touched = 0;
  const bool shown = live.cellMarked;
  const LiveCell old = live_;
  const bool oldShown = liveShown_;
  // Rpm point and row label: lime in the live column and row, even on the map not in use.
  auto markWidget = [&touched](QWidget* w, bool on, bool base) {
    if (w->property("rqLive").toBool() == on) return;
    w->setProperty("rqLive", on);
    // Black on lime; the desktop's own colours again when the mark goes.
    QPalette pal = w->palette();
    const QPalette desktop = QApplication::palette();
    if (base) {
      pal.setColor(QPalette::Base, on ? kLime : desktop.color(QPalette::Base));
      pal.setColor(QPalette::Text, on ? QColor(Qt::black) : desktop.color(QPalette::Text));
      w->setPalette(pal);
    } else {
      pal.setColor(QPalette::Window, on ? kLime : desktop.color(QPalette::Window));
      pal.setColor(QPalette::WindowText, on ? QColor(Qt::black) : desktop.color(QPalette::WindowText));
      w->setPalette(pal);
      w->setAutoFillBackground(on);
    }
    ++touched;
  };
  if (old.column != live.column) {
    if (old.column >= 0 && old.column < kMapColumns) markWidget(rpm_[std::size_t(old.column)], false, true);
    if (live.column >= 0 && live.column < kMapColumns) markWidget(rpm_[std::size_t(live.column)], true, true);
  }
  if (old.row != live.row) {
    if (old.row >= 0 && old.row < kMapRows) markWidget(rowLabels_[std::size_t(old.row)], false, false);
    if (live.row >= 0 && live.row < kMapRows) markWidget(rowLabels_[std::size_t(live.row)], true, false);
  }
  live_ = live;
  liveShown_ = shown;
  if (oldShown && (old.row != live.row || old.column != live.column || !shown) &&
      old.column >= 0 && old.column < kMapColumns && old.row >= 0 && old.row < kMapRows)
    touched += paintCell(old.row, old.column);
  if (shown && (!oldShown || old.row != live.row || old.column != live.column))
    touched += paintCell(live.row, live.column);
  if (trail != trail_) {
    const TrailLevels before = trail_;
    trail_ = trail;
    for (std::size_t i = 0; i < trail.size(); ++i)
      if (before[i] != trail[i]) touched += paintCell(int(i) / kMapColumns, int(i) % kMapColumns);
  }
  return touched;
}

void MapGrid::select(const CellRect& rect) {
  const CellRect old = selection_;
  const bool same = old.row0 == rect.row0 && old.column0 == rect.column0 && old.row1 == rect.row1 &&
                    old.column1 == rect.column1;
  const bool oldMulti = multiSelection();
  selection_ = rect;
  const bool multi = multiSelection();
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c) {
      const bool was = oldMulti && old.contains(r, c);
      const bool is = multi && rect.contains(r, c);
      if (was != is) paintCell(r, c);
    }
  placeSelectionFrame();
  if (!same) emit selectionChanged();
}

void MapGrid::placeSelectionFrame() {
  if (!multiSelection()) {
    selectionFrame_->hide();
    return;
  }
  QRect around;
  for (int r = selection_.top(); r <= selection_.bottom(); ++r)
    for (int c = selection_.left(); c <= selection_.right(); ++c)
      if (cell(r, c)->isVisibleTo(box_))
        around = around.united(cell(r, c)->geometry().united(cellUpDown(r, c)->geometry()));
  if (around.isEmpty()) {
    selectionFrame_->hide();
    return;
  }
  selectionFrame_->setGeometry(around.adjusted(-3, -3, 3, 3));
  selectionFrame_->show();
  selectionFrame_->raise();
}

void MapGrid::moveFrom(MapCellEdit* from, int dRow, int dColumn, bool extend) {
  // From the moving corner when extending, else from the cell with the focus.
  int r = extend ? selection_.row1 : from->row();
  int c = extend ? selection_.column1 : from->column();
  do {
    r += dRow;
    c += dColumn;
  } while (r >= 0 && r < kMapRows && c >= 0 && c < kMapColumns && !CellVisible(mode_, r, c));
  if (r < 0 || r >= kMapRows || c < 0 || c >= kMapColumns) return;
  if (extend) {
    select({selection_.row0, selection_.column0, r, c});
    return;
  }
  MapCellEdit* to = cell(r, c);
  select({r, c, r, c});
  to->setFocus(Qt::TabFocusReason);
  to->selectAll();
}

void MapGrid::pageStep(MapCellEdit* from, int steps) {
  if (multiSelection() && selection_.contains(from->row(), from->column())) {
    if (onCellOp) onCellOp(CellOp::Add, double(steps * from->singleStep()));
    return;
  }
  from->stepBy(steps);
}

void MapGrid::cellPressed(MapCellEdit* c, bool extend) {
  if (extend) {
    select({selection_.row0, selection_.column0, c->row(), c->column()});
    return;
  }
  select({c->row(), c->column(), c->row(), c->column()});
  emit cellClicked(c->row(), c->column());
}

void MapGrid::cellDragged(const QPoint& globalPos) {
  QWidget* w = box_->childAt(box_->mapFromGlobal(globalPos));
  while (w != nullptr && qobject_cast<MapCellEdit*>(w) == nullptr && w != box_) w = w->parentWidget();
  auto* target = qobject_cast<MapCellEdit*>(w);
  if (target == nullptr || !target->isVisible()) return;
  if (selection_.row1 != target->row() || selection_.column1 != target->column())
    select({selection_.row0, selection_.column0, target->row(), target->column()});
}

void MapGrid::cellFocused(MapCellEdit* c, bool byMouse) {
  // A click has placed the selection already; Tab and the arrows move a one-cell selection.
  if (!byMouse && !selection_.contains(c->row(), c->column()))
    select({c->row(), c->column(), c->row(), c->column()});
  if (!byMouse && !multiSelection()) select({c->row(), c->column(), c->row(), c->column()});
}

void MapGrid::contextMenuAt(MapCellEdit* c, const QPoint& globalPos) {
  if (!selection_.contains(c->row(), c->column())) select({c->row(), c->column(), c->row(), c->column()});
  if (onContextMenu) onContextMenu(globalPos);
}

}  // namespace rq

#include "moc_map_grid.cpp"
