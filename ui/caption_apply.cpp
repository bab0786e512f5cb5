// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/caption_apply.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVariant>

#include <algorithm>

#include "ui/caption_table.h"
#include "ui/qt_text.h"
#include "ui/text_fit.h"

namespace rq {
namespace {

constexpr const char* kDesignSize = "rqDesignSize";
constexpr const char* kLanguageItems[4] = {"MenuEnglish", "MenuGerman", "MenuFrench", "MenuCzech"};


}  // namespace

bool InOtherWindow(const QObject* o, const QWidget* window) {
  for (; o != nullptr && o != window; o = o->parent()) {
    const auto* w = qobject_cast<const QWidget*>(o);
    if (w != nullptr && w->isWindow() && qobject_cast<const QMenu*>(w) == nullptr) return true;
  }
  return false;
}

namespace {

// Every named object of the window, first of each name. Other windows (the About window) and
// their contents are left out; the menus' pop-ups belong to the window.
QHash<QString, QObject*> NamedObjects(QWidget* window) {
  QHash<QString, QObject*> named;
  named.insert(window->objectName(), window);
  const QList<QObject*> all = window->findChildren<QObject*>();
  for (QObject* o : all) {
    const QString name = o->objectName();
    if (name.isEmpty() || named.contains(name) || InOtherWindow(o, window)) continue;
    named.insert(name, o);
  }
  return named;
}

// The tab widget showing `page` as one of its pages, and the page's index there.
QTabWidget* TabOf(QWidget* page, int* index) {
  for (QWidget* p = page->parentWidget(); p != nullptr; p = p->parentWidget()) {
    if (auto* tabs = qobject_cast<QTabWidget*>(p)) {
      *index = tabs->indexOf(page);
      return *index >= 0 ? tabs : nullptr;
    }
  }
  return nullptr;
}

// The items of a radio group: its radio buttons, by id when a button group numbers them
// 0..n-1, otherwise in the order they were created.
QList<QRadioButton*> RadioItems(QWidget* group) {
  QList<QRadioButton*> radios = group->findChildren<QRadioButton*>();
  if (radios.isEmpty()) return radios;
  if (QButtonGroup* bg = radios.front()->group()) {
    QList<QRadioButton*> byId(radios.size(), nullptr);
    bool numbered = true;
    for (QRadioButton* r : radios) {
      const int id = bg->id(r);
      if (r->group() != bg || id < 0 || id >= radios.size() || byId[id] != nullptr) {
        numbered = false;
        break;
      }
      byId[id] = r;
    }
    if (numbered) return byId;
  }
  return radios;
}

bool LayoutHolds(const QLayout* layout, const QWidget* w) {
  for (int i = 0; i < layout->count(); ++i) {
    QLayoutItem* item = layout->itemAt(i);
    if (item->widget() == w) return true;
    if (item->layout() != nullptr && LayoutHolds(item->layout(), w)) return true;
  }
  return false;
}

// Placed by a layout of its parent, at any depth of nesting: the layout sizes it, and a size
// of its own would stay until the layout runs again.
bool InLayout(const QWidget* w) {
  const QWidget* parent = w->parentWidget();
  return parent != nullptr && parent->layout() != nullptr && LayoutHolds(parent->layout(), w);
}

// Grows a free-standing control so that its text fits, never below its first size.
void FitToText(QWidget* w) {
  if (InLayout(w) || w->isWindow()) return;
  QVariant design = w->property(kDesignSize);
  if (!design.isValid()) {
    design = w->size();
    w->setProperty(kDesignSize, design);
  }
  const QSize base = design.toSize();
  const QSize need = TextFitSize(w);
  const QSize target(std::max(base.width(), need.width()), std::max(base.height(), need.height()));
  if (target != w->size()) w->resize(target);
}

class Writer {
 public:
  explicit Writer(QWidget* window) : window_(window), named_(NamedObjects(window)) {}

  void write(const CaptionText& row) {
    missed_ = false;
    QObject* target = named_.value(FromStd(row.control));
    if (target == nullptr) {
      miss(row, false, "no control or menu item of this name");
      return;
    }
    const QString text = FromStd(row.text);
    bool ok = false;
    switch (row.property) {
      case CaptionProperty::Title:
        if (target == window_) {
          window_->setWindowTitle(text);
          ok = true;
        }
        break;
      case CaptionProperty::Caption: ok = writeCaption(target, text); break;
      case CaptionProperty::Hint: ok = writeHint(target, text); break;
      case CaptionProperty::Item: ok = writeItem(row, target, text); break;
      case CaptionProperty::ItemList: ok = writeItemList(row, target, text); break;
    }
    if (ok) ++result_.written;
    else if (!missed_) miss(row, true, QString("a %1 cannot take it").arg(target->metaObject()->className()));
  }

  void tickLanguage(int language) {
    for (int i = 0; i < 4; ++i) {
      if (auto* a = qobject_cast<QAction*>(named_.value(kLanguageItems[i]))) {
        const QSignalBlocker block(a);
        a->setChecked(i == language);
      }
    }
  }

  CaptionApplyResult result() const { return result_; }

 private:
  void miss(const CaptionText& row, bool found, const QString& reason) {
    result_.misses.push_back({FromStd(DescribeCaption(row)), found, reason});
    missed_ = true;
  }

  static bool writeCaption(QObject* target, const QString& text) {
    if (auto* action = qobject_cast<QAction*>(target)) {
      const QSignalBlocker block(action);
      action->setText(text);
      return true;
    }
    if (auto* menu = qobject_cast<QMenu*>(target)) {
      menu->setTitle(text);
      return true;
    }
    auto* w = qobject_cast<QWidget*>(target);
    if (w == nullptr) return false;
    int index = -1;
    if (QTabWidget* tabs = TabOf(w, &index)) {
      tabs->setTabText(index, text);
      return true;
    }
    if (auto* box = qobject_cast<QGroupBox*>(w)) box->setTitle(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(w)) button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(w)) label->setText(text);
    else return false;
    FitToText(w);
    return true;
  }

  static bool writeHint(QObject* target, const QString& text) {
    if (auto* menu = qobject_cast<QMenu*>(target)) target = menu->menuAction();
    if (auto* action = qobject_cast<QAction*>(target)) {
      const QSignalBlocker block(action);
      action->setToolTip(text);
      action->setStatusTip(text);
      return true;
    }
    if (auto* w = qobject_cast<QWidget*>(target)) {
      w->setToolTip(text);
      w->setStatusTip(text);
      return true;
    }
    return false;
  }

  bool writeItem(const CaptionText& row, QObject* target, const QString& text) {
    if (auto* combo = qobject_cast<QComboBox*>(target)) {
      if (row.item >= combo->count()) {
        miss(row, true, QString("the combo box has %1 items").arg(combo->count()));
        return false;
      }
      // In place: the list, its number of items and the selection stay, and nothing is told.
      const QSignalBlocker block(combo);
      combo->setItemText(row.item, text);
      return true;
    }
    auto* w = qobject_cast<QWidget*>(target);
    if (w == nullptr) return false;
    const QList<QRadioButton*> radios = RadioItems(w);
    if (radios.isEmpty()) return false;
    if (row.item >= radios.size()) {
      miss(row, true, QString("the radio group has %1 items").arg(radios.size()));
      return false;
    }
    radios[row.item]->setText(text);
    FitToText(radios[row.item]);
    return true;
  }

  bool writeItemList(const CaptionText& row, QObject* target, const QString& text) {
    const QStringList items = text.split('\n');
    if (auto* combo = qobject_cast<QComboBox*>(target)) {
      const QSignalBlocker block(combo);
      for (int i = 0; i < std::min<int>(int(items.size()), combo->count()); ++i)
        combo->setItemText(i, items[i]);
      if (combo->count() == items.size()) return true;
      miss(row, true, QString("the combo box has %1 items, the list %2").arg(combo->count()).arg(items.size()));
      return false;
    }
    auto* w = qobject_cast<QWidget*>(target);
    if (w == nullptr) return false;
    const QList<QRadioButton*> radios = RadioItems(w);
    if (radios.isEmpty()) return false;
    for (int i = 0; i < std::min<int>(int(items.size()), int(radios.size())); ++i) {
      radios[i]->setText(items[i]);
      FitToText(radios[i]);
    }
    if (radios.size() == items.size()) return true;
    miss(row, true, QString("the radio group has %1 items, the list %2").arg(radios.size()).arg(items.size()));
    return false;
  }

  QWidget* window_;
  QHash<QString, QObject*> named_;
  CaptionApplyResult result_;
  bool missed_ = false;
};

}  // namespace

CaptionApplyResult ApplyCaptionTable(QWidget* window, int language) {
  Writer writer(window);
  const int lang = (language < 0 || language > 3) ? 0 : language;
  writer.tickLanguage(lang);
  for (const CaptionText& row : CaptionTexts(lang)) writer.write(row);
  return writer.result();
}

CaptionApplyResult ApplyCaptionTexts(QWidget* window, const std::vector<CaptionText>& rows) {
  Writer writer(window);
  for (const CaptionText& row : rows) writer.write(row);
  return writer.result();
}

}  // namespace rq
