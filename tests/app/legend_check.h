// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the log viewer's legends show the cursor's row: each trace's legend text holds the
// value of the row at the cursor, and what the plot shows on screen is what a full redraw
// would draw (a legend left on a layer that the cursor move did not redraw keeps its old
// values on screen while its text is already new).
#pragma once

#include <QApplication>
#include <QImage>

#include <gtest/gtest.h>

#include "logs/log_plot.h"
#include "logs/log_session.h"

namespace rq::test {

inline ::testing::AssertionResult LegendsShowCursorRow(logs::LogPlot& plot,
                                                       const logs::LogSession& session) {
  QApplication::processEvents();
  const std::size_t row = session.cursorRow();
  int traces = 0;
  for (std::size_t p = 0; p < plot.plots().size(); ++p) {
    for (std::size_t k = 0; k < plot.plots()[p].size(); ++k) {
      const int column = plot.plots()[p][k];
      const double v = session.table().column(std::size_t(column)).value(row);
      const QString wanted = plot.columnLabel(column) + ": " + plot.formatValue(column, v);
      const QString name = plot.trace(p, k)->name();
      if (name != wanted)
        return ::testing::AssertionFailure() << "legend \"" << name.toStdString() << "\", row "
                                             << row + 1 << " has \"" << wanted.toStdString() << "\"";
      ++traces;
    }
  }
  if (traces == 0) return ::testing::AssertionFailure() << "no trace";
  const QImage shown = plot.grab().toImage();
  plot.replot(QCustomPlot::rpImmediateRefresh);
  const QImage redrawn = plot.grab().toImage();
  if (shown != redrawn)
    return ::testing::AssertionFailure()
           << "the plot on screen differs from a full redraw at row " << row + 1;
  return ::testing::AssertionSuccess();
}

}  // namespace rq::test
