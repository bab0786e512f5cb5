// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/state_file.h"

#include <cstdio>

namespace rq {

std::string WriteStateText(const ParameterImage& image, const AllFlags& flags) {
  std::string out;
  out.reserve(4700);
  char buf[16];
  for (int i = 0; i < kConfigSize; ++i) {
    std::snprintf(buf, sizeof buf, "%5u ", static_cast<unsigned>(image.byte(i)));
    out += buf;
    if (i % 10 == 9) out += "\n";
    if (i % 100 == 99) out += "\n";
  }
  for (std::uint8_t f : flags) {
    std::snprintf(buf, sizeof buf, "%5u ", static_cast<unsigned>(f));
    out += buf;
  }
  return out;
}

int ParseStateText(std::string_view text, ParameterImage& image, AllFlags& flags) {
  std::size_t pos = 0;
  auto isSpace = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
  };
  int stored = 0;
  const int total = kConfigSize + static_cast<int>(flags.size());
  while (stored < total) {
    while (pos < text.size() && isSpace(text[pos])) ++pos;
    // An unsigned read takes a sign too: "-3" wraps to ...253.
    bool negative = false;
    std::size_t p = pos;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
    if (p >= text.size() || text[p] < '0' || text[p] > '9') break;
    pos = p;
    // Only the low byte is kept, so the digits are accumulated modulo 256.
    unsigned value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
      value = (value * 10 + static_cast<unsigned>(text[pos++] - '0')) & 0xFFu;
    if (negative) value = (256u - value) & 0xFFu;
    if (stored < kConfigSize)
      image.setByte(stored, value);
    else
      flags[static_cast<std::size_t>(stored - kConfigSize)] = static_cast<std::uint8_t>(value);
    ++stored;
  }
  return stored;
}

}  // namespace rq
