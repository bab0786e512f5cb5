// SPDX-License-Identifier: GPL-3.0-or-later
// What stands behind a port's device path: whether it exists and is a serial device at all,
// the device it leads to, and for USB adapters the maker and product as the system reports
// them (sysfs, or the name of its link in /dev/serial/by-id). Plain C++ and POSIX.
#pragma once

#include <string>

#include "link/serial_port.h"

namespace rq {

// Where the system keeps what it knows of serial devices; tests point these elsewhere.
struct PortSystem {
  std::string sysClassTty = "/sys/class/tty";
  std::string byIdDir = "/dev/serial/by-id";
  std::string sysDevChar = "/sys/dev/char";  // character devices by "major:minor"
  // USB-serial adapters whose driver holds received bytes for a latency timer (FTDI)
  std::string usbSerialDevices = "/sys/bus/usb-serial/devices";
};

// What a path is, for the Com menu.
enum class PortKind {
  Missing,    // nothing there
  Serial,     // a terminal device: a serial port, an adapter, a pseudo-terminal
  NotSerial,  // a device, but no terminal (/dev/null, a disk)
  Folder,
  NotDevice,  // a regular file, a FIFO, a socket
};

struct PortDevice {
  PortKind kind = PortKind::Missing;
  bool present = false;  // the path leads to an existing file
  std::string resolved;  // the device it leads to, links followed ("/dev/ttyUSB0")
  std::string maker;     // "FTDI"; "" when unknown
  std::string product;   // "FT232R USB UART"; "" when unknown
  // The adapter's latency timer in ms (how long it may hold received bytes), -1 when it has
  // none; latencyTimerFile is where the system shows it.
  int latencyTimerMs = -1;
  std::string latencyTimerFile;
};

// A path is a serial device when the system lists it as a terminal (its sysfs tty class, a
// /dev/serial/by-id link to it, the subsystem of its device number) or, for a character
// device the system does not list (a pseudo-terminal), when a non-blocking open of it is a
// terminal; the descriptor is closed again at once. Nothing else is ever opened, so a FIFO
// cannot block. Fast enough for the 20 ports of the Com menu whenever it opens.
PortDevice DescribePortDevice(const std::string& path, const PortSystem& system = {});

// An adapter that holds received bytes longer than 1 ms delays every reply of the unit: "latency
// timer 16 ms: replies come up to 16 ms late; ..." with how to lower it, in `language`; "" for
// a device without a latency timer or with 1 ms or less.
std::string LatencyTimerNote(const PortDevice& device, int language = 0);

// What a Com menu item shows after its caption: "   /dev/ttyUSB0  FTDI FT232R USB UART", the
// path as mapped (and the device it leads to when that is another); for a path that is no
// serial device what it is instead, in `language` ("   /dev/null: not a serial device",
// "   /tmp/x: a folder", "   /tmp/f: not a device"); "" for a missing device.
std::string PortMenuSuffix(const std::string& path, const PortDevice& device, int language = 0);

}  // namespace rq
