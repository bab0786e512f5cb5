// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/configuration_text.h"

#include <cstdio>

#include "model/parameter_table.h"

namespace rq {

// ---- one parameter as text and as JSON ----------------------------------------------------

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += ch;
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
