// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/offline.h"

#include <array>
#include <cstdio>
#include <iostream>
#include <sstream>

#include "cli/output.h"
#include "model/configuration_diff.h"
#include "model/configuration_text.h"
#include "model/defaults.h"
#include "model/parameter_table.h"

namespace rq {

namespace {


std::string Line(const std::string& page, const std::string& name, const std::string& value,
                 const std::string& unit) {
  std::string s = page + "  " + name + "  " + value;
  if (!unit.empty()) s += " " + unit;
  return s + "\n";
}

std::string MapGrid(const ParameterImage& image, const MapDef& m) {
  std::ostringstream out;
  const int step = MapCellStep(image, m);
  out << PageName(m.page) << "  " << m.name << " (" << MapUnit(image, m) << ")\n";
  out << "   TPS % \\ rpm";
  char buf[24];
  for (int r = 0; r < kMapColumns; ++r) {
    std::snprintf(buf, sizeof buf, "%6u", static_cast<unsigned>(image[m.axis[r]]));
    out << buf;
  }
  out << "\n";
  for (int t = 0; t < kMapRows; ++t) {
    std::snprintf(buf, sizeof buf, "   %10d ", kThrottleRows[t]);
    out << buf;
    for (int r = 0; r < kMapColumns; ++r) {
      std::snprintf(buf, sizeof buf, "%6d", image[m.cells.at(t, r)] * step);
      out << buf;
    }
    out << "\n";
  }
  return out.str();
}

}  // namespace

std::string FormatConfiguration(const ParameterImage& image) {
  std::ostringstream out;
  for (int page = 0; page < kPageCount; ++page) {
    for (const ParameterDef& d : ScalarParameters()) {
      if (d.page != page) continue;
      const ParameterValue v = ScalarValue(image, d);
      out << Line(PageName(page), d.name, v.text, v.unit);
      const int n = GridAfter(d);
      if (n < 0) continue;
      for (int k = 0; k < 3; ++k) {
        const int b = image[kPowerGrid.at(n, k)];
        std::string bits;
        for (int c = 0; c < 4; ++c) bits += (b >> c & 1) ? " on " : " off";
        out << Line(PageName(GridPage(n)),
                    "output " + std::to_string(n + 1) + " throttle band " + std::to_string(k + 1) +
                        " rpm bands 1-4",
                    bits.substr(1), "");
      }
    }
    for (const MapDef& m : Maps())
      if (m.page == page) out << MapGrid(image, m);
  }
  return out.str();
}

std::string FormatConfigurationJson(const ParameterImage& image) {
  std::string out = "[\n";
  bool first = true;
  for (const ParameterEntry& e : ConfigurationEntries(image, image)) {
    if (!first) out += ",\n";
    first = false;
    out += "{\"page\":" + JsonString(PageName(e.page)) + ",\"name\":" + JsonString(e.name) + "," +
           e.value.json + "}";
  }
  return out + "\n]\n";
}

std::string FormatDifferences(const ParameterImage& a, const ParameterImage& b,
                              const ImageByteSet* only) {
  return FormatConfigDifferences(CompareConfigurations(a, b, only));
}

std::string FormatDifferencesJson(const ParameterImage& a, const ParameterImage& b,
                                  const ImageByteSet* only) {
  std::string out = "[\n";
  bool first = true;
  const std::vector<ParameterEntry> ea = ConfigurationEntries(a, a), eb = ConfigurationEntries(b, a);
  for (std::size_t i = 0; i < ea.size() && i < eb.size(); ++i) {
    if (ea[i].value == eb[i].value || (only != nullptr && !SlotIn(ea[i].slot, *only))) continue;
    if (!first) out += ",\n";
    first = false;
    out += "{\"page\":" + JsonString(PageName(ea[i].page)) + ",\"name\":" +
           JsonString(ea[i].name) + ",\"a\":{" + ea[i].value.json + "},\"b\":{" +
           eb[i].value.json + "}}";
  }
  return first ? "[]\n" : out + "\n]\n";
}

bool IsOfflineCommand(const std::string& command) {
  return command == "new" || command == "convert" || command == "show" || command == "diff";
}

int RunOfflineCommand(const std::string& command, const std::vector<std::string>& args) {
  // Wrong usage exits 2; a file that cannot be read, understood or written exits 1.
  auto usage = [](const std::string& message) {
    std::cerr << "rq_vtmx4_cli: " << message << "\n";
    return kExitUsage;
  };
  auto fail = [](const std::string& message) {
    std::cerr << "rq_vtmx4_cli: " << message << "\n";
    return kExitFailure;
  };
  // --json may stand anywhere among the arguments of show and diff.
  bool json = false;
  std::vector<std::string> rest;
  for (const std::string& a : args) {
    if (a == "--json" && (command == "show" || command == "diff")) {
      json = true;
    } else if (a.size() > 1 && a[0] == '-' && a != "-o") {
      return usage("unknown option " + a + " for " + command);
    } else {
      rest.push_back(a);
    }
  }
  std::string error;
  if (command == "new") {
    if (rest.size() != 2 || rest[0] != "-o") return usage("usage: new -o OUT.ign");
    LoadedConfiguration config;
    config.image = NewConfiguration();
    if (!WriteConfigurationOutput(rest[1], config, error)) return fail(error);
    return 0;
  }
  if (command == "convert") {
    if (rest.size() != 2) return usage("usage: convert IN OUT");
    if (!CheckOutputPath(rest[1], error)) return fail(error);
    LoadedConfiguration config;
    if (!LoadConfigurationInput(rest[0], config, error)) return fail(error);
    if (!WriteConfigurationOutput(rest[1], config, error)) return fail(error);
    return 0;
  }
  if (command == "show") {
    if (rest.size() != 1) return usage("usage: show [--json] IN");
    LoadedConfiguration config;
    if (!LoadConfigurationInput(rest[0], config, error)) return fail(error);
    std::cout << (json ? FormatConfigurationJson(config.image) : FormatConfiguration(config.image));
    return 0;
  }
  if (command == "diff") {
    if (rest.size() != 2) return usage("usage: diff [--json] A B");
    LoadedConfiguration a, b;
    if (!LoadConfigurationInput(rest[0], a, error)) return fail(error);
    if (!LoadConfigurationInput(rest[1], b, error)) return fail(error);
    // Only what both files give is compared: a partial file leaves the rest open.
    const ImageByteSet both = a.given & b.given;
    const std::string d = FormatDifferences(a.image, b.image, &both);
    std::cout << (json ? FormatDifferencesJson(a.image, b.image, &both) : d);
    return d.empty() ? 0 : 1;
  }
  return usage("unknown command " + command);
}

}  // namespace rq
