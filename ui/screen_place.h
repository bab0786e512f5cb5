// SPDX-License-Identifier: GPL-3.0-or-later
// Where a window saved at another scale or on another screen goes back to: wholly inside the
// free area of the screen that holds most of it.
#pragma once

#include <QRect>
#include <QSize>

namespace rq {

// The frame no larger than that screen's free area (and no smaller than `minimum`), moved
// onto it; the frame itself where no screen exists.
QRect FitOnScreen(const QRect& frame, const QSize& minimum);

}  // namespace rq
