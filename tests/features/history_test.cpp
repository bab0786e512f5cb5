// SPDX-License-Identifier: GPL-3.0-or-later
// The program history in the window: what a programming keeps (with the count the unit tells
// after it has saved), and a view that says why it is empty or cannot be read.
#include <QAction>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

#include "compare/compare_view.h"
#include "fake_window.h"
#include "history/history_view.h"
#include "history/program_keeper.h"
#include "model/program_history.h"
#include "ui/text_table.h"

namespace rq::test {
namespace {

// The history folder of a test: $XDG_DATA_HOME/RQ_VTMX4_Kelvora/history in a folder of its own.
class HistoryFeature : public ::testing::Test {
 protected:
  HistoryFeature() : saved_(qgetenv("XDG_DATA_HOME")), had_(qEnvironmentVariableIsSet("XDG_DATA_HOME")) {
    qputenv("XDG_DATA_HOME", data_.path().toLocal8Bit());
  }
  ~HistoryFeature() override {
    if (had_) qputenv("XDG_DATA_HOME", saved_);
    else qunsetenv("XDG_DATA_HOME");
  }
  QString noteAfterOpening(bool keptHere) {
    auto* compare = new CompareView(w_.workspace(), w_);
    auto* view = new HistoryView(w_.workspace(), w_, *compare, keptHere);
    view->MenuHistoryClick();
    return view->note()->isVisible() ? view->note()->text() : QString();
  }
  QTemporaryDir data_;
  QByteArray saved_;
  bool had_;
  FakeWindow w_;
};

TEST_F(HistoryFeature, AProgrammingIsKeptWithTheCountTheUnitTellsAfterItsSave) {
  new ProgramKeeper(w_.workspace(), w_, true);
  ASSERT_TRUE(w_.runUntilIdle());
  w_.unit().monitor.programCount = 4;
  w_.image().setByte(173, 9);
  w_.workspace().startProgram();
  ASSERT_TRUE(w_.runUntilIdle());
  auto kept = ListProgramHistory(ProgramHistoryFolder());
  ASSERT_EQ(kept.size(), 1u);  // kept when the verify ended equal
  // The unit counts the programming; its reply while saving does not tell it yet.
  w_.unit().monitor.programCount = 5;
  w_.unit().monitor.savingCountdown = 700;
  for (int i = 0; i < 12; ++i) w_.tick();
  EXPECT_NE(ListProgramHistory(ProgramHistoryFolder())[0].record.programCount, 5);
  w_.unit().monitor.savingCountdown = 0;
  for (int i = 0; i < 12; ++i) w_.tick();
  kept = ListProgramHistory(ProgramHistoryFolder());
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].record.programCount, 5);
  EXPECT_EQ(kept[0].record.from, kFromWindow);
}

TEST_F(HistoryFeature, AnEmptyOrUnreadableHistorySaysWhy) {
  EXPECT_EQ(noteAfterOpening(true), UnitTextQ(UtHistoryEmpty));
  EXPECT_EQ(noteAfterOpening(false), UnitTextQ(UtHistoryDemoNotKept));
  // The history folder is a file: it cannot be read, and the view says so rather than empty.
  const std::string folder = ProgramHistoryFolder();
  QDir().mkpath(QString::fromStdString(folder).section('/', 0, -2));
  std::ofstream(folder) << "not a folder";
  const QString note = noteAfterOpening(true);
  EXPECT_TRUE(note.startsWith(UnitTextQ(UtHistoryUnreadable).arg(QString()))) << note.toStdString();
}

}  // namespace
}  // namespace rq::test
