// SPDX-License-Identifier: GPL-3.0-or-later
// The live monitor rendered as plain data: the texts, colours and visibility of every monitor
// label and the ranges of the three live gauges, computed from the last monitor reply, the
// parameter image and the connected flag. The window only copies the result into its widgets.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/parameter_image.h"
#include "protocol/monitor_reply.h"
#include "ui/text_table.h"

namespace rq {

// Colours of the standard 16-colour palette used by the monitor. ButtonFace is the system's
// normal control background; Default means "leave the control's colour as it is".
enum class Colour { ButtonFace, Red, Yellow, Lime, Fuchsia, Aqua, Olive, Teal, White, Default };

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

// True for ButtonFace and Default, whose real value comes from the desktop style.
constexpr bool IsSystemColour(Colour c) { return c == Colour::ButtonFace || c == Colour::Default; }
// Palette value; the system colours give a neutral light grey for use without a style.
Rgb ColourRgb(Colour c);
// "ButtonFace", "Red", ... for messages and test output.
const char* ColourName(Colour c);

struct LabelView {
  std::string objectName;
  std::string text;                  // meaningful when textSet
  Colour colour = Colour::Default;   // background
  bool visibleSet = false;           // when set, show or hide the label per `visible`
  bool visible = true;
  bool textSet = true;               // false: keep the caption the label has
};

struct GaugeView {
  std::string objectName;
  long maximum = 0;
  long progress = 0;                 // already within 0..maximum
  Colour bar = Colour::Default;      // Default: keep the bar colour of the form
};

struct MonitorView {
  std::vector<LabelView> labels;     // in rendering order
  std::vector<GaugeView> gauges;     // CGaugeRpm, CGaugeTps, CGaugeAkcel

  // nullptr when the monitor does not render a control of that name.
  const LabelView* label(std::string_view objectName) const;
  const GaugeView* gauge(std::string_view objectName) const;
};

// Text printed for a value while the unit is not connected.
inline constexpr const char* kNoValue = "---";

// Renders the monitor reply `snapshot`. While
// `connected` is false the number and state labels show "---", the state colours fall back
// to button face and the gauge bars are empty; the pick-up error test, the warning colours, the
// error and version labels and the gauge ranges still follow the snapshot.
MonitorView RenderMonitor(const MonitorSnapshot& snapshot, const ParameterImage& image,
                          bool connected, const TextTable& texts);

// Object names of every label and gauge RenderMonitor fills, in rendering order.
const std::vector<std::string>& MonitorLabelNames();
const std::vector<std::string>& MonitorGaugeNames();

}  // namespace rq
