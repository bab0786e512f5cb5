// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/port_device.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "ui/text_table.h"
#include "ui/unit_texts.h"

namespace rq {
namespace {

namespace fs = std::filesystem;

std::string FirstLine(const fs::path& p) {
  std::ifstream f(p);
  std::string line;
  std::getline(f, line);
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line;
}

// The USB device above a tty in sysfs: the first folder upwards that has an idVendor file.
void FromSysfs(const std::string& name, const PortSystem& system, PortDevice& out) {
  std::error_code ec;
  fs::path dir = fs::canonical(fs::path(system.sysClassTty) / name / "device", ec);
  if (ec) return;
  for (int up = 0; up < 6 && !dir.empty() && dir != dir.root_path(); ++up, dir = dir.parent_path()) {
    if (!fs::exists(dir / "idVendor", ec)) continue;
    out.maker = FirstLine(dir / "manufacturer");
    out.product = FirstLine(dir / "product");
    return;
  }
}

// "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0" -> "FTDI FT232R USB UART A1B2C3".
std::string ByIdName(std::string name) {
  if (name.rfind("usb-", 0) == 0) name = name.substr(4);
  const std::size_t iface = name.rfind("-if");
  if (iface != std::string::npos) name = name.substr(0, iface);
  for (char& c : name)
    if (c == '_') c = ' ';
  return name;
}

// A character device the system files under its tty class: yes, no, or not known there.
enum class Listed { Tty, Other, Unknown };

Listed TtyByDeviceNumber(dev_t device, const PortSystem& system) {
  const fs::path entry = fs::path(system.sysDevChar) /
                         (std::to_string(major(device)) + ":" + std::to_string(minor(device)));
  std::error_code ec;
  if (!fs::exists(entry, ec)) return Listed::Unknown;
  const fs::path subsystem = fs::canonical(entry / "subsystem", ec);
  return !ec && subsystem.filename() == "tty" ? Listed::Tty : Listed::Other;
}

// A terminal by its descriptor: opened without waiting and without becoming the controlling
// terminal, then closed at once. A port another program holds cannot be opened: taken as one.
bool OpensAsTerminal(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == EBUSY || errno == EACCES || errno == EPERM;
  const bool tty = ::isatty(fd) == 1;
  ::close(fd);
  return tty;
}

}  // namespace

PortDevice DescribePortDevice(const std::string& path, const PortSystem& system) {
  PortDevice d;
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return d;
  d.present = true;
  std::error_code ec;
  const fs::path real = fs::canonical(path, ec);
  d.resolved = ec ? path : real.string();
  if (S_ISDIR(st.st_mode)) {
    d.kind = PortKind::Folder;
    return d;
  }
  const std::string name = fs::path(d.resolved).filename().string();
  FromSysfs(name, system, d);
  const fs::path latency = fs::path(system.usbSerialDevices) / name / "latency_timer";
  const std::string ms = FirstLine(latency);
  if (!ms.empty() && ms.size() < 6 && ms.find_first_not_of("0123456789") == std::string::npos) {
    d.latencyTimerMs = std::stoi(ms);
    d.latencyTimerFile = latency.string();
  }
  bool byId = false;
  if (d.maker.empty() && d.product.empty()) {
    for (const fs::directory_entry& e : fs::directory_iterator(system.byIdDir, ec)) {
      std::error_code ec2;
      if (fs::canonical(e.path(), ec2) == fs::path(d.resolved) && !ec2) {
        d.product = ByIdName(e.path().filename().string());
        byId = true;
        break;
      }
    }
  }
  // What the system lists as a terminal is one (a FIFO or a socket of the same name is not);
  // a device it does not list is asked.
  std::error_code ttyError;
  const bool pipe = S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode);
  if (!pipe && (byId || fs::exists(fs::path(system.sysClassTty) / name, ttyError))) {
    d.kind = PortKind::Serial;
  } else if (S_ISCHR(st.st_mode)) {
    const Listed listed = TtyByDeviceNumber(st.st_rdev, system);
    const bool tty = listed == Listed::Tty || (listed == Listed::Unknown && OpensAsTerminal(path));
    d.kind = tty ? PortKind::Serial : PortKind::NotSerial;
  } else {
    d.kind = S_ISBLK(st.st_mode) ? PortKind::NotSerial : PortKind::NotDevice;
  }
  return d;
}

std::string LatencyTimerNote(const PortDevice& device, int language) {
  if (device.latencyTimerMs <= 1) return {};
  return FillPlaceholders(UnitTextOf(UtPortLatency, language).c_str(),
                          {std::to_string(device.latencyTimerMs), device.latencyTimerFile});
}

std::string PortMenuSuffix(const std::string& path, const PortDevice& device, int language) {
  if (!device.present) return {};
  if (device.kind != PortKind::Serial) {
    const UnitText what = device.kind == PortKind::Folder      ? UtPortFolder
                          : device.kind == PortKind::NotSerial ? UtPortNotSerial
                                                               : UtPortNotDevice;
    return "   " + FillPlaceholders(UnitTextOf(UtPortPathLine, language).c_str(),
                                    {path, UnitTextOf(what, language)});
  }
  std::string s = "   " + path;
  if (!device.resolved.empty() && device.resolved != path) s += " -> " + device.resolved;
  std::string who = device.maker;
  if (!device.product.empty()) who += (who.empty() ? "" : " ") + device.product;
  if (!who.empty()) s += "  " + who;
  const std::string late = LatencyTimerNote(device, language);
  if (!late.empty()) s += "   " + late;
  return s;
}

}  // namespace rq
