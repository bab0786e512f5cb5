// SPDX-License-Identifier: GPL-3.0-or-later
// The .ign configuration file: keyword groups of decimal numbers, CR LF line ends.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/parameter_image.h"

namespace rq {

// Renders bytes 0..749 as a complete .ign file (CR LF line ends).
std::string WriteIgnText(const ParameterImage& image);

struct IgnReadResult {
  bool validKey = false;                 // a version key with 79 was found
  std::vector<unsigned long> badVersions;  // numbers of version keys that were not 79 (0 when
                                         // no number followed), in order
};

// Parses a .ign text into the image. Nothing changes unless a valid version key is found;
// groups that are missing leave their parameters as they were. With `given`, the bytes the
// text gave are added to it (both bytes of a word; the three bytes of a power output's on/off
// grid, which one grid value rebuilds).
IgnReadResult ReadIgnText(std::string_view text, ParameterImage& image,
                          ImageByteSet* given = nullptr);

}  // namespace rq
