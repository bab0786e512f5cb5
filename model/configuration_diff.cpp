// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/configuration_diff.h"

#include "model/configuration_text.h"
#include "model/parameter_table.h"

namespace rq {

bool SlotIn(const ImageSlot& slot, const ImageByteSet& bytes) {
  for (int i = slot.offset; i < slot.offset + slot.size; ++i)
    if (i >= 0 && i < kImageSize && bytes.test(std::size_t(i))) return true;
  return false;
}

std::vector<ConfigDifference> CompareConfigurations(const ParameterImage& a,
                                                    const ParameterImage& b,
                                                    const ImageByteSet* only) {
  std::vector<ConfigDifference> out;
  const std::vector<ParameterEntry> ea = ConfigurationEntries(a, a), eb = ConfigurationEntries(b, a);
  for (std::size_t i = 0; i < ea.size() && i < eb.size(); ++i) {
    const ParameterValue &x = ea[i].value, &y = eb[i].value;
    if (x == y || (only != nullptr && !SlotIn(ea[i].slot, *only))) continue;
    ConfigDifference d{PageName(ea[i].page), ea[i].name, x.text, y.text, x.unit, ea[i].page,
                       ea[i].slot};
    if (x.unit != y.unit) {
      // The servo map switched between mV and percent: each value keeps its own unit.
      d.first += " " + x.unit;
      d.second += " " + y.unit;
      d.unit.clear();
    }
    out.push_back(std::move(d));
  }
  return out;
}

std::string FormatConfigDifferences(const std::vector<ConfigDifference>& differences) {
  std::string text;
  for (const ConfigDifference& d : differences) {
    text += d.page + "  " + d.name + "  " + d.first + " -> " + d.second;
    if (!d.unit.empty()) text += " " + d.unit;
    text += "\n";
  }
  return text;
}

}  // namespace rq
