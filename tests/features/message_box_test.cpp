// SPDX-License-Identifier: GPL-3.0-or-later
// A message about a path of thousands of characters stays inside the screen, and loses nothing.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include <gtest/gtest.h>

#include <algorithm>

#include "ui/qt_text.h"
#include "ui/text_fit.h"

namespace rq::test {
namespace {

QSize Shown(QMessageBox& box) {
  box.show();
  QCoreApplication::processEvents();
  return box.size().expandedTo(box.sizeHint());
}

TEST(MessageBox, AThreeThousandCharacterPathKeepsTheBoxInsideTheScreen) {
  QString path;
  while (path.size() < 3000) path += "/very_long_folder_name_without_breaks";
  const QString text = "Error by opening file!\ncannot open " + path + ": Permission denied";
  const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
  QMessageBox plain(QMessageBox::Information, "RQ", text);
  const QSize before = Shown(plain);
  ASSERT_FALSE(before.width() <= screen.width() && before.height() <= screen.height());
  QMessageBox box(QMessageBox::Information, "RQ", QString());
  SetMessageText(box, text);
  const QSize after = Shown(box);
  EXPECT_LE(after.width(), screen.width());
  EXPECT_LE(after.height(), screen.height());
  // The head and the tail of the path show; the whole text is in the details.
  EXPECT_TRUE(box.text().contains("cannot open /very_long_folder"));
  EXPECT_TRUE(box.text().endsWith("without_breaks: Permission denied"));
  EXPECT_EQ(box.detailedText(), text);
  // Short texts are left as they are.
  EXPECT_EQ(ElideLongWords("Open file error!\n/home/me/bike.ign"), "Open file error!\n/home/me/bike.ign");
}

}  // namespace
}  // namespace rq::test
