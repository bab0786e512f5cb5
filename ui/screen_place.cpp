// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/screen_place.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace rq {

QRect FitOnScreen(const QRect& frame, const QSize& minimum) {
  const QScreen* best = QGuiApplication::primaryScreen();
  long bestArea = -1;
  for (const QScreen* s : QGuiApplication::screens()) {
    const QRect common = s->availableGeometry().intersected(frame);
    const long area = common.isEmpty() ? 0 : long(common.width()) * common.height();
    if (area > bestArea) {
      bestArea = area;
      best = s;
    }
  }
  if (best == nullptr) return frame;
  const QRect area = best->availableGeometry();
  const QSize size = frame.size().boundedTo(area.size()).expandedTo(minimum);
  const int left = std::clamp(frame.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width()));
  const int top = std::clamp(frame.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height()));
  return QRect(QPoint(left, top), size);
}

}  // namespace rq
