// SPDX-License-Identifier: GPL-3.0-or-later
// Status notes cut to the room of the status bar.
#include "ui/status_notes.h"

#include <QEvent>
#include <QFontMetrics>
#include <QStatusBar>

#include <algorithm>

namespace rq {

StatusNotes::StatusNotes(QStatusBar* bar) : QObject(bar), bar_(bar) {
  clock_.start();
  bar_->installEventFilter(this);
  // Another message (a hint, or cleared) takes the tooltip with it.
  connect(bar_, &QStatusBar::messageChanged, this, [this](const QString& message) {
    if (message != shown_) {
      shown_.clear();
      bar_->setToolTip(QString());
    }
  });
}

int StatusNotes::room() const {
  // The permanent widgets stand at the right, each at least as wide as it asks to be.
  int taken = 0;
  for (QWidget* w : bar_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (w->isVisibleTo(bar_)) taken += std::max(w->width(), w->sizeHint().width()) + 6;
  return std::max(40, bar_->width() - taken - 12);
}

void StatusNotes::show(const QString& text, int ms) {
  text_ = text;
  until_ = ms > 0 ? clock_.elapsed() + ms : 0;
  fit();
}

void StatusNotes::fit() {
  int left = 0;
  if (until_ != 0) {
    left = int(until_ - clock_.elapsed());
    if (left <= 0) return;
  }
  const QString elided = bar_->fontMetrics().elidedText(text_, Qt::ElideRight, room());
  shown_ = elided;
  bar_->setToolTip(elided != text_ ? text_ : QString());
  bar_->showMessage(elided, left);
}

bool StatusNotes::eventFilter(QObject* watched, QEvent* event) {
  if (watched == bar_ && event->type() == QEvent::Resize && !shown_.isEmpty() &&
      bar_->currentMessage() == shown_)
    fit();
  return QObject::eventFilter(watched, event);
}

}  // namespace rq
