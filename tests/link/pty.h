// SPDX-License-Identifier: GPL-3.0-or-later
// A pseudo-terminal for the port tests: the slave side stands in for a serial device, the
// master side for the unit's end of the line.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace rq {

struct Pty {
  int master = -1;
  std::string slave;
  Pty() {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return;
    slave = ptsname(master);
  }
  ~Pty() {
    if (master >= 0) close(master);
  }
  // Reads exactly n bytes from the master side, waiting at most a second.
  std::vector<std::uint8_t> readMaster(std::size_t n) const {
    std::vector<std::uint8_t> out;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (out.size() < n && std::chrono::steady_clock::now() < end) {
      pollfd p{master, POLLIN, 0};
      if (poll(&p, 1, 50) <= 0) continue;
      std::uint8_t buf[512];
      ssize_t got = ::read(master, buf, std::min(sizeof buf, n - out.size()));
      if (got > 0) out.insert(out.end(), buf, buf + got);
    }
    return out;
  }
};

}  // namespace rq
