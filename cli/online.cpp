#include "cli/online.h"

#include <algorithm>
#include <cctype>
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

#include "link/device_exchange.h"
#include "link/monitor.h"
#include "link/serial_port.h"
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
  double timeoutS = 5.0;   // monitor: give up after this long without a valid reply, 0 = never
};

bool ParseNumber(const std::string& text, double& out) {
  char* end = nullptr;
  errno = 0;
  out = std::strtod(text.c_str(), &end);
  return !text.empty() && end != nullptr && *end == '\0' && errno == 0 && out >= 0;
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
    } else if (a == "--timeout" && command == "monitor") {
      if (!value(v)) return false;
      if (!ParseNumber(v, o.timeoutS)) {
        error = "--timeout needs a number of seconds (0 = wait for ever)";
        return false;
      }
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

// "COMn" (any case, n = 1..21) names a Com menu port; anything else is a device path.
std::string ResolvePort(const std::string& port) {
  if (port.size() > 3 && port.size() <= 5) {
    std::string head = port.substr(0, 3);
    for (char& c : head) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string digits = port.substr(3);
    const bool numeric = std::all_of(digits.begin(), digits.end(),
                                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
    if (head == "COM" && numeric) {
      const int n = std::atoi(digits.c_str());
      if (n >= 1 && n <= kComMenuItems) return ComPortPath(n, ReadSettingsPorts());
    }
  }
  return port;
}

bool LoadIgn(const std::string& path, ParameterImage& image, std::string& error) {
  LoadedConfiguration loaded;
  if (!LoadConfigurationFile(path, loaded, error)) return false;
  image = loaded.image;
  // The window sends what its pages show: the gear system's hold on inputs 2 and 3 included.
  ApplyGearCoupling(image);
  return true;
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

  // Runs the started operation to its end. Returns the exit code.
  int runOperation() {
    printStatus();
    for (int guard = 0; ex_.busy() && guard < 5000; ++guard) {
      if (gStop != 0) return interrupted();
      tick();
    }
    if (mismatch_) {
      std::cerr << kProgramName << ": " << VersionText(*mismatch_) << "\n";
      return 1;
    }
    const ExchangeView& v = ex_.view();
    if (ex_.busy() || v.statusError || v.statusSuffix != ": OK") {
      std::cerr << kProgramName << ": " << English(static_cast<int>(v.statusText)) << "\n";
      return 1;
    }
    return 0;
  }

  // After programming the unit stores the image; wait while it reports a running save.
  void waitForSave() {
    bool sawMonitor = false;
    onMonitor = [&](const FrameBytes&) { sawMonitor = true; };
    const auto limit = Clock::now() + std::chrono::seconds(30);
    int ticks = 0;
    while (gStop == 0 && Clock::now() < limit) {
      tick();
      ++ticks;
      if (sawMonitor && ex_.state().savingCountdown == 0) break;
      if (!sawMonitor && ticks > 2 * DeviceExchange::kSilenceLimit) break;  // no monitor replies
    }
    onMonitor = nullptr;
    if (ex_.state().savingCountdown > 0) {
      std::cerr << kProgramName << ": warning: the unit still reports a running save\n";
    }
  }

  int interrupted() {
    std::cerr << kProgramName << ": interrupted\n";
    return 130;
  }

  DeviceExchange& exchange() { return ex_; }
  ParameterImage& image() { return image_; }
  std::function<void(const FrameBytes&)> onMonitor;

 private:
  void printStatus() {
    const ExchangeView& v = ex_.view();
    std::string text;
    if (v.statusText != StatusText::None) {
      text = English(static_cast<int>(v.statusText)) + v.statusSuffix;
      if (v.statusText == StatusText::Saving) text += " " + std::to_string(v.gaugeProgress) + " %";
    }
    if (text != lastStatus_ && !text.empty()) std::cout << text << std::endl;
    lastStatus_ = text;
  }

  std::string path_;
  ParameterImage image_ = NewConfiguration();
  TermiosPort port_;
  DeviceExchange ex_{image_, port_};
  Clock::time_point next_ = Clock::now();
  std::optional<int> mismatch_;
  std::string lastStatus_;
};

// ---- monitor log -----------------------------------------------------------------------

std::string Timestamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[40];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &tm);
  char out[48];
  std::snprintf(out, sizeof out, "%s.%03d", buf, static_cast<int>(ms));
  return out;
}

std::string Tenths(int v) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%.1f", v / 10.0);
  return buf;
}

std::string Volts(int mv) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%.3f", mv / 1000.0);
  return buf;
}

std::string CsvHeader() {
  std::string h =
      "time,rpm,max_advance1_deg,max_advance2_deg,throttle_pct,throttle_sensor_v,supply_v,"
      "servo_measured_v,servo_desired_v,potentiometer_v,acceleration_rpm_s,"
      "pot_advance_corr_deg,pot_start_limiter_corr_rpm,pot_shift_light_corr_rpm,"
      "pot_accel_threshold_corr_rpm_s,speed_kmh,gear_sensor_v,rpm_speed_ratio";
  for (int g = 1; g <= 6; ++g) h += ",learned_ratio_gear" + std::to_string(g);
  h += ",program_count,saving_countdown";
  for (int i = 1; i <= 8; ++i) h += ",test" + std::to_string(i);
  h += ",advance1_deg,advance2_deg";
  for (int i = 1; i <= 4; ++i) h += ",pickup_check" + std::to_string(i);
  h += ",pickup1_signal,pickup2_signal,start_limiter_activated,start_soft_limiter,"
       "start_limiter,soft_limiter,limiter,input1_active,input2_active,input3_active,"
       "motor_off,clutch_master,retard,second_map,servo_ok,throttle_sensor_fault";
  for (int i = 1; i <= 4; ++i) h += ",power_out" + std::to_string(i);
  h += ",gear,programmed_data_error,base_advance,unit_image_version";
  return h;
}

std::string CsvLine(const MonitorSnapshot& s) {
  std::ostringstream o;
  auto flag = [](std::uint8_t b) { return b != 0 ? 1 : 0; };
  o << Timestamp() << ',' << s.rpm << ',' << s.maxAdvance1 << ',' << s.maxAdvance2 << ','
    << Tenths(s.throttle) << ',' << Volts(s.throttleMv) << ',' << Volts(s.supplyMv) << ','
    << Volts(s.servoMeasuredMv) << ',' << Volts(s.servoDesiredMv) << ','
    << Volts(s.potMv()) << ',' << s.acceleration << ',' << Tenths(s.potAdvanceTenths())
    << ',' << s.potStartLimiterRpm() << ',' << s.potShiftLightRpm() << ','
    << s.potAccelThreshold() << ',' << s.speedKmh << ',' << Volts(s.gearMv) << ','
    << Tenths(s.speedRatio);
  for (auto r : s.learnedRatio) o << ',' << Tenths(r);
  o << ',' << s.programCount << ',' << s.savingCountdown;
  for (auto t : s.test) o << ',' << t;
  o << ',' << s.advance1Deg() << ',' << s.advance2Deg();
  for (auto c : s.pickupCheck) o << ',' << static_cast<int>(c);
  o << ',' << flag(s.pickupSignal[0]) << ',' << flag(s.pickupSignal[1]) << ','
    << flag(s.startLimiterActivated) << ',' << flag(s.startSoftLimiter) << ','
    << flag(s.startHardLimiter) << ',' << flag(s.softLimiter) << ',' << flag(s.hardLimiter);
  for (auto in : s.input) o << ',' << (in == 0 ? 1 : 0);  // 0 on the line means active
  o << ',' << flag(s.motorOff) << ',' << flag(s.clutchMaster) << ',' << flag(s.retard) << ','
    << flag(s.secondMap) << ',' << flag(s.servoOk) << ',' << flag(s.throttleFault);
  for (auto p : s.powerOut) o << ',' << flag(p);
  o << ',' << static_cast<int>(s.gear) << ',' << flag(s.dataError) << ','
    << flag(s.baseAdvance) << ',' << static_cast<int>(s.version);
  return o.str();
}

int RunMonitor(Session& session, const Options& o) {
  // The log file is created with the first snapshot, so a unit that never answers leaves an
  // existing log as it was.
  std::ofstream file;
  std::ostream& out = o.output.empty() ? std::cout : file;
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
      if (!o.output.empty()) {
        file.open(o.output, std::ios::out | std::ios::trunc);
        if (!file) {
          openFailed = true;
          return;
        }
      }
      out << CsvHeader() << '\n';
      headerWritten = true;
    }
    out << CsvLine(*s) << '\n' << std::flush;  // every line reaches the file at once
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
      std::cerr << kProgramName << ": cannot write " << (o.output.empty() ? "output" : o.output)
                << "\n";
      return 1;
    }
    const bool connected = session.exchange().connected();
    if (wasConnected && !connected) std::cerr << kProgramName << ": No Connection\n";
    wasConnected = connected;
    if (o.timeoutS > 0 &&
        Clock::now() - lastReply > std::chrono::duration<double>(o.timeoutS)) {
      std::cerr << kProgramName << ": No Connection (no monitor reply for " << o.timeoutS
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

}  // namespace

bool IsOnlineCommand(const std::string& command) {
  return command == "read" || command == "verify" || command == "program" ||
         command == "monitor";
}

int RunOnlineCommand(const std::string& command, const std::vector<std::string>& args) {
  Options o;
  std::string error;
  if (!ParseOptions(command, args, o, error)) {
    std::cerr << kProgramName << ": " << error << "\n";
    return 2;
  }

  Session session(ResolvePort(o.port));
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
  if (command == "read") {
    ex.MenuReadClick();
  } else if (command == "verify") {
    ex.MenuVerifyClick();
  } else {
    ex.MenuProgramClick();
  }
  const int rc = session.runOperation();
  if (rc != 0) return rc;

  if (command == "program") {
    session.waitForSave();
    if (gStop != 0) return session.interrupted();  // programmed, but the save was not seen out
  }
  if (command == "read") {
    // The name decides the format, as for every other command: .ign or an image state file.
    LoadedConfiguration out;
    out.image = session.image();
    if (!SaveConfigurationFile(o.output, out, error)) {
      std::cerr << kProgramName << ": " << error << "\n";
      return 1;
    }
    std::cout << "written " << o.output << "\n";
  }
  return 0;
}

}  // namespace rq
