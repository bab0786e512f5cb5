// SPDX-License-Identifier: GPL-3.0-or-later
// The [LIMITS] section: key names, reading and writing, and the servo's percent conversion.
#include "limits/map_limits.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <tuple>

namespace rq {

namespace {

// Key stems by kLimitPages, suffixes and members by field.
constexpr const char* kPageStems[kLimitPageCount] = {"Advance1", "Advance2", "Servo"};
constexpr const char* kFieldNames[kLimitFieldCount] = {"Min", "Max", "Step", "Change"};
constexpr std::optional<double> PageLimits::*kFields[kLimitFieldCount] = {
    &PageLimits::min, &PageLimits::max, &PageLimits::step, &PageLimits::change};

// A servo page in percent shows 100 % for 5000 mV.
constexpr double kServoMvPerPercent = 50.0;

int PageSlot(int page) {
  for (int i = 0; i < kLimitPageCount; ++i)
    if (kLimitPages[i] == page) return i;
  return -1;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool EndsWithNoCase(std::string_view s, std::string_view tail) {
  if (s.size() < tail.size()) return false;
  const std::string_view end = s.substr(s.size() - tail.size());
  for (std::size_t i = 0; i < tail.size(); ++i) {
    char a = end[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (a != tail[i]) return false;
  }
  return true;
}

enum class Parsed { Empty, Number, Malformed, Negative };

// One value of the section in the page's stored units (servo: mV).
Parsed ParseLimit(std::string_view text, bool servo, double& out) {
  std::string_view s = Trimmed(text);
  if (s.empty()) return Parsed::Empty;
  double factor = 1.0;
  // The unit's name may follow the number, and only the page's own.
  for (const auto& [tail, f, servoTail] :
       {std::tuple{std::string_view("%"), kServoMvPerPercent, true},
        std::tuple{std::string_view("mv"), 1.0, true},
        std::tuple{std::string_view("deg"), 1.0, false},
        std::tuple{std::string_view("\xC2\xB0"), 1.0, false}}) {
    if (!EndsWithNoCase(s, tail)) continue;
    if (servo != servoTail) return Parsed::Malformed;
    s = Trimmed(s.substr(0, s.size() - tail.size()));
    factor = f;
    break;
  }
  std::string number(s);
  for (char& c : number)
    if (c == ',') c = '.';
  // from_chars takes no leading '+'; a leading '-' is read so that it can be named.
  const char* first = number.data();
  const char* last = first + number.size();
  double v = 0;
  const auto r = std::from_chars(first, last, v, std::chars_format::fixed);
  if (number.empty() || r.ec != std::errc() || r.ptr != last || !std::isfinite(v))
    return Parsed::Malformed;
  if (v < 0) return Parsed::Negative;
  out = v * factor;
  return Parsed::Number;
}

}  // namespace

bool Limits::any() const {
  for (const PageLimits& p : pages)
    if (p.any()) return true;
  return false;
}

const PageLimits* Limits::of(int page) const {
  const int i = PageSlot(page);
  return i < 0 ? nullptr : &pages[static_cast<std::size_t>(i)];
}

PageLimits* Limits::of(int page) {
  const int i = PageSlot(page);
  return i < 0 ? nullptr : &pages[static_cast<std::size_t>(i)];
}

std::string LimitKey(int page, int field) {
  const int i = PageSlot(page);
  if (i < 0 || field < 0 || field >= kLimitFieldCount) return {};
  return std::string(kPageStems[i]) + kFieldNames[field];
}

LoadedLimits LoadLimits(const IniFile& ini) {
  LoadedLimits loaded;
  for (int i = 0; i < kLimitPageCount; ++i) {
    const int page = kLimitPages[i];
    PageLimits& p = loaded.limits.pages[static_cast<std::size_t>(i)];
    std::string written[kLimitFieldCount];
    for (int f = 0; f < kLimitFieldCount; ++f) {
      const std::string key = LimitKey(page, f);
      written[f] = ini.stringValue(kLimitsSection, key, "");
      double v = 0;
      switch (ParseLimit(written[f], page == kPageServo, v)) {
        case Parsed::Empty:
          break;
        case Parsed::Number:
          p.*kFields[f] = v;
          break;
        case Parsed::Malformed:
          loaded.problems.push_back({LimitsProblemKind::Malformed, key, written[f], {}, {}});
          break;
        case Parsed::Negative:
          loaded.problems.push_back({LimitsProblemKind::Negative, key, written[f], {}, {}});
          break;
      }
    }
    if (p.min && p.max && *p.min > *p.max)
      loaded.problems.push_back({LimitsProblemKind::MinAboveMax, LimitKey(page, 0), written[0],
                                 LimitKey(page, 1), written[1]});
  }
  return loaded;
}

void StoreLimits(IniFile& ini, const Limits& limits) {
  for (int i = 0; i < kLimitPageCount; ++i) {
    const PageLimits& p = limits.pages[static_cast<std::size_t>(i)];
    for (int f = 0; f < kLimitFieldCount; ++f) {
      const std::optional<double>& v = p.*kFields[f];
      ini.setValue(kLimitsSection, LimitKey(kLimitPages[i], f), v ? LimitNumberText(*v) : "");
    }
  }
}

double LimitInPageUnits(const ParameterImage& image, int page, double limit) {
  if (page == kPageServo && image[kServoPercent] != 0) return limit / kServoMvPerPercent;
  return limit;
}

std::string LimitNumberText(double value) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.2f", value);
  std::string s = buf;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}

}  // namespace rq
