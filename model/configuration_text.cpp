// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/configuration_text.h"

#include <array>
#include <cstdio>

#include "model/parameter_table.h"

namespace rq {

// ---- item names of the choices ----------------------------------------------------------

struct ChoiceList {
  int offset;                       // image byte of the choice
  std::array<const char*, 8> items; // by stored value; nullptr past the end
};

// English item names by stored value. The motorbike type stores 0, 2, 3, 4, 5 for the first
// five items of its list and 1 for "Special setting".
constexpr ChoiceList kChoices[] = {
    {140, {"Classic (1 lobe, 1 or 2 pick-up)", "Special setting",
           "Standard (2 lobe per revol., 1 or 2 pick-up)", "Standard (3 lobe per revol., 1 pick-up)",
           "Standard (1 lobe 2 rev. (CMPS), 1 or 2 pick-up)", "Honda NSR 250 MC18 -"}},
    {146, {"1 lobe, 1 or 2 pick-up", "Short gap between lobes (inserted lobe)", "Wide lobe",
           "Long gap between lobes (missing lobe)", "2 pick-ups, missing lobe",
           "2 Short gaps between lobes (inserted lobe)", "Honda NSR 250 MC18 -"}},
    {162, {"1 ignition per 2 revolutions (camshaft)", "1 ignition per revolution",
           "2 ignitions per revolution", "3 ignitions per revolution"}},
    {166, {"Off", "Kill switch", "Blocking", "Clutch master", "Retard", "Start Limiter",
           "2 nd advance chart"}},
    {167, {"Off", "Kill switch", "Blocking", "Clutch master", "Retard", "Start Limiter",
           "2 nd advance chart", "Gear"}},
    {168, {"Off", "Kill switch", "Blocking", "Clutch master", "Retard", "Start Limiter",
           "2 nd advance chart", "Speed"}},
    {176, {"Off", "Advance", "Start limiter", "Pilot light", "Acceleration switch of advance"}},
    {483, {"R + T", "RPM", "TPS"}},
    {635, {"Off", "Fuel pump", "Pilot light", "Power jet Honda", "Special setting"}},
    {636, {"Off", "Fuel pump", "Pilot light", "Power jet Honda", "Special setting"}},
    {637, {"Off", "Fuel pump", "Pilot light", "Power jet Honda", "Special setting"}},
    {638, {"Off", "Fuel pump", "Pilot light", "Power jet Honda", "Special setting"}},
    {675, {"No", "Voltage", "Ration Rpm Speed", "Automatic (Ratio Rpm Speed)"}},
    {677, {"Pulse over 1s for 100 km/h", "Distance for pulse [mm]"}},
    {682, {"No ignition", "Retard"}},
};

// Item name of a choice value; nullptr when d is no choice or the value has no item.
static const char* ChoiceItem(const ParameterDef& d, int value) {
  if (d.kind != ControlKind::ComboBox && d.kind != ControlKind::RadioGroup) return nullptr;
  for (const ChoiceList& c : kChoices) {
    if (c.offset != d.imageOffset()) continue;
    if (value < 0 || value >= static_cast<int>(c.items.size())) return nullptr;
    return c.items[static_cast<std::size_t>(value)];
  }
  return nullptr;
}

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

static ParameterValue MakeValue(std::string text, std::string number, const char* item, std::string unit,
                std::string raw) {
  ParameterValue v;
  v.text = std::move(text);
  v.unit = std::move(unit);
  v.json = "\"value\":" + number;
  if (item != nullptr) v.json += ",\"item\":" + JsonString(item);
  v.json += ",\"unit\":" + JsonString(v.unit) + ",\"raw\":" + std::move(raw);
  return v;
}

ParameterValue ScalarValue(const ParameterImage& image, const ParameterDef& d) {
  const int v = ShownValue(image, d);
  const std::string raw = RawJson(image, d.imageOffset(), d.storage == Storage::Word ? 2 : 1);
  if (const char* item = ChoiceItem(d, v))
    return MakeValue(std::string(item) + " (" + std::to_string(v) + ")", std::to_string(v), item,
                     "", raw);
  const std::string unit = d.unit;
  if (unit.rfind("x0.1 ", 0) == 0) return MakeValue(Tenths(v), Tenths(v), nullptr, unit.substr(5), raw);
  return MakeValue(std::to_string(v), std::to_string(v), nullptr, unit, raw);
}

std::string MapUnit(const ParameterImage& image, const MapDef& m) {
  if (m.cellsByte != 485) return m.unit;
  return MapCellStep(image, m) == 1 ? "%" : "mV";
}

static ParameterValue PlainValue(int v, const std::string& unit, std::string raw) {
  return MakeValue(std::to_string(v), std::to_string(v), nullptr, unit, std::move(raw));
}

// The on/off grid of power output n: bit c of byte 663 + 3n + k.
static std::string GridName(int n, int k, int c) {
  return "output " + std::to_string(n + 1) + " on in throttle band " + std::to_string(k + 1) +
         ", rpm band " + std::to_string(c + 1);
}

int GridPage(int n) { return n < 3 ? kPagePowerOut1 : kPagePowerOut2; }

// Grid bits follow their output's second throttle threshold (bytes 656, 658, ...).
int GridAfter(const ParameterDef& d) {
  if (d.storage == Storage::Byte && d.index >= 656 && d.index <= 662 && d.index % 2 == 0)
    return (d.index - 656) / 2;
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
                     {d.imageOffset(), d.storage == Storage::Word ? 2 : 1, 0xFF}});
      const int n = GridAfter(d);
      if (n < 0) continue;
      for (int k = 0; k < 3; ++k)
        for (int c = 0; c < 4; ++c) {
          const int off = kPowerGridByte + 3 * n + k;
          out.push_back({GridPage(n), GridName(n, k, c),
                         PlainValue(image.byte(off) >> c & 1, "", RawJson(image, off, 1)),
                         {off, 1, static_cast<std::uint8_t>(1u << c)}});
        }
    }
    for (const MapDef& m : Maps()) {
      if (m.page != page) continue;
      for (int r = 0; r < kMapColumns; ++r)
        out.push_back({page, std::string(m.name) + " rpm point " + std::to_string(r + 1),
                       PlainValue(image.word(m.axisWord + r), "rpm",
                                  RawJson(image, 2 * (m.axisWord + r), 2)),
                       {2 * (m.axisWord + r), 2, 0xFF}});
      const int step = MapCellStep(image, m);
      const std::string unit = MapUnit(image, m);
      for (int t = 0; t < kMapRows; ++t)
        for (int r = 0; r < kMapColumns; ++r) {
          const int off = m.cellsByte + 15 * t + r;
          out.push_back({page,
                         std::string(m.name) + " cell " + std::to_string(kThrottleRows[t]) +
                             " % / " + std::to_string(names.word(m.axisWord + r)) + " rpm",
                         PlainValue(image.byte(off) * step, unit, RawJson(image, off, 1)),
                         {off, 1, 0xFF}});
        }
    }
  }
  return out;
}

}  // namespace rq
