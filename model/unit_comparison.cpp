// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/unit_comparison.h"

#include <algorithm>

namespace rq {

std::vector<DifferingSlot> DifferingSlots(const ParameterImage& a, const ParameterImage& b) {
  std::vector<DifferingSlot> out;
  if (a.config().size() == b.config().size() &&
      std::equal(a.config().begin(), a.config().end(), b.config().begin()))
    return out;  // the common case after Program or Read
  for (int page = 0; page < kPageCount; ++page) {
    for (const ParameterDef& d : ScalarParameters()) {
      if (d.page != page) continue;
      if (ShownValue(a, d) != ShownValue(b, d))
        out.push_back({SlotKind::Scalar, page,
                       {d.imageOffset(), d.at.isWord() ? 2 : 1, 0xFF}, &d});
      const int n = GridAfter(d);
      if (n < 0) continue;
      for (int k = 0; k < 3; ++k) {
        const int off = kPowerGrid.at(n, k).offset;
        const int x = a.byte(off) ^ b.byte(off);
        if ((x & 0x0F) == 0) continue;
        for (int c = 0; c < 4; ++c)
          if ((x >> c & 1) != 0)
            out.push_back({SlotKind::GridBit, GridPage(n),
                           {off, 1, static_cast<std::uint8_t>(1u << c)}, nullptr, k, c, n});
      }
    }
    for (const MapDef& m : Maps()) {
      if (m.page != page) continue;
      for (int r = 0; r < kMapColumns; ++r)
        if (a[m.axis[r]] != b[m.axis[r]])
          out.push_back({SlotKind::AxisPoint, page, {m.axis[r].offset(), 2, 0xFF}, nullptr, 0, r});
      const int sa = MapCellStep(a, m), sb = MapCellStep(b, m);
      const bool sameUnit = MapUnit(a, m) == MapUnit(b, m);
      for (int t = 0; t < kMapRows; ++t)
        for (int r = 0; r < kMapColumns; ++r) {
          const int off = m.cells.at(t, r).offset;
          if (sameUnit && a.byte(off) * sa == b.byte(off) * sb) continue;
          out.push_back({SlotKind::Cell, page, {off, 1, 0xFF}, nullptr, t, r});
        }
    }
  }
  return out;
}

void TakeSlot(ParameterImage& to, const ParameterImage& from, const ImageSlot& slot) {
  for (int i = 0; i < slot.size; ++i) {
    const int off = slot.offset + i;
    if (off < 0 || off >= kConfigSize) continue;
    to.setByte(off, (to.byte(off) & ~slot.mask) | (from.byte(off) & slot.mask));
  }
}

}  // namespace rq
