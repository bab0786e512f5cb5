// SPDX-License-Identifier: GPL-3.0-or-later
// What stands behind a port's device path: whether it exists, the device it leads to, and for
// USB adapters the maker and product as the system reports them (sysfs, or the name of its
// link in /dev/serial/by-id). Plain C++ and POSIX.
#pragma once

#include <string>

#include "link/serial_port.h"

namespace rq {

// Where the system keeps what it knows of serial devices; tests point these elsewhere.
struct PortSystem {
  std::string sysClassTty = "/sys/class/tty";
  std::string byIdDir = "/dev/serial/by-id";
};

struct PortDevice {
  bool present = false;  // the path leads to an existing file
  std::string resolved;  // the device it leads to, links followed ("/dev/ttyUSB0")
  std::string maker;     // "FTDI"; "" when unknown
  std::string product;   // "FT232R USB UART"; "" when unknown
};

PortDevice DescribePortDevice(const std::string& path, const PortSystem& system = {});

// What a Com menu item shows after its caption: "   /dev/ttyUSB0  FTDI FT232R USB UART", the
// path as mapped (and the device it leads to when that is another); "" for a missing device.
std::string PortMenuSuffix(const std::string& path, const PortDevice& device);

}  // namespace rq
