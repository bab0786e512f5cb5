#include "ui/text_table.h"

#include <gtest/gtest.h>

#include <string>

namespace rq {
namespace {

// Number of code points, or -1 when the bytes are not well-formed UTF-8.
int Utf8Length(const std::string& s) {
  int count = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    const auto lead = static_cast<unsigned char>(s[i]);
    std::size_t extra = 0;
    if (lead < 0x80) {
      extra = 0;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
    } else {
      return -1;
    }
    for (std::size_t k = 1; k <= extra; ++k) {
      if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return -1;
    }
    i += extra + 1;
    ++count;
  }
  return count;
}

constexpr int kUnusedEntries[] = {23, 24, 25, 26, 30, 32, 42, 44, 49, 51, 52, 62};

bool IsUnused(int id) {
  for (int u : kUnusedEntries) {
    if (u == id) return true;
  }
  return false;
}

TEST(TextTable, EveryUsedEntryIsFilledInEveryLanguageAsValidUtf8) {
  int used = 0;
  for (int id = 0; id < kTextCount; ++id) {
    if (IsUnused(id)) continue;
    ++used;
    for (int lang = 0; lang < kLanguageCount; ++lang) {
      const std::string text = MessageText(lang, id);
      EXPECT_FALSE(text.empty()) << "entry " << id << " language " << lang;
      EXPECT_GT(Utf8Length(text), 0) << "entry " << id << " language " << lang;
    }
  }
  EXPECT_EQ(used, 55);
}

TEST(TextTable, PickupErrorIsFortyCharactersInEveryLanguage) {
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    EXPECT_EQ(Utf8Length(MessageText(lang, TxtPickupError)), 40) << "language " << lang;
  }
  EXPECT_EQ(std::string(MessageText(kLanguageCzech, TxtPickupError)),
            "Chyba v snímacím systému                ");
}

TEST(TextTable, BlanksAndAccentsAreKeptExactly) {
  // Trailing blanks: the value is appended directly after these.
  EXPECT_EQ(std::string(MessageText(kLanguageEnglish, TxtProgramCount)), "Number of Programing= ");
  EXPECT_EQ(std::string(MessageText(kLanguageGerman, TxtProgramCount)), "Programmierungsanzahl= ");
  EXPECT_EQ(std::string(MessageText(kLanguageFrench, TxtPrintDateTime)),
            "Date et heur de l´imprimé:   ");
  EXPECT_EQ(std::string(MessageText(kLanguageGerman, TxtPrintDateTime)), "Zeitpunkt des Ausdruckes   ");
  EXPECT_EQ(std::string(MessageText(kLanguageEnglish, TxtAdvanceChart2)), "2nd advance chart ");
  EXPECT_EQ(std::string(MessageText(kLanguageCzech, TxtAdvanceChart2)), "2. mapa předstihu");
  // Leading blanks of the pick-up values.
  EXPECT_EQ(std::string(MessageText(kLanguageGerman, TxtNoSignal)), " kein Signal");
  EXPECT_EQ(std::string(MessageText(kLanguageFrench, TxtRunning)), " fonctionne");
  EXPECT_EQ(std::string(MessageText(kLanguageGerman, TxtRunning)), "läuft");
  // Accented letters of each language.
  EXPECT_EQ(std::string(MessageText(kLanguageCzech, TxtComOpenError)), "Chyba při otevírání portu Com!");
  EXPECT_EQ(std::string(MessageText(kLanguageGerman, TxtComOpenError)), "Falscher COM-Anschlußes!");
  EXPECT_EQ(std::string(MessageText(kLanguageFrench, TxtAcceleration)), "Accélération");
  EXPECT_EQ(std::string(MessageText(kLanguageCzech, TxtSpecialOut)), "Specielní výstup");
}

TEST(TextTable, ComposedEntriesCarryTheirParts) {
  const char* pickupWord[] = {"Pick-up (CKPS)", "Geber(CKPS)", "Capteur(CKPS)", "Snímač (klika)"};
  const char* inputWord[] = {"Input", "Eingang", "Entrée", "Vstup"};
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    const std::string manual = MessageText(lang, TxtManualFile);
    EXPECT_EQ(manual, "Kelvora_manual_en.pdf");
    const std::string error = MessageText(lang, TxtManualOpenError);
    EXPECT_EQ(error.substr(error.size() - manual.size() - 2), manual + " !") << lang;
    EXPECT_EQ(std::string(MessageText(lang, TxtPickup2)), std::string(pickupWord[lang]) + " 2");
    EXPECT_EQ(std::string(MessageText(lang, TxtInput3)), std::string(inputWord[lang]) + " 3");
  }
}

TEST(TextTable, FrenchHasItsOwnLimiterAndShiftLightTexts) {
  for (int id : {TxtStartLimiterActive, TxtGearShiftLight}) {
    EXPECT_NE(std::string(MessageText(kLanguageFrench, id)), MessageText(kLanguageEnglish, id));
  }
}

TEST(TextTable, ApplyingALanguageRewritesAllEntries) {
  TextTable table;
  EXPECT_EQ(table.text(TxtYes), "");  // empty before the first application
  table.ApplyMessageTable(kLanguageCzech);
  EXPECT_EQ(table.language(), kLanguageCzech);
  EXPECT_EQ(table.text(TxtYes), "ANO");
  EXPECT_EQ(table.text(TxtGear), "Rychlost. stupeň");
  table.ApplyMessageTable(kLanguageGerman);
  EXPECT_EQ(table.text(TxtYes), "JA");
  EXPECT_EQ(table.text(TxtGear), "Gang");
  EXPECT_EQ(table.text(42), "");
  EXPECT_EQ(table.text(-1), "");
  EXPECT_EQ(table.text(kTextCount), "");
}

TEST(TextTable, LanguagesOutsideTheTableFallBackToEnglish) {
  TextTable table;
  for (int lang : {4, 7, 255, -1}) {
    table.ApplyMessageTable(kLanguageCzech);
    table.ApplyMessageTable(lang);
    EXPECT_EQ(table.language(), kLanguageEnglish) << lang;
    EXPECT_EQ(table.text(TxtNo), "NO") << lang;
    EXPECT_STREQ(MessageText(lang, TxtNo), "NO");
  }
  EXPECT_STREQ(MessageText(kLanguageEnglish, 99), "");
}

TEST(TextTable, LanguageArgumentMustMatchExactly) {
  EXPECT_EQ(LanguageFromArgument("ENGLISH"), 0);
  EXPECT_EQ(LanguageFromArgument("DEUTSCH"), 1);
  EXPECT_EQ(LanguageFromArgument("FRANCE"), 2);
  EXPECT_EQ(LanguageFromArgument("CESKY"), 3);
  for (const char* other : {"english", "Cesky", "FRENCH", "GERMAN", "", " CESKY", "CESKY ", "ČESKY"}) {
    EXPECT_EQ(LanguageFromArgument(other), -1) << '"' << other << '"';
  }
}

TEST(TextTable, ComposedCaptionsFollowTheLanguage) {
  TextTable table;
  table.ApplyMessageTable(kLanguageGerman);
  auto captions = ComposedCaptions(table);
  auto find = [&](const std::string& name) {
    for (const auto& [object, text] : captions) {
      if (object == name) return text;
    }
    return std::string("<missing>");
  };
  EXPECT_EQ(captions.size(), 7u);
  EXPECT_EQ(find("LabelRetard"), "Spätzündung [°]");
  EXPECT_EQ(find("GroupBoxRetard"), "Spätzündung");
  EXPECT_EQ(find("LabelStartSoftLimiter"), "Startsoftbegrenzer [rpm]");
  EXPECT_EQ(find("LabelStartHardLimiter"), "Startbegrenzer [rpm]");
  EXPECT_EQ(find("LabelSoftLimiter"), "Soft begrenzer [rpm]");
  EXPECT_EQ(find("LabelHardLimiter"), "Begrenzer [rpm]");
  EXPECT_EQ(find("GroupBoxPoti"), "Potentiometer");
  table.ApplyMessageTable(kLanguageCzech);
  captions = ComposedCaptions(table);
  EXPECT_EQ(find("GroupBoxPoti"), "Potenciometr");
  EXPECT_EQ(find("LabelHardLimiter"), "Omezovač [rpm]");
}

}  // namespace
}  // namespace rq
