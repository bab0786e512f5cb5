// SPDX-License-Identifier: GPL-3.0-or-later
// Texts composed from the unit texts: the reason a port cannot be opened and its line.
#include "ui/unit_texts.h"

#include <gtest/gtest.h>

#include <string>

#include "link/serial_port.h"
#include "ui/text_table.h"

namespace rq {
namespace {

TEST(PortOpenTexts, TheLineNamesThePortAndGivesTheReasonInTheLanguage) {
  const struct {
    const char* com;
    const char* path;
    OpenFailure kind;
    const char* message;
    int language;
    const char* line;
  } cases[] = {
      {"COM3", "/dev/ttyUSB2", OpenFailure::Missing, "No such file or directory", kLanguageEnglish,
       "COM3 = /dev/ttyUSB2: no such device (is the adapter plugged in?)"},
      {"", "/dev/ttyUSB2", OpenFailure::Busy, "Resource temporarily unavailable", kLanguageFrench,
       "/dev/ttyUSB2 : utilisé par un autre programme"},
      // Anything else: the system's reason as it came.
      {"COM1", "/dev/null", OpenFailure::Other, "not a serial device", kLanguageCzech,
       "COM1 = /dev/null: not a serial device"},
      // A Com number without a path, and a path holding a placeholder of its own.
      {"COM9", "", OpenFailure::Missing, "no device path", kLanguageCzech,
       "COM9 = -: zařízení neexistuje (je adaptér připojen?)"},
      {"", "/tmp/%1", OpenFailure::Other, "Input/output error", kLanguageEnglish,
       "/tmp/%1: Input/output error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const OpenResult open{c.kind, c.message};
    EXPECT_EQ(PortOpenLine(c.com, c.path, open, c.language), c.line);
  }
}

// The comparison view's summary agrees with its count in every language.
TEST(DifferenceTexts, TheCountTakesTheFormOfItsNumber) {
  const struct {
    std::size_t count;
    int language;
    const char* start;
  } cases[] = {
      {1, kLanguageEnglish, "1 value differs. "},
      {2, kLanguageEnglish, "2 values differ. "},
      {1, kLanguageGerman, "1 Wert unterscheidet sich. "},
      {7, kLanguageGerman, "7 Werte unterscheiden sich. "},
      {1, kLanguageFrench, "1 valeur diffère. "},
      {3, kLanguageFrench, "3 valeurs diffèrent. "},
      {1, kLanguageCzech, "Liší se 1 hodnota. "},
      {4, kLanguageCzech, "Liší se 4 hodnoty. "},
      {5, kLanguageCzech, "Liší se 5 hodnot. "},
      {22, kLanguageCzech, "Liší se 22 hodnot. "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.start);
    const std::string text = DifferencesSummary(c.count, c.language);
    EXPECT_EQ(text.substr(0, std::string(c.start).size()), c.start) << text;
  }
}

}  // namespace
}  // namespace rq
