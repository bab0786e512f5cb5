// The comparison of two configurations in user units: every parameter, rpm axis point, map
// cell and power-output grid bit whose shown value differs.
#pragma once

#include <string>
#include <vector>

#include "model/parameter_image.h"

namespace rq {

struct ConfigDifference {
  std::string page;  // page name ("Bike", "Advance 1", ...)
  std::string name;  // parameter, axis point or map cell
  long first = 0;    // shown value in the first configuration
  long second = 0;   // ... and in the second
  std::string unit;  // "" when none
};

// Differences from `a` to `b`, in page order of the parameters, then the maps, then the grids.
std::vector<ConfigDifference> CompareConfigurations(const ParameterImage& a,
                                                    const ParameterImage& b);

// One line per difference: "<page>  <name>  <first> -> <second>[ <unit>]\n"; "" when equal.
std::string FormatConfigDifferences(const std::vector<ConfigDifference>& differences);

}  // namespace rq
