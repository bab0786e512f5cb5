// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/online.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <thread>

#include "cli/offline.h"
#include "cli/output.h"
#include "link/device_exchange.h"
#include "link/monitor.h"
#include "link/serial_port.h"
#include "logs/monitor_csv.h"
#include "model/config_file.h"
#include "model/parameter_table.h"
#include "model/defaults.h"
#include "model/file_io.h"
#include "model/ign_file.h"
#include "model/settings_location.h"
#include "ui/text_table.h"

namespace rq {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kTick = std::chrono::milliseconds(55);
constexpr const char* kProgramName = "rq_vtmx4_cli";

volatile std::sig_atomic_t gStop = 0;
extern "C" void OnStopSignal(int) { gStop = 1; }

// Ends the tick loops cleanly (port closed, terminal settings restored) on Ctrl-C or kill.
class StopSignals {
 public:
  StopSignals() {
    gStop = 0;
    struct sigaction sa {};
    sa.sa_handler = OnStopSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, &oldInt_);
    sigaction(SIGTERM, &sa, &oldTerm_);
    sigaction(SIGHUP, &sa, &oldHup_);  // a closed terminal, too, must not leave the port raw
  }
  ~StopSignals() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
    sigaction(SIGHUP, &oldHup_, nullptr);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
  struct sigaction oldHup_ {};
};

std::string English(int id) { return MessageText(kLanguageEnglish, id); }

std::string VersionText(int received) {
  char detail[48];
  std::snprintf(detail, sizeof detail, "  PC-%d, IGN-%d", kImageVersion, received);
  return English(TxtVersionMismatch) + detail;
}

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
};

constexpr double kMonitorTimeoutS = 5.0;
constexpr double kOperationTimeoutS = 60.0;

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
      if (!ParseNumber(v, t)) {
        error = "--timeout needs a number of seconds, 0 or more (0 = no time limit)";
        return false;
      }
      o.timeoutS = t;
    } else if (a == "--json" && command == "info") {
      o.json = true;
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
// otherwise be opened as a file of that name in the current folder.
bool ResolvePort(const std::string& port, std::string& path) {
  path = port;
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
  return true;
}

bool LoadIgn(const std::string& path, ParameterImage& image, std::string& error) {
  LoadedConfiguration loaded;
  if (!LoadConfigurationFile(path, loaded, error)) return false;
  image = loaded.image;
  // The window sends what its pages show: the gear system's hold on inputs 2 and 3 included.
  ApplyGearCoupling(image);
  return true;
}

// Why an operation ended in its error, for the line on stderr after the status line.
std::string FailureReason(OpState started, OpState failed, const OperationReport& r) {
  const std::string block = "block " + std::to_string(std::max(r.failedBlock, 0));
  if (r.mismatches > 0 && r.mismatchBlock == r.failedBlock) {
    if (failed == OpState::Program)
      return "the unit answered but did not take " + block + " (its echo differed)";
    if (started == OpState::Read)
      return "the unit answered, but " + block + " changed while it was read";
    if (started == OpState::Program)
      return "the unit answered, but " + block + " differs from what was programmed";
    return "the unit answered: its configuration differs from the file (" + block + ")";
  }
  if (r.replies == 0 && r.bytes == 0)
    return "the unit stayed silent: no reply to " + std::to_string(DeviceExchange::kMaxSends) +
           " requests for " + block;
  if (r.replies == 0)
    return "no valid reply: " + std::to_string(r.bytes) +
           " bytes came back, none of them a whole reply (line noise or wrong speed?)";
  return "the unit stopped answering: no valid reply to " +
         std::to_string(DeviceExchange::kMaxSends) + " requests for " + block;
}

// One engine on one port, ticking every 55 ms on this thread.
class Session {
 public:
  explicit Session(std::string path) : path_(std::move(path)) {
    ExchangeHooks h;
    h.versionMismatch = [this](int v) { mismatch_ = v; };
    h.monitorAccepted = [this](const FrameBytes& f) {
      if (onMonitor) onMonitor(f);
    };
    ex_.setHooks(h);
    ex_.setPortPathResolver([this](int) { return path_; });
    ex_.portSettings().comPort = 0;  // a fixed port: the watchdog reopens the same device
  }

  // Opens the port; prints the reason and returns false when it cannot be opened.
  bool open() {
    ex_.OpenPort();
    if (!port_.isOpen()) {
      std::cerr << kProgramName << ": " << English(TxtComOpenError) << " ("
                << ex_.lastOpenError() << ")\n";
      return false;
    }
    return true;
  }

  // The whole command must end within seconds (0: no limit).
  void setTimeLimit(double seconds) {
    limitS_ = seconds;
    if (seconds > 0)
      deadline_ = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                     std::chrono::duration<double>(seconds));
  }
  bool timeUp() const { return deadline_ && Clock::now() >= *deadline_; }
  int timedOut(const std::string& what) {
    std::cerr << kProgramName << ": gave up after " << limitS_ << " s (--timeout) " << what
              << "\n";
    return 1;
  }
  // Status lines are not printed while quiet.
  void setQuiet(bool quiet) { quiet_ = quiet; }
  // Where status lines go (standard output unless that carries the result).
  void setStatusStream(std::ostream& out) { statusOut_ = &out; }

  // One tick, then sleep until the next tick is due.
  void tick() {
    ex_.tick();
    printStatus();
    next_ += kTick;
    const auto now = Clock::now();
    // Time-outs are counted in ticks: after a stall the next tick still waits a whole tick,
    // so a late reply is not given up on in a burst of back-to-back ticks.
    if (next_ < now) next_ = now + kTick;
    std::this_thread::sleep_until(next_);
  }

  // Runs the started operation to its end. Returns the exit code; on failure the status line
  // is followed by one line on stderr that says why.
  int runOperation() {
    const OpState op = ex_.state().op;
    printStatus();
    while (ex_.busy()) {
      if (gStop != 0) return interrupted();
      if (timeUp()) return timedOut("while the unit was still being read, verified or programmed");
      tick();
    }
    if (mismatch_) {
      std::cerr << kProgramName << ": " << VersionText(*mismatch_) << "\n";
      return 1;
    }
    const ExchangeView& v = ex_.view();
    if (v.statusError || v.statusSuffix != ": OK") {
      // The status line itself has been printed as it changed.
      if (quiet_) std::cerr << kProgramName << ": " << English(static_cast<int>(v.statusText)) << "\n";
      std::cerr << kProgramName << ": " << FailureReason(op, failedOp(op), ex_.report()) << "\n";
      return 1;
    }
    return 0;
  }

  // After programming the unit stores the image; wait while it reports a running save. A save
  // that is not seen to finish is a failure: the unit may not keep the new configuration.
  int waitForSave() {
    bool sawMonitor = false;
    onMonitor = [&](const FrameBytes&) { sawMonitor = true; };
    int rc = 0;
    for (;;) {
      if (gStop != 0) {
        rc = interrupted();
        break;
      }
      if (sawMonitor && ex_.state().savingCountdown == 0) break;
      if (!ex_.connected()) {  // "No Connection": 18 ticks without a reply
        std::cerr << kProgramName << ": No Connection: the unit stopped answering before it "
                  << "had finished saving; the new configuration may not be stored\n";
        rc = 1;
        break;
      }
      if (timeUp()) {
        rc = timedOut("while the unit was still saving; the new configuration may not be stored");
        break;
      }
      tick();
    }
    onMonitor = nullptr;
    return rc;
  }

  // Waits for one monitor reply; false when the link is lost first.
  std::optional<MonitorSnapshot> awaitMonitor() {
    std::optional<MonitorSnapshot> snap;
    onMonitor = [&](const FrameBytes& f) { snap = DecodeMonitor(f); };
    // The link counts as lost 18 silent ticks after the last reply, or after 18 ticks without
    // any when none has come yet.
    int silent = 0;
    while (!snap && gStop == 0 && !timeUp() && silent <= DeviceExchange::kSilenceLimit) {
      tick();
      silent = ex_.connected() ? 0 : silent + 1;
    }
    onMonitor = nullptr;
    return snap;
  }

  int interrupted() {
    std::cerr << kProgramName << ": interrupted\n";
    return 130;
  }

  DeviceExchange& exchange() { return ex_; }
  ParameterImage& image() { return image_; }
  std::optional<int> versionMismatch() const { return mismatch_; }
  std::function<void(const FrameBytes&)> onMonitor;

 private:
  // A read or a program that reached its automatic verify failed there.
  OpState failedOp(OpState started) const {
    const StatusText t = ex_.view().statusText;
    if (t == StatusText::VerifyError) return OpState::Verify;
    if (t == StatusText::ProgramError) return OpState::Program;
    return started;
  }

  void printStatus() {
    const ExchangeView& v = ex_.view();
    std::string text;
    if (v.statusText != StatusText::None) {
      text = English(static_cast<int>(v.statusText)) + v.statusSuffix;
      if (v.statusText == StatusText::Saving) text += " " + std::to_string(v.gaugeProgress) + " %";
    }
    if (text != lastStatus_ && !text.empty() && !quiet_) *statusOut_ << text << std::endl;
    lastStatus_ = text;
  }

  std::string path_;
  ParameterImage image_ = NewConfiguration();
  TermiosPort port_;
  DeviceExchange ex_{image_, port_};
  Clock::time_point next_ = Clock::now();
  std::optional<Clock::time_point> deadline_;
  double limitS_ = 0;
  bool quiet_ = false;
  std::ostream* statusOut_ = &std::cout;
  std::optional<int> mismatch_;
  std::string lastStatus_;
};

// ---- monitor log -----------------------------------------------------------------------

int RunMonitor(Session& session, const Options& o) {
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
  session.onMonitor = [&](const FrameBytes& f) {
    const auto s = DecodeMonitor(f);
    if (!s) return;
    lastReply = Clock::now();
    if (s->version != kImageVersion && !versionWarned) {
      std::cerr << kProgramName << ": " << VersionText(s->version) << "\n";
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
    out << logs::MonitorCsvRow(*s, logs::WallClock::now()) << '\n' << std::flush;
    if (!out) writeFailed = true;
    ++logged;
  };

  bool wasConnected = false;
  while (o.count < 0 || logged < o.count) {
    if (gStop != 0) break;
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

std::string JsonText(const std::string& s) {
  std::string out = "\"";
  for (char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20 || c >= 0x7F) {  // the unit's texts are bytes, not UTF-8
      char b[8];
      std::snprintf(b, sizeof b, "\\u%04x", c);
      out += b;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

void PrintInfo(const UnitInfo& u, bool json) {
  if (json) {
    std::cout << "{\"unit\":" << JsonText(u.shown) << ",\"name\":" << JsonText(u.name)
              << ",\"version\":" << u.version << ",\"description\":" << JsonText(u.description)
              << ",\"build_date\":" << JsonText(u.buildDate)
              << ",\"build_time\":" << JsonText(u.buildTime)
              << ",\"image_version\":" << u.imageVersion
              << ",\"program_count\":" << u.programCount << "}" << std::endl;
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
}

// Reads the unit's identification (a read: block 0 comes first; another image version stops
// it right there) and one monitor reply for the programming count.
int RunInfo(Session& session, const Options& o) {
  session.setQuiet(true);
  session.exchange().MenuReadClick();
  const int rc = session.runOperation();
  if (rc != 0 && !session.versionMismatch()) return rc;
  const auto snap = session.awaitMonitor();
  if (gStop != 0) return session.interrupted();
  if (!snap) {
    std::cerr << kProgramName << ": No Connection: no monitor reply for the programming count\n";
    return 1;
  }
  PrintInfo(Identify(session.image(), *snap), o.json);
  return 0;
}

// After a verify that found another configuration in the unit: read it quietly and list what
// differs, file -> unit, as diff does.
void ListVerifyDifferences(Session& session) {
  const ParameterImage file = session.image();
  session.setQuiet(true);
  session.exchange().MenuReadClick();
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
  std::string path;
  if (!ResolvePort(o.port, path)) {
    std::cerr << kProgramName << ": " << o.port << ": no such port (COM1 to COM21)\n";
    return 3;
  }

  Session session(path);
  if (o.output == kStandardOutput) session.setStatusStream(std::cerr);
  if (command == "verify" || command == "program") {
    if (!LoadIgn(o.input, session.image(), error)) {
      std::cerr << kProgramName << ": " << error << "\n";
      return 1;
    }
  }
  StopSignals signals;
  if (!session.open()) return 3;

  DeviceExchange& ex = session.exchange();
  if (command == "monitor") {
    const int rc = RunMonitor(session, o);
    return gStop != 0 && rc == 0 ? 0 : rc;
  }
  session.setTimeLimit(o.timeoutS.value_or(kOperationTimeoutS));
  if (command == "info") return RunInfo(session, o);
  if (command == "read") {
    ex.MenuReadClick();
  } else if (command == "verify") {
    ex.MenuVerifyClick();
  } else {
    ex.MenuProgramClick();
  }
  const int rc = session.runOperation();
  if (rc != 0) {
    const OperationReport& r = ex.report();
    if (command == "verify" && rc == 1 && r.mismatches > 0 && r.mismatchBlock == r.failedBlock &&
        gStop == 0)
      ListVerifyDifferences(session);
    return rc;
  }

  if (command == "program") {
    const int saved = session.waitForSave();
    if (saved != 0) return saved;
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
