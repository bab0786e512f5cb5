// SPDX-License-Identifier: GPL-3.0-or-later
// What the Com menu says of a path mapped in [PORTS]: a serial device by its path, anything
// else by what it is, found without blocking and without keeping anything open.
#include "ports/port_device.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/link/pty.h"
#include "ui/text_table.h"

namespace rq {
namespace {

class PortPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/rq_ports_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string dir_;
};

TEST_F(PortPaths, OnlyASerialDeviceIsShownAsOneAndAnythingElseSaysWhatItIs) {
  Pty pty;
  ASSERT_FALSE(pty.slave.empty());
  // The FIFO bears the name of a terminal the system lists.
  const std::string fifo = dir_ + "/console", file = dir_ + "/file";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // no writer: an open for reading would wait
  std::ofstream(file) << "x";
  const struct {
    std::string path;
    PortKind kind;
    int language;
    std::string suffix;
  } cases[] = {
      {pty.slave, PortKind::Serial, kLanguageEnglish, "   " + pty.slave},
      {"/dev/null", PortKind::NotSerial, kLanguageEnglish, "   /dev/null: not a serial device"},
      {dir_, PortKind::Folder, kLanguageEnglish, "   " + dir_ + ": a folder"},
      {fifo, PortKind::NotDevice, kLanguageEnglish, "   " + fifo + ": not a device"},
      {file, PortKind::NotDevice, kLanguageGerman, "   " + file + ": kein Gerät"},
      {"/dev/null", PortKind::NotSerial, kLanguageFrench,
       "   /dev/null : pas un périphérique série"},
      {dir_ + "/none", PortKind::Missing, kLanguageEnglish, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const auto t0 = std::chrono::steady_clock::now();
    const PortDevice d = DescribePortDevice(c.path);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2)) << "it waited";
    EXPECT_EQ(d.kind, c.kind);
    EXPECT_EQ(d.present, c.kind != PortKind::Missing);
    EXPECT_EQ(PortMenuSuffix(c.path, d, c.language), c.suffix);
  }
}

// A port held by a program (exclusive, locked) is still a serial device, and looking at a
// port leaves nothing open: the holder's lock and the port's state are as they were.
TEST_F(PortPaths, APortHeldOrLookedAtStaysAsItWas) {
  Pty pty;
  ASSERT_FALSE(pty.slave.empty());
  const int before = ::open("/dev/null", O_RDONLY);
  ::close(before);
  EXPECT_EQ(DescribePortDevice(pty.slave).kind, PortKind::Serial);
  const int next = ::open("/dev/null", O_RDONLY);
  EXPECT_EQ(next, before) << "a descriptor was left open";
  ::close(next);

  TermiosPort holder;
  ASSERT_TRUE(holder.open(pty.slave).ok());
  EXPECT_EQ(DescribePortDevice(pty.slave).kind, PortKind::Serial);
  TermiosPort second;
  EXPECT_EQ(second.open(pty.slave).kind, OpenFailure::Busy);
}

}  // namespace
}  // namespace rq
