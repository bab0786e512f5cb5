// SPDX-License-Identifier: GPL-3.0-or-later
// The [LIMITS] section: key names, reading and writing, and the servo's percent conversion.
#include "limits/map_limits.h"

#include <algorithm>
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

// Whose units a value is in: the advance maps' degrees, the servo's mV (or percent), rpm.
enum class Units { Degrees, Servo, Rpm };

// One value of the section in the page's stored units (servo: mV).
Parsed ParseLimit(std::string_view text, Units units, double& out) {
  std::string_view s = Trimmed(text);
  if (s.empty()) return Parsed::Empty;
  double factor = 1.0;
  // The unit's name may follow the number, and only the value's own.
  for (const auto& [tail, f, owner] :
       {std::tuple{std::string_view("%"), kServoMvPerPercent, Units::Servo},
        std::tuple{std::string_view("mv"), 1.0, Units::Servo},
        std::tuple{std::string_view("rpm"), 1.0, Units::Rpm},
        std::tuple{std::string_view("deg"), 1.0, Units::Degrees},
        std::tuple{std::string_view("\xC2\xB0"), 1.0, Units::Degrees}}) {
    if (!EndsWithNoCase(s, tail)) continue;
    if (units != owner) return Parsed::Malformed;
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

// "row:column" pairs separated by blanks or commas; false on anything else.
bool ParseCells(std::string_view text, MapCellSet& out) {
  out.reset();
  std::string_view s = text;
  auto skip = [&s] {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == ',')) s.remove_prefix(1);
  };
  auto number = [&s](int& v) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr == s.data()) return false;
    s.remove_prefix(std::size_t(r.ptr - s.data()));
    return true;
  };
  for (skip(); !s.empty(); skip()) {
    int row = 0, column = 0;
    if (!number(row) || s.empty() || s.front() != ':') return false;
    s.remove_prefix(1);
    if (!number(column)) return false;
    if (row < 0 || row >= kMapRows || column < 0 || column >= kMapColumns) return false;
    out.set(CellIndex(row, column));
  }
  return true;
}

bool SameKey(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
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

std::vector<LimitsProblem> LoadedLimits::unreadable() const {
  std::vector<LimitsProblem> out;
  for (const LimitsProblem& p : problems)
    if (Unreadable(p)) out.push_back(p);
  return out;
}

std::string LimitUpToKey(int page) {
  const int i = PageSlot(page);
  return i < 0 ? std::string() : std::string(kPageStems[i]) + "UpToRpm";
}

std::string LimitExemptKey(int page) {
  const int i = PageSlot(page);
  return i < 0 ? std::string() : std::string(kPageStems[i]) + "Exempt";
}

LoadedLimits LoadLimits(const IniFile& ini) {
  LoadedLimits loaded;
  // Each key once, the first one counting; what is no key of the section is said.
  struct Known {
    std::string key;
    int page, field;  // field 0..3, 4 up to rpm, 5 exempt
    const IniFile::Entry* entry = nullptr;
  };
  std::vector<Known> known;
  for (int i = 0; i < kLimitPageCount; ++i) {
    const int page = kLimitPages[i];
    for (int f = 0; f < kLimitFieldCount; ++f) known.push_back({LimitKey(page, f), page, f});
    known.push_back({LimitUpToKey(page), page, kLimitFieldCount});
    known.push_back({LimitExemptKey(page), page, kLimitFieldCount + 1});
  }
  const std::vector<IniFile::Entry> entries = ini.entries(kLimitsSection);
  for (const IniFile::Entry& e : entries) {
    const auto k = std::find_if(known.begin(), known.end(), [&e](const Known& candidate) { return SameKey(candidate.key, e.key); });
    if (k == known.end()) {
      loaded.problems.push_back({LimitsProblemKind::UnknownKey, e.key, e.value, {}, {}, e.line});
    } else if (k->entry != nullptr) {
      loaded.problems.push_back({LimitsProblemKind::RepeatedKey, e.key, e.value, k->key, k->entry->value, e.line});
    } else {
      k->entry = &e;
    }
  }
  for (const Known& k : known) {
    if (k.entry == nullptr) continue;
    PageLimits& p = *loaded.limits.of(k.page);
    const std::string& written = k.entry->value;
    auto problem = [&](LimitsProblemKind kind) {
      loaded.problems.push_back({kind, k.key, written, {}, {}, k.entry->line});
    };
    if (k.field == kLimitFieldCount + 1) {
      if (!ParseCells(written, p.exempt)) problem(LimitsProblemKind::BadCells);
      continue;
    }
    const Units units = k.field == kLimitFieldCount ? Units::Rpm
                        : k.page == kPageServo     ? Units::Servo
                                                   : Units::Degrees;
    double v = 0;
    switch (ParseLimit(written, units, v)) {
      case Parsed::Empty:
        break;
      case Parsed::Number:
        if (k.field == kLimitFieldCount)
          p.upToRpm = int(std::min(v, 1e6));
        else
          p.*kFields[k.field] = v;
        break;
      case Parsed::Malformed:
        problem(LimitsProblemKind::Malformed);
        break;
      case Parsed::Negative:
        problem(LimitsProblemKind::Negative);
        break;
    }
  }
  for (int i = 0; i < kLimitPageCount; ++i) {
    const int page = kLimitPages[i];
    const PageLimits& p = loaded.limits.pages[static_cast<std::size_t>(i)];
    if (!p.min || !p.max || *p.min <= *p.max) continue;
    auto entry = [&](int field) {
      return std::find_if(known.begin(), known.end(), [&](const Known& k) { return k.page == page && k.field == field; })->entry;
    };
    loaded.problems.push_back({LimitsProblemKind::MinAboveMax, LimitKey(page, 0), entry(0)->value,
                               LimitKey(page, 1), entry(1)->value, entry(0)->line});
  }
  // In the order of the file.
  std::stable_sort(loaded.problems.begin(), loaded.problems.end(),
                   [](const LimitsProblem& a, const LimitsProblem& b) { return a.line < b.line; });
  return loaded;
}

void StoreLimits(IniFile& ini, const Limits& limits) {
  for (int i = 0; i < kLimitPageCount; ++i) {
    const int page = kLimitPages[i];
    const PageLimits& p = limits.pages[static_cast<std::size_t>(i)];
    auto store = [&ini](const std::string& key, const std::string& value) {
      ini.setValue(kLimitsSection, key, value);
      ini.removeRepeats(kLimitsSection, key);
    };
    for (int f = 0; f < kLimitFieldCount; ++f) {
      const std::optional<double>& v = p.*kFields[f];
      store(LimitKey(page, f), v ? LimitNumberText(*v) : "");
    }
    store(LimitUpToKey(page), p.upToRpm ? std::to_string(*p.upToRpm) : "");
    store(LimitExemptKey(page), CellSetText(p.exempt));
  }
}

std::string CellSetText(const MapCellSet& cells) {
  std::string out;
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapColumns; ++c)
      if (cells.test(CellIndex(r, c))) out += (out.empty() ? "" : " ") + std::to_string(r) + ":" + std::to_string(c);
  return out;
}

double LimitInPageUnits(const ParameterImage& image, int page, double limit) {
  if (page == kPageServo && image[kServoPercent] != 0) return limit / kServoMvPerPercent;
  return limit;
}

double LimitFromPageUnits(const ParameterImage& image, int page, double shown) {
  if (page == kPageServo && image[kServoPercent] != 0) return shown * kServoMvPerPercent;
  return shown;
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
