// The window side of the device link: the tick, the device commands, the status line, the
// connection labels, the Com menu and the live monitor.
#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>
#include <climits>

#include "app/form_hlav.h"
#include "app/verify_differences.h"

namespace rq {
namespace {

QString FromStd(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QColor ToQColor(Colour c) {
  const Rgb rgb = ColourRgb(c);
  return QColor(rgb.r, rgb.g, rgb.b);
}

}  // namespace

namespace {

// QProgressBar::setValue repaints the bar (and what shows through it) at once; inside a tick
// that is most of its time. With updates held off the change is painted with the next
// ordinary repaint instead.
void SetGauge(QProgressBar* gauge, int maximum, int value) {
  if (gauge->maximum() == maximum && gauge->value() == value) return;
  gauge->setUpdatesEnabled(false);
  if (gauge->maximum() != maximum) gauge->setMaximum(maximum);
  gauge->setValue(value);
  gauge->setUpdatesEnabled(true);  // schedules the repaint
}

}  // namespace

void FormHlav::Timer1Timer() {
  inTick_ = true;
  exchange_->tick();
  inTick_ = false;
  startPendingProgramming();
  ApplyExchangeView();
}

void FormHlav::MenuReadClick() {
  CommitPendingEdit();
  exchange_->MenuReadClick();
  ApplyExchangeView();
}

void FormHlav::MenuVerifyClick() {
  CommitPendingEdit();
  exchange_->MenuVerifyClick();
  ApplyExchangeView();
}

void FormHlav::MenuProgramClick() {
  CommitPendingEdit();
  exchange_->MenuProgramClick();
  ApplyExchangeView();
}

void FormHlav::MenuCom1Click() {
  const auto* item = qobject_cast<QAction*>(sender());
  if (item == nullptr) return;
  const int index = item->data().toInt();
  if (index < 0 || index >= kComMenuItems) return;
  exchange_->MenuCom1Click(index);
  ApplyExchangeView();
}

void FormHlav::ApplyExchangeView() {
  const ExchangeView& v = exchange_->view();

  QString status;
  if (v.statusText != StatusText::None)
    status = FromStd(texts_.text(static_cast<int>(v.statusText)) + v.statusSuffix);
  LabelHlaseni->setText(status);
  setLabelColour(LabelHlaseni, v.statusError ? Colour::Red : Colour::ButtonFace);
  LabelHlaseni->setVisible(v.statusVisible);

  const int gaugeMax = std::max(1, v.gaugeMax);
  SetGauge(CGaugeProgram, gaugeMax, std::clamp(v.gaugeProgress, 0, gaugeMax));
  CGaugeProgram->setVisible(v.gaugeVisible);

  LabelSpojeni->setVisible(v.noConnectionVisible);
  if (v.hideVersionLabel || v.noConnectionVisible) LabelVersion->hide();

  const QString com = FromStd(v.comLabel);
  if (LabelCom->text() != com) LabelCom->setText(com);
  const QString path = FromStd(v.devicePath);
  if (LabelCom->toolTip() != path) {
    LabelCom->setToolTip(path);
    LabelCom->setStatusTip(path);
  }
  for (int i = 0; i < kComMenuItems; ++i) {
    QAction* a = comItems_[static_cast<std::size_t>(i)];
    if (a->isChecked() != (i == v.comCheckedItem)) a->setChecked(i == v.comCheckedItem);
  }
  if (verifyDifferences_) verifyDifferences_->exchangeViewChanged();
}

void FormHlav::ShowMonitor() { ShowMonitorFrame(exchange_->lastMonitorFrame()); }

void FormHlav::ShowMonitorFrame(const FrameBytes& frame) {
  ApplyMonitorView(RenderMonitor(frame, image_, exchange_->connected(), texts_));
}

void FormHlav::ApplyMonitorView(const MonitorView& view) {
  for (const LabelView& lv : view.labels) {
    QLabel* label = monitorLabels_.value(FromStd(lv.objectName));
    if (label == nullptr) continue;
    if (lv.textSet) {
      label->setText(FromStd(lv.text));
      // The version warning wraps; its label grows to show every line of it.
      if (label == LabelVersion && label->wordWrap())
        label->resize(label->width(), label->heightForWidth(label->width()));
    }
    setLabelColour(label, lv.colour);
    if (lv.visibleSet && label->isVisibleTo(this) != lv.visible) label->setVisible(lv.visible);
  }
  for (const GaugeView& gv : view.gauges) {
    QProgressBar* gauge = monitorGauges_.value(FromStd(gv.objectName));
    if (gauge == nullptr) continue;
    const int max = int(std::clamp<long>(gv.maximum, 1, INT_MAX));
    SetGauge(gauge, max, int(std::clamp<long>(gv.progress, 0, max)));
    setGaugeColour(gauge, gv.bar);
  }
}

void FormHlav::setLabelColour(QLabel* label, Colour colour) {
  if (colour == Colour::Default) return;
  const auto it = labelColours_.constFind(label);
  if (it != labelColours_.constEnd() && it.value() == colour) return;
  labelColours_.insert(label, colour);
  if (colour == Colour::ButtonFace) {
    // The window itself has the button-face background; the label just lets it show.
    label->setAutoFillBackground(false);
    return;
  }
  QPalette pal = label->palette();
  pal.setColor(QPalette::Window, ToQColor(colour));
  pal.setColor(QPalette::WindowText, Qt::black);
  label->setPalette(pal);
  label->setAutoFillBackground(true);
}

void FormHlav::setGaugeColour(QProgressBar* gauge, Colour colour) {
  if (colour == Colour::Default) {
    // The form's own bar colour: the desktop colour.
    if (gaugeColours_.contains(gauge)) return;
  } else {
    const auto it = gaugeColours_.constFind(gauge);
    if (it != gaugeColours_.constEnd() && it.value() == colour) return;
  }
  gaugeColours_.insert(gauge, colour);
  const QColor c = colour == Colour::Default ? QColor(58, 110, 165)
                   : IsSystemColour(colour)  ? palette().color(QPalette::Button)
                                             : ToQColor(colour);
  // The bar is drawn in the highlight colour; a palette change is cheap enough to follow the
  // acceleration gauge from reply to reply.
  QPalette pal = gauge->palette();
  pal.setColor(QPalette::Highlight, c);
  pal.setColor(QPalette::Base, Qt::white);
  gauge->setPalette(pal);
}

}  // namespace rq
