// SPDX-License-Identifier: GPL-3.0-or-later
// rq_vtmx4_unit_sim: the ignition unit on a pseudo-terminal.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "model/file_io.h"
#include "sim/options.h"
#include "sim/ride_log.h"
#include "sim/sim_link.h"
#include "sim/torque.h"
#include "sim/unit_model.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;
volatile std::sig_atomic_t g_toggleSilent = 0;

void OnStop(int) { g_stop = 1; }
void OnToggle(int) { g_toggleSilent = 1; }

void InstallSignals() {
  struct sigaction sa {};
  sa.sa_handler = OnStop;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
  sa.sa_handler = OnToggle;
  sigaction(SIGUSR1, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Opens the master side, raw and non-blocking, and sets the slave to raw 57600 8N1 so that
// whoever opens it sees a plain serial line.
int OpenPseudoTerminal(std::string& slavePath, std::string& error) {
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0) {
    error = std::string("posix_openpt: ") + std::strerror(errno);
    return -1;
  }
  if (grantpt(master) != 0 || unlockpt(master) != 0) {
    error = std::string("grantpt/unlockpt: ") + std::strerror(errno);
    close(master);
    return -1;
  }
  const char* name = ptsname(master);
  if (name == nullptr) {
    error = std::string("ptsname: ") + std::strerror(errno);
    close(master);
    return -1;
  }
  slavePath = name;
  int slave = open(name, O_RDWR | O_NOCTTY);
  if (slave >= 0) {
    termios t{};
    if (tcgetattr(slave, &t) == 0) {
      cfmakeraw(&t);
      cfsetispeed(&t, B57600);
      cfsetospeed(&t, B57600);
      t.c_cflag |= CLOCAL | CREAD;
      tcsetattr(slave, TCSANOW, &t);
    }
    close(slave);
  }
  termios m{};
  if (tcgetattr(master, &m) == 0) {
    cfmakeraw(&m);
    tcsetattr(master, TCSANOW, &m);
  }
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  fcntl(master, F_SETFD, FD_CLOEXEC);
  return master;
}

// Makes linkPath a symlink to target. An existing symlink is replaced; anything else there
// is left alone.
bool MakeLink(const std::string& linkPath, const std::string& target, std::string& error) {
  struct stat st {};
  if (lstat(linkPath.c_str(), &st) == 0) {
    if (!S_ISLNK(st.st_mode)) {
      error = linkPath + " exists and is not a symlink; not replacing it";
      return false;
    }
    unlink(linkPath.c_str());
  }
  if (symlink(target.c_str(), linkPath.c_str()) != 0) {
    error = "cannot create " + linkPath + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

void RemoveLink(const std::string& linkPath, const std::string& target) {
  std::vector<char> buf(4096);
  ssize_t n = readlink(linkPath.c_str(), buf.data(), buf.size() - 1);
  if (n > 0 && std::string(buf.data(), static_cast<std::size_t>(n)) == target)
    unlink(linkPath.c_str());
}

// Writes what the unit sends. Bytes the line cannot take (nobody holds the terminal) are
// lost, as on a real line.
void WriteOut(int fd, const std::vector<std::uint8_t>& bytes) {
  std::size_t sent = 0;
  int stalls = 0;
  while (sent < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + sent, bytes.size() - sent);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && ++stalls < 50) {
      pollfd p{fd, POLLOUT, 0};
      poll(&p, 1, 2);
      continue;
    }
    return;
  }
}

}  // namespace

int main(int argc, char** argv) {
  using namespace rq::sim;
  SimOptions opt;
  std::string error;
  if (!ParseOptions(std::vector<std::string>(argv + 1, argv + argc), opt, error)) {
    std::cerr << "rq_vtmx4_unit_sim: " << error << "\n";
    return 2;
  }
  if (opt.help) {
    std::cout << UsageText();
    return 0;
  }
  if (opt.version) {
    std::cout << "rq_vtmx4_unit_sim version " << rq::kImageVersion << ", built " << __DATE__
              << ' ' << __TIME__ << '\n';
    return 0;
  }
  rq::ParameterImage config;
  if (!StartConfiguration(opt, config, error)) {
    std::cerr << "rq_vtmx4_unit_sim: " << error << "\n";
    return 1;
  }
  if (opt.bestAdvance) {
    std::cout << BestAdvanceTable(config, rq::kPageAdvance1, opt.advanceResponse);
    return 0;
  }
  const std::uint64_t seed = opt.seed ? *opt.seed : std::random_device{}();
  if (!opt.rideLog.empty()) {
    // The A/B ride's log at once: the unit's monitor replies every third of a second.
    const std::string csv =
        RideCsv(AbRideSnapshots(config, AbRide{}, opt.minutes * 60, seed, 1.0 / 3, opt.advanceResponse));
    if (opt.rideLog == "-") {
      std::cout << csv;
      return std::cout.good() ? 0 : 1;
    }
    if (!rq::WriteFileAtomic(opt.rideLog, csv, error)) {
      std::cerr << "rq_vtmx4_unit_sim: " << error << "\n";
      return 1;
    }
    return 0;
  }

  UnitModel unit(config, opt.identity, seed);
  unit.engine().SetEngineKind(opt.advanceResponse);
  if (opt.abRide && opt.engine == SimOptions::EngineMode::Cycle) unit.engine().RideAb(AbRide{});
  if (opt.engine == SimOptions::EngineMode::Off) unit.engine().Stop();
  if (opt.engine == SimOptions::EngineMode::Hold)
    unit.engine().Hold(opt.holdRpm, opt.holdThrottlePercent * 10, opt.holdGear);
  SimLink link(unit, opt.faults, seed);

  InstallSignals();
  std::string slavePath;
  int master = OpenPseudoTerminal(slavePath, error);
  if (master < 0) {
    std::cerr << "rq_vtmx4_unit_sim: " << error << "\n";
    return 1;
  }
  if (!opt.linkPath.empty() && !MakeLink(opt.linkPath, slavePath, error)) {
    std::cerr << "rq_vtmx4_unit_sim: " << error << "\n";
    close(master);
    return 1;
  }
  std::cout << slavePath << std::endl;

  bool hungUp = true;  // nobody holds the terminal yet
  std::vector<std::uint8_t> buf(4096);
  while (!g_stop) {
    if (g_toggleSilent) {
      g_toggleSilent = 0;
      link.SetSilent(!link.silent());
      std::cerr << "rq_vtmx4_unit_sim: replies " << (link.silent() ? "off" : "on") << "\n";
    }
    double now = Now();
    int timeoutMs = 10;
    if (auto due = link.NextDue()) {
      double wait = (*due - now) * 1000.0;
      timeoutMs = wait <= 0 ? 0 : std::min(10, static_cast<int>(wait) + 1);
    }
    pollfd p{master, POLLIN, 0};
    int r = poll(&p, 1, timeoutMs);
    now = Now();
    bool hangup = false;
    if (r > 0) {
      if (p.revents & POLLIN) {
        ssize_t n = read(master, buf.data(), buf.size());
        if (n > 0) {
          hungUp = false;
          link.Receive(std::span<const std::uint8_t>(buf.data(), static_cast<std::size_t>(n)),
                       now);
        } else if (n < 0 && errno == EIO) {
          hangup = true;
        }
      } else if (p.revents & (POLLHUP | POLLERR)) {
        hangup = true;
      }
    }
    if (hangup) {
      // The PC side has closed the terminal: start clean for whoever opens it next, and do
      // not spin while nobody is there.
      if (!hungUp) link.Reset();
      hungUp = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::vector<std::uint8_t> out = link.Poll(Now());
    if (!out.empty() && !hungUp) WriteOut(master, out);
  }

  if (!opt.linkPath.empty()) RemoveLink(opt.linkPath, slavePath);
  close(master);
  LinkStats s = link.stats();
  std::cerr << "rq_vtmx4_unit_sim: " << s.requests << " requests, " << s.replies << " replies, "
            << s.dropped << " left out, " << s.corrupted << " corrupted, " << s.garbageBytes
            << " garbage bytes, " << s.discardedBytes << " bytes discarded\n";
  return 0;
}
