// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/monitor_view.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>

#include "protocol/frame.h"

namespace rq {

void PrintTo(Colour c, std::ostream* os) { *os << ColourName(c); }

namespace {

class MonitorViewTest : public ::testing::Test {
 protected:
  MonitorViewTest() {
    texts.ApplyMessageTable(kLanguageEnglish);
    frame[0] = kCmdMonitorReply;
    frame[150] = static_cast<std::uint8_t>(kImageVersion);
  }
  void setWord(int k, unsigned v) {
    setByte(2 * k, v & 0xFF);
    setByte(2 * k + 1, v >> 8);
  }
  void setByte(int offset, unsigned v) { frame[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(v); }
  LabelView label(const std::string& name, bool connected = true) {
    const MonitorView view = RenderMonitor(frame, image, connected, texts);
    EXPECT_NE(view.label(name), nullptr) << name;
    return view.label(name) ? *view.label(name) : LabelView{};
  }
  GaugeView gauge(const std::string& name) {
    const MonitorView view = RenderMonitor(frame, image, true, texts);
    EXPECT_NE(view.gauge(name), nullptr) << name;
    return view.gauge(name) ? *view.gauge(name) : GaugeView{};
  }

  FrameBytes frame{};
  ParameterImage image;
  TextTable texts;
};

TEST_F(MonitorViewTest, SupplyVoltageTextAndColour) {
  // The colour follows the raw millivolts, the text the truncated tenths.
  const struct { unsigned mv; const char* text; Colour colour; } cases[] = {
      {7000, "U =  7.0 V", Colour::Red},         {7001, "U =  7.0 V", Colour::Yellow},
      {11000, "U = 11.0 V", Colour::Yellow},     {11099, "U = 11.0 V", Colour::ButtonFace},
      {11100, "U = 11.1 V", Colour::ButtonFace}, {14999, "U = 14.9 V", Colour::Yellow},
      {17999, "U = 17.9 V", Colour::Red},
  };
  for (const auto& c : cases) {
    setWord(7, c.mv);
    EXPECT_EQ(label("LabelNapeti").text, c.text) << c.mv;
    EXPECT_EQ(label("LabelNapeti").colour, c.colour) << c.mv;
  }
}

TEST_F(MonitorViewTest, NumberFormats) {
  setWord(5, 999);
  setWord(10, 1023);
  setWord(12, 985);
  setWord(13, 9500);
  setByte(100, 85);
  EXPECT_EQ(label("LabelMonTpsPromile").text, "TP = 99 %");
  EXPECT_EQ(label("LabelMonPotencMv").text, "Potenciometer = 5000 mV");
  EXPECT_EQ(label("LabelMonPotKorAdv").text, "Advance = -1.5 °");
  EXPECT_EQ(label("LabelMonPotKorStartLimiter").text, "Start limiter = -500 rpm");
  EXPECT_EQ(label("LabelMonAdv1").text, "Advance 1 = -15 °");
  setWord(10, 512);
  setWord(12, 1025);
  setWord(24, 7);
  EXPECT_EQ(label("LabelMonPotencMv").text, "Potenciometer = 2502 mV");
  EXPECT_EQ(label("LabelMonPotKorAdv").text, "Advance =  2.5 °");
  EXPECT_EQ(label("LabelMonPomerRpmSpeedAuto6").text, " =  0.7");
}

TEST_F(MonitorViewTest, StateLabels) {
  setByte(113, 0);  // inputs report 0 while active
  setByte(107, 1);
  EXPECT_EQ(label("LabelMonInput1").text, "Input 1 = YES");
  EXPECT_EQ(label("LabelMonInput1").colour, Colour::Aqua);
  EXPECT_EQ(label("LabelMonSnimac1").colour, Colour::ButtonFace);
  EXPECT_EQ(label("LabelMonSnimac2").colour, Colour::Lime);
  setByte(113, 1);
  EXPECT_EQ(label("LabelMonInput1").text, "Input 1 = NO");
  EXPECT_EQ(label("LabelMonInput1").colour, Colour::ButtonFace);
  texts.ApplyMessageTable(kLanguageGerman);
  EXPECT_EQ(label("LabelMonSnimac1").text, "Geber(CKPS) 1 =  kein Signal");

  const struct { unsigned mode; const char* text; Colour colour; } outputs[] = {
      {0, "Special out = YES", Colour::White},       {1, "Fuel pump = YES", Colour::Teal},
      {2, "Gear shift light = YES", Colour::Fuchsia}, {4, "Special out = YES", Colour::Yellow},
      {9, "Special out = YES", Colour::White}};
  texts.ApplyMessageTable(kLanguageEnglish);
  setByte(123, 1);  // output 2 on
  for (const auto& c : outputs) {
    image.setByte(636, c.mode);
    EXPECT_EQ(label("LabelMonPOut2").text, c.text) << c.mode;
    EXPECT_EQ(label("LabelMonPOut2").colour, c.colour) << c.mode;
  }
}

TEST_F(MonitorViewTest, WarningColoursAndErrorLabels) {
  image.setByte(481, 1);  // servo enabled, reported faulty
  EXPECT_EQ(label("LabelMonServoMer").colour, Colour::Red);
  image.setByte(481, 0);
  EXPECT_EQ(label("LabelMonServoMer").colour, Colour::ButtonFace);

  setByte(121, 1);  // throttle sensor fault; maps do not depend on throttle
  EXPECT_EQ(label("LabelMonTpsMv").colour, Colour::Red);
  EXPECT_EQ(label("LabelMonTpsPromile").colour, Colour::ButtonFace);
  image.setByte(180, 1);
  EXPECT_EQ(label("LabelMonTpsPromile").colour, Colour::Red);

  EXPECT_FALSE(label("LabelVersion").visible);
  EXPECT_FALSE(label("LabelEeDataErr").visible);
  setByte(150, 80);
  setByte(127, 1);
  const LabelView version = label("LabelVersion");
  EXPECT_TRUE(version.visibleSet && version.visible);
  EXPECT_EQ(version.text, "Unmatched version of PC and Ignition programs!  PC-79, IGN-80");
  EXPECT_TRUE(label("LabelEeDataErr", false).visible);
}

TEST_F(MonitorViewTest, CombinedAdvanceAndPickupError) {
  image.setByte(147, 3);  // revolutions without ignition
  image.setByte(148, 2);  // lobes: 6 pulses expected
  setByte(102, 5);
  setByte(103, 5);
  setByte(100, 112);
  setByte(101, 120);
  image.setByte(149, 1);
  EXPECT_EQ(label("LabelMonAdv").text, "Advance = 12 [°]");
  image.setByte(149, 2);  // two outputs: the larger advance
  EXPECT_EQ(label("LabelMonAdv").text, "Advance = 20 [°]");
  setByte(128, 1);
  EXPECT_EQ(label("LabelMonAdv").text, "Base advance");

  setByte(103, 2);  // revolutions passed on channel 2 with too few pulses
  setByte(105, 7);
  for (bool connected : {true, false}) {
    EXPECT_EQ(label("LabelMonAdv", connected).text, "Pick up system error                    ");
    EXPECT_EQ(label("LabelMonAdv", connected).colour, Colour::Red);
  }
  setByte(105, 6);  // exactly the expected pulses
  EXPECT_EQ(label("LabelMonAdv").colour, Colour::ButtonFace);
}

TEST_F(MonitorViewTest, Gauges) {
  setWord(2, 9000);
  setWord(5, 999);
  EXPECT_EQ(gauge("CGaugeRpm").maximum, 150000);  // no hard limiter set
  EXPECT_EQ(gauge("CGaugeTps").progress, 999);
  image.setWord(3, 8000);
  EXPECT_EQ(gauge("CGaugeRpm").progress, 8000);  // beyond the limiter the bar stays full

  image.setByte(175, 30);
  setWord(15, 10000);
  setWord(11, 2999);
  EXPECT_EQ(gauge("CGaugeAkcel").maximum, 6000);
  EXPECT_EQ(gauge("CGaugeAkcel").bar, Colour::Lime);
  setWord(11, 3000);
  EXPECT_EQ(gauge("CGaugeAkcel").bar, Colour::Red);
  image.setByte(175, 0);
  EXPECT_EQ(gauge("CGaugeAkcel").maximum, 100);
  setWord(15, 10050);  // 20100 exactly still gives the small range
  EXPECT_EQ(gauge("CGaugeAkcel").maximum, 100);
  setWord(15, 10051);
  EXPECT_EQ(gauge("CGaugeAkcel").maximum, 102);
}

TEST_F(MonitorViewTest, DisconnectedShowsDashesButKeepsWarnings) {
  frame = FrameBytes{};  // the empty buffer of start-up
  EXPECT_EQ(label("LabelRpm", false).text, "RPM = ---");
  EXPECT_EQ(label("LabelNapeti", false).text, "U = --- V");
  EXPECT_EQ(label("LabelNapeti", false).colour, Colour::Red);  // 0 mV
  EXPECT_EQ(label("LabelMonAdv", false).text, "Advance = --- [°]");
  // Zero input bytes would read as active; without a unit they must not light up.
  EXPECT_EQ(label("LabelMonInput1", false).text, "Input 1 = ---");
  EXPECT_EQ(label("LabelMonInput1", false).colour, Colour::ButtonFace);
  EXPECT_TRUE(label("LabelVersion", false).visible);
}

TEST_F(MonitorViewTest, ShortBufferReadsAsZerosAndEveryControlOnce) {
  const std::uint8_t shortFrame[6] = {kCmdMonitorReply, 0, 0, 0, 0x10, 0x27};
  const MonitorView view = RenderMonitor(shortFrame, image, true, texts);
  EXPECT_EQ(view.label("LabelRpm")->text, "RPM = 10000");
  EXPECT_EQ(view.label("LabelGear")->text, "Gear = 0");
  std::set<std::string> names;
  for (const LabelView& l : view.labels) EXPECT_TRUE(names.insert(l.objectName).second) << l.objectName;
  EXPECT_EQ(view.labels.size(), 56u);
  EXPECT_EQ(view.gauges.size(), 3u);
}

}  // namespace
}  // namespace rq
