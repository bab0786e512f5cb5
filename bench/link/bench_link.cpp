// SPDX-License-Identifier: GPL-3.0-or-later
// rq_bench_link: how long Read and Program (each with its automatic verify) take against the
// unit simulator paced to the 57600-baud wire, with the real 55 ms tick, and how much CPU one
// tick of the exchange engine costs.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "bench/common/usage.h"
#include "link/device_exchange.h"
#include "link/serial_port.h"
#include "model/defaults.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kTick = std::chrono::milliseconds(55);
constexpr double kFloorSeconds = 22 * 152 / 5760.0;  // 11 requests and 11 replies on the wire

double ThreadCpuMicros() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

// The termios port, keeping apart the CPU time spent in the blocking send.
class MeasuredPort final : public rq::SerialPort {
 public:
  rq::OpenResult open(const std::string& path) override { return port.open(path); }
  void close() override { port.close(); }
  bool isOpen() const override { return port.isOpen(); }
  std::size_t bytesWaiting() override { return port.bytesWaiting(); }
  std::size_t read(std::uint8_t* b, std::size_t max) override { return port.read(b, max); }
  bool writeAll(std::span<const std::uint8_t> data) override {
    const double t0 = ThreadCpuMicros();
    bool ok = port.writeAll(data);
    sendCpu += ThreadCpuMicros() - t0;
    ++sends;
    return ok;
  }
  rq::TermiosPort port;
  double sendCpu = 0;
  int sends = 0;
};

struct Sim {
  pid_t pid = -1;
  std::string path;
  ~Sim() {
    if (pid > 0) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
  }
  bool start(const std::string& program) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, fds[1], 1);
    posix_spawn_file_actions_addclose(&fa, fds[0]);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    const char* argv[] = {program.c_str(), "--pace", "--seed", "1", nullptr};
    int rc = posix_spawn(&pid, program.c_str(), &fa, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&fa);
    close(fds[1]);
    if (rc != 0) {
      close(fds[0]);
      pid = -1;
      return false;
    }
    char c = 0;
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 5000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') path += c;
    close(fds[0]);
    return path.rfind("/dev/", 0) == 0;
  }
};

struct OpResult {
  int ticks = 0;
  double ms = 0;
  int sends = 0;
  bool ok = false;
};

class Bench {
 public:
  explicit Bench(const std::string& device) {
    ex_.setPortPathResolver([device](int) { return device; });
    ex_.portSettings().comPort = 0;
    ex_.OpenPort();
  }
  bool open() const { return port_.isOpen(); }
  const std::string& openError() const { return ex_.lastOpen().message; }

  // One tick on the 55 ms grid, recording its CPU time without the send.
  void tick() {
    const double send0 = port_.sendCpu;
    const double t0 = ThreadCpuMicros();
    ex_.tick();
    tickCpu_.push_back(ThreadCpuMicros() - t0 - (port_.sendCpu - send0));
    next_ += kTick;
    if (next_ < Clock::now()) next_ = Clock::now();
    std::this_thread::sleep_until(next_);
  }

  bool connect() {
    for (int i = 0; i < 100 && !ex_.connected(); ++i) tick();
    return ex_.connected();
  }

  template <typename Start>
  OpResult run(Start start) {
    OpResult r;
    const int sends0 = port_.sends;
    start(ex_);
    const auto t0 = Clock::now();
    while (ex_.busy() && r.ticks < 2000) {
      tick();
      ++r.ticks;
    }
    r.ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    r.sends = port_.sends - sends0;
    r.ok = ex_.lastEnd() && ex_.lastEnd()->outcome == rq::Outcome::Ok;
    // Let the unit finish saving before the next run.
    for (int i = 0; i < 60; ++i) tick();
    return r;
  }

  rq::ParameterImage& image() { return image_; }
  std::vector<double>& tickCpu() { return tickCpu_; }

 private:
  rq::ParameterImage image_ = rq::NewConfiguration();
  MeasuredPort port_;
  rq::DeviceExchange ex_{image_, port_};
  Clock::time_point next_ = Clock::now();
  std::vector<double> tickCpu_;
};

double Percentile(std::vector<double> v, double q) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  auto k = static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(k, v.size() - 1)];
}

void Print(const char* name, const OpResult& r) {
  std::printf("%-18s %4d ticks %7.0f ms  %4.2f x floor  %2d requests sent  %s\n", name, r.ticks,
              r.ms, r.ms / 1000.0 / kFloorSeconds, r.sends, r.ok ? "OK" : "FAILED");
}

}  // namespace

int main(int argc, char** argv) {
  if (rq::bench::AnswerHelp(
          argc, argv,
          "Usage: rq_bench_link [--sim PROGRAM] [--runs N]\n"
          "Read + verify and program + verify against the paced simulator on the real 55 ms\n"
          "tick, and the CPU time of one tick of the exchange engine.\n"))
    return 0;
  std::string simProgram = RQ_SIM_PROGRAM;
  int runs = 3;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--sim" && i + 1 < argc) {
      simProgram = argv[++i];
    } else if (a == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: rq_bench_link [--runs N] [--sim PATH]\n");
      return 2;
    }
  }
  Sim sim;
  if (!sim.start(simProgram)) {
    std::fprintf(stderr, "rq_bench_link: cannot start %s\n", simProgram.c_str());
    return 1;
  }
  Bench bench(sim.path);
  if (!bench.open()) {
    std::fprintf(stderr, "rq_bench_link: %s\n", bench.openError().c_str());
    return 1;
  }
  if (!bench.connect()) {
    std::fprintf(stderr, "rq_bench_link: the simulator does not answer\n");
    return 1;
  }
  std::printf("unit simulator paced to 57600 baud, 55 ms tick\n");
  std::printf("wire-time floor: 22 frames x 152 bytes = %.0f ms\n", kFloorSeconds * 1000);
  bench.tickCpu().clear();
  bool allOk = true;
  for (int run = 0; run < runs; ++run) {
    OpResult read = bench.run([](rq::DeviceExchange& ex) { ex.startRead(); });
    Print("read + verify", read);
    // Program something different from what was read each time.
    bench.image().setByte(rq::kTachoTestRpm, 50 + run);
    OpResult program = bench.run([](rq::DeviceExchange& ex) { ex.startProgramAfterChange(); });
    Print("program + verify", program);
    allOk = allOk && read.ok && program.ok;
  }
  const std::vector<double>& cpu = bench.tickCpu();
  std::printf("tick CPU time without the send: median %.1f us, 99th percentile %.1f us (%zu ticks)\n",
              Percentile(cpu, 0.5), Percentile(cpu, 0.99), cpu.size());
  return allOk ? 0 : 1;
}
