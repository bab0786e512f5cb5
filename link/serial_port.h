// SPDX-License-Identifier: GPL-3.0-or-later
// The serial port that reaches the ignition unit: an abstract interface used by the exchange
// engine, the termios implementation for real devices and pseudo-terminals, and the mapping
// from the COMn numbers of the Com menu to device paths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>

#include <termios.h>

namespace rq {

// Why an open failed, for messages that tell the user what to do: no such device, in use by
// another program, permission denied, anything else.
enum class OpenFailure { None, Missing, Busy, Permission, Other };

// What an open came to: the port is held (kind None), or why not. The message is the system's
// reason without the path ("No such file or directory", "not a serial device"): whoever shows it
// names the port; PortOpenReason (ui/unit_texts.h) gives the reason in the user's language.
struct OpenResult {
  OpenFailure kind = OpenFailure::None;
  std::string message;  // empty when the port is open
  bool ok() const { return kind == OpenFailure::None; }
};

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Opens and configures the device. On failure holds no port and says why. Opening while a
  // port is held closes that one first.
  virtual OpenResult open(const std::string& path) = 0;
  // Releases the port (nothing happens when none is held).
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
  // Bytes waiting in the input queue; 0 when no port is held or the line has failed.
  virtual std::size_t bytesWaiting() = 0;
  // Reads what waits, at most max bytes, without waiting for more. Returns the count read.
  virtual std::size_t read(std::uint8_t* buffer, std::size_t max) = 0;
  // Waits at most timeoutMs until `count` bytes wait in the input queue; returns the bytes
  // waiting then. A port that cannot wait (a scripted one) answers at once.
  virtual std::size_t waitForBytes(std::size_t count, int timeoutMs) {
    (void)count;
    (void)timeoutMs;
    return bytesWaiting();
  }
  // Writes all bytes and waits until they have left the transmit buffer. Returns false when
  // no port is held or the bytes could not be sent within a bounded time.
  virtual bool writeAll(std::span<const std::uint8_t> data) = 0;
};

// What the driver said when asked for low latency (received bytes passed on at once rather
// than held for a latency timer, as USB adapters do).
enum class LowLatency : std::uint8_t {
  Unsupported,  // the driver has no such setting (a pseudo-terminal): nothing is said
  Set,          // set at open, put back at close
  AlreadySet,
  Refused,      // the driver has the setting but did not take it
};

// POSIX termios port: O_RDWR | O_NOCTTY, exclusive (TIOCEXCL, and an advisory flock that root
// cannot bypass), raw, 57600 baud 8N1, no flow control, VMIN 0 / VTIME 1, low latency where
// the driver has it. Closing puts back the terminal settings found at open. A write
// never blocks longer than writeTimeoutMs, even when the far end has stopped reading.
class TermiosPort final : public SerialPort {
 public:
  explicit TermiosPort(int writeTimeoutMs = 200) : writeTimeoutMs_(writeTimeoutMs) {}
  ~TermiosPort() override;
  TermiosPort(const TermiosPort&) = delete;
  TermiosPort& operator=(const TermiosPort&) = delete;

  OpenResult open(const std::string& path) override;
  void close() override;
  bool isOpen() const override { return fd_ >= 0; }
  std::size_t bytesWaiting() override;
  std::size_t read(std::uint8_t* buffer, std::size_t max) override;
  std::size_t waitForBytes(std::size_t count, int timeoutMs) override;
  bool writeAll(std::span<const std::uint8_t> data) override;

  int fd() const { return fd_; }
  LowLatency lowLatency() const { return lowLatency_; }

 private:
  int fd_ = -1;
  LowLatency lowLatency_ = LowLatency::Unsupported;
  int writeTimeoutMs_;
  termios saved_{};
  bool haveSaved_ = false;
};

// Device path of COMn (n = 1..21). Key "COMn" of the [PORTS] section wins when present;
// otherwise COM1-4 = /dev/ttyUSB0-3, COM5-8 = /dev/ttyACM0-3, COM9-21 = /dev/ttyS0-12.
// Numbers outside 1..21 give an empty path.
std::string ComPortPath(int n, const std::map<std::string, std::string>& ports = {});

}  // namespace rq
