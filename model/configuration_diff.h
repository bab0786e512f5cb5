// SPDX-License-Identifier: GPL-3.0-or-later
// The comparison of two configurations in user units: every parameter, power-output grid bit,
// rpm axis point and map cell whose shown value differs, as the command-line tool's diff and
// the window's difference view both show it.
#pragma once

#include <string>
#include <vector>

#include "model/configuration_text.h"
#include "model/parameter_image.h"

namespace rq {

struct ConfigDifference {
  std::string page;    // page name ("Bike", "Advance 1", ...)
  std::string name;    // parameter, grid bit, axis point or map cell
  std::string first;   // value in the first configuration ("Kill switch (1)", "4.0", "1200")
  std::string second;  // ... and in the second
  std::string unit;    // "" when none, or when the two values carry different units (then
                       // each value ends in its own)
  int pageIndex = 0;   // page by index
  ImageSlot slot;      // where the value lives in the image
};

// Differences from `a` to `b`, in page order; map cells are named with `a`'s rpm axis. With
// `only`, values none of whose bytes are in it are left out: a partial file is compared by
// what it gives (LoadedConfiguration::given).
std::vector<ConfigDifference> CompareConfigurations(const ParameterImage& a,
                                                    const ParameterImage& b,
                                                    const ImageByteSet* only = nullptr);

// Whether any byte of the slot is in the set.
bool SlotIn(const ImageSlot& slot, const ImageByteSet& bytes);

// One line per difference: "<page>  <name>  <first> -> <second>[ <unit>]\n"; "" when equal.
std::string FormatConfigDifferences(const std::vector<ConfigDifference>& differences);

}  // namespace rq
