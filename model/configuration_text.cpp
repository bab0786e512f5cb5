// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/configuration_text.h"

#include <cstdio>

#include "model/parameter_table.h"

namespace rq {

// ---- one parameter as text and as JSON ----------------------------------------------------

namespace {

// The length of the valid UTF-8 sequence starting at s[i], or 0 when the bytes there are not
// one (a stray continuation byte, a truncated, overlong or surrogate sequence).
std::size_t Utf8Length(const std::string& s, std::size_t i) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  std::size_t n = 0;
  unsigned min = 0;
  unsigned cp = 0;
  if (c >= 0xC2 && c <= 0xDF) { n = 2; min = 0x80; cp = c & 0x1Fu; }
  else if (c >= 0xE0 && c <= 0xEF) { n = 3; min = 0x800; cp = c & 0x0Fu; }
  else if (c >= 0xF0 && c <= 0xF4) { n = 4; min = 0x10000; cp = c & 0x07u; }
  else return 0;
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(i + k) & 0x3Fu);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

}  // namespace

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (std::size_t i = 0; i < s.size();) {
    const char ch = s[i];
    const auto c = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
      ++i;
    } else if (c < 0x20 || c == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
      ++i;
    } else if (c < 0x80) {
      out += ch;
      ++i;
    } else if (const std::size_t n = Utf8Length(s, i); n > 0) {
      out.append(s, i, n);
      i += n;
    } else {
      // A byte of an 8-bit text (the unit's own texts are bytes): its Latin-1 character.
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
      ++i;
    }
  }
  return out + "\"";
}

static std::string Tenths(int v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v / 10.0);
  return buf;
}

static std::string RawJson(const ParameterImage& image, int offset, int count) {
  std::string s = "[";
  for (int i = 0; i < count; ++i) {
    if (i > 0) s += ",";
    s += std::to_string(image.byte(offset + i));
  }
  return s + "]";
}

static ParameterValue MakeValue(std::string text, std::string number, const std::string& item,
                                std::string unit, std::string raw) {
  ParameterValue v;
  v.text = std::move(text);
  v.unit = std::move(unit);
  v.json = "\"value\":" + number;
  if (!item.empty()) v.json += ",\"item\":" + JsonString(item);
  v.json += ",\"unit\":" + JsonString(v.unit) + ",\"raw\":" + std::move(raw);
  return v;
}

ParameterValue ScalarValue(const ParameterImage& image, const ParameterDef& d) {
  const int v = ShownValue(image, d);
  const std::string raw = RawJson(image, d.imageOffset(), d.at.isWord() ? 2 : 1);
  if (const std::string item = ListedItem(d, v); !item.empty())
    return MakeValue(item + " (" + std::to_string(v) + ")", std::to_string(v), item, "", raw);
  const std::string unit = d.unit;
  if (unit.rfind("x0.1 ", 0) == 0) return MakeValue(Tenths(v), Tenths(v), {}, unit.substr(5), raw);
  return MakeValue(std::to_string(v), std::to_string(v), {}, unit, raw);
}

std::string MapUnit(const ParameterImage& image, const MapDef& m) {
  if (m.cells.first != kServoCells.first) return m.unit;
  return MapCellStep(image, m) == 1 ? "%" : "mV";
}

static ParameterValue PlainValue(int v, const std::string& unit, std::string raw) {
  return MakeValue(std::to_string(v), std::to_string(v), {}, unit, std::move(raw));
}

// The on/off grid of power output n: bit c of kPowerGrid (n, k).
static std::string GridName(int n, int k, int c) {
  return "output " + std::to_string(n + 1) + " on in throttle band " + std::to_string(k + 1) +
         ", rpm band " + std::to_string(c + 1);
}

int GridPage(int n) { return n < 3 ? kPagePowerOut1 : kPagePowerOut2; }

// Grid bits follow their output's second throttle threshold.
int GridAfter(const ParameterDef& d) {
  if (d.at.isWord()) return -1;
  for (int n = 0; n < kPowerThrottle.rows; ++n)
    if (d.at.index == kPowerThrottle.at(n, 1).offset) return n;
  return -1;
}

// Every parameter, page by page: the page's scalars in table order (each output's on/off grid
// after its thresholds), then the page's map: rpm axis, then cells by throttle row. Names of
// map cells carry the rpm of `names`' axis, so that two images list the same names.
std::vector<ParameterEntry> ConfigurationEntries(const ParameterImage& image,
                                                 const ParameterImage& names) {
  std::vector<ParameterEntry> out;
  for (int page = 0; page < kPageCount; ++page) {
    for (const ParameterDef& d : ScalarParameters()) {
      if (d.page != page) continue;
      out.push_back({page, d.name, ScalarValue(image, d),
                     {d.imageOffset(), d.at.isWord() ? 2 : 1, 0xFF}});
      const int n = GridAfter(d);
      if (n < 0) continue;
      for (int k = 0; k < 3; ++k)
        for (int c = 0; c < 4; ++c) {
          const int off = kPowerGrid.at(n, k).offset;
          out.push_back({GridPage(n), GridName(n, k, c),
                         PlainValue(image.byte(off) >> c & 1, "", RawJson(image, off, 1)),
                         {off, 1, static_cast<std::uint8_t>(1u << c)}});
        }
    }
    for (const MapDef& m : Maps()) {
      if (m.page != page) continue;
      for (int r = 0; r < kMapColumns; ++r)
        out.push_back({page, std::string(m.name) + " rpm point " + std::to_string(r + 1),
                       PlainValue(image[m.axis[r]], "rpm", RawJson(image, m.axis[r].offset(), 2)),
                       {m.axis[r].offset(), 2, 0xFF}});
      const int step = MapCellStep(image, m);
      const std::string unit = MapUnit(image, m);
      for (int t = 0; t < kMapRows; ++t)
        for (int r = 0; r < kMapColumns; ++r) {
          const int off = m.cells.at(t, r).offset;
          out.push_back({page,
                         std::string(m.name) + " cell " + std::to_string(kThrottleRows[t]) +
                             " % / " + std::to_string(names[m.axis[r]]) + " rpm",
                         PlainValue(image.byte(off) * step, unit, RawJson(image, off, 1)),
                         {off, 1, 0xFF}});
        }
    }
  }
  return out;
}

}  // namespace rq
