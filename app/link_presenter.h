// SPDX-License-Identifier: GPL-3.0-or-later
// The window's face of the device link: the status line, the programming gauge, the
// connection labels, the Com menu's check mark and every label and gauge the live monitor
// renders. It copies the engine's view and the rendered monitor into the widgets, touching only
// what changed.
#pragma once

#include <QHash>
#include <QString>

#include <array>

#include "link/device_exchange.h"
#include "ui/monitor_view.h"
#include "ui/text_table.h"

class QAction;
class QLabel;
class QProgressBar;
class QWidget;

namespace rq {

class LinkPresenter {
 public:
  struct Widgets {
    QLabel* status = nullptr;        // LabelHlaseni
    QProgressBar* gauge = nullptr;   // CGaugeProgram
    QLabel* noConnection = nullptr;  // LabelSpojeni
    QLabel* version = nullptr;       // LabelVersion
    QLabel* com = nullptr;           // LabelCom
    std::array<QAction*, kComMenuItems> comItems{};
  };
  explicit LinkPresenter(QWidget* window) : window_(window) {}
  void attach(const Widgets& w) { w_ = w; }

  // Labels and gauges the monitor renders, by objectName.
  void addLabel(QLabel* label);
  void addGauge(QProgressBar* gauge);
  // Adopts every label under the window that the monitor renders and is not known yet (the
  // live labels that stand on the editing pages).
  void adoptLabels(const std::vector<std::string>& names);

  void showExchange(const ExchangeView& view, const TextTable& texts);
  void showMonitor(const MonitorView& view);

  void setLabelColour(QLabel* label, Colour colour);
  void setGaugeColour(QProgressBar* gauge, Colour colour);

 private:
  QWidget* window_;
  Widgets w_;
  QHash<QString, QLabel*> labels_;
  QHash<QString, QProgressBar*> gauges_;
  QHash<QLabel*, Colour> labelColours_;
  QHash<QProgressBar*, Colour> gaugeColours_;
};

}  // namespace rq
