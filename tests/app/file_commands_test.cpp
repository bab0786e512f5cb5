// SPDX-License-Identifier: GPL-3.0-or-later
// File commands of the window: Save and Open with their dialogs, the file name and IniDir,
// failures that keep the old file and the label, New and the motorbike presets, undo.
#include <QLabel>
#include <QMessageBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <sstream>

#include "app/file_commands.h"
#include "model/defaults.h"
#include "model/ign_file.h"
#include "model/state_file.h"
#include "pages/controls.h"
#include "support.h"

namespace rq::test {
namespace {

void Spit(const QString& p, const std::string& text) {
  std::ofstream(p.toStdString(), std::ios::binary) << text;
}

class FileCommandsTest : public ::testing::Test {
 protected:
  FileCommandsTest() { newWindow(); }
  // No unit is needed here: the port's opening error at start is not what these tests see.
  void newWindow() {
    w_ = std::make_unique<Window>();
    w_->messages.clear();
  }
  FormHlavPeer& form() { return *w_->form; }
  FileCommands& files() { return form().fileCommands(); }
  QString label() { return form().findChild<QLabel*>("LabelFile2")->text(); }
  QString path(const QString& name) const { return cfg_.path(name); }
  // The dialogs answer with these names and record the names they started with.
  void dialogsAnswer(const QString& name) {
    starts_.clear();
    files().openDialog = [this, name](const QString& start) {
      starts_ << start;
      return name;
    };
    files().saveDialog = files().openDialog;
  }

  TempConfig cfg_;
  std::unique_ptr<Window> w_;
  QStringList starts_;
};

TEST_F(FileCommandsTest, SaveWritesTheWritersBytesAndAsksBeforeOverwritingTheFinalName) {
  dialogsAnswer(path("bike"));  // no extension: the dialog's default one is added
  files().MenuSaveClick();
  const QString saved = path("bike.ign");
  ASSERT_EQ(ReadText(saved).size(), 5980u);
  EXPECT_EQ(ReadText(saved), WriteIgnText(form().image()));
  EXPECT_EQ(label(), saved);
  EXPECT_EQ(form().iniDir(), saved);
  EXPECT_TRUE(w_->questions.empty());
  EXPECT_TRUE(w_->messages.empty());

  // The file exists now: the question names it with its extension; No keeps it.
  form().image().setByte(kRetard, 9);
  w_->answers = {QMessageBox::No};
  files().MenuSaveClick();
  ASSERT_EQ(w_->questions.size(), 1u);
  EXPECT_TRUE(w_->questions[0].startsWith("bike.ign already exists")) << w_->questions[0].toStdString();
  EXPECT_NE(ReadText(saved), WriteIgnText(form().image()));
  w_->answers = {QMessageBox::Yes};
  files().MenuSaveClick();
  EXPECT_EQ(ReadText(saved), WriteIgnText(form().image()));
  // The next dialog starts at the file saved; a cancelled dialog changes nothing.
  dialogsAnswer(QString());
  files().MenuSaveClick();
  EXPECT_EQ(starts_, QStringList{saved});
  EXPECT_EQ(label(), saved);
}

TEST_F(FileCommandsTest, GermanOverwriteQuestionAndFileErrorWording) {
  form().MenuGermanClick();
  dialogsAnswer(path("bike.ign"));
  files().MenuSaveClick();
  w_->answers = {QMessageBox::No};
  files().MenuSaveClick();
  ASSERT_EQ(w_->questions.size(), 1u);
  EXPECT_EQ(w_->questions[0],
            QString::fromUtf8("bike.ign existiert bereits.\nWollen Sie die Datei ersetzen?"));
  // The wording around the path is German; the system's reason follows it.
  EXPECT_FALSE(files().OpenConfigurationFile(path("missing.ign")));
  ASSERT_EQ(w_->messages.size(), 1u);
  const QString expected = QString::fromUtf8("Fehler beim öffnen der Datei!\n") + path("missing.ign") +
                           QString::fromUtf8(" kann nicht geöffnet werden: ");
  EXPECT_TRUE(w_->messages[0].startsWith(expected)) << w_->messages[0].toStdString();
  EXPECT_GT(w_->messages[0].size(), expected.size());
  form().MenuEnglishClick();
}

TEST_F(FileCommandsTest, FullDiskKeepsTheOldFileAndTheLabel) {
  const QString target = path("old.ign");
  Spit(target, "old contents");
  form().workspace().setFileName("previous.ign");
  form().setIniDir("previous.ign");
  // A full disk, played by a file-size limit below the 5980 bytes of the file.
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool ok = files().SaveConfigurationFile(target);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(ok);
  ASSERT_EQ(w_->messages.size(), 1u);
  EXPECT_TRUE(w_->messages[0].startsWith("Open file error!"));
  EXPECT_EQ(ReadText(target), "old contents");
  EXPECT_EQ(label(), "previous.ign");
  EXPECT_EQ(form().iniDir(), "previous.ign");
  EXPECT_EQ(QDir(cfg_.folder()).entryList(QDir::Files).filter(".tmp").size(), 0);
}

TEST_F(FileCommandsTest, ReadOnlyFolderKeepsTheOldFileAndTheLabel) {
  QDir().mkpath(path("ro"));
  const QString target = path("ro/old.ign");
  Spit(target, "old contents");
  chmod(path("ro").toLocal8Bit().constData(), 0555);
  auto check = [&] {
    const bool ok = files().SaveConfigurationFile(target);
    return !ok && w_->messages.size() == 1 && w_->messages[0].startsWith("Open file error!") &&
           label().isEmpty() && form().iniDir().isEmpty();
  };
  if (geteuid() != 0) {
    EXPECT_TRUE(check());
  } else {
    // Root writes anywhere: the child that saves gives up its rights first.
    QDir(cfg_.folder()).mkpath(".");
    chmod(QFileInfo(cfg_.folder()).absolutePath().toLocal8Bit().constData(), 0755);
    chmod(cfg_.folder().toLocal8Bit().constData(), 0755);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
      _exit(check() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "exit " << WEXITSTATUS(status);
  }
  chmod(path("ro").toLocal8Bit().constData(), 0755);
  EXPECT_EQ(ReadText(target), "old contents");
}

TEST_F(FileCommandsTest, OpenGivesOneMessagePerWrongKeyAndLoadsAsOneUndoStep) {
  const ParameterImage start = form().image();
  // Only wrong keys: two messages, nothing changes.
  Spit(path("wrong.ign"), "TAVRENIX_KEY 78\r\nRETARD 10 2\r\nTAVRENIX_KEY 77\r\n");
  dialogsAnswer(path("wrong.ign"));
  files().MenuOpenClick();
  EXPECT_EQ(w_->messages, (std::vector<QString>{"Unmatched version of *.ign file!",
                                                "Unmatched version of *.ign file!"}));
  EXPECT_TRUE(form().image().sameConfig(start));
  EXPECT_TRUE(label().isEmpty());
  EXPECT_FALSE(form().findChild<QAction*>("MenuZpet")->isEnabled());

  // No key at all: nothing loads, and one message says it is no configuration file.
  w_->messages.clear();
  Spit(path("nokey.ign"), "RETARD 10 2\r\n");
  EXPECT_FALSE(files().OpenConfigurationFile(path("nokey.ign")));
  EXPECT_EQ(w_->messages.size(), 1u);
  EXPECT_TRUE(form().image().sameConfig(start));
  w_->messages.clear();

  // A wrong key, then the right one: one message, the groups after it load.
  Spit(path("good.ign"), "TAVRENIX_KEY 78\r\nTAVRENIX_KEY 79\r\nRETARD 10 2\r\n");
  dialogsAnswer(path("good.ign"));
  files().MenuOpenClick();
  EXPECT_EQ(w_->messages.size(), 1u);
  EXPECT_EQ(form().image()[kRetard], 10);
  EXPECT_EQ(form().image()[kRetardClutchCount], 2);
  EXPECT_EQ(label(), path("good.ign"));
  EXPECT_EQ(form().iniDir(), path("good.ign"));
  form().SpeedButtonZpetClick();
  EXPECT_TRUE(form().image().sameConfig(start));
  EXPECT_FALSE(form().findChild<QAction*>("MenuZpet")->isEnabled());  // exactly one step

  // A file that cannot be read.
  w_->messages.clear();
  EXPECT_FALSE(files().OpenConfigurationFile(path("missing.ign")));
  ASSERT_EQ(w_->messages.size(), 1u);
  EXPECT_TRUE(w_->messages[0].startsWith("Open file error!"));
  EXPECT_TRUE(w_->questions.empty());
}

TEST_F(FileCommandsTest, ProgramFolderVariantsAndCtrlOnTheToolStrip) {
  dialogsAnswer(QString());  // every dialog cancelled
  form().setIniDir(path("last.ign"));
  files().ctrlHeld = [] { return false; };
  form().findChild<QToolButton*>("SpeedButtonOpen")->click();
  files().ctrlHeld = [] { return true; };
  files().MenuOpenClick();  // the menu does not look at Ctrl
  form().findChild<QToolButton*>("SpeedButtonSave")->click();
  files().ctrlHeld = [] { return false; };
  files().MenuOpenClick();  // Ctrl set both dialogs to data.ign
  files().MenuSaveExeDirClick();
  EXPECT_EQ(starts_, (QStringList{path("last.ign"), path("last.ign"), form().dataIgnPath(),
                                  form().dataIgnPath(), form().dataIgnPath()}));
  EXPECT_TRUE(form().dataIgnPath().endsWith("/data.ign"));
  EXPECT_FALSE(QFileInfo::exists(form().dataIgnPath()));
}

// Save, Open and New take an edit still being typed first; Undo drops it and undoes the last
// committed step.
TEST_F(FileCommandsTest, CommandsFirstTakeAnEditStillBeingTypedAndUndoDropsIt) {
  form().show();
  form().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form().windowHandle()));
  form().findChild<QTabWidget*>("PageControl1")->setCurrentIndex(1);
  auto* edit = form().findChild<SpinEdit*>("EditHardLimiter");
  ASSERT_NE(edit, nullptr);
  dialogsAnswer(path("typed.ign"));
  const std::vector<std::pair<const char*, std::function<void()>>> commands = {
      {"Save", [this] { files().MenuSaveClick(); }},
      {"Open", [this] { dialogsAnswer(QString()); files().MenuOpenClick(); }},
      {"New", [this] { w_->answers = {QMessageBox::No}; form().MenuNewClick(); }},
      {"Undo", [this] { form().SpeedButtonZpetClick(); }},
  };
  int value = 11000;
  for (const auto& [name, run] : commands) {
    value += 100;
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QString::number(value));
    ASSERT_NE(form().image()[kHardLimiter], value) << name;
    run();
    if (std::string(name) == "Undo") {
      EXPECT_EQ(form().image()[kHardLimiter], value - 200) << "the typed value is no step";
      EXPECT_EQ(edit->value(), value - 200);
    } else {
      EXPECT_EQ(form().image()[kHardLimiter], value) << name;
    }
  }
  ParameterImage saved = NewConfiguration();
  ASSERT_TRUE(ReadIgnText(ReadText(path("typed.ign")), saved).validKey);
  EXPECT_EQ(saved.word(3), 11100);
}

TEST_F(FileCommandsTest, NewAnsweredYesNoAndCancel) {
  ParameterImage& image = form().image();
  image.setByte(181, 50);
  image.setByte(kPowerGrid.at(3, 0), 0x0F);  // output 4's grid
  image.setByte(kPowerGrid.at(0, 0), 0x05);  // output 1's grid: not a default
  image.setByte(kRevsWithoutIgnition, 2);     // revolutions without ignition: not a default
  form().AfterChange();
  form().workspace().setFileName("kept.ign");
  const ParameterImage before = image;
  for (int answer : {int(QMessageBox::No), int(QMessageBox::Cancel)}) {
    w_->answers = {answer};
    form().MenuNewClick();
    EXPECT_TRUE(image.sameConfig(before));
    EXPECT_EQ(label(), "kept.ign");
  }
  w_->answers = {QMessageBox::Yes};
  form().MenuNewClick();
  EXPECT_EQ(w_->questions, (std::vector<QString>(3, "Do you want default setting?")));
  EXPECT_EQ(image[kLobes], 1);
  EXPECT_EQ(image[kOutputs], 2);
  EXPECT_EQ(image[kIgnitionsPerRev], 1);
  EXPECT_EQ(image.byte(181), 8);
  EXPECT_EQ(image.byte(485), 100);
  EXPECT_EQ(image.byte(499), 145);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(image.byte(672 + k), 2);
  EXPECT_EQ(image[kPowerGrid.at(0, 0)], 0x05);
  EXPECT_EQ(image[kRevsWithoutIgnition], 2);
  EXPECT_TRUE(label().isEmpty());
  // New is one undo step.
  form().SpeedButtonZpetClick();
  EXPECT_TRUE(image.sameConfig(before));
}

// The motorbike type chosen by the user on the Bike page.
class BikeTypeTest : public FileCommandsTest {
 protected:
  void choose(const char* name, int item) {
    auto* combo = form().findChild<ComboEdit*>(name);
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(item);
    emit combo->activated(item);
  }
};

TEST_F(BikeTypeTest, PresetOnNoSpecialWithoutQuestionAndServoOnlyNewAfterSpecial) {
  ParameterImage& image = form().image();
  image.setByte(181, 50);
  image.setByte(485, 120);
  form().AfterChange();
  const ParameterImage before = image;

  // Honda NSR (item 4), defaults refused: only the preset bytes change.
  w_->answers = {QMessageBox::No};
  choose("ComboBoxBike", 4);
  EXPECT_EQ(w_->questions.size(), 1u);
  EXPECT_EQ(image[kBikeType], 5);
  EXPECT_EQ(image[kSyncMethod], 6);
  EXPECT_EQ(image[kLobes], 4);
  EXPECT_EQ(image.byte(181), 50);
  EXPECT_EQ(image.byte(485), 120);

  // Special (item 5): no question, the synchronisation chosen stays.
  choose("ComboBoxBike", 5);
  EXPECT_EQ(w_->questions.size(), 1u);
  EXPECT_EQ(image[kBikeType], 1);
  choose("ComboBoxSynchro", 2);
  EXPECT_EQ(w_->questions.size(), 1u);
  EXPECT_EQ(image[kSyncMethod], 2);
  EXPECT_EQ(image.byte(181), 50);

  // New after switching to special renews only the servo part; a second New everything.
  w_->answers = {QMessageBox::Yes, QMessageBox::Yes};
  form().MenuNewClick();
  EXPECT_EQ(image.byte(485), 100);
  EXPECT_EQ(image.byte(181), 50);
  form().MenuNewClick();
  EXPECT_EQ(image.byte(181), 8);
  EXPECT_FALSE(image.sameConfig(before));
}

TEST_F(BikeTypeTest, TheQuestionNeverComesFromARefreshAnOpenAnUndoOrTheStart) {
  // A state file with the Honda type, the Bike page shown at start.
  ParameterImage honda = NewConfiguration();
  honda.setByte(140, 5);
  ApplyPreset(honda);
  SanitizeImage(honda);
  w_.reset();
  cfg_.writeState(WriteStateText(honda, AllFlags{}));
  cfg_.writeSettings("[BASIC]\nPageControl1->ActivePageIndex=0\n");
  newWindow();
  w_->form->show();
  EXPECT_EQ(form().image()[kBikeType], 5);
  form().RefreshPages();
  form().PageControl1Change();
  Spit(path("type4.ign"), "TAVRENIX_KEY 79\r\nBIKE 4\r\n");
  ASSERT_TRUE(files().OpenConfigurationFile(path("type4.ign")));
  EXPECT_EQ(form().image()[kBikeType], 4);
  form().SpeedButtonZpetClick();
  EXPECT_EQ(form().image()[kBikeType], 5);
  form().SpeedButtonZnovuClick();
  EXPECT_TRUE(w_->questions.empty());
}

TEST_F(FileCommandsTest, TwoHundredChangesLeave199UndoStepsAndUndoShowsThePage) {
  auto* tabs = form().findChild<QTabWidget*>("PageControl1");
  tabs->setCurrentIndex(1);
  ParameterImage& image = form().image();
  for (int i = 0; i < 200; ++i) {
    image.setByte(181 + i % 150, 10 + i / 150);
    form().AfterChange();
  }
  int undone = 0;
  while (form().findChild<QAction*>("MenuZpet")->isEnabled() && undone < 300) {
    form().SpeedButtonZpetClick();
    ++undone;
  }
  EXPECT_EQ(undone, 199);
  const ParameterImage oldest = image;
  form().SpeedButtonZpetClick();  // the 200th does nothing
  EXPECT_TRUE(image.sameConfig(oldest));
  EXPECT_EQ(image.byte(181), 10);  // the first change was overwritten in the ring

  // A change on the Gear page; undone from another page it shows the Gear page again.
  tabs->setCurrentIndex(7);
  image.setByte(kGearCount, image[kGearCount] == 6 ? 5 : 6);
  form().AfterChange();
  tabs->setCurrentIndex(1);
  form().SpeedButtonZpetClick();
  EXPECT_EQ(tabs->currentIndex(), 1);  // the state before was taken on page 1
  tabs->setCurrentIndex(0);
  form().SpeedButtonZnovuClick();
  EXPECT_EQ(tabs->currentIndex(), 7);
  EXPECT_EQ(form().currentPage(), 7);
}

}  // namespace
}  // namespace rq::test
