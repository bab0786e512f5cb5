// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the About window's picture, the product name in stylised black lettering on white,
// and writes it as a 600 x 390 baseline JPEG with three components. A development tool: the
// picture it made is kept in app/about_logo.jpg and built into the program.
//
//   cmake --build build --target rq_make_about_logo && build/bin/rq_make_about_logo app/about_logo.jpg
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace {

QImage Draw() {
  QImage img(600, 390, QImage::Format_RGB888);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);

  // The name, leaning forward, with speed cuts through its lower half.
  QFont big("DejaVu Sans", 10, QFont::Black);
  big.setPixelSize(82);
  big.setLetterSpacing(QFont::AbsoluteSpacing, -3);
  QPainterPath name;
  name.addText(0, 0, big, "RQ_VTMX4");
  QTransform lean;
  lean.shear(-0.22, 0);
  name = lean.map(name);
  const QRectF r = name.boundingRect();
  name.translate(300 - r.center().x(), 200);
  p.fillPath(name, Qt::black);
  p.save();
  p.setClipPath(name);
  p.setPen(QPen(Qt::white, 4));
  for (int k = 0; k < 3; ++k) p.drawLine(QPointF(0, 170 + 10 * k), QPointF(600, 170 + 10 * k));
  p.restore();

  // A swoosh under the name, thick on the left and running out to a point on the right.
  QPainterPath swoosh;
  swoosh.moveTo(40, 246);
  swoosh.cubicTo(200, 232, 420, 236, 566, 224);
  swoosh.cubicTo(430, 244, 220, 248, 54, 264);
  swoosh.closeSubpath();
  p.fillPath(swoosh, Qt::black);

  // Speed lines in front of the name.
  p.setPen(QPen(Qt::black, 5, Qt::SolidLine, Qt::RoundCap));
  const qreal left = name.boundingRect().left();
  for (int k = 0; k < 3; ++k)
    p.drawLine(QPointF(16 + 8 * k, 148 + 18 * k), QPointF(left - 8 - 4 * k, 148 + 18 * k));

  QFont small("DejaVu Sans", 10, QFont::Bold);
  small.setPixelSize(22);
  small.setLetterSpacing(QFont::AbsoluteSpacing, 6);
  p.setFont(small);
  p.setPen(Qt::black);
  p.drawText(QRectF(0, 280, 600, 34), Qt::AlignHCenter, "PROGRAMMABLE CDI IGNITION");

  QFont maker("DejaVu Serif", 10, QFont::Bold);
  maker.setPixelSize(30);
  maker.setItalic(true);
  p.setFont(maker);
  p.drawText(QRectF(0, 320, 600, 44), Qt::AlignHCenter, "Kelvora");
  p.setPen(QPen(Qt::black, 2));
  p.drawLine(QPointF(150, 342), QPointF(230, 342));
  p.drawLine(QPointF(370, 342), QPointF(450, 342));

  // A thin frame.
  p.setPen(QPen(Qt::black, 3));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(4.5, 4.5, 591, 381), 14, 14);
  return img;
}

bool WriteJpeg(const QImage& img, const char* path) {
  FILE* f = std::fopen(path, "wb");
  if (f == nullptr) return false;
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, f);
  c.image_width = JDIMENSION(img.width());
  c.image_height = JDIMENSION(img.height());
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);  // baseline, Huffman, 4:2:0
  jpeg_set_quality(&c, 92, TRUE);
  c.optimize_coding = TRUE;
  jpeg_start_compress(&c, TRUE);
  std::vector<unsigned char> row(std::size_t(img.width()) * 3);
  while (c.next_scanline < c.image_height) {
    const uchar* src = img.constScanLine(int(c.next_scanline));
    std::copy(src, src + row.size(), row.begin());
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  return std::fclose(f) == 0;
}

}  // namespace

constexpr const char* kUsage =
    "Usage: rq_make_about_logo OUT.jpg\n"
    "Draws the About window's picture into OUT.jpg.\n";

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (!WriteJpeg(Draw(), argv[1])) {
    std::fprintf(stderr, "rq_make_about_logo: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
