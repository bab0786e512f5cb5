#include "model/configuration_diff.h"

#include "model/parameter_table.h"

namespace rq {

std::vector<ConfigDifference> CompareConfigurations(const ParameterImage& a,
                                                    const ParameterImage& b) {
  std::vector<ConfigDifference> out;
  auto add = [&](int page, std::string name, long x, long y, const char* unit) {
    out.push_back({PageName(page), std::move(name), x, y, unit});
  };
  for (const ParameterDef& d : ScalarParameters()) {
    const int x = ShownValue(a, d), y = ShownValue(b, d);
    if (x != y) add(d.page, d.name, x, y, d.unit);
  }
  for (const MapDef& m : Maps()) {
    for (int r = 0; r < kMapColumns; ++r)
      if (a.word(m.axisWord + r) != b.word(m.axisWord + r))
        add(m.page, std::string(m.name) + " rpm point " + std::to_string(r + 1),
            a.word(m.axisWord + r), b.word(m.axisWord + r), "rpm");
    // The servo map's step follows its own unit byte, which may differ between the two.
    const int sa = MapCellStep(a, m), sb = MapCellStep(b, m);
    for (int t = 0; t < kMapRows; ++t)
      for (int r = 0; r < kMapColumns; ++r) {
        const int off = m.cellsByte + 15 * t + r;
        if (a.byte(off) * sa != b.byte(off) * sb)
          add(m.page,
              std::string(m.name) + " cell " + std::to_string(kThrottleRows[t]) + " % / " +
                  std::to_string(a.word(m.axisWord + r)) + " rpm",
              a.byte(off) * sa, b.byte(off) * sb, sa == 20 ? "mV" : m.unit);
      }
  }
  for (int n = 0; n < 4; ++n)
    for (int k = 0; k < 3; ++k)
      for (int c = 0; c < 4; ++c) {
        const int off = kPowerGridByte + 3 * n + k;
        const int x = a.byte(off) >> c & 1, y = b.byte(off) >> c & 1;
        if (x != y)
          add(n < 3 ? kPagePowerOut1 : kPagePowerOut2,
              "output " + std::to_string(n + 1) + " on in throttle band " + std::to_string(k + 1) +
                  ", rpm band " + std::to_string(c + 1),
              x, y, "");
      }
  return out;
}

std::string FormatConfigDifferences(const std::vector<ConfigDifference>& differences) {
  std::string text;
  for (const ConfigDifference& d : differences) {
    text += d.page + "  " + d.name + "  " + std::to_string(d.first) + " -> " +
            std::to_string(d.second);
    if (!d.unit.empty()) text += " " + d.unit;
    text += "\n";
  }
  return text;
}

}  // namespace rq
