// SPDX-License-Identifier: GPL-3.0-or-later
// The generic editing controls every page is built from. A control knows only how to show a
// value and when the user changed it; what the value means comes from the parameter table.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QSpinBox>
#include <QStringList>
#include <QWidget>

#include <cstddef>
#include <functional>
#include <vector>

class QButtonGroup;
class QRadioButton;
class QToolButton;

namespace rq {

// The style keeps pictures of fields in a cache keyed by, among others, the identity of the
// palette they are drawn with, and every palette given to a widget is a new one, even when its
// colours were seen before; the cache forgets pictures at its size limit but keeps every key it
// was given. Colouring map cells and live marks would thus grow the heap with every recolour.
// The fields draw with SharedPalette(their palette) instead: one palette per set of colours,
// so a colour that comes back finds its pictures again and the cache holds the colours in use.
// Past kSharedPalettes sets of colours the table and the cache start afresh.
QPalette SharedPalette(const QPalette& palette);
inline constexpr std::size_t kSharedPalettes = 4096;
// The sets of colours held (for the memory bench and tests).
std::size_t SharedPaletteCount();

// Shows or hides w (when not null) as a page rule says; nothing happens when it already is.
void SetShown(QWidget* w, bool on);

// Paints the whole of w red with black text (the read-protection box while it is set,
// "Programming after change" while ticked), or gives it back to the desktop's colours. A
// button paints its background from the Button role, not from Window: both are set.
void SetRedBackground(QWidget* w, bool on);

// The edit of an edit + up-down pair. The value changes only through the user's path: typing
// and Enter (one commit, focus moves on), leaving the field with a changed value, the up-down
// or the arrow keys (each step one commit). The wheel edits only a field that has the focus.
class SpinEdit : public QSpinBox {
  Q_OBJECT
 public:
  explicit SpinEdit(QWidget* parent = nullptr);

  // Shows a value from the model, clamped to the field's range; the page's next read-back
  // stores what the field shows.
  void showValue(int value);
  // The value the user has set differs from what the last showValue put there, or the user
  // committed the field since.
  bool userChanged() const { return touched_ || value() != shown_; }
  void clearTouched() { touched_ = false; }
  // Takes typed text into value() (keyboard tracking is off).
  void takeTypedText();
  // Forgets text typed but not committed: the field shows the last shown value again.
  void discardTypedText();
  QString textFor(int value) const { return textFromValue(value); }

  std::function<void()> onCommit;  // called once per user commit

  void stepBy(int steps) override;

 protected:
  void initStyleOption(QStyleOptionSpinBox* option) const override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void commit();
  int shown_ = 0;
  bool touched_ = false;
  bool leavingByEnter_ = false;
};

// The up-down next to an edit: two arrow halves that step the edit. A widget of its own so
// that it can be hidden while the edit stays, as the page rules and printing want.
class UpDown : public QWidget {
  Q_OBJECT
 public:
  UpDown(SpinEdit* edit, QWidget* parent);
  SpinEdit* edit() const { return edit_; }

 private:
  SpinEdit* edit_;
};

// A check box whose commit is the user's click only.
class CheckEdit : public QCheckBox {
  Q_OBJECT
 public:
  explicit CheckEdit(const QString& text, QWidget* parent = nullptr);
  void showValue(bool on);
  bool userChanged() const { return isChecked() != shown_; }
  std::function<void()> onCommit;

 private:
  bool shown_ = false;
};

// A choice: combo box or radio group. Index -1 shows no selection (a byte outside the list).
class ChoiceEdit {
 public:
  virtual ~ChoiceEdit() = default;
  virtual QWidget* widget() = 0;
  virtual int index() const = 0;
  virtual int count() const = 0;
  virtual void setIndex(int index) = 0;  // no signal reaches a handler
  std::function<void(int)> onChosen;     // the user's choice only
};

class ComboEdit : public QComboBox, public ChoiceEdit {
  Q_OBJECT
 public:
  ComboEdit(const QStringList& items, QWidget* parent);
  QWidget* widget() override { return this; }
  int index() const override { return currentIndex(); }
  int count() const override { return QComboBox::count(); }
  void setIndex(int index) override;

 protected:
  void wheelEvent(QWheelEvent* event) override;
};

// A titled group of radio buttons, items named <group>_<n>, in one or more columns.
class RadioGroup : public QGroupBox, public ChoiceEdit {
  Q_OBJECT
 public:
  RadioGroup(const QString& name, const QString& title, const QStringList& items, int columns,
             QWidget* parent);
  QWidget* widget() override { return this; }
  int index() const override;
  int count() const override { return int(buttons_.size()); }
  void setIndex(int index) override;
  QRadioButton* button(int i) const { return buttons_[static_cast<std::size_t>(i)]; }

 private:
  QButtonGroup* group_;
  std::vector<QRadioButton*> buttons_;
};

}  // namespace rq
