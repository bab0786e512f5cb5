// SPDX-License-Identifier: GPL-3.0-or-later
// Texts composed from the unit texts: the reason a port cannot be opened and its line.
#include "ui/unit_texts.h"

#include <gtest/gtest.h>

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
      {"", "/dev/ttyS0", OpenFailure::Permission, "Permission denied", kLanguageGerman,
       "/dev/ttyS0: Zugriff verweigert: der Gruppe dialout beitreten (sudo usermod -aG dialout "
       "$USER, dann neu anmelden)"},
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

}  // namespace
}  // namespace rq
