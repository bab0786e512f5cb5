// SPDX-License-Identifier: GPL-3.0-or-later
// Printing the window into numbered PDF files (RQ_VTMX4_PRINT_PDF), and without a printer.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "model/map_model.h"
#include "pages/controls.h"
#include "pages/map_pages.h"
#include "pages/page_set.h"
#include "support.h"
#include "ui/print_pages.h"

namespace rq::test {
namespace {


int PdfPages(const QString& path) {
  const QString pdf = QString::fromLatin1(ReadText(path));
  if (!pdf.startsWith("%PDF")) return -1;
  return int(pdf.count(QRegularExpression("/Type\\s*/Page(?![s\\w])")));
}

// What the window looked like when a job was printed.
struct Seen {
  int page = -1;
  bool toolStrip = true, statusBar = true, progCheck = true;
  QString stamp;
  bool stampWhole = false;  // the status line is tall enough for the whole stamp
  QColor background;
  int upDownsShown = 0;  // up-downs under the picture not hidden
  QStringList extrasShown;  // what is not part of the described page, shown
  QColor cellColour;        // a map cell's field colour (on a map page)
};

class PrintTest : public ::testing::Test {
 protected:
  PrintTest() {
    old_ = qEnvironmentVariable("RQ_VTMX4_PRINT_PDF");
    had_ = qEnvironmentVariableIsSet("RQ_VTMX4_PRINT_PDF");
    qputenv("RQ_VTMX4_PRINT_PDF", pdfDir_.path().toLocal8Bit());
    w_ = std::make_unique<Window>();
    w_->messages.clear();  // no unit: the port's opening error is not what these tests see
    w_->form->show();
    form().printPages().beforeJob = [this](QWidget* picture) {
      Seen s;
      s.page = form().currentPage();
      s.toolStrip = form().findChild<QGroupBox*>("GroupBoxToolBar")->isVisible();
      s.statusBar = form().findChild<QStatusBar*>("StatusBar1")->isVisible();
      s.progCheck = form().findChild<QWidget*>("CheckBoxProgHned")->isVisible();
      auto* status = form().findChild<QLabel*>("LabelHlaseni");
      if (status->isVisible()) s.stamp = status->text();
      s.stampWhole = status->wordWrap() && status->height() >= status->heightForWidth(status->width());
      s.background = picture->grab(QRect(990, 700, 4, 4)).toImage().pixelColor(1, 1);
      for (const QWidget* w : picture->findChildren<QWidget*>())
        if (w->objectName().startsWith("UpDown") && !w->isHidden()) ++s.upDownsShown;
      for (const QWidget* w : picture->findChildren<QWidget*>())
        if (w->property(kNotPrinted).toBool() && w->isVisible()) s.extrasShown << w->objectName();
      if (auto* cell = picture->findChild<QWidget*>("EditMap6_9")) s.cellColour = cell->palette().color(QPalette::Base);
      seen_.push_back(s);
    };
  }
  ~PrintTest() override {
    if (had_) qputenv("RQ_VTMX4_PRINT_PDF", old_.toLocal8Bit());
    else qunsetenv("RQ_VTMX4_PRINT_PDF");
  }
  FormHlavPeer& form() { return *w_->form; }
  QString pdf(int n) const { return pdfDir_.filePath(QString("print-%1.pdf").arg(n, 3, 10, QChar('0'))); }
  void expectNormalWindow() {
    EXPECT_FALSE(form().printing());
    EXPECT_TRUE(form().findChild<QGroupBox*>("GroupBoxToolBar")->isVisible());
    EXPECT_TRUE(form().findChild<QStatusBar*>("StatusBar1")->isVisible());
    EXPECT_TRUE(form().findChild<QWidget*>("CheckBoxProgHned")->isVisible());
    EXPECT_FALSE(form().findChild<QWidget*>("ClientArea")->autoFillBackground());
  }

  TempConfig cfg_;
  QTemporaryDir pdfDir_;
  QString old_;
  bool had_ = false;
  std::unique_ptr<Window> w_;
  std::vector<Seen> seen_;
};

TEST_F(PrintTest, PrintWritesOnePageOfThePaperLayoutWithTheStampAndNeverOverwrites) {
  auto* tabs = form().findChild<QTabWidget*>("PageControl1");
  tabs->setCurrentIndex(1);
  form().printPages().SpeedButtonPrintClick();
  ASSERT_TRUE(w_->messages.empty()) << w_->messages[0].toStdString();
  ASSERT_EQ(seen_.size(), 1u);
  EXPECT_EQ(seen_[0].page, 1);
  EXPECT_FALSE(seen_[0].toolStrip);
  EXPECT_FALSE(seen_[0].statusBar);
  EXPECT_FALSE(seen_[0].progCheck);
  EXPECT_EQ(seen_[0].background, QColor(Qt::white));
  EXPECT_TRUE(seen_[0].stamp.startsWith("Date and time of printing:  ")) << seen_[0].stamp.toStdString();
  EXPECT_TRUE(seen_[0].stamp.contains("    "));
  EXPECT_TRUE(seen_[0].stampWhole);
  EXPECT_EQ(PdfPages(pdf(1)), 1);
  expectNormalWindow();
  // The stamp stays readable on screen after the print.
  EXPECT_TRUE(form().findChild<QLabel*>("LabelHlaseni")->isVisible());

  // An existing file is skipped, not overwritten.
  std::ofstream(pdf(2).toStdString()) << "someone else's";
  form().printPages().SpeedButtonPrintClick();
  EXPECT_EQ(ReadText(pdf(2)), "someone else's");
  EXPECT_EQ(PdfPages(pdf(3)), 1);
  EXPECT_EQ(PdfPages(pdf(1)), 1);
  EXPECT_EQ(form().printPages().lastFiles(), QStringList{pdf(3)});
}

TEST_F(PrintTest, PrintAllPrintsFourDistinctRefreshedPagesAndShowsThePageAgain) {
  auto* tabs = form().findChild<QTabWidget*>("PageControl1");
  tabs->setCurrentIndex(7);
  form().printPages().MenuPrintAllClick();
  ASSERT_TRUE(w_->messages.empty());
  ASSERT_EQ(seen_.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(seen_[i].page, kPrintAllPages[i]);
    EXPECT_FALSE(seen_[i].toolStrip);
    EXPECT_EQ(seen_[i].background, QColor(Qt::white));
  }
  for (int n = 1; n <= 4; ++n) EXPECT_EQ(PdfPages(pdf(n)), 1) << n;
  EXPECT_NE(ReadText(pdf(1)), ReadText(pdf(2)));
  EXPECT_EQ(tabs->currentIndex(), 7);
  EXPECT_EQ(form().currentPage(), 7);
  expectNormalWindow();
}

TEST_F(PrintTest, AnEditStillBeingTypedIsTakenBeforePrinting) {
  form().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form().windowHandle()));
  form().findChild<QTabWidget*>("PageControl1")->setCurrentIndex(1);
  auto* edit = form().findChild<SpinEdit*>("EditHardLimiter");
  ASSERT_NE(edit, nullptr);
  edit->setFocus();
  edit->selectAll();
  ASSERT_EQ(form().image()[kHardLimiter], 11000);
  QTest::keyClicks(edit, "12000");
  EXPECT_EQ(form().image()[kHardLimiter], 11000);  // not taken yet
  form().printPages().SpeedButtonPrintClick();
  EXPECT_EQ(form().image()[kHardLimiter], 12000);
  EXPECT_TRUE(form().findChild<QAction*>("MenuZpet")->isEnabled());
}

TEST_F(PrintTest, GermanStamp) {
  form().MenuGermanClick();
  form().printPages().SpeedButtonPrintClick();
  ASSERT_EQ(seen_.size(), 1u);
  EXPECT_TRUE(seen_[0].stamp.startsWith("Zeitpunkt des Ausdruckes   "));
}

// Paper leaves out the up-downs on every page alike, the map grids and power outputs too, and
// the screen gets them back.
TEST_F(PrintTest, EveryPrintedPageLeavesOutItsUpDowns) {
  auto* tabs = form().findChild<QTabWidget*>("PageControl1");
  for (const int page : {int(kPageAdvance1), int(kPagePowerOut1), 0}) {
    tabs->setCurrentIndex(page);
    QApplication::processEvents();
    auto* picture = form().findChild<QWidget*>("ClientArea");
    int shownBefore = 0;
    for (const QWidget* w : picture->findChildren<QWidget*>())
      if (w->objectName().startsWith("UpDown") && w->isVisible()) ++shownBefore;
    EXPECT_GT(shownBefore, 0) << page;
    form().printPages().SpeedButtonPrintClick();
    ASSERT_FALSE(seen_.empty());
    EXPECT_EQ(seen_.back().upDownsShown, 0) << page;
    int shownAfter = 0;
    for (const QWidget* w : picture->findChildren<QWidget*>())
      if (w->objectName().startsWith("UpDown") && w->isVisible()) ++shownAfter;
    EXPECT_EQ(shownAfter, shownBefore) << page;
  }
  EXPECT_TRUE(w_->messages.empty());
}

TEST_F(PrintTest, FailureBoxSpeaksTheWindowsLanguage) {
  const QString blocked = pdfDir_.filePath("blocked");
  std::ofstream(blocked.toStdString()) << "x";
  qputenv("RQ_VTMX4_PRINT_PDF", blocked.toLocal8Bit());
  form().MenuGermanClick();
  form().printPages().SpeedButtonPrintClick();
  form().MenuCzechClick();
  form().printPages().MenuPrintAllClick();
  form().MenuEnglishClick();
  qunsetenv("RQ_VTMX4_PRINT_PDF");
  ASSERT_EQ(w_->messages.size(), 2u);
  EXPECT_TRUE(w_->messages[0].startsWith("Es wurde nichts gedruckt.\n")) << w_->messages[0].toStdString();
  EXPECT_TRUE(w_->messages[1].startsWith(QString::fromUtf8("Nic nebylo vytištěno.\n")))
      << w_->messages[1].toStdString();
}

TEST_F(PrintTest, AFailedPrintRestoresTheWindowBeforeTellingNothingWasPrinted) {
  bool normalAtMessage = false;
  bool stampShown = false;
  w_->onMessage = [&](const QString& text) {
    normalAtMessage = !form().printing() &&
                      form().findChild<QGroupBox*>("GroupBoxToolBar")->isVisible();
    // Nothing printed: the paper's stamp is not shown in the status line under the box.
    auto* status = form().findChild<QLabel*>("LabelHlaseni");
    if (text.startsWith("Nothing was printed."))
      stampShown = status->isVisible() && status->text().startsWith("Date and time of printing");
  };
  // The PDF "folder" is a file: nothing can be written there.
  const QString blocked = pdfDir_.filePath("blocked");
  std::ofstream(blocked.toStdString()) << "x";
  qputenv("RQ_VTMX4_PRINT_PDF", blocked.toLocal8Bit());
  form().printPages().SpeedButtonPrintClick();
  ASSERT_EQ(w_->messages.size(), 1u);
  EXPECT_TRUE(w_->messages[0].startsWith("Nothing was printed.")) << w_->messages[0].toStdString();
  EXPECT_TRUE(normalAtMessage);
  EXPECT_FALSE(stampShown);
  expectNormalWindow();

  auto* tabs = form().findChild<QTabWidget*>("PageControl1");
  tabs->setCurrentIndex(8);
  form().printPages().MenuPrintAllClick();
  ASSERT_EQ(w_->messages.size(), 2u);
  EXPECT_EQ(seen_.size(), 2u);  // the first job failed: no others were tried
  EXPECT_EQ(tabs->currentIndex(), 8);
  expectNormalWindow();

  // No variable and no printer: a clear message.
  qunsetenv("RQ_VTMX4_PRINT_PDF");
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
  form().printPages().SpeedButtonPrintClick();
  ASSERT_EQ(w_->messages.size(), 3u);
  EXPECT_TRUE(w_->messages[2].contains("No printer is installed"));
  EXPECT_TRUE(w_->messages[2].contains("RQ_VTMX4_PRINT_PDF"));
  expectNormalWindow();
}

TEST(PrintedSize, FitsTheHeightWhenTheWidthFitsOtherwiseTheWidth) {
  EXPECT_EQ(PrintedSize(QSize(1005, 832), QSize(4000, 6000)), QSize(4000, 832 * 4000 / 1005));
  EXPECT_EQ(PrintedSize(QSize(1005, 832), QSize(6000, 3000)), QSize(1005 * 3000 / 832, 3000));
  EXPECT_EQ(PrintedSize(QSize(0, 10), QSize(100, 100)), QSize());
}

// Paper shows the page as described: no recording buttons and no PC-against-unit marks.
TEST_F(PrintTest, ThePrintoutLeavesOutWhatIsNotPartOfThePage) {
  auto* record = form().findChild<QWidget*>("ButtonRecord");
  ASSERT_NE(record, nullptr);
  EXPECT_TRUE(record->isVisible());
  // A difference to the unit: the field carries its mark on screen.
  form().workspace().unitRead(form().image());
  form().findChild<QTabWidget*>("PageControl1")->setCurrentIndex(kPageInputs);
  form().findChild<SpinEdit*>("EditHardLimiter")->stepBy(1);
  auto* mark = form().findChild<QWidget*>("DifferenceMark");
  ASSERT_NE(mark, nullptr);
  EXPECT_TRUE(mark->isVisible());
  form().printPages().SpeedButtonPrintClick();
  ASSERT_EQ(seen_.size(), 1u);
  EXPECT_TRUE(seen_[0].extrasShown.isEmpty()) << seen_[0].extrasShown.join(", ").toStdString();
  EXPECT_TRUE(record->isVisible());  // back on screen after the job
  EXPECT_TRUE(mark->isVisible());
  // A map with heat colours on screen is printed in the field colour.
  form().findChild<QTabWidget*>("PageControl1")->setCurrentIndex(kPageAdvance1);
  form().pageSet().maps().setHeatColours(true);
  form().image().setByte(CellByte(*MapOfPage(kPageAdvance1), 6, 9), 40);  // a warm cell
  form().AfterChange();
  const QColor field = QApplication::palette().color(QPalette::Base);
  EXPECT_NE(form().findChild<QWidget*>("EditMap6_9")->palette().color(QPalette::Base), field);
  form().printPages().SpeedButtonPrintClick();
  ASSERT_EQ(seen_.size(), 2u);
  EXPECT_EQ(seen_[1].cellColour, field);
  EXPECT_NE(form().findChild<QWidget*>("EditMap6_9")->palette().color(QPalette::Base), field);
}

}  // namespace
}  // namespace rq::test
