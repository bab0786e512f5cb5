// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/monitor_view.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>


namespace rq {
namespace {

// Image bytes and words the monitor reads.
constexpr int kImageWordHardLimiter = 3;       // rpm
constexpr int kImageByteRevsNoIgnition = 147;  // revolutions without ignition
constexpr int kImageByteLobes = 148;
constexpr int kImageByteOutputs = 149;         // number of ignition outputs
constexpr int kImageByteAccelThreshold = 175;  // hundreds of rpm/s
constexpr int kImageByteMapsOnThrottle = 180;
constexpr int kImageByteServoEnabled = 481;
constexpr int kImageBytePowerOutMode = 635;    // 635..638, outputs 1..4

constexpr long kRpmGaugeFallback = 150000;

// "%4.1f" with a '.' whatever the process locale is.
std::string OneDecimal(double value) {
  std::array<char, 32> buf{};
  auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                                 std::chars_format::fixed, 1);
  std::string s = ec == std::errc() ? std::string(buf.data(), end) : std::string("?");
  if (s.size() < 4) s.insert(0, 4 - s.size(), ' ');
  return s;
}

// Tenths given as an integer, shown with one decimal.
std::string Tenths(long tenths) { return OneDecimal(static_cast<double>(tenths) * 0.1); }

using Snap = MonitorSnapshot;

// A label that shows "<prefix> = <value><unit>". The prefix is a message table entry, or the
// literal text when the entry is -1.
struct NumberLabel {
  const char* name;
  int prefixText;
  const char* prefix;
  std::string (*value)(const Snap&);
  const char* unit;
};

std::string Num(long v) { return std::to_string(v); }

template <std::size_t G> std::string Learned(const Snap& s) { return Tenths(s.learnedRatio[G]); }
template <std::size_t T> std::string TestWord(const Snap& s) { return Num(s.test[T]); }

#define RQ_VALUE(expr) [](const Snap& s) -> std::string { return expr; }

const NumberLabel kNumberLabels[] = {
    {"LabelRpm", -1, "RPM", RQ_VALUE(Num(s.rpm)), ""},
    {"LabelMonMaxAdv1", TxtMaxAdvance1, "", RQ_VALUE(Num(s.maxAdvance1)), " °"},
    {"LabelMonMaxAdv2", TxtMaxAdvance2, "", RQ_VALUE(Num(s.maxAdvance2)), " °"},
    {"LabelMonTpsPromile", -1, "TP", RQ_VALUE(Num(s.throttle / 10)), " %"},
    {"LabelMonTpsMv", -1, "TP", RQ_VALUE(Num(s.throttleMv)), " mV"},
    {"LabelNapeti", -1, "U", RQ_VALUE(Tenths(s.supplyMv / 100)), " V"},
    {"LabelMonServoMer", TxtServoMeasured, "", RQ_VALUE(Num(s.servoMeasuredMv)), " mV"},
    {"LabelMonServoPoz", TxtServoDesired, "", RQ_VALUE(Num(s.servoDesiredMv)), " mV"},
    {"LabelMonPotencMv", -1, "Potenciometer", RQ_VALUE(Num(s.potMv())), " mV"},
    {"LabelMonAkcel", TxtAcceleration, "", RQ_VALUE(Num(s.acceleration)), " rpm/s"},
    {"LabelMonPotKorAdv", TxtAdvance, "", RQ_VALUE(Tenths(s.potAdvanceTenths())), " °"},
    {"LabelMonPotKorStartLimiter", TxtStartLimiter, "", RQ_VALUE(Num(s.potStartLimiterRpm())),
     " rpm"},
    {"LabelMonPotKorPilotLight", TxtGearShiftLight, "", RQ_VALUE(Num(s.potShiftLightRpm())),
     " rpm"},
    {"LabelMonPotKorAcc", TxtAccelThreshold, "", RQ_VALUE(Num(s.potAccelThreshold())), " rpm/s"},
    {"LabelMonSpeed", TxtSpeed, "", RQ_VALUE(Num(s.speedKmh)), " km/h"},
    {"LabelMonGearNapeti", TxtGearVoltage, "", RQ_VALUE(Num(s.gearMv)), " mV"},
    {"LabelMonPomerRpmSpeed", -1, "Rpm/Speed =", RQ_VALUE(Tenths(s.speedRatio)), ""},
    {"LabelMonPomerRpmSpeedAuto1", -1, " ", Learned<0>, ""},
    {"LabelMonPomerRpmSpeedAuto2", -1, "", Learned<1>, ""},
    {"LabelMonPomerRpmSpeedAuto3", -1, "", Learned<2>, ""},
    {"LabelMonPomerRpmSpeedAuto4", -1, "", Learned<3>, ""},
    {"LabelMonPomerRpmSpeedAuto5", -1, "", Learned<4>, ""},
    {"LabelMonPomerRpmSpeedAuto6", -1, "", Learned<5>, ""},
    {"LabelPocetProgramovani", TxtProgramCount, "", RQ_VALUE(Num(s.programCount)), ""},
    {"LabelTest1", -1, "Test1", TestWord<0>, ""},
    {"LabelTest2", -1, "Test2", TestWord<1>, ""},
    {"LabelTest3", -1, "Test3", TestWord<2>, ""},
    {"LabelTest4", -1, "Test4", TestWord<3>, ""},
    {"LabelTest5", -1, "Test5", TestWord<4>, ""},
    {"LabelTest6", -1, "Test6", TestWord<5>, ""},
    {"LabelTest7", -1, "Test7", TestWord<6>, ""},
    {"LabelTest8", -1, "Test8", TestWord<7>, ""},
    {"LabelMonAdv1", TxtAdvance1, "", RQ_VALUE(Num(s.advance1Deg())), " °"},
    {"LabelMonAdv2", TxtAdvance2, "", RQ_VALUE(Num(s.advance2Deg())), " °"},
    {"LabelGear", TxtGear, "", RQ_VALUE(Num(s.gear)), ""},
};

#undef RQ_VALUE

// A label that shows "<prefix> = <yes or no text>" and takes its colour while on.
struct StateLabel {
  const char* name;
  int prefixText;
  bool (*on)(const Snap&);
  int textOn;
  int textOff;
  Colour colour;
};

#define RQ_ON(expr) [](const Snap& s) -> bool { return expr; }

const StateLabel kStateLabels[] = {
    {"LabelMonSnimac1", TxtPickup1, RQ_ON(s.pickupSignal[0] != 0), TxtRunning, TxtNoSignal,
     Colour::Lime},
    {"LabelMonSnimac2", TxtPickup2, RQ_ON(s.pickupSignal[1] != 0), TxtRunning, TxtNoSignal,
     Colour::Lime},
    {"LabelMonStartLimiterAkt", TxtStartLimiterActive, RQ_ON(s.startLimiterActivated != 0), TxtYes,
     TxtNo, Colour::Yellow},
    {"LabelMonStartSoftLimiter", TxtStartSoftLimiter, RQ_ON(s.startSoftLimiter != 0), TxtYes,
     TxtNo, Colour::Fuchsia},
    {"LabelMonStartHardLimiter", TxtStartLimiter, RQ_ON(s.startHardLimiter != 0), TxtYes, TxtNo,
     Colour::Red},
    {"LabelMonSoftLimiter", TxtSoftLimiter, RQ_ON(s.softLimiter != 0), TxtYes, TxtNo,
     Colour::Fuchsia},
    {"LabelMonHardLimiter", TxtLimiter, RQ_ON(s.hardLimiter != 0), TxtYes, TxtNo, Colour::Red},
    {"LabelMonInput1", TxtInput1, RQ_ON(s.inputActive(0)), TxtYes, TxtNo, Colour::Aqua},
    {"LabelMonInput2", TxtInput2, RQ_ON(s.inputActive(1)), TxtYes, TxtNo, Colour::Lime},
    {"LabelMonInput3", TxtInput3, RQ_ON(s.inputActive(2)), TxtYes, TxtNo, Colour::Olive},
    {"LabelMonBlock", TxtMotorOff, RQ_ON(s.motorOff != 0), TxtYes, TxtNo, Colour::Red},
    {"LabelMonClutch", TxtClutchMaster, RQ_ON(s.clutchMaster != 0), TxtYes, TxtNo, Colour::Olive},
    {"LabelMonRetard", TxtRetard, RQ_ON(s.retard != 0), TxtYes, TxtNo, Colour::Aqua},
    {"LabelMonMapa2", TxtAdvanceChart2, RQ_ON(s.secondMap != 0), TxtYes, TxtNo, Colour::Lime},
};

#undef RQ_ON

// Power outputs 1..4: their caption and colour follow the output's mode in the image.
constexpr const char* kPowerOutLabels[4] = {"LabelMonPOut1", "LabelMonPOut2", "LabelMonPOut3",
                                             "LabelMonPOut4"};
// Labels whose text, colour or visibility follow several values at once.
constexpr const char* kSpecialLabels[] = {"LabelVersion", "LabelMonAdv", "LabelEeDataErr"};
constexpr const char* kGauges[] = {"CGaugeRpm", "CGaugeTps", "CGaugeAkcel"};

class Renderer {
 public:
  Renderer(const MonitorSnapshot& snapshot, const ParameterImage& image, bool connected,
           const TextTable& texts)
      : s_(snapshot), image_(image), connected_(connected), texts_(texts) {}

  MonitorView run() {
    numberLabels();
    stateLabels();
    specialLabels();
    gauges();
    return std::move(view_);
  }

 private:
  const std::string& txt(int id) const { return texts_.text(id); }

  LabelView& add(std::string name, std::string text, Colour colour = Colour::Default) {
    LabelView l;
    l.objectName = std::move(name);
    l.text = std::move(text);
    l.colour = colour;
    view_.labels.push_back(std::move(l));
    return view_.labels.back();
  }

  LabelView& find(std::string_view name) {
    for (auto& l : view_.labels) {
      if (l.objectName == name) return l;
    }
    return add(std::string(name), {});  // not reached: every special label is added first
  }

  std::string numberText(const std::string& prefix, const std::string& value,
                         const char* unit) const {
    return prefix + " = " + (connected_ ? value : std::string(kNoValue)) + unit;
  }

  void state(const std::string& name, const std::string& prefix, bool on, int textOn,
             int textOff, Colour onColour) {
    std::string value = connected_ ? txt(on ? textOn : textOff) : std::string(kNoValue);
    add(name, prefix + " = " + value, connected_ && on ? onColour : Colour::ButtonFace);
  }

  void numberLabels() {
    for (const NumberLabel& l : kNumberLabels)
      add(l.name, numberText(l.prefixText >= 0 ? txt(l.prefixText) : std::string(l.prefix),
                             l.value(s_), l.unit));
  }

  void stateLabels() {
    for (const StateLabel& l : kStateLabels)
      state(l.name, txt(l.prefixText), l.on(s_), l.textOn, l.textOff, l.colour);
    for (std::size_t k = 0; k < 4; ++k) {
      int entry = TxtSpecialOut;
      Colour colour = Colour::White;
      switch (image_.byte(kImageBytePowerOutMode + static_cast<int>(k))) {
        case 1: entry = TxtFuelPump; colour = Colour::Teal; break;
        case 2: entry = TxtGearShiftLight; colour = Colour::Fuchsia; break;
        case 3: entry = TxtPowerJet; colour = Colour::Lime; break;
        case 4: entry = TxtSpecialOut; colour = Colour::Yellow; break;
        default: break;
      }
      state(kPowerOutLabels[k], txt(entry), s_.powerOut[k] != 0, TxtYes, TxtNo, colour);
    }
  }

  void specialLabels() {
    // Version: the unit must run the same image layout as this program.
    LabelView& version = add("LabelVersion", {}, Colour::Red);
    version.visibleSet = true;
    const unsigned unitVersion = s_.version;
    if (unitVersion == static_cast<unsigned>(kImageVersion)) {
      version.visible = false;
      version.textSet = false;
    } else {
      char tail[48];
      std::snprintf(tail, sizeof tail, "  PC-%d, IGN-%u", kImageVersion, unitVersion);
      version.text = txt(TxtVersionMismatch) + tail;
    }

    // Supply voltage.
    const unsigned mv = s_.supplyMv;
    Colour supply = Colour::ButtonFace;
    if (mv <= 7000 || mv >= 17999) {
      supply = Colour::Red;
    } else if (mv <= 11000 || mv >= 14999) {
      supply = Colour::Yellow;
    }
    find("LabelNapeti").colour = supply;

    // Combined advance, or the pick-up error when the check counts fall short. The revolutions
    // without ignition must have passed (counts 1, 2) while fewer pulses than expected arrived
    // (counts 3, 4).
    const long revs = image_.byte(kImageByteRevsNoIgnition);
    const long pulses = revs * image_.byte(kImageByteLobes);
    const auto& check = s_.pickupCheck;
    const bool pickupError = (revs > check[0] && pulses < check[2]) ||
                             (revs > check[1] && pulses < check[3]);
    if (pickupError) {
      add("LabelMonAdv", txt(TxtPickupError), Colour::Red);
    } else if (s_.baseAdvance != 0) {
      add("LabelMonAdv", txt(TxtBaseAdvance), Colour::ButtonFace);
    } else {
      unsigned v = s_.advance1Raw;
      if (image_.byte(kImageByteOutputs) == 2 && s_.advance2Raw > s_.advance1Raw) v = s_.advance2Raw;
      add("LabelMonAdv",
          numberText(txt(TxtAdvance), std::to_string(static_cast<int>(v) - 100), " [°]"),
          Colour::ButtonFace);
    }

    // Servo feedback fault matters only while the servo is enabled.
    find("LabelMonServoMer").colour =
        image_.byte(kImageByteServoEnabled) != 0 && s_.servoOk == 0 ? Colour::Red
                                                                  : Colour::ButtonFace;

    const bool tpsFault = s_.throttleFault != 0;
    find("LabelMonTpsMv").colour = tpsFault ? Colour::Red : Colour::ButtonFace;
    find("LabelMonTpsPromile").colour =
        tpsFault && image_.byte(kImageByteMapsOnThrottle) != 0 ? Colour::Red : Colour::ButtonFace;

    LabelView& dataError = add("LabelEeDataErr", {}, Colour::Red);
    dataError.textSet = false;
    dataError.visibleSet = true;
    dataError.visible = s_.dataError != 0;
  }

  void gauge(const char* name, long maximum, long progress, Colour bar) {
    GaugeView g;
    g.objectName = name;
    g.maximum = maximum;
    g.progress = std::clamp(progress, 0L, std::max(maximum, 0L));
    g.bar = bar;
    view_.gauges.push_back(std::move(g));
  }

  void gauges() {
    // Without a connection the bars are empty: a stale engine speed must not pass for a live
    // one. Ranges and colours still follow the snapshot.
    const long hardLimiter = image_.word(kImageWordHardLimiter);
    gauge("CGaugeRpm", hardLimiter != 0 ? hardLimiter : kRpmGaugeFallback,
          connected_ ? s_.rpm : 0, Colour::Default);
    gauge("CGaugeTps", 1000, connected_ ? s_.throttle : 0, Colour::Default);

    const long threshold = image_.byte(kImageByteAccelThreshold);
    const long t = 200 * threshold + 2 * static_cast<long>(s_.potAccelThresholdRaw);
    const long accel = connected_ ? s_.acceleration : 0;
    gauge("CGaugeAkcel", t > 20100 ? t - 20000 : 100, accel,
          accel / 100 < threshold ? Colour::Lime : Colour::Red);
  }

  const MonitorSnapshot& s_;
  const ParameterImage& image_;
  bool connected_;
  const TextTable& texts_;
  MonitorView view_;
};

}  // namespace

Rgb ColourRgb(Colour c) {
  switch (c) {
    case Colour::Red: return {255, 0, 0};
    case Colour::Yellow: return {255, 255, 0};
    case Colour::Lime: return {0, 255, 0};
    case Colour::Fuchsia: return {255, 0, 255};
    case Colour::Aqua: return {0, 255, 255};
    case Colour::Olive: return {128, 128, 0};
    case Colour::Teal: return {0, 128, 128};
    case Colour::White: return {255, 255, 255};
    case Colour::ButtonFace:
    case Colour::Default: break;
  }
  return {240, 240, 240};
}

const char* ColourName(Colour c) {
  switch (c) {
    case Colour::ButtonFace: return "ButtonFace";
    case Colour::Red: return "Red";
    case Colour::Yellow: return "Yellow";
    case Colour::Lime: return "Lime";
    case Colour::Fuchsia: return "Fuchsia";
    case Colour::Aqua: return "Aqua";
    case Colour::Olive: return "Olive";
    case Colour::Teal: return "Teal";
    case Colour::White: return "White";
    case Colour::Default: return "Default";
  }
  return "Default";
}

const LabelView* MonitorView::label(std::string_view objectName) const {
  for (const auto& l : labels) {
    if (l.objectName == objectName) return &l;
  }
  return nullptr;
}

const GaugeView* MonitorView::gauge(std::string_view objectName) const {
  for (const auto& g : gauges) {
    if (g.objectName == objectName) return &g;
  }
  return nullptr;
}

MonitorView RenderMonitor(const MonitorSnapshot& snapshot, const ParameterImage& image,
                          bool connected, const TextTable& texts) {
  return Renderer(snapshot, image, connected, texts).run();
}

const std::vector<std::string>& MonitorLabelNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const NumberLabel& l : kNumberLabels) n.emplace_back(l.name);
    for (const StateLabel& l : kStateLabels) n.emplace_back(l.name);
    for (const char* l : kPowerOutLabels) n.emplace_back(l);
    for (const char* l : kSpecialLabels) n.emplace_back(l);
    return n;
  }();
  return names;
}

const std::vector<std::string>& MonitorGaugeNames() {
  static const std::vector<std::string> names(std::begin(kGauges), std::end(kGauges));
  return names;
}

}  // namespace rq
