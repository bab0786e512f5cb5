// SPDX-License-Identifier: GPL-3.0-or-later
// The display options of the map pages: value colours (heat) on the cells and the trail of the
// operating point, both off by default and kept in the settings file ([MAPPAGES]); their texts
// in the four interface languages (0 English, 1 German, 2 French, 3 Czech), UTF-8.
#pragma once

namespace rq {

inline constexpr const char* kMapPagesSection = "MAPPAGES";
inline constexpr const char* kHeatColoursKey = "HeatColours";
inline constexpr const char* kTrailKey = "Trail";

enum class MapOptionText : int {
  ViewHint,  // the button that holds the options
  HeatColours,
  HeatHint,
  Trail,
  TrailHint,
  Count
};

const char* MapOptionTextOf(MapOptionText id, int language);

}  // namespace rq
