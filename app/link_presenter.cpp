// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/link_presenter.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QWidget>

#include <algorithm>
#include <climits>

#include "ui/qt_text.h"

namespace rq {
namespace {

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

void LinkPresenter::showExchange(const ExchangeView& v, const TextTable& texts) {

  QString status;
  if (v.statusText != StatusText::None)
    status = FromStd(texts.text(static_cast<int>(v.statusText)) + v.statusSuffix);
  w_.status->setText(status);
  setLabelColour(w_.status, v.statusError ? Colour::Red : Colour::ButtonFace);
  w_.status->setVisible(v.statusVisible);

  const int gaugeMax = std::max(1, v.gaugeMax);
  SetGauge(w_.gauge, gaugeMax, std::clamp(v.gaugeProgress, 0, gaugeMax));
  w_.gauge->setVisible(v.gaugeVisible);

  w_.noConnection->setVisible(v.noConnectionVisible);
  if (v.hideVersionLabel || v.noConnectionVisible) w_.version->hide();

  const QString com = FromStd(v.comLabel);
  if (w_.com->text() != com) w_.com->setText(com);
  const QString path = FromStd(v.devicePath);
  if (w_.com->toolTip() != path) {
    w_.com->setToolTip(path);
    w_.com->setStatusTip(path);
  }
  for (int i = 0; i < kComMenuItems; ++i) {
    QAction* a = w_.comItems[static_cast<std::size_t>(i)];
    if (a->isChecked() != (i == v.comCheckedItem)) a->setChecked(i == v.comCheckedItem);
  }
}

void LinkPresenter::addLabel(QLabel* label) { labels_.insert(label->objectName(), label); }

void LinkPresenter::addGauge(QProgressBar* gauge) { gauges_.insert(gauge->objectName(), gauge); }

void LinkPresenter::adoptLabels(const std::vector<std::string>& names) {
  for (const std::string& objectName : names) {
    const QString name = FromStd(objectName);
    if (labels_.contains(name)) continue;
    if (auto* label = window_->findChild<QLabel*>(name)) labels_.insert(name, label);
  }
}

void LinkPresenter::showMonitor(const MonitorView& view) {
  for (const LabelView& lv : view.labels) {
    QLabel* label = labels_.value(FromStd(lv.objectName));
    if (label == nullptr) continue;
    if (lv.textSet) {
      label->setText(FromStd(lv.text));
      // The version warning wraps; its label grows to show every line of it.
      if (label == w_.version && label->wordWrap())
        label->resize(label->width(), label->heightForWidth(label->width()));
    }
    setLabelColour(label, lv.colour);
    if (lv.visibleSet && label->isVisibleTo(window_) != lv.visible) label->setVisible(lv.visible);
  }
  for (const GaugeView& gv : view.gauges) {
    QProgressBar* gauge = gauges_.value(FromStd(gv.objectName));
    if (gauge == nullptr) continue;
    const int max = int(std::clamp<long>(gv.maximum, 1, INT_MAX));
    SetGauge(gauge, max, int(std::clamp<long>(gv.progress, 0, max)));
    setGaugeColour(gauge, gv.bar);
  }
}

void LinkPresenter::setLabelColour(QLabel* label, Colour colour) {
  if (colour == Colour::Default) return;
  const auto it = labelColours_.constFind(label);
  if (it != labelColours_.constEnd() && it.value() == colour) return;
  labelColours_.insert(label, colour);
  if (colour == Colour::ButtonFace) {
    // The window itself has the button-face background; the label just lets it show, in the
    // window's own text colour, whatever the desktop's palette.
    label->setAutoFillBackground(false);
    label->setPalette(QPalette());
    return;
  }
  // A described colour keeps readable text: black on the light ones (lime, yellow, aqua,
  // white), the window's own text colour on the others.
  const bool light = colour == Colour::Lime || colour == Colour::Yellow || colour == Colour::Aqua ||
                     colour == Colour::White;
  QPalette pal;  // the window's, then the colour
  pal.setColor(QPalette::Window, ToQColor(colour));
  if (light) pal.setColor(QPalette::WindowText, Qt::black);
  label->setPalette(pal);
  label->setAutoFillBackground(true);
}

void LinkPresenter::setGaugeColour(QProgressBar* gauge, Colour colour) {
  if (colour == Colour::Default) {
    // The form's own bar colour: the desktop colour.
    if (gaugeColours_.contains(gauge)) return;
  } else {
    const auto it = gaugeColours_.constFind(gauge);
    if (it != gaugeColours_.constEnd() && it.value() == colour) return;
  }
  gaugeColours_.insert(gauge, colour);
  const QColor c = colour == Colour::Default ? QColor(58, 110, 165)
                   : IsSystemColour(colour)  ? window_->palette().color(QPalette::Button)
                                             : ToQColor(colour);
  // The bar is drawn in the highlight colour over the desktop's field colour (dark on a dark
  // desktop); a palette change is cheap enough to follow the acceleration gauge from reply to
  // reply.
  QPalette pal = gauge->palette();
  pal.setColor(QPalette::Highlight, c);
  gauge->setPalette(pal);
}

}  // namespace rq
