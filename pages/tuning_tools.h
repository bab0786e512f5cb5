// SPDX-License-Identifier: GPL-3.0-or-later
// The map tuning tools without widgets: Plus and Minus on the live cell or on the whole map,
// and the column shift. They work on the stored bytes, one step at a time, stopping at 0 and
// 255; the page's display maximum is left to the consistency pass (advance cells above 60
// come back to 60).
#pragma once

#include "model/map_model.h"
#include "model/parameter_image.h"

namespace rq {

// direction: +1 raises, -1 lowers. Each returns true when a byte changed.
bool ShiftCell(ParameterImage& image, const MapDef& map, int row, int column, int direction);
bool ShiftColumn(ParameterImage& image, const MapDef& map, int column, int direction);
bool ShiftAllCells(ParameterImage& image, const MapDef& map, int direction);

// What Plus or Minus acts on for the page shown.
enum class ToolTarget { Nothing, AllCells, LiveCell };
struct ToolInputs {
  int page = -1;
  bool all = false;        // the page's "All" flag
  bool connected = false;  // the unit answers
  int rpm = 0;             // live engine speed
  LiveCell live;           // computed from the current reply for the page shown
};
// Nothing off the map pages; the whole map with "All"; otherwise the stored live cell, only
// while the unit answers and the engine turns. On the advance map the unit does not use the
// cell is not marked, yet Plus and Minus act on it all the same.
ToolTarget PlusMinusTarget(const ToolInputs& in);

}  // namespace rq
