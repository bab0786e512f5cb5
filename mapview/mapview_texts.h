// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the map view and its tools (smoothing, copy map to map) in the four interface
// languages (0 English, 1 German, 2 French, 3 Czech), UTF-8. "%1", "%2", ... are filled in by
// the caller; counts stand after a colon, so no language needs plural forms.
#pragma once

namespace rq {

enum class MapViewText : int {
  Menu,
  MenuHint,
  Title,
  ModeRpm,
  ModeThrottle,
  ModeSurface,
  ModeHint,
  GhostOther,
  GhostOtherHint,
  GhostUnit,
  GhostUnitHint,
  MinusHint,
  PlusHint,
  Set,
  SetHint,
  Smooth,
  SmoothHint,
  SmoothStrength,
  Copy,
  CopyHint,
  CopyWithRpm,
  StandardView,
  StandardViewHint,
  AxisRpm,
  AxisThrottle,
  AxisAdvance,
  AxisServoMv,
  AxisServoPercent,
  LegendLive,
  LegendTrail,
  LegendLog,
  LegendReplay,
  LegendBroken,
  ServoOff,
  NoSurface,
  AskCopyWhole,
  AskCopySelection,
  AskCopyRpm,
  NoteSmoothed,
  NoteCopied,
  NoteClamped,
  DragHint,
  SurfaceHint,
  RpmUnit,
  ModeDifference,
  DiffMaps,        // %1, %2: the two advance maps
  DiffUnit,
  DiffHint,
  DiffUnknown,
  DiffRpmDiffer,   // %1: the map whose rpm points the curves stand at
  AxisDifference,  // %1: the unit of the values
  AskSmoothWhole,  // %1: the page
  WouldBreak,      // %1: how many cells, %2: the key, %3: the limit
  CopyAnyway,
  CopyHold,
  CopyCancel,
  Count
};

const char* MapViewTextOf(MapViewText id, int language);

}  // namespace rq
