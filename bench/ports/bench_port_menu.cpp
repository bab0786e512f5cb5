// SPDX-License-Identifier: GPL-3.0-or-later
// What opening the Com menu costs: the 20 ports described and their menu texts made, as the
// window does each time the menu opens. The ports are the default mapping (USB, ACM and
// on-board serial ports, most of them missing on a bench machine) with a pseudo-terminal,
// /dev/null, a folder and a FIFO mapped in place of four of them.
// Run: rq_bench_port_menu [rounds].
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/common/usage.h"
#include "ports/port_device.h"

int main(int argc, char** argv) {
  if (rq::bench::AnswerHelp(
          argc, argv,
          "Usage: rq_bench_port_menu [ROUNDS]\n"
          "What opening the Com menu costs: the 20 ports described ROUNDS times (default 200).\n"))
    return 0;
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 200;
  char tmpl[] = "/tmp/rq_bench_ports_XXXXXX";
  if (mkdtemp(tmpl) == nullptr) return 1;
  const std::string dir = tmpl;
  const std::string fifo = dir + "/fifo";
  mkfifo(fifo.c_str(), 0600);
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return 1;
  const std::string pty = ptsname(master);

  std::vector<std::string> paths;
  for (int n = 1; n <= 20; ++n) paths.push_back(rq::ComPortPath(n));
  paths[1] = pty;
  paths[2] = "/dev/null";
  paths[3] = dir;
  paths[4] = fifo;

  std::vector<double> ms;
  std::size_t chars = 0;
  for (int r = 0; r < rounds; ++r) {
    const auto t0 = std::chrono::steady_clock::now();
    for (const std::string& p : paths)
      chars += rq::PortMenuSuffix(p, rq::DescribePortDevice(p)).size();
    ms.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf(
      "Com menu of 20 ports (%d rounds): median %.3f ms, 95th percentile %.3f ms, "
      "slowest %.3f ms (%zu characters)\n",
      rounds, ms[ms.size() / 2], ms[ms.size() * 95 / 100], ms.back(), chars);
  for (const std::string& p : paths) {
    const std::string suffix = rq::PortMenuSuffix(p, rq::DescribePortDevice(p));
    if (!suffix.empty()) std::printf("  %s\n", suffix.c_str());
  }
  close(master);
  std::filesystem::remove_all(dir);
  return 0;
}
