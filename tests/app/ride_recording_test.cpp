// SPDX-License-Identifier: GPL-3.0-or-later
// Recording a ride from the window: replies sent over a pseudo-terminal come back row for row
// from the log under the channel keys, through page and language changes; the strip shows the
// recording; a folder that cannot be written stops it with a message naming the file; the new
// menu item takes no accelerator letter that is already in use.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>

#include "logs/log_table.h"
#include "logs/ride_recording.h"
#include "protocol/channel_table.h"
#include "protocol/monitor_reply.h"
#include "caption_check.h"
#include "support.h"
#include "ui/caption_apply.h"
#include "ui/text_fit.h"

namespace rq::test {
namespace {

// Every value differs from row to row.
MonitorSnapshot Row(int k) {
  MonitorSnapshot s;
  s.rpm = static_cast<std::uint16_t>(1000 + 37 * k);
  s.throttle = static_cast<std::uint16_t>(k * 11 % 1001);
  s.throttleMv = static_cast<std::uint16_t>(400 + k);
  s.supplyMv = static_cast<std::uint16_t>(12000 + 3 * k);
  s.potCounts = static_cast<std::uint16_t>(k * 7 % 1024);
  s.potAdvanceRaw = static_cast<std::uint16_t>(990 + k);
  s.potStartLimiterRaw = s.potShiftLightRaw = s.potAccelThresholdRaw = 10000;
  s.speedKmh = static_cast<std::uint16_t>(k);
  s.learnedRatio[2] = static_cast<std::uint16_t>(60 + k);
  s.test[3] = static_cast<std::uint16_t>(k * 100);
  s.advance1Raw = static_cast<std::uint8_t>(110 + k);
  s.advance2Raw = 100;
  s.secondMap = static_cast<std::uint8_t>(k % 2);
  s.input = {static_cast<std::uint8_t>(k % 2), 1, 1};
  s.gear = static_cast<std::uint8_t>(k % 7);
  s.servoOk = 1;
  s.version = 79;
  return s;
}

class RideRecordingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(data_.isValid());
    if (const char* v = std::getenv("XDG_DATA_HOME")) saved_ = v;
    setenv("XDG_DATA_HOME", data_.path().toLocal8Bit().constData(), 1);
    cfg_.writeSettings(PortsSection(pty_.slave()));
    w_ = std::make_unique<Window>();
  }
  void TearDown() override {
    w_.reset();
    if (saved_.empty()) unsetenv("XDG_DATA_HOME");
    else setenv("XDG_DATA_HOME", saved_.c_str(), 1);
  }
  FormHlavPeer& form() { return *w_->form; }
  template <typename T> T* get(const char* name) { return form().findChild<T*>(name); }
  bool deliver(const MonitorSnapshot& s) {
    pty_.write(EncodeMonitor(s));
    return TickUntil(form(), [&] { return form().exchange().lastMonitor() == s; }, 2000, &pty_);
  }

  QTemporaryDir data_;
  std::string saved_;
  TempConfig cfg_;
  Pty pty_;
  std::unique_ptr<Window> w_;
};

TEST_F(RideRecordingTest, RecordingHoldsEveryReplyRowForRowUnderTheChannelKeys) {
  ASSERT_TRUE(deliver(Row(100)));  // brings the link up; before the recording
  ASSERT_TRUE(TickUntil(form(), [&] { return form().exchange().connected(); }));
  auto* button = get<QPushButton>("ButtonRecord");
  auto* item = get<QAction>("MenuRecord");
  ASSERT_NE(button, nullptr);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
  EXPECT_TRUE(get<QLabel>("LabelRecordRows")->isHidden());

  QTest::mouseClick(button, Qt::LeftButton);
  ASSERT_TRUE(form().rideRecording().recording());
  EXPECT_TRUE(item->isChecked());
  constexpr int kRows = 12;
  for (int k = 0; k < kRows; ++k) {
    if (k == 4) get<QTabWidget>("PageControl1")->setCurrentIndex(3);
    if (k == 6) get<QAction>("MenuGerman")->trigger();
    ASSERT_TRUE(deliver(Row(k))) << k;
  }
  EXPECT_TRUE(form().rideRecording().recording());
  EXPECT_EQ(get<QLabel>("LabelRecordRows")->text(), QString::number(kRows));
  EXPECT_TRUE(get<QLabel>("LabelRecordTime")->text().startsWith(QString::fromUtf8("\u25CF ")));
  EXPECT_EQ(get<QLabel>("LabelRecordRowsTitle")->text(), "Zeilen");
  EXPECT_TRUE(get<QPushButton>("ButtonOpenLog")->isHidden());

  item->trigger();  // stop from the menu
  EXPECT_FALSE(form().rideRecording().recording());
  EXPECT_FALSE(button->isChecked());
  EXPECT_FALSE(get<QPushButton>("ButtonOpenLog")->isHidden());
  ASSERT_TRUE(deliver(Row(200)));  // after the recording: not in the log
  // The strip as it stands after a recording fits its texts in every language.
  form().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form()));
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    ApplyCaptionTable(&form(), lang);
    for (const CutOffText& c : FindCutOffTexts(&form()))
      ADD_FAILURE() << lang << " " << c.control.toStdString() << " " << c.text.toStdString();
  }
  // ... and covers none of its neighbours on any page.
  for (const QString& o : OverlappingControlsInEveryLanguage(form()))
    if (o.contains("Record") || o.contains("OpenLog")) ADD_FAILURE() << o.toStdString();

  const std::string path = form().rideRecording().recorder().path();
  EXPECT_EQ(path.rfind(data_.path().toStdString() + "/RQ_VTMX4_Kelvora/logs/ride_", 0), 0u) << path;
  const auto r = logs::LoadCsvFile(path);
  ASSERT_TRUE(r.ok()) << r.error.message;
  ASSERT_EQ(r.table->rows(), std::size_t(kRows));
  EXPECT_EQ(r.table->timeColumn(), "time");
  for (const Channel& c : Channels()) {
    const int col = r.table->find(c.key);
    ASSERT_GE(col, 0) << c.key;
    for (int k = 0; k < kRows; ++k)
      ASSERT_NEAR(r.table->column(std::size_t(col)).value(std::size_t(k)), ChannelValue(c, Row(k)), 1e-9)
          << c.key << " row " << k;
  }
  EXPECT_TRUE(w_->messages.empty());
}

TEST_F(RideRecordingTest, UnwritableFolderStopsWithAMessageNamingTheFile) {
  // The logs folder's place is taken by a file: nothing can be created there.
  const std::string blocked = data_.path().toStdString() + "/RQ_VTMX4_Kelvora";
  std::ofstream(blocked) << "x";
  get<QPushButton>("ButtonRecord")->click();
  EXPECT_FALSE(form().rideRecording().recording());
  EXPECT_FALSE(get<QPushButton>("ButtonRecord")->isChecked());
  ASSERT_EQ(w_->messages.size(), 1u);
  EXPECT_TRUE(w_->messages[0].startsWith("The ride log cannot be written; the recording has stopped.\n"))
      << w_->messages[0].toStdString();
  EXPECT_TRUE(w_->messages[0].contains(QString::fromStdString(blocked + "/logs"))) << w_->messages[0].toStdString();
}

// The letter after '&' in a text, lower case; 0 when there is none.
QChar Mnemonic(const QString& text) {
  const qsizetype at = text.indexOf('&');
  return at >= 0 && at + 1 < text.size() ? text[at + 1].toLower() : QChar();
}

TEST_F(RideRecordingTest, RecordItemTakesNoAcceleratorInUse) {
  QMenu* device = get<QMenu>("MenuDevice");
  ASSERT_NE(device, nullptr);
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    ApplyCaptionTable(&form(), lang);
    const QChar record = Mnemonic(get<QAction>("MenuRecord")->text());
    ASSERT_FALSE(record.isNull()) << lang;
    std::set<QChar> used;
    for (QAction* a : form().menuBar()->actions()) used.insert(Mnemonic(a->text()));
    for (QPushButton* b : form().findChildren<QPushButton*>()) used.insert(Mnemonic(b->text()));
    for (QAction* a : device->actions())
      if (a->objectName() != "MenuRecord") used.insert(Mnemonic(a->text()));
    EXPECT_EQ(used.count(record), 0u) << "language " << lang << ": " << QString(record).toStdString();
  }
}

// The controls of the live strip never cover one another: while recording, after a recording,
// with "Show differences" up and with the developer's test labels shown. Record says what a
// press does: Stop while it records, in every language.
TEST_F(RideRecordingTest, TheLiveStripKeepsItsControlsApartAndRecordSaysStopWhileRecording) {
  ASSERT_TRUE(deliver(Row(100)));
  ASSERT_TRUE(TickUntil(form(), [&] { return form().exchange().connected(); }));
  QWidget* client = get<QWidget>("ClientArea");
  // The strip alone: the pages are checked on their own.
  auto stripOverlaps = [client] {
    QStringList strip;
    for (const QString& line : OverlappingControls(client))
      if (!line.contains("PageControl1")) strip << line;
    return strip;
  };
  auto* record = get<QPushButton>("ButtonRecord");
  get<QPushButton>("ButtonVerifyDiff")->show();
  for (int i = 1; i <= 8; ++i) get<QLabel>(QString("LabelTest%1").arg(i).toLatin1().constData())->show();
  EXPECT_EQ(record->text(), "Record");
  record->click();
  ASSERT_TRUE(form().rideRecording().recording());
  const char* stop[] = {"Stop", "Stopp", "Arrêter", "Zastavit"};
  const char* items[] = {"MenuEnglish", "MenuGerman", "MenuFrench", "MenuCzech"};
  for (int lang = 0; lang < 4; ++lang) {
    get<QAction>(items[lang])->trigger();
    EXPECT_EQ(record->text(), QString::fromUtf8(stop[lang])) << lang;
    const QStringList overlaps = stripOverlaps();
    EXPECT_TRUE(overlaps.isEmpty()) << lang << ": " << overlaps.join("\n").toStdString();
  }
  get<QAction>("MenuEnglish")->trigger();
  ASSERT_TRUE(deliver(Row(200)));
  record->click();
  EXPECT_EQ(record->text(), "Record");
  EXPECT_TRUE(get<QPushButton>("ButtonOpenLog")->isVisibleTo(client));
  const QStringList overlaps = stripOverlaps();
  EXPECT_TRUE(overlaps.isEmpty()) << overlaps.join("\n").toStdString();
}

}  // namespace
}  // namespace rq::test
