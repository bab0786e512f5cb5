// SPDX-License-Identifier: GPL-3.0-or-later
// The About window: layout, texts, title per language at every show, closing, and a picture
// that cannot be decoded.
#include <QGuiApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

#include "app/form_about.h"
#include "caption_check.h"
#include "support.h"
#include "ui/caption_apply.h"
#include "ui/text_fit.h"

namespace rq::test {
namespace {

QLabel* Label(const FormAbout& f, const char* name) {
  auto* l = f.findChild<QLabel*>(name);
  EXPECT_NE(l, nullptr) << name;
  return l;
}

TEST(About, PictureAndTextsStandApartInsideTheWindow) {
  FormAbout f(nullptr, [] { return 0; });
  EXPECT_EQ(f.palette().color(QPalette::Window), QColor(Qt::white));
  EXPECT_FALSE(f.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(f.windowFlags() & Qt::WindowCloseButtonHint);

  QLabel* image = Label(f, "Image1");
  ASSERT_TRUE(f.hasPicture());
  const QImage picture = image->pixmap().toImage();
  EXPECT_EQ(picture.size(), QSize(600, 390));  // the built-in picture, unscaled
  const QRect shown = image->geometry();
  EXPECT_TRUE(f.rect().contains(shown));
  EXPECT_GE(shown.width(), picture.width());
  EXPECT_GE(shown.height(), picture.height());
  EXPECT_EQ(QColor(picture.pixel(300, 40)).lightness() > 240, true);  // white ground
  int dark = 0;
  for (int x = 0; x < 600; ++x) dark += QColor(picture.pixel(x, 185)).lightness() < 60;
  EXPECT_GT(dark, 100);  // black lettering across the middle

  EXPECT_TRUE(QRegularExpression("^[A-Z][a-z]{2} [ 1-3][0-9] [0-9]{4}$").match(Label(f, "LabelDate")->text()).hasMatch())
      << Label(f, "LabelDate")->text().toStdString();
  EXPECT_TRUE(QRegularExpression("^[0-2][0-9]:[0-5][0-9]:[0-6][0-9]$").match(Label(f, "LabelTime")->text()).hasMatch());
  EXPECT_EQ(Label(f, "LabelRsKey")->text(), "Version - 79");
  EXPECT_EQ(Label(f, "LabelExit")->text(), "OK");
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  // Date, time, version and OK in a row under the picture, in that order, none over another.
  int right = -1;
  for (const char* name : {"LabelDate", "LabelTime", "LabelRsKey", "LabelExit"}) {
    const QRect at = Label(f, name)->geometry();
    EXPECT_TRUE(f.rect().contains(at)) << name;
    EXPECT_GT(at.top(), shown.bottom()) << name;
    EXPECT_GT(at.left(), right) << name;
    right = at.right();
  }
  EXPECT_TRUE(FindCutOffTexts(&f).isEmpty());
}

TEST(About, TitleFollowsTheLanguageAtEveryShow) {
  TempConfig cfg;
  Pty pty;
  cfg.writeSettings(PortsSection(pty.slave()));
  Window w({"CESKY"});
  FormAbout* about = w.form->formAbout();
  ASSERT_NE(about, nullptr);
  about->open();
  EXPECT_EQ(about->windowTitle(), QString::fromUtf8("O programu RQ_VTMX4_Kelvora"));
  about->close();
  SwitchLanguage(*w.form, kLanguageGerman);
  about->open();
  EXPECT_EQ(about->windowTitle(), QString::fromUtf8("Über Programm RQ_VTMX4_Kelvora"));
  about->close();
  EXPECT_EQ(FormAbout::Title(kLanguageFrench), "Information RQ_VTMX4_Kelvora");
  EXPECT_EQ(FormAbout::Title(kLanguageEnglish), "About RQ_VTMX4_Kelvora");
}

TEST(About, CentredOnceAndTheSamePlaceLater) {
  FormAbout f;
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  const QPoint centred(screen.x() + screen.width() / 2 - f.frameGeometry().width() / 2,
                       screen.y() + screen.height() / 2 - f.frameGeometry().height() / 2);
  EXPECT_EQ(f.pos(), centred);
  f.open();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  const QPoint first = f.pos();
  f.close();
  f.open();
  EXPECT_EQ(f.pos(), first);
  f.close();
}

TEST(About, OkLabelClosesEscapeDoesNot) {
  FormAbout f;
  f.open();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  QTest::keyClick(&f, Qt::Key_Escape);
  EXPECT_TRUE(f.isVisible());
  QTest::mouseClick(Label(f, "LabelRsKey"), Qt::LeftButton);
  EXPECT_TRUE(f.isVisible());
  QTest::mouseClick(Label(f, "LabelExit"), Qt::LeftButton);
  EXPECT_FALSE(f.isVisible());
  EXPECT_EQ(f.result(), QDialog::Accepted);
  f.open();
  EXPECT_TRUE(f.isVisible());
  f.close();  // the close box
  EXPECT_FALSE(f.isVisible());
}

TEST(About, PictureThatCannotBeDecodedLeavesTheWindowWithoutOne) {
  const auto good = AboutPictureJpeg();
  std::vector<std::uint8_t> cut(good.begin(), good.begin() + std::ptrdiff_t(good.size() / 2));
  std::vector<std::uint8_t> garbage(5000, 0x5A);
  for (const std::vector<std::uint8_t>& bad : {cut, garbage, std::vector<std::uint8_t>{0xFF, 0xD8}}) {
    FormAbout f(nullptr, {}, bad);
    EXPECT_FALSE(f.hasPicture());
    EXPECT_EQ(Label(f, "LabelRsKey")->text(), "Version - 79");
    f.open();
    EXPECT_TRUE(f.isVisible());
    f.close();
  }
  // A good picture after a bad one is shown again, and a bad one removes it.
  FormAbout f(nullptr, {}, garbage);
  EXPECT_TRUE(f.setPicture(good));
  EXPECT_TRUE(f.hasPicture());
  EXPECT_FALSE(f.setPicture(cut));
  EXPECT_FALSE(f.hasPicture());
}

}  // namespace
}  // namespace rq::test
