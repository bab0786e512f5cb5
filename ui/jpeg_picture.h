// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding a JPEG picture held in memory into 8-bit RGB pixels, with the JPEG library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rq {

struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // width * height * 3 bytes, rows top to bottom
};

// Pictures larger than this in either direction are refused before anything is allocated.
inline constexpr int kMaxPictureSide = 8192;

// Decodes a baseline or progressive JPEG with one (grey) or three colour components. A picture
// the library cannot decode, or decodes only with warnings (data cut short, corrupt segments),
// yields nothing and the library's message in `error`; the library is never allowed to end
// the program.
std::optional<RgbPicture> DecodeJpeg(const std::uint8_t* data, std::size_t size,
                                     std::string* error = nullptr);

}  // namespace rq
