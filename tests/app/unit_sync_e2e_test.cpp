// SPDX-License-Identifier: GPL-3.0-or-later
// PC against unit in the whole window, against the unit simulator on a pseudo-terminal: what
// the window knows of the unit after reads, verifies and programmings (and failed ones), the
// marks and takes from the comparison, the program history of the command line; and the
// accelerators of the items these features add to the menus. The features alone are tested
// in tests/features.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QProcess>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <fstream>

#include "app/demo_unit.h"
#include "history/history_view.h"
#include "ports/port_names.h"
#include "model/program_history.h"
#include "compare/compare_view.h"
#include "model/configuration_diff.h"
#include "model/defaults.h"
#include "model/ign_file.h"
#include "model/state_file.h"
#include "pages/controls.h"
#include "caption_check.h"
#include "support.h"
#include "ui/unit_texts.h"
#include "unitsync/unit_sync.h"

namespace rq::test {
namespace {

QString Text(UnitText id, int lang = kLanguageEnglish) { return QString::fromStdString(UnitTextOf(id, lang)); }

// ---- the menus ---------------------------------------------------------------------------

class MarkTest : public ::testing::Test {
 protected:
  MarkTest() {
    cfg_.writeState(WriteStateText(NewConfiguration(), AllFlags{}));
    w_ = std::make_unique<Window>();
  }
  FormHlavPeer& form() { return *w_->form; }
  UnitSync& sync() { return form().unitSync(); }
  QString state() { return sync().stateLabel()->text(); }
  void showPage(int page) { form().findChild<QTabWidget*>("PageControl1")->setCurrentIndex(page); }
  TempConfig cfg_;
  std::unique_ptr<Window> w_;
};

// The described menus keep their items in their order and places; what the features add
// comes after them (separators are written as "-").
TEST_F(MarkTest, DescribedMenusKeepTheirItemsAndOrderAndNewItemsComeAfter) {
  const struct {
    const char* menu;
    QStringList described;
  } menus[] = {
      {"MenuFile", {"MenuNew", "-", "MenuOpen", "MenuOpenExeDir", "-", "MenuSave", "MenuSaveExeDir",
                    "-", "MenuPrint", "MenuPrintAll", "-", "MenuExit"}},
      {"MenuDevice", {"MenuRead", "MenuVerify", "MenuProgram"}},
      {"MenuTools", {"MenuToolsMinus", "MenuToolsPlus", "MenuZpet", "MenuZnovu"}},
      {"MenuLanguage", {"MenuEnglish", "MenuGerman", "MenuFrench", "MenuCzech"}},
      {"MenuHelp", {"MenuContens", "MenuAbout"}},
  };
  for (const auto& m : menus) {
    auto* menu = form().findChild<QMenu*>(m.menu);
    ASSERT_NE(menu, nullptr) << m.menu;
    QStringList items;
    for (QAction* a : menu->actions()) items << (a->isSeparator() ? QString("-") : a->objectName());
    EXPECT_EQ(items.mid(0, m.described.size()), m.described) << m.menu << ": " << items.join(" ").toStdString();
  }
  // What the features add is there, after the described items.
  for (const char* added : {"MenuCompareFile", "MenuHistory", "MenuVerifyDiff", "MenuRecord", "MenuLogViewer"})
    EXPECT_NE(form().findChild<QAction*>(added), nullptr) << added;
}

// New menu items: no accelerator letter shared with another item of the same menu, a menu
// title of the bar or a button of the window, in any language.
TEST_F(MarkTest, NewMenuItemsHaveAcceleratorsOfTheirOwn) {
  auto letter = [](const QString& text) {
    const qsizetype at = text.indexOf(QChar(0x26));
    return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
  };
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    SwitchLanguage(form(), lang);
    for (const char* name : {"MenuCompareFile", "MenuHistory"}) {
      auto* a = form().findChild<QAction*>(name);
      ASSERT_NE(a, nullptr) << name;
      const QChar own = letter(a->text());
      if (own.isNull()) continue;
      QStringList clashes;
      for (QAction* top : form().menuBar()->actions())
        if (letter(top->text()) == own) clashes << top->text();
      for (QObject* o = a->parent(); auto* menu = qobject_cast<QMenu*>(o); o = nullptr)
        for (QAction* s : menu->actions())
          if (s != a && letter(s->text()) == own) clashes << s->text();
      for (QPushButton* b : form().findChildren<QPushButton*>())
        if (letter(b->text()) == own) clashes << b->text();
      EXPECT_TRUE(clashes.isEmpty()) << lang << " " << a->text().toStdString() << ": "
                                     << clashes.join(", ").toStdString();
    }
  }
  SwitchLanguage(form(), kLanguageEnglish);
}

// ---- against the simulator ----------------------------------------------------------------

#ifdef RQ_SIM_PROGRAM

class UnitSyncTest : public ::testing::Test {
 protected:
  void start(const ParameterImage& unit, const ParameterImage& window) {
    const QString file = cfg_.path("unit.state");
    std::ofstream(file.toStdString()) << WriteStateText(unit, AllFlags{});
    QString error;
    ASSERT_TRUE(unit_.start({"--image", file, "--engine", "off"}, error, 5000, RQ_SIM_PROGRAM))
        << error.toStdString();
    cfg_.writeSettings(PortsSection(unit_.devicePath().toStdString()));
    cfg_.writeState(WriteStateText(window, AllFlags{}));
    w_ = std::make_unique<Window>();
    ASSERT_TRUE(TickUntil(form(), [&] { return form().connected(); }, 15000));
  }
  FormHlavPeer& form() { return *w_->form; }
  UnitSync& sync() { return form().unitSync(); }
  QString state() { return sync().stateLabel()->text(); }
  bool waitDone() {
    const bool idle = TickUntil(form(), [&] { return !form().exchange().busy(); }, 15000);
    return idle && !form().exchange().view().statusError;
  }
  TempConfig cfg_;
  DemoUnit unit_;
  std::unique_ptr<Window> w_;
};

TEST_F(UnitSyncTest, ReadEditProgramAndTakeBackFromTheComparison) {
  ParameterImage mine = NewConfiguration();
  mine.setWord(3, 11500);
  SanitizeImage(mine);
  start(NewConfiguration(), mine);
  EXPECT_EQ(state(), Text(UtNotRead));
  form().MenuReadClick();
  ASSERT_TRUE(waitDone());
  EXPECT_EQ(state(), Text(UtEqual));
  // One map cell edited on Advance 1.
  form().findChild<QTabWidget*>("PageControl1")->setCurrentIndex(kPageAdvance1);
  auto* cell = form().findChild<SpinEdit*>("EditMap4_5");
  ASSERT_NE(cell, nullptr);
  cell->stepBy(1);
  EXPECT_EQ(state(), Text(UtDifferOne));
  EXPECT_TRUE(sync().marked(cell));
  EXPECT_EQ(sync().markCount(), 1);
  form().MenuProgramClick();
  ASSERT_TRUE(waitDone());
  EXPECT_EQ(state(), Text(UtEqual));
  EXPECT_FALSE(sync().marked(cell));
  // Edit again and take the unit's value back from the comparison view: one undo step.
  const ParameterImage programmed = form().image();
  cell->stepBy(1);
  EXPECT_EQ(state(), Text(UtDifferOne));
  const ParameterImage edited = form().image();
  sync().LabelUnitStateClick();
  CompareView& view = sync().compareView();
  ASSERT_TRUE(view.view() != nullptr && view.view()->isVisible());
  EXPECT_TRUE(view.showsUnit());
  ASSERT_EQ(view.table()->rowCount(), 1);
  view.take(0);
  EXPECT_EQ(state(), Text(UtEqual));
  EXPECT_FALSE(sync().marked(cell));
  EXPECT_TRUE(form().image().sameConfig(programmed));
  form().SpeedButtonZpetClick();
  EXPECT_TRUE(form().image().sameConfig(edited));
  EXPECT_EQ(state(), Text(UtDifferOne));
  EXPECT_TRUE(sync().marked(cell));
}

TEST_F(UnitSyncTest, AFailedProgrammingLeavesTheUnitUnknownUntilTheNextSuccess) {
  start(NewConfiguration(), NewConfiguration());
  form().MenuVerifyClick();
  ASSERT_TRUE(waitDone());
  EXPECT_EQ(state(), Text(UtEqual));
  // The unit stops answering half-way through a programming.
  form().image().setByte(173, 3);
  form().RefreshPages();
  ASSERT_EQ(::kill(pid_t(unit_.processId()), SIGUSR1), 0);
  form().MenuProgramClick();
  EXPECT_FALSE(waitDone());
  EXPECT_EQ(state(), Text(UtUnknown));
  EXPECT_EQ(sync().markCount(), 0);
  // The unit answers again: the knowledge does not come back by itself, a read brings it.
  ASSERT_EQ(::kill(pid_t(unit_.processId()), SIGUSR1), 0);
  ASSERT_TRUE(TickUntil(form(), [&] { return form().connected(); }, 15000));
  EXPECT_EQ(state(), Text(UtUnknown));
  form().MenuReadClick();
  ASSERT_TRUE(waitDone());
  EXPECT_EQ(state(), Text(UtEqual));
}

#ifdef RQ_CLI_PROGRAM

// `rq_vtmx4_cli program` keeps the configuration with its record; `history` and the window's
// History list it alike; Open loads it as one undo step, Compare names the unit it went into.
TEST_F(UnitSyncTest, CommandLineProgramIsListedByHistoryAndTheWindow) {
  const QString data = cfg_.path("data");
  const QByteArray oldData = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", data.toLocal8Bit());
  struct Restore {
    QByteArray value;
    ~Restore() {
      if (value.isEmpty()) qunsetenv("XDG_DATA_HOME");
      else qputenv("XDG_DATA_HOME", value);
    }
  } restore{oldData};
  ParameterImage mine = NewConfiguration();
  mine.setWord(3, 11800);
  SanitizeImage(mine);
  const QString file = cfg_.path("mine.ign");
  std::ofstream(file.toStdString(), std::ios::binary) << WriteIgnText(mine);
  start(NewConfiguration(), NewConfiguration());
  // The window holds the port: let it go for the command line's turn.
  form().exchange().ClosePort();
  QProcess cli;
  cli.start(RQ_CLI_PROGRAM, {"program", "--port", unit_.devicePath(), file});
  ASSERT_TRUE(cli.waitForFinished(30000));
  EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
  QProcess history;
  history.start(RQ_CLI_PROGRAM, {"history"});
  ASSERT_TRUE(history.waitForFinished(10000));
  const QStringList lines = QString::fromUtf8(history.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 1);
  EXPECT_TRUE(lines[0].contains("from command line, file " + file + ", programmings ")) << lines[0].toStdString();
  const auto entries = ListProgramHistory(ProgramHistoryFolder());
  ASSERT_EQ(entries.size(), 1u);

  auto* menu = form().findChild<QAction*>("MenuHistory");
  ASSERT_NE(menu, nullptr);
  menu->trigger();
  auto* view = form().findChild<HistoryView*>();
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(view->table()->rowCount(), 1);
  EXPECT_TRUE(lines[0].startsWith(view->table()->item(0, 0)->text()));
  EXPECT_EQ(view->table()->item(0, 1)->text(), Text(UtFromCommandLine));
  EXPECT_EQ(view->table()->item(0, 2)->text(), "mine.ign");
  view->compare(0);
  CompareView& compare = sync().compareView();
  EXPECT_EQ(compare.header()->text(),
            Text(UtFileProgrammedInto).arg(QString::fromStdString(entries[0].record.unit)));
  EXPECT_FALSE(compare.differences().empty());
  const ParameterImage before = form().image();
  view->open(0);
  EXPECT_TRUE(form().image().sameConfig(mine));
  form().SpeedButtonZpetClick();
  EXPECT_TRUE(form().image().sameConfig(before));
}

#endif  // RQ_CLI_PROGRAM
#endif  // RQ_SIM_PROGRAM

}  // namespace
}  // namespace rq::test

