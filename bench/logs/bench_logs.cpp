// SPDX-License-Identifier: GPL-3.0-or-later
// Ride log figures: loading a million-row log of every channel (time and resident memory),
// the min/max summaries, the 10 x 15 cell count with the steady filter, and the recorder's
// cost per row. Run on a release build: rq_bench_logs [rows] [folder].
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/common/usage.h"
#include "logs/cell_count.h"
#include "logs/log_summary.h"
#include "logs/log_table.h"
#include "logs/recorder.h"
#include "model/defaults.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

// CPU time of this thread: the figure that counts on a shared, loaded machine.
double CpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// Resident memory of this process in MB.
double ResidentMb() {
  std::ifstream f("/proc/self/statm");
  long pages = 0, resident = 0;
  f >> pages >> resident;
  return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// A ride: rpm and throttle wander through the map, gears go up and down, map 2 now and then.
rq::MonitorSnapshot RideRow(std::size_t i) {
  rq::MonitorSnapshot s;
  const double t = double(i) / 3.0;
  s.rpm = static_cast<std::uint16_t>(5500 + 4500 * std::sin(t / 23.0) + 300 * std::sin(t * 1.7));
  s.throttle = static_cast<std::uint16_t>(500 + 499 * std::sin(t / 11.0));
  s.throttleMv = static_cast<std::uint16_t>(500 + s.throttle * 4);
  s.supplyMv = static_cast<std::uint16_t>(13500 + i % 300);
  s.servoMeasuredMv = s.servoDesiredMv = static_cast<std::uint16_t>(1000 + i % 3000);
  s.potCounts = static_cast<std::uint16_t>(i % 1024);
  s.acceleration = static_cast<std::uint16_t>(i % 4000);
  s.potAdvanceRaw = 1000;
  s.potStartLimiterRaw = s.potShiftLightRaw = s.potAccelThresholdRaw = 10000;
  s.speedKmh = static_cast<std::uint16_t>(s.rpm / 60);
  s.gearMv = static_cast<std::uint16_t>(800 * (1 + (i / 90) % 6));
  s.speedRatio = 90;
  s.advance1Raw = static_cast<std::uint8_t>(100 + 20 + i % 15);
  s.advance2Raw = 120;
  s.secondMap = (i / 3000) % 4 == 3 ? 1 : 0;
  s.gear = static_cast<std::uint8_t>(1 + (i / 90) % 6);
  s.servoOk = 1;
  s.version = 79;
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (rq::bench::AnswerHelp(
          argc, argv,
          "Usage: rq_bench_logs [ROWS] [FOLDER]\n"
          "A ROWS-row log (default 1000000) written in FOLDER (default the temporary folder):\n"
          "load time and memory, summaries, cell counts, the recorder's cost per row.\n"))
    return 0;
  const std::size_t rows = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1'000'000;
  const std::string folder = argc > 2 ? argv[2] : std::filesystem::temp_directory_path().string();
  const std::string path = folder + "/rq_bench_ride.csv";

  // The log file, written through the monitor CSV writer.
  {
    const auto t0 = Clock::now();
    std::ofstream out(path, std::ios::binary);
    out << rq::logs::MonitorCsvHeader() << '\n';
    const auto start = rq::logs::WallClock::now();
    for (std::size_t i = 0; i < rows; ++i)
      out << rq::logs::MonitorCsvRow(RideRow(i), start + std::chrono::milliseconds(330 * i)) << '\n';
    out.close();
    std::printf("written: %zu rows x %zu channels, %.0f MB, in %.0f ms\n", rows,
                rq::Channels().size(), double(std::filesystem::file_size(path)) / (1 << 20),
                Ms(t0, Clock::now()));
  }

  const double rssBefore = ResidentMb();
  const auto l0 = Clock::now();
  const double c0 = CpuMs();
  const rq::logs::LoadResult r = rq::logs::LoadCsvFile(path);
  const double c1 = CpuMs();
  const auto l1 = Clock::now();
  if (!r.ok()) {
    std::printf("load failed: %s\n", r.error.message.c_str());
    return 1;
  }
  const rq::logs::LogTable& log = *r.table;
  std::size_t raw = 0;
  for (const auto& c : log.columns()) raw += c.isRaw() ? 1 : 0;
  std::printf("load: %.0f ms (CPU %.0f ms) for %zu rows, %zu of %zu columns kept raw; store "
              "%.1f MB; resident +%.1f MB\n",
              Ms(l0, l1), c1 - c0, log.rows(), raw, log.columns().size(),
              double(log.memoryBytes()) / (1 << 20), ResidentMb() - rssBefore);

  const double s0 = CpuMs();
  std::vector<rq::logs::MinMaxSummary> summaries;
  for (const auto& c : log.columns()) summaries.push_back(rq::logs::BuildMinMaxSummary(c));
  const double s1 = CpuMs();
  std::printf("min/max summaries (64 rows a bin) of all %zu columns: CPU %.1f ms (%.2f ms a column)\n",
              summaries.size(), s1 - s0, (s1 - s0) / double(summaries.size()));

  std::string error;
  const double e0 = CpuMs();
  const auto in = rq::logs::ExtractCellInputs(log, error);
  const double e1 = CpuMs();
  if (!in) {
    std::printf("cells: %s\n", error.c_str());
    return 1;
  }
  const rq::LiveCellRule rule = rq::MakeLiveCellRule(rq::NewConfiguration(), rq::kPageAdvance1);
  rq::logs::CellFilter all, steady;
  steady.steadyOnly = true;
  std::vector<double> tAll, tSteady, wSteady;
  std::size_t check = 0;
  for (int k = 0; k < 15; ++k) {
    const double a = CpuMs();
    check += rq::logs::CountCells(*in, rule, all).counted;
    const double b = CpuMs();
    const auto w = Clock::now();
    check += rq::logs::CountCells(*in, rule, steady).counted;
    wSteady.push_back(Ms(w, Clock::now()));
    const double c = CpuMs();
    tAll.push_back(b - a);
    tSteady.push_back(c - b);
  }
  std::printf("cell inputs taken from the log: CPU %.1f ms\n", e1 - e0);
  std::printf("10 x 15 cell count over %zu rows: CPU median %.1f ms; with the steady filter: CPU "
              "median %.1f ms, wall median %.1f ms (checksum %zu)\n",
              in->rows(), Median(tAll), Median(tSteady), Median(wSteady), check);

  // The recorder: the cost of one row (format + write), as a window tick with a reply pays it.
  {
    const std::string recFolder = folder + "/rq_bench_rec";
    rq::logs::Recorder rec;
    if (!rec.start(recFolder)) {
      std::printf("recorder: %s\n", rec.error().c_str());
      return 1;
    }
    std::vector<double> per;
    for (std::size_t i = 0; i < 3000; ++i) {
      const rq::MonitorSnapshot s = RideRow(i);
      const double a = CpuMs();
      rec.append(s);
      per.push_back(CpuMs() - a);
    }
    rec.stop();
    std::sort(per.begin(), per.end());
    std::printf("recorder append (row formatted and handed to the system): CPU median %.4f ms, 99th "
                "percentile %.4f ms\n",
                per[per.size() / 2], per[per.size() * 99 / 100]);
    std::filesystem::remove_all(recFolder);
  }
  std::filesystem::remove(path);
  return 0;
}
