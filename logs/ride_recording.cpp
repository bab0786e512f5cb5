// SPDX-License-Identifier: GPL-3.0-or-later
#include "logs/ride_recording.h"

#include <QAction>
#include <QFont>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <cmath>

#include "logs/log_room.h"
#include "ui/print_pages.h"
#include "ui/window_face.h"
#include "workspace/workspace.h"

namespace rq::logs {

namespace {

QLabel* StripLabel(QWidget* parent, const char* name, int x, int y, int w, Qt::Alignment align) {
  auto* l = new QLabel(parent);
  l->setObjectName(name);
  QFont f = l->font();
  f.setPixelSize(13);
  l->setFont(f);
  l->setGeometry(x, y, w, 18);
  l->setAlignment(align | Qt::AlignVCenter);
  return l;
}

// The Record button says what a press does: record, or stop the recording that runs.
constexpr const char* kRecordCaption[2][4] = {
    {"Record", "Aufnahme", "Enregistrer", "Nahrávat"},
    {"Stop", "Stopp", "Arrêter", "Zastavit"},
};

QString Duration(long s) {
  const long h = s / 3600, m = s / 60 % 60, sec = s % 60;
  return h > 0 ? QString::asprintf("%ld:%02ld:%02ld", h, m, sec) : QString::asprintf("%02ld:%02ld", m, sec);
}

}  // namespace

RideRecording::RideRecording(Workspace& workspace, WindowFace& window, LogRoom& logs)
    : QObject(window.dialogParent()), window_(window), logs_(logs), folder_(RideLogFolder()) {
  // Texts come from the caption table; these are the English ones until it is applied.
  auto* separator = new QAction(this);
  separator->setSeparator(true);
  window_.addMenuAction(WindowFace::Menu::Device, separator);
  menuItem_ = new QAction("Recor&d ride log", this);
  menuItem_->setObjectName("MenuRecord");
  menuItem_->setCheckable(true);
  menuItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  menuItem_->setShortcutContext(Qt::WindowShortcut);
  window_.addMenuAction(WindowFace::Menu::Device, menuItem_);
  connect(menuItem_, &QAction::triggered, this, [this](bool on) { setRecording(on); });
  connect(&workspace, &Workspace::monitorAccepted, this,
          [this](const MonitorSnapshot& s) { monitorAccepted(s); });
  connect(&workspace, &Workspace::languageChanged, this, [this](int language) {
    language_ = language;
    showState();
  });
  language_ = workspace.language();
  QWidget* strip = window_.liveStrip();
  button_ = new QPushButton("Record", strip);
  button_->setObjectName("ButtonRecord");
  button_->setCheckable(true);
  button_->setFocusPolicy(Qt::NoFocus);
  button_->setGeometry(780, 605, 102, 24);
  connect(button_, &QPushButton::clicked, this, [this](bool on) { setRecording(on); });
  openButton_ = new QPushButton("Open log", strip);
  openButton_->setObjectName("ButtonOpenLog");
  openButton_->setFocusPolicy(Qt::NoFocus);
  openButton_->setGeometry(886, 605, 104, 24);
  connect(openButton_, &QPushButton::clicked, this, [this] {
    if (!recorder_.path().empty()) logs_.openLog(recorder_.path());
  });
  timeLabel_ = StripLabel(strip, "LabelRecordTime", 780, 633, 76, Qt::AlignLeft);
  rowsLabel_ = StripLabel(strip, "LabelRecordRows", 856, 633, 56, Qt::AlignRight);
  rowsTitle_ = StripLabel(strip, "LabelRecordRowsTitle", 916, 633, 74, Qt::AlignLeft);
  // The recording is not part of the printed page.
  for (QWidget* w : {static_cast<QWidget*>(button_), static_cast<QWidget*>(openButton_),
                     static_cast<QWidget*>(timeLabel_), static_cast<QWidget*>(rowsLabel_),
                     static_cast<QWidget*>(rowsTitle_)})
    w->setProperty(kNotPrinted, true);
  rowsTitle_->setText("rows");
  failedText_ = new QLabel("The ride log cannot be written; the recording has stopped.", strip);
  failedText_->setObjectName("LabelRecordFailed");
  failedText_->hide();
  clock_ = new QTimer(this);
  clock_->setInterval(250);
  connect(clock_, &QTimer::timeout, this, [this] { showState(); });
  showState();
}

RideRecording::~RideRecording() = default;

void RideRecording::setRecording(bool on) {
  if (on == recorder_.recording()) {
    showState();
    return;
  }
  if (on) {
    if (!recorder_.start(folder_)) {
      failed();
      return;
    }
    clock_->start();
  } else {
    recorder_.stop();
    clock_->stop();
  }
  showState();
  emit recordingChanged(on);
}

void RideRecording::monitorAccepted(const MonitorSnapshot& s) {
  if (!recorder_.recording()) return;
  if (!recorder_.append(s)) {
    failed();
    return;
  }
  showState();
  emit rowRecorded(s, recorder_.seconds());
}

void RideRecording::failed() {
  clock_->stop();
  showState();
  emit recordingChanged(false);
  window_.showMessage(failedText_->text() + "\n" + QString::fromStdString(recorder_.error()));
}

// The strip: the button pressed and the time in red while recording, the rows so far; after
// a recording, its time and rows and the button that opens it.
void RideRecording::showState() {
  const bool on = recorder_.recording();
  if (menuItem_ != nullptr && menuItem_->isChecked() != on) menuItem_->setChecked(on);
  if (button_->isChecked() != on) button_->setChecked(on);
  const int lang = language_ >= 0 && language_ < 4 ? language_ : 0;
  const QString caption = QString::fromUtf8(kRecordCaption[on ? 1 : 0][lang]);
  if (button_->text() != caption) button_->setText(caption);
  const bool any = on || recorder_.rows() > 0;
  const bool canOpen = !on && recorder_.rows() > 0;
  if (openButton_->isHidden() == canOpen) openButton_->setVisible(canOpen);
  for (QLabel* l : {timeLabel_, rowsLabel_, rowsTitle_})
    if (l->isHidden() == any) l->setVisible(any);
  if (!any) return;
  const long seconds = std::lround(std::floor(recorder_.seconds()));
  if (seconds != shownSeconds_ || on != (timeLabel_->property("recording").toBool())) {
    shownSeconds_ = seconds;
    timeLabel_->setProperty("recording", on);
    timeLabel_->setText((on ? QString::fromUtf8("\u25CF ") : QString()) + Duration(seconds));
    timeLabel_->setStyleSheet(on ? "color: rgb(220, 0, 0); font-weight: bold;" : QString());
  }
  if (recorder_.rows() != shownRows_) {
    shownRows_ = recorder_.rows();
    rowsLabel_->setText(QString::number(static_cast<qulonglong>(shownRows_)));
  }
}

}  // namespace rq::logs

#include "moc_ride_recording.cpp"
