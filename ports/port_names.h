// SPDX-License-Identifier: GPL-3.0-or-later
// Ports by name in the window: each Com menu item that maps to a device shows its path and,
// for USB adapters, maker and product (read afresh whenever the menu opens, so an adapter
// plugged in while the window runs shows up); the automatic search says in the status bar
// which port it chose; "Com opening error!" gets a line with the port, its path and why.
#pragma once

#include <QObject>

#include <array>
#include <string>

#include "link/device_exchange.h"
#include "link/serial_port.h"
#include "ports/port_device.h"

class QAction;
class QMenu;

namespace rq {

class WindowFace;
class Workspace;

// "COM1 = /dev/ttyUSB0: no such device" in `language`; for other failures the system's reason.
std::string ComOpenErrorLine(const std::string& comName, const std::string& path,
                             const OpenResult& open, int language);

class PortNames : public QObject {
  Q_OBJECT

 public:
  // The Com menu and its items (item i stands for COM(i + 1), the last for the automatic
  // search), as the window built them.
  struct ComMenu {
    QMenu* menu = nullptr;
    std::array<QAction*, kComMenuItems> items{};
  };
  PortNames(Workspace& workspace, WindowFace& window, const ComMenu& com);

  // Writes the device behind every Com item into its text (after the caption it has).
  void updateComMenu();
  // After every tick and command: a connection found by the automatic search is announced.
  void exchangeViewChanged();

  PortSystem system;  // tests point it at a folder of their own

 private:
  Workspace& ws_;
  WindowFace& window_;
  ComMenu com_;
  int announced_ = -1;  // the COM number last announced
};

}  // namespace rq
