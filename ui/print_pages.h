// SPDX-License-Identifier: GPL-3.0-or-later
// Printing the main window: Print (the page shown) and Print All (four pages), each a picture
// of the window's client area laid out for paper (white, without the tool strip, status bar,
// spin buttons and live gauges) with the time stamp in the status line, scaled to the page
// and placed at the top-left corner of the printable area of the default printer. With
// RQ_VTMX4_PRINT_PDF naming a folder every job becomes print-001.pdf, print-002.pdf, ... there.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

class QDateTime;
class QLabel;
class QTimer;
class QWidget;

namespace rq {
class WindowFace;
}

namespace rq {


// A widget carrying this property (true) is left out of every printed picture: controls and
// marks that are not part of the described page (recording buttons, PC-against-unit marks,
// the ride log over a map).
inline constexpr const char* kNotPrinted = "rqNotPrinted";

// Printed size of a picture on a printable area: the full height when the width then fits,
// otherwise the full width; the aspect ratio is kept (integer arithmetic).
QSize PrintedSize(QSize picture, QSize page);

// The date in the system's short format, four blanks, the time in its long format.
QString PrintStampSuffix(const QDateTime& when);

// The pages Print All prints: Bike, Inputs and the two advance maps.
inline constexpr std::array<int, 4> kPrintAllPages{0, 1, 2, 3};

class PrintPages {
 public:
  // Controls are found by name in the face's printed window: ClientArea (the picture),
  // PageControl1, LabelHlaseni, LabelSpojeni, CGaugeProgram, BitBtnVerify.
  explicit PrintPages(WindowFace& window);
  ~PrintPages();
  PrintPages(const PrintPages&) = delete;
  PrintPages& operator=(const PrintPages&) = delete;

  void SpeedButtonPrintClick();  // Print: the page shown
  void MenuPrintAllClick();      // Print All

  // Called with the picture right before each job is rendered (tests look at the window).
  std::function<void(QWidget* picture)> beforeJob;
  // PDF files written by the last command (empty when printing on a printer).
  const QStringList& lastFiles() const { return lastFiles_; }

 private:
  void prepare();
  void restore();
  bool printJob(QString& error);
  void reportFailure(int printed, int wanted, const QString& error);
  void showStampWhole(QLabel* status);
  QString text(int id) const;  // a UiText in the window's language

  WindowFace& w_;
  QStringList lastFiles_;
  QString stamp_;
  int oneLineHeight_ = -1;
  QTimer* stampWatch_ = nullptr;  // owned by the window
};

}  // namespace rq
