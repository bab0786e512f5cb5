#include "ui/monitor_view.h"

#include <gtest/gtest.h>

#include <clocale>
#include <ostream>
#include <set>
#include <string>

#include "link/frame.h"

namespace rq {

// Readable colour names in failure messages.
void PrintTo(Colour c, std::ostream* os) { *os << ColourName(c); }

namespace {

class MonitorViewTest : public ::testing::Test {
 protected:
  MonitorViewTest() {
    texts.ApplyMessageTable(kLanguageEnglish);
    frame[0] = kCmdMonitorReply;
    frame[150] = static_cast<std::uint8_t>(kImageVersion);
  }

  void setWord(int k, unsigned value) {
    frame[static_cast<std::size_t>(2 * k)] = static_cast<std::uint8_t>(value & 0xFF);
    frame[static_cast<std::size_t>(2 * k + 1)] = static_cast<std::uint8_t>(value >> 8);
  }
  void setByte(int offset, unsigned value) {
    frame[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(value);
  }

  MonitorView render(bool connected = true) { return RenderMonitor(frame, image, connected, texts); }

  LabelView label(const std::string& name, bool connected = true) {
    const MonitorView view = render(connected);
    const LabelView* l = view.label(name);
    EXPECT_NE(l, nullptr) << name;
    return l ? *l : LabelView{};
  }
  GaugeView gauge(const std::string& name) {
    const MonitorView view = render();
    const GaugeView* g = view.gauge(name);
    EXPECT_NE(g, nullptr) << name;
    return g ? *g : GaugeView{};
  }

  FrameBytes frame{};
  ParameterImage image;
  TextTable texts;
};

TEST_F(MonitorViewTest, SupplyVoltageTextAndWarningColours) {
  struct Case {
    unsigned mv;
    const char* text;
    Colour colour;
  };
  const Case cases[] = {
      {7000, "U =  7.0 V", Colour::Red},         {7001, "U =  7.0 V", Colour::Yellow},
      {11000, "U = 11.0 V", Colour::Yellow},     {11099, "U = 11.0 V", Colour::ButtonFace},
      {11100, "U = 11.1 V", Colour::ButtonFace}, {14998, "U = 14.9 V", Colour::ButtonFace},
      {14999, "U = 14.9 V", Colour::Yellow},     {17998, "U = 17.9 V", Colour::Yellow},
      {17999, "U = 17.9 V", Colour::Red},        {65535, "U = 65.5 V", Colour::Red},
  };
  for (const Case& c : cases) {
    setWord(7, c.mv);
    const LabelView l = label("LabelNapeti");
    EXPECT_EQ(l.text, c.text) << c.mv;
    EXPECT_EQ(l.colour, c.colour) << c.mv << " gave " << ColourName(l.colour);
  }
}

TEST_F(MonitorViewTest, DecimalPointDoesNotFollowTheProcessLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous ? previous : "C";
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "cs_CZ.UTF-8")) {
    GTEST_SKIP() << "no locale with a decimal comma installed";
  }
  setWord(7, 12300);
  const std::string text = label("LabelNapeti").text;
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(text, "U = 12.3 V");
}

TEST_F(MonitorViewTest, ThrottleLabelAndGauge) {
  setWord(5, 999);
  setWord(6, 4321);
  EXPECT_EQ(label("LabelMonTpsPromile").text, "TP = 99 %");
  EXPECT_EQ(label("LabelMonTpsMv").text, "TP = 4321 mV");
  const GaugeView g = gauge("CGaugeTps");
  EXPECT_EQ(g.maximum, 1000);
  EXPECT_EQ(g.progress, 999);
}

TEST_F(MonitorViewTest, ThrottleFaultColours) {
  setByte(121, 1);
  image.setByte(180, 0);
  EXPECT_EQ(label("LabelMonTpsMv").colour, Colour::Red);
  EXPECT_EQ(label("LabelMonTpsPromile").colour, Colour::ButtonFace);
  image.setByte(180, 1);
  EXPECT_EQ(label("LabelMonTpsPromile").colour, Colour::Red);
  setByte(121, 0);
  EXPECT_EQ(label("LabelMonTpsMv").colour, Colour::ButtonFace);
  EXPECT_EQ(label("LabelMonTpsPromile").colour, Colour::ButtonFace);
}

TEST_F(MonitorViewTest, SignedAndScaledValues) {
  setWord(12, 985);
  EXPECT_EQ(label("LabelMonPotKorAdv").text, "Advance = -1.5 °");
  setWord(12, 1025);
  EXPECT_EQ(label("LabelMonPotKorAdv").text, "Advance =  2.5 °");
  setWord(12, 1000);
  EXPECT_EQ(label("LabelMonPotKorAdv").text, "Advance =  0.0 °");

  setWord(10, 1023);
  EXPECT_EQ(label("LabelMonPotencMv").text, "Potenciometer = 5000 mV");
  setWord(10, 512);
  EXPECT_EQ(label("LabelMonPotencMv").text, "Potenciometer = 2502 mV");

  setWord(13, 9500);
  setWord(14, 10250);
  setWord(15, 0);
  EXPECT_EQ(label("LabelMonPotKorStartLimiter").text, "Start limiter = -500 rpm");
  EXPECT_EQ(label("LabelMonPotKorPilotLight").text, "Gear shift light = 250 rpm");
  EXPECT_EQ(label("LabelMonPotKorAcc").text, "Acceleration threshold = -10000 rpm/s");

  setByte(100, 85);
  setByte(101, 130);
  EXPECT_EQ(label("LabelMonAdv1").text, "Advance 1 = -15 °");
  EXPECT_EQ(label("LabelMonAdv2").text, "Advance 2 = 30 °");

  setWord(2, 65535);
  setWord(18, 123);
  setWord(19, 45);
  setWord(24, 7);
  setWord(25, 17);
  setWord(34, 4660);
  setByte(126, 6);
  EXPECT_EQ(label("LabelRpm").text, "RPM = 65535");
  EXPECT_EQ(label("LabelMonPomerRpmSpeed").text, "Rpm/Speed = = 12.3");
  EXPECT_EQ(label("LabelMonPomerRpmSpeedAuto1").text, "  =  4.5");
  EXPECT_EQ(label("LabelMonPomerRpmSpeedAuto6").text, " =  0.7");
  EXPECT_EQ(label("LabelPocetProgramovani").text, "Number of Programing=  = 17");
  EXPECT_EQ(label("LabelTest8").text, "Test8 = 4660");
  EXPECT_EQ(label("LabelGear").text, "Gear = 6");
}

TEST_F(MonitorViewTest, StateLabelsAndInvertedInputs) {
  setByte(113, 0);
  LabelView in1 = label("LabelMonInput1");
  EXPECT_EQ(in1.text, "Input 1 = YES");
  EXPECT_EQ(in1.colour, Colour::Aqua);
  setByte(113, 1);
  in1 = label("LabelMonInput1");
  EXPECT_EQ(in1.text, "Input 1 = NO");
  EXPECT_EQ(in1.colour, Colour::ButtonFace);

  setByte(106, 1);
  setByte(107, 0);
  EXPECT_EQ(label("LabelMonSnimac1").text, "Pick-up (CKPS) 1 = is running");
  EXPECT_EQ(label("LabelMonSnimac1").colour, Colour::Lime);
  EXPECT_EQ(label("LabelMonSnimac2").text, "Pick-up (CKPS) 2 = no signal");
  EXPECT_EQ(label("LabelMonSnimac2").colour, Colour::ButtonFace);

  setByte(110, 7);  // any non-zero value is on
  EXPECT_EQ(label("LabelMonStartHardLimiter").text, "Start limiter = YES");
  EXPECT_EQ(label("LabelMonStartHardLimiter").colour, Colour::Red);

  texts.ApplyMessageTable(kLanguageGerman);
  EXPECT_EQ(label("LabelMonSnimac2").text, "Geber(CKPS) 2 =  kein Signal");
  EXPECT_EQ(label("LabelMonInput1").text, "Eingang 1 = NEIN");
}

TEST_F(MonitorViewTest, PowerOutputsFollowTheirMode) {
  struct Case {
    unsigned mode;
    const char* prefix;
    Colour colour;
  };
  const Case cases[] = {{0, "Special out", Colour::White},      {1, "Fuel pump", Colour::Teal},
                        {2, "Gear shift light", Colour::Fuchsia}, {3, "Power jet", Colour::Lime},
                        {4, "Special out", Colour::Yellow},      {9, "Special out", Colour::White}};
  setByte(123, 1);  // output 2 switched on
  for (const Case& c : cases) {
    image.setByte(636, c.mode);
    const LabelView l = label("LabelMonPOut2");
    EXPECT_EQ(l.text, std::string(c.prefix) + " = YES") << c.mode;
    EXPECT_EQ(l.colour, c.colour) << c.mode;
  }
  image.setByte(638, 1);
  const LabelView off = label("LabelMonPOut4");
  EXPECT_EQ(off.text, "Fuel pump = NO");
  EXPECT_EQ(off.colour, Colour::ButtonFace);
}

TEST_F(MonitorViewTest, VersionLabel) {
  LabelView v = label("LabelVersion");
  EXPECT_TRUE(v.visibleSet);
  EXPECT_FALSE(v.visible);
  EXPECT_FALSE(v.textSet);
  setByte(150, 80);
  v = label("LabelVersion");
  EXPECT_TRUE(v.visibleSet);
  EXPECT_TRUE(v.visible);
  EXPECT_TRUE(v.textSet);
  EXPECT_EQ(v.text, "Unmatched version of PC and Ignition programs!  PC-79, IGN-80");
}

TEST_F(MonitorViewTest, DataErrorLabelVisibility) {
  LabelView l = label("LabelEeDataErr");
  EXPECT_TRUE(l.visibleSet);
  EXPECT_FALSE(l.visible);
  EXPECT_FALSE(l.textSet);
  setByte(127, 1);
  EXPECT_TRUE(label("LabelEeDataErr").visible);
  EXPECT_TRUE(label("LabelEeDataErr", false).visible);
}

TEST_F(MonitorViewTest, ServoColourOnlyWhileEnabled) {
  setByte(120, 0);
  image.setByte(481, 0);
  EXPECT_EQ(label("LabelMonServoMer").colour, Colour::ButtonFace);
  image.setByte(481, 1);
  EXPECT_EQ(label("LabelMonServoMer").colour, Colour::Red);
  setByte(120, 1);
  EXPECT_EQ(label("LabelMonServoMer").colour, Colour::ButtonFace);
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
  image.setByte(149, 2);  // two outputs: the larger advance is shown
  EXPECT_EQ(label("LabelMonAdv").text, "Advance = 20 [°]");
  EXPECT_EQ(label("LabelMonAdv").colour, Colour::ButtonFace);

  setByte(128, 1);
  EXPECT_EQ(label("LabelMonAdv").text, "Base advance");

  // Revolutions passed on channel 2 but too few pulses: error, even while disconnected.
  setByte(103, 2);
  setByte(105, 7);
  for (bool connected : {true, false}) {
    const LabelView l = label("LabelMonAdv", connected);
    EXPECT_EQ(l.text, "Pick up system error                    ");
    EXPECT_EQ(l.colour, Colour::Red);
  }
  setByte(105, 6);  // exactly the expected pulses
  EXPECT_EQ(label("LabelMonAdv").text, "Base advance");
  setByte(102, 2);
  setByte(104, 7);
  EXPECT_EQ(label("LabelMonAdv").colour, Colour::Red);
}

TEST_F(MonitorViewTest, EngineSpeedGauge) {
  setWord(2, 9000);
  image.setWord(3, 0);
  EXPECT_EQ(gauge("CGaugeRpm").maximum, 150000);
  EXPECT_EQ(gauge("CGaugeRpm").progress, 9000);
  image.setWord(3, 8000);
  const GaugeView g = gauge("CGaugeRpm");
  EXPECT_EQ(g.maximum, 8000);
  EXPECT_EQ(g.progress, 8000);  // beyond the limiter the bar stays full
}

TEST_F(MonitorViewTest, AccelerationGaugeRangeAndColour) {
  image.setByte(175, 30);
  setWord(15, 10000);
  setWord(11, 2999);
  GaugeView g = gauge("CGaugeAkcel");
  EXPECT_EQ(g.maximum, 6000);
  EXPECT_EQ(g.progress, 2999);
  EXPECT_EQ(g.bar, Colour::Lime);
  setWord(11, 3000);
  EXPECT_EQ(gauge("CGaugeAkcel").bar, Colour::Red);

  image.setByte(175, 0);
  g = gauge("CGaugeAkcel");
  EXPECT_EQ(g.maximum, 100);
  EXPECT_EQ(g.progress, 100);
  EXPECT_EQ(g.bar, Colour::Red);

  setWord(15, 10050);  // t = 20100 exactly: still the small range
  EXPECT_EQ(gauge("CGaugeAkcel").maximum, 100);
  setWord(15, 10051);
  EXPECT_EQ(gauge("CGaugeAkcel").maximum, 102);
}

TEST_F(MonitorViewTest, DisconnectedShowsDashesButKeepsWarnings) {
  frame = FrameBytes{};  // the empty buffer of start-up
  const MonitorView view = render(false);
  EXPECT_EQ(view.label("LabelRpm")->text, "RPM = ---");
  EXPECT_EQ(view.label("LabelMonMaxAdv1")->text, "Max. advance 1 = --- °");
  EXPECT_EQ(view.label("LabelNapeti")->text, "U = --- V");
  EXPECT_EQ(view.label("LabelNapeti")->colour, Colour::Red);  // 0 mV
  EXPECT_EQ(view.label("LabelMonAdv")->text, "Advance = --- [°]");
  EXPECT_EQ(view.label("LabelTest1")->text, "Test1 = ---");
  // Input bytes of 0 would read as active; without a unit they must not light up.
  EXPECT_EQ(view.label("LabelMonInput1")->text, "Input 1 = ---");
  EXPECT_EQ(view.label("LabelMonInput1")->colour, Colour::ButtonFace);
  EXPECT_EQ(view.label("LabelMonPOut1")->colour, Colour::ButtonFace);
  EXPECT_TRUE(view.label("LabelVersion")->visible);  // the buffer does not say 79
  EXPECT_EQ(view.gauge("CGaugeRpm")->maximum, 150000);
}

TEST_F(MonitorViewTest, ShortBufferReadsAsZeros) {
  const std::uint8_t shortFrame[10] = {kCmdMonitorReply, 0, 0, 0, 0x10, 0x27};
  const MonitorView view = RenderMonitor(shortFrame, image, true, texts);
  EXPECT_EQ(view.label("LabelRpm")->text, "RPM = 10000");
  EXPECT_EQ(view.label("LabelGear")->text, "Gear = 0");
}

TEST_F(MonitorViewTest, EveryControlIsRenderedOnce) {
  const MonitorView view = render();
  std::set<std::string> names;
  for (const LabelView& l : view.labels) EXPECT_TRUE(names.insert(l.objectName).second) << l.objectName;
  for (const GaugeView& g : view.gauges) EXPECT_TRUE(names.insert(g.objectName).second) << g.objectName;
  EXPECT_EQ(view.labels.size(), 56u);
  EXPECT_EQ(view.gauges.size(), 3u);
  EXPECT_EQ(view.label("NoSuchLabel"), nullptr);
}

}  // namespace
}  // namespace rq
