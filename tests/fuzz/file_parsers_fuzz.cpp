// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the .ign reader, the state file parser and the ride log reader. Built as a libFuzzer target with
// clang (-DRQ_LIBFUZZER=ON), and otherwise as a bounded random-input run under ctest.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "logs/log_table.h"
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
  // A log loads whole or not at all: every column as long as the time axis, times in order.
  rq::logs::LoadOptions logOptions;
  logOptions.codecFor = [](std::string_view h) -> std::optional<rq::logs::ColumnCodec> {
    if (h.size() == 1 && h[0] >= 'a' && h[0] <= 'c')
      return rq::logs::ColumnCodec{static_cast<rq::logs::Storage>(h[0] - 'a'), 0.1, -1.0};
    return std::nullopt;
  };
  const auto log = rq::logs::ParseCsvText(text, logOptions);
  if (log.ok()) {
    const auto& t = *log.table;
    if (t.rows() == 0) __builtin_trap();
    for (std::size_t i = 1; i < t.rows(); ++i)
      if (!(t.time(i) >= t.time(i - 1))) __builtin_trap();
    for (const auto& c : t.columns())
      if (c.size() != t.rows()) __builtin_trap();
  } else if (log.error.message.empty()) {
    __builtin_trap();
  }
  return 0;
}
