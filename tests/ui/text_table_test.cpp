// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/text_table.h"

#include <gtest/gtest.h>

#include <string>

namespace rq {
namespace {

// Characters, not bytes: continuation bytes of UTF-8 are not counted.
int Chars(const std::string& s) {
  int n = 0;
  for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

std::string Text(int language, int id) { return MessageText(language, id); }

TEST(TextTable, UsedEntriesFilledInEveryLanguagePickupErrorPaddedToForty) {
  const std::string unused = ",23,24,25,26,30,32,42,44,49,51,52,62,";
  for (int id = 0; id < kTextCount; ++id) {
    const bool isUnused = unused.find("," + std::to_string(id) + ",") != std::string::npos;
    for (int lang = 0; lang < kLanguageCount; ++lang) {
      EXPECT_EQ(Text(lang, id).empty(), isUnused) << "entry " << id << " language " << lang;
    }
  }
  for (int lang = 0; lang < kLanguageCount; ++lang) EXPECT_EQ(Chars(Text(lang, TxtPickupError)), 40);
  EXPECT_EQ(Text(kLanguageCzech, TxtPickupError), "Chyba v snímacím systému                ");
}

TEST(TextTable, BlanksAndAccentsAreKeptExactly) {
  EXPECT_EQ(Text(kLanguageEnglish, TxtProgramCount), "Number of Programing= ");
  EXPECT_EQ(Text(kLanguageFrench, TxtPrintDateTime), "Date et heur de l´imprimé:   ");
  EXPECT_EQ(Text(kLanguageEnglish, TxtAdvanceChart2), "2nd advance chart ");
  EXPECT_EQ(Text(kLanguageGerman, TxtNoSignal), " kein Signal");
  EXPECT_EQ(Text(kLanguageFrench, TxtRunning), " fonctionne");
  EXPECT_EQ(Text(kLanguageCzech, TxtComOpenError), "Chyba při otevírání portu Com!");
  EXPECT_EQ(Text(kLanguageGerman, TxtOpenFileError), "Fehler beim öffnen der Datei!");
  const char* inputWord[] = {"Input", "Eingang", "Entrée", "Vstup"};
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    const std::string error = Text(lang, TxtManualOpenError);
    EXPECT_EQ(error.substr(error.size() - 23), "Kelvora_manual_en.pdf !") << lang;
    EXPECT_EQ(Text(lang, TxtInput3), std::string(inputWord[lang]) + " 3");
  }
}

TEST(TextTable, ApplyingALanguageRewritesEveryEntry) {
  TextTable table;
  EXPECT_EQ(table.text(TxtYes), "");  // empty before the first application
  table.ApplyMessageTable(kLanguageCzech);
  EXPECT_EQ(table.text(TxtYes), "ANO");
  EXPECT_EQ(table.text(TxtGear), "Rychlost. stupeň");
  table.ApplyMessageTable(kLanguageGerman);
  EXPECT_EQ(table.text(TxtGear), "Gang");
  EXPECT_EQ(table.text(-1), "");
  EXPECT_EQ(table.text(kTextCount), "");
  // Values outside the table (possible from an edited settings file) select English.
  for (int lang : {4, 255, -1}) {
    table.ApplyMessageTable(kLanguageCzech);
    table.ApplyMessageTable(lang);
    EXPECT_EQ(table.text(TxtNo), "NO") << lang;
    EXPECT_EQ(Text(lang, TxtNo), "NO");
  }
}

TEST(TextTable, LanguageArgumentMustMatchExactly) {
  EXPECT_EQ(LanguageFromArgument("ENGLISH"), 0);
  EXPECT_EQ(LanguageFromArgument("DEUTSCH"), 1);
  EXPECT_EQ(LanguageFromArgument("FRANCE"), 2);
  EXPECT_EQ(LanguageFromArgument("CESKY"), 3);
  for (const char* other : {"english", "Cesky", "FRENCH", "", "CESKY ", "ČESKY"}) {
    EXPECT_EQ(LanguageFromArgument(other), -1) << '"' << other << '"';
  }
}

TEST(TextTable, ComposedCaptionsFollowTheLanguage) {
  TextTable table;
  table.ApplyMessageTable(kLanguageGerman);
  std::vector<std::pair<std::string, std::string>> captions = ComposedCaptions(table);
  ASSERT_EQ(captions.size(), 10u);
  EXPECT_EQ(captions[0], std::make_pair(std::string("LabelRetard"), std::string("Spätzündung [°]")));
  EXPECT_EQ(captions[5], std::make_pair(std::string("LabelHardLimiter"), std::string("Begrenzer [rpm]")));
  table.ApplyMessageTable(kLanguageCzech);
  captions = ComposedCaptions(table);
  EXPECT_EQ(captions[6], std::make_pair(std::string("GroupBoxPoti"), std::string("Potenciometr")));
  // The input selectors are titled with the monitor's input names.
  EXPECT_EQ(captions[8], std::make_pair(std::string("RadioGroupInput2"), std::string("Vstup 2")));
}

// Paths and system reasons go into the texts as they are: a "%2" inside a path is not filled
// again, and a placeholder without a value stays visible rather than vanishing.
TEST(TextTable, PlaceholdersAreFilledInOnePass) {
  EXPECT_EQ(FillPlaceholders("%1: %2", {"/tmp/100%2", "Is a directory"}), "/tmp/100%2: Is a directory");
  EXPECT_EQ(FillPlaceholders("%2 before %1", {"a", "b"}), "b before a");
  EXPECT_EQ(FillPlaceholders("%1 of %3 at 50%", {"x"}), "x of %3 at 50%");
  EXPECT_EQ(FillPlaceholders(UiMessage(kLanguageCzech, UiText::ReasonTooLarge), {"4"}),
            "je větší než 4 MiB");
}

}  // namespace
}  // namespace rq
