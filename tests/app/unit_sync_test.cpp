// SPDX-License-Identifier: GPL-3.0-or-later
// PC against unit: what the window knows of the unit after reads, verifies and programmings
// (and failed ones), the status text and the difference marks on every page, and the
// comparison view with its takes, against the unit simulator on a pseudo-terminal and offline.
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

// ---- marks on every page, offline ---------------------------------------------------------

class MarkTest : public ::testing::Test {
 protected:
  MarkTest() {
    cfg_.writeState(WriteStateText(NewConfiguration(), AllFlags{}));
    w_ = std::make_unique<Window>();
  }
  FormHlav& form() { return *w_->form; }
  UnitSync& sync() { return form().unitSync(); }
  QString state() { return sync().stateLabel()->text(); }
  void showPage(int page) { form().findChild<QTabWidget*>("PageControl1")->setCurrentIndex(page); }
  TempConfig cfg_;
  std::unique_ptr<Window> w_;
};

TEST_F(MarkTest, EveryFieldGridBoxAndMapCellIsMarkedAloneWhenItAloneDiffers) {
  EXPECT_EQ(state(), Text(UtNotRead));
  const ParameterImage unit = form().image();
  form().workspace().unitRead(unit);
  EXPECT_EQ(state(), Text(UtEqual));
  EXPECT_EQ(sync().markCount(), 0);
  int checked = 0;
  for (const ParameterDef& d : ScalarParameters()) {
    form().image() = unit;
    const int v = ShownValue(unit, d);
    StoreShown(form().image(), d, v == d.max ? d.min : v + (d.step > 0 ? d.step : 1));
    if (ShownValue(form().image(), d) == v) continue;
    showPage(d.page);
    form().RefreshPages();
    QWidget* w = form().findChild<QWidget*>(d.control);
    ASSERT_NE(w, nullptr) << d.control;
    if (auto* updown = qobject_cast<UpDown*>(w)) w = updown->edit();
    EXPECT_TRUE(sync().marked(w)) << d.name;
    // Other fields may follow through the gear coupling; each difference has its mark.
    EXPECT_EQ(sync().differenceCount(), int(DifferingSlots(form().image(), unit).size())) << d.name;
    EXPECT_GE(sync().markCount(), 1) << d.name;
    if (sync().differenceCount() == 1) {
      EXPECT_EQ(sync().markCount(), 1) << d.name;
      EXPECT_EQ(state(), Text(UtDifferOne)) << d.name;
    }
    ++checked;
  }
  EXPECT_GT(checked, 100);
  // Every box of the power-output grids.
  for (int n = 0; n < 4; ++n)
    for (int k = 0; k < 3; ++k)
      for (int c = 0; c < 4; ++c) {
        form().image() = unit;
        const int off = kPowerGrid.first + 3 * n + k;
        form().image().setByte(off, unit.byte(off) ^ (1 << c));
        showPage(n < 3 ? kPagePowerOut1 : kPagePowerOut2);
        form().RefreshPages();
        auto* box = form().findChild<QWidget*>(QString("CheckBoxPOut%1_%2_%3").arg(n + 1).arg(k + 1).arg(c + 1));
        EXPECT_TRUE(sync().marked(box)) << n << k << c;
        EXPECT_EQ(sync().markCount(), 1);
      }
  // One rpm point and one cell of each map: marked on its own page only.
  for (const MapDef& m : Maps()) {
    form().image() = unit;
    form().image().setByte(m.cells.first + 15 * 6 + 9, unit.byte(m.cells.first + 15 * 6 + 9) + 1);
    form().image().setWord(m.axis[9], unit[m.axis[9]] + 10);
    showPage(m.page);
    form().RefreshPages();
    EXPECT_TRUE(sync().marked(form().findChild<QWidget*>("EditMap6_9"))) << m.name;
    EXPECT_TRUE(sync().marked(form().findChild<QWidget*>("EditMapRpm9"))) << m.name;
    EXPECT_EQ(sync().markCount(), 2);
    EXPECT_EQ(state(), Text(UtDifferMany).arg(2));
    showPage(m.page == kPageAdvance1 ? kPageAdvance2 : kPageAdvance1);
    EXPECT_EQ(sync().markCount(), 0) << m.name;
  }
  // Equal again: every mark goes.
  form().image() = unit;
  form().RefreshPages();
  EXPECT_EQ(sync().markCount(), 0);
  EXPECT_EQ(state(), Text(UtEqual));
}

TEST_F(MarkTest, StatusSpeaksEveryLanguageAndFollowsUndo) {
  const ParameterImage unit = form().image();
  form().workspace().unitRead(unit);
  showPage(kPageInputs);
  form().findChild<SpinEdit*>("EditHardLimiter")->stepBy(1);
  EXPECT_EQ(state(), Text(UtDifferOne));
  EXPECT_TRUE(sync().marked(form().findChild<QWidget*>("EditHardLimiter")));
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    SwitchLanguage(form(), lang);
    EXPECT_EQ(state(), Text(UtDifferOne, lang));
  }
  SwitchLanguage(form(), kLanguageEnglish);
  form().SpeedButtonZpetClick();
  EXPECT_EQ(state(), Text(UtEqual));
  EXPECT_EQ(sync().markCount(), 0);
  form().SpeedButtonZnovuClick();
  EXPECT_EQ(sync().markCount(), 1);
}

// ---- comparison with a file --------------------------------------------------------------

TEST_F(MarkTest, CompareWithFileTakesValuesOneUndoStepEach) {
  ParameterImage other = form().image();
  other.setWord(3, other.word(3) + 100);
  other.setByte(181 + 15 * 2 + 3, other.byte(181 + 15 * 2 + 3) + 2);
  SanitizeImage(other);
  const QString path = cfg_.path("other.ign");
  std::ofstream(path.toStdString(), std::ios::binary) << WriteIgnText(other);
  CompareView& view = sync().compareView();
  view.openDialog = [&] { return path; };
  auto* item = form().findChild<QAction*>("MenuCompareFile");
  ASSERT_NE(item, nullptr);
  item->trigger();
  ASSERT_NE(view.view(), nullptr);
  EXPECT_TRUE(view.view()->isVisible());
  EXPECT_FALSE(view.showsUnit());
  const auto expected = CompareConfigurations(form().image(), other);
  ASSERT_EQ(view.table()->rowCount(), int(expected.size()));
  ASSERT_GE(expected.size(), 2u);
  EXPECT_EQ(view.table()->item(0, 1)->text().toStdString(), expected[0].name);
  EXPECT_EQ(view.table()->item(0, 3)->text().toStdString(), expected[0].second);
  EXPECT_EQ(view.header()->text(), Text(UtFileHasNoIdentification));
  const ParameterImage before = form().image();
  view.take(0);
  EXPECT_EQ(view.table()->rowCount(), int(expected.size()) - 1);
  view.takeAll();
  EXPECT_TRUE(form().image().sameConfig(other));
  EXPECT_EQ(view.table()->rowCount(), 0);
  EXPECT_EQ(view.summary()->text(), Text(UtNoDifferences));
  form().SpeedButtonZpetClick();
  EXPECT_EQ(int(CompareConfigurations(form().image(), other).size()), int(expected.size()) - 1);
  form().SpeedButtonZpetClick();
  EXPECT_TRUE(form().image().sameConfig(before));
  EXPECT_EQ(view.table()->rowCount(), int(expected.size()));
  // A file of another image version is not compared, and the view says why.
  const QString old = cfg_.path("old.ign");
  std::ofstream(old.toStdString(), std::ios::binary) << "TAVRENIX_KEY 78\r\n";
  view.openDialog = [&] { return old; };
  item->trigger();
  EXPECT_EQ(view.table()->rowCount(), 0);
  EXPECT_TRUE(view.header()->text().startsWith(Text(UtFileNotLoaded).arg(QString()))) << view.header()->text().toStdString();
  EXPECT_TRUE(view.header()->text().contains("version")) << view.header()->text().toStdString();
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
  FormHlav& form() { return *w_->form; }
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

// ---- ports by name ------------------------------------------------------------------------

namespace rq::test {
namespace {

// A fake sysfs and by-id folder: ttyUSB7 under a USB device with maker and product, ttyACM3
// known only by its by-id link.
struct FakeSystem {
  QTemporaryDir dir;
  PortSystem system;
  std::string dev;
  FakeSystem() {
    const std::string root = dir.path().toStdString();
    dev = root + "/dev";
    const std::string usb = root + "/sys/devices/usb1/1-2";
    QDir().mkpath(QString::fromStdString(usb + "/1-2:1.0/ttyUSB7"));
    QDir().mkpath(QString::fromStdString(root + "/sys/class/tty/ttyUSB7"));
    QDir().mkpath(QString::fromStdString(root + "/by-id"));
    QDir().mkpath(QString::fromStdString(dev));
    std::ofstream(usb + "/idVendor") << "0403\n";
    std::ofstream(usb + "/manufacturer") << "FTDI\n";
    std::ofstream(usb + "/product") << "FT232R USB UART\n";
    QFile::link(QString::fromStdString(usb + "/1-2:1.0/ttyUSB7"),
                QString::fromStdString(root + "/sys/class/tty/ttyUSB7/device"));
    std::ofstream(dev + "/ttyUSB7");
    std::ofstream(dev + "/ttyACM3");
    QFile::link(QString::fromStdString(dev + "/ttyACM3"),
                QString::fromStdString(root + "/by-id/usb-Acme_Ignition_Link_42-if00"));
    system.sysClassTty = root + "/sys/class/tty";
    system.byIdDir = root + "/by-id";
  }
};

TEST(PortDevice, MakerAndProductFromSysfsOrTheByIdNameAndNothingForAMissingDevice) {
  FakeSystem fake;
  const PortDevice usb = DescribePortDevice(fake.dev + "/ttyUSB7", fake.system);
  EXPECT_TRUE(usb.present);
  EXPECT_EQ(usb.maker, "FTDI");
  EXPECT_EQ(usb.product, "FT232R USB UART");
  EXPECT_EQ(PortMenuSuffix(fake.dev + "/ttyUSB7", usb),
            "   " + fake.dev + "/ttyUSB7  FTDI FT232R USB UART");
  const PortDevice acm = DescribePortDevice(fake.dev + "/ttyACM3", fake.system);
  EXPECT_EQ(acm.product, "Acme Ignition Link 42");
  // Through a by-id link: the path as mapped, then the device it leads to.
  const std::string link = fake.system.byIdDir + "/usb-Acme_Ignition_Link_42-if00";
  EXPECT_EQ(PortMenuSuffix(link, DescribePortDevice(link, fake.system)),
            "   " + link + " -> " + fake.dev + "/ttyACM3  Acme Ignition Link 42");
  const PortDevice missing = DescribePortDevice(fake.dev + "/ttyUSB9", fake.system);
  EXPECT_FALSE(missing.present);
  EXPECT_EQ(PortMenuSuffix(fake.dev + "/ttyUSB9", missing), "");
}

// The Com menu and the start-up message against a pseudo-terminal, a missing device and a
// device without permission.
TEST(PortNamesWindow, ComMenuAndOpenErrorNameTheDeviceAndTheReason) {
  TempConfig cfg;
  Pty pty;
  cfg.writeSettings("[BASIC]\nComPort=2\n[PORTS]\nCOM1=" + pty.slave() +
                    "\nCOM2=/nonexistent/rq-tty\n");
  Window w;
  ASSERT_EQ(w.messages.size(), 1u);
  EXPECT_EQ(w.messages[0], "Com opening error!\nCOM2 = /nonexistent/rq-tty: no such device (is the "
                           "adapter plugged in?)");
  auto* ports = w.form->findChild<PortNames*>();
  ASSERT_NE(ports, nullptr);
  ports->updateComMenu();
  auto item = [&](int n) { return w.form->findChild<QAction*>(QString("MenuComItem%1").arg(n))->text(); };
  EXPECT_TRUE(item(1).startsWith("Com 1   " + QString::fromStdString(pty.slave()))) << item(1).toStdString();
  EXPECT_EQ(item(2), "Com 2");  // nothing there: the caption stays
  // Switching the language keeps the device after the caption it has.
  SwitchLanguage(*w.form, kLanguageGerman);
  ports->updateComMenu();
  EXPECT_TRUE(item(1).contains(QString::fromStdString(pty.slave())));
  SwitchLanguage(*w.form, kLanguageEnglish);
  const OpenResult none{OpenFailure::Missing, "x"};
  EXPECT_EQ(ComOpenErrorLine("COM3", "/dev/ttyUSB2", none, kLanguageGerman),
            "COM3 = /dev/ttyUSB2: kein solches Gerät (ist der Adapter eingesteckt?)");
}

TEST(PortNamesWindow, ADeviceWithoutPermissionSaysWhichGroupToJoin) {
  if (::geteuid() == 0) {  // root passes every permission check: run as nobody
    const UnprivilegedRun run = RerunCurrentTestAsNobody();
    if (!run.ran) GTEST_SKIP() << "root passes the check, and nobody cannot run this program here";
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("[  PASSED  ] 1 test"), std::string::npos) << run.output;
    return;
  }
  TempConfig cfg;
  Pty pty;
  ::chmod(pty.slave().c_str(), 0);
  cfg.writeSettings("[BASIC]\nComPort=1\n[PORTS]\nCOM1=" + pty.slave() + "\n");
  Window denied;
  ASSERT_EQ(denied.messages.size(), 1u);
  EXPECT_TRUE(denied.messages[0].contains("COM1 = " + QString::fromStdString(pty.slave()) +
                                          ": permission denied: join the dialout group"))
      << denied.messages[0].toStdString();
}

}  // namespace
}  // namespace rq::test
