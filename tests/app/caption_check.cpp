// SPDX-License-Identifier: GPL-3.0-or-later
#include "caption_check.h"

#include <QAbstractButton>
#include <QApplication>
#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QWidget>

#include <functional>

#include "form_peer.h"
#include "pages/controls.h"
#include "ui/caption_apply.h"
#include "ui/text_fit.h"

namespace rq::test {
namespace {

QString PathOf(const QObject* o, const QObject* root) {
  QString path;
  for (; o != nullptr && o != root; o = o->parent()) {
    QString part = o->objectName();
    if (part.isEmpty()) {
      const QObject* parent = o->parent();
      const int index = parent != nullptr ? int(parent->children().indexOf(o)) : 0;
      part = QString("%1#%2").arg(o->metaObject()->className()).arg(index);
    }
    path = path.isEmpty() ? part : part + "/" + path;
  }
  return path;
}

const char* kLanguageNames[4] = {"English", "German", "French", "Czech"};

}  // namespace

std::map<QString, QString> WindowSnapshot(const QWidget* window) {
  std::map<QString, QString> s;
  s["<title>"] = window->windowTitle();
  for (const QObject* o : window->findChildren<QObject*>()) {
    if (InOtherWindow(o, window)) continue;
    const QString key = PathOf(o, window);
    if (const auto* a = qobject_cast<const QAction*>(o)) {
      s[key] = QString("text=%1 tip=%2 status=%3 checked=%4 enabled=%5")
                   .arg(a->text(), a->toolTip(), a->statusTip())
                   .arg(a->isChecked())
                   .arg(a->isEnabled());
      continue;
    }
    const auto* w = qobject_cast<const QWidget*>(o);
    if (w == nullptr) continue;
    QString v = QString("tip=%1 status=%2").arg(w->toolTip(), w->statusTip());
    if (const auto* l = qobject_cast<const QLabel*>(w)) v += " text=" + l->text();
    if (const auto* b = qobject_cast<const QAbstractButton*>(w))
      v += QString(" text=%1 checked=%2").arg(b->text()).arg(b->isChecked());
    if (const auto* g = qobject_cast<const QGroupBox*>(w)) v += " title=" + g->title();
    if (const auto* m = qobject_cast<const QMenu*>(w)) v += " title=" + m->title();
    if (const auto* c = qobject_cast<const QComboBox*>(w)) {
      v += QString(" current=%1 items=").arg(c->currentIndex());
      for (int i = 0; i < c->count(); ++i) v += c->itemText(i) + "|";
    }
    if (const auto* t = qobject_cast<const QTabWidget*>(w)) {
      v += QString(" current=%1 tabs=").arg(t->currentIndex());
      for (int i = 0; i < t->count(); ++i) v += t->tabText(i) + "|";
    }
    s[key] = v;
  }
  return s;
}

QStringList SnapshotDifferences(const std::map<QString, QString>& before,
                                const std::map<QString, QString>& after) {
  QStringList out;
  for (const auto& [key, value] : before) {
    const auto it = after.find(key);
    if (it == after.end()) out << key + ": gone";
    else if (it->second != value) out << key + ": " + value + " -> " + it->second;
  }
  for (const auto& [key, value] : after)
    if (!before.contains(key)) out << key + ": new";
  return out;
}

ChangeSignalCounter::ChangeSignalCounter(QWidget* window)
    : emitted_(std::make_shared<QStringList>()) {
  auto note = [this](const QObject* o, const char* what) {
    auto list = emitted_;
    const QString name = o->objectName() + " " + what;
    return [list, name] { list->push_back(name); };
  };
  for (QObject* o : window->findChildren<QObject*>()) {
    if (auto* c = qobject_cast<QComboBox*>(o)) {
      connections_.push_back(QObject::connect(c, &QComboBox::currentIndexChanged, note(c, "currentIndexChanged")));
      connections_.push_back(QObject::connect(c, &QComboBox::currentTextChanged, note(c, "currentTextChanged")));
      connections_.push_back(QObject::connect(c, &QComboBox::activated, note(c, "activated")));
    } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
      connections_.push_back(QObject::connect(b, &QAbstractButton::toggled, note(b, "toggled")));
      connections_.push_back(QObject::connect(b, &QAbstractButton::clicked, note(b, "clicked")));
    } else if (auto* t = qobject_cast<QTabWidget*>(o)) {
      connections_.push_back(QObject::connect(t, &QTabWidget::currentChanged, note(t, "currentChanged")));
    } else if (auto* a = qobject_cast<QAction*>(o)) {
      connections_.push_back(QObject::connect(a, &QAction::triggered, note(a, "triggered")));
      connections_.push_back(QObject::connect(a, &QAction::toggled, note(a, "toggled")));
    }
  }
}

ChangeSignalCounter::~ChangeSignalCounter() {
  for (const auto& c : connections_) QObject::disconnect(c);
}

void SwitchLanguage(FormHlavPeer& form, int language) {
  switch (language) {
    case kLanguageGerman: form.MenuGermanClick(); break;
    case kLanguageFrench: form.MenuFrenchClick(); break;
    case kLanguageCzech: form.MenuCzechClick(); break;
    default: form.MenuEnglishClick(); break;
  }
}

namespace {

// Shows every page in each language in turn, laid out as the user sees it, and collects the
// distinct lines `find` reports for it; the window ends in the language and on the page it
// started with.
QStringList OnEveryPageInEveryLanguage(
    FormHlavPeer& form, const std::function<QStringList(int lang, QTabWidget* tabs, int page)>& find) {
  const int start = form.language();
  QStringList out;
  form.show();
  auto* tabs = form.findChild<QTabWidget*>("PageControl1");
  const int shown = tabs->currentIndex();
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    SwitchLanguage(form, lang);
    for (int page = 0; page < tabs->count(); ++page) {
      tabs->setCurrentIndex(page);
      QApplication::processEvents();
      for (const QString& line : find(lang, tabs, page))
        if (!out.contains(line)) out << line;
    }
  }
  tabs->setCurrentIndex(shown);
  SwitchLanguage(form, start);
  return out;
}

}  // namespace

QStringList CutOffTextsInEveryLanguage(FormHlavPeer& form) {
  return OnEveryPageInEveryLanguage(form, [&form](int lang, QTabWidget*, int) {
    QStringList lines;
    for (const CutOffText& c : FindCutOffTexts(&form))
      lines << QString("%1: %2 \"%3\" needs %4 x %5, has %6 x %7")
                   .arg(kLanguageNames[lang], c.control, c.text)
                   .arg(c.needed.width())
                   .arg(c.needed.height())
                   .arg(c.available.width())
                   .arg(c.available.height());
    return lines;
  });
}

QStringList OverlappingControls(const QWidget* root) {
  QStringList out;
  // Qt's own parts of a composite widget (a spin box's line edit, a scroll area's bars) are
  // the composite's business, not the page's.
  auto counts = [root](const QWidget* w) {
    return !w->isWindow() && w->isVisibleTo(root) && !w->objectName().startsWith("qt_");
  };
  auto line = [](const QWidget* w) {
    const auto* f = qobject_cast<const QFrame*>(w);
    return f != nullptr && (f->frameShape() == QFrame::HLine || f->frameShape() == QFrame::VLine);
  };
  auto meantToTouch = [&line](const QWidget* a, const QWidget* b) {
    const auto* ua = qobject_cast<const UpDown*>(a);
    const auto* ub = qobject_cast<const UpDown*>(b);
    if ((ua != nullptr && ua->edit() == b) || (ub != nullptr && ub->edit() == a)) return true;
    // The lines between a grid's boxes cross each other.
    if (line(a) && line(b)) return true;
    // The badges of the log and A/B overlays and the marks of broken limits are drawn over the
    // map's cells on purpose.
    for (const char* overlay : {"MapBadgeLayer", "LimitMarks"})
      if (a->objectName() == overlay || b->objectName() == overlay) return true;
    // The map and its bar below share one frame line: the map is 375 high, the bar starts at 374.
    const QStringList names{a->objectName(), b->objectName()};
    return names.contains("GroupBoxMap") && names.contains("GroupBoxMapBar") &&
           a->geometry().intersected(b->geometry()).height() == 1;
  };
  std::vector<const QWidget*> parents{root};
  for (const QWidget* w : root->findChildren<QWidget*>())
    if (counts(w)) parents.push_back(w);
  for (const QWidget* parent : parents) {
    std::vector<const QWidget*> kids;
    for (const QObject* o : parent->children()) {
      const auto* w = qobject_cast<const QWidget*>(o);
      if (w != nullptr && counts(w) && !w->geometry().isEmpty()) kids.push_back(w);
    }
    for (size_t i = 0; i < kids.size(); ++i) {
      for (size_t j = i + 1; j < kids.size(); ++j) {
        const QRect a = kids[i]->geometry();
        const QRect b = kids[j]->geometry();
        if (!a.intersects(b) || meantToTouch(kids[i], kids[j])) continue;
        const QRect both = a.intersected(b);
        out << QString("%1 and %2 overlap by %3 x %4 at (%5, %6)")
                   .arg(PathOf(kids[i], root), PathOf(kids[j], root))
                   .arg(both.width())
                   .arg(both.height())
                   .arg(both.x())
                   .arg(both.y());
      }
    }
  }
  return out;
}

QStringList OverlappingControlsInEveryLanguage(FormHlavPeer& form) {
  return OnEveryPageInEveryLanguage(form, [](int lang, QTabWidget* tabs, int page) {
    QStringList lines;
    for (const QString& pair : OverlappingControls(tabs->currentWidget()))
      lines << QString("%1, %2: %3").arg(kLanguageNames[lang], tabs->tabText(page), pair);
    return lines;
  });
}

}  // namespace rq::test
