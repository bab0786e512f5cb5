// SPDX-License-Identifier: GPL-3.0-or-later
#include "logs/plot_palette.h"

#include <qcustomplot.h>

namespace rq::logs {

namespace {

QColor Mix(const QColor& a, const QColor& b, double t) {
  return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                          float(a.greenF() + (b.greenF() - a.greenF()) * t),
                          float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

}  // namespace

QColor PlotTextColour(const QCustomPlot& plot) { return plot.palette().color(QPalette::Text); }

void ApplyPlotPalette(QCustomPlot& plot) {
  const QPalette& pal = plot.palette();
  const QColor base = pal.color(QPalette::Base), text = pal.color(QPalette::Text);
  const QColor grid = Mix(base, text, 0.22), subGrid = Mix(base, text, 0.1);
  QColor panel = base;
  panel.setAlpha(215);
  plot.setBackground(base);
  for (QCPAxisRect* rect : plot.axisRects()) {
    for (QCPAxis* axis : rect->axes()) {
      axis->setBasePen(QPen(text, 0));
      axis->setTickPen(QPen(text, 0));
      axis->setSubTickPen(QPen(text, 0));
      axis->setTickLabelColor(text);
      axis->setLabelColor(text);
      axis->grid()->setPen(QPen(grid, 0, Qt::DotLine));
      axis->grid()->setSubGridPen(QPen(subGrid, 0, Qt::DotLine));
      axis->grid()->setZeroLinePen(QPen(grid, 0));
    }
  }
  for (QCPLayoutElement* e : plot.plotLayout()->elements(true)) {
    if (auto* legend = qobject_cast<QCPLegend*>(e)) {
      legend->setBrush(panel);
      legend->setBorderPen(QPen(grid, 0));
      legend->setTextColor(text);
      for (int i = 0; i < legend->itemCount(); ++i) legend->item(i)->setTextColor(text);
    } else if (auto* title = qobject_cast<QCPTextElement*>(e)) {
      title->setTextColor(text);
    }
  }
}

}  // namespace rq::logs
