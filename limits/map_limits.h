// SPDX-License-Identifier: GPL-3.0-or-later
// Guard-rail limits of the three map pages, as a tuner sets them once per bike: lowest and
// highest cell, largest step between neighbouring cells, largest change against what the unit
// holds, the rpm up to which they hold and the cells exempt from them. They live in the
// [LIMITS] section of the settings file; a key that is missing or empty is no limit, so a
// settings file without the section leaves everything as it was.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "model/ini_file.h"
#include "model/parameter_image.h"
#include "model/parameter_table.h"

namespace rq {

inline constexpr const char* kLimitsSection = "LIMITS";

// The map pages that take limits, in the order of Limits::pages and of every listing.
inline constexpr int kLimitPageCount = 3;
inline constexpr int kLimitPages[kLimitPageCount] = {kPageAdvance1, kPageAdvance2, kPageServo};

// A set of cells of one map, by throttle row, then rpm column.
using MapCellSet = std::bitset<std::size_t(kMapRows * kMapColumns)>;
inline std::size_t CellIndex(int row, int column) { return std::size_t(row * kMapColumns + column); }

// The limits of one map page; nullopt is no limit. Advance maps: degrees. Servo map: mV,
// whichever unit the page shows (a page in percent compares at 50 mV per percent, 5000 mV =
// 100 %), so that switching the servo between mV and percent keeps the limits' meaning.
struct PageLimits {
  std::optional<double> min{};     // lowest cell value
  std::optional<double> max{};     // highest cell value
  std::optional<double> step{};    // largest difference to the right and to the lower neighbour
  std::optional<double> change{};  // largest difference to the same cell in the unit
  // The limits hold up to this rpm: the columns whose rpm point lies above it (the cut of
  // the rev limiter, whose cells are 0) and the step into them are not checked. nullopt: up to
  // the last rpm point whose cells are not all 0.
  std::optional<int> upToRpm{};
  MapCellSet exempt{};  // cells the tuner took out of every limit of the page
  bool any() const { return min || max || step || change; }
  bool operator==(const PageLimits&) const = default;
};

struct Limits {
  std::array<PageLimits, kLimitPageCount> pages{};  // Advance 1, Advance 2, Servo
  bool any() const;
  // The limits of a map page; nullptr for any other page.
  const PageLimits* of(int page) const;
  PageLimits* of(int page);
  bool operator==(const Limits&) const = default;
};

// What was wrong with the [LIMITS] section. A value that cannot be read (Malformed, Negative,
// BadCells) is no limit, and programming refuses until it is mended or the user overrides it;
// a minimum above the maximum keeps both (every cell then breaks one of them); an unknown or
// repeated key is ignored (the first of a repeated key counts).
enum class LimitsProblemKind { Malformed, Negative, MinAboveMax, UnknownKey, RepeatedKey, BadCells };
struct LimitsProblem {
  LimitsProblemKind kind = LimitsProblemKind::Malformed;
  std::string key, value;            // as written in the file
  std::string otherKey, otherValue;  // MinAboveMax: the maximum; RepeatedKey: the first value
  int line = 0;                      // the line in the file; 0: not from a file (the dialog)
  bool operator==(const LimitsProblem&) const = default;
};
inline bool Unreadable(const LimitsProblem& p) {
  return p.kind == LimitsProblemKind::Malformed || p.kind == LimitsProblemKind::Negative ||
         p.kind == LimitsProblemKind::BadCells;
}

struct LoadedLimits {
  Limits limits;
  std::vector<LimitsProblem> problems;
  // The problems that leave a value unread, in file order.
  std::vector<LimitsProblem> unreadable() const;
};

// The key of one limit: "Advance1Min", "ServoChange". `field` is 0 min, 1 max, 2 step,
// 3 change; page one of kLimitPages.
std::string LimitKey(int page, int field);
inline constexpr int kLimitFieldCount = 4;
// "Advance1UpToRpm", "ServoExempt".
std::string LimitUpToKey(int page);
std::string LimitExemptKey(int page);

// Reads the [LIMITS] section. Values are decimal numbers (point or comma), blanks around them
// allowed; advance values may end in "deg" or "°"; servo values may end in "mV" or in "%"
// (percent, taken at 50 mV each); UpToRpm may end in "rpm". Exempt cells are written
// "row:column" (row 0..9 from 0 % throttle, column 0..14), separated by blanks or commas.
// Never fails: what it cannot read is a problem and no limit.
LoadedLimits LoadLimits(const IniFile& ini);
// Writes every key of the section: the value, or empty for no limit. Servo values in mV.
// Repeats of the keys are removed, so that the file says what was written.
void StoreLimits(IniFile& ini, const Limits& limits);

// Exempt cells as written: "9:10 9:11"; the reverse of what LoadLimits reads.
std::string CellSetText(const MapCellSet& cells);

// A limit in a map page's shown units: servo limits divided by 50 while the page shows
// percent, every other limit as it is.
double LimitInPageUnits(const ParameterImage& image, int page, double limit);
// A value in a map page's shown units as a limit (servo: mV).
double LimitFromPageUnits(const ParameterImage& image, int page, double shown);

// A limit as written: whole numbers without a point, others with up to two decimals.
std::string LimitNumberText(double value);

}  // namespace rq
