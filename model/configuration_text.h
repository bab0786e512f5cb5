// SPDX-License-Identifier: GPL-3.0-or-later
// A configuration as text: every parameter, power-output grid bit, rpm point and map cell with
// its page, its English name and its value in user units (choices by item name with the
// number, tenths as decimals), in the order of the pages. The command-line listing, the JSON
// output and every comparison of two configurations are built from these entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/parameter_image.h"

namespace rq {

struct ParameterValue {
  std::string text;  // "Kill switch (1)", "4.0", "1200"
  std::string unit;  // "" when none
  std::string json;  // "value":..,"item":..,"unit":..,"raw":[..]
  bool operator==(const ParameterValue& o) const { return text == o.text && unit == o.unit; }
};

// Where an entry lives in the image: `size` bytes (1 or 2) from `offset`; of a one-byte
// slot only the bits of `mask` (an on/off grid bit), otherwise 0xFF.
struct ImageSlot {
  int offset = 0;
  int size = 1;
  std::uint8_t mask = 0xFF;
  bool operator==(const ImageSlot&) const = default;
};

struct ParameterEntry {
  int page;
  std::string name;
  ParameterValue value;
  ImageSlot slot;
};

// Every entry of `image`, page by page: the page's scalars in table order (each power output's
// on/off grid after its thresholds), then the page's map: rpm axis, then cells by throttle row.
// Map cells are named with the rpm of `names`' axis, so that two images list the same names.
std::vector<ParameterEntry> ConfigurationEntries(const ParameterImage& image,
                                                 const ParameterImage& names);
// The value of one scalar parameter.
struct ParameterDef;
ParameterValue ScalarValue(const ParameterImage& image, const ParameterDef& d);
// Unit of a map's cells: the servo map is in mV or in percent.
struct MapDef;
std::string MapUnit(const ParameterImage& image, const MapDef& m);
// For power output n (0..3), -1 for any other row: the grid follows this threshold row.
int GridAfter(const ParameterDef& d);
int GridPage(int n);
// A JSON string literal: UTF-8 passes as it is; control characters, and bytes that are not
// UTF-8 (the unit's 8-bit texts), are escaped, the latter as their Latin-1 characters.
std::string JsonString(const std::string& s);

}  // namespace rq
