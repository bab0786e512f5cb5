// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/text_fit.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QStyleOptionTab>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>

#include "ui/qt_text.h"

namespace rq {

void SetMessageText(QMessageBox& box, const QString& text) {
  const QString shown = ElideLongWords(text);
  box.setText(shown);
  if (shown != text) box.setDetailedText(text);
}
namespace {

QSize PushButtonFit(const QPushButton* b) {
  QStyleOptionButton opt;
  opt.initFrom(b);
  opt.text = b->text();
  opt.icon = b->icon();
  opt.iconSize = b->iconSize();
  if (b->isFlat()) opt.features |= QStyleOptionButton::Flat;
  if (b->menu() != nullptr) opt.features |= QStyleOptionButton::HasMenu;
  const QRect contents = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b);
  const QSize text = b->fontMetrics().size(Qt::TextShowMnemonic, b->text());
  int w = text.width();
  int h = text.height();
  if (!b->icon().isNull()) {
    w += b->iconSize().width() + 4;
    h = std::max(h, b->iconSize().height());
  }
  return {w + (b->width() - contents.width()), h + (b->height() - contents.height())};
}

QSize GroupBoxFit(const QGroupBox* box) {
  if (box->title().isEmpty()) return {};
  QStyleOptionGroupBox opt;
  opt.initFrom(box);
  opt.text = box->title();
  opt.lineWidth = 1;
  opt.midLineWidth = 0;
  opt.textAlignment = box->alignment();
  opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  if (box->isFlat()) opt.features |= QStyleOptionFrame::Flat;
  if (box->isCheckable()) opt.subControls |= QStyle::SC_GroupBoxCheckBox;
  const QFontMetrics fm = box->fontMetrics();
  // Measured as the group box measures its own title.
  const QSize base(fm.horizontalAdvance(box->title()) + fm.horizontalAdvance(QLatin1Char(' ')),
                   fm.height());
  const QSize size = box->style()->sizeFromContents(QStyle::CT_GroupBox, &opt, base, box);
  return {size.width(), 0};
}

}  // namespace

QSize TextFitSize(const QWidget* w) {
  if (const auto* label = qobject_cast<const QLabel*>(w)) {
    if (label->text().isEmpty()) return {};
    if (label->wordWrap()) return {0, label->heightForWidth(label->width())};
    return label->sizeHint();
  }
  if (const auto* b = qobject_cast<const QPushButton*>(w)) {
    return b->text().isEmpty() ? QSize() : PushButtonFit(b);
  }
  if (const auto* b = qobject_cast<const QAbstractButton*>(w)) {
    if (b->text().isEmpty()) return {};
    if (const auto* tool = qobject_cast<const QToolButton*>(w);
        tool != nullptr && tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
      return {};
    return b->sizeHint();
  }
  if (const auto* box = qobject_cast<const QGroupBox*>(w)) return GroupBoxFit(box);
  return {};
}

QList<CutOffText> FindCutOffTexts(const QWidget* root) {
  QList<CutOffText> cut;
  const QWidget* window = root->window();
  const QList<QWidget*> all = root->findChildren<QWidget*>();
  for (const QWidget* w : all) {
    if (w->window() != window) continue;  // other windows, and the menus' pop-ups
    if (!w->isVisible()) continue;        // shows no text now (another page, or a rule)
    if (const auto* tabs = qobject_cast<const QTabWidget*>(w)) {
      const QTabBar* bar = tabs->tabBar();
      for (int i = 0; i < bar->count(); ++i) {
        QStyleOptionTab opt;
        opt.initFrom(bar);
        opt.rect = bar->tabRect(i);
        opt.text = bar->tabText(i);
        opt.shape = bar->shape();
        opt.icon = bar->tabIcon(i);
        opt.iconSize = bar->iconSize();
        const QRect textRect = bar->style()->subElementRect(QStyle::SE_TabBarTabText, &opt, bar);
        const QSize need = bar->fontMetrics().size(Qt::TextShowMnemonic, bar->tabText(i));
        // A tab scrolled out of the bar is as hidden as a clipped text.
        const bool inside = bar->rect().contains(opt.rect);
        if (need.width() > textRect.width() || !inside)
          cut.push_back({QString("%1 tab %2").arg(tabs->objectName()).arg(i), bar->tabText(i), need,
                         inside ? textRect.size() : QSize()});
      }
      continue;
    }
    const QSize need = TextFitSize(w);
    if (!need.isValid()) continue;  // no text
    const bool fits = need.width() <= w->width() && need.height() <= w->height();
    if (fits) continue;
    QString text;
    if (const auto* l = qobject_cast<const QLabel*>(w)) text = l->text();
    else if (const auto* b = qobject_cast<const QAbstractButton*>(w)) text = b->text();
    else if (const auto* g = qobject_cast<const QGroupBox*>(w)) text = g->title();
    cut.push_back({w->objectName(), text, need, w->size()});
  }
  return cut;
}

}  // namespace rq
