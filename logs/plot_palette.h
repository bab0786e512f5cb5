// SPDX-License-Identifier: GPL-3.0-or-later
// Plots in the desktop's colours: the field colour behind them, axes, ticks, labels and legend
// text in the text colour, the grid between the two. A dark desktop gets dark plots with light
// text, a light one light plots with dark text; the traces keep their own colours.
#pragma once

#include <QColor>

class QCustomPlot;

namespace rq::logs {

// Colours everything of `plot` that exists now (axes, legends, titles); call again after
// axes or legend items were added and when the palette changes.
void ApplyPlotPalette(QCustomPlot& plot);

// The colour of lines drawn over the plot that must stand out like its text (a cursor).
QColor PlotTextColour(const QCustomPlot& plot);

}  // namespace rq::logs
