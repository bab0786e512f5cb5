// SPDX-License-Identifier: GPL-3.0-or-later
// The message table: the numbered texts of the program in the four interface languages
// (0 English, 1 German, 2 French, 3 Czech), held as UTF-8.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace rq {

inline constexpr int kLanguageCount = 4;
inline constexpr int kTextCount = 67;

enum Language : int {
  kLanguageEnglish = 0,
  kLanguageGerman = 1,
  kLanguageFrench = 2,
  kLanguageCzech = 3,
};

// Entry numbers are fixed: the monitor computes some of them (power output modes 1..4 map to
// entries 53..56). Numbers without a name below are not used and hold empty texts.
enum TextId : int {
  TxtManualFile = 0,
  TxtProgramError = 1,
  TxtVerifyError = 2,
  TxtReadError = 3,
  TxtProgramDevice = 4,
  TxtVerifying = 5,
  TxtReading = 6,
  TxtSaving = 7,
  TxtVersionMismatch = 8,
  TxtProgramCount = 9,
  TxtMotorOff = 10,
  TxtStartLimiterActive = 11,
  TxtStartSoftLimiter = 12,
  TxtStartLimiter = 13,
  TxtSoftLimiter = 14,
  TxtLimiter = 15,
  TxtYes = 16,
  TxtNo = 17,
  TxtAdvance = 18,
  TxtAdvance1 = 19,
  TxtAdvance2 = 20,
  TxtMaxAdvance1 = 21,
  TxtMaxAdvance2 = 22,
  TxtComOpenError = 27,
  TxtOpenFileError = 28,
  TxtAskDefaults = 29,
  TxtFileVersionMismatch = 31,
  TxtPrintDateTime = 33,
  TxtManualOpenError = 34,
  TxtPickupError = 35,
  TxtPickup1 = 36,
  TxtPickup2 = 37,
  TxtRunning = 38,
  TxtNoSignal = 39,
  TxtServoMeasured = 40,
  TxtServoDesired = 41,
  TxtClutchMaster = 43,
  TxtInput1 = 45,
  TxtInput2 = 46,
  TxtInput3 = 47,
  TxtRetard = 48,
  TxtAdvanceChart2 = 50,
  TxtFuelPump = 53,
  TxtGearShiftLight = 54,
  TxtPowerJet = 55,
  TxtSpecialOut = 56,
  TxtAcceleration = 57,
  TxtServoEnable = 58,
  TxtBaseAdvance = 59,
  TxtHysteresis = 60,
  TxtPotentiometer = 61,
  TxtAccelThreshold = 63,
  TxtGear = 64,
  TxtSpeed = 65,
  TxtGearVoltage = 66,
};

// The text of entry `id` in `language` (out-of-range language: English; out-of-range id: "").
// Never null.
const char* MessageText(int language, int id);

// The language itself when it is 0..3, else English.
int ClampLanguage(int language);

// 0..3 for exactly "ENGLISH", "DEUTSCH", "FRANCE", "CESKY" (case-sensitive), else -1.
int LanguageFromArgument(const std::string& argument);

// The texts of the current language, owned by the main window. Empty until the first
// ApplyMessageTable; applying a language rewrites all 67 entries.
// The numbered texts of one language. Which language the program speaks is kept by its
// holder (the workspace); the table only holds that language's texts.
class TextTable {
 public:
  // Language values outside 0..3 select English.
  void ApplyMessageTable(int language);
  // Entry `id`; an id outside 0..66 yields an empty text.
  const std::string& text(int id) const;

 private:
  std::array<std::string, kTextCount> entries_{};
};

// Texts of boxes, dialogs and status lines that are not numbered entries, in the same four
// languages. Placeholders %1, %2 are filled by the caller (QString::arg).
enum class UiText : int {
  AskReplace,           // "%1 already exists. ..." before a file is overwritten
  NothingPrinted,       // first line of the box when no page was printed
  PrintingStopped,      // %1 of %2 pages printed
  NoPrinter,            // %1: the variable naming the PDF folder
  PrinterRefused,       // %1: the printer's name
  PdfNotStarted,
  NothingToPrint,
  NoFreeFileName,       // %1: the folder
  CannotOpen,           // file reasons: %1 is the path, the system's reason follows
  CannotRead,
  CannotWrite,
  FileTooLarge,
  SetCellsTitle,        // the map tools' value dialogs
  SetCellsLabel,
  AddCellsTitle,
  AddCellsLabel,
  ScaleCellsTitle,
  ScaleCellsLabel,
  CellsCopied,          // %1: number of cells
  CellsPasted,          // %1: number of cells
  PasteNothing,
  MapCellHint,          // status tips of the map cells, RPM points and column buttons
  MapRpmHint,
  MapColumnHint,
  MapTpsHint,           // the TPS box of the advance pages, and the same box as "Servo enable"
  ServoEnableHint,
  PowerBoxHint,         // %1 output, %2 throttle band, %3 rpm band
  HistoryNotKept,       // %1: the reason
  SettingsUnreadable,   // %1 path, %2 reason: the files of the window's settings and state
  StateUnreadable,
  SettingsNotSaved,
  StateNotKept,
  ReasonFolder,         // reasons of those files that are the program's own words
  ReasonNotRegular,
  ReasonTooLarge,       // %1: the limit in MiB
  Count
};

// The text of `id` in `language` (outside 0..3: English). Never null.
const char* UiMessage(int language, UiText id);

// `pattern` with %1 .. %9 replaced by values[0] .. values[8] in one pass (a value holding "%2"
// stays as it is); placeholders without a value stay.
std::string FillPlaceholders(const char* pattern, const std::vector<std::string>& values);

// A file reason of the file layer ("cannot open PATH: system reason") in `language`: the
// wording around the path is translated, the path and the system's reason are kept. Reasons
// of another form come back unchanged.
std::string LocalizedFileReason(int language, const std::string& reason);

// Captions built from entries, as (control objectName, text) pairs, for the window to apply
// after the entries are filled: LabelRetard, GroupBoxRetard, the four limiter labels and
// GroupBoxPoti.
std::vector<std::pair<std::string, std::string>> ComposedCaptions(const TextTable& texts);

}  // namespace rq
