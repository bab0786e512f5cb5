// SPDX-License-Identifier: GPL-3.0-or-later
// The servo page while its map is off says how to turn it on, in every language.
#include <QLabel>

#include <gtest/gtest.h>

#include "fake_window.h"
#include "model/image_fields.h"
#include "pages/map_pages.h"
#include "ui/text_table.h"

namespace rq::test {
namespace {

TEST(ServoPage, WithTheServoOffALineSaysHowToTurnItsMapOn) {
  FakeWindow w;
  w.image().setByte(kServoEnable, 0);
  w.showPage(kPageServo);
  auto* line = w.findChild<QLabel*>("LabelServoMapOff");
  ASSERT_NE(line, nullptr);
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    w.workspace().setLanguage(lang);
    w.RefreshPages();
    EXPECT_TRUE(line->isVisibleTo(&w)) << lang;
    EXPECT_TRUE(line->text().contains(QString::fromUtf8(MessageText(lang, TxtServoEnable)))) << lang;
    EXPECT_FALSE(w.pages().maps().grid().box()->isVisibleTo(&w));
  }
  w.image().setByte(kServoEnable, 1);
  w.RefreshPages();
  EXPECT_FALSE(line->isVisibleTo(&w));
  EXPECT_TRUE(w.pages().maps().grid().box()->isVisibleTo(&w));
  // Not on the advance pages, whatever the servo.
  w.image().setByte(kServoEnable, 0);
  w.showPage(kPageAdvance1);
  EXPECT_FALSE(line->isVisibleTo(&w));
}

}  // namespace
}  // namespace rq::test
