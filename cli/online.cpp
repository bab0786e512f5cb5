// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/online.h"

#include "cli/history.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>

#include "cli/limits_check.h"
#include "cli/offline.h"
#include "cli/output.h"
#include "cli/tick_session.h"
#include "link/device_exchange.h"
#include "link/serial_port.h"
#include "logs/monitor_csv.h"
#include "model/config_file.h"
#include "model/configuration_text.h"
#include "model/parameter_table.h"
#include "model/defaults.h"
#include "model/file_io.h"
#include "model/ign_file.h"
#include "model/settings_location.h"
#include "ports/port_device.h"
#include "ui/text_table.h"

namespace rq {

namespace {

struct Options {
  std::string port;
  std::string output;
  std::string input;
  long count = -1;         // monitor: snapshots to log, -1 = until stopped
  // Seconds: monitor gives up after this long without a reply (default 5); read, verify,
  // program and info give up when the whole command has taken this long (default 60). 0 means
  // no such limit.
  std::optional<double> timeoutS;
  bool json = false;       // info
  std::string limits;      // program: the ini file with [LIMITS]; empty: the settings file
  bool force = false;      // program: send a file that breaks a limit
};

constexpr double kMonitorTimeoutS = 5.0;
constexpr double kOperationTimeoutS = 60.0;
constexpr double kMaxTimeoutS = 365.0 * 24 * 3600;

bool ParseNumber(const std::string& text, double& out) {
  char* end = nullptr;
  errno = 0;
  out = std::strtod(text.c_str(), &end);
  return !text.empty() && end != nullptr && *end == '\0' && errno == 0 && std::isfinite(out) &&
         out >= 0;
}

// Parses the arguments of one command; returns false with a message on misuse.
bool ParseOptions(const std::string& command, const std::vector<std::string>& args,
                  Options& o, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--port" || a == "-p") {
      if (!value(o.port)) return false;
    } else if (a.rfind("--port=", 0) == 0) {
      o.port = a.substr(7);
    } else if ((a == "-o" || a == "--output") && (command == "read" || command == "monitor")) {
      if (!value(o.output)) return false;
    } else if (a == "--count" && command == "monitor") {
      double n = 0;
      if (!value(v)) return false;
      if (!ParseNumber(v, n) || n != static_cast<double>(static_cast<long>(n)) || n < 1) {
        error = "--count needs a whole number of at least 1";
        return false;
      }
      o.count = static_cast<long>(n);
    } else if (a == "--timeout") {
      double t = 0;
      if (!value(v)) return false;
      // Beyond a year the limit could not be held as a clock time; nobody waits that long.
      if (!ParseNumber(v, t) || t > kMaxTimeoutS) {
        error = "--timeout needs a number of seconds from 0 to 31536000 (0 = no time limit)";
        return false;
      }
      o.timeoutS = t;
    } else if (a == "--json" && command == "info") {
      o.json = true;
    } else if (a == "--limits" && command == "program") {
      if (!value(o.limits)) return false;
    } else if (a == "--force" && command == "program") {
      o.force = true;
    } else if (!a.empty() && a[0] == '-') {
      error = "unknown option " + a + " for " + command;
      return false;
    } else if ((command == "verify" || command == "program") && o.input.empty()) {
      o.input = a;
    } else {
      error = "unexpected argument " + a;
      return false;
    }
  }
  if (o.port.empty()) {
    error = command + " needs --port (a device path or COMn)";
    return false;
  }
  if (command == "read" && o.output.empty()) {
    error = "read needs -o OUT.ign";
    return false;
  }
  if ((command == "verify" || command == "program") && o.input.empty()) {
    error = command + " needs a configuration file";
    return false;
  }
  return true;
}

// "COMn" (any case) names a Com menu port, mapped through [PORTS] of the settings file;
// anything else is a device path. False for a COM name outside COM1..COM21, which would
// otherwise be opened as a file of that name in the current folder. comName is "COMn" for a
// Com name, "" for a path.
bool ResolvePort(const std::string& port, std::string& path, std::string& comName) {
  path = port;
  comName.clear();
  if (port.size() <= 3) return true;
  std::string head = port.substr(0, 3);
  for (char& c : head) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const std::string digits = port.substr(3);
  const bool numeric = std::all_of(digits.begin(), digits.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c));
  });
  if (head != "COM" || !numeric) return true;
  const int n = digits.size() <= 2 ? std::atoi(digits.c_str()) : 0;
  if (n < 1 || n > kComMenuItems) return false;
  path = ComPortPath(n, ReadSettingsPorts());
  comName = "COM" + std::to_string(n);
  return true;
}

bool LoadIgn(const std::string& path, ParameterImage& image, std::string& error) {
  LoadedConfiguration loaded;
  if (!LoadConfigurationInput(path, loaded, error)) return false;
  image = loaded.image;
  // The window sends what its pages show: the gear system's hold on inputs 2 and 3 included.
  ApplyGearCoupling(image);
  return true;
}

// ---- monitor log -----------------------------------------------------------------------

int RunMonitor(TickSession& session, const Options& o) {
  // The log file is created with the first snapshot, so a unit that never answers leaves an
  // existing log as it was.
  std::ofstream file;
  const bool toStdout = o.output.empty() || o.output == kStandardOutput;
  std::ostream& out = toStdout ? std::cout : file;
  const double timeoutS = o.timeoutS.value_or(kMonitorTimeoutS);
  bool headerWritten = false;
  bool openFailed = false;

  long logged = 0;
  bool writeFailed = false;
  bool versionWarned = false;
  auto lastReply = Clock::now();
  session.onMonitor = [&](const MonitorSnapshot& s) {
    lastReply = Clock::now();
    if (s.version != kImageVersion && !versionWarned) {
      std::cerr << kProgramName << ": " << VersionText(s.version) << "\n";
      versionWarned = true;
    }
    if (!headerWritten) {
      if (!toStdout) {
        std::string why;
        if (!CheckOutputPath(o.output, why)) {  // it may have changed since the start
          openFailed = true;
          return;
        }
        file.open(o.output, std::ios::out | std::ios::trunc);
        if (!file) {
          openFailed = true;
          return;
        }
      }
      out << MonitorCsvHeader() << '\n';
      headerWritten = true;
    }
    // Every line reaches the file at once.
    out << logs::MonitorCsvRow(s, logs::WallClock::now()) << '\n' << std::flush;
    if (!out) writeFailed = true;
    ++logged;
  };

  bool wasConnected = false;
  while (o.count < 0 || logged < o.count) {
    if (StopRequested()) break;
    session.tick();
    if (openFailed) {
      std::cerr << kProgramName << ": " << English(TxtOpenFileError) << " (" << o.output
                << ")\n";
      return 1;
    }
    if (writeFailed) {
      std::cerr << kProgramName << ": cannot write " << (toStdout ? "output" : o.output) << "\n";
      return 1;
    }
    const bool connected = session.exchange().connected();
    if (wasConnected && !connected) std::cerr << kProgramName << ": No Connection\n";
    wasConnected = connected;
    if (timeoutS > 0 && Clock::now() - lastReply > std::chrono::duration<double>(timeoutS)) {
      std::cerr << kProgramName << ": No Connection (no monitor reply for " << timeoutS
                << " s)\n";
      return 1;
    }
  }
  session.onMonitor = nullptr;
  if (file.is_open()) {
    file.close();
    if (!file) {
      std::cerr << kProgramName << ": cannot write " << o.output << "\n";
      return 1;
    }
  }
  return 0;
}



// ---- info --------------------------------------------------------------------------------

struct UnitInfo {
  std::string shown;        // as the window shows it: the description, or name and version
  std::string name;
  int version = 0;
  std::string description;
  std::string buildDate;    // YYYY-MM-DD
  std::string buildTime;    // HH:MM
  int imageVersion = 0;
  int programCount = 0;
};

UnitInfo Identify(const ParameterImage& image, const MonitorSnapshot& snap) {
  auto id = [&](int offset) { return image.byte(kIdentOffset + offset); };
  UnitInfo u;
  const IdentificationTexts t = DecodeIdentification(image);
  u.shown = t.nameVersion;
  for (int i = 0; i < 3 && id(i) != 0; ++i) u.name += static_cast<char>(id(i));
  u.version = id(3);
  for (int i = 16; i < 46 && id(i) != 0; ++i) u.description += static_cast<char>(id(i));
  int day = 0, month = 0, year = 0;
  std::sscanf(t.date.c_str(), "%d.%d.%d", &day, &month, &year);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", year, month, day);
  u.buildDate = buf;
  u.buildTime = t.time;
  u.imageVersion = id(kIdentVersionOffset);
  u.programCount = snap.programCount;
  return u;
}

// The port's adapter as the system shows it. RQ_VTMX4_SYSFS names another folder to look in
// instead of /sys (for tests).
PortDevice DescribePort(const std::string& path) {
  PortSystem system;
  if (const char* root = std::getenv("RQ_VTMX4_SYSFS"); root != nullptr && root[0] != '\0') {
    system.sysClassTty = std::string(root) + "/class/tty";
    system.sysDevChar = std::string(root) + "/dev/char";
    system.usbSerialDevices = std::string(root) + "/bus/usb-serial/devices";
  }
  return DescribePortDevice(path, system);
}

void PrintInfo(const UnitInfo& u, const PortDevice& port, bool json) {
  // An adapter that holds the unit's replies longer than 1 ms is named, with how to lower it.
  const std::string late = LatencyTimerNote(port);
  if (json) {
    std::cout << "{\"unit\":" << JsonString(u.shown) << ",\"name\":" << JsonString(u.name)
              << ",\"version\":" << u.version << ",\"description\":" << JsonString(u.description)
              << ",\"build_date\":" << JsonString(u.buildDate)
              << ",\"build_time\":" << JsonString(u.buildTime)
              << ",\"image_version\":" << u.imageVersion
              << ",\"program_count\":" << u.programCount;
    if (port.latencyTimerMs >= 0) std::cout << ",\"latency_timer_ms\":" << port.latencyTimerMs;
    if (!late.empty()) std::cout << ",\"latency_note\":" << JsonString(late);
    std::cout << "}" << std::endl;
    return;
  }
  std::cout << "unit            " << u.shown << "\n"
            << "name            " << u.name << "\n"
            << "version         " << u.version << "\n"
            << "description     " << u.description << "\n"
            << "build date      " << u.buildDate << "\n"
            << "build time      " << u.buildTime << "\n"
            << "image version   " << u.imageVersion << "\n"
            << "programmings    " << u.programCount << std::endl;
  if (!late.empty()) std::cout << late << std::endl;
}

// Reads the unit's identification (a read: block 0 comes first; another image version stops
// it right there) and one monitor reply for the programming count.
int RunInfo(TickSession& session, const std::string& path, const Options& o) {
  session.setQuiet(true);
  session.exchange().startRead();
  const int rc = session.runOperation();
  if (rc != 0 && !session.versionMismatch()) return rc;
  const auto snap = session.awaitMonitor();
  if (StopRequested()) return session.interrupted();
  if (!snap) {
    std::cerr << kProgramName << ": No Connection: no monitor reply for the programming count\n";
    return 1;
  }
  PrintInfo(Identify(session.image(), *snap), DescribePort(path), o.json);
  return 0;
}

// After a verify that found another configuration in the unit: read it quietly and list what
// differs, file -> unit, as diff does.
void ListVerifyDifferences(TickSession& session) {
  const ParameterImage file = session.image();
  session.setQuiet(true);
  session.exchange().startRead();
  if (session.runOperation() != 0) {
    std::cerr << kProgramName << ": the differences could not be listed: the unit could not be "
              << "read\n";
    return;
  }
  const std::string d = FormatDifferences(file, session.image());
  if (d.empty()) {
    std::cerr << kProgramName << ": no parameter differs; the difference lies in bytes no "
              << "parameter uses\n";
    return;
  }
  std::cerr << kProgramName << ": differences, file -> unit:\n";
  std::cout << d << std::flush;
}

}  // namespace

bool IsOnlineCommand(const std::string& command) {
  return command == "read" || command == "verify" || command == "program" ||
         command == "monitor" || command == "info";
}

int RunOnlineCommand(const std::string& command, const std::vector<std::string>& args) {
  Options o;
  std::string error;
  if (!ParseOptions(command, args, o, error)) {
    std::cerr << kProgramName << ": " << error << "\n";
    return 2;
  }
  // Nothing is asked of the unit when its result could not be written anyway.
  if (!o.output.empty() && !CheckOutputPath(o.output, error)) {
    std::cerr << kProgramName << ": " << error << "\n";
    return 1;
  }
  std::string path, comName;
  if (!ResolvePort(o.port, path, comName)) {
    std::cerr << kProgramName << ": " << o.port << ": no such port (COM1 to COM21)\n";
    return 3;
  }

  TickSession session(path, comName);
  if (o.output == kStandardOutput) session.setStatusStream(std::cerr);
  if (command == "verify" || command == "program") {
    if (!LoadIgn(o.input, session.image(), error)) {
      std::cerr << kProgramName << ": " << error << "\n";
      return 1;
    }
  }
  if (command == "program") {
    // The limits are checked on the configuration as it will be sent, before the port opens.
    ParameterImage sent = session.image();
    SanitizeImage(sent);
    if (const int rc = GuardProgramming(sent, o.input, o.limits, o.force); rc != 0) return rc;
  }
  StopSignals signals;
  if (!session.open()) return 3;

  DeviceExchange& ex = session.exchange();
  if (command == "monitor") {
    const int rc = RunMonitor(session, o);
    return StopRequested() && rc == 0 ? 0 : rc;
  }
  session.setTimeLimit(o.timeoutS.value_or(kOperationTimeoutS));
  if (command == "info") return RunInfo(session, path, o);
  if (command == "read") {
    ex.startRead();
  } else {
    // What is sent is the file's configuration as the window would send it: sanitised.
    SanitizeImage(session.image());
    if (command == "verify") ex.startVerify();
    if (command == "program") {
      session.holdStatus(English(static_cast<int>(StatusText::ProgramDevice)) + ": OK");
      ex.startProgram();
    }
  }
  const int rc = session.runOperation();
  if (rc != 0) {
    const OperationReport& r = ex.report();
    if (command == "verify" && rc == 1 && r.mismatches > 0 && r.mismatchBlock == r.failedBlock &&
        !StopRequested())
      ListVerifyDifferences(session);
    return rc;
  }

  if (command == "program") {
    const int saved = session.waitForSave();
    if (saved != 0) return saved;
    KeepCommandLineProgram(session.image(), o.input, ex.lastMonitor().programCount);
    session.releaseHeld();
  }
  if (command == "read") {
    // The name decides the format, as for every other command: .ign or an image state file.
    LoadedConfiguration out;
    out.image = session.image();
    if (!WriteConfigurationOutput(o.output, out, error)) {
      std::cerr << kProgramName << ": " << error << "\n";
      return 1;
    }
    if (o.output != kStandardOutput) std::cout << "written " << o.output << "\n";
  }
  return 0;
}

}  // namespace rq
