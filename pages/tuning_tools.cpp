// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/tuning_tools.h"

namespace rq {

bool ShiftCell(ParameterImage& image, const MapDef& map, int row, int column, int direction) {
  if (row < 0 || row >= kMapRows || column < 0 || column >= kMapColumns) return false;
  const int at = CellByte(map, row, column);
  const int b = image.byte(at);
  if ((direction > 0 && b == 255) || (direction < 0 && b == 0) || direction == 0) return false;
  image.setByte(at, b + (direction > 0 ? 1 : -1));
  return true;
}

bool ShiftColumn(ParameterImage& image, const MapDef& map, int column, int direction) {
  bool changed = false;
  for (int r = 0; r < kMapRows; ++r) changed |= ShiftCell(image, map, r, column, direction);
  return changed;
}

bool ShiftAllCells(ParameterImage& image, const MapDef& map, int direction) {
  bool changed = false;
  for (int c = 0; c < kMapColumns; ++c) changed |= ShiftColumn(image, map, c, direction);
  return changed;
}

ToolTarget PlusMinusTarget(const ToolInputs& in) {
  if (!IsMapPage(in.page)) return ToolTarget::Nothing;
  if (in.all) return ToolTarget::AllCells;
  if (!in.connected || in.rpm == 0) return ToolTarget::Nothing;
  if (in.live.column < 0 || in.live.column >= kMapColumns || in.live.row < 0 ||
      in.live.row >= kMapRows)
    return ToolTarget::Nothing;
  return ToolTarget::LiveCell;
}

}  // namespace rq
