// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ini_file.h"
#include "model/settings_location.h"

#include <gtest/gtest.h>

namespace rq {
namespace {

TEST(IniFile, KeepsWhatItDoesNotOwnAndWritesKeysLiterally) {
  IniFile ini;
  ini.parse("; written by hand\r\n[BASIC]\r\nLeft=10\r\nUnknown=keep me\r\n\r\n[PORTS]\r\nCOM1=/dev/pts/7\r\n");
  ini.setInt("basic", "left", 25);
  ini.setInt("BASIC", "PageControl1->ActivePageIndex", 10);
  ini.setValue("Extra", "Key", "v");
  EXPECT_EQ(ini.text(),
            "; written by hand\n[BASIC]\nLeft=25\nUnknown=keep me\n"
            "PageControl1->ActivePageIndex=10\n\n[PORTS]\nCOM1=/dev/pts/7\n\n[Extra]\nKey=v\n");

  IniFile again;
  again.parse(ini.text());
  EXPECT_EQ(again.intValue("BASIC", "PageControl1->ActivePageIndex", -1), 10);
  EXPECT_EQ(again.stringValue("ports", "com1", ""), "/dev/pts/7");
  EXPECT_EQ(again.text(), ini.text());
}

TEST(IniFile, IntegersTakeLeadingDigitsOrFallBackToTheDefault) {
  IniFile ini;
  ini.parse("\xEF\xBB\xBF[BASIC]\nA= 42 \nB=x1\nC=\nD=-3\nE=7 ; note\nF=99999999999999999999\n");
  EXPECT_EQ(ini.intValue("BASIC", "A", 0), 42);
  EXPECT_EQ(ini.intValue("BASIC", "B", 5), 5);
  EXPECT_EQ(ini.intValue("BASIC", "C", 6), 6);
  EXPECT_EQ(ini.intValue("BASIC", "D", 0), -3);
  EXPECT_EQ(ini.intValue("BASIC", "E", 8), 7);
  EXPECT_EQ(ini.intValue("BASIC", "F", 8), 8);
  EXPECT_EQ(ini.intValue("BASIC", "Missing", 9), 9);
  EXPECT_EQ(ini.intValue("Nowhere", "A", 1), 1);
}

TEST(IniFile, ValuesStayOnOneLine) {
  IniFile ini;
  ini.setValue("BASIC", "File", "a\nb\r\nc");
  IniFile again;
  again.parse(ini.text());
  EXPECT_EQ(again.keys("BASIC").size(), 1u);
  EXPECT_EQ(again.stringValue("BASIC", "File", ""), "a b  c");
}

}  // namespace
}  // namespace rq

namespace rq {
namespace {

TEST(SettingsLocation, PortsSectionNamesAndPaths) {
  IniFile ini;
  ini.parse("[BASIC]\nCOM9=/not/ports\n[PORTS]\ncom1 =/dev/pts/3\nCOM2=\nCOM21=/dev/ttyUSB7\n");
  const auto ports = PortsSection(ini);
  ASSERT_EQ(ports.size(), 2u);
  EXPECT_EQ(ports.at("COM1"), "/dev/pts/3");
  EXPECT_EQ(ports.at("COM21"), "/dev/ttyUSB7");
}

}  // namespace
}  // namespace rq
