// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/monitor_view.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

#include "protocol/frame.h"

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

constexpr int kUnitVersion = 150;
constexpr long kRpmGaugeFallback = 150000;

// Read-only view of the receive buffer with word and byte access by frame offset.
class Frame {
 public:
  explicit Frame(std::span<const std::uint8_t> bytes) {
    std::copy_n(bytes.begin(), std::min(bytes.size(), bytes_.size()), bytes_.begin());
  }
  unsigned byte(int offset) const { return bytes_[static_cast<std::size_t>(offset)]; }
  bool flag(int offset) const { return byte(offset) != 0; }
  unsigned word(int k) const { return byte(2 * k) | (byte(2 * k + 1) << 8); }

 private:
  FrameBytes bytes_{};
};

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

class Renderer {
 public:
  Renderer(const Frame& frame, const ParameterImage& image, bool connected,
           const TextTable& texts)
      : f_(frame), image_(image), connected_(connected), texts_(texts) {}

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

  void number(const char* name, const std::string& prefix, const std::string& value,
              const char* unit = "") {
    add(name, numberText(prefix, value, unit));
  }

  void state(const std::string& name, const std::string& prefix, bool on, int textOn,
             int textOff, Colour onColour) {
    std::string value = connected_ ? txt(on ? textOn : textOff) : std::string(kNoValue);
    add(name, prefix + " = " + value, connected_ && on ? onColour : Colour::ButtonFace);
  }

  void numberLabels() {
    using std::to_string;
    const auto signedWord = [&](int k, long bias) {
      return to_string(static_cast<long>(f_.word(k)) - bias);
    };
    number("LabelRpm", "RPM", to_string(f_.word(2)));
    number("LabelMonMaxAdv1", txt(TxtMaxAdvance1), to_string(f_.word(3)), " °");
    number("LabelMonMaxAdv2", txt(TxtMaxAdvance2), to_string(f_.word(4)), " °");
    number("LabelMonTpsPromile", "TP", to_string(f_.word(5) / 10), " %");
    number("LabelMonTpsMv", "TP", to_string(f_.word(6)), " mV");
    number("LabelNapeti", "U", Tenths(f_.word(7) / 100), " V");
    number("LabelMonServoMer", txt(TxtServoMeasured), to_string(f_.word(8)), " mV");
    number("LabelMonServoPoz", txt(TxtServoDesired), to_string(f_.word(9)), " mV");
    number("LabelMonPotencMv", "Potenciometer", to_string(f_.word(10) * 5000 / 1023), " mV");
    number("LabelMonAkcel", txt(TxtAcceleration), to_string(f_.word(11)), " rpm/s");
    number("LabelMonPotKorAdv", txt(TxtAdvance), Tenths(static_cast<long>(f_.word(12)) - 1000),
           " °");
    number("LabelMonPotKorStartLimiter", txt(TxtStartLimiter), signedWord(13, 10000), " rpm");
    number("LabelMonPotKorPilotLight", txt(TxtGearShiftLight), signedWord(14, 10000), " rpm");
    number("LabelMonPotKorAcc", txt(TxtAccelThreshold), signedWord(15, 10000), " rpm/s");
    number("LabelMonSpeed", txt(TxtSpeed), to_string(f_.word(16)), " km/h");
    number("LabelMonGearNapeti", txt(TxtGearVoltage), to_string(f_.word(17)), " mV");
    number("LabelMonPomerRpmSpeed", "Rpm/Speed =", Tenths(f_.word(18)));
    number("LabelMonPomerRpmSpeedAuto1", " ", Tenths(f_.word(19)));
    for (int g = 2; g <= 6; ++g) {
      add("LabelMonPomerRpmSpeedAuto" + to_string(g), numberText("", Tenths(f_.word(18 + g)), ""));
    }
    number("LabelPocetProgramovani", txt(TxtProgramCount), to_string(f_.word(25)));
    for (int t = 1; t <= 8; ++t) {
      add("LabelTest" + to_string(t), numberText("Test" + to_string(t), to_string(f_.word(26 + t)), ""));
    }
    number("LabelMonAdv1", txt(TxtAdvance1), to_string(static_cast<int>(f_.byte(100)) - 100), " °");
    number("LabelMonAdv2", txt(TxtAdvance2), to_string(static_cast<int>(f_.byte(101)) - 100), " °");
    number("LabelGear", txt(TxtGear), to_string(f_.byte(126)));
  }

  void stateLabels() {
    state("LabelMonSnimac1", txt(TxtPickup1), f_.flag(106), TxtRunning, TxtNoSignal, Colour::Lime);
    state("LabelMonSnimac2", txt(TxtPickup2), f_.flag(107), TxtRunning, TxtNoSignal, Colour::Lime);
    state("LabelMonStartLimiterAkt", txt(TxtStartLimiterActive), f_.flag(108), TxtYes, TxtNo,
          Colour::Yellow);
    state("LabelMonStartSoftLimiter", txt(TxtStartSoftLimiter), f_.flag(109), TxtYes, TxtNo,
          Colour::Fuchsia);
    state("LabelMonStartHardLimiter", txt(TxtStartLimiter), f_.flag(110), TxtYes, TxtNo,
          Colour::Red);
    state("LabelMonSoftLimiter", txt(TxtSoftLimiter), f_.flag(111), TxtYes, TxtNo,
          Colour::Fuchsia);
    state("LabelMonHardLimiter", txt(TxtLimiter), f_.flag(112), TxtYes, TxtNo, Colour::Red);
    // Inputs report 0 while active.
    state("LabelMonInput1", txt(TxtInput1), !f_.flag(113), TxtYes, TxtNo, Colour::Aqua);
    state("LabelMonInput2", txt(TxtInput2), !f_.flag(114), TxtYes, TxtNo, Colour::Lime);
    state("LabelMonInput3", txt(TxtInput3), !f_.flag(115), TxtYes, TxtNo, Colour::Olive);
    state("LabelMonBlock", txt(TxtMotorOff), f_.flag(116), TxtYes, TxtNo, Colour::Red);
    state("LabelMonClutch", txt(TxtClutchMaster), f_.flag(117), TxtYes, TxtNo, Colour::Olive);
    state("LabelMonRetard", txt(TxtRetard), f_.flag(118), TxtYes, TxtNo, Colour::Aqua);
    state("LabelMonMapa2", txt(TxtAdvanceChart2), f_.flag(119), TxtYes, TxtNo, Colour::Lime);
    for (int k = 0; k < 4; ++k) {
      int entry = TxtSpecialOut;
      Colour colour = Colour::White;
      switch (image_.byte(kImageBytePowerOutMode + k)) {
        case 1: entry = TxtFuelPump; colour = Colour::Teal; break;
        case 2: entry = TxtGearShiftLight; colour = Colour::Fuchsia; break;
        case 3: entry = TxtPowerJet; colour = Colour::Lime; break;
        case 4: entry = TxtSpecialOut; colour = Colour::Yellow; break;
        default: break;
      }
      state("LabelMonPOut" + std::to_string(k + 1), txt(entry), f_.flag(122 + k), TxtYes, TxtNo,
            colour);
    }
  }

  void specialLabels() {
    // Version: the unit must run the same image layout as this program.
    LabelView& version = add("LabelVersion", {}, Colour::Red);
    version.visibleSet = true;
    const unsigned unitVersion = f_.byte(kUnitVersion);
    if (unitVersion == static_cast<unsigned>(kImageVersion)) {
      version.visible = false;
      version.textSet = false;
    } else {
      char tail[48];
      std::snprintf(tail, sizeof tail, "  PC-%d, IGN-%u", kImageVersion, unitVersion);
      version.text = txt(TxtVersionMismatch) + tail;
    }

    // Supply voltage.
    const unsigned mv = f_.word(7);
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
    const bool pickupError = (revs > f_.byte(102) && pulses < f_.byte(104)) ||
                             (revs > f_.byte(103) && pulses < f_.byte(105));
    if (pickupError) {
      add("LabelMonAdv", txt(TxtPickupError), Colour::Red);
    } else if (f_.flag(128)) {
      add("LabelMonAdv", txt(TxtBaseAdvance), Colour::ButtonFace);
    } else {
      unsigned v = f_.byte(100);
      if (image_.byte(kImageByteOutputs) == 2 && f_.byte(101) > f_.byte(100)) v = f_.byte(101);
      add("LabelMonAdv",
          numberText(txt(TxtAdvance), std::to_string(static_cast<int>(v) - 100), " [°]"),
          Colour::ButtonFace);
    }

    // Servo feedback fault matters only while the servo is enabled.
    find("LabelMonServoMer").colour =
        image_.byte(kImageByteServoEnabled) != 0 && !f_.flag(120) ? Colour::Red
                                                                  : Colour::ButtonFace;

    const bool tpsFault = f_.flag(121);
    find("LabelMonTpsMv").colour = tpsFault ? Colour::Red : Colour::ButtonFace;
    find("LabelMonTpsPromile").colour =
        tpsFault && image_.byte(kImageByteMapsOnThrottle) != 0 ? Colour::Red : Colour::ButtonFace;

    LabelView& dataError = add("LabelEeDataErr", {}, Colour::Red);
    dataError.textSet = false;
    dataError.visibleSet = true;
    dataError.visible = f_.flag(127);
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
    // one. Ranges and colours still follow the buffer.
    const long hardLimiter = image_.word(kImageWordHardLimiter);
    gauge("CGaugeRpm", hardLimiter != 0 ? hardLimiter : kRpmGaugeFallback,
          connected_ ? f_.word(2) : 0, Colour::Default);
    gauge("CGaugeTps", 1000, connected_ ? f_.word(5) : 0, Colour::Default);

    const long threshold = image_.byte(kImageByteAccelThreshold);
    const long t = 200 * threshold + 2 * static_cast<long>(f_.word(15));
    const long accel = connected_ ? f_.word(11) : 0;
    gauge("CGaugeAkcel", t > 20100 ? t - 20000 : 100, accel,
          accel / 100 < threshold ? Colour::Lime : Colour::Red);
  }

  const Frame& f_;
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

MonitorView RenderMonitor(std::span<const std::uint8_t> frame, const ParameterImage& image,
                          bool connected, const TextTable& texts) {
  return Renderer(Frame(frame), image, connected, texts).run();
}

}  // namespace rq
