// SPDX-License-Identifier: GPL-3.0-or-later
// The colours of the marks on the map view's curves and surface: the live point lime and its
// trail orange as in the grid, the time a ride log spent in a cell violet, the log's cursor
// magenta; the ghosts grey.
#pragma once

#include <QColor>

#include "pages/map_grid.h"

namespace rq {

inline const QColor& kMarkLive = kLiveLime;
inline const QColor& kMarkTrail = kTrailOrange;
inline const QColor kMarkWeight{110, 60, 200};
inline const QColor kMarkReplay{230, 0, 200};
// A cell beyond the tuner's limits: the red of the limit marks on the map pages.
inline const QColor kMarkBroken{220, 0, 0};
// The ghosts behind the curves: the other advance map light grey and dashed, the unit's map
// dark grey and dotted; no row colour, so that neither is taken for a curve, and the two
// differ where they lie on each other.
inline const QColor kGhostOther{135, 135, 135};
inline const QColor kGhostUnit{55, 55, 55};

}  // namespace rq
