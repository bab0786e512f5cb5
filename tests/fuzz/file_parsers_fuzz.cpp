// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the .ign reader and the state file parser. Built as a libFuzzer target with
// clang (-DRQ_LIBFUZZER=ON), and otherwise as a bounded random-input run under ctest.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/defaults.h"
#include "model/ign_file.h"
#include "model/state_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  rq::ParameterImage image = rq::NewConfiguration();
  const rq::ParameterImage before = image;
  const auto r = rq::ReadIgnText(text, image);
  if (!r.validKey && !(image == before)) __builtin_trap();
  for (int i = rq::kIdentOffset; i < rq::kImageSize; ++i)
    if (image.byte(i) != before.byte(i)) __builtin_trap();
  rq::SanitizeImage(image);
  rq::AllFlags flags{};
  const int n = rq::ParseStateText(text, image, flags);
  if (n < 0 || n > rq::kConfigSize + rq::kPageCount) __builtin_trap();
  return 0;
}
