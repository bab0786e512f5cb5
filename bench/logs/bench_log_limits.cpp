// SPDX-License-Identifier: GPL-3.0-or-later
// The log reader against hostile files: a file of 900 MB without a line break (sparse, so
// nothing is written to disk) is refused after its first megabyte; how long that takes and
// how much memory it takes. Then a cancelled load of an ordinary log: how soon it stops.
// Run on a release build: rq_bench_log_limits [megabytes] [folder].
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/common/usage.h"
#include "logs/log_table.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

// The most memory this process has held, in MB.
double PeakResidentMb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return double(u.ru_maxrss) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (rq::bench::AnswerHelp(
          argc, argv,
          "Usage: rq_bench_log_limits [MEGABYTES] [FOLDER]\n"
          "The log reader against a MEGABYTES file without a line break (default 900, sparse)\n"
          "made in FOLDER (default the temporary folder), and how soon a cancelled load stops.\n"))
    return 0;
  const long megabytes = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 900;
  const std::string folder = argc > 2 ? argv[2] : std::filesystem::temp_directory_path().string();

  // A file of one endless line: zero bytes read from a hole, written as nothing.
  const std::string flat = folder + "/rq_bench_no_line_break.csv";
  {
    const int fd = ::open(flat.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd < 0 || ::ftruncate(fd, off_t(megabytes) << 20) != 0) {
      std::printf("cannot make %s\n", flat.c_str());
      return 1;
    }
    ::close(fd);
  }
  const double peakBefore = PeakResidentMb();
  auto t0 = Clock::now();
  const rq::logs::LoadResult flatResult = rq::logs::LoadCsvFile(flat);
  auto t1 = Clock::now();
  std::printf(
      "%ld MB without a line break: refused in %.1f ms, peak resident memory +%.1f MB "
      "(\"%s\")\n",
      megabytes, Ms(t0, t1), PeakResidentMb() - peakBefore, flatResult.error.message.c_str());
  std::filesystem::remove(flat);

  // An ordinary log of about 60 MB, loaded whole, then stopped after its first piece.
  const std::string ride = folder + "/rq_bench_cancel.csv";
  {
    std::ofstream out(ride, std::ios::binary);
    out << "time,rpm,throttle_pct\n";
    for (int i = 0; i < 3'000'000; ++i)
      out << i / 3 << '.' << (i % 3) * 3 << ',' << 3000 + i % 9000 << ',' << i % 1000 / 10 << '\n';
  }
  rq::logs::LoadOptions options;
  int pieces = 0;
  options.progress = [&](std::uint64_t, std::uint64_t) { return ++pieces > 0; };
  t0 = Clock::now();
  const rq::logs::LoadResult whole = rq::logs::LoadCsvFile(ride, options);
  t1 = Clock::now();
  options.progress = [](std::uint64_t, std::uint64_t) { return false; };
  const rq::logs::LoadResult stopped = rq::logs::LoadCsvFile(ride, options);
  const auto t2 = Clock::now();
  std::printf(
      "%.0f MB log of %zu rows: whole load %.0f ms in %d pieces; cancelled after the "
      "first piece in %.1f ms (cancelled=%d)\n",
      double(std::filesystem::file_size(ride)) / (1 << 20), whole.ok() ? whole.table->rows() : 0,
      Ms(t0, t1), pieces, Ms(t1, t2), stopped.cancelled ? 1 : 0);
  std::filesystem::remove(ride);
  return 0;
}
