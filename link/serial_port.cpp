// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_port.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace rq {

namespace {

OpenFailure FailureKind(int err) {
  if (err == ENOENT || err == ENODEV || err == ENXIO || err == ENOTDIR) return OpenFailure::Missing;
  if (err == EBUSY || err == EWOULDBLOCK) return OpenFailure::Busy;
  if (err == EACCES || err == EPERM) return OpenFailure::Permission;
  return OpenFailure::Other;
}

// Asks the driver to pass received bytes on at once. USB adapters otherwise hold them for a
// latency timer (16 ms on FTDI chips), and each reply of the unit comes that much later.
LowLatency AskLowLatency(int fd) {
  serial_struct s{};
  if (ioctl(fd, TIOCGSERIAL, &s) != 0) return LowLatency::Unsupported;
  if ((s.flags & ASYNC_LOW_LATENCY) != 0) return LowLatency::AlreadySet;
  s.flags |= ASYNC_LOW_LATENCY;
  if (ioctl(fd, TIOCSSERIAL, &s) != 0) return LowLatency::Refused;
  return LowLatency::Set;
}

void PutBackLowLatency(int fd) {
  serial_struct s{};
  if (ioctl(fd, TIOCGSERIAL, &s) != 0) return;
  s.flags &= ~ASYNC_LOW_LATENCY;
  ioctl(fd, TIOCSSERIAL, &s);
}

}  // namespace

TermiosPort::~TermiosPort() { close(); }

OpenResult TermiosPort::open(const std::string& path) {
  close();
  if (path.empty()) {
    return {OpenFailure::Missing, "no device path for this port"};
  }
  // Non-blocking for good: reads take only what waits, writes are bounded by poll, and the
  // open itself does not wait for a modem carrier.
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    return {FailureKind(err), std::strerror(err)};
  }
  if (!isatty(fd)) {
    ::close(fd);
    return {OpenFailure::Other, "not a serial device"};
  }
  // TIOCEXCL keeps other users out, but not root; the advisory lock keeps out every program
  // that asks for it, this one included, whoever runs it.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    ::close(fd);
    return {FailureKind(err), std::strerror(err)};
  }
  if (ioctl(fd, TIOCEXCL) != 0) {
    int err = errno;
    ::close(fd);
    return {FailureKind(err), std::strerror(err)};
  }
  termios found{};
  if (tcgetattr(fd, &found) != 0) {
    int err = errno;
    ioctl(fd, TIOCNXCL);
    ::close(fd);
    return {OpenFailure::Other, std::strerror(err)};
  }
  termios t = found;
  t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                      IXON | IXOFF | IXANY | INPCK);
  t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
  t.c_cflag |= CS8 | CREAD | CLOCAL;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 1;
  cfsetispeed(&t, B57600);
  cfsetospeed(&t, B57600);
  if (tcsetattr(fd, TCSANOW, &t) != 0) {
    int err = errno;
    ioctl(fd, TIOCNXCL);
    ::close(fd);
    return {OpenFailure::Other,
            std::string("its line settings cannot be set: ") + std::strerror(err)};
  }
  fd_ = fd;
  saved_ = found;
  haveSaved_ = true;
  lowLatency_ = AskLowLatency(fd);
  return {};
}

void TermiosPort::close() {
  if (fd_ < 0) return;
  if (haveSaved_) tcsetattr(fd_, TCSANOW, &saved_);
  if (lowLatency_ == LowLatency::Set) PutBackLowLatency(fd_);
  lowLatency_ = LowLatency::Unsupported;
  ioctl(fd_, TIOCNXCL);
  ::close(fd_);
  fd_ = -1;
  haveSaved_ = false;
}

std::size_t TermiosPort::bytesWaiting() {
  if (fd_ < 0) return 0;
  int n = 0;
  if (ioctl(fd_, FIONREAD, &n) != 0 || n < 0) return 0;
  return static_cast<std::size_t>(n);
}

std::size_t TermiosPort::waitForBytes(std::size_t count, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const std::size_t n = bytesWaiting();
    if (n >= count || fd_ < 0 || std::chrono::steady_clock::now() >= deadline) return n;
    // At 57600 baud a byte takes 0.17 ms; USB adapters hand bytes over in packets.
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

std::size_t TermiosPort::read(std::uint8_t* buffer, std::size_t max) {
  if (fd_ < 0 || buffer == nullptr) return 0;
  std::size_t got = 0;
  while (got < max) {
    ssize_t n = ::read(fd_, buffer + got, max - got);
    if (n > 0) {
      got += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    break;  // nothing more waits (EAGAIN), end of line or a line failure
  }
  return got;
}

bool TermiosPort::writeAll(std::span<const std::uint8_t> data) {
  if (fd_ < 0) return false;
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(writeTimeoutMs_);
  auto msLeft = [&]() {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(left.count() > 0 ? left.count() : 0);
  };

  std::size_t sent = 0;
  while (sent < data.size()) {
    ssize_t n = ::write(fd_, data.data() + sent, data.size() - sent);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;  // EIO after hang-up
    pollfd p{fd_, POLLOUT, 0};
    const int left = msLeft();
    const int r = left == 0 ? 0 : poll(&p, 1, left);
    if (r < 0 && errno == EINTR) continue;  // a signal is no reason to drop the frame
    if (r <= 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL))) {
      tcflush(fd_, TCOFLUSH);  // drop what a stuck line could not take
      return false;
    }
  }
  // Wait until the frame has left, but never longer than the deadline: a line that does not
  // drain (flow control, vanished adapter) must not freeze the caller.
  for (;;) {
    int queued = 0;
    if (ioctl(fd_, TIOCOUTQ, &queued) != 0) return false;
    if (queued <= 0) break;
    if (msLeft() == 0) {
      tcflush(fd_, TCOFLUSH);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  while (tcdrain(fd_) != 0)
    if (errno != EINTR) return false;
  return true;
}

std::string ComPortPath(int n, const std::map<std::string, std::string>& ports) {
  if (n < 1 || n > 21) return {};
  auto it = ports.find("COM" + std::to_string(n));
  if (it != ports.end() && !it->second.empty()) return it->second;
  if (n <= 4) return "/dev/ttyUSB" + std::to_string(n - 1);
  if (n <= 8) return "/dev/ttyACM" + std::to_string(n - 5);
  return "/dev/ttyS" + std::to_string(n - 9);
}

}  // namespace rq
