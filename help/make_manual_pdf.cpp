// SPDX-License-Identifier: GPL-3.0-or-later
// Build-time tool: turns the Markdown user manual into a PDF with Qt alone.
//
// usage: rq_make_manual_pdf OUT.pdf MANUAL.md
// Every top-level heading starts a new page; pictures are scaled down to the text width and
// resolved against the Markdown file's folder. Prints "SECTIONS sections, PAGES pages" and
// fails when the PDF has fewer pages than top-level sections.
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

#include <cstdio>
#include <cstring>

namespace {

// The page: A4 with 18 mm margins. A document without a page size of its own is printed with
// a further 2 cm around its text, so the text is the paint rectangle less 40 mm wide.
constexpr double kPageMarginMm = 18;
constexpr double kPrintTextMarginMm = 20;

// Widest picture, in the document's units (pixels at 96 dpi, which the printout scales from),
// a little narrower than the text so that a picture never reaches the clipped edge.
double MaxPictureWidth(const QPageLayout& layout) {
  const double textMm = layout.paintRect(QPageLayout::Millimeter).width() - 2 * kPrintTextMarginMm;
  return textMm / 25.4 * 96 - 8;
}

int Fail(const QString& text) {
  std::fprintf(stderr, "rq_make_manual_pdf: %s\n", qPrintable(text));
  return 1;
}

// Top-level headings after the first begin a page; returns how many there are.
int BreakPagesAtSections(QTextDocument& doc) {
  int sections = 0;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().headingLevel() != 1) continue;
    if (sections++ > 0) {
      QTextCursor cursor(block);
      QTextBlockFormat format = block.blockFormat();
      format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
      cursor.setBlockFormat(format);
    }
  }
  return sections;
}

// Pictures keep their proportions and fit the text width. A picture that cannot be loaded
// stops the build rather than leaving an empty frame in the manual.
bool FitPictures(QTextDocument& doc, const QString& folder, double maxWidth, QString& error) {
  struct Picture {
    int position;
    int length;
    QTextImageFormat format;
  };
  QList<Picture> pictures;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (fragment.charFormat().isImageFormat())
        pictures.append({fragment.position(), fragment.length(), fragment.charFormat().toImageFormat()});
    }
  }
  for (Picture& picture : pictures) {
    const QString path = folder + "/" + picture.format.name();
    const QImage image(path);
    if (image.isNull()) {
      error = "cannot load the picture " + path;
      return false;
    }
    const QUrl url = QUrl::fromLocalFile(path);
    doc.addResource(QTextDocument::ImageResource, url, image);
    double width = image.width();
    double height = image.height();
    if (width > maxWidth) {
      height *= maxWidth / width;
      width = maxWidth;
    }
    picture.format.setName(url.toString());
    picture.format.setWidth(width);
    picture.format.setHeight(height);
    QTextCursor cursor(&doc);
    cursor.setPosition(picture.position);
    cursor.setPosition(picture.position + picture.length, QTextCursor::KeepAnchor);
    cursor.setCharFormat(picture.format);
  }
  return true;
}

// Qt writes one "/Type /Page" dictionary entry per page (and "/Type /Pages" for the tree).
int CountPages(const QByteArray& pdf) {
  int pages = 0;
  for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1)) {
    const qsizetype next = at + 11;
    if (next < pdf.size() && pdf[next] == 's') continue;
    ++pages;
  }
  return pages;
}

}  // namespace

constexpr const char* kUsage =
    "Usage: rq_make_manual_pdf OUT.pdf MANUAL.md\n"
    "Makes the user manual's PDF from its Markdown source, a page break before each top-level\n"
    "heading and the pictures fitted to the page.\n";

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const QString outPath = QString::fromLocal8Bit(argv[1]);
  const QString mdPath = QString::fromLocal8Bit(argv[2]);

  QFile md(mdPath);
  if (!md.open(QIODevice::ReadOnly)) return Fail("cannot read " + mdPath + ": " + md.errorString());
  QTextDocument doc;
  doc.setMarkdown(QString::fromUtf8(md.readAll()), QTextDocument::MarkdownDialectGitHub);
  const int sections = BreakPagesAtSections(doc);
  if (sections == 0) return Fail(mdPath + " has no top-level heading");
  const QPageLayout page(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                        QMarginsF(kPageMarginMm, kPageMarginMm, kPageMarginMm, kPageMarginMm),
                        QPageLayout::Millimeter);
  QString error;
  if (!FitPictures(doc, QFileInfo(mdPath).absolutePath(), MaxPictureWidth(page), error)) return Fail(error);

  QSaveFile out(outPath);
  if (!out.open(QIODevice::WriteOnly)) return Fail("cannot write " + outPath + ": " + out.errorString());
  {
    QPdfWriter writer(&out);
    writer.setPageLayout(page);
    writer.setTitle(doc.begin().text());
    writer.setCreator("rq_make_manual_pdf");
    doc.print(&writer);
  }
  if (!out.commit()) return Fail("cannot write " + outPath + ": " + out.errorString());

  QFile written(outPath);
  if (!written.open(QIODevice::ReadOnly)) return Fail("cannot read back " + outPath);
  const int pages = CountPages(written.readAll());
  std::printf("%d sections, %d pages\n", sections, pages);
  if (pages < sections) return Fail(QString("only %1 pages for %2 sections").arg(pages).arg(sections));
  return 0;
}
