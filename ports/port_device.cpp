// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/port_device.h"

#include <filesystem>
#include <fstream>
#include <system_error>

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

}  // namespace

PortDevice DescribePortDevice(const std::string& path, const PortSystem& system) {
  PortDevice d;
  std::error_code ec;
  if (path.empty() || !fs::exists(path, ec)) return d;
  d.present = true;
  const fs::path real = fs::canonical(path, ec);
  d.resolved = ec ? path : real.string();
  const std::string name = fs::path(d.resolved).filename().string();
  FromSysfs(name, system, d);
  if (d.maker.empty() && d.product.empty()) {
    for (const fs::directory_entry& e : fs::directory_iterator(system.byIdDir, ec)) {
      std::error_code ec2;
      if (fs::canonical(e.path(), ec2) == fs::path(d.resolved) && !ec2) {
        d.product = ByIdName(e.path().filename().string());
        break;
      }
    }
  }
  return d;
}

std::string PortMenuSuffix(const std::string& path, const PortDevice& device) {
  if (!device.present) return {};
  std::string s = "   " + path;
  if (!device.resolved.empty() && device.resolved != path) s += " -> " + device.resolved;
  std::string who = device.maker;
  if (!device.product.empty()) who += (who.empty() ? "" : " ") + device.product;
  if (!who.empty()) s += "  " + who;
  return s;
}

}  // namespace rq
