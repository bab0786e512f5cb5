#include "cli/offline.h"

#include <cstdio>
#include <iostream>
#include <sstream>

#include "model/defaults.h"
#include "model/parameter_table.h"

namespace rq {

namespace {

std::string Line(const char* page, const std::string& name, const std::string& value,
                 const char* unit) {
  std::string s = std::string(page) + "  " + name + "  " + value;
  if (unit[0] != '\0') s += std::string(" ") + unit;
  return s + "\n";
}

std::string GridName(int bit, int band) {
  return "on in throttle band " + std::to_string(band + 1) + ", rpm band " +
         std::to_string(bit + 1);
}

template <typename Fn>
void ForEachGridBit(Fn fn) {
  for (int n = 0; n < 4; ++n)
    for (int k = 0; k < 3; ++k)
      for (int c = 0; c < 4; ++c) fn(n, k, c, kPowerGridByte + 3 * n + k);
}

}  // namespace

std::string FormatConfiguration(const ParameterImage& image) {
  std::ostringstream out;
  int lastPage = -1;
  for (const ParameterDef& d : ScalarParameters()) {
    // Maps follow the Inputs page so the listing runs in page order.
    if (lastPage <= kPageInputs && d.page > kPageInputs) {
      for (const MapDef& m : Maps()) {
        const int step = MapCellStep(image, m);
        out << PageName(m.page) << "  " << m.name << " ("
            << (step == 1 && m.cellsByte == 485 ? "%" : m.unit) << ")\n";
        out << "   TPS % \\ rpm";
        for (int r = 0; r < kMapColumns; ++r) {
          char buf[16];
          std::snprintf(buf, sizeof buf, "%6u", static_cast<unsigned>(image.word(m.axisWord + r)));
          out << buf;
        }
        out << "\n";
        for (int t = 0; t < kMapRows; ++t) {
          char buf[24];
          std::snprintf(buf, sizeof buf, "   %10d ", kThrottleRows[t]);
          out << buf;
          for (int r = 0; r < kMapColumns; ++r) {
            std::snprintf(buf, sizeof buf, "%6d", image.byte(m.cellsByte + 15 * t + r) * step);
            out << buf;
          }
          out << "\n";
        }
      }
    }
    lastPage = d.page;
    out << Line(PageName(d.page), d.name, std::to_string(ShownValue(image, d)), d.unit);
    // Each output's on/off grid follows its second throttle threshold (bytes 656, 658, ...).
    if (d.storage == Storage::Byte && d.index >= 656 && d.index <= 662 && d.index % 2 == 0) {
      const int n = (d.index - 656) / 2;
      for (int k = 0; k < 3; ++k) {
        const int b = image.byte(kPowerGridByte + 3 * n + k);
        std::string bits;
        for (int c = 0; c < 4; ++c) bits += (b >> c & 1) ? " on " : " off";
        out << Line(PageName(d.page),
                    "output " + std::to_string(n + 1) + " throttle band " + std::to_string(k + 1) +
                        " rpm bands 1-4",
                    bits.substr(1), "");
      }
    }
  }
  return out.str();
}

std::string FormatDifferences(const ParameterImage& a, const ParameterImage& b) {
  std::ostringstream out;
  auto change = [](long x, long y) { return std::to_string(x) + " -> " + std::to_string(y); };
  for (const ParameterDef& d : ScalarParameters()) {
    const int x = ShownValue(a, d), y = ShownValue(b, d);
    if (x != y) out << Line(PageName(d.page), d.name, change(x, y), d.unit);
  }
  for (const MapDef& m : Maps()) {
    for (int r = 0; r < kMapColumns; ++r)
      if (a.word(m.axisWord + r) != b.word(m.axisWord + r))
        out << Line(PageName(m.page), std::string(m.name) + " rpm point " + std::to_string(r + 1),
                    change(a.word(m.axisWord + r), b.word(m.axisWord + r)), "rpm");
    const int sa = MapCellStep(a, m), sb = MapCellStep(b, m);
    for (int t = 0; t < kMapRows; ++t)
      for (int r = 0; r < kMapColumns; ++r) {
        const int off = m.cellsByte + 15 * t + r;
        if (a.byte(off) * sa != b.byte(off) * sb)
          out << Line(PageName(m.page),
                      std::string(m.name) + " cell " + std::to_string(kThrottleRows[t]) + " % / " +
                          std::to_string(a.word(m.axisWord + r)) + " rpm",
                      change(a.byte(off) * sa, b.byte(off) * sb), sa == 20 ? "mV" : m.unit);
      }
  }
  ForEachGridBit([&](int n, int k, int c, int off) {
    const int x = a.byte(off) >> c & 1, y = b.byte(off) >> c & 1;
    if (x != y)
      out << Line(PageName(n < 3 ? kPagePowerOut1 : kPagePowerOut2),
                  "output " + std::to_string(n + 1) + " " + GridName(c, k), change(x, y), "");
  });
  return out.str();
}

bool IsOfflineCommand(const std::string& command) {
  return command == "new" || command == "convert" || command == "show" || command == "diff";
}

int RunOfflineCommand(const std::string& command, const std::vector<std::string>& args) {
  auto fail = [](const std::string& message) {
    std::cerr << "rq_vtmx4_cli: " << message << "\n";
    return 2;
  };
  std::string error;
  if (command == "new") {
    if (args.size() != 2 || args[0] != "-o") return fail("usage: new -o OUT.ign");
    LoadedConfiguration config;
    config.image = NewConfiguration();
    if (!SaveConfigurationFile(args[1], config, error)) return fail(error);
    return 0;
  }
  if (command == "convert") {
    if (args.size() != 2) return fail("usage: convert IN OUT");
    LoadedConfiguration config;
    if (!LoadConfigurationFile(args[0], config, error)) return fail(error);
    if (!SaveConfigurationFile(args[1], config, error)) return fail(error);
    return 0;
  }
  if (command == "show") {
    if (args.size() != 1) return fail("usage: show IN");
    LoadedConfiguration config;
    if (!LoadConfigurationFile(args[0], config, error)) return fail(error);
    std::cout << FormatConfiguration(config.image);
    return 0;
  }
  if (command == "diff") {
    if (args.size() != 2) return fail("usage: diff A B");
    LoadedConfiguration a, b;
    if (!LoadConfigurationFile(args[0], a, error)) return fail(error);
    if (!LoadConfigurationFile(args[1], b, error)) return fail(error);
    const std::string d = FormatDifferences(a.image, b.image);
    std::cout << d;
    return d.empty() ? 0 : 1;
  }
  return fail("unknown command " + command);
}

}  // namespace rq
