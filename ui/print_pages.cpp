// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/print_pages.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>

#include "model/file_io.h"
#include "ui/text_table.h"
#include "ui/window_face.h"

namespace rq {
namespace {

constexpr const char* kPdfVariable = "RQ_VTMX4_PRINT_PDF";

// Draws the picture at the top-left corner of the painter's printable area of size `page`.
void RenderPicture(QPainter& painter, QWidget* picture, QSize page) {
  const QSize pic = picture->size();
  const QSize out = PrintedSize(pic, page);
  painter.save();
  painter.scale(double(out.width()) / pic.width(), double(out.height()) / pic.height());
  picture->render(&painter, QPoint(), QRegion(),
                  QWidget::DrawWindowBackground | QWidget::DrawChildren);
  painter.restore();
}

// The next print-NNN.pdf that does not exist yet, created empty so that no other job takes
// it; "" when the folder cannot take a file.
QString ReserveNumberedFile(const QString& folder, QString& error, int language) {
  for (int n = 1; n < 100000; ++n) {
    const QString path = QDir(folder).filePath(QString("print-%1.pdf").arg(n, 3, 10, QChar('0')));
    if (QFileInfo::exists(path)) continue;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return path;
    if (QFileInfo::exists(path)) continue;  // taken in the meantime
    error = path + ": " + f.errorString();
    return {};
  }
  error = QString::fromUtf8(UiMessage(language, UiText::NoFreeFileName)).arg(folder);
  return {};
}

bool PrintToPdf(QWidget* picture, const QString& folder, QString& file, QString& error,
                int language) {
  QByteArray pdf;
  {
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setTitle("RQ_VTMX4 configuration");
    writer.setCreator("rq_vtmx4");
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer)) {
      error = QString::fromUtf8(UiMessage(language, UiText::PdfNotStarted));
      return false;
    }
    RenderPicture(painter, picture, QSize(writer.width(), writer.height()));
    painter.end();
  }
  const QString path = ReserveNumberedFile(folder, error, language);
  if (path.isEmpty()) return false;
  std::string reason;
  if (!WriteFileAtomic(QFile::encodeName(path).toStdString(), pdf.toStdString(), reason)) {
    QFile::remove(path);
    error = QString::fromStdString(LocalizedFileReason(language, reason));
    return false;
  }
  file = path;
  return true;
}

bool PrintToPrinter(QWidget* picture, QString& error, int language) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    error = QString::fromUtf8(UiMessage(language, UiText::NoPrinter)).arg(kPdfVariable);
    return false;
  }
  QPrinter printer(info, QPrinter::HighResolution);
  printer.setDocName("RQ_VTMX4 configuration");
  QPainter painter;
  if (!painter.begin(&printer)) {
    error = QString::fromUtf8(UiMessage(language, UiText::PrinterRefused)).arg(info.printerName());
    return false;
  }
  const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
  RenderPicture(painter, picture, area.size());
  if (!painter.end()) {
    error = QString::fromUtf8(UiMessage(language, UiText::PrinterRefused)).arg(info.printerName());
    return false;
  }
  return true;
}

template <typename T>
T* Find(QWidget* window, const char* name) {
  return window->findChild<T*>(name);
}

}  // namespace

QSize PrintedSize(QSize picture, QSize page) {
  const long w = picture.width(), h = picture.height(), W = page.width(), H = page.height();
  if (w <= 0 || h <= 0) return {};
  if (w * H / h < W) return QSize(int(w * H / h), int(H));
  return QSize(int(W), int(h * W / w));
}

QString PrintStampSuffix(const QDateTime& when) {
  const QLocale locale = QLocale::system();
  return locale.toString(when.date(), QLocale::ShortFormat) + "    " +
         locale.toString(when.time(), QLocale::LongFormat);
}

QString PrintPages::text(int id) const {
  return QString::fromUtf8(UiMessage(w_.language(), static_cast<UiText>(id)));
}

PrintPages::PrintPages(WindowFace& window) : w_(window) {}

PrintPages::~PrintPages() { delete stampWatch_; }

// Steps before the first job: the pending edit, the stamp, the labels, the printing flag.
void PrintPages::prepare() {
  lastFiles_.clear();
  if (auto* verify = Find<QPushButton>(w_.printedWindow(), "BitBtnVerify")) verify->setFocus();
  w_.commitPendingEdit();
  w_.showPrintStamp(PrintStampSuffix(QDateTime::currentDateTime()));
  if (auto* status = Find<QLabel>(w_.printedWindow(), "LabelHlaseni")) {
    QPalette pal = status->palette();
    pal.setColor(QPalette::Window, Qt::white);
    status->setPalette(pal);
    status->setAutoFillBackground(true);
    showStampWhole(status);
    status->show();
  }
  if (auto* l = Find<QLabel>(w_.printedWindow(), "LabelSpojeni")) l->hide();
  if (auto* g = Find<QProgressBar>(w_.printedWindow(), "CGaugeProgram")) g->hide();
  w_.setPrinting(true);
}

// The normal window again; the stamp stays readable in the status line.
void PrintPages::restore() {
  w_.setPrinting(false);
  // The status line shows the button-face colour of the window through it again.
  if (auto* status = Find<QLabel>(w_.printedWindow(), "LabelHlaseni")) status->setAutoFillBackground(false);
}

// The stamp is longer than the status line is wide: the line wraps and grows while it shows
// the stamp, on paper and on screen, and is one line again once another text replaces it.
void PrintPages::showStampWhole(QLabel* status) {
  if (oneLineHeight_ < 0) oneLineHeight_ = status->height();
  status->setWordWrap(true);
  status->resize(status->width(), std::max(oneLineHeight_, status->heightForWidth(status->width())));
  stamp_ = status->text();
  if (stampWatch_ == nullptr) {
    stampWatch_ = new QTimer(w_.printedWindow());
    stampWatch_->setInterval(250);
    QObject::connect(stampWatch_, &QTimer::timeout, stampWatch_, [this, status] {
      if (status->text() == stamp_ && status->isVisible()) return;
      status->setWordWrap(false);
      status->resize(status->width(), oneLineHeight_);
      stampWatch_->stop();
    });
  }
  stampWatch_->start();
}

bool PrintPages::printJob(QString& error) {
  QWidget* picture = Find<QWidget>(w_.printedWindow(), "ClientArea");
  if (picture == nullptr) {
    error = text(int(UiText::NothingToPrint));
    return false;
  }
  // Paper shows values, not the buttons that change them: every up-down of every page is
  // left out of the picture and shown again after the job, and so is everything that is not
  // part of the page as described.
  QList<QWidget*> hidden;
  for (QWidget* w : picture->findChildren<QWidget*>()) {
    const bool left = w->objectName().startsWith("UpDown") || w->property(kNotPrinted).toBool();
    if (left && !w->isHidden()) {
      w->hide();
      hidden << w;
    }
  }
  if (beforeJob) beforeJob(picture);
  const QString folder = qEnvironmentVariable(kPdfVariable);
  const int language = w_.language();
  QString file;
  const bool ok = folder.isEmpty() ? PrintToPrinter(picture, error, language)
                                   : PrintToPdf(picture, folder, file, error, language);
  for (QWidget* w : hidden) w->show();
  if (ok && !folder.isEmpty()) lastFiles_ << file;
  return ok;
}

// The window is normal again before the box opens: ticks run under it.
void PrintPages::reportFailure(int printed, int wanted, const QString& error) {
  if (printed == 0) {
    // No paper carries the stamp: it is not left on screen either.
    w_.hideStatusLine();
    w_.showMessage(text(int(UiText::NothingPrinted)) + "\n" + error);
  } else {
    w_.showMessage(text(int(UiText::PrintingStopped)).arg(printed).arg(wanted) + "\n" + error);
  }
}

void PrintPages::SpeedButtonPrintClick() {
  prepare();
  QString error;
  const bool ok = printJob(error);
  restore();
  if (!ok) reportFailure(0, 1, error);
}

void PrintPages::MenuPrintAllClick() {
  prepare();
  auto* tabs = Find<QTabWidget>(w_.printedWindow(), "PageControl1");
  const int shown = tabs != nullptr ? tabs->currentIndex() : -1;
  int printed = 0;
  QString error;
  for (const int page : kPrintAllPages) {
    // The page change refreshes the page and lays it out by its own rules for paper.
    if (tabs != nullptr) tabs->setCurrentIndex(page);
    w_.setPrinting(true);
    if (!printJob(error)) break;
    ++printed;
  }
  if (tabs != nullptr) tabs->setCurrentIndex(shown);
  restore();
  if (printed < int(kPrintAllPages.size())) reportFailure(printed, int(kPrintAllPages.size()), error);
}

}  // namespace rq
