// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/caption_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <tuple>

#include "ui/text_table.h"

namespace rq {
namespace {

using Key = std::tuple<std::string, CaptionProperty, int>;

std::map<Key, std::string> Resolved(int language) {
  std::map<Key, std::string> m;
  for (const CaptionText& t : CaptionTexts(language)) {
    const bool fresh = m.emplace(Key{t.control, t.property, t.item}, t.text).second;
    EXPECT_TRUE(fresh) << DescribeCaption(t) << " twice";
  }
  return m;
}

int Items(const std::string& list) {
  return list.empty() ? 0 : 1 + int(std::count(list.begin(), list.end(), '\n'));
}

// Every language has the same rows, each with a text, and the same number of items in every
// item list: a radio group's item position is the value the configuration stores.
TEST(CaptionTable, SameRowsAndItemCountsInEveryLanguage) {
  const auto english = Resolved(kLanguageEnglish);
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    const auto rows = Resolved(lang);
    ASSERT_EQ(rows.size(), english.size());
    for (const auto& [key, text] : rows) {
      ASSERT_TRUE(english.contains(key));
      EXPECT_FALSE(text.empty()) << std::get<0>(key) << " language " << lang;
      if (std::get<1>(key) == CaptionProperty::ItemList) {
        EXPECT_EQ(Items(text), Items(english.at(key))) << std::get<0>(key) << " language " << lang;
      }
    }
    EXPECT_EQ(Items(rows.at({"RadioGroupInput1", CaptionProperty::ItemList, 0})), 7);
    EXPECT_EQ(Items(rows.at({"RadioGroupInput2", CaptionProperty::ItemList, 0})), 8);
    EXPECT_EQ(Items(rows.at({"RadioGroupInput3", CaptionProperty::ItemList, 0})), 8);
    for (int n = 1; n <= 4; ++n)
      EXPECT_EQ(Items(rows.at({"RadioGroupPOut" + std::to_string(n), CaptionProperty::ItemList, 0})), 5);
    // Items 1 to 3 of the motorbike type keep the form's texts in every language.
    for (int item = 1; item <= 3; ++item)
      EXPECT_FALSE(rows.contains({"ComboBoxBike", CaptionProperty::Item, item}));
  }
  // The page titles of Race and Monitor are not the table's.
  EXPECT_FALSE(english.contains({"TabSheet_Race", CaptionProperty::Caption, 0}));
  EXPECT_FALSE(english.contains({"TabSheet_Monitor", CaptionProperty::Caption, 0}));
}

TEST(CaptionTable, ComposedTextsNumberedControlsAndEntries) {
  const auto en = Resolved(kLanguageEnglish);
  const auto de = Resolved(kLanguageGerman);
  const auto cz = Resolved(kLanguageCzech);
  auto caption = [](const std::map<Key, std::string>& m, const std::string& control) {
    return m.at({control, CaptionProperty::Caption, 0});
  };
  EXPECT_EQ(caption(en, "RadioGroupPOut1"), "Mode power out 1");
  EXPECT_EQ(caption(de, "RadioGroupPOut4"), "Lstg. Ausg Type 4");
  EXPECT_EQ(caption(cz, "GroupBoxPOutMap3"), "Nastavení výkonového výstupu 3");
  EXPECT_EQ(caption(en, "ButtonTestPOut2"), "Out 2");
  EXPECT_EQ(caption(cz, "ButtonTestPOut4"), "Výstup 4");
  EXPECT_EQ(caption(en, "ButtonTestIgn2"), "Cylinder 2");
  EXPECT_EQ(caption(en, "GroupBoxPalec1"), "Channel 1");
  EXPECT_EQ(caption(en, "CheckBoxInvPickup2"), "Inverse polarity of pick-up 2");
  EXPECT_EQ(caption(en, "CheckBoxInvInput3"), "Inverse polarity of input 3");
  EXPECT_FALSE(en.contains({"ButtonTestPOut5", CaptionProperty::Caption, 0}));
  EXPECT_FALSE(en.contains({"ButtonTestPOut", CaptionProperty::Caption, 0}));
  // From the message table.
  EXPECT_EQ(caption(en, "TabSheet_Advance1"), "Advance 1");
  EXPECT_EQ(caption(de, "TabSheet_Advance2"), "Vorzündung 2");
  EXPECT_EQ(caption(en, "LabelGearKorAdv"), "Advance  [°]");
  EXPECT_EQ(caption(cz, "LabelGearKorAdv"), "Předstih  [°]");
  // Exact texts, trailing and double blanks included.
  EXPECT_EQ(en.at({"MenuNew", CaptionProperty::Hint, 0}), "Set default parameters ");
  EXPECT_EQ(cz.at({"MenuFrench", CaptionProperty::Hint, 0}), "Installer en Francais ");
  EXPECT_EQ(en.at({"BitBtnProgram", CaptionProperty::Hint, 0}), "Programing  set parametrs to ignition");
  EXPECT_EQ(de.at({"RadioGroupGearSystem", CaptionProperty::Item, 0}), "Keine ");
  EXPECT_EQ(en.at({"ComboBoxBike", CaptionProperty::Item, 0}), "Classic (1 lobe, 1 or 2 pick-up) ");
  EXPECT_EQ(de.at({"RadioGroupInput2", CaptionProperty::ItemList, 0}),
            "Aus\nNot Aus\nBlockierung\nSchaltautomat\nSpätzündung\nStartbegrenzer\n"
            "2.Vorzündung mappe\nGang");
}

TEST(CaptionTable, WindowTitlePerLanguageAndUnknownLanguageIsEnglish) {
  EXPECT_EQ(WindowTitle(kLanguageEnglish), "Programming of RQ_VTMX4_Kelvora unit");
  EXPECT_EQ(WindowTitle(kLanguageGerman), "Programmierung der RQ_VTMX4_Kelvora Zündbox");
  EXPECT_EQ(WindowTitle(kLanguageFrench), "Programation de RQ_VTMX4_Kelvora unité");
  EXPECT_EQ(WindowTitle(kLanguageCzech), "Programování jednotky RQ_VTMX4_Kelvora");
  EXPECT_EQ(WindowTitle(7), WindowTitle(kLanguageEnglish));
  EXPECT_EQ(CaptionTexts(-1).front().text, WindowTitle(kLanguageEnglish));
}

}  // namespace
}  // namespace rq
