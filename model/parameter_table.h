// SPDX-License-Identifier: GPL-3.0-or-later
// Every parameter of the configuration: where it lives in the image, how it is scaled, its
// range and default, the page and control that edit it. One table, read by the file dump,
// the comparison, the defaults checks and the page bindings.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "model/parameter_image.h"

namespace rq {

enum class Storage { Word, Byte };
enum class ControlKind { UpDown, CheckBox, ComboBox, RadioGroup };

inline constexpr int kDefaultPreset = -100000;  // set by the motorbike-type preset
inline constexpr int kDefaultNotSet = -100001;  // a new configuration keeps the old value
inline constexpr int kDefaultMap = -100002;     // from the default map or axis tables

struct ParameterDef {
  int page;             // page index
  const char* control;  // objectName of the editing control
  const char* name;     // English name used by the command-line dump
  Storage storage;
  int index;  // word number (Storage::Word) or image byte offset (Storage::Byte)
  int step;
  int bias;  // 0 or -100
  int min, max, increment;  // in shown units; choices: item range
  int defaultShown;         // shown value, or one of the kDefault markers
  const char* unit;         // "" when none
  ControlKind kind;
  int imageOffset() const { return storage == Storage::Word ? 2 * index : index; }
};

// Scalar parameters, pages 0, 1 and 7..9, then the per-output and per-gear ones, in the
// read-back order of each page.
std::span<const ParameterDef> ScalarParameters();

// Value as shown to the user.
int ShownValue(const ParameterImage& image, const ParameterDef& def);
// Stores a shown value (low byte / low word of the scaled value).
void StoreShown(ParameterImage& image, const ParameterDef& def, long shown);

// The three 10 x 15 maps with their rpm axes.
struct MapDef {
  int page;
  const char* name;
  int axisWord;   // first of 15 axis words
  int cellsByte;  // cell (row t, column r) at cellsByte + 15 t + r
  int minCell, maxCell;
  const char* unit;
};
inline constexpr int kMapRows = 10;
inline constexpr int kMapColumns = 15;
// Throttle rows of every map, in percent.
inline constexpr int kThrottleRows[kMapRows] = {0, 2, 5, 10, 20, 30, 40, 60, 80, 100};
std::span<const MapDef> Maps();
// Servo map step depends on byte 482 (percent): 20 mV per count, or 1 %.
int MapCellStep(const ParameterImage& image, const MapDef& map);

// Power output on/off grid: byte 663 + 3n + k holds bit c for throttle band k, rpm band c.
inline constexpr int kPowerGridByte = 663;

const char* PageName(int page);

}  // namespace rq

namespace rq {

// The gear system takes over an input: "Voltage" (1) puts input 2 (byte 167) on "Gear", the
// two ratio systems (2, 3) put input 3 (byte 168) on "Speed". Returns true when a byte
// changed. Every path that hands a configuration to the unit applies it, the window's refresh
// and the command-line tool's load alike.
bool ApplyGearCoupling(ParameterImage& image);

// The parameter row bound to a control name, or nullptr.
const ParameterDef* FindParameter(std::string_view control);
// The byte parameter stored at an image offset, or nullptr.
const ParameterDef* FindParameterAt(int byteOffset);
// The same on one page: a control that several pages share binds one row per page.
const ParameterDef* FindParameter(std::string_view control, int page);

}  // namespace rq
