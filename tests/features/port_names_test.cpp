// SPDX-License-Identifier: GPL-3.0-or-later
// Ports by name: what stands behind a device path, and the Com menu items that show it.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

#include "fake_window.h"
#include "ports/port_device.h"
#include "ports/port_names.h"

namespace rq::test {
namespace {

// A fake sysfs and by-id folder: ttyUSB7 under a USB device with maker and product and a
// latency timer of 1 ms, ttyACM3 known only by its by-id link.
struct FakeSystem {
  QTemporaryDir dir;
  PortSystem system;
  std::string dev;
  FakeSystem() {
    const std::string root = dir.path().toStdString();
    dev = root + "/dev";
    const std::string usb = root + "/sys/devices/usb1/1-2";
    QDir().mkpath(QString::fromStdString(usb + "/1-2:1.0/ttyUSB7"));
    QDir().mkpath(QString::fromStdString(root + "/sys/class/tty/ttyUSB7"));
    QDir().mkpath(QString::fromStdString(root + "/by-id"));
    QDir().mkpath(QString::fromStdString(dev));
    std::ofstream(usb + "/idVendor") << "0403\n";
    std::ofstream(usb + "/manufacturer") << "FTDI\n";
    std::ofstream(usb + "/product") << "FT232R USB UART\n";
    QFile::link(QString::fromStdString(usb + "/1-2:1.0/ttyUSB7"),
                QString::fromStdString(root + "/sys/class/tty/ttyUSB7/device"));
    std::ofstream(dev + "/ttyUSB7");
    std::ofstream(dev + "/ttyACM3");
    QFile::link(QString::fromStdString(dev + "/ttyACM3"),
                QString::fromStdString(root + "/by-id/usb-Acme_Ignition_Link_42-if00"));
    system.sysClassTty = root + "/sys/class/tty";
    system.byIdDir = root + "/by-id";
    system.usbSerialDevices = root + "/sys/bus/usb-serial/devices";
    setLatency("1");
  }
  std::string latencyFile() const { return system.usbSerialDevices + "/ttyUSB7/latency_timer"; }
  void setLatency(const char* ms) const {
    QDir().mkpath(QString::fromStdString(system.usbSerialDevices + "/ttyUSB7"));
    std::ofstream(latencyFile()) << ms << "\n";
  }
};

TEST(PortDevice, MakerAndProductFromSysfsOrTheByIdNameAndNothingForAMissingDevice) {
  FakeSystem fake;
  const PortDevice usb = DescribePortDevice(fake.dev + "/ttyUSB7", fake.system);
  EXPECT_TRUE(usb.present);
  EXPECT_EQ(usb.maker, "FTDI");
  EXPECT_EQ(usb.product, "FT232R USB UART");
  EXPECT_EQ(PortMenuSuffix(fake.dev + "/ttyUSB7", usb),
            "   " + fake.dev + "/ttyUSB7  FTDI FT232R USB UART");
  const PortDevice acm = DescribePortDevice(fake.dev + "/ttyACM3", fake.system);
  EXPECT_EQ(acm.product, "Acme Ignition Link 42");
  // Through a by-id link: the path as mapped, then the device it leads to.
  const std::string link = fake.system.byIdDir + "/usb-Acme_Ignition_Link_42-if00";
  EXPECT_EQ(PortMenuSuffix(link, DescribePortDevice(link, fake.system)),
            "   " + link + " -> " + fake.dev + "/ttyACM3  Acme Ignition Link 42");
  const PortDevice missing = DescribePortDevice(fake.dev + "/ttyUSB9", fake.system);
  EXPECT_FALSE(missing.present);
  EXPECT_EQ(PortMenuSuffix(fake.dev + "/ttyUSB9", missing), "");
}

// Each item that leads to a device shows its path after its caption, read when the menu
// opens; an item with nothing behind it keeps its caption.
TEST(PortNamesFeature, ComItemsShowTheDeviceAfterTheirCaption) {
  FakeSystem fake;
  FakeWindow w;
  w.workspace().setPortPathResolver([&](int n) {
    return n == 1 ? fake.dev + "/ttyUSB7" : fake.dev + "/ttyUSB9";
  });
  PortNames::ComMenu com;
  com.menu = new QMenu(&w);
  for (int i = 0; i < kComMenuItems; ++i)
    com.items[std::size_t(i)] = com.menu->addAction(QString("Com %1").arg(i + 1));
  auto* names = new PortNames(w.workspace(), w, com);
  names->system = fake.system;
  names->updateComMenu();
  EXPECT_EQ(com.items[0]->text(), "Com 1   " + QString::fromStdString(fake.dev) + "/ttyUSB7  FTDI FT232R USB UART");
  EXPECT_EQ(com.items[1]->text(), "Com 2");
  // Read afresh: once more gives the same texts, not the device twice.
  names->updateComMenu();
  EXPECT_EQ(com.items[0]->text(), "Com 1   " + QString::fromStdString(fake.dev) + "/ttyUSB7  FTDI FT232R USB UART");
  // An adapter holding replies longer than 1 ms says so, and how to lower it.
  fake.setLatency("16");
  names->updateComMenu();
  EXPECT_EQ(com.items[0]->text(),
            "Com 1   " + QString::fromStdString(fake.dev) +
                "/ttyUSB7  FTDI FT232R USB UART   latency timer 16 ms: replies come up to 16 ms "
                "late; lower it to 1 ms as root: echo 1 > " +
                QString::fromStdString(fake.latencyFile()));
  // A folder mapped as a port says what it is, in the window's language.
  w.workspace().setPortPathResolver([&](int n) { return n == 1 ? fake.dev : fake.dev + "/ttyUSB9"; });
  w.workspace().setLanguage(kLanguageGerman);
  names->updateComMenu();
  EXPECT_TRUE(com.items[0]->text().endsWith(QString::fromUtf8(": ein Ordner"))) << com.items[0]->text().toStdString();
}

}  // namespace
}  // namespace rq::test
