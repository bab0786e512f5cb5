// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/page_kit.h"

#include <QFontMetrics>
#include <QGridLayout>

namespace rq {

void Bindings::refresh(const ParameterImage& image) {
  for (Binding& b : rows_) {
    const int v = ShownValue(image, *b.def);
    if (b.spin != nullptr) {
      b.spin->showValue(v);
    } else if (b.check != nullptr) {
      b.check->showValue(v != 0);
    } else if (b.choice != nullptr) {
      const int item = ItemOfValue(*b.def, v);
      b.shownIndex = item >= 0 && item < b.choice->count() ? item : -1;
      b.choice->setIndex(b.shownIndex);
    }
  }
}

void Bindings::readBack(ParameterImage& image) {
  for (Binding& b : rows_) {
    // What a field or box shows is what is stored: a byte above the field's range, shown
    // clamped, is stored clamped; a flag is stored as 0 or 1.
    if (b.spin != nullptr) {
      b.spin->takeTypedText();
      StoreShown(image, *b.def, b.spin->value());
    } else if (b.check != nullptr) {
      StoreShown(image, *b.def, b.check->isChecked() ? 1 : 0);
    } else if (b.choice != nullptr) {
      const int item = b.choice->index();
      if (item < 0 || item == b.shownIndex) continue;  // nothing chosen: leave the byte alone
      StoreShown(image, *b.def, ValueOfItem(*b.def, item));
    }
  }
}

void PageKit::commitEdit() {
  if (!refreshing()) ws_.commitPage();
}

namespace {

const ParameterDef& Row(const char* name) {
  const ParameterDef* d = FindParameter(name);
  if (d == nullptr) qFatal("no parameter row binds %s", name);
  return *d;
}

QStringList Items(const ParameterDef& d) {
  QStringList items;
  for (const char* text : d.items) items << QString::fromUtf8(text);
  return items;
}

}  // namespace

PageKit::SpinPair PageKit::spin(const char* upDownName, QWidget* parent, Bindings& bindings) {
  const ParameterDef& d = Row(upDownName);
  const QString name = QString::fromLatin1(upDownName);
  auto* edit = new SpinEdit(parent);
  edit->setObjectName("Edit" + name.mid(6));
  edit->setRange(d.min, d.max);
  edit->setSingleStep(d.increment);
  // As wide as the longest value it can show, thousands separator and sign included.
  const QFontMetrics fm(edit->font());
  const int text = std::max(fm.horizontalAdvance(edit->textFor(d.min)),
                            fm.horizontalAdvance(edit->textFor(d.max)));
  edit->setFixedWidth(std::max(34, text + 16));
  edit->onCommit = [this] { commitEdit(); };
  auto* updown = new UpDown(edit, parent);
  updown->setObjectName(name);
  controls_.insert(&d, edit);
  Binding b;
  b.def = &d;
  b.spin = edit;
  bindings.add(b);
  return {edit, updown};
}

CheckEdit* PageKit::check(const char* name, const QString& text, QWidget* parent,
                          Bindings& bindings) {
  auto* c = new CheckEdit(text, parent);
  c->setObjectName(name);
  c->onCommit = [this] { commitEdit(); };
  Binding b;
  b.def = &Row(name);
  controls_.insert(b.def, c);
  b.check = c;
  bindings.add(b);
  return c;
}

ComboEdit* PageKit::combo(const char* name, QWidget* parent, Bindings& bindings) {
  const ParameterDef& d = Row(name);
  auto* c = new ComboEdit(Items(d), parent);
  c->setObjectName(name);
  c->onChosen = [this](int) { commitEdit(); };
  controls_.insert(&d, c);
  Binding b;
  b.def = &d;
  b.choice = c;
  bindings.add(b);
  return c;
}

RadioGroup* PageKit::radio(const char* name, const QString& title, int columns, QWidget* parent,
                           Bindings& bindings, std::function<void(int)> handler) {
  const ParameterDef& d = Row(name);
  auto* g = new RadioGroup(name, title, Items(d), columns, parent);
  if (handler) {
    g->onChosen = [this, handler = std::move(handler)](int item) {
      if (!refreshing()) handler(item);
    };
  } else {
    g->onChosen = [this](int) { commitEdit(); };
  }
  controls_.insert(&d, g);
  Binding b;
  b.def = &d;
  b.choice = g;
  bindings.add(b);
  return g;
}

QLabel* PageKit::label(const char* name, const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  return l;
}

QGroupBox* PageKit::group(const char* name, const QString& title, QWidget* parent) {
  auto* g = new QGroupBox(title, parent);
  g->setObjectName(name);
  return g;
}

QWidget* PageKit::content(QWidget* page, const char* name, int height) {
  auto* w = new QWidget(page);
  w->setObjectName(name);
  w->setGeometry(0, 0, 975, height);
  return w;
}

PageKit::SpinPair PageKit::row(QGridLayout* grid, int r, const char* labelName,
                               const QString& text, const char* upDownName, QWidget* parent,
                               Bindings& bindings, int column) {
  if (labelName != nullptr) grid->addWidget(label(labelName, text, parent), r, column);
  SpinPair p = spin(upDownName, parent, bindings);
  grid->addWidget(p.edit, r, column + 1);
  grid->addWidget(p.upDown, r, column + 2);
  return p;
}

}  // namespace rq
