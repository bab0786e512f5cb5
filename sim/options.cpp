// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

#include "model/config_file.h"
#include "model/defaults.h"
#include "model/parameter_table.h"
#include "sim/bike.h"

namespace rq::sim {

namespace {

bool ToInt(const std::string& s, long long& v) {
  if (s.empty()) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && p == s.data() + s.size();
}

bool ToDouble(const std::string& s, double& v) {
  if (s.empty()) return false;
  char* end = nullptr;
  v = std::strtod(s.c_str(), &end);
  return end == s.c_str() + s.size();
}

}  // namespace

bool ParseBuildDate(const std::string& text, Identity& id) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  char sep = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d", &y, &mo, &d, &sep, &h, &mi) == 6 &&
      (sep == ' ' || sep == 'T')) {
  } else {
    char mon[4] = {};
    if (std::sscanf(text.c_str(), "%3s %d %d %d:%d:%d", mon, &d, &y, &h, &mi, &s) < 5)
      return false;
    mo = 0;
    for (int m = 1; m <= 12; ++m) {
      static const char* const kNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
      if (std::string(mon) == kNames[m - 1]) mo = m;
    }
  }
  if (mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 || mi > 59 || y < 0)
    return false;
  id.day = d;
  id.month = mo;
  id.year = y % 100;
  id.hour = h;
  id.minute = mi;
  return true;
}

std::string UsageText() {
  return "Usage: rq_vtmx4_unit_sim [options]\n"
         "Stands in for the ignition unit on a pseudo-terminal. The first line printed is the\n"
         "path of the terminal to open; SIGTERM or SIGINT end the program, SIGUSR1 switches\n"
         "the replies off and on.\n"
         "\n"
         "Unit:\n"
         "  --image FILE         start with this configuration (.ign file or image state file)\n"
         "  --name ABC           firmware name, three characters\n"
         "  --unit-version N     firmware version 0..99\n"
         "  --build-date D       firmware build, \"YYYY-MM-DD HH:MM\" or \"Mmm DD YYYY HH:MM\"\n"
         "  --description TEXT   firmware description, up to 30 characters\n"
         "  --image-version N    image version reported (default 79)\n"
         "Engine:\n"
         "  --engine cycle|off   ride a repeating ride of about two and a half minutes\n"
         "                       (default) or stand still\n"
         "  --hold RPM[,TPS[,GEAR]]  hold engine speed, throttle percent and gear\n"
         "  --seed N             make the engine and the faults repeatable\n"
         "  --ab                 ride the A/B ride: pulls in gears 2 to 5 at 40, 60 and 100 %\n"
         "                       throttle, the second advance map switched on for every other\n"
         "                       pull, the engine's pull following the advance fired; an input\n"
         "                       is put on the second map and its acceleration switch-over off,\n"
         "                       and a configuration without a gear method takes the programmed\n"
         "                       ratios\n"
         "  --best-advance       print the engine's best advance at the rpm points of Advance 1\n"
         "                       and every throttle row, and end (for tests and benchmarks)\n"
         "  --ride-log OUT.csv   write the monitor log of the A/B ride at once, without waiting\n"
         "                       for real time, and end (--ab is implied; - is standard output)\n"
         "  --minutes M          the ride log's length in minutes (default 30)\n"
         "  --flat-advance       an engine whose torque does not depend on the advance\n"
         "  --other-engine       another engine: another best advance, torque falling faster\n"
         "                       on the advanced side than on the retarded side\n"
         "  --gear-method N      start with gear method N (0 none, 1 voltage, 2 programmed\n"
         "                       ratios, 3 learned ratios) instead of the configuration's\n"
         "Line:\n"
         "  --link PATH          make a symlink PATH to the terminal (removed at exit)\n"
         "  --pace               take the 57600-baud wire time for every byte\n"
         "  --delay MS           answer MS milliseconds late\n"
         "  --drop P             leave out a share P (0..1) of the replies\n"
         "  --drop-first         leave out the first reply to every distinct request\n"
         "  --corrupt P          send a share P of the replies with a wrong check byte\n"
         "  --garbage P          put random bytes in front of a share P of the replies\n"
         "  --silent             never answer\n"
         "  --help               this text\n"
         "  --version            print the program version and the build date, and end\n";
}

bool ParseOptions(const std::vector<std::string>& args, SimOptions& out, std::string& error) {
  auto value = [&](std::size_t& i, std::string& v) {
    if (i + 1 >= args.size()) {
      error = args[i] + " needs a value";
      return false;
    }
    v = args[++i];
    return true;
  };
  auto share = [&](const std::string& name, const std::string& v, double& dst) {
    double p = 0;
    if (!ToDouble(v, p) || p < 0 || p > 1) {
      error = name + " takes a share between 0 and 1, not \"" + v + "\"";
      return false;
    }
    dst = p;
    return true;
  };
  auto integer = [&](const std::string& name, const std::string& v, long long lo, long long hi,
                     long long& dst) {
    if (!ToInt(v, dst) || dst < lo || dst > hi) {
      error = name + " takes a number from " + std::to_string(lo) + " to " +
              std::to_string(hi) + ", not \"" + v + "\"";
      return false;
    }
    return true;
  };

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string v;
    long long n = 0;
    if (a == "--help" || a == "-h") {
      out.help = true;
    } else if (a == "--version") {
      out.version = true;
    } else if (a == "--image") {
      if (!value(i, out.imagePath)) return false;
    } else if (a == "--link") {
      if (!value(i, out.linkPath)) return false;
    } else if (a == "--name") {
      if (!value(i, v)) return false;
      if (v.size() != 3) {
        error = "--name takes exactly three characters";
        return false;
      }
      out.identity.name = v;
    } else if (a == "--unit-version") {
      if (!value(i, v) || !integer(a, v, 0, 99, n)) return false;
      out.identity.version = static_cast<int>(n);
    } else if (a == "--build-date") {
      if (!value(i, v)) return false;
      if (!ParseBuildDate(v, out.identity)) {
        error = "--build-date: cannot read \"" + v + "\"";
        return false;
      }
    } else if (a == "--description") {
      if (!value(i, v)) return false;
      if (v.size() > 30) {
        error = "--description holds at most 30 characters";
        return false;
      }
      out.identity.description = v;
    } else if (a == "--image-version") {
      if (!value(i, v) || !integer(a, v, 0, 255, n)) return false;
      out.identity.imageVersion = static_cast<int>(n);
    } else if (a == "--engine") {
      if (!value(i, v)) return false;
      if (v == "cycle") {
        out.engine = SimOptions::EngineMode::Cycle;
      } else if (v == "off") {
        out.engine = SimOptions::EngineMode::Off;
      } else {
        error = "--engine takes cycle or off";
        return false;
      }
    } else if (a == "--hold") {
      if (!value(i, v)) return false;
      int rpm = 0, tps = 0, gear = 0;
      int got = std::sscanf(v.c_str(), "%d,%d,%d", &rpm, &tps, &gear);
      if (got < 1 || rpm < 0 || rpm > 30000 || tps < 0 || tps > 100 || gear < 0 || gear > 6) {
        error = "--hold takes RPM[,THROTTLE%[,GEAR]]";
        return false;
      }
      out.engine = SimOptions::EngineMode::Hold;
      out.holdRpm = rpm;
      out.holdThrottlePercent = tps;
      out.holdGear = gear;
    } else if (a == "--ab") {
      out.abRide = true;
    } else if (a == "--best-advance") {
      out.bestAdvance = true;
    } else if (a == "--ride-log") {
      if (!value(i, v) || v.empty()) {
        error = "--ride-log needs a file";
        return false;
      }
      out.rideLog = v;
      out.abRide = true;
    } else if (a == "--minutes") {
      if (!value(i, v) || !integer(a, v, 1, 7 * 24 * 60, n)) return false;
      out.minutes = double(n);
    } else if (a == "--flat-advance") {
      out.advanceResponse = EngineKind::Flat;
    } else if (a == "--other-engine") {
      out.advanceResponse = EngineKind::Other;
    } else if (a == "--seed") {
      if (!value(i, v) || !integer(a, v, 0, (1ll << 62), n)) return false;
      out.seed = static_cast<std::uint64_t>(n);
    } else if (a == "--gear-method") {
      if (!value(i, v) || !integer(a, v, 0, 3, n)) return false;
      out.gearMethod = static_cast<int>(n);
    } else if (a == "--pace") {
      out.faults.pace = true;
    } else if (a == "--delay") {
      if (!value(i, v) || !integer(a, v, 0, 60000, n)) return false;
      out.faults.delayMs = static_cast<int>(n);
    } else if (a == "--drop") {
      if (!value(i, v) || !share(a, v, out.faults.drop)) return false;
    } else if (a == "--drop-first") {
      out.faults.dropFirst = true;
    } else if (a == "--corrupt") {
      if (!value(i, v) || !share(a, v, out.faults.corrupt)) return false;
    } else if (a == "--garbage") {
      if (!value(i, v) || !share(a, v, out.faults.garbage)) return false;
    } else if (a == "--silent") {
      out.faults.silent = true;
    } else {
      error = "unknown option \"" + a + "\" (see --help)";
      return false;
    }
  }
  return true;
}

bool LoadConfiguration(const std::string& path, ParameterImage& out, std::string& error) {
  if (path.empty()) {
    out = NewConfiguration();
    return true;
  }
  LoadedConfiguration loaded;
  if (!LoadConfigurationFile(path, loaded, error)) return false;
  out = loaded.image;
  return true;
}

bool StartConfiguration(const SimOptions& options, ParameterImage& out, std::string& error) {
  if (!LoadConfiguration(options.imagePath, out, error)) return false;
  if (options.gearMethod) out.setByte(kGearSystem, *options.gearMethod);
  // The A/B ride is compared gear by gear: a configuration that finds no gear takes it from
  // the programmed ratios.
  if (options.abRide && !options.gearMethod && out[kGearSystem] == 0) out.setByte(kGearSystem, 2);
  if (options.abRide) SetUpSecondMapSwitch(out);
  // The unit holds what the tool would have programmed into it: the gear system's hold on its
  // input included, so that what a read brings home verifies against the unit unchanged.
  ApplyGearCoupling(out);
  return true;
}

}  // namespace rq::sim
