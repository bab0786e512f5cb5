// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/controls.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPixmapCache>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyleOptionSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace rq {

namespace {

std::size_t HashOf(const QPalette& palette) {
  std::size_t h = 1469598103934665603u;
  for (int g = 0; g < QPalette::NColorGroups; ++g) {
    for (int r = 0; r < QPalette::NColorRoles; ++r) {
      const QBrush& brush = palette.brush(QPalette::ColorGroup(g), QPalette::ColorRole(r));
      h = (h ^ brush.color().rgba()) * 1099511628211u;
      h = (h ^ std::size_t(brush.style())) * 1099511628211u;
    }
  }
  return h;
}

struct PaletteTable {
  std::unordered_map<std::size_t, std::vector<QPalette>> byHash;
  std::size_t count = 0;
};

PaletteTable& Palettes() {
  static PaletteTable table;
  return table;
}

}  // namespace

void SetShown(QWidget* w, bool on) {
  if (w != nullptr && w->isVisibleTo(w->parentWidget()) != on) w->setVisible(on);
}

void SetRedBackground(QWidget* w, bool on) {
  if (w->autoFillBackground() == on) return;
  QPalette pal;
  if (on) {
    const QColor red(255, 0, 0);
    pal.setColor(QPalette::Window, red);
    pal.setColor(QPalette::Button, red);
    pal.setColor(QPalette::WindowText, Qt::black);
    pal.setColor(QPalette::ButtonText, Qt::black);
  }
  w->setPalette(pal);
  w->setAutoFillBackground(on);
}

QPalette SharedPalette(const QPalette& palette) {
  PaletteTable& table = Palettes();
  const std::size_t hash = HashOf(palette);
  const QPalette* shared = nullptr;
  if (const auto it = table.byHash.find(hash); it != table.byHash.end()) {
    const auto same = std::find(it->second.cbegin(), it->second.cend(), palette);
    if (same != it->second.cend()) shared = &*same;
  }
  if (shared == nullptr) {
    if (table.count >= kSharedPalettes) {
      // Colours without end (not seen in use): forget them and their pictures.
      table.byHash.clear();
      table.count = 0;
      QPixmapCache::clear();
    }
    std::vector<QPalette>& bucket = table.byHash[hash];
    bucket.push_back(palette);
    ++table.count;
    shared = &bucket.back();
  }
  QPalette result = *shared;
  // The colour group in use is the widget's state, not one of its colours.
  result.setCurrentColorGroup(palette.currentColorGroup());
  return result;
}

std::size_t SharedPaletteCount() { return Palettes().count; }

SpinEdit::SpinEdit(QWidget* parent) : QSpinBox(parent) {
  setKeyboardTracking(false);
  setButtonSymbols(QAbstractSpinBox::NoButtons);
  setFocusPolicy(Qt::StrongFocus);  // the wheel alone never takes the focus
  setGroupSeparatorShown(true);     // 1 000 and above with a thousands separator
  setAlignment(Qt::AlignRight);
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  connect(this, &QAbstractSpinBox::editingFinished, this, [this] {
    // Leaving the field (every focus loss) is an edit's exit: the page is read back and the
    // after-change step runs, whether or not the value changed.
    if (!leavingByEnter_) commit();
  });
}

void SpinEdit::initStyleOption(QStyleOptionSpinBox* option) const {
  QSpinBox::initStyleOption(option);
  option->palette = SharedPalette(option->palette);
}

void SpinEdit::showValue(int value) {
  shown_ = value;
  touched_ = false;
  const int clamped = std::clamp(value, minimum(), maximum());
  if (clamped != this->value() || text() != textFromValue(clamped)) {
    const QSignalBlocker block(this);
    setValue(clamped);
  }
  // What the user compares against is what the field shows.
  shown_ = clamped;
}

void SpinEdit::takeTypedText() {
  if (text() != textFromValue(value())) {
    const QSignalBlocker block(this);
    interpretText();
  }
}

void SpinEdit::discardTypedText() {
  if (value() == shown_ && text() == textFromValue(shown_)) return;
  const QSignalBlocker block(this);
  setValue(shown_);
}

void SpinEdit::commit() {
  touched_ = true;
  if (onCommit) onCommit();
}

void SpinEdit::stepBy(int steps) {
  takeTypedText();
  const int before = value();
  QSpinBox::stepBy(steps);
  if (value() != before) commit();
}

void SpinEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // Enter: store the value and move on, as one commit (the exit that follows is part of it).
    event->accept();
    takeTypedText();
    commit();
    leavingByEnter_ = true;
    focusNextChild();
    leavingByEnter_ = false;
    return;
  }
  QSpinBox::keyPressEvent(event);
}

void SpinEdit::wheelEvent(QWheelEvent* event) {
  if (!hasFocus()) {
    event->ignore();  // scrolling past the field
    return;
  }
  QSpinBox::wheelEvent(event);
}

UpDown::UpDown(SpinEdit* edit, QWidget* parent) : QWidget(parent), edit_(edit) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (int dir : {+1, -1}) {
    auto* b = new QToolButton(this);
    b->setArrowType(dir > 0 ? Qt::UpArrow : Qt::DownArrow);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedSize(16, 11);
    b->setIconSize(QSize(7, 5));
    layout->addWidget(b);
    connect(b, &QToolButton::clicked, this, [this, dir] {
      if (edit_->isEnabled() && edit_->isVisible()) edit_->stepBy(dir);
    });
  }
  setFixedSize(16, 22);
}

CheckEdit::CheckEdit(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
  connect(this, &QCheckBox::clicked, this, [this] {
    if (onCommit) onCommit();
  });
}

void CheckEdit::showValue(bool on) {
  shown_ = on;
  if (isChecked() != on) {
    const QSignalBlocker block(this);
    setChecked(on);
  }
}

ComboEdit::ComboEdit(const QStringList& items, QWidget* parent) : QComboBox(parent) {
  addItems(items);
  setFocusPolicy(Qt::StrongFocus);
  setSizeAdjustPolicy(QComboBox::AdjustToContents);
  connect(this, &QComboBox::activated, this, [this](int i) {
    if (onChosen) onChosen(i);
  });
}

void ComboEdit::setIndex(int index) {
  if (index >= count()) index = -1;
  if (currentIndex() == index) return;
  const QSignalBlocker block(this);
  setCurrentIndex(index);
}

void ComboEdit::wheelEvent(QWheelEvent* event) {
  if (!hasFocus()) {
    event->ignore();
    return;
  }
  QComboBox::wheelEvent(event);
}

RadioGroup::RadioGroup(const QString& name, const QString& title, const QStringList& items,
                       int columns, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)) {
  setObjectName(name);
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 4, 8, 4);
  grid->setVerticalSpacing(2);
  const int rows = (int(items.size()) + columns - 1) / std::max(1, columns);
  for (int i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(items[i], this);
    b->setObjectName(QStringLiteral("%1_%2").arg(objectName()).arg(i));
    group_->addButton(b, i);
    grid->addWidget(b, i % rows, i / rows);
    buttons_.push_back(b);
  }
  connect(group_, &QButtonGroup::idClicked, this, [this](int id) {
    if (onChosen) onChosen(id);
  });
}

int RadioGroup::index() const { return group_->checkedId(); }

void RadioGroup::setIndex(int index) {
  if (index == this->index()) return;
  const QSignalBlocker block(group_);
  if (index < 0 || index >= count()) {
    // A byte outside the list shows no selection.
    group_->setExclusive(false);
    for (QRadioButton* b : buttons_) {
      const QSignalBlocker bb(b);
      b->setChecked(false);
    }
    group_->setExclusive(true);
    return;
  }
  const QSignalBlocker bb(buttons_[static_cast<std::size_t>(index)]);
  buttons_[static_cast<std::size_t>(index)]->setChecked(true);
}

}  // namespace rq

#include "moc_controls.cpp"
