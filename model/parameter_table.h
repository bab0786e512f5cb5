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

// Where a parameter lives: a byte or a word of the image.
struct ImageField {
  Storage storage = Storage::Byte;
  int index = 0;  // word number (Storage::Word) or image byte offset (Storage::Byte)
  constexpr ImageField() = default;
  constexpr ImageField(ByteField f) : storage(Storage::Byte), index(f.offset) {}
  constexpr ImageField(WordField f) : storage(Storage::Word), index(f.index) {}
  constexpr int offset() const { return storage == Storage::Word ? 2 * index : index; }
  constexpr bool isWord() const { return storage == Storage::Word; }
};

struct ParameterDef {
  int page = 0;              // page index
  const char* control = "";  // objectName of the editing control
  const char* name = "";     // English name used by the command-line dump
  ImageField at;
  int step = 1;
  int bias = 0;             // 0 or -100
  int min = 0, max = 0;     // in shown units; choices: item range
  int increment = 1;        // in shown units
  int defaultShown = 0;     // shown value, or one of the kDefault markers
  const char* unit = "";    // "" when none
  ControlKind kind = ControlKind::UpDown;
  // Choices: the items as the window's control shows them in English, in item order (the
  // other languages come from the caption table by control name and item).
  std::span<const char* const> items{};
  // Stored value of each item when the items are not in value order; empty otherwise.
  std::span<const int> itemValues{};
  // Item names of listings and comparisons where they are spelt otherwise than in the
  // window; empty otherwise.
  std::span<const char* const> listedItems{};

  int imageOffset() const { return at.offset(); }
  bool isChoice() const { return kind == ControlKind::ComboBox || kind == ControlKind::RadioGroup; }
};

// The item a choice shows for a stored value, -1 when it has none.
int ItemOfValue(const ParameterDef& d, int value);
// The value an item stores.
int ValueOfItem(const ParameterDef& d, int item);
// The name of a choice's value in listings: the item's text with runs of blanks made one and
// no blanks at the ends; "" when d is no choice or the value has no item.
std::string ListedItem(const ParameterDef& d, int value);

// ComboBoxBike lists the motorbike types in this order.
inline constexpr int kBikeTypeOfItem[6] = {0, 2, 3, 4, 5, 1};

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
  WordArray axis;  // 15 rpm points
  ByteGrid cells;  // throttle row t, rpm column r
  int minCell, maxCell;
  const char* unit;
};
inline constexpr int kMapRows = 10;
inline constexpr int kMapColumns = 15;
// Throttle rows of every map, in percent.
inline constexpr int kThrottleRows[kMapRows] = {0, 2, 5, 10, 20, 30, 40, 60, 80, 100};
std::span<const MapDef> Maps();
// Servo map step depends on kServoPercent: 20 mV per count, or 1 %.
int MapCellStep(const ParameterImage& image, const MapDef& map);

const char* PageName(int page);

}  // namespace rq

namespace rq {

// The gear system takes over an input: "Voltage" (1) puts input 2 on "Gear", the two ratio
// systems (2, 3) put input 3 on "Speed". Returns true when a byte
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
