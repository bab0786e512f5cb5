// SPDX-License-Identifier: GPL-3.0-or-later
// The image state file: the 750 configuration bytes and the eleven "All" flags of the map
// pages, as "%5u " numbers.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/parameter_image.h"

namespace rq {

using AllFlags = std::array<std::uint8_t, kPageCount>;

std::string WriteStateText(const ParameterImage& image, const AllFlags& flags);

// Reads whitespace-separated unsigned numbers: up to 750 into bytes 0..749, then up to 11
// into the flags, each stored as its low byte. Reading stops at the first thing that is not
// a number; what was not reached keeps its value. Returns how many values were stored.
int ParseStateText(std::string_view text, ParameterImage& image, AllFlags& flags);

}  // namespace rq
