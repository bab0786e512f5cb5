// SPDX-License-Identifier: GPL-3.0-or-later
// The comparison view against a file: its rows, and takes of one value and of all, each one
// change of the configuration.
#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

#include "compare/compare_view.h"
#include "fake_window.h"
#include "model/configuration_diff.h"
#include "model/ign_file.h"
#include "ui/notice_texts.h"
#include "ui/unit_texts.h"

namespace rq::test {
namespace {


QAction* Named(QMenu* menu, const char* name) {
  for (QAction* a : menu->actions())
    if (a->objectName() == name) return a;
  return nullptr;
}

TEST(CompareViewFeature, FileRowsTakeOneValueOrAllEachAsOneUndoStep) {
  FakeWindow w;
  auto* view = new CompareView(w.workspace(), w);
  ParameterImage other = w.image();
  other.setWord(3, other.word(3) + 100);
  other.setByte(181 + 15 * 2 + 3, other.byte(181 + 15 * 2 + 3) + 2);
  SanitizeImage(other);
  QTemporaryDir dir;
  const QString path = dir.filePath("other.ign");
  std::ofstream(path.toStdString(), std::ios::binary) << WriteIgnText(other);
  view->openDialog = [&] { return path; };
  QAction* item = Named(w.menu(WindowFace::Menu::File), "MenuCompareFile");
  ASSERT_NE(item, nullptr);
  item->trigger();
  ASSERT_NE(view->view(), nullptr);
  EXPECT_TRUE(view->view()->isVisible());
  EXPECT_FALSE(view->showsUnit());
  const auto expected = CompareConfigurations(w.image(), other);
  ASSERT_EQ(view->table()->rowCount(), int(expected.size()));
  ASSERT_GE(expected.size(), 2u);
  EXPECT_EQ(view->table()->item(0, 1)->text().toStdString(), expected[0].name);
  EXPECT_EQ(view->table()->item(0, 3)->text().toStdString(), expected[0].second);
  EXPECT_EQ(view->header()->text(), UnitTextQ(UtFileHasNoIdentification));
  const ParameterImage before = w.image();
  view->take(0);
  EXPECT_EQ(view->table()->rowCount(), int(expected.size()) - 1);
  view->takeAll();
  EXPECT_TRUE(w.image().sameConfig(other));
  EXPECT_EQ(view->table()->rowCount(), 0);
  EXPECT_EQ(view->summary()->text(), UnitTextQ(UtNoDifferences));
  w.workspace().undo();
  EXPECT_EQ(int(CompareConfigurations(w.image(), other).size()), int(expected.size()) - 1);
  w.workspace().undo();
  EXPECT_TRUE(w.image().sameConfig(before));
  EXPECT_EQ(view->table()->rowCount(), int(expected.size()));
  // A file of another image version is not compared, and the view says why.
  const QString old = dir.filePath("old.ign");
  std::ofstream(old.toStdString(), std::ios::binary) << "TAVRENIX_KEY 78\r\n";
  view->openDialog = [&] { return old; };
  item->trigger();
  EXPECT_EQ(view->table()->rowCount(), 0);
  EXPECT_TRUE(view->header()->text().startsWith(UnitTextQ(UtFileNotLoaded).arg(QString())))
      << view->header()->text().toStdString();
  EXPECT_TRUE(view->header()->text().contains("version")) << view->header()->text().toStdString();
}

}  // namespace
}  // namespace rq::test

namespace rq::test {
namespace {

// While a read replaces the configuration the takes write nothing, and say why as edits do.
TEST(CompareViewFeature, TakesWaitForARunningRead) {
  FakeWindow w;
  auto* view = new CompareView(w.workspace(), w);
  ParameterImage other = w.image();
  other.setWord(3, other.word(3) + 100);
  SanitizeImage(other);
  view->showUnit(other, true);
  ASSERT_EQ(view->differences().size(), 1u);
  w.workspace().startRead();
  const ParameterImage before = w.image();
  const int steps = w.workspace().undoHistory().current();
  w.notes.clear();
  view->take(0);
  view->takeAll();
  EXPECT_TRUE(w.image().sameConfig(before));
  EXPECT_EQ(w.workspace().undoHistory().current(), steps);
  ASSERT_EQ(w.notes.size(), 2u);
  EXPECT_EQ(w.notes[0], QString::fromUtf8(NoticeText(kLanguageEnglish, NoticeEditsWaitForRead)));
}

}  // namespace
}  // namespace rq::test
