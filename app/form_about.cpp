// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form_about.h"

#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>

#include <cstdio>
#include <string>

#include "model/parameter_image.h"
#include "ui/jpeg_picture.h"

namespace rq {

extern const std::uint8_t kAboutLogoJpeg[];
extern const std::size_t kAboutLogoJpegSize;

std::span<const std::uint8_t> AboutPictureJpeg() { return {kAboutLogoJpeg, kAboutLogoJpegSize}; }

namespace {

constexpr int kAboutWidth = 621;
constexpr int kAboutHeight = 465;

// The build's date and time as the compiler records them: "Dec 17 2008", "16:05:52".
constexpr const char* kBuildDate = __DATE__;
constexpr const char* kBuildTime = __TIME__;

QLabel* MakeLabel(QWidget* parent, const char* name, int x, int y, const QString& text) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->move(x, y);
  l->adjustSize();
  return l;
}

}  // namespace

FormAbout::FormAbout(QWidget* parent, std::function<int()> language,
                     std::span<const std::uint8_t> picture)
    : QDialog(parent), language_(std::move(language)) {
  setObjectName("FormAbout");
  // System menu and close box only.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setModal(true);
  setFixedSize(kAboutWidth, kAboutHeight);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  pal.setColor(QPalette::WindowText, Qt::black);
  setPalette(pal);
  setAutoFillBackground(true);
  QFont base = font();
  base.setPointSize(8);
  setFont(base);

  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(10, 8, 607, 393);
  Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);  // unscaled, from the top-left corner
  LabelDate = MakeLabel(this, "LabelDate", 16, 425, QString());
  LabelTime = MakeLabel(this, "LabelTime", 168, 425, QString());
  LabelRsKey = MakeLabel(this, "LabelRsKey", 336, 425, QString());
  LabelExit = new QLabel("OK", this);
  LabelExit->setObjectName("LabelExit");
  QFont big = LabelExit->font();
  big.setPixelSize(23);
  LabelExit->setFont(big);
  LabelExit->setGeometry(568, 417, 35, 29);
  LabelExit->setCursor(Qt::PointingHandCursor);
  LabelExit->installEventFilter(this);

  setPicture(picture.empty() ? AboutPictureJpeg() : picture);
  FormCreate();
}

QString FormAbout::Title(int language) {
  static constexpr const char* kPrefix[4] = {"About ", "Über Programm ", "Information ", "O programu "};
  const int lang = (language < 0 || language > 3) ? 0 : language;
  return QString::fromUtf8(kPrefix[lang]) + "RQ_VTMX4_Kelvora";
}

bool FormAbout::setPicture(std::span<const std::uint8_t> jpeg) {
  std::string error;
  const auto decoded = DecodeJpeg(jpeg.data(), jpeg.size(), &error);
  if (!decoded) {
    Image1->clear();
    std::fprintf(stderr, "rq_vtmx4: About picture not shown: %s\n", error.c_str());
    return false;
  }
  const QImage image(decoded->rgb.data(), decoded->width, decoded->height, decoded->width * 3,
                     QImage::Format_RGB888);
  Image1->setPixmap(QPixmap::fromImage(image));  // copies the pixels
  return true;
}

bool FormAbout::hasPicture() const { return !Image1->pixmap().isNull(); }

// Once, at creation: the texts and the place on the screen.
void FormAbout::FormCreate() {
  LabelDate->setText(QString::fromLatin1(kBuildDate));
  LabelTime->setText(QString::fromLatin1(kBuildTime));
  LabelRsKey->setText(QString("Version - %1").arg(kImageVersion));
  for (QLabel* l : {LabelDate, LabelTime, LabelRsKey}) l->adjustSize();
  // Centred on the screen once; later shows keep this place even if the screen changed.
  const QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->geometry();
  const QSize outer = frameGeometry().size();
  move(area.x() + area.width() / 2 - outer.width() / 2, area.y() + area.height() / 2 - outer.height() / 2);
}

// Each show: the title follows the language chosen last.
void FormAbout::FormActivate() { setWindowTitle(Title(language_ ? language_() : 0)); }

void FormAbout::Button1Click() { accept(); }

void FormAbout::showEvent(QShowEvent* event) {
  FormActivate();
  QDialog::showEvent(event);
}

// The window has no keyboard shortcut of its own: Escape does not close it (the close box and
// the window manager's close key do).
void FormAbout::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool FormAbout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == LabelExit && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
      LabelExit->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
    Button1Click();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace rq

#include "moc_form_about.cpp"
